#pragma once

#include <string>

namespace mb {

class RunSheet;
class ZipParts;

/// Reads the first sheet of the Office Open XML workbook in `parts` into `sheet`: the
/// first <sheet> of xl/workbook.xml, found through xl/_rels/workbook.xml.rels, with the
/// shared strings. False with `why` (to follow "cannot be read: ") when it cannot.
bool readXlsxSheet(ZipParts& parts, RunSheet& sheet, std::string& why);

} // namespace mb

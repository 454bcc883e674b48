#pragma once

#include <string>

namespace mb {

class RunSheet;
class ZipParts;

/// Reads the first table of the OpenDocument spreadsheet in `parts` (content.xml) into
/// `sheet`. False with `why` (to follow "cannot be read: ") when it cannot.
bool readOdsSheet(ZipParts& parts, RunSheet& sheet, std::string& why);

} // namespace mb

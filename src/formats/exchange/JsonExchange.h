#pragma once

#include "ExportSelection.h"
#include "SpreadsheetImport.h"

#include <string>
#include <string_view>
#include <vector>

namespace mb {

class Library;

/// The materials as JSON (UTF-8): an object whose "categories" array holds, per category,
/// its "name" and its "materials"; each material has "name", "nameCode", "description"
/// and "properties", an object from property code to {"value": SI value, "unit": SI
/// label}. Values are the shortest text that reads back as the same double, so reading
/// the text back gives the library that was written, byte for byte once saved.
std::string exportJson(const std::vector<ExportedCategory>& selection);

/// Fills `library` (emptied first) from JSON text as exportJson writes it. Unknown keys
/// are passed over; a value of the wrong type, a property code the catalogue does not
/// know, a key given twice, a unit other than the property's SI label, or a text that is
/// not JSON stops reading with Refused and a reason naming the key (or line and column);
/// the materials read before it remain. Texts are fitted as every import fits them, with
/// a note naming the key.
ImportResult importJson(std::string_view text, Library& library);

} // namespace mb

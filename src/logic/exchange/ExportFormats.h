#pragma once

#include "ExchangeDialogs.h"
#include "ExportSelection.h"

#include <string>
#include <vector>

namespace mb {

/// The file text of `selection` in `format`, values of the table formats in `unitSystem`
/// (an index of UnitSystemIndex); "" with `error` set when it cannot be made.
std::string ExportText(const std::vector<ExportedCategory>& selection, ExportFormat format,
                       int unitSystem, std::string& error);

} // namespace mb

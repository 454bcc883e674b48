#pragma once

#include "ExchangeDialogs.h"
#include "ExportSelection.h"
#include "Result.h"

#include <string>
#include <vector>

namespace mb {

/// What an export made of a selection.
struct ExportedFile {
    std::string bytes;
    /// What of the materials the format could not carry whole; the bytes are made all the
    /// same.
    std::vector<ExportOmission> omissions;
};

/// The file of `selection` in `format`, values of the table formats in `unitSystem` (an
/// index of UnitSystemIndex), or why it could not be made.
Result<ExportedFile> exportText(const std::vector<ExportedCategory>& selection, ExportFormat format,
                                int unitSystem);

} // namespace mb

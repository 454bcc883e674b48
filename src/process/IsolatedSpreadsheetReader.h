#pragma once

#include "ChildProcess.h"
#include "Spreadsheet.h"

namespace mb {

/// Reads workbooks in a process of their own: the reader program (src/process/reader), given
/// FILE, opens the workbook (.xls, .xlsx, .ods or .csv) and prints the cells of its first
/// sheet, and this reader turns that reply into an in-memory sheet. A damaged file that crashes,
/// hangs or exhausts the reader costs only that process; the caller gets a reason naming the file
/// instead.
class IsolatedSpreadsheetReader : public SpreadsheetReader {
public:
    /// `program` is the path of the reader program; `limits` bound what one read may take.
    explicit IsolatedSpreadsheetReader(std::string program, ChildLimits limits = {});

    Result<std::unique_ptr<Workbook>> open(const std::string& path) override;

    const std::string& program() const { return program_; }

    /// The reader program to run: the one named by $MB_SHEET_READER when set (for tests),
    /// else the one at `installed` relative to `programDir`, the running program's folder
    /// (where an installation puts it), else the one the build made. When none exists, the
    /// installed one, so the message that it is missing names where it was expected.
    static std::string locate(const std::string& programDir, const std::string& installed,
                              const std::string& builtPath);

private:
    std::string program_;
    ChildLimits limits_;
};

} // namespace mb

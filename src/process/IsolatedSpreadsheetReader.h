#pragma once

#include "ChildProcess.h"
#include "Spreadsheet.h"

namespace mb {

/// Reads workbooks in a process of their own: `matlib cells FILE` opens the workbook (.xls,
/// .xlsx, .ods or .csv) and prints the cells of its first sheet, and this reader turns that
/// reply into an in-memory sheet. A damaged file that crashes, hangs or exhausts the reader costs
/// only that process; the caller gets a reason naming the file instead.
class IsolatedSpreadsheetReader : public SpreadsheetReader {
public:
    /// `matlib` is the path of the program to run; `limits` bound what one read may take.
    explicit IsolatedSpreadsheetReader(std::string matlib, ChildLimits limits = {});

    std::unique_ptr<Workbook> open(const std::string& path, std::string& reason) override;

    const std::string& program() const { return matlib_; }

    /// The matlib to run: the one named by $MB_MATLIB when set (for tests), else the one
    /// beside the running program (where an installation puts both), else the one the
    /// build made. When none exists, the one beside the program, so the message that it
    /// is missing names where it was expected.
    static std::string Locate(const std::string& programDir, const std::string& builtPath);

private:
    std::string matlib_;
    ChildLimits limits_;
};

} // namespace mb

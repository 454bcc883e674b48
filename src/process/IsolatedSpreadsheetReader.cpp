#include "IsolatedSpreadsheetReader.h"

#include "SheetReply.h"

#include <charconv>
#include <csignal>
#include <cstdlib>
#include <system_error>
#include <unistd.h>

namespace mb {

namespace {

std::string Seconds(std::chrono::milliseconds ms) {
    char buffer[32];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(ms.count()) / 1000.0);
    return std::string(buffer, end);
}

std::string Unreadable(const std::string& path, const std::string& why) {
    return "The file \"" + path + "\" could not be read: " + why + ".";
}

std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    if (line.size() > 200) line.resize(200);
    return line;
}

std::string WhyNoReply(const ChildResult& run, const std::string& program,
                       const ChildLimits& limits) {
    switch (run.status) {
    case ChildResult::Status::NotStarted:
        return "the spreadsheet reader \"" + program + "\" cannot be started (" +
               std::generic_category().message(run.error) + ")";
    case ChildResult::Status::TimedOut:
        return "reading it took longer than " + Seconds(limits.wallClock) + " seconds";
    case ChildResult::Status::OutputTooLarge:
        return "the spreadsheet reader's answer was larger than " +
               std::to_string(limits.outputBytes) + " bytes";
    case ChildResult::Status::Signalled:
        if (run.signal == SIGXCPU)
            return "reading it took more than " + std::to_string(limits.cpuSeconds) +
                   (limits.cpuSeconds == 1 ? " second" : " seconds") + " of processor time";
        return "the spreadsheet reader crashed (signal " + std::to_string(run.signal) + ")";
    case ChildResult::Status::Exited: {
        std::string why =
            "the spreadsheet reader failed with exit status " + std::to_string(run.exitCode);
        if (const std::string line = FirstLine(run.err); !line.empty()) why += " (" + line + ")";
        return why;
    }
    }
    return "the spreadsheet reader failed";
}

class IsolatedWorkbook : public Workbook {
public:
    explicit IsolatedWorkbook(SheetReply reply) : reply_(std::move(reply)) {}

    Result<std::unique_ptr<Worksheet>> firstSheet() override {
        if (reply_.outcome != SheetReply::Outcome::Sheet) return Failure{"", "", reply_.reason};
        // Asked for once: the sheet moves out rather than being copied cell by cell.
        return std::unique_ptr<Worksheet>(std::make_unique<CapturedSheet>(std::move(reply_.sheet)));
    }

private:
    SheetReply reply_;
};

} // namespace

IsolatedSpreadsheetReader::IsolatedSpreadsheetReader(std::string program, ChildLimits limits)
    : program_(std::move(program)), limits_(limits) {}

Result<std::unique_ptr<Workbook>> IsolatedSpreadsheetReader::open(const std::string& path) {
    const ChildResult run = runChild(program_, {path}, limits_);
    if (run.status != ChildResult::Status::Exited || run.exitCode != 0)
        return Failure{path, "", Unreadable(path, WhyNoReply(run, program_, limits_))};
    SheetReply reply = parseSheetReply(run.out);
    switch (reply.outcome) {
    case SheetReply::Outcome::Malformed:
        return Failure{path, "",
                       Unreadable(path, "the spreadsheet reader gave a malformed answer")};
    case SheetReply::Outcome::OpenFailed:
        return Failure{path, "", std::move(reply.reason)};
    case SheetReply::Outcome::SheetFailed:
    case SheetReply::Outcome::Sheet:
        break;
    }
    return std::unique_ptr<Workbook>(std::make_unique<IsolatedWorkbook>(std::move(reply)));
}

std::string IsolatedSpreadsheetReader::locate(const std::string& programDir,
                                              const std::string& installed,
                                              const std::string& builtPath) {
    if (const char* chosen = std::getenv("MB_SHEET_READER"); chosen && *chosen) return chosen;
    const std::string there = programDir + "/" + installed;
    if (::access(there.c_str(), X_OK) == 0) return there;
    if (!builtPath.empty() && ::access(builtPath.c_str(), X_OK) == 0) return builtPath;
    return there;
}

} // namespace mb

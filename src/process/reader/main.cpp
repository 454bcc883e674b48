// The workbook reader the editor and `matlib` start for every foreign sheet: it prints the
// cells of the first sheet of one file as a SheetReply, and a damaged file that crashes,
// hangs or exhausts it costs only this process.

#include "ZipSheetModule.h"

#include "ChildProcess.h"
#include "FileOps.h"
#include "FreeXLSpreadsheet.h"
#include "LibraryImport.h"
#include "SheetReply.h"
#include "TextUtil.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace {

using namespace mb;

// A zip archive is what xlsx and ods workbooks are, whatever the file's name.
bool StartsAsZip(InputFile& file) {
    char head[4] = {};
    std::size_t got = 0;
    for (long n; got < sizeof head && (n = file.read(head + got, sizeof head - got)) > 0;)
        got += static_cast<std::size_t>(n);
    return std::string_view(head, got) == "PK\x03\x04";
}

// Gives the reason a file was refused in the reply, as a reader that cannot open it would.
class RefusedFile final : public SpreadsheetReader {
public:
    explicit RefusedFile(std::string reason) : reason_(std::move(reason)) {}
    Result<std::unique_ptr<Workbook>> open(const std::string& path) override {
        return Failure{path, "", reason_};
    }

private:
    std::string reason_;
};

// A zip archive is an xlsx or ods workbook; a ".csv" is CSV text; anything else goes to
// FreeXL, whose messages tell a damaged workbook from a file that is none.
std::string CellsOf(const std::string& path) {
    // FreeXL and libzip would wait on a named pipe, or read a device, for ever: only a
    // file that ends reaches them, whatever the caller checked before starting this.
    InputFile file(path);
    if (!file.ok()) {
        RefusedFile refused(unreadableFileMessage(path, file.reason()));
        return captureSheetReply(refused, path);
    }
    const auto named = [&path](std::string_view ending) {
        return path.size() >= ending.size() &&
               equalsNoCase(std::string_view(path).substr(path.size() - ending.size()), ending);
    };
    // Run by hand, the reader is held to what the editor and `matlib import` give it.
    limitThisProcess(ChildLimits{});
    std::unique_ptr<SpreadsheetReader> reader;
    if (StartsAsZip(file) || named(".xlsx") || named(".ods"))
        reader = loadZipSpreadsheetReader();
    else if (named(".csv"))
        reader = std::make_unique<CsvSpreadsheetReader>();
    else
        reader = std::make_unique<FreeXLSpreadsheetReader>();
    return captureSheetReply(*reader, path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: matbrowser-sheetreader FILE\n"
                   "Prints the cells of the first sheet of FILE (.xls, .xlsx, .ods, .csv) for "
                   "the editor and matlib.\n",
                   stderr);
        return 2;
    }
    const std::string reply = CellsOf(argv[1]);
    if (std::fwrite(reply.data(), 1, reply.size(), stdout) != reply.size() ||
        std::fflush(stdout) != 0) {
        std::fputs("matbrowser-sheetreader: cannot write to standard output\n", stderr);
        return 2;
    }
    return 0;
}

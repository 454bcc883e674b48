// Which files an import reads at all: only a file that ends reaches a reader, in this
// process or in the workbook reader's.
#include "LibraryImport.h"

#include "FilesThatDoNotEnd.h"
#include "Library.h"
#include "LibraryFile.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

// Stands in for the workbook reader process and notes every file it is asked to open.
class RecordingReader : public SpreadsheetReader {
public:
    Result<std::unique_ptr<Workbook>> open(const std::string& path) override {
        asked.push_back(path);
        return Failure{path, "", "the reader was asked"};
    }
    std::vector<std::string> asked;
};

TEST(LibraryImport, APipeADeviceAHugeFileOrAFolderIsRefusedBeforeAnyReaderSeesIt) {
    test::HangGuard guard;
    test::TempDir dir;
    RecordingReader workbooks;
    for (const char* extension : {".csv", ".json", ".xlsx", ".ods", ".xls"}) {
        for (const auto& [path, reason] : test::FilesThatDoNotEnd(dir, extension)) {
            SCOPED_TRACE(path);
            const std::string message = "The file \"" + path + "\" could not be read: " + reason;
            for (CsvReading csv : {CsvReading::InProcess, CsvReading::ByWorkbookReader}) {
                Library library;
                readLibraryText("MATTYPE:S\r\nMATL:Kept\r\n", library, ".");
                const ImportResult r = importFile(path, workbooks, library, csv);
                EXPECT_EQ(r.status, ImportResult::Status::CannotOpen);
                EXPECT_EQ(r.message(), message);
                EXPECT_EQ(library.materialCount(), 1) << "the library is left as it was";
            }
            // The CSV reader the reader process uses refuses on its own as well.
            const Result<std::unique_ptr<Workbook>> refused = CsvSpreadsheetReader().open(path);
            ASSERT_FALSE(refused);
            EXPECT_EQ(refused.failure().file, path);
            EXPECT_EQ(refused.failure().what, message);
        }
    }
    EXPECT_EQ(workbooks.asked, std::vector<std::string>{});
}

} // namespace
} // namespace mb

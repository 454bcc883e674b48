// Workbooks read by the reader program in a process of its own: the same cells as reading
// them in process, and a message naming the file for whatever goes wrong over there.
#include "IsolatedSpreadsheetReader.h"

#include "FreeXLSpreadsheet.h"
#include "Library.h"
#include "SheetReply.h"
#include "SpreadsheetImport.h"
#include "TextUtil.h"

#include "SheetCells.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace mb {
namespace {

namespace fs = std::filesystem;

std::string Fixture(const std::string& name) {
    return std::string(test::kDataDir) + "/xls/" + name;
}

TEST(IsolatedSpreadsheetReader, ReadsEveryFixtureExactlyAsTheInProcessReaderDoes) {
    // Every workbook here is safe to read in process; those that crash FreeXL are kept
    // apart, in crashes/.
    std::vector<fs::path> books;
    for (const auto& e : fs::directory_iterator(Fixture("")))
        if (e.path().extension() == ".xls") books.push_back(e.path());
    std::sort(books.begin(), books.end());
    int sheets = 0, refusals = 0;
    for (const fs::path& book : books) {
        FreeXLSpreadsheetReader inProcess;
        IsolatedSpreadsheetReader isolated(MB_SHEETREADER_PATH);
        std::string expectedReason, gotReason;
        const auto expected = test::FirstSheet(inProcess.open(book.string()), expectedReason);
        const auto got = test::FirstSheet(isolated.open(book.string()), gotReason);
        EXPECT_EQ(gotReason, expectedReason) << book;
        ASSERT_EQ(got != nullptr, expected != nullptr) << book;
        if (!expected) {
            ++refusals;
            continue;
        }
        ++sheets;
        for (int row = 1; row <= kLastSheetRow; ++row) {
            for (int column = 1; column <= kSheetReplyLastColumn; ++column)
                ASSERT_TRUE(test::SameCell(got->cell(row, column), expected->cell(row, column)))
                    << book << " row " << row << " column " << column;
            const CellValue a = expected->cell(row, 1);
            if (a.kind == CellValue::Kind::Text && equalsNoCase(a.text, "End")) break;
        }
    }
    EXPECT_GE(sheets, 2);
    EXPECT_GE(refusals, 5);
}

// The refusals of readable files are the in-process reader's, compared above; this one
// crashes FreeXL itself, which only the separate process survives.
TEST(IsolatedSpreadsheetReader, AWorkbookThatCrashesTheReaderGivesAMessageAndLeavesTheLibrary) {
    IsolatedSpreadsheetReader reader(MB_SHEETREADER_PATH);
    Library lib;
    lib.addMaterial("", "", "kept", "");
    const std::string book = Fixture("crashes/record_length.xls");
    const ImportResult r = ImportSpreadsheet(book, reader, lib);
    EXPECT_EQ(r.status, ImportResult::Status::CannotOpen);
    // SIGSEGV or, where the C library notices the overrun first, SIGABRT.
    EXPECT_THAT(r.message(),
                testing::MatchesRegex("The file \"" + book +
                                      "\" could not be read: the spreadsheet reader crashed "
                                      "\\(signal (6|11)\\)\\."));
    EXPECT_EQ(lib.LastMaterialIndex(), 0);
    EXPECT_EQ(lib.entry(0).Name, "kept");
}

TEST(IsolatedSpreadsheetReader, AReaderThatMisbehavesGivesAMessageNamingTheFile) {
    // The stand-in reader misbehaves as the file name says.
    const auto limited = [](auto change) {
        ChildLimits limits;
        change(limits);
        return limits;
    };
    const ChildLimits shortWait =
        limited([](ChildLimits& l) { l.wallClock = std::chrono::milliseconds(300); });
    const ChildLimits oneSecond = limited([](ChildLimits& l) {
        l.cpuSeconds = 1;
        l.wallClock = std::chrono::minutes(5); // a busy machine gives it its second slowly
    });
    const ChildLimits littleMemory =
        limited([](ChildLimits& l) { l.addressSpaceBytes = std::size_t{256} << 20; });
    const ChildLimits littleOutput = limited([](ChildLimits& l) { l.outputBytes = 65536; });
    const struct {
        const char* file;
        ChildLimits limits;
        const char* why;
    } cases[] = {
        {"abort-after-output", {}, "the spreadsheet reader crashed (signal 6)"},
        {"memory", littleMemory, "the spreadsheet reader crashed (signal 6)"},
        {"hang", shortWait, "reading it took longer than 0.3 seconds"},
        {"spin", oneSecond, "reading it took more than 1 second of processor time"},
        {"flood", littleOutput, "the spreadsheet reader's answer was larger than 65536 bytes"},
        {"truncated", {}, "the spreadsheet reader gave a malformed answer"},
        {"refuses",
         {},
         "the spreadsheet reader failed with exit status 2 (usage: matbrowser-sheetreader FILE)"},
    };
    for (const auto& c : cases) {
        IsolatedSpreadsheetReader reader(MB_FAKE_SHEET_READER, c.limits);
        const Result<std::unique_ptr<Workbook>> book = reader.open(c.file);
        ASSERT_FALSE(book) << c.file;
        EXPECT_EQ(book.failure().file, c.file);
        EXPECT_EQ(book.failure().what,
                  "The file \"" + std::string(c.file) + "\" could not be read: " + c.why + ".");
    }

    IsolatedSpreadsheetReader missing("/nonexistent/matlib");
    const Result<std::unique_ptr<Workbook>> none = missing.open("book.xls");
    ASSERT_FALSE(none);
    EXPECT_EQ(none.failure().what,
              "The file \"book.xls\" could not be read: the spreadsheet reader "
              "\"/nonexistent/matlib\" cannot be started (No such file or directory).");
}

TEST(IsolatedSpreadsheetReader, FindsTheReaderWhereTheInstallationPutsItThenWhereTheBuildDid) {
    test::TempDir prefix, buildDir;
    const std::string bin = prefix.file("bin"), relative = "../libexec/matbrowser/reader";
    fs::create_directories(bin);
    fs::create_directories(prefix.file("libexec/matbrowser"));
    const std::string installed = bin + "/" + relative, built = buildDir.file("reader");
    const auto locate = [&] { return IsolatedSpreadsheetReader::locate(bin, relative, built); };
    // No test of this program sets the variable but this one, which unsets it again.
    ::unsetenv("MB_SHEET_READER");
    EXPECT_EQ(locate(), installed) << "with neither, the message names the installed place";
    test::WriteBytes(built, "#!/bin/sh\n");
    EXPECT_EQ(locate(), installed) << "a file that cannot be run is not taken";
    ::chmod(built.c_str(), 0755);
    EXPECT_EQ(locate(), built);
    test::WriteBytes(installed, "#!/bin/sh\n");
    ::chmod(installed.c_str(), 0755);
    EXPECT_EQ(locate(), installed);
    ::setenv("MB_SHEET_READER", "/opt/tools/reader", 1);
    EXPECT_EQ(locate(), "/opt/tools/reader");
    ::unsetenv("MB_SHEET_READER");
}

} // namespace
} // namespace mb

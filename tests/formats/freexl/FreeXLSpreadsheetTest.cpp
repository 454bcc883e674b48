#include "FreeXLSpreadsheet.h"

#include "BiffSheetScan.h"

#include "Library.h"
#include "PropertyCatalogue.h"
#include "SpreadsheetImport.h"
#include "TextUtil.h"

#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace mb {
namespace {

std::string Fixture(const std::string& name) {
    return std::string(test::kDataDir) + "/xls/" + name;
}

TEST(FreeXLImport, ReadsTheFirstSheetUpToEnd) {
    FreeXLSpreadsheetReader reader;
    Library lib;
    const ImportResult r = ImportSpreadsheet(Fixture("two_materials.xls"), reader, lib);
    ASSERT_TRUE(r.imported()) << r.message();
    EXPECT_EQ(r.row, 7);
    ASSERT_EQ(lib.LastMaterialIndex(), 1); // not the "Name" after "End", nor the second sheet
    EXPECT_EQ(lib.entry(1).Name, "Aluminium 6061");
    EXPECT_EQ(lib.entry(1).Category, "Aluminum Alloys");
    EXPECT_DOUBLE_EQ(lib.material(0).slotValue(Slot::EX), 2e11);
}

TEST(FreeXLImport, UnreadableFilesFailCleanlyAndLeaveTheLibraryAlone) {
    const std::pair<const char*, const char*> cases[] = {
        {"empty.xls", "is not an Excel 97-2003 workbook."},
        {"not_xls.xls", "is not an Excel 97-2003 workbook."},
        {"corrupt.xls", "is damaged and cannot be read."},
        {"password.xls", "is protected by a password."},
        {"missing.xls", "does not exist or cannot be read."},
        // FreeXL answers these as it answers an encrypted workbook; they have no FILEPASS.
        {"damaged_no_bof.xls", "is damaged and cannot be read."},
        {"damaged_string_count.xls", "is damaged and cannot be read."},
    };
    for (const auto& [file, why] : cases) {
        FreeXLSpreadsheetReader reader;
        Library lib;
        lib.addMaterial("", "", "kept", "");
        const ImportResult r = ImportSpreadsheet(Fixture(file), reader, lib);
        EXPECT_EQ(r.status, ImportResult::Status::CannotOpen) << file;
        EXPECT_EQ(r.message(), "The file \"" + Fixture(file) + "\" " + why);
        EXPECT_EQ(lib.LastMaterialIndex(), 0) << file;
        EXPECT_EQ(lib.entry(0).Name, "kept") << file;
    }
}

// A workbook written by a spreadsheet program: FreeXL hands on the control characters of its
// texts, which the import makes fit. How each text is made to fit is the import's test.
TEST(FreeXLImport, TextsWithControlCharactersArriveAsTheSheetHoldsThem) {
    FreeXLSpreadsheetReader reader;
    Library lib;
    const ImportResult r = ImportSpreadsheet(Fixture("control_characters.xls"), reader, lib);
    const std::string control = "line breaks, tabs and other control characters in the ";
    EXPECT_EQ(r.message(), "Row 1: " + control + "name were replaced by blanks.\nRow 2: " +
                               control + "category were replaced by blanks.\nRow 4: " + control +
                               "name were replaced by blanks.\nRow 7: " + control +
                               "name were replaced by blanks.\nRow 8: " + control +
                               "category were replaced by blanks.");
    std::vector<std::string> entries;
    for (int n = 0; n <= lib.LastMaterialIndex(); ++n)
        entries.push_back(lib.entry(n).Name + "|" + lib.entry(n).Category);
    EXPECT_EQ(entries, (std::vector<std::string>{"Steel A36|Carbon Steels",
                                                 "Plate MATL:Injected|Steel", "Bell metal| "}));
}

// The records FreeXL passes over are read from bytes that may be anything: every fixture,
// damaged ones included, and every prefix and bit flip of a good one give records or a
// reason, never a read past the file.
TEST(BiffSheetScan, ReadsTheFirstSheetsRecordsOrSaysWhyNot) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Fixture(""))) {
        if (!entry.is_regular_file() || entry.path().extension() != ".xls") continue;
        BiffSheetScan scan;
        scanFirstBiffSheet(test::ReadBytes(entry.path().string()), scan);
    }
    const std::string good = test::ReadBytes(Fixture("two_materials.xls"));
    BiffSheetScan scan;
    EXPECT_EQ(scanFirstBiffSheet(good, scan), "");
    EXPECT_TRUE(scan.merged.empty());
    EXPECT_EQ(scanFirstBiffSheet("", scan), "it is not a compound file");
    for (std::size_t n = 0; n < good.size(); n += 61) {
        BiffSheetScan cut;
        scanFirstBiffSheet(good.substr(0, n), cut);
        std::string flipped = good;
        flipped[n] = static_cast<char>(flipped[n] ^ 0x5A);
        scanFirstBiffSheet(flipped, cut);
    }
}

} // namespace
} // namespace mb

#include "FreeXLSpreadsheet.h"

#include "Library.h"
#include "PropertyCatalogue.h"
#include "SpreadsheetImport.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(lib.Entry(1).Name, "Aluminium 6061");
    EXPECT_EQ(lib.Entry(1).Category, "Aluminum Alloys");
    EXPECT_DOUBLE_EQ(lib.Material(0).SlotValue(Slot::EX), 2e11);

    // The sheet's UTF-8 text arrives as Latin-1; what Latin-1 cannot hold becomes "?".
    ASSERT_TRUE(ImportSpreadsheet(Fixture("name_without_type.xls"), reader, lib).imported());
    EXPECT_EQ(lib.Entry(0).Name, "Laiton \xE9tir\xE9");
    EXPECT_EQ(Utf8ToLatin1("\xE2\x82\xAC 5 \xF0\x9F\x98\x80 \x80x bad \xC3"), "? 5 ? ?x bad ?");
}

TEST(FreeXLImport, UnreadableFilesFailCleanlyAndLeaveTheLibraryAlone) {
    const std::pair<const char*, const char*> cases[] = {
        {"empty.xls", "is not an Excel 97-2003 workbook."},
        {"not_xls.xls", "is not an Excel 97-2003 workbook."},
        {"corrupt.xls", "is damaged and cannot be read."},
        {"password.xls", "is protected by a password."},
        // FreeXL answers these as it answers an encrypted workbook; they have no FILEPASS.
        {"damaged_no_bof.xls", "is damaged and cannot be read."},
        {"damaged_string_count.xls", "is damaged and cannot be read."},
        {"damaged_truncated.xls", "is damaged and cannot be read."},
        {"missing.xls", "does not exist or cannot be read."},
    };
    for (const auto& [file, why] : cases) {
        FreeXLSpreadsheetReader reader;
        Library lib;
        lib.AddMaterial("", "", "kept", "");
        const ImportResult r = ImportSpreadsheet(Fixture(file), reader, lib);
        EXPECT_EQ(r.status, ImportResult::Status::CannotOpen) << file;
        EXPECT_EQ(r.message(), "The file \"" + Fixture(file) + "\" " + why);
        EXPECT_EQ(lib.LastMaterialIndex(), 0) << file;
        EXPECT_EQ(lib.Entry(0).Name, "kept") << file;
    }
}

} // namespace
} // namespace mb

#include "platform/freexl/FreeXLSpreadsheet.h"

#include "materials/PropertyCatalogue.h"
#include "model/Library.h"
#include "model/SpreadsheetImport.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

std::string Fixture(const std::string& name) {
    return std::string(test::kDataDir) + "/xls/" + name;
}

ImportResult Import(const std::string& path, Library& lib) {
    FreeXLSpreadsheetReader reader;
    return ImportSpreadsheet(path, reader, lib);
}

// --- Reading cells -----------------------------------------------------------------

TEST(FreeXLReader, CellsOfTheFirstSheetByKind) {
    FreeXLSpreadsheetReader reader;
    std::string reason;
    auto book = reader.open(Fixture("two_materials.xls"), reason);
    ASSERT_TRUE(book) << reason;
    auto sheet = book->firstSheet(reason);
    ASSERT_TRUE(sheet) << reason;

    const CellValue a1 = sheet->cell(1, 1);
    EXPECT_EQ(a1.kind, CellValue::Kind::Text);
    EXPECT_EQ(a1.text, "Name");
    const CellValue b3 = sheet->cell(3, 2);
    EXPECT_EQ(b3.kind, CellValue::Kind::Number);
    EXPECT_DOUBLE_EQ(b3.number, 2e11);
    EXPECT_EQ(sheet->cell(7, 2).kind, CellValue::Kind::Empty);
    EXPECT_EQ(sheet->cell(8, 1).text, "Name") << "the last used row is read too";
    // Outside the used range, and nonsense coordinates, read as empty.
    EXPECT_EQ(sheet->cell(500, 1).kind, CellValue::Kind::Empty);
    EXPECT_EQ(sheet->cell(1, 200).kind, CellValue::Kind::Empty);
    EXPECT_EQ(sheet->cell(0, 1).kind, CellValue::Kind::Empty);
    EXPECT_EQ(sheet->cell(1, -3).kind, CellValue::Kind::Empty);
}

TEST(FreeXLReader, TextArrivesAsLatin1) {
    EXPECT_EQ(Utf8ToLatin1("Laiton \xC3\xA9tir\xC3\xA9"), "Laiton \xE9tir\xE9");
    EXPECT_EQ(Utf8ToLatin1("plain"), "plain");
    EXPECT_EQ(Utf8ToLatin1("\xE2\x82\xAC 5"), "? 5") << "the euro sign is not Latin-1";
    EXPECT_EQ(Utf8ToLatin1("\xF0\x9F\x98\x80"), "?");
    EXPECT_EQ(Utf8ToLatin1("bad \xC3"), "bad ?") << "a sequence cut short";
    EXPECT_EQ(Utf8ToLatin1("\x80x"), "?x");
}

// --- Importing the fixtures -----------------------------------------------------------

TEST(FreeXLImport, TwoMaterials) {
    Library lib;
    const ImportResult r = Import(Fixture("two_materials.xls"), lib);
    ASSERT_TRUE(r.imported()) << r.message();
    EXPECT_EQ(r.row, 7);
    ASSERT_EQ(lib.LastMaterialIndex, 1);
    EXPECT_EQ(lib.Entry(0).Name, "Structural Steel");
    EXPECT_EQ(lib.Entry(0).Category, "Steel");
    EXPECT_EQ(lib.Entry(1).Name, "Aluminium 6061");
    EXPECT_EQ(lib.Entry(1).Category, "Aluminum Alloys");
    EXPECT_DOUBLE_EQ(lib.Material(0).SlotValue(Slot::EX), 2e11);
    EXPECT_DOUBLE_EQ(lib.Shadow(0).SlotValue(Slot::NUXY), 0.3);
    EXPECT_EQ(lib.Material(1).MaterialName(), "Aluminium 6061");
}

TEST(FreeXLImport, NameWithoutTypeKeepsLatin1Name) {
    Library lib;
    ASSERT_TRUE(Import(Fixture("name_without_type.xls"), lib).imported());
    EXPECT_EQ(lib.Entry(0).Name, "Laiton \xE9tir\xE9");
    EXPECT_EQ(lib.Entry(0).Category, "");
    EXPECT_DOUBLE_EQ(lib.Material(0).SlotValue(Slot::DENS), 8500);
}

TEST(FreeXLImport, LowerCaseNameAndANumberAsName) {
    Library lib;
    const ImportResult r = Import(Fixture("lowercase_name.xls"), lib);
    ASSERT_TRUE(r.imported()) << r.message();
    EXPECT_EQ(r.row, 5);
    EXPECT_EQ(lib.Entry(0).Name, "4340");
    EXPECT_EQ(lib.Entry(0).Category, "Steel");
}

struct BadSheet {
    const char* file;
    ImportResult::Status status;
    int row;
    int materialsKept;
};

class FreeXLImportFailure : public testing::TestWithParam<BadSheet> {};

TEST_P(FreeXLImportFailure, StopsAtTheRowAndKeepsWhatWasRead) {
    const BadSheet& p = GetParam();
    Library lib;
    const ImportResult r = Import(Fixture(p.file), lib);
    EXPECT_EQ(r.status, p.status) << r.message();
    EXPECT_EQ(r.row, p.row);
    EXPECT_EQ(lib.MaterialCount(), p.materialsKept);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, FreeXLImportFailure,
    testing::Values(BadSheet{"value_before_name.xls", ImportResult::Status::ValueRowBeforeName, 1, 0},
                    BadSheet{"twelve_value_rows.xls", ImportResult::Status::TooManyValueRows, 14, 1},
                    BadSheet{"text_value.xls", ImportResult::Status::NotANumber, 4, 1},
                    // Without an "End" row the empty rows below the data are value rows.
                    BadSheet{"no_end.xls", ImportResult::Status::TooManyValueRows, 14, 1}),
    [](const auto& param) {
        std::string name = param.param.file;
        return name.substr(0, name.find('.'));
    });

TEST(FreeXLImport, TextThatIsANumberCountsAsTheNumber) {
    Library lib;
    Import(Fixture("text_value.xls"), lib);
    EXPECT_DOUBLE_EQ(lib.Material(0).SlotValue(Slot::EX), 1.1e11);
}

TEST(FreeXLImport, TheExampleSheet) {
    Library lib;
    const std::string path = std::string(test::kDataDir) + "/../../examples/sample.xls";
    const ImportResult r = Import(path, lib);
    ASSERT_TRUE(r.imported()) << r.message();
    ASSERT_EQ(lib.MaterialCount(), 5);
    for (int n = 0; n < lib.MaterialCount(); ++n) {
        EXPECT_FALSE(lib.Entry(n).Category.empty());
        for (int slot : {Slot::EX, Slot::NUXY, Slot::DENS})
            EXPECT_TRUE(lib.Material(n).HasValue(slot)) << lib.Entry(n).Name << " slot " << slot;
    }
}

// --- Files that are not workbooks ------------------------------------------------------

struct Unreadable {
    const char* file;
    const char* why;
};

class FreeXLUnreadable : public testing::TestWithParam<Unreadable> {};

TEST_P(FreeXLUnreadable, FailsCleanlyAndLeavesTheLibraryAlone) {
    const Unreadable& p = GetParam();
    Library lib;
    lib.AppendMaterial();
    lib.Entry(0).Name = "kept";
    const std::string path = Fixture(p.file);
    const ImportResult r = Import(path, lib);
    EXPECT_EQ(r.status, ImportResult::Status::CannotOpen);
    EXPECT_EQ(r.message(), "The file \"" + path + "\" " + p.why);
    EXPECT_EQ(lib.LastMaterialIndex, 0);
    EXPECT_EQ(lib.Entry(0).Name, "kept");
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, FreeXLUnreadable,
    testing::Values(Unreadable{"empty.xls", "is not an Excel 97-2003 workbook."},
                    Unreadable{"not_xls.xls", "is not an Excel 97-2003 workbook."},
                    Unreadable{"corrupt.xls", "is damaged and cannot be read."},
                    Unreadable{"password.xls", "is protected by a password."},
                    Unreadable{"missing.xls", "does not exist or cannot be read."}),
    [](const auto& param) {
        std::string name = param.param.file;
        return name.substr(0, name.find('.'));
    });

} // namespace
} // namespace mb

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

TEST(FreeXLReader, CellsOfTheFirstSheetByKind) {
    FreeXLSpreadsheetReader reader;
    std::string reason;
    auto book = reader.open(Fixture("two_materials.xls"), reason);
    ASSERT_TRUE(book) << reason;
    auto sheet = book->firstSheet(reason);
    ASSERT_TRUE(sheet) << reason;
    EXPECT_EQ(sheet->cell(1, 1).kind, CellValue::Kind::Text);
    EXPECT_EQ(sheet->cell(1, 1).text, "Name");
    EXPECT_EQ(sheet->cell(3, 2).kind, CellValue::Kind::Number);
    EXPECT_DOUBLE_EQ(sheet->cell(3, 2).number, 2e11);
    EXPECT_EQ(sheet->cell(8, 1).text, "Name") << "the last used row is read too";
    // Empty cells, cells outside the used range and nonsense coordinates read as empty.
    for (auto [row, column] : {std::pair{7, 2}, {500, 1}, {1, 200}, {0, 1}, {1, -3}})
        EXPECT_EQ(sheet->cell(row, column).kind, CellValue::Kind::Empty) << row << "," << column;
}

TEST(FreeXLReader, TextArrivesAsLatin1) {
    const std::pair<const char*, const char*> cases[] = {
        {"Laiton \xC3\xA9tir\xC3\xA9", "Laiton \xE9tir\xE9"},
        {"\xE2\x82\xAC 5", "? 5"}, // the euro sign is not Latin-1
        {"\xF0\x9F\x98\x80", "?"},
        {"bad \xC3", "bad ?"}, // a sequence cut short
        {"\x80x", "?x"},
    };
    for (const auto& [utf8, latin1] : cases) EXPECT_EQ(Utf8ToLatin1(utf8), latin1);
}

TEST(FreeXLImport, Fixtures) {
    Library lib;
    ImportResult r = Import(Fixture("two_materials.xls"), lib);
    ASSERT_TRUE(r.imported()) << r.message();
    EXPECT_EQ(r.row, 7);
    ASSERT_EQ(lib.LastMaterialIndex, 1);
    EXPECT_EQ(lib.Entry(0).Name, "Structural Steel");
    EXPECT_EQ(lib.Entry(0).Category, "Steel");
    EXPECT_EQ(lib.Entry(1).Name, "Aluminium 6061");
    EXPECT_EQ(lib.Entry(1).Category, "Aluminum Alloys");
    EXPECT_DOUBLE_EQ(lib.Shadow(0).SlotValue(Slot::NUXY), 0.3);

    // A name with an accent and no "Type" row.
    ASSERT_TRUE(Import(Fixture("name_without_type.xls"), lib).imported());
    EXPECT_EQ(lib.Entry(0).Name, "Laiton \xE9tir\xE9");
    EXPECT_EQ(lib.Entry(0).Category, "");
    EXPECT_DOUBLE_EQ(lib.Material(0).SlotValue(Slot::DENS), 8500);

    // "name" in lower case, and a number as the name.
    r = Import(Fixture("lowercase_name.xls"), lib);
    ASSERT_TRUE(r.imported()) << r.message();
    EXPECT_EQ(r.row, 5);
    EXPECT_EQ(lib.Entry(0).Name, "4340");
    EXPECT_EQ(lib.Entry(0).Category, "Steel");
}

TEST(FreeXLImport, TheExampleSheet) {
    Library lib;
    const ImportResult r = Import(std::string(test::kDataDir) + "/../../examples/sample.xls", lib);
    ASSERT_TRUE(r.imported()) << r.message();
    ASSERT_EQ(lib.MaterialCount(), 5);
    for (int n = 0; n < lib.MaterialCount(); ++n) {
        EXPECT_FALSE(lib.Entry(n).Category.empty());
        for (int slot : {Slot::EX, Slot::NUXY, Slot::DENS})
            EXPECT_TRUE(lib.Material(n).HasValue(slot)) << lib.Entry(n).Name << " slot " << slot;
    }
}

TEST(FreeXLImport, UnreadableFilesFailCleanlyAndLeaveTheLibraryAlone) {
    const std::pair<const char*, const char*> cases[] = {
        {"empty.xls", "is not an Excel 97-2003 workbook."},
        {"not_xls.xls", "is not an Excel 97-2003 workbook."},
        {"corrupt.xls", "is damaged and cannot be read."},
        {"password.xls", "is protected by a password."},
        {"missing.xls", "does not exist or cannot be read."},
    };
    for (const auto& [file, why] : cases) {
        SCOPED_TRACE(file);
        Library lib;
        lib.AppendMaterial();
        lib.Entry(0).Name = "kept";
        const std::string path = Fixture(file);
        const ImportResult r = Import(path, lib);
        EXPECT_EQ(r.status, ImportResult::Status::CannotOpen);
        EXPECT_EQ(r.message(), "The file \"" + path + "\" " + why);
        EXPECT_EQ(lib.LastMaterialIndex, 0);
        EXPECT_EQ(lib.Entry(0).Name, "kept");
    }
}

} // namespace
} // namespace mb

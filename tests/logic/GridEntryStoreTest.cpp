// Which property a Value cell stores into, for every way the store finds a row's code.

#include "views/GridEntryStore.h"
#include "FakeControls.h"
#include "model/Library.h"
#include "model/NodeKey.h"

#include <gtest/gtest.h>

namespace mb::test {
namespace {

/// Thirteen polymers, material 12 selected, SI chosen, a type selector with 14 entries.
class EntryStore : public ::testing::Test {
protected:
    EntryStore() {
        for (int n = 0; n < 13; ++n) {
            library.AppendMaterial();
            library.Entry(n) = {"Polymers    ", "", "Mat " + std::to_string(n), ""};
        }
        BuildTree(library, tree);
        for (const char* system : {"IPS", "SI", "MKS(G)"})
            units.addItem(system);
        units.setListIndex(1);
        for (int i = 0; i < 14; ++i)
            type.addItem("type");
        tree.select(MaterialNodeKey("Polymers    ", "Mat 12", 12));
        grid.setRows(41);
        grid.setCols(4);
    }

    /// Types `text` into `row` with type `typeIndex` chosen; the store reads the cell, not
    /// the text it is handed.
    void store(int typeIndex, int row, const std::string& text) {
        type.setListIndex(typeIndex);
        grid.setCurrentCell(row, 2);
        grid.setText(text);
        entry.Map(static_cast<int16_t>(row), 2, "999", 0, grid, type);
    }

    /// Codes that hold a value in any material, with the material's number.
    std::vector<std::string> valued() {
        std::vector<std::string> codes;
        for (int n = 0; n < 13; ++n)
            for (int slot = 0; slot < kVisitedSlots; ++slot)
                if (library.Material(n).HasValue(slot))
                    codes.push_back(std::to_string(n) + ":" + clsMaterial::GetNthProperty(slot));
        return codes;
    }
    double value(const std::string& code) {
        library.Material(12).Property(code);
        return library.Material(12).value();
    }

    Library library;
    fake::FakeTree tree;
    fake::FakeGrid grid;
    fake::FakeComboBox units, type;
    std::string separator = ".";
    GridEntryStore entry{library, tree, units, separator};
};

struct RowCase {
    int type, row;
    const char* code;
};

class RowToCode : public EntryStore, public ::testing::WithParamInterface<RowCase> {};

TEST_P(RowToCode, OnlyThatPropertyOfTheSelectedMaterialReceivesTheValue) {
    store(GetParam().type, GetParam().row, " 7.5 ");
    EXPECT_EQ(valued(), std::vector<std::string>{"12:" + std::string(GetParam().code)});
    EXPECT_EQ(value(GetParam().code), 7.5);
}

// The viscoelastic rows are searched first 1-3, then DENS (39) and REFTEMP (36), then the
// numbered tables.
INSTANTIATE_TEST_SUITE_P(Viscoelastic, RowToCode,
                         ::testing::Values(RowCase{12, 1, "EX"}, RowCase{12, 3, "GXY"},
                                           RowCase{12, 4, "G1"}, RowCase{12, 11, "G8"},
                                           RowCase{12, 12, "TAUG1"}, RowCase{12, 20, "K1"},
                                           RowCase{12, 27, "K8"}, RowCase{12, 28, "TAUK1"},
                                           RowCase{12, 35, "TAUK8"}, RowCase{12, 36, "REFTEMP"},
                                           RowCase{12, 37, "VC1"}, RowCase{12, 38, "VC2"},
                                           RowCase{12, 39, "DENS"}));

INSTANTIATE_TEST_SUITE_P(OtherTypes, RowToCode,
                         ::testing::Values(RowCase{0, 10, "C (Cp)"}, RowCase{1, 17, "KX"},
                                           RowCase{2, 1, "MC11"}, RowCase{2, 21, "MC66"},
                                           RowCase{2, 22, "DENS"}, RowCase{2, 25, "DENS"},
                                           RowCase{5, 4, "ETAN"}, RowCase{7, 6, "DENS"},
                                           RowCase{8, 4, "FRCANG"}, RowCase{9, 7, "MOONEY_F"},
                                           RowCase{10, 9, "MU4"}, RowCase{11, 2, "DENS"}));

TEST_F(EntryStore, UnlistedRowsTypesOrSelectionsStoreNothing) {
    for (const auto& [typeIndex, row] :
         std::vector<std::pair<int, int>>{{0, 11}, {11, 3}, {12, 40}, {13, 1}, {-1, 1}})
        store(typeIndex, row, "1");
    tree.select("Polymers    ");
    store(0, 1, "1");
    fake::FakeTree nothingSelected;
    GridEntryStore noSelection{library, nothingSelected, units, separator};
    type.setListIndex(0);
    noSelection.Map(1, 2, "1", 1, grid, type);
    EXPECT_EQ(valued(), std::vector<std::string>{});
}

TEST_F(EntryStore, TextThatIsNoNumberClearsTheValue) {
    for (const char* cleared : {"five", ""}) {
        store(0, 1, "5");
        ASSERT_EQ(valued(), std::vector<std::string>{"12:EX"});
        store(0, 1, cleared);
        EXPECT_EQ(valued(), std::vector<std::string>{}) << cleared;
    }
}

TEST_F(EntryStore, ConvertsFromTheChosenSystemToSi) {
    for (const auto& [system, si] : std::vector<std::pair<int, double>>{
             {0, 6893.5773}, {2, 98066.5}, {-1, 1.0}}) { // no system: nothing to convert
        units.setListIndex(system);
        store(0, 1, "1");
        EXPECT_DOUBLE_EQ(value("EX"), si) << system;
    }
}

TEST_F(EntryStore, CommaIsTheDecimalPointWhereTheUserSaysSo) {
    separator = ",";
    store(0, 2, "2,5");
    EXPECT_EQ(value("NUXY"), 2.5);
}

TEST(CurrentMaterial, NumberFromTheSelectedMaterialKey) {
    fake::FakeTree tree;
    EXPECT_EQ(CurrentMaterial(tree), -1);
    tree.addNode(std::nullopt, "Metals    ", "Metals    ", "closedbook");
    tree.addNode("Metals    ", "Metals    Steel  0012", "Steel  ", "leaf");
    tree.addNode("Metals    ", "Metals    Iron  0000", "Iron  ", "leaf");
    for (const auto& [key, number] : std::vector<std::pair<std::string, int>>{
             {"Metals    Steel  0012", 12}, {"Metals    Iron  0000", 0}, {"Metals    ", -1}}) {
        tree.select(key);
        EXPECT_EQ(CurrentMaterial(tree), number) << key;
    }
}

} // namespace
} // namespace mb::test

// Which property a Value cell stores into, for every way the store finds a row's code.

#include "FakeControls.h"
#include "model/Library.h"
#include "model/NodeKey.h"
#include "views/GridEntryStore.h"

#include <gtest/gtest.h>

namespace mb::test {
namespace {

class EntryStore : public ::testing::Test {
protected:
    EntryStore() {
        for (int i = 0; i < 13; ++i) {
            const int n = library.AppendMaterial();
            library.Entry(n) = {"Polymers    ", "", "Mat " + std::to_string(n), ""};
            library.Material(n);
        }
        BuildTree(library, tree);
        for (int i = 0; i < 3; ++i) units.addItem(i == 2 ? "MKS(G)" : i ? "SI" : "IPS");
        units.setListIndex(1);
        for (int i = 0; i < 14; ++i) type.addItem("type");
        select(12);
    }

    void select(int n) {
        tree.select(MaterialNodeKey("Polymers    ", "Mat " + std::to_string(n), n));
    }

    /// Stores `text` as typed in `row` for `typeIndex`, into the selected material.
    void store(int typeIndex, int row, const std::string& text) {
        type.setListIndex(typeIndex);
        grid.setRows(41);
        grid.setCols(4);
        grid.setCurrentCell(row, 2);
        grid.setText(text);
        entry.Map(static_cast<int16_t>(row), 2, text, 1, grid, type);
    }

    /// Codes of material n that hold a value.
    std::vector<std::string> valued(int n) {
        std::vector<std::string> codes;
        clsMaterial& m = library.Material(n);
        for (int slot = 0; slot < kVisitedSlots; ++slot)
            if (m.HasValue(slot)) codes.push_back(clsMaterial::GetNthProperty(slot));
        return codes;
    }

    double value(int n, const std::string& code) {
        clsMaterial& m = library.Material(n);
        m.Property(code);
        return m.value();
    }

    Library library;
    fake::FakeTree tree;
    fake::FakeGrid grid;
    fake::FakeComboBox units;
    fake::FakeComboBox type;
    std::string separator = ".";
    GridEntryStore entry{library, tree, units, separator};
};

struct RowCase {
    int type;
    int row;
    const char* code;
};

class RowToCode : public EntryStore, public ::testing::WithParamInterface<RowCase> {};

TEST_P(RowToCode, OnlyThatPropertyReceivesTheValue) {
    store(GetParam().type, GetParam().row, "7.5");
    EXPECT_EQ(valued(12), std::vector<std::string>{GetParam().code});
    EXPECT_EQ(value(12, GetParam().code), 7.5);
}

INSTANTIATE_TEST_SUITE_P(
    Viscoelastic, RowToCode,
    ::testing::Values(RowCase{12, 1, "EX"}, RowCase{12, 3, "GXY"}, RowCase{12, 4, "G1"},
                      RowCase{12, 11, "G8"}, RowCase{12, 12, "TAUG1"}, RowCase{12, 20, "K1"},
                      RowCase{12, 27, "K8"}, RowCase{12, 28, "TAUK1"}, RowCase{12, 35, "TAUK8"},
                      RowCase{12, 36, "REFTEMP"}, RowCase{12, 37, "VC1"}, RowCase{12, 38, "VC2"},
                      RowCase{12, 39, "DENS"}));

INSTANTIATE_TEST_SUITE_P(
    OtherTypes, RowToCode,
    ::testing::Values(RowCase{0, 10, "C (Cp)"}, RowCase{1, 17, "KX"}, RowCase{2, 1, "MC11"},
                      RowCase{2, 21, "MC66"}, RowCase{2, 22, "DENS"}, RowCase{2, 25, "DENS"},
                      RowCase{5, 4, "ETAN"}, RowCase{7, 6, "DENS"}, RowCase{8, 4, "FRCANG"},
                      RowCase{9, 7, "MOONEY_F"}, RowCase{10, 9, "MU4"}, RowCase{11, 2, "DENS"}));

TEST_F(EntryStore, RowsTheTypeDoesNotListStoreNothing) {
    store(0, 11, "1");
    store(11, 3, "1");
    store(12, 40, "1");
    store(13, 1, "1");
    store(-1, 1, "1");
    EXPECT_TRUE(valued(12).empty());
}

TEST_F(EntryStore, CategorySelectedStoresNothing) {
    tree.select("Polymers    ");
    store(0, 1, "1");
    for (int n = 0; n < 13; ++n) EXPECT_TRUE(valued(n).empty()) << n;
}

TEST_F(EntryStore, NothingSelectedStoresNothing) {
    fake::FakeTree empty;
    GridEntryStore noSelection{library, empty, units, separator};
    grid.setRows(11);
    grid.setCurrentCell(1, 2);
    grid.setText("1");
    type.setListIndex(0);
    noSelection.Map(1, 2, "1", 1, grid, type);
    for (int n = 0; n < 13; ++n) EXPECT_TRUE(valued(n).empty()) << n;
}

TEST_F(EntryStore, TextThatIsNoNumberClearsTheValue) {
    store(0, 1, "5");
    ASSERT_EQ(valued(12), std::vector<std::string>{"EX"});
    store(0, 1, "five");
    EXPECT_TRUE(valued(12).empty());
    store(0, 1, "5");
    store(0, 1, "");
    EXPECT_TRUE(valued(12).empty());
}

TEST_F(EntryStore, ConvertsFromTheChosenSystemToSi) {
    units.setListIndex(0);
    store(0, 1, "1");
    EXPECT_DOUBLE_EQ(value(12, "EX"), 6893.5773);
    units.setListIndex(2);
    store(0, 1, "1");
    EXPECT_DOUBLE_EQ(value(12, "EX"), 98066.5);
    units.setListIndex(-1); // no system: nothing to convert from
    store(0, 1, "3");
    EXPECT_DOUBLE_EQ(value(12, "EX"), 3);
}

TEST_F(EntryStore, ReadsTheCellNotTheValueArgument) {
    type.setListIndex(0);
    grid.setRows(11);
    grid.setCurrentCell(2, 2);
    grid.setText(" 0.25 ");
    entry.Map(2, 2, "999", 0, grid, type);
    EXPECT_EQ(value(12, "NUXY"), 0.25);
}

TEST_F(EntryStore, CommaIsTheDecimalPointWhereTheUserSaysSo) {
    separator = ",";
    store(0, 2, "2,5");
    EXPECT_EQ(value(12, "NUXY"), 2.5);
}

TEST(CurrentMaterial, NumberFromTheSelectedMaterialKey) {
    fake::FakeTree tree;
    EXPECT_EQ(CurrentMaterial(tree), -1);
    tree.addNode(std::nullopt, "Metals    ", "Metals    ", "closedbook");
    tree.addNode("Metals    ", "Metals    Steel  0012", "Steel  ", "leaf");
    tree.addNode("Metals    ", "Metals    Iron  0000", "Iron  ", "leaf");
    tree.select("Metals    Steel  0012");
    EXPECT_EQ(CurrentMaterial(tree), 12);
    tree.select("Metals    Iron  0000");
    EXPECT_EQ(CurrentMaterial(tree), 0);
    tree.select("Metals    ");
    EXPECT_EQ(CurrentMaterial(tree), -1);
}

} // namespace
} // namespace mb::test

// Which property a Value cell stores into, for every way the store finds a row's code.

#include "EditorFixture.h"

#include "GridEntryStore.h"

namespace mb::test {
namespace {

/// The store on the editor's controls, the clad sheet (no values) selected.
class EntryStore : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        editor.typeCombo.addItem("Extra"), editor.TreeView1.select(typedKeys[3]);
    }
    /// Puts `text` into `row` with type `typeIndex` chosen and stores it (the store reads
    /// the cell, not the text it is handed); gives the clad sheet's codes with a value.
    Texts store(int typeIndex, int row, const std::string& text) {
        editor.typeCombo.setListIndex(typeIndex);
        editor.VSFlexGrid1.setCurrentCell(row, 2);
        editor.VSFlexGrid1.setText(text);
        entry.Map(int16_t(row), 2, "999", 0, editor.VSFlexGrid1, editor.typeCombo);
        Texts codes;
        for (int slot = 0; slot < kVisitedSlots; ++slot)
            if (state.library.material(3).HasValue(slot))
                codes.push_back(clsMaterial::GetNthProperty(slot));
        return codes;
    }
    GridEntryStore entry{state, editor.TreeView1, editor.unitsCombo};
};

// Viscoelastic rows are searched 1-3, then DENS (39) and REFTEMP (36), then the numbered
// tables; anisotropic rows from 22 on are all DENS; types 5 to 7 share the table of type 4.
TEST_F(EntryStore, EachRowStoresIntoItsPropertyOfTheSelectedMaterialAndUnlistedOnesNowhere) {
    for (const auto& [typeIndex, row, code] : std::vector<std::tuple<int, int, Texts>>{
             {12, 3, {"GXY"}},  {12, 4, {"G1"}},     {12, 11, {"G8"}},     {12, 12, {"TAUG1"}},
             {12, 27, {"K8"}},  {12, 28, {"TAUK1"}}, {12, 35, {"TAUK8"}},  {12, 36, {"REFTEMP"}},
             {12, 37, {"VC1"}}, {12, 38, {"VC2"}},   {12, 39, {"DENS"}},   {0, 10, {"C (Cp)"}},
             {1, 17, {"KX"}},   {2, 21, {"MC66"}},   {2, 25, {"DENS"}},    {5, 4, {"ETAN"}},
             {7, 6, {"DENS"}},  {8, 4, {"FRCANG"}},  {9, 7, {"MOONEY_F"}}, {10, 9, {"MU4"}},
             {11, 2, {"DENS"}}, {0, 11, {}},         {11, 3, {}},          {12, 40, {}},
             {13, 1, {}},       {-1, 1, {}}}) {
        SCOPED_TRACE(row);
        state.library.material(3).ClearAll();
        EXPECT_EQ(store(typeIndex, row, " 7.5 "), code);
    }
    editor.TreeView1.select("Metals    ");
    EXPECT_EQ(store(0, 1, "1"), Texts{}) << "no material selected";
}

TEST_F(EntryStore, ConvertsFromTheChosenSystemInTheUsersDecimalSeparatorOrClears) {
    state.doc.DecimalSeparator = ",";
    for (const auto& [system, si] : std::vector<std::pair<int, double>>{
             {0, 6893.5773}, {2, 98066.5}, {-1, 1.0}}) { // no system: nothing to convert
        editor.unitsCombo.setListIndex(system);
        store(0, 1, "1,0");
        EXPECT_DOUBLE_EQ(*stored(3, "EX"), si) << system;
    }
    for (const char* cleared : {"five", ""}) {
        ASSERT_EQ(store(0, 1, "5"), Texts{"EX"});
        EXPECT_EQ(store(0, 1, cleared), Texts{}) << cleared;
    }
}

} // namespace
} // namespace mb::test

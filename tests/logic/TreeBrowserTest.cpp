// Selecting nodes in the tree: the boxes, the buttons, the grid and the node pictures.

#include "EditorFixture.h"

namespace mb::test {
namespace {

using TreeBrowser = EditorTest;

TEST_F(TreeBrowser, ClickingAMaterialShowsIt) {
    show(1);
    EXPECT_EQ(ed.materialTypeText.text(), "Metals    ");
    EXPECT_EQ(ed.materialNameText.text(), "Aluminium 6061");
    EXPECT_EQ(ed.descriptionText.text(), "Extruded");
    EXPECT_TRUE(ed.VSFlexGrid1.isVisible());
    EXPECT_FALSE(ed.cmdNewMaterial.isVisible());
    EXPECT_TRUE(ed.reset.isVisible());
    EXPECT_TRUE(ed.AddSet.isVisible());
    EXPECT_EQ(ed.TreeView1.image(keyOf(1)), "leaf1");
    EXPECT_EQ(state.library.LastNodeKey, keyOf(1));
    EXPECT_EQ(valueOf("NUXY"), "0.33");
}

TEST_F(TreeBrowser, ClickingACategoryAfterAMaterialGivesTheLeafBack) {
    show(0);
    ed.clickNode("Polymers    ");
    EXPECT_EQ(ed.TreeView1.image(keyOf(0)), "leaf");
    EXPECT_EQ(ed.materialTypeText.text(), "Polymers    ");
    EXPECT_EQ(ed.materialNameText.text(), "");
    EXPECT_EQ(ed.descriptionText.text(), "");
    EXPECT_FALSE(ed.VSFlexGrid1.isVisible());
    EXPECT_TRUE(ed.cmdNewMaterial.isVisible());
    EXPECT_FALSE(ed.reset.isVisible());
    EXPECT_FALSE(ed.AddSet.isVisible());
    EXPECT_EQ(state.library.LastNodeKey, "Polymers    ");
}

TEST_F(TreeBrowser, OnlyTheShownMaterialCarriesTheSelectedLeaf) {
    show(0);
    show(2);
    EXPECT_EQ(ed.TreeView1.image(keyOf(0)), "leaf");
    EXPECT_EQ(ed.TreeView1.image(keyOf(2)), "leaf1");
    ed.clickNode("Metals    ");
    EXPECT_EQ(ed.TreeView1.image(keyOf(2)), "leaf");
    EXPECT_EQ(ed.TreeView1.image("Metals    "), "closedbook");
}

TEST_F(TreeBrowser, MaterialNumberZeroIsAMaterial) {
    ASSERT_EQ(keyOf(0).substr(keyOf(0).size() - 4), "0000");
    show(0);
    EXPECT_EQ(ed.materialNameText.text(), "Steel S235");
    EXPECT_TRUE(ed.VSFlexGrid1.isVisible());
    EXPECT_EQ(ed.form.CurrentMaterial(), 0);
}

TEST_F(TreeBrowser, CategoryNamedWithDigitsIsACategory) {
    ed.clickNode("Alloy 2024    ");
    EXPECT_EQ(ed.materialTypeText.text(), "Alloy 2024    ");
    EXPECT_FALSE(ed.VSFlexGrid1.isVisible());
    EXPECT_EQ(ed.form.CurrentMaterial(), -1);
}

TEST_F(TreeBrowser, ClickingClearsADropHighlight) {
    ed.TreeView1.setDropHighlight("Polymers    ");
    show(0);
    EXPECT_EQ(ed.TreeView1.dropHighlight(), std::nullopt);
}

TEST_F(TreeBrowser, ClickingHighlightsWhatLiesAtTheTreesCorner) {
    ed.TreeView1.placeAt(0, 0, "Metals    ");
    show(2);
    EXPECT_EQ(ed.TreeView1.dropHighlight(), "Metals    ");
}

TEST_F(TreeBrowser, KeyNumberingNoMaterialShowsNoTexts) {
    ed.TreeView1.addNode("Metals    ", "Metals    Ghost9999", "Ghost", "leaf");
    ed.materialNameText.setText("before");
    ed.clickNode("Metals    Ghost9999");
    EXPECT_EQ(ed.materialNameText.text(), "before");
    EXPECT_TRUE(ed.VSFlexGrid1.isVisible());
    for (int r = 1; r < ed.VSFlexGrid1.rows(); ++r) EXPECT_EQ(ed.VSFlexGrid1.textMatrix(r, 2), "");
}

TEST_F(TreeBrowser, ExpandingAndCollapsingSwitchTheBookWithoutSelecting) {
    show(0);
    ed.form.TreeView1_Expand("Polymers    ");
    EXPECT_EQ(ed.TreeView1.image("Polymers    "), "openbook");
    EXPECT_EQ(ed.TreeView1.selectedKey(), keyOf(0));
    ed.form.TreeView1_Collapse("Polymers    ");
    EXPECT_EQ(ed.TreeView1.image("Polymers    "), "closedbook");
    EXPECT_EQ(state.library.LastNodeKey, keyOf(0));
}

} // namespace
} // namespace mb::test

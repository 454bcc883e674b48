// Selecting nodes in the tree: the boxes, the buttons, the grid and the node pictures.

#include "EditorFixture.h"

namespace mb::test {
namespace {

class TreeBrowser : public EditorTest {
protected:
    std::vector<std::string> boxes() {
        return {ed.materialTypeText.text(), ed.materialNameText.text(), ed.descriptionText.text()};
    }
    /// Visibility of the grid, "&Add New Material", "&Reset" and "&Clear".
    std::vector<bool> shown() {
        return {ed.VSFlexGrid1.isVisible(), ed.cmdNewMaterial.isVisible(), ed.reset.isVisible(),
                ed.AddSet.isVisible()};
    }
};

TEST_F(TreeBrowser, ClickingAMaterialShowsItMaterialZeroToo) {
    ASSERT_EQ(keyOf(0).substr(keyOf(0).size() - 4), "0000");
    for (int n : {1, 0}) {
        show(n);
        EXPECT_EQ(ed.TreeView1.image(keyOf(n)), "leaf1");
        EXPECT_EQ(state.library.LastNodeKey, keyOf(n));
        EXPECT_EQ(ed.form.CurrentMaterial(), n);
        EXPECT_EQ(shown(), (std::vector<bool>{true, false, true, true}));
    }
    EXPECT_EQ(ed.TreeView1.image(keyOf(1)), "leaf") << "only the shown material is marked";
    EXPECT_EQ(boxes(), (std::vector<std::string>{"Metals    ", "Steel S235", "Hot-rolled"}));
    EXPECT_EQ(valueOf("NUXY"), "0.3");
}

TEST_F(TreeBrowser, ClickingACategoryAfterAMaterialGivesTheLeafBackAndHidesTheGrid) {
    show(0);
    ed.clickNode("Alloy 2024    "); // digits at the end of its name, blanks at the end of its key
    EXPECT_EQ(ed.TreeView1.image(keyOf(0)), "leaf");
    EXPECT_EQ(ed.TreeView1.image("Alloy 2024    "), "closedbook");
    EXPECT_EQ(boxes(), (std::vector<std::string>{"Alloy 2024    ", "", ""}));
    EXPECT_EQ(shown(), (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(state.library.LastNodeKey, "Alloy 2024    ");
    EXPECT_EQ(ed.form.CurrentMaterial(), -1);
}

TEST_F(TreeBrowser, ClickingSetsTheDropHighlightToWhatLiesAtTheTreesCorner) {
    ed.TreeView1.setDropHighlight("Polymers    ");
    show(0);
    EXPECT_EQ(ed.TreeView1.dropHighlight(), std::nullopt);
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
    EXPECT_EQ(column(2), std::vector<std::string>(10, ""));
}

TEST_F(TreeBrowser, ExpandingAndCollapsingSwitchTheBookWithoutSelecting) {
    show(0);
    ed.form.TreeView1_Expand("Polymers    ");
    EXPECT_EQ(ed.TreeView1.image("Polymers    "), "openbook");
    ed.form.TreeView1_Collapse("Polymers    ");
    EXPECT_EQ(ed.TreeView1.image("Polymers    "), "closedbook");
    EXPECT_EQ(ed.TreeView1.selectedKey(), keyOf(0));
    EXPECT_EQ(state.library.LastNodeKey, keyOf(0));
}

} // namespace
} // namespace mb::test

#include "model/Library.h"
#include "model/LibraryFile.h"
#include "model/NodeKey.h"
#include "platform/Controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace mb {
namespace {

// Just enough of a tree control to see what the model builds: nodes in insertion order,
// duplicate keys and missing parents refused as the real control refuses them.
class FakeTree : public TreeControl {
public:
    struct Node {
        std::optional<std::string> parent;
        std::string key, text, image;
    };
    std::vector<Node> nodes;
    std::optional<std::string> selected;
    bool visible = true;
    bool imagesCleared = false;

    bool addNode(const std::optional<std::string>& parent, const std::string& key,
                 const std::string& text, const std::string& image) override {
        if (exists(key) || (parent && !exists(*parent))) return false;
        nodes.push_back({parent, key, text, image});
        return true;
    }
    void removeAll() override {
        nodes.clear();
        selected.reset();
    }
    bool removeNode(const std::string&) override { return false; }
    int nodeCount() const override { return static_cast<int>(nodes.size()); }
    bool exists(const std::string& key) const override { return find(key) != nullptr; }
    std::optional<std::string> selectedKey() const override { return selected; }
    bool select(const std::string& key) override {
        if (!exists(key)) return false;
        selected = key;
        return true;
    }
    std::string nodeText(const std::string& key) const override {
        const Node* n = find(key);
        return n ? n->text : "";
    }
    void setNodeText(const std::string&, const std::string&) override {}
    std::optional<std::string> parentKey(const std::string& key) const override {
        const Node* n = find(key);
        return n ? n->parent : std::nullopt;
    }
    int childCount(const std::string& key) const override {
        return static_cast<int>(std::count_if(nodes.begin(), nodes.end(),
                                              [&](const Node& n) { return n.parent == key; }));
    }
    std::vector<std::string> keysInOrder() const override {
        std::vector<std::string> keys;
        for (const Node& top : nodes) {
            if (top.parent) continue;
            keys.push_back(top.key);
            for (const Node& child : nodes)
                if (child.parent == top.key) keys.push_back(child.key);
        }
        return keys;
    }
    void setImage(const std::string&, const std::string&) override {}
    std::string image(const std::string& key) const override {
        const Node* n = find(key);
        return n ? n->image : "";
    }
    void ensureVisible(const std::string&) override {}
    void setDropHighlight(const std::optional<std::string>&) override {}
    std::optional<std::string> dropHighlight() const override { return std::nullopt; }
    std::optional<std::string> hitTest(int, int) const override { return std::nullopt; }
    void loadImages() override {}
    void clearImages() override { imagesCleared = true; }
    void beginDrag(const std::string&) override {}
    void setDragImage(const std::string&) override {}
    void endDrag() override {}
    void setVisible(bool v) override { visible = v; }
    bool isVisible() const override { return visible; }

private:
    const Node* find(const std::string& key) const {
        for (const Node& n : nodes)
            if (n.key == key) return &n;
        return nullptr;
    }
};

class FakeFrame : public Visibility {
public:
    bool visible = true;
    void setVisible(bool v) override { visible = v; }
    bool isVisible() const override { return visible; }
};

// Material i gets the name "M<i>  ", a DENS of i in its record and 100 + i in its shadow.
void AddMaterial(Library& lib, const std::string& category, const std::string& name) {
    const int n = lib.AppendMaterial();
    ASSERT_GE(n, 0);
    lib.Entry(n) = {category, "", name, "about " + name};
    clsMaterial& rec = lib.Material(n);
    rec.MaterialType(category);
    rec.MaterialName(name);
    rec.CopyProperty("DENS", n);
    lib.Shadow(n).Copy(rec);
    lib.Shadow(n).CopyProperty("DENS", 100 + n);
}

Library FiveMaterials() {
    Library lib;
    for (int i = 0; i < 5; ++i) AddMaterial(lib, "Metals    ", "M" + std::to_string(i) + "  ");
    return lib;
}

void ExpectConsistent(Library& lib, const std::vector<std::string>& names) {
    ASSERT_EQ(lib.LastMaterialIndex, static_cast<int>(names.size()) - 1);
    for (int i = 0; i <= lib.LastMaterialIndex; ++i) {
        const double original = std::stoi(names[static_cast<std::size_t>(i)].substr(1));
        EXPECT_EQ(lib.Entry(i).Name, names[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(lib.Material(i).MaterialName(), names[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(lib.Shadow(i).MaterialName(), names[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(lib.Material(i).SlotValue(Slot::DENS), original) << i;
        EXPECT_EQ(lib.Shadow(i).SlotValue(Slot::DENS), 100 + original) << i;
    }
}

TEST(NodeKey, FourDigitNumberText) {
    EXPECT_EQ(FourDigitText(0), "0000");
    EXPECT_EQ(FourDigitText(7), "0007");
    EXPECT_EQ(FourDigitText(42), "0042");
    EXPECT_EQ(FourDigitText(123), "0123");
    EXPECT_EQ(FourDigitText(1000), "1000");
}

TEST(NodeKey, MaterialKeyIsCategoryNameAndNumber) {
    EXPECT_EQ(MaterialNodeKey("Steel    ", "A36  ", 7), "Steel    A36  0007");
    EXPECT_EQ(MaterialNodeKey("Steel    ", "A36  ", 1000), "Steel    A36  1000");
}

struct KeyCase {
    const char* key;
    int tail;
    bool category;
};

class KeyKind : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyKind, TailNumberAndCategoryTest) {
    EXPECT_EQ(KeyTailNumber(GetParam().key), GetParam().tail);
    EXPECT_EQ(IsCategoryKey(GetParam().key), GetParam().category);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyKind,
                         ::testing::Values(KeyCase{"Alloy 2024    ", 0, true},
                                           KeyCase{"Steel    A36  0000", 0, false},
                                           KeyCase{"Steel    A36  0007", 7, false},
                                           KeyCase{"Steel    A36  1000", 1000, false},
                                           KeyCase{"0012", 12, false},
                                           KeyCase{"12", 12, false}, KeyCase{"", 0, true},
                                           KeyCase{"No Category    ", 0, true}));

TEST(BuildTree, CategoriesInOrderOfFirstOccurrenceMaterialsInNumberOrder) {
    Library lib;
    AddMaterial(lib, "Steel    ", "A36  ");
    AddMaterial(lib, "Alloy 2024    ", "T3  ");
    AddMaterial(lib, "Steel    ", "S355  ");
    FakeTree tree;
    BuildTree(lib, tree);
    const std::vector<std::string> expected = {"Steel    ", "Steel    A36  0000",
                                               "Steel    S355  0002", "Alloy 2024    ",
                                               "Alloy 2024    T3  0001"};
    EXPECT_EQ(tree.keysInOrder(), expected);
    EXPECT_EQ(tree.nodeCount(), 5);
    EXPECT_EQ(tree.nodeText("Steel    "), "Steel    ");
    EXPECT_EQ(tree.image("Steel    "), "closedbook");
    EXPECT_EQ(tree.nodeText("Steel    S355  0002"), "S355  ");
    EXPECT_EQ(tree.image("Steel    S355  0002"), "leaf");
    EXPECT_EQ(lib.LastNodeKey, "Steel    S355  0002");
}

TEST(BuildTree, CategoriesDifferingInCaseAreTwoNodesButOneFileCategory) {
    Library lib;
    AddMaterial(lib, "Steel    ", "A  ");
    AddMaterial(lib, "STEEL    ", "B  ");
    FakeTree tree;
    BuildTree(lib, tree);
    EXPECT_EQ(tree.childCount("Steel    "), 1);
    EXPECT_EQ(tree.childCount("STEEL    "), 1);
    const CategoryGrouping g = GroupByCategory(lib);
    EXPECT_EQ(g.names, std::vector<std::string>{"Steel"});
    EXPECT_EQ(g.categoryOfMaterial, (std::vector<int>{1, 1}));
}

TEST(BuildTree, EmptyLibraryBuildsNothing) {
    Library lib;
    FakeTree tree;
    BuildTree(lib, tree);
    EXPECT_EQ(tree.nodeCount(), 0);
    EXPECT_EQ(lib.LastNodeKey, "");
}

TEST(SelectedMaterialNumber, FromTheSelectedKey) {
    Library lib;
    AddMaterial(lib, "Steel    ", "A36  ");
    AddMaterial(lib, "Steel    ", "S355  ");
    FakeTree tree;
    EXPECT_EQ(SelectedMaterialNumber(tree), -1);
    BuildTree(lib, tree);
    EXPECT_EQ(SelectedMaterialNumber(tree), -1);
    tree.select("Steel    ");
    EXPECT_EQ(SelectedMaterialNumber(tree), -1);
    tree.select("Steel    A36  0000");
    EXPECT_EQ(SelectedMaterialNumber(tree), 0);
    tree.select("Steel    S355  0001");
    EXPECT_EQ(SelectedMaterialNumber(tree), 1);
    // A category node without children reads as the number its blank tail gives.
    tree.addNode(std::nullopt, "Empty    ", "Empty    ", "closedbook");
    tree.select("Empty    ");
    EXPECT_EQ(SelectedMaterialNumber(tree), 0);
}

TEST(LibraryModel, RemoveMaterialShiftsEntriesRecordsAndShadowsTogether) {
    Library lib = FiveMaterials();
    lib.RemoveMaterial(1);
    ExpectConsistent(lib, {"M0  ", "M2  ", "M3  ", "M4  "});
    lib.RemoveMaterial(3);
    ExpectConsistent(lib, {"M0  ", "M2  ", "M3  "});
    lib.RemoveMaterial(7); // no such material
    lib.RemoveMaterial(-1);
    ExpectConsistent(lib, {"M0  ", "M2  ", "M3  "});
}

TEST(LibraryModel, MovingMaterialOneOfFiveMakesItFour) {
    Library lib = FiveMaterials();
    EXPECT_EQ(lib.MoveMaterialToEnd(1, "Plastics    "), 4);
    ExpectConsistent(lib, {"M0  ", "M2  ", "M3  ", "M4  ", "M1  "});
    EXPECT_EQ(lib.Entry(4).Category, "Plastics    ");
    EXPECT_EQ(lib.Material(4).MaterialType(), "Plastics    ");
    EXPECT_EQ(lib.Shadow(4).MaterialType(), "Plastics    ");
    EXPECT_EQ(lib.Entry(4).Description, "about M1  ");
    EXPECT_EQ(lib.Entry(1).Category, "Metals    ");
}

TEST(LibraryModel, MovingIntoItsOwnCategoryStillMakesItLast) {
    Library lib = FiveMaterials();
    EXPECT_EQ(lib.MoveMaterialToEnd(0, "Metals    "), 4);
    ExpectConsistent(lib, {"M1  ", "M2  ", "M3  ", "M4  ", "M0  "});
    EXPECT_EQ(lib.MoveMaterialToEnd(9, "Metals    "), -1);
}

TEST(LibraryModel, AppendedMaterialStartsEmptyEvenAfterARemoval) {
    Library lib = FiveMaterials();
    lib.RemoveMaterial(4);
    lib.RemoveMaterial(0);
    const int n = lib.AppendMaterial();
    EXPECT_EQ(n, 3);
    EXPECT_EQ(lib.Entry(n).Name, "");
    EXPECT_EQ(lib.Material(n).MaterialName(), "");
    EXPECT_FALSE(lib.Material(n).HasValue(Slot::DENS));
    EXPECT_EQ(lib.Shadow(n).MaterialName(), "");
    EXPECT_FALSE(lib.Shadow(n).HasValue(Slot::DENS));
}

TEST(LibraryModel, NoMaterialNumberReachesNoMaterial) {
    Library lib = FiveMaterials();
    lib.Entry(-1).Name = "Stray  ";
    lib.Material(-1).CopyProperty("DENS", 99);
    lib.Shadow(-1).MaterialName("Stray  ");
    EXPECT_EQ(lib.Entry(-1).Name, "");
    EXPECT_FALSE(lib.Material(-1).HasValue(Slot::DENS));
    ExpectConsistent(lib, {"M0  ", "M1  ", "M2  ", "M3  ", "M4  "});
}

TEST(LibraryModel, HoldsAtMostOneThousandAndOneMaterials) {
    Library lib;
    for (int i = 0; i < kMaxMaterials; ++i) ASSERT_EQ(lib.AppendMaterial(), i);
    EXPECT_TRUE(lib.IsFull());
    EXPECT_EQ(lib.AppendMaterial(), -1);
    EXPECT_EQ(lib.LastMaterialIndex, 1000);
    EXPECT_EQ(lib.MaterialCount(), 1001);
    EXPECT_GE(lib.Materials.size(), 1002u);
}

TEST(LibraryModel, ResetLibraryViewDiscardsTheIndexAndHidesTheViews) {
    Library lib = FiveMaterials();
    FakeTree tree;
    FakeFrame frame;
    BuildTree(lib, tree);
    ResetLibraryView(lib, tree, frame);
    EXPECT_TRUE(lib.LibraryIndex.empty());
    EXPECT_EQ(tree.nodeCount(), 0);
    EXPECT_FALSE(tree.isVisible());
    EXPECT_TRUE(tree.imagesCleared);
    EXPECT_FALSE(frame.isVisible());
    // Records and the count are the caller's to reset.
    EXPECT_EQ(lib.LastMaterialIndex, 4);
    EXPECT_EQ(lib.Material(2).MaterialName(), "M2  ");
    EXPECT_EQ(lib.Entry(2).Name, "");
    EXPECT_EQ(lib.LibraryIndex.size(), static_cast<std::size_t>(kMaxMaterials));
}

} // namespace
} // namespace mb

#include "FakeControls.h"

#include "model/Library.h"
#include "model/NodeKey.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mb {
namespace {

using fake::FakeTree;

// Material n gets a DENS of n in its record and 100 + n in its shadow, so a test can tell
// whether record and shadow travelled together.
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

// Names are "M<original number>  ": entry, record and shadow must all still belong to it.
void ExpectConsistent(Library& lib, const std::vector<std::string>& names) {
    ASSERT_EQ(lib.LastMaterialIndex, static_cast<int>(names.size()) - 1);
    for (int i = 0; i <= lib.LastMaterialIndex; ++i) {
        const std::string& name = names[static_cast<std::size_t>(i)];
        const double original = std::stoi(name.substr(1));
        EXPECT_EQ(lib.Entry(i).Name, name) << i;
        EXPECT_EQ(lib.Material(i).MaterialName(), name) << i;
        EXPECT_EQ(lib.Shadow(i).MaterialName(), name) << i;
        EXPECT_EQ(lib.Material(i).SlotValue(Slot::DENS), original) << i;
        EXPECT_EQ(lib.Shadow(i).SlotValue(Slot::DENS), 100 + original) << i;
    }
}

TEST(NodeKey, MaterialKeyIsCategoryNameAndFourDigitNumber) {
    EXPECT_EQ(FourDigitText(0), "0000");
    EXPECT_EQ(FourDigitText(42), "0042");
    EXPECT_EQ(FourDigitText(123), "0123");
    EXPECT_EQ(MaterialNodeKey("Steel    ", "A36  ", 7), "Steel    A36  0007");
    EXPECT_EQ(MaterialNodeKey("Steel    ", "A36  ", 1000), "Steel    A36  1000");
}

TEST(BuildTree, CategoriesInOrderOfFirstOccurrenceMaterialsInNumberOrder) {
    Library lib;
    FakeTree tree;
    BuildTree(lib, tree);
    EXPECT_EQ(tree.nodeCount(), 0);
    EXPECT_EQ(lib.LastNodeKey, "");

    AddMaterial(lib, "Steel    ", "A36  ");
    AddMaterial(lib, "Alloy 2024    ", "T3  ");
    AddMaterial(lib, "Steel    ", "S355  ");
    BuildTree(lib, tree);
    EXPECT_EQ(tree.keysInOrder(),
              (std::vector<std::string>{"Steel    ", "Steel    A36  0000", "Steel    S355  0002",
                                        "Alloy 2024    ", "Alloy 2024    T3  0001"}));
    EXPECT_EQ(tree.nodeCount(), 5);
    EXPECT_EQ(tree.nodeText("Steel    "), "Steel    ");
    EXPECT_EQ(tree.image("Steel    "), "closedbook");
    EXPECT_EQ(tree.nodeText("Steel    S355  0002"), "S355  ");
    EXPECT_EQ(tree.image("Steel    S355  0002"), "leaf");
    EXPECT_EQ(lib.LastNodeKey, "Steel    S355  0002");
}

TEST(BuildTree, CategoriesDifferingInCaseAreTwoNodes) {
    // (The writer's tests show them written as one category.)
    Library lib;
    AddMaterial(lib, "Steel    ", "A  ");
    AddMaterial(lib, "STEEL    ", "B  ");
    FakeTree tree;
    BuildTree(lib, tree);
    EXPECT_EQ(tree.childCount("Steel    "), 1);
    EXPECT_EQ(tree.childCount("STEEL    "), 1);
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
    lib.RemoveMaterial(7); // no such material
    lib.RemoveMaterial(-1);
    ExpectConsistent(lib, {"M0  ", "M2  ", "M3  "});
}

TEST(LibraryModel, MovedMaterialBecomesTheLastEvenInItsOwnCategory) {
    Library lib = FiveMaterials();
    EXPECT_EQ(lib.MoveMaterialToEnd(1, "Plastics    "), 4);
    ExpectConsistent(lib, {"M0  ", "M2  ", "M3  ", "M4  ", "M1  "});
    EXPECT_EQ(lib.Entry(4).Category, "Plastics    ");
    EXPECT_EQ(lib.Material(4).MaterialType(), "Plastics    ");
    EXPECT_EQ(lib.Shadow(4).MaterialType(), "Plastics    ");
    EXPECT_EQ(lib.Entry(4).Description, "about M1  ");
    EXPECT_EQ(lib.Entry(1).Category, "Metals    ");
    EXPECT_EQ(lib.MoveMaterialToEnd(0, "Metals    "), 4);
    ExpectConsistent(lib, {"M2  ", "M3  ", "M4  ", "M1  ", "M0  "});
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
    ExpectConsistent(lib, {"M0  ", "M1  ", "M2  ", "M3  ", "M4  "});
}

TEST(LibraryModel, HoldsAtMostOneThousandAndOneMaterials) {
    Library lib;
    for (int i = 0; i < kMaxMaterials; ++i) ASSERT_EQ(lib.AppendMaterial(), i);
    EXPECT_TRUE(lib.IsFull());
    EXPECT_EQ(lib.AppendMaterial(), -1);
    EXPECT_EQ(lib.LastMaterialIndex, 1000);
    EXPECT_GE(lib.Materials.size(), 1002u);
}

TEST(LibraryModel, ResetLibraryViewDiscardsTheIndexAndHidesTheViews) {
    Library lib = FiveMaterials();
    FakeTree tree;
    fake::FakeVisibility frame;
    BuildTree(lib, tree);
    tree.loadImages();
    ResetLibraryView(lib, tree, frame);
    EXPECT_TRUE(lib.LibraryIndex.empty());
    EXPECT_EQ(tree.nodeCount(), 0);
    EXPECT_FALSE(tree.isVisible());
    EXPECT_FALSE(tree.imagesLoaded);
    EXPECT_FALSE(frame.isVisible());
    // Records and the count are the caller's to reset.
    EXPECT_EQ(lib.LastMaterialIndex, 4);
    EXPECT_EQ(lib.Material(2).MaterialName(), "M2  ");
    EXPECT_EQ(lib.Entry(2).Name, "");
    EXPECT_EQ(lib.LibraryIndex.size(), static_cast<std::size_t>(kMaxMaterials));
}

} // namespace
} // namespace mb

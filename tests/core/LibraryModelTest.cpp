#include "FakeControls.h"

#include "Library.h"
#include "NodeKey.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

// The limit of 1001 materials is shown by the reader's and the editing commands' tests.
// Material n gets a DENS of n in its record and 100 + n in its shadow, so a test can tell
// whether entry, record and shadow travelled together.
void AddMaterial(Library& lib, const std::string& category, const std::string& name) {
    const int n = lib.MaterialCount();
    clsMaterial record, shadow;
    record.MaterialName(name);
    record.CopyProperty("DENS", n);
    shadow.Copy(record);
    shadow.CopyProperty("DENS", 100 + n);
    lib.AddMaterial({category, "", name, ""}, record, shadow);
}

// Per material: entry name and category, then record name and DENS, then shadow's.
std::string Held(Library& lib) {
    std::string out;
    for (int i = 0; i <= lib.LastMaterialIndex(); ++i)
        out += lib.Entry(i).Name + lib.Entry(i).Category + "/" + lib.Material(i).MaterialName() +
               std::to_string(int(lib.Material(i).SlotValue(Slot::DENS))) + "/" +
               lib.Shadow(i).MaterialName() +
               std::to_string(int(lib.Shadow(i).SlotValue(Slot::DENS))) + " ";
    return out;
}

TEST(BuildTree, CategoriesInOrderOfFirstOccurrenceWithKeysOfCategoryNameAndNumber) {
    EXPECT_EQ(MaterialNodeKey("Steel    ", "A36  ", 1000), "Steel    A36  1000");
    Library lib;
    AddMaterial(lib, "Steel    ", "A36  ");
    AddMaterial(lib, "Alloy 2024    ", "T3  ");
    AddMaterial(lib, "Steel    ", "S355  ");
    AddMaterial(lib, "STEEL    ", "X  ");
    fake::FakeTree tree;
    BuildTree(lib, tree);
    EXPECT_EQ(tree.keysInOrder(),
              (std::vector<std::string>{"Steel    ", "Steel    A36  0000", "Steel    S355  0002",
                                        "Alloy 2024    ", "Alloy 2024    T3  0001", "STEEL    ",
                                        "STEEL    X  0003"}));
    EXPECT_EQ(tree.image("Steel    ") + tree.nodeText("Steel    ") +
                  tree.image("Steel    S355  0002") + tree.nodeText("Steel    S355  0002"),
              "closedbookSteel    leafS355  ");
    EXPECT_EQ(lib.LastNodeKey, "STEEL    X  0003");
}

TEST(LibraryModel, RemoveAndMoveKeepEntryRecordAndShadowTogether) {
    Library lib;
    for (int i = 0; i < 5; ++i)
        AddMaterial(lib, "Metals", "M" + std::to_string(i));
    lib.RemoveMaterial(1);
    lib.RemoveMaterial(7); // no such material
    lib.RemoveMaterial(-1);
    EXPECT_EQ(Held(lib),
              "M0Metals/M00/M0100 M2Metals/M22/M2102 M3Metals/M33/M3103 M4Metals/M44/M4104 ");
    // A moved material becomes the last, even when it stays in its category.
    EXPECT_EQ(lib.MoveMaterialToEnd(0, "Plastics"), 3);
    EXPECT_EQ(lib.MoveMaterialToEnd(0, "Metals"), 3);
    EXPECT_EQ(lib.MoveMaterialToEnd(9, "Metals"), -1);
    EXPECT_EQ(Held(lib),
              "M3Metals/M33/M3103 M4Metals/M44/M4104 M0Plastics/M00/M0100 M2Metals/M22/M2102 ");
    EXPECT_EQ(lib.Material(2).MaterialType() + lib.Shadow(2).MaterialType(), "PlasticsPlastics");
    // A slot freed by a removal comes back empty.
    lib.RemoveMaterial(3);
    EXPECT_EQ(lib.AddMaterial("", "", "", ""), 3);
    EXPECT_TRUE(Held(lib).ends_with("M0Plastics/M00/M0100 /0/0 ")) << Held(lib);
}

} // namespace
} // namespace mb

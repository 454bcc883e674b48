#include "FakeControls.h"

#include "Library.h"
#include "NodeKey.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

TEST(BuildTree, CategoriesInOrderOfFirstOccurrenceWithKeysOfCategoryNameAndNumber) {
    EXPECT_EQ(MaterialNodeKey("Steel    ", "A36  ", 1000), "Steel    A36  1000");
    Library lib;
    for (const auto& [category, name] : {std::pair{"Steel    ", "A36  "},
                                         {"Alloy 2024    ", "T3  "},
                                         {"Steel    ", "S355  "},
                                         {"STEEL    ", "X  "}})
        lib.AddMaterial(category, "", name, "");
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

} // namespace
} // namespace mb

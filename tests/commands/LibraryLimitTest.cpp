#include "EditingFixture.h"

namespace mb::test {
namespace {

std::vector<SampleMaterial> Materials(int count) {
    std::vector<SampleMaterial> out;
    for (int i = 0; i < count; ++i)
        out.push_back({i % 2 ? "Steel" : "Aluminium", "M" + std::to_string(i), "", "", 1.0e9 + i});
    return out;
}

constexpr const char* kFull = "The library is full: it already holds 1001 materials, the most a "
                              "library can hold. Delete a material before adding another.";

class LibraryLimitTest : public EditingFixture {
protected:
    void SetUp() override { Open(Materials(kMaxMaterials)); }

    void ExpectRefusedAndNothingWritten() {
        ExpectOnlyMessage(kFull, MsgButtons::OK, MsgIcon::Exclamation);
        EXPECT_EQ(library().LastMaterialIndex, 1000);
        EXPECT_EQ(library().LibraryIndex.size(), 1001u);
        EXPECT_EQ(library().Materials.size(), 1002u);
        EXPECT_EQ(library().MaterialShadows.size(), 1002u);
        EXPECT_EQ(tree().nodeCount(), 1003);
    }
};

TEST_F(LibraryLimitTest, AddingPastingOrAppendingByResetIsRefusedAfterTheBoxesAreChecked) {
    Type("Steel", "m7");
    commands.onNewMaterial();
    ExpectOnlyMessage("Material already exits. Please enter a different name!", MsgButtons::OK,
                      MsgIcon::Exclamation);

    ClickCategory("Steel");
    Type("Steel", "One more");
    commands.newMaterial();
    ExpectRefusedAndNothingWritten();
    EXPECT_EQ(editor.materialNameText.text(), "One more");

    EXPECT_FALSE(commands.AddMaterialNode());
    ExpectRefusedAndNothingWritten();

    ClickMaterial(0);
    commands.onCopyMaterial();
    commands.onPasteMaterial();
    ExpectRefusedAndNothingWritten();

    ClickMaterial(3);
    Type("Steel", "One more"); // "&Reset" cannot append ...
    commands.onMaterialSet();
    ExpectRefusedAndNothingWritten();
    Type("Steel", "M5", "overwritten"); // ... but can still overwrite
    commands.onMaterialSet();
    ExpectOnlyMessage("Overwrite the existing material ?", MsgButtons::OKCancel, MsgIcon::Question);
    EXPECT_EQ(library().Entry(5).Description, "overwritten");
}

TEST_F(LibraryLimitTest, TheThousandAndFirstMaterialIsNumberOneThousand) {
    Open(Materials(kMaxMaterials - 1));
    ClickCategory("Steel");
    Type("Steel", "Last one");
    commands.newMaterial();
    ASSERT_EQ(library().LastMaterialIndex, 1000);
    EXPECT_EQ(tree().selectedKey(), "Steel    Last one1000");
    EXPECT_EQ(library().LibraryIndex.size(), 1001u);
}

} // namespace
} // namespace mb::test

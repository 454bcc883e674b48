#include "EditingFixture.h"

namespace mb::test {
namespace {

std::vector<SampleMaterial> Materials(int count) {
    std::vector<SampleMaterial> out;
    for (int i = 0; i < count; ++i)
        out.push_back({i % 2 ? "Steel" : "Aluminium", "M" + std::to_string(i), "", "", 1.0e9 + i});
    return out;
}

class LibraryLimitTest : public EditingFixture {
protected:
    void SetUp() override { Open(Materials(kMaxMaterials)); }

    void ExpectNothingWritten() {
        EXPECT_EQ(library().LastMaterialIndex, 1000);
        EXPECT_EQ(library().LibraryIndex.size(), 1001u);
        EXPECT_EQ(library().Materials.size(), materialSlots_);
        EXPECT_EQ(library().MaterialShadows.size(), materialSlots_);
        EXPECT_EQ(tree().nodeCount(), 1003);
    }

    const std::size_t materialSlots_ = 1002;
};

constexpr const char* kFull = "The library is full: it already holds 1001 materials, the most a "
                              "library can hold. Delete a material before adding another.";

TEST_F(LibraryLimitTest, AddingToAFullLibraryIsRefusedBeforeTheQuestion) {
    ASSERT_EQ(library().Materials.size(), materialSlots_);
    ClickCategory("Steel");
    Type("Steel", "One more");
    commands.newMaterial();
    ExpectOnlyMessage(kFull, MsgButtons::OK, MsgIcon::Exclamation);
    ExpectNothingWritten();
    EXPECT_EQ(editor.materialNameText.text(), "One more");
}

TEST_F(LibraryLimitTest, AddingStillChecksTheBoxesFirst) {
    Type("Steel", "m7");
    commands.onNewMaterial();
    ExpectOnlyMessage("Material already exits. Please enter a different name!", MsgButtons::OK,
                      MsgIcon::Exclamation);
}

TEST_F(LibraryLimitTest, AddMaterialNodeWritesNothingIntoAFullLibrary) {
    Type("Steel", "One more");
    EXPECT_FALSE(commands.AddMaterialNode());
    ExpectOnlyMessage(kFull, MsgButtons::OK, MsgIcon::Exclamation);
    ExpectNothingWritten();
}

TEST_F(LibraryLimitTest, ResetCannotAppendButCanStillOverwrite) {
    ClickMaterial(3);
    Type("Steel", "One more");
    commands.onMaterialSet();
    ExpectOnlyMessage(kFull, MsgButtons::OK, MsgIcon::Exclamation);
    ExpectNothingWritten();

    messages().questions.clear();
    Type("Steel", "M5", "overwritten");
    commands.onMaterialSet();
    ExpectOnlyMessage("Overwrite the existing material ?", MsgButtons::OKCancel, MsgIcon::Question);
    EXPECT_EQ(library().Entry(5).Description, "overwritten");
}

TEST_F(LibraryLimitTest, PastingIntoAFullLibraryIsRefused) {
    ClickMaterial(0);
    commands.onCopyMaterial();
    commands.onPasteMaterial();
    ExpectOnlyMessage(kFull, MsgButtons::OK, MsgIcon::Exclamation);
    ExpectNothingWritten();
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

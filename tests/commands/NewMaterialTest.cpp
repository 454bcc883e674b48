#include "EditingFixture.h"

namespace mb::test {
namespace {

using NewMaterialTest = EditingFixture;

// ---- "&New" ------------------------------------------------------------------------------

TEST_F(NewMaterialTest, NewNeedsBothBoxesAndACategoryWithMaterialsSelected) {
    const std::string noName =
        "Must set Material category and name before generating new material !";
    const std::string inside = "Addition of new Material within another Material is prohibited ! ";
    tree().addNode(std::nullopt, "Empty    ", "Empty    ", "closedbook");
    struct Case {
        std::string node, category, name, message;
        MsgIcon icon;
    };
    for (const Case& c : {Case{"Steel    ", "", "X", noName, MsgIcon::None},
                          Case{"Steel    ", "Steel", "   ", noName, MsgIcon::None},
                          Case{KeyOf(2), "Steel", "S355", inside, MsgIcon::Exclamation},
                          Case{"Empty    ", "Steel", "S355", inside, MsgIcon::Exclamation},
                          Case{"", "Steel", "S355", inside, MsgIcon::Exclamation}}) {
        SCOPED_TRACE(c.node + "|" + c.category + "|" + c.name);
        if (c.node.empty())
            Unselect();
        else
            tree().select(c.node);
        Type(c.category, c.name);
        commands.newMaterial();
        ExpectOnlyMessage(c.message, MsgButtons::OK, c.icon);
    }
    EXPECT_EQ(library().LastMaterialIndex, 4);
}

TEST_F(NewMaterialTest, NewWithACategorySelectedAddsToItWithoutASecondCategoryNode) {
    ClickCategory("Copper");
    Type("Copper", "C110");
    commands.newMaterial();
    ExpectOnlyMessage("Do you really want to add this material ?", MsgButtons::YesNo,
                      MsgIcon::Question);
    EXPECT_EQ(library().LastMaterialIndex, 5);
    EXPECT_EQ(tree().parentKey("Copper    C1100005"), "Copper    ");
    EXPECT_EQ(tree().nodeCount(), 9);
}

// ---- Checks of "&Add New Material" ---------------------------------------------------------

TEST_F(NewMaterialTest, TheFirstFailingCheckSpeaksAndTakesTheFocus) {
    const std::string noCategory = "Please specify the Material Category name !";
    const std::string digit = "Material category can not start with a number !";
    struct Case {
        std::string category, name, message;
        fake::FakeTextBox& focused;
    };
    for (const Case& c :
         {Case{"", "", noCategory, editor.materialTypeText},
          Case{"   ", "Ti", noCategory, editor.materialTypeText},
          Case{" 1abc", "", digit, editor.materialTypeText},
          Case{"7075 alloys", "Ti", digit, editor.materialTypeText},
          Case{"Titanium", "  ", "Please specify the Material name !", editor.materialNameText}}) {
        SCOPED_TRACE(c.category + "|" + c.name);
        const int focusBefore = c.focused.focusRequests;
        Type(c.category, c.name);
        commands.onNewMaterial();
        ExpectOnlyMessage(c.message, MsgButtons::OK, MsgIcon::Exclamation);
        EXPECT_EQ(c.focused.focusRequests, focusBefore + 1);
    }
    EXPECT_EQ(editor.materialTypeText.focusRequests + editor.materialNameText.focusRequests, 5);
    EXPECT_EQ(library().LastMaterialIndex, 4);
}

TEST_F(NewMaterialTest, ANameTakenInAnotherCategoryDifferingInCaseIsRefused) {
    Type("Copper", "  s275");
    commands.onNewMaterial();
    ExpectOnlyMessage("Material already exits. Please enter a different name!", MsgButtons::OK,
                      MsgIcon::Exclamation);
    EXPECT_EQ(editor.materialNameText.text(), "  s275");
    EXPECT_EQ(library().LastMaterialIndex, 4);
}

TEST_F(NewMaterialTest, AnsweringNoEmptiesTheBoxesAndAddsNothing) {
    ClickCategory("Steel");
    commands.materialNameText_GotFocus();
    Type("Titanium", "Ti-6Al-4V", "aerospace");
    messages().queueAnswer(MsgResult::No);
    commands.onNewMaterial();
    EXPECT_EQ(Boxes(), (Texts{"", "", ""}));
    EXPECT_EQ(library().LastMaterialIndex, 4);
    EXPECT_EQ(tree().nodeCount(), 8);
    EXPECT_EQ(Shown(), kNewMaterialShown) << "the buttons stay as they were";
}

// ---- Adding ------------------------------------------------------------------------------

TEST_F(NewMaterialTest, YesAppendsTheMaterialWithTrimmedTextsAndNoValuesAndShowsIt) {
    ClickMaterial(2);
    commands.materialTypeText_GotFocus();
    Type("  Titanium ", " Ti-6Al-4V ", "  aerospace  ");
    commands.onNewMaterial();

    ASSERT_EQ(library().LastMaterialIndex, 5);
    const LibraryEntry& e = library().Entry(5);
    EXPECT_EQ((Texts{e.Category, e.Name, e.Description, e.NameCode}),
              (Texts{"Titanium    ", "Ti-6Al-4V", "aerospace", ""}));
    for (clsMaterial* record : {&library().Shadow(5), &library().Material(5)}) {
        EXPECT_EQ((Texts{record->MaterialType(), record->MaterialName(), record->MaterialNameCode(),
                         record->MaterialDescription()}),
                  (Texts{"  Titanium ", "Ti-6Al-4V", "Ti-6Al-4V    ", "aerospace"}));
        for (int slot = 0; slot < kSlotCount; ++slot)
            EXPECT_FALSE(record->HasValue(slot)) << slot;
    }

    const std::string key = "Titanium    Ti-6Al-4V0005";
    EXPECT_EQ(tree().parentKey(key), "Titanium    ");
    EXPECT_EQ(tree().image("Titanium    "), "closedbook");
    EXPECT_EQ(tree().nodeText(key), "Ti-6Al-4V");
    EXPECT_EQ(tree().selectedKey(), key);
    EXPECT_EQ(tree().image(key), "leaf1");
    EXPECT_EQ(tree().image(KeyOf(2)), "leaf");
    EXPECT_EQ(library().LastNodeKey, key);
    EXPECT_EQ(Shown(), kMaterialShown);
    EXPECT_EQ(editor.VSFlexGrid1.textMatrix(0, 2), "Value");
    EXPECT_EQ(editor.VSFlexGrid1.rows(), 11);
    for (int row = 1; row < 11; ++row)
        EXPECT_EQ(editor.VSFlexGrid1.textMatrix(row, 2), "") << row;
}

// ---- Name code ---------------------------------------------------------------------------

TEST(NameCodeTest, LongNamesAreCutAsTypedShortOnesTrimmedAndPadded) {
    for (const auto& [typed, code] :
         std::vector<std::pair<std::string, std::string>>{{"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLM"},
                                                          {"Steel", "Steel        "},
                                                          {"  ABCDEFGHIJKLM", "  ABCDEFGHIJK"},
                                                          {"  Steel  ", "Steel        "},
                                                          {"ABCDEFGHIJKLM", "ABCDEFGHIJKLM"}})
        EXPECT_EQ(NewMaterialNameCode(typed), code) << typed;
}

} // namespace
} // namespace mb::test

#include "EditorFixture.h"

namespace mb::test {
namespace {

using C = EditingCommands;
using EditingCommandsTest = EditorFixture;

// Each refusal shows one message with an OK button, moves the focus where named (1 the
// category box, 2 the name box, 3 the description) and changes nothing. The boxes' own
// checks come first; then texts that would break a library line or overrun its columns.
TEST_F(EditingCommandsTest, RefusalsInTheOrderTheBoxesAreChecked) {
    const std::string steel = "Steel    ", s275 = "Steel    S275  0002", none;
    const std::string noBoth =
        "Must set Material category and name before generating new material !";
    const std::string inside = "Addition of new Material within another Material is prohibited ! ";
    const std::string noCategory = "Please specify the Material Category name !";
    const std::string noName = "Please specify the Material name !";
    const std::string digit = "Material category can not start with a number !";
    const std::string exists = "Material already exits. Please enter a different name!";
    const std::string controls = " cannot hold a line break, a tab or another control character.";
    const std::string controlCategory = "A category name" + controls;
    const std::string controlName = "A material name" + controls;
    const std::string controlDescription = "A description" + controls;
    const std::string tooWide = " at most 30 characters: a library file keeps no more.";
    const std::string nameTooWide = "A material name can have" + tooWide;
    const std::string name31(31, 'n');
    ClickMaterial(1);
    commands.onCopyMaterial(); // forgotten when copying a category is refused
    using enum MsgIcon;
    struct Refusal {
        std::string node, category, name, description;
        void (C::*command)();
        std::string text;
        MsgIcon icon;
        int focus;
    };
    for (const Refusal& r : std::vector<Refusal>{
             {steel, "", "X", "", &C::newMaterial, noBoth, None, 0},
             {s275, "Steel", "S355", "", &C::newMaterial, inside, Exclamation, 0},
             {none, "Steel", "S355", "", &C::newMaterial, inside, Exclamation, 0},
             {steel, "  ", "", "", &C::onNewMaterial, noCategory, Exclamation, 1},
             {steel, " 1abc", "", "", &C::onNewMaterial, digit, Exclamation, 1},
             {steel, "Ti", "  ", "", &C::onNewMaterial, noName, Exclamation, 2},
             {steel, "Copper", "  s275", "", &C::onNewMaterial, exists, Exclamation, 0},
             {steel, "", "", "", &C::onCopyMaterial, "Cannot copy a Category !", Exclamation, 0},
             {steel, "", "", "", &C::DeleteSelected, "Cannot delete a Category !", Exclamation, 0},
             {s275, "Nickel\r\nMATL:", "N200", "", &C::onNewMaterial, controlCategory, Exclamation,
              1},
             {s275, "Nickel", "N200\nA36", "", &C::onNewMaterial, controlName, Exclamation, 2},
             {s275, "Nickel", "  " + name31 + "  ", "", &C::onNewMaterial, nameTooWide, Exclamation,
              2},
             {s275, "Nickel", "N200", "pure\x01", &C::onNewMaterial, controlDescription,
              Exclamation, 3},
             {s275, "Steel\x1F", "S355", "", &C::onMaterialSet, controlCategory, Exclamation, 1},
             // The boxes' own checks come before the line's.
             {s275, "1\tCu", "C101", "", &C::onNewMaterial, digit, Exclamation, 1},
             {s275, "Copper\n", " a36 ", "x\n", &C::onNewMaterial, exists, Exclamation, 0},
             {s275, "  ", "\t", "", &C::onMaterialSet, noCategory, Exclamation, 1}}) {
        SCOPED_TRACE(r.text);
        r.node.empty() ? Unselect() : editor.clickNode(r.node);
        Type(r.category, r.name, r.description);
        fake::FakeTextBox* boxes[] = {&editor.materialTypeText, &editor.materialNameText,
                                      &editor.descriptionText};
        int before[3];
        for (int i = 0; i < 3; ++i)
            before[i] = boxes[i]->focusRequests;
        (commands.*r.command)();
        ExpectOnlyMessage(r.text, MsgButtons::OK, r.icon);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(boxes[i]->focusRequests - before[i], r.focus == i + 1) << i;
    }
    commands.onPasteMaterial();
    EXPECT_TRUE(editor.messageBox.questions.empty());
    EXPECT_EQ(EntryNames(), kFiveNames);
    EXPECT_EQ(library().entry(0).Description, "structural steel");
    EXPECT_EQ(tree().nodeCount(), 8);

    // The stored forms that fit are accepted: a trimmed name of 30, a description of 50.
    editor.descriptionText.setText(std::string(51, 'd'));
    EXPECT_EQ(editor.descriptionText.text(), std::string(50, 'd')) << "the box holds 50";
    Type("Nickel", " " + std::string(30, 'n') + " ", std::string(50, 'd'));
    commands.onNewMaterial();
    EXPECT_EQ(library().entry(5).Name, std::string(30, 'n'));
    EXPECT_EQ(library().material(5).MaterialDescription(), std::string(50, 'd'));
}

TEST_F(EditingCommandsTest, TooLongNamesAndCategoriesKeepTheFocusAndTheirText) {
    for (auto [box, leave, fits, tooLong, message] : std::vector<
             std::tuple<fake::FakeTextBox*, bool (C::*)(), std::string, std::string, std::string>>{
             {&editor.materialNameText, &C::materialNameText_LostFocus, std::string(30, 'n'),
              " " + std::string(30, 'n'), "Material name should be less than 30 characters long"},
             {&editor.materialTypeText, &C::materialTypeText_LostFocus,
              "  " + std::string(25, 'c') + "  ", std::string(26, 'c'),
              "Material Category name should be less than 25 characters long !"}}) {
        box->setText(fits);
        EXPECT_TRUE((commands.*leave)());
        box->setText(tooLong);
        EXPECT_FALSE((commands.*leave)());
        ExpectOnlyMessage(message, MsgButtons::OK, MsgIcon::Critical);
        EXPECT_EQ(box->focusRequests, 1);
        EXPECT_EQ(box->text(), tooLong);
    }
}

TEST_F(EditingCommandsTest, YesAppendsTheTypedMaterialTrimmedWithoutValuesAndShowsIt) {
    ClickMaterial(2);
    commands.materialTypeText_GotFocus();
    Type("  Titanium ", " Ti-6Al-4V grade 5 ", "  aerospace  ");
    commands.onNewMaterial();
    ExpectOnlyMessage("Do you really want to add this material ?", MsgButtons::YesNo,
                      MsgIcon::Question);
    const LibraryEntry& e = library().entry(5);
    clsMaterial& record = library().material(5);
    EXPECT_EQ((Texts{e.Category, e.Name, e.Description, record.MaterialType(),
                     record.MaterialNameCode()}),
              (Texts{"Titanium    ", "Ti-6Al-4V grade 5", "aerospace", "  Titanium ",
                     " Ti-6Al-4V gr"})); // a long name's code: its first 13 characters as typed
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_FALSE(record.HasValue(slot) || library().shadow(5).HasValue(slot)) << slot;
    const std::string key = "Titanium    Ti-6Al-4V grade 50005";
    EXPECT_EQ((Texts{*tree().parentKey(key), tree().image(key), tree().image(KeyOf(2)),
                     *tree().selectedKey()}),
              (Texts{"Titanium    ", "leaf1", "leaf", key}));
    EXPECT_EQ(editor.shown(), kMaterialShown);

    commands.materialNameText_GotFocus();
    Type("Copper", "C110", "pure");
    editor.messageBox.queueAnswer(MsgResult::No);
    commands.onNewMaterial();
    EXPECT_EQ(editor.boxes(), Texts(3, "")) << "No empties the boxes";
    EXPECT_EQ(editor.shown(), kNewMaterialShown);
    EXPECT_EQ(library().LastMaterialIndex(), 5);
}

TEST_F(EditingCommandsTest, ResetOverwritesTheMatchAfterOKWhichGetsItsShadowBack) {
    ClickMaterial(3);
    library().material(4).CopyProperty("EX", 1.0); // edited, not saved
    Type(" copper", "  c101 ", " new text ");
    editor.messageBox.queueAnswer(MsgResult::Cancel);
    commands.onMaterialSet();
    ExpectOnlyMessage("Overwrite the existing material ?", MsgButtons::OKCancel, MsgIcon::Question);
    EXPECT_EQ(ValueOf(library().material(4), "EX"), 1.0) << "Cancel changes nothing";
    commands.onMaterialSet();
    const LibraryEntry& e = library().entry(4);
    EXPECT_EQ((Texts{e.Category, e.Name, e.NameCode, e.Description}),
              (Texts{" copper", "c101", "c101         ", " new text "}));
    EXPECT_EQ(ValueOf(library().material(4), "EX"), 1.17e11);
    EXPECT_EQ(library().entry(3).Name, "7075  ") << "the selected material is not touched";
    // The typed category is a node of its own, as building the tree afresh would make it.
    EXPECT_EQ(tree().parentKey(" copperc1010004"), " copper");
    EXPECT_FALSE(tree().exists("Copper    "));
    EXPECT_EQ(tree().selectedKey(), "Aluminium    7075  0003");

    // With material 0 selected, too, the match takes the typed texts and its shadow's
    // values; material 0 keeps its own.
    ClickMaterial(0);
    library().material(4).CopyProperty("EX", 1.0);
    Type(" copper", "C101", "typed");
    commands.onMaterialSet();
    EXPECT_EQ(ValueOf(library().material(4), "EX"), 1.17e11);
    EXPECT_EQ((Texts{library().entry(4).Category, library().entry(4).Name,
                     library().entry(4).Description}),
              (Texts{" copper", "C101", "typed"}));
    EXPECT_EQ((Texts{library().entry(0).Category, library().entry(0).Name}),
              (Texts{"Steel    ", "A36  "}));
    EXPECT_EQ(ValueOf(library().material(0), "EX"), 2.0e11);
    EXPECT_EQ(tree().selectedKey(), "Steel    A36  0000");
    EXPECT_EQ(library().LastNodeKey, "Steel    A36  0000");

    ClickMaterial(1); // no match: appended with the category as typed, in a node of its own
    Type("Steel", " S355 ");
    commands.onMaterialSet();
    EXPECT_EQ((Texts{library().entry(5).Category, library().shadow(5).MaterialType()}),
              (Texts{"Steel", "Steel  "}));
    EXPECT_EQ(tree().parentKey("SteelS3550005"), "Steel");
}

TEST_F(EditingCommandsTest, APasteCopiesTheWorkingRecordIntoTheSelectedCategory) {
    ClickMaterial(0);
    commands.onCopyMaterial();
    library().material(0).CopyProperty("EX", 1.5e11); // an edit never saved
    ClickCategory("Copper");
    commands.onPasteMaterial();
    const LibraryEntry& e = library().entry(5);
    clsMaterial& shadow = library().shadow(5);
    EXPECT_EQ(
        (Texts{e.Category, e.Name, e.NameCode, e.Description, shadow.MaterialType(),
               shadow.MaterialName(), shadow.MaterialNameCode(), shadow.MaterialDescription()}),
        (Texts{"Copper    ", "Copy of A36", "A36 code", "structural steel", "Copper    ",
               "Copy of A36", "A36 code", "structural steel"}));
    // The records' values are the library's copy's (LibraryTest); the grid shows the edit.
    EXPECT_EQ(editor.VSFlexGrid1.textMatrix(1, 2), "150000000000") << "the copy is shown";

    ClickMaterial(3);
    library().renameMaterial(0, "a36  "); // only its case changed: still the source
    commands.onPasteMaterial();
    ExpectOnlyMessage("Material Name (Copy of A36) exists. Please rename it before pasting.",
                      MsgButtons::OK, MsgIcon::Exclamation);
    library().renameMaterial(5, "Copy 1");
    commands.onPasteMaterial(); // onto a material: into its category
    EXPECT_EQ(tree().parentKey("Aluminium    Copy of A360006"), "Aluminium    ");
    library().renameMaterial(0, "A36JR");
    commands.onPasteMaterial();
    ExpectOnlyMessage(
        "The Material to Copy has been renamed or deleted. Please select another material to copy.",
        MsgButtons::OK, MsgIcon::Exclamation);
}

TEST_F(EditingCommandsTest, ClearingValuesZeroesThemDeletingAsksThenRenumbersTheLaterMaterials) {
    ClickMaterial(0); // which values Clear zeroes is the library's test's concern
    commands.ClearValues();
    EXPECT_EQ(ValueOf(library().material(0), "EX"), 0.0);
    EXPECT_EQ(editor.VSFlexGrid1.textMatrix(1, 2), "0");
    ClickMaterial(1);
    commands.onCopyMaterial(); // forgotten by a deletion
    editor.messageBox.queueAnswer(MsgResult::No);
    Delete(0);
    ExpectOnlyMessage("Are you sure, you want to delete A36   ?", MsgButtons::YesNo,
                      MsgIcon::Question);
    EXPECT_EQ(EntryNames(), kFiveNames);
    Delete(0);
    EXPECT_EQ(EntryNames(), (Texts{"6061", "S275", "7075", "C101"}));
    EXPECT_EQ((Texts{KeyOf(0), KeyOf(1)}),
              (Texts{"Aluminium    6061  0000", "Steel    S275  0001"}));
    EXPECT_EQ(editor.shown(), kMaterialShown) << "a neighbour is shown";
    EXPECT_EQ(editor.boxes(), (Texts{"Steel    ", "S275  ", "european grade"}))
        << "in the boxes too";
    EXPECT_EQ(tree().selectedKey(), "Steel    S275  0001");
    Delete(3);
    EXPECT_FALSE(tree().exists("Copper    ")) << "its only material gone";
    editor.messageBox.questions.clear();
    commands.onPasteMaterial();
    EXPECT_EQ(library().LastMaterialIndex(), 2);
    EXPECT_TRUE(editor.messageBox.questions.empty());
}

TEST_F(EditingCommandsTest, AFullLibraryRefusesToGrowButNotToOverwrite) {
    std::vector<Sample> full;
    for (int i = 0; i < kMaxMaterials - 1; ++i)
        full.push_back({i % 2 ? "Steel" : "Iron", "M" + std::to_string(i)});
    Open(full);
    ClickCategory("Steel");
    Type("Steel", "Last one");
    commands.newMaterial(); // number 1000 fits
    EXPECT_EQ(tree().selectedKey(), "Steel    Last one1000");
    editor.messageBox.questions.clear();
    ClickMaterial(3);
    commands.onCopyMaterial();
    for (auto command : {&C::onMaterialSet, &C::onPasteMaterial, &C::newMaterial}) {
        if (command == &C::newMaterial) ClickCategory("Steel");
        Type("Steel", "One more");
        (commands.*command)();
        ExpectOnlyMessage("The library is full: it already holds 1001 materials, the most a "
                          "library can hold. Delete a material before adding another.",
                          MsgButtons::OK, MsgIcon::Exclamation);
        EXPECT_EQ(library().Materials().size(), 1002u);
    }
    ClickMaterial(3);
    Type("Steel", "M5", "overwritten");
    commands.onMaterialSet();
    EXPECT_EQ(library().entry(5).Description, "overwritten");
}

TEST_F(EditingCommandsTest,
       LeavingTheDescriptionStoresItForAnyMaterialButRefusesControlCharacters) {
    ClickMaterial(0); // its key ends in "0000"
    editor.descriptionText.setText("hot rolled");
    EXPECT_TRUE(commands.descriptionText_LostFocus());
    EXPECT_EQ((Texts{library().entry(0).Description, library().material(0).MaterialDescription(),
                     library().shadow(0).MaterialDescription()}),
              (Texts{"hot rolled", "hot rolled", "structural steel"}));
    ClickMaterial(3);
    editor.descriptionText.setText(" kept as typed ");
    EXPECT_TRUE(commands.descriptionText_LostFocus());
    EXPECT_EQ(library().material(3).MaterialDescription(), " kept as typed ");

    editor.descriptionText.setText("two\r\nlines");
    EXPECT_FALSE(commands.descriptionText_LostFocus());
    ExpectOnlyMessage("A description cannot hold a line break, a tab or another control "
                      "character.",
                      MsgButtons::OK, MsgIcon::Exclamation);
    EXPECT_EQ(editor.descriptionText.focusRequests, 1);
    EXPECT_EQ(library().entry(3).Description, " kept as typed ");

    ClickCategory("Copper"); // a category stores nothing and refuses nothing
    editor.descriptionText.setText("for\tcopper");
    EXPECT_TRUE(commands.descriptionText_LostFocus());
    EXPECT_TRUE(editor.messageBox.questions.empty());
    EXPECT_EQ(library().entry(4).Description, "");
    EXPECT_EQ(library().entry(0).Description, "hot rolled");
}

// Enter stores a box as leaving it does; while a new material is typed it adds it, and the
// description typed for it never goes to the material shown before.
TEST_F(EditingCommandsTest, EnterInABoxStoresItOrAddsTheNewMaterial) {
    ClickMaterial(2);
    editor.descriptionText.setText("hot rolled");
    commands.descriptionText_Enter();
    EXPECT_EQ(library().entry(2).Description, "hot rolled");
    EXPECT_EQ(editor.descriptionText.storedMarks, 1) << "its own undo starts afresh";
    EXPECT_EQ(state.history.undoLabel(), "Change description of S275");

    commands.materialNameText_GotFocus();
    Type("Steel", std::string(31, 'n'), "for the new one");
    commands.materialNameText_Enter();
    ExpectOnlyMessage("Material name should be less than 30 characters long", MsgButtons::OK,
                      MsgIcon::Critical);
    EXPECT_EQ(library().LastMaterialIndex(), 4);

    Type("Steel", "S355", "for the new one");
    EXPECT_TRUE(commands.descriptionText_LostFocus());
    EXPECT_EQ(library().entry(2).Description, "hot rolled") << "not the shown material's";
    commands.descriptionText_Enter();
    ExpectOnlyMessage("Do you really want to add this material ?", MsgButtons::YesNo,
                      MsgIcon::Question);
    EXPECT_EQ((Texts{library().entry(5).Name, library().entry(5).Description}),
              (Texts{"S355", "for the new one"}));
    EXPECT_EQ((std::vector{editor.materialTypeText.storedMarks, editor.materialNameText.storedMarks,
                           editor.descriptionText.storedMarks}),
              (std::vector{1, 1, 2}));
    EXPECT_EQ(editor.shown(), kMaterialShown);

    commands.materialTypeText_GotFocus();
    Type("Nickel", "N200");
    commands.materialTypeText_Enter();
    EXPECT_EQ(library().entry(6).Name, "N200");
    commands.materialNameText_Enter(); // no new material typed: nothing more
    EXPECT_EQ(library().LastMaterialIndex(), 6);
}

TEST_F(EditingCommandsTest, APasteShortensOrReplacesWhatCannotGoIntoALibraryAndSaysSo) {
    const std::string long23 = "Structural steel S355 R"; // "Copy of " makes it 31
    Open({{"Steel", long23, std::string(60, 'd'), "S355JR"},
          {"Steel", "A36\x01", "hot\trolled", "A36\x7F"}});
    ClickMaterial(0);
    commands.onCopyMaterial();
    ClickCategory("Steel");
    commands.onPasteMaterial();
    const std::string shortened = "Copy of Structural steel S355"; // cut at 30, blank dropped
    ExpectOnlyMessage("The name of the copy was shortened to \"" + shortened +
                          "\": a library file keeps at most 30 characters of a name.\n"
                          "The description of the copy was shortened to the 50 characters a "
                          "library file keeps.",
                      MsgButtons::OK, MsgIcon::Exclamation);
    const std::string d50(50, 'd');
    EXPECT_EQ((Texts{library().entry(2).Name, library().entry(2).Description,
                     library().material(2).MaterialName(),
                     library().shadow(2).MaterialDescription(), editor.materialNameText.text()}),
              (Texts{shortened, d50, shortened, d50, shortened}));
    ClickCategory("Steel");
    commands.onPasteMaterial(); // the shortened name is the one that collides
    ExpectOnlyMessage("Material Name (" + shortened + ") exists. Please rename it before pasting.",
                      MsgButtons::OK, MsgIcon::Exclamation);

    ClickMaterial(1);
    commands.onCopyMaterial();
    commands.onPasteMaterial();
    ExpectOnlyMessage("Line breaks, tabs and other control characters in the copied name, name "
                      "code and description were replaced by blanks.",
                      MsgButtons::OK, MsgIcon::Exclamation);
    const LibraryEntry& e = library().entry(3);
    clsMaterial& record = library().material(3);
    EXPECT_EQ((Texts{e.Name, e.NameCode, e.Description, record.MaterialName(),
                     record.MaterialNameCode(), record.MaterialDescription()}),
              (Texts{"Copy of A36", "A36 ", "hot rolled", "Copy of A36", "A36 ", "hot rolled"}));
    EXPECT_EQ(library().entry(1).NameCode, "A36\x7F") << "the source stays as it was read";
}

} // namespace
} // namespace mb::test

#include "ApplicationFixture.h"

namespace mb {
namespace {

TEST_F(ApplicationTest, NewShowsTheSampleMaterialInTheStoredUnitsAndSaveAsksForAName) {
    settings.put("Unit", "BinaryValue", {SettingsValue::Type::Binary, std::string("\x02\0\0\0", 4)});
    app.NewLibrary();
    EXPECT_TRUE(shown);
    EXPECT_EQ(caption(), kUntitled);
    EXPECT_EQ(window().TreeView1.keysInOrder(), (Texts{"My Material    ", "My Material    My Material0000"}));
    EXPECT_EQ(window().materialNameText.text() + "|" + window().descriptionText.text(),
              "My Material|This is a sample material");
    EXPECT_EQ(window().unitStringsLabel[0].caption(), "Kgf/cm^2         ");
    EXPECT_EQ(window().typeCombo.count(), 13);

    // There is no file yet: save is save as.
    dialogs.queuePath(tmp.file("sample.lib"));
    app.SaveLibrary();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].title + "|" + dialogs.requests[0].filter, "Save Library File As ...|");
    EXPECT_EQ(test::ReadBytes(tmp.file("sample.lib")),
              "MATTYPE:My Material\r\nMATL:My Material  : My Material                   :This is a sample material\r\n"
              "ENDMATL\r\nENDTYPE\r\n");
    EXPECT_EQ(caption(), tmp.file("sample.lib"));
    EXPECT_FALSE(state.doc.IsUntitled);
    EXPECT_EQ(asked(), Texts{});
}

TEST_F(ApplicationTest, NewOverASavedLibraryAsksCancelKeepsItAndNoReplacesItStoringTheUnits) {
    const std::string file = openSaved();
    messages.queueAnswer(MsgResult::Cancel);
    app.NewLibrary();
    EXPECT_EQ(caption(), file);
    EXPECT_FALSE(state.doc.IsUntitled) << "Save must still write the open file after a cancelled New";
    EXPECT_EQ(state.library.LastMaterialIndex, 1);

    window().unitsCombo.setListIndex(1);
    messages.queueAnswer(MsgResult::No);
    app.NewLibrary();
    EXPECT_EQ(asked(), Texts(2, "Save changes to " + file + " ? [YesNoCancel Question]"));
    EXPECT_EQ(created, 2);
    EXPECT_EQ(caption(), kUntitled);
    EXPECT_EQ(state.library.LastMaterialIndex, 0);
    EXPECT_EQ(test::ReadBytes(file), kTwoMaterials);
    EXPECT_EQ(storedUnitBytes(), std::string("\x01\0\0\0", 4));
}

TEST_F(ApplicationTest, OpenRejectsATextFileWithTheDialogAgainShowsTheFirstMaterialAndKeepsItOnFailure) {
    dialogs.queuePath(library("notes.lib", "just some notes\n"));
    const std::string file = openSaved();
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[1].title + "|" + dialogs.requests[1].filter,
              "Open Library File...|VELTRA Material Files (*.lib)|*.lib|Excel Files  (*.xls)|*.xls|All Files  (*.*)|*.*");
    EXPECT_EQ(caption(), file);
    EXPECT_EQ(window().TreeView1.keysInOrder().size(), 4u);
    EXPECT_EQ(window().TreeView1.selectedKey(), "Steels    S235  0000");
    EXPECT_EQ(window().materialNameText.text(), "S235  ");
    EXPECT_EQ(window().VSFlexGrid1.textMatrix(1, 0) + "=" + window().VSFlexGrid1.textMatrix(1, 2), "EX=30463140");

    dialogs.queuePath(tmp.file("vanished.lib"));
    app.OpenLibrary(); // the dialog comes back and is cancelled
    app.OpenLibrary();
    EXPECT_EQ(asked(), (Texts{"This file is not a VELTRA/M material library file! [OK Exclamation]",
                              "Cannot open " + tmp.file("vanished.lib") + ": it does not exist. [OK Exclamation]"}));
    EXPECT_EQ(dialogs.requests.size(), 5u);
    EXPECT_EQ(state.doc.CurrentFileName, file);
    EXPECT_EQ(caption(), file);
}

TEST_F(ApplicationTest, OpeningOverANewLibraryAsksOverASavedOneNot) {
    app.NewLibrary();
    messages.queueAnswer(MsgResult::Cancel);
    openSaved();
    EXPECT_EQ(caption(), kUntitled);
    EXPECT_EQ(state.library.Entry(0).Name, "My Material");

    messages.queueAnswer(MsgResult::No);
    openSaved();
    const std::string b = library("b.lib", "MATTYPE:Rubbers\r\nMATL:NR  : NR:Natural rubber\r\nENDMATL\r\n");
    app.OpenLibraryFile(b); // from the command line: no dialog
    EXPECT_EQ(asked(), Texts(2, "Do you want to save changes? [YesNoCancel Question]"));
    EXPECT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(caption(), b);
    EXPECT_EQ(state.library.LastMaterialIndex, 0);
}

TEST_F(ApplicationTest, SaveFailuresSaySoAndSaveAsBringsTheDialogBack) {
    app.SaveLibrary();
    const std::string file = openSaved();
    dialogs.queuePath(tmp.file("gone/new.lib"));
    app.SaveLibraryAs(); // the dialog comes back and is cancelled
    EXPECT_EQ(dialogs.requests.size(), 3u);
    EXPECT_EQ(caption(), file);
    EXPECT_EQ(state.doc.CurrentFileName, file);
    state.doc.CurrentFileName = tmp.file("gone/steels.lib");
    app.SaveLibrary();
    EXPECT_EQ(asked(), (Texts{"Nothing to be saved. [OK]",
                              "Cannot save " + tmp.file("gone/new.lib") + ": Path not found. [OK Exclamation]",
                              "Cannot save " + tmp.file("gone/steels.lib") + ": Path not found. [OK Exclamation]"}));
    EXPECT_TRUE(state.doc.DocumentOpen);
}

TEST_F(ApplicationTest, CloseAsksEvenWhenNothingChangedCancelKeepsEverythingYesSavesFirst) {
    const std::string file = openSaved();
    const std::string before = storedUnitBytes();
    window().unitsCombo.setListIndex(2);
    messages.queueAnswer(MsgResult::Cancel);
    EXPECT_FALSE(app.editorCloseRequested());
    EXPECT_TRUE(editor && toolbar.isButtonEnabled("save"));
    EXPECT_EQ(storedUnitBytes(), before);

    state.library.Material(1).CopyProperty("DENS", 1140);
    messages.queueAnswer(MsgResult::Yes);
    app.CloseLibrary();
    EXPECT_EQ(asked(), Texts(2, "Save changes to " + file + " ? [YesNoCancel Question]"));
    EXPECT_NE(test::ReadBytes(file).find("DENS"), std::string::npos);
    EXPECT_FALSE(editor || state.doc.DocumentOpen);
    EXPECT_EQ(state.doc.CurrentFileName, "");
    EXPECT_FALSE(toolbar.isButtonEnabled("save") || toolbar.isButtonEnabled("deleteMaterial"));
    EXPECT_EQ(storedUnitBytes(), std::string("\x02\0\0\0", 4));
}

TEST_F(ApplicationTest, ANewLibraryStaysWhenItsSaveOrExitIsCancelledExitAnsweredNoEndsWithoutStoringUnits) {
    app.NewLibrary();
    messages.queueAnswer(MsgResult::Yes); // then the save dialog is cancelled
    EXPECT_FALSE(app.editorCloseRequested());
    messages.queueAnswer(MsgResult::Cancel);
    app.ExitFromEditor();
    EXPECT_EQ(process.ended, 0);
    EXPECT_TRUE(state.doc.DocumentOpen && editor);

    openSaved();
    const std::string before = storedUnitBytes();
    window().unitsCombo.setListIndex(1);
    messages.queueAnswer(MsgResult::No);
    app.ExitFromEditor();
    EXPECT_EQ(process.ended, 1);
    EXPECT_EQ(storedUnitBytes(), before);
}

} // namespace
} // namespace mb

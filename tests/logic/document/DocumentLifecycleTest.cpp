#include "ApplicationFixture.h"
#include "EditorFixture.h"

#include "FilesThatDoNotEnd.h"
#include "LibraryFile.h"
#include "SpreadsheetImport.h"
#include "TestPaths.h"

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace mb {
namespace {

std::string saveQuestion(const std::string& file) {
    return "Save changes to " + file + " ? [YesNoCancel Question]";
}
const std::string kUnnamedSaveQuestion = "Do you want to save changes? [YesNoCancel Question]";

Library Reread(const std::string& path) {
    Library lib;
    EXPECT_EQ(ReadLibraryFile(path, lib, ".").status, ReadResult::Status::Loaded) << path;
    return lib;
}

TEST_F(DocumentLifecycleTest, NewShowsTheSampleMaterialInTheStoredUnitsAndSaveAsksForAName) {
    settings.put("Unit", "BinaryValue",
                 {SettingsValue::Type::Binary, std::string("\x02\0\0\0", 4)});
    app.NewLibrary();
    EXPECT_TRUE(shown);
    EXPECT_EQ(caption(), kUntitled);
    EXPECT_EQ(window().TreeView1.keysInOrder(),
              (Texts{"My Material    ", "My Material    My Material0000"}));
    EXPECT_EQ(window().materialNameText.text() + "|" + window().descriptionText.text(),
              "My Material|This is a sample material");
    EXPECT_EQ(window().unitStringsLabel[0].caption(), "Kgf/cm^2         ");
    EXPECT_EQ(window().typeCombo.count(), 13);

    // There is no file yet: save is save as.
    dialogs.queuePath(tmp.file("sample.lib"));
    app.SaveLibrary();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].proposedPath, "") << "no name to propose";
    EXPECT_EQ(test::ReadBytes(tmp.file("sample.lib")),
              "MATTYPE:My Material\r\nMATL:My Material  : My Material                   :This is a "
              "sample material\r\n"
              "ENDMATL\r\nENDTYPE\r\n");
    EXPECT_EQ(caption(), tmp.file("sample.lib"));
    EXPECT_FALSE(state.doc.IsUntitled);
    EXPECT_EQ(asked(), Texts{});
}

TEST_F(DocumentLifecycleTest, NewOverASavedLibraryAsksCancelKeepsItAndNoReplacesItStoringTheUnits) {
    const std::string file = openSaved();
    messages.queueAnswer(MsgResult::Cancel);
    app.NewLibrary();
    EXPECT_EQ(caption(), file);
    EXPECT_FALSE(state.doc.IsUntitled)
        << "Save must still write the open file after a cancelled New";
    EXPECT_EQ(state.library.LastMaterialIndex(), 1);

    window().unitsCombo.setListIndex(1);
    messages.queueAnswer(MsgResult::No);
    app.NewLibrary();
    EXPECT_EQ(asked(), Texts(2, saveQuestion(file)));
    EXPECT_EQ(created, 2);
    EXPECT_EQ(caption(), kUntitled);
    EXPECT_EQ(state.library.LastMaterialIndex(), 0);
    EXPECT_EQ(test::ReadBytes(file), kTwoMaterials);
    EXPECT_EQ(storedUnitBytes(), std::string("\x01\0\0\0", 4));
}

TEST_F(DocumentLifecycleTest,
       OpenRejectsATextFileWithTheDialogAgainShowsTheFirstMaterialAndKeepsItOnFailure) {
    dialogs.queuePath(library("notes.lib", "just some notes\n"));
    const std::string file = openSaved();
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[1].title + "|" + dialogs.requests[1].filter,
              "Open Library File...|VELTRA Material Files (*.lib)|*.lib|Excel Files  "
              "(*.xls)|*.xls|All Files  (*.*)|*.*");
    EXPECT_EQ(caption(), file);
    EXPECT_EQ(window().TreeView1.keysInOrder().size(), 4u);
    EXPECT_EQ(window().TreeView1.selectedKey(), "Steels    S235  0000");
    EXPECT_EQ(window().materialNameText.text(), "S235  ");
    EXPECT_EQ(window().VSFlexGrid1.textMatrix(1, 0) + "=" + window().VSFlexGrid1.textMatrix(1, 2),
              "EX=30463140");

    dialogs.queuePath(tmp.file("vanished.lib"));
    app.OpenLibrary(); // the dialog comes back and is cancelled
    app.OpenLibrary();
    EXPECT_EQ(asked(), (Texts{"This file is not a VELTRA/M material library file! [OK Exclamation]",
                              "Cannot open " + tmp.file("vanished.lib") +
                                  ": it does not exist. [OK Exclamation]"}));
    EXPECT_EQ(dialogs.requests.size(), 5u);
    EXPECT_EQ(state.doc.CurrentFileName, file);
    EXPECT_EQ(caption(), file);
}

TEST_F(DocumentLifecycleTest, OpeningOverANewLibraryAsksOverASavedOneNot) {
    app.NewLibrary();
    messages.queueAnswer(MsgResult::Cancel);
    openSaved();
    EXPECT_EQ(caption(), kUntitled);
    EXPECT_EQ(state.library.entry(0).Name, "My Material");

    messages.queueAnswer(MsgResult::No);
    const std::string file = openSaved();
    openSaved();
    EXPECT_EQ(asked(), Texts(2, kUnnamedSaveQuestion));
    EXPECT_EQ(caption(), file);
}

// Save As starts on the open library's file and offers no filter.
TEST_F(DocumentLifecycleTest, SaveFailuresSaySoAndSaveAsBringsTheDialogBack) {
    app.SaveLibrary();
    const std::string file = openSaved();
    dialogs.queuePath(tmp.file("gone/new.lib"));
    app.SaveLibraryAs(); // the dialog comes back and is cancelled
    ASSERT_EQ(dialogs.requests.size(), 3u);
    EXPECT_EQ(dialogs.requests[1].proposedPath + "|" + dialogs.requests[1].filter, file + "|");
    EXPECT_EQ(caption(), file);
    EXPECT_EQ(state.doc.CurrentFileName, file);
    state.doc.CurrentFileName = tmp.file("gone/steels.lib");
    app.SaveLibrary();
    EXPECT_EQ(asked(), (Texts{"Nothing to be saved. [OK]",
                              "Cannot save " + tmp.file("gone/new.lib") +
                                  ": Path not found. [OK Exclamation]",
                              "Cannot save " + tmp.file("gone/steels.lib") +
                                  ": Path not found. [OK Exclamation]"}));
    EXPECT_TRUE(state.doc.DocumentOpen);
}

TEST_F(DocumentLifecycleTest, CloseAsksEvenWhenNothingChangedCancelKeepsEverythingYesSavesFirst) {
    const std::string file = openSaved();
    const std::string before = storedUnitBytes();
    window().unitsCombo.setListIndex(2);
    messages.queueAnswer(MsgResult::Cancel);
    EXPECT_FALSE(app.editorCloseRequested());
    EXPECT_TRUE(editor && toolbar.isButtonEnabled("save"));
    EXPECT_EQ(storedUnitBytes(), before);

    state.library.material(1).CopyProperty("DENS", 1140);
    messages.queueAnswer(MsgResult::Yes);
    app.closeLibrary();
    EXPECT_EQ(asked(), Texts(2, saveQuestion(file)));
    EXPECT_NE(test::ReadBytes(file).find("DENS"), std::string::npos);
    EXPECT_FALSE(editor || state.doc.DocumentOpen);
    EXPECT_EQ(state.doc.CurrentFileName, "");
    EXPECT_FALSE(toolbar.isButtonEnabled("save") || toolbar.isButtonEnabled("deleteMaterial"));
    EXPECT_EQ(storedUnitBytes(), std::string("\x02\0\0\0", 4));
}

TEST_F(DocumentLifecycleTest,
       ANewLibraryStaysWhenItsSaveOrExitIsCancelledExitAnsweredNoEndsWithoutStoringUnits) {
    app.NewLibrary();
    messages.queueAnswer(MsgResult::Yes); // then the save dialog is cancelled
    EXPECT_FALSE(app.editorCloseRequested());
    messages.queueAnswer(MsgResult::Cancel);
    app.exitFromEditor();
    EXPECT_EQ(process.ended, 0);
    EXPECT_TRUE(state.doc.DocumentOpen && editor);

    openSaved();
    const std::string before = storedUnitBytes();
    window().unitsCombo.setListIndex(1);
    messages.queueAnswer(MsgResult::No);
    app.exitFromEditor();
    EXPECT_EQ(process.ended, 1);
    EXPECT_EQ(storedUnitBytes(), before);
}

TEST_F(DocumentLifecycleTest, AnImportedWorkbookIsSavedAsANewLibraryBesideItNeverOverIt) {
    const std::string book = tmp.file("alloys.xls");
    const std::string bookBytes = "\xD0\xCF\x11\xE0 a workbook";
    test::WriteBytes(book, bookBytes);
    workbooks[book] = SheetOf({{"Name", CellValue::ofText("AlSi10Mg")},
                               {"Type", CellValue::ofText("Cast alloys")},
                               {"DENS", CellValue::ofNumber(2670)},
                               {"End", CellValue::empty()}});
    dialogs.queuePath(book);
    app.OpenLibrary();
    EXPECT_EQ(caption(), book);
    EXPECT_EQ(state.library.entry(0).Name, "AlSi10Mg");
    EXPECT_EQ(asked(), Texts{}) << "an import that reached \"End\" unchanged has nothing to say";

    // Save, and Yes to the close question, both ask for a name: the workbook's, as a library.
    app.SaveLibrary(); // the dialog is cancelled
    messages.queueAnswer(MsgResult::Yes);
    EXPECT_FALSE(app.editorCloseRequested()); // its dialog cancelled too: the library stays
    ASSERT_EQ(dialogs.requests.size(), 3u);
    for (std::size_t i = 1; i < 3; ++i)
        EXPECT_EQ(dialogs.requests[i].title + "|" + dialogs.requests[i].proposedPath,
                  "Save Library File As ...|" + tmp.file("alloys.lib"));
    EXPECT_EQ(asked(), Texts{kUnnamedSaveQuestion});
    EXPECT_EQ(caption(), book);
    EXPECT_TRUE(state.doc.DocumentOpen && state.doc.IsUntitled);

    dialogs.queuePath(tmp.file("alloys.lib"));
    app.SaveLibrary();
    EXPECT_EQ(test::ReadBytes(book), bookBytes);
    EXPECT_EQ(test::ValueOf(Reread(tmp.file("alloys.lib")).material(0), "DENS"), 2670);
    EXPECT_EQ(caption(), tmp.file("alloys.lib"));
    messages.queueAnswer(MsgResult::Cancel);
    app.closeLibrary();
    EXPECT_EQ(asked().back(), saveQuestion(tmp.file("alloys.lib")));
}

TEST_F(DocumentLifecycleTest, SavingOverAFileChangedOnDiskAsksNoAndCancelLeaveItYesOverwrites) {
    const std::string fixtures = std::string(test::kDataDir) + "/lifecycle/changed-on-disk/";
    const std::string opened = test::ReadBytes(fixtures + "opened.lib");
    const std::string changed = test::ReadBytes(fixtures + "changed.lib");
    const std::string file = library("plastics.lib", opened);
    dialogs.queuePath(file);
    app.OpenLibrary();
    window().clickNode(kPA6);
    state.library.material(1).CopyProperty("DENS", 1140); // an edit of this window's own

    // Another program replaces the file, as editors do: a new file renamed over it.
    test::WriteBytes(tmp.file("other.tmp"), changed);
    std::filesystem::rename(tmp.file("other.tmp"), file);
    const std::string question = file + " has been changed on disk since it was opened or last "
                                        "saved here, by another program or another window.\n\n"
                                        "Do you want to overwrite it? [YesNoCancel Exclamation]";
    messages.queueAnswer(MsgResult::No);
    app.SaveLibrary();
    messages.queueAnswer(MsgResult::Cancel);
    app.SaveLibrary();
    messages.queueAnswer(MsgResult::Yes);    // the close question: Yes, save...
    messages.queueAnswer(MsgResult::Cancel); // ...but not over the changed file
    EXPECT_FALSE(app.editorCloseRequested());
    EXPECT_EQ(asked(), (Texts{question, question, saveQuestion(file), question}));
    EXPECT_EQ(test::ReadBytes(file), changed);
    EXPECT_TRUE(state.doc.DocumentOpen);
    EXPECT_EQ(caption(), file);

    messages.queueAnswer(MsgResult::Yes);
    app.SaveLibrary();
    EXPECT_NE(test::ReadBytes(file).find("DENS"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(file).find("PA66"), std::string::npos);

    // Rewritten in place with the same size: the modification time still tells.
    const std::string now = test::ReadBytes(file);
    std::string edited = now;
    edited[edited.find("Nylon")] = 'n';
    test::WriteBytes(file, edited);
    struct timespec times[2] = {{0, UTIME_OMIT}, {1234567890, 5}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    messages.queueAnswer(MsgResult::No);
    app.SaveLibrary();
    EXPECT_EQ(asked().size(), 6u);
    EXPECT_EQ(test::ReadBytes(file), edited);
}

// The library has a second hard link, so a save rewrites it in place; one that died left
// it half written and a copy of its old content beside it, under its name and inode.
TEST_F(DocumentLifecycleTest, AnUnfinishedSaveIsOfferedYesPutsTheOldLibraryBackNoOpensItAsItIs) {
    const std::string file = library("steels.lib", kTwoMaterials);
    std::filesystem::create_hard_link(file, tmp.file("link.lib"));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    const std::string copy = tmp.file(".steels.lib." + std::to_string(st.st_ino) + ".Ab12Cd.old");
    const std::string half = kTwoMaterials.substr(0, kTwoMaterials.find("MATL:", 20));
    const auto leaveUnfinishedSave = [&] {
        test::WriteBytes(file, half);
        test::WriteBytes(copy, kTwoMaterials);
    };
    const std::string question = "The last save of " + file +
                                 " did not finish. Restore the library as it was before that "
                                 "save? [YesNo Question]";
    for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
        SCOPED_TRACE(answer == MsgResult::Yes ? "Yes" : "No");
        leaveUnfinishedSave();
        messages.questions.clear();
        messages.queueAnswer(answer);
        dialogs.queuePath(file);
        app.OpenLibrary();
        EXPECT_EQ(asked(), Texts{question});
        EXPECT_EQ(caption(), file);
        // Yes reads the library put back (how is the file layer's UnfinishedRewrite test's
        // concern); No reads it as it is, and the question comes again at the next open.
        EXPECT_EQ(state.library.LastMaterialIndex(), answer == MsgResult::Yes ? 1 : 0);
        EXPECT_EQ(std::filesystem::exists(copy), answer == MsgResult::No);
    }
    // What this window read is what is on disk: Save asks nothing.
    messages.questions.clear();
    app.SaveLibrary();
    EXPECT_EQ(asked(), Texts{});
}

TEST_F(DocumentLifecycleTest, OpeningALibraryOpenElsewhereWarnsAndTheLockFollowsTheLibrary) {
    const std::string file = library("steels.lib", kTwoMaterials);
    lock.heldElsewhere.insert(file);
    dialogs.queuePath(file);
    app.OpenLibrary();
    EXPECT_EQ(asked(),
              Texts{file + " is already open for editing in another window of this program "
                           "(process 4711). Whichever of the two saves last overwrites the "
                           "other's changes. [OK Exclamation]"});
    EXPECT_EQ(caption(), file) << "the warning does not stop the open";
    EXPECT_EQ(lock.held, std::nullopt);

    lock.heldElsewhere.clear();
    app.openLibraryFile(file);
    EXPECT_EQ(lock.held, file);
    dialogs.queuePath(tmp.file("copy.lib"));
    app.SaveLibraryAs();
    EXPECT_EQ(lock.held, tmp.file("copy.lib"));
    messages.queueAnswer(MsgResult::No);
    app.NewLibrary();
    EXPECT_EQ(lock.held, std::nullopt) << "a new library has no file to hold";
    messages.queueAnswer(MsgResult::No);
    app.openLibraryFile(file);
    EXPECT_EQ(lock.held, file);
    messages.queueAnswer(MsgResult::No);
    app.closeLibrary();
    EXPECT_EQ(lock.held, std::nullopt);
    EXPECT_EQ(asked().size(), 4u);
}

TEST_F(DocumentLifecycleTest, ASaveWritesInTheBackgroundASecondWaitsAndClosingWaitsForIt) {
    const std::string file = openSaved();
    const auto text = [&] { return libraryText(state.library, groupByCategory(state.library)); };
    background.held = true;
    state.history.SetValue(1, "DENS", 1150);
    const std::string first = text();
    app.SaveLibrary();
    EXPECT_EQ(test::ReadBytes(file), kTwoMaterials) << "Save returns before the disk work";
    state.history.SetValue(1, "DENS", 1160); // the window goes on meanwhile
    app.SaveLibrary();
    EXPECT_EQ(test::ReadBytes(file), first) << "the first save finished before the second";
    ASSERT_EQ(background.queue.size(), 1u);
    background.finishNext();
    EXPECT_EQ(test::ReadBytes(file), text());
    EXPECT_EQ(state.doc.DiskStamp, FileStamp::of(file));
    recoveryTimer.fire();
    EXPECT_EQ(recoveryStore.copy, std::nullopt) << "nothing unsaved";

    // What is saved is the library as it was when Save was chosen: an edit made while the
    // disk work runs stays unsaved, and so it is copied.
    app.SaveLibrary();
    state.history.SetValue(1, "DENS", 1170);
    background.finishNext();
    recoveryTimer.fire();
    ASSERT_TRUE(recoveryStore.copy);
    EXPECT_EQ(parseRecoveryCopy(*recoveryStore.copy)->libraryText, text());

    // Closing waits for the save before it asks; then nothing is left to wait for.
    app.SaveLibrary();
    messages.queueAnswer(MsgResult::No);
    app.closeLibrary();
    EXPECT_FALSE(background.busy());
    EXPECT_FALSE(state.doc.DocumentOpen);
    EXPECT_NE(test::ReadBytes(file).find("1170"), std::string::npos);
    EXPECT_EQ(asked(), Texts{saveQuestion(file)});
}

// The first save's text goes into memory touched in the background at the first edit,
// kept from save to save and given back with the library.
TEST_F(DocumentLifecycleTest, AnEditedLibraryGetsRoomForItsSaveInTheBackgroundUntilItCloses) {
    const std::string file = openSaved();
    EXPECT_EQ(state.textRoom.bytes(), 0u) << "only a library being edited";
    background.held = true;
    state.history.SetValue(1, "DENS", 1150);
    state.history.SetValue(1, "DENS", 1160);
    ASSERT_EQ(background.queue.size(), 1u) << "one room, made off the window's thread";
    background.finishNext();
    const std::size_t room = state.textRoom.bytes();
    EXPECT_GE(room, libraryText(state.library, groupByCategory(state.library)).size());
    app.SaveLibrary();
    background.finishNext();
    EXPECT_EQ(state.textRoom.bytes(), room) << "the save's text went into it";
    EXPECT_EQ(test::ValueOf(Reread(file).material(1), "DENS"), 1160.0);
    state.history.SetValue(1, "DENS", 1170);
    EXPECT_TRUE(background.queue.empty());

    // A recovery copy borrows it; a save while the copy is being written formats elsewhere.
    recoveryStore.holdBodies = true;
    recoveryTimer.fire();
    ASSERT_EQ(recoveryStore.heldBodies.size(), 1u);
    EXPECT_EQ(recoveryStore.heldBodies[0]->capacity(), room);
    const std::string copied(*recoveryStore.heldBodies[0]);
    app.SaveLibrary();
    background.finishNext();
    EXPECT_EQ(test::ReadBytes(file), copied);
    EXPECT_EQ(std::string(*recoveryStore.heldBodies[0]), copied) << "not overwritten";
    recoveryStore.heldBodies.clear();
    EXPECT_EQ(state.textRoom.bytes(), room) << "back once written, the larger block kept";
    messages.queueAnswer(MsgResult::No);
    app.closeLibrary();
    EXPECT_EQ(state.textRoom.bytes(), 0u);
}

TEST_F(DocumentLifecycleTest, AWriteErrorInTheBackgroundAsksTheSameQuestionAndRetriesThere) {
    const std::string file = openSaved();
    background.held = true;
    state.library.material(1).CopyProperty("DENS", 1150);
    const std::string box =
        "File too large\n\nThe library could not be saved to " + file +
        ".\nRetry tries again. Cancel closes the program at once, without saving.\n"
        "The library as it is now has been copied to /home/user/.local/share/recovery/own.copy; "
        "it is offered the next time the program starts. [RetryCancel Exclamation]";
    messages.queueAnswer(MsgResult::Retry);
    app.SaveLibrary();
    {
        test::FileSizeLimit limit(100);
        background.finishNext();
    }
    EXPECT_EQ(asked(), Texts{box});
    ASSERT_EQ(background.queue.size(), 1u) << "Retry runs the failed step again, apart";
    background.finishNext();
    EXPECT_EQ(test::ReadBytes(file), libraryText(state.library, groupByCategory(state.library)));
    EXPECT_EQ(process.ended, 0);

    // Save As waits for its save: a failure brings the dialog back as before.
    dialogs.queuePath(tmp.file("gone/new.lib"));
    app.SaveLibraryAs();
    EXPECT_EQ(asked().back(),
              "Cannot save " + tmp.file("gone/new.lib") + ": Path not found. [OK Exclamation]");
    EXPECT_EQ(dialogs.requests.size(), 3u);
}

// The Open dialog, a drop, the command line and Recent Files all refuse through one check;
// the open library stays.
TEST_F(DocumentLifecycleTest, APipeADeviceAHugeFileOrAFolderIsRefusedAtOnceAndTheLibraryStays) {
    test::HangGuard guard;
    const std::string file = openSaved();
    for (const auto& [path, reason] : test::FilesThatDoNotEnd(tmp, ".lib")) {
        SCOPED_TRACE(path);
        messages.questions.clear();
        dialogs.queuePath(path);
        app.OpenLibrary(); // the dialog comes back and is cancelled
        app.openDroppedFile(path);
        app.openLibraryFile(path);
        app.openRecentFile(path);
        EXPECT_EQ(asked(), Texts(4, "Cannot open " + path + ": " + reason + " [OK Exclamation]"));
        EXPECT_EQ(caption(), file);
    }
}

TEST(DroppedFilesTest, LibrariesAndWorkbooksAreTakenByTheirExtensionInAnyCase) {
    const std::pair<const char*, bool> cases[] = {
        {"/data/steels.lib", true}, {"/data/STEELS.LIB", true},
        {"/data/alloys.xls", true}, {".lib", false},
        {"/data/notes.txt", false}, {"/data/steels.lib~", false},
    };
    for (const auto& [path, taken] : cases)
        EXPECT_EQ(isDroppableFile(path), taken) << path;
}

// The Undo and Redo items and toolbar buttons follow the history, which starts empty with
// every library and keeps its edits through a save. A description still being typed is
// stored first, so an undo takes back exactly that.
TEST_F(DocumentLifecycleTest, TheEditHistoryStartsEmptyAtNewOpenAndCloseAndSurvivesSave) {
    const auto commands = [&] {
        return Texts{menus.items["undoMenu"], menus.items["redoMenu"],
                     toolbar.tips["undo"] + (toolbar.isButtonEnabled("undo") ? " on" : " off"),
                     toolbar.tips["redo"] + (toolbar.isButtonEnabled("redo") ? " on" : " off")};
    };
    const Texts nothing{"Undo (off)", "Redo (off)", "Undo off", "Redo off"};
    EXPECT_EQ(commands(), nothing);
    const std::string file = openSaved();
    window().clickNode(kPA6);
    app.descriptionText_GotFocus();
    window().descriptionText.setText("Polyamide 6, dry");
    app.undo();
    EXPECT_EQ(state.library.entry(1).Description, "Nylon");
    EXPECT_EQ(window().descriptionText.text(), "Nylon");
    EXPECT_EQ(commands(), (Texts{"Undo (off)", "Redo Change description of PA6", "Undo off",
                                 "Redo Change description of PA6 on"}));
    app.redo();
    app.SaveLibrary();
    EXPECT_EQ(commands(), (Texts{"Undo Change description of PA6", "Redo (off)",
                                 "Undo Change description of PA6 on", "Redo off"}));
    app.undo();
    app.SaveLibrary();
    EXPECT_EQ(test::ReadBytes(file), kTwoMaterials);
    EXPECT_TRUE(messages.questions.empty()) << "neither undo nor redo asks";

    const std::vector<std::pair<std::string, std::function<void()>>> replacing = {
        {"Close", [&] { messages.queueAnswer(MsgResult::No), app.closeLibrary(); }},
        {"Open", [&] { openSaved(); }},
        {"New", [&] { messages.queueAnswer(MsgResult::No), app.NewLibrary(); }},
    };
    for (const auto& [name, run] : replacing) {
        if (!state.doc.DocumentOpen) openSaved();
        window().clickNode(kPA6);
        app.DeleteSelected();
        ASSERT_TRUE(state.history.canUndo()) << name;
        run();
        EXPECT_EQ(commands(), nothing) << name;
    }
}

TEST_F(ApplicationTest, EveryDocumentCommandStoresTheValueStillInTheGrid) {
    settings.put("Unit", "BinaryValue",
                 {SettingsValue::Type::Binary, std::string("\x01\0\0\0", 4)}); // SI
    const std::string file = tmp.file("steels.lib");
    // Each command that writes the library but Save (the running application's test), the
    // question answered Yes where it asks one: New, Exit and the window's close do as Close.
    const std::vector<std::pair<std::string, std::function<void()>>> commands = {
        {"Save As", [&] { dialogs.queuePath(file), app.SaveLibraryAs(); }},
        {"Close", [&] { messages.queueAnswer(MsgResult::Yes), app.closeLibrary(); }},
        // A cancelled Open stores the value all the same; the save after it finds no edit.
        {"Open",
         [&] {
             app.OpenLibrary();
             EXPECT_FALSE(window().form.EditStarted);
             app.SaveLibrary();
         }},
    };
    for (const auto& [name, run] : commands) {
        if (state.doc.DocumentOpen) messages.queueAnswer(MsgResult::No), app.closeLibrary();
        openSaved();
        window().clickNode(kPA6);
        window().clickCell(1, 2); // EX
        window().VSFlexGrid1.typeIntoCurrentCell("2500000000");
        run();
        Library saved = Reread(file);
        EXPECT_EQ(test::ValueOf(saved.material(1), "EX"), 2.5e9) << name;
    }
}

TEST_F(ApplicationTest, ATextInTheDescriptionBoxIsNoPendingEditOnceTheBoxHasLostTheFocus) {
    const std::string file = openSaved();
    window().clickNode(kPA6);
    app.descriptionText_GotFocus();
    window().descriptionText.setText("Polyamide 6");
    app.descriptionText_LostFocus();
    // Whatever puts text in the box afterwards is not the user's typing there.
    window().descriptionText.setText("shown, not typed");
    app.SaveLibrary();
    const std::string saved = test::ReadBytes(file);
    EXPECT_NE(saved.find(":Polyamide 6\r\n"), std::string::npos);
    EXPECT_EQ(saved.find("shown, not typed"), std::string::npos);
}

} // namespace
} // namespace mb

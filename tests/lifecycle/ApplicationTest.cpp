#include "FakeEditor.h"
#include "ShellFakes.h"
#include "TempDir.h"

#include "platform/Spreadsheet.h"
#include "shell/AppState.h"
#include "shell/Application.h"
#include "shell/HelpLauncher.h"
#include "shell/MainWindow.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace mb {
namespace {

namespace fs = std::filesystem;
using fake::FakeEditor;

class FakeEditorFactory : public EditorWindowFactory {
public:
    explicit FakeEditorFactory(AppState& state) : state_(state) {}
    BaseForm& createEditor() override {
        window = std::make_unique<FakeEditor>(state_);
        shown = false;
        caption_.clear();
        ++created;
        return window->form;
    }
    void destroyEditor() override {
        window.reset();
        ++destroyed;
    }
    void showEditor() override { shown = true; }
    void setCaption(const std::string& c) override { caption_ = c; }
    std::string caption() const override { return caption_; }

    std::unique_ptr<FakeEditor> window;
    bool shown = false;
    int created = 0;
    int destroyed = 0;

private:
    AppState& state_;
    std::string caption_;
};

// Spreadsheets are not what these tests are about: every workbook fails to open.
class NoSpreadsheets : public SpreadsheetReader {
public:
    std::unique_ptr<Workbook> open(const std::string&, std::string& reason) override {
        reason = "not a workbook";
        return nullptr;
    }
};

std::string ReadAll(const fs::path& p) { return test::ReadBytes(p.string()); }

// Two categories, the first material with Young's modulus 210 GPa, as the writer makes it.
const std::string kTwoMaterials =
    "MATTYPE:Steels\r\n"
    "MATL:S235         : S235                          :Structural steel\r\n"
    "EX        3046314E1  psi               2141404E0     Kgf/cm^2         21000E7    N/m^2           \r\n"
    "ENDMATL\r\nENDTYPE\r\n"
    "MATTYPE:Polymers\r\n"
    "MATL:PA6          : PA6                           :Nylon\r\n"
    "ENDMATL\r\nENDTYPE\r\n";

class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest() { main.MDIForm_Load(); }

    FakeEditor& window() { return *editors.window; }
    std::string storedUnitBytes() {
        const auto v = settings.get("Unit", "BinaryValue");
        return v ? v->data : std::string("<none>");
    }
    fs::path library(const std::string& name, const std::string& text) {
        const fs::path p = dir / name;
        test::WriteBytes(p.string(), text);
        return p;
    }
    /// Opens the two-material library through the dialog, as a user would.
    fs::path openSaved() {
        const fs::path file = library("steels.lib", kTwoMaterials);
        dialogs.queuePath(file.string());
        app.OpenLibrary();
        return file;
    }
    void expectOnlyQuestion(const std::string& text, MsgButtons buttons, MsgIcon icon) {
        ASSERT_EQ(messages.questions.size(), 1u);
        EXPECT_EQ(messages.questions[0].text, text);
        EXPECT_EQ(messages.questions[0].buttons, buttons);
        EXPECT_EQ(messages.questions[0].icon, icon);
    }

    test::TempDir tmp;
    fs::path dir{tmp.path()};
    AppState state;
    FakeEditorFactory editors{state};
    test::FakeToolbar toolbar;
    test::FakeStatusBar statusBar;
    test::FakeMenuCheck toolbarCheck{true};
    test::FakeMenuCheck statusbarCheck{true};
    MainWindow main{toolbar, statusBar, toolbarCheck, statusbarCheck};
    fake::FakeMessageBox messages;
    fake::FakeFileDialogs dialogs;
    NoSpreadsheets spreadsheets;
    fake::FakeLocale locale;
    fake::FakeSettingsBackend settings;
    test::FakeHelpViewer helpViewer;
    HelpLauncher help{helpViewer, "/opt/veltram/matbrowse"};
    test::FakeAboutBox about;
    test::FakeProcess process;
    Application app{state, editors, main,
                    ApplicationServices{messages, dialogs, spreadsheets, locale, settings, help,
                                        about, process}};
};

// ---- New -------------------------------------------------------------------------------

TEST_F(ApplicationTest, NewShowsTheSampleMaterialInAFreshEditor) {
    app.NewLibrary();

    ASSERT_TRUE(editors.window);
    EXPECT_TRUE(editors.shown);
    EXPECT_EQ(editors.caption(), "New File, not Saved");
    EXPECT_TRUE(state.doc.IsUntitled);
    EXPECT_TRUE(state.doc.DocumentOpen);
    EXPECT_EQ(window().TreeView1.keysInOrder(),
              (std::vector<std::string>{"My Material    ", "My Material    My Material0000"}));
    EXPECT_EQ(window().materialNameText.text(), "My Material");
    EXPECT_EQ(window().descriptionText.text(), "This is a sample material");
    EXPECT_EQ(window().unitsCombo.count(), 3);
    EXPECT_EQ(window().typeCombo.count(), 13);
    EXPECT_TRUE(toolbar.isButtonEnabled("save"));
    EXPECT_TRUE(toolbar.isButtonEnabled("deleteMaterial"));
    EXPECT_TRUE(messages.questions.empty());
}

TEST_F(ApplicationTest, NewSelectsTheStoredUnitSystem) {
    settings.put("Unit", "BinaryValue", {SettingsValue::Type::Binary, std::string("\x02\0\0\0", 4)});
    app.NewLibrary();
    EXPECT_EQ(window().unitsCombo.listIndex(), 2);
    EXPECT_EQ(window().unitStringsLabel[0].caption(), "Kgf/cm^2         ");
}

TEST_F(ApplicationTest, SaveRightAfterNewAsksForANameAndWritesTheSample) {
    app.NewLibrary();
    const fs::path target = dir / "sample.lib";
    dialogs.queuePath(target.string());

    app.SaveLibraryAs();

    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].title, "Save Library File As ...");
    EXPECT_EQ(dialogs.requests[0].filter, "");
    EXPECT_EQ(ReadAll(target), "MATTYPE:My Material\r\n"
                               "MATL:My Material  : My Material                   :This is a "
                               "sample material\r\n"
                               "ENDMATL\r\n"
                               "ENDTYPE\r\n");
    EXPECT_EQ(editors.caption(), target.string());
    EXPECT_FALSE(state.doc.IsUntitled);
    EXPECT_EQ(state.doc.CurrentFileName, target.string());
}

TEST_F(ApplicationTest, NewOverASavedLibraryAsksAndCancelKeepsIt) {
    const fs::path file = openSaved();
    messages.queueAnswer(MsgResult::Cancel);

    app.NewLibrary();

    expectOnlyQuestion("Save changes to " + file.string() + " ?", MsgButtons::YesNoCancel,
                       MsgIcon::Question);
    EXPECT_EQ(editors.caption(), file.string());
    EXPECT_FALSE(state.doc.IsUntitled) << "Save must still write the open file after a cancelled New";
    EXPECT_EQ(state.library.LastMaterialIndex, 1);
    EXPECT_EQ(editors.destroyed, 0);
}

TEST_F(ApplicationTest, NewOverASavedLibraryAnsweredNoReplacesItAndStoresTheUnits) {
    openSaved();
    window().unitsCombo.setListIndex(1);
    messages.queueAnswer(MsgResult::No);

    app.NewLibrary();

    EXPECT_EQ(editors.created, 2);
    EXPECT_EQ(editors.caption(), "New File, not Saved");
    EXPECT_EQ(state.library.LastMaterialIndex, 0);
    EXPECT_EQ(storedUnitBytes(), std::string("\x01\0\0\0", 4));
}

// ---- Open ------------------------------------------------------------------------------

TEST_F(ApplicationTest, OpenAsksWithTheLibraryFilterAndShowsTheFirstMaterial) {
    const fs::path file = openSaved();

    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].title, "Open Library File...");
    EXPECT_EQ(dialogs.requests[0].filter,
              "VELTRA Material Files (*.lib)|*.lib|Excel Files  (*.xls)|*.xls|All Files  (*.*)|*.*");
    EXPECT_EQ(editors.caption(), file.string());
    EXPECT_FALSE(state.doc.IsUntitled);
    EXPECT_EQ(window().TreeView1.keysInOrder().size(), 4u);
    EXPECT_EQ(window().TreeView1.selectedKey(), "Steels    S235  0000");
    EXPECT_EQ(window().materialNameText.text(), "S235  ");
    EXPECT_TRUE(window().VSFlexGrid1.isVisible());
    // With nothing stored, the selector stays on its first system.
    EXPECT_EQ(window().unitsCombo.listIndex(), 0);
    EXPECT_EQ(window().VSFlexGrid1.textMatrix(1, 0), "EX");
    EXPECT_FALSE(window().VSFlexGrid1.textMatrix(1, 2).empty());
}

TEST_F(ApplicationTest, CancelInTheOpenDialogChangesNothing) {
    app.NewLibrary();
    dialogs.queuePath(std::nullopt);

    app.OpenLibrary();

    EXPECT_EQ(editors.caption(), "New File, not Saved");
    EXPECT_TRUE(state.doc.IsUntitled);
    EXPECT_EQ(state.library.LastMaterialIndex, 0);
    EXPECT_TRUE(messages.questions.empty());
}

TEST_F(ApplicationTest, ATextFileIsRejectedAndTheDialogComesBack) {
    dialogs.queuePath(library("notes.lib", "just some notes\n").string());
    const fs::path good = openSaved();

    expectOnlyQuestion("This file is not a VELTRA/M material library file!", MsgButtons::OK,
                       MsgIcon::Exclamation);
    EXPECT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(editors.caption(), good.string());
    EXPECT_EQ(state.library.LastMaterialIndex, 1);
}

TEST_F(ApplicationTest, AFileThatCannotBeOpenedLeavesTheOpenLibraryAlone) {
    const fs::path good = openSaved();
    const std::string vanished = (dir / "vanished.lib").string();
    dialogs.queuePath(vanished);
    dialogs.queuePath(std::nullopt);

    app.OpenLibrary();

    ASSERT_EQ(messages.questions.size(), 1u);
    EXPECT_EQ(messages.questions[0].text, "Cannot open " + vanished + ": Path not found.");
    EXPECT_EQ(state.doc.CurrentFileName, good.string());
    EXPECT_EQ(editors.caption(), good.string());
    EXPECT_EQ(state.library.LastMaterialIndex, 1);
    EXPECT_EQ(window().TreeView1.keysInOrder().size(), 4u);
}

TEST_F(ApplicationTest, OpeningOverANewLibraryAsksFirstAndCancelKeepsIt) {
    app.NewLibrary();
    messages.queueAnswer(MsgResult::Cancel);

    openSaved();

    expectOnlyQuestion("Do you want to save changes?", MsgButtons::YesNoCancel, MsgIcon::Question);
    EXPECT_EQ(editors.caption(), "New File, not Saved");
    EXPECT_EQ(state.library.Entry(0).Name, "My Material");
}

TEST_F(ApplicationTest, OpeningOverASavedLibraryReplacesItWithoutAQuestion) {
    openSaved();
    const fs::path b = library("b.lib", "MATTYPE:Rubbers\r\nMATL:NR  : NR:Natural rubber\r\nENDMATL\r\nENDTYPE\r\n");
    dialogs.queuePath(b.string());

    app.OpenLibrary();

    EXPECT_TRUE(messages.questions.empty());
    EXPECT_EQ(editors.caption(), b.string());
    EXPECT_EQ(state.doc.CurrentFileName, b.string());
    EXPECT_EQ(state.library.LastMaterialIndex, 0);
}

TEST_F(ApplicationTest, OpenFromTheCommandLineSkipsTheDialog) {
    const fs::path file = library("steels.lib", kTwoMaterials);
    app.OpenLibraryFile(file.string());
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_EQ(editors.caption(), file.string());
}

// ---- Save ------------------------------------------------------------------------------

TEST_F(ApplicationTest, SaveWritesTheEditedValueInAllThreeSystems) {
    const fs::path file = openSaved();
    window().unitsCombo.setListIndex(1);
    window().form.unitsCombo_Click();
    window().clickCell(1, 2);
    window().VSFlexGrid1.typeIntoCurrentCell("200000000000");

    app.SaveLibrary();

    const std::string written = ReadAll(file);
    EXPECT_NE(written.find("EX        2901251E1  psi               2039432E0     Kgf/cm^2         20000E7    N/m^2           \r\n"),
              std::string::npos)
        << written;
}

TEST_F(ApplicationTest, SaveToAMissingFolderSaysSoAndKeepsTheLibraryOpen) {
    openSaved();
    state.doc.CurrentFileName = (dir / "gone" / "steels.lib").string();

    app.SaveLibrary();

    ASSERT_EQ(messages.questions.size(), 1u);
    EXPECT_EQ(messages.questions[0].text,
              "Cannot save " + (dir / "gone" / "steels.lib").string() + ": Path not found.");
    EXPECT_TRUE(state.doc.DocumentOpen);
}

TEST_F(ApplicationTest, SaveAsIntoAMissingFolderBringsTheDialogBack) {
    app.NewLibrary();
    dialogs.queuePath((dir / "gone" / "x.lib").string());
    dialogs.queuePath(std::nullopt);

    app.SaveLibraryAs();

    EXPECT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(editors.caption(), "New File, not Saved");
    EXPECT_TRUE(state.doc.IsUntitled);
    EXPECT_EQ(state.doc.CurrentFileName, "");
}

TEST_F(ApplicationTest, NothingToBeSavedWithoutALibrary) {
    app.SaveLibrary();
    expectOnlyQuestion("Nothing to be saved.", MsgButtons::OK, MsgIcon::None);
}

// ---- Close and exit --------------------------------------------------------------------

TEST_F(ApplicationTest, CloseAnsweredNoUnloadsTheEditorAndStoresTheUnitSystem) {
    const fs::path file = openSaved();
    window().unitsCombo.setListIndex(2);
    messages.queueAnswer(MsgResult::No);

    app.CloseLibrary();

    // A library nobody changed is still asked about.
    expectOnlyQuestion("Save changes to " + file.string() + " ?", MsgButtons::YesNoCancel,
                       MsgIcon::Question);
    EXPECT_FALSE(editors.window);
    EXPECT_FALSE(state.doc.DocumentOpen);
    EXPECT_EQ(state.doc.CurrentFileName, "");
    EXPECT_FALSE(toolbar.isButtonEnabled("save"));
    EXPECT_FALSE(toolbar.isButtonEnabled("deleteMaterial"));
    EXPECT_EQ(storedUnitBytes(), std::string("\x02\0\0\0", 4));
}

TEST_F(ApplicationTest, ClosingTheEditorAndCancellingKeepsEverything) {
    openSaved();
    const std::string before = storedUnitBytes();
    messages.queueAnswer(MsgResult::Cancel);

    EXPECT_FALSE(app.editorCloseRequested());

    EXPECT_TRUE(editors.window);
    EXPECT_TRUE(toolbar.isButtonEnabled("save"));
    EXPECT_TRUE(toolbar.isButtonEnabled("deleteMaterial"));
    EXPECT_EQ(storedUnitBytes(), before);
}

TEST_F(ApplicationTest, CloseAnsweredYesSavesFirst) {
    const fs::path file = openSaved();
    state.library.Material(1).CopyProperty("DENS", 1140);
    messages.queueAnswer(MsgResult::Yes);

    app.CloseLibrary();

    EXPECT_NE(ReadAll(file).find("DENS"), std::string::npos);
    EXPECT_FALSE(editors.window);
}

TEST_F(ApplicationTest, YesOnANewLibraryThenCancellingTheSaveDialogKeepsItOpen) {
    app.NewLibrary();
    messages.queueAnswer(MsgResult::Yes);
    dialogs.queuePath(std::nullopt);

    EXPECT_FALSE(app.editorCloseRequested());

    EXPECT_TRUE(editors.window);
    EXPECT_TRUE(state.doc.DocumentOpen);
}

TEST_F(ApplicationTest, ExitFromTheEditorEndsWithoutStoringTheUnitSystemUnlessCancelled) {
    app.NewLibrary();
    messages.queueAnswer(MsgResult::Cancel);
    app.ExitFromEditor();
    EXPECT_EQ(process.ended, 0);
    EXPECT_TRUE(editors.window);

    openSaved();
    const std::string before = storedUnitBytes();
    window().unitsCombo.setListIndex(1);
    messages.queueAnswer(MsgResult::No);
    app.ExitFromEditor();
    EXPECT_EQ(process.ended, 1);
    EXPECT_EQ(storedUnitBytes(), before);
}

TEST_F(ApplicationTest, ClosingTheMainWindowUnloadsTheEditorFirst) {
    openSaved();
    window().unitsCombo.setListIndex(1);
    messages.queueAnswer(MsgResult::No);

    EXPECT_TRUE(app.mainWindowCloseRequested());
    EXPECT_FALSE(editors.window);
    EXPECT_EQ(storedUnitBytes(), std::string("\x01\0\0\0", 4));
}

} // namespace
} // namespace mb

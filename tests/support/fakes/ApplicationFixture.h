#pragma once

// The real application over a fake editor window (the fixture itself) and fake services,
// for the lifecycle suites.

#include "FakeEditor.h"
#include "ShellFakes.h"
#include "TempDir.h"

#include "Application.h"
#include "HelpLauncher.h"
#include "MainWindow.h"
#include "Spreadsheet.h"

#include <gtest/gtest.h>

#include <map>

namespace mb {

// Two categories, the first material with Young's modulus 210 GPa, as the writer makes it.
inline const std::string kTwoMaterials =
    "MATTYPE:Steels\r\nMATL:S235         : S235                          :Structural steel\r\n"
    "EX        3046314E1  psi               2141404E0     Kgf/cm^2         21000E7    N/m^2        "
    "   \r\n"
    "ENDMATL\r\nENDTYPE\r\nMATTYPE:Polymers\r\nMATL:PA6          : PA6                           "
    ":Nylon\r\n"
    "ENDMATL\r\nENDTYPE\r\n";
inline const std::string kUntitled = "New File, not Saved";

// The real application over a fake editor window (the fixture itself) and fake services.
class ApplicationTest : public ::testing::Test,
                        public EditorWindowFactory,
                        public SpreadsheetReader {
protected:
    ApplicationTest() { main.MDIForm_Load(); }

    DocumentView& createEditor() override {
        editor = std::make_unique<fake::FakeEditor>(state);
        caption_.clear();
        ++created;
        return editor->form;
    }
    void destroyEditor() override { editor.reset(); }
    void showEditor() override { shown = true; }
    void setCaption(const std::string& c) override { caption_ = c; }
    std::string caption() const override { return caption_; }
    /// A first sheet scripted cell by cell.
    struct Sheet : Worksheet {
        std::map<std::pair<int, int>, CellValue> cells;
        CellValue cell(int row, int column) const override {
            const auto it = cells.find({row, column});
            return it == cells.end() ? CellValue::empty() : it->second;
        }
    };
    struct Book : Workbook {
        explicit Book(Sheet s) : sheet(std::move(s)) {}
        Result<std::unique_ptr<Worksheet>> firstSheet() override {
            return std::unique_ptr<Worksheet>(std::make_unique<Sheet>(sheet));
        }
        Sheet sheet;
    };
    /// The workbooks in `workbooks` open; every other one fails.
    Result<std::unique_ptr<Workbook>> open(const std::string& path) override {
        const auto it = workbooks.find(path);
        if (it != workbooks.end())
            return std::unique_ptr<Workbook>(std::make_unique<Book>(it->second));
        return Failure{path, "", "not a workbook"};
    }
    /// Column A labels and column B values from row 1: {"Name", "S355"}, {"EX", 2.1e11}...
    static Sheet SheetOf(const std::vector<std::pair<std::string, CellValue>>& rows) {
        Sheet sheet;
        int row = 1;
        for (const auto& [label, value] : rows) {
            sheet.cells[{row, 1}] = CellValue::ofText(label);
            sheet.cells[{row, 2}] = value;
            ++row;
        }
        return sheet;
    }

    fake::FakeEditor& window() { return *editor; }
    std::string storedUnitBytes() {
        return settings.get("Unit", "BinaryValue").value_or(SettingsValue{}).data;
    }
    std::string library(const std::string& name, const std::string& text) {
        test::WriteBytes(tmp.file(name), text);
        return tmp.file(name);
    }
    /// Opens the two-material library through the dialog, as a user would.
    std::string openSaved() {
        dialogs.queuePath(library("steels.lib", kTwoMaterials));
        app.OpenLibrary();
        return tmp.file("steels.lib");
    }
    /// Every question so far, as "text [buttons icon]".
    std::vector<std::string> asked() const {
        const char* buttons[] = {"OK", "OKCancel", "YesNo", "YesNoCancel", "RetryCancel"};
        const char* icons[] = {"", " Critical", " Question", " Exclamation"};
        std::vector<std::string> out;
        for (const auto& q : messages.questions)
            out.push_back(q.text + " [" + buttons[int(q.buttons)] + icons[int(q.icon)] + "]");
        return out;
    }

    test::TempDir tmp;
    std::map<std::string, Sheet> workbooks;
    AppState state;
    std::unique_ptr<fake::FakeEditor> editor;
    std::string caption_;
    bool shown = false;
    int created = 0;
    test::FakeToolbar toolbar;
    test::FakeStatusBar statusBar;
    test::FakeMenuCheck toolbarCheck{true}, statusbarCheck{true};
    test::FakeMenuBar menus;
    test::FakeTitle title;
    MainWindow main{toolbar, statusBar, toolbarCheck, statusbarCheck, menus, title};
    fake::FakeMessageBox messages;
    fake::FakeFileDialogs dialogs;
    fake::FakeLocale locale;
    fake::FakeSettingsBackend settings;
    fake::FakeRecoveryStore recoveryStore;
    fake::FakeDocumentLock lock;
    fake::FakeTimer recoveryTimer;
    test::FakeHelpViewer helpViewer;
    HelpLauncher help{helpViewer, "/opt/veltram/matbrowse"};
    test::FakeAboutBox about;
    test::FakeProcess process;
    fake::FakeBackgroundWork background;
    Application app{state, *this, main,
                    ApplicationServices{messages, dialogs, *this, locale, settings, help, about,
                                        process, recoveryStore, lock, recoveryTimer, nullptr,
                                        &background}};
};

using Texts = std::vector<std::string>;
/// The second material of the library the fixture saves.
inline const std::string kPA6 = "Polymers    PA6  0001";
// The document commands, driven through the application that owns them.
using DocumentLifecycleTest = ApplicationTest;

} // namespace mb

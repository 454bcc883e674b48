#pragma once

#include "Application.h"

#include <QDockWidget>
#include <QMdiSubWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QMdiSubWindow;
class QMenu;

namespace mb {
struct AppState;
class clsMaterial;
struct LibraryChange;
class MergeConflictList;
class FileDialogs;
class Locale;
class MessageBox;
class TreeEditing;
class BaseFormWindow;

namespace qt {

class FindingListModel;
class FindingListView;

class ComparisonWindow;
class LibraryComparisonWindow;
class MergeConflictsDock;
class EditorConflictView;
class MDIForm1;
class QtPopupMenu;

/// Makes the editor window as the one child of the main window and connects what the
/// editing commands need of it: the buttons, the three boxes, renaming and drag and drop
/// in the tree, and the "&Edit" pop-up. Beside the editor it keeps the comparison of
/// materials and the comparison with another library, which go with it.
class EditorWindows final : public EditorWindowFactory {
public:
    EditorWindows(AppState& state, MDIForm1& mainWindow, MessageBox& messages, Locale& locale,
                  FileDialogs& dialogs);
    ~EditorWindows() override;

    /// The application whose commands the editor's controls start.
    void setApplication(Application& application) { application_ = &application; }

    DocumentView& createEditor() override;
    void destroyEditor() override;
    void showEditor() override;
    void setCaption(const std::string& caption) override;
    std::string caption() const override;

    BaseFormWindow* window() const;
    QMdiSubWindow* subWindow() const { return subWindow_; }
    /// The dockable list of the library's findings, once "Check Library" has been chosen.
    QDockWidget* checkDock() const { return checkDock_; }
    /// Fills the list with every finding of the open library and shows it.
    void checkLibrary() override;

    /// The docked list of the conflicts a merge left beside the open library; null without
    /// an editor.
    MergeConflictsDock* conflictDock() const;
    MergeConflictList* conflicts() const { return conflicts_.get(); }
    void libraryOpened(const std::string& path) override;
    void librarySaved(const std::string& path) override;

    /// "Add to Comparison": the material selected in the tree joins the comparison.
    void addToComparison() override;
    /// Brings the comparison window up and gives it the keyboard, made empty if need be.
    void showComparison() override;
    /// "Compare with Library...": asks for a library and lists its differences.
    void compareWithLibrary() override;
    /// The windows, once opened; null before and after the editor's life.
    ComparisonWindow* comparisonWindow() const;
    LibraryComparisonWindow* libraryComparisonWindow() const;

private:
    /// Notes which material each number holds, as the list's lines have them.
    void keepCheckedRecords();
    /// The unit system the list's values are given in: the editor's.
    std::string checkListUnits() const;
    /// Brings the shown list up to date after `change`.
    void followInCheckList(const LibraryChange& change);
    void connectEditing(BaseFormWindow& window);

    AppState& state_;
    MDIForm1& mainWindow_;
    MessageBox& messages_;
    Locale& locale_;
    FileDialogs& dialogs_;
    Application* application_ = nullptr;
    QPointer<QMdiSubWindow> subWindow_;
    QPointer<QDockWidget> checkDock_;
    FindingListView* checkList_ = nullptr;      ///< in checkDock_
    FindingListModel* checkFindings_ = nullptr; ///< owned by the list in checkDock_
    /// The material of each number when the list's lines were last brought up to date.
    std::vector<const clsMaterial*> checkedRecords_;
    QPointer<ComparisonWindow> comparison_;
    QPointer<LibraryComparisonWindow> libraryComparison_;
    std::unique_ptr<QtPopupMenu> editPopup_;
    std::unique_ptr<TreeEditing> treeEditing_;
    QPointer<MergeConflictsDock> conflictDock_;
    std::unique_ptr<EditorConflictView> conflictView_;
    std::unique_ptr<MergeConflictList> conflicts_;
    int changeListener_ = 0;
};

} // namespace qt
} // namespace mb

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
class Locale;
class MessageBox;
class TreeEditing;
class BaseFormWindow;

namespace qt {

class MDIForm1;
class QtPopupMenu;

/// Makes the editor window as the one child of the main window and connects what the
/// editing commands need of it: the buttons, the three boxes, renaming and drag and drop
/// in the tree, and the "&Edit" pop-up.
class EditorWindows final : public EditorWindowFactory {
public:
    EditorWindows(AppState& state, MDIForm1& mainWindow, MessageBox& messages, Locale& locale);
    ~EditorWindows() override;

    /// The application whose commands the editor's controls start.
    void setApplication(Application& application) { application_ = &application; }

    BaseForm& createEditor() override;
    void destroyEditor() override;
    void showEditor() override;
    void setCaption(const std::string& caption) override;
    std::string caption() const override;

    BaseFormWindow* window() const;
    QMdiSubWindow* subWindow() const { return subWindow_; }
    /// The dockable list of the library's findings, once "Check Library" has been chosen.
    QDockWidget* checkDock() const { return checkDock_; }
    /// Fills the list with every finding of the open library and shows it.
    void checkLibrary();

private:
    void connectEditing(BaseFormWindow& window);
    void addCheckLibraryItem(QMenu& edit);

    AppState& state_;
    MDIForm1& mainWindow_;
    MessageBox& messages_;
    Locale& locale_;
    Application* application_ = nullptr;
    QPointer<QMdiSubWindow> subWindow_;
    QPointer<QDockWidget> checkDock_;
    std::unique_ptr<QtPopupMenu> editPopup_;
    std::unique_ptr<TreeEditing> treeEditing_;
};

} // namespace qt
} // namespace mb

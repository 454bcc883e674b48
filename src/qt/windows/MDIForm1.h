#pragma once

#include "CommandRouting.h"
#include "MainWindow.h"
#include "MainWindowViews.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class QToolBar;

namespace mb::qt {

class QtAboutBox;

/// The main window: a frame for the one editor window, with the toolbar, the status bar
/// and its animation, and the menus of the routing tables. What happens on a click is
/// decided by the shell's logic; this class only forwards.
class MDIForm1 : public QMainWindow {
public:
    explicit MDIForm1(QWidget* parent = nullptr);
    ~MDIForm1() override;

    /// The commands the menus and the toolbar start. Until they are set, only the
    /// window's own toggles answer.
    void setCommands(Commands& commands);
    CommandRouter* router() const { return router_.get(); }

    MainWindow& logic() { return *logic_; }
    QMdiArea* mdiArea() const { return mdiArea_; }
    AboutBox& aboutBox();
    ProcessControl& process();

    /// The editor's "&Edit" menu, for its pop-ups; null while the main window's menu shows.
    QMenu* editMenu() const;
    /// A menu item of the menu set on show, by its name; null when there is none.
    QAction* menuItem(const QString& name) const;

    /// Starts the command of the editor window's button of that name.
    void editorButtonClicked(const std::string& name);

    /// Asked when the user closes the main window; false keeps it open (the editor
    /// window goes first and the user may cancel its save question).
    std::function<bool()> closeRequested;

protected:
    void closeEvent(QCloseEvent* event) override;
    // A library or workbook dropped anywhere on the window opens as Open opens it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class Toolbar;
    class StatusBar;
    class Check;
    class Menus;
    class Title;

    void buildToolbar();
    void buildStatusBar();
    void showMenuSet(MenuSet set);
    void menuItemTriggered(MenuSet set, const QString& name);
    void fillRecentFiles(QMenu* menu);

    QMdiArea* mdiArea_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QLabel* picturePanel_ = nullptr;
    QTimer* timer_ = nullptr;
    std::vector<QPointer<QMenu>> menus_;

    std::unique_ptr<Toolbar> toolbarView_;
    std::unique_ptr<StatusBar> statusBarView_;
    std::unique_ptr<Check> toolbarCheck_;
    std::unique_ptr<Check> statusbarCheck_;
    std::unique_ptr<Menus> menuBarView_;
    std::unique_ptr<Title> titleView_;
    std::unique_ptr<MainWindow> logic_;
    std::unique_ptr<CommandRouter> router_;
    Commands* commands_ = nullptr;
    std::unique_ptr<QtAboutBox> about_;
    std::unique_ptr<ProcessControl> process_;
};

} // namespace mb::qt

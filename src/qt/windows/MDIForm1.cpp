#include "MDIForm1.h"

#include "AppImages.h"
#include "Commands.h"
#include "Controls.h"
#include "DocumentLifecycle.h"
#include "QtText.h"
#include "aboutForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWidgetAction>

namespace mb::qt {

namespace {

constexpr int kTimerIntervalMs = 500;
constexpr int kFrameSize = 20;
// The window opens a small step (13 px at 96 dpi) in from the screen's corner.
constexpr int kCornerOffset = 200 * 96 / 1440;

// A recent file that has gone: greyed out like a disabled item, yet a click still
// reaches the logic, which says so and forgets it. A disabled action would take no click.
class GoneFileLabel : public QLabel {
public:
    GoneFileLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
        setTextFormat(Qt::PlainText);
        setContentsMargins(24, 3, 24, 3);
        QPalette grey = palette();
        grey.setColor(QPalette::WindowText, grey.color(QPalette::Disabled, QPalette::WindowText));
        setPalette(grey);
    }
    std::function<void()> clicked;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (clicked) clicked();
    }
};

// The first local file of a drop that Open can read; empty when there is none.
std::string DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const std::string path = QFile::encodeName(url.toLocalFile()).toStdString();
        if (isDroppableFile(path)) return path;
    }
    return {};
}

// "&1 /data/steels.lib": an ampersand in a path is shown, not taken as a mnemonic.
QString RecentFileCaption(std::size_t index, const QString& path) {
    QString escaped = path;
    escaped.replace('&', "&&");
    return QString("&%1 %2").arg(index + 1).arg(escaped);
}

} // namespace

class MDIForm1::Toolbar : public QObject, public ToolbarView {
public:
    explicit Toolbar(QToolBar* bar) : bar_(bar) {}
    void setVisible(bool visible) override { bar_->setVisible(visible); }
    // Whether the user asked for it, not whether it is on screen: the window may be
    // minimised or not yet shown.
    bool isVisible() const override { return !bar_->isHidden(); }
    void setButtonEnabled(const std::string& key, bool enabled) override {
        QAction* a = button(key);
        if (!a || a->isEnabled() == enabled) return;
        sameShape(a, [&](auto* target) { target->setEnabled(enabled); });
    }
    bool isButtonEnabled(const std::string& key) const override {
        const QAction* a = button(key);
        return a && a->isEnabled();
    }
    void setButtonToolTip(const std::string& key, const std::string& tip) override {
        QAction* a = button(key);
        if (!a || a->toolTip() == toQ(tip)) return;
        sameShape(a, [&](auto* target) { target->setToolTip(toQ(tip)); });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        return event->type() == QEvent::ActionChanged;
    }

private:
    // A changed action has its button take all of the action over again, and the button
    // and the bar lay themselves out on Qt's next turn, and the window after them, which
    // draws the docks' separators again: with a dock open, an edit that made Undo
    // available was drawn a second time a frame later. Being made available or given a
    // new tip leaves a button's size as it was, so the button takes just that change.
    template <class Change> void sameShape(QAction* action, Change change) {
        QWidget* b = bar_->widgetForAction(action);
        bar_->installEventFilter(this);
        if (b) b->installEventFilter(this);
        change(action);
        bar_->removeEventFilter(this);
        if (b) {
            b->removeEventFilter(this);
            change(b);
        }
    }

    QAction* button(const std::string& key) const {
        for (QAction* a : bar_->actions())
            if (a->objectName() == toQ(key)) return a;
        return nullptr;
    }
    QToolBar* bar_;
};

class MDIForm1::StatusBar : public StatusBarView {
public:
    StatusBar(QStatusBar* bar, QLabel* panel) : bar_(bar), panel_(panel) {}
    void setVisible(bool visible) override { bar_->setVisible(visible); }
    bool isVisible() const override { return !bar_->isHidden(); }
    void setPicture(int frame) override {
        panel_->setPixmap(appPixmap(QString::number(frame), kFrameSize));
        panel_->setProperty("frame", frame);
    }

private:
    QStatusBar* bar_;
    QLabel* panel_;
};

// The check mark of a View item. The editor's menu is made afresh with each editor
// window, so the item is looked up when needed.
class MDIForm1::Check : public MenuCheck {
public:
    Check(MDIForm1& window, QString name) : window_(window), name_(std::move(name)) {}
    void setChecked(bool checked) override {
        if (QAction* a = window_.menuItem(name_)) a->setChecked(checked);
    }
    bool isChecked() const override {
        const QAction* a = window_.menuItem(name_);
        return a && a->isChecked();
    }

private:
    MDIForm1& window_;
    QString name_;
};

class MDIForm1::Menus : public MenuBarView {
public:
    explicit Menus(MDIForm1& window) : window_(window) {}
    void showMenuSet(MenuSet set) override { window_.showMenuSet(set); }
    void setItem(const std::string& name, const std::string& caption, bool enabled) override {
        if (QAction* a = window_.menuItem(toQ(name))) {
            a->setText(toQ(caption).replace(QLatin1Char('&'), QLatin1String("&&")));
            a->setEnabled(enabled);
        }
    }

private:
    MDIForm1& window_;
};

class MDIForm1::Title : public TitleView {
public:
    explicit Title(QMainWindow& window) : window_(window) {}
    void setTitle(const std::string& title) override { window_.setWindowTitle(toQ(title)); }

private:
    QMainWindow& window_;
};

namespace {

class QtProcessControl : public ProcessControl {
public:
    void endProcess() override {
        // Leave the event loop without closing any window, so no unload step runs.
        for (QWidget* w : QApplication::topLevelWidgets())
            w->hide();
        QCoreApplication::exit(0);
    }
};

} // namespace

MDIForm1::MDIForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("MDIForm1");
    setWindowIcon(appIcon("closedbook"));
    setAcceptDrops(true);

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("mdiArea");
    setCentralWidget(mdiArea_);

    buildToolbar();
    buildStatusBar();

    toolbarView_ = std::make_unique<Toolbar>(toolbar_);
    statusBarView_ = std::make_unique<StatusBar>(statusBar(), picturePanel_);
    toolbarCheck_ = std::make_unique<Check>(*this, "toolbarMenu");
    statusbarCheck_ = std::make_unique<Check>(*this, "StatusbarMenu");
    menuBarView_ = std::make_unique<Menus>(*this);
    titleView_ = std::make_unique<Title>(*this);
    logic_ = std::make_unique<MainWindow>(*toolbarView_, *statusBarView_, *toolbarCheck_,
                                          *statusbarCheck_, *menuBarView_, *titleView_);
    about_ = std::make_unique<QtAboutBox>(this);
    process_ = std::make_unique<QtProcessControl>();

    logic_->MDIForm_Load();

    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1280, 800);
    move(screen.topLeft() + QPoint(kCornerOffset, kCornerOffset));
    resize(QSize(1240, 720).boundedTo(screen.size() - QSize(2 * kCornerOffset, 2 * kCornerOffset)));

    timer_ = new QTimer(this);
    timer_->setObjectName("Timer1");
    timer_->setInterval(kTimerIntervalMs);
    connect(timer_, &QTimer::timeout, this, [this] { logic_->Timer1_Timer(); });
    timer_->start();
}

MDIForm1::~MDIForm1() = default;

void MDIForm1::buildToolbar() {
    toolbar_ = addToolBar("Toolbar");
    toolbar_->setObjectName("Toolbar1");
    toolbar_->setMovable(false);
    toolbar_->setIconSize(QSize(24, 24));
    // The bar shows and hides through the View menu only.
    toolbar_->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    for (const ToolbarRoute& route : toolbarTable()) {
        QAction* action = nullptr;
        if (route.action == Action::Separator) {
            action = toolbar_->addSeparator();
        } else {
            action = toolbar_->addAction(appIcon(toQ(route.image)), toQ(route.tooltip));
            action->setToolTip(toQ(route.tooltip));
        }
        action->setObjectName(toQ(route.key));
    }
    connect(toolbar_, &QToolBar::actionTriggered, this, [this](QAction* action) {
        if (router_) router_->Toolbar1_ButtonClick(action->objectName().toStdString());
    });
}

void MDIForm1::buildStatusBar() {
    statusBar()->setObjectName("StatusBar1");
    statusBar()->setSizeGripEnabled(true);
    picturePanel_ = new QLabel(statusBar());
    picturePanel_->setObjectName("Panel1");
    picturePanel_->setMinimumHeight(kFrameSize + 2);
    picturePanel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // One panel as wide as the window.
    statusBar()->addWidget(picturePanel_, 1);
}

void MDIForm1::setCommands(Commands& commands) {
    commands_ = &commands;
    router_ = std::make_unique<CommandRouter>(commands, *logic_);
}

void MDIForm1::fillRecentFiles(QMenu* menu) {
    menu->clear();
    if (!commands_) return;
    const std::vector<RecentFile> entries = commands_->recentFileList();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const QString path = QFile::decodeName(QByteArray::fromStdString(entries[i].path));
        const std::string file = entries[i].path;
        // The click is handled once the menu has closed: opening may ask questions.
        const auto open = [this, file] {
            QTimer::singleShot(0, this, [this, file] {
                if (commands_) commands_->openRecentFile(file);
            });
        };
        QAction* action = nullptr;
        if (entries[i].exists) {
            action = menu->addAction(RecentFileCaption(i, path));
            connect(action, &QAction::triggered, this, open);
        } else {
            auto* gone = new QWidgetAction(menu);
            auto* label = new GoneFileLabel(QString("%1 %2").arg(i + 1).arg(path), menu);
            label->clicked = [menu, open] {
                menu->close();
                open();
            };
            gone->setDefaultWidget(label);
            connect(gone, &QAction::triggered, this, open);
            menu->addAction(gone);
            action = gone;
        }
        action->setObjectName(QString("recentFile%1").arg(i + 1));
        action->setData(QByteArray::fromStdString(file));
        action->setToolTip(path);
    }
    menu->setEnabled(true);
    if (entries.empty()) menu->addAction("(none)")->setEnabled(false);
}

AboutBox& MDIForm1::aboutBox() {
    return *about_;
}

ProcessControl& MDIForm1::process() {
    return *process_;
}

void MDIForm1::showMenuSet(MenuSet set) {
    menuBar()->clear();
    // The swap can come from one of the old menu's own items (Close, New, Open): let the
    // old menus go once that click is over, and out of the window's children at once so
    // that only the set on show answers to its names.
    for (const QPointer<QMenu>& menu : menus_) {
        if (!menu) continue;
        menu->setParent(nullptr, menu->windowFlags());
        menu->deleteLater();
    }
    menus_.clear();

    for (const MenuRoute& route : menuTable(set)) {
        auto* menu = new QMenu(toQ(route.caption), this);
        menu->setObjectName(toQ(route.name));
        for (const MenuItemRoute& item : route.items) {
            QAction* action = nullptr;
            if (item.action == Action::Separator) {
                action = menu->addSeparator();
            } else if (item.action == Action::RecentFiles) {
                QMenu* recent = menu->addMenu(toQ(item.caption));
                recent->setObjectName(toQ(item.name));
                connect(recent, &QMenu::aboutToShow, this,
                        [this, recent] { fillRecentFiles(recent); });
                fillRecentFiles(recent);
                action = recent->menuAction();
            } else {
                action = menu->addAction(toQ(item.caption));
                QList<QKeySequence> keys;
                for (const std::string& key : {item.shortcut, item.otherShortcut})
                    if (!key.empty()) keys << QKeySequence(toQ(key));
                action->setShortcuts(keys);
                const QString name = toQ(item.name);
                connect(action, &QAction::triggered, this,
                        [this, set, name] { menuItemTriggered(set, name); });
            }
            action->setObjectName(toQ(item.name));
            if (item.checkedAtStart) {
                action->setCheckable(true);
                // The mark says whether the bar is up, also in an editor window
                // opened after the bar was hidden.
                const bool up = item.action == Action::ToggleStatusbar ? statusBarView_->isVisible()
                                                                       : toolbarView_->isVisible();
                action->setChecked(up);
            }
            if (item.helpContext) action->setProperty("helpContext", item.helpContext);
        }
        menuBar()->addMenu(menu);
        menus_.emplace_back(menu);
    }
}

void MDIForm1::menuItemTriggered(MenuSet set, const QString& name) {
    // A checkable item has flipped its own mark by now; the toggle sets it from the bar.
    if (router_) router_->menuItemClicked(set, name.toStdString());
}

QMenu* MDIForm1::editMenu() const {
    for (const QPointer<QMenu>& menu : menus_)
        if (menu && menu->objectName() == "edit") return menu;
    return nullptr;
}

QAction* MDIForm1::menuItem(const QString& name) const {
    for (const QPointer<QMenu>& menu : menus_)
        if (menu)
            for (QAction* a : menu->actions())
                if (a->objectName() == name) return a;
    return nullptr;
}

void MDIForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (commands_ && !DroppedFile(event->mimeData()).empty()) event->acceptProposedAction();
}

void MDIForm1::dropEvent(QDropEvent* event) {
    const std::string path = DroppedFile(event->mimeData());
    if (!commands_ || path.empty()) return;
    event->acceptProposedAction();
    // Opened once the drop is over: the save question must not run inside the drag.
    QTimer::singleShot(0, this, [this, path] {
        if (commands_) commands_->openDroppedFile(path);
    });
}

void MDIForm1::closeEvent(QCloseEvent* event) {
    if (closeRequested && !closeRequested()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MDIForm1::editorButtonClicked(const std::string& name) {
    if (router_) router_->buttonClicked(name);
}

} // namespace mb::qt

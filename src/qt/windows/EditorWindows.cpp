#include "EditorWindows.h"

#include "AppImages.h"
#include "AppState.h"
#include "BaseFormWindow.h"
#include "ComparisonWindow.h"
#include "LibraryComparisonWindow.h"
#include "MDIForm1.h"
#include "MergeConflictsDock.h"
#include "QtChart.h"

#include "AppState.h"
#include "EditingCommands.h"
#include "EditorView.h"
#include "FindingListModel.h"
#include "MaterialFeedback.h"
#include "MergeConflictList.h"
#include "QtControls.h"
#include "QtText.h"
#include "QtTree.h"
#include "TreeEditing.h"

#include <QAction>
#include <QCloseEvent>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>

#include <algorithm>
#include <unordered_map>

namespace mb::qt {

/// The "&Edit" menu of the main window's editor menu set, popped up at a screen point.
class QtPopupMenu final : public PopupMenu {
public:
    explicit QtPopupMenu(MDIForm1& mainWindow) : mainWindow_(mainWindow) {}
    void popup(int globalX, int globalY) override {
        if (QMenu* menu = mainWindow_.editMenu()) menu->popup(QPoint(globalX, globalY));
    }

private:
    MDIForm1& mainWindow_;
};

/// What the conflict list needs of the editor window: its unit system and its tree.
class EditorConflictView final : public ConflictEditor {
public:
    explicit EditorConflictView(BaseFormWindow& window) : window_(window) {}
    std::string UnitSystem() const override { return window_.form().UnitSystem(); }
    void showMaterial(int n) override { window_.feedback().showMaterial(n); }

private:
    BaseFormWindow& window_;
};

namespace {

unsigned ButtonFlags(Qt::MouseButtons buttons) {
    unsigned flags = NoButton;
    if (buttons & Qt::LeftButton) flags |= LeftButton;
    if (buttons & Qt::RightButton) flags |= RightButton;
    if (buttons & Qt::MiddleButton) flags |= MiddleButton;
    return flags;
}

int ShiftFlags(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= 1;
    if (modifiers & Qt::ControlModifier) shift |= 2;
    if (modifiers & Qt::AltModifier) shift |= 4;
    return shift;
}

// The MDI frame around the editor: closing it asks the application first, which may
// keep the window (the user cancelled at the save question).
class EditorSubWindow final : public QMdiSubWindow {
public:
    std::function<bool()> closeRequested;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (closeRequested && !closeRequested()) {
            event->ignore();
            return;
        }
        // The application has unloaded the editor (and deleted this frame later).
        event->ignore();
    }
};

// Presses on the editor's own background, not on one of its controls.
class BackgroundMouse final : public QObject {
public:
    BackgroundMouse(QWidget* background, TreeEditing& gestures)
        : QObject(background), gestures_(gestures) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress && watched == parent()) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint p = mouse->globalPosition().toPoint();
            gestures_.Form_MouseDown(ButtonFlags(mouse->button()), ShiftFlags(mouse->modifiers()),
                                     p.x(), p.y());
            // The window's frame has no use for a right click on the editor.
            return mouse->button() == Qt::RightButton;
        }
        return false;
    }

private:
    TreeEditing& gestures_;
};

} // namespace

EditorWindows::EditorWindows(AppState& state, MDIForm1& mainWindow, MessageBox& messages,
                             Locale& locale, FileDialogs& dialogs)
    : state_(state), mainWindow_(mainWindow), messages_(messages), locale_(locale),
      dialogs_(dialogs), editPopup_(std::make_unique<QtPopupMenu>(mainWindow)) {
    // The list of findings follows every edit, undo and redo, also while another dock
    // hides it: what it holds must be right whenever it comes to the front.
    changeListener_ = state_.history.addListener([this](const LibraryChange& change) {
        if (checkDock_) checkList_->changeInOne([&] { followInCheckList(change); });
    });
}

EditorWindows::~EditorWindows() {
    state_.history.removeListener(changeListener_);
}

BaseFormWindow* EditorWindows::window() const {
    return subWindow_ ? qobject_cast<BaseFormWindow*>(subWindow_->widget()) : nullptr;
}

DocumentView& EditorWindows::createEditor() {
    auto* frame = new EditorSubWindow;
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    auto* editor = new BaseFormWindow(state_, messages_, locale_);
    editor->setObjectName("BaseForm");
    editor->chart().useDialogs(dialogs_, messages_);
    frame->setWidget(editor);
    frame->setWindowIcon(appIcon("closedbook"));
    frame->closeRequested = [this] {
        return application_ == nullptr || application_->editorCloseRequested();
    };
    mainWindow_.mdiArea()->addSubWindow(frame);
    subWindow_ = frame;
    connectEditing(*editor);
    // Made with the editor and shown only for a library with conflicts beside it.
    conflictDock_ = new MergeConflictsDock(&mainWindow_);
    conflictDock_->hide();
    mainWindow_.addDockWidget(Qt::BottomDockWidgetArea, conflictDock_);
    conflictView_ = std::make_unique<EditorConflictView>(*editor);
    conflicts_ =
        std::make_unique<MergeConflictList>(state_, *conflictDock_, *conflictView_, messages_);
    MergeConflictList* list = conflicts_.get();
    conflictDock_->rowClicked = [list] { list->conflictList_Click(); };
    // A decision is an edit: what is still being typed is stored first, as for Undo.
    const auto decide = [this, list](void (MergeConflictList::*take)()) {
        return [this, list, take] {
            if (application_) application_->storePendingEdits();
            (list->*take)();
        };
    };
    conflictDock_->takeOurs = decide(&MergeConflictList::takeOurs);
    conflictDock_->takeTheirs = decide(&MergeConflictList::takeTheirs);
    conflictDock_->takeBase = decide(&MergeConflictList::takeBase);
    return editor->form();
}

MergeConflictsDock* EditorWindows::conflictDock() const {
    return conflictDock_;
}

void EditorWindows::libraryOpened(const std::string& path) {
    if (conflicts_) conflicts_->libraryOpened(path);
}

void EditorWindows::librarySaved(const std::string& path) {
    if (conflicts_) conflicts_->librarySaved(path);
}

void EditorWindows::checkLibrary() {
    BaseFormWindow* editor = window();
    if (!editor) return;
    // The checks of a large library and laying the window out again with the list in it
    // take a few milliseconds each: the checks start first and go on beside the layout.
    // Nothing before `take` changes the library.
    UnwordedFindingCheck findings(state_.library);
    if (!checkDock_) {
        checkDock_ = new QDockWidget(QStringLiteral("Check Library"), &mainWindow_);
        checkDock_->setObjectName(QStringLiteral("checkDock"));
        // Every line is one line of text: the list lays out none of them to know its size.
        auto* list = checkList_ = new FindingListView(checkDock_);
        list->setObjectName(QStringLiteral("findingList"));
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        checkFindings_ = new FindingListModel(
            *list->style(),
            [this](int n) { return materialFindingLines(state_.library, n, checkListUnits()); },
            list);
        list->setModel(checkFindings_);
        checkDock_->setWidget(list);
        mainWindow_.addDockWidget(Qt::BottomDockWidgetArea, checkDock_);
        const auto show = [this](const QModelIndex& index) {
            const int n = checkFindings_->materialAt(index.row());
            if (BaseFormWindow* w = window(); w && n >= 0) w->feedback().showMaterial(n);
        };
        QObject::connect(list, &QListView::clicked, checkDock_, show);
        // Enter on a finding shows its material as a click does.
        QObject::connect(list, &QListView::activated, checkDock_, show);
    }
    checkDock_->show();
    checkDock_->raise();
    // Thousands of findings, of which a dozen are on show: each is worded when first shown.
    checkFindings_->setLines(findings.take());
    keepCheckedRecords();
    // The keys go on in the list: the arrows walk the findings, Enter shows one.
    checkDock_->widget()->setFocus(Qt::OtherFocusReason);
}

std::string EditorWindows::checkListUnits() const {
    BaseFormWindow* editor = window();
    return editor ? editor->form().UnitSystem() : "SI";
}

void EditorWindows::keepCheckedRecords() {
    // Only the library's materials: the spare slot past the last may hold one just removed.
    const auto& records = state_.library.Materials();
    const auto count =
        std::min(records.size(), static_cast<std::size_t>(state_.library.materialCount()));
    checkedRecords_.clear();
    for (std::size_t n = 0; n < count; ++n)
        checkedRecords_.push_back(records[n].get());
}

void EditorWindows::followInCheckList(const LibraryChange& change) {
    // Only the lines of the materials the change touched are made again, so that an edit
    // costs one material's checks instead of the whole library's. Shifted numbers move
    // the other materials' lines with their materials, which a move or a removal leaves
    // as they were; a material the list has not seen yet is checked as a touched one.
    const std::vector<std::unique_ptr<clsMaterial>>& records = state_.library.Materials();
    std::vector<int> recheck = change.materials;
    if (change.numbersShifted) {
        std::unordered_map<const clsMaterial*, int> numberNow;
        const auto count =
            std::min(records.size(), static_cast<std::size_t>(state_.library.materialCount()));
        for (std::size_t n = 0; n < count; ++n)
            if (records[n]) numberNow.emplace(records[n].get(), static_cast<int>(n));
        std::vector<int> numbers(checkedRecords_.size(), -1);
        for (std::size_t old = 0; old < checkedRecords_.size(); ++old) {
            const auto found = numberNow.find(checkedRecords_[old]);
            if (found == numberNow.end()) continue;
            numbers[old] = found->second;
            numberNow.erase(found);
        }
        checkFindings_->renumber(numbers);
        for (const auto& [record, n] : numberNow)
            recheck.push_back(n);
    }
    for (const int n : recheck)
        checkFindings_->replaceMaterial(n,
                                        materialFindingLines(state_.library, n, checkListUnits()));
    keepCheckedRecords();
}

ComparisonWindow* EditorWindows::comparisonWindow() const {
    return comparison_;
}

LibraryComparisonWindow* EditorWindows::libraryComparisonWindow() const {
    return libraryComparison_;
}

void EditorWindows::addToComparison() {
    BaseFormWindow* editor = window();
    if (!editor) return;
    const int n = editor->form().CurrentMaterial();
    if (!state_.library.isValidNumber(n)) {
        messages_.show(kSelectMaterialToCompare, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (!comparison_)
        comparison_ =
            new ComparisonWindow(state_, editor->form(), messages_, dialogs_, &mainWindow_);
    comparison_->addMaterial(n);
}

void EditorWindows::showComparison() {
    BaseFormWindow* editor = window();
    if (!editor) return;
    if (!comparison_)
        comparison_ =
            new ComparisonWindow(state_, editor->form(), messages_, dialogs_, &mainWindow_);
    comparison_->show();
    comparison_->raise();
    comparison_->activateWindow();
    if (auto* table = comparison_->findChild<QWidget*>(QStringLiteral("comparisonTable")))
        table->setFocus(Qt::OtherFocusReason);
}

void EditorWindows::compareWithLibrary() {
    BaseFormWindow* editor = window();
    if (!editor) return;
    if (application_) application_->storePendingEdits();
    const auto path = dialogs_.openFile(kCompareDialogTitle, kCompareDialogFilter);
    if (!path) return;
    if (!libraryComparison_)
        libraryComparison_ =
            new LibraryComparisonWindow(state_, editor->form(), messages_, &mainWindow_);
    if (const std::string message = libraryComparison_->open(*path); !message.empty()) {
        messages_.show(message, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    libraryComparison_->show();
    libraryComparison_->raise();
}

void EditorWindows::connectEditing(BaseFormWindow& window) {
    treeEditing_ = window.makeTreeEditing(*editPopup_);
    TreeEditing* tree = treeEditing_.get();

    QtTree& treeView = window.TreeView1();
    treeView.setLabelEditing(true);
    treeView.labelEditHandler = [tree](const std::string&, const std::string& text) {
        tree->TreeView1_AfterLabelEdit(text);
    };
    QObject::connect(
        &treeView, &QtTree::mousePressed, &window,
        [tree](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint, QPoint global) {
            tree->TreeView1_MouseDown(ButtonFlags(button), ShiftFlags(modifiers), global.x(),
                                      global.y());
        });
    QObject::connect(&treeView, &QtTree::mouseMoved, &window,
                     [tree](Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint p) {
                         tree->TreeView1_MouseMove(ButtonFlags(buttons), ShiftFlags(modifiers),
                                                   p.x(), p.y());
                     });
    MDIForm1* main = &mainWindow_;
    // The keys start what the menu items start, with the same questions.
    const auto runItem = [main](const char* name) {
        if (QAction* action = main->menuItem(QString::fromLatin1(name))) action->trigger();
    };
    QObject::connect(&treeView, &QtTree::renameKeyPressed, &window,
                     [runItem] { runItem("renameMaterial"); });
    QObject::connect(&treeView, &QtTree::deleteKeyPressed, &window,
                     [runItem] { runItem("delete"); });
    QObject::connect(&treeView, &QtTree::menuKeyPressed, &window, [tree](QPoint global) {
        tree->TreeView1_MouseDown(RightButton, 0, global.x(), global.y());
    });
    QObject::connect(&treeView, &QtTree::dragOver, &window,
                     [tree](QPoint p) { tree->TreeView1_DragOver(p.x(), p.y()); });
    QObject::connect(&treeView, &QtTree::dropped, &window,
                     [tree](QPoint p) { tree->TreeView1_DragDrop(p.x(), p.y()); });

    QObject::connect(
        &window.valueframe(), &QtFrame::mousePressed, &window,
        [tree](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint global) {
            tree->valueframe_MouseDown(ButtonFlags(button), ShiftFlags(modifiers), global.x(),
                                       global.y());
        });
    window.installEventFilter(new BackgroundMouse(&window, *tree));
    // The findings name values in the system on show.
    QObject::connect(&window.unitsCombo(), &QtComboBox::clicked, &window, [this] {
        // Values are given in the system shown: a switch words every line again, the
        // findings themselves stay.
        if (checkDock_) checkFindings_->unword();
        if (comparison_ && comparison_->isVisible()) comparison_->refresh();
        if (conflicts_) conflicts_->refresh();
    });

    QObject::connect(&window.cmdNewMaterial(), &QPushButton::clicked, &window,
                     [main] { main->editorButtonClicked("cmdNewMaterial"); });
    QObject::connect(&window.reset(), &QPushButton::clicked, &window,
                     [main] { main->editorButtonClicked("reset"); });
    QObject::connect(&window.AddSet(), &QPushButton::clicked, &window,
                     [main] { main->editorButtonClicked("AddSet"); });

    auto editing = [this]() -> EditingCommands* {
        return application_ ? application_->editing() : nullptr;
    };
    QObject::connect(&window.materialNameText(), &QtTextBox::gotFocus, &window, [editing] {
        if (auto* e = editing()) e->materialNameText_GotFocus();
    });
    QObject::connect(&window.materialNameText(), &QtTextBox::lostFocus, &window, [editing] {
        if (auto* e = editing()) e->materialNameText_LostFocus();
    });
    QObject::connect(&window.materialTypeText(), &QtTextBox::gotFocus, &window, [editing] {
        if (auto* e = editing()) e->materialTypeText_GotFocus();
    });
    QObject::connect(&window.materialTypeText(), &QtTextBox::lostFocus, &window, [editing] {
        if (auto* e = editing()) e->materialTypeText_LostFocus();
    });
    QObject::connect(&window.materialNameText(), &QLineEdit::returnPressed, &window, [editing] {
        if (auto* e = editing()) e->materialNameText_Enter();
    });
    QObject::connect(&window.materialTypeText(), &QLineEdit::returnPressed, &window, [editing] {
        if (auto* e = editing()) e->materialTypeText_Enter();
    });
    QObject::connect(&window.descriptionText(), &QLineEdit::returnPressed, &window, [editing] {
        if (auto* e = editing()) e->descriptionText_Enter();
    });
    // Through the application, which keeps what is typed there for a command that starts
    // while the box still has the focus.
    QObject::connect(&window.descriptionText(), &QtTextBox::gotFocus, &window, [this] {
        if (application_) application_->descriptionText_GotFocus();
    });
    QObject::connect(&window.descriptionText(), &QtTextBox::lostFocus, &window, [this] {
        if (application_) application_->descriptionText_LostFocus();
    });
}

void EditorWindows::destroyEditor() {
    // Both windows show the open library through the editor: they go with it.
    delete comparison_;
    delete libraryComparison_;
    treeEditing_.reset();
    // The conflicts are those of the library that is going.
    conflicts_.reset();
    conflictView_.reset();
    if (conflictDock_) {
        mainWindow_.removeDockWidget(conflictDock_);
        conflictDock_->deleteLater();
        conflictDock_ = nullptr;
    }
    // Its findings name materials of the library that is going.
    if (checkDock_) {
        mainWindow_.removeDockWidget(checkDock_);
        checkDock_->deleteLater();
        checkDock_ = nullptr;
    }
    if (subWindow_) {
        QMdiSubWindow* frame = subWindow_;
        subWindow_ = nullptr;
        frame->hide();
        mainWindow_.mdiArea()->removeSubWindow(frame);
        // The unload can come from one of the editor's own controls: delete it once that
        // event is over.
        frame->deleteLater();
    }
}

void EditorWindows::showEditor() {
    if (subWindow_) subWindow_->showMaximized();
}

void EditorWindows::setCaption(const std::string& caption) {
    if (!subWindow_) return;
    subWindow_->setWindowTitle(toQ(caption));
}

std::string EditorWindows::caption() const {
    if (!subWindow_) return {};
    return fromQ(subWindow_->windowTitle());
}

} // namespace mb::qt

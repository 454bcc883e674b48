#include "BaseFormWindow.h"

#include "BaseForm.h"
#include "MaterialFeedback.h"
#include "QtChart.h"
#include "QtControls.h"
#include "QtGrid.h"
#include "QtServices.h"
#include "QtText.h"
#include "QtTree.h"
#include "TreeEditing.h"
#include "TreeFilter.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

namespace mb {

BaseFormWindow::BaseFormWindow(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
    ownMessageBox_ = std::make_unique<qt::QtMessageBox>(this);
    ownLocale_ = std::make_unique<qt::QtLocale>();
    buildLayout();
    makeForm(*ownMessageBox_, *ownLocale_);
}

BaseFormWindow::BaseFormWindow(AppState& state, MessageBox& messageBox, Locale& locale,
                               QWidget* parent)
    : QWidget(parent), state_(state) {
    buildLayout();
    makeForm(messageBox, locale);
}

void BaseFormWindow::makeForm(MessageBox& messageBox, Locale& locale) {
    messages_ = &messageBox;
    filter_ =
        std::make_unique<TreeFilter>(*TreeView1_, state_, *unitsCombo_, *findBox_, *findStatus_);
    BaseFormControls controls{*filter_,          *VSFlexGrid1_,      *unitsCombo_,
                              *typeCombo_,       *materialTypeText_, *materialNameText_,
                              *descriptionText_, *cmdNewMaterial_,   *reset_,
                              *AddSet_,          *valueframe_,       {}};
    for (std::size_t i = 0; i < unitStringsLabel_.size(); ++i)
        controls.unitStringsLabel[i] = unitStringsLabel_[i];
    form_ = std::make_unique<BaseForm>(state_, controls, BaseFormServices{messageBox, locale});
    feedback_ = std::make_unique<MaterialFeedback>(*form_, *checkSummary_, *chart_);
    filter_->attach(*form_);
    connectHandlers();
    qApp->installEventFilter(this);
}

DocumentView& BaseFormWindow::form() {
    return *form_;
}

std::unique_ptr<TreeEditing> BaseFormWindow::makeTreeEditing(PopupMenu& editMenu) {
    return std::make_unique<TreeEditing>(state_, *form_, *messages_, editMenu);
}

BaseFormWindow::~BaseFormWindow() {
    qApp->removeEventFilter(this);
    // The widgets go before the form that their signals reach.
    const auto children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    qDeleteAll(children);
}

void BaseFormWindow::buildLayout() {
    setObjectName(QStringLiteral("BaseForm"));
    setWindowIcon(qt::QtTree::treeIcon(QStringLiteral("closedbook")));

    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("splitter"));
    splitter_->setChildrenCollapsible(false);
    outer->addWidget(splitter_);

    // The find box and what it found, above the tree.
    auto* left = new QWidget(splitter_);
    left->setObjectName(QStringLiteral("treePanel"));
    auto* leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    auto* findRow = new QHBoxLayout;
    // Made before the box above it: a form that opens hands the focus to the first widget
    // made that can take it, and browsing with the keys starts in the tree.
    TreeView1_ = new qt::QtTree(left);
    findBox_ = new qt::QtTextBox(left);
    findBox_->setObjectName(QStringLiteral("findBox"));
    findBox_->setPlaceholderText(QStringLiteral("Find (Ctrl+F): words, EX>15E6, DENS..."));
    findBox_->setClearButtonEnabled(true);
    // Given the focus by a click or Ctrl+F only, never by Tab: there it takes Ctrl+C and
    // Ctrl+V meant for the material.
    findBox_->setFocusPolicy(Qt::ClickFocus);
    findBox_->setToolTip(QStringLiteral(
        "Words are looked for in the name, category, name code and description;\n"
        "\"two words\" is a phrase; EX>200E9, NUXY<=0.3, DENS=7850 compare values in the\n"
        "unit system shown, and a code alone asks for a value.\n"
        "Enter selects the next match, Esc shows the whole tree again."));
    findStatus_ = new qt::QtLabel(left);
    findStatus_->setObjectName(QStringLiteral("findStatus"));
    // Under the box, wrapped: beside it a long refusal squeezed the box to nothing.
    findStatus_->setWordWrap(true);
    findStatus_->hide(); // until there is something to say
    findRow->addWidget(findBox_, 1);
    leftColumn->addLayout(findRow);
    leftColumn->addWidget(findStatus_);

    TreeView1_->setObjectName(QStringLiteral("TreeView1"));
    TreeView1_->setMinimumWidth(160);
    TreeView1_->loadImages();
    leftColumn->addWidget(TreeView1_, 1);

    auto* right = new QWidget(splitter_);
    right->setObjectName(QStringLiteral("rightPanel"));
    auto* column = new QVBoxLayout(right);
    column->setContentsMargins(6, 0, 0, 0);

    auto* boxes = new QGridLayout;
    const auto addBox = [&](int row, const char* caption, const char* name, qt::QtTextBox*& box) {
        auto* label = new QLabel(QString::fromLatin1(caption), right);
        label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
        box = new qt::QtTextBox(right);
        box->setObjectName(QString::fromLatin1(name));
        label->setBuddy(box);
        boxes->addWidget(label, row, 0);
        boxes->addWidget(box, row, 1);
    };
    addBox(0, "Category     :", "materialTypeText", materialTypeText_);
    addBox(1, "Name :", "materialNameText", materialNameText_);
    addBox(2, "Description :", "descriptionText", descriptionText_);
    boxes->setColumnStretch(1, 1);
    // The buttons act on what the boxes hold: beside them, where the eye is while typing.
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(boxes->verticalSpacing());
    cmdNewMaterial_ = new qt::QtButton(QStringLiteral("&Add New Material"), right);
    cmdNewMaterial_->setObjectName(QStringLiteral("cmdNewMaterial"));
    reset_ = new qt::QtButton(QStringLiteral("&Reset"), right);
    reset_->setObjectName(QStringLiteral("reset"));
    AddSet_ = new qt::QtButton(QStringLiteral("&Clear"), right);
    AddSet_->setObjectName(QStringLiteral("AddSet"));
    // One width for all three, so the boxes keep theirs when one button takes over.
    int buttonWidth = 0;
    for (qt::QtButton* button : {cmdNewMaterial_, reset_, AddSet_})
        buttonWidth = std::max(buttonWidth, button->sizeHint().width());
    for (qt::QtButton* button : {cmdNewMaterial_, reset_, AddSet_}) {
        button->setMinimumWidth(buttonWidth);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    boxes->addLayout(buttons, 0, 2, 3, 1);
    column->addLayout(boxes);

    auto* selectors = new QHBoxLayout;
    unitsCombo_ = new qt::QtComboBox(right);
    unitsCombo_->setObjectName(QStringLiteral("unitsCombo"));
    unitsCombo_->setToolTip(QStringLiteral("Unit system"));
    typeCombo_ = new qt::QtComboBox(right);
    typeCombo_->setObjectName(QStringLiteral("typeCombo"));
    typeCombo_->setToolTip(QStringLiteral("Material type"));
    selectors->addWidget(unitsCombo_);
    selectors->addWidget(typeCombo_, 1);
    column->addLayout(selectors);

    valueframe_ = new qt::QtFrame(right);
    valueframe_->setObjectName(QStringLiteral("valueframe"));
    valueframe_->setFrameShape(QFrame::NoFrame);
    auto* frameLayout = new QVBoxLayout(valueframe_);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    // The grid with the line that sums up its checks, and the chart beside them.
    auto* gridAndChart = new QSplitter(Qt::Horizontal, valueframe_);
    gridAndChart->setObjectName(QStringLiteral("gridAndChart"));
    gridAndChart->setChildrenCollapsible(false);
    auto* gridColumn = new QWidget(gridAndChart);
    auto* gridLayout = new QVBoxLayout(gridColumn);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    VSFlexGrid1_ = new qt::QtGrid(gridColumn);
    VSFlexGrid1_->setObjectName(QStringLiteral("VSFlexGrid1"));
    gridLayout->addWidget(VSFlexGrid1_, 1);
    checkSummary_ = new qt::QtLabel(gridColumn);
    checkSummary_->setObjectName(QStringLiteral("checkSummary"));
    gridLayout->addWidget(checkSummary_);
    chart_ = new qt::QtChart(gridAndChart);
    chart_->setObjectName(QStringLiteral("chart"));
    chart_->setMinimumWidth(260);
    // The grid's four columns fit in about 470 pixels; the chart takes the rest.
    gridAndChart->setStretchFactor(0, 1);
    gridAndChart->setStretchFactor(1, 1);
    gridAndChart->setSizes({470, 400});
    frameLayout->addWidget(gridAndChart, 1);
    // While a new material is typed there is no grid to show, nor a curve: the note says
    // what to do instead of an empty pane.
    newMaterialNote_ = new QLabel(
        QStringLiteral("A new material: type its category, name and description above, then "
                       "press Enter or \"Add New Material\"."),
        valueframe_);
    newMaterialNote_->setObjectName(QStringLiteral("newMaterialNote"));
    newMaterialNote_->setWordWrap(true);
    newMaterialNote_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    newMaterialNote_->setContentsMargins(4, 8, 4, 4);
    newMaterialNote_->hide();
    frameLayout->addWidget(newMaterialNote_, 1);
    gridAndChart_ = gridAndChart;
    VSFlexGrid1_->installEventFilter(this);
    column->addWidget(valueframe_, 1);

    // The unit texts the grid copies at every rebuild; never shown.
    for (std::size_t i = 0; i < unitStringsLabel_.size(); ++i) {
        auto* label = new qt::QtLabel(right);
        label->setObjectName(QStringLiteral("unitStringsLabel%1").arg(i + 1));
        label->hide();
        unitStringsLabel_[i] = label;
    }

    // Tab goes from the tree to the shown material's values, then to the rest of it, and
    // last to the category and name boxes: entering those starts a new material and hides
    // the grid, so they must not stand between the tree and the grid. While a new material
    // is typed the description box moves after the name box (see eventFilter). The grid
    // takes Tab down its Value column and passes it on at its ends. The find box is left
    // out on purpose (Ctrl+F reaches it).
    QWidget* const order[] = {TreeView1_,
                              VSFlexGrid1_,
                              chart_->findChild<QPushButton*>("saveChart"),
                              unitsCombo_,
                              typeCombo_,
                              descriptionText_,
                              reset_,
                              AddSet_,
                              materialTypeText_,
                              materialNameText_,
                              cmdNewMaterial_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        if (order[i]) setTabOrder(order[i - 1], order[i]);
    cmdNewMaterial_->installEventFilter(this);

    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    // Wide enough for the longest name a library holds (28 characters) under its category.
    splitter_->setSizes({290, 870});
    resize(1160, 600);
}

void BaseFormWindow::connectHandlers() {
    BaseForm* form = form_.get();
    const auto key = [](const QString& k) { return qt::fromQ(k); };

    connect(TreeView1_, &qt::QtTree::nodeClicked, this,
            [form, key](const QString& k) { form->TreeView1_NodeClick(key(k)); });
    connect(TreeView1_, &qt::QtTree::nodeExpanded, this,
            [form, key](const QString& k) { form->TreeView1_Expand(key(k)); });
    connect(TreeView1_, &qt::QtTree::nodeCollapsed, this,
            [form, key](const QString& k) { form->TreeView1_Collapse(key(k)); });

    connect(VSFlexGrid1_, &qt::QtGrid::clicked, this, [form] { form->VSFlexGrid1_Click(); });
    connect(VSFlexGrid1_, &qt::QtGrid::leaveCell, this, [form] { form->VSFlexGrid1_LeaveCell(); });
    connect(VSFlexGrid1_, &qt::QtGrid::lostFocus, this, [form] { form->VSFlexGrid1_LostFocus(); });
    MaterialFeedback* feedback = feedback_.get();
    connect(VSFlexGrid1_, &qt::QtGrid::cellEdited, this,
            [feedback] { feedback->VSFlexGrid1_Change(); });
    connect(VSFlexGrid1_, &qt::QtGrid::editCancelled, this, [feedback] { feedback->refresh(); });

    TreeFilter* filter = filter_.get();
    connect(unitsCombo_, &qt::QtComboBox::clicked, this, [form, filter] {
        form->unitsCombo_Click();
        filter->unitsCombo_Click();
    });
    connect(unitsCombo_, &qt::QtComboBox::gotFocus, this, [form] { form->unitsCombo_GotFocus(); });
    connect(typeCombo_, &qt::QtComboBox::clicked, this, [form] { form->typeCombo_Click(); });

    connect(findBox_, &QLineEdit::textChanged, this, [filter] { filter->findBox_Change(); });
    connect(findBox_, &QLineEdit::returnPressed, this, [filter] { filter->findBox_Enter(); });
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        findBox_->setFocus();
        findBox_->selectAll();
    });
}

qt::QtTextBox* BaseFormWindow::textBox(QObject* object) const {
    for (qt::QtTextBox* box : {materialTypeText_, materialNameText_, descriptionText_})
        if (object == box) return box;
    return nullptr;
}

bool BaseFormWindow::focusKeptFrom(QWidget* pressed) const {
    // The widget the press hands the focus to, as the application chooses it: the first
    // one from the pressed widget outwards that takes the focus by a click.
    const auto takesFocus = [](const QWidget* w) {
        return w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus;
    };
    QWidget* taker = pressed;
    while (taker && !takesFocus(taker))
        taker = taker->isWindow() ? nullptr : taker->parentWidget();
    if (!taker) return false;
    while (taker->focusProxy())
        taker = taker->focusProxy();
    QWidget* focus = window()->focusWidget();
    return focus != taker && focus == keptBy_;
}

bool BaseFormWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        // The logic shows and hides the grid; the chart beside it goes and comes with it.
        if (watched == VSFlexGrid1_) {
            const bool shown = event->type() == QEvent::ShowToParent;
            gridAndChart_->setVisible(shown);
            newMaterialNote_->setVisible(!shown);
        }
        // A new material's description is typed after its name; the shown material's is
        // reached before the boxes that start a new one.
        if (watched == cmdNewMaterial_) {
            if (event->type() == QEvent::ShowToParent) {
                setTabOrder(materialNameText_, descriptionText_);
                setTabOrder(descriptionText_, cmdNewMaterial_);
            } else {
                setTabOrder(typeCombo_, descriptionText_);
                setTabOrder(descriptionText_, reset_);
            }
        }
        break;
    case QEvent::ShortcutOverride: {
        // A box or cell editor takes Ctrl+Z and Ctrl+Shift+Z for its own typing; with
        // nothing of its own to take back they go to the library's Undo and Redo.
        auto* line = qobject_cast<QLineEdit*>(watched);
        if (!line || !isAncestorOf(line)) break;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool undo = key->matches(QKeySequence::Undo);
        const bool redo = key->matches(QKeySequence::Redo);
        if ((undo && !line->isUndoAvailable()) || (redo && !line->isRedoAvailable())) {
            event->ignore();
            return true;
        }
        break;
    }
    case QEvent::KeyPress:
        if (watched == findBox_ && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            filter_->findBox_Escape();
            return true;
        }
        // Some desktops bind Ctrl+D to deleting a character, which the box then takes
        // before the menu's shortcut: in the find box too it adds the match selected with
        // Enter to the comparison.
        if (watched == findBox_ && static_cast<QKeyEvent*>(event)->keyCombination() ==
                                       QKeyCombination(Qt::ControlModifier, Qt::Key_D)) {
            if (auto* add = window()->findChild<QAction*>(QStringLiteral("addToComparison")))
                add->trigger();
            return true;
        }
        break;
    case QEvent::FocusIn:
        // A click puts the cursor where it lands after the box has selected its text on
        // gaining the focus; the selection is made again once the click is over.
        if (qt::QtTextBox* box = textBox(watched);
            box && static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
            selectOnRelease_ = box;
        break;
    case QEvent::FocusOut:
        if (qt::QtTextBox* box = textBox(watched)) {
            if (box == selectOnRelease_) selectOnRelease_ = nullptr;
            // Another window or a menu takes the focus for a while; it is not moving.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) break;
            // Delivered here, to see whether the box takes the focus back while it loses
            // it (its text is too long): a press that was taking it must then do nothing.
            // While its message is up the window is not active, so the focus comes back
            // as the window's focus widget, not yet as an event.
            static_cast<QObject*>(box)->event(event);
            keptBy_ = window()->focusWidget() == box ? box : nullptr;
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !event->spontaneous() || !isAncestorOf(widget)) break;
        // In a window that is not active yet the box gains the focus only once the window
        // is activated, after the click.
        if (qt::QtTextBox* box = textBox(watched); box && !box->hasFocus()) selectOnRelease_ = box;
        // The box that lost the focus to this press took it back after its message: the
        // press must not go on to select a node, start a drag or press a button.
        mouseRefused_ = focusKeptFrom(widget);
        keptBy_ = nullptr;
        if (mouseRefused_) return true;
        break;
    }
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !isAncestorOf(widget)) break;
        if (mouseRefused_) {
            if (event->type() == QEvent::MouseButtonRelease) {
                mouseRefused_ = false;
                return true;
            }
            // The release may have gone to the message box: a move with no button held
            // says the refused press is over.
            if (static_cast<QMouseEvent*>(event)->buttons() != Qt::NoButton) return true;
            mouseRefused_ = false;
        }
        if (event->type() == QEvent::MouseButtonRelease && watched == selectOnRelease_) {
            selectOnRelease_ = nullptr;
            // A text the user marked by dragging is left as marked.
            if (!static_cast<QLineEdit*>(widget)->hasSelectedText())
                static_cast<QLineEdit*>(widget)->selectAll();
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace mb

#include "app/BaseFormWindow.h"

#include "platform/qt/QtControls.h"
#include "platform/qt/QtGrid.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtTree.h"
#include "views/BaseForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>

namespace mb {

BaseFormWindow::BaseFormWindow(AppState& state, QWidget* parent) : QWidget(parent) {
    ownMessageBox_ = std::make_unique<qt::QtMessageBox>(this);
    ownLocale_ = std::make_unique<qt::QtLocale>();
    buildLayout();
    BaseFormControls controls{*TreeView1_,        *VSFlexGrid1_,      *unitsCombo_,
                              *typeCombo_,        *materialTypeText_, *materialNameText_,
                              *descriptionText_,  *cmdNewMaterial_,   *reset_,
                              *AddSet_,           *valueframe_,       {}};
    for (std::size_t i = 0; i < unitStringsLabel_.size(); ++i)
        controls.unitStringsLabel[i] = unitStringsLabel_[i];
    form_ = std::make_unique<BaseForm>(state, controls,
                                       BaseFormServices{*ownMessageBox_, *ownLocale_});
    connectHandlers();
}

BaseFormWindow::BaseFormWindow(AppState& state, MessageBox& messageBox, Locale& locale,
                               QWidget* parent)
    : QWidget(parent) {
    buildLayout();
    BaseFormControls controls{*TreeView1_,        *VSFlexGrid1_,      *unitsCombo_,
                              *typeCombo_,        *materialTypeText_, *materialNameText_,
                              *descriptionText_,  *cmdNewMaterial_,   *reset_,
                              *AddSet_,           *valueframe_,       {}};
    for (std::size_t i = 0; i < unitStringsLabel_.size(); ++i)
        controls.unitStringsLabel[i] = unitStringsLabel_[i];
    form_ = std::make_unique<BaseForm>(state, controls, BaseFormServices{messageBox, locale});
    connectHandlers();
}

BaseFormWindow::~BaseFormWindow() {
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

    TreeView1_ = new qt::QtTree(splitter_);
    TreeView1_->setObjectName(QStringLiteral("TreeView1"));
    TreeView1_->setMinimumWidth(160);
    TreeView1_->loadImages();

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
    VSFlexGrid1_ = new qt::QtGrid(valueframe_);
    VSFlexGrid1_->setObjectName(QStringLiteral("VSFlexGrid1"));
    frameLayout->addWidget(VSFlexGrid1_);
    column->addWidget(valueframe_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdNewMaterial_ = new qt::QtButton(QStringLiteral("&Add New Material"), right);
    cmdNewMaterial_->setObjectName(QStringLiteral("cmdNewMaterial"));
    reset_ = new qt::QtButton(QStringLiteral("&Reset"), right);
    reset_->setObjectName(QStringLiteral("reset"));
    AddSet_ = new qt::QtButton(QStringLiteral("&Clear"), right);
    AddSet_->setObjectName(QStringLiteral("AddSet"));
    buttons->addWidget(cmdNewMaterial_);
    buttons->addWidget(reset_);
    buttons->addWidget(AddSet_);
    column->addLayout(buttons);

    // The unit texts the grid copies at every rebuild; never shown.
    for (std::size_t i = 0; i < unitStringsLabel_.size(); ++i) {
        auto* label = new qt::QtLabel(right);
        label->setObjectName(QStringLiteral("unitStringsLabel%1").arg(i + 1));
        label->hide();
        unitStringsLabel_[i] = label;
    }

    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    // Wide enough for the longest name a library holds (28 characters) under its category.
    splitter_->setSizes({290, 530});
    resize(820, 560);
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

    connect(unitsCombo_, &qt::QtComboBox::clicked, this, [form] { form->unitsCombo_Click(); });
    connect(unitsCombo_, &qt::QtComboBox::gotFocus, this, [form] { form->unitsCombo_GotFocus(); });
    connect(typeCombo_, &qt::QtComboBox::clicked, this, [form] { form->typeCombo_Click(); });
}

} // namespace mb


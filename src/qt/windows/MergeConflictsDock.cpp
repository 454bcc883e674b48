#include "MergeConflictsDock.h"

#include "QtText.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace mb::qt {

MergeConflictsDock::MergeConflictsDock(QWidget* parent)
    : QDockWidget(QStringLiteral("Merge Conflicts"), parent), table_(new QTableWidget),
      ours_(new QPushButton(QStringLiteral("Take &Ours"))),
      theirs_(new QPushButton(QStringLiteral("Take &Theirs"))),
      base_(new QPushButton(QStringLiteral("Take &Base"))), status_(new QLabel) {
    setObjectName(QStringLiteral("conflictDock"));
    table_->setObjectName(QStringLiteral("conflictTable"));
    ours_->setObjectName(QStringLiteral("takeOurs"));
    theirs_->setObjectName(QStringLiteral("takeTheirs"));
    base_->setObjectName(QStringLiteral("takeBase"));
    status_->setObjectName(QStringLiteral("conflictStatus"));
    table_->setColumnCount(5);
    table_->setHorizontalHeaderLabels({QStringLiteral("Material"), QStringLiteral("Property"),
                                       QStringLiteral("Base"), QStringLiteral("Ours"),
                                       QStringLiteral("Theirs")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    // One line of text a row, as the finding list has: more conflicts in view.
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {ours_, theirs_, base_})
        buttons->addWidget(b);
    buttons->addWidget(status_, 1);
    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(table_);
    layout->addLayout(buttons);
    setWidget(body);

    const auto call = [](const std::function<void()>& f) {
        if (f) f();
    };
    connect(table_, &QTableWidget::itemSelectionChanged, this, [this, call] {
        if (!filling_) call(rowClicked);
    });
    connect(ours_, &QPushButton::clicked, this, [this, call] { call(takeOurs); });
    connect(theirs_, &QPushButton::clicked, this, [this, call] { call(takeTheirs); });
    connect(base_, &QPushButton::clicked, this, [this, call] { call(takeBase); });
}

void MergeConflictsDock::setRows(const std::vector<ConflictRow>& rows) {
    filling_ = true;
    table_->clearContents();
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const ConflictRow& row = rows[static_cast<std::size_t>(r)];
        int c = 0;
        for (const std::string* text :
             {&row.material, &row.property, &row.base, &row.ours, &row.theirs})
            table_->setItem(r, c++, new QTableWidgetItem(toQ(*text)));
    }
    table_->resizeColumnsToContents();
    filling_ = false;
}

int MergeConflictsDock::selectedRow() const {
    const QList<QTableWidgetItem*> items = table_->selectedItems();
    return items.isEmpty() ? -1 : items.front()->row();
}

void MergeConflictsDock::selectRow(int row) {
    filling_ = true;
    if (row < 0)
        table_->clearSelection();
    else
        table_->selectRow(row);
    filling_ = false;
}

void MergeConflictsDock::setTakeEnabled(bool ours, bool theirs, bool base) {
    ours_->setEnabled(ours);
    theirs_->setEnabled(theirs);
    base_->setEnabled(base);
}

void MergeConflictsDock::setStatus(const std::string& text) {
    status_->setText(toQ(text));
}

void MergeConflictsDock::setShown(bool shown) {
    setVisible(shown);
    if (shown) raise();
}

} // namespace mb::qt

#include "ComparisonWindow.h"

#include "AppState.h"
#include "Controls.h"
#include "EditorView.h"
#include "KeptTextDelegate.h"
#include "QtText.h"
#include "UnitConversion.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace mb::qt {

namespace {

constexpr int kFirstMaterialColumn = 2;

} // namespace

ComparisonWindow::ComparisonWindow(AppState& state, EditorView& form, MessageBox& messages,
                                   FileDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), form_(form), messages_(messages),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("ComparisonWindow"));
    setWindowTitle(QStringLiteral("Comparison"));
    // Materials are added one after another from the editor: it keeps the keyboard.
    setAttribute(Qt::WA_ShowWithoutActivating);

    auto* column = new QVBoxLayout(this);
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("comparisonCaption"));
    column->addWidget(caption_);

    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("comparisonTable"));
    // Every value edit and added column repaints the whole table: texts are laid out once.
    table_->setItemDelegate(new KeptTextDelegate(table_));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectColumns);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    column->addWidget(table_, 1);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* caption, const char* name) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(b);
        return b;
    };
    remove_ = button("&Remove", "removeMaterial");
    left_ = button("Move &Left", "moveLeft");
    right_ = button("Move R&ight", "moveRight");
    buttons->addStretch(1);
    QPushButton* copyButton = button("&Copy", "copyTable");
    QPushButton* exportButton = button("&Export CSV...", "exportCsv");
    column->addLayout(buttons);

    connect(remove_, &QPushButton::clicked, this, [this] { removeSelected(); });
    connect(left_, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(right_, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(copyButton, &QPushButton::clicked, this, [this] { copy(); });
    connect(exportButton, &QPushButton::clicked, this, [this] { exportCsv(); });
    resize(760, 480);
    changeListener_ = state_.history.addListener([this](const LibraryChange& change) {
        // Columns are followed through every change, shown or not; the table is built again
        // only when a compared material changed or moved.
        const std::vector<int> before = comparison_.materials();
        const bool moved = comparison_.follow(state_.library);
        const bool touched =
            std::any_of(before.begin(), before.end(), [&](int n) { return change.touches(n); });
        if ((moved || touched) && isVisible()) refreshBeforePaint();
    });
}

ComparisonWindow::~ComparisonWindow() {
    state_.history.removeListener(changeListener_);
}

void ComparisonWindow::addMaterial(int n) {
    comparison_.add(state_.library, n);
    refresh();
    QWidget::show();
    raise();
}

void ComparisonWindow::refresh() {
    refreshPending_ = false;
    comparison_.follow(state_.library);
    const std::string units = form_.UnitSystem();
    ComparisonTable table = comparison_.table(state_.library, units, state_.doc.DecimalSeparator);
    if (units == shownUnits_ && table == shown_ && table_->columnCount() > 0) return;
    const bool sameUnits = units == shownUnits_ && table_->columnCount() > 0;
    if (sameUnits && sameShape(table, shown_)) {
        fillRows(table);
    } else {
        if (sameUnits && addsOneColumn(table, shown_))
            addColumn(table);
        else
            fill(table);
        // The table would lay its items out again as it next paints, and that changes its
        // margins for the scroll bars: a second repaint a frame later. Laid out now, it
        // paints once. Changed rows need no layout, and this one repaints the whole table.
        table_->doItemsLayout();
    }
    shownUnits_ = units;
    shown_ = std::move(table);
}

void ComparisonWindow::fitColumns(int column) {
    // Widths set through the header's notices reach the table by a timer, a frame after
    // the repaint; set quietly, they are in the layout that comes at the end of refresh.
    const QSignalBlocker quiet(table_->horizontalHeader());
    if (column < 0)
        table_->resizeColumnsToContents();
    else
        table_->resizeColumnToContents(column);
}

bool ComparisonWindow::sameShape(const ComparisonTable& a, const ComparisonTable& b) {
    return a.names == b.names && a.rows.size() == b.rows.size() &&
           std::equal(
               a.rows.begin(), a.rows.end(), b.rows.begin(),
               [](const ComparisonRow& x, const ComparisonRow& y) { return x.slot == y.slot; });
}

bool ComparisonWindow::addsOneColumn(const ComparisonTable& a, const ComparisonTable& shown) {
    return a.names.size() == shown.names.size() + 1 &&
           std::equal(shown.names.begin(), shown.names.end(), a.names.begin()) &&
           a.rows.size() == shown.rows.size() &&
           std::equal(
               a.rows.begin(), a.rows.end(), shown.rows.begin(),
               [](const ComparisonRow& x, const ComparisonRow& y) { return x.slot == y.slot; });
}

void ComparisonWindow::addColumn(const ComparisonTable& table) {
    // Materials are added one at a time: the new one's column goes in before "Units", and
    // only the rows whose mark it changed are made again, so that the tenth column costs
    // what the first did.
    const int column = kFirstMaterialColumn + static_cast<int>(table.names.size()) - 1;
    table_->insertColumn(column);
    table_->setHorizontalHeaderItem(column, new QTableWidgetItem(toQ(table.names.back())));
    bool remade = false;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const ComparisonRow& now = table.rows[r];
        const ComparisonRow& was = shown_.rows[r];
        const int row = static_cast<int>(r);
        if (now.differs != was.differs || now.units != was.units) {
            fillRow(row, now);
            remade = true;
            continue;
        }
        auto* item = new QTableWidgetItem(toQ(now.values.back()));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (const QTableWidgetItem* beside = table_->item(row, column - 1)) {
            item->setBackground(beside->background());
            item->setFont(beside->font());
        }
        table_->setItem(row, column, item);
    }
    // A row marked or unmarked changes its font in every column.
    fitColumns(remade ? -1 : column);
    growToColumns();
    showCaption(table);
}

void ComparisonWindow::fillRow(int r, const ComparisonRow& row) {
    const int materials = static_cast<int>(row.values.size());
    std::vector<std::string> cells = {row.code, row.description};
    cells.insert(cells.end(), row.values.begin(), row.values.end());
    cells.push_back(row.units);
    QColor marked = palette().color(QPalette::Highlight);
    marked.setAlpha(45);
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
        auto* item = new QTableWidgetItem(toQ(cells[static_cast<std::size_t>(c)]));
        if (c >= kFirstMaterialColumn && c < kFirstMaterialColumn + materials)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (row.differs) {
            item->setBackground(marked);
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
        table_->setItem(r, c, item);
    }
    table_->setVerticalHeaderItem(
        r, new QTableWidgetItem(row.differs ? QStringLiteral("\u2260") : QString()));
}

void ComparisonWindow::fillRows(const ComparisonTable& table) {
    // Same materials and properties as shown: a row whose mark changed is made again, and
    // otherwise only the cells whose value changed take their new text, so an edit of one
    // compared material leaves the rest of the table as it was.
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const ComparisonRow& now = table.rows[r];
        const ComparisonRow& was = shown_.rows[r];
        const int row = static_cast<int>(r);
        if (now.differs != was.differs || now.units != was.units) {
            fillRow(row, now);
            continue;
        }
        for (std::size_t c = 0; c < now.values.size(); ++c)
            if (now.values[c] != was.values[c])
                table_->item(row, kFirstMaterialColumn + static_cast<int>(c))
                    ->setText(toQ(now.values[c]));
    }
    showCaption(table);
}

void ComparisonWindow::fill(const ComparisonTable& table) {
    const int selected = selectedColumn();
    const int materials = static_cast<int>(table.names.size());
    table_->clear();
    table_->setColumnCount(kFirstMaterialColumn + materials + 1);
    table_->setRowCount(static_cast<int>(table.rows.size()));
    QStringList headers = {QStringLiteral("Property"), QStringLiteral("Description")};
    for (const std::string& name : table.names)
        headers << toQ(name);
    headers << QStringLiteral("Units");
    table_->setHorizontalHeaderLabels(headers);

    for (int r = 0; r < table_->rowCount(); ++r)
        fillRow(r, table.rows[static_cast<std::size_t>(r)]);
    fitColumns(-1);
    growToColumns();
    if (selected >= 0 && selected < materials)
        table_->selectColumn(kFirstMaterialColumn + selected);
    showCaption(table);
}

void ComparisonWindow::growToColumns() {
    // Grows to show every column it can, never past the screen; narrowing it is left to
    // the user. The width is reckoned from the layout, not from the table's own, which a
    // window not yet shown does not have.
    const QMargins margins = layout()->contentsMargins();
    int wanted = margins.left() + margins.right() + table_->verticalHeader()->sizeHint().width() +
                 2 * table_->frameWidth() + table_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < table_->columnCount(); ++c)
        wanted += table_->columnWidth(c);
    const QRect screenArea = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 700);
    // The frame the window system adds, as far as it is known yet.
    const int frame = isVisible() ? frameGeometry().width() - width() : 16;
    const int room = screenArea.width() - frame;
    // A window that grows repaints whole into a new backing store and is exposed again, the
    // dearest frame it has (its new pages alone cost 5 ms on a virtual machine): doubled
    // at a time, it keeps room for the next materials and reaches the screen's width in
    // one or two steps.
    const int grown = wanted > width() ? std::max(wanted, 2 * width()) : width();
    if (grown != width() || width() > room) resize(std::min(grown, room), height());
    if (isVisible() && !screenArea.contains(frameGeometry()))
        move(std::clamp(x(), screenArea.left(),
                        std::max(screenArea.left(), screenArea.right() - frameGeometry().width())),
             y());
}

void ComparisonWindow::showCaption(const ComparisonTable& table) {
    const int materials = static_cast<int>(table.names.size());
    const int differing = static_cast<int>(std::count_if(table.rows.begin(), table.rows.end(),
                                                         [](const auto& r) { return r.differs; }));
    const QString units = toQ(std::string(unitSystemCaption(form_.unitsIndex())));
    if (materials == 0)
        caption_->setText(QStringLiteral("Add materials with Edit, Add to Comparison (Ctrl+D)."));
    else
        caption_->setText(
            QStringLiteral("%1 %2, %3 properties in %4, %5 differing (marked \u2260)")
                .arg(materials)
                .arg(materials == 1 ? QStringLiteral("material") : QStringLiteral("materials"))
                .arg(table.rows.size())
                .arg(units)
                .arg(differing));
}

int ComparisonWindow::selectedColumn() const {
    const int column = table_->currentColumn() - kFirstMaterialColumn;
    return column >= 0 && column < comparison_.columnCount() ? column : -1;
}

void ComparisonWindow::removeSelected() {
    const int column = selectedColumn();
    if (column < 0) return;
    comparison_.remove(column);
    table_->setCurrentCell(-1, -1);
    refresh();
}

void ComparisonWindow::moveSelected(int step) {
    const int column = selectedColumn();
    const int to = column + step;
    if (column < 0 || to < 0 || to >= comparison_.columnCount()) return;
    comparison_.move(column, to);
    refresh();
    table_->setCurrentCell(0, kFirstMaterialColumn + to);
    table_->selectColumn(kFirstMaterialColumn + to);
}

void ComparisonWindow::copy() {
    refresh();
    QApplication::clipboard()->setText(toQ(shown_.tabSeparated()));
}

void ComparisonWindow::exportCsv() {
    refresh();
    const auto path = dialogs_.saveFile("Export Comparison", "CSV Files (*.csv)|*.csv", "");
    if (!path) return;
    const std::string text = comparison_.table(state_.library, form_.UnitSystem(), ".").csv();
    QFile file(QFile::decodeName(QByteArray::fromStdString(*path)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.flush()) {
        messages_.show("Cannot write " + *path + ": " + fromQ(file.errorString()), MsgButtons::OK,
                       MsgIcon::Exclamation);
    }
}

void ComparisonWindow::refreshBeforePaint() {
    // The window the user typed into is drawn first: it asked for its repaint during the
    // edit, and this window's request comes after it. The table is built as this window's
    // own repaint begins, so the cells it changes are drawn in that same repaint. A pixel
    // of the window's corner asks for the repaint: a request of one's own would leave Qt
    // to ask for another as the cells change.
    if (refreshPending_) return;
    // A window that is not on screen (minimised, or not shown yet) is not repainted, and
    // when it comes back Qt paints what it holds without asking first.
    if (!testAttribute(Qt::WA_Mapped)) {
        refresh();
        return;
    }
    refreshPending_ = true;
    update(0, 0, 1, 1);
}

bool ComparisonWindow::event(QEvent* event) {
    if (event->type() == QEvent::UpdateRequest && refreshPending_) refresh();
    return QWidget::event(event);
}

void ComparisonWindow::changeEvent(QEvent* event) {
    // Edits reach the table through the library's notices, and a switch of the unit system
    // through the editor; anything else that changed while another window was in front is
    // followed when this one comes back.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) refresh();
    QWidget::changeEvent(event);
}

} // namespace mb::qt

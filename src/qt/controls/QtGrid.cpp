#include "QtGrid.h"

#include "KeptTextDelegate.h"
#include "QtText.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QStaticText>
#include <QStyle>

namespace mb::qt {

namespace {

/// The RowMark a code cell's icon shows.
constexpr int kMarkRole = Qt::UserRole;

// Raises a flag for a scope and puts it back as it was: `moving_` while the logic changes
// the table itself, so that the table's own current-cell signal is not taken for the
// user's move, and `closingEditor_` while the focus comes back from the cell editor.
struct ScopedFlag {
    explicit ScopedFlag(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~ScopedFlag() { flag_ = old_; }
    bool& flag_;
    bool old_;
};

} // namespace

QtGrid::QtGrid(QWidget* parent) : QTableWidget(parent) {
    setItemDelegate(new KeptTextDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The current cell shows as a focus frame, not as a selection: nothing is selected here.
    setSelectionMode(QAbstractItemView::NoSelection);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setStretchLastSection(true);
    // The columns are fitted to the width there is (fitColumns): what does not fit is
    // elided, never scrolled out of sight.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionsClickable(false);

    connect(this, &QTableWidget::currentCellChanged, this, &QtGrid::userMovedTo);
    connect(this, &QTableWidget::cellClicked, this, [this] { emit clicked(); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        const auto inside = [this](QWidget* w) { return w == this || isAncestorOf(w); };
        // A switch to another application (now == nullptr) is not a move within the window.
        if (old && now && inside(old) && !inside(now)) emit lostFocus();
    });
}

void QtGrid::reportLeave(CellPos left) {
    const CellPos* outer = leaving_;
    leaving_ = &left;
    emit leaveCell();
    leaving_ = outer;
}

void QtGrid::userMovedTo(int tableRow, int tableCol, int, int) {
    if (moving_) return;
    reportLeave(current_);
    current_ =
        tableRow < 0 ? CellPos{0, tableCol < 0 ? 0 : tableCol} : CellPos{tableRow + 1, tableCol};
}

int QtGrid::row() const {
    return leaving_ ? leaving_->row : current_.row;
}

int QtGrid::col() const {
    return leaving_ ? leaving_->col : current_.col;
}

void QtGrid::setCurrentCell(int row, int col) {
    if (row == current_.row && col == current_.col) return;
    reportLeave(current_);
    current_ = {row, col};
    ScopedFlag moving(moving_);
    // A rebuild walks through every cell; the view must not scroll along with it.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    if (row >= 1 && row - 1 < rowCount() && col >= 0 && col < columnCount())
        QTableWidget::setCurrentCell(row - 1, col);
    else
        QTableWidget::setCurrentIndex(QModelIndex());
    setAutoScroll(scrolls);
}

QTableWidgetItem* QtGrid::cellItem(int row, int col, bool create) {
    if (col < 0 || col >= columnCount() || row < 0 || row > rowCount()) return nullptr;
    if (row == 0) {
        QTableWidgetItem* header = horizontalHeaderItem(col);
        if (!header && create) {
            header = new QTableWidgetItem;
            setHorizontalHeaderItem(col, header);
        }
        return header;
    }
    QTableWidgetItem* cell = item(row - 1, col);
    if (!cell && create) {
        cell = new QTableWidgetItem;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (col == kValueColumn) flags |= Qt::ItemIsEditable;
        cell->setFlags(flags);
        setItem(row - 1, col, cell);
    }
    return cell;
}

QLineEdit* QtGrid::openEditor(int row, int col) const {
    if (state() != QAbstractItemView::EditingState || row < 1) return nullptr;
    const QModelIndex index = model()->index(row - 1, col);
    if (!index.isValid() || currentIndex() != index) return nullptr;
    return qobject_cast<QLineEdit*>(indexWidget(index));
}

std::string QtGrid::text() const {
    // A value still being typed is what the cell holds for whoever reads it: a command
    // started from a shortcut leaves the editor open, so nothing committed it yet.
    if (const QLineEdit* editor = openEditor(row(), col())) return fromQ(editor->text());
    return textMatrix(row(), col());
}

void QtGrid::setText(const std::string& text) {
    const QString shown = toQ(text);
    if (QLineEdit* editor = openEditor(row(), col())) editor->setText(shown);
    QTableWidgetItem* cell = cellItem(row(), col(), !shown.isEmpty());
    if (!cell || cell->text() == shown) return;
    cell->setText(shown);
    autoSizeColumn(col());
}

void QtGrid::commitData(QWidget* editor) {
    QTableWidget::commitData(editor);
    // A longer number than the column has room for.
    autoSizeColumn(kValueColumn);
}

std::string QtGrid::textMatrix(int row, int col) const {
    QTableWidgetItem* cell = const_cast<QtGrid*>(this)->cellItem(row, col, false);
    return cell ? fromQ(cell->text()) : std::string();
}

void QtGrid::setRows(int rows) {
    ScopedFlag moving(moving_);
    setRowCount(rows > 1 ? rows - 1 : 0);
}

void QtGrid::setCols(int cols) {
    ScopedFlag moving(moving_);
    setColumnCount(cols > 0 ? cols : 0);
}

void QtGrid::clear() {
    ScopedFlag moving(moving_);
    clearContents();
    scrollToTop();
    for (int c = 0; c < columnCount(); ++c)
        if (QTableWidgetItem* header = horizontalHeaderItem(c)) header->setText(QString());
}

void QtGrid::autoSizeColumn(int col) {
    // Fitting a column measures every row; a rebuild asks after each cell, so the
    // columns are fitted once, when the rebuild is over: at the latest just before the
    // window paints, whose repaint may already be waiting ahead of the queued fitting.
    if (!dirtyColumns_.contains(col)) dirtyColumns_.append(col);
    if (sizingPending_) return;
    sizingPending_ = true;
    if (QWidget* top = window(); top != paintWatched_) {
        if (paintWatched_) paintWatched_->removeEventFilter(this);
        paintWatched_ = top;
        top->installEventFilter(this);
    }
    QMetaObject::invokeMethod(this, &QtGrid::resizeDirtyColumns, Qt::QueuedConnection);
}

bool QtGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == paintWatched_ && event->type() == QEvent::UpdateRequest) resizeDirtyColumns();
    return QTableWidget::eventFilter(watched, event);
}

void QtGrid::resizeDirtyColumns() {
    if (!sizingPending_) return;
    sizingPending_ = false;
    dirtyColumns_.clear();
    fitColumns();
}

void QtGrid::fitColumns() {
    const int count = columnCount();
    if (count == 0) return;
    QList<int> widths(count);
    int total = 0;
    for (int c = 0; c < count; ++c) {
        widths[c] = std::max(sizeHintForColumn(c), horizontalHeader()->sectionSizeHint(c));
        total += widths[c];
    }
    // Too narrow for everything: the description gives way first, then the units, the
    // value last, each down to a few letters and elided ("340897 p..."), so that no
    // number is cut off at the edge without a sign that it goes on.
    const int room = viewport()->width();
    const int least = fontMetrics().horizontalAdvance(QStringLiteral("MMM"));
    for (const int c : {1, 3, kValueColumn, 0}) {
        if (total <= room) break;
        if (c >= count) continue;
        const int cut = std::min(total - room, std::max(widths[c] - least, 0));
        widths[c] -= cut;
        total -= cut;
    }
    const auto columnWidths = [this, count] {
        QList<int> w(count);
        for (int c = 0; c < count; ++c)
            w[c] = columnWidth(c);
        return w;
    };
    const QList<int> before = columnWidths();
    // Asked for the widths it has, the header would still size its stretched last column
    // again and repaint itself whole, at every stored value: nothing is asked when the
    // columns are as the header would leave them, the last one reaching the edge.
    QList<int> settled = widths;
    settled.back() = std::max(widths.back(), room - (total - widths.back()));
    if (before == settled) {
        updateGeometries();
        return;
    }
    // Left to themselves, the header would stretch the last column only when next asked
    // its length (while the table paints), and the table would repaint the columns that
    // changed on a timer: the grid drawn twice, the second time a frame late. The header's
    // notices are held back, the geometries asked at once, and the table repainted here.
    {
        const QSignalBlocker quiet(horizontalHeader());
        for (int c = 0; c < count; ++c)
            setColumnWidth(c, widths[c]);
        updateGeometries();
    }
    if (columnWidths() != before) viewport()->update();
}

void QtGrid::resizeEvent(QResizeEvent* event) {
    // The header's notices of the resize are held back as fitColumns holds back its own.
    const QSignalBlocker quiet(horizontalHeader());
    QTableWidget::resizeEvent(event);
    fitColumns();
}

void QtGrid::editCell() {
    QTableWidgetItem* cell = cellItem(current_.row, current_.col, current_.row >= 1);
    if (current_.row < 1 || !cell || !(cell->flags() & Qt::ItemIsEditable)) return;
    {
        ScopedFlag moving(moving_);
        QTableWidget::setCurrentCell(current_.row - 1, current_.col);
    }
    editItem(cell);
    if (QLineEdit* editor = openEditor(current_.row, current_.col))
        connect(editor, &QLineEdit::textEdited, this, &QtGrid::cellEdited, Qt::UniqueConnection);
}

void QtGrid::finishEditing() {
    if (state() != QAbstractItemView::EditingState) return;
    if (QWidget* editor = indexWidget(currentIndex()))
        QTableWidget::closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void QtGrid::setRowMark(int row, RowMark mark, const std::string& tip) {
    if (row < 1 || row > rowCount()) return;
    QTableWidgetItem* code = cellItem(row, 0, mark != RowMark::None);
    if (!code) return;
    // Every stored value marks every row again, and an icon set anew always repaints its
    // cell (icons do not compare): the kind of mark a row shows is kept beside it.
    if (code->data(kMarkRole).toInt() != static_cast<int>(mark)) {
        QIcon icon;
        if (mark != RowMark::None)
            icon = style()->standardIcon(mark == RowMark::Error ? QStyle::SP_MessageBoxCritical
                                                                : QStyle::SP_MessageBoxWarning);
        code->setIcon(icon);
        code->setData(kMarkRole, static_cast<int>(mark));
        autoSizeColumn(0);
    }
    const QString text = toQ(tip);
    for (int c = 0; c < columnCount(); ++c) {
        // A changed item hands its text to an editor open on it, which would throw away
        // what the user is typing there.
        if (openEditor(row, c)) continue;
        QTableWidgetItem* cell = cellItem(row, c, !text.isEmpty());
        if (cell && cell->toolTip() != text) cell->setToolTip(text);
    }
}

bool QtGrid::moveToValueCell(int row) {
    if (row < 1 || row > rowCount()) return false;
    QTableWidget::setCurrentCell(row - 1, kValueColumn);
    return true;
}

void QtGrid::keyPressEvent(QKeyEvent* event) {
    if (state() == QAbstractItemView::EditingState) {
        QTableWidget::keyPressEvent(event);
        return;
    }
    const bool onValue = current_.row >= 1 && current_.col == kValueColumn;
    // F2 is the keyboard's way to the same edit that a click in the Value column starts.
    if (event->key() == Qt::Key_F2) {
        emit clicked();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        moveToValueCell(current_.row + 1);
        return;
    }
    // A number starts as it is typed; letters still find a row by its code.
    const QString typed = event->text();
    const bool startsNumber = typed.size() == 1 && QStringLiteral("0123456789+-.,").contains(typed);
    if (onValue && startsNumber &&
        !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
        emit clicked();
        if (QLineEdit* editor = openEditor(current_.row, current_.col)) {
            editor->selectAll();
            QApplication::sendEvent(editor, event);
        }
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void QtGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // The view takes a quick second click for a double click, which edits nothing here and
    // reports no click: it is a press like any other.
    mousePressEvent(event);
}

bool QtGrid::focusNextPrevChild(bool next) {
    // Down and up the Value column; past its ends the focus goes on through the window.
    // From another column Tab goes to the Value cell of the same row.
    const int row = current_.col == kValueColumn ? current_.row + (next ? 1 : -1)
                    : next                       ? std::max(current_.row, 1)
                                                 : 0;
    if (hasFocus() && moveToValueCell(row)) return true;
    return QWidget::focusNextPrevChild(next);
}

void QtGrid::focusInEvent(QFocusEvent* event) {
    if (closingEditor_) {
        // Back from the grid's own cell editor, whose cell holds the current index.
        setAttribute(Qt::WA_InputMethodEnabled, currentIndex().flags() & Qt::ItemIsEditable);
        showFocusMoved();
    } else {
        QTableWidget::focusInEvent(event);
    }
    // Reached by Tab, the grid starts at its first Value cell; by Shift+Tab at its last.
    if (event->reason() == Qt::TabFocusReason)
        moveToValueCell(1);
    else if (event->reason() == Qt::BacktabFocusReason)
        moveToValueCell(rowCount());
}

void QtGrid::focusOutEvent(QFocusEvent* event) {
    const QWidget* now = QApplication::focusWidget();
    if (now && viewport()->isAncestorOf(now)) {
        showFocusMoved();
        return;
    }
    QTableWidget::focusOutEvent(event);
}

void QtGrid::showFocusMoved() {
    // Whether the grid has the keyboard shows only in its frame and its current cell. Qt
    // draws every cell again at each move of the focus, and an edit moves it twice, into
    // the cell editor and back: the whole table drawn for one changed value.
    update(QRegion(rect()) - viewport()->geometry());
    if (currentIndex().isValid()) viewport()->update(visualRect(currentIndex()));
}

void QtGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    ScopedFlag closing(closingEditor_);
    const int row = current_.row;
    switch (hint) {
    case QAbstractItemDelegate::EditNextItem:
    case QAbstractItemDelegate::EditPreviousItem:
        QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
        setFocus(Qt::OtherFocusReason);
        focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
        return;
    case QAbstractItemDelegate::SubmitModelCache:
        // Enter: what was typed is stored as leaving the cell stores it, in the last row too.
        QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
        setFocus(Qt::OtherFocusReason);
        if (!moveToValueCell(row + 1)) reportLeave(current_);
        return;
    case QAbstractItemDelegate::RevertModelCache:
        // Escape: what was typed is thrown away, and whatever followed it as it was typed
        // goes back to the stored value.
        QTableWidget::closeEditor(editor, hint);
        emit editCancelled();
        return;
    default:
        QTableWidget::closeEditor(editor, hint);
    }
}

} // namespace mb::qt

#pragma once

#include "Controls.h"

#include <QPointer>
#include <QTableWidget>

class QLineEdit;

namespace mb::qt {

/// The property grid over a QTableWidget. Row 0 of the logic is the table's header; rows
/// 1..n are table rows 0..n-1. Only the Value column (2) can be edited, and only when the
/// logic asks for it (`editCell`), which it does from the grid's `clicked`.
///
/// The keys work the Value column as a spreadsheet's: F2, or a digit, a sign or a decimal
/// separator typed on a Value cell, starts the edit (the character typed replaces the
/// cell's text); Enter leaves the cell for the next row's Value cell, which stores what
/// was typed; Tab and Shift+Tab go down and up the Value column and out of the grid at its
/// ends. A second click reports a click however quickly it follows the first.
///
/// Every change of the current cell, by the user or by the logic, is reported through
/// `leaveCell` before the new cell takes over; while its handlers run, row(), col(),
/// text() and setText() address the cell being left.
class QtGrid : public QTableWidget, public GridControl {
    Q_OBJECT
public:
    explicit QtGrid(QWidget* parent = nullptr);

    void setVisible(bool visible) override { QTableWidget::setVisible(visible); }
    bool isVisible() const override { return !isHidden(); }
    void setRows(int rows) override;
    int rows() const override { return rowCount() + 1; }
    void setCols(int cols) override;
    int row() const override;
    int col() const override;
    void setCurrentCell(int row, int col) override;
    std::string text() const override;
    void setText(const std::string& text) override;
    std::string textMatrix(int row, int col) const override;
    void clear() override;
    void autoSizeColumn(int col) override;
    void editCell() override;
    void finishEditing() override;
    void setRowMark(int row, RowMark mark, const std::string& tip) override;

    static constexpr int kValueColumn = 2;

signals:
    /// A click on a cell, after the cell has become the current one.
    void clicked();
    /// The current cell is about to change; the grid still describes the cell being left.
    void leaveCell();
    /// The input focus went from the grid (or its cell editor) to another widget.
    void lostFocus();
    /// The user changed the text in the open cell editor; text() reads it.
    void cellEdited();
    /// The user closed the cell editor with Escape: nothing was stored, and the cell shows
    /// its stored text again.
    void editCancelled();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void commitData(QWidget* editor) override;

private:
    struct CellPos {
        int row = 0;
        int col = 0;
    };
    void reportLeave(CellPos left);
    void userMovedTo(int tableRow, int tableCol, int previousRow, int previousCol);
    QTableWidgetItem* cellItem(int row, int col, bool create);
    /// The cell editor open on that cell (logic rows), or null.
    QLineEdit* openEditor(int row, int col) const;
    void resizeDirtyColumns();
    /// Fits the columns to their contents, or to the width there is where that is less.
    void fitColumns();
    /// Makes row `row`'s Value cell the current one as a user's move would, leaving the
    /// cell before; false when there is no such row.
    bool moveToValueCell(int row);
    /// Repaints what shows the focus: the frame and the current cell.
    void showFocusMoved();

    CellPos current_;                  // the logic's current cell, header row included
    const CellPos* leaving_ = nullptr; // while leaveCell handlers run
    bool moving_ = false;              // the logic is moving the current cell itself
    bool sizingPending_ = false;
    bool closingEditor_ = false; // the focus comes back from the cell editor
    /// The window whose repaints fit the columns first, while fitting is pending.
    QPointer<QWidget> paintWatched_;
    QList<int> dirtyColumns_;
};

} // namespace mb::qt

#pragma once

#include "MaterialComparison.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

namespace mb {
struct AppState;
class EditorView;
class FileDialogs;
class MessageBox;

namespace qt {

/// The materials put side by side with "Add to Comparison": a column per material, a row
/// per property, the differing rows marked. It follows the open library's change notices,
/// building the table again when a compared material changed, and the unit system the
/// editor shows; the widgets are touched only when the table came out different.
class ComparisonWindow : public QWidget {
    Q_OBJECT
public:
    ComparisonWindow(AppState& state, EditorView& form, MessageBox& messages, FileDialogs& dialogs,
                     QWidget* parent = nullptr);
    ~ComparisonWindow() override;

    /// Adds material n and shows the window in front.
    void addMaterial(int n);
    /// Follows the library and the unit system now.
    void refresh();

    MaterialComparison& comparison() { return comparison_; }
    QTableWidget& table() { return *table_; }

    /// The selected material's column out of the comparison.
    void removeSelected();
    /// The selected material's column one place to the left (-1) or the right (+1).
    void moveSelected(int step);
    /// The table on the clipboard, tab-separated.
    void copy();
    /// The table to a CSV file the user names; "." is the decimal point there.
    void exportCsv();

protected:
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    /// The material column selected, -1 for none.
    int selectedColumn() const;
    void fill(const ComparisonTable& table);
    /// The rows of `table` that differ from those shown; the table has the shown shape.
    void fillRows(const ComparisonTable& table);
    void fillRow(int r, const ComparisonRow& row);
    /// The last material of `table` as a new column; the rest has the shown shape.
    void addColumn(const ComparisonTable& table);
    /// Fits `column`'s width to its texts, every column's for -1.
    void fitColumns(int column);
    /// Widens the window to show every column, as far as the screen allows.
    void growToColumns();
    static bool addsOneColumn(const ComparisonTable& a, const ComparisonTable& shown);
    void showCaption(const ComparisonTable& table);
    static bool sameShape(const ComparisonTable& a, const ComparisonTable& b);
    /// Refreshes as this window is about to be drawn.
    void refreshBeforePaint();

    AppState& state_;
    EditorView& form_;
    MessageBox& messages_;
    FileDialogs& dialogs_;
    MaterialComparison comparison_;
    ComparisonTable shown_;
    std::string shownUnits_;
    QTableWidget* table_ = nullptr;
    QLabel* caption_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* left_ = nullptr;
    QPushButton* right_ = nullptr;
    int changeListener_ = 0;
    bool refreshPending_ = false;
};

} // namespace qt
} // namespace mb

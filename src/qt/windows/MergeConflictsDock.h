#pragma once

#include "ConflictListControl.h"

#include <QDockWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace mb::qt {

/// The docked "Merge Conflicts" list: a table of the conflicts still to decide and the
/// Take Ours, Take Theirs and Take Base buttons. It shows what the logic gives it and
/// passes the clicks on.
class MergeConflictsDock final : public QDockWidget, public ConflictListControl {
    Q_OBJECT
public:
    explicit MergeConflictsDock(QWidget* parent = nullptr);

    std::function<void()> rowClicked, takeOurs, takeTheirs, takeBase;

    void setRows(const std::vector<ConflictRow>& rows) override;
    int selectedRow() const override;
    void selectRow(int row) override;
    void setTakeEnabled(bool ours, bool theirs, bool base) override;
    void setStatus(const std::string& text) override;
    void setShown(bool shown) override;

private:
    QTableWidget* table_;
    QPushButton *ours_, *theirs_, *base_;
    QLabel* status_;
    bool filling_ = false; ///< selection changes made by setRows are not the user's
};

} // namespace mb::qt

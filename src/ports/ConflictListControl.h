#pragma once

#include <string>
#include <vector>

namespace mb {

/// One line of the Merge Conflicts list: the material, the property (or what else
/// conflicts) and the three sides' values as shown.
struct ConflictRow {
    std::string material, property, base, ours, theirs;
};

/// The docked Merge Conflicts list: a table of conflicts and the three Take buttons.
class ConflictListControl {
public:
    virtual ~ConflictListControl() = default;
    virtual void setRows(const std::vector<ConflictRow>& rows) = 0;
    /// The selected row, -1 for none.
    virtual int selectedRow() const = 0;
    virtual void selectRow(int row) = 0;
    virtual void setTakeEnabled(bool ours, bool theirs, bool base) = 0;
    /// The line under the table ("3 conflicts left", "All conflicts resolved ...").
    virtual void setStatus(const std::string& text) = 0;
    virtual void setShown(bool shown) = 0;
};

} // namespace mb

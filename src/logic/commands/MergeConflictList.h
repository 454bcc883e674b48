#pragma once

#include "ConflictFile.h"
#include "ConflictListControl.h"

#include <string>
#include <vector>

namespace mb {

struct AppState;
struct LibraryChange;
class MessageBox;

/// What the conflict list needs of the editor: the unit system values are shown in, and
/// showing a material as a click on its node does.
class ConflictEditor {
public:
    virtual ~ConflictEditor() = default;
    virtual std::string UnitSystem() const = 0;
    virtual void showMaterial(int n) = 0;
};

/// Not found in the open library, by its name.
std::string conflictMaterialGone(const std::string& name);
/// The conflict file beside a library opened could not be read.
std::string conflictFileUnreadable(const std::string& error);

/// The Merge Conflicts list of a library that a merge left with a `.conflicts` file.
///
/// Each conflict is decided once: Take Ours keeps what the library holds, Take Theirs and
/// Take Base set the other side's value as one edit of the history, so that Undo takes
/// the decision back with the value. A decided conflict leaves the list; its undo brings
/// it back. Saving the library writes the conflicts still open beside it, or removes the
/// file once none is.
class MergeConflictList {
public:
    MergeConflictList(AppState& state, ConflictListControl& list, ConflictEditor& editor,
                      MessageBox& messages);
    ~MergeConflictList();
    MergeConflictList(const MergeConflictList&) = delete;
    MergeConflictList& operator=(const MergeConflictList&) = delete;

    /// A library was opened from `path`: its conflicts, if a file lists them, are shown.
    void libraryOpened(const std::string& path);
    /// The library was saved as `path`.
    void librarySaved(const std::string& path);
    /// The values are shown in the editor's unit system: it changed.
    void refresh();

    void conflictList_Click();
    void takeOurs();
    void takeTheirs();
    void takeBase();

    /// The conflicts not yet decided, names as the library now spells them.
    std::vector<ConflictEntry> openConflicts() const;

private:
    struct Item {
        ConflictEntry entry;
        bool decided = false;
    };
    /// A decision made as an edit: what its undo and redo reverse.
    struct Decision {
        std::size_t item;
        std::string label;
        std::string renamedFrom, renamedTo; ///< a NAME taken: the other items follow
    };

    void take(ConflictEntry::Side side);
    /// Applies `side` of `entry` to material n; false when the side cannot be applied.
    bool apply(const ConflictEntry& entry, int n, ConflictEntry::Side side);
    void decide(const Decision& d, bool decided);
    void follow(const LibraryChange& change);
    void show(std::size_t selectItem);
    /// The item of the selected row; items_.size() for none.
    std::size_t selectedItem() const;
    int materialOf(const ConflictEntry& entry) const;
    void enableButtons();

    AppState& state_;
    ConflictListControl& list_;
    ConflictEditor& editor_;
    MessageBox& messages_;
    std::vector<Item> items_;
    std::vector<std::size_t> rows_; ///< the item each row shows
    std::vector<Decision> done_, undone_;
    bool loaded_ = false;  ///< a conflict file was read whole: saving keeps it up to date
    bool pending_ = false; ///< a decision is being made as an edit
    int listener_ = 0;
};

} // namespace mb

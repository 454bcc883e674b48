#pragma once

#include "Library.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mb {

/// What the editor shows once an edit has been undone or redone.
struct EditFocus {
    enum class Kind {
        None,     ///< nothing in particular
        Material, ///< material `material`
        Category, ///< the category node keyed `category`
        Removed,  ///< a material that went: it was number `material` in `category`
    };
    Kind kind = Kind::None;
    int material = -1;
    std::string category;

    static EditFocus onMaterial(int n) { return {Kind::Material, n, {}}; }
    static EditFocus onCategory(std::string key) { return {Kind::Category, -1, std::move(key)}; }
};

/// What one completed edit, undo or redo did to the library: what a view needs to follow it.
/// A view that listens to these needs no other hook into the commands.
struct LibraryChange {
    enum class Cause { Edit, Undo, Redo };
    Cause cause = Cause::Edit;
    /// An undo or a redo whose `shown` the editor shows once every listener has followed
    /// it: a view that would only bring the material on show up to date may leave that to
    /// the showing. Without it (an undo made on the history alone) every view follows the
    /// notice as it follows an edit's.
    bool focusShownAfter = false;
    std::string label; ///< the edit's label ("Delete A36")
    /// The materials touched, by the numbers they have now, each once and in ascending
    /// order; a material that went is named by the number it had.
    std::vector<int> materials;
    /// A material was removed, moved or put in before others: numbers held elsewhere (a
    /// tree node's key, a copied material, a compared column) may now name another material.
    bool numbersShifted = false;
    /// The tree's nodes changed: a material came or went, or a name or category changed.
    bool treeChanged = false;
    /// A material's records changed (its values, or the material itself came, went or
    /// moved): what a grid or chart of those materials shows may differ now.
    bool valuesChanged = false;
    /// What the editor should show now: for an undo, what was shown before the edit.
    EditFocus shown;

    bool touches(int n) const;
};

/// The edits made to the open library, each one undoable and redoable as a whole.
///
/// The changes go through here instead of straight to the library: each call is the
/// operation of the same name in Library.h, which says what it does, and keeps what it takes
/// to reverse it. A change in place keeps only the texts and values it altered (a typed value costs
/// a few dozen bytes); a removal keeps the material removed; an addition keeps nothing until it is
/// undone. Nothing holds a copy of the whole library.
///
/// Changes made while an edit is open (`begin`) form one entry under its label: a command
/// that changes several materials, or one material several times, is undone in one step.
/// A command that changes nothing records nothing.
class EditHistory {
public:
    explicit EditHistory(Library& library);
    ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    /// An open edit; it closes when it goes out of scope.
    class Edit {
    public:
        ~Edit();
        Edit(const Edit&) = delete;
        Edit& operator=(const Edit&) = delete;

    private:
        friend class EditHistory;
        explicit Edit(EditHistory& history) : history_(history) {}
        EditHistory& history_;
    };

    /// Opens an edit labelled `label` ("Delete A36"). An edit opened while another is open
    /// joins that one. `shownBefore` is what an undo shows when the first material changed
    /// is not it: for an added or pasted material, the node selected before.
    [[nodiscard]] Edit begin(std::string label, EditFocus shownBefore = {});

    // ---- Changes: see the operations of the same names in Library.h ----------------------
    int addMaterial(LibraryEntry entry, clsMaterial record, clsMaterial shadow);
    int copyMaterial(int source, const LibraryEntry& texts);
    int insertMaterial(int n, const MaterialSnapshot& material);
    MaterialSnapshot removeMaterial(int n);
    int moveMaterialToEnd(int m, const std::string& category);
    void renameMaterial(int n, const std::string& name);
    void setCategory(int n, const std::string& category);
    void setDescription(int n, const std::string& description);
    void setEntryTexts(int n, LibraryEntry entry);
    void setRecords(int n, clsMaterial record, clsMaterial shadow);
    /// Only a material's change is recorded: the spare slot is never saved.
    void SetValue(int n, std::string_view code, double si);
    void ClearValue(int n, std::string_view code);
    void resetToShadow(int n);
    void ClearValues(int n);
    void dropValues(int n);

    // ---- Undo and redo ---------------------------------------------------------------------
    struct Outcome {
        EditFocus shown;         ///< what the editor should show now
        bool renumbered = false; ///< materials were added, removed or moved
        /// the tree's nodes changed: renumbered, or a material's name or category changed
        bool treeChanged = false;
    };

    /// The editor's way of showing what an undo or a redo concerns (`Outcome::shown`).
    using FocusShower = std::function<void(const Outcome&)>;

    bool canUndo() const;
    bool canRedo() const;
    /// Label of the edit an undo (a redo) would take back (make again); "" for none.
    const std::string& undoLabel() const;
    const std::string& redoLabel() const;
    /// Take back the last edit, make the last undone one again. With `show`, the notice
    /// says the focus is shown after it (`LibraryChange::focusShownAfter`), and `show` is
    /// called once every listener has followed the change.
    std::optional<Outcome> undo(const FocusShower& show = {});
    std::optional<Outcome> redo(const FocusShower& show = {});
    /// Forgets every edit: the library has been replaced or closed.
    void clear();

    std::size_t undoCount() const;
    std::size_t redoCount() const;

    /// Called whenever what can be undone or redone has changed.
    std::function<void()> onChanged;

    // ---- Change notices ------------------------------------------------------------------
    using ChangeListener = std::function<void(const LibraryChange&)>;
    /// Adds a listener told of every edit once it is complete, and of every undo and redo;
    /// returns the id that removes it. Listeners run in the order they were added.
    int addListener(ChangeListener listener);
    void removeListener(int id);

    struct Entry;

private:
    struct Step;
    void end();
    void record(Step step);
    /// Runs `change` on material n and records what it altered there.
    void changeInPlace(int n, const std::function<void()>& change);
    void notify() const;
    void announce(const Entry& entry, LibraryChange::Cause cause, EditFocus shown,
                  bool focusShownAfter = false) const;

    Library& library_;
    std::vector<Entry> undo_;
    std::vector<Entry> redo_;
    std::unique_ptr<Entry> open_; // the edit being made
    int depth_ = 0;
    std::vector<std::pair<int, ChangeListener>> listeners_;
    int nextListener_ = 1;
};

} // namespace mb

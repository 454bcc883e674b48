#include "MergeConflictList.h"

#include "AppState.h"
#include "Controls.h"
#include "MaterialComparison.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"
#include "TreeEditing.h"

#include <cstdio>
#include <filesystem>

namespace mb {

namespace {

using Kind = ConflictEntry::Kind;
using Side = ConflictEntry::Side;

std::string KindTitle(const ConflictEntry& e) {
    switch (e.kind) {
    case Kind::Value:
        return e.code;
    case Kind::Description:
        return "Description";
    case Kind::NameCode:
        return "Name code";
    case Kind::Category:
        return "Category";
    case Kind::Name:
        return "Name";
    case Kind::Material:
        return "Material removed or added";
    case Kind::Limit:
        return "Past the 1001 materials";
    }
    return e.code;
}

// Only the material as a whole has no value a button could set: what the other side
// holds of it is not in the conflict file.
bool Settable(const ConflictEntry& e, Side side) {
    if (e.kind == Kind::Material || e.kind == Kind::Limit) return false;
    return e.kind == Kind::Value || e.sides[side].has_value();
}

std::string Count(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " conflict" : " conflicts");
}

} // namespace

std::string conflictMaterialGone(const std::string& name) {
    return "No material named '" + name +
           "' is in the library: decide this conflict by hand, then choose Take Ours.";
}

std::string conflictFileUnreadable(const std::string& error) {
    return "The merge conflicts beside this library could not be read, so none are shown:\n" +
           error + "\nThe file is left as it is.";
}

MergeConflictList::MergeConflictList(AppState& state, ConflictListControl& list,
                                     ConflictEditor& editor, MessageBox& messages)
    : state_(state), list_(list), editor_(editor), messages_(messages) {
    listener_ = state_.history.addListener([this](const LibraryChange& c) { follow(c); });
}

MergeConflictList::~MergeConflictList() {
    state_.history.removeListener(listener_);
}

void MergeConflictList::libraryOpened(const std::string& path) {
    items_.clear();
    done_.clear();
    undone_.clear();
    loaded_ = false;
    const std::string file = conflictFilePath(path);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        show(0);
        list_.setShown(false);
        return;
    }
    ConflictFileContent read = readConflictFile(file);
    if (!read.error.empty()) {
        // Nothing is written over a file that could not be read: it may hold conflicts
        // this program cannot show, which are still to be decided.
        show(0);
        list_.setShown(false);
        messages_.show(conflictFileUnreadable(read.error), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    for (ConflictEntry& e : read.conflicts)
        items_.push_back({std::move(e), false});
    loaded_ = true;
    show(0);
    list_.setShown(true);
}

void MergeConflictList::librarySaved(const std::string& path) {
    if (!loaded_) return;
    const std::string file = conflictFilePath(path);
    const std::vector<ConflictEntry> open = openConflicts();
    if (open.empty()) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
        if (ec)
            messages_.show("Cannot remove " + file + ": " + ec.message(), MsgButtons::OK,
                           MsgIcon::Exclamation);
        return;
    }
    if (const std::string error = writeConflictFile(file, open); !error.empty())
        messages_.show(error, MsgButtons::OK, MsgIcon::Exclamation);
}

std::vector<ConflictEntry> MergeConflictList::openConflicts() const {
    std::vector<ConflictEntry> open;
    for (const Item& item : items_)
        if (!item.decided) open.push_back(item.entry);
    return open;
}

void MergeConflictList::refresh() {
    show(selectedItem());
}

void MergeConflictList::show(std::size_t selectItem) {
    const std::string units = editor_.UnitSystem();
    const std::string separator =
        state_.doc.DecimalSeparator.empty() ? std::string(".") : state_.doc.DecimalSeparator;
    std::vector<ConflictRow> rows;
    rows_.clear();
    int selected = -1;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].decided) continue;
        const ConflictEntry& e = items_[i].entry;
        ConflictRow row{e.name, KindTitle(e), {}, {}, {}};
        std::string* shown[] = {&row.base, &row.ours, &row.theirs};
        for (int side = 0; side < 3; ++side) {
            if (e.kind == Kind::Value)
                *shown[side] =
                    e.si[side] ? shownValueWithUnits(e.slot, *e.si[side], units, separator) : "-";
            else
                *shown[side] = e.sides[side].value_or("-");
        }
        // The row at or after the one asked for: a decided conflict passes the selection on.
        if (selected < 0 && i >= selectItem) selected = static_cast<int>(rows.size());
        rows_.push_back(i);
        rows.push_back(std::move(row));
    }
    if (selected < 0 && !rows.empty() && selectItem < items_.size())
        selected = static_cast<int>(rows.size()) - 1;
    list_.setRows(rows);
    list_.selectRow(selected);
    std::size_t decided = items_.size() - rows.size();
    if (!loaded_)
        list_.setStatus("");
    else if (rows.empty())
        list_.setStatus("All conflicts decided: saving the library removes its .conflicts file.");
    else
        list_.setStatus(Count(rows.size()) + " to decide" +
                        (decided ? ", " + std::to_string(decided) + " decided" : std::string()) +
                        ". Saving the library keeps its .conflicts file up to date.");
    enableButtons();
}

std::size_t MergeConflictList::selectedItem() const {
    const int row = list_.selectedRow();
    return row >= 0 && static_cast<std::size_t>(row) < rows_.size()
               ? rows_[static_cast<std::size_t>(row)]
               : items_.size();
}

void MergeConflictList::enableButtons() {
    const std::size_t i = selectedItem();
    if (i == items_.size()) {
        list_.setTakeEnabled(false, false, false);
        return;
    }
    const ConflictEntry& e = items_[i].entry;
    list_.setTakeEnabled(true, Settable(e, ConflictEntry::Theirs),
                         Settable(e, ConflictEntry::Base));
}

int MergeConflictList::materialOf(const ConflictEntry& entry) const {
    const std::string key = nameKey(entry.name);
    const Library& library = state_.library;
    for (int i = 0; i < library.materialCount(); ++i)
        if (nameKey(library.entry(i).Name) == key) return i;
    return -1;
}

void MergeConflictList::conflictList_Click() {
    enableButtons();
    const std::size_t i = selectedItem();
    if (i == items_.size()) return;
    if (const int n = materialOf(items_[i].entry); n >= 0) editor_.showMaterial(n);
}

void MergeConflictList::takeOurs() {
    const std::size_t i = selectedItem();
    if (i == items_.size()) return;
    // The library holds our side already: deciding changes nothing to undo.
    items_[i].decided = true;
    show(i);
}

void MergeConflictList::takeTheirs() {
    take(ConflictEntry::Theirs);
}

void MergeConflictList::takeBase() {
    take(ConflictEntry::Base);
}

void MergeConflictList::take(Side side) {
    const std::size_t i = selectedItem();
    if (i == items_.size() || !Settable(items_[i].entry, side)) return;
    const ConflictEntry entry = items_[i].entry;
    const int n = materialOf(entry);
    if (n < 0) {
        messages_.show(conflictMaterialGone(entry.name), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    Decision d{i,
               std::string(side == ConflictEntry::Theirs ? "Take theirs: " : "Take base: ") +
                   entry.code + " of " + std::string(trimBlanks(state_.library.entry(n).Name)),
               {},
               {}};
    const std::size_t before = state_.history.undoCount();
    // The edit's notice goes out as it closes: this list knows of it already.
    pending_ = true;
    bool applied = false;
    {
        const auto edit = state_.history.begin(d.label, EditFocus::onMaterial(n));
        applied = apply(entry, n, side);
    }
    pending_ = false;
    if (!applied) return;
    if (entry.kind == Kind::Name) {
        d.renamedFrom = entry.name;
        d.renamedTo = *entry.sides[side];
    }
    decide(d, true);
    // The library held that side already: nothing was recorded, so nothing can be undone.
    if (state_.history.undoCount() > before) {
        done_.push_back(d);
        undone_.clear();
    }
    show(i);
    if (const int m = materialOf(items_[i].entry); m >= 0) editor_.showMaterial(m);
}

bool MergeConflictList::apply(const ConflictEntry& entry, int n, Side side) {
    EditHistory& history = state_.history;
    const Library& library = state_.library;
    const std::string text = entry.sides[side].value_or("");
    switch (entry.kind) {
    case Kind::Value: {
        const std::string& code = PropertyCatalogue::instance().PropCode(entry.slot);
        if (entry.si[side])
            history.SetValue(n, code, *entry.si[side]);
        else
            history.ClearValue(n, code);
        return true;
    }
    case Kind::Description:
        history.setDescription(n, text);
        return true;
    case Kind::NameCode: {
        LibraryEntry e = library.entry(n);
        e.NameCode = padRight(text, 13);
        history.setEntryTexts(n, e);
        return true;
    }
    case Kind::Category: {
        // Into the category as the library spells it, if it has one of that name.
        std::string category = text + "    ";
        for (int j = 0; j < library.materialCount(); ++j)
            if (equalsNoCase(trimBlanks(library.entry(j).Category), text)) {
                category = library.entry(j).Category;
                break;
            }
        history.moveMaterialToEnd(n, category);
        return true;
    }
    case Kind::Name:
        for (int j = 0; j < library.materialCount(); ++j)
            if (j != n && nameKey(library.entry(j).Name) == nameKey(text)) {
                messages_.show(kMaterialExists, MsgButtons::OK, MsgIcon::Exclamation);
                return false;
            }
        history.renameMaterial(n, text);
        return true;
    case Kind::Material:
    case Kind::Limit:
        return false;
    }
    return false;
}

void MergeConflictList::decide(const Decision& d, bool decided) {
    items_[d.item].decided = decided;
    if (d.renamedFrom.empty()) return;
    const std::string from = nameKey(decided ? d.renamedFrom : d.renamedTo);
    const std::string& to = decided ? d.renamedTo : d.renamedFrom;
    for (Item& item : items_)
        if (nameKey(item.entry.name) == from) item.entry.name = to;
}

void MergeConflictList::follow(const LibraryChange& change) {
    if (pending_) return;
    switch (change.cause) {
    case LibraryChange::Cause::Edit:
        // A new edit ends every redo, ours among them.
        undone_.clear();
        return;
    case LibraryChange::Cause::Undo:
        if (done_.empty() || done_.back().label != change.label) return;
        decide(done_.back(), false);
        undone_.push_back(done_.back());
        done_.pop_back();
        show(undone_.back().item);
        return;
    case LibraryChange::Cause::Redo:
        if (undone_.empty() || undone_.back().label != change.label) return;
        decide(undone_.back(), true);
        done_.push_back(undone_.back());
        undone_.pop_back();
        show(done_.back().item);
        return;
    }
}

} // namespace mb

#include "CompareWithLibrary.h"

#include "AppState.h"
#include "Controls.h"
#include "EditingCommands.h"
#include "EditorView.h"
#include "LibraryFile.h"
#include "MaterialComparison.h"
#include "NodeKey.h"
#include "PropertyCatalogue.h"

namespace mb {

CompareWithLibrary::CompareWithLibrary(AppState& state, EditorView& view, MessageBox& messages)
    : state_(state), view_(view), messages_(messages) {}

std::string readOtherLibrary(const std::string& path, Library& other,
                             const std::string& decimalSeparator) {
    const ReadResult read = ReadLibraryFile(path, other, decimalSeparator);
    switch (read.status) {
    case ReadResult::Status::Loaded:
        return "";
    case ReadResult::Status::NotALibrary:
        return path + ": " + kNotALibraryMessage;
    case ReadResult::Status::CannotOpen:
        break;
    }
    return "Cannot open " + path + ": " + read.message;
}

std::string CompareWithLibrary::open(const std::string& path) {
    Library other;
    if (std::string message = readOtherLibrary(path, other, state_.doc.DecimalSeparator);
        !message.empty())
        return message;
    other_ = std::move(other);
    path_ = path;
    refresh();
    return "";
}

void CompareWithLibrary::refresh() {
    comparison_ = compareLibraries(state_.library, other_);
}

bool CompareWithLibrary::canTakeOver(const LibraryDifference& difference) {
    return difference.kind == LibraryDifference::Kind::Added ||
           difference.kind == LibraryDifference::Kind::Value;
}

std::string CompareWithLibrary::shownSide(const LibraryDifference& difference, bool other) const {
    if (difference.kind != LibraryDifference::Kind::Value)
        return other ? difference.after : difference.before;
    if (!(other ? difference.hasValue : difference.hadValue)) return "";
    // The file's number text would show 11400E7 where the grid beside it shows psi.
    return shownValueWithUnits(difference.slot, other ? difference.newValue : difference.oldValue,
                               view_.UnitSystem(), state_.doc.DecimalSeparator);
}

bool CompareWithLibrary::takeOver(std::size_t i) {
    if (i >= comparison_.differences.size()) return false;
    const LibraryDifference difference = comparison_.differences[i];
    bool done = false;
    if (difference.kind == LibraryDifference::Kind::Added)
        done = takeOverMaterial(difference);
    else if (difference.kind == LibraryDifference::Kind::Value)
        done = takeOverValue(difference);
    if (done) refresh();
    return done;
}

bool CompareWithLibrary::takeOverMaterial(const LibraryDifference& difference) {
    Library& library = state_.library;
    if (library.isFull()) {
        messages_.show(kLibraryFull, MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
    const int source = difference.newNumber;
    const int shown = view_.CurrentMaterial();
    const auto edit = state_.history.begin(
        "Take over " + difference.name,
        library.isValidNumber(shown) ? EditFocus::onMaterial(shown) : EditFocus{});
    // Both records as the other file has it: a reset gives back the material as taken over.
    const int n = state_.history.addMaterial(other_.entry(source), other_.material(source),
                                             other_.material(source));
    if (n < 0) return false;

    const LibraryEntry& entry = library.entry(n);
    TreeControl& tree = view_.tree();
    const std::string key = materialNodeKey(entry.Category, entry.Name, n);
    // Fails without effect when the category is there already.
    tree.addNode(std::nullopt, entry.Category, entry.Category, "closedbook");
    tree.addNode(entry.Category, key, entry.Name, "leaf");
    tree.select(key);
    tree.ensureVisible(key);
    view_.TreeView1_NodeClick(key);
    return true;
}

bool CompareWithLibrary::takeOverValue(const LibraryDifference& difference) {
    Library& library = state_.library;
    const int n = difference.oldNumber;
    if (!library.isValidNumber(n)) return false;
    const std::string& code = PropertyCatalogue::instance().PropCode(difference.slot);
    EditHistory& history = state_.history;
    const auto edit = history.begin("Take over " + code + " of " + difference.name);
    // The grid follows the edit's notice when it shows the material.
    if (difference.hasValue)
        history.SetValue(n, code, difference.newValue);
    else
        history.ClearValue(n, code);
    return true;
}

} // namespace mb

#include "ImportFromLibrary.h"

#include "AppState.h"
#include "CompareWithLibrary.h"
#include "Controls.h"
#include "EditingCommands.h"
#include "EditorView.h"
#include "MaterialPicker.h"
#include "NodeKey.h"
#include "TextUtil.h"

#include <optional>
#include <set>

namespace mb {

std::string importEditLabel(int count) {
    return "Import " + std::to_string(count) + (count == 1 ? " Material" : " Materials");
}

std::string copyNameTakenMessage(const std::string& name, const std::string& copyName) {
    return "\"" + copyName + "\" exists as well: " + name + " was not imported.";
}

ImportFromLibrary::ImportFromLibrary(AppState& state, EditorView& view, MessageBox& messages,
                                     ExchangeDialogs& dialogs)
    : state_(state), view_(view), messages_(messages), dialogs_(dialogs) {}

void ImportFromLibrary::run(FileDialogs& files) {
    const auto path = files.openFile(kImportFromLibraryTitle, kCompareDialogFilter);
    if (!path) return;
    if (const std::string message = open(*path); !message.empty()) {
        messages_.show(message, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    chooseAndImport();
}

std::string ImportFromLibrary::open(const std::string& path) {
    Library other;
    std::string message = readOtherLibrary(path, other, state_.doc.DecimalSeparator);
    if (message.empty()) {
        other_ = std::move(other);
        path_ = path;
    }
    return message;
}

void ImportFromLibrary::chooseAndImport() {
    const auto dialog = dialogs_.importFromLibraryDialog();
    dialog->setSource(path_);
    MaterialPicker picker(other_, *dialog, view_.UnitSystem(), state_.doc.DecimalSeparator);
    picker.checksChanged = [&] { dialog->setImportEnabled(!picker.checkedMaterials().empty()); };
    picker.fill();
    dialog->setImportEnabled(false);
    if (!dialog->exec(picker)) return;
    if (const std::vector<int> chosen = picker.checkedMaterials(); !chosen.empty())
        importMaterials(chosen);
}

int ImportFromLibrary::importMaterials(const std::vector<int>& chosen) {
    Library& library = state_.library;
    struct Planned {
        int source;
        LibraryEntry texts;
        bool changed; // the texts differ from the other library's
    };
    std::vector<Planned> plan;
    std::vector<std::string> notes;
    std::set<std::string> taken;
    for (int i = 0; i < library.materialCount(); ++i)
        taken.insert(nameKey(library.entry(i).Name));
    std::optional<CollisionAnswer> forAll;

    for (const int source : chosen) {
        if (!other_.isValidNumber(source)) continue;
        const LibraryEntry& entry = other_.entry(source);
        const std::string name(trimBlanks(entry.Name));
        std::vector<std::string> fitNotes;
        LibraryEntry texts = fitCopiedTexts(name, entry.NameCode, entry.Description, fitNotes);
        if (taken.count(nameKey(texts.Name))) {
            fitNotes.clear();
            LibraryEntry copy =
                fitCopiedTexts(kCopyPrefix + name, entry.NameCode, entry.Description, fitNotes);
            const CollisionAnswer answer =
                forAll ? *forAll : dialogs_.askNameCollision(name, copy.Name);
            if (answer == CollisionAnswer::Cancel) return 0;
            if (answer == CollisionAnswer::CopyAll) forAll = CollisionAnswer::Copy;
            if (answer == CollisionAnswer::SkipAll) forAll = CollisionAnswer::Skip;
            if (answer == CollisionAnswer::Skip || answer == CollisionAnswer::SkipAll) continue;
            if (taken.count(nameKey(copy.Name))) {
                notes.push_back(copyNameTakenMessage(name, copy.Name));
                continue;
            }
            texts = std::move(copy);
        }
        notes.insert(notes.end(), fitNotes.begin(), fitNotes.end());
        taken.insert(nameKey(texts.Name));
        const bool changed = texts.Name != name || texts.NameCode != entry.NameCode ||
                             texts.Description != entry.Description;
        // Unchanged texts go in as the file had them, trailing blanks and all.
        if (!changed) texts = entry;
        texts.Category = entry.Category;
        plan.push_back({source, std::move(texts), changed});
    }

    const std::size_t room = static_cast<std::size_t>(kMaxMaterials - library.materialCount());
    const bool leftOut = plan.size() > room;
    if (leftOut) plan.resize(room);

    int first = -1;
    if (!plan.empty()) {
        TreeControl& tree = view_.tree();
        EditHistory& history = state_.history;
        {
            const auto edit =
                history.begin(importEditLabel(static_cast<int>(plan.size())), selectedNode(tree));
            for (const Planned& p : plan) {
                // Both records as the other file has them: a reset gives back the material as
                // imported.
                clsMaterial record = other_.material(p.source);
                if (p.changed) {
                    record.MaterialName(p.texts.Name);
                    record.MaterialNameCode(p.texts.NameCode);
                    record.MaterialDescription(p.texts.Description);
                }
                const int n = history.addMaterial(p.texts, record, record);
                if (first < 0) first = n;
            }
        }
        // The tree has grown with the import's notice.
        for (const std::string& key : tree.keysInOrder()) {
            if (!tree.parentKey(key) || keyTailNumber(key) != first) continue;
            tree.select(key);
            tree.ensureVisible(key);
            view_.TreeView1_NodeClick(key);
            break;
        }
    }
    if (leftOut) messages_.show(kLibraryFull, MsgButtons::OK, MsgIcon::Exclamation);
    if (!notes.empty()) messages_.show(joinLines(notes), MsgButtons::OK, MsgIcon::Exclamation);
    return static_cast<int>(plan.size());
}

} // namespace mb

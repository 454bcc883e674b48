#include "EditingCommands.h"

#include "AppState.h"
#include "Controls.h"
#include "EditorView.h"
#include "LibraryTextRules.h"
#include "NodeKey.h"
#include "TextUtil.h"
#include "TreeEditing.h"

#include <utility>

namespace mb {

namespace {

std::string Trimmed(const std::string& s) {
    return std::string(trimBlanks(s));
}

bool StartsWithDigit(const std::string& s) {
    const std::string_view rest = trimLeftBlanks(s);
    return !rest.empty() && rest.front() >= '0' && rest.front() <= '9';
}

} // namespace

std::string pastedNameExistsMessage(const std::string& name) {
    return "Material Name (" + name + ") exists. Please rename it before pasting.";
}

LibraryEntry fitCopiedTexts(const std::string& name, std::string nameCode, std::string description,
                            std::vector<std::string>& notes) {
    std::string fittedName = Trimmed(name);
    if (hasControlCharacter(fittedName + nameCode + description)) {
        fittedName = Trimmed(replaceControlCharacters(fittedName));
        nameCode = replaceControlCharacters(nameCode);
        description = replaceControlCharacters(description);
        notes.emplace_back(kPastedControlCharactersReplaced);
    }
    if (fittedName.size() > kNameColumns) {
        fittedName = cutToColumns(fittedName, kNameColumns);
        notes.push_back(kPastedNameShortened + fittedName + kPastedNameShortenedEnd);
    }
    if (description.size() > kDescriptionColumns) {
        description.resize(kDescriptionColumns);
        notes.emplace_back(kPastedDescriptionShortened);
    }
    return {"", std::move(nameCode), std::move(fittedName), std::move(description)};
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += text.empty() ? line : "\n" + line;
    return text;
}

EditFocus selectedNode(const TreeControl& tree) {
    const auto key = tree.selectedKey();
    if (!key) return {};
    return IsCategoryKey(*key) ? EditFocus::onCategory(*key)
                               : EditFocus::onMaterial(keyTailNumber(*key));
}

std::string newMaterialNameCode(const std::string& typedName) {
    const std::string_view trimmed = trimBlanks(typedName);
    if (trimmed.size() >= kNameCodeLength) return typedName.substr(0, kNameCodeLength);
    return padRight(trimmed, kNameCodeLength);
}

EditingCommands::EditingCommands(AppState& state, EditorView& view, MessageBox& messages,
                                 MaterialClipboard* clipboard)
    : state_(state), view_(view), messages_(messages), clipboard_(clipboard),
      operations_(state, view, messages) {
    view_.descriptionBox().setMaxLength(static_cast<int>(kDescriptionColumns));
    changeListener_ = state_.history.addListener([this](const LibraryChange& change) {
        // The remembered number may now name another material, or none.
        if (change.numbersShifted) state_.doc.CopiedMaterialNumber = -1;
    });
}

EditingCommands::~EditingCommands() {
    state_.history.removeListener(changeListener_);
}

// ---- Adding a material ----------------------------------------------------------------

void EditingCommands::newMaterial() {
    const std::string c = view_.categoryBox().text();
    const std::string a = view_.nameBox().text();
    if (trimBlanks(c).empty() || trimBlanks(a).empty()) {
        messages_.show(kSetCategoryAndNameFirst, MsgButtons::OK, MsgIcon::None);
        return;
    }
    const TreeControl& tree = view_.tree();
    const auto selected = tree.selectedKey();
    if (!selected || tree.childCount(*selected) == 0) {
        messages_.show(kNoMaterialWithinMaterial, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    onNewMaterial();
}

bool EditingCommands::validateBoxes(bool checkLeadingDigit) {
    const std::string c = view_.categoryBox().text();
    const std::string a = view_.nameBox().text();
    auto refuse = [this](const char* message, TextBox& box) {
        messages_.show(message, MsgButtons::OK, MsgIcon::Exclamation);
        box.setFocus();
        return false;
    };
    if (trimBlanks(c).empty()) return refuse(kSpecifyCategory, view_.categoryBox());
    if (checkLeadingDigit && StartsWithDigit(c))
        return refuse(kCategoryStartsWithNumber, view_.categoryBox());
    if (trimBlanks(a).empty()) return refuse(kSpecifyName, view_.nameBox());
    return true;
}

bool EditingCommands::validateLibraryText(const std::string& storedDescription) {
    auto refuse = [this](const char* message, TextBox& box) {
        messages_.show(message, MsgButtons::OK, MsgIcon::Exclamation);
        box.setFocus();
        return false;
    };
    const std::string c = view_.categoryBox().text();
    const std::string a = view_.nameBox().text();
    if (hasControlCharacter(c)) return refuse(kCategoryHasControlCharacter, view_.categoryBox());
    if (hasControlCharacter(a)) return refuse(kNameHasControlCharacter, view_.nameBox());
    // The name box's own limit counts blanks and is checked as the box is left; what
    // matters here is the trimmed name that is stored.
    if (trimBlanks(a).size() > kNameColumns) return refuse(kNameTooWide, view_.nameBox());
    if (hasControlCharacter(view_.descriptionBox().text()))
        return refuse(kDescriptionHasControlCharacter, view_.descriptionBox());
    if (storedDescription.size() > kDescriptionColumns)
        return refuse(kDescriptionTooWide, view_.descriptionBox());
    return true;
}

bool EditingCommands::nameTaken(const std::string& name) const {
    const Library& library = state_.library;
    for (int i = 0; i <= library.LastMaterialIndex(); ++i)
        if (equalsNoCase(trimBlanks(library.entry(i).Name), name)) return true;
    return false;
}

bool EditingCommands::refuseWhenFull() {
    if (!state_.library.isFull()) return false;
    messages_.show(kLibraryFull, MsgButtons::OK, MsgIcon::Exclamation);
    return true;
}

void EditingCommands::onNewMaterial() {
    if (!validateBoxes(true)) return;
    if (nameTaken(Trimmed(view_.nameBox().text()))) {
        messages_.show(kNameExists, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (!validateLibraryText(Trimmed(view_.descriptionBox().text()))) return;
    // Refused before the question: a Yes could not be honoured.
    if (refuseWhenFull()) return;
    if (messages_.show(kAddQuestion, MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes) {
        view_.nameBox().setText("");
        view_.categoryBox().setText("");
        view_.descriptionBox().setText("");
        return;
    }
    if (!AddMaterialNode()) return;
    view_.showMaterialPane();
}

bool EditingCommands::AddMaterialNode() {
    if (refuseWhenFull()) return false;
    Library& library = state_.library;
    const std::string typedCategory = view_.categoryBox().text();
    const std::string typedName = view_.nameBox().text();
    const std::string name = Trimmed(typedName);
    const std::string description = Trimmed(view_.descriptionBox().text());
    EditHistory& history = state_.history;
    const auto edit = history.begin("Add " + name, selectedNode(view_.tree()));

    // The index groups the material under the trimmed category with the usual trailing
    // blanks; both records take the category as typed and the name code of the typed name.
    clsMaterial shadow;
    shadow.MaterialType(typedCategory);
    shadow.MaterialName(name);
    shadow.MaterialNameCode(newMaterialNameCode(typedName));
    shadow.MaterialDescription(description);
    clsMaterial record;
    record.Copy(shadow);
    const int n =
        history.addMaterial(LibraryEntry{Trimmed(typedCategory) + "    ", "", name, description},
                            std::move(record), std::move(shadow));

    addTreeNode(n, library.entry(n).Category);
    CompleteNewMaterial();
    markBoxesStored();
    return true;
}

void EditingCommands::addTreeNode(int n, const std::string& categoryKey) {
    Library& library = state_.library;
    TreeControl& tree = view_.tree();
    const std::string& name = library.entry(n).Name;
    const std::string key = materialNodeKey(categoryKey, name, n);

    // Fails without effect when the category node is there already.
    tree.addNode(std::nullopt, categoryKey, categoryKey, "closedbook");
    tree.addNode(categoryKey, key, name, "leaf");
    tree.select(key);
    if (!IsCategoryKey(library.LastNodeKey)) tree.setImage(library.LastNodeKey, "leaf");
    library.LastNodeKey = key;
    tree.setImage(key, "leaf1");
}

void EditingCommands::CompleteNewMaterial() {
    const int n = state_.library.LastMaterialIndex();
    if (n < 0) return;
    state_.history.resetToShadow(n);
    ClearValueGrid();
}

void EditingCommands::ClearValueGrid() {
    view_.showEmptyValueGrid();
}

// ---- Reset ------------------------------------------------------------------------------

void EditingCommands::onMaterialSet() {
    Library& library = state_.library;
    TreeControl& tree = view_.tree();
    if (SelectedMaterialNumber(tree) == -1) return;
    if (!validateBoxes(false)) return;
    // The index entry takes the description as typed, blanks and all.
    if (!validateLibraryText(view_.descriptionBox().text())) return;

    const std::string c = view_.categoryBox().text();
    const std::string a = view_.nameBox().text();
    const std::string description = view_.descriptionBox().text();
    const std::string rememberedKey = library.LastNodeKey;
    int k = keyTailNumber(tree.selectedKey().value_or(""));
    // Whatever the questions lead to is one edit; an answer that changes nothing records
    // nothing.
    EditHistory& history = state_.history;
    std::optional<std::string> selected;
    bool written = false;
    {
        const auto edit = history.begin("Reset " + Trimmed(a), selectedNode(tree));

        const std::string wanted = Trimmed(c) + Trimmed(a);
        int match = -1;
        for (int i = 0; i <= library.LastMaterialIndex() && match < 0; ++i) {
            const LibraryEntry& e = library.entry(i);
            if (equalsNoCase(Trimmed(e.Category) + Trimmed(e.Name), wanted)) match = i;
        }

        bool write = false;
        if (match >= 0) {
            if (messages_.show(kOverwriteQuestion, MsgButtons::OKCancel, MsgIcon::Question) ==
                MsgResult::OK) {
                write = true;
                // Whichever material is selected, material 0 included: writing into the
                // selected one would empty the match and leave two materials of one name.
                k = match;
            }
        }
        // Kept as typed: a category without the usual trailing blanks gets a node of its own.
        const LibraryEntry typed{c, newMaterialNameCode(a), Trimmed(a), description};
        // What a material that has no records yet starts from.
        const auto newShadow = [&] {
            clsMaterial shadow;
            shadow.MaterialType(c + "  ");
            shadow.MaterialName(typed.Name);
            shadow.MaterialDescription(Trimmed(description));
            shadow.MaterialNameCode(typed.NameCode);
            return shadow;
        };
        if (match < 0 && !refuseWhenFull() &&
            messages_.show(kAddQuestion, MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes) {
            write = true;
            clsMaterial shadow = newShadow();
            clsMaterial record;
            record.CopyAllProperties(shadow);
            k = history.addMaterial(typed, std::move(record), std::move(shadow));
            addTreeNode(k, typed.Category);
        }

        if (write && library.isValidNumber(k)) {
            history.setEntryTexts(k, typed);
            if (!library.hasRecord(k)) history.setRecords(k, clsMaterial(), newShadow());
            // The shadow is left as it is: the working record takes back its texts and
            // values, while the index entry shows the typed texts.
            history.resetToShadow(k);
            written = true;
        }
        selected = tree.selectedKey();
    }
    // The tree and the grid have followed the edit.
    if (written) {
        keepTreeInStep(selected);
        markBoxesStored();
    }

    library.LastNodeKey = rememberedKey;
    if (!tree.exists(library.LastNodeKey) && !IsCategoryKey(library.LastNodeKey))
        library.LastNodeKey = keyOfMaterial(keyTailNumber(rememberedKey));
}

std::string EditingCommands::keyOfMaterial(int n) const {
    const Library& library = state_.library;
    if (!library.isValidNumber(n)) return "";
    return materialNodeKey(library.entry(n).Category, library.entry(n).Name, n);
}

void EditingCommands::keepTreeInStep(const std::optional<std::string>& selected) {
    TreeControl& tree = view_.tree();
    // Untouched unless the typed category or name gave the material another node: the
    // tree was then built afresh, as an undo or redo of the edit builds it.
    if (!selected || tree.selectedKey() == selected) return;
    const std::string key = IsCategoryKey(*selected) || tree.exists(*selected)
                                ? *selected
                                : keyOfMaterial(keyTailNumber(*selected));
    tree.ensureVisible(key);
    tree.select(key);
    if (!IsCategoryKey(key)) tree.setImage(key, "leaf1");
}

// ---- Rename -----------------------------------------------------------------------------

void EditingCommands::renameSelected() {
    TreeControl& tree = view_.tree();
    const auto key = tree.selectedKey();
    if (!key) return;
    // A category's label opens too: the refusal comes when the edit ends, as for any
    // label edit.
    tree.editLabel(*key);
}

// ---- Copy and paste ---------------------------------------------------------------------

void EditingCommands::onCopyMaterial() {
    const TreeControl& tree = view_.tree();
    DocumentState& doc = state_.doc;
    const std::string key = tree.selectedKey().value_or("");
    if (key.empty()) return;
    if (IsCategoryKey(key) && tree.childCount(key) > 0) {
        messages_.show(kCannotCopyCategory, MsgButtons::OK, MsgIcon::Exclamation);
        doc.CopiedMaterialNumber = -1;
        if (clipboard_) clipboard_->noteCopy();
        return;
    }
    const int k = keyTailNumber(key);
    doc.CopiedMaterialNumber = static_cast<int16_t>(k);
    doc.CopiedName = state_.library.entry(k).Name;
    if (clipboard_) putOnClipboard(k);
}

void EditingCommands::putOnClipboard(int k) {
    Library& library = state_.library;
    // Nothing to put, but the clipboard's material is older than this Copy all the same.
    if (!library.isValidNumber(k)) {
        clipboard_->noteCopy();
        return;
    }
    std::string block;
    library.material(k).format(block);
    clipboard_->putMaterial(block, tabSeparatedRows(view_.shownRows(k)));
}

void EditingCommands::onPasteMaterial() {
    Library& library = state_.library;
    const TreeControl& tree = view_.tree();
    const DocumentState& doc = state_.doc;
    const int source = doc.CopiedMaterialNumber;
    const auto selected = tree.selectedKey();
    if (!selected) return;
    if (clipboard_) {
        if (const auto foreign = clipboard_->foreignMaterial()) {
            pasteFromClipboard(foreign->material);
            return;
        }
    }
    if (source == -1 || source > library.LastMaterialIndex()) return;

    if (!equalsNoCase(library.entry(source).Name, doc.CopiedName)) {
        messages_.show(kCopySourceGone, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    const LibraryEntry& sourceEntry = library.entry(source);
    // The working copy carries the source's current values, edits never saved included.
    pasteCopy(
        doc.CopiedName, sourceEntry.NameCode, sourceEntry.Description,
        [&](const LibraryEntry& entry) { return state_.history.copyMaterial(source, entry); });
}

void EditingCommands::pasteFromClipboard(const std::variant<ClipMaterial, std::string>& clip) {
    if (const auto* reason = std::get_if<std::string>(&clip)) {
        messages_.show(kClipboardMaterialUnreadable + *reason, MsgButtons::OK,
                       MsgIcon::Exclamation);
        return;
    }
    const ClipMaterial& material = std::get<ClipMaterial>(clip);
    // The block holds the values as they were when copied; they are also what a reset of
    // the pasted material goes back to.
    pasteCopy(material.name, material.nameCode, material.description,
              [&](const LibraryEntry& entry) {
                  return state_.history.addMaterial(entry, recordWithTexts(material.record, entry),
                                                    recordWithTexts(material.record, entry));
              });
}

void EditingCommands::pasteCopy(const std::string& name, std::string nameCode,
                                std::string description,
                                const std::function<int(const LibraryEntry&)>& insert) {
    Library& library = state_.library;
    TreeControl& tree = view_.tree();
    const auto selected = tree.selectedKey();
    if (!selected) return;
    // A name read from a file may hold a tab, and "Copy of " makes a long name longer than
    // its columns.
    std::vector<std::string> notes;
    const LibraryEntry fitted =
        fitCopiedTexts(kCopyPrefix + name, std::move(nameCode), std::move(description), notes);
    const std::string& p = fitted.Name;
    if (nameTaken(p)) {
        messages_.show(pastedNameExistsMessage(p), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (refuseWhenFull()) return;

    const std::string t =
        tree.parentKey(*selected) ? library.entry(keyTailNumber(*selected)).Category : *selected;

    EditHistory& history = state_.history;
    const auto edit = history.begin("Paste " + p, selectedNode(tree));
    const int n = insert(LibraryEntry{t, fitted.NameCode, p, fitted.Description});

    addTreeNode(n, t);

    const LibraryEntry& entry = library.entry(n);
    view_.categoryBox().setText(entry.Category);
    view_.nameBox().setText(entry.Name);
    view_.descriptionBox().setText(entry.Description);
    // The grid shows the copy once the edit's notice has gone out.
    view_.showMaterialPane();
    if (!notes.empty()) messages_.show(joinLines(notes), MsgButtons::OK, MsgIcon::Exclamation);
}

// ---- The three boxes --------------------------------------------------------------------

void EditingCommands::enterNewMaterialMode(TextBox& box) {
    box.setSelLength(static_cast<int>(box.text().size()));
    view_.showNewMaterialPane();
}

bool EditingCommands::inNewMaterialMode() const {
    return view_.newMaterialPaneShown();
}

void EditingCommands::markBoxesStored() {
    for (TextBox* box : {&view_.categoryBox(), &view_.nameBox(), &view_.descriptionBox()})
        box->markStored();
}

void EditingCommands::materialNameText_GotFocus() {
    enterNewMaterialMode(view_.nameBox());
}

void EditingCommands::materialTypeText_GotFocus() {
    enterNewMaterialMode(view_.categoryBox());
}

bool EditingCommands::materialNameText_LostFocus() {
    // Blanks count: the name is written to the file as typed.
    if (view_.nameBox().text().size() <= kMaxNameLength) return true;
    messages_.show(kNameTooLong, MsgButtons::OK, MsgIcon::Critical);
    view_.nameBox().setFocus();
    return false;
}

bool EditingCommands::materialTypeText_LostFocus() {
    if (trimBlanks(view_.categoryBox().text()).size() <= kMaxCategoryLength) return true;
    messages_.show(kCategoryTooLong, MsgButtons::OK, MsgIcon::Critical);
    view_.categoryBox().setFocus();
    return false;
}

void EditingCommands::descriptionText_GotFocus() {
    TextBox& box = view_.descriptionBox();
    box.setSelLength(static_cast<int>(box.text().size()));
}

void EditingCommands::materialNameText_Enter() {
    if (materialNameText_LostFocus() && inNewMaterialMode()) onNewMaterial();
}

void EditingCommands::materialTypeText_Enter() {
    if (materialTypeText_LostFocus() && inNewMaterialMode()) onNewMaterial();
}

void EditingCommands::descriptionText_Enter() {
    if (inNewMaterialMode())
        onNewMaterial();
    else
        descriptionText_LostFocus();
}

bool EditingCommands::descriptionText_LostFocus() {
    // While a new material is typed the box holds its description, not the shown one's.
    if (inNewMaterialMode()) return true;
    Library& library = state_.library;
    // A category's key reads as 0 like material 0's "....0000": only the key's tail tells
    // them apart, and a description typed for material 0 is kept like any other.
    if (IsCategoryKey(library.LastNodeKey)) return true;
    const int k = keyTailNumber(library.LastNodeKey);
    if (!library.isValidNumber(k)) return true;
    TextBox& box = view_.descriptionBox();
    const std::string text = box.text();
    const char* refusal = hasControlCharacter(text)           ? kDescriptionHasControlCharacter
                          : text.size() > kDescriptionColumns ? kDescriptionTooWide
                                                              : nullptr;
    if (refusal) {
        messages_.show(refusal, MsgButtons::OK, MsgIcon::Exclamation);
        box.setFocus();
        return false;
    }
    {
        EditHistory& history = state_.history;
        const auto edit = history.begin("Change description of " + Trimmed(library.entry(k).Name));
        history.setDescription(k, text);
    }
    box.markStored();
    return true;
}

} // namespace mb

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
    return std::string(TrimBlanks(s));
}

bool StartsWithDigit(const std::string& s) {
    const std::string_view rest = TrimLeftBlanks(s);
    return !rest.empty() && rest.front() >= '0' && rest.front() <= '9';
}

} // namespace

std::string PastedNameExistsMessage(const std::string& name) {
    return "Material Name (" + name + ") exists. Please rename it before pasting.";
}

LibraryEntry FitCopiedTexts(const std::string& name, std::string nameCode, std::string description,
                            std::vector<std::string>& notes) {
    std::string fittedName = Trimmed(name);
    if (HasControlCharacter(fittedName + nameCode + description)) {
        fittedName = Trimmed(ReplaceControlCharacters(fittedName));
        nameCode = ReplaceControlCharacters(nameCode);
        description = ReplaceControlCharacters(description);
        notes.emplace_back(kPastedControlCharactersReplaced);
    }
    if (fittedName.size() > kNameColumns) {
        fittedName = CutToColumns(fittedName, kNameColumns);
        notes.push_back(kPastedNameShortened + fittedName + kPastedNameShortenedEnd);
    }
    if (description.size() > kDescriptionColumns) {
        description.resize(kDescriptionColumns);
        notes.emplace_back(kPastedDescriptionShortened);
    }
    return {"", std::move(nameCode), std::move(fittedName), std::move(description)};
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += text.empty() ? line : "\n" + line;
    return text;
}

EditFocus SelectedNode(const TreeControl& tree) {
    const auto key = tree.selectedKey();
    if (!key) return {};
    return IsCategoryKey(*key) ? EditFocus::OnCategory(*key)
                               : EditFocus::OnMaterial(KeyTailNumber(*key));
}

std::string NewMaterialNameCode(const std::string& typedName) {
    const std::string_view trimmed = TrimBlanks(typedName);
    if (trimmed.size() >= kNameCodeLength) return typedName.substr(0, kNameCodeLength);
    return PadRight(trimmed, kNameCodeLength);
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
    if (TrimBlanks(c).empty() || TrimBlanks(a).empty()) {
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

bool EditingCommands::ValidateBoxes(bool checkLeadingDigit) {
    const std::string c = view_.categoryBox().text();
    const std::string a = view_.nameBox().text();
    auto refuse = [this](const char* message, TextBox& box) {
        messages_.show(message, MsgButtons::OK, MsgIcon::Exclamation);
        box.setFocus();
        return false;
    };
    if (TrimBlanks(c).empty()) return refuse(kSpecifyCategory, view_.categoryBox());
    if (checkLeadingDigit && StartsWithDigit(c))
        return refuse(kCategoryStartsWithNumber, view_.categoryBox());
    if (TrimBlanks(a).empty()) return refuse(kSpecifyName, view_.nameBox());
    return true;
}

bool EditingCommands::ValidateLibraryText(const std::string& storedDescription) {
    auto refuse = [this](const char* message, TextBox& box) {
        messages_.show(message, MsgButtons::OK, MsgIcon::Exclamation);
        box.setFocus();
        return false;
    };
    const std::string c = view_.categoryBox().text();
    const std::string a = view_.nameBox().text();
    if (HasControlCharacter(c)) return refuse(kCategoryHasControlCharacter, view_.categoryBox());
    if (HasControlCharacter(a)) return refuse(kNameHasControlCharacter, view_.nameBox());
    // The name box's own limit counts blanks and is checked as the box is left; what
    // matters here is the trimmed name that is stored.
    if (TrimBlanks(a).size() > kNameColumns) return refuse(kNameTooWide, view_.nameBox());
    if (HasControlCharacter(view_.descriptionBox().text()))
        return refuse(kDescriptionHasControlCharacter, view_.descriptionBox());
    if (storedDescription.size() > kDescriptionColumns)
        return refuse(kDescriptionTooWide, view_.descriptionBox());
    return true;
}

bool EditingCommands::NameTaken(const std::string& name) const {
    const Library& library = state_.library;
    for (int i = 0; i <= library.LastMaterialIndex(); ++i)
        if (EqualsNoCase(TrimBlanks(library.Entry(i).Name), name)) return true;
    return false;
}

bool EditingCommands::RefuseWhenFull() {
    if (!state_.library.IsFull()) return false;
    messages_.show(kLibraryFull, MsgButtons::OK, MsgIcon::Exclamation);
    return true;
}

void EditingCommands::onNewMaterial() {
    if (!ValidateBoxes(true)) return;
    if (NameTaken(Trimmed(view_.nameBox().text()))) {
        messages_.show(kNameExists, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (!ValidateLibraryText(Trimmed(view_.descriptionBox().text()))) return;
    // Refused before the question: a Yes could not be honoured.
    if (RefuseWhenFull()) return;
    if (messages_.show(kAddQuestion, MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes) {
        view_.nameBox().setText("");
        view_.categoryBox().setText("");
        view_.descriptionBox().setText("");
        return;
    }
    if (!AddMaterialNode()) return;
    view_.ShowMaterialPane();
}

bool EditingCommands::AddMaterialNode() {
    if (RefuseWhenFull()) return false;
    Library& library = state_.library;
    const std::string typedCategory = view_.categoryBox().text();
    const std::string typedName = view_.nameBox().text();
    const std::string name = Trimmed(typedName);
    const std::string description = Trimmed(view_.descriptionBox().text());
    EditHistory& history = state_.history;
    const auto edit = history.begin("Add " + name, SelectedNode(view_.tree()));

    // The index groups the material under the trimmed category with the usual trailing
    // blanks; both records take the category as typed and the name code of the typed name.
    clsMaterial shadow;
    shadow.MaterialType(typedCategory);
    shadow.MaterialName(name);
    shadow.MaterialNameCode(NewMaterialNameCode(typedName));
    shadow.MaterialDescription(description);
    clsMaterial record;
    record.Copy(shadow);
    const int n =
        history.AddMaterial(LibraryEntry{Trimmed(typedCategory) + "    ", "", name, description},
                            std::move(record), std::move(shadow));

    AddTreeNode(n, library.Entry(n).Category);
    CompleteNewMaterial();
    MarkBoxesStored();
    return true;
}

void EditingCommands::AddTreeNode(int n, const std::string& categoryKey) {
    Library& library = state_.library;
    TreeControl& tree = view_.tree();
    const std::string& name = library.Entry(n).Name;
    const std::string key = MaterialNodeKey(categoryKey, name, n);

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
    state_.history.ResetToShadow(n);
    ClearValueGrid();
}

void EditingCommands::ClearValueGrid() {
    view_.ShowEmptyValueGrid();
}

// ---- Reset ------------------------------------------------------------------------------

void EditingCommands::onMaterialSet() {
    Library& library = state_.library;
    TreeControl& tree = view_.tree();
    if (SelectedMaterialNumber(tree) == -1) return;
    if (!ValidateBoxes(false)) return;
    // The index entry takes the description as typed, blanks and all.
    if (!ValidateLibraryText(view_.descriptionBox().text())) return;

    const std::string c = view_.categoryBox().text();
    const std::string a = view_.nameBox().text();
    const std::string description = view_.descriptionBox().text();
    const std::string rememberedKey = library.LastNodeKey;
    int k = KeyTailNumber(tree.selectedKey().value_or(""));
    // Whatever the questions lead to is one edit; an answer that changes nothing records
    // nothing.
    EditHistory& history = state_.history;
    std::optional<std::string> selected;
    bool written = false;
    {
        const auto edit = history.begin("Reset " + Trimmed(a), SelectedNode(tree));

        const std::string wanted = Trimmed(c) + Trimmed(a);
        int match = -1;
        for (int i = 0; i <= library.LastMaterialIndex() && match < 0; ++i) {
            const LibraryEntry& e = library.Entry(i);
            if (EqualsNoCase(Trimmed(e.Category) + Trimmed(e.Name), wanted)) match = i;
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
        const LibraryEntry typed{c, NewMaterialNameCode(a), Trimmed(a), description};
        // What a material that has no records yet starts from.
        const auto newShadow = [&] {
            clsMaterial shadow;
            shadow.MaterialType(c + "  ");
            shadow.MaterialName(typed.Name);
            shadow.MaterialDescription(Trimmed(description));
            shadow.MaterialNameCode(typed.NameCode);
            return shadow;
        };
        if (match < 0 && !RefuseWhenFull() &&
            messages_.show(kAddQuestion, MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes) {
            write = true;
            clsMaterial shadow = newShadow();
            clsMaterial record;
            record.CopyAllProperties(shadow);
            k = history.AddMaterial(typed, std::move(record), std::move(shadow));
            AddTreeNode(k, typed.Category);
        }

        if (write && library.IsValidNumber(k)) {
            history.SetEntryTexts(k, typed);
            if (!library.HasRecord(k)) history.SetRecords(k, clsMaterial(), newShadow());
            // The shadow is left as it is: the working record takes back its texts and
            // values, while the index entry shows the typed texts.
            history.ResetToShadow(k);
            written = true;
        }
        selected = tree.selectedKey();
    }
    // The tree and the grid have followed the edit.
    if (written) {
        KeepTreeInStep(selected);
        MarkBoxesStored();
    }

    library.LastNodeKey = rememberedKey;
    if (!tree.exists(library.LastNodeKey) && !IsCategoryKey(library.LastNodeKey))
        library.LastNodeKey = KeyOfMaterial(KeyTailNumber(rememberedKey));
}

std::string EditingCommands::KeyOfMaterial(int n) const {
    const Library& library = state_.library;
    if (!library.IsValidNumber(n)) return "";
    return MaterialNodeKey(library.Entry(n).Category, library.Entry(n).Name, n);
}

void EditingCommands::KeepTreeInStep(const std::optional<std::string>& selected) {
    TreeControl& tree = view_.tree();
    // Untouched unless the typed category or name gave the material another node: the
    // tree was then built afresh, as an undo or redo of the edit builds it.
    if (!selected || tree.selectedKey() == selected) return;
    const std::string key = IsCategoryKey(*selected) || tree.exists(*selected)
                                ? *selected
                                : KeyOfMaterial(KeyTailNumber(*selected));
    tree.ensureVisible(key);
    tree.select(key);
    if (!IsCategoryKey(key)) tree.setImage(key, "leaf1");
}

// ---- Rename -----------------------------------------------------------------------------

void EditingCommands::RenameSelected() {
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
    const int k = KeyTailNumber(key);
    doc.CopiedMaterialNumber = static_cast<int16_t>(k);
    doc.CopiedName = state_.library.Entry(k).Name;
    if (clipboard_) PutOnClipboard(k);
}

void EditingCommands::PutOnClipboard(int k) {
    Library& library = state_.library;
    // Nothing to put, but the clipboard's material is older than this Copy all the same.
    if (!library.IsValidNumber(k)) {
        clipboard_->noteCopy();
        return;
    }
    std::string block;
    library.Material(k).Format(block);
    clipboard_->putMaterial(block, TabSeparatedRows(view_.ShownRows(k)));
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
            PasteFromClipboard(foreign->material);
            return;
        }
    }
    if (source == -1 || source > library.LastMaterialIndex()) return;

    if (!EqualsNoCase(library.Entry(source).Name, doc.CopiedName)) {
        messages_.show(kCopySourceGone, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    const LibraryEntry& sourceEntry = library.Entry(source);
    // The working copy carries the source's current values, edits never saved included.
    PasteCopy(
        doc.CopiedName, sourceEntry.NameCode, sourceEntry.Description,
        [&](const LibraryEntry& entry) { return state_.history.CopyMaterial(source, entry); });
}

void EditingCommands::PasteFromClipboard(const std::variant<ClipMaterial, std::string>& clip) {
    if (const auto* reason = std::get_if<std::string>(&clip)) {
        messages_.show(kClipboardMaterialUnreadable + *reason, MsgButtons::OK,
                       MsgIcon::Exclamation);
        return;
    }
    const ClipMaterial& material = std::get<ClipMaterial>(clip);
    // The block holds the values as they were when copied; they are also what a reset of
    // the pasted material goes back to.
    PasteCopy(material.name, material.nameCode, material.description,
              [&](const LibraryEntry& entry) {
                  return state_.history.AddMaterial(entry, RecordWithTexts(material.record, entry),
                                                    RecordWithTexts(material.record, entry));
              });
}

void EditingCommands::PasteCopy(const std::string& name, std::string nameCode,
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
        FitCopiedTexts(kCopyPrefix + name, std::move(nameCode), std::move(description), notes);
    const std::string& p = fitted.Name;
    if (NameTaken(p)) {
        messages_.show(PastedNameExistsMessage(p), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (RefuseWhenFull()) return;

    const std::string t =
        tree.parentKey(*selected) ? library.Entry(KeyTailNumber(*selected)).Category : *selected;

    EditHistory& history = state_.history;
    const auto edit = history.begin("Paste " + p, SelectedNode(tree));
    const int n = insert(LibraryEntry{t, fitted.NameCode, p, fitted.Description});

    AddTreeNode(n, t);

    const LibraryEntry& entry = library.Entry(n);
    view_.categoryBox().setText(entry.Category);
    view_.nameBox().setText(entry.Name);
    view_.descriptionBox().setText(entry.Description);
    // The grid shows the copy once the edit's notice has gone out.
    view_.ShowMaterialPane();
    if (!notes.empty()) messages_.show(JoinLines(notes), MsgButtons::OK, MsgIcon::Exclamation);
}

// ---- The three boxes --------------------------------------------------------------------

void EditingCommands::EnterNewMaterialMode(TextBox& box) {
    box.setSelLength(static_cast<int>(box.text().size()));
    view_.ShowNewMaterialPane();
}

bool EditingCommands::InNewMaterialMode() const {
    return view_.NewMaterialPaneShown();
}

void EditingCommands::MarkBoxesStored() {
    for (TextBox* box : {&view_.categoryBox(), &view_.nameBox(), &view_.descriptionBox()})
        box->markStored();
}

void EditingCommands::materialNameText_GotFocus() {
    EnterNewMaterialMode(view_.nameBox());
}

void EditingCommands::materialTypeText_GotFocus() {
    EnterNewMaterialMode(view_.categoryBox());
}

bool EditingCommands::materialNameText_LostFocus() {
    // Blanks count: the name is written to the file as typed.
    if (view_.nameBox().text().size() <= kMaxNameLength) return true;
    messages_.show(kNameTooLong, MsgButtons::OK, MsgIcon::Critical);
    view_.nameBox().setFocus();
    return false;
}

bool EditingCommands::materialTypeText_LostFocus() {
    if (TrimBlanks(view_.categoryBox().text()).size() <= kMaxCategoryLength) return true;
    messages_.show(kCategoryTooLong, MsgButtons::OK, MsgIcon::Critical);
    view_.categoryBox().setFocus();
    return false;
}

void EditingCommands::descriptionText_GotFocus() {
    TextBox& box = view_.descriptionBox();
    box.setSelLength(static_cast<int>(box.text().size()));
}

void EditingCommands::materialNameText_Enter() {
    if (materialNameText_LostFocus() && InNewMaterialMode()) onNewMaterial();
}

void EditingCommands::materialTypeText_Enter() {
    if (materialTypeText_LostFocus() && InNewMaterialMode()) onNewMaterial();
}

void EditingCommands::descriptionText_Enter() {
    if (InNewMaterialMode())
        onNewMaterial();
    else
        descriptionText_LostFocus();
}

bool EditingCommands::descriptionText_LostFocus() {
    // While a new material is typed the box holds its description, not the shown one's.
    if (InNewMaterialMode()) return true;
    Library& library = state_.library;
    // A category's key reads as 0 like material 0's "....0000": only the key's tail tells
    // them apart, and a description typed for material 0 is kept like any other.
    if (IsCategoryKey(library.LastNodeKey)) return true;
    const int k = KeyTailNumber(library.LastNodeKey);
    if (!library.IsValidNumber(k)) return true;
    TextBox& box = view_.descriptionBox();
    const std::string text = box.text();
    const char* refusal = HasControlCharacter(text)           ? kDescriptionHasControlCharacter
                          : text.size() > kDescriptionColumns ? kDescriptionTooWide
                                                              : nullptr;
    if (refusal) {
        messages_.show(refusal, MsgButtons::OK, MsgIcon::Exclamation);
        box.setFocus();
        return false;
    }
    {
        EditHistory& history = state_.history;
        const auto edit = history.begin("Change description of " + Trimmed(library.Entry(k).Name));
        history.SetDescription(k, text);
    }
    box.markStored();
    return true;
}

} // namespace mb

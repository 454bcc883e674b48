#include "EditingCommands.h"

#include "AppState.h"
#include "BaseForm.h"
#include "Controls.h"
#include "LibraryTextRules.h"
#include "NodeKey.h"
#include "TextUtil.h"
#include "TreeEditing.h"
#include "clsFlexGrid.h"

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

EditingCommands::EditingCommands(BaseForm& form, MaterialClipboard* clipboard)
    : form_(form), clipboard_(clipboard), operations_(form) {
    form_.descriptionText.setMaxLength(static_cast<int>(kDescriptionColumns));
    changeListener_ = form_.state.history.addListener([this](const LibraryChange& change) {
        // The remembered number may now name another material, or none.
        if (change.numbersShifted) form_.state.doc.CopiedMaterialNumber = -1;
    });
}

EditingCommands::~EditingCommands() {
    form_.state.history.removeListener(changeListener_);
}

// ---- Adding a material ----------------------------------------------------------------

void EditingCommands::newMaterial() {
    const std::string c = form_.materialTypeText.text();
    const std::string a = form_.materialNameText.text();
    if (TrimBlanks(c).empty() || TrimBlanks(a).empty()) {
        form_.messageBox.show(kSetCategoryAndNameFirst, MsgButtons::OK, MsgIcon::None);
        return;
    }
    const TreeControl& tree = form_.TreeView1;
    const auto selected = tree.selectedKey();
    if (!selected || tree.childCount(*selected) == 0) {
        form_.messageBox.show(kNoMaterialWithinMaterial, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    onNewMaterial();
}

bool EditingCommands::ValidateBoxes(bool checkLeadingDigit) {
    const std::string c = form_.materialTypeText.text();
    const std::string a = form_.materialNameText.text();
    auto refuse = [this](const char* message, TextBox& box) {
        form_.messageBox.show(message, MsgButtons::OK, MsgIcon::Exclamation);
        box.setFocus();
        return false;
    };
    if (TrimBlanks(c).empty()) return refuse(kSpecifyCategory, form_.materialTypeText);
    if (checkLeadingDigit && StartsWithDigit(c))
        return refuse(kCategoryStartsWithNumber, form_.materialTypeText);
    if (TrimBlanks(a).empty()) return refuse(kSpecifyName, form_.materialNameText);
    return true;
}

bool EditingCommands::ValidateLibraryText(const std::string& storedDescription) {
    auto refuse = [this](const char* message, TextBox& box) {
        form_.messageBox.show(message, MsgButtons::OK, MsgIcon::Exclamation);
        box.setFocus();
        return false;
    };
    const std::string c = form_.materialTypeText.text();
    const std::string a = form_.materialNameText.text();
    if (HasControlCharacter(c)) return refuse(kCategoryHasControlCharacter, form_.materialTypeText);
    if (HasControlCharacter(a)) return refuse(kNameHasControlCharacter, form_.materialNameText);
    // The name box's own limit counts blanks and is checked as the box is left; what
    // matters here is the trimmed name that is stored.
    if (TrimBlanks(a).size() > kNameColumns) return refuse(kNameTooWide, form_.materialNameText);
    if (HasControlCharacter(form_.descriptionText.text()))
        return refuse(kDescriptionHasControlCharacter, form_.descriptionText);
    if (storedDescription.size() > kDescriptionColumns)
        return refuse(kDescriptionTooWide, form_.descriptionText);
    return true;
}

bool EditingCommands::NameTaken(const std::string& name) const {
    const Library& library = form_.state.library;
    for (int i = 0; i <= library.LastMaterialIndex(); ++i)
        if (EqualsNoCase(TrimBlanks(library.Entry(i).Name), name)) return true;
    return false;
}

bool EditingCommands::RefuseWhenFull() {
    if (!form_.state.library.IsFull()) return false;
    form_.messageBox.show(kLibraryFull, MsgButtons::OK, MsgIcon::Exclamation);
    return true;
}

void EditingCommands::onNewMaterial() {
    if (!ValidateBoxes(true)) return;
    if (NameTaken(Trimmed(form_.materialNameText.text()))) {
        form_.messageBox.show(kNameExists, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (!ValidateLibraryText(Trimmed(form_.descriptionText.text()))) return;
    // Refused before the question: a Yes could not be honoured.
    if (RefuseWhenFull()) return;
    if (form_.messageBox.show(kAddQuestion, MsgButtons::YesNo, MsgIcon::Question) !=
        MsgResult::Yes) {
        form_.materialNameText.setText("");
        form_.materialTypeText.setText("");
        form_.descriptionText.setText("");
        return;
    }
    if (!AddMaterialNode()) return;
    ShowMaterialButtons();
}

bool EditingCommands::AddMaterialNode() {
    if (RefuseWhenFull()) return false;
    Library& library = form_.state.library;
    const std::string typedCategory = form_.materialTypeText.text();
    const std::string typedName = form_.materialNameText.text();
    const std::string name = Trimmed(typedName);
    const std::string description = Trimmed(form_.descriptionText.text());
    EditHistory& history = form_.state.history;
    const auto edit = history.begin("Add " + name, SelectedNode(form_.TreeView1));

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
    Library& library = form_.state.library;
    TreeControl& tree = form_.TreeView1;
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
    const int n = form_.state.library.LastMaterialIndex();
    if (n < 0) return;
    form_.state.history.ResetToShadow(n);
    ClearValueGrid();
}

void EditingCommands::ClearValueGrid() {
    GridControl& grid = form_.VSFlexGrid1;
    {
        clsFlexGrid presenter(form_);
        presenter.InitializeGrid(grid);
        for (int row = 1; row < grid.rows(); ++row)
            presenter.Cell(2, row, "");
    }
    grid.setVisible(true);
}

// ---- Reset ------------------------------------------------------------------------------

void EditingCommands::onMaterialSet() {
    Library& library = form_.state.library;
    TreeControl& tree = form_.TreeView1;
    if (SelectedMaterialNumber(tree) == -1) return;
    if (!ValidateBoxes(false)) return;
    // The index entry takes the description as typed, blanks and all.
    if (!ValidateLibraryText(form_.descriptionText.text())) return;

    const std::string c = form_.materialTypeText.text();
    const std::string a = form_.materialNameText.text();
    const std::string description = form_.descriptionText.text();
    const std::string rememberedKey = library.LastNodeKey;
    int k = KeyTailNumber(tree.selectedKey().value_or(""));
    // Whatever the questions lead to is one edit; an answer that changes nothing records
    // nothing.
    EditHistory& history = form_.state.history;
    const auto edit = history.begin("Reset " + Trimmed(a), SelectedNode(tree));

    const std::string wanted = Trimmed(c) + Trimmed(a);
    int match = -1;
    for (int i = 0; i <= library.LastMaterialIndex() && match < 0; ++i) {
        const LibraryEntry& e = library.Entry(i);
        if (EqualsNoCase(Trimmed(e.Category) + Trimmed(e.Name), wanted)) match = i;
    }

    bool write = false;
    if (match >= 0) {
        if (form_.messageBox.show(kOverwriteQuestion, MsgButtons::OKCancel, MsgIcon::Question) ==
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
        form_.messageBox.show(kAddQuestion, MsgButtons::YesNo, MsgIcon::Question) ==
            MsgResult::Yes) {
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
        // The shadow is left as it is: the working record takes back its texts and values,
        // while the index entry shows the typed texts.
        history.ResetToShadow(k);
        KeepTreeInStep(k);
        MarkBoxesStored();
        form_.typeCombo_Click();
    }

    library.LastNodeKey = rememberedKey;
    if (!tree.exists(library.LastNodeKey) && !IsCategoryKey(library.LastNodeKey))
        library.LastNodeKey = KeyOfMaterial(KeyTailNumber(rememberedKey));
}

std::string EditingCommands::KeyOfMaterial(int n) const {
    const Library& library = form_.state.library;
    if (!library.IsValidNumber(n)) return "";
    return MaterialNodeKey(library.Entry(n).Category, library.Entry(n).Name, n);
}

void EditingCommands::KeepTreeInStep(int n) {
    TreeControl& tree = form_.TreeView1;
    if (tree.exists(KeyOfMaterial(n))) return;
    // The typed category or name gave the material another node: the tree is built
    // afresh, as an undo or redo of this edit builds it, with the selection kept.
    const auto selected = tree.selectedKey();
    RebuildTree(form_.state.library, tree);
    if (!selected) return;
    const std::string key = IsCategoryKey(*selected) || tree.exists(*selected)
                                ? *selected
                                : KeyOfMaterial(KeyTailNumber(*selected));
    tree.ensureVisible(key);
    tree.select(key);
    if (!IsCategoryKey(key)) tree.setImage(key, "leaf1");
}

// ---- Rename -----------------------------------------------------------------------------

void EditingCommands::RenameSelected() {
    TreeControl& tree = form_.TreeView1;
    const auto key = tree.selectedKey();
    if (!key) return;
    // A category's label opens too: the refusal comes when the edit ends, as for any
    // label edit.
    tree.editLabel(*key);
}

// ---- Copy and paste ---------------------------------------------------------------------

void EditingCommands::onCopyMaterial() {
    const TreeControl& tree = form_.TreeView1;
    DocumentState& doc = form_.state.doc;
    const std::string key = tree.selectedKey().value_or("");
    if (key.empty()) return;
    if (IsCategoryKey(key) && tree.childCount(key) > 0) {
        form_.messageBox.show(kCannotCopyCategory, MsgButtons::OK, MsgIcon::Exclamation);
        doc.CopiedMaterialNumber = -1;
        if (clipboard_) clipboard_->noteCopy();
        return;
    }
    const int k = KeyTailNumber(key);
    doc.CopiedMaterialNumber = static_cast<int16_t>(k);
    doc.CopiedName = form_.state.library.Entry(k).Name;
    if (clipboard_) PutOnClipboard(k);
}

void EditingCommands::PutOnClipboard(int k) {
    Library& library = form_.state.library;
    // Nothing to put, but the clipboard's material is older than this Copy all the same.
    if (!library.IsValidNumber(k)) {
        clipboard_->noteCopy();
        return;
    }
    std::string block;
    library.Material(k).Format(block);
    clsFlexGrid presenter(form_);
    clipboard_->putMaterial(block,
                            TabSeparatedRows(presenter.ShownRows(form_.typeCombo.listIndex(), k)));
}

void EditingCommands::onPasteMaterial() {
    Library& library = form_.state.library;
    const TreeControl& tree = form_.TreeView1;
    const DocumentState& doc = form_.state.doc;
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
        form_.messageBox.show(kCopySourceGone, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    const LibraryEntry& sourceEntry = library.Entry(source);
    // The working copy carries the source's current values, edits never saved included.
    PasteCopy(
        doc.CopiedName, sourceEntry.NameCode, sourceEntry.Description,
        [&](const LibraryEntry& entry) { return form_.state.history.CopyMaterial(source, entry); });
}

void EditingCommands::PasteFromClipboard(const std::variant<ClipMaterial, std::string>& clip) {
    if (const auto* reason = std::get_if<std::string>(&clip)) {
        form_.messageBox.show(kClipboardMaterialUnreadable + *reason, MsgButtons::OK,
                              MsgIcon::Exclamation);
        return;
    }
    const ClipMaterial& material = std::get<ClipMaterial>(clip);
    // The block holds the values as they were when copied; they are also what a reset of
    // the pasted material goes back to.
    PasteCopy(
        material.name, material.nameCode, material.description, [&](const LibraryEntry& entry) {
            return form_.state.history.AddMaterial(entry, RecordWithTexts(material.record, entry),
                                                   RecordWithTexts(material.record, entry));
        });
}

void EditingCommands::PasteCopy(const std::string& name, std::string nameCode,
                                std::string description,
                                const std::function<int(const LibraryEntry&)>& insert) {
    Library& library = form_.state.library;
    TreeControl& tree = form_.TreeView1;
    const auto selected = tree.selectedKey();
    if (!selected) return;
    // A name read from a file may hold a tab, and "Copy of " makes a long name longer than
    // its columns.
    std::vector<std::string> notes;
    const LibraryEntry fitted =
        FitCopiedTexts(kCopyPrefix + name, std::move(nameCode), std::move(description), notes);
    const std::string& p = fitted.Name;
    if (NameTaken(p)) {
        form_.messageBox.show(PastedNameExistsMessage(p), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (RefuseWhenFull()) return;

    const std::string t =
        tree.parentKey(*selected) ? library.Entry(KeyTailNumber(*selected)).Category : *selected;

    EditHistory& history = form_.state.history;
    const auto edit = history.begin("Paste " + p, SelectedNode(tree));
    const int n = insert(LibraryEntry{t, fitted.NameCode, p, fitted.Description});

    AddTreeNode(n, t);

    const LibraryEntry& entry = library.Entry(n);
    form_.materialTypeText.setText(entry.Category);
    form_.materialNameText.setText(entry.Name);
    form_.descriptionText.setText(entry.Description);
    form_.VSFlexGrid1.setVisible(true);
    ShowMaterialButtons();
    form_.ShowMaterialGrid();
    if (!notes.empty())
        form_.messageBox.show(JoinLines(notes), MsgButtons::OK, MsgIcon::Exclamation);
}

// ---- The three boxes --------------------------------------------------------------------

void EditingCommands::EnterNewMaterialMode(TextBox& box) {
    box.setSelLength(static_cast<int>(box.text().size()));
    form_.VSFlexGrid1.setVisible(false);
    form_.cmdNewMaterial.setVisible(true);
    form_.reset.setVisible(false);
    form_.AddSet.setVisible(false);
}

bool EditingCommands::InNewMaterialMode() const {
    return form_.cmdNewMaterial.isVisible();
}

void EditingCommands::MarkBoxesStored() {
    for (TextBox* box : {&form_.materialTypeText, &form_.materialNameText, &form_.descriptionText})
        box->markStored();
}

void EditingCommands::ShowMaterialButtons() {
    form_.cmdNewMaterial.setVisible(false);
    form_.reset.setVisible(true);
    form_.AddSet.setVisible(true);
}

void EditingCommands::materialNameText_GotFocus() {
    EnterNewMaterialMode(form_.materialNameText);
}

void EditingCommands::materialTypeText_GotFocus() {
    EnterNewMaterialMode(form_.materialTypeText);
}

bool EditingCommands::materialNameText_LostFocus() {
    // Blanks count: the name is written to the file as typed.
    if (form_.materialNameText.text().size() <= kMaxNameLength) return true;
    form_.messageBox.show(kNameTooLong, MsgButtons::OK, MsgIcon::Critical);
    form_.materialNameText.setFocus();
    return false;
}

bool EditingCommands::materialTypeText_LostFocus() {
    if (TrimBlanks(form_.materialTypeText.text()).size() <= kMaxCategoryLength) return true;
    form_.messageBox.show(kCategoryTooLong, MsgButtons::OK, MsgIcon::Critical);
    form_.materialTypeText.setFocus();
    return false;
}

void EditingCommands::descriptionText_GotFocus() {
    TextBox& box = form_.descriptionText;
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
    Library& library = form_.state.library;
    // A category's key reads as 0 like material 0's "....0000": only the key's tail tells
    // them apart, and a description typed for material 0 is kept like any other.
    if (IsCategoryKey(library.LastNodeKey)) return true;
    const int k = KeyTailNumber(library.LastNodeKey);
    if (!library.IsValidNumber(k)) return true;
    TextBox& box = form_.descriptionText;
    const std::string text = box.text();
    const char* refusal = HasControlCharacter(text)           ? kDescriptionHasControlCharacter
                          : text.size() > kDescriptionColumns ? kDescriptionTooWide
                                                              : nullptr;
    if (refusal) {
        form_.messageBox.show(refusal, MsgButtons::OK, MsgIcon::Exclamation);
        box.setFocus();
        return false;
    }
    {
        EditHistory& history = form_.state.history;
        const auto edit = history.begin("Change description of " + Trimmed(library.Entry(k).Name));
        history.SetDescription(k, text);
    }
    box.markStored();
    return true;
}

} // namespace mb

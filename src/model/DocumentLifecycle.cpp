#include "model/DocumentLifecycle.h"

#include "materials/TextUtil.h"
#include "model/LibraryFile.h"
#include "model/NodeKey.h"
#include "model/SpreadsheetImport.h"
#include "platform/Controls.h"
#include "shell/AppState.h"
#include "shell/DecimalSeparator.h"
#include "shell/clsRegistry.h"
#include "views/BaseForm.h"

namespace mb {

namespace {

class MessageBoxWritePrompt final : public WriteErrorPrompt {
public:
    explicit MessageBoxWritePrompt(MessageBox& messages) : messages_(messages) {}
    bool retry(const std::string& message) override {
        return messages_.show(message, MsgButtons::RetryCancel, MsgIcon::Exclamation) ==
               MsgResult::Retry;
    }

private:
    MessageBox& messages_;
};

bool EndsWithXls(const std::string& path) {
    return path.size() >= 3 && EqualsNoCase(std::string_view(path).substr(path.size() - 3), "xls");
}

} // namespace

DocumentLifecycle::DocumentLifecycle(AppState& state, EditorWindowHost& host,
                                     MessageBox& messages, FileDialogs& dialogs,
                                     SpreadsheetReader& spreadsheets, Locale& locale,
                                     clsRegistry& registry)
    : state_(state), host_(host), messages_(messages), dialogs_(dialogs),
      spreadsheets_(spreadsheets), locale_(locale), registry_(registry) {}

bool DocumentLifecycle::NewLibraryUnsaved() const {
    return EqualsNoCase(host_.editorCaption(), kNewFileCaption);
}

void DocumentLifecycle::CommitPendingEdit() {
    if (BaseForm* form = host_.loadedEditor()) form->VSFlexGrid1_LeaveCell();
}

bool DocumentLifecycle::TreeIsEmpty() {
    BaseForm* form = host_.loadedEditor();
    return form == nullptr || form->TreeView1.nodeCount() == 0;
}

void DocumentLifecycle::ResetViewAndUnloadEditor() {
    if (BaseForm* form = host_.loadedEditor()) {
        ResetLibraryView(state_.library, form->TreeView1, form->valueframe);
        // The library being replaced has been dealt with already: unloading must not ask.
        host_.setSaveOnUnload(false);
        // Unloading forgets the file name; the one just chosen must survive it.
        const std::string chosen = state_.doc.CurrentFileName;
        host_.unloadEditor();
        state_.doc.CurrentFileName = chosen;
    } else {
        state_.library.LibraryIndex.clear();
    }
}

void DocumentLifecycle::NewLibrary() {
    const bool wasUntitled = state_.doc.IsUntitled;
    state_.doc.CopiedMaterialNumber = -1;
    state_.doc.IsUntitled = true;
    if (state_.doc.DocumentOpen) {
        if (ConfirmSaveChanges()) {
            // Cancel keeps the open library as it was, down to how Save treats it.
            state_.doc.IsUntitled = wasUntitled;
            RestoreUnitSystem();
            return;
        }
        ResetViewAndUnloadEditor();
    }
    state_.doc.DocumentOpen = true;
    state_.doc.CurrentFileName.clear();

    Library& lib = state_.library;
    lib.Clear();
    lib.LastMaterialIndex = 0;
    lib.SizeRecordLists();
    lib.Materials[0] = std::make_unique<clsMaterial>();
    lib.MaterialShadows[0] = std::make_unique<clsMaterial>();

    LibraryEntry& entry = lib.Entry(0);
    entry.Category = "My Material    ";
    entry.Name = "My Material";
    entry.Description = "This is a sample material";
    clsMaterial& record = lib.Material(0);
    record.MaterialType("My Material  ");
    record.MaterialName("My Material");
    record.MaterialDescription("This is a sample material");

    BaseForm& form = host_.editor();
    form.TreeView1.addNode(std::nullopt, entry.Category, entry.Category, "closedbook");
    const std::string key = MaterialNodeKey(entry.Category, entry.Name, 0);
    form.TreeView1.addNode(entry.Category, key, entry.Name, "leaf");
    lib.LastNodeKey = key;

    host_.showEditor();
    host_.setEditorCaption(kNewFileCaption);
    form.valueframe.setVisible(true);
    ShowFirstMaterial();
    form.FillUnitsList();
    form.FillTypeList();
    form.unitsCombo_Click();
    RestoreUnitSystem();
}

void DocumentLifecycle::OpenLibrary(const std::optional<std::string>& initialPath) {
    state_.doc.CopiedMaterialNumber = -1;
    std::optional<std::string> next = initialPath;
    for (;;) {
        const std::optional<std::string> path =
            next ? next : dialogs_.openFile(kOpenDialogTitle, kOpenDialogFilter);
        next.reset();
        if (!path) return;

        // Ask about a never-saved library before anything of it is discarded, so that
        // "Yes" still has something to save.
        if (state_.doc.DocumentOpen && NewLibraryUnsaved()) {
            const MsgResult answer = messages_.show("Do you want to save changes?",
                                                    MsgButtons::YesNoCancel, MsgIcon::Question);
            if (answer == MsgResult::Cancel) return;
            if (answer == MsgResult::Yes) {
                SaveLibraryAs();
                if (!lastSaveWritten_) return;
            }
        }

        const std::string previousName = state_.doc.CurrentFileName;
        const bool previousUntitled = state_.doc.IsUntitled;
        state_.doc.IsUntitled = false;
        state_.doc.CurrentFileName = *path;
        if (ReadChosenFile(*path) == ReadOutcome::Read) break;
        if (state_.doc.DocumentOpen) {
            // The file could not be opened at all: the open library stays as it was.
            state_.doc.CurrentFileName = previousName;
            state_.doc.IsUntitled = previousUntitled;
        } else {
            state_.doc.CurrentFileName.clear();
        }
    }

    Library& lib = state_.library;
    BaseForm& form = host_.editor();
    BuildTree(lib, form.TreeView1);
    host_.showEditor();
    host_.setEditorCaption(state_.doc.CurrentFileName);
    ShowFirstMaterial();
    form.valueframe.setVisible(true);
    form.FillUnitsList();
    form.FillTypeList();
    state_.doc.DocumentOpen = true;
    RestoreUnitSystem();
}

DocumentLifecycle::ReadOutcome DocumentLifecycle::ReadChosenFile(const std::string& path) {
    ReadLocaleDecimalSeparator(state_, locale_);
    if (EndsWithXls(path)) {
        ResetViewAndUnloadEditor();
        const ImportResult result = ImportSpreadsheet(path, spreadsheets_, state_.library);
        if (result.status == ImportResult::Status::CannotOpen) {
            state_.doc.DocumentOpen = false;
            messages_.show(result.message(), MsgButtons::OK, MsgIcon::Exclamation);
            return ReadOutcome::NotRead;
        }
        // What was read before the failing row stays imported; the user learns where the
        // sheet stopped making sense.
        if (!result.imported())
            messages_.show(result.message(), MsgButtons::OK, MsgIcon::Exclamation);
        return ReadOutcome::Read;
    }

    // A file that cannot be opened at all leaves the open library alone.
    Library probe;
    {
        ReadResult check = ReadLibraryFile(path, probe, state_.doc.DecimalSeparator);
        if (check.status == ReadResult::Status::CannotOpen) {
            messages_.show("Cannot open " + path + ": " + check.message, MsgButtons::OK,
                           MsgIcon::Exclamation);
            return ReadOutcome::NotRead;
        }
        ResetViewAndUnloadEditor();
        state_.doc.DocumentOpen = false;
        if (check.status == ReadResult::Status::NotALibrary) {
            state_.library.Clear();
            messages_.show(kNotALibraryMessage, MsgButtons::OK, MsgIcon::Exclamation);
            return ReadOutcome::NotRead;
        }
        state_.library = std::move(probe);
        if (check.droppedMaterials > 0)
            messages_.show("This library holds more materials than the 1001 the browser can "
                           "keep; the last " +
                               std::to_string(check.droppedMaterials) +
                               " were not loaded. Saving it will leave them out.",
                           MsgButtons::OK, MsgIcon::Exclamation);
    }
    return ReadOutcome::Read;
}

void DocumentLifecycle::SaveLibrary() {
    lastSaveWritten_ = false;
    CommitPendingEdit();
    if (TreeIsEmpty()) {
        messages_.show(kNothingToSave, MsgButtons::OK, MsgIcon::None);
        return;
    }
    host_.setEditorCaption(state_.doc.CurrentFileName);
    if (state_.doc.CurrentFileName.empty()) {
        SaveLibraryAs();
        return;
    }
    if (state_.library.LastMaterialIndex < 0) {
        messages_.show(kNothingToSave, MsgButtons::OK, MsgIcon::None);
        return;
    }
    lastSaveWritten_ = WriteCurrentFile();
}

void DocumentLifecycle::SaveLibraryAs() {
    lastSaveWritten_ = false;
    CommitPendingEdit();
    if (TreeIsEmpty() || state_.library.LastMaterialIndex < 0) {
        messages_.show(kNothingToSave, MsgButtons::OK, MsgIcon::None);
        return;
    }
    const std::string previousName = state_.doc.CurrentFileName;
    const bool previousUntitled = state_.doc.IsUntitled;
    const std::string previousCaption = host_.editorCaption();
    for (;;) {
        const std::optional<std::string> path = dialogs_.saveFile(kSaveDialogTitle, "");
        if (!path) {
            // A failed attempt before the cancel must not leave the library named after it.
            state_.doc.CurrentFileName = previousName;
            state_.doc.IsUntitled = previousUntitled;
            if (host_.loadedEditor()) host_.setEditorCaption(previousCaption);
            return;
        }
        state_.doc.CurrentFileName = *path;
        state_.doc.IsUntitled = false;
        host_.showEditor();
        host_.setEditorCaption(*path);
        if (WriteCurrentFile()) {
            lastSaveWritten_ = true;
            return;
        }
        if (processEnding_) return;
    }
}

bool DocumentLifecycle::WriteCurrentFile() {
    MessageBoxWritePrompt prompt(messages_);
    const CategoryGrouping grouping = GroupByCategory(state_.library);
    const WriteResult result =
        WriteLibraryFile(state_.doc.CurrentFileName, state_.library, grouping, prompt);
    switch (result.status) {
    case WriteResult::Status::Written: return true;
    case WriteResult::Status::NothingToWrite: return false;
    case WriteResult::Status::Failed:
        messages_.show(result.message, MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    case WriteResult::Status::Cancelled:
        processEnding_ = true;
        host_.endProcess();
        return false;
    }
    return false;
}

void DocumentLifecycle::Save() {
    if (state_.doc.IsUntitled) SaveLibraryAs();
    else SaveLibrary();
}

bool DocumentLifecycle::ConfirmSaveChanges() {
    const bool newLibrary = NewLibraryUnsaved();
    if (!state_.doc.CurrentFileName.empty() || newLibrary) {
        const std::string question = newLibrary && state_.doc.CurrentFileName.empty()
                                         ? std::string("Do you want to save changes?")
                                         : "Save changes to " + state_.doc.CurrentFileName + " ?";
        const MsgResult answer =
            messages_.show(question, MsgButtons::YesNoCancel, MsgIcon::Question);
        if (answer == MsgResult::Cancel) return true;
        if (answer == MsgResult::Yes) {
            if (!state_.doc.CurrentFileName.empty()) SaveLibrary();
            else SaveLibraryAs();
            // A save the user abandoned (or that failed) must not be followed by closing
            // the library: that would lose exactly what they asked to keep.
            if (!lastSaveWritten_) return true;
        }
    }
    if (BaseForm* form = host_.loadedEditor())
        ResetLibraryView(state_.library, form->TreeView1, form->valueframe);
    host_.setSaveOnUnload(false);
    host_.unloadEditor();
    state_.doc.DocumentOpen = false;
    return false;
}

void DocumentLifecycle::ShowFirstMaterial() {
    BaseForm& form = host_.editor();
    form.TreeView1.setVisible(true);
    if (form.TreeView1.nodeCount() == 0) return;
    const std::vector<std::string> keys = form.TreeView1.keysInOrder();
    form.TreeView1.select(keys.front());
    if (state_.library.LastMaterialIndex >= 0) {
        clsMaterial& first = state_.library.Material(0);
        form.materialTypeText.setText(first.MaterialType());
        form.materialNameText.setText(first.MaterialName());
        form.descriptionText.setText(first.MaterialDescription());
    }
    // Open on the first material itself, so the grid shows its values straight away.
    for (const std::string& key : keys) {
        if (!IsCategoryKey(key)) {
            form.TreeView1.ensureVisible(key);
            form.TreeView1.select(key);
            form.TreeView1_NodeClick(key);
            break;
        }
    }
}

void DocumentLifecycle::RestoreUnitSystem() {
    BaseForm* form = host_.loadedEditor();
    if (!form) return;
    const int v = registry_.GetValue();
    if (v >= 0 && v < form->unitsCombo.count()) {
        form->unitsCombo.setListIndex(v);
        form->unitsCombo_Click();
    }
}

} // namespace mb

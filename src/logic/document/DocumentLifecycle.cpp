#include "DocumentLifecycle.h"

#include "AppState.h"
#include "BackgroundWork.h"
#include "Controls.h"
#include "DecimalSeparator.h"
#include "DocumentLock.h"
#include "EditorView.h"
#include "FileOps.h"
#include "LibraryFile.h"
#include "LibraryImport.h"
#include "NodeKey.h"
#include "Recovery.h"
#include "RecoveryStore.h"
#include "TextUtil.h"
#include "clsRegistry.h"

#include <functional>

namespace mb {

namespace {

// The first line of the box is the error as the writer words it; what follows is worked
// out once per save, because it writes the recovery copy.
class MessageBoxWritePrompt final : public WriteErrorPrompt {
public:
    MessageBoxWritePrompt(MessageBox& messages, std::function<std::string()> details)
        : messages_(messages), details_(std::move(details)) {}
    bool retry(const std::string& message) override {
        if (!detailsText_) detailsText_ = details_();
        return messages_.show(message + "\n\n" + *detailsText_, MsgButtons::RetryCancel,
                              MsgIcon::Exclamation) == MsgResult::Retry;
    }

private:
    MessageBox& messages_;
    std::function<std::string()> details_;
    std::optional<std::string> detailsText_;
};

// Without a background thread to give it, a save's disk work runs where it is started.
class InlineWork final : public BackgroundWork {
public:
    void start(std::function<void()> work, std::function<void()> done) override {
        work();
        done();
    }
    void waitForIdle() override {}
    bool busy() const override { return false; }
};

bool EndsWithXls(const std::string& path) {
    return path.size() >= 3 && equalsNoCase(std::string_view(path).substr(path.size() - 3), "xls");
}

} // namespace

bool isDroppableFile(const std::string& path) {
    const auto endsWith = [&](std::string_view extension) {
        return path.size() > extension.size() &&
               equalsNoCase(std::string_view(path).substr(path.size() - extension.size()),
                            extension);
    };
    return endsWith(".lib") || endsWith(".xls") || isImportedOnDrop(path);
}

bool isImportedOnDrop(const std::string& path) {
    const auto endsWith = [&](std::string_view extension) {
        return path.size() > extension.size() &&
               equalsNoCase(std::string_view(path).substr(path.size() - extension.size()),
                            extension);
    };
    return endsWith(".xlsx") || endsWith(".ods") || endsWith(".csv") || endsWith(".json");
}

std::string recoverQuestion(const std::string& name, const std::string& time) {
    return "Recover the unsaved changes of " + name + " from " + time + "?";
}

std::string unfinishedSaveQuestion(const std::string& path) {
    return "The last save of " + path +
           " did not finish. Restore the library as it was before that save?";
}

std::string changedOnDiskQuestion(const std::string& path) {
    return path + " has been changed on disk since it was opened or last saved here, "
                  "by another program or another window.\n\nDo you want to overwrite it?";
}

std::string openElsewhereWarning(const std::string& path, const std::string& holder) {
    return path + " is already open for editing in another window of this program" +
           (holder.empty() ? std::string() : " (" + holder + ")") +
           ". Whichever of the two saves last overwrites the other's changes.";
}

std::string proposedLibraryPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    const std::size_t stemEnd = dot == std::string::npos || dot <= nameStart ? path.size() : dot;
    return path.substr(0, stemEnd) + ".lib";
}

DocumentLifecycle::DocumentLifecycle(AppState& state, EditorWindowHost& host, MessageBox& messages,
                                     FileDialogs& dialogs, SpreadsheetReader& spreadsheets,
                                     Locale& locale, clsRegistry& registry, Recovery& recovery,
                                     DocumentLock& lock, BackgroundWork* background)
    : state_(state), host_(host), messages_(messages), dialogs_(dialogs),
      spreadsheets_(spreadsheets), locale_(locale), registry_(registry), recovery_(recovery),
      lock_(lock), inline_(background ? nullptr : std::make_unique<InlineWork>()),
      background_(background ? *background : *inline_) {
    changeListener_ =
        state_.history.addListener([this](const LibraryChange&) { prepareSaveRoom(); });
}

DocumentLifecycle::~DocumentLifecycle() {
    state_.history.removeListener(changeListener_);
}

void DocumentLifecycle::prepareSaveRoom() {
    // An edited library is likely to be saved. Its first save would format the text into
    // memory never touched before, a fault for each page on the window's thread (on a
    // virtual machine 5 to 25 ms for the largest library); the pages are touched here, in
    // the background, with room to grow by an eighth.
    if (state_.textRoom.held() || saveRoomComing_ || background_.busy() || !state_.doc.DocumentOpen)
        return;
    const std::size_t size = libraryTextSize(state_.library, groupByCategory(state_.library));
    auto room = std::make_shared<LargeText>();
    saveRoomComing_ = true;
    background_.start(
        [room, bytes = size + size / 8] {
            room->resize(bytes);
            room->clear();
        },
        [this, room, forLibrary = state_.textRoom.generation()] {
            saveRoomComing_ = false;
            state_.textRoom.putMadeFor(forLibrary, std::move(*room));
        });
}

void DocumentLifecycle::dropSaveRoom() {
    state_.textRoom.drop();
}

void DocumentLifecycle::waitForSave() {
    background_.waitForIdle();
}

bool DocumentLifecycle::newLibraryUnsaved() const {
    return equalsNoCase(host_.editorCaption(), kNewFileCaption);
}

void DocumentLifecycle::commitPendingEdit() {
    if (host_.loadedEditor()) host_.storePendingEdits();
}

bool DocumentLifecycle::treeIsEmpty() {
    DocumentView* form = host_.loadedEditor();
    return form == nullptr || form->tree().nodeCount() == 0;
}

void DocumentLifecycle::resetViewAndUnloadEditor() {
    // The library is about to be replaced: its edits cannot be undone into another one,
    // and the room of its saves would outlive it.
    state_.history.clear();
    dropSaveRoom();
    if (DocumentView* form = host_.loadedEditor()) {
        form->clearLibrary();
        // The library being replaced has been dealt with already: unloading must not ask.
        host_.setSaveOnUnload(false);
        // Unloading forgets the file name; the one just chosen must survive it.
        const std::string chosen = state_.doc.CurrentFileName;
        host_.unloadEditor();
        state_.doc.CurrentFileName = chosen;
    } else {
        state_.library.discardIndex();
    }
}

void DocumentLifecycle::NewLibrary() {
    waitForSave();
    commitPendingEdit();
    state_.doc.CopiedMaterialNumber = -1;
    if (state_.doc.DocumentOpen) {
        // The library being closed is saved as it is: under its name unless it never had
        // one. Cancel keeps it as it was, down to how Save treats it.
        if (ConfirmSaveChanges()) {
            RestoreUnitSystem();
            return;
        }
        resetViewAndUnloadEditor();
    }
    state_.doc.IsUntitled = true;
    state_.doc.DocumentOpen = true;
    state_.doc.CurrentFileName.clear();
    state_.doc.DiskStamp.reset();
    lock_.release();

    Library& lib = state_.library;
    lib.clear();
    state_.history.clear();
    // The sample keeps the texts it has always had: its working record's category ends in
    // two blanks where the index has four, and its shadow has none.
    clsMaterial record;
    record.MaterialType("My Material  ");
    record.MaterialName("My Material");
    record.MaterialDescription("This is a sample material");
    lib.addMaterial(LibraryEntry{"My Material    ", "", "My Material", "This is a sample material"},
                    std::move(record), clsMaterial());

    DocumentView& form = host_.editor();
    form.showLibrary();
    host_.showEditor();
    host_.setEditorCaption(kNewFileCaption);
    ShowFirstMaterial();
    form.showSelectors();
    form.chooseUnitSystem(0);
    RestoreUnitSystem();
    // The sample material alone is nothing to recover.
    recovery_.markSaved();
}

bool DocumentLifecycle::mayReplaceNeverSaved() {
    // Ask about a never-saved library before anything of it is discarded, so that "Yes"
    // still has something to save.
    if (!state_.doc.DocumentOpen || !(newLibraryUnsaved() || state_.doc.IsUntitled)) return true;
    const MsgResult answer =
        messages_.show(kSaveNewLibraryQuestion, MsgButtons::YesNoCancel, MsgIcon::Question);
    if (answer == MsgResult::Cancel) return false;
    if (answer == MsgResult::Yes) {
        SaveLibraryAs();
        if (!lastSaveWritten_) return false;
    }
    return true;
}

void DocumentLifecycle::OpenLibrary(const std::optional<std::string>& initialPath) {
    openOrImport(initialPath, false);
}

void DocumentLifecycle::importLibrary(const std::optional<std::string>& initialPath) {
    openOrImport(initialPath, true);
}

void DocumentLifecycle::openDroppedFile(const std::string& path) {
    openOrImport(path, isImportedOnDrop(path));
}

void DocumentLifecycle::openOrImport(const std::optional<std::string>& initialPath,
                                     bool importing) {
    waitForSave();
    commitPendingEdit();
    state_.doc.CopiedMaterialNumber = -1;
    std::optional<std::string> next = initialPath;
    bool imported = false;
    for (;;) {
        const std::optional<std::string> path =
            next        ? next
            : importing ? dialogs_.openFile(kImportDialogTitle, kImportDialogFilter)
                        : dialogs_.openFile(kOpenDialogTitle, kOpenDialogFilter);
        next.reset();
        if (!path) return;
        if (!mayReplaceNeverSaved()) return;

        const std::string previousName = state_.doc.CurrentFileName;
        const bool previousUntitled = state_.doc.IsUntitled;
        const std::optional<FileStamp> previousStamp = state_.doc.DiskStamp;
        state_.doc.IsUntitled = false;
        state_.doc.CurrentFileName = *path;
        if (!importing && !EndsWithXls(*path)) offerUnfinishedSave(*path);
        // Taken before reading: a change made while the file is read shows at the next save.
        state_.doc.DiskStamp = FileStamp::of(*path);
        if (readChosenFile(*path, importing) == ReadOutcome::Read) {
            imported = importing || EndsWithXls(*path);
            break;
        }
        if (state_.doc.DocumentOpen) {
            // The file could not be opened at all: the open library stays as it was.
            state_.doc.CurrentFileName = previousName;
            state_.doc.IsUntitled = previousUntitled;
            state_.doc.DiskStamp = previousStamp;
        } else {
            // The library that was open went when the file was read.
            state_.doc.CurrentFileName.clear();
            state_.doc.DiskStamp.reset();
            recovery_.discard();
            lock_.release();
        }
    }

    if (imported) {
        // The workbook keeps its name in the caption, but the library has no file of its
        // own yet: Save asks for one rather than writing library text over the workbook.
        state_.doc.IsUntitled = true;
        state_.doc.DiskStamp.reset();
    }
    showOpenedLibrary(state_.doc.CurrentFileName);
    recovery_.markSaved();
    lockCurrentFile(true);
    if (!imported && libraryFileUsed) libraryFileUsed(state_.doc.CurrentFileName);
    if (!imported && libraryOpened) libraryOpened(state_.doc.CurrentFileName);
}

void DocumentLifecycle::showOpenedLibrary(const std::string& caption) {
    DocumentView& form = host_.editor();
    form.showLibrary();
    host_.showEditor();
    host_.setEditorCaption(caption);
    ShowFirstMaterial();
    form.showSelectors();
    state_.doc.DocumentOpen = true;
    RestoreUnitSystem();
}

void DocumentLifecycle::lockCurrentFile(bool warn) {
    if (state_.doc.IsUntitled || state_.doc.CurrentFileName.empty()) {
        lock_.release();
        return;
    }
    const DocumentLock::Outcome outcome = lock_.acquire(state_.doc.CurrentFileName);
    if (!outcome.taken && warn)
        messages_.show(openElsewhereWarning(state_.doc.CurrentFileName, outcome.holder),
                       MsgButtons::OK, MsgIcon::Exclamation);
}

bool DocumentLifecycle::openRecoveredLibrary(const RecoveryCopy& copy) {
    waitForSave();
    commitPendingEdit();
    Library probe;
    ReadLocaleDecimalSeparator(state_, locale_);
    if (readLibraryText(copy.libraryText, probe, state_.doc.DecimalSeparator).status !=
        ReadResult::Status::Loaded)
        return false;
    if (!mayReplaceNeverSaved()) return false;
    state_.doc.CopiedMaterialNumber = -1;
    const RecoveryHeader& header = copy.header;
    state_.doc.CurrentFileName = header.fileName;
    resetViewAndUnloadEditor();
    state_.library = std::move(probe);
    state_.doc.IsUntitled = header.untitled || header.fileName.empty();
    state_.doc.CurrentFileName = header.fileName;
    state_.doc.DiskStamp = header.untitled ? std::nullopt : header.stamp;
    showOpenedLibrary(header.fileName.empty() ? std::string(kNewFileCaption) : header.fileName);
    // Nothing on disk holds what was recovered: it is kept until it is saved or closed.
    recovery_.markUnsaved();
    lockCurrentFile(true);
    return true;
}

void DocumentLifecycle::offerUnfinishedSave(const std::string& path) {
    const std::optional<std::string> copy = findUnfinishedRewrite(path);
    if (!copy) return;
    // No opens the file as it is; the copy stays, and the next save puts it back before it
    // writes, so that a save that dies too leaves the library as it was before both.
    if (messages_.show(unfinishedSaveQuestion(path), MsgButtons::YesNo, MsgIcon::Question) !=
        MsgResult::Yes)
        return;
    if (const int err = restoreUnfinishedRewrite(path, *copy); err != 0)
        messages_.show("Cannot restore " + path + ": " + fileErrorMessage(err) +
                           "\nThe library as it was before its last save is kept in " + *copy + ".",
                       MsgButtons::OK, MsgIcon::Exclamation);
}

DocumentLifecycle::ReadOutcome DocumentLifecycle::readChosenFile(const std::string& path,
                                                                 bool importing) {
    ReadLocaleDecimalSeparator(state_, locale_);
    if (importing || EndsWithXls(path)) {
        // Every foreign sheet, CSV included, is read where a crash costs only the reader,
        // and into a library of its own: a file that cannot be read at all (a pipe, a
        // damaged workbook) leaves the open library alone.
        Library imported;
        const ImportResult result =
            importFile(path, spreadsheets_, imported, CsvReading::ByWorkbookReader);
        if (result.status == ImportResult::Status::CannotOpen) {
            messages_.show(result.message(), MsgButtons::OK, MsgIcon::Exclamation);
            return ReadOutcome::NotRead;
        }
        resetViewAndUnloadEditor();
        state_.library.replaceWith(std::move(imported));
        // What was read before the failing row stays imported; the user learns where the
        // sheet stopped making sense, and of any row that was read with changes.
        if (const std::string message = result.message(); !message.empty())
            messages_.show(message, MsgButtons::OK, MsgIcon::Exclamation);
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
        resetViewAndUnloadEditor();
        state_.doc.DocumentOpen = false;
        if (check.status == ReadResult::Status::NotALibrary) {
            state_.library.clear();
            messages_.show(kNotALibraryMessage, MsgButtons::OK, MsgIcon::Exclamation);
            return ReadOutcome::NotRead;
        }
        state_.library.replaceWith(std::move(probe));
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
    // A second save waits for the first: two at once would race for the file.
    waitForSave();
    lastSaveWritten_ = false;
    commitPendingEdit();
    if (treeIsEmpty()) {
        messages_.show(kNothingToSave, MsgButtons::OK, MsgIcon::None);
        return;
    }
    host_.setEditorCaption(state_.doc.CurrentFileName);
    // A library read from a workbook is named after it but has no file of its own.
    if (state_.doc.CurrentFileName.empty() || state_.doc.IsUntitled) {
        SaveLibraryAs();
        return;
    }
    if (state_.library.LastMaterialIndex() < 0) {
        messages_.show(kNothingToSave, MsgButtons::OK, MsgIcon::None);
        return;
    }
    if (!mayOverwriteFile()) return;
    startWrite();
}

bool DocumentLifecycle::mayOverwriteFile() {
    const std::optional<FileStamp>& known = state_.doc.DiskStamp;
    if (!known) return true;
    const std::optional<FileStamp> now = FileStamp::of(state_.doc.CurrentFileName);
    // A file that has gone holds nothing that saving could overwrite.
    if (!now || *now == *known) return true;
    return messages_.show(changedOnDiskQuestion(state_.doc.CurrentFileName),
                          MsgButtons::YesNoCancel, MsgIcon::Exclamation) == MsgResult::Yes;
}

void DocumentLifecycle::SaveLibraryAs() {
    waitForSave();
    lastSaveWritten_ = false;
    commitPendingEdit();
    if (treeIsEmpty() || state_.library.LastMaterialIndex() < 0) {
        messages_.show(kNothingToSave, MsgButtons::OK, MsgIcon::None);
        return;
    }
    const std::string previousName = state_.doc.CurrentFileName;
    const bool previousUntitled = state_.doc.IsUntitled;
    const std::optional<FileStamp> previousStamp = state_.doc.DiskStamp;
    const std::string previousCaption = host_.editorCaption();
    // A library read from a workbook is offered the workbook's name as a library; a
    // library with a file starts the dialog in its folder, on its name.
    const std::string proposed = previousName.empty() ? ""
                                 : previousUntitled   ? proposedLibraryPath(previousName)
                                                      : previousName;
    for (;;) {
        const std::optional<std::string> path = dialogs_.saveFile(kSaveDialogTitle, "", proposed);
        if (!path) {
            // A failed attempt before the cancel must not leave the library named after it.
            state_.doc.CurrentFileName = previousName;
            state_.doc.IsUntitled = previousUntitled;
            state_.doc.DiskStamp = previousStamp;
            if (host_.loadedEditor()) host_.setEditorCaption(previousCaption);
            return;
        }
        state_.doc.CurrentFileName = *path;
        state_.doc.IsUntitled = false;
        host_.showEditor();
        host_.setEditorCaption(*path);
        // The dialog's answer depends on how the save ends: wait for it.
        if (startWrite()) waitForSave();
        if (lastSaveWritten_) {
            lockCurrentFile(false);
            if (libraryFileUsed) libraryFileUsed(*path);
            return;
        }
        if (processEnding_) return;
    }
}

std::string DocumentLifecycle::writeErrorDetails() {
    std::string reason;
    const std::optional<std::string> copy = recovery_.writeNow(reason);
    std::string text = "The library could not be saved to " + state_.doc.CurrentFileName +
                       ".\nRetry tries again. Cancel closes the program at once, without "
                       "saving.\n";
    if (copy)
        text += "The library as it is now has been copied to " + *copy +
                "; it is offered the next time the program starts.";
    else
        text +=
            "No recovery copy could be written to " + recovery_.store().location() + ": " + reason;
    return text;
}

// What a save carries from its start to its end: the part that runs in the background,
// and the question asked on a write error, whose details are worked out once per save.
struct DocumentLifecycle::RunningSave {
    RunningSave(DocumentLifecycle& owner, const std::string& fileName, Library& library,
                LargeText room)
        : save(fileName, library, groupByCategory(library), systemFileOps(),
               WriteOptions{Durability::Flushed, {}}, std::move(room)),
          prompt(owner.messages_, [&owner] { return owner.writeErrorDetails(); }),
          editsSaved(owner.recovery_.editCount()) {}
    LibrarySave save;
    MessageBoxWritePrompt prompt;
    int error = 0;
    LibraryDigest digest; // of the text saved, for the recovery copy
    std::uint64_t editsSaved;
};

bool DocumentLifecycle::startWrite() {
    if (state_.doc.CurrentFileName.empty()) return false;
    runSave(std::make_shared<RunningSave>(*this, state_.doc.CurrentFileName, state_.library,
                                          state_.textRoom.take()));
    return true;
}

void DocumentLifecycle::runSave(std::shared_ptr<RunningSave> save) {
    background_.start(
        [save] {
            save->error = save->save.run();
            // The text's digest costs the window's thread nothing here, and spares the
            // recovery copy another walk over the library.
            if (save->error == 0) save->digest = digestText(save->save.text());
        },
        [this, save] { saveFinished(save); });
}

void DocumentLifecycle::saveFinished(const std::shared_ptr<RunningSave>& save) {
    const std::string& fileName = save->save.fileName();
    if (save->error == 0) {
        state_.textRoom.put(save->save.releaseText());
        state_.doc.DiskStamp = FileStamp::of(fileName);
        recovery_.markSaved(save->digest, save->editsSaved);
        lastSaveWritten_ = true;
        if (librarySaved) librarySaved(fileName);
        return;
    }
    const std::string message = save->save.failureMessage(save->error);
    if (!save->save.retryable()) {
        messages_.show(message, MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    // Retry repeats the step that failed, again in the background.
    if (save->prompt.retry(message)) {
        runSave(save);
        return;
    }
    // An in-place rewrite whose old content could not be put back leaves a complete copy
    // of it somewhere: the user must learn where before the program goes.
    const WriteResult result = save->save.abandon();
    if (!result.message.empty()) messages_.show(result.message, MsgButtons::OK, MsgIcon::Critical);
    processEnding_ = true;
    host_.endProcess();
}

bool DocumentLifecycle::ConfirmSaveChanges() {
    waitForSave();
    commitPendingEdit();
    const bool newLibrary = newLibraryUnsaved();
    if (!state_.doc.CurrentFileName.empty() || newLibrary) {
        // A library read from a workbook has never been saved either.
        const bool neverSaved =
            (newLibrary && state_.doc.CurrentFileName.empty()) || state_.doc.IsUntitled;
        const std::string question = neverSaved
                                         ? std::string(kSaveNewLibraryQuestion)
                                         : "Save changes to " + state_.doc.CurrentFileName + " ?";
        const MsgResult answer =
            messages_.show(question, MsgButtons::YesNoCancel, MsgIcon::Question);
        if (answer == MsgResult::Cancel) return true;
        if (answer == MsgResult::Yes) {
            if (!state_.doc.CurrentFileName.empty())
                SaveLibrary();
            else
                SaveLibraryAs();
            waitForSave();
            // A save the user abandoned (or that failed) must not be followed by closing
            // the library: that would lose exactly what they asked to keep.
            if (!lastSaveWritten_) return true;
        }
    }
    if (DocumentView* form = host_.loadedEditor()) form->clearLibrary();
    state_.history.clear();
    dropSaveRoom();
    host_.setSaveOnUnload(false);
    host_.unloadEditor();
    state_.doc.DocumentOpen = false;
    state_.doc.DiskStamp.reset();
    // The user chose what becomes of the library: no copy of it is kept any longer.
    recovery_.discard();
    lock_.release();
    return false;
}

void DocumentLifecycle::ShowFirstMaterial() {
    DocumentView& form = host_.editor();
    TreeControl& tree = form.tree();
    tree.setVisible(true);
    if (tree.nodeCount() == 0) return;
    const std::vector<std::string> keys = tree.keysInOrder();
    tree.select(keys.front());
    if (state_.library.LastMaterialIndex() >= 0) {
        clsMaterial& first = state_.library.material(0);
        form.categoryBox().setText(first.MaterialType());
        form.nameBox().setText(first.MaterialName());
        form.descriptionBox().setText(first.MaterialDescription());
    }
    // Open on the first material itself, so the grid shows its values straight away.
    for (const std::string& key : keys) {
        if (!IsCategoryKey(key)) {
            tree.ensureVisible(key);
            tree.select(key);
            form.TreeView1_NodeClick(key);
            break;
        }
    }
}

void DocumentLifecycle::RestoreUnitSystem() {
    DocumentView* form = host_.loadedEditor();
    if (!form) return;
    form->chooseUnitSystem(registry_.GetValue());
}

} // namespace mb

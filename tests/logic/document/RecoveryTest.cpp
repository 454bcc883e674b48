// Copies of libraries with unsaved edits: what a copy holds, when it is written and
// removed, the write error that ends the program, and the offer at the next start.

#include "ApplicationFixture.h"

#include "LibraryFile.h"
#include "Recovery.h"

namespace mb {
namespace {

TEST(RecoveryCopyText, TheHeaderComesBackAsWrittenWithTheLibraryTextAfterIt) {
    const FileStamp stamp{2049, 1234567, 9320538, 1765000000, 999999999};
    const std::vector<RecoveryHeader> headers = {
        {"/home/ann/libs/steels.lib", false, stamp},
        {"", true, std::nullopt},
        {"/data/a\\b\nc.xls", true, std::nullopt}, // a backslash and a line feed in the name
    };
    for (const RecoveryHeader& header : headers) {
        const std::string content = recoveryHeaderText(header) + kTwoMaterials;
        const std::optional<RecoveryCopy> copy = parseRecoveryCopy(content);
        ASSERT_TRUE(copy) << header.fileName;
        EXPECT_EQ(copy->header, header);
        EXPECT_EQ(copy->libraryText, kTwoMaterials);
    }
}

TEST(RecoveryCopyText, AnythingElseIsNotACopy) {
    const std::string good = recoveryHeaderText({"/x.lib", false, std::nullopt});
    for (const std::string& content : {
             std::string("VELTRA/M recovery copy 2\nfile /x.lib\nuntitled 0\nstamp \n\n"),
             std::string("VELTRA/M recovery copy 1\nfile /x.lib\nuntitled 2\nstamp \n\n"),
             std::string("VELTRA/M recovery copy 1\nfile /x.lib\nuntitled 0\nstamp 1 2 3\n\n"),
             std::string("VELTRA/M recovery copy 1\nfile /x\\q.lib\nuntitled 0\nstamp \n\n"),
             std::string("VELTRA/M recovery copy 1\nfile /x.lib\nuntitled 0\nstamp \nMATTYPE:A\n"),
             good.substr(0, good.size() - 1),
         })
        EXPECT_FALSE(parseRecoveryCopy(content)) << content;
}

TEST_F(ApplicationTest, ACopyHoldsWhatASaveWritesAndLeavesMaterialsWithoutACodeAsTheyWere) {
    app.NewLibrary();
    LargeText copy;
    formatLibraryInto(state.library, copy);
    EXPECT_EQ(state.library.material(0).MaterialNameCode(), "");
    dialogs.queuePath(tmp.file("new.lib"));
    app.SaveLibrary();
    EXPECT_EQ(std::string(copy), test::ReadBytes(tmp.file("new.lib")));
    EXPECT_EQ(state.library.material(0).MaterialNameCode(), "My Material  ");
}

TEST_F(ApplicationTest, AnEditedLibraryIsCopiedAtEachTickUntilItIsSavedOrClosed) {
    ASSERT_TRUE(recoveryTimer.tick);
    EXPECT_GT(recoveryTimer.intervalMs, 0);
    EXPECT_LE(recoveryTimer.intervalMs, 2 * 60 * 1000);
    const std::string file = openSaved();
    recoveryTimer.fire();
    EXPECT_EQ(recoveryStore.backgroundWrites, 0) << "nothing was edited";

    state.history.SetValue(1, "DENS", 1140);
    recoveryTimer.fire();
    ASSERT_TRUE(recoveryStore.copy);
    const std::optional<RecoveryCopy> copy = parseRecoveryCopy(*recoveryStore.copy);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->header, (RecoveryHeader{file, false, FileStamp::of(file)}));
    const std::string copied(copy->libraryText);
    recoveryTimer.fire();
    EXPECT_EQ(recoveryStore.backgroundWrites, 1) << "the same edits are not copied twice";

    app.SaveLibrary();
    EXPECT_EQ(test::ReadBytes(file), copied);
    EXPECT_EQ(recoveryStore.copy, std::nullopt) << "saved: nothing left to recover";

    // Edited and edited back: the library is as saved again, so its copy goes.
    state.history.SetValue(1, "DENS", 1150);
    recoveryTimer.fire();
    EXPECT_TRUE(recoveryStore.copy);
    state.history.SetValue(1, "DENS", 1140);
    recoveryTimer.fire();
    EXPECT_EQ(recoveryStore.copy, std::nullopt);

    for (auto close :
         {+[](Application& a) { a.closeLibrary(); }, +[](Application& a) { a.exitFromEditor(); }}) {
        if (!state.doc.DocumentOpen) app.openLibraryFile(file);
        state.history.SetValue(0, "DENS", 7800);
        recoveryTimer.fire();
        EXPECT_TRUE(recoveryStore.copy);
        messages.queueAnswer(MsgResult::No);
        close(app);
        EXPECT_EQ(recoveryStore.copy, std::nullopt) << "the user chose to drop the edits";
    }
    EXPECT_EQ(test::ReadBytes(file), copied);
}

TEST_F(ApplicationTest, AWriteErrorCopiesTheLibraryFirstAndSaysWhereBeforeCancelEndsTheProgram) {
    const std::string file = openSaved();
    state.history.SetValue(1, "DENS", 1140);
    const auto box = [&](const std::string& copied) {
        return "File too large\n\nThe library could not be saved to " + file +
               ".\nRetry tries again. Cancel closes the program at once, without saving.\n" +
               copied + " [RetryCancel Exclamation]";
    };
    const std::string copied = box("The library as it is now has been copied to "
                                   "/home/user/.local/share/recovery/own.copy; it is offered the "
                                   "next time the program starts.");
    for (const MsgResult answer : {MsgResult::Retry, MsgResult::Cancel})
        messages.queueAnswer(answer);
    {
        test::FileSizeLimit limit(100);
        app.SaveLibrary();
    }
    EXPECT_EQ(asked(), (Texts{copied, copied}));
    EXPECT_EQ(recoveryStore.immediateWrites, 1) << "one copy per save, before the first box";
    EXPECT_EQ(process.ended, 1);
    EXPECT_EQ(test::ReadBytes(file), kTwoMaterials);
    ASSERT_TRUE(recoveryStore.copy);
    EXPECT_NE(recoveryStore.copy->find("DENS"), std::string::npos);

    // The copy itself may fail too; the box says so.
    recoveryStore.failure = "No space left on device";
    messages.queueAnswer(MsgResult::Cancel);
    {
        test::FileSizeLimit limit(100);
        app.SaveLibrary();
    }
    EXPECT_EQ(asked().back(), box("No recovery copy could be written to "
                                  "/home/user/.local/share/recovery: No space left on device"));
}

std::string CopyOf(const RecoveryHeader& header, const std::string& text) {
    return recoveryHeaderText(header) + text;
}

TEST_F(ApplicationTest, ACopyLeftBehindIsOfferedYesOpensItAsTheLibraryNamedAfterItsFile) {
    const std::string file = library("steels.lib", kTwoMaterials);
    Library edited;
    readLibraryText(kTwoMaterials, edited, ".");
    edited.material(1).CopyProperty("DENS", 1140);
    const std::string editedText = libraryText(edited, groupByCategory(edited));
    recoveryStore.left = {
        {"41-a", CopyOf({file, false, FileStamp::of(file)}, editedText), "12/6/26 1:40 PM"},
        {"42-b", "something else entirely", "12/6/26 1:41 PM"},
        {"43-c", CopyOf({"", true, std::nullopt}, kTwoMaterials), "12/6/26 1:42 PM"},
    };
    app.offerRecovery();
    EXPECT_EQ(asked(), Texts{"Recover the unsaved changes of " + file +
                             " from 12/6/26 1:40 PM? [YesNo Question]"});
    EXPECT_EQ(caption(), file);
    EXPECT_FALSE(state.doc.IsUntitled);
    // This instance holds a copy of its own before the old one goes; the rest stay.
    EXPECT_EQ(recoveryStore.immediateWrites, 1);
    EXPECT_EQ(recoveryStore.removed, Texts{"41-a"});
    EXPECT_EQ(recoveryStore.released, (Texts{"42-b", "43-c"}));
    EXPECT_EQ(lock.held, file);

    app.SaveLibrary();
    EXPECT_EQ(test::ReadBytes(file), editedText);
    EXPECT_EQ(recoveryStore.copy, std::nullopt);
    EXPECT_EQ(asked().size(), 1u);
}

TEST_F(ApplicationTest, NoRemovesACopyAndANewLibraryComesBackNeverSaved) {
    const std::string book = tmp.file("alloys.xls");
    recoveryStore.left = {
        {"41-a", CopyOf({"", true, std::nullopt}, kTwoMaterials), "12/6/26 1:40 PM"},
        {"42-b", CopyOf({book, true, std::nullopt}, kTwoMaterials), "12/6/26 1:41 PM"},
    };
    messages.queueAnswer(MsgResult::No);
    app.offerRecovery();
    EXPECT_EQ(
        asked(),
        (Texts{
            "Recover the unsaved changes of a new library from 12/6/26 1:40 PM? [YesNo Question]",
            "Recover the unsaved changes of " + book + " from 12/6/26 1:41 PM? [YesNo Question]"}));
    EXPECT_EQ(recoveryStore.removed, (Texts{"41-a", "42-b"}));
    // Read from a workbook, never saved: Save asks for a name, beside the workbook.
    EXPECT_EQ(caption(), book);
    EXPECT_EQ(state.library.LastMaterialIndex(), 1);
    app.SaveLibrary();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].proposedPath, tmp.file("alloys.lib"));
    EXPECT_EQ(lock.held, std::nullopt);

    recoveryStore.left = {
        {"43-c", CopyOf({"", true, std::nullopt}, kTwoMaterials), "12/6/26 1:42 PM"}};
    messages.queueAnswer(MsgResult::Yes);
    messages.queueAnswer(MsgResult::No); // "Do you want to save changes?" of the open one
    app.offerRecovery();
    EXPECT_EQ(caption(), kUntitled);
    EXPECT_TRUE(state.doc.IsUntitled);
    EXPECT_EQ(asked().back(), "Do you want to save changes? [YesNoCancel Question]");
}

TEST_F(ApplicationTest, ARecoveredLibraryWhoseFileChangedSinceAsksBeforeItIsSaved) {
    const std::string file = library("steels.lib", kTwoMaterials);
    const std::optional<FileStamp> then = FileStamp::of(file);
    test::WriteBytes(file, kTwoMaterials + "MATTYPE:Added later\r\n");
    recoveryStore.left = {{"41-a", CopyOf({file, false, then}, kTwoMaterials), "12/6/26 1:40 PM"}};
    app.offerRecovery();
    messages.queueAnswer(MsgResult::No);
    app.SaveLibrary();
    EXPECT_EQ(asked().back(), file + " has been changed on disk since it was opened or last saved "
                                     "here, by another program or another window.\n\nDo you want "
                                     "to overwrite it? [YesNoCancel Exclamation]");
    EXPECT_EQ(test::ReadBytes(file), kTwoMaterials + "MATTYPE:Added later\r\n");
}

} // namespace
} // namespace mb

#include "ApplicationFixture.h"

#include "LibraryFile.h"
#include "SpreadsheetImport.h"
#include "TestPaths.h"

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace mb {
namespace {

// ---- What is typed is kept -----------------------------------------------------------

Library Reread(const std::string& path) {
    Library lib;
    EXPECT_EQ(ReadLibraryFile(path, lib, ".").status, ReadResult::Status::Loaded) << path;
    return lib;
}

double Value(Library& lib, int n, const char* code) {
    clsMaterial& m = lib.Material(n);
    m.Property(code);
    return m.value();
}

TEST_F(ApplicationTest,
       EveryDocumentCommandStoresTheValueStillInTheGridAndTheDescriptionStillInItsBox) {
    settings.put("Unit", "BinaryValue",
                 {SettingsValue::Type::Binary, std::string("\x01\0\0\0", 4)}); // SI
    const std::string file = tmp.file("steels.lib");
    // Each command that writes the library, the question answered Yes where it asks one.
    const std::vector<std::pair<std::string, std::function<void()>>> commands = {
        {"Save", [&] { app.SaveLibrary(); }},
        {"Save As", [&] { dialogs.queuePath(file), app.SaveLibraryAs(); }},
        {"Close", [&] { messages.queueAnswer(MsgResult::Yes), app.CloseLibrary(); }},
        {"New", [&] { messages.queueAnswer(MsgResult::Yes), app.NewLibrary(); }},
        {"Exit", [&] { messages.queueAnswer(MsgResult::Yes), app.ExitFromEditor(); }},
        {"closing the window",
         [&] { messages.queueAnswer(MsgResult::Yes), app.editorCloseRequested(); }},
    };
    for (const auto& [name, run] : commands) {
        if (state.doc.DocumentOpen) messages.queueAnswer(MsgResult::No), app.CloseLibrary();
        openSaved();
        window().clickNode(kPA6);
        window().clickCell(1, 2); // EX
        window().VSFlexGrid1.typeIntoCurrentCell("2500000000");
        run();
        Library saved = Reread(file);
        EXPECT_EQ(Value(saved, 1, "EX"), 2.5e9) << "grid, " << name;

        if (state.doc.DocumentOpen) messages.queueAnswer(MsgResult::No), app.CloseLibrary();
        openSaved();
        window().clickNode(kPA6);
        app.descriptionText_GotFocus();
        window().descriptionText.setText("Polyamide 6, dry");
        run();
        EXPECT_NE(test::ReadBytes(file).find(":Polyamide 6, dry\r\n"), std::string::npos)
            << "description, " << name;
    }
}

TEST_F(ApplicationTest, OpenStoresThePendingValueEvenWhenItsDialogIsCancelled) {
    settings.put("Unit", "BinaryValue",
                 {SettingsValue::Type::Binary, std::string("\x01\0\0\0", 4)}); // SI
    openSaved();
    window().clickNode(kPA6);
    window().clickCell(1, 2);
    window().VSFlexGrid1.typeIntoCurrentCell("3000000000");
    app.OpenLibrary(); // cancelled
    EXPECT_EQ(Value(state.library, 1, "EX"), 3e9);
    EXPECT_FALSE(window().form.EditStarted);
}

TEST_F(ApplicationTest, ATextInTheDescriptionBoxIsNoPendingEditOnceTheBoxHasLostTheFocus) {
    const std::string file = openSaved();
    window().clickNode(kPA6);
    app.descriptionText_GotFocus();
    window().descriptionText.setText("Polyamide 6");
    app.descriptionText_LostFocus();
    // Whatever puts text in the box afterwards is not the user's typing there.
    window().descriptionText.setText("shown, not typed");
    app.SaveLibrary();
    const std::string saved = test::ReadBytes(file);
    EXPECT_NE(saved.find(":Polyamide 6\r\n"), std::string::npos);
    EXPECT_EQ(saved.find("shown, not typed"), std::string::npos);
}

} // namespace
} // namespace mb

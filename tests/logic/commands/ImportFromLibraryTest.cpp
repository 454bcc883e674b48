// Materials of another library added to the open one: which are offered, what a name
// collision does, the library's limit, and the whole import as one undoable edit.

#include "ImportFromLibrary.h"
#include "EditorFixture.h"
#include "FakeExchangeDialogs.h"
#include "LibraryFile.h"
#include "MaterialPicker.h"
#include "TempDir.h"

#include <fstream>

namespace mb::test {
namespace {

constexpr const char* kFull =
    "The library is full: it already holds 1001 materials, the most a library can hold. "
    "Delete a material before adding another.";

using enum CollisionAnswer;

class ImportFromLibraryTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        // The other library: two new materials, one in a new category, and three whose
        // names the open library has (one spelt in other capitals).
        AppState other;
        fake::FakeEditor otherEditor{other};
        Library& lib = other.library;
        const std::tuple<const char*, const char*, const char*, double> materials[] = {
            {"Steel    ", "S355  ", "high strength", 2.1e11},
            {"steel    ", "a36  ", "from the other file", 1.99e11},
            {"Titanium    ", "Ti-6Al-4V  ", "grade 5", 1.14e11},
            {"Aluminium    ", "6061  ", "other 6061", 6.8e10},
            {"Copper    ", "C101  ", "", 1.2e11},
        };
        for (const auto& [category, name, description, ex] : materials) {
            clsMaterial record;
            record.MaterialType(category);
            record.MaterialName(name);
            record.MaterialDescription(description);
            record.CopyProperty("EX", ex);
            lib.addMaterial(LibraryEntry{category, "", name, description}, record, record);
        }
        otherPath_ = dir.file("other.lib");
        std::ofstream(otherPath_) << libraryText(lib, groupByCategory(lib));
        ASSERT_EQ(importer.open(otherPath_), "");
    }

    std::string SavedText() { return libraryText(library(), groupByCategory(library())); }

    fake::FakeExchangeDialogs dialogs;
    ImportFromLibrary importer{state, editor.form, editor.messageBox, dialogs};
    TempDir dir;
    std::string otherPath_;
};

// Other library: 0 S355, 1 a36, 2 Ti-6Al-4V, 3 6061, 4 C101.
TEST_F(ImportFromLibraryTest, CollisionsAreCopiedOrSkippedAndTheImportIsOneEdit) {
    struct Case {
        std::vector<int> chosen;
        std::deque<CollisionAnswer> answers;
        std::vector<std::string> asked;
        Texts added; // after the open library's five
        std::string undo;
    };
    const std::string a36 = "a36 -> Copy of a36", al = "6061 -> Copy of 6061";
    const Case cases[] = {
        {{0, 2}, {}, {}, {"S355", "Ti-6Al-4V"}, "Undo Import 2 Materials"},
        {{1, 3}, {Copy, Skip}, {a36, al}, {"Copy of a36"}, "Undo Import 1 Material"},
        {{1, 3, 4}, {CopyAll}, {a36}, {"Copy of a36", "Copy of 6061", "Copy of C101"}, ""},
        {{0, 1, 3, 4}, {Skip, SkipAll}, {a36, al}, {"S355"}, "Undo Import 1 Material"},
        // Cancel at any collision imports nothing, not even what came before it.
        {{0, 1, 2}, {Cancel}, {a36}, {}, "Undo"},
    };
    const std::string before = SavedText();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked.size());
        dialogs.answers = c.answers;
        dialogs.asked.clear();
        const int added = importer.importMaterials(c.chosen);
        EXPECT_EQ(dialogs.asked, c.asked);
        EXPECT_TRUE(dialogs.answers.empty());
        Texts names = kFiveNames;
        names.insert(names.end(), c.added.begin(), c.added.end());
        EXPECT_EQ(EntryNames(), names);
        EXPECT_EQ(added, static_cast<int>(c.added.size()));
        if (!c.undo.empty()) {
            EXPECT_EQ(undoCaption(state.history), c.undo);
        }
        EXPECT_TRUE(editor.messageBox.questions.empty());
        if (added > 0) {
            // The first one added is shown, selected, under its own category's node.
            const int first = 5;
            EXPECT_EQ(tree().selectedKey(), KeyOf(first));
            EXPECT_EQ(trimBlanks(tree().nodeText(*tree().parentKey(KeyOf(first)))),
                      trimBlanks(library().entry(first).Category));
            commands.undo();
            EXPECT_EQ(SavedText(), before);
            EXPECT_FALSE(state.history.canUndo());
        }
    }
}

// The undo of an import is checked with the collisions above.
TEST_F(ImportFromLibraryTest, ImportedMaterialsKeepCategoryTextsAndValuesAndRedoIsExact) {
    dialogs.answers = {Copy};
    ASSERT_EQ(importer.importMaterials({0, 1, 2}), 3);
    // Both join the open library's Steel; the copy takes the other's values and texts.
    const LibraryEntry& s355 = library().entry(5);
    EXPECT_EQ((Texts{s355.Category, s355.Name, s355.Description, library().entry(6).Category,
                     library().entry(6).Description, library().material(6).MaterialName(),
                     library().shadow(6).MaterialName(), tree().nodeText("Titanium    ")}),
              (Texts{"Steel    ", "S355  ", "high strength", "Steel    ", "from the other file",
                     "Copy of a36", "Copy of a36", "Titanium    "}));
    EXPECT_EQ(ValueOf(library().material(6), "EX"), 1.99e11);
    EXPECT_EQ(ValueOf(library().shadow(7), "EX"), 1.14e11);
    const std::string after = SavedText();
    commands.undo();
    commands.redo();
    EXPECT_EQ(SavedText(), after);
    EXPECT_EQ(KeyOf(7), "Titanium    Ti-6Al-4V  0007") << "the tree followed the redo";
}

TEST_F(ImportFromLibraryTest, AFullLibraryTakesWhatFitsAndSaysSo) {
    for (int i = library().materialCount(); i < kMaxMaterials - 1; ++i)
        library().addMaterial("Filler    ", "", "F" + std::to_string(i), "");
    Unselect();
    EXPECT_EQ(importer.importMaterials({0, 2}), 1);
    EXPECT_TRUE(library().isFull());
    EXPECT_EQ(trimBlanks(library().entry(kMaxMaterials - 1).Name), "S355");
    ExpectOnlyMessage(kFull, MsgButtons::OK, MsgIcon::Exclamation);
    EXPECT_EQ(importer.importMaterials({2}), 0);
    ExpectOnlyMessage(kFull, MsgButtons::OK, MsgIcon::Exclamation);
    EXPECT_EQ(undoCaption(state.history), "Undo Import 1 Material");
}

TEST_F(ImportFromLibraryTest, ACopyWhoseNameIsTakenTooIsLeftOutWithANote) {
    dialogs.answers = {Copy};
    importer.importMaterials({1});
    dialogs.answers = {Copy};
    EXPECT_EQ(importer.importMaterials({1, 0}), 1);
    ExpectOnlyMessage("\"Copy of a36\" exists as well: a36 was not imported.", MsgButtons::OK,
                      MsgIcon::Exclamation);
    EXPECT_EQ(EntryNames().back(), "S355");
}

// The whole command through its dialogs: the find box takes the tree's queries, a
// category's box checks what the find box shows of it, and a checked material stays
// checked while it is hidden.
TEST_F(ImportFromLibraryTest, TheListGroupsByCategoryAndFindsAsTheTreeDoes) {
    fake::FakeFileDialogs files;
    files.queuePath(otherPath_);
    std::vector<std::vector<std::string>> seen;
    std::vector<bool> importEnabled;
    dialogs.importUser = [&](fake::FakeImportDialog& d, MaterialPickerHandler& user) {
        EXPECT_EQ(d.source, otherPath_);
        importEnabled.push_back(d.importEnabled);
        seen.push_back(d.shown());
        user.findBox_Change("EX>1.5E11");
        seen.push_back(d.shown());
        user.line_Check(d.line("Steel"), true);
        importEnabled.push_back(d.importEnabled);
        user.line_Check(d.line("Steel"), false);
        importEnabled.push_back(d.importEnabled);
        user.line_Check(d.line("Steel"), true);
        user.findBox_Change("");
        seen.push_back(d.shown());
        user.line_Check(d.line("Ti-6Al-4V"), true);
        user.line_Check(d.line("Steel"), false);
        user.line_Check(d.line("a36"), true);
        seen.push_back(d.shown());
        return true;
    };
    dialogs.answers = {Skip};
    importer.run(files);
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].title, "Import Materials from Library...");
    using V = std::vector<std::string>;
    EXPECT_EQ(seen[0], (V{"Steel", "S355", "a36", "Titanium", "Ti-6Al-4V", "Aluminium", "6061",
                          "Copper", "C101"}));
    EXPECT_EQ(seen[1], (V{"Steel", "S355", "a36"})); // in SI, as the fixture shows
    EXPECT_EQ(seen[2], (V{"+Steel", "+S355", "+a36", "Titanium", "Ti-6Al-4V", "Aluminium", "6061",
                          "Copper", "C101"}));
    EXPECT_EQ(seen[3], (V{"Steel", "S355", "+a36", "+Titanium", "+Ti-6Al-4V", "Aluminium", "6061",
                          "Copper", "C101"}));
    EXPECT_EQ(importEnabled, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(dialogs.asked, V{"a36 -> Copy of a36"});
    EXPECT_EQ(EntryNames().back(), "Ti-6Al-4V");

    // A file that is no library is named, and nothing is offered.
    files.queuePath(dir.file("missing.lib"));
    dialogs.importUser = nullptr;
    importer.run(files);
    ExpectOnlyMessage("Cannot open " + dir.file("missing.lib") + ": " + readErrorMessage(ENOENT),
                      MsgButtons::OK, MsgIcon::Exclamation);
}

} // namespace
} // namespace mb::test

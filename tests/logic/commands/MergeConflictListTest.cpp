#include "MergeConflictList.h"

#include "AppState.h"
#include "FakeServices.h"
#include "PropertyCatalogue.h"
#include "TempDir.h"
#include "TextUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace mb {
namespace {

class FakeConflictList : public ConflictListControl {
public:
    void setRows(const std::vector<ConflictRow>& r) override { rows = r; }
    int selectedRow() const override { return selected; }
    void selectRow(int row) override { selected = row; }
    void setTakeEnabled(bool ours, bool theirs, bool base) override {
        enabled = {ours, theirs, base};
    }
    void setStatus(const std::string& text) override { status = text; }
    void setShown(bool s) override { shown = s; }

    std::vector<ConflictRow> rows;
    int selected = -1;
    std::array<bool, 3> enabled{};
    std::string status;
    bool shown = false;
};

class FakeConflictEditor : public ConflictEditor {
public:
    std::string UnitSystem() const override { return units; }
    void showMaterial(int n) override { shownMaterials.push_back(n); }
    std::string units = "SI";
    std::vector<int> shownMaterials;
};

constexpr std::string_view kConflicts =
    "conflict\tS235\tEX\t2.1E11\t2.05E11\t2.12E11\n"
    "conflict\tS235\tNAME\tS235\tS235\tStructural Steel S235\n"
    "conflict\tS235\tDENS\t7850\t7860\t-\n"
    "conflict\tCopper\tDESCRIPTION\tpure\tpure, annealed\tC101\n"
    "conflict\tBrass\tMATERIAL\tAlloys\tAlloys\t-\n";

struct ConflictListFixture : ::testing::Test {
    ConflictListFixture() {
        const int steel = state.library.addMaterial("Steels    ", "", "S235  ", "");
        state.library.setOriginalValue(steel, Slot("EX"), 2.05e11);
        state.library.setOriginalValue(steel, Slot("DENS"), 7860);
        state.library.addMaterial("Metals    ", "", "Copper  ", "pure, annealed");
        std::ofstream(library + ".conflicts", std::ios::binary) << kConflicts;
        conflicts.libraryOpened(library);
    }
    static int Slot(const char* code) { return PropertyCatalogue::instance().findExact(code); }
    double value(int n, const char* code) {
        return state.library.material(n).slotValue(Slot(code));
    }
    bool hasValue(int n, const char* code) {
        return state.library.material(n).HasValue(Slot(code));
    }
    std::vector<std::string> properties() const {
        std::vector<std::string> out;
        for (const ConflictRow& r : list.rows)
            out.push_back(r.material + " " + r.property);
        return out;
    }
    std::string fileText() const {
        std::ifstream in(library + ".conflicts", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    test::TempDir dir;
    const std::string library = dir.file("steels.lib");
    AppState state;
    FakeConflictList list;
    FakeConflictEditor editor;
    fake::FakeMessageBox messages;
    MergeConflictList conflicts{state, list, editor, messages};
};

TEST_F(ConflictListFixture, ShowsEachConflictWithItsValuesInTheShownUnits) {
    EXPECT_TRUE(list.shown);
    ASSERT_EQ(list.rows.size(), 5u);
    const ConflictRow& ex = list.rows[0];
    EXPECT_EQ(std::tie(ex.material, ex.property, ex.base, ex.ours, ex.theirs),
              std::make_tuple("S235", "EX", "210000000000 N/m^2", "205000000000 N/m^2",
                              "212000000000 N/m^2"));
    EXPECT_EQ(list.rows[2].theirs, "-");
    EXPECT_EQ(list.rows[3].ours, "pure, annealed");
    EXPECT_EQ(list.status,
              "5 conflicts to decide. Saving the library keeps its .conflicts file up to date.");
    editor.units = "IPS";
    conflicts.refresh();
    EXPECT_EQ(list.rows[0].ours, "29737830 psi");
    // A selected conflict's sides; the whole material has none to set.
    list.selectRow(3);
    conflicts.conflictList_Click();
    EXPECT_EQ(list.enabled, (std::array<bool, 3>{true, true, true}));
    list.selectRow(4);
    conflicts.conflictList_Click();
    EXPECT_EQ(list.enabled, (std::array<bool, 3>{true, false, false}));
}

TEST_F(ConflictListFixture, TakeTheirsIsOneEditThatUndoBringsBack) {
    list.selectRow(0);
    conflicts.takeTheirs();
    EXPECT_EQ(value(0, "EX"), 2.12e11);
    EXPECT_EQ(state.history.undoLabel(), "Take theirs: EX of S235");
    EXPECT_EQ(properties()[0], "S235 Name");
    EXPECT_EQ(list.selected, 0); // the next conflict
    state.history.undo();
    EXPECT_EQ(value(0, "EX"), 2.05e11);
    EXPECT_EQ(properties().size(), 5u);
    state.history.redo();
    EXPECT_EQ(value(0, "EX"), 2.12e11);
    EXPECT_EQ(properties().size(), 4u);

    // Base of a value set on one side only: none, and taking it clears the value.
    list.selectRow(1);
    conflicts.takeTheirs();
    EXPECT_FALSE(hasValue(0, "DENS"));
    EXPECT_EQ(state.history.undoLabel(), "Take theirs: DENS of S235");
}

TEST_F(ConflictListFixture, ARenameTakenCarriesTheMaterialsOtherConflicts) {
    list.selectRow(1);
    conflicts.takeTheirs();
    EXPECT_EQ(state.history.undoLabel(), "Take theirs: NAME of S235");
    EXPECT_EQ(trimBlanks(state.library.entry(0).Name), "Structural Steel S235");
    list.selectRow(0);
    conflicts.takeBase();
    EXPECT_EQ(value(0, "EX"), 2.1e11);
    EXPECT_EQ(state.history.undoLabel(), "Take base: EX of Structural Steel S235");
    state.history.undo();
    state.history.undo();
    EXPECT_EQ(properties()[0], "S235 EX");
    EXPECT_EQ(properties()[1], "S235 Name");
}

TEST_F(ConflictListFixture, SaveKeepsTheFileUpToDateAndRemovesItWhenAllAreDecided) {
    list.selectRow(3);
    conflicts.takeOurs();
    EXPECT_EQ(state.history.undoCount(), 0u);
    EXPECT_EQ(state.library.entry(1).Description.substr(0, 14), "pure, annealed");
    conflicts.librarySaved(library);
    EXPECT_EQ(fileText(), "conflict\tS235\tEX\t2.1E11\t2.05E11\t2.12E11\n"
                          "conflict\tS235\tNAME\tS235\tS235\tStructural Steel S235\n"
                          "conflict\tS235\tDENS\t7850\t7860\t-\n"
                          "conflict\tBrass\tMATERIAL\tAlloys\tAlloys\t-\n");
    while (!list.rows.empty()) {
        list.selectRow(0);
        conflicts.takeOurs();
    }
    EXPECT_EQ(list.status,
              "All conflicts decided: saving the library removes its .conflicts file.");
    conflicts.librarySaved(library);
    EXPECT_FALSE(std::filesystem::exists(library + ".conflicts"));
    EXPECT_TRUE(messages.questions.empty());
}

TEST_F(ConflictListFixture, SaysWhatItCannotDo) {
    // Brass is not in the library: the merge removed it on our side.
    state.library.removeMaterial(1);
    list.selectRow(3);
    conflicts.takeTheirs();
    ASSERT_EQ(messages.questions.size(), 1u);
    EXPECT_EQ(messages.questions[0].text, "No material named 'Copper' is in the library: decide "
                                          "this conflict by hand, then choose Take Ours.");
    EXPECT_EQ(properties().size(), 5u);

    // A file that cannot be read is shown as nothing, and left for the user.
    const std::string broken = "conflict\tS235\tEX\t1\t2\n";
    std::ofstream(library + ".conflicts", std::ios::binary) << broken;
    conflicts.libraryOpened(library);
    EXPECT_FALSE(list.shown);
    EXPECT_TRUE(list.rows.empty());
    ASSERT_EQ(messages.questions.size(), 2u);
    EXPECT_EQ(messages.questions[1].text,
              "The merge conflicts beside this library could not be read, so none are shown:\n" +
                  library +
                  ".conflicts: line 1: expected 6 fields separated by tabs, found 5\n"
                  "The file is left as it is.");
    conflicts.librarySaved(library);
    EXPECT_EQ(fileText(), broken);
}

} // namespace
} // namespace mb

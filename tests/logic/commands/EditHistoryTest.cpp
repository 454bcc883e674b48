// Undo and redo of every kind of edit, made and taken back through the editor's logic and
// the fakes as a user would: what the library holds, what the editor shows afterwards, and
// the tree's open and closed categories.

#include "EditorFixture.h"
#include "LibraryOperations.h"
#include "MaterialFeedback.h"
#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "TreeFilter.h"

#include <functional>

namespace mb::test {
namespace {

class EditHistoryTest : public EditorFixture {
protected:
    EditHistory& history() { return state.history; }

    /// Everything the library holds of each material: entry, record and shadow, texts and
    /// marked values.
    std::string Fingerprint() {
        std::string out;
        const auto add = [&out](const clsMaterial& r) {
            out += r.MaterialType() + "|" + r.MaterialNameCode() + "|" + r.MaterialName() + "|" +
                   r.MaterialDescription();
            for (int slot = 0; slot < kSlotCount; ++slot)
                if (r.HasValue(slot))
                    out += " " + std::to_string(slot) + "=" + formatNumberText(r.slotValue(slot));
            out += "\n";
        };
        for (int i = 0; i <= library().LastMaterialIndex(); ++i) {
            const LibraryEntry& e = library().entry(i);
            out += std::to_string(i) + ": " + e.Category + "|" + e.NameCode + "|" + e.Name + "|" +
                   e.Description + "\n";
            add(library().material(i));
            add(library().shadow(i));
        }
        return out;
    }
    /// Drags material n onto the category keyed `category`.
    void DragOnto(int n, const std::string& category) {
        tree().placeAt(1, 1, KeyOf(n));
        tree().placeAt(1, 2, category);
        treeEditing.TreeView1_MouseMove(LeftButton, 0, 1, 1);
        treeEditing.TreeView1_DragDrop(1, 2);
    }
    /// The selected node, and the name box as it shows it.
    Texts Shown() {
        return {tree().selectedKey().value_or("none"), editor.materialNameText.text()};
    }

    /// One edit of each kind through its user path, with what the editor shows after its undo
    /// and its redo, and what its notices say: the materials the edit and its undo name,
    /// whether each shifts numbers, and whether the tree changes.
    struct EditCase {
        std::string label;
        std::function<void()> edit;
        struct {
            Texts undone, redone; // selected key and name box
        } shown;
        struct {
            std::vector<int> made, taken;
            bool shifts, undoShifts, reshapes;
        } notices;
        std::function<void()> prepare = [] {};
    };
    std::vector<EditCase> EachKindOfEdit() {
        const Texts a36{"Steel    A36  0000", "A36  "};
        const Texts s275{"Steel    S275  0002", "S275  "};
        const Texts copper{"Copper    ", ""};
        return {
            {"Change EX of A36",
             [this] { ClickMaterial(0), typeValue("EX", "5"); },
             {a36, a36},
             {{0}, {0}, false, false, false}},
            {"Clear S275",
             [this] { ClickMaterial(2), commands.ClearValues(); },
             {s275, s275},
             {{2}, {2}, false, false, false}},
            // Reset gives the working record back its shadow's values and takes the boxes'
            // texts. The entry takes the name box's text, trimmed.
            {"Reset A36",
             [this] { ClickMaterial(0), commands.onMaterialSet(); },
             {a36, {"Steel    A360000", "A36"}},
             {{0}, {0}, false, false, true},
             [this] { ClickMaterial(0), typeValue("EX", "5"); }},
            {"Rename A36 to Mild Steel",
             [this] { ClickMaterial(0), treeEditing.TreeView1_AfterLabelEdit(" Mild Steel"); },
             {a36, {"Steel    Mild Steel0000", "Mild Steel"}},
             {{0}, {0}, false, false, true}},
            {"Move 6061 to Copper",
             [this] { DragOnto(1, "Copper    "); },
             {{"Aluminium    6061  0001", "6061  "}, {"Copper    6061  0004", "6061  "}},
             {{4}, {1}, true, true, true}},
            {"Delete S275", [this] { Delete(2); }, {s275, a36}, {{2}, {2}, true, true, true}},
            // An appended material moves no number; taking it out again leaves its number
            // naming nothing.
            {"Add C110",
             [this] { ClickCategory("Copper"), Type("Copper", "C110"), commands.onNewMaterial(); },
             {copper, {"Copper    C1100005", "C110"}},
             {{5}, {5}, false, true, true}},
            {"Paste Copy of A36",
             [this] {
                 ClickMaterial(0), commands.onCopyMaterial();
                 ClickCategory("Copper"), commands.onPasteMaterial();
             },
             {copper, {"Copper    Copy of A360005", "Copy of A36"}},
             {{5}, {5}, false, true, true}},
            {"Change description of 7075",
             [this] {
                 ClickMaterial(3), editor.descriptionText.setText("7xxx series");
                 commands.descriptionText_LostFocus();
             },
             {{"Aluminium    7075  0003", "7075  "}, {"Aluminium    7075  0003", "7075  "}},
             {{3}, {3}, false, false, false}},
        };
    }
};

// A command answered No, or one that would change nothing, records nothing and leaves what
// can be redone. (Texts refused by the boxes' checks never reach the history: the refusal
// tests of the commands show that they change nothing.)
TEST_F(EditHistoryTest, ARefusedOrDeclinedCommandRecordsNothing) {
    ClickMaterial(0), typeValue("EX", "5");
    commands.undo();
    const std::string before = Fingerprint();
    const std::pair<const char*, std::function<void()>> refusals[] = {
        {"delete answered No", [&] { editor.messageBox.queueAnswer(MsgResult::No), Delete(1); }},
        {"a value that is not a number", [&] { ClickMaterial(0), typeValue("EX", "abc"); }},
        {"a drop on the material's own category", [&] { DragOnto(0, "Steel    "); }},
    };
    for (const auto& [what, run] : refusals) {
        SCOPED_TRACE(what);
        run();
        EXPECT_EQ(Fingerprint(), before);
        EXPECT_EQ((std::pair{history().undoCount(), redoCaption(history())}),
                  (std::pair{std::size_t{0}, std::string("Redo Change EX of A36")}));
    }
    ClickMaterial(0), typeValue("EX", "7");
    EXPECT_FALSE(history().canRedo()) << "a new edit ends what could be redone";
}

// A view that knows nothing of the commands: it holds each material's name and follows the
// library by its change notices alone, taking back only the materials a notice names unless
// numbers shifted. Every edit, undo and redo is announced exactly once, once complete, and
// names what it touched.
TEST_F(EditHistoryTest, AViewFollowsEveryEditUndoAndRedoByItsNoticeAlone) {
    std::vector<LibraryChange> notices;
    Texts names;
    const auto follow = [&](const LibraryChange& change) {
        notices.push_back(change);
        if (change.numbersShifted) {
            names = EntryNames();
            return;
        }
        names.resize(static_cast<std::size_t>(library().materialCount()));
        for (const int n : change.materials)
            if (library().isValidNumber(n))
                names[static_cast<std::size_t>(n)] = trimBlanks(library().entry(n).Name);
    };
    const int id = history().addListener(follow);

    // The editor's own views follow the same notices. Each is up to date when what it shows
    // is what it would show if made afresh now: the tree's labels and categories, the grid
    // and the chart of the material shown, the find box's count (a query the first edit
    // changes the answer to) and the copied material's number, which never names another.
    fake::FakeTextBox findBox;
    fake::FakeLabel findStatus, summary;
    fake::FakeChart chart;
    TreeFilter filter{tree(), state, editor.unitsCombo, findBox, findStatus};
    MaterialFeedback feedback{editor.form, summary, chart};
    findBox.setText("EX>100E9");
    const auto chartShows = [&] {
        std::vector<double> ys;
        for (const auto& series : chart.plot ? chart.plot->series : decltype(chart.plot->series){})
            ys.insert(ys.end(), series.y.begin(), series.y.end());
        return std::tuple{summary.caption(), chart.note, ys};
    };
    const auto staleViews = [&] {
        Texts stale;
        for (const std::string& key : tree().keysInOrder()) {
            const int n = keyTailNumber(key);
            if (tree().parentKey(key) &&
                (!library().isValidNumber(n) || tree().nodeText(key) != library().entry(n).Name ||
                 tree().parentKey(key) != library().entry(n).Category))
                stale.push_back("tree " + key);
        }
        if (editor.VSFlexGrid1.isVisible()) {
            const auto rows = editor.form.shownRows(editor.form.CurrentMaterial());
            for (int r = 0; r < static_cast<int>(rows.size()); ++r)
                for (int col = 0; col < 4; ++col)
                    if (editor.VSFlexGrid1.textMatrix(r, col) !=
                        rows[std::size_t(r)][std::size_t(col)])
                        stale.push_back("grid " + rows[std::size_t(r)][0]);
        }
        const auto charted = chartShows();
        if (feedback.refresh(), chartShows() != charted) stale.push_back("chart");
        const int count = filter.matchCount();
        if (filter.findBox_Change(), filter.matchCount() != count) stale.push_back("find");
        const int copied = state.doc.CopiedMaterialNumber;
        if (copied != -1 && (!library().isValidNumber(copied) ||
                             library().entry(copied).Name != state.doc.CopiedName))
            stale.push_back("copied");
        return stale;
    };

    using Cause = LibraryChange::Cause;
    // What one notice says: its cause, label, materials, numbers shifted, tree changed.
    using Said = std::tuple<Cause, std::string, std::vector<int>, bool, bool>;
    const auto said = [](const LibraryChange& c) {
        return Said{c.cause, c.label, c.materials, c.numbersShifted, c.treeChanged};
    };
    // Each kind of edit through its user path is one entry the Undo item names; its undo
    // gives back the library exactly and shows the material it concerned (for an addition,
    // what was selected before), its redo makes it again. Neither asks anything.
    for (const EditCase& c : EachKindOfEdit()) {
        SCOPED_TRACE(c.label);
        SetUp();
        history().clear();
        ClickMaterial(4), commands.onCopyMaterial();
        c.prepare();
        filter.findBox_Change();
        names = EntryNames();
        notices.clear();
        const std::size_t earlier = history().undoCount();
        const std::string before = Fingerprint();
        const auto followed = [&](std::size_t i, Cause cause, const std::vector<int>& materials,
                                  bool shifts) {
            ASSERT_EQ(notices.size(), i + 1) << "one notice each";
            EXPECT_EQ(said(notices[i]),
                      (Said{cause, c.label, materials, shifts, c.notices.reshapes}));
            EXPECT_EQ(names, EntryNames()) << i;
            EXPECT_EQ(staleViews(), Texts{}) << i;
        };

        c.edit();
        const std::string after = Fingerprint();
        ASSERT_NE(after, before);
        followed(0, Cause::Edit, c.notices.made, c.notices.shifts);
        EXPECT_EQ(history().undoCount(), earlier + 1) << "one edit, one entry";
        EXPECT_EQ((Texts{undoCaption(history()), redoCaption(history())}),
                  (Texts{"Undo " + c.label, "Redo"}));
        editor.messageBox.questions.clear();

        // The undo's material is shown once the views have followed: the chart gets one curve.
        chart.shows = 0;
        commands.undo();
        EXPECT_LE(chart.shows, 1);
        followed(1, Cause::Undo, c.notices.taken, c.notices.undoShifts);
        EXPECT_EQ(Fingerprint(), before);
        EXPECT_EQ(Shown(), c.shown.undone);
        EXPECT_EQ(redoCaption(history()), "Redo " + c.label);

        commands.redo();
        followed(2, Cause::Redo, c.notices.made, c.notices.shifts);
        EXPECT_EQ(Fingerprint(), after);
        EXPECT_EQ(Shown(), c.shown.redone);
        EXPECT_EQ(editor.shown(), kMaterialShown);
        EXPECT_TRUE(editor.messageBox.questions.empty()) << "an undo or redo asks nothing";
        EXPECT_EQ(undoCaption(history()), "Undo " + c.label);
        // What the editor shows after the redo is what the notice said to show.
        EXPECT_EQ(notices[2].shown.kind, c.label.starts_with("Delete") ? EditFocus::Kind::Removed
                                                                       : EditFocus::Kind::Material);
        EXPECT_EQ(notices[2].shown.material, c.notices.made.front());

        // Undone and redone on the history alone: the views follow as after an edit.
        ASSERT_TRUE(history().undo());
        EXPECT_EQ(staleViews(), Texts{});
        ASSERT_TRUE(history().redo());
        EXPECT_EQ(staleViews(), Texts{});
    }

    // Nothing to undo or redo, and a refused command: no notice.
    SetUp();
    history().clear();
    notices.clear();
    commands.undo(), commands.redo();
    editor.messageBox.queueAnswer(MsgResult::No), Delete(1);
    EXPECT_TRUE(notices.empty());

    // A removed listener hears nothing more; the others still do.
    int heard = 0;
    const int other = history().addListener([&](const LibraryChange&) { ++heard; });
    history().removeListener(id);
    ClickMaterial(0), typeValue("EX", "6");
    EXPECT_EQ((std::pair{notices.size(), heard}), (std::pair{std::size_t{0}, 1}));
    history().removeListener(other);
}

// Edits opened inside an edit are one notice, sent when the outermost closes, naming each
// material once in ascending order; an edit that changes nothing says nothing; a change
// made outside any edit is announced on its own.
TEST_F(EditHistoryTest, NestedEditsAreOneNoticeAndAnEmptyEditNone) {
    std::vector<LibraryChange> notices;
    const int id = history().addListener([&](const LibraryChange& c) { notices.push_back(c); });
    {
        const auto outer = history().begin("Several");
        history().SetValue(3, "EX", 1.0);
        {
            const auto inner = history().begin("Inner");
            history().SetValue(1, "EX", 2.0);
            history().SetValue(3, "EX", 3.0);
        }
        EXPECT_TRUE(notices.empty()) << "nothing before the outer edit closes";
    }
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ((std::pair{notices[0].label, notices[0].materials}),
              (std::pair{std::string("Several"), std::vector<int>{1, 3}}));
    EXPECT_TRUE(notices[0].touches(3) && !notices[0].touches(2));
    { const auto nothing = history().begin("Nothing"); }
    history().SetValue(0, "EX", 2.0e11); // the value it has
    EXPECT_EQ(notices.size(), 1u);
    history().renameMaterial(4, "C102  ");
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ((std::tuple{notices[1].label, notices[1].materials, notices[1].treeChanged}),
              (std::tuple{std::string("Edit"), std::vector<int>{4}, true}));
    history().removeListener(id);
}

// The tree follows the notice: a value's edit and undo leave its nodes alone, a delete and
// its undo build it afresh.
TEST_F(EditHistoryTest, TheTreeIsBuiltAfreshOnlyWhenANoticeReshapesIt) {
    Delete(0);
    EXPECT_EQ(KeyOf(3), "Copper    C101  0003");
    tree().setNodeText(KeyOf(3), "typed over");
    ClickMaterial(3), typeValue("EX", "5");
    commands.undo();
    EXPECT_EQ(tree().nodeText(KeyOf(3)), "typed over") << "not built afresh";
    commands.undo();
    EXPECT_EQ((Texts{KeyOf(4), tree().nodeText(KeyOf(4))}),
              (Texts{"Copper    C101  0004", "C101  "}))
        << "built afresh";
}

} // namespace
} // namespace mb::test

#pragma once

// The editor's logic on fake controls, with the tree's gestures and the editing commands
// wired to it, over one of two small libraries: what the form-logic tests start from.

#include "EditingCommands.h"
#include "FakeEditor.h"
#include "NodeKey.h"
#include "TextUtil.h"
#include "TreeEditing.h"

#include <gtest/gtest.h>

namespace mb::test {

using Texts = std::vector<std::string>;

/// Value of `code` in `record`, nullopt when it has none.
inline std::optional<double> ValueOf(clsMaterial& record, const std::string& code) {
    record.Property(code);
    record.PropIndex();
    if (!record.HasValue(record.Index())) return std::nullopt;
    return record.value();
}

inline const Texts kFiveNames{"A36", "6061", "S275", "7075", "C101"};

class EditorFixture : public ::testing::Test {
protected:
    /// A material as a library file gives it; Young's modulus and density in SI, 0 for none.
    struct Sample {
        std::string category, name, description = "", nameCode = "";
        double ex = 0, dens = 0;
    };
    /// As a file gives it: Steel: 0 "A36" and 2 "S275"; Aluminium: 1 "6061" and 3 "7075";
    /// Copper: 4 "C101".
    void SetUp() override {
        Open({{"Steel", "A36", "structural steel", "A36 code", 2.0e11, 7850},
              {"Aluminium", "6061", "wrought alloy", "", 6.9e10, 2700},
              {"Steel", "S275", "european grade", "", 2.1e11, 0},
              {"Aluminium", "7075", "aircraft alloy", "", 7.1e10, 2810},
              {"Copper", "C101", "", "", 1.17e11, 8940}});
    }
    /// Opens a library as the reader fills it (four blanks after categories, two after
    /// names, working and shadow records alike), with SI chosen so values show as held.
    void Open(const std::vector<Sample>& materials) {
        Library& lib = state.library;
        lib.clear();
        for (const Sample& s : materials) {
            const LibraryEntry e{s.category + "    ", s.nameCode, s.name + "  ", s.description};
            clsMaterial shadow;
            shadow.MaterialType(e.Category);
            shadow.MaterialName(e.Name);
            shadow.MaterialDescription(e.Description);
            shadow.MaterialNameCode(e.NameCode);
            if (s.ex != 0) shadow.CopyProperty("EX", s.ex);
            if (s.dens != 0) shadow.CopyProperty("DENS", s.dens);
            clsMaterial record;
            record.CopyAllProperties(shadow);
            lib.addMaterial(e, record, shadow);
        }
        Unselect();
        editor.form.fillUnitsList();
        editor.form.FillTypeList();
        editor.chooseUnits(1);
    }

    /// As typed into the editor, working records only: a steel (material number 0), an
    /// aluminium, a viscoelastic polymer and a category whose name ends in digits, the
    /// selectors filled as a freshly opened library has them (IPS chosen).
    void OpenTypedLibrary() {
        state.library.clear();
        typedKeys.clear();
        add("Metals    ", "Steel S235", {{"EX", 2.1e11}, {"NUXY", 0.3}, {"DENS", 7850}});
        add("Metals    ", "Aluminium 6061", {{"EX", 6.9e10}});
        add("Polymers    ", "Polycarbonate",
            {{"EX", 2.4e9}, {"G1", 1.5e8}, {"TAUG1", 0.25}, {"REFTEMP", 420}, {"VC2", 51.6}});
        add("Alloy 2024    ", "Clad sheet", {});
        Unselect();
        editor.form.fillUnitsList();
        editor.form.FillTypeList();
        editor.form.unitsCombo_Click();
    }
    void add(const std::string& category, const std::string& name,
             std::initializer_list<std::pair<const char*, double>> values) {
        clsMaterial record;
        for (const auto& [code, si] : values)
            record.CopyProperty(code, si);
        const int n =
            state.library.addMaterial({category, "", name, "about " + name}, record, clsMaterial());
        typedKeys.push_back(materialNodeKey(category, name, n));
    }
    /// Shows material n of the typed library as a user's click does.
    void show(int n) { editor.clickNode(typedKeys[std::size_t(n)]); }

    /// The row of the grid whose column 0 reads `code`, -1 when none does.
    int rowOf(const std::string& code) {
        for (int r = 1; r < editor.VSFlexGrid1.rows(); ++r)
            if (editor.VSFlexGrid1.textMatrix(r, 0) == code) return r;
        return -1;
    }
    /// Column `col` (2 the value, 3 the units) of the row of `code`.
    std::string cell(const std::string& code, int col = 2) {
        return editor.VSFlexGrid1.textMatrix(rowOf(code), col);
    }
    /// Clicks the Value cell of a row, types `text` and moves on to another row.
    void typeValue(const std::string& code, const std::string& text) {
        editor.clickCell(rowOf(code), 2);
        editor.VSFlexGrid1.typeIntoCurrentCell(text);
        editor.VSFlexGrid1.setCurrentCell(rowOf(code) == 1 ? 2 : 1, 2);
    }
    /// The stored SI value of a property of material n; nullopt when it has none.
    std::optional<double> stored(int n, const std::string& code) {
        return ValueOf(state.library.material(n), code);
    }

    Library& library() { return state.library; }
    fake::FakeTree& tree() { return editor.TreeView1; }
    /// Key of material n's node as the tree holds it now, "" when there is none.
    std::string KeyOf(int n) {
        for (const std::string& key : tree().keysInOrder())
            if (tree().parentKey(key) && keyTailNumber(key) == n) return key;
        return "";
    }
    Texts EntryNames() {
        Texts names;
        for (int i = 0; i <= library().LastMaterialIndex(); ++i)
            names.emplace_back(trimBlanks(library().entry(i).Name));
        return names;
    }
    void ClickMaterial(int n) { editor.clickNode(KeyOf(n)); }
    void ClickCategory(const std::string& category) { editor.clickNode(category + "    "); }
    void Unselect() { tree().removeAll(), BuildTree(library(), tree()); }
    /// Deletes material n, answering Yes unless another answer is queued.
    void Delete(int n) { ClickMaterial(n), commands.DeleteSelected(); }
    /// What the user types into the category, name and description boxes.
    void Type(const std::string& category, const std::string& name, const std::string& d = "") {
        editor.materialTypeText.setText(category);
        editor.materialNameText.setText(name);
        editor.descriptionText.setText(d);
    }
    /// editor.shown() with a material on show, and while a new one is typed.
    const std::vector<bool> kMaterialShown{true, false, true, true};
    const std::vector<bool> kNewMaterialShown{false, true, false, false};

    /// Only this one message was shown, with the application title.
    void ExpectOnlyMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) {
        auto& shown = editor.messageBox.questions;
        ASSERT_EQ(shown.size(), 1u) << "messages shown";
        EXPECT_EQ((std::tuple{shown[0].text, shown[0].buttons, shown[0].icon, shown[0].title}),
                  (std::tuple{text, buttons, icon, std::string()}));
        shown.clear();
    }

    AppState state;
    fake::FakeEditor editor{state};
    fake::FakePopupMenu editMenu;
    TreeEditing treeEditing{state, editor.form, editor.messageBox, editMenu};
    EditingCommands commands{state, editor.form, editor.messageBox};
    Texts typedKeys; ///< the tree's key of each material of the typed library
};

/// The tests of the editor's own handlers start from the typed library.
class EditorTest : public EditorFixture {
protected:
    void SetUp() override { OpenTypedLibrary(); }
};

} // namespace mb::test

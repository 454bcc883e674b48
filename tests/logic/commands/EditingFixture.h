#pragma once

// An editor window on a small library, with the tree's gestures and the editing commands
// wired to it: what every test here starts from.

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

class EditingFixture : public ::testing::Test {
protected:
    /// A material as a library file gives it; Young's modulus and density in SI, 0 for none.
    struct Sample {
        std::string category, name, description = "", nameCode = "";
        double ex = 0, dens = 0;
    };
    /// Steel: 0 "A36" and 2 "S275"; Aluminium: 1 "6061" and 3 "7075"; Copper: 4 "C101".
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
        lib.Clear();
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
            lib.AddMaterial(e, record, shadow);
        }
        Unselect();
        editor.form.FillUnitsList();
        editor.form.FillTypeList();
        editor.chooseUnits(1);
    }

    Library& library() { return state.library; }
    fake::FakeTree& tree() { return editor.TreeView1; }
    /// Key of material n's node as the tree holds it now, "" when there is none.
    std::string KeyOf(int n) {
        for (const std::string& key : tree().keysInOrder())
            if (tree().parentKey(key) && KeyTailNumber(key) == n) return key;
        return "";
    }
    Texts EntryNames() {
        Texts names;
        for (int i = 0; i <= library().LastMaterialIndex(); ++i)
            names.emplace_back(TrimBlanks(library().Entry(i).Name));
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
    TreeEditing treeEditing{editor.form, editMenu};
    EditingCommands commands{editor.form};
};

} // namespace mb::test

#pragma once

// An editor window on a small library, with the tree's gestures and the editing commands
// wired to it: what every test here starts from.

#include "FakeEditor.h"
#include "commands/EditingCommands.h"
#include "materials/TextUtil.h"
#include "model/NodeKey.h"
#include "views/TreeEditing.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace mb::test {

using Texts = std::vector<std::string>;

/// A material as a library file gives it: category and name without the blanks the reader
/// appends, Young's modulus and density in SI (0 for no value).
struct SampleMaterial {
    std::string category, name, description = "", nameCode = "";
    double ex = 0, dens = 0;
};

/// Value of `code` in `record`, nullopt when it has none.
inline std::optional<double> ValueOf(clsMaterial& record, const std::string& code) {
    record.Property(code);
    record.PropIndex();
    if (!record.HasValue(record.Index())) return std::nullopt;
    return record.value();
}

/// The names of FiveMaterials() in material order.
inline const Texts kFiveNames{"A36", "6061", "S275", "7075", "C101"};

class EditingFixture : public ::testing::Test {
protected:
    /// Steel: material 0 "A36" and 2 "S275"; Aluminium: 1 "6061" and 3 "7075"; Copper: 4.
    static std::vector<SampleMaterial> FiveMaterials() {
        return {{"Steel", "A36", "structural steel", "A36 code", 2.0e11, 7850},
                {"Aluminium", "6061", "wrought alloy", "", 6.9e10, 2700},
                {"Steel", "S275", "european grade", "", 2.1e11, 0},
                {"Aluminium", "7075", "aircraft alloy", "", 7.1e10, 2810},
                {"Copper", "C101", "", "", 1.17e11, 8940}};
    }

    void SetUp() override { Open(FiveMaterials()); }

    /// Opens a library as the reader fills it (categories with four trailing blanks, names
    /// with two, working and shadow records alike), with SI chosen so values show as held.
    void Open(const std::vector<SampleMaterial>& materials) {
        Library& lib = state.library;
        lib.Clear();
        for (const SampleMaterial& s : materials) {
            const int n = lib.AppendMaterial();
            LibraryEntry& e = lib.Entry(n);
            e = {s.category + "    ", s.nameCode, s.name + "  ", s.description};
            for (clsMaterial* record : {&lib.Material(n), &lib.Shadow(n)}) {
                record->MaterialType(e.Category);
                record->MaterialName(e.Name);
                record->MaterialDescription(e.Description);
                record->MaterialNameCode(e.NameCode);
                if (s.ex != 0) record->CopyProperty("EX", s.ex);
                if (s.dens != 0) record->CopyProperty("DENS", s.dens);
            }
        }
        tree().removeAll();
        BuildTree(lib, tree());
        state.doc.DocumentOpen = true;
        state.doc.DecimalSeparator = ".";
        form().FillUnitsList();
        form().FillTypeList();
        editor.unitsCombo.setListIndex(1);
        form().unitsCombo_Click();
    }

    BaseForm& form() { return editor.form; }
    Library& library() { return state.library; }
    fake::FakeMessageBox& messages() { return editor.messageBox; }
    fake::FakeTree& tree() { return editor.TreeView1; }

    /// Key of material n's node as the tree holds it now, "" when there is none.
    std::string KeyOf(int n) {
        for (const std::string& key : tree().keysInOrder())
            if (tree().parentKey(key) && KeyTailNumber(key) == n) return key;
        return "";
    }
    static std::string CategoryKey(const std::string& category) { return category + "    "; }
    std::string Name(int n) { return std::string(TrimBlanks(library().Entry(n).Name)); }
    Texts EntryNames() {
        Texts names;
        for (int i = 0; i <= library().LastMaterialIndex; ++i)
            names.push_back(Name(i));
        return names;
    }

    void ClickMaterial(int n) { editor.clickNode(KeyOf(n)); }
    void ClickCategory(const std::string& category) { editor.clickNode(CategoryKey(category)); }
    /// Drops the tree's selection, as a rebuilt tree has none.
    void Unselect() {
        tree().removeAll();
        BuildTree(library(), tree());
    }

    /// What the user types into the category, name and description boxes.
    void Type(const std::string& category, const std::string& name,
              const std::string& description = "") {
        editor.materialTypeText.setText(category);
        editor.materialNameText.setText(name);
        editor.descriptionText.setText(description);
    }
    Texts Boxes() {
        return {editor.materialTypeText.text(), editor.materialNameText.text(),
                editor.descriptionText.text()};
    }
    /// Visibility of the grid, "&Add New Material", "&Reset" and "&Clear".
    std::vector<bool> Shown() {
        return {editor.VSFlexGrid1.isVisible(), editor.cmdNewMaterial.isVisible(),
                editor.reset.isVisible(), editor.AddSet.isVisible()};
    }
    const std::vector<bool> kMaterialShown{true, false, true, true};
    const std::vector<bool> kNewMaterialShown{false, true, false, false};

    /// Only this one message was shown, with the application title.
    void ExpectOnlyMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) {
        ASSERT_EQ(messages().questions.size(), 1u) << "messages shown";
        const auto& q = messages().questions[0];
        EXPECT_EQ(q.text, text);
        EXPECT_EQ(q.buttons, buttons);
        EXPECT_EQ(q.icon, icon);
        EXPECT_EQ(q.title, "");
        messages().questions.clear();
    }

    AppState state;
    fake::FakeEditor editor{state};
    fake::FakePopupMenu editMenu;
    TreeEditing treeEditing{editor.form, editMenu};
    EditingCommands commands{editor.form};
};

} // namespace mb::test

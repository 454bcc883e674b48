#pragma once

// An editor window on a small library, with the tree's gestures and the editing commands
// wired to it: what every test here starts from.

#include "FakeEditor.h"
#include "commands/EditingCommands.h"
#include "materials/TextUtil.h"
#include "model/NodeKey.h"
#include "views/TreeEditing.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace mb::test {

using fake::FakeMessageBox;

/// A material as a library file would give it.
struct SampleMaterial {
    std::string category; ///< without the blanks the reader appends
    std::string name;
    std::string description = "";
    std::string nameCode = "";
    double ex = 0;   ///< Young's modulus in SI; 0 for no value
    double dens = 0; ///< density in SI; 0 for no value
};

/// Fills `library` as the file reader would: categories with four trailing blanks, names
/// with two, working and shadow records with the same texts and values.
inline void FillLibrary(Library& library, const std::vector<SampleMaterial>& materials) {
    library.Clear();
    for (const SampleMaterial& sample : materials) {
        const int n = library.AppendMaterial();
        LibraryEntry& e = library.Entry(n);
        e.Category = sample.category + "    ";
        e.Name = sample.name + "  ";
        e.Description = sample.description;
        e.NameCode = sample.nameCode;
        for (clsMaterial* record : {&library.Material(n), &library.Shadow(n)}) {
            record->MaterialType(e.Category);
            record->MaterialName(e.Name);
            record->MaterialDescription(e.Description);
            record->MaterialNameCode(e.NameCode);
            if (sample.ex != 0) {
                record->Property("EX");
                record->value(sample.ex);
            }
            if (sample.dens != 0) {
                record->Property("DENS");
                record->value(sample.dens);
            }
        }
    }
}

/// Value of `code` in `record`, nullopt when it has none.
inline std::optional<double> ValueOf(clsMaterial& record, const std::string& code) {
    record.Property(code);
    record.PropIndex();
    if (!record.HasValue(record.Index())) return std::nullopt;
    return record.value();
}

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

    /// Opens a library: fills it, builds the tree and prepares the selectors as opening does.
    void Open(const std::vector<SampleMaterial>& materials) {
        FillLibrary(state.library, materials);
        editor.TreeView1.removeAll();
        BuildTree(state.library, editor.TreeView1);
        state.doc.DocumentOpen = true;
        state.doc.DecimalSeparator = ".";
        form().FillUnitsList();
        form().FillTypeList();
        editor.unitsCombo.setListIndex(1); // SI: the grid shows the values as held
        form().unitsCombo_Click();
    }

    BaseForm& form() { return editor.form; }
    Library& library() { return state.library; }
    FakeMessageBox& messages() { return editor.messageBox; }
    fake::FakeTree& tree() { return editor.TreeView1; }

    /// Key of material n's node as the tree holds it now, "" when there is none.
    std::string KeyOf(int n) {
        for (const std::string& key : tree().keysInOrder())
            if (tree().parentKey(key) && KeyTailNumber(key) == n) return key;
        return "";
    }
    std::string CategoryKey(const std::string& category) { return category + "    "; }
    std::string Name(int n) { return std::string(TrimBlanks(library().Entry(n).Name)); }

    void ClickMaterial(int n) { editor.clickNode(KeyOf(n)); }
    void ClickCategory(const std::string& category) { editor.clickNode(CategoryKey(category)); }

    /// What the user types into the three boxes.
    void Type(const std::string& category, const std::string& name,
              const std::string& description = "") {
        editor.materialTypeText.setText(category);
        editor.materialNameText.setText(name);
        editor.descriptionText.setText(description);
    }

    /// Only the one message was shown, with these text, buttons and icon and the
    /// application title.
    void ExpectOnlyMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) {
        ASSERT_EQ(messages().questions.size(), 1u) << "messages shown";
        const auto& q = messages().questions[0];
        EXPECT_EQ(q.text, text);
        EXPECT_EQ(q.buttons, buttons);
        EXPECT_EQ(q.icon, icon);
        EXPECT_EQ(q.title, "");
    }

    std::vector<std::string> EntryNames() {
        std::vector<std::string> names;
        for (int i = 0; i <= library().LastMaterialIndex; ++i)
            names.push_back(Name(i));
        return names;
    }

    AppState state;
    fake::FakeEditor editor{state};
    fake::FakePopupMenu editMenu;
    TreeEditing treeEditing{editor.form, editMenu};
    EditingCommands commands{editor.form};
};

} // namespace mb::test

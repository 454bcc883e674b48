#pragma once

// Random edits made as a user makes them, through the editor's logic and the fakes: the
// boxes, a rename, copy and paste, the description, the grid, Reset, Clear, delete, drag
// and drop, and a spreadsheet import, with hostile texts among what is typed and imported.
// Suites that check what edits leave behind derive from it.

#include "EditorFixture.h"
#include "LibraryFile.h"
#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "Spreadsheet.h"
#include "SpreadsheetImport.h"

#include <cmath>
#include <map>
#include <random>

namespace mb::test {

/// Columns A and B of a sheet, row by row from row 1.
class ScriptedSheet : public Worksheet {
public:
    std::vector<std::pair<CellValue, CellValue>> rows;
    CellValue cell(int row, int column) const override {
        if (row < 1 || row > static_cast<int>(rows.size()) || column > 2) return {};
        const auto& r = rows[static_cast<std::size_t>(row - 1)];
        return column == 1 ? r.first : r.second;
    }
};

/// What `RandomEditing::Edit` can do; the first `kEditKindsWithoutImport` leave the
/// library in place.
enum class EditKind { Add, Reset, Rename, Paste, Description, Value, Delete, Move, Clear, Import };
inline constexpr int kEditKindsWithoutImport = 9;

class RandomEditing : public EditorFixture {
protected:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, std::max(n, 1) - 1)(rng); }
    bool Chance(int percent) { return Pick(100) < percent; }

    /// Mostly letters, digits and blanks; now and then a control character, a colon or a
    /// Latin-1 letter; any length up to `longest`.
    std::string RandomText(int longest, bool hostile = true) {
        static const std::string plain = "abcXYZ0123456789 -./";
        static const std::string controls = std::string("\r\n\t\x01\x1F\x7F\x1A", 7);
        std::string s;
        for (int n = Pick(longest + 1); n > 0; --n) {
            const int kind = Pick(100);
            if (hostile && kind < 4)
                s += controls[std::size_t(Pick(int(controls.size())))];
            else if (kind < 6)
                s += Pick(2) ? ':' : '\xE9';
            else
                s += plain[std::size_t(Pick(int(plain.size())))];
        }
        return s;
    }
    /// A name as a user types it: sometimes blanks around it, sometimes far too long, and
    /// sometimes the same as one that exists.
    std::string RandomName() {
        if (Chance(10) && library().LastMaterialIndex() >= 0)
            return library().entry(Pick(library().LastMaterialIndex() + 1)).Name;
        std::string name = "N" + RandomText(Chance(20) ? 45 : 28);
        if (Chance(10)) name = "  " + name + " ";
        return name;
    }
    std::string RandomCategory(bool hostile = true) {
        static const Texts pool{"Steel", "steel  ", " Aluminium", "Alloy 2024", "Polymers"};
        return Chance(70) ? pool[std::size_t(Pick(int(pool.size())))]
                          : "C" + RandomText(30, hostile);
    }
    double RandomValue() {
        if (Chance(10)) return 0;
        return std::uniform_real_distribution<double>(0, 10)(rng) * std::pow(10.0, Pick(81) - 40);
    }

    /// A library as the reader leaves it: random materials written and read back.
    void RandomLibrary() {
        Library lib;
        for (int n = 1 + Pick(8); n > 0; --n) {
            const std::string category = RandomCategory(false);
            const LibraryEntry entry{category + "    ", RandomText(13, false),
                                     "M" + RandomText(29, false), RandomText(50, false)};
            clsMaterial record;
            record.MaterialName(entry.Name);
            record.MaterialNameCode(entry.NameCode);
            record.MaterialDescription(entry.Description);
            for (int k = Pick(6); k > 0; --k) {
                const int slot = Pick(kVisitedSlots);
                const std::string& code = PropertyCatalogue::instance().PropCode(slot);
                if (!code.empty() && PropertyCatalogue::instance().findTolerant(code) == slot)
                    record.setSlotValue(slot, RandomValue());
            }
            lib.addMaterial(entry, record, clsMaterial());
        }
        ASSERT_EQ(readLibraryText(libraryText(lib, groupByCategory(lib)), library(), ".").status,
                  ReadResult::Status::Loaded);
        Reopened();
    }
    /// What opening a library does to the editor: the tree built afresh, nothing copied.
    void Reopened() {
        Unselect();
        state.doc.CopiedMaterialNumber = -1;
        editor.chooseUnits(1);
    }
    void ClickAnyMaterial() { ClickMaterial(Pick(library().LastMaterialIndex() + 1)); }

    /// Imports a sheet with hostile names and categories in place of the open library.
    void Import() {
        ScriptedSheet sheet;
        for (int n = 1 + Pick(4); n > 0; --n) {
            const bool number = Chance(10);
            sheet.rows.push_back({CellValue::ofText(Chance(20) ? " name " : "Name"),
                                  number ? CellValue::ofNumber(RandomValue())
                                         : CellValue::ofText(RandomText(Chance(30) ? 45 : 25))});
            if (Chance(70))
                sheet.rows.push_back(
                    {CellValue::ofText("Type"), CellValue::ofText(RandomCategory())});
            for (int k = Pick(4); k > 0; --k) {
                const int slot = Pick(kVisitedSlots);
                sheet.rows.push_back(
                    {CellValue::ofText(PropertyCatalogue::instance().PropCode(slot)),
                     CellValue::ofNumber(RandomValue())});
            }
        }
        sheet.rows.push_back({CellValue::ofText("End"), {}});
        const ImportResult result = importWorksheet(sheet, library());
        ASSERT_TRUE(result.imported()) << result.message();
        if (!result.notes.empty()) ++counts["import notes"];
        Reopened();
    }

    /// Types a value into a random row of a random type's grid and moves on.
    void TypeValue() {
        ClickAnyMaterial();
        editor.chooseType(Pick(13));
        const int rows = editor.VSFlexGrid1.rows();
        if (rows < 3) return;
        const int row = 1 + Pick(rows - 1);
        editor.clickCell(row, 2);
        editor.VSFlexGrid1.typeIntoCurrentCell(formatGeneralNumber(RandomValue(), "."));
        editor.VSFlexGrid1.setCurrentCell(row == 1 ? 2 : 1, 2);
        ++counts["values typed"];
    }

    /// Drags a material onto a category, any category, its own included.
    void Move() {
        const int m = Pick(library().LastMaterialIndex() + 1);
        const Texts keys = tree().keysInOrder();
        const std::string node = keys[std::size_t(Pick(int(keys.size())))];
        tree().placeAt(1, 1, KeyOf(m));
        tree().placeAt(1, 2, tree().parentKey(node).value_or(node));
        treeEditing.TreeView1_MouseMove(LeftButton, 0, 1, 1);
        treeEditing.TreeView1_DragDrop(1, 2);
    }

    /// One edit of the kind given; the library may refuse it, as it would the user.
    void Edit(EditKind kind) {
        const int before = library().LastMaterialIndex();
        if (before < 0 && kind != EditKind::Add && kind != EditKind::Import) return;
        switch (kind) {
        case EditKind::Add:
            Type(RandomCategory(), RandomName(), RandomText(50));
            commands.onNewMaterial();
            counts["added"] += library().LastMaterialIndex() > before;
            break;
        case EditKind::Reset:
            ClickAnyMaterial();
            Type(RandomCategory(), RandomName(), RandomText(50));
            editor.messageBox.queueAnswer(
                std::vector{MsgResult::OK, MsgResult::Cancel, MsgResult::Yes}[Pick(3)]);
            commands.onMaterialSet();
            break;
        case EditKind::Rename:
            ClickAnyMaterial();
            counts["renamed"] += treeEditing.TreeView1_AfterLabelEdit(RandomName());
            break;
        case EditKind::Paste: {
            ClickAnyMaterial();
            commands.onCopyMaterial();
            const Texts keys = tree().keysInOrder();
            editor.clickNode(keys[std::size_t(Pick(int(keys.size())))]);
            commands.onPasteMaterial();
            counts["pasted"] += library().LastMaterialIndex() > before;
            break;
        }
        case EditKind::Description:
            ClickAnyMaterial();
            editor.descriptionText.setText(RandomText(60));
            counts["descriptions"] += commands.descriptionText_LostFocus();
            break;
        case EditKind::Value:
            TypeValue();
            break;
        case EditKind::Delete:
            editor.messageBox.queueAnswer(Chance(80) ? MsgResult::Yes : MsgResult::No);
            Delete(Pick(before + 1));
            counts["deleted"] += library().LastMaterialIndex() < before;
            break;
        case EditKind::Move:
            Move();
            ++counts["moved"];
            break;
        case EditKind::Clear:
            ClickAnyMaterial();
            commands.ClearValues();
            ++counts["cleared"];
            break;
        case EditKind::Import:
            if (Chance(25)) Import();
            break;
        }
        for (const auto& shown : editor.messageBox.questions)
            if (shown.text.find("control character") != std::string::npos ||
                shown.text.find("shortened") != std::string::npos ||
                shown.text.find("at most") != std::string::npos)
                ++counts["refused or shortened"];
        editor.messageBox.questions.clear();
        // An answer queued for a question that a refusal never asked.
        editor.messageBox.answers.clear();
    }

    std::mt19937 rng;
    std::map<std::string, int> counts;
};

} // namespace mb::test

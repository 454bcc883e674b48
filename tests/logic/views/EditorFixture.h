#pragma once

// A small library on fake controls: a steel (material number 0), an aluminium, a
// viscoelastic polymer and a category whose name ends in digits, the selectors filled as a
// freshly opened library has them (IPS chosen).

#include "FakeEditor.h"
#include "NodeKey.h"

#include <gtest/gtest.h>

namespace mb::test {

using Texts = std::vector<std::string>;

class EditorTest : public ::testing::Test {
protected:
    EditorTest() {
        add("Metals    ", "Steel S235", {{"EX", 2.1e11}, {"NUXY", 0.3}, {"DENS", 7850}});
        add("Metals    ", "Aluminium 6061", {{"EX", 6.9e10}});
        add("Polymers    ", "Polycarbonate",
            {{"EX", 2.4e9}, {"G1", 1.5e8}, {"TAUG1", 0.25}, {"REFTEMP", 420}, {"VC2", 51.6}});
        add("Alloy 2024    ", "Clad sheet", {});
        BuildTree(state.library, ed.TreeView1);
        ed.form.FillUnitsList();
        ed.form.FillTypeList();
        ed.form.unitsCombo_Click();
    }
    void add(const std::string& category, const std::string& name,
             std::initializer_list<std::pair<const char*, double>> values) {
        clsMaterial record;
        for (const auto& [code, si] : values)
            record.CopyProperty(code, si);
        const int n =
            state.library.AddMaterial({category, "", name, "about " + name}, record, clsMaterial());
        keys.push_back(MaterialNodeKey(category, name, n));
    }
    /// Shows material n as a user's click does.
    void show(int n) { ed.clickNode(keys[std::size_t(n)]); }

    /// The row of the grid whose column 0 reads `code`, -1 when none does.
    int rowOf(const std::string& code) {
        for (int r = 1; r < ed.VSFlexGrid1.rows(); ++r)
            if (ed.VSFlexGrid1.textMatrix(r, 0) == code) return r;
        return -1;
    }
    /// Column `col` (2 the value, 3 the units) of the row of `code`.
    std::string cell(const std::string& code, int col = 2) {
        return ed.VSFlexGrid1.textMatrix(rowOf(code), col);
    }
    /// Clicks the Value cell of a row, types `text` and moves on to another row.
    void typeValue(const std::string& code, const std::string& text) {
        ed.clickCell(rowOf(code), 2);
        ed.VSFlexGrid1.typeIntoCurrentCell(text);
        ed.VSFlexGrid1.setCurrentCell(rowOf(code) == 1 ? 2 : 1, 2);
    }
    /// The stored SI value of a property of material n; nullopt when it has none.
    std::optional<double> stored(int n, const std::string& code) {
        clsMaterial& m = state.library.Material(n);
        m.Property(code);
        m.PropIndex();
        if (!m.HasValue(m.Index())) return std::nullopt;
        return m.value();
    }

    AppState state;
    fake::FakeEditor ed{state};
    Texts keys; ///< the tree's key of each material
};

} // namespace mb::test

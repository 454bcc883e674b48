#pragma once

// A small library on fake controls: three categories, a viscoelastic polymer and
// material number 0 among them, the selectors filled as a freshly opened library has them.

#include "FakeEditor.h"
#include "model/NodeKey.h"
#include "shell/AppState.h"

#include <gtest/gtest.h>

namespace mb::test {

inline constexpr double kPsi = 6893.5773; // N/m^2 per psi, the system's stress factor

class EditorTest : public ::testing::Test {
protected:
    EditorTest() {
        add("Metals    ", "Steel S235", "Hot-rolled",
            {{"EX", 2.1e11}, {"NUXY", 0.3}, {"DENS", 7850}, {"ALPX", 1.2e-5}});
        add("Metals    ", "Aluminium 6061", "Extruded", {{"EX", 6.9e10}, {"NUXY", 0.33}});
        add("Polymers    ", "Polycarbonate", "Prony series",
            {{"EX", 2.4e9},
             {"NUXY", 0.37},
             {"G1", 1.5e8},
             {"TAUG1", 0.25},
             {"K8", 3e9},
             {"REFTEMP", 420},
             {"VC1", 17.44},
             {"VC2", 51.6},
             {"DENS", 1200}});
        add("Alloy 2024    ", "Clad sheet", "", {{"MC11", 1.0e11}, {"MC66", 2.5e10}});
        BuildTree(state.library, ed.TreeView1);
        ed.form.FillUnitsList();
        ed.form.FillTypeList();
        ed.form.unitsCombo_Click();
    }

    void add(const std::string& category, const std::string& name, const std::string& description,
             std::initializer_list<std::pair<const char*, double>> values) {
        const int n = state.library.AppendMaterial();
        state.library.Entry(n) = {category, "", name, description};
        clsMaterial& m = state.library.Material(n);
        m.MaterialType(category);
        m.MaterialName(name);
        m.MaterialDescription(description);
        for (const auto& [code, si] : values)
            m.CopyProperty(code, si);
    }

    std::string keyOf(int n) {
        const LibraryEntry& e = state.library.Entry(n);
        return MaterialNodeKey(e.Category, e.Name, n);
    }
    /// Shows material n as a user's click does.
    void show(int n) { ed.clickNode(keyOf(n)); }

    /// The row of the grid whose column 0 reads `code`, -1 when none does.
    int rowOf(const std::string& code) {
        for (int r = 1; r < ed.VSFlexGrid1.rows(); ++r)
            if (ed.VSFlexGrid1.textMatrix(r, 0) == code) return r;
        return -1;
    }
    std::string valueOf(const std::string& code) {
        return ed.VSFlexGrid1.textMatrix(rowOf(code), 2);
    }
    std::string unitsOf(const std::string& code) {
        return ed.VSFlexGrid1.textMatrix(rowOf(code), 3);
    }
    /// Column `col` of every property row.
    std::vector<std::string> column(int col) {
        std::vector<std::string> texts;
        for (int r = 1; r < ed.VSFlexGrid1.rows(); ++r)
            texts.push_back(ed.VSFlexGrid1.textMatrix(r, col));
        return texts;
    }

    /// The stored SI value of a property of material n; nullopt when it has none.
    std::optional<double> stored(int n, const std::string& code) {
        clsMaterial& m = state.library.Material(n);
        m.Property(code);
        m.PropIndex();
        if (!m.HasValue(m.Index())) return std::nullopt;
        return m.value();
    }

    /// Clicks the Value cell of a row, types `text` and moves on to another row.
    void typeValue(const std::string& code, const std::string& text) {
        const int row = rowOf(code);
        ed.clickCell(row, 2);
        ed.VSFlexGrid1.typeIntoCurrentCell(text);
        ed.VSFlexGrid1.setCurrentCell(row == 1 ? 2 : 1, 2);
    }

    AppState state;
    fake::FakeEditor ed{state};
};

} // namespace mb::test

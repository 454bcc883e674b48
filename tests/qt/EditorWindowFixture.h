#pragma once

// The editor window on a small library, shown on the offscreen platform as opening a
// library leaves it, with the gestures a user makes on its tree and grid.

#include "FakeServices.h"
#include "app/BaseFormWindow.h"
#include "model/NodeKey.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtGrid.h"
#include "platform/qt/QtTree.h"
#include "shell/AppState.h"
#include "views/BaseForm.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace mb::test {

struct EditorWindow {
    /// Metals: 0 Steel and 1 Copper; Polymers: 2 Polycarbonate. Values in SI.
    explicit EditorWindow(Locale& locale) {
        add("Metals    ", "Steel", {{"EX", 2.1e11}, {"NUXY", 0.3}, {"DENS", 7850}});
        add("Metals    ", "Copper", {{"EX", 1.2e11}, {"NUXY", 0.34}});
        add("Polymers    ", "Polycarbonate", {{"EX", 2.4e9}, {"REFTEMP", 420}});
        window = std::make_unique<BaseFormWindow>(state, messages, locale);
        BuildTree(state.library, form().TreeView1);
        form().FillUnitsList();
        form().FillTypeList();
        form().unitsCombo_Click();
        window->resize(900, 600);
        window->show();
        tree()->expandAll();
    }

    void add(const std::string& category, const std::string& name,
             std::initializer_list<std::pair<const char*, double>> values) {
        const int n = state.library.AppendMaterial();
        state.library.Entry(n) = {category, "", name, "Description of " + name};
        for (const auto& [code, si] : values)
            state.library.Material(n).CopyProperty(code, si);
    }

    BaseForm& form() { return window->form(); }
    qt::QtTree* tree() { return window->findChild<qt::QtTree*>("TreeView1"); }
    qt::QtGrid* grid() { return window->findChild<qt::QtGrid*>("VSFlexGrid1"); }
    std::string keyOf(int n) {
        const LibraryEntry& e = state.library.Entry(n);
        return MaterialNodeKey(e.Category, e.Name, n);
    }
    double stored(int n, const std::string& code) {
        state.library.Material(n).Property(code);
        return state.library.Material(n).value();
    }

    bool clickNode(const std::string& key) {
        QTreeWidgetItem* item = tree()->itemForKey(key);
        if (!item) return false;
        tree()->scrollToItem(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                          tree()->visualItemRect(item).center());
        return true;
    }
    int rowOf(const QString& code) {
        for (int r = 0; r < grid()->rowCount(); ++r)
            if (grid()->item(r, 0) && grid()->item(r, 0)->text() == code) return r;
        return -1;
    }
    QString shown(const QString& code, int col = 2) {
        const int r = rowOf(code);
        return r < 0 || !grid()->item(r, col) ? QString() : grid()->item(r, col)->text();
    }
    bool clickCell(const QString& code, int col) {
        QTableWidgetItem* item = grid()->item(rowOf(code), col);
        if (!item) return false;
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualItemRect(item).center());
        return true;
    }
    /// Clicks a Value cell and types into the editor that opens; false when none opens.
    bool typeInto(const QString& code, const QString& text) {
        if (!clickCell(code, 2)) return false;
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (!editor) return false;
        editor->selectAll();
        QTest::keyClicks(editor, text);
        return true;
    }

    AppState state;
    fake::FakeMessageBox messages;
    std::unique_ptr<BaseFormWindow> window;
};

} // namespace mb::test

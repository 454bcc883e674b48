#pragma once

// The editor window on a small library, shown on the offscreen platform as opening a
// library leaves it, with the gestures a user makes on its tree and grid.

#include "AppState.h"
#include "BaseForm.h"
#include "BaseFormWindow.h"
#include "FakeServices.h"
#include "NodeKey.h"
#include "QtControls.h"
#include "QtGrid.h"
#include "QtTree.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace mb::test {

struct EditorWindow {
    /// Metals: 0 Steel and 1 Copper, with values in SI.
    explicit EditorWindow(Locale& locale) {
        for (auto [name, ex, nuxy] : {std::tuple{"Steel", 2.1e11, 0.3}, {"Copper", 1.2e11, 0.34}}) {
            clsMaterial record;
            record.CopyProperty("EX", ex);
            record.CopyProperty("NUXY", nuxy);
            state.library.addMaterial({"Metals    ", "", name, ""}, record, clsMaterial());
        }
        window = std::make_unique<BaseFormWindow>(state, messages, locale);
        form().showLibrary();
        form().showSelectors();
        form().chooseUnitSystem(0);
        window->resize(900, 600);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        tree()->expandAll();
    }

    DocumentView& form() { return window->form(); }
    qt::QtTree* tree() { return window->findChild<qt::QtTree*>("TreeView1"); }
    qt::QtGrid* grid() { return window->findChild<qt::QtGrid*>("VSFlexGrid1"); }
    double stored(int n, const std::string& code) {
        state.library.material(n).Property(code);
        return state.library.material(n).value();
    }
    /// Clicks the tree node of material `n`, or of the category `key`.
    void clickNode(int n, std::string key = {}) {
        const LibraryEntry& e = state.library.entry(n);
        QTreeWidgetItem* item =
            tree()->itemForKey(key.empty() ? materialNodeKey(e.Category, e.Name, n) : key);
        QVERIFY(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                          tree()->visualItemRect(item).center());
    }
    QTableWidgetItem* cell(const QString& code, int col) {
        for (int r = 0; r < grid()->rowCount(); ++r)
            if (grid()->item(r, 0) && grid()->item(r, 0)->text() == code)
                return grid()->item(r, col);
        return nullptr;
    }
    QString shown(const QString& code, int col = 2) {
        return cell(code, col) ? cell(code, col)->text() : QString();
    }
    void clickCell(const QString& code, int col) {
        QTableWidgetItem* item = cell(code, col);
        QVERIFY2(item, qPrintable(code));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualItemRect(item).center());
    }
    /// Clicks a Value cell and types into the editor that opens.
    void typeInto(const QString& code, const QString& text) {
        clickCell(code, 2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY2(editor, "a click in the Value column opens the cell editor");
        editor->selectAll();
        QTest::keyClicks(editor, text);
    }

    AppState state;
    fake::FakeMessageBox messages;
    std::unique_ptr<BaseFormWindow> window;
};

} // namespace mb::test

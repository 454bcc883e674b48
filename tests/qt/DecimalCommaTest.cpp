// Run with a German locale: the user's decimal comma is read from the system, shown in
// the grid and accepted when typed.

#include "FakeServices.h"
#include "app/BaseFormWindow.h"
#include "model/NodeKey.h"
#include "platform/qt/QtGrid.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtTree.h"
#include "shell/AppState.h"
#include "shell/DecimalSeparator.h"
#include "views/BaseForm.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace mb::test {

class DecimalCommaTest : public QObject {
    Q_OBJECT

private slots:
    void systemLocaleGivesTheComma() { QCOMPARE(qt::QtLocale().decimalSeparator(), std::string(",")); }

    void typedCommaValueIsStoredAndShownWithTheComma() {
        AppState state;
        const int n = state.library.AppendMaterial();
        state.library.Entry(n) = {"Metals    ", "", "Steel", ""};
        state.library.Material(n).CopyProperty("NUXY", 0.3);
        fake::FakeMessageBox messages;
        qt::QtLocale locale;
        BaseFormWindow window(state, messages, locale);
        BaseForm& form = window.form();
        ReadLocaleDecimalSeparator(state, locale);
        BuildTree(state.library, form.TreeView1);
        form.FillUnitsList();
        form.FillTypeList();
        form.unitsCombo.setListIndex(1);
        form.unitsCombo_Click();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        auto* tree = window.findChild<qt::QtTree*>("TreeView1");
        const std::string key = MaterialNodeKey("Metals    ", "Steel", 0);
        tree->expandAll();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(tree->itemForKey(key)).center());
        auto* grid = window.findChild<qt::QtGrid*>("VSFlexGrid1");
        QCOMPARE(grid->item(1, 2)->text(), QStringLiteral("0,3"));

        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(1, 2)).center());
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("2,5"));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(2, 1)).center());
        clsMaterial& m = state.library.Material(0);
        m.Property("NUXY");
        QCOMPARE(m.value(), 2.5);
        form.ShowMaterialGrid();
        QCOMPARE(grid->item(1, 2)->text(), QStringLiteral("2,5"));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::DecimalCommaTest)
#include "DecimalCommaTest.moc"

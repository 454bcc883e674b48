// The editor window driven as a user drives it, on the offscreen platform: clicks on the
// tree and the grid, typing into the cell editor, choosing the unit system.

#include "EditorWindowFixture.h"

namespace mb::test {

class BaseFormWindowTest : public QObject {
    Q_OBJECT

    fake::FakeLocale locale{"."};

private slots:
    void clickShowsTheValuesAndATypedValueIsStoredInSi() {
        EditorWindow ed(locale);
        ed.clickNode(1);
        QCOMPARE(ed.window->materialNameText().QLineEdit::text(), QStringLiteral("Copper"));
        QCOMPARE(ed.window->materialTypeText().QLineEdit::text(), QStringLiteral("Metals    "));
        QVERIFY(!ed.grid()->isHidden() && ed.window->cmdNewMaterial().isHidden());
        QCOMPARE(ed.shown("EX"), QStringLiteral("17407510")); // 1.2E11 / 6893.5773 psi
        ed.clickNode(0, "Metals    ");
        QVERIFY(ed.grid()->isHidden() && !ed.window->cmdNewMaterial().isHidden());
        QCOMPARE(ed.window->materialNameText().QLineEdit::text(), QString());

        ed.clickNode(0);
        ed.clickCell("EX", 1);
        QVERIFY2(!qobject_cast<QLineEdit*>(QApplication::focusWidget()), "only Value cells edit");
        ed.typeInto("EX", "1000");
        ed.clickCell("NUXY", 1); // leaves the edited cell
        QCOMPARE(ed.stored(0, "EX"), 1000 * 6893.5773);
        QCOMPARE(ed.shown("EX"), QStringLiteral("1000"));
        // An edit left open when another material is clicked goes to the one edited.
        ed.typeInto("NUXY", "0.25");
        ed.clickNode(1);
        QCOMPARE(ed.stored(0, "NUXY"), 0.25);
        QCOMPARE(ed.shown("NUXY"), QStringLiteral("0.34"));
    }

    void switchingTheUnitsChangesTheDisplayOnly() {
        EditorWindow ed(locale);
        auto* units = ed.window->findChild<qt::QtComboBox*>("unitsCombo");
        ed.clickNode(0);
        QCOMPARE(ed.shown("EX"), QStringLiteral("30463140"));
        units->setFocus(); // the user picks the next or previous system with the keyboard
        QTest::keyClick(units, Qt::Key_Down); // SI
        QCOMPARE(ed.shown("EX"), QStringLiteral("210000000000"));
        QCOMPARE(ed.shown("EX", 3).trimmed(), QStringLiteral("N/m^2"));
        QTest::keyClick(units, Qt::Key_Up);
        QCOMPARE(ed.shown("EX"), QStringLiteral("30463140"));
        QCOMPARE(ed.stored(0, "EX"), 2.1e11);
        // An edit still open is stored in the system it was typed in.
        ed.typeInto("EX", "1000");
        units->setFocus();
        QTest::keyClick(units, Qt::Key_Down);
        QCOMPARE(ed.stored(0, "EX"), 1000 * 6893.5773);
        QCOMPARE(ed.shown("EX"), QStringLiteral("6893577"));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::BaseFormWindowTest)
#include "BaseFormWindowTest.moc"

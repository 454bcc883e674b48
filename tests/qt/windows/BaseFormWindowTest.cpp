// The editor window driven as a user drives it, on the offscreen platform: clicks on the
// tree and the grid, typing into the cell editor, choosing the unit system.

#include "EditorWindowFixture.h"
#include "QtChart.h"

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

    void atASmallSizeTheValuesShowWholeAndNothingIsScrolledAway() {
        EditorWindow ed(locale);
        ed.state.library.SetValue(0, "SIGYLD", 2.35e8);
        ed.state.library.SetValue(0, "ETAN", 2e9);
        ed.window->resize(1010, 640);              // the editor's share of a 1024 x 700 screen
        ed.window->typeCombo().setCurrentIndex(4); // a curve is drawn beside the grid
        emit ed.window->typeCombo().clicked();
        ed.clickNode(0);
        QVERIFY(ed.window->chart().isVisible());
        qt::QtGrid* grid = ed.grid();
        QTRY_VERIFY(grid->columnWidth(2) > 0);
        QCoreApplication::processEvents(); // the columns are fitted once the rebuild is over
        int total = 0;
        for (int c = 0; c < grid->columnCount(); ++c)
            total += grid->columnWidth(c);
        QVERIFY2(total <= grid->viewport()->width(),
                 qPrintable(QString("%1 of %2").arg(total).arg(grid->viewport()->width())));
        for (int r = 0; r < grid->rowCount(); ++r) {
            const QString value = grid->item(r, 2) ? grid->item(r, 2)->text() : QString();
            QVERIFY2(grid->fontMetrics().horizontalAdvance(value) < grid->columnWidth(2),
                     qPrintable(value));
        }
        // A description too long for its column is elided, not cut.
        QCOMPARE(grid->textElideMode(), Qt::ElideRight);
        // Where nothing is drawn the chart gives its room to the grid.
        ed.window->typeCombo().setCurrentIndex(11); // Blatz Ko: no curve
        emit ed.window->typeCombo().clicked();
        QVERIFY(!ed.window->chart().isVisible());
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

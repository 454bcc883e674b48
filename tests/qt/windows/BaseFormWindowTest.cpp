// The editor window driven as a user drives it, on the offscreen platform: the unit system
// chosen with the keyboard, and the layout at a small size. An edit left open when another
// material is clicked is DecimalCommaTest's.

#include "QtChart.h"
#include "QtControls.h"
#include "RunningBrowser.h"

#include <QHeaderView>
#include <QMdiSubWindow>
#include <QPaintEvent>

namespace mb::test {

class BaseFormWindowTest : public QObject, RunningBrowser {
    Q_OBJECT

    qt::QtComboBox& units() { return editor()->unitsCombo(); }
    void chooseType(int index) {
        editor()->typeCombo().setCurrentIndex(index);
        emit editor()->typeCombo().clicked();
    }

private slots:
    void init() { initOnMetals(); }
    void cleanup() { RunningBrowser::cleanup(); }

    void atASmallSizeTheValuesShowWholeAndNothingIsScrolledAway() {
        library().SetValue(0, "SIGYLD", 2.35e8);
        library().SetValue(0, "ETAN", 2e9);
        // The editor's share of a 1024 x 700 screen.
        browser->editors().subWindow()->showNormal();
        browser->editors().subWindow()->resize(1010, 640);
        chooseType(4); // a curve is drawn beside the grid
        click("Steel");
        QVERIFY(editor()->chart().isVisible());
        QTRY_VERIFY(grid()->columnWidth(2) > 0);
        QCoreApplication::processEvents(); // the columns are fitted once the rebuild is over
        int total = 0;
        for (int c = 0; c < grid()->columnCount(); ++c)
            total += grid()->columnWidth(c);
        QVERIFY2(total <= grid()->viewport()->width(),
                 qPrintable(QString("%1 of %2").arg(total).arg(grid()->viewport()->width())));
        for (int r = 0; r < grid()->rowCount(); ++r) {
            const QString value = grid()->item(r, 2) ? grid()->item(r, 2)->text() : QString();
            QVERIFY2(grid()->fontMetrics().horizontalAdvance(value) < grid()->columnWidth(2),
                     qPrintable(value));
        }
        // A description too long for its column is elided, not cut.
        QCOMPARE(grid()->textElideMode(), Qt::ElideRight);
        // Where nothing is drawn the chart gives its room to the grid.
        chooseType(11); // Blatz Ko: no curve
        QVERIFY(!editor()->chart().isVisible());
    }

    // Wider values are fitted before the grid is drawn, the last column stretched to the
    // edge, and the grid is drawn once: for another material shown, and for a value stored
    // with Enter, whose repaint already waits ahead of the grid's new fitting.
    void widerValuesAreFittedBeforeTheGridIsDrawn() {
        struct : QObject {
            qt::QtGrid* grid = nullptr;
            QList<int> widths; // the Value column's, at each paint
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint) widths.append(grid->columnWidth(2));
                return false;
            }
        } paints;
        library().SetValue(1, "EX", 1.234567890123e-20);
        browser->mainWindow().resize(1200, 800);
        browser->editors().subWindow()->showMaximized();
        click("Steel");
        QTest::qWait(50);
        const int valueWidth = grid()->columnWidth(2);
        paints.grid = grid();
        grid()->viewport()->installEventFilter(&paints);
        click("Copper");
        QTest::qWait(100);
        QVERIFY(grid()->columnWidth(2) > valueWidth);
        QCOMPARE(paints.widths, QList<int>{grid()->columnWidth(2)});
        const int last = grid()->columnCount() - 1;
        QCOMPARE(grid()->columnViewportPosition(last) + grid()->columnWidth(last),
                 grid()->viewport()->width());

        QLineEdit* typing = typeInto("NUXY", "0.123456789012345");
        QVERIFY(typing);
        paints.widths.clear();
        // In one frame, too: the editor, deleted later, would mark its cell dirty as it went.
        QCOMPARE(
            framesOf(browser->mainWindow(), [typing] { QTest::keyClick(typing, Qt::Key_Return); }),
            1);
        QVERIFY(grid()->columnWidth(2) > valueWidth + 20);
        QCOMPARE(paints.widths, QList<int>(paints.widths.size(), grid()->columnWidth(2)));
    }

    // Starting an edit and storing it with Enter redraw the cells they change: not the
    // header, not every row's mark, not the whole table because the focus went into the
    // cell editor and back.
    void anEditRedrawsTheCellsItChangesOnly() {
        struct : QObject {
            QObject* header = nullptr;
            QRegion table, headerPainted;
            bool eventFilter(QObject* watched, QEvent* e) override {
                if (e->type() == QEvent::Paint)
                    (watched == header ? headerPainted : table) +=
                        static_cast<QPaintEvent*>(e)->region();
                return false;
            }
        } paints;
        browser->mainWindow().resize(1200, 800);
        browser->editors().subWindow()->showMaximized();
        click("Steel");
        QVERIFY(typeInto("EX", "1000"));
        QTest::keyClick(cellEditor(), Qt::Key_Return); // on to NUXY's Value cell
        QTest::qWait(50);
        const int nuxy = cell("NUXY", 0)->row();
        const auto rowRect = [this](int row) {
            QRect r;
            for (int c = 0; c < grid()->columnCount(); ++c)
                r |= grid()->visualRect(grid()->model()->index(row, c));
            return r;
        };
        const QRect far = rowRect(nuxy + 3);
        QVERIFY(grid()->viewport()->rect().contains(far));
        paints.header = grid()->horizontalHeader()->viewport();
        grid()->viewport()->installEventFilter(&paints);
        grid()->horizontalHeader()->viewport()->installEventFilter(&paints);

        QTest::keyClick(grid(), Qt::Key_F2);
        QTest::qWait(50);
        QVERIFY(cellEditor());
        QVERIFY(paints.table.intersects(rowRect(nuxy)));
        QVERIFY(!paints.table.intersects(far));
        QVERIFY(paints.headerPainted.isEmpty());

        paints.table = {};
        QTest::keyClicks(cellEditor(), "0.25");
        QTest::keyClick(cellEditor(), Qt::Key_Return);
        QTest::qWait(50);
        QCOMPARE(stored(0, "NUXY"), 0.25);
        QVERIFY(paints.table.intersects(rowRect(nuxy)));
        QVERIFY(!paints.table.intersects(far));
        QVERIFY(paints.headerPainted.isEmpty());
        // The current cell still shows the focus frame, on the next row.
        QVERIFY(grid()->hasFocus());
        QCOMPARE(grid()->currentRow(), nuxy + 1);
    }

    // An edit still open is stored in the system it was typed in; the display follows.
    void switchingTheUnitsWithTheKeysStoresAnOpenEditFirst() {
        click("Steel");
        clickCell("EX", 1);
        QVERIFY2(!cellEditor(), "only Value cells edit");
        QVERIFY(typeInto("EX", "1000")); // psi
        units().setFocus(); // the user picks the next or previous system with the keyboard
        QTest::keyClick(&units(), Qt::Key_Down); // SI
        QCOMPARE(stored(0, "EX"), 1000 * 6893.5773);
        QCOMPARE(shown("EX"), QStringLiteral("6893577"));
        QCOMPARE(cell("EX", 3)->text().trimmed(), QStringLiteral("N/m^2"));
        QTest::keyClick(&units(), Qt::Key_Up);
        QCOMPARE(shown("EX"), QStringLiteral("1000"));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::BaseFormWindowTest)
#include "BaseFormWindowTest.moc"

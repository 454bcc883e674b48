// The checks and the chart in the editor window, driven as a user drives it: typing a
// value marks its row and sums it up under the grid before it is stored, and the chart
// follows the stored values.

#include "QtChart.h"
#include "QtControls.h"
#include "RunningBrowser.h"

#include <QChart>
#include <QLineSeries>
#include <QListView>
#include <QScrollBar>
#include <QToolBar>

namespace mb::test {

class CheckFeedbackTest : public QObject, RunningBrowser {
    Q_OBJECT

    QList<QPointF> firstSeries() {
        QChart* chart = editor()->chart().chart();
        if (!chart || chart->series().isEmpty()) return {};
        return static_cast<QLineSeries*>(chart->series().front())->points();
    }
    /// The toolbar's Undo button, as drawn, and its action.
    std::pair<QWidget*, QAction*> undoButton() {
        auto* bar = browser->mainWindow().findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        auto* undo = bar->findChild<QAction*>(QStringLiteral("undo"));
        return {bar->widgetForAction(undo), undo};
    }
    QListView* findingList() {
        return browser->mainWindow().findChild<QListView*>(QStringLiteral("findingList"));
    }
    void pickWithTheKeys(qt::QtComboBox& combo, int downs) {
        combo.setFocus();
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(&combo, Qt::Key_Down);
    }

private slots:
    void init() { initOnMetals(); }
    void cleanup() { RunningBrowser::cleanup(); }

    void typingMarksTheRowAndAStoredValueRedrawsTheChart() {
        library().SetValue(0, "SIGYLD", 2.35e8);
        library().SetValue(0, "ETAN", 2e9);
        click("Steel");
        // Linear Elastic Isotropic: the line up to the yield stress, 235E6 N/m^2 in ksi.
        QCOMPARE(firstSeries().back().y(), 2.35e8 / 6893.5773 / 1e3);

        QVERIFY(typeInto("NUXY", "0.5")); // not stored yet: the editor is still open
        QCOMPARE(stored(0, "NUXY"), 0.3);
        QCOMPARE(editor()->checkSummary().text(), QStringLiteral("1 error, 0 warnings"));
        QVERIFY(!cell("NUXY", 0)->icon().isNull());
        QCOMPARE(
            cell("NUXY", 1)->toolTip(),
            QStringLiteral("NUXY = 0.5 is outside -1 < NUXY < 0.5 for an isotropic material."));
        QVERIFY(cell("EX", 0)->icon().isNull());

        clickCell("EX", 1);
        QCOMPARE(stored(0, "NUXY"), 0.5);
        QVERIFY(!cell("NUXY", 0)->icon().isNull());
        // Put right, the row loses its mark and its message.
        QVERIFY(typeInto("NUXY", "0.25"));
        clickCell("EX", 1);
        QVERIFY(cell("NUXY", 0)->icon().isNull());
        QVERIFY(!cell("NUXY", 1)->toolTip().contains(QStringLiteral("outside")));
        QVERIFY(typeInto("NUXY", "0.5"));
        clickCell("EX", 1);
        QVERIFY(!cell("NUXY", 0)->icon().isNull());
        pickWithTheKeys(editor()->typeCombo(), 4); // von Mises Plasticity (kinematic)
        // The curve's shape and units are the feedback's; here the real chart is redrawn.
        QCOMPARE(firstSeries().back().y(), (2.35e8 + 2e9 * 4 * 2.35e8 / 2.1e11) / 6893.5773 / 1e3);
    }

    // Escape throws away what was typed: the marks, their summary and the chart, which
    // followed the typing, show the stored values again.
    void anEditLeftWithEscapeShowsTheStoredValuesAgain() {
        library().SetValue(0, "SIGYLD", 2.35e8);
        click("Steel");
        const QString summary = editor()->checkSummary().text();
        const QList<QPointF> line = firstSeries();
        QVERIFY(!line.isEmpty());
        QVERIFY(typeInto("NUXY", "0.5"));
        QVERIFY(editor()->checkSummary().text() != summary);
        QTest::keyClick(cellEditor(), Qt::Key_Escape);
        QCOMPARE(stored(0, "NUXY"), 0.3);
        QVERIFY(cell("NUXY", 0)->icon().isNull());
        QCOMPARE(editor()->checkSummary().text(), summary);

        QVERIFY(typeInto("EX", "1000"));
        QVERIFY(firstSeries() != line);
        QTest::keyClick(cellEditor(), Qt::Key_Escape);
        QCOMPARE(stored(0, "EX"), 2.1e11);
        QCOMPARE(firstSeries(), line);
    }

    // Check Library takes room from the editor: the grid grows a scroll bar, its columns
    // and the chart are fitted again, and the list comes in. All of it is one frame.
    void checkLibraryIsDrawnInOneFrame() {
        library().SetValue(0, "SIGYLD", 2.35e8);
        browser->mainWindow().resize(1000, 560);
        click("Steel"); // a line drawn beside the grid
        QTRY_VERIFY(!grid()->verticalScrollBar()->isVisible());
        QTest::qWait(50);
        QCOMPARE(framesOf(browser->mainWindow(), [this] { command("checkLibrary"); }), 1);
        QVERIFY(grid()->verticalScrollBar()->isVisible() && editor()->chart().isVisible());
    }

    // With the list open, a Delete changes the tree, the grid, the chart, the list and Undo
    // on the toolbar: drawn in one frame, and its undo as well.
    void aDeleteAndItsUndoAreDrawnInOneFrameWithTheListOpen() {
        command("checkLibrary");
        click("Brass");
        QTest::qWait(50);
        const int lines = findingList()->model()->rowCount();
        const auto framesOfKey = [this](Qt::Key key, Qt::KeyboardModifiers mods = {}) {
            return framesOf(browser->mainWindow(), [&] { QTest::keyClick(tree(), key, mods); });
        };
        QCOMPARE(framesOfKey(Qt::Key_Delete), 1);
        QCOMPARE(library().LastMaterialIndex(), 2);
        // The button is made available and labelled without the bar being laid out again.
        auto [button, undo] = undoButton();
        QVERIFY(button && button->isEnabled() && button->toolTip() == undo->toolTip());
        QVERIFY(undo->toolTip().startsWith(QLatin1String("Undo ")));
        QCOMPARE(framesOfKey(Qt::Key_Z, Qt::ControlModifier), 1);
        QCOMPARE(library().LastMaterialIndex(), 3);
        QCOMPARE(findingList()->model()->rowCount(), lines);
        QCOMPARE(button->isEnabled(), undo->isEnabled());
        QCOMPARE(button->toolTip(), undo->toolTip());
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::CheckFeedbackTest)
#include "CheckFeedbackTest.moc"

// The checks and the chart in the editor window, driven as a user drives it: typing a
// value marks its row and sums it up under the grid before it is stored, and the chart
// follows the stored values.

#include "QtChart.h"
#include "QtControls.h"
#include "RunningBrowser.h"

#include <QAbstractAxis>
#include <QChart>
#include <QLineSeries>

namespace mb::test {

class CheckFeedbackTest : public QObject, RunningBrowser {
    Q_OBJECT

    QList<QPointF> firstSeries() {
        QChart* chart = editor()->chart().chart();
        if (!chart || chart->series().isEmpty()) return {};
        return static_cast<QLineSeries*>(chart->series().front())->points();
    }
    void pickWithTheKeys(qt::QtComboBox& combo, int downs) {
        combo.setFocus();
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(&combo, Qt::Key_Down);
    }

private slots:
    void init() {
        RunningBrowser::init();
        startOnMetals(messages.get());
    }
    void cleanup() { RunningBrowser::cleanup(); }

    void typingMarksTheRowAndAStoredValueRedrawsTheChart() {
        library().SetValue(0, "SIGYLD", 2.35e8);
        library().SetValue(0, "ETAN", 2e9);
        click("Steel");
        qt::QtLabel& summary = editor()->checkSummary();
        QCOMPARE(summary.text(), QStringLiteral("No errors or warnings"));
        // Linear Elastic Isotropic: the line up to the yield stress, 235E6 N/m^2 in ksi.
        QCOMPARE(firstSeries().back().y(), 2.35e8 / 6893.5773 / 1e3);

        QVERIFY(typeInto("NUXY", "0.5")); // not stored yet: the editor is still open
        QCOMPARE(stored(0, "NUXY"), 0.3);
        QCOMPARE(summary.text(), QStringLiteral("1 error, 0 warnings"));
        QVERIFY(!cell("NUXY", 0)->icon().isNull());
        QCOMPARE(
            cell("NUXY", 1)->toolTip(),
            QStringLiteral("NUXY = 0.5 is outside -1 < NUXY < 0.5 for an isotropic material."));
        QVERIFY(cell("EX", 0)->icon().isNull());

        clickCell("EX", 1);
        QCOMPARE(stored(0, "NUXY"), 0.5);
        pickWithTheKeys(editor()->typeCombo(), 4); // von Mises Plasticity (kinematic)
        const QList<QPointF> before = firstSeries();
        QCOMPARE(before.size(), 50);
        // In ksi, so that the axis reads 35.4 rather than 3.54e+04.
        QCOMPARE(before.back().y(), (2.35e8 + 2e9 * 4 * 2.35e8 / 2.1e11) / 6893.5773 / 1e3);
        QVERIFY(
            editor()->chart().chart()->axes(Qt::Vertical).front()->titleText().endsWith("(ksi)"));

        QVERIFY(typeInto("ETAN", "0")); // psi: perfectly plastic from the yield point on
        clickCell("EX", 1);
        QCOMPARE(stored(0, "ETAN"), 0.0);
        QCOMPARE(firstSeries().back().y(), 2.35e8 / 6893.5773 / 1e3);
        QCOMPARE(firstSeries().front(), before.front());
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::CheckFeedbackTest)
#include "CheckFeedbackTest.moc"

// The checks and the chart in the editor window, driven as a user drives it: typing a
// value marks its row and sums it up under the grid before it is stored, and the chart
// follows the stored values.

#include "EditorWindowFixture.h"
#include "QtChart.h"

#include <QAbstractAxis>
#include <QChart>
#include <QLineSeries>

namespace mb::test {

class CheckFeedbackTest : public QObject {
    Q_OBJECT

    fake::FakeLocale locale{"."};

    static QList<QPointF> firstSeries(qt::QtChart& chart) {
        if (!chart.chart() || chart.chart()->series().isEmpty()) return {};
        return static_cast<QLineSeries*>(chart.chart()->series().front())->points();
    }

private slots:
    void aCheckTooltipGivesItsValuesInTheSystemShown() {
        EditorWindow ed(locale);
        ed.state.library.SetValue(0, "GXY", 1.0e11); // EX/(2(1+NUXY)) is 80.8 GPa
        ed.clickNode(0);
        const QString tip = ed.cell("GXY", 1)->toolTip();
        QCOMPARE(tip,
                 QStringLiteral("GXY = 14506260 psi differs from EX/(2(1+NUXY)) = 11716600 "
                                "psi by 23.8%, more than 2% (EX = 30463140 psi, NUXY = 0.3)."));
        auto* units = ed.window->findChild<qt::QtComboBox*>("unitsCombo");
        units->setFocus();
        QTest::keyClick(units, Qt::Key_Down); // SI
        QVERIFY2(ed.cell("GXY", 1)->toolTip().startsWith("GXY = 100000000000 N/m^2 differs"),
                 qPrintable(ed.cell("GXY", 1)->toolTip()));
    }

    void typingMarksTheRowAndAStoredValueRedrawsTheChart() {
        EditorWindow ed(locale);
        ed.state.library.SetValue(0, "SIGYLD", 2.35e8);
        ed.state.library.SetValue(0, "ETAN", 2e9);
        ed.clickNode(0);
        qt::QtLabel& summary = ed.window->checkSummary();
        qt::QtChart& chart = ed.window->chart();
        QCOMPARE(summary.text(), QStringLiteral("No errors or warnings"));
        // Linear Elastic Isotropic: the line up to the yield stress, 235E6 N/m^2 in ksi.
        QVERIFY(chart.chart());
        QCOMPARE(firstSeries(chart).back().y(), 2.35e8 / 6893.5773 / 1e3);

        ed.typeInto("NUXY", "0.5"); // not stored yet: the editor is still open
        QCOMPARE(ed.stored(0, "NUXY"), 0.3);
        QCOMPARE(summary.text(), QStringLiteral("1 error, 0 warnings"));
        QVERIFY(!ed.cell("NUXY", 0)->icon().isNull());
        QCOMPARE(
            ed.cell("NUXY", 1)->toolTip(),
            QStringLiteral("NUXY = 0.5 is outside -1 < NUXY < 0.5 for an isotropic material."));
        QVERIFY(ed.cell("EX", 0)->icon().isNull());

        ed.clickCell("EX", 1);
        QCOMPARE(ed.stored(0, "NUXY"), 0.5);
        auto* type = ed.window->findChild<qt::QtComboBox*>("typeCombo");
        type->setFocus();
        for (int i = 0; i < 4; ++i) // von Mises Plasticity (kinematic)
            QTest::keyClick(type, Qt::Key_Down);
        QVERIFY(!ed.cell("NUXY", 0)->icon().isNull()); // the rebuilt grid is marked again
        const QList<QPointF> before = firstSeries(chart);
        QCOMPARE(before.size(), 50);
        // In ksi, so that the axis reads 35.4 rather than 3.54e+04.
        QCOMPARE(before.back().y(), (2.35e8 + 2e9 * 4 * 2.35e8 / 2.1e11) / 6893.5773 / 1e3);
        QVERIFY(chart.chart()->axes(Qt::Vertical).front()->titleText().endsWith("(ksi)"));

        ed.typeInto("ETAN", "0"); // psi: perfectly plastic from the yield point on
        ed.clickCell("EX", 1);
        QCOMPARE(ed.stored(0, "ETAN"), 0.0);
        const QList<QPointF> after = firstSeries(chart);
        QCOMPARE(after.size(), 50);
        QCOMPARE(after.back().y(), 2.35e8 / 6893.5773 / 1e3);
        QCOMPARE(after.front(), before.front());
    }

    // Where the user types the anisotropic matrix, each row says where its entry sits.
    void matrixRowsSayWhereTheirEntrySits() {
        EditorWindow ed(locale);
        ed.clickNode(0);
        auto* type = ed.window->findChild<qt::QtComboBox*>("typeCombo");
        type->setFocus();
        for (int i = 0; i < 2; ++i) // Linear Elastic Anisotropic
            QTest::keyClick(type, Qt::Key_Down);
        for (const auto& [code, place] : {std::pair{"MC14", "row 1 (x), column 4 (xy)"},
                                          {"MC56", "row 5 (yz), column 6 (xz)"}}) {
            QTableWidgetItem* item = ed.cell(code, 0);
            QVERIFY2(item, code);
            QCOMPARE(item->toolTip(), QStringLiteral("Material matrix ") + place +
                                          "; rows and columns in the order x, y, z, xy, yz, xz.");
            QVERIFY(item->icon().isNull());
        }
        QVERIFY(ed.cell("DENS", 0)->toolTip().isEmpty());
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::CheckFeedbackTest)
#include "CheckFeedbackTest.moc"

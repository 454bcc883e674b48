// The chart pane as the editor feeds it: one plot after another as materials are clicked.
// A plot of the kind on show reuses the chart; either way the pane shows exactly what a
// pane that never saw the earlier plot shows. Save Chart writes PNG or SVG.

#include "QtChart.h"

#include "FakeServices.h"

#include <QAbstractAxis>
#include <QChart>
#include <QFile>
#include <QLegend>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

Q_DECLARE_METATYPE(mb::ChartPlot)

namespace mb::test {

namespace {

// What a user reads off the chart.
struct Shown {
    QString title, xTitle, yTitle;
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    int yTicks = 0;
    bool legend = false;
    QStringList names;
    QList<QList<QPointF>> points;
    bool operator==(const Shown&) const = default;
};

double axisMin(QAbstractAxis* axis) {
    if (auto* log = qobject_cast<QLogValueAxis*>(axis)) return log->min();
    return static_cast<QValueAxis*>(axis)->min();
}
double axisMax(QAbstractAxis* axis) {
    if (auto* log = qobject_cast<QLogValueAxis*>(axis)) return log->max();
    return static_cast<QValueAxis*>(axis)->max();
}

Shown shownBy(qt::QtChart& pane) {
    QChart* chart = pane.chart();
    Shown s;
    if (!chart) return s;
    QAbstractAxis* x = chart->axes(Qt::Horizontal).value(0);
    auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
    if (!x || !y) return s;
    s.title = chart->title();
    s.xTitle = x->titleText();
    s.yTitle = y->titleText();
    s.xMin = axisMin(x), s.xMax = axisMax(x);
    s.yMin = y->min(), s.yMax = y->max();
    s.yTicks = y->tickCount();
    s.legend = chart->legend()->isVisible();
    for (QAbstractSeries* series : chart->series()) {
        s.names.append(series->name());
        s.points.append(static_cast<QLineSeries*>(series)->points());
    }
    return s;
}

// A relaxation curve over six decades of time, as the viscoelastic model draws one.
ChartPlot relaxation(const std::string& title, double scale) {
    ChartPlot p;
    p.title = title;
    p.xLabel = "Time (s)";
    p.yLabel = "Relaxation modulus (psi)";
    p.logX = true;
    for (int i = 0; i <= 12; ++i)
        p.x.push_back(std::pow(10.0, -3 + i * 0.5));
    p.series.push_back({"G(t)", {}});
    for (double t : p.x)
        p.series[0].y.push_back(scale * (0.2 + 0.8 * std::exp(-t)));
    return p;
}

ChartPlot stressStrain(const std::string& title, double yield, int seriesCount) {
    ChartPlot p;
    p.title = title;
    p.xLabel = "Strain";
    p.yLabel = "Stress (psi)";
    for (int i = 0; i < 50; ++i)
        p.x.push_back(0.001 * i);
    for (int n = 0; n < seriesCount; ++n) {
        ChartPlot::Series s{n == 0 ? "tension" : "compression", {}};
        for (double e : p.x)
            s.y.push_back(std::min(2e7 * e, yield) * (n == 0 ? 1 : 0.8));
        p.series.push_back(s);
    }
    return p;
}

} // namespace

class QtChartTest : public QObject {
    Q_OBJECT

private slots:
    void anotherMaterialReusesTheChartAndItsSeries_data() {
        QTest::addColumn<ChartPlot>("first");
        QTest::addColumn<ChartPlot>("second");
        QTest::newRow("viscoelastic") << relaxation("Steel A", 3e7) << relaxation("Rubber", 450);
        QTest::newRow("plasticity, two curves")
            << stressStrain("Steel A", 3.5e4, 2) << stressStrain("Aluminium", 1.2e4, 2);
        ChartPlot polar = stressStrain("Fabric", 1e4, 1);
        polar.polar = true;
        ChartPlot other = stressStrain("Mesh", 3e3, 1);
        other.polar = true;
        QTest::newRow("polar") << polar << other;
    }
    void anotherMaterialReusesTheChartAndItsSeries() {
        QFETCH(ChartPlot, first);
        QFETCH(ChartPlot, second);
        qt::QtChart pane;
        pane.showPlot(first);
        QChart* chart = pane.chart();
        QVERIFY(chart);
        const QList<QAbstractSeries*> series = chart->series();
        QCOMPARE(series.size(), static_cast<qsizetype>(first.series.size()));

        pane.showPlot(second);
        // Compared as pointers: a chart replaced by another is deleted and cannot be printed.
        QVERIFY(pane.chart() == chart);
        QVERIFY(chart->series() == series);
        const QList<QPointF> shown = static_cast<QLineSeries*>(series.front())->points();
        QCOMPARE(shown.size(), static_cast<qsizetype>(second.x.size()));
        QCOMPARE(shown.back(), QPointF(second.x.back(), second.series[0].y.back()));

        qt::QtChart fresh;
        fresh.showPlot(second);
        const Shown reused = shownBy(pane);
        QCOMPARE(reused, shownBy(fresh));
        QCOMPARE(reused.title, QString::fromStdString(second.title));
    }

    // An edit or undo that leaves the curve as it was shows the same plot again: the chart
    // is left alone. After a note, the same plot is a chart on show again.
    void theSamePlotAgainLeavesTheChartAlone() {
        qt::QtChart pane;
        const ChartPlot plot = stressStrain("Steel A", 3.5e4, 2);
        pane.showPlot(plot);
        QChart* chart = pane.chart();
        QVERIFY(chart);
        QSignalSpy replaced(static_cast<QLineSeries*>(chart->series().front()),
                            &QXYSeries::pointsReplaced);
        pane.showPlot(plot);
        QCOMPARE(replaced.count(), 0);
        ChartPlot moved = plot;
        moved.series[1].y.back() *= 2;
        pane.showPlot(moved);
        QCOMPARE(replaced.count(), 1);

        pane.showNote("No curve");
        QVERIFY(!pane.chart());
        pane.showPlot(moved);
        QVERIFY(pane.chart());
        qt::QtChart fresh;
        fresh.showPlot(moved);
        QCOMPARE(shownBy(pane), shownBy(fresh));
    }

    // A plot of another kind, or with another number of curves, or after a note, gets a
    // chart of its own.
    void aPlotOfAnotherKindGetsANewChart() {
        qt::QtChart pane;
        pane.showPlot(relaxation("Rubber", 450));
        QChart* logChart = pane.chart();
        QVERIFY(qobject_cast<QLogValueAxis*>(logChart->axes(Qt::Horizontal).value(0)));
        // Six decades of time, and a modulus axis of nice numbers around the curve.
        const Shown axes = shownBy(pane);
        QCOMPARE(axes.xTitle + "|" + axes.yTitle, "Time (s)|Relaxation modulus (psi)");
        QCOMPARE(QList<double>({axes.xMin, axes.xMax, axes.yMin, axes.yMax}),
                 QList<double>({1e-3, 1e3, 0.0, 500.0}));
        QVERIFY(!axes.legend);

        pane.showPlot(stressStrain("Steel A", 3.5e4, 1));
        QChart* linear = pane.chart();
        QVERIFY(linear != logChart);
        QVERIFY(qobject_cast<QValueAxis*>(linear->axes(Qt::Horizontal).value(0)));
        QVERIFY(!linear->legend()->isVisible());

        pane.showPlot(stressStrain("Steel A", 3.5e4, 2));
        QVERIFY(pane.chart() != linear);
        QCOMPARE(pane.chart()->series().size(), 2);
        QVERIFY(pane.chart()->legend()->isVisible());

        qt::QtChart fresh;
        fresh.showPlot(stressStrain("Steel A", 3.5e4, 2));
        QCOMPARE(shownBy(pane), shownBy(fresh));

        // No points: nothing would set the axes of the chart before.
        ChartPlot empty = stressStrain("Empty", 1, 2);
        empty.x.clear();
        QChart* before = pane.chart();
        pane.showPlot(empty);
        QVERIFY(pane.chart() != before);
        qt::QtChart freshEmpty;
        freshEmpty.showPlot(empty);
        QCOMPARE(shownBy(pane), shownBy(freshEmpty));
        QVERIFY(shownBy(pane).points.front().isEmpty());

        // A note hides the chart; the next plot brings it back with the new points.
        pane.showNote("No curve for this material model.");
        QVERIFY(!pane.chart());
        pane.showPlot(relaxation("Rubber", 450));
        QCOMPARE(shownBy(pane).title, QStringLiteral("Rubber"));
        QCOMPARE(shownBy(pane).points.front().front().y(), 450 * (0.2 + 0.8 * std::exp(-1e-3)));
    }

    // Save Chart asks for the file through the program's dialogs and writes the kind its
    // name gives; a file that cannot be written is said so, by name.
    void saveWritesThePictureTheNameAsksFor_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QString>("message");
        QTest::newRow("PNG") << "chart.png" << QByteArray("\x89PNG") << "";
        QTest::newRow("SVG") << "chart.svg" << QByteArray("<?xml") << "";
        QTest::newRow("no such folder")
            << "missing/chart.png" << QByteArray() << "Cannot save the chart as %1.";
    }
    void saveWritesThePictureTheNameAsksFor() {
        QFETCH(QString, name);
        QFETCH(QByteArray, start);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        fake::FakeFileDialogs dialogs;
        fake::FakeMessageBox messages;
        qt::QtChart pane;
        pane.useDialogs(dialogs, messages);
        pane.resize(400, 300);
        pane.showPlot(relaxation("Steel A", 3e7));
        dialogs.queuePath(path.toStdString());
        QTest::mouseClick(pane.findChild<QPushButton*>("saveChart"), Qt::LeftButton);

        QCOMPARE(dialogs.requests.size(), std::size_t{1});
        QCOMPARE(dialogs.requests[0].title, std::string("Save Chart"));
        QCOMPARE(dialogs.requests[0].filter,
                 std::string("PNG picture (*.png)|*.png|SVG drawing (*.svg)|*.svg"));
        QFile written(path);
        if (message.isEmpty()) {
            QVERIFY(messages.questions.empty());
            QVERIFY(written.open(QIODevice::ReadOnly));
            QCOMPARE(written.read(start.size()), start);
        } else {
            QVERIFY(!written.exists());
            QCOMPARE(messages.questions.size(), std::size_t{1});
            QCOMPARE(messages.questions[0].text, message.arg(path).toStdString());
            QCOMPARE(messages.questions[0].title, std::string("Save Chart"));
            QVERIFY(messages.questions[0].icon == MsgIcon::Exclamation);
        }
        // Cancel writes nothing and says nothing.
        QTest::mouseClick(pane.findChild<QPushButton*>("saveChart"), Qt::LeftButton);
        QCOMPARE(dialogs.requests.size(), std::size_t{2});
        QCOMPARE(messages.questions.size(), message.isEmpty() ? std::size_t{0} : std::size_t{1});
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::QtChartTest)
#include "QtChartTest.moc"

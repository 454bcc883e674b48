#include "QtChart.h"

#include "QtServices.h"
#include "QtText.h"

#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QFile>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLabel>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QPolarChart>
#include <QPushButton>
#include <QStackedWidget>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace mb::qt {

QtChart::QtChart(QWidget* parent)
    : QWidget(parent), ownDialogs_(std::make_unique<QtFileDialogs>(this)),
      ownMessages_(std::make_unique<QtMessageBox>(this)), dialogs_(ownDialogs_.get()),
      messages_(ownMessages_.get()) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    stack_ = new QStackedWidget(this);
    view_ = new QChartView(stack_);
    view_->setObjectName(QStringLiteral("chartView"));
    view_->setRenderHint(QPainter::Antialiasing);
    // A scene nobody listens to has its views repaint the whole window the moment it
    // changes, ahead of the updates already waiting: one action that also changes the
    // chart (a dock opened, a value stored) was drawn in two frames, the second repainting
    // everything the first had missed. With a listener, the chart's changes wait for the
    // window's one repaint like any other widget's.
    connect(view_->scene(), &QGraphicsScene::changed, view_, [] {});
    note_ = new QLabel(stack_);
    note_->setObjectName(QStringLiteral("chartNote"));
    note_->setAlignment(Qt::AlignCenter);
    note_->setWordWrap(true);
    note_->setMargin(12);
    stack_->addWidget(view_);
    stack_->addWidget(note_);
    layout->addWidget(stack_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    // Alt+T: Alt+H is the menu bar's Help, and a key claimed twice reaches neither.
    save_ = new QPushButton(QStringLiteral("Save Char&t..."), this);
    save_->setObjectName(QStringLiteral("saveChart"));
    buttons->addWidget(save_);
    layout->addLayout(buttons);
    connect(save_, &QPushButton::clicked, this, &QtChart::saveAs);
    showNote("");
}

void QtChart::showPlot(const ChartPlot& plot) {
    if (shown_ && *shown_ == plot) return;
    // Clicking through materials shows one chart after another of the same kind: new
    // points in the same chart cost a fraction of building the chart and its axes again.
    // A plot without points gets a chart of its own: nothing would set the old one's axes.
    if (!chart_ || plot.x.empty() || plot.polar != polar_ || plot.logX != logX_ ||
        static_cast<std::size_t>(series_.size()) != plot.series.size())
        buildChart(plot);
    fillChart(plot);
    spaceLogLabels();
    stack_->setCurrentWidget(view_);
    save_->setEnabled(true);
    shown_ = plot;
    // The chart lays itself out and gathers its scene's changes on Qt's next turn; when
    // that came after the window's repaint, the chart was drawn again a frame later (a
    // Delete with a dock open). Done now, the chart's changes are in the edit's repaint.
    // The scene has no call of its own for that, only its queued ones.
    if (QGraphicsLayout* layout = chart_->layout()) layout->activate();
    QCoreApplication::sendPostedEvents(view_->scene(), QEvent::MetaCall);
}

void QtChart::buildChart(const ChartPlot& plot) {
    QChart* chart = plot.polar ? new QPolarChart : new QChart;

    QAbstractAxis* xAxis = nullptr;
    if (plot.polar) {
        auto* angle = new QValueAxis;
        angle->setRange(0, 360);
        angle->setTickCount(9);
        angle->setLabelFormat(QStringLiteral("%d"));
        xAxis = angle;
    } else if (plot.logX) {
        auto* time = new QLogValueAxis;
        time->setLabelFormat(QStringLiteral("%g"));
        time->setMinorTickCount(-1);
        xAxis = time;
    } else {
        auto* linear = new QValueAxis;
        linear->setLabelFormat(QStringLiteral("%.3g"));
        xAxis = linear;
    }
    auto* yAxis = new QValueAxis;
    yAxis->setLabelFormat(QStringLiteral("%.3g"));
    if (plot.polar) {
        auto* polar = static_cast<QPolarChart*>(chart);
        polar->addAxis(xAxis, QPolarChart::PolarOrientationAngular);
        polar->addAxis(yAxis, QPolarChart::PolarOrientationRadial);
    } else {
        chart->addAxis(xAxis, Qt::AlignBottom);
        chart->addAxis(yAxis, Qt::AlignLeft);
    }
    series_.clear();
    for (std::size_t i = 0; i < plot.series.size(); ++i) {
        auto* line = new QLineSeries;
        chart->addSeries(line);
        line->attachAxis(xAxis);
        line->attachAxis(yAxis);
        series_.append(line);
    }

    QChart* old = view_->chart();
    view_->setChart(chart);
    delete old;
    chart_ = chart;
    xAxis_ = xAxis;
    yAxis_ = yAxis;
    polar_ = plot.polar;
    logX_ = plot.logX;
}

void QtChart::fillChart(const ChartPlot& plot) {
    // Every change to a chart on show lays it out again at once: only what differs is set.
    if (const QString title = toQ(plot.title); chart_->title() != title) chart_->setTitle(title);
    chart_->legend()->setVisible(plot.series.size() > 1);
    xAxis_->setTitleText(toQ(plot.xLabel));
    yAxis_->setTitleText(toQ(plot.yLabel));

    double low = 0, high = 0, left = 0, right = 0;
    bool first = true;
    for (std::size_t n = 0; n < plot.series.size(); ++n) {
        const ChartPlot::Series& s = plot.series[n];
        QList<QPointF> points;
        const std::size_t count = std::min(plot.x.size(), s.y.size());
        points.reserve(static_cast<qsizetype>(count));
        for (std::size_t i = 0; i < count; ++i) {
            points.append(QPointF(plot.x[i], s.y[i]));
            low = first ? s.y[i] : std::min(low, s.y[i]);
            high = first ? s.y[i] : std::max(high, s.y[i]);
            left = first ? plot.x[i] : std::min(left, plot.x[i]);
            right = first ? plot.x[i] : std::max(right, plot.x[i]);
            first = false;
        }
        QLineSeries* line = series_[static_cast<qsizetype>(n)];
        if (const QString name = toQ(s.name); line->name() != name) line->setName(name);
        line->replace(points);
    }
    if (!plot.polar && !plot.logX && !plot.x.empty())
        static_cast<QValueAxis*>(xAxis_)->setRange(plot.x.front(), plot.x.back());
    // The time axis spans the points, as a chart built around them would have it.
    if (plot.logX && !first) static_cast<QLogValueAxis*>(xAxis_)->setRange(left, right);
    // A radius starts at zero; elsewhere a flat line still gets an axis of some height.
    if (plot.polar) low = 0;
    if (high - low <= 0) high = low + (low == 0 ? 1 : std::abs(low) * 0.1);
    // Nice numbers start from the tick count, so the previous plot's must not carry over;
    // worked out on an axis of no chart, they cost the one on show a single layout.
    QValueAxis nice;
    nice.setRange(std::min(low, 0.0), high);
    nice.applyNiceNumbers();
    yAxis_->setRange(nice.min(), nice.max());
    yAxis_->setTickCount(nice.tickCount());
}

void QtChart::spaceLogLabels() {
    QChart* shown = view_->chart();
    if (!shown) return;
    for (QAbstractAxis* axis : shown->axes(Qt::Horizontal)) {
        auto* log = qobject_cast<QLogValueAxis*>(axis);
        if (!log || !(log->min() > 0) || !(log->max() > log->min())) continue;
        // A decade per label as long as the labels fit side by side, upright; in a narrow
        // pane every second or third decade, never labels squeezed to dots.
        // Reckoned from the pane's width, which the labels do not change: the plot area's
        // would change with them and never settle.
        const double decades = std::log10(log->max() / log->min());
        const int labelWidth = fontMetrics().horizontalAdvance(QStringLiteral("1e+06")) + 10;
        // Less the value axis's labels and title and the chart's margins.
        const int plotWidth = std::max(0, width() - 2 * labelWidth - 20);
        const int fit = std::max(2, plotWidth / labelWidth);
        const int step = std::max(1, static_cast<int>(std::ceil(decades / (fit - 1))));
        const double base = std::pow(10.0, step);
        if (log->base() == base) continue;
        // Automatic minor ticks number the base less two per step: beyond a decade that
        // is thousands of them, and the chart would spend all its time placing them.
        log->setMinorTickCount(step == 1 ? -1 : 0);
        log->setBase(base);
    }
}

void QtChart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    spaceLogLabels();
}

void QtChart::showNote(const std::string& note) {
    shown_.reset();
    note_->setText(toQ(note));
    stack_->setCurrentWidget(note_);
    save_->setEnabled(false);
}

QChart* QtChart::chart() const {
    return stack_->currentWidget() == view_ ? view_->chart() : nullptr;
}

bool QtChart::saveImage(const QString& path) {
    if (!chart()) return false;
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(view_->size());
        svg.setViewBox(view_->rect());
        svg.setTitle(chart()->title());
        QPainter painter;
        if (!painter.begin(&svg)) return false;
        view_->render(&painter);
        return painter.end();
    }
    return view_->grab().save(path);
}

void QtChart::useDialogs(FileDialogs& dialogs, MessageBox& messages) {
    dialogs_ = &dialogs;
    messages_ = &messages;
}

void QtChart::saveAs() {
    // The file dialog gives a name typed without a suffix the chosen kind's.
    const std::optional<std::string> path =
        dialogs_->saveFile("Save Chart", "PNG picture (*.png)|*.png|SVG drawing (*.svg)|*.svg", "");
    if (!path) return;
    if (!saveImage(QFile::decodeName(path->c_str())))
        messages_->show("Cannot save the chart as " + *path + ".", MsgButtons::OK,
                        MsgIcon::Exclamation, "Save Chart");
}

} // namespace mb::qt

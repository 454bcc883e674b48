#include "QtChart.h"

#include "QtText.h"

#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMessageBox>
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

QtChart::QtChart(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    stack_ = new QStackedWidget(this);
    view_ = new QChartView(stack_);
    view_->setObjectName(QStringLiteral("chartView"));
    view_->setRenderHint(QPainter::Antialiasing);
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
    QChart* chart = plot.polar ? new QPolarChart : new QChart;
    chart->setTitle(toQ(plot.title));
    chart->legend()->setVisible(plot.series.size() > 1);

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
    xAxis->setTitleText(toQ(plot.xLabel));
    yAxis->setTitleText(toQ(plot.yLabel));
    if (plot.polar) {
        auto* polar = static_cast<QPolarChart*>(chart);
        polar->addAxis(xAxis, QPolarChart::PolarOrientationAngular);
        polar->addAxis(yAxis, QPolarChart::PolarOrientationRadial);
    } else {
        chart->addAxis(xAxis, Qt::AlignBottom);
        chart->addAxis(yAxis, Qt::AlignLeft);
    }

    double low = 0, high = 0;
    bool first = true;
    for (const ChartPlot::Series& s : plot.series) {
        auto* line = new QLineSeries;
        line->setName(toQ(s.name));
        for (std::size_t i = 0; i < plot.x.size() && i < s.y.size(); ++i) {
            line->append(plot.x[i], s.y[i]);
            low = first ? s.y[i] : std::min(low, s.y[i]);
            high = first ? s.y[i] : std::max(high, s.y[i]);
            first = false;
        }
        chart->addSeries(line);
        line->attachAxis(xAxis);
        line->attachAxis(yAxis);
    }
    if (!plot.polar && !plot.logX && !plot.x.empty())
        static_cast<QValueAxis*>(xAxis)->setRange(plot.x.front(), plot.x.back());
    // A radius starts at zero; elsewhere a flat line still gets an axis of some height.
    if (plot.polar) low = 0;
    if (high - low <= 0) high = low + (low == 0 ? 1 : std::abs(low) * 0.1);
    yAxis->setRange(std::min(low, 0.0), high);
    yAxis->applyNiceNumbers();

    QChart* old = view_->chart();
    view_->setChart(chart);
    delete old;
    spaceLogLabels();
    stack_->setCurrentWidget(view_);
    save_->setEnabled(true);
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

void QtChart::saveAs() {
    const QString svgFilter = QStringLiteral("SVG drawing (*.svg)");
    QString filter;
    QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save Chart"), QString(),
                                     QStringLiteral("PNG picture (*.png);;") + svgFilter, &filter);
    if (path.isEmpty()) return;
    // A name typed without a suffix takes the one of the chosen kind.
    if (QFileInfo(path).suffix().isEmpty())
        path += filter == svgFilter ? QStringLiteral(".svg") : QStringLiteral(".png");
    if (!saveImage(path))
        QMessageBox::warning(this, QStringLiteral("Save Chart"),
                             QStringLiteral("Cannot save the chart as %1.").arg(path));
}

} // namespace mb::qt

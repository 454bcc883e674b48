#pragma once

#include "Controls.h"

#include <QWidget>

class QChart;
class QChartView;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace mb::qt {

/// The chart pane: a Qt Charts view of the plot it is given, or a note in its place, and a
/// button that saves the chart as a PNG or SVG picture.
class QtChart : public QWidget, public ChartControl {
    Q_OBJECT
public:
    explicit QtChart(QWidget* parent = nullptr);

    void setVisible(bool visible) override { QWidget::setVisible(visible); }
    bool isVisible() const override { return !isHidden(); }
    void showPlot(const ChartPlot& plot) override;
    void showNote(const std::string& note) override;

    /// The chart on show, null while the note is.
    QChart* chart() const;
    /// Writes the chart to `path`: SVG when the name ends in ".svg", else the picture
    /// format its suffix names (PNG by default). False when it could not be written or no
    /// chart is on show.
    bool saveImage(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void saveAs();
    /// Thins a logarithmic x axis's labels to what its width holds.
    void spaceLogLabels();

    QStackedWidget* stack_ = nullptr;
    QChartView* view_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* save_ = nullptr;
};

} // namespace mb::qt

#pragma once

#include "Controls.h"

#include <QWidget>

#include <QList>

#include <memory>
#include <optional>

class QAbstractAxis;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QPushButton;
class QStackedWidget;
class QValueAxis;

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
    /// Where Save Chart asks for the file and says it could not write it: the program's
    /// dialogs, or a test's. Until then the pane's own Qt ones.
    void useDialogs(FileDialogs& dialogs, MessageBox& messages);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void saveAs();
    /// A new chart with the axes and empty series `plot` needs, on show in place of the
    /// old one.
    void buildChart(const ChartPlot& plot);
    /// Titles, points and ranges of `plot` set into the chart on show.
    void fillChart(const ChartPlot& plot);

    // The chart on show and what it was built for: a plot of the same kind reuses them.
    QChart* chart_ = nullptr;
    QAbstractAxis* xAxis_ = nullptr;
    QValueAxis* yAxis_ = nullptr;
    QList<QLineSeries*> series_;
    bool polar_ = false;
    bool logX_ = false;
    /// The plot on show, while one is: an edit or an undo that leaves the material's curve
    /// as it was shows it again, and each change to a chart on show lays it out again.
    std::optional<ChartPlot> shown_;
    /// Thins a logarithmic x axis's labels to what its width holds.
    void spaceLogLabels();

    QStackedWidget* stack_ = nullptr;
    QChartView* view_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* save_ = nullptr;
    std::unique_ptr<FileDialogs> ownDialogs_;
    std::unique_ptr<MessageBox> ownMessages_;
    FileDialogs* dialogs_ = nullptr;
    MessageBox* messages_ = nullptr;
};

} // namespace mb::qt

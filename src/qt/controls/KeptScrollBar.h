#pragma once

#include <QPixmap>
#include <QScrollBar>

namespace mb::qt {

/// A scroll bar that keeps its last drawing while nothing it shows has changed. Qt draws a
/// scroll area's scroll bars again whenever the area lays its children out (a list view
/// does at every change of its rows), and the style takes most of a millisecond for one
/// the width of the screen.
class KeptScrollBar final : public QScrollBar {
public:
    KeptScrollBar(Qt::Orientation orientation, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap kept_;
    QByteArray keptFor_;
};

} // namespace mb::qt

#include "KeptScrollBar.h"

#include <QDataStream>
#include <QGuiApplication>
#include <QIODevice>
#include <QPainter>
#include <QStyleOptionSlider>

namespace mb::qt {

KeptScrollBar::KeptScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {}

void KeptScrollBar::paintEvent(QPaintEvent* event) {
    // Pressed or under the pointer, the drawing depends on which part is: Qt's own says.
    if (isSliderDown() || underMouse() || QGuiApplication::mouseButtons() != Qt::NoButton) {
        kept_ = QPixmap();
        QScrollBar::paintEvent(event);
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    option.activeSubControls = QStyle::SC_None;
    QByteArray key;
    {
        QDataStream out(&key, QIODevice::WriteOnly);
        out << option.rect << option.minimum << option.maximum << option.sliderPosition
            << option.pageStep << int(option.orientation) << int(option.state) << option.upsideDown
            << option.palette.cacheKey() << devicePixelRatioF() << style()->objectName();
    }
    if (key != keptFor_ || kept_.isNull()) {
        kept_ = QPixmap(option.rect.size() * devicePixelRatioF());
        kept_.setDevicePixelRatio(devicePixelRatioF());
        kept_.fill(Qt::transparent);
        QPainter painter(&kept_);
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);
        keptFor_ = key;
    }
    QPainter(this).drawPixmap(0, 0, kept_);
}

} // namespace mb::qt

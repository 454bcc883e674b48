#pragma once

// How many events of one type an object is sent: the repaints of a window
// (QEvent::UpdateRequest, each one frame), the paints of a widget (QEvent::Paint).

#include <QEvent>
#include <QObject>

namespace mb::test {

class EventCount final : public QObject {
public:
    EventCount(QObject& watched, QEvent::Type type) : type_(type) {
        watched.installEventFilter(this);
    }

    int count() const { return count_; }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == type_) ++count_;
        return false;
    }

private:
    QEvent::Type type_;
    int count_ = 0;
};

} // namespace mb::test

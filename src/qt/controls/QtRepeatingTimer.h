#pragma once

#include "RepeatingTimer.h"

#include <QApplication>
#include <QTimer>

namespace mb::qt {

/// A QTimer whose ticks are skipped while a modal dialog or a pop-up is up: a command that asks
/// something may be half-way through changing the library, and nothing changes it until
/// the answer anyway.
class QtRepeatingTimer final : public RepeatingTimer {
public:
    QtRepeatingTimer() {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return;
            if (tick_) tick_();
        });
    }
    void start(int intervalMs, std::function<void()> tick) override {
        tick_ = std::move(tick);
        timer_.start(intervalMs);
    }
    void stop() override {
        timer_.stop();
        tick_ = nullptr;
    }

private:
    QTimer timer_;
    std::function<void()> tick_;
};

} // namespace mb::qt

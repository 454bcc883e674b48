#pragma once

#include "platform/RepeatingTimer.h"

#include <QTimer>

namespace mb::qt {

class QtRepeatingTimer final : public RepeatingTimer {
public:
    QtRepeatingTimer() {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
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

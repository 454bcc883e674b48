#pragma once

#include <functional>

namespace mb {

/// Calls back at a steady interval on the user-interface thread, between events.
class RepeatingTimer {
public:
    virtual ~RepeatingTimer() = default;
    /// Calls `tick` every `intervalMs` milliseconds until stopped or started again.
    virtual void start(int intervalMs, std::function<void()> tick) = 0;
    virtual void stop() = 0;
};

} // namespace mb

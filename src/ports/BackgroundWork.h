#pragma once

#include <functional>

namespace mb {

/// Runs slow work (a save's disk work) off the window's thread, so the window keeps
/// painting and answering while it runs.
class BackgroundWork {
public:
    virtual ~BackgroundWork() = default;
    /// Runs `work` on another thread, after all work started before it, then `done` on the
    /// window's thread between events. `work` must not touch what the window's thread uses.
    virtual void start(std::function<void()> work, std::function<void()> done) = 0;
    /// Returns once every work started, and its `done`, has finished, work that a `done`
    /// starts included. The window is painted meanwhile but takes no input.
    virtual void waitForIdle() = 0;
    /// Whether some work or its `done` has not finished yet.
    virtual bool busy() const = 0;
};

} // namespace mb

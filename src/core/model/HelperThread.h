#pragma once

#include <exception>
#include <functional>
#include <memory>

namespace mb {

/// A thread for a few milliseconds of work beside the calling thread, on another core than
/// the caller's, each kept on its own core until the helper is joined. Left to itself the
/// system may start the new thread on the busy core it came from, or later move the
/// caller onto the helper's, and spread them again only milliseconds later, by which time
/// work of this size is done, one core having done all of it.
class HelperThread {
public:
    /// Whether this process may run on more than one core; without a second one a helper
    /// would only take turns with the caller.
    static bool pays();

    /// Starts `work` on a new thread; where none can be started, started() is false and
    /// `work` is not run. An exception `work` lets out is kept for failure().
    explicit HelperThread(std::function<void()> work);
    /// Waits for the work to end.
    ~HelperThread();
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

    bool started() const { return started_; }
    /// What `work` threw, once joined; null when it returned.
    std::exception_ptr failure() const { return failure_; }
    /// Waits for the work to end, at once when it has or never started, and lets the
    /// caller run on any core again.
    void join();

private:
    struct CallerCores;
    static void* run(void* self);
    std::function<void()> work_;
    std::exception_ptr failure_;
    unsigned long thread_ = 0;
    bool started_ = false;
    std::unique_ptr<CallerCores> callerCores_; // the caller's cores before it was kept
};

} // namespace mb

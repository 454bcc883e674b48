#pragma once

#include "BackgroundWork.h"

#include <QObject>
#include <QThreadPool>

namespace mb::qt {

/// One worker thread, whose work runs in the order started; each `done` is posted back to
/// the thread that owns this object.
class QtBackgroundWork final : public BackgroundWork {
public:
    QtBackgroundWork();
    /// Waits for the work running; a `done` not yet run is dropped.
    ~QtBackgroundWork() override;

    void start(std::function<void()> work, std::function<void()> done) override;
    void waitForIdle() override;
    bool busy() const override { return pending_ > 0; }

private:
    QObject context_;
    QThreadPool pool_;
    // Both only on the owning thread: work started and not yet through its `done`, and
    // the `done`s running now.
    int pending_ = 0;
    int inDone_ = 0;
};

} // namespace mb::qt

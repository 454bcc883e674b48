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
    int pending_ = 0; // started and not yet through `done`; read on the window's thread only
};

} // namespace mb::qt

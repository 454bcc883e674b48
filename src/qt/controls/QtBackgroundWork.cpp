#include "QtBackgroundWork.h"

#include <QCoreApplication>

namespace mb::qt {

QtBackgroundWork::QtBackgroundWork() {
    // One thread: a second save's disk work must not overtake the first's.
    pool_.setMaxThreadCount(1);
    // Idle, the thread goes; a save now and then does not need one kept.
    pool_.setExpiryTimeout(1000);
}

QtBackgroundWork::~QtBackgroundWork() {
    pool_.waitForDone();
}

void QtBackgroundWork::start(std::function<void()> work, std::function<void()> done) {
    ++pending_;
    pool_.start([this, work = std::move(work), done = std::move(done)] {
        work();
        QMetaObject::invokeMethod(
            &context_,
            [this, done] {
                ++inDone_;
                done();
                --inDone_;
                --pending_;
            },
            Qt::QueuedConnection);
    });
}

void QtBackgroundWork::waitForIdle() {
    // Painting goes on; clicks and keys wait, so nothing can change the library or start
    // another save meanwhile. A question `done` asks runs its own loop as usual.
    // A `done` that waits must not wait for itself.
    while (pending_ > inDone_)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
}

} // namespace mb::qt

#include "HelperThread.h"

#include <pthread.h>
#include <sched.h>

namespace mb {

struct HelperThread::CallerCores {
    cpu_set_t cores;
};

// An exception must not leave a thread's function: the process would end.
void* HelperThread::run(void* self) {
    auto* helper = static_cast<HelperThread*>(self);
    try {
        helper->work_();
    } catch (...) {
        helper->failure_ = std::current_exception();
    }
    return nullptr;
}

bool HelperThread::pays() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return false;
    return CPU_COUNT(&allowed) > 1;
}

HelperThread::HelperThread(std::function<void()> work) : work_(std::move(work)) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return;
    auto allowed = std::make_unique<CallerCores>();
    CPU_ZERO(&allowed->cores);
    const int here = sched_getcpu();
    const pthread_t caller = pthread_self();
    if (here >= 0 && pthread_getaffinity_np(caller, sizeof allowed->cores, &allowed->cores) == 0 &&
        CPU_ISSET(here, &allowed->cores) && CPU_COUNT(&allowed->cores) > 1) {
        cpu_set_t others = allowed->cores, mine;
        CPU_CLR(here, &others);
        CPU_ZERO(&mine);
        CPU_SET(here, &mine);
        if (pthread_attr_setaffinity_np(&attributes, sizeof others, &others) == 0 &&
            pthread_setaffinity_np(caller, sizeof mine, &mine) == 0)
            callerCores_ = std::move(allowed);
    }
    pthread_t thread;
    started_ = pthread_create(&thread, &attributes, &HelperThread::run, this) == 0;
    if (started_) thread_ = thread;
    pthread_attr_destroy(&attributes);
    if (!started_) join();
}

HelperThread::~HelperThread() {
    join();
}

void HelperThread::join() {
    if (started_) pthread_join(static_cast<pthread_t>(thread_), nullptr);
    started_ = false;
    if (callerCores_)
        pthread_setaffinity_np(pthread_self(), sizeof callerCores_->cores, &callerCores_->cores);
    callerCores_.reset();
}

} // namespace mb

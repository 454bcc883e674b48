// What keeping a recovery copy costs in resident memory, beside what the library itself
// costs: the largest library is filled, edited once and copied, as the window's timer
// would, through a store that writes the copy on a thread of its own as the real one does.
//   recovery_memory        # prints the figures in KiB
#include "AppState.h"
#include "LargestLibrary.h"
#include "Recovery.h"
#include "RecoveryStore.h"

#include <cstdio>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace {

long ResidentKiB() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// Writes each copy to /dev/null on its own thread and lets go of the text, as the real
// store's worker does once a copy is on the disk.
class ThreadStore final : public mb::RecoveryStore {
public:
    ~ThreadStore() override { join(); }
    std::string location() const override { return "/dev/null"; }
    std::optional<std::string> writeNow(const std::string&, const std::string& body,
                                        std::string&) override {
        std::ofstream("/dev/null") << body;
        return "/dev/null";
    }
    void writeLater(std::string header, std::shared_ptr<const std::string> body) override {
        join();
        worker_ = std::thread([header = std::move(header), body = std::move(body)]() mutable {
            std::ofstream("/dev/null") << header << *body;
            body.reset();
        });
    }
    void discard() override { join(); }
    std::vector<mb::LeftRecoveryCopy> claimLeftCopies() override { return {}; }
    void remove(const std::string&) override {}
    void release(const std::string&) override {}
    void join() {
        if (worker_.joinable()) worker_.join();
    }

private:
    std::thread worker_;
};

} // namespace

int main() {
    const long before = ResidentKiB();
    mb::AppState state;
    mb::bench::FillLargestLibrary(state.library);
    state.doc.DocumentOpen = true;
    const long library = ResidentKiB() - before;

    ThreadStore store;
    mb::Recovery recovery(state, store);
    recovery.markSaved();
    const long opened = ResidentKiB();
    long peak = 0;
    for (int edit = 0; edit < 3; ++edit) {
        state.library.Material(edit).CopyProperty("DENS", 7800.0 + edit);
        recovery.check();
        peak = std::max(peak, ResidentKiB() - opened);
        store.join();
    }
    std::printf("library %ld KiB; recovery copy after three edits: %ld KiB resident "
                "(%ld KiB while a copy was being written)\n",
                library, ResidentKiB() - opened, peak);
}

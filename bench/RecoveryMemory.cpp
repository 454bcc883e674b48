// What keeping a recovery copy costs in resident memory, beside what the library itself
// costs, and what each copy holds up the window's thread: the largest library is filled,
// edited and copied three times, as the window's timer would, through the program's own
// store into a temporary folder.
//   recovery_memory        # prints the figures in KiB and milliseconds
#include "AppState.h"
#include "LargestLibrary.h"
#include "LibraryFile.h"
#include "QtRecoveryStore.h"
#include "Recovery.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
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

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

} // namespace

int main() {
    const long before = ResidentKiB();
    mb::AppState state;
    mb::bench::fillLargestLibrary(state.library);
    state.doc.DocumentOpen = true;
    const long library = ResidentKiB() - before;

    QTemporaryDir folder;
    mb::qt::QtRecoveryStore store(folder.path());
    mb::Recovery recovery(state, store);
    recovery.markSaved();
    const long opened = ResidentKiB();
    long peak = 0;
    const auto timedCheck = [&](const char* what, int copy) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ThreadCpuMs();
        recovery.check();
        std::printf(
            "%s %d: the window's thread held %.1f ms (%.1f ms CPU)\n", what, copy,
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count(),
            ThreadCpuMs() - cpuStart);
        peak = std::max(peak, ResidentKiB() - opened);
        // The store's worker writes the copy meanwhile; a second is plenty.
        std::this_thread::sleep_for(std::chrono::seconds(1));
    };
    for (int edit = 0; edit < 3; ++edit) {
        state.history.SetValue(edit, "DENS", 7800.0 + edit);
        timedCheck("copy after an edit", edit + 1);
        // The timer's next tick with no edit in between.
        timedCheck("check without an edit", edit + 1);
    }
    std::printf("library %ld KiB; recovery copy after three edits: %ld KiB resident "
                "(%ld KiB while a copy was being written)\n",
                library, ResidentKiB() - opened, peak);

    // The window keeps memory for the text of an edited library's saves, touched in the
    // background after its first edit; copies borrow it.
    const std::size_t size = mb::libraryTextSize(state.library, mb::groupByCategory(state.library));
    mb::LargeText room(size + size / 8, ' ');
    state.textRoom.put(std::move(room));
    const long withRoom = ResidentKiB();
    peak = 0;
    for (int edit = 3; edit < 6; ++edit) {
        state.history.SetValue(edit, "DENS", 7800.0 + edit);
        timedCheck("copy into the saves' memory", edit - 2);
    }
    std::printf("saves' memory %ld KiB; beside it after three more copies: %ld KiB "
                "(%ld KiB while a copy was being written)\n",
                withRoom - opened, ResidentKiB() - withRoom, peak - (withRoom - opened));
    recovery.discard();
}

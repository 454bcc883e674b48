// What keeping a recovery copy costs in resident memory, beside what the library itself
// costs: the largest library is filled, edited and copied three times, as the window's
// timer would, through the program's own store into a temporary folder.
//   recovery_memory        # prints the figures in KiB
#include "AppState.h"
#include "LargestLibrary.h"
#include "QtRecoveryStore.h"
#include "Recovery.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
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
    for (int edit = 0; edit < 3; ++edit) {
        state.library.material(edit).CopyProperty("DENS", 7800.0 + edit);
        recovery.check();
        peak = std::max(peak, ResidentKiB() - opened);
        // The store's worker writes the copy meanwhile; a second is plenty.
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    std::printf("library %ld KiB; recovery copy after three edits: %ld KiB resident "
                "(%ld KiB while a copy was being written)\n",
                library, ResidentKiB() - opened, peak);
    recovery.discard();
}

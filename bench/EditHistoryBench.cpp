// What the edit history costs on the largest library: the heap that 1,000 recorded edits
// hold (deletes and pastes among them), and undoing and redoing the costliest edit, the
// removal of material 0, which renumbers every other material.

#include "EditHistory.h"
#include "LargestLibrary.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <string>

namespace {

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

// Edit i of a mix that a day's work might make: one in ten a delete, one in ten a paste
// (into the room the deletes made), one in ten a move, a rename, a description, and the
// rest values typed into the grid.
void Edit(mb::EditHistory& history, mb::Library& library, int i) {
    const int last = library.LastMaterialIndex();
    const int n = (i * 37) % (last + 1);
    const auto edit = history.begin("edit " + std::to_string(i));
    switch (i % 10) {
    case 0:
        history.removeMaterial(n);
        break;
    case 1:
        history.copyMaterial(
            n, mb::LibraryEntry{library.entry(n).Category, "", "Copy " + std::to_string(i), ""});
        break;
    case 2:
        history.moveMaterialToEnd(n, "Foams    ");
        break;
    case 3:
        history.renameMaterial(n, "Renamed " + std::to_string(i));
        break;
    case 4:
        history.setDescription(n, "Described as edit " + std::to_string(i));
        break;
    default:
        history.SetValue(n, "EX", 1.0e9 + i);
        break;
    }
}

void BM_ThousandEditsRecorded(benchmark::State& st) {
    for (auto _ : st) {
        st.PauseTiming();
        mb::Library library;
        mb::bench::fillLargestLibrary(library);
        mb::EditHistory history(library);
        st.ResumeTiming();
        for (int i = 0; i < 1000; ++i)
            Edit(history, library, i);
        st.PauseTiming();
        // What the history alone holds: the heap it gives back when it forgets everything.
        const std::size_t recorded = HeapInUse();
        history.clear();
        st.counters["history MiB"] =
            static_cast<double>(recorded - HeapInUse()) / (1024.0 * 1024.0);
        st.counters["entries"] = 1000;
        st.ResumeTiming();
    }
}
BENCHMARK(BM_ThousandEditsRecorded)->Unit(benchmark::kMillisecond)->Iterations(5);

// An undo and a redo of one edit, in the history alone (app_bench times them with the
// editor's refresh).
void BM_UndoRedo(benchmark::State& st) {
    mb::Library library;
    mb::bench::fillLargestLibrary(library);
    mb::EditHistory history(library);
    const int kind = static_cast<int>(st.range(0));
    for (auto _ : st) {
        st.PauseTiming();
        {
            const auto edit = history.begin("timed");
            if (kind == 0)
                history.removeMaterial(0);
            else if (kind == 1)
                history.moveMaterialToEnd(0, "Foams    ");
            else
                history.SetValue(0, "EX", 1.0e9 + static_cast<double>(history.undoCount()));
        }
        st.ResumeTiming();
        history.undo();
        history.redo();
        st.PauseTiming();
        history.undo(); // the library as it was, for the next round
        st.ResumeTiming();
    }
    st.SetLabel(kind == 0 ? "delete material 0" : kind == 1 ? "move material 0" : "value");
}
BENCHMARK(BM_UndoRedo)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

// Export and import of the largest library in each exchange format, beside the ".lib"
// reader and writer that LibraryBench times.
#include "LargestLibrary.h"

#include "CsvExchange.h"
#include "ExportSelection.h"
#include "JsonExchange.h"
#include "Library.h"
#include "TableLayout.h"
#include "UnitConversion.h"

#include <benchmark/benchmark.h>

namespace {

mb::Library& Largest() {
    return mb::bench::sharedLargestLibrary();
}

const std::string& LargestJson() {
    static const std::string text = mb::exportJson(mb::exportSelection(Largest()));
    return text;
}

const std::string& LargestCsv() {
    static const std::string text =
        mb::csvText(mb::exportTable(mb::exportSelection(Largest()), mb::UnitSystemIndex::SI));
    return text;
}

void Imported(benchmark::State& state, const mb::Library& library, const mb::ImportResult& r,
              std::size_t bytes) {
    if (!r.imported() || library.materialCount() != mb::kMaxMaterials)
        state.SkipWithError("library not imported whole");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

void BM_ExportJson(benchmark::State& state) {
    for (auto _ : state) {
        const std::string text = mb::exportJson(mb::exportSelection(Largest()));
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_ExportJson)->Unit(benchmark::kMillisecond);

void BM_ImportJson(benchmark::State& state) {
    mb::Library library;
    mb::ImportResult r;
    for (auto _ : state)
        r = mb::importJson(LargestJson(), library);
    Imported(state, library, r, LargestJson().size());
}
BENCHMARK(BM_ImportJson)->Unit(benchmark::kMillisecond);

void BM_ExportCsv(benchmark::State& state) {
    for (auto _ : state) {
        const std::string text =
            mb::csvText(mb::exportTable(mb::exportSelection(Largest()), mb::UnitSystemIndex::SI));
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

void BM_ImportCsv(benchmark::State& state) {
    mb::Library library;
    mb::ImportResult r;
    for (auto _ : state) {
        const mb::Result<mb::CsvSheet> sheet = mb::parseCsv(LargestCsv());
        if (!sheet)
            state.SkipWithError("not CSV");
        else
            r = mb::importAnyLayout(sheet.value(), library);
    }
    Imported(state, library, r, LargestCsv().size());
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

} // namespace

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
    return mb::bench::SharedLargestLibrary();
}

const std::string& LargestJson() {
    static const std::string text = mb::ExportJson(mb::ExportSelection(Largest()));
    return text;
}

const std::string& LargestCsv() {
    static const std::string text =
        mb::CsvText(mb::ExportTable(mb::ExportSelection(Largest()), mb::UnitSystemIndex::SI));
    return text;
}

void Imported(benchmark::State& state, const mb::Library& library, const mb::ImportResult& r,
              std::size_t bytes) {
    if (!r.imported() || library.MaterialCount() != mb::kMaxMaterials)
        state.SkipWithError("library not imported whole");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

void BM_ExportJson(benchmark::State& state) {
    for (auto _ : state) {
        const std::string text = mb::ExportJson(mb::ExportSelection(Largest()));
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_ExportJson)->Unit(benchmark::kMillisecond);

void BM_ImportJson(benchmark::State& state) {
    mb::Library library;
    mb::ImportResult r;
    for (auto _ : state)
        r = mb::ImportJson(LargestJson(), library);
    Imported(state, library, r, LargestJson().size());
}
BENCHMARK(BM_ImportJson)->Unit(benchmark::kMillisecond);

void BM_ExportCsv(benchmark::State& state) {
    for (auto _ : state) {
        const std::string text =
            mb::CsvText(mb::ExportTable(mb::ExportSelection(Largest()), mb::UnitSystemIndex::SI));
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

void BM_ImportCsv(benchmark::State& state) {
    mb::Library library;
    mb::ImportResult r;
    for (auto _ : state) {
        const mb::Result<mb::CsvSheet> sheet = mb::ParseCsv(LargestCsv());
        if (!sheet)
            state.SkipWithError("not CSV");
        else
            r = mb::ImportAnyLayout(sheet.value(), library);
    }
    Imported(state, library, r, LargestCsv().size());
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

} // namespace

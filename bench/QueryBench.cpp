// A query over the largest library, parsed and run as the find box runs it on every key
// the user types: it has to cost well under a frame (goal: under 2 ms).
#include "LargestLibrary.h"

#include "Library.h"
#include "MaterialChecks.h"
#include "MaterialQuery.h"

#include <benchmark/benchmark.h>

namespace {

mb::Library& Largest() {
    return mb::bench::sharedLargestLibrary();
}

void RunQuery(benchmark::State& state, const char* text, std::string_view system) {
    mb::Library& library = Largest();
    std::size_t found = 0;
    for (auto _ : state) {
        const mb::QueryParse parsed = mb::MaterialQuery::parse(text, system, ".");
        if (!parsed.query) {
            state.SkipWithError(parsed.error.c_str());
            return;
        }
        const std::vector<int> numbers = parsed.query->matchingMaterials(library);
        found = numbers.size();
        benchmark::DoNotOptimize(numbers.data());
    }
    state.counters["materials"] = static_cast<double>(library.materialCount());
    state.counters["matches"] = static_cast<double>(found);
}

// A word that occurs nowhere makes every text of every material be searched to its end.
void BM_QueryWordNowhere(benchmark::State& state) {
    RunQuery(state, "zirconia", "SI");
}
BENCHMARK(BM_QueryWordNowhere)->Unit(benchmark::kMicrosecond);

void BM_QueryWordsAndPhrase(benchmark::State& state) {
    RunQuery(state, "steels \"bench material 5\" timing", "SI");
}
BENCHMARK(BM_QueryWordsAndPhrase)->Unit(benchmark::kMicrosecond);

void BM_QueryConditionsInIPS(benchmark::State& state) {
    RunQuery(state, "EX>3.1E7 DENS<0.3 NUXY REFTEMP>=0", "IPS");
}
BENCHMARK(BM_QueryConditionsInIPS)->Unit(benchmark::kMicrosecond);

void BM_QueryEverything(benchmark::State& state) {
    RunQuery(state, "alloys \"material 1\" generated EX>2.2E11 DENS KX<0 ETAN>=7850", "SI");
}
BENCHMARK(BM_QueryEverything)->Unit(benchmark::kMicrosecond);

} // namespace

// Check Library runs every rule over every material and words each finding in the shown
// unit system; the largest library has six findings a material, 6,006 in all. Argument:
// 0 worded in SI as stored, 1 worded in IPS, 2 in IPS unworded (as the list first gets them).
void BM_CheckLibrary(benchmark::State& state) {
    mb::Library& library = Largest();
    const char* system = state.range(0) ? "IPS" : "";
    const mb::Wording wording = state.range(0) == 2 ? mb::Wording::Unworded : mb::Wording::Worded;
    std::size_t findings = 0;
    for (auto _ : state) {
        const std::vector<mb::LibraryFinding> all = mb::checkLibrary(library, system, wording);
        findings = all.size();
        benchmark::DoNotOptimize(all.data());
    }
    state.counters["findings"] = static_cast<double>(findings);
}
BENCHMARK(BM_CheckLibrary)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

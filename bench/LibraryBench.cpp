#include "LargestLibrary.h"

#include "FileOps.h"
#include "Library.h"
#include "LibraryFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string LargestText() {
    mb::Library library;
    mb::bench::fillLargestLibrary(library);
    return mb::libraryText(library, mb::groupByCategory(library));
}

const std::string& Text() {
    static const std::string text = LargestText();
    return text;
}

// A scratch file in the temporary folder, removed when the process ends.
struct ScratchFile {
    std::string path;
    ScratchFile() {
        char pattern[] = "/tmp/library_bench.XXXXXX";
        const int fd = ::mkstemp(pattern);
        if (fd >= 0) ::close(fd);
        path = pattern;
    }
    ~ScratchFile() { std::remove(path.c_str()); }
};

const std::string& LargestFile() {
    static ScratchFile file;
    static bool written = [] {
        std::FILE* f = std::fopen(file.path.c_str(), "wb");
        if (!f) return false;
        const bool ok = std::fwrite(Text().data(), 1, Text().size(), f) == Text().size();
        return std::fclose(f) == 0 && ok;
    }();
    (void)written;
    return file.path;
}

class CancelPrompt final : public mb::WriteErrorPrompt {
public:
    bool retry(const std::string&) override { return false; }
};

void ReportLines(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(Text().size()));
}

void BM_ReadLibraryText(benchmark::State& state) {
    mb::Library library;
    for (auto _ : state) {
        const auto r = mb::readLibraryText(Text(), library, ".");
        benchmark::DoNotOptimize(r.status);
    }
    if (library.materialCount() != mb::kMaxMaterials) state.SkipWithError("library not read whole");
    ReportLines(state);
}
BENCHMARK(BM_ReadLibraryText)->Unit(benchmark::kMillisecond);

void BM_ReadLibraryFile(benchmark::State& state) {
    const std::string& path = LargestFile();
    mb::Library library;
    for (auto _ : state) {
        const auto r = mb::ReadLibraryFile(path, library, ".");
        benchmark::DoNotOptimize(r.status);
    }
    if (library.materialCount() != mb::kMaxMaterials) state.SkipWithError("library not read whole");
    ReportLines(state);
}
BENCHMARK(BM_ReadLibraryFile)->Unit(benchmark::kMillisecond);

void BM_LibraryText(benchmark::State& state) {
    mb::Library library;
    mb::readLibraryText(Text(), library, ".");
    const auto grouping = mb::groupByCategory(library);
    for (auto _ : state) {
        std::string text = mb::libraryText(library, grouping);
        benchmark::DoNotOptimize(text.data());
    }
    ReportLines(state);
}
BENCHMARK(BM_LibraryText)->Unit(benchmark::kMillisecond);

// Saves the largest library again and again through `ops`, as the editor's Save does.
void TimeSaves(benchmark::State& state, mb::FileOps& ops) {
    mb::Library library;
    mb::readLibraryText(Text(), library, ".");
    const auto grouping = mb::groupByCategory(library);
    ScratchFile out;
    CancelPrompt prompt;
    for (auto _ : state) {
        const auto r =
            mb::WriteLibraryFile(out.path, library, grouping, prompt, ops, mb::Durability::Flushed);
        if (r.status != mb::WriteResult::Status::Written) state.SkipWithError("write failed");
    }
    ReportLines(state);
}

void BM_WriteLibraryFile(benchmark::State& state) {
    TimeSaves(state, mb::systemFileOps());
}
BENCHMARK(BM_WriteLibraryFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The writer's own work, with a file layer that accepts every byte and keeps none: what
// is left of BM_WriteLibraryFile once the file system's share is taken out.
class DiscardingFileOps final : public mb::FileOps {
public:
    int createTemp(const std::string&, const std::string&, std::string& path, int& fd) override {
        path = "discarded";
        fd = 0;
        return 0;
    }
    int writeAt(int, std::string_view data, long long) override {
        benchmark::DoNotOptimize(data.data());
        return 0;
    }
    int finish(int, unsigned, mb::Durability) override { return 0; }
    int rename(const std::string&, const std::string&) override { return 0; }
    void discard(int, const std::string&) override {}
};

void BM_FormatLibrary(benchmark::State& state) {
    DiscardingFileOps ops;
    TimeSaves(state, ops);
}
BENCHMARK(BM_FormatLibrary)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();

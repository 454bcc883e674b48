// The entry point of the Qt benchmarks: real widgets on the offscreen platform, so the
// figures do not depend on a display.

#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    // The benchmark options come first, so that --help is answered before Qt starts.
    benchmark::Initialize(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The main of tise-bench: Google Benchmark's, inside a QApplication, since
// font and drawing benchmarks need one and the viewer's window needs widgets.
// Without a display the offscreen platform stands in.

#include "gfx/qt_environment.h"

#include <QApplication>

#include <benchmark/benchmark.h>


int main(int argc, char** argv)
{
    gfx::prepareQtEnvironment();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The main of tise-bench: Google Benchmark's, inside a QApplication, since
// font and drawing benchmarks need one and the viewer's window needs widgets.
// Without a display the offscreen platform stands in.

#include "gfx/qt_environment.h"

#include <QApplication>

#include <cstdio>

#include <benchmark/benchmark.h>


namespace {

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform's notes on what it cannot do (raising a window)
// would run through the results.
void quietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (defaultHandler)
        defaultHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char** argv)
{
    defaultHandler = qInstallMessageHandler(quietPlatformNotes);
    gfx::prepareQtEnvironment();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

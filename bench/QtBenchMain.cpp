// The main of the benchmarks that need Qt: an application object (offscreen unless a platform is
// set, with a private runtime folder when the session has none) around the benchmarks the
// program registers.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "Display.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    WoxPrepareRuntimeDir();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

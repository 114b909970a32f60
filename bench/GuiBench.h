#pragma once
// The start of a benchmark program that measures a real window: the
// application object first (offscreen unless a platform is asked for), then
// the window the benchmarks reach through current, made once and gone
// before the application object.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "core/catalog/ProgramValues.h"

namespace orbisk::bench {

template <typename Window>
int RunWindowBenchmarks(int argc, char** argv, Window*& current) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitProgramValues(Program(), DetectProgramDir());
    Window window;
    current = &window;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    current = nullptr;
    return 0;
}

} // namespace orbisk::bench

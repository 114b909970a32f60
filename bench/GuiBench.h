#pragma once
// The start of a benchmark program that measures a real window: the
// application object first (offscreen unless a platform is asked for), then
// the window the benchmarks reach through current, made once and gone
// before the application object. The user's settings are those of a start
// that is not the first, in a folder of the run's own, naming an empty
// working folder: the main window's start-up opens no help and lists no
// archives of the folder the benchmark was started in.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "TestSupport.h"
#include "core/catalog/ProgramValues.h"
#include "core/settings/SettingsFiles.h"
#include "gui/mainwin/TForm_Main.h"

namespace orbisk::bench {

template <typename Window>
int RunWindowBenchmarks(int argc, char** argv, Window*& current) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    test::TempDir user;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(user.File("config")));
    SaveSettingsLines(user.File("config/orbisk/Orbisk.INI"),
                      {kMainCaption, user.Path(), "default.lng"});
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

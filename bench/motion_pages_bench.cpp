// The motion page of the desktop program: one typed motion input, as the user makes it,
// with everything it sets off (the value stored, the motion quantities, the drive sizing or
// the servo profile, the forces and the cup loads recomputed, the notice to every page, the
// motion and drive pages shown afresh) and a synchronous repaint of the window with the
// motion page and its charts current. On the three examples: a pneumatic stroke (the
// travel), a servo axis (its acceleration) and a pneumatic swivel (the angle, which filters
// the rotary actuators again). A frame is 16 ms. Runs on the offscreen platform; settings go
// to a temporary folder.

#include "app/designer/designer.h"
#include "app/frame/form_main.h"
#include "app/pages/motion/motion_page.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "tests/app/app_test_support.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>

namespace {

const char* const kExamples[] = {"steel_sheet_linear.vac", "aluminium_block_servo.vac",
                                 "glass_plate_rotary.vac"};

// The program on an example, walked to the motion page.
struct TRunning {
    TIsolatedSettings Settings;
    TPosixEnvironment Env;
    TScriptedMessages Messages;
    TScriptedFiles Files;
    TScriptedLanguages Languages;
    TManualTimers Timers;
    THelpRecorder Help;
    std::unique_ptr<TDesigner> Designer;

    explicit TRunning(const char* example) {
        Languages.Choices = {"en"};
        TDesignerPlatform platform{Env, Messages, Files, Languages, Timers, &Help, {}};
        Designer = std::make_unique<TDesigner>(platform, std::vector<std::string>{"/ACCEPT"},
                                               TOrsikConnection::ProgramFolder());
        if (!Designer->Start()) throw std::runtime_error(Designer->LastError());
        QCoreApplication::processEvents();
        TVacuumApplication& app = *Designer->App();
        const auto r = app.Input([&] {
            return app.Workflow.OpenRecentFile(std::string(VACUUM_SOURCE_DIR) + "/examples/" +
                                               example);
        });
        if (!r || !r->Ok()) throw std::runtime_error("example not read");
        for (int page = cmpPositioning; page <= cmpMotion; ++page) Frame().Navigate(page);
        if (app.Workflow.CurrentPage() != cmpMotion) throw std::runtime_error("a page refused");
        Frame().resize(1024, 768);
        Frame().show();
        QCoreApplication::processEvents();
    }
    ~TRunning() { Designer->Finish(); }
    TFormMain& Frame() { return *Designer->Frame(); }
    TMotionPage& Page() { return *dynamic_cast<TMotionPage*>(Frame().Page(cmpMotion)); }
};

// Two values typed in turn into the field the example's motion turns on.
void BM_MotionInput(benchmark::State& state) {
    const int example = static_cast<int>(state.range(0));
    TRunning run(kExamples[example]);
    TMotionPage& page = run.Page();
    TFMU2SpinEdit* field = example == 0   ? page.TravelField()
                           : example == 1 ? page.Axis(0).Acceleration
                                          : page.AngleField();
    const QString values[2][3] = {{"300", "4", "80"}, {"250", "5", "90"}};
    TVacuumApplication& app = *run.Designer->App();
    int turn = 0;
    for (auto _ : state) {
        turn = 1 - turn;
        field->Edit()->setText(values[turn][example]);
        run.Frame().repaint();
    }
    if (!field->Valid()) state.SkipWithError("the typed value was refused");
    state.counters["drive_values"] = app.Document.Drive.Type == cdtPneumaticLinear
                                         ? app.Drive.Linear().BrakingAcceleration
                                     : app.Document.Drive.Type == cdtPneumaticCircular
                                         ? app.Drive.Rotary().BrakingAcceleration
                                         : app.Document.Drive.NCLinearMove.EndTime();
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(example == 0   ? "pneumatic stroke: travel"
                   : example == 1 ? "servo axis: acceleration"
                                  : "pneumatic swivel: angle");
}
BENCHMARK(BM_MotionInput)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

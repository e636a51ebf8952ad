// The result pages of the desktop program, each one user action with everything it sets off
// and a synchronous repaint of the window at 1024 x 768: on the parts list page the list
// assembled anew (as entering the page and every language change do) with its grid; on the
// forces page a motion input (the stroke of the lift), which runs the motion, drive and
// forces calculations and repaints the values and the force chart. A frame is 16 ms.
// Runs on the offscreen platform on the bundled catalogue; settings go to a temporary folder.

#include "app/designer/designer.h"
#include "app/frame/form_main.h"
#include "app/pages/forces/forces_page.h"
#include "app/pages/parts_list/parts_list_page.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/workflow/vacuum_application.h"
#include "gui/chart/diagramm.h"
#include "gui/table/string_table_grid.h"
#include "tests/app/app_test_support.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>

namespace {

constexpr double kFrameMs = 16.0;

// The program on an example, walked to a page.
struct TRunning {
    TIsolatedSettings Settings;
    TPosixEnvironment Env;
    TScriptedMessages Messages;
    TScriptedFiles Files;
    TScriptedLanguages Languages;
    TManualTimers Timers;
    THelpRecorder Help;
    std::unique_ptr<TDesigner> Designer;

    TRunning(const char* example, int page) {
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
        while (app.Workflow.CurrentPage() < page) {
            const int before = app.Workflow.CurrentPage();
            Frame().StepNext();
            if (app.Workflow.CurrentPage() <= before) throw std::runtime_error("a page refused");
        }
        Frame().resize(1024, 768);
        Frame().show();
        QCoreApplication::processEvents();
    }
    ~TRunning() { Designer->Finish(); }
    TFormMain& Frame() { return *Designer->Frame(); }
    TVacuumApplication& App() { return *Designer->App(); }
};

void Report(benchmark::State& state, const std::string& what) {
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(what + "; a frame is 16 ms");
    state.counters["frame_ms"] = kFrameMs;
}

// The parts list assembled from the chosen products and repainted with its grid.
void BM_PartsListAssembly(benchmark::State& state) {
    TRunning run("glass_plate_rotary.vac", cmpPartsList);
    TVacuumApplication& app = run.App();
    auto& page = *dynamic_cast<TPartsListPage*>(run.Frame().Page(cmpPartsList));
    const long long cellsBefore = page.Grid()->CellsPainted();
    for (auto _ : state) {
        app.AssemblePartsList();
        run.Frame().repaint();
    }
    state.counters["parts"] = app.PartsList.Rows();
    state.counters["cells_painted_per_assembly"] =
        static_cast<double>(page.Grid()->CellsPainted() - cellsBefore) /
        static_cast<double>(state.iterations());
    Report(state, "parts list assembled and repainted");
}
BENCHMARK(BM_PartsListAssembly)->Unit(benchmark::kMillisecond)->UseRealTime();

// The stroke of the lift changed and back, one input per item, with the repaint of the
// forces page (values and chart).
void BM_ForcesAfterMotionInput(benchmark::State& state) {
    TRunning run("steel_sheet_linear.vac", cmpForcesAndMoments);
    TVacuumApplication& app = run.App();
    const double travel = app.Document.Moving.LinearTravel;
    bool longer = false;
    for (auto _ : state) {
        longer = !longer;
        app.Input([&] { app.Motion.SpinEditLinWegChange(longer ? travel * 1.5 : travel); });
        run.Frame().repaint();
    }
    auto& page = *dynamic_cast<TForcesPage*>(run.Frame().Page(cmpForcesAndMoments));
    state.counters["chart_columns"] = page.Chart()->PlotRect().width();
    Report(state, "motion input, forces recomputed and repainted");
}
BENCHMARK(BM_ForcesAfterMotionInput)->Unit(benchmark::kMillisecond)->UseRealTime();

// The chart alone, painted into an image of its size: what the repaint of the page costs
// in its largest widget.
void BM_ForceChartPaint(benchmark::State& state) {
    TRunning run("steel_sheet_linear.vac", cmpForcesAndMoments);
    auto& page = *dynamic_cast<TForcesPage*>(run.Frame().Page(cmpForcesAndMoments));
    TDiagramm& chart = *page.Chart();
    for (auto _ : state) benchmark::DoNotOptimize(chart.Render(chart.size()));
    state.counters["chart_columns"] = chart.PlotRect().width();
    Report(state, "force chart painted");
}
BENCHMARK(BM_ForceChartPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

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

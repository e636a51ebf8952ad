// The result pages of the desktop program, each one user action with everything it sets off
// and a synchronous repaint of the window at 1024 x 768: on the parts list page the list
// assembled anew (as entering the page and every language change do) with its grid; on the
// forces page a motion input (the stroke of the lift), which runs the motion, drive and
// forces calculations and repaints the values and the force chart; on the suction cup load
// page one tick of the replay with 30 cups (the loads at the new instant and both bar charts
// repainted), against a budget of 5 ms. A frame is 16 ms.
// Runs on the offscreen platform on the bundled catalogue; settings go to a temporary folder.

#include "app/designer/designer.h"
#include "app/frame/form_main.h"
#include "app/pages/cup_load/suction_cup_load_page.h"
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
#include <QTabWidget>

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

// One tick of the replay on the load page with 30 cups (a 6 x 5 field on the steel sheet):
// the slider steps on, the loads at the new instant are computed and both bar charts are
// repainted. From the end the player starts again at the beginning (outside the timing).
void BM_CupLoadReplayTick(benchmark::State& state) {
    TRunning run("steel_sheet_linear.vac", cmpPositioning);
    TVacuumApplication& app = run.App();
    app.Input([&] {
        TStrategySettings s = app.Cups.StrategySettings();
        s.Strategy = cssArea;
        s.Count1 = 6;
        s.Count2 = 5;
        app.Cups.StrategieChange(s);
    });
    while (app.Workflow.CurrentPage() < cmpSuctionCupLoad) {
        const int before = app.Workflow.CurrentPage();
        run.Frame().StepNext();
        if (app.Workflow.CurrentPage() <= before) throw std::runtime_error("a page refused");
    }
    QCoreApplication::processEvents();
    auto& page = *dynamic_cast<TSuctionCupLoadPage*>(run.Frame().Page(cmpSuctionCupLoad));
    page.Tabs()->setCurrentIndex(TSuctionCupLoadPage::cTabTimeCurve);
    QCoreApplication::processEvents();
    auto* timer = static_cast<TManualTimers::TManualTimer*>(page.PlayerTimer());
    for (auto _ : state) {
        if (!app.Cups.Playing()) {
            state.PauseTiming();
            app.Input([&] {
                app.Cups.PlayerRewind();
                app.Cups.PlayerPlay();
            });
            page.Refresh(caCupLoads);
            if (!timer->Running) timer->Start(TSuctionCupLoadPage::cPlayerInterval);
            state.ResumeTiming();
        }
        timer->Fire();
        page.Chart(false)->repaint();
        page.Chart(true)->repaint();
    }
    state.counters["cups"] = app.Cups.Cups().Count();
    state.counters["budget_ms"] = 5.0;
    state.counters["chart_columns"] = page.Chart(false)->PlotRect().width();
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("replay tick, 30 cups, loads and both bar charts; budget 5 ms");
}
BENCHMARK(BM_CupLoadReplayTick)->Unit(benchmark::kMillisecond)->UseRealTime();

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

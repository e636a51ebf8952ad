// The report of an example project on the bundled catalogue (Vacuum.dat and Vacuum.bin
// beside the program), laid out as the print run does: with 30 suction cups (a field of
// 6 × 5) and with the project's own single cup.

#include "core/calc/cup_layout.h"
#include "core/data/orsik_connection.h"
#include "core/workflow/page_workflow.h"
#include "core/workflow/report_layout.h"
#include "core/workflow/vacuum_application.h"

#include <benchmark/benchmark.h>
#include <stdexcept>
#include <string>

namespace {

struct TDesign {
    TVacuumApplication App{TOrsikConnection::ProgramFolder() + "/Vacuum.dat",
                           TOrsikConnection::ProgramFolder() + "/Vacuum.bin"};
    TPageWorkflow& Flow = App.Workflow;

    explicit TDesign(const std::string& example) {
        if (!App.Active()) throw std::runtime_error(App.LastError());
        Flow.ButtonAcceptClick();
        const auto r = Flow.OpenRecentFile(std::string(VACUUM_SOURCE_DIR) + "/examples/" + example);
        if (!r || !r->Ok()) throw std::runtime_error(example + ": not read");
        while (Flow.CurrentPage() < cmpPartsList)
            if (!Flow.Next()) throw std::runtime_error(example + ": a page refused");
        App.SetLanguage("en");
    }
};

TReportSetup Setup() {
    TReportSetup s;
    s.DateTime = "04.05.2026 12:00";
    s.Version = "2.5";
    return s;
}

void BM_LayoutReport(benchmark::State& state, int countX, int countY) {
    TDesign d("steel_sheet_linear.vac");
    if (countX * countY > 1) {
        TStrategySettings field = d.App.Cups.StrategySettings();
        field.Strategy = cssArea;
        field.Count1 = countX;
        field.Count2 = countY;
        d.App.Input([&] { d.App.Cups.StrategieChange(field); });
    }
    const int cups = d.App.Document.SuctionCups.Count();
    if (cups != countX * countY) state.SkipWithError("the arrangement did not take the field");
    const TReportSetup setup = Setup();
    size_t commands = 0;
    for (auto _ : state) {
        const TReportLayout l = LayoutReport(d.App, setup);
        commands = l.Commands.size();
        benchmark::DoNotOptimize(l.Commands.data());
    }
    state.counters["cups"] = cups;
    state.counters["commands"] = static_cast<double>(commands);
}
BENCHMARK_CAPTURE(BM_LayoutReport, cups30, 6, 5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LayoutReport, cups1, 1, 1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

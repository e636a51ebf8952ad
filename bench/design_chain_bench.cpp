// The application on the bundled catalogue (Vacuum.dat and Vacuum.bin beside the program)
// with an example project walked to the parts list: the whole recalculation chain after one
// input change, and "Time" of every generator row after a change of the operating pressure.

#include "core/data/orsik_connection.h"
#include "core/workflow/page_workflow.h"
#include "core/workflow/vacuum_application.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

struct TDesign {
    TVacuumApplication App{TOrsikConnection::ProgramFolder() + "/Vacuum.dat"};
    TPageWorkflow& Flow = App.Workflow;

    explicit TDesign(const std::string& example) {
        if (!App.Active()) throw std::runtime_error(App.LastError());
        Flow.ButtonAcceptClick();
        const auto r = Flow.OpenRecentFile(std::string(VACUUM_SOURCE_DIR) + "/examples/" + example);
        if (!r || !r->Ok()) throw std::runtime_error(example + ": not read");
        while (Flow.CurrentPage() < cmpPartsList)
            if (!Flow.Next()) throw std::runtime_error(example + ": a page refused");
    }
};

// A workpiece size change: layout of the cups, their loads, mass and inertia, the drive,
// the forces and the maximum-value view, as the input handler runs them.
void BM_ChainAfterWorkpieceSize(benchmark::State& state, const char* example) {
    TDesign d(example);
    const double x = d.App.Document.Workpiece.LengthX;
    const double mass = d.App.Document.Workpiece.Mass;
    d.App.Workpiece.SetLengthX(x * 1.01);
    if (d.App.Document.Workpiece.Mass <= mass) state.SkipWithError("the size change did not reach the mass");
    bool wide = true;
    for (auto _ : state) {
        wide = !wide;
        d.App.Workpiece.SetLengthX(wide ? x * 1.01 : x);
        benchmark::DoNotOptimize(d.App.Forces.Extremes().F);
    }
}
BENCHMARK_CAPTURE(BM_ChainAfterWorkpieceSize, linear, "steel_sheet_linear.vac")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ChainAfterWorkpieceSize, rotary, "glass_plate_rotary.vac")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ChainAfterWorkpieceSize, servo, "aluminium_block_servo.vac")->Unit(benchmark::kMillisecond);

// A holder mass change on the motion page: moving mass, drive, forces and cup loads.
void BM_ChainAfterHolderMass(benchmark::State& state) {
    TDesign d("steel_sheet_linear.vac");
    const double before = d.App.Forces.Extremes().Fz;
    d.App.Motion.SpinEditMasseHalterungChange(0.5);
    if (d.App.Forces.Extremes().Fz == before) state.SkipWithError("the holder mass did not reach the forces");
    bool heavy = true;
    for (auto _ : state) {
        heavy = !heavy;
        d.App.Motion.SpinEditMasseHalterungChange(heavy ? 0.5 : 0.4);
        benchmark::DoNotOptimize(d.App.Forces.Extremes().F);
    }
}
BENCHMARK(BM_ChainAfterHolderMass)->Unit(benchmark::kMillisecond);

// The operating pressure changes and the grid draws "Time" of every generator row.
void BM_GeneratorTimesAfterPressureChange(benchmark::State& state) {
    TDesign d("steel_sheet_linear.vac");
    bool high = false;
    const int rows = d.App.VenturiQuery.Rows();
    for (auto _ : state) {
        high = !high;
        d.App.Venturi.SpinEditBetriebsdruckChange(high ? 550000.0 : 600000.0);
        double sum = 0.0;
        for (int r = 0; r < rows; ++r) sum += d.App.Venturi.RowTime(r);
        benchmark::DoNotOptimize(sum);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_GeneratorTimesAfterPressureChange)->Unit(benchmark::kMillisecond);

// Opening the catalogue, loading a project and walking all pages, as `vacuum-cli design`.
void BM_WholeDesignRun(benchmark::State& state) {
    for (auto _ : state) {
        TDesign d("glass_plate_rotary.vac");
        benchmark::DoNotOptimize(d.App.PartsList.Rows());
    }
}
BENCHMARK(BM_WholeDesignRun)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

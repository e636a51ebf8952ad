// Interactive costs of the suction cup arrangement. One step of a cup drag (move and snap,
// collision check, loads) with 900 and with 30 cups, with the dragged cup alone and with
// every cup selected; the collision check alone against the all-pairs loop as its peer;
// and the "~ok" column over a cup table of 5,000 rows, recomputed after an input change
// and read cell by cell as a grid does. A summary compares the figures with their goals.

#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/workflow/suction_cup_model.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// A manual arrangement of nx × ny cups 25 mm apart (clearance 20 mm) on a plate, with a
// cartesian grid of 5 mm; the model has pressed the mouse on cup 0.
struct TDragSetup {
    TMyProject Doc;
    TSuctionCupModel Model{Doc};

    TDragSetup(int nx, int ny, bool allSelected) {
        Doc.Project().New();
        Doc.Workpiece.Shape = cwsBar;
        Doc.Workpiece.LengthX = 0.025 * nx + 0.05;
        Doc.Workpiece.LengthY = 0.025 * ny + 0.05;
        Doc.Workpiece.LengthZ = 0.02;
        Doc.Workpiece.Mass = 10;
        TSaugerList& cups = Doc.SuctionCups;
        cups.SetStrategyType(cssManual);
        cups.CupType.ClearanceDiameter = 0.02;
        cups.CupType.Fs07 = 20;
        cups.SetGridType(csgCartesian);
        cups.Resize(nx * ny);
        for (int i = 0; i < nx; ++i)
            for (int j = 0; j < ny; ++j)
                cups.Sauger(i * ny + j)->NominalPos =
                    TVektor(0.025 * (i - (nx - 1) / 2.0), 0.025 * (j - (ny - 1) / 2.0), 1.0);
        Model.Relayout();
        const TVektor& p = cups.Sauger(0)->Pos;
        Model.MouseDown(cvpXY, p.X, p.Y, ckNone);
        if (allSelected) cups.SelectAll();
    }
};

void BM_DragStep(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TDragSetup s(30, n / 30, state.range(1) != 0);
    if (!s.Model.Dragging() || s.Doc.SuctionCups.Count() != n) {
        state.SkipWithError("the arrangement is not as set up");
        return;
    }
    const TVektor start = s.Doc.SuctionCups.Sauger(0)->Pos;
    bool out = false;
    for (auto _ : state) {
        // Back and forth by 3 mm: every step moves and snaps the selected cups.
        out = !out;
        s.Model.MouseMove(cvpXY, start.X + (out ? 0.003 : 0.0), start.Y, ckNone);
    }
    if (!s.Doc.SuctionCups.Solvable()) state.SkipWithError("the loads could not be solved");
}
BENCHMARK(BM_DragStep)
    ->ArgsProduct({{900, 30}, {0, 1}})
    ->ArgNames({"cups", "all"})
    ->Unit(benchmark::kMicrosecond);

// The collision check of 900 cups, through the grid and pair by pair.
void BM_Collisions(benchmark::State& state) {
    TDragSetup s(30, 30, false);
    TSaugerList& cups = s.Doc.SuctionCups;
    std::vector<TSauger*> ptrs;
    for (int i = 0; i < cups.Count(); ++i) ptrs.push_back(cups.Sauger(i));
    const double clearance = cups.CupType.ClearanceDiameter;
    TCupCollisionGrid grid;
    const bool allPairs = state.range(0) != 0;
    for (auto _ : state) {
        if (allPairs) {
            for (size_t i = 0; i < ptrs.size(); ++i)
                for (size_t j = i + 1; j < ptrs.size(); ++j)
                    if (ptrs[i]->Axial().DotProduct(ptrs[j]->Axial()) > 0.1 &&
                        ptrs[i]->Pos.Distance(ptrs[j]->Pos) <= clearance)
                        ptrs[i]->Misplaced = ptrs[j]->Misplaced = true;
        } else {
            grid.Mark(ptrs, clearance);
        }
        benchmark::DoNotOptimize(ptrs.front()->Misplaced);
    }
}
BENCHMARK(BM_Collisions)->Arg(0)->Arg(1)->ArgName("allpairs")->Unit(benchmark::kMicrosecond);

// A cup table of 5,000 rows with the columns the suitability reads, and the query over it.
struct TOkSetup {
    TMyProject Doc;
    TSuctionCupModel Model{Doc};
    TStrTableDB32Bit Table;
    TStringQuery Query;
    int OkCol = -1;

    TOkSetup() {
        Doc.Project().New();
        Doc.Workpiece.Shape = cwsBar;
        Doc.Workpiece.LengthX = 0.4;
        Doc.Workpiece.LengthY = 0.3;
        Doc.Workpiece.LengthZ = 0.01;
        Doc.Workpiece.Mass = 5;
        Table.Loaded();
        auto& code = Table.AddColumn("OrderCode", csfString);
        auto& dmax = Table.AddColumn("DmaxSuctionCup", csfFloat);
        auto& ok = Table.AddColumn("~ok", csfString, 0, 0, 1);
        auto& holder = Table.AddColumn("HolderDiameter", csfFloat);
        auto& fs07 = Table.AddColumn("Fs07", csfFloat);
        std::mt19937 rng(5);
        for (int r = 0; r < 5000; ++r) {
            const double d = 2.0 + static_cast<double>(rng() % 60) * 2.5;
            code.AppendText("SC-" + std::to_string(r));
            dmax.AppendFloat(d * 1.05);
            ok.AppendText("");
            holder.AppendFloat(4.0 + static_cast<double>(rng() % 40));
            fs07.AppendFloat(d * d * 0.044);
        }
        Table.SetRows(5000);
        Table.SetIndexed(true);
        Query.Loaded();
        Query.SetTable(&Table);
        Model.SetCupTables(&Table, &Query);
        Model.StrategieChange({cssCircumference, 8, 1, 0.0, 0.001, 0.001});
        OkCol = Table.ColByName("~ok");
    }
};

// Every iteration changes an input, so the column is computed afresh, then reads all
// 5,000 cells through the query (range 1) or the table (range 0).
void BM_OkColumn(benchmark::State& state) {
    TOkSetup s;
    const bool viaQuery = state.range(0) != 0;
    const bool change = state.range(1) != 0;
    const TCustomTable& t = viaQuery ? static_cast<const TCustomTable&>(s.Query) : s.Table;
    TTerm cell;
    int yes = 0;
    bool heavy = false;
    for (auto _ : state) {
        if (change) {
            heavy = !heavy;
            s.Doc.Workpiece.Mass = heavy ? 8.0 : 5.0;
        }
        yes = 0;
        for (int r = 0; r < t.Rows(); ++r) {
            t.GetField(r, s.OkCol, cell);
            yes += cell.Text == "~Yes";
        }
    }
    benchmark::DoNotOptimize(yes);
    state.counters["suitable"] = yes;
}
BENCHMARK(BM_OkColumn)
    ->ArgsProduct({{0, 1}, {1, 0}})
    ->ArgNames({"query", "changed"})
    ->Unit(benchmark::kMicrosecond);

// Keeps the seconds per iteration of every run for the summary.
class TSummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type != Run::RT_Iteration && !median) continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
            if (median || !seconds_.count(name)) {
                const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
                seconds_[name] = run.GetAdjustedCPUTime() / unit;
            }
        }
    }
    double Ms(const std::string& name) const {
        auto it = seconds_.find(name);
        return it == seconds_.end() ? -1 : it->second * 1e3;
    }

private:
    std::map<std::string, double> seconds_;
};

void PrintSummary(const TSummaryReporter& rep) {
    std::printf("\nSummary (CPU time):\n");
    for (int n : {900, 30})
        for (int all : {0, 1}) {
            const double ms =
                rep.Ms("BM_DragStep/cups:" + std::to_string(n) + "/all:" + std::to_string(all));
            if (ms >= 0)
                std::printf("  drag step, %3d cups, %-13s %8.3f ms  (goal < 2 ms for 900)\n", n,
                            all ? "all selected:" : "one selected:", ms);
        }
    const double grid = rep.Ms("BM_Collisions/allpairs:0");
    const double pairs = rep.Ms("BM_Collisions/allpairs:1");
    if (grid > 0 && pairs > 0)
        std::printf("  collision check, 900 cups: grid %.3f ms, all pairs %.3f ms (%.1fx)\n", grid,
                    pairs, pairs / grid);
    for (int query : {0, 1}) {
        const double fresh = rep.Ms("BM_OkColumn/query:" + std::to_string(query) + "/changed:1");
        const double cached = rep.Ms("BM_OkColumn/query:" + std::to_string(query) + "/changed:0");
        if (fresh >= 0)
            std::printf("  \"~ok\" of 5,000 rows through the %s: %.3f ms after an input change, "
                        "%.3f ms cached  (goal < 5 ms)\n",
                        query ? "query" : "table", fresh, cached);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TSummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    return 0;
}

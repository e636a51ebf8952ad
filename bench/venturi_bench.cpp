// "Time" of every generator row after a change of the operating pressure, and with a leak
// at altitude, against the same rows computed one by one without the per-condition cache,
// and a redraw that reads the cached column. Tables are built in memory at catalogue size: 75 generators on 25
// time curves of 5 pressures × 9 vacuum levels.

#include "core/calc/evacuation.h"
#include "core/calc/venturi.h"
#include "core/data/db_interpol.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/workflow/venturi_model.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

constexpr int cCurves = 25;
constexpr int cGenerators = 75;

class TBenchCurves : public TCustomDBInterpol {
public:
    void Add(const std::string& name, double scale) {
        bool created = false;
        TDBInterpolCurve& c = CurveFor(name, created);
        for (int i = 1; i < 13; ++i) c.ExpectPoint();
        for (int i = 0; i < 13; ++i) {
            const double bar = 2.0 + 0.5 * i;
            c.AddPoint(bar, scale * (0.95 - 0.4 / bar));
        }
    }
};

struct TBenchSetup {
    TMyProject Doc;
    TStrTableDB32Bit Generators, Times;
    TStringQuery Query;
    TBenchCurves Vacuum;
    TVenturiModel Model{Doc};

    TBenchSetup() {
        Doc.Project().New();
        Doc.TubeVolume = 0.001;
        Times.Loaded();
        auto& curve = Times.AddColumn("Curve", csfString);
        auto& pressure = Times.AddColumn("Pressure", csfFloat);
        auto& vacuum = Times.AddColumn("Vacuum", csfFloat);
        auto& time = Times.AddColumn("Time_ms", csfDWord);
        int rows = 0;
        for (int k = 0; k < cCurves; ++k) {
            const std::string name = "EV-" + std::to_string(k);
            Vacuum.Add("UD-" + std::to_string(k), 1.0 + 0.002 * k);
            for (int p = 3; p <= 7; ++p)
                for (int v = 1; v <= 9; ++v, ++rows) {
                    curve.AppendText(name);
                    pressure.AppendFloat(p);
                    vacuum.AppendFloat(0.1 * v);
                    time.AppendInt(1000 * v * v / (p + k % 5));
                }
        }
        Times.SetRows(rows);
        Times.SetIndexed(true);

        Generators.Loaded();
        auto& order = Generators.AddColumn("OrderCode", csfString);
        auto& kennlinie = Generators.AddColumn("Kennlinie", csfString);
        auto& unterdruck = Generators.AddColumn("Unterdruck", csfString);
        auto& nozzle = Generators.AddColumn("DLavall", csfFloat);
        Generators.AddColumn("~ok", csfString);
        Generators.AddColumn("Time", csfFloat);
        Generators.AddColumn("Vacuum", csfFloat);
        for (int g = 0; g < cGenerators; ++g) {
            // Rows of one curve are spread over the table, as in a catalogue sorted by
            // order code.
            const int k = (g * 7) % cCurves;
            order.AppendText("VG-" + std::to_string(g));
            kennlinie.AppendText("EV-" + std::to_string(k));
            unterdruck.AppendText("UD-" + std::to_string(k));
            nozzle.AppendFloat(0.0005 + 0.0001 * (g % 10));
        }
        Generators.SetRows(cGenerators);
        Generators.SetIndexed(true);
        Query.Loaded();
        Query.SetTable(&Generators);

        Model.SetVenturiTables(&Generators, &Query);
        Model.SetCurves({&Vacuum, nullptr, nullptr, nullptr});
        Model.SetEvacuationTables(&Times, nullptr);
    }
};

// Reads the "Time" column of every row as the grid draws it.
double ReadTimes(const TStringQuery& q) {
    const int col = q.ColByName("Time");
    double sum = 0.0;
    for (int r = 0; r < q.Rows(); ++r) sum += q.AsFloat(r, col);
    return sum;
}

void BM_TimeColumnAfterPressureChange(benchmark::State& state) {
    TBenchSetup s;
    bool high = false;
    for (auto _ : state) {
        high = !high;
        s.Model.SpinEditBetriebsdruckChange(high ? 6.0e5 : 5.5e5);
        benchmark::DoNotOptimize(ReadTimes(s.Query));
    }
}
BENCHMARK(BM_TimeColumnAfterPressureChange)->Unit(benchmark::kMicrosecond);

// The same column at 1,500 m for a leaking part (an orifice of 0.2 mm, whose diameter is
// typed anew each time): every curve integrates the evacuation against the leak.
void BM_TimeColumnWithALeak(benchmark::State& state) {
    TBenchSetup s;
    s.Model.SpinEditAltitudeChange(1500.0);
    s.Model.ComboBoxLeakKindChange(clkOrifice);
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        s.Model.SpinEditLeakDiameterChange(wide ? 0.0002 : 0.00019);
        benchmark::DoNotOptimize(ReadTimes(s.Query));
    }
}
BENCHMARK(BM_TimeColumnWithALeak)->Unit(benchmark::kMicrosecond);

// The peer: every row computes its time itself, reloading the time curve whenever the
// previous row used another one.
void BM_TimePerRowWithoutCache(benchmark::State& state) {
    TBenchSetup s;
    TEvacuationTable table;
    table.SetSource(&s.Times);
    TVenturiConditions c = s.Model.Conditions();
    const int kCol = s.Generators.ColByName("Kennlinie");
    const int uCol = s.Generators.ColByName("Unterdruck");
    bool high = false;
    for (auto _ : state) {
        high = !high;
        c.Pressure = high ? 6.0e5 : 5.5e5;
        double sum = 0.0;
        for (int r = 0; r < s.Generators.Rows(); ++r)
            sum += EvacuationTime(table, &s.Vacuum, s.Generators.AsText(r, kCol),
                                  s.Generators.AsText(r, uCol), c);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_TimePerRowWithoutCache)->Unit(benchmark::kMicrosecond);

// A redraw with unchanged inputs only reads the cache.
void BM_RedrawFromCache(benchmark::State& state) {
    TBenchSetup s;
    ReadTimes(s.Query);
    for (auto _ : state) benchmark::DoNotOptimize(ReadTimes(s.Query));
}
BENCHMARK(BM_RedrawFromCache)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

// Query filtering and faceted refresh on a 200,000-row product-like table: the compiled
// evaluator against the naive re-tokenising one and against SQLite on the same rows.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "tests/core/quantities/expression_reference.h"

namespace {

constexpr int kRows = 200000;
const char* kCondition = "((Diameter>=20)AND(Fs07<500))OR(Material='NBR')";
const char* kSqlCondition = "((Diameter>=20) AND (Fs07<500)) OR (Material='NBR')";
const char* kFacetColumns[12] = {"Group",  "Shape",  "Material", "Series",  "Connector", "Holder",
                                 "Filter", "Length", "Diameter", "Size",    "Thread",    "Angle"};

struct TData {
    TStrTableDB32Bit table;
    sqlite3* db = nullptr;
    TData() {
        table.Loaded();
        std::mt19937 rng(7);
        const char* materials[] = {"NBR", "SI", "FPM", "PU", "NK", "CR", "EPDM"};
        const char* shapes[] = {"~Flat", "~Bellows15", "~Bellows25", "~Oval", "~Deep"};
        auto& group = table.AddColumn("Group", csfByte);
        auto& shape = table.AddColumn("Shape", csfString);
        auto& material = table.AddColumn("Material", csfString);
        auto& series = table.AddColumn("Series", csfString);
        auto& connector = table.AddColumn("Connector", csfString);
        auto& holder = table.AddColumn("Holder", csfWord);
        auto& filter = table.AddColumn("Filter", csfString);
        auto& length = table.AddColumn("Length", csfFloat, 0, 0);
        auto& diameter = table.AddColumn("Diameter", csfFloat, 0, 0);
        auto& size = table.AddColumn("Size", csfString);
        auto& thread = table.AddColumn("Thread", csfString);
        auto& angle = table.AddColumn("Angle", csfDWord);
        auto& fs = table.AddColumn("Fs07", csfFloat, 8, 2);
        auto& code = table.AddColumn("OrderCode", csfString);
        for (int i = 0; i < kRows; ++i) {
            const int d = 2 + static_cast<int>(rng() % 100) * 2;
            group.AppendInt(static_cast<int>(rng() % 6));
            shape.AppendText(shapes[rng() % 5]);
            material.AppendText(materials[rng() % 7]);
            series.AppendText("S" + std::to_string(rng() % 3));
            connector.AppendText(rng() % 2 ? "G1/8-IG" : "M5-AG");
            holder.AppendInt(static_cast<int>(rng() % 8));
            filter.AppendText(rng() % 2 ? "~Yes" : "~No");
            length.AppendFloat(5 + (rng() % 40) * 0.5);
            diameter.AppendFloat(d);
            size.AppendText(std::to_string(d));
            thread.AppendText(rng() % 3 ? "M5" : "G1/4");
            angle.AppendInt(static_cast<int>(rng() % 4) * 15);
            fs.AppendFloat(0.0550 * d * d * (0.6 + 0.1 * (rng() % 4)));
            code.AppendText("SC-" + std::to_string(100000 + i));
        }
        table.SetRows(kRows);
        table.SetIndexed(true);

        sqlite3_open(":memory:", &db);
        sqlite3_exec(db, "CREATE TABLE t(Diameter REAL, Fs07 REAL, Material TEXT)", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* ins = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?,?,?)", -1, &ins, nullptr);
        for (int r = 0; r < kRows; ++r) {
            sqlite3_bind_double(ins, 1, table.AsFloat(r, "Diameter"));
            sqlite3_bind_double(ins, 2, table.AsFloat(r, "Fs07"));
            const std::string m = table.AsText(r, "Material");
            sqlite3_bind_text(ins, 3, m.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    ~TData() { sqlite3_close(db); }
};

TData& Data() {
    static TData data;
    return data;
}

int g_compiledRows = -1, g_referenceRows = -1, g_sqliteRows = -1;

void BM_FilterCompiled(benchmark::State& state) {
    TData& d = Data();
    TStringQuery q;
    q.Loaded();
    q.SetTable(&d.table);
    for (auto _ : state) {
        q.Reset();
        q.AddCondition(kCondition);
        benchmark::DoNotOptimize(q.Rows());
    }
    g_compiledRows = q.Rows();
    state.counters["rows/s"] = benchmark::Counter(double(kRows) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FilterCompiled)->Unit(benchmark::kMillisecond);

void BM_FilterReference(benchmark::State& state) {
    TData& d = Data();
    int row = 0;
    TReferenceExpression e;
    e.Klammer = "()";
    e.OnExprConst = [&](const std::string& name, TTerm& t) {
        const int c = d.table.ColByName(name);
        if (c >= 0) d.table.GetField(row, c, t);
    };
    int passed = 0;
    for (auto _ : state) {
        passed = 0;
        TTerm r;
        for (row = 0; row < kRows; ++row)
            if (e.Evaluate(kCondition, r) && r.Typ == cTTNum && r.Value != 0) ++passed;
        benchmark::DoNotOptimize(passed);
    }
    g_referenceRows = passed;
    state.counters["rows/s"] = benchmark::Counter(double(kRows) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FilterReference)->Unit(benchmark::kMillisecond);

void BM_FilterSqlite(benchmark::State& state) {
    TData& d = Data();
    sqlite3_stmt* st = nullptr;
    const std::string sql = std::string("SELECT rowid FROM t WHERE ") + kSqlCondition;
    sqlite3_prepare_v2(d.db, sql.c_str(), -1, &st, nullptr);
    int passed = 0;
    for (auto _ : state) {
        passed = 0;
        while (sqlite3_step(st) == SQLITE_ROW) ++passed;
        sqlite3_reset(st);
        benchmark::DoNotOptimize(passed);
    }
    sqlite3_finalize(st);
    g_sqliteRows = passed;
    state.counters["rows/s"] = benchmark::Counter(double(kRows) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FilterSqlite)->Unit(benchmark::kMillisecond);

// A combo-box-like dependent: its own category is disabled while it lists the distinct
// values of its column among the rows that pass the other filters.
struct TFacet : TQueryFacetControl {
    std::string Field;
    TDistinctList Items;
    std::string FacetFieldName() const override { return Field; }
    void SourceChanged(TCustomTable& source, unsigned) override {
        source.DistinctValues(source.ColByName(Field), Items, nullptr, 0, cSortASCII, nullptr);
    }
};

void BM_FacetedRefresh(benchmark::State& state) {
    TData& d = Data();
    TStringQuery q;
    q.Loaded();
    q.SetTable(&d.table);
    std::vector<std::unique_ptr<TFacet>> facets;
    for (const char* c : kFacetColumns) {
        facets.push_back(std::make_unique<TFacet>());
        facets.back()->Field = c;
        q.AddDependent(facets.back().get());
    }
    q.AddCondition("Diameter>=10");
    // Two facet selections active, as when the user has chosen a shape and a material.
    TTerm v;
    TermFromText(v, "NBR");
    q.FilterCategory("Material", v, cCompEqual);
    TermFromText(v, "~Flat");
    q.FilterCategory("Shape", v, cCompEqual);
    for (auto _ : state) q.Changed(cChangeFilter);
    state.counters["rows"] = q.Rows();
}
BENCHMARK(BM_FacetedRefresh)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Data(); // build the rows outside the timings
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_compiledRows >= 0 && g_referenceRows >= 0 && g_compiledRows != g_referenceRows)
        std::printf("MISMATCH: compiled %d rows, reference %d rows\n", g_compiledRows, g_referenceRows);
    if (g_compiledRows >= 0 && g_sqliteRows >= 0 && g_compiledRows != g_sqliteRows)
        std::printf("MISMATCH: compiled %d rows, SQLite %d rows\n", g_compiledRows, g_sqliteRows);
    return 0;
}

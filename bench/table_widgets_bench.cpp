// The table-bound widgets over a synthetic query of 200,000 rows:
// - a grid of 800x600 pixels scrolled one page down and repainted; reported per page, with
//   the number of cells read from the query per page;
// - twelve filter lists over the same query refreshed after one choice in one of them (the
//   frame budget is 16 ms): their data side alone, the lists, and the lists with a grid and
//   a check box on the same query.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QScrollBar>

#include "core/data/str_field_db.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "gui/table/str_table_controls.h"
#include "gui/table/string_table_grid.h"

namespace {

constexpr int cRows = 200000;
constexpr int cFacets = 12;

// Names and values built by appending (GCC 12 warns falsely on "x" + std::to_string(n)).
std::string Numbered(const char* prefix, unsigned n) {
    std::string s(prefix);
    s += std::to_string(n);
    return s;
}

// Order code, a diameter, a yes/no column and twelve facet columns with 3 to 14 values each,
// stored one value per row or, as dictionary columns, as distinct values with a row index.
struct TBenchTable {
    TStrTableDB32Bit Source;
    TStringQuery Query;
    //! Cells read through the query while the grid benchmark counts them.
    long long Reads = 0;

    explicit TBenchTable(bool dictionary) {
        Source.Loaded();
        auto& code = Source.AddColumn("Code", csfString);
        auto& dia = Source.AddColumn("Diameter", csfFloat, 6, 2);
        auto& ok = Source.AddColumn("~Ok", csfString);
        std::vector<TStrFieldDB*> facets;
        for (int f = 0; f < cFacets; ++f) facets.push_back(&Source.AddColumn(Numbered("F", static_cast<unsigned>(f)), csfString));
        for (int i = 0; i < cRows; ++i) {
            code.AppendText(Numbered("VC-", static_cast<unsigned>(100000 + i)));
            dia.AppendFloat(0.001 * (1 + (i * 7) % 60));
            ok.AppendText((i * 13) % 5 ? "~Yes" : "~No");
            for (int f = 0; f < cFacets; ++f) {
                const unsigned h = static_cast<unsigned>(i) * 2654435761u + static_cast<unsigned>(f) * 40503u;
                facets[static_cast<size_t>(f)]->AppendText(Numbered("v", (h >> 8) % static_cast<unsigned>(3 + f)));
            }
        }
        Source.SetRows(cRows);
        if (dictionary)
            for (TStrFieldDB* f : facets) f->SetIndexed(true);
        Query.Loaded();
        Query.SetTable(&Source);
    }
};

TBenchTable& Table(bool dictionary = false) {
    static TBenchTable rowForm(false);
    if (!dictionary) return rowForm;
    static TBenchTable dictionaryForm(true);
    return dictionaryForm;
}

void BM_GridScrollOnePage(benchmark::State& state) {
    TBenchTable& t = Table();
    t.Query.Reset();
    TStringTableGrid grid;
    grid.SetColNames("Code|Diameter|~Ok|F0|F1|F2|F3|F4");
    grid.resize(800, 600);
    grid.SetTable(&t.Query);
    grid.show();
    QApplication::processEvents();
    QScrollBar* bar = grid.verticalScrollBar();
    // The counting hook is set for this run only: a cell hook makes the query's distinct
    // lists take the row-by-row path, which would slow the list benchmarks.
    t.Reads = 0;
    t.Query.OnChangeField = [&t](const TCustomTable&, int, int, TTerm&) { ++t.Reads; };
    long long pages = 0;
    for (auto _ : state) {
        int next = bar->value() + bar->pageStep();
        if (next > bar->maximum()) next = 0;
        bar->setValue(next);
        grid.viewport()->repaint();
        ++pages;
    }
    state.counters["cells_read_per_page"] = static_cast<double>(t.Reads) / static_cast<double>(pages);
    state.counters["rows_per_page"] = bar->pageStep();
    state.counters["query_rows"] = t.Query.Rows();
    t.Query.OnChangeField = nullptr;
}
BENCHMARK(BM_GridScrollOnePage)->Unit(benchmark::kMillisecond);

// One choice in the first list, alternating between a value and entry 0: the query filters
// again and every list rebuilds its entries from the rows the other filters leave.
void FacetRefresh(benchmark::State& state, bool withGrid) {
    TBenchTable& t = Table(state.range(0) != 0);
    t.Query.Reset();
    std::vector<std::unique_ptr<TStrTableCoBox>> boxes;
    for (int f = 0; f < cFacets; ++f) {
        auto box = std::make_unique<TStrTableCoBox>();
        box->Model().SetSort(cSortASCII);
        box->SetFieldName(Numbered("F", static_cast<unsigned>(f)));
        box->SetTable(&t.Query);
        boxes.push_back(std::move(box));
    }
    std::unique_ptr<TStringTableGrid> grid;
    std::unique_ptr<TStrTableCheckBox> check;
    if (withGrid) {
        grid = std::make_unique<TStringTableGrid>();
        grid->resize(800, 600);
        grid->SetTable(&t.Query);
        check = std::make_unique<TStrTableCheckBox>();
        check->Model().SetSelectMode(csmOption);
        check->SetFieldName("~Ok");
        check->SetTable(&t.Query);
    }
    int rebuildsBefore = 0;
    for (const auto& b : boxes) rebuildsBefore += b->ItemRebuilds();
    long long changes = 0;
    for (auto _ : state) {
        boxes[0]->Model().Select(changes % 2 == 0 ? 1 : 0);
        ++changes;
    }
    int rebuilds = -rebuildsBefore;
    for (const auto& b : boxes) rebuilds += b->ItemRebuilds();
    state.counters["list_rebuilds_per_change"] = static_cast<double>(rebuilds) / static_cast<double>(changes);
    boxes[0]->Model().Select(0);
}

// Baseline: the same lists without widgets, so the difference is the widgets' share.
void BM_FacetRefreshTwelveModelsOnly(benchmark::State& state) {
    TBenchTable& t = Table(state.range(0) != 0);
    t.Query.Reset();
    std::vector<std::unique_ptr<TStrTableCoBoxModel>> models;
    for (int f = 0; f < cFacets; ++f) {
        auto m = std::make_unique<TStrTableCoBoxModel>();
        m->SetSort(cSortASCII);
        m->SetFieldName(Numbered("F", static_cast<unsigned>(f)));
        m->SetTable(&t.Query);
        models.push_back(std::move(m));
    }
    long long changes = 0;
    for (auto _ : state) {
        models[0]->Select(changes % 2 == 0 ? 1 : 0);
        ++changes;
    }
    models[0]->Select(0);
}
BENCHMARK(BM_FacetRefreshTwelveModelsOnly)->ArgName("dictionary")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FacetRefreshTwelveLists(benchmark::State& state) { FacetRefresh(state, false); }
BENCHMARK(BM_FacetRefreshTwelveLists)->ArgName("dictionary")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FacetRefreshTwelveListsGridAndCheckBox(benchmark::State& state) { FacetRefresh(state, true); }
BENCHMARK(BM_FacetRefreshTwelveListsGridAndCheckBox)->ArgName("dictionary")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Painting needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

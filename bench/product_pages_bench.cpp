// The suction cup page of the desktop program: one filter choice in the series list, as the
// user makes it, with everything it sets off (the choice stored, the cup model told, the
// query filtered, the grid, the seven other lists and the two option boxes refreshed, the
// grid's current row chosen again) and a synchronous repaint of the window. On the bundled
// catalogue, and on a synthetic cup table of 200,000 rows made of the bundled rows repeated
// (their order codes numbered), which the page's query and the cup model are bound to for
// the run. A frame is 16 ms; 50 ms is the most a choice may take before it feels slow.
// Runs on the offscreen platform; settings go to a temporary folder.

#include "app/designer/designer.h"
#include "app/frame/form_main.h"
#include "app/pages/suction_cup/suction_cup_page.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/workflow/vacuum_application.h"
#include "gui/table/str_table_controls.h"
#include "gui/table/string_table_grid.h"
#include "tests/app/app_test_support.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>

namespace {

constexpr int kSyntheticRows = 200000;

// The program on the example, walked to the suction cup page.
struct TRunning {
    TIsolatedSettings Settings;
    TPosixEnvironment Env;
    TScriptedMessages Messages;
    TScriptedFiles Files;
    TScriptedLanguages Languages;
    TManualTimers Timers;
    THelpRecorder Help;
    std::unique_ptr<TDesigner> Designer;

    TRunning() {
        Languages.Choices = {"en"};
        TDesignerPlatform platform{Env, Messages, Files, Languages, Timers, &Help, {}};
        Designer = std::make_unique<TDesigner>(platform, std::vector<std::string>{"/ACCEPT"},
                                               TOrsikConnection::ProgramFolder());
        if (!Designer->Start()) throw std::runtime_error(Designer->LastError());
        QCoreApplication::processEvents();
        TVacuumApplication& app = *Designer->App();
        const auto r = app.Input([&] {
            return app.Workflow.OpenRecentFile(std::string(VACUUM_SOURCE_DIR) +
                                               "/examples/glass_plate_rotary.vac");
        });
        if (!r || !r->Ok()) throw std::runtime_error("example not read");
        Frame().Navigate(cmpPositioning);
        Frame().Navigate(cmpSuctionCup);
        if (app.Workflow.CurrentPage() != cmpSuctionCup) throw std::runtime_error("a page refused");
        Frame().resize(1024, 768);
        Frame().show();
        QCoreApplication::processEvents();
    }
    ~TRunning() { Designer->Finish(); }
    TFormMain& Frame() { return *Designer->Frame(); }
    TSuctionCupPage& Page() { return *dynamic_cast<TSuctionCupPage*>(Frame().Page(cmpSuctionCup)); }
};

// The bundled cup table repeated to `rows` rows, column by column in its own types; the
// text columns of few values in dictionary form, as the bundled table keeps them.
void FillSynthetic(const TStrTableDB32Bit& source, TStrTableDB32Bit& target, int rows) {
    target.Loaded();
    const int n = source.Rows();
    std::vector<TStrFieldDB*> dictionary;
    for (int c = 0; c < source.Cols(); ++c) {
        const TStrFieldDB& from = *source.Column(c);
        TStrFieldDB& to =
            target.AddColumn(source.ColName(c), from.DataType(), from.Prec, from.Dec, from.Transl8);
        const bool code = source.ColName(c) == "OrderCode" || source.ColName(c) == "ShortCut";
        if (!code && from.DataType() == csfString) dictionary.push_back(&to);
        for (int r = 0; r < rows; ++r) {
            const int s = r % n;
            switch (from.DataType()) {
            case csfFloat:
                to.AppendFloat(from.GetFloat(s));
                break;
            case csfByte:
            case csfWord:
            case csfDWord:
                to.AppendInt(static_cast<int32_t>(from.GetFloat(s)));
                break;
            case csfPBool:
            case csfBool:
                to.AppendBool(source.AsBoolean(s, c));
                break;
            default: {
                std::string text = from.GetText(s);
                if (code) {
                    text += '-';
                    text += std::to_string(r / n);
                }
                to.AppendText(text);
            }
            }
        }
    }
    target.SetRows(rows);
    for (TStrFieldDB* column : dictionary) column->SetIndexed(true);
}

// The popup's way of choosing: the entry becomes current, then activated is raised.
void Choose(QComboBox& box, int index) {
    box.setCurrentIndex(index);
    emit box.activated(index);
}

// Series S2 and back to no preference, one choice per item.
void BM_SuctionCupFilterChange(benchmark::State& state) {
    TRunning run;
    TVacuumApplication& app = *run.Designer->App();
    const bool synthetic = state.range(0) != 0;
    TStrTableDB32Bit big;
    if (synthetic) {
        FillSynthetic(app.SuctionCups, big, kSyntheticRows);
        app.Input([&] {
            app.SuctionCupQuery.SetTable(&big);
            app.Cups.SetCupTables(&big, &app.SuctionCupQuery);
        });
        QCoreApplication::processEvents();
    }
    TSuctionCupPage& page = run.Page();
    // Second argument 1: the grid sizes its columns to the texts of every row after each
    // choice, which the page does not do (it keeps the widths); that shows what it would cost.
    const bool sizing = state.range(1) != 0;
    page.Grid()->SetAutoColSize(sizing);
    TStrTableCoBox& series = *page.List("Group");
    const int s2 = series.findText("S2");
    if (s2 < 0) state.SkipWithError("no series S2");
    const long long cellsBefore = page.Grid()->CellsPainted();
    bool filtered = false;
    for (auto _ : state) {
        filtered = !filtered;
        Choose(series, filtered ? s2 : 0);
        run.Frame().repaint();
    }
    state.counters["rows"] = app.SuctionCupQuery.Table() ? app.SuctionCupQuery.Table()->Rows() : 0;
    state.counters["cells_painted_per_choice"] =
        static_cast<double>(page.Grid()->CellsPainted() - cellsBefore) /
        static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(std::string(synthetic ? "200,000 synthetic cups" : "bundled catalogue") +
                   (sizing ? ", columns sized after every choice" : ", as the page does"));
    page.Grid()->SetAutoColSize(false);
    if (synthetic) {
        // The page's controls go back to the bundled table before the synthetic one goes.
        app.Input([&] {
            app.SuctionCupQuery.SetTable(&app.SuctionCups);
            app.Cups.SetCupTables(&app.SuctionCups, &app.SuctionCupQuery);
        });
    }
}
BENCHMARK(BM_SuctionCupFilterChange)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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

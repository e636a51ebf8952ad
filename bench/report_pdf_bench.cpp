// The printed report of a 30-cup design (the glass plate example with a field of 6 x 5 cups)
// in the desktop program: laid out for an A4 page at 600 dpi with the values as the pages'
// fields show them (budget 5 ms), and written as a whole PDF file (budget 300 ms).
// Runs on the offscreen platform on the bundled catalogue; settings go to a temporary folder.

#include "app/designer/designer.h"
#include "app/frame/form_main.h"
#include "app/report/report_commands.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/workflow/vacuum_application.h"
#include "tests/app/app_test_support.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>

namespace {

// The program on the glass plate example with 30 cups, walked to the parts list.
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
        WalkToPartsList();
        app.Input([&] { app.Cups.StrategieChange({cssArea, 6, 5, 0.0, 0.001, 0.001}); });
        Frame().Navigate(cmpWorkpiece);
        WalkToPartsList();
        QCoreApplication::processEvents();
    }
    void WalkToPartsList() {
        TVacuumApplication& app = *Designer->App();
        while (app.Workflow.CurrentPage() < cmpPartsList) {
            const int before = app.Workflow.CurrentPage();
            Frame().StepNext();
            if (app.Workflow.CurrentPage() <= before) throw std::runtime_error("a page refused");
        }
    }
    ~TRunning() { Designer->Finish(); }
    TFormMain& Frame() { return *Designer->Frame(); }
    TVacuumApplication& App() { return *Designer->App(); }
};

// The report laid out for a PDF page (the fields asked for their texts).
void BM_ReportLayout(benchmark::State& state) {
    TRunning run;
    QFile sink(run.Settings.File("layout.pdf"));
    if (!sink.open(QIODevice::WriteOnly)) state.SkipWithError("no scratch file");
    QPdfWriter writer(&sink);
    writer.setResolution(TReportOutput::cPdfResolution);
    int pages = 0;
    for (auto _ : state) {
        const TReportLayout layout = run.Frame().Report().Output().Layout(writer);
        pages = layout.Pages;
        benchmark::DoNotOptimize(layout.Commands.data());
    }
    state.counters["cups"] = run.App().Document.SuctionCups.Count();
    state.counters["pages"] = pages;
    state.counters["budget_ms"] = 5.0;
    state.SetLabel("report layout, 30 cups; budget 5 ms");
}
BENCHMARK(BM_ReportLayout)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole PDF file written (laid out, drawn, saved).
void BM_ReportPdf(benchmark::State& state) {
    TRunning run;
    const QString file = run.Settings.File("report.pdf");
    for (auto _ : state)
        if (!run.Frame().Report().Output().WritePdf(file)) state.SkipWithError("not written");
    state.counters["cups"] = run.App().Document.SuctionCups.Count();
    state.counters["bytes"] = static_cast<double>(QFile(file).size());
    state.counters["budget_ms"] = 300.0;
    state.SetLabel("report PDF, 30 cups; budget 300 ms");
}
BENCHMARK(BM_ReportPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

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

// The desktop program's speed: from process start to the painted main window (with the
// bundled catalogue, and with an empty one beside it, so the ratio shows what the catalogue
// costs), a page change (leave check, enter work, repaint) for every page, and a language
// change of the whole window. Runs on the offscreen platform; settings go to a temporary
// folder.

#include "app/designer/designer.h"
#include "app/frame/form_main.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/workflow/page_workflow.h"
#include "core/workflow/vacuum_application.h"
#include "tests/app/app_test_support.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>
#include <stdexcept>
#include <string>

namespace {

const QString kProgramFolder = QString::fromStdString(TOrsikConnection::ProgramFolder());

// A folder holding the program and its language file beside the given product file.
class TProgramCopy {
public:
    explicit TProgramCopy(bool emptyCatalogue) {
        const QString dir = dir_.path();
        Copy(kProgramFolder + "/vacuum-designer", dir + "/vacuum-designer");
        Copy(kProgramFolder + "/Vacuum.bin", dir + "/Vacuum.bin");
        QFile::setPermissions(dir + "/vacuum-designer", QFile::permissions(kProgramFolder + "/vacuum-designer"));
        if (!emptyCatalogue) {
            Copy(kProgramFolder + "/Vacuum.dat", dir + "/Vacuum.dat");
            return;
        }
        // A container without a single table, built by the authoring tool.
        QDir(dir).mkdir("src");
        QFile index(dir + "/src/index.tsv");
        if (!index.open(QIODevice::WriteOnly)) throw std::runtime_error("index.tsv not written");
        index.close();
        if (QProcess::execute(kProgramFolder + "/vacdb", {"build", dir + "/src", "-o", dir + "/Vacuum.dat"}) != 0)
            throw std::runtime_error("vacdb could not build the empty catalogue");
    }
    QString Program() const { return dir_.path() + "/vacuum-designer"; }

private:
    static void Copy(const QString& from, const QString& to) {
        if (!QFile::copy(from, to)) throw std::runtime_error(("not copied: " + from).toStdString());
    }
    QTemporaryDir dir_;
};

// Process start to the first paint of the main window, then the program ends.
void BM_StartUpToFirstPaint(benchmark::State& state) {
    const bool empty = state.range(0) == 0;
    TProgramCopy copy(empty);
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.path() + "/config");
    env.insert("XDG_RUNTIME_DIR", home.path());
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(copy.Program(), {"/ACCEPT", "/QUITAFTERPAINT"});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            state.SkipWithError("the program did not end after its first paint");
            break;
        }
    }
    state.SetLabel(empty ? "empty catalogue" : "bundled catalogue");
}
BENCHMARK(BM_StartUpToFirstPaint)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The running program with an example walked to the parts list.
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
            return app.Workflow.OpenRecentFile(std::string(VACUUM_SOURCE_DIR) + "/examples/glass_plate_rotary.vac");
        });
        if (!r || !r->Ok()) throw std::runtime_error("example not read");
        for (int page = cmpPositioning; page <= cmpPartsList; ++page) Frame().Navigate(page);
        if (app.Workflow.CurrentPage() != cmpPartsList) throw std::runtime_error("a page refused");
        Frame().resize(1024, 768);
        Frame().show();
        QCoreApplication::processEvents();
    }
    ~TRunning() { Designer->Finish(); }
    TFormMain& Frame() { return *Designer->Frame(); }
};

// One page change there and one back: to the page from the one before it (or after it, for
// the start page), each followed by a synchronous repaint of the window.
void BM_PageChange(benchmark::State& state) {
    TRunning run;
    const int page = static_cast<int>(state.range(0));
    const int other = page == cmpStartPage ? cmpWorkpiece : page - 1;
    TVacuumApplication& app = *run.Designer->App();
    run.Frame().Navigate(other);
    for (auto _ : state) {
        run.Frame().Navigate(page);
        run.Frame().repaint();
        run.Frame().Navigate(other);
        run.Frame().repaint();
    }
    if (app.Workflow.CurrentPage() != other) state.SkipWithError("a page change was refused");
    state.SetItemsProcessed(state.iterations() * 2);
    state.SetLabel("per item: one page change");
}
BENCHMARK(BM_PageChange)->DenseRange(cmpStartPage, cmpPartsList)->Unit(benchmark::kMillisecond);

// A language change of the whole window and its repaint, alternating English and Russian.
void BM_LanguageChange(benchmark::State& state) {
    TRunning run;
    bool russian = false;
    for (auto _ : state) {
        russian = !russian;
        run.Frame().SetLanguage(russian ? "ru" : "en");
        run.Frame().repaint();
    }
    if (run.Designer->App()->Language.Language().empty()) state.SkipWithError("no language");
}
BENCHMARK(BM_LanguageChange)->Unit(benchmark::kMillisecond);

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

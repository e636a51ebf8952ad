// The positioning page of the desktop program, on the example glass plate with its chosen cup.
// Typing: one keystroke into the workpiece's length field on the workpiece page (a digit
// added, then taken away again), with everything it sets off (the size stored, the cups laid
// out again and their loads, the suction cup table's "~ok" column worked out again), and the
// positioning page's three views and the suction cup grid painted. Dragging: one mouse move
// of a cup under manual positioning (the selected cup placed, collisions checked, the loads
// of every cup solved) and the three views painted. A frame is 16 ms.
// Runs on the offscreen platform; settings go to a temporary folder.

#include "app/designer/designer.h"
#include "app/frame/form_main.h"
#include "app/pages/positioning/positioning_page.h"
#include "app/pages/suction_cup/suction_cup_page.h"
#include "app/pages/workpiece/workpiece_page.h"
#include "app/views/cup_views.h"
#include "core/data/orsik_connection.h"
#include "core/document/my_project.h"
#include "core/shell/platform.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "gui/table/string_table_grid.h"
#include "tests/app/app_test_support.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

// The program on the example, its cup chosen on the suction cup page.
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
        Frame().Navigate(cmpPositioning);
        if (app.Workflow.CurrentPage() != cmpPositioning) throw std::runtime_error("a page refused");
        Frame().resize(1024, 768);
        Frame().show();
        QCoreApplication::processEvents();
    }
    ~TRunning() { Designer->Finish(); }
    TVacuumApplication& App() { return *Designer->App(); }
    TFormMain& Frame() { return *Designer->Frame(); }
    TPositioningPage& Positioning() {
        return *dynamic_cast<TPositioningPage*>(Frame().Page(cmpPositioning));
    }
};

void Key(QWidget* target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

void Mouse(QWidget* target, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent e(type, at, target->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &e);
}

// A keystroke into the workpiece's length with 30 cups in a field of 6 x 5.
void BM_TypeLengthWithThirtyCups(benchmark::State& state) {
    TRunning run;
    TVacuumApplication& app = run.App();
    app.Input([&] { app.Cups.StrategieChange({cssArea, 6, 5, 0.0, 0.001, 0.001}); });
    if (app.Document.SuctionCups.Count() != 30) state.SkipWithError("not 30 cups");
    run.Frame().Navigate(cmpWorkpiece);
    QCoreApplication::processEvents();
    auto& workpiece = *dynamic_cast<TWorkpiecePage*>(run.Frame().Page(cmpWorkpiece));
    auto& cups = *dynamic_cast<TSuctionCupPage*>(run.Frame().Page(cmpSuctionCup));
    TFMU2Edit* edit = workpiece.LengthX()->Edit();
    edit->setFocus();
    edit->end(false);
    TCupViews* views = run.Positioning().Views();
    const double before = app.Document.Workpiece.LengthX;
    bool added = false;
    for (auto _ : state) {
        added = !added;
        if (added)
            Key(edit, Qt::Key_1, "1");
        else
            Key(edit, Qt::Key_Backspace, "");
        // The two hidden pages' drawings as they would be shown.
        benchmark::DoNotOptimize(views->grab());
        benchmark::DoNotOptimize(cups.Grid()->grab());
    }
    if (app.Document.Workpiece.LengthX == before && added)
        state.SkipWithError("the keystroke changed nothing");
    state.counters["cups"] = app.Document.SuctionCups.Count();
    state.SetLabel("views and suction cup grid painted");
}
BENCHMARK(BM_TypeLengthWithThirtyCups)->Unit(benchmark::kMillisecond)->UseRealTime();

// One mouse move dragging one of n cups placed by hand on a 3 m x 2.4 m plate (second
// argument 1: the views' painting alone, for comparison).
void BM_DragOneCup(benchmark::State& state) {
    TRunning run;
    TVacuumApplication& app = run.App();
    const int side = static_cast<int>(state.range(0));
    app.Input([&] {
        app.Document.Workpiece.LengthX = 3.0;
        app.Document.Workpiece.LengthY = 2.4;
        app.Workpiece.WerkStkSizeChange();
        app.Cups.StrategieChange({cssManual, 1, 1, 0.0, 0.001, 0.001});
        TSaugerList& list = app.Document.SuctionCups;
        list.Resize(side * side);
        for (int i = 0; i < side; ++i)
            for (int j = 0; j < side; ++j)
                list.Sauger(i * side + j)->NominalPos =
                    TVektor(-1.4 + 2.8 * i / (side - 1), -1.1 + 2.2 * j / (side - 1), 1.0);
        app.Cups.Relayout();
    });
    QCoreApplication::processEvents();
    TCupViews* views = run.Positioning().Views();
    const TSauger& cup = *app.Document.SuctionCups.Sauger(side * side / 2);
    const QPointF at = views->ToPixel(cvpXY, cup.Pos.X, cup.Pos.Y);
    Mouse(views, QEvent::MouseButtonPress, at, Qt::LeftButton);
    if (!app.Cups.Dragging()) state.SkipWithError("no cup under the mouse");
    int step = 0;
    const bool paintOnly = state.range(1) != 0;
    for (auto _ : state) {
        if (paintOnly) {
            views->repaint();
            continue;
        }
        // Back and forth over a few pixels, so the cup keeps away from its neighbours.
        const double dx = (step++ % 8) < 4 ? step % 4 : 4 - step % 4;
        Mouse(views, QEvent::MouseMove, at + QPointF(dx, 0), Qt::LeftButton);
        views->repaint();
    }
    Mouse(views, QEvent::MouseButtonRelease, at, Qt::NoButton);
    state.counters["cups"] = app.Document.SuctionCups.Count();
    state.counters["misplaced"] = [&] {
        int n = 0;
        for (int i = 0; i < app.Document.SuctionCups.Count(); ++i)
            n += app.Document.SuctionCups.Sauger(i)->Misplaced;
        return n;
    }();
}
BENCHMARK(BM_DragOneCup)->ArgsProduct({{5, 30}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

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

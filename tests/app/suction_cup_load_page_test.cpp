// The suction cup load page in the main window on the bundled catalogue, walked to as a user
// would: for every example project the bars show at each instant of the slider the load
// ratios the batch design prints for the project, and the normal forces they stand for add
// up to the weight and inertia of the workpiece (the rigid workpiece on equal springs, the
// regularising spring taking its one part in n + 0.001); the player runs the slider on its
// one-second timer by 40 per tick and stops at the end, pause, stop, rewind and forward do
// what their names say, and the timer stops when the page is left; the time curve is refused
// without a vacuum; three cups on a line carry what the lever rule gives them, shown as bars
// of the right colour and height and, for a cup clicked in the views, in the group of its
// forces and position; the maximum values share the largest vertical force among the cups;
// the page fits the window in English and Russian.

#include "app/frame/form_main.h"
#include "app/frame/page_navigator.h"
#include "app/pages/cup_load/suction_cup_load_page.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/page_registry.h"
#include "app/views/cup_views.h"
#include "cli/design.h"
#include "core/data/orsik_connection.h"
#include "core/document/my_project.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"
#include "gui/chart/diagramm.h"
#include "gui/fields/fmu2_panel.h"
#include "tests/app/main_window_harness.h"

#include <cmath>
#include <map>

#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

namespace {

constexpr double kG = 9.80655;
// The regularising spring of the load system, against the unit springs of the cups.
constexpr double kSpring = 0.001;

//! What the batch design of a project prints, by result path.
std::map<QString, QString> BatchDesign(const QString& project) {
    TDesignOptions o;
    o.Project = project.toStdString();
    const TDesignOutcome outcome = RunDesign(o);
    std::map<QString, QString> values;
    if (outcome.Status != 0) return values;
    for (const QString& line : QString::fromStdString(outcome.Out).split('\n')) {
        const int tab = line.indexOf('\t');
        if (tab > 0) values[line.left(tab)] = line.mid(tab + 1);
    }
    return values;
}

bool Near(QColor a, QColor b, int tolerance = 8) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

QString Name(QColor c) {
    return QString("(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

//! The band colour of a ratio, by the thresholds of the legend.
QColor BandOf(double ratio) {
    if (ratio < 0) return QColor(128, 128, 0);
    if (ratio < 0.6) return QColor(0, 255, 0);
    if (ratio <= 0.75) return QColor(0, 128, 0);
    return QColor(255, 0, 0);
}

} // namespace

class SuctionCupLoadPageTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    TSuctionCupLoadPage* Page() const {
        return dynamic_cast<TSuctionCupLoadPage*>(frame->Page(cmpSuctionCupLoad));
    }
    TSaugerList& Cups() const { return app->Document.SuctionCups; }
    TManualTimers::TManualTimer* Timer() const {
        return static_cast<TManualTimers::TManualTimer*>(Page()->PlayerTimer());
    }

    void WalkToLoadPage() { WalkTo(cmpSuctionCupLoad); }
    void OpenOnPage(const QString& file) {
        TMainWindowHarness::OpenOnPage(file, cmpSuctionCupLoad);
    }
    void ClickTab(int tab) {
        QTabBar* bar = Page()->Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        QCoreApplication::processEvents();
    }
    //! The slider moved with the keyboard to `quarters` quarters of the motion.
    void SlideTo(int quarters) {
        QSlider* slider = Page()->Slider();
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Home);
        for (int i = 0; i < quarters; ++i) QTest::keyClick(slider, Qt::Key_PageUp);
        QCoreApplication::processEvents();
    }
    void Press(int button) {
        QTest::mouseClick(Page()->PlayerButton(button), Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    //! Holding force of one cup at the project's vacuum, N.
    double HoldingForce() const {
        return Cups().CupType.Fs07 / 70000.0 * -app->Document.Venturi.Vacuum;
    }
    //! The vertical load on the workpiece at the slider's instant: weight, and for a
    //! linear drive the mass times the acceleration along the direction of motion.
    double VerticalLoad() const {
        const TMyProject& d = app->Document;
        const TDriveType t = d.Drive.Type;
        const bool rotary = t == cdtPneumaticCircular || t == cdtNCCircular;
        const double time = Page()->TimePanel()->Value();
        const double a = rotary ? 0.0 : app->Motion.Sample(time).Acceleration;
        return d.Workpiece.Mass * (kG + a * d.LinearDirectionVector.Z);
    }
    QImage Render(bool transverse) const {
        TDiagramm* chart = Page()->Chart(transverse);
        return chart->Render(chart->size());
    }
    //! The colour most pixels of a small patch have (grid lines cross the bars).
    static QColor Patch(const QImage& image, QPoint at) {
        std::map<QRgb, int> count;
        for (int dx = -2; dx <= 2; ++dx)
            for (int dy = -3; dy <= 3; ++dy) ++count[image.pixel(at + QPoint(dx, dy))];
        QRgb best = 0;
        int most = 0;
        for (const auto& [rgb, n] : count)
            if (n > most) best = rgb, most = n;
        return QColor(best);
    }
    //! Each bar of a chart stands where its ratio puts it in its band's colour: filled from 0
    //! to its height, paper beyond.
    void CheckBars(bool transverse, const std::vector<double>& ratios) {
        TDiagramm* chart = Page()->Chart(transverse);
        const QImage image = Render(transverse);
        QCOMPARE(int(Page()->Bars(transverse).size()), int(ratios.size()));
        for (size_t i = 0; i < ratios.size(); ++i) {
            const double h = ratios[i] * 100.0;
            const int x = chart->ValueToPixelX(i + 0.5);
            const QColor band = BandOf(ratios[i]);
            const int top = chart->ValueToPixelY(h), foot = chart->ValueToPixelY(0.0);
            const QString what = QString("bar %1 ratio %2").arg(i).arg(ratios[i]);
            if (std::abs(top - foot) > 12) {
                const QColor mid = Patch(image, {x, (top + foot) / 2});
                QVERIFY2(Near(mid, band), qPrintable(what + " " + Name(mid)));
            }
            // Just inside the top of the bar its colour, just beyond it none.
            const int inward = top < foot ? 1 : -1;
            if (std::abs(top - foot) > 3)
                QVERIFY2(Near(image.pixelColor(x, top + 2 * inward), band), qPrintable(what));
            QVERIFY2(!Near(image.pixelColor(x, top - 3 * inward), band, 30), qPrintable(what));
            // Between the bars the paper.
            const int gap = chart->ValueToPixelX(i + 0.95);
            QVERIFY2(!Near(image.pixelColor(gap, (top + foot) / 2), band, 30), qPrintable(what));
        }
    }
    //! Lays three cups by hand on the middle line of the workpiece at x = 50, 100 and 150 mm,
    //! as the positioning page's manual positioning would leave them.
    void ThreeCupsOnALine() {
        app->Input([&] {
            TStrategySettings s = app->Cups.StrategySettings();
            s.Strategy = cssManual;
            s.Count1 = 3;
            app->Cups.StrategieChange(s);
            // The new cups stand on the first; the topmost is dragged away first.
            const double xs[] = {0.05, 0.10, 0.15};
            for (int i = 2; i >= 0; --i) {
                app->Cups.MouseDown(cvpXY, 0.0, 0.0, ckNone);
                app->Cups.MouseMove(cvpXY, xs[i] / 2, 0.0, ckNone);
                app->Cups.MouseMove(cvpXY, xs[i], 0.0, ckNone);
                app->Cups.MouseUp();
            }
            Cups().DeselectAll();
            app->Cups.Refresh();
        });
    }
    //! By hand: unit springs at x (on the top face, z0 above the centre) under the vertical
    //! load F at the origin take f = δ − θ·x; the regularising springs k0 = 0.001 hold the
    //! translation and k0·L² the rotation (L the mean distance of the cups from the centre):
    //! (n + k0)·δ − Σx·θ = F and −Σx·δ + (Σx² + k0·L²)·θ = 0.
    static std::vector<double> LeverShares(const std::vector<double>& xs, double z0, double load) {
        double s = 0, q = 0, l = 0;
        for (const double x : xs) s += x, q += x * x, l += std::sqrt(x * x + z0 * z0);
        const double n = static_cast<double>(xs.size());
        l /= n;
        const double q2 = q + kSpring * l * l;
        const double delta = load / (n + kSpring - s * s / q2), theta = s * delta / q2;
        std::vector<double> f;
        for (const double x : xs) f.push_back(delta - theta * x);
        return f;
    }

private slots:
    void init() { Start({.WindowSize = QSize(1280, 1024)}); }
    void cleanup() { Stop(); }

    void everyExampleShowsTheLoadsOfEachInstant() {
        for (const char* example : kExampleProjects) {
            const QString project = ExampleProject(example);
            const std::map<QString, QString> batch = BatchDesign(project);
            QVERIFY2(!batch.empty(), example);
            OpenOnPage(project);
            // The page opens on the maximum values; the tab chosen then stays.
            if (example == kExampleProjects[0])
                QCOMPARE(Page()->Tabs()->currentIndex(), int(TSuctionCupLoadPage::cTabMaximumValues));
            ClickTab(TSuctionCupLoadPage::cTabTimeCurve);
            QCOMPARE(Page()->Tabs()->currentIndex(), int(TSuctionCupLoadPage::cTabTimeCurve));
            const int n = Cups().Count();
            QVERIFY(n >= 1);
            // The examples hold at 0.7 bar: the holding force is the catalogue's.
            QCOMPARE(app->Document.Venturi.Vacuum, -70000.0);
            const double fs = HoldingForce();
            QVERIFY(std::abs(fs - Cups().CupType.Fs07) < 1e-9);

            for (int quarter = 0; quarter <= 4; ++quarter) {
                SlideTo(quarter);
                QCOMPARE(Page()->Slider()->value(), quarter * 250);
                const QString at = QString("suction_cup_loads.slider.%1.").arg(quarter);
                // The time shown is the slider's share of the motion.
                const double time = batch.at(at + "time_s").toDouble();
                QVERIFY(std::abs(Page()->TimePanel()->Value() - time) < 1e-9);
                QVERIFY(std::abs(time - quarter / 4.0 * app->Motion.EndTime()) < 1e-9);

                double normalSum = 0;
                std::vector<double> normal, transverse;
                for (int i = 0; i < n; ++i) {
                    const QStringList pair =
                        batch.at(at + QString("cups_normal_transverse.%1").arg(i)).split(' ');
                    QCOMPARE(pair.size(), 2);
                    normal.push_back(pair[0].toDouble());
                    transverse.push_back(pair[1].toDouble());
                    const TLoadBar& nb = Page()->Bars(false)[static_cast<size_t>(i)];
                    const TLoadBar& tb = Page()->Bars(true)[static_cast<size_t>(i)];
                    QVERIFY2(std::abs(nb.Height - 100 * normal.back()) < 1e-6,
                             qPrintable(QString("%1 cup %2 at %3").arg(example).arg(i).arg(quarter)));
                    QVERIFY(std::abs(tb.Height - 100 * transverse.back()) < 1e-6);
                    // Bar i spans the middle of its slot.
                    QVERIFY(std::abs(nb.X0 - (i + 0.1)) < 1e-12 && std::abs(nb.X1 - (i + 0.9)) < 1e-12);
                    normalSum += nb.Height / 100.0 * fs;
                }
                // The cups together carry the vertical load but for the regularising
                // spring's share.
                const double load = VerticalLoad();
                QVERIFY2(std::abs(normalSum - load * n / (n + kSpring)) < 1e-6 * load,
                         qPrintable(QString("%1: %2 against %3").arg(example).arg(normalSum).arg(load)));
                // Symmetric cups under a vertical load share it equally.
                const TLinearDirection dir = app->Document.Moving.LinearDirection;
                if (app->Document.Drive.Type == cdtPneumaticLinear &&
                    (dir == cldVerticalUp || dir == cldVerticalDown))
                    for (double r : normal)
                        QVERIFY(std::abs(r * fs - load / (n + kSpring)) < 1e-6 * load);
                CheckBars(false, normal);
                CheckBars(true, transverse);
            }
            // The chart spans one slot per cup.
            QCOMPARE(Page()->Chart(false)->XMax(), double(n));
        }
    }

    void theMaximumValuesShareTheLargestVerticalForce() {
        for (const char* example : kExampleProjects) {
            OpenOnPage(ExampleProject(example));
            const int n = Cups().Count();
            const double fs = HoldingForce();
            const TMyProject& d = app->Document;
            const bool vertical = (d.Drive.Type == cdtPneumaticLinear || d.Drive.Type == cdtNCLinear) &&
                                  (d.Moving.LinearDirection == cldVerticalUp ||
                                   d.Moving.LinearDirection == cldVerticalDown);
            const double force = vertical ? app->Forces.Extremes().Fz / n : 0.0;
            const double ratio = force / fs;
            QVERIFY(std::abs(Page()->MaxForce(false)->DisplayText().toDouble() - force) < 6e-4);
            QCOMPARE(Page()->MaxForce(true)->DisplayText().toDouble(), 0.0);
            const QString text = ratio >= 2 ? QString("> 200%")
                                            : QString("%1%").arg(std::lround(ratio * 100));
            QCOMPARE(Page()->MaxText(false)->text(), text);
            QCOMPARE(Page()->MaxText(true)->text(), QString("0%"));
            // The bars: below 1 the first filled to the ratio in lime, the second empty; from
            // 1 on both red, the first full.
            QWidget* bars = Page()->MaxBars(false);
            const QImage image = bars->grab().toImage();
            const int half = (bars->width() - 4) / 2;
            const int y = bars->height() / 2;
            const QColor lime(0, 255, 0), red(255, 0, 0);
            if (ratio < 1) {
                const int end = static_cast<int>(ratio * (half - 2));
                if (end > 4) QVERIFY(Near(image.pixelColor(end / 2, y), lime));
                QVERIFY(!Near(image.pixelColor(end + 3, y), lime, 30));
                QVERIFY(!Near(image.pixelColor(half + 4 + half / 2, y), lime, 30));
            } else {
                QVERIFY(Near(image.pixelColor(half - 3, y), red));
                QVERIFY(Near(image.pixelColor(half + 6, y), red));
            }
            QVERIFY(vertical || ratio == 0.0);
        }
    }

    void thePlayerRunsOnItsTimer() {
        OpenOnPage(ExampleProject("steel_sheet_linear.vac"));
        ClickTab(TSuctionCupLoadPage::cTabTimeCurve);
        QSlider* slider = Page()->Slider();
        QVERIFY(Timer() && !Timer()->Running);
        SlideTo(0);
        Press(TSuctionCupLoadPage::cPlay);
        QVERIFY(Timer()->Running);
        QCOMPARE(Timer()->Interval, 1000);
        QVERIFY(!slider->isEnabled());
        QVERIFY(!Page()->PlayerButton(TSuctionCupLoadPage::cPlay)->isEnabled());
        const double end = app->Motion.EndTime();
        for (int tick = 1; tick <= 3; ++tick) {
            Timer()->Fire();
            QCOMPARE(slider->value(), 40 * tick);
            QVERIFY(std::abs(Page()->TimePanel()->Value() - 0.04 * tick * end) < 1e-9);
        }
        // The bars follow the instant.
        const std::vector<TLoadBar> bars = Page()->Bars(false);
        QVERIFY(std::abs(bars[0].Height / 100 * HoldingForce() - VerticalLoad() / (1 + kSpring)) <
                1e-6 * VerticalLoad());

        // Pause holds the slider and frees it; pause again goes on.
        Press(TSuctionCupLoadPage::cPause);
        QVERIFY(!Timer()->Running);
        QVERIFY(slider->isEnabled());
        Press(TSuctionCupLoadPage::cPause);
        QVERIFY(Timer()->Running);
        QVERIFY(!slider->isEnabled());
        Timer()->Fire();
        QCOMPARE(slider->value(), 160);
        // Stop: timer off, slider free, Play again.
        Press(TSuctionCupLoadPage::cStop);
        QVERIFY(!Timer()->Running);
        QVERIFY(slider->isEnabled());
        QVERIFY(Page()->PlayerButton(TSuctionCupLoadPage::cPlay)->isEnabled());
        QCOMPARE(slider->value(), 160);
        // Forward and rewind stop a running player at the end or the start.
        Press(TSuctionCupLoadPage::cPlay);
        Press(TSuctionCupLoadPage::cForward);
        QVERIFY(!Timer()->Running);
        QCOMPARE(slider->value(), 1000);
        QVERIFY(std::abs(Page()->TimePanel()->Value() - end) < 1e-9);
        QVERIFY(!Page()->PlayerButton(TSuctionCupLoadPage::cPlay)->isEnabled());
        Press(TSuctionCupLoadPage::cRewind);
        QCOMPARE(slider->value(), 0);
        QVERIFY(Page()->PlayerButton(TSuctionCupLoadPage::cPlay)->isEnabled());
        Press(TSuctionCupLoadPage::cPlay);
        Press(TSuctionCupLoadPage::cRewind);
        QVERIFY(!Timer()->Running);
        QVERIFY(slider->isEnabled());

        // From 920 two ticks reach the end, which stops the player.
        for (int i = 0; i < 23; ++i) QTest::keyClick(slider, Qt::Key_Right);
        QCOMPARE(slider->value(), 920);
        Press(TSuctionCupLoadPage::cPlay);
        Timer()->Fire();
        QCOMPARE(slider->value(), 960);
        Timer()->Fire();
        QCOMPARE(slider->value(), 1000);
        QVERIFY(!Timer()->Running);
        QVERIFY(slider->isEnabled());
        QVERIFY(!app->Cups.Playing());

        // Leaving the page stops the replay.
        Press(TSuctionCupLoadPage::cRewind);
        Press(TSuctionCupLoadPage::cPlay);
        QVERIFY(Timer()->Running);
        QTest::mouseClick(frame->Navigator()->PreviousButton(), Qt::LeftButton);
        QCOMPARE(Current(), int(cmpForcesAndMoments));
        QVERIFY(!Timer()->Running);
        QVERIFY(!app->Cups.Playing());
        Next();
        QVERIFY(!Timer()->Running);
        QVERIFY(slider->isEnabled());
    }

    void theTimeCurveIsRefusedWithoutVacuum() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        QVERIFY(Page()->Tabs()->isTabEnabled(TSuctionCupLoadPage::cTabTimeCurve));
        // No required vacuum (a project can hold one; the generator page refuses it).
        app->Document.Venturi.Vacuum = 0;
        QTest::mouseClick(frame->Navigator()->PreviousButton(), Qt::LeftButton);
        Next();
        QCOMPARE(Current(), int(cmpSuctionCupLoad));
        QVERIFY(!Page()->Tabs()->isTabEnabled(TSuctionCupLoadPage::cTabTimeCurve));
        ClickTab(TSuctionCupLoadPage::cTabTimeCurve);
        QCOMPARE(Page()->Tabs()->currentIndex(), int(TSuctionCupLoadPage::cTabMaximumValues));
        // Nor can the program make it current.
        Page()->Tabs()->setCurrentIndex(TSuctionCupLoadPage::cTabTimeCurve);
        QCOMPARE(Page()->Tabs()->currentIndex(), int(TSuctionCupLoadPage::cTabMaximumValues));
        // With the vacuum back, it can be chosen.
        app->Document.Venturi.Vacuum = -70000;
        QTest::mouseClick(frame->Navigator()->PreviousButton(), Qt::LeftButton);
        Next();
        ClickTab(TSuctionCupLoadPage::cTabTimeCurve);
        QCOMPARE(Page()->Tabs()->currentIndex(), int(TSuctionCupLoadPage::cTabTimeCurve));
    }

    void cupsOnALineCarryWhatTheLeverRuleGives() {
        Open(ExampleProject("steel_sheet_linear.vac"));
        Next();
        QCOMPARE(Current(), int(cmpPositioning));
        ThreeCupsOnALine();
        QCOMPARE(Cups().Count(), 3);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(std::abs(Cups().Sauger(i)->Pos.X - 0.05 * (i + 1)) < 1e-12);
            QCOMPARE(Cups().Sauger(i)->Pos.Y, 0.0);
        }
        QVERIFY(!Cups().AnyMisplaced());
        WalkToLoadPage();
        ClickTab(TSuctionCupLoadPage::cTabTimeCurve);
        const std::vector<double> xs{0.05, 0.10, 0.15};
        // At the start the lift accelerates upwards: the nearest cup over 75 %, the middle one
        // light, the farthest pressed onto the workpiece; a quarter later, slower, the nearest
        // 60 to 75 %.
        const std::vector<QColor> expected[2] = {
            {QColor(255, 0, 0), QColor(0, 255, 0), QColor(128, 128, 0)},
            {QColor(0, 128, 0), QColor(0, 255, 0), QColor(128, 128, 0)}};
        for (int quarter = 0; quarter <= 1; ++quarter) {
            SlideTo(quarter);
            const std::vector<double> f = LeverShares(xs, 0.001, VerticalLoad());
            std::vector<double> ratios;
            for (int i = 0; i < 3; ++i) {
                ratios.push_back(f[static_cast<size_t>(i)] / HoldingForce());
                const double shown = Page()->Bars(false)[static_cast<size_t>(i)].Height / 100;
                // The regularising spring aside.
                QVERIFY2(std::abs(shown - ratios.back()) < 1e-6 * std::abs(ratios[0]),
                         qPrintable(QString("cup %1: %2 against %3").arg(i).arg(shown).arg(ratios.back())));
                QCOMPARE(BandOf(ratios.back()), expected[quarter][static_cast<size_t>(i)]);
            }
            CheckBars(false, ratios);
            // Nothing pulls sideways, but a cup pulled beyond its holding force has no
            // friction left: its transverse ratio cannot be computed and reads 5.
            std::vector<double> sideways;
            for (const double r : ratios) sideways.push_back(r < 1 ? 0.0 : 5.0);
            QCOMPARE(sideways[0], quarter == 0 ? 5.0 : 0.0);
            CheckBars(true, sideways);
        }

        // A click on the first cup in the top view selects it: its forces and position show
        // and its bars get the mark at their foot.
        SlideTo(0);
        QVERIFY(!Page()->ForcesGroup()->isVisible());
        TCupViews* views = Page()->Views();
        const QPoint cup = views->ToPixel(cvpXY, 0.05, 0.0).toPoint();
        QTest::mouseClick(views, Qt::LeftButton, {}, cup);
        QCoreApplication::processEvents();
        QVERIFY(Page()->ForcesGroup()->isVisible());
        QCOMPARE(Page()->CupNumber()->text(), QString("1"));
        QCOMPARE(Page()->CupPanel(0)->DisplayText().toDouble(), 50.0);
        QCOMPARE(Page()->CupPanel(1)->DisplayText().toDouble(), 0.0);
        // On the top face of the 2 mm sheet.
        QCOMPARE(Page()->CupPanel(2)->DisplayText().toDouble(), 1.0);
        QCOMPARE(Page()->CupPanel(0)->UnitButton()->text(), QString("mm"));
        const double f0 = LeverShares(xs, 0.001, VerticalLoad())[0];
        QVERIFY(std::abs(Page()->CupPanel(3)->DisplayText().toDouble() - f0) < 6e-4);
        QVERIFY(std::abs(Page()->CupPanel(4)->DisplayText().toDouble()) < 1e-3);
        QCOMPARE(Page()->CupPanel(3)->UnitButton()->text(), QString("N"));
        const double r0 = f0 / HoldingForce();
        QCOMPARE(Page()->NormalRatioText()->text(),
                 r0 > 3 ? QString("> 300 %") : QString("%1 %").arg(std::lround(r0 * 100)));
        QVERIFY(r0 > 1);
        QCOMPARE(Page()->TransverseRatioText()->text(), QString("> 300 %"));
        for (const bool transverse : {false, true}) {
            TDiagramm* chart = Page()->Chart(transverse);
            const QImage image = Render(transverse);
            const int foot = chart->ValueToPixelY(0.0);
            const int x0 = chart->ValueToPixelX(0.5), x1 = chart->ValueToPixelX(1.5);
            // The white of the circle's inside, its red ring; none at the second bar.
            QVERIFY(Near(image.pixelColor(x0, foot), TSuctionCupLoadPage::cMarkFill, 30));
            bool ring = false;
            for (int dy = -5; dy <= 5; ++dy)
                ring = ring || Near(image.pixelColor(x0 + TSuctionCupLoadPage::cMarkRadius, foot + dy),
                                    TSuctionCupLoadPage::cMarkPen, 60);
            QVERIFY(ring);
            QVERIFY(!Near(image.pixelColor(x1 + TSuctionCupLoadPage::cMarkRadius, foot),
                          TSuctionCupLoadPage::cMarkPen, 60));
        }
        // Another instant: the group follows.
        SlideTo(1);
        const double f1 = LeverShares(xs, 0.001, VerticalLoad())[0];
        QVERIFY(std::abs(Page()->CupPanel(3)->DisplayText().toDouble() - f1) < 6e-4);
        QVERIFY(std::abs(f1 - f0) > 1.0);
        QCOMPARE(Page()->TransverseRatioText()->text(), QString("0 %"));
    }

    void thePageFitsTheWindowInEnglishAndRussian() {
        Open(ExampleProject("steel_sheet_linear.vac"));
        Next();
        ThreeCupsOnALine();
        WalkToLoadPage();
        QTest::mouseClick(Page()->Views(), Qt::LeftButton, {},
                          Page()->Views()->ToPixel(cvpXY, 0.05, 0.0).toPoint());
        QVERIFY(Page()->ForcesGroup()->isVisible());
        for (const char* language : {"en", "ru"}) {
            frame->SetLanguage(language);
            for (int tab : {0, 1}) {
                ClickTab(tab);
                for (QSize size : {QSize(1024, 768), QSize(1280, 1024), QSize(1600, 1200)}) {
                    frame->resize(size);
                    QCoreApplication::processEvents();
                    CheckInsideAndWhole(Page()->Widget(), Page()->Widget(), language);
                    // The views and charts take the room the values leave.
                    QVERIFY(Page()->Views()->height() > size.height() / (tab ? 5 : 3));
                    if (tab) QVERIFY(Page()->Chart(false)->height() > size.height() / 5);
                    SavePicture("VACUUM_LOOK_DIR", frame.get(),
                                QString("cup_load_%1_%2_%3")
                                    .arg(language)
                                    .arg(tab)
                                    .arg(size.width()));
                }
            }
        }
        // The texts of the page in Russian.
        frame->SetLanguage("ru");
        QCoreApplication::processEvents();
        QCOMPARE(Page()->Tabs()->tabText(0), QString("Максимальные значения"));
        QCOMPARE(qobject_cast<QLabel*>(Page()->LabelOf(Page()->CupPanel(3)))->text(),
                 QString("Нормальная сила"));
        QCOMPARE(Page()->Chart(false)->YUnit(), QString("Нормальная нагрузка [%]"));
    }
};

QTEST_MAIN(SuctionCupLoadPageTest)
#include "suction_cup_load_page_test.moc"

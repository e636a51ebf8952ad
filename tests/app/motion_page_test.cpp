// The motion page in the main window on the bundled catalogue, driven as a user would: every
// example walked to the page shows the masses and moments of inertia the batch design
// computes for it (and they add up as the page's own panels say); the servo axis shows the
// profile worked out by hand from its limits and follows typed limits and its options;
// the tabs and the direction switch the motion and the charts follow; the animation runs
// only while the page is current, driven by the fake timer, along the profile; the charts
// draw the curve, the entered limits and the pneumatic spread where the laws put them; and
// the page fits the window at two sizes in English and Russian.

#include "app/frame/form_main.h"
#include "app/frame/page_navigator.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/motion/motion_page.h"
#include "app/pages/page_registry.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"
#include "gui/chart/diagramm.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "tests/app/main_window_harness.h"

#include <cmath>
#include <functional>
#include <numbers>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

namespace {

constexpr double kPi = std::numbers::pi;

// The project as the batch design computes it: accepted, opened as a recent file and walked
// forward through every page, without a window.
std::unique_ptr<TVacuumApplication> BatchDesign(const QString& file) {
    auto app =
        std::make_unique<TVacuumApplication>(TOrsikConnection::ProgramFolder() + "/Vacuum.dat");
    app->SetLanguage("en");
    app->Input([&] { app->Workflow.ButtonAcceptClick(); });
    const auto loaded =
        app->Input([&] { return app->Workflow.OpenRecentFile(file.toStdString()); });
    if (!loaded || !loaded->Ok()) return nullptr;
    if (app->WalkTo(cmpPartsList) != -1) return nullptr;
    return app;
}

// Any of the pixels within 2 of `at` passes `test`.
bool Near(const QImage& image, QPoint at, const std::function<bool(QColor)>& test) {
    for (int dx = -2; dx <= 2; ++dx)
        for (int dy = -2; dy <= 2; ++dy)
            if (image.rect().contains(at + QPoint(dx, dy)) &&
                test(image.pixelColor(at + QPoint(dx, dy))))
                return true;
    return false;
}

bool Navy(QColor c) {
    return c.blue() > 90 && c.red() < 60 && c.green() < 60;
}
bool Red(QColor c) {
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

} // namespace

class MotionPageTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    TMotionPage* Page() const { return dynamic_cast<TMotionPage*>(frame->Page(cmpMotion)); }

    void OpenOnPage(const QString& file) { TMainWindowHarness::OpenOnPage(file, cmpMotion); }
    // The page's animation timer: the one ticking at its interval.
    TManualTimers::TManualTimer* AnimationTimer() const {
        for (TManualTimers::TManualTimer* t : timers.Made)
            if (t->Interval == TMotionPage::cAnimationIntervalMs) return t;
        return nullptr;
    }

private slots:
    void init() { Start({.WindowSize = QSize(1024, 768)}); }
    void cleanup() { Stop(); }

    void everyExampleShowsTheMassesOfTheBatchDesign() {
        for (const char* name : kExampleProjects) {
            const QString file = ExampleProject(name);
            OpenOnPage(file);
            const auto batch = BatchDesign(file);
            QVERIFY2(batch, name);
            TMotionPage* p = Page();
            QCOMPARE(app->Document.Drive.Type, batch->Document.Drive.Type);
            // What the batch design prints as moving_mass_kg, shown to the gram.
            QCOMPARE(ShownValue(p->MovingMassPanel()),
                     std::round(batch->Motion.MovingMass() * 1000.0) / 1000.0);
            QCOMPARE(p->WorkpieceMassPanel()->Value(), batch->Document.Workpiece.Mass);
            QCOMPARE(p->CupsMassPanel()->Value(), batch->Document.SuctionCups.TotalMass());
            // The moved mass is what the panels above it add up to, with the holder.
            QVERIFY(std::abs(p->MovingMassPanel()->Value() -
                             (p->WorkpieceMassPanel()->Value() + p->CupsMassPanel()->Value() +
                              p->HolderMassField()->Value())) < 1e-12);
            const bool rotary = batch->Document.Drive.Type == cdtPneumaticCircular ||
                                batch->Document.Drive.Type == cdtNCCircular;
            QCOMPARE(p->AngleField()->isVisible(), rotary);
            QCOMPARE(p->TravelField()->isVisible(), !rotary);
            if (rotary) {
                QCOMPARE(p->TotalInertiaPanel()->Value(), batch->Document.TotalMomentOfInertia);
                // R²·m by hand, and the total as holder + cups + workpiece about the axis.
                const double r = p->LeverField()->Value();
                QVERIFY(std::abs(p->WorkpieceLeverInertiaPanel()->Value() -
                                 r * r * p->WorkpieceMassPanel()->Value()) < 1e-12);
                QVERIFY(
                    std::abs(p->TotalInertiaPanel()->Value() -
                             (p->HolderInertiaField()->Value() + p->CupsInertiaPanel()->Value() +
                              p->WorkpieceAxisInertiaPanel()->Value())) < 1e-12);
            }
        }
    }

    // The servo example: L = 0.8 m, V = 1 m/s, A = −D = 5 m/s², J = 50 m/s³. By hand:
    // T1 = A/J = 0.1 s, J·T1² = 0.5 < V so T2 = V/A − T1 = 0.1 s; the ramps take
    // 5·(0.01 + 0.015 + 0.005) = 0.15 m each, the 0.5 m between at 1 m/s take 0.5 s:
    // tE = 6·0.1 + 0.5 = 1.1 s.
    void theServoAxisShowsItsProfileWorkedOutByHand() {
        OpenOnPage(ExampleProject("aluminium_block_servo.vac"));
        const TMotionPage::TAxisControls& c = Page()->Axis(0);
        QVERIFY(c.Box->isVisible());
        QVERIFY(!Page()->Axis(1).Box->isVisible());
        QVERIFY(c.JerkLimited->isChecked());
        QVERIFY(c.Jerk->isVisible());
        QCOMPARE(ShownValue(c.ReachedAcceleration), 5.0);
        QCOMPARE(ShownValue(c.ReachedDeceleration), -5.0);
        QCOMPARE(ShownValue(c.ReachedSpeed), 1.0);
        QCOMPARE(ShownValue(c.ReachedTime), 1.1);
        QVERIFY(Page()->Chart(TMotionPage::cchJerk)->isVisible());
        // Tab walks each switch before the limits it governs, top to bottom.
        c.JerkLimited->setFocus(Qt::TabFocusReason);
        for (QWidget* next : std::initializer_list<QWidget*>{
                 c.Jerk->Edit(), c.SeparateDeceleration, c.Acceleration->Edit(),
                 c.Deceleration->Edit(), c.Speed->Edit()}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }

        // Without the jerk limit: ramps of 0.2 s over 0.1 m each, 0.6 m at 1 m/s: 1 s.
        Tick(c.JerkLimited);
        QVERIFY(!app->Document.Drive.NCLinearMove.JerkLimited());
        QVERIFY(!c.Jerk->isVisible());
        QVERIFY(!Page()->Chart(TMotionPage::cchJerk)->isVisible());
        QCOMPARE(ShownValue(c.ReachedTime), 1.0);
        // 3 m/s is out of reach on 0.8 m: a triangle, T = √(2·0.8/5/2) = 0.4 s each way,
        // V' = 2 m/s, tE = 0.8 s.
        Type(c.Speed, "3");
        QCOMPARE(ShownValue(c.ReachedSpeed), 2.0);
        QCOMPARE(ShownValue(c.ReachedTime), 0.8);
        QCOMPARE(Page()->Chart(TMotionPage::cchVelocity)->XMax(), 0.8);
        // The deceleration mirrors the acceleration while "Acceleration +/-" is off.
        Tick(c.SeparateDeceleration);
        QVERIFY(c.Deceleration->ReadOnly());
        Type(c.Acceleration, "2");
        QCOMPARE(app->Document.Drive.NCLinearMove.AccNeg(), -2.0);
        QCOMPARE(c.Deceleration->Value(), -2.0);
        // The travel of the page is the servo axis' travel: 0.2 m at 2 m/s² and 3 m/s is
        // a triangle of √(0.2/2)·2 = 0.632 s.
        Type(Page()->TravelField(), "200");
        QCOMPARE(app->Document.Drive.NCLinearMove.Length(), 0.2);
        QVERIFY(std::abs(c.ReachedTime->Value() - 2.0 * std::sqrt(0.1)) < 1e-9);
    }

    void theTabsAndTheDirectionSwitchTheMotionAndTheChartsFollow() {
        // Four cups: every direction is offered.
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        QVERIFY(app->Document.SuctionCups.Count() > 2);
        TMotionPage* p = Page();
        QCOMPARE(p->MotionTabs()->currentIndex(), 1);
        QCOMPARE(p->Chart(TMotionPage::cchPosition)->YMeasurement(), cUM_deg);
        QCOMPARE(p->Chart(TMotionPage::cchPosition)->YMax(), 90.0);
        QCOMPARE(p->Chart(TMotionPage::cchPosition)->XMax(),
                 app->Document.Drive.PneumaticCircular.Time);

        // Linear: the stroke and its direction; the position chart in mm up to the travel.
        QTest::mouseClick(p->MotionTabs(), Qt::LeftButton, {},
                          p->MotionTabs()->tabRect(0).center());
        QCOMPARE(app->Document.Drive.Type, cdtPneumaticLinear);
        QVERIFY(p->TravelField()->isVisible());
        QVERIFY(!p->AngleField()->isVisible());
        QVERIFY(!p->Animation()->Rotary());
        QCOMPARE(p->Chart(TMotionPage::cchPosition)->YMeasurement(), cUM_mm);
        QCOMPARE(p->Chart(TMotionPage::cchPosition)->YMax(),
                 app->Document.Moving.LinearTravel * 1000.0);
        for (int d = 0; d < 4; ++d)
            QVERIFY(p->DirectionButton(static_cast<TLinearDirection>(d))->isEnabled());
        QTest::mouseClick(p->DirectionButton(cldHorizontalY), Qt::LeftButton);
        QCOMPARE(app->Document.Moving.LinearDirection, cldHorizontalY);
        QCOMPARE(app->Document.LinearDirectionVector.Y, 1.0);
        QCOMPARE(p->Animation()->Direction(), cldHorizontalY);

        // Servo: the axis box, its charts up to its limits and its end time.
        QTest::mouseClick(p->DriveTabs(), Qt::LeftButton, {}, p->DriveTabs()->tabRect(1).center());
        QCOMPARE(app->Document.Drive.Type, cdtNCLinear);
        QVERIFY(p->Axis(0).Box->isVisible());
        const TMovement& m = app->Document.Drive.NCLinearMove;
        QCOMPARE(p->Chart(TMotionPage::cchVelocity)->YMax(), m.Vmax());
        QCOMPARE(p->Chart(TMotionPage::cchAcceleration)->YMin(), 1.2 * m.AccNeg());
        QCOMPARE(p->Chart(TMotionPage::cchAcceleration)->XMax(), m.EndTime());
        QCOMPARE(p->Chart(TMotionPage::cchAcceleration)->Curves(), 3);
        // Rotary servo: the rotary box, the angle in degrees.
        QTest::mouseClick(p->MotionTabs(), Qt::LeftButton, {},
                          p->MotionTabs()->tabRect(1).center());
        QCOMPARE(app->Document.Drive.Type, cdtNCCircular);
        QVERIFY(p->Axis(1).Box->isVisible() && !p->Axis(0).Box->isVisible());
        QCOMPARE(p->Chart(TMotionPage::cchPosition)->YMax(),
                 app->Document.Drive.NCCircularMove.Length() * 180.0 / kPi);

        // An invalid travel locks the tabs and the navigator until it is corrected.
        QTest::mouseClick(p->MotionTabs(), Qt::LeftButton, {},
                          p->MotionTabs()->tabRect(0).center());
        Type(p->TravelField(), "6000");
        QVERIFY(!p->TravelField()->Valid());
        QVERIFY(!p->MotionTabs()->isEnabled() && !p->DriveTabs()->isEnabled());
        QVERIFY(!frame->Navigator()->NextButton()->isEnabled());
        Type(p->TravelField(), "300");
        QVERIFY(p->MotionTabs()->isEnabled());
        QVERIFY(frame->Navigator()->NextButton()->isEnabled());
        // A travel of 0 is refused on leaving, with the focus on the field.
        Type(p->TravelField(), "0");
        Next();
        QCOMPARE(Current(), int(cmpMotion));
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Text, QString("Travel"));
        QVERIFY(p->TravelField()->Edit()->hasFocus());
    }

    void fewCupsOfferOnlyTheVerticalDirections() {
        OpenOnPage(ExampleProject("steel_sheet_linear.vac"));
        const bool more = app->Document.SuctionCups.Count() > 2;
        QCOMPARE(Page()->DirectionButton(cldHorizontalX)->isEnabled(), more);
        QCOMPARE(Page()->DirectionButton(cldHorizontalY)->isEnabled(), more);
        QVERIFY(Page()->DirectionButton(cldVerticalUp)->isEnabled());
        QVERIFY(Page()->DirectionButton(cldVerticalDown)->isEnabled());
        QVERIFY(Page()->DirectionButton(cldVerticalUp)->isChecked());
    }

    // The servo example's way by hand: at 0.6 s the ramp's 0.15 m and 0.3 s at 1 m/s make
    // 0.45 m of 0.8 m.
    void theAnimationRunsOnlyWhileThePageIsCurrent() {
        Open(ExampleProject("aluminium_block_servo.vac"));
        for (int i = cmpWorkpiece; i < cmpVenturi; ++i) Next();
        TManualTimers::TManualTimer* timer = AnimationTimer();
        QVERIFY(!Page()->AnimationRuns());
        QVERIFY(!timer || !timer->Running);
        Next();
        QCOMPARE(Current(), int(cmpMotion));
        timer = AnimationTimer();
        QVERIFY(timer && timer->Running);
        QVERIFY(Page()->AnimationRuns());
        for (int i = 0; i < 15; ++i) timer->Fire();
        QVERIFY(std::abs(Page()->AnimationTime() - 0.6) < 1e-9);
        QVERIFY(std::abs(Page()->Animation()->Fraction() - 0.45 / 0.8) < 1e-9);
        // The workpiece is drawn where that share of the way lies.
        const QPointF start = Page()->Animation()->WorkpieceCentre(0.0);
        const QPointF end = Page()->Animation()->WorkpieceCentre(1.0);
        const QPointF at = Page()->Animation()->WorkpieceCentre(0.5625);
        QVERIFY(std::abs(at.x() - (start.x() + 0.5625 * (end.x() - start.x()))) < 1e-9);
        // To the end of the way (1.1 s), the rest, then back: at 1.1 + 0.4 + 0.1 s the
        // return has done the first 0.1 s ramp, 1/6 of its 0.15 m.
        for (int i = 0; i < 25; ++i) timer->Fire();
        QVERIFY(std::abs(Page()->Animation()->Fraction() - (1.0 - 50.0 * 0.001 / 6.0 / 0.8)) <
                1e-9);
        const QImage still = Page()->Animation()->grab().toImage();

        // Another page stops it; coming back starts it again.
        Next();
        QCOMPARE(Current(), int(cmpDrive));
        QVERIFY(!timer->Running);
        QVERIFY(!Page()->AnimationRuns());
        const double stopped = Page()->AnimationTime();
        timer->Fire();
        QCOMPARE(Page()->AnimationTime(), stopped);
        QTest::mouseClick(frame->Navigator()->PreviousButton(), Qt::LeftButton);
        QCOMPARE(Current(), int(cmpMotion));
        QVERIFY(timer->Running);
        for (int i = 0; i < 15; ++i) timer->Fire();
        const double t = Page()->AnimationTime();
        QVERIFY(t > 1.5);
        const TMovement& m = app->Document.Drive.NCLinearMove;
        QVERIFY(std::abs(Page()->Animation()->Fraction() -
                         (1.0 - m.PositionAt(t - 1.1 - TMotionPage::cAnimationRest) / 0.8)) < 1e-9);
        QVERIFY(Page()->Animation()->grab().toImage() != still);
    }

    void theChartsDrawCurvesLimitsAndSpreadWhereTheLawsPutThem() {
        // Servo: the travel at 0.6 s is 450 mm (by hand above) in navy, the stroke of 800 mm
        // a red line, and far from both there is paper.
        OpenOnPage(ExampleProject("aluminium_block_servo.vac"));
        TDiagramm* s = Page()->Chart(TMotionPage::cchPosition);
        QCOMPARE(s->YMax(), 800.0);
        QImage image = s->Render(s->size());
        QVERIFY(Near(image, {s->ValueToPixelX(0.6), s->ValueToPixelY(450.0)}, Navy));
        QVERIFY(!Near(image, {s->ValueToPixelX(0.6), s->ValueToPixelY(450.0)}, Red));
        QVERIFY(Near(image, {s->ValueToPixelX(0.15), s->ValueToPixelY(800.0)}, Red));
        QVERIFY(!Near(image, {s->ValueToPixelX(0.15), s->ValueToPixelY(450.0)}, Navy));
        // The acceleration holds A = 5 m/s² in the second phase (0.1 to 0.2 s) on its red
        // limit and is 0 while the speed is constant.
        TDiagramm* a = Page()->Chart(TMotionPage::cchAcceleration);
        image = a->Render(a->size());
        QVERIFY(Near(image, {a->ValueToPixelX(0.55), a->ValueToPixelY(0.0)}, Navy));
        QVERIFY(Near(image, {a->ValueToPixelX(0.5), a->ValueToPixelY(-5.0)}, Red));
        QVERIFY(!Near(image, {a->ValueToPixelX(0.55), a->ValueToPixelY(3.0)}, Navy));

        // Pneumatic stroke: v = 1.25·0.25 m / 1 s = 0.3125 m/s on an axis up to 1.2·v.
        // At 0.13 s (u = 0.91) the curve is at 0.3125·(1 − 0.545²) = 0.22 m/s and the
        // spread from 0.375·(0.8 − 0.8·0.297 − 0.2·0.99) = 0.137 to
        // 0.375·(0.8 − 0.8·0.297 + 0.3·0.99) = 0.322 m/s: at 0.28 m/s only the band.
        OpenOnPage(ExampleProject("steel_sheet_linear.vac"));
        TDiagramm* v = Page()->Chart(TMotionPage::cchVelocity);
        QCOMPARE(v->YMax(), 1.2 * 0.3125);
        image = v->Render(v->size());
        QCOMPARE(image.pixelColor(v->ValueToPixelX(0.13), v->ValueToPixelY(0.28)),
                 TMotionPage::cBand);
        QVERIFY(Near(
            image, {v->ValueToPixelX(0.13), v->ValueToPixelY(0.3125 * (1 - 0.545 * 0.545))}, Navy));
        // In the middle units there is no band: at 0.5 s above the plateau only paper.
        QVERIFY(image.pixelColor(v->ValueToPixelX(0.53), v->ValueToPixelY(0.35)) !=
                TMotionPage::cBand);
        QVERIFY(Near(image, {v->ValueToPixelX(0.5), v->ValueToPixelY(0.3125)}, Navy));
        // The schematic values are the page's own: curve 0 at 0.5 s is the plateau.
        double y = 0.0;
        QVERIFY(Page()->ChartValue(TMotionPage::cchVelocity, 0, 0.5, y));
        QCOMPARE(y, 0.3125);
        QVERIFY(!Page()->ChartValue(TMotionPage::cchJerk, 0, 0.5, y));
        if (const QByteArray dir = qgetenv("VACUUM_SHOT_DIR"); !dir.isEmpty())
            frame->grab().save(QString::fromUtf8(dir) + "/motion_charts.png");
    }

    void thePageFitsTheWindowInEnglishAndRussian() {
        for (const char* name : {"glass_plate_rotary.vac", "aluminium_block_servo.vac"}) {
            OpenOnPage(ExampleProject(name));
            // The rotary servo axis shows the most fields.
            if (QString(name).contains("servo")) {
                QTest::mouseClick(Page()->MotionTabs(), Qt::LeftButton, {},
                                  Page()->MotionTabs()->tabRect(1).center());
                QCOMPARE(app->Document.Drive.Type, cdtNCCircular);
            }
            InEachLanguageAndSize({"en", "ru"},
                                  {QSize(1024, 768), QSize(1280, 1024), QSize(1600, 1200)},
                                  [&](const char* language, QSize size) {
                CheckInsideAndWhole(Page()->Widget(), Page()->Widget(), language,
                                    {.Labels = TFitRules::flWidth});
                // The charts take the room that is left.
                const TDiagramm* chart = Page()->Chart(TMotionPage::cchVelocity);
                QVERIFY(chart->height() >= 150);
                QVERIFY(chart->width() >= 150);
                SavePicture("VACUUM_SHOT_DIR", frame.get(),
                            QString("motion_page_%1_%2_%3")
                                .arg(QString(name).section('.', 0, 0), language)
                                .arg(size.width()));
            });
            frame->SetLanguage("en");
        }
    }
};

QTEST_MAIN(MotionPageTest)
#include "motion_page_test.moc"

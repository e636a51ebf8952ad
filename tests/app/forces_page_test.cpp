// The forces-and-moments page in the main window on the bundled catalogue: every example
// project is walked to the page as a user would, and the panels show the largest forces and
// the moments worked out by hand from the workpiece mass and the drive's accelerations (the
// envelope of accelerating, braking and centripetal accelerations plus gravity), which are
// also what the batch design prints for the project; the total force is shown for a
// vertical linear motion only; a motion input recomputes the page; a click into the chart
// recomputes it; the chart draws each force in its legend colour where the physics puts it;
// the page follows the language and fits the window in English and Russian.

#include "app/frame/form_main.h"
#include "app/frame/page_navigator.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/forces/forces_page.h"
#include "app/pages/page_registry.h"
#include "cli/design.h"
#include "core/algebra/vektor.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"
#include "gui/chart/diagramm.h"
#include "gui/fields/fmu2_panel.h"
#include "tests/app/main_window_harness.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include <QFrame>
#include <QLabel>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>

namespace {

constexpr double kG = 9.80655;

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
std::vector<double> Numbers(const QString& text) {
    std::vector<double> v;
    for (const QString& n : text.split(' ', Qt::SkipEmptyParts)) v.push_back(n.toDouble());
    return v;
}

//! The largest forces by hand: every acceleration the drive gives the workpiece (a linear
//! drive along its direction forwards and braking, a swivel tangentially along X forwards and
//! braking and centripetally along Y), with gravity carried on Z and rest among them.
struct THandForces {
    double X = 0, Y = 0, Z = 0, Total = 0;
};
THandForces HandForces(bool rotary, const std::array<double, 3>& p, const TVektor& d, double m) {
    std::vector<std::array<double, 3>> cases;
    if (rotary)
        cases = {{p[0], 0, 0}, {-p[1], 0, 0}, {0, p[2], 0}};
    else
        cases = {{d.X * p[0], d.Y * p[0], d.Z * p[0]}, {-d.X * p[1], -d.Y * p[1], -d.Z * p[1]}};
    std::array<double, 3> lo{0, 0, 0}, hi{0, 0, 0};
    for (const auto& c : cases)
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], c[i]);
            hi[i] = std::max(hi[i], c[i]);
        }
    lo[2] += kG;
    hi[2] += kG;
    for (int i = 0; i < 3; ++i) {
        lo[i] = std::min(lo[i], 0.0);
        hi[i] = std::max(hi[i], 0.0);
    }
    const auto length = [](const std::array<double, 3>& v) {
        return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    };
    return {m * std::max(-lo[0], hi[0]), m * std::max(-lo[1], hi[1]), m * hi[2],
            m * std::max(length(lo), length(hi))};
}

bool Near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue()) <
           60;
}

} // namespace

class ForcesPageTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    TForcesPage* Page() const {
        return dynamic_cast<TForcesPage*>(frame->Page(cmpForcesAndMoments));
    }

    void OpenOnPage(const QString& file) {
        TMainWindowHarness::OpenOnPage(file, cmpForcesAndMoments);
    }
    bool Rotary() const {
        const TDriveType t = app->Document.Drive.Type;
        return t == cdtPneumaticCircular || t == cdtNCCircular;
    }
    std::array<double, 3> Accelerations() const {
        return app->Document.MotionResults[static_cast<size_t>(app->Document.Drive.Type)];
    }
    THandForces Expected() const {
        return HandForces(Rotary(), Accelerations(), app->Document.LinearDirectionVector,
                          app->Document.Workpiece.Mass);
    }
    //! The panels show the forces (to their three decimals).
    void CompareForces(const THandForces& f) {
        QVERIFY2(std::abs(ShownValue(Page()->ForcePanel(0)) - f.X) < 6e-4,
                 qPrintable(Page()->ForcePanel(0)->DisplayText()));
        QVERIFY2(std::abs(ShownValue(Page()->ForcePanel(1)) - f.Y) < 6e-4,
                 qPrintable(Page()->ForcePanel(1)->DisplayText()));
        QVERIFY2(std::abs(ShownValue(Page()->ForcePanel(2)) - f.Z) < 6e-4,
                 qPrintable(Page()->ForcePanel(2)->DisplayText()));
        QVERIFY2(std::abs(ShownValue(Page()->ForcePanel(3)) - f.Total) < 6e-4,
                 qPrintable(Page()->ForcePanel(3)->DisplayText()));
    }

private slots:
    void init() { Start(); }
    void cleanup() { Stop(); }

    void everyExampleShowsItsForcesAndMoments() {
        for (const char* example : kExampleProjects) {
            const QString project = ExampleProject(example);
            const std::map<QString, QString> batch = BatchDesign(project);
            QVERIFY2(!batch.empty(), example);
            OpenOnPage(project);
            // The moments below assume the load acts at the workpiece centre.
            const TVektor c = app->Document.Workpiece.MassCenter;
            QCOMPARE(c.X * c.X + c.Y * c.Y + c.Z * c.Z, 0.0);

            const THandForces f = Expected();
            CompareForces(f);
            // The batch design computes the same for the project.
            const std::vector<double> xyz = Numbers(batch.at("forces.force_xyz_N"));
            QCOMPARE(xyz.size(), size_t(3));
            QVERIFY(std::abs(xyz[0] - f.X) < 1e-6 && std::abs(xyz[1] - f.Y) < 1e-6 &&
                    std::abs(xyz[2] - f.Z) < 1e-6);
            QVERIFY(std::abs(batch.at("forces.total_force_N").toDouble() - f.Total) < 1e-6);

            // Moments: a swivel's own inertia Jz times its angular acceleration, which a
            // swivel gives as the larger tangential acceleration over the lever; a linear
            // motion with the load at the centre has none.
            std::array<double, 3> m{0, 0, 0};
            const double jz = app->Document.Workpiece.MomentOfInertiaZ;
            const double lever = app->Document.Moving.CircularLever;
            const std::array<double, 3> p = Accelerations();
            if (Rotary()) m[2] = lever > 0 ? jz * std::max(p[0], p[1]) / lever : 0.0;
            const std::vector<double> batchMoments =
                Numbers(batch.at("forces.moments_yz_xz_xy_N_m"));
            for (int i = 0; i < 3; ++i) {
                QVERIFY2(std::abs(ShownValue(Page()->MomentPanel(i)) - m[i]) < 6e-4,
                         qPrintable(Page()->MomentPanel(i)->DisplayText()));
                QVERIFY(std::abs(batchMoments[i] - m[i]) < 1e-6);
                QCOMPARE(Page()->MomentPanel(i)->UnitButton()->text(), QString("Nm"));
            }
            QCOMPARE(Page()->ForcePanel(2)->UnitButton()->text(), QString("N"));

            // The total force and its legend only for a linear motion up or down.
            const TLinearDirection d = app->Document.Moving.LinearDirection;
            const bool total = !Rotary() && (d == cldVerticalUp || d == cldVerticalDown);
            QCOMPARE(batch.at("forces.total_force_shown"), QString(total ? "true" : "false"));
            QCOMPARE(Page()->ForcePanel(3)->isVisible(), total);
            QCOMPARE(Page()->LegendSign(3)->isVisible(), total);
            QCOMPARE(Page()->ChartSeries(), total ? 4 : 3);
            for (int s = 0; s < 3; ++s) QVERIFY(Page()->LegendSign(s)->isVisible());

            // The chart spans the motion time and 1.2 times the extreme forces.
            TDiagramm* chart = Page()->Chart();
            QCOMPARE(chart->XMin(), 0.0);
            QVERIFY(chart->XMax() > 0.0);
            QVERIFY(chart->YMax() >= 1.2 * f.Z - 1e-9);
            QVERIFY(chart->YMin() <= 0.0);
        }
        // Back on an earlier page and forward again shows the same.
        QTest::mouseClick(frame->Navigator()->PreviousButton(), Qt::LeftButton);
        Next();
        CompareForces(Expected());
    }

    void aMotionInputAndAClickIntoTheChartRecompute() {
        OpenOnPage(ExampleProject("steel_sheet_linear.vac"));
        const double before = ShownValue(Page()->ForcePanel(3));
        // A longer stroke in the same time is faster: the cushioning brakes harder, which
        // the total force of the lift shows at once.
        const double travel = app->Document.Moving.LinearTravel;
        app->Input([&] { app->Motion.SpinEditLinWegChange(travel * 2.0); });
        QCoreApplication::processEvents();
        CompareForces(Expected());
        QVERIFY(ShownValue(Page()->ForcePanel(3)) > before + 1.0);
        app->Input([&] { app->Motion.SpinEditLinWegChange(travel); });
        QCoreApplication::processEvents();
        QVERIFY(std::abs(ShownValue(Page()->ForcePanel(3)) - before) < 1e-9);

        // Accelerations changed behind the page's back show only after a recalculation,
        // which a click into the chart starts.
        auto& p = app->Document.MotionResults[static_cast<size_t>(app->Document.Drive.Type)];
        const auto stored = p;
        p[0] *= 3.0;
        const THandForces f = Expected();
        QVERIFY(std::abs(ShownValue(Page()->ForcePanel(2)) - f.Z) > 1e-3);
        QTest::mouseClick(Page()->Chart(), Qt::LeftButton, {}, Page()->Chart()->rect().center());
        QCoreApplication::processEvents();
        CompareForces(f);
        // Only the left button.
        p = stored;
        QTest::mouseClick(Page()->Chart(), Qt::RightButton, {}, Page()->Chart()->rect().center());
        CompareForces(f);
        QTest::mouseClick(Page()->Chart(), Qt::LeftButton, {}, Page()->Chart()->rect().center());
        CompareForces(Expected());
    }

    void theChartDrawsEachForceWhereThePhysicsPutsIt() {
        for (const char* example : {"glass_plate_rotary.vac", "steel_sheet_linear.vac"}) {
            OpenOnPage(ExampleProject(example));
            frame->resize(1280, 1024);
            QCoreApplication::processEvents();
            TDiagramm* chart = Page()->Chart();
            const QImage image = chart->Render(chart->size());
            const auto near = [&](QPoint at, QColor color) {
                for (int dx = -2; dx <= 2; ++dx)
                    for (int dy = -2; dy <= 2; ++dy)
                        if (image.rect().contains(at + QPoint(dx, dy)) &&
                            Near(image.pixelColor(at + QPoint(dx, dy)), color))
                            return true;
                return false;
            };
            const QColor navy(0, 0, 128), green(0, 128, 0), maroon(128, 0, 0), red(255, 0, 0);
            QCOMPARE(TForcesPage::SeriesColor(0), navy);
            QCOMPARE(TForcesPage::SeriesColor(1), green);
            QCOMPARE(TForcesPage::SeriesColor(2), maroon);
            QCOMPARE(TForcesPage::SeriesColor(3), red);
            // Each legend sign is filled with its series' colour.
            for (int s = 0; s < 4; ++s)
                QCOMPARE(Page()->LegendSign(s)->palette().color(QPalette::Window),
                         TForcesPage::SeriesColor(s));

            // Halfway through its time a pneumatic drive runs at top speed: no acceleration
            // along the path, the weight m·g on Z; a swivel's centripetal m·ω²·R on Y, which
            // is the centripetal acceleration the drive reports.
            const double m = app->Document.Workpiece.Mass;
            const int x = chart->ValueToPixelX(chart->XMax() / 2.0);
            const auto row = [&](double force) { return chart->ValueToPixelY(force); };
            if (Rotary()) {
                QVERIFY(near({x, row(m * kG)}, maroon));
                QVERIFY(near({x, row(m * Accelerations()[2])}, green));
                QVERIFY(near({x, row(0.0)}, navy));
                // No total force anywhere.
                for (int px = 0; px < image.width(); ++px)
                    for (int py = 0; py < image.height(); ++py)
                        QVERIFY(!Near(image.pixelColor(px, py), red));
            } else {
                // Up or down: the total is the weight too, drawn over Z.
                QVERIFY(near({x, row(m * kG)}, red));
                QVERIFY(near({x, row(0.0)}, navy) || near({x, row(0.0)}, green));
            }
            // Far from every curve, only paper and grid.
            const QPoint empty(x, row(chart->YMax() * 0.9));
            for (const QColor c : {navy, green, maroon, red}) QVERIFY(!near(empty, c));
            QVERIFY(row(chart->YMax() * 0.9) < row(m * kG) - 10);
            if (const QByteArray dir = qgetenv("VACUUM_SHOT_DIR"); !dir.isEmpty())
                image.save(QString("%1/forces_chart_%2.png").arg(QString::fromUtf8(dir), example));
        }
    }

    void thePageFollowsTheLanguage() {
        OpenOnPage(ExampleProject("steel_sheet_linear.vac"));
        frame->SetLanguage("ru");
        QCoreApplication::processEvents();
        QCOMPARE(Page()->findChild<QLabel*>("LabelKraftX")->text(), QString("Сила X"));
        QCOMPARE(Page()->findChild<QLabel*>("LabelKraftGes")->text(), QString("Суммарная сила"));
        QCOMPARE(Page()->Chart()->YUnit(), QString("Сила [%s]"));
        QCOMPARE(Page()->Chart()->XUnit(), QString("Время [%s]"));
        frame->SetLanguage("de");
        QCoreApplication::processEvents();
        QCOMPARE(Page()->Chart()->YUnit(), QString("Kraft [%s]"));
        QVERIFY(Page()
                    ->findChild<QLabel*>("LabelForcesHelp")
                    ->text()
                    .startsWith(QString::fromStdString(
                        app->Language.TranslateDisplay("~HelpForcesIntro"))));
    }

    void thePageFitsTheWindowInEnglishAndRussian() {
        OpenOnPage(ExampleProject("steel_sheet_linear.vac"));
        InEachLanguageAndSize({"en", "ru"},
                              {QSize(1024, 768), QSize(1280, 1024), QSize(1600, 1200)},
                              [&](const char* language, QSize size) {
            QWidget* page = Page()->Widget();
            CheckInsideAndWhole(page, page, language);
            // The chart takes the room the values leave.
            QVERIFY(Page()->Chart()->height() > size.height() / 3);
            QVERIFY(Page()->Chart()->width() > page->width() - 20);
            SavePicture("VACUUM_SHOT_DIR", frame.get(),
                        QString("forces_page_%1_%2").arg(language).arg(size.width()));
        });
    }
};

QTEST_MAIN(ForcesPageTest)
#include "forces_page_test.moc"

// The drive page in the main window on the bundled catalogue, driven as a user would: the
// examples show the drive values of the batch design and of hand calculations from the
// catalogue's cylinder and actuator rows, with the mark whether the actuator can move and
// stop the load; the cylinder list, the 20-30 % choice, the pressure and the two time and
// speed modes change what is shown; the shock absorbers load their bars as worked out by
// hand, in the colours of the bars; the swivel's absorber lever is checked on leaving; a
// servo axis shows its note; and the page fits the window at two sizes in two languages.

#include "app/frame/form_main.h"
#include "app/frame/page_navigator.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/drive/drive_page.h"
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
#include <numbers>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStackedWidget>
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

// The rows of the catalogue's cylinder source: shown diameter, force at 6 bar, rated mass.
struct TCylinderRow {
    QString Shown;
    double Diameter, Force, Mass;
};
std::vector<TCylinderRow> CylinderRows() {
    std::vector<TCylinderRow> rows;
    QFile f(QString(VACUUM_SOURCE_DIR) + "/catalog/product/cylinder_force.tsv");
    if (!f.open(QIODevice::ReadOnly)) return rows;
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList c = lines[i].split('\t');
        rows.push_back({c[1], c[0].toDouble(), c[2].toDouble(), c[3].toDouble()});
    }
    return rows;
}
const TCylinderRow* Cylinder(const QString& shown) {
    static const std::vector<TCylinderRow> rows = CylinderRows();
    for (const TCylinderRow& r : rows)
        if (r.Shown == shown) return &r;
    return nullptr;
}

bool Lime(QColor c) {
    return c == TRatingBars::cGood;
}

constexpr double kGravity = 9.80655;

} // namespace

class DrivePageTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    TDrivePage* Page() const { return dynamic_cast<TDrivePage*>(frame->Page(cmpDrive)); }

    void OpenOnPage(const QString& file) { TMainWindowHarness::OpenOnPage(file, cmpDrive); }
    QString VerdictText() const { return Page()->Verdict()->text(); }

private slots:
    void init() { Start({.WindowSize = QSize(1024, 768)}); }
    void cleanup() { Stop(); }

    void theExamplesShowTheDriveValuesOfTheBatchDesign() {
        // The steel sheet: the 6 mm cylinder's 17 N at 6 bar, v = 1.25·0.25 m / 1 s, braking
        // on a fixed stop of 0.6 mm with the safety factor 2.
        OpenOnPage(ExampleProject("steel_sheet_linear.vac"));
        auto batch = BatchDesign(ExampleProject("steel_sheet_linear.vac"));
        QVERIFY(batch);
        QCOMPARE(Page()->Views()->currentIndex(), int(TDrivePage::cdvLinear));
        const TDrivePage::TLinearControls& l = Page()->Linear();
        const TLinearDriveResult& b = batch->Drive.Linear();
        QCOMPARE(l.Cylinders->currentText(), QString("6 mm"));
        QCOMPARE(l.PistonForce->Value(), Cylinder("6 mm")->Force);
        QCOMPARE(l.PistonForce->Value(), b.PistonForce);
        QCOMPARE(l.Speed->Value(), 1.25 * 0.25 / 1.0);
        QCOMPARE(l.BrakingDistance->Value(), 0.0006);
        const double ab = 0.3125 * 0.3125 / (2 * 0.0006) * 2.0;
        QVERIFY(std::abs(l.BrakingAcceleration->Value() - ab) < 1e-9);
        QCOMPARE(l.BrakingAcceleration->Value(), b.BrakingAcceleration);
        QVERIFY(std::abs(l.InertiaForce->Value() - ab * batch->Document.Workpiece.Mass) < 1e-9);
        QCOMPARE(l.Acceleration->Value(), b.Acceleration);
        QCOMPARE(l.MovingMass->Value(), batch->Motion.MovingMass());
        QCOMPARE(l.BrakingCaption->text(), QString("Fixed stop (P)"));
        // 17 N cannot lift the sheet straight up, and 0.43 kg is the 6 mm cylinder's rating.
        const double m = batch->Motion.MovingMass();
        QVERIFY(17.0 < m * kGravity && m > Cylinder("6 mm")->Mass);
        QCOMPARE(VerdictText(), QString("The actuator cannot move the load.\nThe actuator cannot "
                                        "stop the load safely."));
        QCOMPARE(Page()->Verdict()->palette().color(QPalette::WindowText), TDrivePage::cVerdictBad);

        // The glass plate: RA-32-90 with 9.73 N·m, ω = 2·(π/2)/1 s, braking on its 8°.
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        batch = BatchDesign(ExampleProject("glass_plate_rotary.vac"));
        QVERIFY(batch);
        QCOMPARE(Page()->Views()->currentIndex(), int(TDrivePage::cdvRotary));
        const TDrivePage::TRotaryControls& r = Page()->Rotary();
        const TRotaryDriveResult& br = batch->Drive.Rotary();
        QCOMPARE(r.Actuators->currentText(), QString("RA-32-90"));
        QCOMPARE(r.Torque->Value(), 9.73);
        QCOMPARE(r.Speed->Value(), kPi);
        QCOMPARE(r.Speed->DisplayText(), QString("180"));
        QVERIFY(std::abs(r.BrakingAngle->Value() - 8.0 * kPi / 180.0) < 1e-12);
        const double abr = kPi * kPi / (2 * 8.0 * kPi / 180.0) * 2.0 * 0.3;
        QVERIFY(std::abs(r.BrakingAcceleration->Value() - abr) < 1e-9);
        QVERIFY(std::abs(r.Centripetal->Value() - kPi * kPi * 0.3) < 1e-9);
        QCOMPARE(r.BrakingAcceleration->Value(), br.BrakingAcceleration);
        QCOMPARE(r.Acceleration->Value(), br.Acceleration);
        QCOMPARE(r.InertiaForce->Value(), br.InertiaForce);
        QCOMPARE(r.Inertia->Value(), batch->Document.TotalMomentOfInertia);
        // Offered are the actuators of the catalogue's source that turn 90° (within their
        // range or at a fixed angle) and take the moment of inertia; RA-32-90 takes 0.413.
        const double J = batch->Document.TotalMomentOfInertia;
        QStringList offered;
        QFile source(QString(VACUUM_SOURCE_DIR) + "/catalog/product/rotary_cylinders.tsv");
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(source.readAll()).split('\n', Qt::SkipEmptyParts);
        for (int i = 1; i < lines.size(); ++i) {
            const QStringList c = lines[i].split('\t');
            const bool turns = (c[2].toDouble() <= 90 && 90 <= c[3].toDouble()) ||
                               c[4].toDouble() == 90 || c[5].toDouble() == 90 ||
                               c[6].toDouble() == 90;
            if (turns && c[8].toDouble() >= J) offered << c[0];
        }
        QStringList shown;
        for (int i = 0; i < r.Actuators->count(); ++i) shown << r.Actuators->itemText(i);
        QCOMPARE(shown, offered);
        QVERIFY(J <= 0.413);
        QCOMPARE(VerdictText(), QString("The actuator can move and stop the load."));

        // The servo example: the note, no check.
        OpenOnPage(ExampleProject("aluminium_block_servo.vac"));
        QCOMPARE(Page()->Views()->currentIndex(), int(TDrivePage::cdvServo));
        QVERIFY(Page()->ServoNote()->isVisible());
        QCOMPARE(Page()->ServoNote()->text(),
                 QString("A servo axis follows its programmed profile; it needs no sizing here."));
        QVERIFY(!Page()->Verdict()->isVisible());
    }

    void theCylinderThePressureAndTheAutomaticChoiceChangeTheSizing() {
        OpenOnPage(ExampleProject("steel_sheet_linear.vac"));
        const TDrivePage::TLinearControls& l = Page()->Linear();
        Choose(l.Cylinders, "32 mm");
        QCOMPARE(app->Document.Drive.PneumaticLinear.CylinderDiameter, 0.032);
        QCOMPARE(l.PistonForce->Value(), Cylinder("32 mm")->Force);
        QCOMPARE(VerdictText(), QString("The actuator can move and stop the load."));
        Type(l.Pressure, "3");
        QVERIFY(std::abs(l.PistonForce->Value() - Cylinder("32 mm")->Force / 2.0) < 1e-9);
        // 20-30 %: the first cylinder rated for the moving mass, shown instead of the list.
        Tick(l.Automatic);
        QVERIFY(app->Document.Drive.PneumaticLinear.AutomaticCylinderSelection);
        QVERIFY(l.Diameter->isVisible() && !l.Cylinders->isVisible());
        const double m = l.MovingMass->Value();
        const std::vector<TCylinderRow> rows = CylinderRows();
        double diameter = 0.0;
        for (const TCylinderRow& r : rows)
            if (diameter == 0.0 && r.Mass >= m) diameter = r.Diameter;
        QCOMPARE(l.Diameter->Value(), diameter);
        Tick(l.Automatic);
        QVERIFY(l.Cylinders->isVisible());
    }

    void theTimeAndTheSpeedAreEnteredInTwoModes() {
        OpenOnPage(ExampleProject("steel_sheet_linear.vac"));
        const TDrivePage::TLinearControls& l = Page()->Linear();
        QVERIFY(l.Calculate->isChecked());
        QVERIFY(l.Speed->ReadOnly() && !l.Time->ReadOnly());
        // k = 1.25 above 0.1 m: v = 1.25·0.25/0.5.
        Type(l.Time, "0.5");
        QCOMPARE(l.Speed->Value(), 0.625);
        QTest::mouseClick(l.Known, Qt::LeftButton, {}, QPoint(8, l.Known->height() / 2));
        QVERIFY(!app->Document.Drive.PneumaticLinear.CalculateSpeed);
        QVERIFY(l.Time->ReadOnly() && !l.Speed->ReadOnly());
        Type(l.Speed, "0.25");
        QCOMPARE(l.Time->Value(), 1.25);
        // A shorter stroke on the motion page: 40 mm has k = 2, t = 2·0.04/0.25.
        app->Input([&] { app->Motion.SpinEditLinWegChange(0.04); });
        QCOMPARE(l.Time->Value(), 0.32);
        QCOMPARE(l.Travel->Value(), 0.04);
        // The rotary one: ω = 2φ/t in degrees per second.
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        const TDrivePage::TRotaryControls& r = Page()->Rotary();
        Type(r.Time, "0.5");
        QCOMPARE(r.Speed->DisplayText(), QString("360"));
    }

    void theShockAbsorbersLoadTheirBars() {
        OpenOnPage(ExampleProject("steel_sheet_linear.vac"));
        const TDrivePage::TLinearControls& l = Page()->Linear();
        Choose(l.Cylinders, "32 mm");
        QVERIFY(!l.AbsorberBox->isVisible());
        Tick(l.UseAbsorber);
        QVERIFY(app->Document.Drive.PneumaticLinear.UseQdr);
        QVERIFY(l.AbsorberBox->isVisible());
        Choose(l.Absorbers, "SA-QA-M12-10");
        QCOMPARE(QString::fromStdString(app->Document.Drive.PneumaticLinear.QdrOrderCode),
                 QString("SA-QA-M12-10"));
        // One oil absorber, 10 mm stroke, 8.55 J, 23,100 J/h, 1070 N: it takes ½·m·v² and
        // the piston force over its stroke, once per 0.25 m / 0.3125 m/s = 0.8 s.
        const double m = l.MovingMass->Value(), v = 0.3125, F = Cylinder("32 mm")->Force;
        const double W = 0.5 * m * v * v + F * 0.01;
        QVERIFY(std::abs(l.Loads[0]->Value() - W) < 1e-9);
        QVERIFY(std::abs(l.Bars[0]->Bar().FirstPercent - W / 8.55 * 100.0) < 1e-9);
        QVERIFY(std::abs(l.Bars[1]->Bar().FirstPercent - 3600.0 * W / 0.8 / 23100.0 * 100.0) <
                1e-9);
        QVERIFY(std::abs(l.Bars[2]->Bar().FirstPercent - F / 1070.0 * 100.0) < 1e-9);
        QCOMPARE(l.BrakingDistance->Value(), 0.01);
        QCOMPARE(l.BrakingCaption->text(), QString("Shock absorber"));
        QCOMPARE(VerdictText(), QString("The actuator can move and stop the load."));
        // The first bar drawn in lime to its share, the second empty.
        TRatingBars* force = l.Bars[2];
        QImage image = force->grab().toImage();
        const QRect first = force->FirstRect(), second = force->SecondRect();
        const double share = F / 1070.0;
        QVERIFY(Lime(
            image.pixelColor(first.left() + int(first.width() * share / 2), first.center().y())));
        QVERIFY(!Lime(image.pixelColor(first.left() + int(first.width() * (share + 1) / 2),
                                       first.center().y())));
        QCOMPARE(image.pixelColor(second.center()), force->palette().color(QPalette::Base));

        // An elastomer buffer of 85.5 N: 482.5 N is more than twice that.
        Choose(l.Absorbers, "SA-QE-M6-4");
        QVERIFY(force->Bar().Overloaded);
        QCOMPARE(QString::fromStdString(force->Bar().SecondText), QString("> 200%"));
        image = force->grab().toImage();
        QCOMPARE(image.pixelColor(first.center()), TRatingBars::cOver);
        QCOMPARE(image.pixelColor(second.center()), TRatingBars::cOver);
        QCOMPARE(VerdictText(), QString("The actuator cannot stop the load safely."));
        // The energy is the kinetic part only: ½·m·v².
        QVERIFY(std::abs(l.Loads[0]->Value() - 0.5 * m * v * v) < 1e-12);
        // Six share the force: 80.4 N each, below 85.5 N.
        Type(l.AbsorberCount, "6");
        QCOMPARE(app->Document.Drive.PneumaticLinear.QdrCount, 6);
        QVERIFY(std::abs(l.Loads[2]->Value() - F / 6.0) < 1e-9);
        QVERIFY(!force->Bar().Overloaded);
    }

    void theSwivelsAbsorberLeverIsCheckedOnLeaving() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        const TDrivePage::TRotaryControls& r = Page()->Rotary();
        Tick(r.UseAbsorber);
        QVERIFY(app->Document.Drive.PneumaticCircular.UseQdr);
        QVERIFY(r.AbsorberBox->isVisible());
        QVERIFY(!r.BarsBox->isVisible());
        messages.Shown.clear();
        Next();
        QCOMPARE(Current(), int(cmpDrive));
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Text, QString("Shock absorber lever arm"));
        QVERIFY(r.Radius->Edit()->hasFocus());
        // 100 mm: the equivalent mass J/n/rA² of one absorber.
        Type(r.Radius, "100");
        QCOMPARE(app->Drive.AbsorberRadius(), 0.1);
        const double J = app->Document.TotalMomentOfInertia;
        QVERIFY(std::abs(r.EquivalentMass->Value() - J / 1.0 / 0.01) < 1e-9);
        QVERIFY(!r.BarsBox->isVisible());
        Choose(r.Absorbers, "SA-QA-M10-8");
        QVERIFY(r.BarsBox->isVisible());
        // Braking over the 8 mm stroke at 100 mm: 0.08 rad.
        QVERIFY(std::abs(r.BrakingAngle->Value() - 0.08) < 1e-12);
        Next();
        QCOMPARE(Current(), int(cmpForcesAndMoments));
    }

    void thePageFitsTheWindowInEnglishAndRussian() {
        for (const char* name : {"steel_sheet_linear.vac", "glass_plate_rotary.vac"}) {
            OpenOnPage(ExampleProject(name));
            QCheckBox* use = Page()->Views()->currentIndex() == TDrivePage::cdvLinear
                                 ? Page()->Linear().UseAbsorber
                                 : Page()->Rotary().UseAbsorber;
            Tick(use);
            if (Page()->Views()->currentIndex() == TDrivePage::cdvRotary) {
                Type(Page()->Rotary().Radius, "100");
                Choose(Page()->Rotary().Absorbers, "SA-QA-M10-8");
            } else {
                Choose(Page()->Linear().Absorbers, "SA-QA-M12-10");
            }
            InEachLanguageAndSize({"en", "ru"},
                                  {QSize(1024, 768), QSize(1280, 1024), QSize(1600, 1200)},
                                  [&](const char* language, QSize size) {
                SavePicture("VACUUM_SHOT_DIR", frame.get(),
                            QString("drive_page_%1_%2_%3")
                                .arg(QString(name).section('.', 0, 0), language)
                                .arg(size.width()));
                CheckInsideAndWhole(Page()->Widget(), Page()->Widget(), language);
            });
            frame->SetLanguage("en");
        }
    }
};

QTEST_MAIN(DrivePageTest)
#include "drive_page_test.moc"

// The positioning page in the main window on the bundled catalogue, driven as a user would:
// the strategy list shows the fields its strategy uses, typed counts lay the cups out where
// the pitch of a field puts them, manual positioning drags a cup that snaps onto the grid and
// the top face and shifts the loads by the lever rule, cups dragged onto each other turn grey
// with the collision warning, strategies other than manual refuse the mouse, the views show
// the workpiece, its centre of gravity and the cups in their colours, and the page fits the
// window in English and Russian.

#include "app/frame/form_main.h"
#include "app/frame/page_navigator.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/page_registry.h"
#include "app/pages/positioning/positioning_page.h"
#include "app/views/cup_views.h"
#include "core/data/orsik_connection.h"
#include "core/document/my_project.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "tests/app/main_window_harness.h"

#include <cmath>

#include <QComboBox>
#include <QToolButton>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QtTest>

namespace {

constexpr double g = 9.80655;

// Colours within a little of each other (antialiased edges aside, fills are exact).
bool Near(QColor a, QColor b, int tolerance = 8) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// Whether a pixel next to p (within one pixel) has the colour: for thin antialiased lines.
bool NearAround(const QImage& image, QPoint p, QColor colour, int tolerance = 40) {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (Near(image.pixelColor(p + QPoint(dx, dy)), colour, tolerance)) return true;
    return false;
}

QString Name(QColor c) {
    return QString("(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

} // namespace

class PositioningPageTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    TPositioningPage* Page() const {
        return dynamic_cast<TPositioningPage*>(frame->Page(cmpPositioning));
    }
    TCupViews* Views() const { return Page()->Views(); }
    TSaugerList& Cups() const { return app->Document.SuctionCups; }

    void OpenOnPage(const char* example) {
        TMainWindowHarness::OpenOnPage(ExampleProject(example), cmpPositioning);
    }
    // Chooses a strategy with the keyboard, as a user stepping through the list.
    void ChooseStrategy(int strategy) {
        QComboBox* list = Page()->StrategyList();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < strategy; ++i) QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentIndex(), strategy);
        QCOMPARE(Cups().StrategyType(), strategy);
        // The page lays out the groups the strategy shows before the user goes on.
        QCoreApplication::processEvents();
    }
    // The text typed and confirmed with the return key.
    void Type(TFMU2SpinEdit* field, const QString& text) {
        TMainWindowHarness::Type(field, text);
        QTest::keyClick(field->Edit(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    // A radio button takes a click on its round indicator or its text, not beyond.
    void ClickRadio(QRadioButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
        QCoreApplication::processEvents();
    }
    bool RowShown(QWidget* field) const {
        QWidget* label = Page()->LabelOf(field);
        return field->isVisible() && label && label->isVisible();
    }
    QString LabelText(QWidget* field) const {
        auto* label = qobject_cast<QLabel*>(Page()->LabelOf(field));
        return label ? label->text() : QString();
    }
    QPoint PixelOf(TCupViewPlane plane, const TVektor& p) const {
        const double u = plane == cvpYZ ? p.Y : p.X;
        const double v = plane == cvpXY ? p.Y : p.Z;
        return Views()->ToPixel(plane, u, v).toPoint();
    }
    QImage Shot() const { return Views()->grab().toImage(); }
    // A point of the lip ring of cup i seen from above, clear of its holder.
    QPoint OnLip(int i) const {
        const TSauger& c = *Cups().Sauger(i);
        TVektor p = c.Pos;
        // Halfway between the holder and the lip's twelve corners.
        p.X += (Cups().CupType.HolderDiameter / 2 + 0.9 * Cups().CupType.RadiusLong) / 2;
        return PixelOf(cvpXY, p);
    }

private slots:
    void init() { Start(); }
    void cleanup() { Stop(); }

    void theStrategyShowsTheFieldsItUses() {
        OpenOnPage("glass_plate_rotary.vac");
        // The example's corners: no count, distances but no grid.
        QCOMPARE(Page()->StrategyList()->currentText(), QString("Rectangular (corners)"));
        QVERIFY(!RowShown(Page()->Count1()) && !RowShown(Page()->Count2()) &&
                !RowShown(Page()->Angle()));
        QVERIFY(Page()->DistanceGroup()->isVisible() && !Page()->GridGroup()->isVisible());
        QCOMPARE(Cups().Count(), 4);

        ChooseStrategy(cssArea);
        QVERIFY(RowShown(Page()->Count1()) && RowShown(Page()->Count2()));
        QCOMPARE(LabelText(Page()->Count1()), QString("Quantity X"));
        QCOMPARE(LabelText(Page()->Count2()), QString("Quantity Y"));
        QVERIFY(!RowShown(Page()->Angle()));

        ChooseStrategy(cssCircumference);
        QCOMPARE(LabelText(Page()->Count1()), QString("Count"));
        QVERIFY(RowShown(Page()->Angle()) && !RowShown(Page()->Count2()));
        QCOMPARE(LabelText(Page()->Angle()), QString("Angle"));

        ChooseStrategy(cssOneInCentre);
        QVERIFY(!RowShown(Page()->Spacing()) && RowShown(Page()->EdgeDistance()));
        QCOMPARE(Cups().Count(), 1);

        // Manual positioning: the grid instead of the distances, unlocked to begin with;
        // the grid length shows for a Cartesian grid, the angle only for a polar one.
        ChooseStrategy(cssManual);
        QVERIFY(Page()->GridGroup()->isVisible() && !Page()->DistanceGroup()->isVisible());
        QVERIFY(Page()->GridButton(csgNone)->isChecked());
        QVERIFY(!RowShown(Page()->GridLength()) && !RowShown(Page()->GridAngle()));
        ClickRadio(Page()->GridButton(csgCartesian));
        QCOMPARE(int(Cups().GridType()), int(csgCartesian));
        QVERIFY(RowShown(Page()->GridLength()) && !RowShown(Page()->GridAngle()));
        ClickRadio(Page()->GridButton(csgPolar));
        QVERIFY(RowShown(Page()->GridLength()) && RowShown(Page()->GridAngle()));
        QVERIFY(Page()->MouseHint()->isVisible());
        // A bar's cups sit on its faces: their axes cannot be tilted.
        QVERIFY(!Page()->TiltHint()->isVisible());
        app->Input([&] { app->Workpiece.SetShape(cwsMassKnown); });
        QVERIFY(Page()->TiltHint()->isVisible());
        app->Input([&] { app->Workpiece.SetShape(cwsBar); });

        // Any other strategy unlocks the grid again.
        ChooseStrategy(cssAtBothEnds);
        QCOMPARE(int(Cups().GridType()), int(csgNone));
        QVERIFY(!Page()->MouseHint()->isVisible());

        // The labels follow the language.
        ChooseStrategy(cssArea);
        frame->SetLanguage("ru");
        QCoreApplication::processEvents();
        QCOMPARE(LabelText(Page()->Count1()), QString::fromUtf8("Количество по X"));
        QCOMPARE(Page()->StrategyList()->currentText(), QString::fromUtf8("Прямоугольно (площадь)"));
    }

    void typedCountsLayTheCupsOutOnAField() {
        OpenOnPage("glass_plate_rotary.vac");
        ChooseStrategy(cssArea);
        Type(Page()->Count1(), "3");
        Type(Page()->Count2(), "2");
        Type(Page()->EdgeDistance(), "10");
        QCOMPARE(Cups().Count(), 6);
        // The 0.5 m x 0.4 m plate: pitches (W - 2(r + e)) / (n - 1) about the centre, with
        // the chosen cup's long radius r and the edge distance e = 10 mm, on the top face.
        const double r = Cups().CupType.RadiusLong;
        QVERIFY(r > 0.005);
        const double px = (0.5 - 2 * (r + 0.01)) / 2, py = (0.4 - 2 * (r + 0.01)) / 1;
        const QImage shot = Shot();
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 2; ++j) {
                const TSauger& c = *Cups().Sauger(i * 2 + j);
                QVERIFY(std::fabs(c.Pos.X - px * (i - 1)) < 1e-12);
                QVERIFY(std::fabs(c.Pos.Y - py * (j - 0.5)) < 1e-12);
                QVERIFY(std::fabs(c.Pos.Z - 0.002) < 1e-12);
                // Each is drawn where it sits, in the colour of its load.
                const QColor shown = shot.pixelColor(OnLip(i * 2 + j));
                QVERIFY2(Near(shown, TCupViews::BandColor(app->Cups.CupBand(i * 2 + j))),
                         qPrintable(Name(shown)));
            }
        // Six cups share the weight of the plate about equally: each well below its force.
        for (int i = 0; i < 6; ++i) QCOMPARE(app->Cups.CupBand(i), clbOptimal);
        QVERIFY(!Page()->CollisionLabel()->isVisible());
        QVERIFY(!Page()->UnsolvablePanel()->isVisible());
    }

    void theViewsShowTheWorkpieceAndItsCentreOfGravity() {
        OpenOnPage("aluminium_block_servo.vac");
        const QImage shot = Shot();
        const TVektor half(app->Document.Workpiece.LengthX / 2, app->Document.Workpiece.LengthY / 2,
                           app->Document.Workpiece.LengthZ / 2);
        // One scale: the block's X is as long in the views from above and from the front,
        // its Y from above as its Y from the side, its Z from the front as from the side.
        const double s = Views()->Scale();
        QVERIFY(s > 0);
        const QPointF a = Views()->ToPixel(cvpXY, half.X, 0), b = Views()->ToPixel(cvpXY, -half.X, 0);
        const QPointF c = Views()->ToPixel(cvpXZ, half.X, 0), d = Views()->ToPixel(cvpXZ, -half.X, 0);
        QVERIFY(std::fabs((a.x() - b.x()) - (c.x() - d.x())) < 1e-9);
        QVERIFY(std::fabs((a.x() - b.x()) - 2 * half.X * s) < 1e-9);
        const QPointF e = Views()->ToPixel(cvpXZ, 0, half.Z), f = Views()->ToPixel(cvpYZ, 0, half.Z);
        QVERIFY(std::fabs(e.y() - f.y()) < 1e-9);
        // Each view lies inside the widget; XY above XZ, YZ beside XZ.
        for (TCupViewPlane plane : {cvpXY, cvpXZ, cvpYZ})
            QVERIFY(Views()->rect().contains(Views()->ViewRect(plane)));
        QVERIFY(Views()->ViewRect(cvpXY).bottom() < Views()->ViewRect(cvpXZ).top());
        QVERIFY(Views()->ViewRect(cvpXZ).right() < Views()->ViewRect(cvpYZ).left());

        // The block is yellow inside its outline near its corner, white paper outside it.
        for (TCupViewPlane plane : {cvpXY, cvpXZ, cvpYZ}) {
            const double hu = plane == cvpYZ ? half.Y : half.X;
            const double hv = plane == cvpXY ? half.Y : half.Z;
            const QPoint inside = Views()->ToPixel(plane, -0.9 * hu, -0.8 * hv).toPoint();
            const QPoint outside = Views()->ToPixel(plane, -hu, -hv).toPoint() + QPoint(-3, 3);
            QVERIFY2(Near(shot.pixelColor(inside), TCupViews::cWorkpiece),
                     qPrintable(Name(shot.pixelColor(inside))));
            QVERIFY2(Near(shot.pixelColor(outside), TCupViews::cPaper),
                     qPrintable(Name(shot.pixelColor(outside))));
            // The centre of gravity: a red circle of 5 pixels about the origin.
            const QPoint o = Views()->ToPixel(plane, 0, 0).toPoint();
            for (QPoint ring : {QPoint(TCupViews::cCentreRadius, 0), QPoint(0, -TCupViews::cCentreRadius),
                                QPoint(-TCupViews::cCentreRadius, 0)})
                QVERIFY2(NearAround(shot, o + ring, TCupViews::cCentre),
                         qPrintable(Name(shot.pixelColor(o + ring))));
        }

        // A centre of gravity off the centre: the block stays about its centre, the circle
        // goes where the load acts.
        app->Document.Workpiece.MassCenter = TVektor(0.3 * half.X, 0, 0);
        Views()->Reload();
        const QImage moved = Shot();
        const QPoint gravity = Views()->ToPixel(cvpXY, 0.3 * half.X, 0).toPoint();
        QVERIFY(NearAround(moved, gravity + QPoint(TCupViews::cCentreRadius, 0), TCupViews::cCentre));
        QVERIFY(!NearAround(moved, Views()->ToPixel(cvpXY, 0, 0).toPoint() +
                                       QPoint(-TCupViews::cCentreRadius, 0),
                            TCupViews::cCentre));
        const QPoint edge = Views()->ToPixel(cvpXY, -0.97 * half.X, -0.8 * half.Y).toPoint();
        QVERIFY2(Near(moved.pixelColor(edge), TCupViews::cWorkpiece), qPrintable(Name(moved.pixelColor(edge))));
    }

    void draggingACupSnapsItAndShiftsTheLoads() {
        OpenOnPage("glass_plate_rotary.vac");
        ChooseStrategy(cssManual);
        Type(Page()->Count1(), "2");
        QCOMPARE(Cups().Count(), 2);
        // Two cups where the corners left them would share one place: lay them out at both
        // ends first, then switch to manual, which keeps them.
        ChooseStrategy(cssAtBothEnds);
        ChooseStrategy(cssManual);
        QCOMPARE(Cups().Count(), 2);
        ClickRadio(Page()->GridButton(csgCartesian));
        QCOMPARE(int(Cups().GridType()), int(csgCartesian));
        Type(Page()->GridLength(), "10");
        QCOMPARE(int(Cups().GridType()), int(csgCartesian));
        QCOMPARE(Cups().GridLength(), 0.01);
        const TVektor start = Cups().Sauger(0)->Pos;
        QVERIFY(start.X < 0);
        const double f0 = Cups().Sauger(0)->Fn, f1 = Cups().Sauger(1)->Fn;
        QVERIFY(std::fabs(f0 - f1) < 1e-9); // symmetric

        // The cursor over the cup says it can be moved.
        const QPoint from = PixelOf(cvpXY, start);
        QTest::mouseMove(Views(), from);
        QCOMPARE(Views()->ShownCursor(), ccrMove);
        // Press, drag 0.1 m towards the centre and a little off the grid, release.
        const double s = Views()->Scale();
        const QPoint to = from + QPoint(static_cast<int>(std::lround(0.1 * s)) + 2, -1);
        QTest::mousePress(Views(), Qt::LeftButton, {}, from);
        QVERIFY(Cups().Sauger(0)->Selected);
        QTest::mouseMove(Views(), from + QPoint(5, 0));
        QTest::mouseMove(Views(), to);
        QTest::mouseRelease(Views(), Qt::LeftButton, {}, to);
        const TSauger& moved = *Cups().Sauger(0);
        const TViewPoint target = Views()->FromPixel(cvpXY, to);
        const TViewPoint grab = Views()->FromPixel(cvpXY, from);
        // The mouse offset, added to where the cup was, snapped to the 10 mm grid, on the top face.
        const double x = std::nearbyint((start.X + target.U - grab.U) / 0.01) * 0.01;
        const double y = std::nearbyint((start.Y + target.V - grab.V) / 0.01) * 0.01;
        QVERIFY2(std::fabs(moved.Pos.X - x) < 1e-9, qPrintable(QString::number(moved.Pos.X)));
        QVERIFY(std::fabs(moved.Pos.Y - y) < 1e-9);
        QVERIFY(std::fabs(moved.Pos.Z - 0.002) < 1e-12);
        QVERIFY(moved.Pos.X > start.X + 0.09);
        // The lever rule: the weight at the centre splits in inverse proportion to the
        // distances of the cups from it (the regularising springs take a thousandth).
        const double x1 = moved.Pos.X, x2 = Cups().Sauger(1)->Pos.X;
        const double weight = app->Document.Workpiece.Mass * g;
        QVERIFY(std::fabs(moved.Fn - weight * x2 / (x2 - x1)) < 0.01 * weight);
        QVERIFY(std::fabs(Cups().Sauger(1)->Fn - weight * -x1 / (x2 - x1)) < 0.01 * weight);
        QVERIFY(moved.Fn > f0);
        // The moved cup is drawn where it went, selected in red.
        const QImage shot = Shot();
        QVERIFY2(Near(shot.pixelColor(OnLip(0)), TCupViews::BandColor(app->Cups.CupBand(0))),
                 qPrintable(Name(shot.pixelColor(OnLip(0)))));
    }

    void cupsDraggedOntoEachOtherAreGreyAndWarned() {
        OpenOnPage("glass_plate_rotary.vac");
        ChooseStrategy(cssAtBothEnds);
        ChooseStrategy(cssManual);
        const QPoint from = PixelOf(cvpXY, Cups().Sauger(1)->Pos);
        const QPoint to = PixelOf(cvpXY, Cups().Sauger(0)->Pos) + QPoint(3, 0);
        QTest::mousePress(Views(), Qt::LeftButton, {}, from);
        QTest::mouseMove(Views(), (from + to) / 2);
        QTest::mouseMove(Views(), to);
        QTest::mouseRelease(Views(), Qt::LeftButton, {}, to);
        QVERIFY(Cups().Sauger(0)->Misplaced && Cups().Sauger(1)->Misplaced);
        QVERIFY(Page()->CollisionLabel()->isVisible());
        QCOMPARE(Page()->CollisionLabel()->text(),
                 QString("Suction cups collide or lie off the workpiece!"));
        // Cup 0 lies under cup 1 now; cup 1's lip shows grey where cup 0's would be.
        const QImage shot = Shot();
        const QPoint lip = OnLip(1);
        QVERIFY2(Near(shot.pixelColor(lip), TCupViews::cMisplaced), qPrintable(Name(shot.pixelColor(lip))));

        // Dragged apart again, both are placed; the warning moved nothing on the screen.
        QCOMPARE(PixelOf(cvpXY, Cups().Sauger(1)->Pos), to);
        QTest::mousePress(Views(), Qt::LeftButton, {}, to);
        QTest::mouseMove(Views(), from);
        QTest::mouseRelease(Views(), Qt::LeftButton, {}, from);
        QVERIFY(!Cups().Sauger(0)->Misplaced && !Cups().Sauger(1)->Misplaced);
        QVERIFY(!Page()->CollisionLabel()->isVisible());
    }

    void otherStrategiesRefuseTheMouse() {
        OpenOnPage("glass_plate_rotary.vac");
        const TVektor before = Cups().Sauger(0)->Pos;
        const QPoint at = PixelOf(cvpXY, before);
        QTest::mouseMove(Views(), at);
        QCOMPARE(Views()->ShownCursor(), ccrNoMove);
        QTest::mousePress(Views(), Qt::LeftButton, {}, at);
        QTest::mouseMove(Views(), at + QPoint(40, 0));
        QTest::mouseRelease(Views(), Qt::LeftButton, {}, at + QPoint(40, 0));
        QCOMPARE(Cups().Sauger(0)->Pos.X, before.X);
        QCOMPARE(Cups().FirstSelected(), -1);
        // Beside the cups the cursor is the ordinary one.
        QTest::mouseMove(Views(), PixelOf(cvpXY, TVektor(0, 0, 0)));
        QCOMPARE(Views()->ShownCursor(), ccrDefault);
    }

    void thePageFitsTheWindowInEnglishAndRussian() {
        OpenOnPage("glass_plate_rotary.vac");
        for (int strategy : {int(cssArea), int(cssManual)}) {
            ChooseStrategy(strategy);
            for (const QSize size : {QSize(1024, 768), QSize(1280, 1024)}) {
                frame->resize(size);
                for (const char* code : {"en", "ru"}) {
                    frame->SetLanguage(code);
                    QCoreApplication::processEvents();
                    const QString shot = QString("positioning_%1_%2x%3_%4")
                                             .arg(strategy)
                                             .arg(size.width())
                                             .arg(size.height())
                                             .arg(code);
                    CheckTextsWhole(Page(), Page(), shot);
                    // The views take the room beside the inputs.
                    QVERIFY(Views()->width() >= Page()->width() / 2);
                    QVERIFY(Views()->ViewRect(cvpXY).width() > 100);
                    SavePicture("VACUUM_LOOK_DIR", frame.get(), shot);
                }
            }
        }
    }
};

QTEST_MAIN(PositioningPageTest)
#include "positioning_page_test.moc"

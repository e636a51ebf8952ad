// Rubber-band zoom driven by mouse events: Shift + left drag zooms every axis to the band,
// clipped to the ranges before the first zoom; ZoomUndo restores those ranges exactly.

#include "gui/chart/diagramm.h"

#include <vector>

#include <QtTest>

class DiagramZoomTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TDiagramm> chart_;

    TDiagramm& Chart() { return *chart_; }

    QPoint At(double x, double y) { return {Chart().ValueToPixelX(x), Chart().ValueToPixelY(y)}; }

    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::ShiftModifier,
              Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(&Chart(), button, mods, from);
        QTest::mouseMove(&Chart(), (from + to) / 2);
        QTest::mouseMove(&Chart(), to);
        QTest::mouseRelease(&Chart(), button, mods, to);
    }

    // Exact: a zoom takes the values of the chart's own mapping and an undo puts back the
    // very numbers it saved.
    void ExpectRanges(double x0, double x1, double y0, double y1, double y20, double y21) {
        const double actual[] = {Chart().XMin(), Chart().XMax(),  Chart().YMin(),
                                 Chart().YMax(), Chart().Y2Min(), Chart().Y2Max()};
        const double expected[] = {x0, x1, y0, y1, y20, y21};
        for (int i = 0; i < 6; ++i)
            QVERIFY2(actual[i] == expected[i], qPrintable(QString("range end %1: %2 instead of %3")
                                                              .arg(i)
                                                              .arg(actual[i], 0, 'g', 17)
                                                              .arg(expected[i], 0, 'g', 17)));
    }

    // Pixels of the widget as it shows now (rubber band included).
    QImage Shown() { return Chart().grab().toImage().convertToFormat(QImage::Format_RGB32); }

private slots:
    void init() {
        chart_ = std::make_unique<TDiagramm>();
        Chart().resize(400, 300);
        Chart().SetXMax(10);
        Chart().SetYMax(10);
        Chart().SetY2Max(100); // not drawn in the classic layout, zoomed all the same
        Chart().SetZoomEnabled(true);
        Chart().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Chart()));
    }

    void cleanup() { chart_.reset(); }

    void shiftDragZoomsEveryAxisToTheBand() {
        const QPoint from = At(2, 8), to = At(6, 3);
        const double x0 = Chart().PixelToValue(daX, from.x());
        const double x1 = Chart().PixelToValue(daX, to.x());
        const double y0 = Chart().PixelToValue(daY, to.y());
        const double y1 = Chart().PixelToValue(daY, from.y());
        const double y20 = Chart().PixelToValue(daY2, to.y());
        const double y21 = Chart().PixelToValue(daY2, from.y());
        Drag(from, to);
        QVERIFY(Chart().IsZoomed());
        ExpectRanges(x0, x1, y0, y1, y20, y21);
        const double pixel = 10.0 / Chart().PlotRect().width();
        QVERIFY(qAbs(Chart().XMin() - 2) < pixel && qAbs(Chart().YMax() - 8) < pixel * 2);

        Chart().ZoomUndo();
        QVERIFY(!Chart().IsZoomed());
        ExpectRanges(0, 10, 0, 10, 0, 100);
    }

    void bandDraggedBackwardsZoomsTheSame() {
        const QPoint a = At(2, 8), b = At(6, 3);
        Drag(a, b);
        const double x0 = Chart().XMin(), x1 = Chart().XMax();
        const double y0 = Chart().YMin(), y1 = Chart().YMax();
        Chart().ZoomUndo();
        Drag(b, a);
        ExpectRanges(x0, x1, y0, y1, Chart().Y2Min(), Chart().Y2Max());
        Chart().ZoomUndo();
        Drag({a.x(), b.y()}, {b.x(), a.y()});
        ExpectRanges(x0, x1, y0, y1, Chart().Y2Min(), Chart().Y2Max());
    }

    void bandPartlyOutsideIsClippedToTheRangeBeforeZooming() {
        // From near the widget's top-left corner, beyond the plot area, to the middle.
        // (Not (0, 0) itself: QTest reads a null point as the widget's centre.)
        const QPoint middle = At(5, 5);
        const double x1 = Chart().PixelToValue(daX, middle.x());
        const double y0 = Chart().PixelToValue(daY, middle.y());
        const double y20 = Chart().PixelToValue(daY2, middle.y());
        Drag({1, 1}, middle);
        QVERIFY(Chart().IsZoomed());
        ExpectRanges(0, x1, y0, 10, y20, 100);

        // A second zoom may reach past the zoomed range, up to the range before the first.
        Drag(At(1, 9), {Chart().width() - 1, Chart().height() - 1});
        QVERIFY(Chart().XMax() > x1 && Chart().XMax() < 10);
        QVERIFY(Chart().YMin() < y0 && Chart().YMin() > 0);
        Chart().ZoomUndo();
        ExpectRanges(0, 10, 0, 10, 0, 100);

        // Zoomed in near the end, a band past the end stops at the first range.
        Drag(At(8, 2), At(10, 0));
        Drag(At(9, 3), {Chart().width() - 1, Chart().height() - 1});
        QCOMPARE(Chart().XMax(), 10.0);
        QCOMPARE(Chart().YMin(), 0.0);
        Chart().ZoomUndo();
        ExpectRanges(0, 10, 0, 10, 0, 100);
    }

    void noZoomWithoutShiftLeftButtonOrArea_data() {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("flat");
        QTest::newRow("no Shift") << true << int(Qt::NoModifier) << int(Qt::LeftButton) << false;
        QTest::newRow("right button")
            << true << int(Qt::ShiftModifier) << int(Qt::RightButton) << false;
        QTest::newRow("zoom disabled")
            << false << int(Qt::ShiftModifier) << int(Qt::LeftButton) << false;
        QTest::newRow("no height") << true << int(Qt::ShiftModifier) << int(Qt::LeftButton) << true;
    }

    void noZoomWithoutShiftLeftButtonOrArea() {
        QFETCH(bool, enabled);
        QFETCH(int, modifiers);
        QFETCH(int, button);
        QFETCH(bool, flat);
        Chart().SetZoomEnabled(enabled);
        const QPoint from = At(2, 8);
        const QPoint to = flat ? At(6, 8) : At(6, 3);
        Drag(from, to, Qt::KeyboardModifiers(modifiers), Qt::MouseButton(button));
        QVERIFY(!Chart().IsZoomed());
        ExpectRanges(0, 10, 0, 10, 0, 100);
    }

    void settingRangesWhileZoomedKeepsTheUndo() {
        Drag(At(2, 8), At(6, 3));
        Chart().SetXMin(1);
        Chart().SetXMax(3);
        Chart().SetYMax(50);
        QVERIFY(Chart().IsZoomed());
        Chart().ZoomUndo();
        ExpectRanges(0, 10, 0, 10, 0, 100);
        // Undo without a zoom changes nothing.
        Chart().SetXMax(4);
        Chart().ZoomUndo();
        QCOMPARE(Chart().XMax(), 4.0);
    }

    void automaticStepsFollowZoomAndUndo() {
        Chart().SetXAutoStep(true);
        QCOMPARE(Chart().XStep(), 1.0);
        Drag(At(2, 8), At(4, 3));
        QVERIFY(Chart().XStep() < 1.0);
        QCOMPARE(Chart().XMark(), Chart().XStep());
        Chart().ZoomUndo();
        QCOMPARE(Chart().XStep(), 1.0);
    }

    void logZoomIsWidenedToTheZoomSpan() {
        Chart().SetXLog(true);
        Chart().SetXMin(1);
        Chart().SetXMax(10000);
        Chart().SetXZoom(10);
        Drag(At(100, 8), At(120, 3));
        QVERIFY(Chart().IsZoomed());
        QVERIFY(qAbs(Chart().XMax() / Chart().XMin() - 10.0) < 1e-9);
        QVERIFY(Chart().XMin() < 100 && Chart().XMax() > 120);
        Chart().ZoomUndo();
        QCOMPARE(Chart().XMin(), 1.0);
        QCOMPARE(Chart().XMax(), 10000.0);
    }

    void ownerSeesMouseEventsAfterTheChart() {
        std::vector<QString> seen;
        Chart().OnMouseDown = [&](TDiagramm* c, QMouseEvent* e) {
            QCOMPARE(c, &Chart());
            seen.push_back(QString("down %1").arg(e->position().toPoint().x()));
        };
        Chart().OnMouseMove = [&](TDiagramm*, QMouseEvent*) { seen.push_back("move"); };
        Chart().OnMouseUp = [&](TDiagramm* c, QMouseEvent*) {
            // Passed on after the chart's own handling: the zoom is already done.
            seen.push_back(c->IsZoomed() ? "up zoomed" : "up");
        };
        const QPoint from = At(2, 8);
        Drag(from, At(6, 3));
        QCOMPARE(seen, (std::vector<QString>{QString("down %1").arg(from.x()), "move", "move",
                                             "up zoomed"}));
    }

    void rubberBandShowsWhileDraggingAndGoesAway() {
        Chart().SetLines(false);
        const QImage before = Shown();
        const QPoint from = At(2, 8), to = At(6, 3);
        QTest::mousePress(&Chart(), Qt::LeftButton, Qt::ShiftModifier, from);
        QTest::mouseMove(&Chart(), to);
        QVERIFY(Chart().Context().RubberBandVisible());
        QCOMPARE(Chart().Context().RubberBand(), QRect(from, to));
        const QImage during = Shown();
        // Some pixels of the band's top edge are inverted, and only along the band.
        int changed = 0;
        for (int x = from.x(); x <= to.x(); ++x)
            changed += during.pixel(x, from.y()) != before.pixel(x, from.y()) ? 1 : 0;
        QVERIFY(changed > (to.x() - from.x()) / 3);
        QCOMPARE(during.pixel(from.x() + 5, from.y() + 5),
                 before.pixel(from.x() + 5, from.y() + 5));

        // Leaving the chart erases the band; the drag goes on.
        QTest::mouseMove(&Chart(), {Chart().width() + 20, to.y()});
        QVERIFY(!Chart().Context().RubberBandVisible());
        QCOMPARE(Shown(), before);
        QTest::mouseMove(&Chart(), to);
        QVERIFY(Chart().Context().RubberBandVisible());

        QTest::mouseRelease(&Chart(), Qt::LeftButton, Qt::ShiftModifier, to);
        QVERIFY(!Chart().Context().RubberBandVisible());
        QVERIFY(Chart().IsZoomed());
        Chart().ZoomUndo();
        QCOMPARE(Shown(), before);
    }
};

QTEST_MAIN(DiagramZoomTest)
#include "diagram_zoom_test.moc"

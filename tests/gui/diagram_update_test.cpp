// Repaints of a shown chart: property changes redraw only when the value changes, and
// BeginUpdate/EndUpdate bundle any number of changes into one repaint.

#include "gui/chart/diagramm.h"

#include <QtTest>

class DiagramUpdateTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TDiagramm> chart_;
    int paints_ = 0;

    TDiagramm& Chart() { return *chart_; }

    // Lets pending repaints happen. Repaints are posted events, so a few rounds of event
    // processing deliver them; the wait only gives a slow machine room.
    void Settle() {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents();
        }
        QTest::qWait(20);
        QCoreApplication::processEvents();
    }

private slots:
    void init() {
        chart_ = std::make_unique<TDiagramm>();
        Chart().resize(300, 200);
        // Every repaint of a drawable chart passes the paper layer once.
        Chart().OnUserPaint = [this](TDiagramm*, TPaintLayer layer, QPainter&) {
            if (layer == plPaper) ++paints_;
        };
        Chart().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Chart()));
        QTRY_VERIFY(paints_ > 0);
        Settle();
        paints_ = 0;
    }

    void cleanup() { chart_.reset(); }

    void changedValueRedrawsUnchangedDoesNot() {
        Chart().SetXMax(1.0); // the default
        Chart().SetYColorValue(Qt::black);
        Chart().SetCurves(1);
        Settle();
        QCOMPARE(paints_, 0);

        Chart().SetXMax(2.0);
        QTRY_COMPARE(paints_, 1);
        Settle();
        QCOMPARE(paints_, 1);
    }

    void everyKindOfPropertyRedraws() {
        const std::vector<std::function<void()>> changes{
            [this] { Chart().SetY2Min(-1); },    [this] { Chart().SetXAutoStep(true); },
            [this] { Chart().SetXUnit("t"); },   [this] { Chart().SetXColorLine(Qt::red); },
            [this] { Chart().SetLines(false); }, [this] { Chart().SetLayout(cdlVelmar); },
            [this] { Chart().SetMarginTop(3); }, [this] { Chart().SetPaperColor(Qt::gray); },
            [this] { Chart().SetLineWidth(2); }, [this] { Chart().SetReplaceSpecialChars(true); },
            [this] { Chart().SetYMark(0.5); },   [this] { Chart().SetXMeasurement(cUM_s); },
        };
        int expected = 0;
        for (const auto& change : changes) {
            change();
            ++expected;
            QTRY_COMPARE(paints_, expected);
        }
    }

    void updateBundlesChangesIntoOneRepaint() {
        Chart().BeginUpdate();
        Chart().SetXMin(-5);
        Chart().SetXMax(5);
        Chart().SetYMax(20);
        Chart().SetCurves(3);
        Chart().Redraw();
        Settle();
        QCOMPARE(paints_, 0);
        Chart().EndUpdate();
        QTRY_COMPARE(paints_, 1);
        Settle();
        QCOMPARE(paints_, 1);
    }

    void nestedUpdatesRedrawAtTheOuterEnd() {
        Chart().BeginUpdate();
        Chart().BeginUpdate();
        Chart().SetXMax(3);
        Chart().EndUpdate();
        Settle();
        QCOMPARE(paints_, 0);
        Chart().EndUpdate();
        QTRY_COMPARE(paints_, 1);
    }

    void updateWithoutChangesDoesNotRedraw() {
        Chart().BeginUpdate();
        Chart().SetXMax(Chart().XMax());
        Chart().EndUpdate();
        // An unmatched EndUpdate is harmless and does not open the next update early.
        Chart().EndUpdate();
        Settle();
        QCOMPARE(paints_, 0);
        Chart().SetXMax(7);
        QTRY_COMPARE(paints_, 1);
    }

    void zoomUndoRedrawsOnce() {
        Chart().SetZoomEnabled(true);
        const QPoint a(Chart().ValueToPixelX(0.2), Chart().ValueToPixelY(0.8));
        const QPoint b(Chart().ValueToPixelX(0.6), Chart().ValueToPixelY(0.3));
        QTest::mousePress(&Chart(), Qt::LeftButton, Qt::ShiftModifier, a);
        QTest::mouseRelease(&Chart(), Qt::LeftButton, Qt::ShiftModifier, b);
        QVERIFY(Chart().IsZoomed());
        QTRY_COMPARE(paints_, 1);
        Chart().ZoomUndo();
        QTRY_COMPARE(paints_, 2);
        Chart().ZoomUndo(); // not zoomed any more: nothing to do
        Settle();
        QCOMPARE(paints_, 2);
    }
};

QTEST_MAIN(DiagramUpdateTest)
#include "diagram_update_test.moc"

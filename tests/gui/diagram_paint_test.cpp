// Charts painted into images and checked pixel by pixel at places the chart's own mapping
// names: curves, gaps, bands, line widths, layers, the paper-only and the print cases.

#include "gui/chart/diagramm.h"

#include <stdexcept>
#include <vector>

#include <QPainter>
#include <QtTest>

namespace {

const QColor cPaper(255, 255, 240);
const QColor cCurve(0, 0, 200);
const QColor cBand(0, 160, 0);

bool Is(const QImage& image, QPoint p, const QColor& c) {
    return image.rect().contains(p) && image.pixelColor(p).rgb() == c.rgb();
}

// Columns of the plot area that show colour c anywhere between its top and bottom rows.
int ColumnsWith(const QImage& image, const QRect& plot, int fromX, int toX, const QColor& c) {
    int n = 0;
    for (int x = fromX; x <= toX; ++x)
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            if (Is(image, {x, y}, c)) {
                ++n;
                break;
            }
    return n;
}

} // namespace

class DiagramPaintTest : public QObject {
    Q_OBJECT

private:
    // A 0..10 × 0..10 chart without grid lines, paper cPaper, curves in cCurve.
    void Setup(TDiagramm& chart, QSize size = {320, 240}) {
        chart.resize(size);
        chart.BeginUpdate();
        chart.SetXMin(0);
        chart.SetXMax(10);
        chart.SetYMin(0);
        chart.SetYMax(10);
        chart.SetXStep(1);
        chart.SetYStep(1);
        chart.SetXMark(2);
        chart.SetYMark(2);
        chart.SetLines(false);
        chart.SetPaperColor(cPaper);
        chart.EndUpdate();
    }

    static QImage Paint(TDiagramm& chart) { return chart.Render(chart.size()); }

private slots:
    void curveFollowsTheMappingInEveryColumn() {
        TDiagramm chart;
        Setup(chart);
        chart.OnGetY = [](TDiagramm*, double x, int, double& y, QColor& color, bool&) {
            y = x;
            color = cCurve;
        };
        const QImage image = Paint(chart);
        const QRect plot = chart.PlotRect();
        QVERIFY(plot.width() > 200);
        for (int px = plot.left(); px <= plot.right(); ++px) {
            const int row = chart.ValueToPixelY(chart.PixelToValue(daX, px));
            QVERIFY2(Is(image, {px, row}, cCurve), qPrintable(QString::number(px)));
        }
        // The curve ends on the corners of the plot area.
        QVERIFY(Is(image, plot.bottomLeft(), cCurve));
        QVERIFY(Is(image, plot.topRight(), cCurve));
        // Away from the diagonal the paper shows.
        QVERIFY(Is(image, {chart.ValueToPixelX(2), chart.ValueToPixelY(8)}, cPaper));
    }

    void ownerIsAskedOncePerColumnFromMinToMax() {
        TDiagramm chart;
        Setup(chart);
        chart.SetCurves(2);
        std::vector<double> xs[2];
        chart.OnGetY = [&](TDiagramm* sender, double x, int curve, double& y, QColor&, bool&) {
            QCOMPARE(sender, &chart);
            xs[curve].push_back(x);
            y = 1;
        };
        Paint(chart);
        const QRect plot = chart.PlotRect();
        for (const auto& v : xs) {
            QCOMPARE(int(v.size()), plot.width());
            QCOMPARE(v.front(), 0.0);
            QCOMPARE(v.back(), 10.0);
            for (size_t i = 1; i < v.size(); ++i) QVERIFY(v[i] > v[i - 1]);
        }
        QCOMPARE(xs[0], xs[1]);
    }

    void invalidStretchLeavesAGapWithoutConnectingLine() {
        TDiagramm chart;
        Setup(chart);
        // A rising curve: a line across the gap would cross every column of it.
        chart.OnGetY = [](TDiagramm*, double x, int, double& y, QColor& color, bool& valid) {
            y = x;
            color = cCurve;
            valid = x < 4.0 || x > 6.0;
        };
        const QImage image = Paint(chart);
        const QRect plot = chart.PlotRect();
        int gapFrom = plot.right(), gapTo = plot.left();
        for (int px = plot.left(); px <= plot.right(); ++px) {
            const double x = chart.PixelToValue(daX, px);
            if (x >= 4.0 && x <= 6.0) {
                gapFrom = std::min(gapFrom, px);
                gapTo = std::max(gapTo, px);
            }
        }
        QVERIFY(gapTo - gapFrom > 10);
        QCOMPARE(ColumnsWith(image, plot, gapFrom, gapTo, cCurve), 0);
        // Both sides of the gap are drawn up to its edges.
        QVERIFY(Is(image, {gapFrom - 1, chart.ValueToPixelY(chart.PixelToValue(daX, gapFrom - 1))},
                   cCurve));
        QVERIFY(Is(image, {gapTo + 1, chart.ValueToPixelY(chart.PixelToValue(daX, gapTo + 1))},
                   cCurve));
    }

    void singleValidColumnIsAPixel() {
        TDiagramm chart;
        Setup(chart);
        const int column = chart.ValueToPixelX(5);
        chart.OnGetY = [&](TDiagramm* c, double x, int, double& y, QColor& color, bool& valid) {
            y = 5;
            color = cCurve;
            valid = c->ValueToPixelX(x) == column;
        };
        const QImage image = Paint(chart);
        const int row = chart.ValueToPixelY(5);
        QVERIFY(Is(image, {column, row}, cCurve));
        QVERIFY(Is(image, {column - 1, row}, cPaper));
        QVERIFY(Is(image, {column + 1, row}, cPaper));
    }

    void colourChangesAlongTheCurve() {
        TDiagramm chart;
        Setup(chart);
        chart.OnGetY = [](TDiagramm*, double x, int, double& y, QColor& color, bool&) {
            y = 5;
            color = x < 5 ? cCurve : Qt::red;
        };
        const QImage image = Paint(chart);
        const int row = chart.ValueToPixelY(5);
        QVERIFY(Is(image, {chart.ValueToPixelX(2), row}, cCurve));
        QVERIFY(Is(image, {chart.ValueToPixelX(8), row}, Qt::red));
    }

    void curveColourDefaultsToTheAxisValueColour() {
        TDiagramm chart;
        Setup(chart);
        chart.SetYColorValue(QColor(120, 0, 120));
        chart.OnGetY = [](TDiagramm*, double, int, double& y, QColor&, bool&) { y = 5; };
        const QImage image = Paint(chart);
        QVERIFY(Is(image, {chart.ValueToPixelX(5), chart.ValueToPixelY(5)}, QColor(120, 0, 120)));
    }

    void valuesOutsideTheRangeAreClippedAtTheEdge() {
        TDiagramm chart;
        Setup(chart);
        chart.OnGetY = [](TDiagramm*, double x, int, double& y, QColor& color, bool&) {
            y = x < 5 ? 5 : 1e12; // a jump far above the top
            color = cCurve;
        };
        const QImage image = Paint(chart);
        const QRect plot = chart.PlotRect();
        const int jump = chart.ValueToPixelX(5);
        // The jump is drawn up to the top edge and nothing is drawn above the plot area.
        QVERIFY(Is(image, {jump - 1, plot.top()}, cCurve) || Is(image, {jump, plot.top()}, cCurve));
        for (int x = plot.left(); x <= plot.right(); ++x)
            QVERIFY(!Is(image, {x, plot.top() - 1}, cCurve));
    }

    void wideLinesCoverRowsFromHalfTheWidthAbove() {
        TDiagramm chart;
        Setup(chart);
        chart.SetLineWidth(3);
        chart.OnGetY = [](TDiagramm*, double, int, double& y, QColor& color, bool&) {
            y = 5;
            color = cCurve;
        };
        const QImage image = Paint(chart);
        const int x = chart.ValueToPixelX(3);
        const int row = chart.ValueToPixelY(5);
        QVERIFY(Is(image, {x, row - 1}, cCurve));
        QVERIFY(Is(image, {x, row}, cCurve));
        QVERIFY(Is(image, {x, row + 1}, cCurve));
        QVERIFY(Is(image, {x, row - 2}, cPaper));
        QVERIFY(Is(image, {x, row + 2}, cPaper));

        chart.SetLineWidth(2); // rows row-1 and row
        const QImage two = Paint(chart);
        QVERIFY(Is(two, {x, row - 1}, cCurve));
        QVERIFY(Is(two, {x, row}, cCurve));
        QVERIFY(Is(two, {x, row + 1}, cPaper));
    }

    void bandFillsBetweenMinAndMax() {
        TDiagramm chart;
        Setup(chart);
        chart.SetCurvesMinMax(1);
        chart.OnGetYMinMax = [](TDiagramm*, double x, int, double& minY, double& maxY,
                                QColor& color, bool& valid) {
            QVERIFY(!valid); // arrives false
            valid = x >= 2 && x <= 8;
            minY = 7; // either order
            maxY = 3;
            color = cBand;
        };
        const QImage image = Paint(chart);
        const int x = chart.ValueToPixelX(5);
        for (int y = chart.ValueToPixelY(7); y <= chart.ValueToPixelY(3); ++y)
            QVERIFY(Is(image, {x, y}, cBand));
        QVERIFY(Is(image, {x, chart.ValueToPixelY(7) - 1}, cPaper));
        QVERIFY(Is(image, {x, chart.ValueToPixelY(3) + 1}, cPaper));
        QVERIFY(Is(image, {chart.ValueToPixelX(1), chart.ValueToPixelY(5)}, cPaper));
        QVERIFY(Is(image, {chart.ValueToPixelX(9), chart.ValueToPixelY(5)}, cPaper));
    }

    void bandIsClippedToThePlotArea() {
        TDiagramm chart;
        Setup(chart);
        chart.SetCurvesMinMax(1);
        chart.OnGetYMinMax = [](TDiagramm*, double, int, double& minY, double& maxY, QColor& color,
                                bool& valid) {
            valid = true;
            minY = -100;
            maxY = 100;
            color = cBand;
        };
        const QImage image = Paint(chart);
        const QRect plot = chart.PlotRect();
        const int x = chart.ValueToPixelX(5.5); // off the grid ticks
        QVERIFY(Is(image, {x, plot.top()}, cBand));
        QVERIFY(!Is(image, {x, plot.top() - 1}, cBand));
        // The axis line is drawn over the band's bottom row.
        QVERIFY(Is(image, {x, plot.bottom() - 1}, cBand));
        QVERIFY(!Is(image, {x, plot.bottom() + 1}, cBand));
    }

    void gridAndCurvesAreDrawnOverBands() {
        TDiagramm chart;
        Setup(chart);
        chart.SetLines(true);
        chart.SetCurvesMinMax(1);
        chart.OnGetYMinMax = [](TDiagramm*, double, int, double& minY, double& maxY, QColor& color,
                                bool& valid) {
            valid = true;
            minY = 0;
            maxY = 10;
            color = cBand;
        };
        chart.OnGetY = [](TDiagramm*, double x, int, double& y, QColor& color, bool&) {
            y = x;
            color = cCurve;
        };
        const QImage image = Paint(chart);
        const QColor silver(0xC0, 0xC0, 0xC0);
        // The grid line at y = 5 crosses the band; at x = 5 the curve crosses both.
        QVERIFY(Is(image, {chart.ValueToPixelX(2.5), chart.ValueToPixelY(5)}, silver));
        QVERIFY(Is(image, {chart.ValueToPixelX(5), chart.ValueToPixelY(5)}, cCurve));
        QVERIFY(Is(image, {chart.ValueToPixelX(2.5), chart.ValueToPixelY(4.5)}, cBand));
    }

    void gridLinesOnlyWhenLinesIsOn() {
        TDiagramm chart;
        Setup(chart);
        chart.SetXColorLine(Qt::green);
        chart.SetYColorLine(Qt::magenta);
        const QColor green(Qt::green), magenta(Qt::magenta);
        const int mid = chart.ValueToPixelY(5.5);
        QVERIFY(!Is(Paint(chart), {chart.ValueToPixelX(3), mid}, green));
        chart.SetLines(true);
        const QImage image = Paint(chart);
        QVERIFY(Is(image, {chart.ValueToPixelX(3), mid}, green));
        QVERIFY(Is(image, {chart.ValueToPixelX(3.5), chart.ValueToPixelY(7)}, magenta));
        QVERIFY(Is(image, {chart.ValueToPixelX(3.5), chart.ValueToPixelY(7.5)}, cPaper));
    }

    void y2CurvesUseTheirOwnAxisInTheTwoAxisLayout() {
        TDiagramm chart;
        Setup(chart);
        chart.SetLayout(cdlVelmarYY);
        chart.SetY2Min(0);
        chart.SetY2Max(100);
        chart.SetCurves(0);
        chart.SetCurvesY2(1);
        chart.OnGetY2 = [](TDiagramm*, double, int, double& y, QColor& color, bool&) {
            y = 80;
            color = cCurve;
        };
        const QImage image = Paint(chart);
        const int row = chart.ValueToPixelY(80, daY2);
        QCOMPARE(row, chart.ValueToPixelY(8));
        QVERIFY(Is(image, {chart.ValueToPixelX(5), row}, cCurve));

        // The same chart in the classic layout draws no Y2 curve.
        chart.SetLayout(cdlClassic);
        const QImage classic = Paint(chart);
        QCOMPARE(ColumnsWith(classic, chart.PlotRect(), chart.PlotRect().left(),
                             chart.PlotRect().right(), cCurve),
                 0);
    }

    void logAxesMapDecadesEvenly() {
        TDiagramm chart;
        Setup(chart);
        chart.SetXLog(true);
        chart.SetYLog(true);
        chart.SetXMin(1);
        chart.SetXMax(1000);
        chart.SetYMin(1);
        chart.SetYMax(1000);
        chart.OnGetY = [](TDiagramm*, double x, int, double& y, QColor& color, bool&) {
            y = x;
            color = cCurve;
        };
        const QImage image = Paint(chart);
        const int d1 = chart.ValueToPixelX(10) - chart.ValueToPixelX(1);
        const int d2 = chart.ValueToPixelX(100) - chart.ValueToPixelX(10);
        QVERIFY(qAbs(d1 - d2) <= 1);
        for (double v : {1.0, 10.0, 31.6, 100.0, 1000.0}) {
            const int px = chart.ValueToPixelX(v);
            QVERIFY(Is(image, {px, chart.ValueToPixelY(chart.PixelToValue(daX, px))}, cCurve));
        }
    }

    void emptyRangeLeavesOnlyPaper_data() {
        QTest::addColumn<int>("which");
        QTest::newRow("XMax == XMin") << 0;
        QTest::newRow("YMax < YMin") << 1;
        QTest::newRow("log axis from 0") << 2;
        QTest::newRow("Y2 empty in the two-axis layout") << 3;
        QTest::newRow("plot area too small") << 4;
    }

    void emptyRangeLeavesOnlyPaper() {
        QFETCH(int, which);
        TDiagramm chart;
        Setup(chart);
        int calls = 0;
        chart.OnGetY = [&](TDiagramm*, double, int, double& y, QColor&, bool&) {
            ++calls;
            y = 5;
        };
        chart.OnUserPaint = [&](TDiagramm*, TPaintLayer, QPainter&) { ++calls; };
        switch (which) {
        case 0:
            chart.SetXMax(0);
            break;
        case 1:
            chart.SetYMax(-1);
            break;
        case 2:
            chart.SetXLog(true);
            break;
        case 3:
            chart.SetLayout(cdlVelmarYY);
            chart.SetY2Max(0);
            break;
        case 4:
            chart.resize(30, 30);
            break;
        }
        const QImage image = Paint(chart);
        QCOMPARE(calls, 0);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!Is(image, {x, y}, cPaper)) QFAIL(qPrintable(QString("(%1,%2)").arg(x).arg(y)));
    }

    void y2RangeDoesNotMatterWithoutTheSecondAxis() {
        TDiagramm chart;
        Setup(chart);
        chart.SetY2Max(0);
        chart.OnGetY = [](TDiagramm*, double, int, double& y, QColor& color, bool&) {
            y = 5;
            color = cCurve;
        };
        QVERIFY(Is(Paint(chart), {chart.ValueToPixelX(5), chart.ValueToPixelY(5)}, cCurve));
    }

    void printCaseRendersIntoAnyRectangle() {
        TDiagramm chart;
        Setup(chart);
        chart.OnGetY = [](TDiagramm*, double, int, double& y, QColor& color, bool&) {
            y = 5;
            color = cCurve;
        };
        const QRect ownPlot = chart.PlotRect();
        QImage page(800, 600, QImage::Format_RGB32);
        page.fill(Qt::gray);
        const QRect target(200, 100, 500, 400);
        QRect paintedPlot;
        int paintedRow = 0;
        chart.OnUserPaint = [&](TDiagramm* c, TPaintLayer layer, QPainter&) {
            if (layer != plGetY) return;
            paintedPlot = c->PlotRect();
            paintedRow = c->ValueToPixelY(5);
        };
        {
            QPainter painter(&page);
            chart.RenderTo(painter, target);
        }
        // Everything inside the target, nothing outside it.
        QVERIFY(target.contains(paintedPlot));
        QVERIFY(paintedPlot.width() > ownPlot.width());
        QVERIFY(Is(page, target.topLeft(), cPaper));
        QVERIFY(Is(page, target.bottomRight(), cPaper));
        QVERIFY(Is(page, target.topLeft() - QPoint(1, 1), Qt::gray));
        QVERIFY(Is(page, target.bottomRight() + QPoint(1, 1), Qt::gray));
        QVERIFY(Is(page, {paintedPlot.center().x(), paintedRow}, cCurve));
        // The control keeps its own geometry.
        QCOMPARE(chart.PlotRect(), ownPlot);
    }

    void failingHandlerEndsThePaintQuietly() {
        TDiagramm chart;
        Setup(chart);
        bool fail = true;
        chart.OnGetY = [&](TDiagramm*, double, int, double& y, QColor& color, bool&) {
            if (fail) throw std::runtime_error("not computed");
            y = 5;
            color = cCurve;
        };
        const QPoint at(chart.ValueToPixelX(5), chart.ValueToPixelY(5));
        const QImage broken = Paint(chart);
        QVERIFY(Is(broken, at, cPaper));
        fail = false;
        QVERIFY(Is(Paint(chart), at, cCurve));
    }

    void userLayersComeInPaintOrderWithTheirOwnPainterState() {
        TDiagramm chart;
        Setup(chart);
        chart.SetLines(true);
        std::vector<TPaintLayer> layers;
        chart.OnGetY = [](TDiagramm*, double, int, double& y, QColor& color, bool&) {
            y = 5;
            color = cCurve;
        };
        chart.OnUserPaint = [&](TDiagramm* c, TPaintLayer layer, QPainter& p) {
            layers.push_back(layer);
            if (layer == plPaper) {
                // Paper layer: under grid and curves. Its painter changes must not leak.
                p.fillRect(c->PlotRect(), Qt::yellow);
                p.translate(40, 40);
                p.setPen(Qt::red);
            }
            if (layer == plGetY)
                p.fillRect(QRect(QPoint(c->ValueToPixelX(7), 0), QSize(1, 1000)), Qt::darkCyan);
        };
        const QImage image = Paint(chart);
        QCOMPARE(layers,
                 (std::vector<TPaintLayer>{plPaper, plGetMinMax, plCross, plUnits, plGetY}));
        const int row = chart.ValueToPixelY(5);
        QVERIFY(Is(image, {chart.ValueToPixelX(3), row}, cCurve));
        QVERIFY(Is(image, {chart.ValueToPixelX(3.5), chart.ValueToPixelY(7.5)}, Qt::yellow));
        QVERIFY(Is(image, {chart.ValueToPixelX(3.5), chart.ValueToPixelY(7)},
                   QColor(0xC0, 0xC0, 0xC0)));
        QVERIFY(Is(image, {chart.ValueToPixelX(7), row}, Qt::darkCyan));
    }

    void labelsStandOnTheirTicksInTheValueColour() {
        TDiagramm chart;
        Setup(chart, {400, 300});
        chart.SetXColorValue(Qt::blue);
        const QImage image = Paint(chart);
        const auto& labels = chart.Context().Labels(daX);
        QVERIFY(labels.size() >= 3);
        for (const TDiagramLabel& label : labels) {
            QVERIFY(qAbs(label.Rect.center().x() - chart.ValueToPixelX(label.Value)) <= 1);
            QVERIFY(label.Rect.top() > chart.PlotRect().bottom());
            int blue = 0;
            for (int y = label.Rect.top(); y <= label.Rect.bottom(); ++y)
                for (int x = label.Rect.left(); x <= label.Rect.right(); ++x)
                    blue += Is(image, {x, y}, Qt::blue) ? 1 : 0;
            QVERIFY2(blue > 0, qPrintable(label.Text));
        }
    }

    void baseContextDrawsItsNameOnWhite() {
        TCustomContextTAV context(nullptr);
        QImage image(200, 60, QImage::Format_RGB32);
        image.fill(Qt::red);
        context.SetRect(image.rect());
        QPainter painter(&image);
        context.SetCanvas(&painter);
        context.Paint();
        painter.end();
        QVERIFY(Is(image, {0, 0}, Qt::white));
        QVERIFY(Is(image, {199, 59}, Qt::white));
        int ink = 0;
        for (int x = 0; x < 200; ++x)
            for (int y = 0; y < 60; ++y) ink += image.pixelColor(x, y).lightness() < 128 ? 1 : 0;
        QVERIFY(ink > 0);
    }
};

QTEST_MAIN(DiagramPaintTest)
#include "diagram_paint_test.moc"

// Axis steps, label formats and captions as the chart control chooses and draws them.

#include "gui/chart/diagramm.h"

#include <QtTest>

namespace {

QStringList Texts(const TDiagramm& chart, TDiagramAxis axis) {
    QStringList out;
    for (const TDiagramLabel& label : chart.Context().Labels(axis)) out << label.Text;
    return out;
}

} // namespace

class DiagramAxisTest : public QObject {
    Q_OBJECT

private slots:
    void newChartHasTheDefaultAxes() {
        TDiagramm chart;
        QCOMPARE(chart.size(), QSize(150, 100));
        for (TDiagramAxis a : {daX, daY, daY2}) {
            QCOMPARE(chart.Min(a), 0.0);
            QCOMPARE(chart.Max(a), 1.0);
            QCOMPARE(chart.Step(a), 0.1);
            QCOMPARE(chart.Mark(a), 0.2);
            QCOMPARE(chart.Precision(a), 5);
            QCOMPARE(chart.Decimals(a), 2);
            QCOMPARE(chart.StepMin(a), 5);
            QVERIFY(!chart.Log(a) && !chart.AutoStep(a));
        }
        QCOMPARE(chart.XUnit(), QString("x"));
        QCOMPARE(chart.Y2Unit(), QString("y2"));
        QCOMPARE(chart.Y2ColorValue(), QColor(Qt::red));
        QCOMPARE(chart.Y2ColorLine(), QColor(0x80, 0x00, 0x80));
        QCOMPARE(chart.YColorLine(), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(chart.Curves(), 1);
        QCOMPARE(chart.CurvesY2(), 0);
        QVERIFY(chart.Lines());
        QCOMPARE(chart.Layout(), cdlClassic);
        QCOMPARE(chart.Context().AxesDrawn(), 2);
        chart.SetLayout(cdlVelmarYY);
        QCOMPARE(chart.Context().AxesDrawn(), 3);
    }

    void automaticStepFollowsEveryRangeChange_data() {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<int>("stepMin");
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("decimals");
        QTest::newRow("0..7") << 0.0 << 7.0 << 5 << 1.0 << 0;
        QTest::newRow("0..100") << 0.0 << 100.0 << 5 << 10.0 << 0;
        QTest::newRow("3..7") << 3.0 << 7.0 << 5 << 0.5 << 1;
        QTest::newRow("0..0.03, 3 steps") << 0.0 << 0.03 << 3 << 0.01 << 2;
    }

    void automaticStepFollowsEveryRangeChange() {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(int, stepMin);
        QFETCH(double, step);
        QFETCH(int, decimals);
        TDiagramm chart;
        chart.SetYAutoStep(true);
        chart.SetYStepMin(stepMin);
        chart.SetYMax(max); // before the minimum: 3..7 passes through an empty range
        chart.SetYMin(min);
        QCOMPARE(chart.YStep(), step);
        QCOMPARE(chart.YMark(), step);
        QCOMPARE(chart.YDecimals(), decimals);
        // The other axes keep theirs.
        QCOMPARE(chart.XStep(), 0.1);
        QCOMPARE(chart.Y2Step(), 0.1);
    }

    void manualStepStaysUntilAutoStepIsOn() {
        TDiagramm chart;
        chart.SetXStep(0.25);
        chart.SetXMark(0.5);
        chart.SetXMax(100);
        QCOMPARE(chart.XStep(), 0.25);
        chart.SetXAutoStep(true);
        QCOMPARE(chart.XStep(), 10.0);
        // The step minimum changes the automatic step too.
        chart.SetXStepMin(20);
        QCOMPARE(chart.XStep(), 2.0);
    }

    void linearLabelsShowTheStepAndLeaveNoCrowd() {
        TDiagramm chart;
        chart.resize(400, 300);
        chart.SetXAutoStep(true);
        chart.SetXMax(7);
        chart.SetYAutoStep(true);
        chart.SetYMin(3);
        chart.SetYMax(7);
        QCOMPARE(Texts(chart, daX), QStringList({"0", "1", "2", "3", "4", "5", "6", "7"}));
        QCOMPARE(Texts(chart, daY).first(), QString("3.0"));
        QVERIFY(Texts(chart, daY).contains("5.0"));

        // Squeezed: labels fall out, the rest keep 5 pixels apart and stay on their ticks.
        chart.resize(400, 90);
        const auto& labels = chart.Context().Labels(daY);
        QVERIFY(labels.size() >= 2);
        QVERIFY(labels.size() < 9);
        for (size_t i = 1; i < labels.size(); ++i)
            QVERIFY(labels[i - 1].Rect.top() - (labels[i].Rect.bottom() + 1) >= 5);
        for (const TDiagramLabel& label : labels)
            QVERIFY(qAbs(label.Rect.center().y() - chart.ValueToPixelY(label.Value)) <= 1);
    }

    void logLabelsStandAtWholeDecades() {
        TDiagramm chart;
        chart.resize(400, 300);
        chart.SetXLog(true);
        chart.SetXMin(0.05);
        chart.SetXMax(2000);
        chart.SetXAutoStep(true);
        QCOMPARE(Texts(chart, daX), QStringList({"0.1", "1.0", "10.0", "100.0", "1000.0"}));
        chart.SetXMin(1);
        QCOMPARE(Texts(chart, daX), QStringList({"1", "10", "100", "1000"}));
        for (const TDiagramLabel& label : chart.Context().Labels(daX))
            QVERIFY(qAbs(label.Rect.center().x() - chart.ValueToPixelX(label.Value)) <= 1);
    }

    void fixedFormatWithPrecisionZero() {
        TDiagramm chart;
        chart.resize(400, 300);
        chart.SetXPrecision(0);
        chart.SetXDecimals(3);
        chart.SetXAutoStep(true);
        chart.SetXMax(2);
        // The format is not derived: precision 0 writes the short decimal form.
        QCOMPARE(chart.XPrecision(), 0);
        QCOMPARE(Texts(chart, daX).mid(0, 3), QStringList({"0", "0.2", "0.4"}));
    }

    void y2LabelsOnlyInTheTwoAxisLayout() {
        TDiagramm chart;
        chart.resize(400, 300);
        chart.SetY2Max(50);
        chart.SetY2AutoStep(true);
        QVERIFY(chart.Context().Labels(daY2).empty());
        chart.SetLayout(cdlVelmarYY);
        QVERIFY(!chart.Context().Labels(daY2).empty());
        for (const TDiagramLabel& label : chart.Context().Labels(daY2))
            QVERIFY(label.Rect.left() > chart.PlotRect().right());
    }

    void captionsFillInTheUnitSymbol() {
        TDiagramm chart;
        chart.SetYUnit("A [%s]");
        chart.SetYMeasurement(cUM_m2);
        QCOMPARE(chart.Context().Caption(daY), QString("A [m²]"));
        chart.SetReplaceSpecialChars(true);
        QCOMPARE(chart.Context().Caption(daY), QString("A [m^2]"));
        QCOMPARE(chart.Context().Caption(daX), QString("x"));
    }

    void mappingAndIsInside() {
        TDiagramm chart;
        chart.resize(300, 200);
        chart.SetXMax(10);
        chart.SetYMax(10);
        const QRect plot = chart.PlotRect();
        QCOMPARE(chart.ValueToPixelX(0), plot.left());
        QCOMPARE(chart.ValueToPixelX(10), plot.right());
        QCOMPARE(chart.ValueToPixelY(0), plot.bottom());
        QCOMPARE(chart.ValueToPixelY(10), plot.top());
        QPoint p;
        QVERIFY(chart.IsInside(5, 5, p));
        QCOMPARE(p, QPoint(chart.ValueToPixelX(5), chart.ValueToPixelY(5)));
        QVERIFY(chart.IsInside(10, 0, p));
        QVERIFY(!chart.IsInside(10.5, 5, p));
        QVERIFY(!chart.IsInside(5, -0.5, p));
        // The margins shrink the plot area.
        chart.SetMarginLeft(20);
        chart.SetMarginBottom(10);
        QCOMPARE(chart.PlotRect().left(), plot.left() + 20);
        QCOMPARE(chart.PlotRect().bottom(), plot.bottom() - 10);
        QCOMPARE(chart.PlotRect().right(), plot.right());
    }
};

QTEST_MAIN(DiagramAxisTest)
#include "diagram_axis_test.moc"

// One repaint of a chart whose plot area is 1,000 pixel columns wide, into an image: four
// curves (the schematic acceleration, velocity and position of a pneumatic stroke and a
// smooth comparison curve), asked for once per column each, with grid, marks, labels and
// captions. Variants add two min-max bands, a logarithmic X axis and wide lines. The
// baseline is the paint with no curves at all, so the difference is the cost of sampling
// and drawing the curves.

#include "core/calc/pneumatic_motion.h"
#include "core/quantities/units.h"
#include "gui/chart/diagramm.h"

#include <benchmark/benchmark.h>
#include <cmath>

#include <QApplication>
#include <QImage>
#include <QPainter>

namespace {

constexpr int cColumns = 1000;
constexpr double cDuration = 0.8; // s

struct TBenchChart {
    TDiagramm Chart;
    QImage Image;
    int Calls = 0;

    explicit TBenchChart(int curves, int bands = 0, bool logX = false, int lineWidth = 1) {
        Chart.BeginUpdate();
        Chart.SetXLog(logX);
        Chart.SetXMin(logX ? 0.001 : 0.0);
        Chart.SetXMax(cDuration);
        Chart.SetYMin(-12.0);
        Chart.SetYMax(12.0);
        Chart.SetXAutoStep(true);
        Chart.SetYAutoStep(true);
        Chart.SetXUnit("t [%s]");
        Chart.SetXMeasurement(cUM_s);
        Chart.SetYUnit("a [%s]");
        Chart.SetYMeasurement(cUM_m_s2);
        Chart.SetCurves(curves);
        Chart.SetCurvesMinMax(bands);
        Chart.SetLineWidth(lineWidth);
        Chart.EndUpdate();

        Chart.OnGetY = [this](TDiagramm*, double x, int curve, double& y, QColor& color, bool&) {
            ++Calls;
            switch (curve) {
            case 0:
                y = PneumaticCurveValue(cpcLinearAcceleration, x, cDuration, 12.0, -12.0);
                color = Qt::darkBlue;
                break;
            case 1:
                y = PneumaticCurveValue(cpcVelocity, x, cDuration, 10.0, 0.0);
                color = Qt::darkGreen;
                break;
            case 2:
                y = PneumaticCurveValue(cpcPosition, x, cDuration, 8.0, 0.0);
                color = Qt::darkRed;
                break;
            default:
                y = 6.0 * std::sin(12.0 * x);
                color = Qt::red;
                break;
            }
        };
        Chart.OnGetYMinMax = [this](TDiagramm*, double x, int curve, double& minY, double& maxY,
                                    QColor& color, bool& valid) {
            ++Calls;
            const TPneumaticBand band = PneumaticCurveBand(
                curve == 0 ? cpcLinearAcceleration : cpcVelocity, x, cDuration, 12.0, -12.0);
            valid = band.Valid;
            minY = band.From;
            maxY = band.To;
            color = curve == 0 ? QColor(200, 200, 255) : QColor(200, 255, 200);
        };

        // Size the chart so that the plot area is exactly cColumns wide.
        QSize size(cColumns + 100, 400);
        for (int i = 0; i < 3; ++i) {
            Chart.resize(size);
            size.rwidth() += cColumns - Chart.PlotRect().width();
        }
        Chart.resize(size);
        Image = QImage(size, QImage::Format_RGB32);
    }

    void Paint() {
        QPainter painter(&Image);
        Chart.RenderTo(painter, Image.rect());
    }
};

void Run(benchmark::State& state, TBenchChart& b) {
    b.Paint();
    if (b.Chart.PlotRect().width() != cColumns) {
        state.SkipWithError("plot area is not 1000 columns wide");
        return;
    }
    b.Calls = 0;
    for (auto _ : state) {
        b.Paint();
        benchmark::DoNotOptimize(b.Image.constBits());
    }
    state.counters["calls/paint"] = double(b.Calls) / double(state.iterations());
    state.counters["paints/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ChartPaintNoCurves(benchmark::State& state) {
    TBenchChart b(0);
    Run(state, b);
}
BENCHMARK(BM_ChartPaintNoCurves)->Unit(benchmark::kMillisecond);

void BM_ChartPaintFourCurves(benchmark::State& state) {
    TBenchChart b(4);
    Run(state, b);
}
BENCHMARK(BM_ChartPaintFourCurves)->Unit(benchmark::kMillisecond);

void BM_ChartPaintFourCurvesTwoBands(benchmark::State& state) {
    TBenchChart b(4, 2);
    Run(state, b);
}
BENCHMARK(BM_ChartPaintFourCurvesTwoBands)->Unit(benchmark::kMillisecond);

void BM_ChartPaintFourCurvesLogX(benchmark::State& state) {
    TBenchChart b(4, 0, true);
    Run(state, b);
}
BENCHMARK(BM_ChartPaintFourCurvesLogX)->Unit(benchmark::kMillisecond);

void BM_ChartPaintFourCurvesWidth3(benchmark::State& state) {
    TBenchChart b(4, 0, false, 3);
    Run(state, b);
}
BENCHMARK(BM_ChartPaintFourCurvesWidth3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Painting into images needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#include "app/gallery/gallery_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "core/calc/venturi.h"
#include "core/workflow/vacuum_application.h"
#include "gui/chart/diagramm.h"

namespace {

// The distinct vacuum curves of the generators, in table order.
std::vector<std::string> VacuumCurveNames(const TVacuumApplication& app, size_t count) {
    std::vector<std::string> names;
    const int col = app.Venturis.ColByName("Unterdruck");
    for (int r = 0; r < app.Venturis.Rows() && names.size() < count; ++r) {
        std::string name = app.Venturis.AsText(r, col);
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
    }
    return names;
}

} // namespace

TGalleryWindow::TGalleryWindow(const std::string& productFile, QWidget* parent)
    : QMainWindow(parent), app_(std::make_unique<TVacuumApplication>(productFile)) {
    setWindowTitle("vacuum-gallery");
    tabs_ = new QTabWidget(this);
    setCentralWidget(tabs_);
    if (!Active()) return;
    tabs_->addTab(ChartPage(), "Chart");
}

TGalleryWindow::~TGalleryWindow() = default;

bool TGalleryWindow::Active() const { return app_->Active(); }
std::string TGalleryWindow::LastError() const { return app_->LastError(); }

void TGalleryWindow::ShowPage(int index) {
    if (index >= 0 && index < tabs_->count()) tabs_->setCurrentIndex(index);
}

// Vacuum over operating pressure of four generators, the range of the whole catalogue as a
// band, and the air consumption of the first on the second Y axis. Shift-drag zooms.
QWidget* TGalleryWindow::ChartPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel("Vacuum [bar] of four vacuum generators over the operating pressure [bar]; "
                                 "grey: the range of all generators; red on the right: air consumption "
                                 "[l/min] of the first. Shift + drag zooms."));
    chart_ = new TDiagramm(page);
    layout->addWidget(chart_, 1);
    auto* buttons = new QHBoxLayout;
    auto* undo = new QPushButton("Undo zoom", page);
    buttons->addWidget(undo);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(undo, &QPushButton::clicked, this, [this] { chart_->ZoomUndo(); });

    const std::vector<std::string> all = VacuumCurveNames(*app_, 1000);
    std::vector<std::string> curves; // four spread over the catalogue
    for (size_t i = 0; i < 4 && !all.empty(); ++i) curves.push_back(all[i * (all.size() - 1) / 3]);
    const int airCol = app_->Venturis.ColByName("Luftverbrauch");
    const std::string air = app_->Venturis.Rows() > 0 ? app_->Venturis.AsText(0, airCol) : std::string();
    const TVacuumApplication* app = app_.get();

    chart_->BeginUpdate();
    chart_->SetLayout(cdlVelmarYY);
    chart_->SetXMin(2.0);
    chart_->SetXMax(7.0);
    chart_->SetYMin(0.0);
    chart_->SetYMax(1.0);
    chart_->SetY2Min(0.0);
    chart_->SetY2Max(40.0);
    chart_->SetXMeasurement(cUM_bar);
    chart_->SetYMeasurement(cUM_bar);
    chart_->SetXUnit("p [%s]");
    chart_->SetYUnit("Vacuum [%s]");
    chart_->SetY2Unit("l/min");
    chart_->SetCurves(static_cast<int>(curves.size()));
    chart_->SetCurvesMinMax(1);
    chart_->SetCurvesY2(air.empty() ? 0 : 1);
    chart_->SetXAutoStep(true);
    chart_->SetYAutoStep(true);
    chart_->SetY2AutoStep(true);
    chart_->SetZoomEnabled(true);
    const QColor colors[] = {Qt::blue, Qt::darkGreen, Qt::darkMagenta, Qt::darkCyan};
    chart_->OnGetY = [curves, app, colors](TDiagramm*, double x, int curve, double& y, QColor& color, bool& valid) {
        y = CurveValue(&app->CurveVacuum, curves[static_cast<size_t>(curve)], x);
        color = colors[curve % 4];
        valid = y > 0.0;
    };
    chart_->OnGetYMinMax = [all, app](TDiagramm*, double x, int, double& lo, double& hi, QColor& color, bool& valid) {
        lo = 1e9;
        hi = 0.0;
        for (const std::string& name : all) {
            const double v = CurveValue(&app->CurveVacuum, name, x);
            if (v <= 0.0) continue;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        color = QColor(220, 220, 220);
        valid = hi > 0.0;
    };
    chart_->OnGetY2 = [air, app](TDiagramm*, double x, int, double& y, QColor& color, bool& valid) {
        y = CurveValue(&app->CurveAirConsumption, air, x);
        color = Qt::red;
        valid = y > 0.0;
    };
    chart_->EndUpdate();
    return page;
}

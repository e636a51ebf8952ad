#include "app/dialogs/venturi_chart/form_venturi.h"

#include "core/calc/venturi.h"
#include "core/quantities/units.h"
#include "core/workflow/vacuum_application.h"
#include "gui/chart/diagramm.h"
#include "gui/fields/fmu2_panel.h"

#include <cmath>

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr double kPaPerBar = 1.0e5;

struct TChartPageSetup {
    const char* Key;
    const char* Panel;
    double XMax;
    double YMin;
    //! Upper end before a generator gives its own.
    double YMax;
    TNUMessurement YUnit;
};

// Over the operating pressure in bar: air consumption and suction capacity in l/min, the
// vacuum reached in bar, the sound level in dB(A).
constexpr TChartPageSetup kPages[TFormVenturi::cChartPages] = {
    {"~AirConsumption", "PanelLuftverbrauch", 7.0, 0.0, 700.0, cUM_dm3_min},
    {"~SuctionCapacity", "PanelSaugleistung", 7.0, 0.0, 100.0, cUM_dm3_min},
    {"~Vacuum", "PanelUnterdruckIst", 7.0, 0.4, 1.0, cUM_bar},
    {"~SoundPressureLevel", "PanelSchalldruckpegel", 8.0, 40.0, 100.0, cUM_dBA},
};
constexpr double kXMin = 3.0;

const QColor kCurveColor(0, 70, 170);
const QColor kMarkerFill(Qt::cyan); // aqua

// The legend's sign: the operating point as the charts draw it.
class TMarkerSign : public QWidget {
public:
    explicit TMarkerSign(QWidget* parent) : QWidget(parent) { setFixedSize(14, 14); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::black);
        p.setBrush(kMarkerFill);
        p.drawEllipse(QPointF(width() / 2.0, height() / 2.0), TFormVenturi::cMarkerRadius,
                      TFormVenturi::cMarkerRadius);
    }
};

} // namespace

TFormVenturi::TFormVenturi(TVacuumApplication& app, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), app_(app), language_(this) {
    setObjectName("FormVenturi");
    setMinimumSize(cMinWidth, cMinHeight);
    auto* layout = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControlVenturi");
    for (int page = 0; page < cChartPages; ++page)
        pages_->addTab(BuildPage(page), kPages[page].Key);
    // The vacuum comes first to the eye: the page the user asked the generator for.
    pages_->setCurrentIndex(cvpVacuum);
    layout->addWidget(pages_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    ok_ = new QPushButton("~OK", this);
    ok_->setObjectName("ButtonOK");
    ok_->setDefault(true);
    buttons->addWidget(ok_);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &QWidget::close);
    resize(560, 380);

    changed_ = app_.Changed.Connect([this](TAspects a) { Follow(a); });
    language_.Loaded();
    Retranslate();
    UpdateValues();
}

TFormVenturi::~TFormVenturi() = default;

QWidget* TFormVenturi::BuildPage(int page) {
    const TChartPageSetup& entry = kPages[page];
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    auto* chart = new TDiagramm(box);
    chart->setObjectName(QString("Diagramm%1").arg(page));
    chart->BeginUpdate();
    chart->SetLayout(cdlVelmar);
    chart->SetXMin(kXMin);
    chart->SetXMax(entry.XMax);
    chart->SetYMin(entry.YMin);
    chart->SetYMax(entry.YMax);
    chart->SetXMeasurement(cUM_bar);
    chart->SetYMeasurement(entry.YUnit);
    chart->SetXAutoStep(true);
    chart->SetYAutoStep(true);
    chart->SetLineWidth(2);
    chart->SetCurves(1);
    chart->OnGetY = [this, page](TDiagramm*, double x, int, double& y, QColor& color, bool& valid) {
        color = kCurveColor;
        y = CurveAt(page, x);
        valid = app_.Venturi.SelectedRow() >= 0;
    };
    chart->OnUserPaint = [this, page](TDiagramm* sender, TPaintLayer layer, QPainter& canvas) {
        double x = 0.0, y = 0.0;
        if (layer != plGetY || !OperatingPoint(page, x, y)) return;
        QPoint at;
        if (!sender->IsInside(x, y, at)) return;
        canvas.save();
        canvas.setRenderHint(QPainter::Antialiasing);
        canvas.setPen(QPen(Qt::black, 1));
        canvas.setBrush(kMarkerFill);
        canvas.drawEllipse(QPointF(at), cMarkerRadius, cMarkerRadius);
        canvas.restore();
    };
    chart->EndUpdate();
    charts_[static_cast<size_t>(page)] = chart;
    layout->addWidget(chart, 1);

    auto* legend = new QHBoxLayout;
    legend->addWidget(new TMarkerSign(box));
    auto* caption = new QLabel("~OperationPoint", box);
    caption->setObjectName(QString("LabelOperationPoint%1").arg(page));
    legend->addWidget(caption);
    legend->addStretch(1);
    auto* panel = new TFMU2Panel(box);
    panel->setObjectName(entry.Panel);
    panel->SetTranslate(app_.Translator());
    switch (page) {
    case cvpVacuum:
        panel->SetNormUnit(cNU_pressure);
        panel->SetPreferredSIUnit(cUM_bar);
        panel->SetPreferredUSUnit(cUM_psi);
        break;
    case cvpSoundPressureLevel:
        panel->SetNormUnit(cNU_noise);
        panel->SetPreferredSIUnit(cUM_dBA);
        panel->SetPreferredUSUnit(cUM_dBA);
        break;
    default:
        panel->SetNormUnit(cNU_VolumePerTime);
        panel->SetPreferredSIUnit(cUM_dm3_min);
        panel->SetPreferredUSUnit(cUM_ft3_min);
        break;
    }
    panel->SetAutoUnitChange(true);
    panel->SetDecimals(-3);
    panel->setMinimumWidth(150);
    legend->addWidget(panel);
    caption->setBuddy(panel);
    panels_[static_cast<size_t>(page)] = panel;
    layout->addLayout(legend);
    return box;
}

double TFormVenturi::CurveAt(int page, double xBar) const {
    const TVenturiCurveNames& names = app_.Venturi.SelectedCurves();
    switch (page) {
    case cvpAirConsumption:
        return CurveValue(&app_.CurveAirConsumption, names.AirConsumption, xBar);
    case cvpSuctionCapacity:
        return CurveValue(&app_.CurveSuctionCapacity, names.SuctionCapacity, xBar);
    case cvpVacuum:
        return CurveValue(&app_.CurveVacuum, names.Vacuum, xBar);
    default:
        return CurveValue(&app_.CurveSound, names.SoundPressureLevel, xBar);
    }
}

bool TFormVenturi::OperatingPoint(int page, double& x, double& y) const {
    const TMyProject::TVenturi& v = app_.Document.Venturi;
    if (app_.Venturi.SelectedRow() < 0 || v.Count <= 0) return false;
    const TOperatingValues& op = app_.Venturi.OperatingPoint();
    x = v.Pressure / kPaPerBar;
    switch (page) {
    case cvpAirConsumption:
        y = op.AirConsumption;
        break;
    case cvpSuctionCapacity:
        y = op.SuctionCapacity;
        break;
    case cvpVacuum:
        y = -op.Vacuum / kPaPerBar;
        break;
    // The curve is of one generator: the point sits on it.
    default:
        y = CurveAt(page, x);
        break;
    }
    return std::isfinite(x) && std::isfinite(y);
}

void TFormVenturi::ShowWithCaption(const QString& caption) {
    setWindowTitle(caption);
    UpdateValues();
    FitTabs();
    show();
    raise();
}

void TFormVenturi::FitTabs() {
    // Wide enough that every page's title shows whole; a window made narrower by the user
    // scrolls its titles instead.
    const QMargins margins = layout()->contentsMargins();
    const int frame = 2 * pages_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, pages_);
    const int need = pages_->tabBar()->sizeHint().width() + margins.left() + margins.right() + frame;
    if (width() < need) resize(need, height());
}

void TFormVenturi::Follow(TAspects aspects) {
    if (aspects.Has(caLanguage)) {
        Retranslate();
        if (isVisible()) FitTabs();
    }
    if (aspects.Intersects({caVacuumGenerator, caTube, caArrangement, caSuctionCup, caDocument}))
        UpdateValues();
}

void TFormVenturi::Retranslate() {
    const QString pressure =
        QString::fromStdString(app_.Language.TranslateDisplay("~WorkingPressure"));
    for (int page = 0; page < cChartPages; ++page) {
        TDiagramm* chart = Chart(page);
        chart->BeginUpdate();
        chart->SetXUnit(pressure + " [%s]");
        chart->SetYUnit(QString::fromStdString(app_.Language.TranslateDisplay(kPages[page].Key)) +
                        " [%s]");
        chart->EndUpdate();
    }
}

void TFormVenturi::UpdateValues() {
    TVenturiModel& model = app_.Venturi;
    if (model.SelectedRow() >= 0)
        setWindowTitle(QString::fromStdString(model.LabelSelectedVenturiNozzle()));
    const TOperatingValues& op = model.OperatingPoint();
    panels_[cvpAirConsumption]->SetValue(ToBaseUnit(cUM_dm3_min, op.AirConsumption));
    panels_[cvpSuctionCapacity]->SetValue(ToBaseUnit(cUM_dm3_min, op.SuctionCapacity));
    panels_[cvpVacuum]->SetValue(op.Vacuum);
    panels_[cvpSoundPressureLevel]->SetValue(op.SoundPressureLevel);
    // The generator's own upper ends of the charts; the vacuum chart keeps its range.
    const double upper[cChartPages] = {model.MaxLV(), model.MaxSL(), 0.0, model.MaxSD()};
    for (int page = 0; page < cChartPages; ++page) {
        TDiagramm* chart = Chart(page);
        chart->BeginUpdate();
        const double top = upper[page];
        chart->SetYMax(top > kPages[page].YMin ? top : kPages[page].YMax);
        chart->Redraw();
        chart->EndUpdate();
    }
}

#include "app/pages/forces/forces_page.h"

#include "core/quantities/units.h"
#include "core/workflow/vacuum_application.h"
#include "gui/chart/diagramm.h"
#include "gui/fields/field_layout.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/lang/language_form.h"

#include <cmath>

#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {

struct TForceRow {
    const char* Caption;
    const char* Panel;
    const char* Sign;
};
constexpr TForceRow kForceRows[TForcesPage::cSeriesCount] = {
    {"~ForceX", "PanelKraftX", "ShapeXAxis"},
    {"~ForceY", "PanelKraftY", "ShapeYAxis"},
    {"~ForceZ", "PanelKraftZ", "ShapeZAxis"},
    {"~TotalForce", "PanelKraftGes", "ShapeSumAxis"},
};

struct TMomentRow {
    const char* Caption;
    const char* Panel;
};
constexpr TMomentRow kMomentRows[3] = {
    {"~PlaneYZ", "PanelMomentYZ"},
    {"~PlaneXZ", "PanelMomentXZ"},
    {"~PlaneXY", "PanelMomentXY"},
};

// The unit the chart shows its forces in: that of the force panels.
TNUMessurement ChartUnit(const TFMU2Panel* panel) {
    return panel->CurrentUnit();
}

} // namespace

QColor TForcesPage::SeriesColor(int series) {
    switch (series) {
    case cSeriesX:
        return QColor(0, 0, 128); // navy
    case cSeriesY:
        return QColor(0, 128, 0); // green
    case cSeriesZ:
        return QColor(128, 0, 0); // maroon
    default:
        return QColor(255, 0, 0); // red
    }
}

TForcesPage::TForcesPage(TPageContext& context) : context_(context) {
    setObjectName("PageForces");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    // The values keep their height when the help beside them takes more lines.
    top->addWidget(BuildForces(), 0, Qt::AlignTop);
    top->addWidget(BuildMoments(), 0, Qt::AlignTop);
    top->addWidget(BuildHelp(), 1);
    layout->addLayout(top);
    BuildChart();
    layout->addWidget(chart_, 1);
    Refresh(TAspects::All());
    // The unit buttons of the page's panels end at one line.
    AlignUnitButtons(this);
}

TForcesPage::~TForcesPage() = default;

QWidget* TForcesPage::BuildForces() {
    auto* box = new QGroupBox("~Forces", this);
    box->setObjectName("GroupBoxKraefte");
    auto* form = new QFormLayout(box);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const TTranslateFunc tr = context_.App.Translator();
    for (int s = 0; s < cSeriesCount; ++s) {
        const TForceRow& r = kForceRows[s];
        auto* panel = new TFMU2Panel(box);
        panel->setObjectName(r.Panel);
        panel->SetNormUnit(CNU_force);
        panel->SetPreferredSIUnit(cUM_N);
        panel->SetPreferredUSUnit(cUM_lbf);
        panel->SetAutoUnitChange(true);
        panel->SetDecimals(-3);
        panel->SetTranslate(tr);
        panel->setMinimumWidth(150);
        // The legend: a sign in the series' colour before the caption.
        auto* caption = new QWidget(box);
        auto* row = new QHBoxLayout(caption);
        row->setContentsMargins(0, 0, 0, 0);
        auto* sign = new QFrame(caption);
        sign->setObjectName(r.Sign);
        sign->setFixedSize(14, 14);
        sign->setFrameShape(QFrame::Box);
        sign->setAutoFillBackground(true);
        QPalette pal = sign->palette();
        pal.setColor(QPalette::Window, SeriesColor(s));
        pal.setColor(QPalette::WindowText, Qt::black);
        sign->setPalette(pal);
        row->addWidget(sign);
        auto* label = new QLabel(r.Caption, caption);
        label->setObjectName(QString("Label%1").arg(r.Panel + 5));
        label->setBuddy(panel);
        row->addWidget(label, 1);
        form->addRow(caption, panel);
        forces_[static_cast<size_t>(s)] = panel;
        signs_[static_cast<size_t>(s)] = sign;
        if (s == cSeriesTotal) totalLabel_ = label;
        // The chart shows the forces in the panels' unit.
        connect(panel, &TFMU2Custom::unitChanged, this, [this] { ShowChartRanges(); });
        connect(panel->UnitMenu(), &QMenu::triggered, this,
                [this] { QTimer::singleShot(0, this, [this] { ShowChartRanges(); }); });
    }
    return box;
}

QWidget* TForcesPage::BuildMoments() {
    auto* box = new QGroupBox("~Moments", this);
    box->setObjectName("GroupBoxMomente");
    auto* form = new QFormLayout(box);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const TTranslateFunc tr = context_.App.Translator();
    for (int m = 0; m < 3; ++m) {
        auto* panel = new TFMU2Panel(box);
        panel->setObjectName(kMomentRows[m].Panel);
        panel->SetNormUnit(cNU_torque);
        panel->SetPreferredSIUnit(cUM_Nm);
        panel->SetPreferredUSUnit(cUM_ftlbf);
        panel->SetAutoUnitChange(true);
        panel->SetDecimals(-3);
        panel->SetTranslate(tr);
        panel->setMinimumWidth(150);
        auto* label = new QLabel(kMomentRows[m].Caption, box);
        label->setBuddy(panel);
        form->addRow(label, panel);
        moments_[static_cast<size_t>(m)] = panel;
    }
    return box;
}

QWidget* TForcesPage::BuildHelp() {
    help_ = new QLabel(this);
    help_->setObjectName("LabelForcesHelp");
    help_->setWordWrap(true);
    help_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    help_->setContentsMargins(8, 8, 0, 0);
    help_->setMinimumWidth(160);
    return help_;
}

void TForcesPage::BuildChart() {
    chart_ = new TDiagramm(this);
    chart_->setObjectName("DiagrammKraefte");
    chart_->setMinimumHeight(200);
    chart_->BeginUpdate();
    chart_->SetLayout(cdlVelmar);
    chart_->SetXMeasurement(cUM_s);
    chart_->SetYMeasurement(cUM_N);
    chart_->SetXAutoStep(true);
    chart_->SetYAutoStep(true);
    chart_->SetLineWidth(2);
    chart_->SetCurves(cSeriesCount);
    chart_->OnGetY = [this](TDiagramm*, double x, int curve, double& y, QColor& color,
                            bool& valid) {
        if (curve >= ChartSeries()) {
            valid = false;
            return;
        }
        color = SeriesColor(curve);
        context_.App.Forces.DiagrammKraefteGetY(x, curve, y, valid);
        if (valid) y = FromBaseUnit(chart_->YMeasurement(), y);
    };
    // A click into the chart recomputes the extremes, the ranges and the moments.
    chart_->OnMouseDown = [this](TDiagramm*, QMouseEvent* event) {
        if (event->button() != Qt::LeftButton) return;
        TVacuumApplication& app = context_.App;
        app.Input([&] { app.Forces.KraftChange(); });
    };
    chart_->EndUpdate();
}

int TForcesPage::ChartSeries() const {
    return context_.App.Forces.TotalForceVisible() ? cSeriesCount : cSeriesTotal;
}

void TForcesPage::Retranslate() {
    TLanguageForm& language = context_.Language;
    chart_->BeginUpdate();
    chart_->SetXUnit(language.Tr("~Time") + " [%s]");
    chart_->SetYUnit(language.Tr("~Force") + " [%s]");
    chart_->EndUpdate();
    help_->setText(
        language.Tr("~HelpForcesIntro") + "\n\n" + language.Tr("~HelpForcesAxes") +
        (ChartSeries() == cSeriesCount ? "\n\n" + language.Tr("~HelpForcesTotal") : QString()));
}

void TForcesPage::Enter() {
    ShowResults();
}

void TForcesPage::Refresh(TAspects aspects) {
    if (aspects.Intersects({caForces, caMotion, caDrive, caWorkpiece, caDocument, caNavigator}))
        ShowResults();
    if (aspects.Has(caLanguage)) Retranslate();
}

void TForcesPage::ShowResults() {
    const TForcesModel& model = context_.App.Forces;
    const TForceExtremes& f = model.Extremes();
    const TGripperMoments& m = model.Moments();
    const double forces[cSeriesCount] = {f.Fx, f.Fy, f.Fz, f.F};
    for (int s = 0; s < cSeriesCount; ++s) forces_[static_cast<size_t>(s)]->SetValue(forces[s]);
    const double moments[3] = {m.YZ, m.XZ, m.XY};
    for (int p = 0; p < 3; ++p) moments_[static_cast<size_t>(p)]->SetValue(moments[p]);
    const bool total = model.TotalForceVisible();
    const bool wasTotal = !forces_[cSeriesTotal]->isHidden();
    forces_[cSeriesTotal]->setVisible(total);
    totalLabel_->parentWidget()->setVisible(total);
    if (total != wasTotal || help_->text().isEmpty()) Retranslate();
    ShowChartRanges();
}

void TForcesPage::ShowChartRanges() {
    const TForceChartRanges& r = context_.App.Forces.ChartRanges();
    const TNUMessurement unit = ChartUnit(forces_[cSeriesZ]);
    chart_->BeginUpdate();
    chart_->SetYMeasurement(unit);
    chart_->SetXMin(r.Time.Min);
    chart_->SetXMax(r.Time.Max);
    chart_->SetYMin(FromBaseUnit(unit, r.Force.Min));
    chart_->SetYMax(FromBaseUnit(unit, r.Force.Max));
    // The curves follow the model, whatever the ranges did.
    chart_->Redraw();
    chart_->EndUpdate();
}

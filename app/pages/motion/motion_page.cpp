#include "app/pages/motion/motion_page.h"

#include "app/platform/timers.h"
#include "core/calc/movement.h"
#include "core/calc/pneumatic_motion.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/page_fields.h"
#include "core/workflow/vacuum_application.h"
#include "gui/chart/diagramm.h"
#include "gui/fields/field_layout.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "gui/lang/language_form.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

constexpr double kPi = std::numbers::pi;

bool Rotary(TDriveType t) {
    return t == cdtPneumaticCircular || t == cdtNCCircular;
}
bool Servo(TDriveType t) {
    return t == cdtNCLinear || t == cdtNCCircular;
}

// Units the charts show: time in s, a stroke in mm and m/s, a swivel in degrees.
TNUMessurement ChartUnit(bool rotary, TMotionPage::TChart chart) {
    switch (chart) {
    case TMotionPage::cchJerk:
        return rotary ? cUM_deg_s3 : cUM_m_s3;
    case TMotionPage::cchAcceleration:
        return rotary ? cUM_deg_s2 : cUM_m_s2;
    case TMotionPage::cchVelocity:
        return rotary ? cUM_deg_s : cUM_m_s;
    default:
        return rotary ? cUM_deg : cUM_mm;
    }
}

const char* ChartKey(bool rotary, TMotionPage::TChart chart) {
    switch (chart) {
    case TMotionPage::cchJerk:
        return rotary ? "~AngularJerk" : "~Jerk";
    case TMotionPage::cchAcceleration:
        return rotary ? "~AngularAcceleration" : "~Acceleration";
    case TMotionPage::cchVelocity:
        return rotary ? "~AngularVelocity" : "~VelocityAt...";
    default:
        return rotary ? "~RotationAngle" : "~Travel";
    }
}

QLabel* Heading(const char* key, QWidget* parent) {
    auto* label = new QLabel(key, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

} // namespace

// ---- animation ------------------------------------------------------------------------------

TMotionAnimation::TMotionAnimation(QWidget* parent) : QWidget(parent) {
    setObjectName("MotionAnimation");
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TMotionAnimation::SetMotion(bool rotary, TLinearDirection direction, double angle) {
    if (rotary == rotary_ && direction == direction_ && angle == angle_) return;
    rotary_ = rotary;
    direction_ = direction;
    angle_ = angle;
    update();
}

void TMotionAnimation::SetFraction(double fraction) {
    fraction = std::clamp(std::isfinite(fraction) ? fraction : 0.0, 0.0, 1.0);
    if (fraction == fraction_) return;
    fraction_ = fraction;
    update();
}

QPointF TMotionAnimation::WorkpieceCentre(double fraction) const {
    const double w = width(), h = height();
    if (rotary_) {
        // Seen from above: the axis in the middle, the arm starting to the right and turning
        // counter-clockwise as the swivel's angle grows.
        const QPointF axis(w / 2.0, h / 2.0);
        const double r = std::min(w, h) * 0.36;
        const double a = angle_ * fraction;
        return axis + QPointF(r * std::cos(a), -r * std::sin(a));
    }
    const double margin = 24.0;
    switch (direction_) {
    case cldVerticalUp:
        return {w / 2.0, h - margin - fraction * (h - 2 * margin)};
    case cldVerticalDown:
        return {w / 2.0, margin + fraction * (h - 2 * margin)};
    default:
        return {margin + 16.0 + fraction * (w - 2 * margin - 32.0), h / 2.0};
    }
}

void TMotionAnimation::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Base));
    p.setPen(QPen(pal.color(QPalette::Mid), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const QPointF start = WorkpieceCentre(0.0), at = WorkpieceCentre(fraction_);
    if (rotary_) {
        const QPointF axis(width() / 2.0, height() / 2.0);
        const double r = std::hypot(start.x() - axis.x(), start.y() - axis.y());
        // The swept angle, then the arm and the workpiece at its end.
        p.setPen(QPen(cTrace, 2, Qt::DashLine));
        const QRectF circle(axis.x() - r, axis.y() - r, 2 * r, 2 * r);
        p.drawArc(circle, 0, static_cast<int>(std::lround(angle_ * 180.0 / kPi * 16.0)));
        p.setPen(QPen(pal.color(QPalette::Dark), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(axis, at);
        p.setPen(Qt::NoPen);
        p.setBrush(pal.color(QPalette::Dark));
        p.drawEllipse(axis, 8, 8);
        p.setBrush(cWorkpiece);
        p.drawEllipse(at, 14, 14);
        return;
    }
    const QPointF end = WorkpieceCentre(1.0);
    p.setPen(QPen(cTrace, 2, Qt::DashLine));
    p.drawLine(start, end);
    // The gripper above the workpiece, its arm coming down from the top edge (from the
    // side for a horizontal stroke).
    const double plateW = 42.0, plateH = 9.0;
    p.setPen(Qt::NoPen);
    p.setBrush(pal.color(QPalette::Dark));
    p.drawRect(QRectF(at.x() - 3, 0, 6, at.y() - plateH / 2 - 8));
    p.drawRect(QRectF(at.x() - plateW * 0.4, at.y() - plateH / 2 - 10, plateW * 0.8, 4));
    p.setBrush(cWorkpiece);
    p.drawRect(QRectF(at.x() - plateW / 2, at.y() - plateH / 2, plateW, plateH));
}

// ---- page -----------------------------------------------------------------------------------

TMotionPage::TMotionPage(TPageContext& context)
    : context_(context), timer_(context.Timers.CreateTimer()) {
    setObjectName("PageMotion");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BuildTabs());
    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    // The fields take the width first; the picture what is left, up to a size of its own.
    top->addWidget(BuildInputs(), 3, Qt::AlignTop | Qt::AlignLeft);
    top->addWidget(BuildAxis(0), 3, Qt::AlignTop | Qt::AlignLeft);
    top->addWidget(BuildAxis(1), 3, Qt::AlignTop | Qt::AlignLeft);
    animation_ = new TMotionAnimation(this);
    animation_->setMaximumWidth(360);
    top->addWidget(animation_, 2);
    layout->addLayout(top);
    auto* charts = new QWidget(this);
    charts->setObjectName("MotionCharts");
    BuildCharts(charts);
    layout->addWidget(charts, 1);

    timer_->OnTimer = [this] { Tick(); };
    Retranslate();
    ShowModel();
    // The unit buttons of the page's fields end at one line.
    AlignUnitButtons(this);
}

TMotionPage::~TMotionPage() {
    timer_->Stop();
}

QWidget* TMotionPage::BuildTabs() {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    driveTabs_ = new QTabBar(box);
    driveTabs_->setObjectName("TabSetAntrieb");
    driveTabs_->addTab("~Pneumatical");
    driveTabs_->addTab("~Electrical");
    driveTabs_->setDrawBase(false);
    motionTabs_ = new QTabBar(box);
    motionTabs_->setObjectName("TabSetBewegung");
    motionTabs_->addTab("~Linear");
    motionTabs_->addTab("~Rotary");
    motionTabs_->setDrawBase(false);
    row->addWidget(new QLabel("~Drive", box));
    row->addWidget(driveTabs_);
    row->addSpacing(18);
    row->addWidget(new QLabel("~Motion", box));
    row->addWidget(motionTabs_);
    row->addStretch(1);
    connect(driveTabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (showing_ || index < 0) return;
        TVacuumApplication& app = context_.App;
        app.Input([&] { app.Motion.TabSetAntriebChange(index); });
        ShowModel();
    });
    connect(motionTabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (showing_ || index < 0) return;
        TVacuumApplication& app = context_.App;
        app.Input([&] { app.Motion.TabNotebookBewegungChange(index); });
        ShowModel();
    });
    return box;
}

TFMU2SpinEdit* TMotionPage::Field(const char* name, TNormUnit quantity, TNUMessurement si,
                                  TNUMessurement us) {
    auto* f = new TFMU2SpinEdit(this);
    f->setObjectName(name);
    f->SetNormUnit(quantity);
    f->SetPreferredSIUnit(si);
    f->SetPreferredUSUnit(us);
    f->SetAutoUnitChange(true);
    f->SetTranslate(context_.App.Translator());
    return f;
}

TFMU2Panel* TMotionPage::Panel(const char* name, TNormUnit quantity, TNUMessurement si,
                               TNUMessurement us) {
    auto* f = new TFMU2Panel(this);
    f->setObjectName(name);
    f->SetNormUnit(quantity);
    f->SetPreferredSIUnit(si);
    f->SetPreferredUSUnit(us);
    f->SetAutoUnitChange(true);
    f->SetDecimals(-3);
    f->SetTranslate(context_.App.Translator());
    return f;
}

QWidget* TMotionPage::BuildInputs() {
    auto* box = new QWidget(this);
    box->setObjectName("MotionInputs");
    box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    box->setMaximumWidth(480);
    inputs_ = new QFormLayout(box);
    inputs_->setContentsMargins(0, 0, 0, 0);
    inputs_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    // The ranges are those the project's values are judged by.
    auto range = [&](TFMU2SpinEdit* f, std::string_view control) {
        for (int type = cdtPneumaticLinear; type <= cdtPneumaticCircular; ++type) {
            TMyProject probe;
            probe.Drive.Type = static_cast<TDriveType>(type);
            for (const TPageField& pf : PageFields(probe, cmpMotion, 0.0))
                if (pf.Control == control) {
                    f->SetValueMin(pf.Min);
                    f->SetValueMax(pf.Max);
                }
        }
    };

    // The direction of a stroke: the two horizontal ones need more than two cups.
    auto* directions = new QWidget(box);
    directions->setObjectName("RadioGroupRichtung");
    auto* grid = new QGridLayout(directions);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    auto* group = new QButtonGroup(directions);
    const char* names[] = {"RBtnHorzX", "RBtnHorzY", "RBtnVertZUp", "RBtnVertZDown"};
    const char* keys[] = {"~HorizontalX", "~HorizontalY", "~VerticalUp", "~VerticalDown"};
    for (int d = 0; d < 4; ++d) {
        auto* b = new QRadioButton(keys[d], directions);
        b->setObjectName(names[d]);
        group->addButton(b, d);
        // Up and down first: they are always offered.
        grid->addWidget(b, d < 2 ? 1 : 0, d % 2);
        directions_[static_cast<size_t>(d)] = b;
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int d) {
        if (showing_) return;
        TVacuumApplication& a = context_.App;
        a.Input([&] { a.Motion.RBtnRichtungClick(static_cast<TLinearDirection>(d)); });
        ShowModel();
    });

    travel_ = Field(cpcTravel.data(), cNU_length, cUM_mm, cUM_in);
    range(travel_, cpcTravel);
    travel_->SetIncrement(10.0);
    holderMass_ = Field(cpcHolderMass.data(), cNU_mass, cUM_kg, cUM_lb);
    range(holderMass_, cpcHolderMass);
    holderMass_->SetIncrement(0.1);
    angle_ = Field(cpcRotationAngle.data(), cNU_angle, cUM_deg, cUM_deg);
    range(angle_, cpcRotationAngle);
    angle_->SetIncrement(5.0);
    lever_ = Field(cpcLever.data(), cNU_length, cUM_mm, cUM_in);
    range(lever_, cpcLever);
    lever_->SetIncrement(10.0);
    holderInertia_ = Field(cpcHolderInertia.data(), cNU_moment_of_inertia, cUM_kgcm2, cUM_lbin2);
    range(holderInertia_, cpcHolderInertia);

    workpieceMass_ = Panel("PanelWerkStkMasse", cNU_mass, cUM_kg, cUM_lb);
    cupsMass_ = Panel("PanelSaugerMasse", cNU_mass, cUM_kg, cUM_lb);
    movingMass_ = Panel("PanelBewegteMasse", cNU_mass, cUM_kg, cUM_lb);
    ownInertia_ = Panel("PanelTraegMomentW0", cNU_moment_of_inertia, cUM_kgcm2, cUM_lbin2);
    leverInertia_ = Panel("PanelTraegMomentW1", cNU_moment_of_inertia, cUM_kgcm2, cUM_lbin2);
    axisInertia_ = Panel("PanelTraegMomentWGes1", cNU_moment_of_inertia, cUM_kgcm2, cUM_lbin2);
    cupsInertia_ = Panel("PanelTraegheitSauger", cNU_moment_of_inertia, cUM_kgcm2, cUM_lbin2);
    totalInertia_ = Panel("PanelTraegheitGesamt", cNU_moment_of_inertia, cUM_kgcm2, cUM_lbin2);

    auto row = [&](const char* key, QWidget* w) {
        auto* label = new QLabel(key, box);
        label->setBuddy(w);
        inputs_->addRow(label, w);
    };
    row("~Direction", directions);
    row("~Travel", travel_);
    row("~RotationAngle", angle_);
    row("~Lever", lever_);
    auto* holder = Heading("~Holder", box);
    holder->setObjectName("LabelHolder");
    inputs_->addRow(holder);
    row("~Mass", holderMass_);
    row("~MomentOfInertia", holderInertia_);
    auto* workpiece = Heading("~Workpiece", box);
    inputs_->addRow(workpiece);
    row("~Mass", workpieceMass_);
    row("~OwnMomentOfInertia", ownInertia_);
    row("~LeverShare", leverInertia_);
    row("~AboutSwivelAxis", axisInertia_);
    auto* cups = Heading("~SuctionCups", box);
    inputs_->addRow(cups);
    row("~Mass", cupsMass_);
    row("~AboutSwivelAxis", cupsInertia_);
    auto* moving = Heading("~MovingMass", box);
    moving->setObjectName("LabelMovingMass");
    inputs_->addRow(moving, movingMass_);
    row("~TotalMomentOfInertia", totalInertia_);

    for (TFMU2SpinEdit* f : {travel_, holderMass_, angle_, lever_, holderInertia_}) {
        f->OnChange = [this](TFMU2Custom* sender) { Entered(sender); };
        f->OnChangeValid = [this](TFMU2Custom*) { ReportValidity(); };
    }
    return box;
}

QGroupBox* TMotionPage::BuildAxis(int rotary) {
    TAxisControls& c = axes_[static_cast<size_t>(rotary)];
    c.Box = new QGroupBox("~ServoAxis", this);
    c.Box->setObjectName(rotary ? "GroupBoxNCRot" : "GroupBoxNCLin");
    c.Box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    c.Box->setMaximumWidth(480);
    c.Form = new QFormLayout(c.Box);
    c.Form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const bool r = rotary != 0;
    const TNUMessurement jerkSI = r ? cUM_deg_s3 : cUM_m_s3, jerkUS = r ? cUM_deg_s3 : cUM_ft_s3;
    const TNUMessurement accSI = r ? cUM_deg_s2 : cUM_m_s2, accUS = r ? cUM_deg_s2 : cUM_ft_s2;
    const TNUMessurement vSI = r ? cUM_deg_s : cUM_m_s, vUS = r ? cUM_deg_s : cUM_ft_s;
    // Made in the order Tab visits them: each switch before the limits it governs.
    c.JerkLimited = new QCheckBox(r ? "~AngleJerkLimited" : "~JerkLimited", c.Box);
    c.JerkLimited->setObjectName(r ? "ChkBoxRotRuck" : "ChkBoxRuckBegrenzt");
    c.Jerk = Field(r ? "SpinEditRotRuck" : "SpinEditNCAchseRuckMax",
                   r ? cNU_angular_jerk : cNU_jerk, jerkSI, jerkUS);
    c.SeparateDeceleration =
        new QCheckBox(r ? "~AngularAcceleration+/-" : "~Acceleration+/-", c.Box);
    c.SeparateDeceleration->setObjectName(r ? "ChkBoxRotAPlusMinus" : "ChkBoxAPlusMinus");
    c.Acceleration = Field(r ? "SpinEditNCAchseRotAPlus" : "SpinEditNCAchseAPlus",
                           r ? cNU_angular_acceleration : cNU_acceleration, accSI, accUS);
    c.Deceleration = Field(r ? "SpinEditNCAchseRotAMinus" : "SpinEditNCAchseAMinus",
                           r ? cNU_angular_acceleration : cNU_acceleration, accSI, accUS);
    c.Speed = Field(r ? "SpinEditWinkelgeschwindigkeit" : "SpinEditNCAchseVMax",
                    r ? cNU_angular_velocity : cNU_velocity, vSI, vUS);
    // Ranges wide enough for any axis; a profile needs positive limits (a negative
    // deceleration), which the profile itself insists on.
    const double big = r ? 1.0e5 : 1.0e4;
    c.Jerk->SetValueMin(0.0);
    c.Jerk->SetValueMax(big * 100.0);
    c.Acceleration->SetValueMin(0.0);
    c.Acceleration->SetValueMax(big);
    c.Deceleration->SetValueMin(-big);
    c.Deceleration->SetValueMax(0.0);
    c.Speed->SetValueMin(0.0);
    c.Speed->SetValueMax(r ? 1.0e3 : 100.0);
    c.Speed->SetIncrement(r ? 10.0 : 0.1);
    c.ReachedAcceleration = Panel(r ? "PanelNCAchseRotAPlusIst" : "PanelNCAchseAPlusIst",
                                  r ? cNU_angular_acceleration : cNU_acceleration, accSI, accUS);
    c.ReachedDeceleration = Panel(r ? "PanelNCAchseRotAMinusIst" : "PanelNCAchseAMinusIst",
                                  r ? cNU_angular_acceleration : cNU_acceleration, accSI, accUS);
    c.ReachedSpeed = Panel(r ? "PanelNCAchseRotVMaxIst" : "PanelNCAchseVMaxIst",
                           r ? cNU_angular_velocity : cNU_velocity, vSI, vUS);
    c.ReachedTime =
        Panel(r ? "PanelNCAchseRotZeitIst" : "PanelNCAchseZeitIst", cNU_time, cUM_s, cUM_s);
    for (TFMU2Custom* f : std::initializer_list<TFMU2Custom*>{
             c.Jerk, c.Acceleration, c.Deceleration, c.Speed, c.ReachedAcceleration,
             c.ReachedDeceleration, c.ReachedSpeed, c.ReachedTime})
        f->setParent(c.Box);

    auto row = [&](const char* key, QWidget* w) {
        auto* label = new QLabel(key, c.Box);
        label->setBuddy(w);
        c.Form->addRow(label, w);
    };
    c.Form->addRow(c.JerkLimited);
    row(r ? "~AngularJerk" : "~Jerk", c.Jerk);
    c.Form->addRow(c.SeparateDeceleration);
    row(r ? "~AngularAcceleration" : "~Acceleration", c.Acceleration);
    row(r ? "~AngularDeceleration" : "~Deceleration", c.Deceleration);
    row(r ? "~AngularVelocity" : "~VelocityAt...", c.Speed);
    c.Form->addRow(Heading("~ProfileReached", c.Box));
    row(r ? "~AngularAcceleration" : "~Acceleration", c.ReachedAcceleration);
    row(r ? "~AngularDeceleration" : "~Deceleration", c.ReachedDeceleration);
    row(r ? "~AngularVelocity" : "~VelocityAt...", c.ReachedSpeed);
    row("~Time", c.ReachedTime);

    connect(c.JerkLimited, &QCheckBox::clicked, this, [this, r](bool on) {
        TVacuumApplication& a = context_.App;
        a.Input([&] {
            if (r)
                a.Motion.ChkBoxRotRuck_Click(on);
            else
                a.Motion.ChkBoxRuckBegrenzt_Click(on);
        });
        ShowModel();
    });
    connect(c.SeparateDeceleration, &QCheckBox::clicked, this, [this, r](bool on) {
        TVacuumApplication& a = context_.App;
        a.Input([&] {
            if (r)
                a.Motion.ChkBoxRotAPlusMinus_Click(on);
            else
                a.Motion.ChkBoxAPlusMinus_Click(on);
        });
        ShowModel();
    });
    for (TFMU2SpinEdit* f : {c.Jerk, c.Acceleration, c.Deceleration, c.Speed})
        f->OnChange = [this](TFMU2Custom* sender) { Entered(sender); };
    return c.Box;
}

void TMotionPage::BuildCharts(QWidget* box) {
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    const char* names[] = {"DiagrammRuck", "DiagrammA", "DiagrammV", "DiagrammS"};
    for (int i = 0; i < cChartCount; ++i) {
        const auto which = static_cast<TChart>(i);
        auto* chart = new TDiagramm(box);
        chart->setObjectName(names[i]);
        chart->setMinimumSize(150, 120);
        chart->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        chart->BeginUpdate();
        chart->SetLayout(cdlVelmar);
        chart->SetXAutoStep(true);
        chart->SetYAutoStep(true);
        chart->SetLineWidth(2);
        chart->SetXMeasurement(cUM_s);
        chart->OnGetY = [this, which](TDiagramm* sender, double x, int curve, double& y,
                                      QColor& color, bool& valid) {
            // The motion is drawn last, over the entered limits.
            const int last = sender->Curves() - 1;
            const int asked = curve == last ? 0 : curve + 1;
            color = asked == 0 ? cCurve : cLimit;
            valid = ChartValue(which, asked, x, y);
        };
        chart->OnGetYMinMax = [this, which](TDiagramm*, double x, int, double& minY, double& maxY,
                                            QColor& color, bool& valid) {
            const TDriveType type = Type();
            if (Servo(type) || (which != cchAcceleration && which != cchVelocity)) return;
            const TMotionModel& m = context_.App.Motion;
            const bool rotary = Rotary(type);
            TPneumaticBand band;
            if (!rotary)
                band = which == cchAcceleration ? m.DiagrammPnLinABand(x) : m.DiagrammPnLinVBand(x);
            else if (which == cchVelocity)
                band = m.DiagrammPnRotVBand(x);
            else {
                // The swivel's acceleration is drawn angular at both ends, as the forces
                // read it.
                const TAxisRange& a = m.PneumaticRotaryAxes().Acceleration;
                const double lever = context_.App.Document.Moving.CircularLever;
                band = PneumaticCurveBand(cpcRotaryAcceleration, x,
                                          context_.App.Document.Drive.PneumaticCircular.Time, a.Max,
                                          lever > 0.0 ? a.Min / lever : 0.0);
            }
            if (!band.Valid) return;
            const TNUMessurement unit = ChartUnit(rotary, which);
            minY = FromBaseUnit(unit, std::min(band.From, band.To));
            maxY = FromBaseUnit(unit, std::max(band.From, band.To));
            color = cBand;
            valid = true;
        };
        chart->EndUpdate();
        charts_[static_cast<size_t>(i)] = chart;
        row->addWidget(chart, 1);
    }
}

// ---- input ----------------------------------------------------------------------------------

void TMotionPage::Entered(TFMU2Custom* field) {
    if (showing_) return;
    TVacuumApplication& app = context_.App;
    TMotionModel& m = app.Motion;
    const double v = field->Value();
    const TAxisControls& lin = axes_[0];
    const TAxisControls& rot = axes_[1];
    app.Input([&] {
        if (field == travel_)
            m.SpinEditLinWegChange(v);
        else if (field == holderMass_)
            m.SpinEditMasseHalterungChange(v);
        else if (field == angle_) {
            m.SpinEditDrehwinkelChange(v);
            // The servo axis' angle follows the swivel angle.
            m.PanelDrehwinkelNCChange(v);
        } else if (field == lever_)
            m.SpinEditHebelarmWerkStkChange(v);
        else if (field == holderInertia_)
            m.SpinEditTraegheitHalterungChange(v);
        else if (field == lin.Jerk)
            m.SpinEditNCAchseRuckMaxChange(v);
        else if (field == lin.Acceleration)
            m.SpinEditNCAchseAPlusChange(v);
        else if (field == lin.Deceleration)
            m.SpinEditNCAchseAMinusChange(v);
        else if (field == lin.Speed)
            m.SpinEditNCAchseVMaxxxChange(v);
        else if (field == rot.Jerk)
            m.SpinEditRotRuckChange(v);
        else if (field == rot.Acceleration)
            m.SpinEditNCAchseRotAPlusChange(v);
        else if (field == rot.Deceleration)
            m.SpinEditNCAchseRotAMinusChange(v);
        else if (field == rot.Speed)
            m.SpinEditWinkelgeschwindigkeitChange(v);
    });
    ShowModel();
}

std::array<TFMU2SpinEdit*, 5> TMotionPage::CheckedFields() const {
    return {holderMass_, travel_, holderInertia_, lever_, angle_};
}

void TMotionPage::ReportValidity() {
    if (showing_) return;
    bool all = true;
    for (const TFMU2SpinEdit* f : CheckedFields()) all = all && f->Valid();
    TVacuumApplication& app = context_.App;
    app.Input([&] { app.Workflow.MotionChangeValid(all); });
    const bool tabs = app.Workflow.MotionTabsEnabled();
    driveTabs_->setEnabled(tabs);
    motionTabs_->setEnabled(tabs);
}

// ---- showing the model ----------------------------------------------------------------------

TDriveType TMotionPage::Type() const {
    return context_.App.Document.Drive.Type;
}

void TMotionPage::Retranslate() {
    const bool rotary = Rotary(Type());
    TLanguageForm& language = context_.Language;
    for (int i = 0; i < cChartCount; ++i) {
        TDiagramm* chart = charts_[static_cast<size_t>(i)];
        chart->BeginUpdate();
        chart->SetXUnit(language.Tr("~Time") + " [%s]");
        chart->SetYUnit(language.Tr(ChartKey(rotary, static_cast<TChart>(i))) + " [%s]");
        chart->EndUpdate();
    }
}

void TMotionPage::Enter() {
    ShowModel();
    UpdateTimer();
}

void TMotionPage::Leave() {
    UpdateTimer();
}

void TMotionPage::Refresh(TAspects aspects) {
    if (aspects.Has(caNavigator)) UpdateTimer();
    if (aspects.Intersects(
            {caMotion, caDrive, caWorkpiece, caArrangement, caSuctionCup, caDocument, caLanguage}))
        ShowModel();
}

void TMotionPage::ShowModel() {
    if (showing_) return;
    showing_ = true;
    TVacuumApplication& app = context_.App;
    const TMyProject& d = app.Document;
    const TMotionModel& m = app.Motion;
    const TDriveType type = d.Drive.Type;
    const bool rotary = Rotary(type), servo = Servo(type);

    driveTabs_->setCurrentIndex(d.DriveTabIndex());
    motionTabs_->setCurrentIndex(d.MotionTabIndex());
    const bool tabs = app.Workflow.MotionTabsEnabled();
    driveTabs_->setEnabled(tabs);
    motionTabs_->setEnabled(tabs);

    const bool horizontal = TPageWorkflow::HorizontalDirectionsEnabled(d.SuctionCups.Count());
    for (int i = 0; i < 4; ++i) {
        QRadioButton* b = directions_[static_cast<size_t>(i)];
        b->setChecked(d.Moving.LinearDirection == i);
        b->setEnabled(i >= 2 || horizontal);
    }
    travel_->SetValue(d.Moving.LinearTravel);
    holderMass_->SetValue(d.Moving.LinearHolderMass);
    angle_->SetValue(d.Moving.CircularAngle);
    lever_->SetValue(d.Moving.CircularLever);
    holderInertia_->SetValue(d.Moving.CircularHolderMomentOfInertia);
    workpieceMass_->SetValue(d.Workpiece.Mass);
    cupsMass_->SetValue(d.SuctionCups.TotalMass());
    movingMass_->SetValue(m.MovingMass());
    ownInertia_->SetValue(m.WorkpieceOwnInertia());
    leverInertia_->SetValue(m.WorkpieceLeverInertia());
    axisInertia_->SetValue(m.WorkpieceAxisInertia());
    cupsInertia_->SetValue(d.SuctionCupsMomentOfInertia);
    totalInertia_->SetValue(d.TotalMomentOfInertia);

    // A stroke shows its direction, travel and holder mass; a swivel its angle, lever, the
    // holder's inertia and the moments about the swivel axis.
    QWidget* linearOnly[] = {directions_[0]->parentWidget(), travel_, holderMass_};
    QWidget* rotaryOnly[] = {angle_,        lever_,       holderInertia_, ownInertia_,
                             leverInertia_, axisInertia_, cupsInertia_,   totalInertia_};
    for (QWidget* w : linearOnly) inputs_->setRowVisible(w, !rotary);
    for (QWidget* w : rotaryOnly) inputs_->setRowVisible(w, rotary);

    for (int r = 0; r < 2; ++r) {
        const TAxisControls& c = axes_[static_cast<size_t>(r)];
        const TMovement& mv = r ? d.Drive.NCCircularMove : d.Drive.NCLinearMove;
        const bool separate = r ? m.RotarySeparateDeceleration() : m.LinearSeparateDeceleration();
        c.Box->setVisible(servo && rotary == (r == 1));
        c.JerkLimited->setChecked(mv.JerkLimited());
        c.SeparateDeceleration->setChecked(separate);
        c.Form->setRowVisible(c.Jerk, mv.JerkLimited());
        c.Jerk->SetValue(mv.Jerk());
        c.Acceleration->SetValue(mv.AccPos());
        c.Deceleration->SetValue(mv.AccNeg());
        c.Deceleration->SetReadOnly(!separate);
        c.Speed->SetValue(mv.Vmax());
        c.ReachedAcceleration->SetValue(mv.EffAccPos());
        c.ReachedDeceleration->SetValue(mv.EffAccNeg());
        c.ReachedSpeed->SetValue(mv.EffVmax());
        c.ReachedTime->SetValue(mv.EndTime());
    }
    showing_ = false;
    Retranslate();
    ShowCharts();
    ShowAnimation();
    ReportValidity();
}

bool TMotionPage::ChartValue(TChart chart, int curve, double t, double& y) const {
    const TVacuumApplication& app = context_.App;
    const TMyProject& d = app.Document;
    const TMotionModel& m = app.Motion;
    const TDriveType type = d.Drive.Type;
    const bool rotary = Rotary(type);
    bool valid = true;
    double base = 0.0;
    if (Servo(type)) {
        // The model's series: jerk 0; acceleration 0 deceleration, 1 acceleration, 2 the
        // curve; speed and travel 0 the limit, 1 the curve.
        int series = 0;
        switch (chart) {
        case cchJerk:
            series = curve == 0 ? 0 : -1;
            break;
        case cchAcceleration:
            series = curve == 0 ? 2 : curve - 1;
            break;
        default:
            series = curve == 0 ? 1 : curve == 1 ? 0 : -1;
            break;
        }
        if (series < 0) return false;
        using TGet = void (TMotionModel::*)(double, int, double&, bool&) const;
        static constexpr TGet kLinear[] = {
            &TMotionModel::DiagrammNcLinRGetY, &TMotionModel::DiagrammNcLinAGetY,
            &TMotionModel::DiagrammNcLinVGetY, &TMotionModel::DiagrammNcLinSGetY};
        static constexpr TGet kRotary[] = {
            &TMotionModel::DiagrammNcRotRGetY, &TMotionModel::DiagrammNcRotAGetY,
            &TMotionModel::DiagrammNcRotVGetY, &TMotionModel::DiagrammNcRotSGetY};
        (m.*(rotary ? kRotary : kLinear)[chart])(t, series, base, valid);
    } else {
        if (curve != 0 || chart == cchJerk) return false;
        // The schematic travel falls back to 0 once the motion is over; the chart ends there.
        if (chart == cchPosition && !(t < MotionEnd())) return false;
        if (!rotary) {
            switch (chart) {
            case cchAcceleration:
                base = m.PneumaticLinearAcceleration(t);
                break;
            case cchVelocity:
                m.DiagrammPnLinVGetY(t, 0, base, valid);
                break;
            default:
                m.DiagrammPnLinSGetY(t, 0, base, valid);
                break;
            }
        } else {
            switch (chart) {
            case cchAcceleration:
                base = m.PneumaticRotaryAcceleration(t);
                break;
            case cchVelocity:
                base = m.PneumaticRotarySpeed(t);
                break;
            default:
                m.DiagrammPnRotSGetY(t, 0, base, valid);
                break;
            }
        }
    }
    y = FromBaseUnit(ChartUnit(rotary, chart), base);
    return valid && std::isfinite(y);
}

void TMotionPage::ShowCharts() {
    const TVacuumApplication& app = context_.App;
    const TMyProject& d = app.Document;
    const TMotionModel& m = app.Motion;
    const TDriveType type = d.Drive.Type;
    const bool rotary = Rotary(type), servo = Servo(type);
    TAxisRange time, ranges[cChartCount];
    if (servo) {
        const TNCChartAxes a = rotary ? m.NCRotaryAxes() : m.NCLinearAxes();
        time = a.Time;
        ranges[cchJerk] = a.Jerk;
        ranges[cchAcceleration] = a.Acceleration;
        ranges[cchVelocity] = a.Velocity;
        ranges[cchPosition] = a.Position;
    } else {
        const TDriveChartAxes& a = rotary ? m.PneumaticRotaryAxes() : m.PneumaticLinearAxes();
        time = a.Time;
        ranges[cchAcceleration] = a.Acceleration;
        if (rotary) {
            const double lever = d.Moving.CircularLever;
            ranges[cchAcceleration].Min = lever > 0.0 ? a.Acceleration.Min / lever : 0.0;
        }
        ranges[cchVelocity] = a.Velocity;
        ranges[cchPosition] = a.Position;
    }
    const TMovement& mv = rotary ? d.Drive.NCCircularMove : d.Drive.NCLinearMove;
    charts_[cchJerk]->setVisible(servo && mv.JerkLimited());
    for (int i = 0; i < cChartCount; ++i) {
        const auto which = static_cast<TChart>(i);
        TDiagramm* chart = charts_[static_cast<size_t>(i)];
        const TNUMessurement unit = ChartUnit(rotary, which);
        chart->BeginUpdate();
        chart->SetXMin(time.Min);
        chart->SetXMax(time.Max);
        chart->SetYMeasurement(unit);
        chart->SetYMin(FromBaseUnit(unit, ranges[i].Min));
        chart->SetYMax(FromBaseUnit(unit, ranges[i].Max));
        chart->SetCurves(servo ? (which == cchAcceleration ? 3 : which == cchJerk ? 1 : 2) : 1);
        chart->SetCurvesMinMax(!servo && (which == cchAcceleration || which == cchVelocity) ? 1
                                                                                            : 0);
        chart->Redraw();
        chart->EndUpdate();
    }
}

// ---- animation ------------------------------------------------------------------------------

bool TMotionPage::AnimationRuns() const {
    return timer_->Active();
}

void TMotionPage::UpdateTimer() {
    const bool runs = context_.App.Workflow.MotionAnimationRuns();
    if (runs && !timer_->Active()) timer_->Start(cAnimationIntervalMs);
    if (!runs && timer_->Active()) timer_->Stop();
}

double TMotionPage::MotionEnd() const {
    const double end = context_.App.Motion.EndTime();
    return std::isfinite(end) && end > 0.0 ? end : 0.0;
}

double TMotionPage::WayAt(double t) const {
    const TMyProject& d = context_.App.Document;
    switch (d.Drive.Type) {
    case cdtPneumaticLinear:
        return PneumaticCurveValue(cpcPosition, t, d.Drive.PneumaticLinear.Time, 1.0, 0.0);
    case cdtPneumaticCircular:
        return PneumaticCurveValue(cpcPosition, t, d.Drive.PneumaticCircular.Time, 1.0, 0.0);
    case cdtNCLinear:
    case cdtNCCircular: {
        const TMovement& m =
            d.Drive.Type == cdtNCLinear ? d.Drive.NCLinearMove : d.Drive.NCCircularMove;
        return m.Length() > 0.0 ? m.PositionAt(t) / m.Length() : 0.0;
    }
    }
    return 0.0;
}

void TMotionPage::Tick() {
    // Real time for motions up to 4 s; longer ones are played faster to last 4 s.
    const double end = MotionEnd();
    const double speed = std::max(1.0, end / 4.0);
    const double cycle = 2.0 * (end + cAnimationRest);
    animationTime_ = std::fmod(animationTime_ + speed * cAnimationIntervalMs / 1000.0, cycle);
    ShowAnimation();
}

void TMotionPage::ShowAnimation() {
    const TMyProject& d = context_.App.Document;
    const TDriveType type = d.Drive.Type;
    animation_->SetMotion(Rotary(type), d.Moving.LinearDirection, d.Moving.CircularAngle);
    const double end = MotionEnd();
    const double cycle = 2.0 * (end + cAnimationRest);
    if (!(animationTime_ < cycle)) animationTime_ = 0.0;
    const double t = animationTime_;
    // Forward, rest at the end, back along the same law, rest at the start.
    double way = 0.0;
    if (t < end)
        way = WayAt(t);
    else if (t < end + cAnimationRest)
        way = 1.0;
    else if (t < 2.0 * end + cAnimationRest)
        way = 1.0 - WayAt(t - end - cAnimationRest);
    animation_->SetFraction(way);
}

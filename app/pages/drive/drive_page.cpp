#include "app/pages/drive/drive_page.h"

#include "core/data/string_query.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/page_fields.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/field_layout.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "gui/lang/language_form.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
// The rotary top speed field offers 90 to 2160 degrees per second.
constexpr double kRotarySpeedMin = 90.0 * kDeg;
constexpr double kRotarySpeedMax = 2160.0 * kDeg;
constexpr int kBarGap = 4;

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

bool Pneumatic(TDriveType t) {
    return t == cdtPneumaticLinear || t == cdtPneumaticCircular;
}

// The texts of a table column, in row order.
std::vector<std::string> ColumnTexts(const TCustomTable* t, std::string_view column) {
    std::vector<std::string> texts;
    const int col = t ? t->ColByName(column) : -1;
    for (int row = 0; col >= 0 && row < t->Rows(); ++row) texts.push_back(t->AsText(row, col));
    return texts;
}

void ShowCode(QComboBox* list, const std::string& code) {
    list->setCurrentIndex(list->findText(Q(code)));
}

} // namespace

// ---- rating bars ----------------------------------------------------------------------------

TRatingBars::TRatingBars(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TRatingBars::SetBar(const TRatingBar& bar) {
    if (bar.Overloaded == bar_.Overloaded && bar.FirstPercent == bar_.FirstPercent &&
        bar.SecondPercent == bar_.SecondPercent && bar.SecondText == bar_.SecondText)
        return;
    bar_ = bar;
    setToolTip(Q(bar.SecondText));
    update();
}

int TRatingBars::TextWidth() const {
    return fontMetrics().horizontalAdvance("> 200%") + 6;
}

QSize TRatingBars::sizeHint() const {
    return {160 + TextWidth(), fontMetrics().height() + 4};
}

QSize TRatingBars::minimumSizeHint() const {
    return {80 + TextWidth(), fontMetrics().height() + 4};
}

QRect TRatingBars::FirstRect() const {
    const int w = std::max(2, (width() - TextWidth() - kBarGap) / 2);
    return {0, 1, w, height() - 2};
}

QRect TRatingBars::SecondRect() const {
    const QRect first = FirstRect();
    return {first.right() + 1 + kBarGap, 1, first.width(), height() - 2};
}

void TRatingBars::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    auto bar = [&](const QRect& r, double percent, const QColor& fill) {
        p.fillRect(r, pal.color(QPalette::Base));
        const double share = std::clamp(percent / 100.0, 0.0, 1.0);
        const int w = static_cast<int>(std::lround(share * (r.width() - 2)));
        if (w > 0) p.fillRect(QRect(r.left() + 1, r.top() + 1, w, r.height() - 2), fill);
        p.setPen(pal.color(QPalette::Mid));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    };
    const QColor fill = bar_.Overloaded ? cOver : cGood;
    bar(FirstRect(), bar_.Overloaded ? 100.0 : bar_.FirstPercent, fill);
    bar(SecondRect(), bar_.Overloaded ? bar_.SecondPercent : 0.0, cOver);
    p.setPen(pal.color(QPalette::WindowText));
    const QRect text(SecondRect().right() + 4, 0, TextWidth() - 4, height());
    p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft, Q(bar_.SecondText));
}

// ---- page -----------------------------------------------------------------------------------

TDrivePage::TDrivePage(TPageContext& context) : context_(context) {
    setObjectName("PageDrive");
    // The fields' range setters raise their change events while the page is built.
    showing_ = true;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    verdict_ = new QLabel(this);
    verdict_->setObjectName("LabelDriveCheck");
    verdict_->setWordWrap(true);
    QFont bold = verdict_->font();
    bold.setBold(true);
    verdict_->setFont(bold);
    verdict_->setFrameShape(QFrame::StyledPanel);
    verdict_->setMargin(4);
    layout->addWidget(verdict_);
    views_ = new QStackedWidget(this);
    views_->setObjectName("NotebookAntrieb");
    views_->addWidget(BuildLinear());
    views_->addWidget(BuildRotary());
    views_->addWidget(BuildServo());
    layout->addWidget(views_, 1);
    // The rotary top speed is offered within these limits; the time limits follow them.
    context_.App.Motion.SetRotarySpeedLimits({kRotarySpeedMin, kRotarySpeedMax});
    showing_ = false;
    ShowModel();
    AlignUnitButtons(this);
}

TFMU2SpinEdit* TDrivePage::Field(const char* name, TNormUnit quantity, TNUMessurement si,
                                 TNUMessurement us, QWidget* parent) {
    auto* f = new TFMU2SpinEdit(parent);
    f->setObjectName(name);
    f->SetNormUnit(quantity);
    f->SetPreferredSIUnit(si);
    f->SetPreferredUSUnit(us);
    f->SetAutoUnitChange(true);
    f->SetTranslate(context_.App.Translator());
    f->OnChange = [this](TFMU2Custom* sender) { Entered(sender); };
    return f;
}

TFMU2Panel* TDrivePage::Panel(const char* name, TNormUnit quantity, TNUMessurement si,
                              TNUMessurement us, QWidget* parent) {
    auto* f = new TFMU2Panel(parent);
    f->setObjectName(name);
    f->SetNormUnit(quantity);
    f->SetPreferredSIUnit(si);
    f->SetPreferredUSUnit(us);
    f->SetAutoUnitChange(true);
    f->SetDecimals(-3);
    f->SetTranslate(context_.App.Translator());
    return f;
}

namespace {

// The range the project's value of `control` is judged by, for the drive `type`.
void JudgedRange(TFMU2SpinEdit* f, std::string_view control, TDriveType type) {
    TMyProject probe;
    probe.Drive.Type = type;
    probe.Drive.PneumaticLinear.UseQdr = probe.Drive.PneumaticCircular.UseQdr = true;
    for (const TPageField& pf : PageFields(probe, cmpDrive, 0.0))
        if (pf.Control == control) {
            f->SetValueMin(pf.Min);
            f->SetValueMax(pf.Max);
        }
}

QFormLayout* Form(QWidget* box) {
    auto* form = new QFormLayout(box);
    form->setContentsMargins(0, 0, 0, 0);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return form;
}

void Row(QFormLayout* form, const char* key, QWidget* w) {
    auto* label = new QLabel(key, form->parentWidget());
    label->setBuddy(w);
    form->addRow(label, w);
}

// "Calculate the value" or "known value", on one line: the way the motion's time and top
// speed are given.
QWidget* ValueModes(QRadioButton*& calculate, QRadioButton*& known, const char* calculateName,
                    const char* knownName, QWidget* parent) {
    auto* modes = new QWidget(parent);
    auto* row = new QHBoxLayout(modes);
    row->setContentsMargins(0, 0, 0, 0);
    calculate = new QRadioButton("~CalculateValue", modes);
    calculate->setObjectName(calculateName);
    known = new QRadioButton("~KnownValue", modes);
    known->setObjectName(knownName);
    auto* group = new QButtonGroup(modes);
    group->addButton(calculate);
    group->addButton(known);
    row->addWidget(calculate);
    row->addWidget(known);
    row->addStretch(1);
    return modes;
}

// The shock absorbers' frame of a pneumatic drive: the switch, and below it the box that
// shows while it is on, with the absorber's choice (a form) above what it adds.
struct TAbsorberFrame {
    QGroupBox* Group;
    QCheckBox* Use;
    QWidget* Box;
    QVBoxLayout* BoxLayout;
    QWidget* Choice;
    QFormLayout* ChoiceForm;
};

TAbsorberFrame AbsorberFrame(const QString& suffix, QWidget* page) {
    TAbsorberFrame a{};
    a.Group = new QGroupBox(page);
    a.Group->setObjectName("GroupBoxQdr" + suffix);
    auto* groupLayout = new QVBoxLayout(a.Group);
    a.Use = new QCheckBox("~ShockAbsorber", a.Group);
    a.Use->setObjectName("ChkBoxQdr" + suffix);
    groupLayout->addWidget(a.Use);
    a.Box = new QWidget(a.Group);
    a.BoxLayout = new QVBoxLayout(a.Box);
    a.BoxLayout->setContentsMargins(0, 0, 0, 0);
    a.Choice = new QWidget(a.Box);
    a.Choice->setMaximumWidth(480);
    a.ChoiceForm = Form(a.Choice);
    a.BoxLayout->addWidget(a.Choice, 0, Qt::AlignLeft);
    groupLayout->addWidget(a.Box);
    return a;
}

} // namespace

QWidget* TDrivePage::BuildBars(std::array<TRatingBars*, 3>& bars, std::array<TFMU2Panel*, 3>& loads,
                               const char* prefix, QWidget* parent) {
    auto* box = new QWidget(parent);
    box->setObjectName(QString("RatingBars%1").arg(prefix));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    const char* keys[] = {"~EnergyPerStroke", "~EnergyPerHour", "~EndForce"};
    const char* names[] = {"Energy", "EnergyPerHour", "Force"};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(keys[i], box);
        auto* b = new TRatingBars(box);
        b->setObjectName(QString("Bar%1%2").arg(prefix, names[i]));
        TFMU2Panel* load = i == 0   ? Panel("", cNU_energy, cUM_J, cUM_ft_lbf, box)
                           : i == 1 ? Panel("", cNU_power, cUM_W, cUM_W, box)
                                    : Panel("", CNU_force, cUM_N, cUM_lbf, box);
        load->setObjectName(QString("Panel%1%2").arg(prefix, names[i]));
        grid->addWidget(label, i, 0);
        grid->addWidget(load, i, 1);
        grid->addWidget(b, i, 2);
        bars[static_cast<size_t>(i)] = b;
        loads[static_cast<size_t>(i)] = load;
    }
    grid->setColumnStretch(2, 1);
    return box;
}

QWidget* TDrivePage::BuildLinear() {
    auto* page = new QWidget(this);
    page->setObjectName("PageAntriebLinear");
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(18);
    layout->addLayout(columns);
    TLinearControls& c = lin_;
    TVacuumApplication& app = context_.App;

    auto* inputs = new QWidget(page);
    c.Form = Form(inputs);
    c.Pressure = Field(cpcLinearPressure.data(), cNU_pressure, cUM_bar, cUM_psi, inputs);
    JudgedRange(c.Pressure, cpcLinearPressure, cdtPneumaticLinear);
    c.Pressure->SetIncrement(0.5);
    c.SafetyFactor =
        Field(cpcLinearSafetyFactor.data(), cNU_NoUnit, cUM_NoUnit, cUM_NoUnit, inputs);
    JudgedRange(c.SafetyFactor, cpcLinearSafetyFactor, cdtPneumaticLinear);
    c.SafetyFactor->SetIncrement(0.5);
    c.Automatic = new QCheckBox("~Load20-30Percent", inputs);
    c.Automatic->setObjectName("ChkBox20to30Percent");
    c.Cylinders = new QComboBox(inputs);
    c.Cylinders->setObjectName("CoBoxDZylLin");
    const TCustomTable& cylinders = app.CylinderForce;
    const int diameter = cylinders.ColByName("Diameter");
    const int shown = cylinders.ColByName("Diameter_mm");
    for (int row = 0; diameter >= 0 && shown >= 0 && row < cylinders.Rows(); ++row) {
        c.Cylinders->addItem(Q(cylinders.AsText(row, shown)));
        diameters_.push_back(cylinders.AsFloat(row, diameter));
    }
    c.Diameter = Panel("PanelDZylinder", cNU_length, cUM_mm, cUM_in, inputs);
    auto* cylinder = new QWidget(inputs);
    auto* cylinderRow = new QHBoxLayout(cylinder);
    cylinderRow->setContentsMargins(0, 0, 0, 0);
    cylinderRow->addWidget(c.Cylinders, 1);
    cylinderRow->addWidget(c.Diameter, 1);
    c.Travel = Panel("PanelVerfahrweg2", cNU_length, cUM_mm, cUM_in, inputs);
    c.MovingMass = Panel("PanelBewegteMassePnLin", cNU_mass, cUM_kg, cUM_lb, inputs);
    QWidget* modes = ValueModes(c.Calculate, c.Known, "RBtnVMaxAusrechnen", "RBtnVMaxBekannt", inputs);
    c.Time = Field(cpcLinearTime.data(), cNU_time, cUM_s, cUM_s, inputs);
    JudgedRange(c.Time, cpcLinearTime, cdtPneumaticLinear);
    timeJudged_ = {c.Time->ValueMin(), c.Time->ValueMax()};
    c.Time->SetIncrement(0.1);
    c.Speed = Field(cpcLinearSpeed.data(), cNU_velocity, cUM_m_s, cUM_ft_s, inputs);
    JudgedRange(c.Speed, cpcLinearSpeed, cdtPneumaticLinear);
    c.Speed->SetIncrement(0.1);

    Row(c.Form, "~WorkingPressure", c.Pressure);
    Row(c.Form, "~SafetyFactor", c.SafetyFactor);
    c.Form->addRow(QString(), c.Automatic);
    Row(c.Form, "~PistonDiameter", cylinder);
    Row(c.Form, "~Travel", c.Travel);
    Row(c.Form, "~MovingMass", c.MovingMass);
    c.Form->addRow(QString(), modes);
    Row(c.Form, "~Time", c.Time);
    Row(c.Form, "~VelocityAt...", c.Speed);
    columns->addWidget(inputs, 0, Qt::AlignTop);

    auto* results = new QWidget(page);
    QFormLayout* r = Form(results);
    c.PistonForce = Panel("PanelFKolbenLin", CNU_force, cUM_N, cUM_lbf, results);
    c.Acceleration = Panel("PanelPnLinAccelDrive", cNU_acceleration, cUM_m_s2, cUM_ft_s2, results);
    c.BrakingDistance = Panel("PanelBremswegLin", cNU_length, cUM_mm, cUM_in, results);
    // What the load brakes on: the cylinder's cushioning, a fixed stop or the absorbers.
    c.BrakingCaption = new QLabel(results);
    c.BrakingCaption->setObjectName("LabelBremsweg");
    c.BrakingAcceleration =
        Panel("PanelPnLinAccel", cNU_acceleration, cUM_m_s2, cUM_ft_s2, results);
    c.InertiaForce = Panel("PanelTraegheitskraft", CNU_force, cUM_N, cUM_lbf, results);
    Row(r, "~PistonForce", c.PistonForce);
    Row(r, "~Acceleration", c.Acceleration);
    Row(r, "~Cushioning", c.BrakingCaption);
    Row(r, "~BrakingDistance", c.BrakingDistance);
    Row(r, "~BrakingAcceleration", c.BrakingAcceleration);
    Row(r, "~InertiaForce", c.InertiaForce);
    columns->addWidget(results, 0, Qt::AlignTop);
    columns->addStretch(1);

    const TAbsorberFrame absorber = AbsorberFrame("Lin", page);
    c.UseAbsorber = absorber.Use;
    c.AbsorberBox = absorber.Box;
    c.Absorbers = new QComboBox(absorber.Choice);
    c.Absorbers->setObjectName("CoBoxQdrLin");
    for (const std::string& code : ColumnTexts(&app.ShockAbsorbers, "OrderCode"))
        c.Absorbers->addItem(Q(code));
    c.AbsorberCount = Field(cpcLinearAbsorberCount.data(), cNU_pieces, cUM_Stk, cUM_Stk,
                            absorber.Choice);
    JudgedRange(c.AbsorberCount, cpcLinearAbsorberCount, cdtPneumaticLinear);
    Row(absorber.ChoiceForm, "~ShockAbsorberType", c.Absorbers);
    Row(absorber.ChoiceForm, "~Quantity", c.AbsorberCount);
    absorber.BoxLayout->addWidget(BuildBars(c.Bars, c.Loads, "Lin", c.AbsorberBox));
    layout->addWidget(absorber.Group);
    layout->addStretch(1);

    connect(c.Automatic, &QCheckBox::clicked, this, [this](bool on) {
        TVacuumApplication& a = context_.App;
        a.Input([&] { a.Drive.ChkBox20to30Percent_Click(on); });
        ShowModel();
    });
    connect(c.Cylinders, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index >= static_cast<int>(diameters_.size())) return;
        TVacuumApplication& a = context_.App;
        a.Input([&] { a.Drive.CoBoxDZylLinChange(diameters_[static_cast<size_t>(index)]); });
        ShowModel();
    });
    for (QRadioButton* b : {c.Calculate, c.Known})
        connect(b, &QRadioButton::clicked, this, [this, b] {
            TVacuumApplication& a = context_.App;
            a.Input([&] { a.Motion.RBtnVMaxAusrechnenClick(b == lin_.Calculate); });
            ShowModel();
        });
    connect(c.UseAbsorber, &QCheckBox::clicked, this, [this](bool on) {
        TVacuumApplication& a = context_.App;
        a.Input([&] { a.Drive.ChkBoxQdrLin_Click(on); });
        ShowModel();
    });
    connect(c.Absorbers, &QComboBox::activated, this, [this](int index) {
        if (index < 0) return;
        TVacuumApplication& a = context_.App;
        const std::string code = lin_.Absorbers->itemText(index).toStdString();
        a.Input([&] { a.Drive.CoBoxQdrLinChange(code); });
        ShowModel();
    });
    return page;
}

QWidget* TDrivePage::BuildRotary() {
    auto* page = new QWidget(this);
    page->setObjectName("PageAntriebRotary");
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(18);
    layout->addLayout(columns);
    TRotaryControls& c = rot_;
    TVacuumApplication& app = context_.App;

    auto* inputs = new QWidget(page);
    QFormLayout* f = Form(inputs);
    c.Pressure = Field(cpcRotaryPressure.data(), cNU_pressure, cUM_bar, cUM_psi, inputs);
    JudgedRange(c.Pressure, cpcRotaryPressure, cdtPneumaticCircular);
    c.Pressure->SetIncrement(0.5);
    c.SafetyFactor =
        Field(cpcRotarySafetyFactor.data(), cNU_NoUnit, cUM_NoUnit, cUM_NoUnit, inputs);
    JudgedRange(c.SafetyFactor, cpcRotarySafetyFactor, cdtPneumaticCircular);
    c.SafetyFactor->SetIncrement(0.5);
    c.Actuators = new QComboBox(inputs);
    c.Actuators->setObjectName("CoBoxZylRot");
    c.Angle = Panel("PanelPnRotWinkelMax", cNU_angle, cUM_deg, cUM_deg, inputs);
    c.Inertia =
        Panel("PanelTraegheitGesamtRot", cNU_moment_of_inertia, cUM_kgcm2, cUM_lbin2, inputs);
    QWidget* modes = ValueModes(c.Calculate, c.Known, "RBtnRotAusrechnen", "RBtnRotBekannt", inputs);
    c.Time = Field(cpcRotaryTime.data(), cNU_time, cUM_s, cUM_s, inputs);
    JudgedRange(c.Time, cpcRotaryTime, cdtPneumaticCircular);
    rotaryTimeJudged_ = {c.Time->ValueMin(), c.Time->ValueMax()};
    c.Time->SetIncrement(0.1);
    c.Speed = Field(cpcRotarySpeed.data(), cNU_angular_velocity, cUM_deg_s, cUM_deg_s, inputs);
    c.Speed->SetValueMin(kRotarySpeedMin);
    c.Speed->SetValueMax(kRotarySpeedMax);
    c.Speed->SetIncrement(10.0);
    Row(f, "~WorkingPressure", c.Pressure);
    Row(f, "~SafetyFactor", c.SafetyFactor);
    Row(f, "~RotaryActuator", c.Actuators);
    Row(f, "~RotationAngle", c.Angle);
    Row(f, "~TotalMomentOfInertia", c.Inertia);
    f->addRow(QString(), modes);
    Row(f, "~Time", c.Time);
    Row(f, "~AngularVelocity", c.Speed);
    columns->addWidget(inputs, 0, Qt::AlignTop);

    auto* results = new QWidget(page);
    QFormLayout* r = Form(results);
    c.Torque = Panel("PanelDrehmoment", cNU_torque, cUM_Nm, cUM_inlbf, results);
    c.Acceleration = Panel("PanelPnRotAccelDrive", cNU_acceleration, cUM_m_s2, cUM_ft_s2, results);
    c.BrakingAngle = Panel("PanelBremswinkel", cNU_angle, cUM_deg, cUM_deg, results);
    c.BrakingAcceleration = Panel("PanePnRotAccel", cNU_acceleration, cUM_m_s2, cUM_ft_s2, results);
    c.Centripetal = Panel("PanelZentripetal", cNU_acceleration, cUM_m_s2, cUM_ft_s2, results);
    c.InertiaForce = Panel("PanelTraegheitskraftRot", CNU_force, cUM_N, cUM_lbf, results);
    Row(r, "~Torque", c.Torque);
    Row(r, "~Acceleration", c.Acceleration);
    Row(r, "~BrakingAngle", c.BrakingAngle);
    Row(r, "~BrakingAcceleration", c.BrakingAcceleration);
    Row(r, "~CentripetalAcceleration", c.Centripetal);
    Row(r, "~InertiaForce", c.InertiaForce);
    columns->addWidget(results, 0, Qt::AlignTop);
    columns->addStretch(1);

    const TAbsorberFrame absorber = AbsorberFrame("Rot", page);
    QWidget* choice = absorber.Choice;
    c.UseAbsorber = absorber.Use;
    c.AbsorberBox = absorber.Box;
    c.AbsorberForm = absorber.ChoiceForm;
    c.Absorbers = new QComboBox(choice);
    c.Absorbers->setObjectName("CoBoxQdrRot");
    for (const std::string& code : ColumnTexts(&app.RotaryShockAbsorbers, "OrderCode"))
        c.Absorbers->addItem(Q(code));
    c.AbsorberCount = Field(cpcRotaryAbsorberCount.data(), cNU_pieces, cUM_Stk, cUM_Stk, choice);
    JudgedRange(c.AbsorberCount, cpcRotaryAbsorberCount, cdtPneumaticCircular);
    c.Radius = Field(cpcAbsorberLever.data(), cNU_length, cUM_mm, cUM_in, choice);
    JudgedRange(c.Radius, cpcAbsorberLever, cdtPneumaticCircular);
    c.Radius->SetIncrement(10.0);
    c.EquivalentMass = Panel("PanelErsatzmasseRot", cNU_mass, cUM_kg, cUM_lb, choice);
    Row(c.AbsorberForm, "~ShockAbsorberType", c.Absorbers);
    Row(c.AbsorberForm, "~Quantity", c.AbsorberCount);
    Row(c.AbsorberForm, "~ShockAbsorberLever", c.Radius);
    Row(c.AbsorberForm, "~EquivalentMass", c.EquivalentMass);
    c.BarsBox = BuildBars(c.Bars, c.Loads, "Rot", c.AbsorberBox);
    absorber.BoxLayout->addWidget(c.BarsBox);
    layout->addWidget(absorber.Group);
    layout->addStretch(1);

    connect(c.Actuators, &QComboBox::activated, this, [this](int index) {
        if (index < 0) return;
        TVacuumApplication& a = context_.App;
        const std::string code = rot_.Actuators->itemText(index).toStdString();
        a.Input([&] { a.Drive.CoBoxZylRotChange(code); });
        ShowModel();
    });
    for (QRadioButton* b : {c.Calculate, c.Known})
        connect(b, &QRadioButton::clicked, this, [this, b] {
            TVacuumApplication& a = context_.App;
            a.Input([&] { a.Motion.RBtnRotAusrechnenClick(b == rot_.Calculate); });
            ShowModel();
        });
    connect(c.UseAbsorber, &QCheckBox::clicked, this, [this] { RotaryAbsorberChanged(); });
    connect(c.Absorbers, &QComboBox::activated, this, [this] { RotaryAbsorberChanged(); });
    return page;
}

QWidget* TDrivePage::BuildServo() {
    auto* page = new QWidget(this);
    page->setObjectName("PageAntriebServo");
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    servoNote_ = new QLabel("~HelpDriveServo", page);
    servoNote_->setObjectName("LabelServoNote");
    servoNote_->setWordWrap(true);
    layout->addWidget(servoNote_);
    layout->addStretch(1);
    return page;
}

// ---- input ----------------------------------------------------------------------------------

void TDrivePage::Entered(TFMU2Custom* field) {
    if (showing_) return;
    TVacuumApplication& a = context_.App;
    const double v = field->Value();
    if (field == rot_.AbsorberCount || field == rot_.Radius) {
        RotaryAbsorberChanged();
        return;
    }
    a.Input([&] {
        TDriveModel& d = a.Drive;
        TMotionModel& m = a.Motion;
        if (field == lin_.Pressure)
            d.SpinEditBetrDruckLinChange(v);
        else if (field == lin_.SafetyFactor)
            d.SpinEditFaktorPnLinChange(v);
        else if (field == lin_.Time)
            m.SpinEditZeitLinChange(v);
        else if (field == lin_.Speed)
            m.SpinEditVMaxLinChange(v);
        else if (field == lin_.AbsorberCount)
            d.SpinEditQdrLinAnzahlChange(static_cast<int>(field->ValueRounded()));
        else if (field == rot_.Pressure)
            d.SpinEditBetrDruckRotChange(v);
        else if (field == rot_.SafetyFactor)
            d.SpinEditFaktorPnRotChange(v);
        else if (field == rot_.Time)
            m.SpinEditZeitRotChange(v);
        else if (field == rot_.Speed)
            m.SpinEditWMaxRotChange(v);
    });
    ShowModel();
}

void TDrivePage::RotaryAbsorberChanged() {
    if (showing_) return;
    TVacuumApplication& app = context_.App;
    const TRotaryControls& c = rot_;
    const std::string code =
        c.Absorbers->currentIndex() >= 0 ? c.Absorbers->currentText().toStdString() : std::string();
    app.Input([&] {
        app.Drive.Qdr_Change(c.UseAbsorber->isChecked(), code,
                             static_cast<int>(c.AbsorberCount->ValueRounded()), c.Radius->Value());
    });
    ShowModel();
}

// ---- showing the model ----------------------------------------------------------------------

void TDrivePage::Retranslate() {
    ShowModel();
}

void TDrivePage::Enter() {
    ShowModel();
}

void TDrivePage::Refresh(TAspects aspects) {
    if (aspects.Intersects({caMotion, caDrive, caWorkpiece, caArrangement, caSuctionCup, caDocument,
                            caLanguage, caNavigator}))
        ShowModel();
}

void TDrivePage::ShowModel() {
    if (showing_) return;
    showing_ = true;
    const TDriveType type = context_.App.Document.Drive.Type;
    views_->setCurrentIndex(type == cdtPneumaticLinear     ? cdvLinear
                            : type == cdtPneumaticCircular ? cdvRotary
                                                           : cdvServo);
    ShowLinear();
    ShowRotary();
    ShowVerdict();
    showing_ = false;
}

void TDrivePage::ShowLinear() {
    TVacuumApplication& app = context_.App;
    const auto& p = app.Document.Drive.PneumaticLinear;
    const TDriveModel& d = app.Drive;
    const TLinearDriveResult& l = d.Linear();
    TLinearControls& c = lin_;
    c.Pressure->SetValue(p.Pressure);
    c.SafetyFactor->SetValue(p.SafetyFactor);
    c.Automatic->setChecked(p.AutomaticCylinderSelection);
    c.Cylinders->setVisible(!p.AutomaticCylinderSelection);
    c.Diameter->setVisible(p.AutomaticCylinderSelection);
    int index = -1;
    for (size_t i = 0; i < diameters_.size(); ++i)
        if (std::abs(diameters_[i] - p.CylinderDiameter) < 1e-9) index = static_cast<int>(i);
    c.Cylinders->setCurrentIndex(index);
    c.Diameter->SetValue(d.CylinderDiameter());
    c.Travel->SetValue(app.Document.Moving.LinearTravel);
    c.MovingMass->SetValue(app.Motion.MovingMass());
    c.Calculate->setChecked(p.CalculateSpeed);
    c.Known->setChecked(!p.CalculateSpeed);
    // The time the stroke allows at the speed field's limits, within what a project may hold.
    const TAxisRange limits = app.Motion.LinearTimeLimits();
    if (limits.Min > 0.0 && limits.Max >= limits.Min) {
        c.Time->SetValueMin(std::max(limits.Min, timeJudged_.Min));
        c.Time->SetValueMax(std::min(limits.Max, timeJudged_.Max));
    }
    c.Time->SetValue(p.Time);
    c.Speed->SetValue(p.Speed);
    // The value the mode computes is shown, not typed.
    c.Time->SetReadOnly(!p.CalculateSpeed);
    c.Speed->SetReadOnly(p.CalculateSpeed);
    c.PistonForce->SetValue(l.PistonForce);
    c.Acceleration->SetValue(l.Acceleration);
    c.BrakingDistance->SetValue(l.BrakingDistance);
    c.BrakingCaption->setText(context_.Language.Tr(l.AbsorberUsed           ? "~ShockAbsorber"
                                                   : l.AdjustableCushioning ? "~CushioningVKD"
                                                                            : "~CushioningP"));
    c.BrakingAcceleration->SetValue(l.BrakingAcceleration);
    c.InertiaForce->SetValue(l.InertiaForce);
    c.UseAbsorber->setChecked(p.UseQdr);
    c.AbsorberBox->setVisible(d.LinearRatingBarsVisible());
    ShowCode(c.Absorbers, p.QdrOrderCode);
    c.AbsorberCount->SetValue(p.QdrCount);
    const auto bars = d.LinearRatingBars();
    const double loads[] = {l.Absorber.Energy, l.Absorber.EnergyPerHour / 3600.0, l.Absorber.Force};
    for (size_t i = 0; i < 3; ++i) {
        c.Bars[i]->SetBar(bars[i]);
        c.Loads[i]->SetValue(loads[i]);
    }
}

void TDrivePage::FillActuators() {
    const std::vector<std::string> codes = ColumnTexts(&context_.App.RotaryQuery, "OrderCode");
    if (codes == actuators_) return;
    actuators_ = codes;
    rot_.Actuators->clear();
    for (const std::string& code : codes) rot_.Actuators->addItem(Q(code));
}

void TDrivePage::ShowRotary() {
    TVacuumApplication& app = context_.App;
    const auto& p = app.Document.Drive.PneumaticCircular;
    const TDriveModel& d = app.Drive;
    const TRotaryDriveResult& t = d.Rotary();
    TRotaryControls& c = rot_;
    FillActuators();
    ShowCode(c.Actuators, p.OrderCode);
    c.Pressure->SetValue(p.Pressure);
    c.SafetyFactor->SetValue(p.SafetyFactor);
    c.Angle->SetValue(app.Document.Moving.CircularAngle);
    c.Inertia->SetValue(app.Document.TotalMomentOfInertia);
    c.Calculate->setChecked(p.CalculateSpeed);
    c.Known->setChecked(!p.CalculateSpeed);
    const TAxisRange limits = app.Motion.RotaryTimeLimits();
    if (limits.Min > 0.0 && limits.Max >= limits.Min) {
        c.Time->SetValueMin(std::max(limits.Min, rotaryTimeJudged_.Min));
        c.Time->SetValueMax(std::min(limits.Max, rotaryTimeJudged_.Max));
    }
    c.Time->SetValue(p.Time);
    c.Speed->SetValue(p.AngularSpeed);
    c.Time->SetReadOnly(!p.CalculateSpeed);
    c.Speed->SetReadOnly(p.CalculateSpeed);
    c.Torque->SetValue(t.Torque);
    c.Acceleration->SetValue(t.Acceleration);
    c.BrakingAngle->SetValue(t.BrakingAngle);
    c.BrakingAcceleration->SetValue(t.BrakingAcceleration);
    c.Centripetal->SetValue(t.CentripetalAcceleration);
    c.InertiaForce->SetValue(t.InertiaForce);
    c.UseAbsorber->setChecked(p.UseQdr);
    c.AbsorberBox->setVisible(p.UseQdr);
    ShowCode(c.Absorbers, p.QdrOrderCode);
    c.AbsorberCount->SetValue(p.QdrCount);
    c.Radius->SetValue(d.AbsorberRadius());
    c.EquivalentMass->SetValue(
        AbsorberEquivalentMass(app.Document.TotalMomentOfInertia, p.QdrCount, d.AbsorberRadius()));
    c.BarsBox->setVisible(d.RotaryRatingBarsVisible());
    const auto bars = d.RotaryRatingBars();
    const double loads[] = {t.Absorber.Energy, t.Absorber.EnergyPerHour / 3600.0, t.Absorber.Force};
    for (size_t i = 0; i < 3; ++i) {
        c.Bars[i]->SetBar(bars[i]);
        c.Loads[i]->SetValue(loads[i]);
    }
}

void TDrivePage::ShowVerdict() {
    const TDriveType type = context_.App.Document.Drive.Type;
    verdict_->setVisible(Pneumatic(type));
    if (!Pneumatic(type)) return;
    const TDriveCheck check = context_.App.Drive.Check();
    TLanguageForm& language = context_.Language;
    QStringList lines;
    if (!check.CanMove) lines << language.Tr("~DriveCannotMove");
    if (!check.CanStop) lines << language.Tr("~DriveCannotStop");
    const bool good = lines.isEmpty();
    if (good) lines << language.Tr("~DriveCanMoveAndStop");
    verdict_->setText(lines.join('\n'));
    verdict_->setProperty("good", good);
    QPalette pal = verdict_->palette();
    pal.setColor(QPalette::WindowText, good ? cVerdictGood : cVerdictBad);
    verdict_->setPalette(pal);
}

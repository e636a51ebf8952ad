#include "app/pages/venturi/venturi_page.h"

#include "app/pages/venturi/air_group.h"
#include "gui/fields/field_layout.h"
#include "app/dialogs/venturi_chart/form_venturi.h"
#include "core/calc/site_conditions.h"
#include "core/calc/venturi.h"
#include "core/workflow/model_text.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/page_fields.h"
#include "core/workflow/product_filters.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "gui/table/str_table_controls.h"
#include "gui/table/string_table_grid.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QFrame>
#include <QTabWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr double kBar = 1.0e5;
constexpr double kTimeMax = 1000.0; // s

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

struct TListEntry {
    const char* Column;
    const char* Caption;
    const char* Help;
    int Extra;
};
// In three columns of four, the pressure and the vacuum connection with their pictures last.
constexpr TListEntry kLists[] = {
    {"Group", "~Assembly", nullptr, 0},
    {"~ValveVacuum", "~MagneticValve", nullptr, 0},
    {"~EjectorPulse", "~EjectorPulse", nullptr, 2},
    {"~AirSaving", "~AirSaving", nullptr, 0},
    {"~NonReturnValve", "~NonReturnValve", nullptr, 0},
    {"~Silencer", "~Silencer", nullptr, 0},
    {"~Filter", "~Filter", nullptr, 0},
    {"Switch", "~OutputSwitch", nullptr, 1},
    {"~Hysterese", "~Hysterese", "~FesteHysterese1TP", 0},
    {"Skalierung", "~Skalierung", nullptr, 0},
    {"FittingP", "~PressureConx", nullptr, 0},
    {"FittingV", "~VacuumConx", nullptr, 0},
};

constexpr const char* kSwitchLabels[] = {"U", "I", "PNP", "NPN"};

QString ObjectName(const char* prefix, std::string_view column) {
    QString name = Q(column);
    name.remove('~');
    return prefix + name;
}

void Highlight(QLabel* label, bool on) {
    QFont f = label->font();
    f.setBold(on);
    label->setFont(f);
    label->setProperty("highlighted", on);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText,
                 on ? QColor(0, 90, 200)
                    : QApplication::palette(label).color(QPalette::WindowText));
    label->setPalette(pal);
}

// The thread's outer diameter in mm, for the size of its picture.
double ThreadDiameter(const QString& thread) {
    if (thread == "M5") return 5.0;
    if (thread == "G1/8") return 9.7;
    if (thread == "G1/4") return 13.2;
    if (thread == "G3/8") return 16.7;
    return 10.0;
}

} // namespace

// ---- fitting picture ------------------------------------------------------------------------

// Shown only while it has a thread to draw, so that the list beside it has the whole room
// for "no preference" in every language.
TFittingPicture::TFittingPicture(QWidget* parent) : QWidget(parent) {
    setMinimumSize(34, 26);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    hide();
}

void TFittingPicture::SetThread(const QString& thread) {
    if (thread == thread_) return;
    thread_ = thread;
    setToolTip(thread);
    setVisible(!thread_.isEmpty());
    update();
}

void TFittingPicture::paintEvent(QPaintEvent*) {
    if (thread_.isEmpty()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double h = height() - 2.0;
    // The stem grows with the thread: 5 mm is a third of the height, 17 mm nearly all.
    const double stem = std::clamp(ThreadDiameter(thread_) / 18.0, 0.3, 0.95) * h;
    const double cy = height() / 2.0;
    const QColor metal(170, 170, 175), edge(70, 70, 75);
    p.setPen(QPen(edge, 1));
    p.setBrush(metal);
    // The hexagon seen from the side, then the threaded stem to the right.
    p.drawRect(QRectF(1, 1, width() * 0.4, h));
    p.drawLine(QPointF(1, cy - h / 4), QPointF(1 + width() * 0.4, cy - h / 4));
    p.drawLine(QPointF(1, cy + h / 4), QPointF(1 + width() * 0.4, cy + h / 4));
    const double x0 = 1 + width() * 0.4, x1 = width() - 1.0;
    p.drawRect(QRectF(x0, cy - stem / 2, x1 - x0, stem));
    for (double x = x0 + 3; x < x1 - 1; x += 3)
        p.drawLine(QPointF(x, cy - stem / 2), QPointF(x - 2, cy + stem / 2));
}

// ---- page -----------------------------------------------------------------------------------

TVenturiPage::TVenturiPage(TPageContext& context) : context_(context) {
    setObjectName("PageVenturi");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    // The operating conditions, the site with the leak and the compressed air share one
    // place, as tabs, so that the context help beside them keeps its room.
    conditionTabs_ = new QTabWidget(this);
    conditionTabs_->setObjectName("PageControlConditions");
    conditionTabs_->addTab(BuildConditions(), "~OperatingConditions");
    conditionTabs_->addTab(BuildSite(), "~SiteAndLeak");
    air_ = new TAirGroup(context_, this);
    air_->setTitle(QString());
    air_->setFlat(true);
    air_->OnValidityChange = [this] { ReportValidity(); };
    conditionTabs_->addTab(air_, "~CompressedAir");
    // Every tab's title stays readable: the tabs take the width of their titles.
    conditionTabs_->setUsesScrollButtons(false);
    conditionTabs_->tabBar()->setElideMode(Qt::ElideNone);
    conditionTabs_->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    top->addWidget(conditionTabs_, 0, Qt::AlignTop);
    top->addWidget(BuildHelp(), 1);
    layout->addLayout(top);
    layout->addWidget(BuildFilters());
    records_ = new QLabel(this);
    records_->setObjectName("LabelVenturiCount");
    layout->addWidget(records_);
    BuildGrid();
    layout->addWidget(grid_, 1);

    TVacuumApplication& app = context_.App;
    follow_.push_back(app.FiltersRestored.Connect([this](int page) {
        if (page == cmpVenturi) ShowStoredFilters();
    }));
    follow_.push_back(app.ChartWindowRequested.Connect(
        [this](const std::string& caption) { ShowChartWindow(caption); }));
    Refresh(TAspects::All());
    // The unit buttons of the page's fields end at one line.
    AlignUnitButtons(this);
}

TVenturiPage::~TVenturiPage() {
    follow_.clear();
    delete chart_.data();
}

TFMU2SpinEdit* TVenturiPage::Field(const char* name, TNormUnit quantity, TNUMessurement si,
                                   TNUMessurement us) {
    auto* f = new TFMU2SpinEdit;
    f->setObjectName(name);
    f->SetNormUnit(quantity);
    f->SetPreferredSIUnit(si);
    f->SetPreferredUSUnit(us);
    f->SetAutoUnitChange(true);
    f->SetTranslate(context_.App.Translator());
    return f;
}

QWidget* TVenturiPage::BuildConditions() {
    auto* box = new QWidget(this);
    box->setObjectName("VenturiConditions");
    auto* form = new QFormLayout(box);
    form->setContentsMargins(6, 6, 6, 6);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    TVacuumApplication& app = context_.App;

    // The ranges are those the project's values are judged by.
    const std::vector<TPageField> fields = PageFields(app.Document, cmpVenturi, 0.0);
    const auto range = [&](std::string_view control, TFMU2SpinEdit* f, double max) {
        for (const TPageField& pf : fields)
            if (pf.Control == control) {
                f->SetValueMin(pf.Min);
                f->SetValueMax(std::isfinite(pf.Max) ? pf.Max : max);
            }
    };
    count_ = Field(cpcVenturiCount.data(), cNU_pieces, cUM_Stk, cUM_Stk);
    range(cpcVenturiCount, count_, 100.0);
    pressure_ = Field(cpcVenturiPressure.data(), cNU_pressure, cUM_bar, cUM_psi);
    range(cpcVenturiPressure, pressure_, 7 * kBar);
    pressure_->SetIncrement(0.5);
    // A required vacuum is below ambient; 0 is offered, and refused on leaving the page.
    vacuum_ = Field(cpcRequiredVacuum.data(), cNU_pressure, cUM_bar, cUM_psi);
    range(cpcRequiredVacuum, vacuum_, 0.0);
    vacuum_->SetIncrement(0.1);
    timeMax_ = Field("SpinEditZeitMax", cNU_time, cUM_s, cUM_s);
    timeMax_->SetValueMin(0.0);
    timeMax_->SetValueMax(kTimeMax);
    volume_ = new TFMU2Panel;
    volume_->setObjectName("PanelVakVolGes");
    volume_->SetNormUnit(cNU_volume);
    volume_->SetPreferredSIUnit(cUM_cm3);
    volume_->SetPreferredUSUnit(cUM_in3);
    volume_->SetAutoUnitChange(true);
    volume_->SetDecimals(-3);
    volume_->SetTranslate(app.Translator());
    selected_ = new QLabel;
    selected_->setObjectName("LabelSelectedVenturiNozzle");
    selected_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    diagram_ = new QPushButton("~Diagram");
    diagram_->setObjectName("BitBtn2");

    struct TRow {
        const char* Caption;
        QWidget* Control;
        const char* Help;
    };
    for (const TRow& r :
         {TRow{"~Count", count_, "~HelpVenturiIntro"},
          TRow{"~WorkingPressure", pressure_, "~HelpVenturiTime"},
          TRow{"~Vacuum", vacuum_, "~HelpVenturiVacuum"},
          TRow{"~MaxEvacuationTime", timeMax_, "~HelpVenturiPorous"},
          TRow{"~EvacuatedVolume", volume_, nullptr}, TRow{"~OrderCode", selected_, nullptr}}) {
        auto* label = new QLabel(r.Caption, box);
        label->setBuddy(r.Control);
        form->addRow(label, r.Control);
        if (r.Help) topics_.push_back({r.Control, label, r.Help, 0});
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(diagram_);
    buttons->addStretch(1);
    form->addRow(QString(), buttons);

    for (TFMU2SpinEdit* f : {count_, pressure_, vacuum_, timeMax_}) {
        f->OnChange = [this](TFMU2Custom* sender) { Entered(sender); };
        f->OnChangeValid = [this](TFMU2Custom*) { ReportValidity(); };
    }
    connect(diagram_, &QPushButton::clicked, this, [this] {
        TVacuumApplication& a = context_.App;
        a.Input([&] { a.Venturi.BitBtn2Click(); });
    });
    return box;
}

QWidget* TVenturiPage::BuildSite() {
    TVacuumApplication& app = context_.App;
    siteBox_ = new QWidget(this);
    siteBox_->setObjectName("PageSite");
    auto* form = new QFormLayout(siteBox_);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    altitude_ = Field(cpcSiteAltitude.data(), cNU_length, cUM_m, cUM_ft);
    altitude_->SetValueMin(0.0);
    altitude_->SetValueMax(cMaxSiteAltitude);
    altitude_->SetIncrement(100.0);
    ambient_ = Field(cpcAmbientPressure.data(), cNU_pressure, cUM_mbar, cUM_psi);
    ambient_->SetValueMin(StandardAtmospherePressure(cMaxSiteAltitude));
    ambient_->SetValueMax(cStandardPressure);
    ambient_->SetIncrement(10.0);
    // Parented by the form as the fields are, so Tab visits them in the order they stand.
    leakKind_ = new QComboBox;
    leakKind_->setObjectName("ComboBoxLeakKind");
    leakKind_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (const char* key : {"~LeakNone", "~LeakOrifice", "~LeakMeasured"}) leakKind_->addItem(key);
    leakDiameter_ = Field(cpcLeakDiameter.data(), cNU_length, cUM_mm, cUM_in);
    leakDiameter_->SetValueMin(0.0);
    leakDiameter_->SetValueMax(0.01);
    leakDiameter_->SetIncrement(0.1);
    leakFlow_ = Field(cpcLeakFlow.data(), cNU_VolumePerTime, cUM_dm3_min, cUM_CFM);
    leakFlow_->SetValueMin(0.0);
    leakFlow_->SetValueMax(1000.0e-3 / 60.0);
    leakFlow_->SetIncrement(0.1);
    leakVacuum_ = Field(cpcLeakVacuum.data(), cNU_pressure, cUM_bar, cUM_psi);
    leakVacuum_->SetValueMin(-0.95 * kBar);
    leakVacuum_->SetValueMax(-0.001 * kBar);
    leakVacuum_->SetIncrement(0.1);
    reachable_ = new TFMU2Panel;
    reachable_->setObjectName("PanelReachableVacuum");
    reachable_->SetNormUnit(cNU_pressure);
    reachable_->SetPreferredSIUnit(cUM_bar);
    reachable_->SetPreferredUSUnit(cUM_psi);
    reachable_->SetAutoUnitChange(true);
    reachable_->SetDecimals(-3);
    reachable_->SetTranslate(app.Translator());
    siteTime_ = new QLabel(siteBox_);
    siteTime_->setObjectName("LabelSiteEvacuationTime");

    const auto row = [&](const char* caption, QWidget* control, const char* help) {
        auto* label = new QLabel(caption, siteBox_);
        label->setBuddy(control);
        form->addRow(label, control);
        if (help) topics_.push_back({control, label, help, 0});
        return label;
    };
    row("~SiteAltitude", altitude_, "~HelpVenturiSite");
    row("~AmbientPressure", ambient_, "~HelpVenturiSite");
    row("~Leak", leakKind_, "~HelpVenturiSite");
    leakDiameterLabel_ = row("~LeakDiameter", leakDiameter_, "~HelpVenturiSite");
    leakFlowLabel_ = row("~LeakFlow", leakFlow_, "~HelpVenturiSite");
    leakVacuumLabel_ = row("~LeakVacuum", leakVacuum_, "~HelpVenturiSite");
    row("~ReachableVacuum", reachable_, nullptr);
    row("~EvacuationTime", siteTime_, nullptr);

    for (TFMU2SpinEdit* f : {altitude_, ambient_, leakDiameter_, leakFlow_, leakVacuum_}) {
        f->OnChange = [this](TFMU2Custom* sender) { Entered(sender); };
        f->OnChangeValid = [this](TFMU2Custom*) { ReportValidity(); };
    }
    connect(leakKind_, &QComboBox::activated, this, [this](int index) {
        if (showing_) return;
        TVacuumApplication& a = context_.App;
        a.Input([&] { a.Venturi.ComboBoxLeakKindChange(index); });
    });
    return siteBox_;
}

QWidget* TVenturiPage::BuildHelp() {
    help_ = new QFrame(this);
    help_->setObjectName("PanelHelp");
    help_->setFrameShape(QFrame::StyledPanel);
    help_->setAutoFillBackground(true);
    help_->setBackgroundRole(QPalette::ToolTipBase);
    auto* layout = new QVBoxLayout(help_);
    helpTitle_ = new QLabel(help_);
    helpTitle_->setObjectName("LabelHelpTitle");
    QFont bold = helpTitle_->font();
    bold.setBold(true);
    helpTitle_->setFont(bold);
    layout->addWidget(helpTitle_);
    helpText_ = new QLabel(help_);
    helpText_->setObjectName("LabelHelpText");
    helpText_->setWordWrap(true);
    helpText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(helpText_);

    switchRow_ = new QWidget(help_);
    auto* switches = new QHBoxLayout(switchRow_);
    switches->setContentsMargins(0, 0, 0, 0);
    for (const char* name : kSwitchLabels) {
        auto* label = new QLabel(name, switchRow_);
        label->setObjectName(QString("LabelSwitch%1").arg(name));
        switches->addWidget(label);
        switch_.push_back(label);
    }
    switches->addStretch(1);
    layout->addWidget(switchRow_);
    pulseRow_ = new QWidget(help_);
    auto* pulses = new QHBoxLayout(pulseRow_);
    pulses->setContentsMargins(0, 0, 0, 0);
    int i = 0;
    for (const char* key : {"~Electrical", "~Mechanical"}) {
        pulse_[i] = new QLabel(key, pulseRow_);
        pulse_[i]->setObjectName(QString("LabelPulse%1").arg(i));
        pulses->addWidget(pulse_[i]);
        ++i;
    }
    pulses->addStretch(1);
    layout->addWidget(pulseRow_);
    layout->addStretch(1);
    // The help keeps its place while hidden, so that nothing moves when it comes and goes.
    QSizePolicy keep = help_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    // It takes the width the fields leave, never theirs.
    keep.setHorizontalPolicy(QSizePolicy::Ignored);
    help_->setSizePolicy(keep);
    help_->hide();
    return help_;
}

QWidget* TVenturiPage::BuildFilters() {
    auto* box = new QWidget(this);
    box->setObjectName("VenturiFilters");
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    TVacuumApplication& app = context_.App;
    constexpr int kRows = 4;
    int place = 0;
    for (const TListEntry& entry : kLists) {
        const std::string column = entry.Column;
        auto* list = new TStrTableCoBox(box);
        list->setObjectName(ObjectName("CoBoxVenturi", column));
        list->SetTranslate(app.Translator());
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(5);
        TStrTableCoBoxModel& m = list->Model();
        m.SetUnselected("~NoPreference");
        m.SetSort(cSortASCII);
        m.SetNoChoiseDisabled(true);
        list->SetFieldName(column);
        list->SetTable(&app.VenturiQuery);
        m.OnChange = [this, column](TStrTableCoBoxModel& model) {
            const bool chosen = model.ItemIndex() > 0 && !model.AutoSelected();
            FilterChosen(column, chosen ? model.Items()[static_cast<size_t>(model.ItemIndex())]
                                        : std::string());
        };
        auto* label = new QLabel(entry.Caption, box);
        label->setBuddy(list);
        // Long captions of some languages take a second line rather than being cut.
        label->setWordWrap(true);
        label->setMinimumWidth(80);
        const int row = place % kRows, col = (place / kRows) * 3;
        grid->addWidget(label, row, col);
        if (column == "FittingP" || column == "FittingV") {
            auto* withPicture = new QHBoxLayout;
            withPicture->setContentsMargins(0, 0, 0, 0);
            withPicture->addWidget(list, 1);
            auto* picture = new TFittingPicture(box);
            picture->setObjectName(ObjectName("ImageFitting", column.substr(7)));
            withPicture->addWidget(picture);
            (column == "FittingP" ? fittingP_ : fittingV_) = picture;
            grid->addLayout(withPicture, row, col + 1);
        } else {
            grid->addWidget(list, row, col + 1);
        }
        columns_.push_back(column);
        lists_.push_back(list);
        topics_.push_back({list, label, entry.Help ? entry.Help : "", entry.Extra});
        ++place;
    }
    for (int c = 0; c < 3; ++c) {
        grid->setColumnStretch(c * 3 + 1, 1);
        // A gap between the columns of lists.
        if (c < 2) grid->setColumnMinimumWidth(c * 3 + 2, 12);
    }
    // Focus and clicks on the labels show the help.
    for (THelpTopic& t : topics_) {
        t.Label->installEventFilter(this);
        QWidget* target = t.Control;
        if (auto* spin = qobject_cast<TFMU2SpinEdit*>(target)) target = spin->Edit();
        target->installEventFilter(this);
    }
    return box;
}

void TVenturiPage::BuildGrid() {
    TVacuumApplication& app = context_.App;
    grid_ = new TStringTableGrid(this);
    grid_->setObjectName(Q(cpcVenturiGrid));
    grid_->Model().Translate = app.Translator();
    grid_->SetColNames("~ok|OrderCode|Time|Vacuum|Group|~ValveVacuum|~EjectorPulse|~AirSaving|"
                       "~NonReturnValve|~Silencer|~Filter|Switch|~Hysterese|FittingV|FittingP|"
                       "Vacuum|Skalierung");
    grid_->SetTitles({"~FittingToTube", "~OrderCode", "~EvacuationTime", "~VacuumMax", "~Assembly",
                      "~MagneticValve", "~EjectorPulse", "~AirSaving", "~NonReturnValve",
                      "~Silencer", "~Filter", "~OutputSwitch", "~SchwellwertKomparator",
                      "~PressureConx", "~VacuumConx", "~VacuumMax", "~Skalierung"});
    grid_->SetTickColumns({"~ok"});
    grid_->SetRowSelect(true);
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->SetTable(&app.VenturiQuery);
    grid_->OnSelectCell = [this](TStringTableGrid&, int, int aRow) { RowChosen(aRow); };
    grid_->SizeColumns();
}

TStrTableCoBox* TVenturiPage::List(const std::string& column) const {
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i] == column) return lists_[i];
    return nullptr;
}

QLabel* TVenturiPage::SwitchLabel(const char* name) const {
    for (QLabel* l : switch_)
        if (l->text() == name) return l;
    return nullptr;
}

bool TVenturiPage::Highlighted(const QLabel* label) {
    return label && label->property("highlighted").toBool();
}

// ---- input ----------------------------------------------------------------------------------

void TVenturiPage::Entered(TFMU2Custom* field) {
    if (showing_) return;
    TVacuumApplication& app = context_.App;
    const double value = field->Value();
    app.Input([&] {
        TVenturiModel& m = app.Venturi;
        if (field == count_)
            m.SpinEditAnzahlVenturiChange(value);
        else if (field == pressure_)
            m.SpinEditBetriebsdruckChange(value);
        else if (field == vacuum_)
            m.SpinEditVakuumSollChange(value);
        else if (field == timeMax_)
            m.SpinEditZeitMaxChange(value);
        else if (field == altitude_)
            m.SpinEditAltitudeChange(value);
        else if (field == ambient_)
            m.SpinEditAmbientPressureChange(value);
        else if (field == leakDiameter_)
            m.SpinEditLeakDiameterChange(value);
        else if (field == leakFlow_)
            m.SpinEditLeakFlowChange(value);
        else if (field == leakVacuum_)
            m.SpinEditLeakVacuumChange(value);
    });
}

void TVenturiPage::ReportValidity() {
    TVacuumApplication& app = context_.App;
    // The leak's fields count while they are shown.
    const TLeakKind leak = app.Document.Site.Leak.Kind;
    const bool valid = count_->Valid() && pressure_->Valid() && vacuum_->Valid() && air_->FieldsValid() &&
                       altitude_->Valid() && ambient_->Valid() && (leak != clkOrifice || leakDiameter_->Valid()) &&
                       (leak != clkMeasured || (leakFlow_->Valid() && leakVacuum_->Valid()));
    app.Input([&] { app.Workflow.VenturiChangeValid(valid); });
}

void TVenturiPage::FilterChosen(const std::string& column, const std::string& value) {
    if (showing_) return;
    TVacuumApplication& app = context_.App;
    if (app.Venturi.Inert()) return;
    // Filtering runs right after this; the cursor is back once the events are handled.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QTimer::singleShot(0, this, [] { QApplication::restoreOverrideCursor(); });
    app.Input([&] {
        if (StoreVenturiFilter(app.Document.Venturi, column, value))
            app.Mark(caVacuumGenerator | caDocument);
        app.Venturi.VenturiSelectionChange();
    });
}

void TVenturiPage::RowChosen(int aRow) {
    TVacuumApplication& app = context_.App;
    // The grid re-reads its current row after every refresh; while another page is shown
    // that chooses nothing (entering this page chooses the stored generator).
    if (showing_ || aRow < 1 || app.Workflow.CurrentPage() != cmpVenturi) return;
    if (aRow - 1 == app.Venturi.SelectedRow() &&
        CellText(app.VenturiQuery, aRow - 1, "OrderCode") ==
            app.Venturi.LabelSelectedVenturiNozzle())
        return;
    app.Input([&] { app.Venturi.VenturiSelect(aRow - 1); });
}

bool TVenturiPage::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::FocusIn || type == QEvent::FocusOut || type == QEvent::MouseButtonPress) {
        for (const THelpTopic& t : topics_) {
            QObject* control = t.Control;
            if (auto* spin = qobject_cast<TFMU2SpinEdit*>(t.Control)) control = spin->Edit();
            if (watched == t.Label && type == QEvent::MouseButtonPress)
                ShowHelp(&t);
            else if (watched == control && type == QEvent::FocusIn)
                ShowHelp(&t);
            else if (watched == control && type == QEvent::FocusOut && shownTopic_ == &t)
                ShowHelp(nullptr);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- showing the model ----------------------------------------------------------------------

void TVenturiPage::ShowHelp(const THelpTopic* topic) {
    shownTopic_ = topic;
    if (!topic || (topic->Text.empty() && topic->Extra == 0)) {
        help_->hide();
        return;
    }
    TLanguageForm& language = context_.Language;
    helpTitle_->setText(topic->Label->text());
    helpText_->setText(topic->Text.empty() ? QString() : language.Tr(topic->Text));
    helpText_->setVisible(!topic->Text.empty());
    switchRow_->setVisible(topic->Extra == 1);
    pulseRow_->setVisible(topic->Extra == 2);
    help_->show();
}

void TVenturiPage::ShowStoredFilters() {
    const std::span<const TProductFilter> filters = VenturiFilters();
    TVenturiModel& model = context_.App.Venturi;
    const auto shownEntry = [](const TStrTableCoBoxModel& m) {
        return m.ItemIndex() > 0 && !m.AutoSelected()
                   ? m.Items()[static_cast<size_t>(m.ItemIndex())]
                   : std::string();
    };
    // The entry a list should show; a list the project keeps nothing for shows none.
    const auto wanted = [&](size_t l, const std::string& shown) {
        for (size_t i = 0; i < filters.size(); ++i)
            if (filters[i].Column == columns_[l]) return model.StoredFilterEntry(i, shown);
        return std::string();
    };
    showing_ = true;
    // First the lists without a stored choice let go of theirs, so that the others offer
    // every value the stored choices admit; then those choices are shown.
    for (int pass = 0; pass < 2; ++pass)
        for (size_t l = 0; l < lists_.size(); ++l) {
            TStrTableCoBox* list = lists_[l];
            const std::string shown = shownEntry(list->Model());
            const std::string want = wanted(l, shown);
            if ((pass == 0) != want.empty()) continue;
            // A list that shows its only value may still hold the user's filter of it.
            if (want.empty() && list->Model().ItemIndex() > 0)
                list->Model().Select(0);
            else if (!want.empty() && shown != want)
                list->SelectByText(want);
        }
    showing_ = false;
}

void TVenturiPage::Retranslate() {
    TVacuumApplication& app = context_.App;
    app.Input([&] { app.Venturi.RefreshGeneratorPage(); });
    grid_->SizeColumns();
    ShowHelp(shownTopic_);
    ShowResults();
    air_->Retranslate();
}

void TVenturiPage::Enter() {
    ShowChosenRow();
}

void TVenturiPage::Refresh(TAspects aspects) {
    if (aspects.Intersects({caVacuumGenerator, caTube, caSuctionCup, caArrangement, caLanguage,
                            caDocument, caNavigator})) {
        ShowResults();
        // The fit to the tube and the volume are read again while drawing.
        grid_->viewport()->update();
    }
    if (aspects.Intersects({caVacuumGenerator, caNavigator})) ShowChosenRow();
    if (air_) air_->Refresh(aspects);
}

void TVenturiPage::ShowResults() {
    TVacuumApplication& app = context_.App;
    const TMyProject::TVenturi& v = app.Document.Venturi;
    showing_ = true;
    count_->SetValue(static_cast<double>(v.Count));
    pressure_->SetValue(v.Pressure);
    vacuum_->SetValue(v.Vacuum);
    timeMax_->SetValue(v.TimeMax);
    volume_->SetValue(app.Document.EvacuatedVolume);
    selected_->setText(Q(app.Venturi.LabelSelectedVenturiNozzle()));
    records_->setText(Q(app.Venturi.LabelVenturiCount()));
    diagram_->setEnabled(app.Venturi.SelectedRow() >= 0);
    ShowSite();
    const auto shown = [this](const char* column) {
        const TStrTableCoBoxModel& m = List(column)->Model();
        return m.ItemIndex() > 0 ? m.Items()[static_cast<size_t>(m.ItemIndex())] : std::string();
    };
    fittingP_->SetThread(Q(shown("FittingP")));
    fittingV_->SetThread(Q(shown("FittingV")));
    showing_ = false;
    if (!app.Document.Project().Busy()) ShowSwitchHelp();
}

void TVenturiPage::ShowSite() {
    TVacuumApplication& app = context_.App;
    const TSiteConditions& site = app.Document.Site;
    altitude_->SetValue(site.Altitude);
    ambient_->SetValue(site.AmbientPressure());
    leakKind_->setCurrentIndex(site.Leak.Kind < cLeakKindNames.size() ? site.Leak.Kind : 0);
    leakDiameter_->SetValue(site.Leak.Diameter);
    leakFlow_->SetValue(site.Leak.Flow);
    leakVacuum_->SetValue(site.Leak.Vacuum);
    const bool orifice = site.Leak.Kind == clkOrifice, measured = site.Leak.Kind == clkMeasured;
    for (QWidget* w : {static_cast<QWidget*>(leakDiameter_), static_cast<QWidget*>(leakDiameterLabel_)})
        w->setVisible(orifice);
    for (QWidget* w : {static_cast<QWidget*>(leakFlow_), static_cast<QWidget*>(leakFlowLabel_),
                       static_cast<QWidget*>(leakVacuum_), static_cast<QWidget*>(leakVacuumLabel_)})
        w->setVisible(measured);
    const bool chosen = app.Venturi.SelectedRow() >= 0;
    const TSiteEvacuation& e = app.Venturi.SiteResult();
    reachable_->SetValue(chosen ? e.ReachableVacuum : 0.0);
    siteTime_->setText(!chosen            ? QString()
                       : e.Time < 0.0     ? context_.Language.Tr("~NotReached")
                                          : Q(EvacuationTimeText(e.Time)));
}

void TVenturiPage::ShowSwitchHelp() {
    const TVenturiModel& model = context_.App.Venturi;
    const auto shown = [this](const char* column) {
        const TStrTableCoBoxModel& m = List(column)->Model();
        return m.ItemIndex() > 0 ? m.Items()[static_cast<size_t>(m.ItemIndex())] : std::string();
    };
    const TVenturiSwitchHelp h = model.SwitchHelp(shown("Switch"));
    const bool on[] = {h.U, h.I, h.PNP, h.NPN};
    for (size_t i = 0; i < switch_.size(); ++i) Highlight(switch_[i], on[i]);
    const std::string pulse = shown("~EjectorPulse");
    Highlight(pulse_[0], TVenturiModel::EjectorPulseHighlighted(pulse, "~Electrical"));
    Highlight(pulse_[1], TVenturiModel::EjectorPulseHighlighted(pulse, "~Mechanical"));
}

void TVenturiPage::ShowChosenRow() {
    const int row = context_.App.Venturi.SelectedRow();
    if (row < 0 || row >= grid_->Model().DataRows() || grid_->Row() == row + 1) return;
    showing_ = true;
    grid_->SetCurrentCell(std::max(1, grid_->Col()), row + 1);
    showing_ = false;
}

void TVenturiPage::ShowChartWindow(const std::string& caption) {
    if (!chart_) chart_ = new TFormVenturi(context_.App, window());
    chart_->ShowWithCaption(Q(caption));
}

#include "app/gallery/gallery_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "core/calc/venturi.h"
#include "core/workflow/vacuum_application.h"
#include "core/lang/language_dialog.h"
#include "gui/chart/diagramm.h"
#include "gui/fields/field_layout.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "gui/lang/language_dlg.h"
#include "gui/lang/language_form.h"
#include "gui/table/str_table_controls.h"
#include "gui/table/string_table_grid.h"

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
    app_->SetLanguage("en");
    tabs_->addTab(TablePage(), "~SuctionCup");
    tabs_->addTab(ChartPage(), "Chart");
    tabs_->addTab(FieldsPage(), "~Units");
    tabs_->addTab(LanguagePage(), "~Language");
    // The window's "~" texts follow the program's language, English at first; the grids
    // and lists translate their cells and entries themselves after every switch.
    language_ = std::make_unique<TLanguageForm>(this);
    language_->Loaded();
}

TGalleryWindow::~TGalleryWindow() {
    // The form's bindings go before the widgets they name.
    language_.reset();
}

bool TGalleryWindow::Active() const { return app_->Active(); }
std::string TGalleryWindow::LastError() const { return app_->LastError(); }

void TGalleryWindow::ShowPage(int index) {
    if (index >= 0 && index < tabs_->count()) tabs_->setCurrentIndex(index);
}

// The suction cup query: faceted filter lists (each lists only what the others leave; one
// value left is chosen and locked), two option boxes and the grid of the rows that pass.
QWidget* TGalleryWindow::TablePage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* filters = new QGridLayout;
    layout->addLayout(filters);
    struct TList {
        const char* Caption;
        const char* Field;
        bool Numeric;
    };
    const TList lists[] = {{"~Series", "Group", false},          {"Size", "Size", false},
                           {"~Shape", "~ShapeKey", false},        {"~Material", "~MaterialKey", false},
                           {"~Diameter", "DiameterLong", true},   {"Connector", "Connector", false},
                           {"Holder", "HolderType", false},       {"Stroke", "StrokeCompensation", false}};
    int i = 0;
    for (const TList& l : lists) {
        auto* box = new TStrTableCoBox(page);
        box->SetTranslate(app_->Translator());
        TStrTableCoBoxModel& m = box->Model();
        m.SetUnselected("~NoPreference");
        m.SetSort(cSortASCII);
        m.SetNoChoiseDisabled(true);
        if (l.Numeric) {
            m.SetFieldTyp(cTTNum);
            m.SetDataUnit(cUM_mm);
            m.SetScaleUnit(cUM_mm);
        }
        box->SetFieldName(l.Field);
        box->SetTable(&app_->SuctionCupQuery);
        filters->addWidget(new QLabel(l.Caption, page), (i / 4) * 2, i % 4);
        filters->addWidget(box, (i / 4) * 2 + 1, i % 4);
        ++i;
    }
    auto* options = new QHBoxLayout;
    for (const char* field : {"~Filter", "~AngleCompensator"}) {
        auto* check = new TStrTableCheckBox(field, page);
        check->Model().SetSelectMode(csmOption);
        check->SetFieldName(field);
        check->SetTable(&app_->SuctionCupQuery);
        options->addWidget(check);
    }
    records_ = new QLabel(page);
    options->addStretch(1);
    options->addWidget(records_);
    layout->addLayout(options);

    auto* grid = new TStringTableGrid(page);
    grid->Model().Translate = app_->Translator();
    grid->SetColNames("OrderCode|Group|Size|~ShapeKey|~MaterialKey|DiameterLong|Fs07|Mass_kg|Thread");
    grid->SetTitles({"~OrderCode", "~Series", "Size", "~Shape", "~Material", "~Diameter", "Fs07 [N]", "~Mass", "Thread"});
    grid->SetRowSelect(true);
    grid->SetAutoColSize(true);
    grid->SetTable(&app_->SuctionCupQuery);
    layout->addWidget(grid, 1);
    auto count = [this](TStringTableGrid& sender, int, int) {
        records_->setText(QString("%1 / %2").arg(sender.Model().DataRows()).arg(app_->SuctionCups.Rows()));
    };
    grid->OnSelectCell = count;
    count(*grid, 0, 0);
    return page;
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

// Value fields of several quantities: typed values, spin buttons with their increment menu
// (right click), the unit button (click: next unit, right click: the unit menu), a panel
// computed from two fields, and the application-wide SI/US switch.
QWidget* TGalleryWindow::FieldsPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    mass_ = new TFMU2SpinEdit(page);
    mass_->SetNormUnit(cNU_mass);
    mass_->SetValueMin(0.0);
    mass_->SetValueMax(1000.0);
    mass_->SetValue(2.5);
    form->addRow(FieldLabel("~Mass", mass_), mass_);

    acceleration_ = new TFMU2SpinEdit(page);
    acceleration_->SetNormUnit(cNU_acceleration);
    acceleration_->SetValueMin(0.0);
    acceleration_->SetValueMax(100.0);
    acceleration_->SetValue(9.80665);
    form->addRow(FieldLabel("Acceleration", acceleration_), acceleration_);

    auto* length = new TFMU2SpinEdit(page);
    length->SetNormUnit(cNU_length);
    length->SetPreferredSIUnit(cUM_mm);
    length->SetValueMin(0.0);
    length->SetValueMax(5.0);
    length->SetValue(0.4);
    form->addRow(FieldLabel("~Length(X)", length), length);

    auto* pressure = new TFMU2SpinEdit(page);
    pressure->SetNormUnit(cNU_pressure);
    pressure->SetPreferredSIUnit(cUM_bar);
    pressure->SetValueMin(300000.0);
    pressure->SetValueMax(700000.0);
    pressure->SetValue(600000.0);
    form->addRow(FieldLabel("Operating pressure (3 to 7 bar)", pressure), pressure);

    auto* angle = new TFMU2SpinEdit(page);
    angle->SetNormUnit(cNU_angle);
    angle->SetValue(1.5707963267948966);
    form->addRow(FieldLabel("Angle", angle), angle);

    force_ = new TFMU2Panel(page);
    force_->SetNormUnit(CNU_force);
    form->addRow(FieldLabel("Weight force = mass x acceleration", force_), force_);
    auto update = [this](TFMU2Custom*) { force_->SetValue(mass_->Value() * acceleration_->Value()); };
    mass_->OnChange = update;
    acceleration_->OnChange = update;
    update(nullptr);

    // Every field follows the application-wide unit system, and its menus the application's
    // language.
    for (TFMU2Custom* field : page->findChildren<TFMU2Custom*>()) {
        field->SetAutoUnitChange(true);
        field->SetTranslate(app_->Translator());
    }
    auto* us = new QCheckBox("US units in every field", page);
    form->addRow(us);
    connect(us, &QCheckBox::toggled, this, [this](bool checked) { SetSIUnitsAll(this, !checked); });
    // One unit button width for the page, so that the edits end at one line.
    AlignUnitButtons(page);
    return page;
}

// The language dialog over the language container's list; OK switches the gallery (and the
// texts of the catalogue) to the chosen language.
QWidget* TGalleryWindow::LanguagePage() {
    languageDialog_ = std::make_unique<TLanguageDialog32Bit>();
    languageDialog_->SetConnection(&app_->LanguageConnection);
    languageDialog_->SetTable("Dialog");
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* radio = new QCheckBox("Radio buttons instead of a list", page);
    layout->addWidget(radio);
    connect(radio, &QCheckBox::toggled, this,
            [this](bool on) { languageDialog_->Style = on ? cldsRadioGroup : cldsComboBox; });
    auto* choose = new QPushButton("~Language", page);
    layout->addWidget(choose);
    languageCode_ = new QLabel(page);
    layout->addWidget(languageCode_);
    layout->addStretch(1);
    connect(choose, &QPushButton::clicked, this, &TGalleryWindow::ChooseLanguage);
    return page;
}

void TGalleryWindow::ChooseLanguage() {
    languageDialog_->SetCode(language_->LanguageDB().Language());
    if (!ExecuteLanguageDialog(*languageDialog_, this)) return;
    language_->LanguageDB().SetLanguage(languageDialog_->Code());
    languageCode_->setText(QString::fromStdString(languageDialog_->Code()));
}

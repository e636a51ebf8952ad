#include "app/pages/tube/tube_page.h"

#include "gui/fields/field_layout.h"
#include "core/workflow/model_text.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/product_filters.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "gui/table/str_table_controls.h"
#include "gui/table/string_table_grid.h"

#include <algorithm>

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr double kTubeLengthMax = 100.0; // m, as the fields of a project are judged

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

struct TListEntry {
    const char* Column;
    const char* Caption;
    bool Numeric;
};
constexpr TListEntry kLists[] = {{"Group", "~Series", false},
                                {"~Color", "~Color", false},
                                {"~Food", "~SuitableForFood", false},
                                {"Diameter", "~InsideDiameter", true}};

} // namespace

TTubePage::TTubePage(TPageContext& context) : context_(context) {
    setObjectName("PageTube");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BuildFilters());
    layout->addWidget(BuildData());
    records_ = new QLabel(this);
    records_->setObjectName("LabelTubeCount");
    layout->addWidget(records_);
    BuildGrid();
    layout->addWidget(grid_, 1);

    restored_ = context_.App.FiltersRestored.Connect([this](int page) {
        if (page == cmpTube) ShowStoredFilters();
    });
    Refresh(TAspects::All());
    // The unit buttons of the page's fields end at one line.
    AlignUnitButtons(this);
}

TTubePage::~TTubePage() = default;

QWidget* TTubePage::BuildFilters() {
    auto* box = new QWidget(this);
    box->setObjectName("TubeFilters");
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    TVacuumApplication& app = context_.App;
    int place = 0;
    for (const TListEntry& entry : kLists) {
        const std::string column = entry.Column;
        auto* list = new TStrTableCoBox(box);
        list->setObjectName(QString("CoBoxTube%1").arg(place));
        list->SetTranslate(app.Translator());
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(8);
        TStrTableCoBoxModel& m = list->Model();
        m.SetUnselected("~NoPreference");
        m.SetSort(cSortASCII);
        m.SetNoChoiseDisabled(true);
        if (entry.Numeric) {
            m.SetFieldTyp(cTTNum);
            m.SetDataUnit(cUM_m);
            m.SetScaleUnit(cUM_mm);
        }
        list->SetFieldName(column);
        list->SetTable(&app.TubeQuery);
        m.OnChange = [this, column](TStrTableCoBoxModel& model) {
            const bool chosen = model.ItemIndex() > 0 && !model.AutoSelected();
            FilterChosen(column, chosen ? model.Items()[static_cast<size_t>(model.ItemIndex())]
                                        : std::string());
        };
        auto* label = new QLabel(entry.Caption, box);
        label->setBuddy(list);
        grid->addWidget(label, place / 3, (place % 3) * 2);
        grid->addWidget(list, place / 3, (place % 3) * 2 + 1);
        filters_.push_back({column, list, nullptr});
        ++place;
    }
    // The two calibration boxes share one label.
    auto* calibration = new QLabel("~Calibration", box);
    grid->addWidget(calibration, place / 3, (place % 3) * 2);
    auto* options = new QHBoxLayout;
    struct TOptionEntry {
        const char* Column;
        const char* Caption;
    };
    for (const TOptionEntry& entry :
         {TOptionEntry{"CalInside", "~Inside"}, TOptionEntry{"CalOutside", "~Outside"}}) {
        const std::string column = entry.Column;
        auto* option = new TStrTableCheckBox(entry.Caption, box);
        option->setObjectName(QString("CheckBoxTube%1").arg(options->count()));
        option->Model().SetSelectMode(csmOption);
        option->SetFieldName(column);
        option->SetTable(&app.TubeQuery);
        option->Model().OnClick = [this, column](TStrTableCheckBoxModel& model) {
            FilterChosen(column, model.Checked() ? "X" : "");
        };
        options->addWidget(option);
        filters_.push_back({column, nullptr, option});
    }
    options->addStretch(1);
    grid->addLayout(options, place / 3, (place % 3) * 2 + 1, 1, 5 - (place % 3) * 2);
    for (int col = 1; col < 6; col += 2) grid->setColumnStretch(col, 1);
    return box;
}

QWidget* TTubePage::BuildData() {
    auto* box = new QGroupBox("~Tube", this);
    box->setObjectName("GroupBoxSchlauch");
    auto* grid = new QGridLayout(box);
    TVacuumApplication& app = context_.App;
    const TTranslateFunc tr = app.Translator();
    auto panel = [&](const char* name, TNormUnit quantity, TNUMessurement si, TNUMessurement us) {
        auto* p = new TFMU2Panel(box);
        p->setObjectName(name);
        p->SetNormUnit(quantity);
        p->SetPreferredSIUnit(si);
        p->SetPreferredUSUnit(us);
        p->SetAutoUnitChange(true);
        p->SetTranslate(tr);
        return p;
    };
    auto length = [&](std::string_view name) {
        auto* f = new TFMU2SpinEdit(box);
        f->setObjectName(Q(name));
        f->SetNormUnit(cNU_length);
        f->SetPreferredSIUnit(cUM_mm);
        f->SetPreferredUSUnit(cUM_in);
        f->SetAutoUnitChange(true);
        f->SetTranslate(tr);
        f->SetValueMin(0.0);
        f->SetValueMax(kTubeLengthMax);
        f->SetIncrement(10);
        return f;
    };
    selected_ = new QLabel(box);
    selected_->setObjectName("LabelSelectedTube");
    selected_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    diameter_ = panel("PanelSchlauchDurchmesser", cNU_length, cUM_mm, cUM_in);
    tubeVolume_ = panel("PanelSchlauchVolumen", cNU_volume, cUM_cm3, cUM_in3);
    evacuated_ = panel("PanelVakuumVolumen", cNU_volume, cUM_cm3, cUM_in3);
    // Made in the order Tab visits them: each way to give the length before its field.
    perCup_ = new QRadioButton("~TubeLenghtPerSuctionCup", box);
    perCup_->setObjectName("RadioButtonSchlauchEinzeln");
    singleLength_ = length(cpcSingleTubeLength);
    total_ = new QRadioButton("~TotalTubeLength", box);
    total_->setObjectName("RadioButtonSchlauchGesamt");
    totalLength_ = length(cpcTotalTubeLength);
    auto* mode = new QButtonGroup(box);
    mode->addButton(perCup_);
    mode->addButton(total_);

    grid->addWidget(new QLabel("~OrderCode", box), 0, 0);
    grid->addWidget(selected_, 0, 1);
    grid->addWidget(perCup_, 1, 0);
    grid->addWidget(singleLength_, 1, 1);
    grid->addWidget(total_, 2, 0);
    grid->addWidget(totalLength_, 2, 1);
    struct TRow {
        const char* Caption;
        QWidget* Value;
    };
    int row = 0;
    for (const TRow& r : {TRow{"~InsideDiameter", diameter_}, TRow{"~TubeVolume", tubeVolume_},
                          TRow{"~EvacuatedVolume", evacuated_}}) {
        auto* label = new QLabel(r.Caption, box);
        label->setBuddy(r.Value);
        grid->addWidget(label, row, 2);
        grid->addWidget(r.Value, row, 3);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    // Only what the user does is input: the program's own SetValue is not.
    connect(perCup_, &QRadioButton::clicked, this, [this] { LengthModeChosen(false); });
    connect(total_, &QRadioButton::clicked, this, [this] { LengthModeChosen(true); });
    singleLength_->OnChange = [this](TFMU2Custom*) { LengthEntered(); };
    totalLength_->OnChange = [this](TFMU2Custom*) { LengthEntered(); };
    return box;
}

void TTubePage::BuildGrid() {
    TVacuumApplication& app = context_.App;
    grid_ = new TStringTableGrid(this);
    grid_->setObjectName(Q(cpcTubeGrid));
    grid_->Model().Translate = app.Translator();
    grid_->SetColNames("~ok|OrderCode|Group|Diameter|~Color|~Calibration|~Food");
    grid_->SetTitles({"~FittingToSuctionCup", "~OrderCode", "~Series", "~InsideDiameter", "~Color",
                      "~Calibration", "~SuitableForFood"});
    TStrTableGridColumn& diameter = grid_->Model().GridColumn(3);
    diameter.DataUnit = cUM_m;
    diameter.ScaleUnit = cUM_mm;
    diameter.ShowUnit = true;
    grid_->SetTickColumns({"~ok"});
    grid_->SetRowSelect(true);
    // Titles in bold for the selected row's columns would no longer fit their columns.
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->SetTable(&app.TubeQuery);
    grid_->OnSelectCell = [this](TStringTableGrid&, int, int aRow) { RowChosen(aRow); };
    // The columns are sized to the texts of all rows once, and again after a language
    // change; a filter choice keeps them, so that they stay put and a choice over a large
    // table does not measure every cell.
    grid_->SizeColumns();
}

TStrTableCoBox* TTubePage::List(const std::string& column) const {
    for (const TFilterControl& f : filters_)
        if (f.Column == column) return f.List;
    return nullptr;
}

TStrTableCheckBox* TTubePage::Option(const std::string& column) const {
    for (const TFilterControl& f : filters_)
        if (f.Column == column) return f.Option;
    return nullptr;
}

void TTubePage::FilterChosen(const std::string& column, const std::string& value) {
    if (showing_) return;
    TVacuumApplication& app = context_.App;
    // The list filters the query right after this; the query's change then reaches the
    // tube model through the application.
    app.Input([&] {
        if (app.Tube.Inert()) return;
        if (StoreTubeFilter(app.Document.Tube, column, value)) app.Mark(caTube | caDocument);
    });
}

void TTubePage::RowChosen(int aRow) {
    TVacuumApplication& app = context_.App;
    // The grid re-reads its current row after every refresh; while another page is shown
    // that chooses nothing (entering this page chooses the stored tube).
    if (showing_ || aRow < 1 || app.Workflow.CurrentPage() != cmpTube) return;
    if (aRow - 1 == app.Tube.SelectedRow() &&
        CellText(app.TubeQuery, aRow - 1, "OrderCode") == app.Tube.LabelSelectedTube())
        return;
    app.Input([&] { app.Tube.TubeSelect(aRow - 1); });
}

void TTubePage::LengthModeChosen(bool total) {
    if (showing_) return;
    TVacuumApplication& app = context_.App;
    app.Input([&] {
        if (app.Tube.Inert()) return;
        app.Tube.TubeLenClick(total);
        app.Mark(caTube);
    });
}

void TTubePage::LengthEntered() {
    if (showing_) return;
    TVacuumApplication& app = context_.App;
    app.Input([&] {
        if (app.Tube.Inert()) return;
        app.Tube.VakuumVolumenChange(singleLength_->Value(), totalLength_->Value(), true);
    });
}

void TTubePage::ShowStoredFilters() {
    const std::span<const TProductFilter> filters = TubeFilters();
    const TMyProject::TTube& stored = context_.App.Document.Tube;
    showing_ = true;
    for (size_t i = 0; i < filters.size(); ++i) {
        TStrTableCoBox* list = List(std::string(filters[i].Column));
        if (!list) continue;
        const std::string want = FilterValueText(filters[i], TubeFilterValue(stored, i));
        const TStrTableCoBoxModel& m = list->Model();
        const std::string shown = m.ItemIndex() > 0 && !m.AutoSelected()
                                      ? m.Items()[static_cast<size_t>(m.ItemIndex())]
                                      : std::string();
        if (shown == want) continue;
        if (want.empty())
            list->Model().Select(0);
        else
            list->SelectByText(want);
    }
    showing_ = false;
}

void TTubePage::Retranslate() {
    // The model keeps its record label as the language made it.
    TVacuumApplication& app = context_.App;
    app.Input([&] { app.Tube.RefreshLabel(); });
    grid_->SizeColumns();
    ShowResults();
}

void TTubePage::Enter() {
    ShowChosenRow();
}

void TTubePage::Refresh(TAspects aspects) {
    if (aspects.Intersects({caTube, caSuctionCup, caArrangement, caVacuumGenerator, caLanguage,
                            caDocument, caNavigator}))
        ShowResults();
    if (aspects.Intersects({caTube, caNavigator})) ShowChosenRow();
}

void TTubePage::ShowResults() {
    TVacuumApplication& app = context_.App;
    const TTubeModel& tube = app.Tube;
    showing_ = true;
    records_->setText(QString::fromStdString(tube.LabelTubeCount()));
    selected_->setText(QString::fromStdString(tube.LabelSelectedTube()));
    const bool totalMode = app.Document.Tube.TotalLength;
    perCup_->setChecked(!totalMode);
    total_->setChecked(totalMode);
    singleLength_->SetReadOnly(tube.SingleLengthReadOnly());
    totalLength_->SetReadOnly(tube.TotalLengthReadOnly());
    const TTubeLengths lengths = tube.Lengths();
    singleLength_->SetValue(lengths.Single);
    totalLength_->SetValue(lengths.Total);
    diameter_->SetValue(tube.TubeDiameter());
    tubeVolume_->SetValue(app.Document.TubeVolume);
    evacuated_->SetValue(app.Document.EvacuatedVolume);
    showing_ = false;
}

void TTubePage::ShowChosenRow() {
    const int row = context_.App.Tube.SelectedRow();
    if (row < 0 || row >= grid_->Model().DataRows() || grid_->Row() == row + 1) return;
    showing_ = true;
    grid_->SetCurrentCell(std::max(1, grid_->Col()), row + 1);
    showing_ = false;
}

#include "app/pages/suction_cup/suction_cup_page.h"

#include "gui/fields/field_layout.h"
#include "core/workflow/model_text.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/product_filters.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/lang/language_form.h"
#include "gui/table/str_table_controls.h"
#include "gui/table/string_table_grid.h"

#include <algorithm>
#include <charconv>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

// Caption of each filter of the cup query, by its column.
struct TFilterCaption {
    const char* Column;
    const char* Caption;
};
// In the order the block shows them: three pairs of label and list per row.
constexpr TFilterCaption kFilterCaptions[] = {
    {"Group", "~Series"},
    {"Size", "~Size"},
    {"~ShapeKey", "~Shape"},
    {"~MaterialKey", "~Material"},
    {"Connector", "~AirConnector"},
    {"HolderType", "~SuctionCupHolder"},
    {"StrokeCompensation", "~StrokeCompensator"},
    {"~Filter", "~Filter"},
    {"~AngleCompensator", "~AngleCompensator"},
};

// The shapes the help panel pictures, with the shape names of the cup table.
constexpr const char* kShapes[] = {"~standart", "~extra deep", "~bellows 1.5", "~bellows 3.5",
                                   "~oval"};

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// Sizes in the order of their numbers: "4" < "6x20" < "10" (long side first).
void SizeIndex(const std::string& s, int& index) {
    int first = 0, second = 0;
    const char* end = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), end, first);
    if (ec != std::errc()) first = 100000;
    if (p < end && *p == 'x') std::from_chars(p + 1, end, second);
    index = first * 1000 + second;
}

// A cup in side view (the round shapes) or from above (the oval one), drawn into `r`.
void DrawCupShape(QPainter& p, const QRectF& r, std::string_view shape, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(160), 1.0));
    p.setBrush(colour);
    const double cx = r.center().x(), w = r.width(), h = r.height();
    const double top = r.top() + 0.5, bottom = r.bottom() - 0.5;
    if (shape == "~oval") {
        p.drawEllipse(QRectF(r.left() + 0.5, r.top() + h * 0.25, w - 1.0, h * 0.5));
        p.setBrush(colour.darker(140));
        p.drawEllipse(QPointF(cx, r.center().y()), w * 0.1, h * 0.1);
        p.restore();
        return;
    }
    // The holder stem, then the body below it.
    const double stemW = w * 0.16;
    const double stemB = top + h * 0.28;
    p.drawRect(QRectF(cx - stemW / 2, top, stemW, stemB - top));
    QPainterPath body;
    if (shape == "~bellows 1.5" || shape == "~bellows 3.5") {
        const int folds = shape == "~bellows 1.5" ? 2 : 4;
        const double lip = bottom - h * 0.12;
        const double step = (lip - stemB) / folds;
        body.moveTo(cx - w * 0.2, stemB);
        for (int i = 0; i < folds; ++i) {
            body.lineTo(cx - w * 0.32, stemB + step * (i + 0.5));
            body.lineTo(cx - w * 0.2, stemB + step * (i + 1));
        }
        body.lineTo(cx - w * 0.46, bottom);
        body.lineTo(cx + w * 0.46, bottom);
        body.lineTo(cx + w * 0.2, lip);
        for (int i = folds - 1; i >= 0; --i) {
            body.lineTo(cx + w * 0.32, stemB + step * (i + 0.5));
            body.lineTo(cx + w * 0.2, stemB + step * i);
        }
        body.closeSubpath();
    } else if (shape == "~extra deep") {
        body.moveTo(cx - w * 0.14, stemB);
        body.cubicTo(cx - w * 0.2, stemB + h * 0.2, cx - w * 0.36, bottom - h * 0.2, cx - w * 0.36,
                     bottom);
        body.lineTo(cx + w * 0.36, bottom);
        body.cubicTo(cx + w * 0.36, bottom - h * 0.2, cx + w * 0.2, stemB + h * 0.2, cx + w * 0.14,
                     stemB);
        body.closeSubpath();
    } else {
        // A flat cup: a wide, shallow lip.
        body.moveTo(cx - w * 0.14, stemB);
        body.lineTo(cx - w * 0.48, bottom);
        body.lineTo(cx + w * 0.48, bottom);
        body.lineTo(cx + w * 0.14, stemB);
        body.closeSubpath();
    }
    p.drawPath(body);
    p.restore();
}

// The picture of one shape in the help panel.
class TShapePicture : public QWidget {
public:
    TShapePicture(std::string shape, QWidget* parent) : QWidget(parent), shape_(std::move(shape)) {
        setFixedSize(34, 30);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        DrawCupShape(p, QRectF(rect()).adjusted(3, 2, -3, -2), shape_, QColor(90, 110, 140));
    }

private:
    std::string shape_;
};

TFMU2Panel* MakePanel(QWidget* parent, const char* name, TNormUnit quantity, TNUMessurement si,
                      TNUMessurement us, TTranslateFunc translate) {
    auto* panel = new TFMU2Panel(parent);
    panel->setObjectName(name);
    panel->SetNormUnit(quantity);
    panel->SetPreferredSIUnit(si);
    panel->SetPreferredUSUnit(us);
    panel->SetAutoUnitChange(true);
    panel->SetTranslate(std::move(translate));
    return panel;
}

} // namespace

TSuctionCupPage::TSuctionCupPage(TPageContext& context) : context_(context) {
    setObjectName("PageSuctionCup");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BuildFilters());
    layout->addWidget(BuildData());
    layout->addWidget(BuildHelp());
    records_ = new QLabel(this);
    records_->setObjectName("LabelSaugerCount");
    layout->addWidget(records_);
    BuildGrid();
    layout->addWidget(grid_, 1);

    // A project brings its filter choices: the lists show them.
    restored_ = context_.App.FiltersRestored.Connect([this](int page) {
        if (page == cmpSuctionCup) ShowStoredFilters();
    });
    Refresh(TAspects::All());
    // The unit buttons of the page's fields end at one line.
    AlignUnitButtons(this);
}

TSuctionCupPage::~TSuctionCupPage() = default;

QWidget* TSuctionCupPage::BuildFilters() {
    auto* box = new QWidget(this);
    box->setObjectName("SuctionCupFilters");
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    TVacuumApplication& app = context_.App;
    const std::span<const TProductFilter> filters = SuctionCupFilters();
    int place = 0;
    auto* options = new QHBoxLayout;
    for (const TFilterCaption& c : kFilterCaptions) {
        const auto f = std::find_if(filters.begin(), filters.end(),
                                    [&](const TProductFilter& x) { return x.Column == c.Column; });
        if (f == filters.end()) continue;
        TFilterControl control{c.Column};
        const std::string column = c.Column;
        if (f->Kind == cpfChoice) {
            auto* list = new TStrTableCoBox(box);
            list->setObjectName(QString("CoBoxSauger%1").arg(place));
            list->SetTranslate(app.Translator());
            list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            list->setMinimumContentsLength(8);
            TStrTableCoBoxModel& m = list->Model();
            m.SetUnselected("~NoPreference");
            m.SetNoChoiseDisabled(true);
            if (column == "Size") {
                m.OnCustomIndex = SizeIndex;
                m.SetSort(cSortCustom);
            } else {
                m.SetSort(cSortASCII);
            }
            list->SetFieldName(column);
            list->SetTable(&app.SuctionCupQuery);
            m.OnChange = [this, column](TStrTableCoBoxModel& model) {
                const bool chosen = model.ItemIndex() > 0 && !model.AutoSelected();
                FilterChosen(column, chosen ? model.Items()[static_cast<size_t>(model.ItemIndex())]
                                            : std::string());
            };
            auto* label = new QLabel(c.Caption, box);
            label->setBuddy(list);
            grid->addWidget(label, place / 3, (place % 3) * 2);
            grid->addWidget(list, place / 3, (place % 3) * 2 + 1);
            control.List = list;
            ++place;
        } else {
            auto* option = new TStrTableCheckBox(c.Caption, box);
            option->setObjectName(QString("CheckBoxSauger%1").arg(options->count()));
            option->Model().SetSelectMode(csmOption);
            option->SetFieldName(column);
            option->SetTable(&app.SuctionCupQuery);
            const std::string yes(f->Yes);
            option->Model().OnClick = [this, column, yes](TStrTableCheckBoxModel& model) {
                FilterChosen(column, model.Checked() ? yes : std::string());
            };
            options->addWidget(option);
            control.Option = option;
        }
        filters_.push_back(control);
    }
    options->addStretch(1);
    // The options take the rest of the last row.
    grid->addLayout(options, place / 3, (place % 3) * 2, 1, 6 - (place % 3) * 2);
    for (int col = 1; col < 6; col += 2) grid->setColumnStretch(col, 1);
    return box;
}

QWidget* TSuctionCupPage::BuildData() {
    auto* box = new QGroupBox("~SuctionCup", this);
    box->setObjectName("GroupBoxSauger");
    auto* grid = new QGridLayout(box);
    const TTranslateFunc tr = context_.App.Translator();
    selected_ = new QLabel(box);
    selected_->setObjectName("LabelSelectedSuctionCup");
    selected_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    thread_ = new QLabel(box);
    thread_->setObjectName("LabelSaugerGewinde");
    dmax_ = MakePanel(box, "PanelSaugerDmax", cNU_length, cUM_mm, cUM_in, tr);
    diameter_ = MakePanel(box, "PanelSaugerDurchmesser", cNU_length, cUM_mm, cUM_in, tr);
    force_ = MakePanel(box, "PanelSaugerKraft", CNU_force, cUM_N, cUM_lbf, tr);
    volume_ = MakePanel(box, "PanelSaugerVolumen", cNU_volume, cUM_cm3, cUM_in3, tr);
    totalVolume_ = MakePanel(box, "PanelSaugerVolumenGesamt", cNU_volume, cUM_cm3, cUM_in3, tr);
    mass_ = MakePanel(box, "PanelSaugerMasse", cNU_mass, cUM_g, cUM_oz, tr);
    struct TRow {
        const char* Caption;
        QWidget* Value;
    };
    const TRow rows[] = {{"~OrderCode", selected_}, {"~Thread", thread_},
                         {"~Diameter", diameter_},  {"~DmaxSuctionCup", dmax_},
                         {"~HoldingForce", force_}, {"~Mass", mass_},
                         {"~Volume", volume_},      {"~SuctionCupsVolume", totalVolume_}};
    int i = 0;
    for (const TRow& r : rows) {
        auto* label = new QLabel(r.Caption, box);
        label->setBuddy(r.Value);
        grid->addWidget(label, i / 2, (i % 2) * 2);
        grid->addWidget(r.Value, i / 2, (i % 2) * 2 + 1);
        ++i;
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return box;
}

QWidget* TSuctionCupPage::BuildHelp() {
    auto* box = new QGroupBox("~Help", this);
    box->setObjectName("GroupBoxSaugerHilfe");
    auto* shapes = new QHBoxLayout(box);
    shapes->setSpacing(4);
    for (const char* shape : kShapes) {
        auto* tile = new QWidget(box);
        tile->setObjectName(QString("HelpLabel%1").arg(help_.size()));
        auto* row = new QHBoxLayout(tile);
        row->setContentsMargins(4, 1, 6, 1);
        row->setSpacing(4);
        row->addWidget(new TShapePicture(shape, tile));
        auto* name = new QLabel(shape, tile);
        name->setWordWrap(true);
        row->addWidget(name, 1);
        help_.push_back({shape, tile});
        shapes->addWidget(tile, 1);
    }
    return box;
}

void TSuctionCupPage::BuildGrid() {
    TVacuumApplication& app = context_.App;
    grid_ = new TStringTableGrid(this);
    grid_->setObjectName(Q(cpcSuctionCupGrid));
    grid_->Model().Translate = app.Translator();
    // The shape column twice: once as its picture, once as its name.
    grid_->SetColNames(
        "~ok|~ShapeKey|OrderCode|Group|Size|~ShapeKey|~MaterialKey|DiameterLong|Fs07|Volume|"
        "Mass_kg|Connector|HolderType|StrokeCompensation|Thread");
    grid_->SetTitles({"~SuitableForWorkpiece", "", "~OrderCode", "~Series", "~Size", "~Shape",
                      "~Material", "~Diameter", "~HoldingForce", "~Volume", "~Mass",
                      "~AirConnector", "~SuctionCupHolder", "~StrokeCompensator", "~Thread"});
    auto units = [this](int dataCol, TNUMessurement from, TNUMessurement scale) {
        TStrTableGridColumn& c = grid_->Model().GridColumn(dataCol);
        c.DataUnit = from;
        c.ScaleUnit = scale;
        c.ShowUnit = true;
    };
    units(7, cUM_mm, cUM_mm);
    units(8, cUM_N, cUM_N);
    units(9, cUM_mm3, cUM_cm3);
    units(10, cUM_kg, cUM_g);
    grid_->SetTickColumns({"~ok"});
    grid_->SetRowSelect(true);
    // Titles in bold for the selected row's columns would no longer fit their columns.
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->OnGetColWidth = [](TStringTableGrid&, int aCol, int& width, bool& userDefined) {
        if (aCol != cPictureCol) return;
        width = 34;
        userDefined = true;
    };
    grid_->OnDrawCell = [this](TStringTableGrid&, int aCol, int aRow, const QRect& rect,
                               QPainter& painter) {
        if (aCol == cPictureCol && aRow > 0) DrawPicture(aRow, rect, painter);
    };
    grid_->SetTable(&app.SuctionCupQuery);
    grid_->OnSelectCell = [this](TStringTableGrid&, int, int aRow) { RowChosen(aRow); };
    // The columns are sized to the texts of all rows once, and again after a language
    // change; a filter choice keeps them, so that they stay put and a choice over a large
    // table does not measure every cell.
    grid_->SizeColumns();
}

void TSuctionCupPage::DrawPicture(int aRow, const QRect& rect, QPainter& painter) {
    const TCustomTable& query = context_.App.SuctionCupQuery;
    if (aRow - 1 >= query.Rows()) return;
    const bool selected =
        grid_->selectionModel() && grid_->selectionModel()->isRowSelected(aRow - 1, {});
    // Over the shape name the grid wrote: the picture instead.
    painter.fillRect(rect, palette().color(selected ? QPalette::Highlight : QPalette::Base));
    const int side = std::min(rect.width(), rect.height()) - 2;
    const QRectF square(rect.center().x() - side / 2.0, rect.center().y() - side / 2.0, side, side);
    DrawCupShape(painter, square, CellText(query, aRow - 1, "~ShapeKey"),
                 selected ? palette().color(QPalette::HighlightedText) : QColor(90, 110, 140));
}

TStrTableCoBox* TSuctionCupPage::List(const std::string& column) const {
    for (const TFilterControl& f : filters_)
        if (f.Column == column) return f.List;
    return nullptr;
}

TStrTableCheckBox* TSuctionCupPage::Option(const std::string& column) const {
    for (const TFilterControl& f : filters_)
        if (f.Column == column) return f.Option;
    return nullptr;
}

QWidget* TSuctionCupPage::HelpLabel(const std::string& value) const {
    for (const THelpLabel& h : help_)
        if (h.Value == value) return h.Widget;
    return nullptr;
}

bool TSuctionCupPage::HelpHighlighted(const std::string& value) const {
    for (const THelpLabel& h : help_)
        if (h.Value == value) return h.Highlighted;
    return false;
}

void TSuctionCupPage::FilterChosen(const std::string& column, const std::string& value) {
    if (showing_) return;
    TVacuumApplication& app = context_.App;
    // The list sets its filter on the query right after this; the query's change notice
    // follows on its own.
    app.Input([&] {
        if (app.Cups.Inert()) return;
        StoreSuctionCupFilter(app.Document.SuctionCupSelection, column, value);
        app.Cups.SaugerSelectionChange();
        app.Mark(caSuctionCup | caDocument);
    });
}

void TSuctionCupPage::RowChosen(int aRow) {
    TVacuumApplication& app = context_.App;
    // The grid also re-reads its current row after every refresh; a refresh while another
    // page is shown chooses nothing (entering this page chooses the stored cup).
    if (showing_ || aRow < 1 || app.Workflow.CurrentPage() != cmpSuctionCup) return;
    if (aRow - 1 == app.Cups.SelectedRow() &&
        CellText(app.SuctionCupQuery, aRow - 1, "OrderCode") == app.Cups.LabelSelectedSuctionCup())
        return;
    app.Input([&] {
        if (app.Cups.Inert()) return;
        app.Cups.SaugerSelect(aRow - 1);
        app.Workflow.ProductRowChosen();
        app.Mark(caNavigator);
    });
}

void TSuctionCupPage::ShowStoredFilters() {
    const std::span<const TProductFilter> filters = SuctionCupFilters();
    const TMyProject::TSuctionCupSelection& stored = context_.App.Document.SuctionCupSelection;
    showing_ = true;
    for (size_t i = 0; i < filters.size(); ++i) {
        const std::string want = FilterValueText(filters[i], SuctionCupFilterValue(stored, i));
        const std::string column(filters[i].Column);
        if (TStrTableCoBox* list = List(column)) {
            const TStrTableCoBoxModel& m = list->Model();
            const std::string shown = m.ItemIndex() > 0 && !m.AutoSelected()
                                          ? m.Items()[static_cast<size_t>(m.ItemIndex())]
                                          : std::string();
            if (shown == want) continue;
            if (want.empty())
                list->Model().Select(0);
            else
                list->SelectByText(want);
        } else if (TStrTableCheckBox* option = Option(column)) {
            if (option->Model().Checked() != !want.empty()) option->Model().Click(!want.empty());
        }
    }
    showing_ = false;
}

void TSuctionCupPage::Retranslate() {
    grid_->SizeColumns();
    ShowCounts();
    ShowChosenCup();
}

void TSuctionCupPage::Enter() {
    ShowChosenRow();
}

void TSuctionCupPage::Refresh(TAspects aspects) {
    if (aspects.Intersects(
            {caSuctionCup, caArrangement, caWorkpiece, caLanguage, caDocument, caNavigator})) {
        ShowCounts();
        ShowChosenCup();
        ShowHelpHighlights();
    }
    if (aspects.Intersects({caSuctionCup, caNavigator})) ShowChosenRow();
}

void TSuctionCupPage::ShowCounts() {
    records_->setText(QString::fromStdString(context_.App.Cups.LabelSaugerCount()));
}

void TSuctionCupPage::ShowChosenCup() {
    const TSuctionCupModel& cups = context_.App.Cups;
    const TSaugerType& type = cups.Cups().CupType;
    const bool chosen = !cups.LabelSelectedSuctionCup().empty();
    selected_->setText(QString::fromStdString(cups.LabelSelectedSuctionCup()));
    thread_->setText(chosen ? QString::fromStdString(cups.SelectedThread()) : QString());
    dmax_->SetValue(cups.MaxCupDiameter());
    for (TFMU2Panel* p : {diameter_, force_, volume_, totalVolume_, mass_}) p->setEnabled(chosen);
    diameter_->SetValue(2.0 * type.RadiusLong);
    force_->SetValue(type.Fs07);
    volume_->SetValue(type.Volume);
    totalVolume_->SetValue(cups.TotalCupVolume());
    mass_->SetValue(type.Mass);
}

void TSuctionCupPage::ShowHelpHighlights() {
    const std::vector<std::string> on = context_.App.Cups.HighlightedHelpLabels();
    for (THelpLabel& h : help_) {
        const bool highlighted = std::find(on.begin(), on.end(), h.Value) != on.end();
        if (highlighted == h.Highlighted) continue;
        h.Highlighted = highlighted;
        h.Widget->setAutoFillBackground(highlighted);
        h.Widget->setBackgroundRole(highlighted ? QPalette::Highlight : QPalette::Window);
        h.Widget->setForegroundRole(highlighted ? QPalette::HighlightedText : QPalette::WindowText);
        for (QLabel* label : h.Widget->findChildren<QLabel*>())
            label->setForegroundRole(h.Widget->foregroundRole());
        QFont font = h.Widget->font();
        font.setBold(highlighted);
        h.Widget->setFont(font);
    }
}

void TSuctionCupPage::ShowChosenRow() {
    const int row = context_.App.Cups.SelectedRow();
    if (row < 0 || row >= grid_->Model().DataRows() || grid_->Row() == row + 1) return;
    showing_ = true;
    grid_->SetCurrentCell(std::max(1, grid_->Col()), row + 1);
    showing_ = false;
}

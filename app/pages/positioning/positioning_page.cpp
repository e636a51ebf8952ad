#include "app/pages/positioning/positioning_page.h"

#include "app/views/cup_views.h"
#include "core/calc/cup_layout.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/field_layout.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "gui/lang/language_form.h"


#include <algorithm>
#include <vector>

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Edge distance and spacing, m; the grid's lengths and angles.
constexpr double kDistanceMax = 1.0;
constexpr double kGridMin = 0.001;
constexpr double kGridMax = 1.0;
// The inputs' column leaves the rest of the page to the views.
constexpr int kColumnWidth = 340;

// The strategies in the order of their codes.
constexpr const char* kStrategies[] = {
    "~ManualPositioning",     "~OneInCentre",  "~AtBothEnds", "~RectangularCorners",
    "~RectangularArea",       "~CircularCircumference", "~CircularArea", "~LinearX",
    "~LinearY"};

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QFormLayout* Form(QWidget* box) {
    auto* form = new QFormLayout(box);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return form;
}

// One swatch of the colour legend.
QWidget* Swatch(const QColor& colour, const char* key, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* box = new QLabel(row);
    box->setFixedSize(14, 14);
    box->setStyleSheet(QString("background-color: %1; border: 1px solid black;").arg(colour.name()));
    auto* text = new QLabel(key, row);
    layout->addWidget(box);
    layout->addWidget(text, 1);
    return row;
}

} // namespace

TPositioningPage::TPositioningPage(TPageContext& context) : context_(context) {
    setObjectName("PagePositioning");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BuildInputs());
    views_ = new TCupViews(context_.App, this);
    views_->setObjectName("CupViews");
    layout->addWidget(views_, 1);
    Refresh(TAspects::All());
    AlignUnitButtons(this);
}

TPositioningPage::~TPositioningPage() = default;

TFMU2SpinEdit* TPositioningPage::Field(const char* name, TNormUnit quantity, TNUMessurement si,
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

QWidget* TPositioningPage::BuildInputs() {
    auto* column = new QWidget(this);
    column->setObjectName("PositioningInputs");
    // A fixed width: a warning that appears must not shift the views under the mouse.
    column->setFixedWidth(kColumnWidth);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    // The strategy and what it counts.
    auto* arrangement = new QGroupBox("~Arrangement", column);
    arrangement->setObjectName("GroupBoxStrategie");
    strategyForm_ = Form(arrangement);
    strategy_ = new QComboBox(arrangement);
    strategy_->setObjectName("CoBoxStrategie");
    for (const char* key : kStrategies) strategy_->addItem(key);
    // The longest strategy name must not widen the column at the cost of the views.
    strategy_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    strategy_->setMinimumContentsLength(14);
    strategyForm_->addRow(strategy_);
    auto count = [&](std::string_view name) {
        TFMU2SpinEdit* f = Field(name.data(), cNU_pieces, cUM_Stk, cUM_Stk);
        f->SetValueMin(cSaugerCountMin);
        f->SetValueMax(cSaugerCountMax);
        f->SetIncrement(1);
        return f;
    };
    count1_ = count(cpcCount1);
    count2_ = count(cpcCount2);
    angle_ = Field(cpcStrategyAngle.data(), cNU_angle, cUM_deg, cUM_deg);
    angle_->SetIncrement(5);
    strategyForm_->addRow("~Count", count1_);
    strategyForm_->addRow("~QuantityY", count2_);
    strategyForm_->addRow("~Angle", angle_);
    layout->addWidget(arrangement);

    // Every strategy but manual positioning keeps the cups off the edge and apart.
    distances_ = new QGroupBox("~Distances", column);
    distances_->setObjectName("GroupBoxAbstaende");
    distanceForm_ = Form(distances_);
    auto distance = [&](const char* name) {
        TFMU2SpinEdit* f = Field(name, cNU_length, cUM_mm, cUM_in);
        f->SetValueMin(0.0);
        f->SetValueMax(kDistanceMax);
        f->SetIncrement(1);
        return f;
    };
    edge_ = distance("SpinEditDistanceBoarder");
    spacing_ = distance("SpinEditDistanceBetween");
    distanceForm_->addRow("~DistanceFromEdge", edge_);
    distanceForm_->addRow("~DistanceBetweenCups", spacing_);
    layout->addWidget(distances_);

    // Manually placed cups lock onto a grid.
    grid_ = new QGroupBox("~Lock", column);
    grid_->setObjectName("GrpBoxRasten");
    gridForm_ = Form(grid_);
    auto* buttons = new QButtonGroup(grid_);
    constexpr const char* kGridKeys[] = {"~DoNotLockPosition", "~Cartesian", "~Polar"};
    constexpr const char* kGridNames[] = {"RadioButtonRastenKeine", "RadioButtonRastenKartesisch",
                                          "RadioButtonRastenPolar"};
    for (int type = 0; type < 3; ++type) {
        auto* b = new QRadioButton(kGridKeys[type], grid_);
        b->setObjectName(kGridNames[type]);
        buttons->addButton(b, type);
        gridForm_->addRow(b);
        gridButtons_[static_cast<size_t>(type)] = b;
        connect(b, &QRadioButton::clicked, this, [this] { GridEntered(); });
    }
    gridLength_ = Field(cpcGridLength.data(), cNU_length, cUM_mm, cUM_in);
    gridLength_->SetValueMin(kGridMin);
    gridLength_->SetValueMax(kGridMax);
    gridLength_->SetIncrement(1);
    gridAngle_ = Field(cpcGridAngle.data(), cNU_angle, cUM_deg, cUM_deg);
    gridAngle_->SetValueMin(kGridMin);
    gridAngle_->SetValueMax(kGridMax);
    gridAngle_->SetIncrement(5);
    gridForm_->addRow("~GridLength", gridLength_);
    gridForm_->addRow("~GridAngle", gridAngle_);
    layout->addWidget(grid_);

    // What the colours of the cups say.
    auto* legend = new QWidget(column);
    legend->setObjectName("PositioningLegend");
    auto* legendLayout = new QVBoxLayout(legend);
    legendLayout->setContentsMargins(4, 4, 4, 4);
    legendLayout->setSpacing(2);
    legendLayout->addWidget(Swatch(TCupViews::cOptimal, "~LoadBelow60", legend));
    legendLayout->addWidget(Swatch(TCupViews::cHigh, "~Load60To75", legend));
    legendLayout->addWidget(Swatch(TCupViews::cTooHigh, "~LoadAbove75", legend));
    legendLayout->addWidget(Swatch(TCupViews::cNegative, "~PressedOntoCup", legend));
    legendLayout->addWidget(Swatch(TCupViews::cMisplaced, "~Misplaced", legend));
    layout->addWidget(legend);

    mouseHint_ = new QLabel("~PositioningMouseHint", column);
    mouseHint_->setObjectName("LabelMouseHint");
    mouseHint_->setWordWrap(true);
    layout->addWidget(mouseHint_);
    tiltHint_ = new QLabel("~PositioningTiltHint", column);
    tiltHint_->setObjectName("LabelTiltHint");
    tiltHint_->setWordWrap(true);
    layout->addWidget(tiltHint_);

    collision_ = new QLabel("~Collision...", column);
    collision_->setObjectName("LabelCollision");
    collision_->setWordWrap(true);
    collision_->setStyleSheet("color: #c00000; font-weight: bold;");
    layout->addWidget(collision_);

    unsolvable_ = new QLabel("~EquationsNotSolvable", column);
    unsolvable_->setObjectName("PanelEquationsNotSolvable");
    unsolvable_->setWordWrap(true);
    unsolvable_->setStyleSheet(
        "color: #c00000; border: 1px solid #c00000; background: #fff0f0; padding: 4px;");
    layout->addWidget(unsolvable_);
    layout->addStretch(1);

    // Only what the user does is input: the program's own SetValue is not.
    connect(strategy_, &QComboBox::activated, this, [this] { StrategyEntered(); });
    for (TFMU2SpinEdit* f : {count1_, count2_, angle_, edge_, spacing_})
        f->OnChange = [this](TFMU2Custom*) { StrategyEntered(); };
    for (TFMU2SpinEdit* f : {gridLength_, gridAngle_})
        f->OnChange = [this](TFMU2Custom*) { GridEntered(); };
    return column;
}

QWidget* TPositioningPage::LabelOf(QWidget* field) const {
    for (QFormLayout* form : {strategyForm_, distanceForm_, gridForm_})
        if (QWidget* label = form->labelForField(field)) return label;
    return nullptr;
}

void TPositioningPage::StrategyEntered() {
    if (showing_) return;
    TVacuumApplication& app = context_.App;
    TStrategySettings s = app.Cups.StrategySettings();
    s.Strategy = strategy_->currentIndex();
    // A field the strategy does not show keeps the stored value.
    const TStrategyFields shown = TSuctionCupModel::StrategyFields(s.Strategy);
    if (!shown.Count1.empty()) s.Count1 = static_cast<int>(count1_->ValueRounded());
    if (!shown.Count2.empty()) s.Count2 = static_cast<int>(count2_->ValueRounded());
    if (!shown.Angle.empty()) s.Angle = angle_->Value();
    s.EdgeDistance = edge_->Value();
    s.Spacing = spacing_->Value();
    app.Input([&] { app.Cups.StrategieChange(s); });
}

void TPositioningPage::GridEntered() {
    if (showing_) return;
    TVacuumApplication& app = context_.App;
    TSaugerGrid grid = csgNone;
    if (gridButtons_[csgCartesian]->isChecked()) grid = csgCartesian;
    if (gridButtons_[csgPolar]->isChecked()) grid = csgPolar;
    const double length = gridLength_->Value(), angle = gridAngle_->Value();
    app.Input([&] {
        if (app.Cups.Inert()) return;
        app.Cups.GridChange(grid, length, angle);
        app.Mark(caArrangement | caDocument);
    });
}

void TPositioningPage::Retranslate() {
    // The labels take the new language's widths.
    labelledStrategy_ = -1;
    ShowModel();
}

void TPositioningPage::AlignLabels() {
    // The labels of the three forms take one width, so that their fields start at one line.
    std::vector<QWidget*> labels;
    for (QFormLayout* form : {strategyForm_, distanceForm_, gridForm_})
        for (int row = 0; row < form->rowCount(); ++row)
            if (QLayoutItem* item = form->itemAt(row, QFormLayout::LabelRole))
                if (item->widget()) labels.push_back(item->widget());
    int width = 0;
    for (QWidget* label : labels) {
        label->setMinimumWidth(0);
        if (label->isVisibleTo(this)) width = std::max(width, label->sizeHint().width());
    }
    for (QWidget* label : labels) label->setMinimumWidth(width);
}

void TPositioningPage::Refresh(TAspects aspects) {
    if (aspects.Intersects({caWorkpiece, caArrangement, caSuctionCup, caCupLoads, caDocument,
                            caLanguage, caNavigator}))
        ShowModel();
}

void TPositioningPage::ShowModel() {
    if (showing_) return;
    showing_ = true;
    TVacuumApplication& app = context_.App;
    const TSuctionCupModel& cups = app.Cups;
    const TStrategySettings s = cups.StrategySettings();
    const TStrategyFields shown = TSuctionCupModel::StrategyFields(s.Strategy);

    strategy_->setCurrentIndex(s.Strategy);
    // The rows and labels change with the strategy and the grid only; a drag, which ends
    // here on every step, leaves them as they are.
    const TSaugerList& list = cups.Cups();
    const bool relabel = s.Strategy != labelledStrategy_ || list.GridType() != labelledGrid_;
    if (relabel) {
        const auto showField = [&](TFMU2SpinEdit* field, std::string_view caption) {
            strategyForm_->setRowVisible(field, !caption.empty());
            if (!caption.empty())
                context_.Language.Bind(strategyForm_->labelForField(field), "Caption", Q(caption));
        };
        showField(count1_, shown.Count1);
        showField(count2_, shown.Count2);
        showField(angle_, shown.Angle);
    }
    count1_->SetValueInt(s.Count1);
    count2_->SetValueInt(s.Count2);
    angle_->SetValue(s.Angle);

    distances_->setVisible(shown.DistancePageVisible);
    distanceForm_->setRowVisible(spacing_, shown.SpacingVisible);
    edge_->SetValue(s.EdgeDistance);
    spacing_->SetValue(s.Spacing);

    grid_->setVisible(shown.GridPageVisible);
    gridButtons_[static_cast<size_t>(list.GridType())]->setChecked(true);
    gridForm_->setRowVisible(gridLength_, cups.GridLengthVisible());
    gridForm_->setRowVisible(gridAngle_, cups.GridAngleVisible());
    gridLength_->SetValue(list.GridLength());
    gridAngle_->SetValue(list.GridAngle());

    mouseHint_->setVisible(s.Strategy == cssManual);
    // Only a workpiece without geometry lets a cup's axis be tilted.
    tiltHint_->setVisible(s.Strategy == cssManual && app.Document.Workpiece.Shape <= cwsVolumeKnown);
    collision_->setVisible(cups.CollisionShown());
    unsolvable_->setVisible(cups.EquationsNotSolvable());
    if (relabel) {
        AlignLabels();
        labelledStrategy_ = s.Strategy;
        labelledGrid_ = list.GridType();
    }
    views_->Reload();
    showing_ = false;
}

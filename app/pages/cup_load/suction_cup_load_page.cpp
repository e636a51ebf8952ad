#include "app/pages/cup_load/suction_cup_load_page.h"

#include "app/platform/timers.h"
#include "app/views/cup_views.h"
#include "core/workflow/vacuum_application.h"
#include "gui/chart/diagramm.h"
#include "gui/fields/field_layout.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/page_fields.h"
#include "gui/lang/language_form.h"

#include <algorithm>
#include <cmath>

#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The column of the cup's values leaves the rest of the page to the views and charts.
constexpr int kColumnWidth = 300;
// The slider's keys: one step of the player, a quarter of the motion.
constexpr int kPageStep = TSuctionCupModel::cSliderMax / 4;

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

// A text shown like a value panel: framed, right-aligned, one field row high.
QLabel* TextPanel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// The two bars of one value of the maximum-value view: 0 to 100 % and 100 to 200 %,
// side by side, each filled as far as the model says, in the colour of its band.
class TMaxValueBars : public QWidget {
public:
    explicit TMaxValueBars(QWidget* parent) : QWidget(parent) {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    void Show(const TMaxValueBar& bar) {
        bar_ = bar;
        update();
    }
    QSize sizeHint() const override { return {240, 22}; }
    QSize minimumSizeHint() const override { return {80, 22}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        constexpr int gap = 4;
        const int w = (width() - gap) / 2;
        const QColor colour = TCupViews::BandColor(bar_.Band);
        const double fills[2] = {bar_.Fill1, bar_.Fill2};
        for (int i = 0; i < 2; ++i) {
            const QRect frame(i * (w + gap), 0, w, height());
            p.fillRect(frame, Qt::white);
            const double f = std::clamp(fills[i], 0.0, 100.0) / 100.0;
            const int filled = static_cast<int>(std::lround(f * (frame.width() - 2)));
            if (filled > 0)
                p.fillRect(QRect(frame.left() + 1, 1, filled, frame.height() - 2), colour);
            p.setPen(palette().color(QPalette::Dark));
            p.setBrush(Qt::NoBrush);
            p.drawRect(frame.adjusted(0, 0, -1, -1));
        }
    }

private:
    TMaxValueBar bar_;
};

} // namespace

TSuctionCupLoadPage::TSuctionCupLoadPage(TPageContext& context)
    : context_(context), timer_(context.Timers.CreateTimer()) {
    setObjectName("PageSuctionCupLoad");
    timer_->OnTimer = [this] { Tick(); };

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BuildColumn());

    auto* right = new QVBoxLayout;
    views_ = new TCupViews(context_.App, this);
    views_->setObjectName("CupViews");
    views_->setMinimumHeight(160);
    right->addWidget(views_, 1);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("PageControlLoad");
    tabs_->addTab(BuildMaximumValues(), "~MaximumValues");
    tabs_->addTab(BuildTimeCurve(), "~TimeCurve");
    // The time curve is refused while there is no vacuum to hold with; the tab is disabled
    // then, and a change the program makes is taken back.
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == cTabTimeCurve && !tabs_->isTabEnabled(cTabTimeCurve))
            tabs_->setCurrentIndex(cTabMaximumValues);
    });
    right->addWidget(tabs_, 1);
    layout->addLayout(right, 1);

    // The views take the height their width lets them fill; the tabs the rest.
    views_->installEventFilter(this);
    Refresh(TAspects::All());
    AlignUnitButtons(this);
}

bool TSuctionCupLoadPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == views_ && event->type() == QEvent::Resize) FitViews();
    return QWidget::eventFilter(watched, event);
}

void TSuctionCupLoadPage::FitViews() {
    const int fit = std::max(views_->minimumHeight(), views_->HeightFor(views_->width()));
    if (views_->maximumHeight() != fit) views_->setMaximumHeight(fit);
}

TSuctionCupLoadPage::~TSuctionCupLoadPage() {
    if (timer_) timer_->Stop();
}

TFMU2Panel* TSuctionCupLoadPage::Panel(const char* name, TNormUnit quantity, TNUMessurement si,
                                       TNUMessurement us) {
    auto* p = new TFMU2Panel;
    p->setObjectName(name);
    p->SetNormUnit(quantity);
    p->SetPreferredSIUnit(si);
    p->SetPreferredUSUnit(us);
    p->SetAutoUnitChange(true);
    p->SetDecimals(-3);
    p->SetTranslate(context_.App.Translator());
    return p;
}

QWidget* TSuctionCupLoadPage::BuildColumn() {
    auto* column = new QWidget(this);
    column->setObjectName("SuctionCupLoadValues");
    // A fixed width: the group that appears with a selection must not shift the views.
    column->setFixedWidth(kColumnWidth);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    // The safety the cups must keep, and whether they keep it over the whole motion.
    auto* safetyBox = new QWidget(column);
    auto* safetyForm = Form(safetyBox);
    safetyForm->setContentsMargins(0, 0, 0, 0);
    safety_ = new TFMU2SpinEdit(safetyBox);
    safety_->setObjectName(QString::fromUtf8(cpcRequiredSafety.data(), static_cast<int>(cpcRequiredSafety.size())));
    safety_->SetNormUnit(cNU_NoUnit);
    safety_->SetPreferredSIUnit(cUM_NoUnit);
    safety_->SetPreferredUSUnit(cUM_NoUnit);
    safety_->SetTranslate(context_.App.Translator());
    for (const TPageField& pf : PageFields(context_.App.Document, cmpSuctionCupLoad, 0.0))
        if (pf.Control == cpcRequiredSafety) {
            safety_->SetValueMin(pf.Min);
            safety_->SetValueMax(pf.Max);
        }
    safety_->SetIncrement(0.5);
    safety_->SetValue(context_.App.Document.RequiredSafety);
    safetyForm->addRow("~RequiredSafety", safety_);
    safety_->OnChange = [this](TFMU2Custom* f) {
        if (showing_) return;
        TVacuumApplication& app = context_.App;
        const double value = f->Value();
        app.Input([&] { app.Air.SpinEditRequiredSafetyChange(value); });
    };
    layout->addWidget(safetyBox);
    verdict_ = new QLabel(column);
    verdict_->setObjectName("LabelVerdict");
    verdict_->setWordWrap(true);
    layout->addWidget(verdict_);

    // The first selected cup: where it sits and what it carries.
    forcesGroup_ = new QGroupBox("~ForcesAndPosition", column);
    forcesGroup_->setObjectName("GroupBoxKraefteUndPos");
    forcesForm_ = Form(forcesGroup_);
    cupNumber_ = TextPanel("PanelSaugerNr", forcesGroup_);
    forcesForm_->addRow("~SuctionCupNo", cupNumber_);
    constexpr const char* kPositionNames[] = {"PanelSaugerPosX", "PanelSaugerPosY",
                                              "PanelSaugerPosZ"};
    constexpr const char* kPositionKeys[] = {"~PositionX", "~PositionY", "~PositionZ"};
    for (int i = 0; i < 3; ++i) {
        TFMU2Panel* p = Panel(kPositionNames[i], cNU_length, cUM_mm, cUM_in);
        p->SetDecimals(-1);
        cupPanels_[static_cast<size_t>(i)] = p;
        forcesForm_->addRow(kPositionKeys[i], p);
    }
    cupPanels_[3] = Panel("PanelSaugerNormalkraft", CNU_force, cUM_N, cUM_lbf);
    cupPanels_[4] = Panel("PanelSaugerQuerkraft", CNU_force, cUM_N, cUM_lbf);
    forcesForm_->addRow("~NormalForce", cupPanels_[3]);
    forcesForm_->addRow("~TransverseForce", cupPanels_[4]);
    normalRatio_ = TextPanel("PanelSaugerNormalAuslastung", forcesGroup_);
    transverseRatio_ = TextPanel("PanelSaugerQuerAuslastung", forcesGroup_);
    forcesForm_->addRow("~NormalLoad", normalRatio_);
    forcesForm_->addRow("~TransverseLoad", transverseRatio_);
    layout->addWidget(forcesGroup_);

    // What the colours of the cups and bars say.
    auto* legend = new QWidget(column);
    legend->setObjectName("SuctionCupLoadLegend");
    auto* legendLayout = new QVBoxLayout(legend);
    legendLayout->setContentsMargins(4, 4, 4, 4);
    legendLayout->setSpacing(2);
    legendLayout->addWidget(Swatch(TCupViews::cOptimal, "~LoadBelow60", legend));
    legendLayout->addWidget(Swatch(TCupViews::cHigh, "~Load60To75", legend));
    legendLayout->addWidget(Swatch(TCupViews::cTooHigh, "~LoadAbove75", legend));
    legendLayout->addWidget(Swatch(TCupViews::cNegative, "~PressedOntoCup", legend));
    legendLayout->addWidget(Swatch(TCupViews::cMisplaced, "~Misplaced", legend));
    layout->addWidget(legend);

    unsolvable_ = new QLabel("~EquationsNotSolvable", column);
    unsolvable_->setObjectName("PanelEquationsNotSolvable");
    unsolvable_->setWordWrap(true);
    unsolvable_->setStyleSheet(
        "color: #c00000; border: 1px solid #c00000; background: #fff0f0; padding: 4px;");
    layout->addWidget(unsolvable_);

    layout->addStretch(1);
    return column;
}

QWidget* TSuctionCupLoadPage::BuildMaximumValues() {
    auto* tab = new QWidget;
    tab->setObjectName("TabMaximumValues");
    auto* layout = new QVBoxLayout(tab);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    constexpr const char* kKeys[] = {"~NormalForce", "~TransverseForce"};
    constexpr const char* kPanels[] = {"PanelMaxNormalkraft", "PanelMaxQuerkraft"};
    constexpr const char* kBars[] = {"BarsMaxNormalkraft", "BarsMaxQuerkraft"};
    constexpr const char* kTexts[] = {"LabelMaxNormalkraft", "LabelMaxQuerkraft"};
    for (int i = 0; i < 2; ++i) {
        auto* caption = new QLabel(kKeys[i], tab);
        TFMU2Panel* force = Panel(kPanels[i], CNU_force, cUM_N, cUM_lbf);
        force->setMinimumWidth(140);
        caption->setBuddy(force);
        auto* bars = new TMaxValueBars(tab);
        bars->setObjectName(kBars[i]);
        auto* text = new QLabel(tab);
        text->setObjectName(kTexts[i]);
        text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // "> 200%" is the widest text the view shows.
        text->setMinimumWidth(text->fontMetrics().horizontalAdvance("> 200%") + 4);
        grid->addWidget(caption, i, 0);
        grid->addWidget(force, i, 1);
        grid->addWidget(bars, i, 2);
        grid->addWidget(text, i, 3);
        maxForce_[static_cast<size_t>(i)] = force;
        maxBars_[static_cast<size_t>(i)] = bars;
        maxText_[static_cast<size_t>(i)] = text;
    }
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);
    auto* scale = new QLabel("0 %  \u2013  100 %  |  100 %  \u2013  200 %", tab);
    scale->setObjectName("LabelMaxScale");
    scale->setAlignment(Qt::AlignRight);
    scale->setEnabled(false);
    layout->addWidget(scale);
    // What the page shows and what to do about a high load.
    help_ = new QLabel("~HelpOpLoad", tab);
    help_->setObjectName("LabelSuctionCupLoadHelp");
    help_->setWordWrap(true);
    help_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    help_->setContentsMargins(0, 8, 0, 0);
    layout->addWidget(help_);
    layout->addStretch(1);
    return tab;
}

TDiagramm* TSuctionCupLoadPage::BuildChart(bool transverse) {
    auto* chart = new TDiagramm;
    chart->setObjectName(transverse ? "DiagrammQuerkraft" : "DiagrammNormalkraft");
    chart->setMinimumSize(160, 120);
    chart->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    chart->BeginUpdate();
    chart->SetLayout(cdlClassic);
    chart->SetXMin(0);
    chart->SetXMax(1);
    chart->SetXStep(1);
    chart->SetXMark(1);
    chart->SetXPrecision(0);
    chart->SetXDecimals(0);
    // The marks separate the bars; the cups' numbers stand under the bars instead of the
    // chart's own labels.
    chart->SetXColorValue(QColor(0, 0, 0, 0));
    chart->SetXUnit("");
    chart->SetYAutoStep(true);
    chart->SetYMin(0);
    chart->SetYMax(100);
    chart->SetCurves(0);
    chart->SetCurvesMinMax(1);
    const int side = transverse ? 1 : 0;
    chart->OnGetYMinMax = [this, side](TDiagramm*, double x, int, double& minY, double& maxY,
                                       QColor& colour, bool& valid) {
        const std::vector<TLoadBar>& bars = bars_[static_cast<size_t>(side)];
        const double i = std::floor(x);
        if (i < 0 || i >= static_cast<double>(bars.size())) return;
        const TLoadBar& bar = bars[static_cast<size_t>(i)];
        if (x < bar.X0 || x > bar.X1) return;
        minY = std::min(0.0, bar.Height);
        maxY = std::max(0.0, bar.Height);
        colour = TCupViews::BandColor(bar.Band);
        valid = true;
    };
    chart->OnUserPaint = [this, side](TDiagramm* sender, TPaintLayer layer, QPainter& canvas) {
        PaintChart(sender, side == 1, layer, canvas);
    };
    chart->EndUpdate();
    return chart;
}

void TSuctionCupLoadPage::PaintChart(TDiagramm* chart, bool transverse, TPaintLayer layer,
                                     QPainter& canvas) {
    const std::vector<TLoadBar>& bars = Bars(transverse);
    const QRect plot = chart->PlotRect();
    if (layer == plUnits) {
        // The cups' numbers under their bars, as many as fit.
        const QFontMetrics fm = canvas.fontMetrics();
        canvas.setPen(chart->YColorValue());
        int lastRight = plot.left() - 1000;
        for (size_t i = 0; i < bars.size(); ++i) {
            const QString text = QString::number(i + 1);
            const int w = fm.horizontalAdvance(text);
            const int x = chart->ValueToPixelX((bars[i].X0 + bars[i].X1) / 2.0);
            const QRect r(x - w / 2, plot.bottom() + 8, w, fm.height());
            if (r.left() < lastRight + 4) continue;
            canvas.drawText(r, Qt::AlignCenter, text);
            lastRight = r.right();
        }
        return;
    }
    if (layer != plGetY) return;
    canvas.save();
    canvas.setClipRect(plot.adjusted(-cMarkRadius - 1, -1, cMarkRadius + 1, cMarkRadius + 2));
    // Fully used: the line at 100 %.
    if (chart->YMax() >= 100.0) {
        const int y = chart->ValueToPixelY(100.0);
        canvas.setPen(QPen(QColor(128, 0, 0), 1, Qt::DashLine));
        canvas.drawLine(plot.left(), y, plot.right(), y);
    }
    // Selected cups: a circle at the foot of their bar.
    canvas.setRenderHint(QPainter::Antialiasing);
    canvas.setPen(QPen(cMarkPen, 2));
    canvas.setBrush(cMarkFill);
    const int foot = chart->ValueToPixelY(0.0);
    for (const TLoadBar& bar : bars)
        if (bar.Selected)
            canvas.drawEllipse(QPointF(chart->ValueToPixelX((bar.X0 + bar.X1) / 2.0), foot),
                               cMarkRadius, cMarkRadius);
    canvas.restore();
}

QWidget* TSuctionCupLoadPage::BuildTimeCurve() {
    auto* tab = new QWidget;
    tab->setObjectName("TabTimeCurve");
    auto* layout = new QVBoxLayout(tab);
    auto* charts = new QHBoxLayout;
    charts_[0] = BuildChart(false);
    charts_[1] = BuildChart(true);
    charts->addWidget(charts_[0], 1);
    charts->addWidget(charts_[1], 1);
    layout->addLayout(charts, 1);

    // The instant shown and the player that runs through the motion.
    slider_ = new QSlider(Qt::Horizontal, tab);
    slider_->setObjectName("RxSliderVCR");
    slider_->setRange(0, TSuctionCupModel::cSliderMax);
    slider_->setSingleStep(TSuctionCupModel::cPlayerStep);
    slider_->setPageStep(kPageStep);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(kPageStep);
    connect(slider_, &QSlider::valueChanged, this, [this](int v) { SliderMoved(v); });
    layout->addWidget(slider_);
    auto* player = new QHBoxLayout;
    struct TButton {
        const char* Name;
        const char* Hint;
        QStyle::StandardPixmap Icon;
    };
    const TButton kButtons[cPlayerButtons] = {
        {"ButtonRewind", "~Rewind", QStyle::SP_MediaSkipBackward},
        {"ButtonPlay", "~Play", QStyle::SP_MediaPlay},
        {"ButtonPause", "~Pause", QStyle::SP_MediaPause},
        {"ButtonStop", "~Stop", QStyle::SP_MediaStop},
        {"ButtonForward", "~Forward", QStyle::SP_MediaSkipForward},
    };
    for (int b = 0; b < cPlayerButtons; ++b) {
        auto* button = new QToolButton(tab);
        button->setObjectName(kButtons[b].Name);
        button->setIcon(style()->standardIcon(kButtons[b].Icon));
        button->setToolTip(kButtons[b].Hint);
        button->setAutoRaise(false);
        connect(button, &QToolButton::clicked, this, [this, b] { Press(b); });
        player->addWidget(button);
        player_[static_cast<size_t>(b)] = button;
    }
    auto* timeLabel = new QLabel("~Time", tab);
    time_ = Panel("PanelZeit", cNU_time, cUM_s, cUM_s);
    time_->setMinimumWidth(110);
    timeLabel->setBuddy(time_);
    player->addStretch(1);
    player->addWidget(timeLabel);
    player->addWidget(time_);
    layout->addLayout(player);
    return tab;
}

QWidget* TSuctionCupLoadPage::LabelOf(QWidget* field) const {
    return forcesForm_->labelForField(field);
}

// ---- input -------------------------------------------------------------------------------

void TSuctionCupLoadPage::SliderMoved(int position) {
    if (showing_) return;
    TVacuumApplication& app = context_.App;
    app.Input([&] { app.Cups.RxSliderVCRChange(position); });
}

void TSuctionCupLoadPage::Press(int button) {
    TVacuumApplication& app = context_.App;
    app.Input([&] {
        if (app.Cups.Inert()) return;
        switch (button) {
        case cRewind: app.Cups.PlayerRewind(); break;
        case cPlay: app.Cups.PlayerPlay(); break;
        case cPause: app.Cups.PlayerPause(); break;
        case cStop: app.Cups.PlayerStop(); break;
        case cForward: app.Cups.PlayerForward(); break;
        default: break;
        }
    });
    ShowPlayer();
}

void TSuctionCupLoadPage::Tick() {
    TVacuumApplication& app = context_.App;
    app.Input([&] { app.Cups.PlayerTick(); });
    ShowPlayer();
}

// ---- showing the model -------------------------------------------------------------------

void TSuctionCupLoadPage::Enter() {
    current_ = true;
    // The charts' scale starts afresh for the motion as it is now.
    peak_ = {100.0, 100.0};
    lowest_ = {0.0, 0.0};
    ShowModel();
}

void TSuctionCupLoadPage::Leave() {
    current_ = false;
    // The replay runs only while the page is shown.
    TVacuumApplication& app = context_.App;
    if (app.Cups.Playing()) app.Input([&] { app.Cups.PlayerStop(); });
    ShowPlayer();
}

void TSuctionCupLoadPage::Retranslate() {
    TLanguageForm& language = context_.Language;
    for (int side = 0; side < 2; ++side) {
        charts_[static_cast<size_t>(side)]->SetYUnit(
            language.Tr(side ? "~TransverseLoad" : "~NormalLoad") + " [%]");
    }
}

void TSuctionCupLoadPage::Refresh(TAspects aspects) {
    if (aspects.Has(caLanguage)) Retranslate();
    if (aspects.Intersects({caWorkpiece, caArrangement, caSuctionCup, caVacuumGenerator, caMotion,
                            caDrive, caForces, caCupLoads, caDocument, caLanguage, caNavigator}))
        ShowModel();
}

void TSuctionCupLoadPage::ShowModel() {
    if (showing_) return;
    showing_ = true;
    const TSuctionCupModel& cups = context_.App.Cups;
    unsolvable_->setVisible(cups.EquationsNotSolvable());
    ShowTimeCurveTab();
    ShowLoads();
    ShowMaxValues();
    ShowForcesAndPosition();
    ShowPlayer();
    ShowVerdict();
    views_->Reload();
    FitViews();
    showing_ = false;
}

void TSuctionCupLoadPage::ShowVerdict() {
    TVacuumApplication& app = context_.App;
    safety_->SetValue(app.Document.RequiredSafety);
    const THoldingVerdict v = app.HoldingVerdict();
    verdict_->setText(QString::fromStdString(VerdictLine(v, app.Translator())));
    // Red when the design does not hold, green when it does.
    verdict_->setStyleSheet(v.Holds() ? "color: #006000; border: 1px solid #008000; background: #f0fff0; padding: 4px;"
                                      : "color: #c00000; border: 1px solid #c00000; background: #fff0f0; padding: 4px;");
}

void TSuctionCupLoadPage::ShowTimeCurveTab() {
    const TVacuumApplication& app = context_.App;
    const bool enabled = TSuctionCupModel::TimeCurveTabEnabled(app.Venturi.OperatingPoint().Vacuum,
                                                               app.Document.Venturi.Vacuum);
    tabs_->setTabEnabled(cTabTimeCurve, enabled);
    if (!enabled && tabs_->currentIndex() == cTabTimeCurve) tabs_->setCurrentIndex(cTabMaximumValues);
}

void TSuctionCupLoadPage::ShowLoads() {
    const TSuctionCupModel& cups = context_.App.Cups;
    const int range = std::max(1, cups.ChartXRange());
    for (int side = 0; side < 2; ++side) {
        const auto s = static_cast<size_t>(side);
        bars_[s] = cups.LoadBars(side == 1);
        for (const TLoadBar& bar : bars_[s]) {
            if (std::isfinite(bar.Height)) {
                peak_[s] = std::max(peak_[s], bar.Height);
                lowest_[s] = std::min(lowest_[s], bar.Height);
            }
        }
        TDiagramm* chart = charts_[s];
        chart->BeginUpdate();
        chart->SetXMax(range);
        // Ten percent above the highest bar, so that its top shows.
        chart->SetYMax(std::ceil(peak_[s] * 1.1 / 10.0) * 10.0);
        chart->SetYMin(lowest_[s] < 0.0 ? std::floor(lowest_[s] * 1.1 / 10.0) * 10.0 : 0.0);
        chart->Redraw();
        chart->EndUpdate();
    }
    time_->SetValue(cups.SliderTime());
}

void TSuctionCupLoadPage::ShowPlayer() {
    const TSuctionCupModel& cups = context_.App.Cups;
    const bool wasShowing = showing_;
    showing_ = true;
    slider_->setValue(cups.SliderPosition());
    showing_ = wasShowing;
    slider_->setEnabled(cups.SliderEnabled());
    player_[cPlay]->setEnabled(cups.PlayEnabled());
    // The timer runs while the model plays and the page is shown.
    if (cups.Playing() && current_) {
        if (!timer_->Active()) timer_->Start(cPlayerInterval);
    } else if (timer_->Active()) {
        timer_->Stop();
    }
}

void TSuctionCupLoadPage::ShowMaxValues() {
    const TMaxValues& max = context_.App.Cups.MaxValues();
    const TMaxValueBar* values[2] = {&max.Normal, &max.Transverse};
    for (int i = 0; i < 2; ++i) {
        const auto s = static_cast<size_t>(i);
        maxForce_[s]->SetValue(values[i]->Force);
        static_cast<TMaxValueBars*>(maxBars_[s])->Show(*values[i]);
        maxText_[s]->setText(QString::fromStdString(values[i]->Text));
    }
}

void TSuctionCupLoadPage::ShowForcesAndPosition() {
    const TCupForcesAndPosition f = context_.App.Cups.ForcesAndPosition();
    forcesGroup_->setVisible(f.Visible);
    if (!f.Visible) return;
    cupNumber_->setText(QString::number(f.Number));
    cupPanels_[0]->SetValue(f.Pos.X);
    cupPanels_[1]->SetValue(f.Pos.Y);
    cupPanels_[2]->SetValue(f.Pos.Z);
    cupPanels_[3]->SetValue(f.NormalForce);
    cupPanels_[4]->SetValue(f.TransverseForce);
    normalRatio_->setText(QString::fromStdString(f.NormalRatio));
    transverseRatio_->setText(QString::fromStdString(f.TransverseRatio));
}

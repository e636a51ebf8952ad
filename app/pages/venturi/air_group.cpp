#include "app/pages/venturi/air_group.h"

#include "app/frame/page.h"
#include "core/shell/user_settings.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/page_fields.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_spin_edit.h"

#include <algorithm>
#include <cmath>

#include <QFormLayout>
#include <QLabel>
#include <QLocale>

namespace {

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// Three significant digits in the user's locale; "-" for no figure.
QString Num(double x) {
    if (!std::isfinite(x)) return QStringLiteral("-");
    return QLocale().toString(x, 'g', 3);
}

// A sum of money with the locale's decimal separator.
QString Money(double x) {
    const QString point = QLocale().decimalPoint();
    const char sep = point.size() == 1 && point[0].unicode() < 0x80 ? point[0].toLatin1() : '.';
    return QString::fromStdString(MoneyText(x, sep));
}

} // namespace

TAirGroup::TAirGroup(TPageContext& context, QWidget* parent) : QGroupBox("~CompressedAir", parent), context_(context) {
    setObjectName("GroupBoxCompressedAir");
    auto* form = new QFormLayout(this);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    cycles_ = Field(cpcCycleRate, cNU_frequency, cUM_1_h, cUM_1_h);
    holding_ = Field(cpcHoldingTime, cNU_time, cUM_s, cUM_s);
    hours_ = Field(cpcOperatingTime, cNU_time, cUM_h, cUM_h);
    price_ = Field(cpcAirPrice, cNU_NoUnit, cUM_NoUnit, cUM_NoUnit);
    energy_ = Field(cpcAirEnergy, cNU_energy, cUM_kWh, cUM_kWh);
    cycles_->SetIncrement(10.0);
    hours_->SetIncrement(100.0);
    price_->SetIncrement(0.005);
    // A price is a plain number; the currency it is in stands where a unit would.
    price_->SetUnitNote(Currency());
    energy_->SetIncrement(0.01);
    // The ranges are those the project's values are judged by.
    for (const TPageField& pf : PageFields(context_.App.Document, cmpVenturi, 0.0))
        if (auto* f = findChild<TFMU2SpinEdit*>(Q(pf.Control))) {
            f->SetValueMin(pf.Min);
            f->SetValueMax(pf.Max);
        }
    perCycle_ = new QLabel(this);
    perCycle_->setObjectName("LabelAirPerCycle");
    perYear_ = new QLabel(this);
    perYear_->setObjectName("LabelAirPerYear");
    saving_ = new QLabel(this);
    saving_->setObjectName("LabelAirSaving");
    saving_->setWordWrap(true);
    for (QLabel* l : {perCycle_, perYear_, saving_}) l->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const std::pair<const char*, QWidget*> rows[] = {
        {"~CyclesPerHour", cycles_},     {"~HoldingTimePerCycle", holding_}, {"~OperatingHoursPerYear", hours_},
        {"~AirPrice", price_},           {"~AirEnergy", energy_},            {"~AirPerCycle", perCycle_},
        {"~AirPerYear", perYear_},       {"~AirSavingGenerator", saving_}};
    for (const auto& [caption, control] : rows) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(control);
        form->addRow(label, control);
    }
    for (TFMU2SpinEdit* f : {cycles_, holding_, hours_, price_, energy_})
    {
        f->OnChange = [this](TFMU2Custom* sender) { Entered(sender); };
        f->OnChangeValid = [this](TFMU2Custom*) {
            if (OnValidityChange) OnValidityChange();
        };
    }
    Refresh(TAspects::All());
}

TFMU2SpinEdit* TAirGroup::Field(std::string_view name, int quantity, int si, int us) {
    auto* f = new TFMU2SpinEdit(this);
    f->setObjectName(Q(name));
    f->SetNormUnit(static_cast<TNormUnit>(quantity));
    f->SetPreferredSIUnit(static_cast<TNUMessurement>(si));
    f->SetPreferredUSUnit(static_cast<TNUMessurement>(us));
    f->SetAutoUnitChange(true);
    f->SetTranslate(context_.App.Translator());
    return f;
}

bool TAirGroup::FieldsValid() const {
    return cycles_->Valid() && holding_->Valid() && hours_->Valid() && price_->Valid() && energy_->Valid();
}

void TAirGroup::Entered(TFMU2Custom* field) {
    if (showing_) return;
    TVacuumApplication& app = context_.App;
    const double value = field->Value();
    app.Input([&] {
        TAirModel& m = app.Air;
        if (field == cycles_) m.SpinEditCycleRateChange(value);
        else if (field == holding_) m.SpinEditHoldingTimeChange(value);
        else if (field == hours_) m.SpinEditOperatingTimeChange(value);
        else if (field == price_) m.SpinEditAirPriceChange(value);
        else if (field == energy_) m.SpinEditAirEnergyChange(value);
        // What the fields show changed what the page shows: one notice.
        app.Mark(caVacuumGenerator);
    });
}

void TAirGroup::Refresh(TAspects aspects) {
    if (!aspects.Intersects({caVacuumGenerator, caTube, caSuctionCup, caArrangement, caLanguage, caDocument,
                             caNavigator}))
        return;
    const TMyProject::TAir& a = context_.App.Document.Air;
    showing_ = true;
    cycles_->SetValue(a.CycleRate);
    holding_->SetValue(a.HoldingTime);
    hours_->SetValue(a.OperatingTime);
    price_->SetValue(a.Price);
    energy_->SetValue(a.Energy);
    showing_ = false;
    ShowResults();
}

QString TAirGroup::Currency() const {
    return context_.Settings ? Q(context_.Settings->Currency()) : QStringLiteral("€");
}

void TAirGroup::ShowResults() {
    TVacuumApplication& app = context_.App;
    const auto tr = [&](std::string_view key) { return Q(app.Language.TranslateDisplay(key)); };
    const QString currency = Currency();
    const TAirAccount account = app.Air.Account();
    const TAirUse& u = account.Use;
    QString cycle = Num(u.AirPerCycle * 1000.0) + " l · " + Money(u.CostPerCycle) + " " + currency;
    if (u.Reevacuations > 0) cycle += " · " + tr("~Reevacuations") + " " + QString::number(u.Reevacuations);
    perCycle_->setText(cycle);
    perYear_->setText(Num(u.AirPerYear) + " m³ · " + Num(u.EnergyPerYear / 3.6e6) + " kWh · " + Money(u.CostPerYear) +
                      " " + currency);
    if (account.SavingOrderCode.empty()) {
        saving_->setText(tr("~NoneInSeries"));
    } else {
        const TAirUse& s = account.Saving;
        saving_->setText(Q(account.SavingOrderCode) + ": " + tr("~SavingPerYear") + " " + Num(s.AirPerYear) +
                         " m³ · " + Money(s.CostPerYear) + " " + currency);
    }
}

#include "core/workflow/report_layout.h"

#include "core/data/string_query.h"
#include "core/quantities/float_converter.h"
#include "core/quantities/number_format.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/product_filters.h"
#include "core/workflow/report_writer.h"
#include "core/workflow/vacuum_application.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <span>
#include <utility>

namespace {

// Column sets of the blocks, as fractions of the printable width.
constexpr std::array kMainColumns{0.0, 0.25, 0.3, 0.5, 1.0};
constexpr std::array kFrictionColumns{0.0, 0.25, 0.3, 0.4, 0.5, 1.0};
constexpr std::array kCupColumns{0.0, 0.25, 0.3, 0.45, 0.6, 1.0};

constexpr std::string_view kMaker = "Orsik";

// Displays of the pages that the report reads and page_controls.h does not name (no page
// check focuses them).
constexpr std::string_view kTubeVolumePanel = "PanelSchlauchVolumen";
constexpr std::string_view kMovingMassPanel = "PanelBewegteMasse";
constexpr std::string_view kCupsMassPanel = "PanelSaugerMasse";
constexpr std::string_view kWorkpieceMassPanel = "PanelWerkStkMasse";
constexpr std::string_view kTotalInertiaPanel = "PanelTraegheitGesamt";
constexpr std::string_view kCupsInertiaPanel = "PanelTraegheitSauger";
constexpr std::string_view kWorkpieceAxisInertiaPanel = "PanelTraegMomentWGes1";
constexpr std::string_view kCylinderDiameterPanel = "PanelDZylinder";
constexpr std::string_view kLinearTravelPanel = "PanelVerfahrweg2";
constexpr std::string_view kLinearAccelerationPanel = "PanelPnLinAccelDrive";
constexpr std::string_view kLinearInertiaForcePanel = "PanelTraegheitskraft";
constexpr std::string_view kRotaryAnglePanel = "PanelPnRotWinkelMax";
constexpr std::string_view kRotaryAccelerationPanel = "PanelPnRotAccelDrive";
constexpr std::string_view kRotaryInertiaForcePanel = "PanelTraegheitskraftRot";

// The entries of the workpiece page's shape list and the motion page's direction options.
constexpr std::array<std::string_view, 10> kShapeKeys{
    "~Shape-MassKnown", "~Shape-VolumeDensityKnown",
    "~Shape-Cube",      "~Shape-CylinderX",
    "~Shape-CylinderY", "~Shape-CylinderZ",
    "~Shape-Sphere",    "~Shape-PipeX",
    "~Shape-PipeY",     "~Shape-PipeZ"};
constexpr std::array<std::string_view, 4> kDirectionKeys{"~HorizontalX", "~HorizontalY",
                                                         "~VerticalUp", "~VerticalDown"};

// The text the unselected entry of every filter list shows.
constexpr std::string_view kNoPreference = "~NoPreference";

std::string Replace(std::string format, std::string_view placeholder, std::string_view value) {
    const size_t at = format.find(placeholder);
    if (at != std::string::npos) format.replace(at, placeholder.size(), value);
    return format;
}

// A number as the report writes it: at least three decimals, and as many more as four
// significant digits of a small value need; trailing zeros dropped.
std::string NumberText(double x) {
    if (!std::isfinite(x)) return FormatFixed(x, 18, 0, DecimalSeparator());
    int decimals = 3;
    if (x != 0.0) {
        const int magnitude = static_cast<int>(std::floor(std::log10(std::abs(x))));
        decimals = std::clamp(3 - magnitude, 3, 15);
    }
    std::string text = TTavFloatConverter::FormatText(x, -decimals, false);
    // A value that rounds to nothing is 0, not "-0".
    if (text == "-0") text = "0";
    return text;
}

std::string QuantityText(double base, TNUMessurement unit) {
    std::string text = NumberText(FromBaseUnit(unit, base));
    // Some symbols carry a blank at their end in the registry.
    std::string_view symbol = UnitSymbol(unit, false);
    while (symbol.ends_with(' ')) symbol.remove_suffix(1);
    if (!symbol.empty()) text += " " + std::string(symbol);
    return text;
}

// A cup coordinate rounded to 0.01 of its unit.
std::string PositionText(double metres, bool us) {
    const double v = std::round(FromBaseUnit(us ? cUM_in : cUM_mm, metres) * 100.0) / 100.0;
    std::string text = TTavFloatConverter::FormatText(v == 0.0 ? 0.0 : v, -2, false);
    return text + (us ? " in" : " mm");
}

// What a filter list of a product page shows.
class TFilterLists {
public:
    TFilterLists(const TStringQuery& query, const TTranslateFunc& tr) : query_(query), tr_(tr) {}

    // `stored`: the cell text the document remembers for the list ("" for none).
    // `numberUnit`: for a list of numbers, the unit they are shown in (the column holds
    // base units).
    std::string Text(std::string_view column, std::string_view stored,
                     TNUMessurement numberUnit = cUM_NoUnit) const {
        const TCustomTable* source = query_.Table();
        const int col = source ? source->ColByName(column) : -1;
        if (col < 0) return Tr(stored.empty() ? kNoPreference : stored);
        const bool numeric = numberUnit != cUM_NoUnit;
        // The list filters its query with a category of its column's name: the entry chosen
        // there is the one value the category keeps.
        const TCategory* own = query_.Categories().Find(column);
        if (own && own->Enabled && !own->Bits.All()) {
            const std::string chosen = OnlyValue(*source, col, numeric, numberUnit,
                                                 [&](size_t row) { return own->Bits.Test(row); });
            if (!chosen.empty()) return chosen;
        }
        if (!stored.empty()) return Tr(stored);
        // Nothing chosen: a list left with one value shows it.
        const std::string only = OnlyValue(*source, col, numeric, numberUnit, [&](size_t row) {
            for (const auto& c : query_.Categories().Items)
                if (c.get() != own && c->Enabled && row < c->Bits.Size() && !c->Bits.Test(row))
                    return false;
            return true;
        });
        return only.empty() ? Tr(kNoPreference) : only;
    }

private:
    std::string Tr(std::string_view key) const { return tr_ ? tr_(key) : std::string(key); }

    // The one value of column `col` among the source rows `take` accepts, as the list shows
    // it; empty when there are none or several.
    template <class F>
    std::string OnlyValue(const TCustomTable& source, int col, bool numeric, TNUMessurement unit,
                          F&& take) const {
        bool found = false;
        std::string text;
        double number = 0.0;
        for (int row = 0; row < source.Rows(); ++row) {
            if (!take(static_cast<size_t>(row))) continue;
            if (numeric) {
                const double v = source.AsFloat(row, col);
                if (found && v != number) return {};
                number = v;
            } else {
                std::string t = source.AsText(row, col);
                if (found && t != text) return {};
                text = std::move(t);
            }
            found = true;
        }
        if (!found) return {};
        if (!numeric) return Tr(text);
        std::string label = FloatText(FromBaseUnit(unit, number), 9, -3);
        const std::string& symbol = UnitById(unit).Symbol;
        return symbol.empty() ? label : label + " " + symbol;
    }

    const TStringQuery& query_;
    const TTranslateFunc& tr_;
};

class TReportContent {
public:
    TReportContent(TVacuumApplication& app, const TReportSetup& setup)
        : app_(app), doc_(app.Document), setup_(setup), tr_(app.Translator()),
          w_(setup, {std::string(kMaker), Replace(tr_("~Sorvane-Version%s"), "%s", setup.Version),
                     setup.DateTime, tr_("~Page%d")}) {}

    TReportLayout Run() {
        ProjectData();
        CustomerData();
        Remarks();
        Workpiece();
        Friction();
        SuctionCups();
        Tube();
        Venturi();
        EvacuationTime();
        SiteAndLeak();
        Motion();
        Drive();
        // Room for notes by hand.
        w_.BeginBlock(8, kMainColumns);
        w_.EndBlock();
        app_.AssemblePartsList();
        WritePartsListBlock(w_, app_.PartsList, tr_);
        CompressedAir();
        Verdict();
        return w_.Finish();
    }

private:
    std::string Field(std::string_view control, TNormUnit quantity, double value) const {
        const TReportValue v{control, quantity, value};
        return setup_.FieldText ? setup_.FieldText(v) : ReportDefaultFieldText(v, setup_.Measure);
    }
    void Title(std::string_view key) { w_.Text(0, 0, tr_(key)); }
    void Label(size_t col, int row, std::string_view key) { w_.Text(col, row, tr_(key)); }
    void Labelled(size_t col, int row, std::string_view key, std::string_view value) {
        w_.Text(col, row, tr_(key) + " : " + std::string(value));
    }
    // Pairs of a label key and a value, "label value  /  label value".
    std::string ValueList(std::span<const std::pair<std::string_view, std::string>> items) const {
        std::string text;
        for (const auto& [key, value] : items) {
            if (!text.empty()) text += "  /  ";
            text += tr_(key) + " " + value;
        }
        return text;
    }

    void ProjectData() {
        const auto& p = doc_.ProjectInfo;
        if (p.Author.empty() && p.Description[0].empty() && p.Description[1].empty() &&
            p.No.empty())
            return;
        w_.BeginBlock(5, kMainColumns);
        Title("~ProjectData");
        Labelled(1, 0, "~Editor", p.Author);
        w_.Text(1, 1, tr_("~ProjectName") + " :");
        w_.Text(2, 1, p.Description[0]);
        w_.Text(2, 2, p.Description[1]);
        Labelled(1, 3, "~ProjectNo", p.No);
        w_.EndBlock();
    }

    void CustomerData() {
        const auto& c = doc_.Customer;
        const bool address = std::any_of(c.Address.begin(), c.Address.end(),
                                         [](const std::string& l) { return !l.empty(); });
        if (c.No.empty() && c.Phone.empty() && c.Fax.empty() && !address) return;
        const int lines = std::max<int>(1, static_cast<int>(c.Address.size())) + 4;
        w_.BeginBlock(lines, kMainColumns);
        Title("~CustomerData");
        Labelled(1, 0, "~CustomerNo", c.No);
        Labelled(1, 1, "~Phone", c.Phone);
        Labelled(1, 2, "~Fax", c.Fax);
        Label(1, 3, "~Address");
        for (size_t i = 0; i < c.Address.size(); ++i)
            w_.Text(2, 3 + static_cast<int>(i), c.Address[i]);
        w_.EndBlock();
    }

    void Remarks() {
        const auto& r = doc_.Remarks;
        if (r.empty()) return;
        w_.BeginBlock(static_cast<int>(r.size()) + 1, kMainColumns);
        Title("~Remarks");
        for (size_t i = 0; i < r.size(); ++i) w_.Text(1, static_cast<int>(i), r[i]);
        w_.EndBlock();
    }

    void Workpiece() {
        const auto& wp = doc_.Workpiece;
        const TWorkpieceFieldState s = app_.Workpiece.FieldState();
        w_.BeginBlock(9, kMainColumns);
        Title("~Workpiece");
        const size_t shape = std::min<size_t>(wp.Shape, kShapeKeys.size() - 1);
        Labelled(1, 0, "~Shape", tr_(kShapeKeys[shape]));
        Label(1, 1, "~Dimensions");
        std::vector<std::pair<std::string_view, std::string>> sizes;
        auto size = [&](bool visible, std::string_view key, std::string_view control, double v) {
            if (visible) sizes.emplace_back(key, Field(control, cNU_length, v));
        };
        size(s.LengthXVisible, "~Length(X)", cpcLengthX, wp.LengthX);
        size(s.LengthYVisible, "~Width(Y)", cpcLengthY, wp.LengthY);
        size(s.LengthZVisible, "~Height(Z)", cpcLengthZ, wp.LengthZ);
        size(s.OuterDiameterVisible, "~Diameter", cpcOuterDiameter, wp.OuterDiameter);
        size(s.InnerDiameterVisible, "~InsideDiameter", cpcInnerDiameter, wp.InnerDiameter);
        w_.Text(2, 2, ValueList(sizes));
        Labelled(1, 3, "~Volume", Field(cpcVolume, cNU_volume, wp.Volume));
        Labelled(1, 4, "~Material", Material());
        Labelled(1, 5, "~Density", Field(cpcDensity, cNU_density, wp.Density));
        Labelled(1, 6, "~Mass", Field(cpcMass, cNU_mass, wp.Mass));
        const TNUMessurement unit = setup_.Measure == "1" ? cUM_lbin2 : cUM_kgm2;
        const std::pair<std::string_view, std::string> moments[] = {
            {"X", QuantityText(wp.MomentOfInertiaX, unit)},
            {"Y", QuantityText(wp.MomentOfInertiaY, unit)},
            {"Z", QuantityText(wp.MomentOfInertiaZ, unit)}};
        Labelled(1, 7, "~MomentOfInertia", ValueList(moments));
        w_.EndBlock();
    }

    // The material list's entry: the one material the density list is filtered to, or
    // the entry for a density of one's own.
    std::string Material() const {
        const TStringQuery* q = app_.Workpiece.DensityQuery();
        if (q && app_.Workpiece.MaterialSelected()) {
            const int col = q->ColByName(TWorkpieceModel::cMaterialColumn);
            if (col >= 0) return tr_(q->AsText(0, col));
        }
        return tr_("~UserDefined");
    }

    void Friction() {
        w_.BeginBlock(2, kFrictionColumns);
        Title("~Friction");
        Labelled(1, 0, "~FrictionCoefficient", Field(cpcFriction, cNU_NoUnit, doc_.Friction));
        w_.EndBlock();
    }

    void SuctionCups() {
        const TSaugerList& cups = doc_.SuctionCups;
        const int n = cups.Count();
        w_.BeginBlock(n + 14, kCupColumns);
        Title("~SuctionCup");
        // Label and column of each filter of the page, in the order printed.
        struct TRow {
            std::string_view Label;
            std::string_view Column;
        };
        constexpr TRow rows[] = {{"~SuctionCupDiameter[mm]", "Size"},
                                 {"~SuctionCupMaterial", "~MaterialKey"},
                                 {"~Shape", "~ShapeKey"},
                                 {"~StrokeCompensator", "StrokeCompensation"},
                                 {"~AirConnector", "Connector"},
                                 {"~SuctionCupHolder", "HolderType"},
                                 {"~Series", "Group"},
                                 {"~Filter", "~Filter"},
                                 {"~AngleCompensator", "~AngleCompensator"}};
        const std::span<const TProductFilter> filters = SuctionCupFilters();
        const TFilterLists lists(app_.SuctionCupQuery, tr_);
        int row = 0;
        for (const TRow& r : rows) {
            std::string text;
            for (size_t i = 0; i < filters.size(); ++i) {
                if (filters[i].Column != r.Column) continue;
                const int value = SuctionCupFilterValue(doc_.SuctionCupSelection, i);
                // The options of this page are check boxes: set, or no preference.
                if (filters[i].Kind != cpfChoice)
                    text = tr_(value ? "~Yes" : kNoPreference);
                else
                    text = lists.Text(r.Column, FilterValueText(filters[i], value));
            }
            Labelled(1, row++, r.Label, text);
        }
        Labelled(1, 9, "~OrderCode", doc_.SuctionCupsOrderCode);
        Labelled(1, 10, "~Count", std::to_string(n));
        Label(1, 11, "~Positioning");
        const bool us = setup_.Measure == "1";
        for (int i = 0; i < n; ++i) {
            const TSauger* cup = cups.Sauger(i);
            if (!cup) continue;
            w_.Text(2, 12 + i, "X " + PositionText(cup->Pos.X, us));
            w_.Text(3, 12 + i, "Y " + PositionText(cup->Pos.Y, us));
            w_.Text(4, 12 + i, "Z " + PositionText(cup->Pos.Z, us));
        }
        w_.EndBlock();
    }

    void Tube() {
        const auto& t = doc_.Tube;
        w_.BeginBlock(9, kMainColumns);
        Title("~Tube");
        const TFilterLists lists(app_.TubeQuery, tr_);
        const std::span<const TProductFilter> filters = TubeFilters();
        auto stored = [&](std::string_view column) {
            for (size_t i = 0; i < filters.size(); ++i)
                if (filters[i].Column == column)
                    return FilterValueText(filters[i], TubeFilterValue(t, i));
            return std::string();
        };
        // The diameter list shows millimetres; it and the series are not kept in the
        // project, only on the page's query.
        Labelled(1, 0, "~InsideDiameter", lists.Text("Diameter", "", cUM_mm));
        Labelled(1, 2, "~Color", lists.Text("~Color", stored("~Color")));
        Labelled(1, 3, "~SuitableForFood", lists.Text("~Food", stored("~Food")));
        Labelled(1, 4, "~Series", lists.Text("Group", ""));
        Labelled(1, 5, "~OrderCode", t.OrderCode);
        Labelled(1, 6, "~TotalTubeLength",
                 Field(cpcTotalTubeLength, cNU_length, app_.Tube.Lengths().Total));
        Labelled(1, 7, "~Volume", Field(kTubeVolumePanel, cNU_volume, doc_.TubeVolume));
        w_.EndBlock();
    }

    void Venturi() {
        const auto& v = doc_.Venturi;
        w_.BeginBlock(15, kMainColumns);
        Title("~VenturiNozzle");
        Labelled(1, 0, "~Count", Field(cpcVenturiCount, cNU_pieces, v.Count));
        Labelled(1, 1, "~WorkingPressure", Field(cpcVenturiPressure, cNU_pressure, v.Pressure));
        Labelled(1, 2, "~Vacuum", Field(cpcRequiredVacuum, cNU_pressure, v.Vacuum));
        struct TRow {
            std::string_view Label;
            std::string_view Column;
        };
        constexpr TRow rows[] = {{"~WithMagneticValve", "~ValveVacuum"},
                                 {"~WithEjectorPulse", "~EjectorPulse"},
                                 {"~AirSaving", "~AirSaving"},
                                 {"~NonReturnValve", "~NonReturnValve"},
                                 {"~Silencer", "~Silencer"},
                                 {"~Filter", "~Filter"},
                                 {"~Series", "Group"},
                                 {"~OutputSwitch", "Switch"},
                                 {"~VacuumThread", "FittingV"},
                                 {"~PressureThread", "FittingP"}};
        const TFilterLists lists(app_.VenturiQuery, tr_);
        const std::span<const TProductFilter> filters = VenturiFilters();
        int row = 3;
        for (const TRow& r : rows) {
            std::string stored;
            for (size_t i = 0; i < filters.size(); ++i)
                if (filters[i].Column == r.Column)
                    stored = FilterValueText(filters[i], VenturiFilterValue(v, i));
            Labelled(1, row++, r.Label, lists.Text(r.Column, stored));
        }
        Labelled(1, 13, "~OrderCode", v.OrderCode);
        w_.EndBlock();
    }

    // Three significant digits with the report's decimal separator; "-" for no figure.
    static std::string G3(double x) {
        if (!std::isfinite(x)) return "-";
        char buf[48];
        std::snprintf(buf, sizeof buf, "%.3g", x);
        std::string s = buf;
        std::replace(s.begin(), s.end(), '.', DecimalSeparator());
        return s;
    }
    // A sum of money with the currency.
    std::string Money(double x) const {
        const std::string text = MoneyText(x, DecimalSeparator());
        return text == "-" ? text : text + " " + setup_.Currency;
    }

    void CompressedAir() {
        const auto& a = doc_.Air;
        const TAirAccount account = app_.Air.Account();
        const TAirUse& u = account.Use;
        w_.BeginBlock(9, kMainColumns);
        Title("~CompressedAir");
        Labelled(1, 0, "~CyclesPerHour", Field(cpcCycleRate, cNU_frequency, a.CycleRate));
        Labelled(1, 1, "~HoldingTimePerCycle", Field(cpcHoldingTime, cNU_time, a.HoldingTime));
        Labelled(1, 2, "~OperatingHoursPerYear", Field(cpcOperatingTime, cNU_time, a.OperatingTime));
        Labelled(1, 3, "~AirPrice", Field(cpcAirPrice, cNU_NoUnit, a.Price) + " " + setup_.Currency);
        Labelled(1, 4, "~AirEnergy", Field(cpcAirEnergy, cNU_energy, a.Energy));
        std::string perCycle = G3(u.AirPerCycle * 1000.0) + " l  /  " + Money(u.CostPerCycle);
        if (u.Reevacuations > 0) perCycle += "  /  " + tr_("~Reevacuations") + " " + std::to_string(u.Reevacuations);
        Labelled(1, 5, "~AirPerCycle", perCycle);
        Labelled(1, 6, "~AirPerYear",
                 G3(u.AirPerYear) + " m³  /  " + G3(u.EnergyPerYear / 3.6e6) + " kWh  /  " + Money(u.CostPerYear));
        Labelled(1, 7, "~AirSavingGenerator",
                 account.SavingOrderCode.empty()
                     ? tr_("~NoneInSeries")
                     : account.SavingOrderCode + "  /  " + tr_("~SavingPerYear") + " " + G3(account.Saving.AirPerYear) +
                           " m³  /  " + Money(account.Saving.CostPerYear));
        w_.EndBlock();
    }

    void Verdict() {
        const THoldingVerdict v = app_.HoldingVerdict();
        w_.BeginBlock(4, kMainColumns);
        Title(MainPageInfo(cmpSuctionCupLoad).PageCaption);
        Labelled(1, 0, "~RequiredSafety", Field(cpcRequiredSafety, cNU_NoUnit, doc_.RequiredSafety));
        w_.Text(1, 1, VerdictLine(v, tr_, false));
        if (v.Judged && v.Cup >= 0)
            w_.Text(1, 2, tr_("~SuctionCup") + " " + std::to_string(v.Cup + 1) + "  /  " +
                              tr_(v.Transverse ? "~TransverseForce" : "~NormalForce") + "  /  " + tr_("~Time") + " " +
                              G3(v.Time) + " s");
        w_.EndBlock();
    }

    void EvacuationTime() {
        w_.BeginBlock(2, kMainColumns);
        Title("~EvacuationTime");
        // The generator model keeps −1 for a generator that cannot reach the vacuum.
        w_.Text(1, 0, FormatFixed(doc_.Venturi.Time, 18, 3, DecimalSeparator()) + " s");
        w_.EndBlock();
    }

    // Printed only when the site or the workpiece differ from sea level and tight, so that
    // the report of such a design stays as it was.
    void SiteAndLeak() {
        const TSiteConditions& site = doc_.Site;
        if (site.Standard()) return;
        w_.BeginBlock(7, kMainColumns);
        Title("~SiteAndLeak");
        Labelled(1, 0, "~SiteAltitude", Field(cpcSiteAltitude, cNU_length, site.Altitude));
        Labelled(1, 1, "~AmbientPressure", Field(cpcAmbientPressure, cNU_pressure, site.AmbientPressure()));
        constexpr std::array<std::string_view, 3> kKinds{"~LeakNone", "~LeakOrifice", "~LeakMeasured"};
        Labelled(1, 2, "~Leak", tr_(kKinds[site.Leak.Kind < kKinds.size() ? site.Leak.Kind : 0]));
        int row = 3;
        if (site.Leak.Kind == clkOrifice)
            Labelled(1, row++, "~LeakDiameter", Field(cpcLeakDiameter, cNU_length, site.Leak.Diameter));
        if (site.Leak.Kind == clkMeasured) {
            Labelled(1, row++, "~LeakFlow", Field(cpcLeakFlow, cNU_VolumePerTime, site.Leak.Flow));
            Labelled(1, row++, "~LeakVacuum", Field(cpcLeakVacuum, cNU_pressure, site.Leak.Vacuum));
        }
        const TSiteEvacuation& e = app_.Venturi.SiteResult();
        Labelled(1, row++, "~ReachableVacuum", Field("PanelReachableVacuum", cNU_pressure, e.ReachableVacuum));
        Labelled(1, row++, "~EvacuationTime",
                 e.Time < 0.0 ? tr_("~NotReached") : FormatFixed(e.Time, 18, 3, DecimalSeparator()) + " s");
        w_.EndBlock();
    }

    void Motion() {
        const auto& m = doc_.Moving;
        w_.BeginBlock(8, kMainColumns);
        Title("~Motion");
        if (doc_.MotionTabIndex() == 0) {
            Label(1, 0, "~Linear");
            const size_t d = std::min<size_t>(m.LinearDirection, kDirectionKeys.size() - 1);
            Labelled(1, 1, "~Direction", tr_(kDirectionKeys[d]));
            Labelled(1, 2, "~Travel", Field(cpcTravel, cNU_length, m.LinearTravel));
            Labelled(1, 3, "~MovingMass",
                     Field(kMovingMassPanel, cNU_mass, app_.Motion.MovingMass()));
            Labelled(2, 4, "~Holder", Field(cpcHolderMass, cNU_mass, m.LinearHolderMass));
            Labelled(2, 5, "~SuctionCups",
                     Field(kCupsMassPanel, cNU_mass, doc_.SuctionCups.TotalMass()));
            Labelled(2, 6, "~Workpiece", Field(kWorkpieceMassPanel, cNU_mass, doc_.Workpiece.Mass));
        } else {
            constexpr TNormUnit j = cNU_moment_of_inertia;
            Label(1, 0, "~Rotary");
            Labelled(1, 1, "~RotationAngle", Field(cpcRotationAngle, cNU_angle, m.CircularAngle));
            Labelled(1, 2, "~Lever", Field(cpcLever, cNU_length, m.CircularLever));
            Labelled(1, 3, "~MomentOfInertia",
                     Field(kTotalInertiaPanel, j, doc_.TotalMomentOfInertia));
            Labelled(2, 4, "~Holder", Field(cpcHolderInertia, j, m.CircularHolderMomentOfInertia));
            Labelled(2, 5, "~SuctionCups",
                     Field(kCupsInertiaPanel, j, doc_.SuctionCupsMomentOfInertia));
            Labelled(2, 6, "~Workpiece",
                     Field(kWorkpieceAxisInertiaPanel, j, app_.Motion.WorkpieceAxisInertia()));
        }
        w_.EndBlock();
    }

    // The text of the cylinder list: the row of the stored diameter.
    std::string CylinderListText(double diameter) const {
        const TCustomTable& t = app_.CylinderForce;
        const int d = t.ColByName("Diameter"), shown = t.ColByName("Diameter_mm");
        for (int row = 0; d >= 0 && shown >= 0 && row < t.Rows(); ++row)
            if (std::abs(t.AsFloat(row, d) - diameter) < 1e-9) return t.AsText(row, shown);
        return {};
    }

    void Drive() {
        const auto& drive = doc_.Drive;
        w_.BeginBlock(16, kMainColumns);
        Title("~Drive");
        const bool linear = drive.Type == cdtPneumaticLinear;
        const bool rotary = drive.Type == cdtPneumaticCircular;
        Label(1, 0, linear || rotary ? "~Pneumatical" : "~Electrical");
        if (linear) {
            const auto& p = drive.PneumaticLinear;
            const TLinearDriveResult& l = app_.Drive.Linear();
            Labelled(1, 1, "~WorkingPressure", Field(cpcLinearPressure, cNU_pressure, p.Pressure));
            if (p.AutomaticCylinderSelection) Label(1, 2, "~Load20-30Percent");
            Labelled(1, 3, "~PistonDiameter",
                     p.AutomaticCylinderSelection
                         ? Field(kCylinderDiameterPanel, cNU_length, app_.Drive.CylinderDiameter())
                         : CylinderListText(p.CylinderDiameter));
            if (p.UseQdr) {
                Labelled(1, 4, "~Cushioning", tr_("~ShockAbsorber"));
                Labelled(1, 5, "~ShockAbsorberType", p.QdrOrderCode);
                Labelled(1, 6, "~Count", Field(cpcLinearAbsorberCount, cNU_pieces, p.QdrCount));
            } else {
                Labelled(1, 4, "~Cushioning",
                         tr_(l.AdjustableCushioning ? "~CushioningVKD" : "~CushioningP"));
            }
            Labelled(1, 7, "~VelocityAt...",
                     tr_(p.CalculateSpeed ? "~CalculateValue" : "~KnownValue"));
            Labelled(2, 8, "~Travel",
                     Field(kLinearTravelPanel, cNU_length, doc_.Moving.LinearTravel));
            Labelled(2, 9, "~Time", Field(cpcLinearTime, cNU_time, p.Time));
            Labelled(2, 10, "~Maximal", Field(cpcLinearSpeed, cNU_velocity, p.Speed));
            Label(1, 11, "~AccelerationAndForce");
            Labelled(2, 12, "~SafetyFactor",
                     Field(cpcLinearSafetyFactor, cNU_NoUnit, p.SafetyFactor));
            Labelled(2, 13, "~Acceleration",
                     Field(kLinearAccelerationPanel, cNU_acceleration, l.Acceleration));
            Labelled(2, 14, "~InertiaForce",
                     Field(kLinearInertiaForcePanel, CNU_force, l.InertiaForce));
        } else if (rotary) {
            const auto& p = drive.PneumaticCircular;
            const TRotaryDriveResult& r = app_.Drive.Rotary();
            Labelled(1, 1, "~WorkingPressure", Field(cpcRotaryPressure, cNU_pressure, p.Pressure));
            Labelled(1, 2, "~CylinderType", p.OrderCode);
            if (p.UseQdr) {
                Labelled(1, 3, "~Cushioning", tr_("~ShockAbsorber"));
                Labelled(1, 4, "~ShockAbsorberType", p.QdrOrderCode);
                Labelled(1, 5, "~Count", Field(cpcRotaryAbsorberCount, cNU_pieces, p.QdrCount));
                Labelled(1, 6, "~ShockAbsorberLever",
                         Field(cpcAbsorberLever, cNU_length, app_.Drive.AbsorberRadius()));
            } else {
                Labelled(1, 3, "~Cushioning", tr_("~internal"));
            }
            Labelled(1, 7, "~VelocityAt...",
                     tr_(p.CalculateSpeed ? "~CalculateValue" : "~KnownValue"));
            Labelled(2, 8, "~RotationAngle",
                     Field(kRotaryAnglePanel, cNU_angle, doc_.Moving.CircularAngle));
            Labelled(2, 9, "~Time", Field(cpcRotaryTime, cNU_time, p.Time));
            Labelled(2, 10, "~Maximal",
                     Field(cpcRotarySpeed, cNU_angular_velocity, p.AngularSpeed));
            Label(1, 11, "~AccelerationAndForce");
            Labelled(2, 12, "~SafetyFactor",
                     Field(cpcRotarySafetyFactor, cNU_NoUnit, p.SafetyFactor));
            Labelled(2, 13, "~Acceleration",
                     Field(kRotaryAccelerationPanel, cNU_acceleration, r.Acceleration));
            Labelled(2, 14, "~InertiaForce",
                     Field(kRotaryInertiaForcePanel, CNU_force, r.InertiaForce));
        }
        w_.EndBlock();
    }

    TVacuumApplication& app_;
    TMyProject& doc_;
    const TReportSetup& setup_;
    TTranslateFunc tr_;
    TReportWriter w_;
};

} // namespace

std::string ReportDefaultFieldText(const TReportValue& value, std::string_view measure) {
    const bool si = SIUnitsOfMeasure(measure);
    const TNormUnit q =
        static_cast<unsigned>(value.Quantity) < static_cast<unsigned>(cNormUnitCount)
            ? value.Quantity
            : cNU_NoUnit;
    return QuantityText(value.Value, DefaultUnit(q, si));
}

TReportLayout LayoutReport(TVacuumApplication& app, const TReportSetup& setup) {
    return TReportContent(app, setup).Run();
}

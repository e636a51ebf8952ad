#include "core/workflow/page_fields.h"

#include "core/calc/cup_layout.h"
#include "core/calc/workpiece.h"
#include "core/document/my_project.h"
#include "core/quantities/float_converter.h"
#include "core/workflow/air_model.h"
#include "core/workflow/page_workflow.h"
#include "core/workflow/suction_cup_model.h"
#include "core/workflow/workpiece_model.h"

#include <limits>
#include <numbers>

namespace {

constexpr double kOpen = std::numeric_limits<double>::infinity();
constexpr double kBar = 100000.0;

constexpr double kTravelMax = 5.0;           // m
constexpr double kHolderMassMax = 1000.0;    // kg
constexpr double kLeverMax = 10.0;           // m
constexpr double kHolderInertiaMax = 1000.0; // kg m²
constexpr double kTravelTimeMin = 0.001;     // s
constexpr double kTravelTimeMax = 1000.0;    // s
constexpr double kLinearSpeedMin = 0.005;    // m/s
constexpr double kLinearSpeedMax = 10.0;     // m/s
constexpr double kDrivePressureMax = 12 * kBar;
constexpr double kAbsorberCountMax = 100.0;
constexpr double kSafetyFactorMin = 1.0;
constexpr double kSafetyFactorMax = 100.0;
constexpr double kAbsorberLeverMax = 10.0; // m
constexpr double kDistanceMax = 1.0;       // grid length, m; grid angle, rad
constexpr double kGridMin = 0.001;
constexpr double kTubeLengthMax = 100.0; // m
constexpr double kVenturiCountMax = 100.0;
constexpr double kVenturiPressureMin = 3 * kBar;
constexpr double kVenturiPressureMax = 7 * kBar;
constexpr double kRequiredVacuumMin = -0.95 * kBar;
constexpr double kLeakDiameterMax = 0.01;          // m
constexpr double kLeakFlowMax = 1000.0e-3 / 60.0;  // 1000 l/min in m³/s
constexpr double kLeakVacuumMax = -0.001 * kBar;   // a measurement needs some vacuum

bool Rotary(TDriveType type) {
    return type == cdtPneumaticCircular || type == cdtNCCircular;
}

void Workpiece(const TMyProject& d, std::vector<TPageField>& f) {
    const TMyProject::TWorkpiece& w = d.Workpiece;
    const TWorkpieceFieldState shown = WorkpieceFieldState(w.Shape, w.MassKnown, false);
    const double l = cWorkpieceLengthMax;
    if (shown.LengthXVisible)
        f.push_back({"~Length(X)", cpcLengthX, cNU_length, 0.0, l, w.LengthX});
    if (shown.LengthYVisible)
        f.push_back({"~Width(Y)", cpcLengthY, cNU_length, 0.0, l, w.LengthY});
    if (shown.LengthZVisible)
        f.push_back({"~Height(Z)", cpcLengthZ, cNU_length, 0.0, l, w.LengthZ});
    if (shown.OuterDiameterVisible)
        f.push_back({"~Diameter", cpcOuterDiameter, cNU_length, 0.0, l, w.OuterDiameter});
    if (shown.InnerDiameterVisible)
        f.push_back({"~InsideDiameter", cpcInnerDiameter, cNU_length, 0.0, l, w.InnerDiameter});
    if (shown.VolumeVisible)
        f.push_back(
            {"~Volume", cpcVolume, cNU_volume, 0.0, cWorkpieceVolumeMax, w.Volume});
    if (shown.DensityVisible)
        f.push_back({"~Density", cpcDensity, cNU_density, 0.0, cWorkpieceDensityMax,
                     w.Density});
    f.push_back({"~Mass", cpcMass, cNU_mass, 0.0, kOpen, w.Mass});
    f.push_back({"~FrictionCoefficient", cpcFriction, cNU_NoUnit, 0.0, cWorkpieceFrictionMax,
                 d.Friction});
    // The centre-of-gravity dialog of the page holds these too.
    const double c = cWorkpieceMassCenterLimit;
    const std::string_view key = "~CenterOfGravityAnd...";
    f.push_back({key, cpcMassCenterX, cNU_length, -c, c, w.MassCenter.X});
    f.push_back({key, cpcMassCenterY, cNU_length, -c, c, w.MassCenter.Y});
    f.push_back({key, cpcMassCenterZ, cNU_length, -c, c, w.MassCenter.Z});
    // The moment is entered only where the dialog lets it be; elsewhere it is computed
    // from the fields above.
    if (w.Shape <= cwsVolumeKnown && !w.WorstCase)
        f.push_back(
            {key, cpcMomentOfInertiaZ, cNU_moment_of_inertia, 0.0, kOpen, w.MomentOfInertiaZ});
}

void Positioning(const TMyProject& d, std::vector<TPageField>& f) {
    const TSaugerList& cups = d.SuctionCups;
    const TStrategyFields shown = TSuctionCupModel::StrategyFields(cups.StrategyType());
    const double n = cSaugerCountMax;
    if (!shown.Count1.empty())
        f.push_back({shown.Count1, cpcCount1, cNU_pieces, cSaugerCountMin, n,
                     double(cups.CountX())});
    if (!shown.Count2.empty())
        f.push_back({shown.Count2, cpcCount2, cNU_pieces, cSaugerCountMin, n,
                     double(cups.CountY())});
    if (!shown.Angle.empty())
        f.push_back({shown.Angle, cpcStrategyAngle, cNU_angle, 0.0, 0.0, cups.StrategyAngle()});
    if (shown.GridPageVisible) {
        f.push_back(
            {"~Lock", cpcGridLength, cNU_length, kGridMin, kDistanceMax, cups.GridLength()});
        f.push_back(
            {"~Lock", cpcGridAngle, cNU_angle, kGridMin, kDistanceMax, cups.GridAngle()});
    }
}

void Tube(const TMyProject& d, std::vector<TPageField>& f) {
    // Both lengths are shown, the one of the current mode first: it is the one to correct.
    const TPageField single{"~TubeLenghtPerSuctionCup",
                            cpcSingleTubeLength,
                            cNU_length,
                            0.0,
                            kTubeLengthMax,
                            d.SingleTubeLength()};
    const TPageField total{"~TotalTubeLength", cpcTotalTubeLength,
                           cNU_length,         0.0,
                           kTubeLengthMax,     d.Tube.Length};
    f.push_back(d.Tube.TotalLength ? total : single);
    f.push_back(d.Tube.TotalLength ? single : total);
}

void Venturi(const TMyProject& d, std::vector<TPageField>& f) {
    const TMyProject::TVenturi& v = d.Venturi;
    f.push_back(
        {"~Count", cpcVenturiCount, cNU_pieces, 1.0, kVenturiCountMax, double(v.Count)});
    f.push_back({"~WorkingPressure", cpcVenturiPressure, cNU_pressure, kVenturiPressureMin,
                 kVenturiPressureMax, v.Pressure});
    // Only the lower end is the field's; a vacuum at or above ambient is refused by the
    // page's own check.
    f.push_back(
        {"~Vacuum", cpcRequiredVacuum, cNU_pressure, kRequiredVacuumMin, kOpen, v.Vacuum});
    // The production cycle and the price of air.
    const TMyProject::TAir& a = d.Air;
    f.push_back({"~CyclesPerHour", cpcCycleRate, cNU_frequency, 0.0, TAirModel::cCycleRateMax, a.CycleRate});
    f.push_back({"~HoldingTimePerCycle", cpcHoldingTime, cNU_time, 0.0, TAirModel::cHoldingTimeMax, a.HoldingTime});
    f.push_back({"~OperatingHoursPerYear", cpcOperatingTime, cNU_time, 0.0, TAirModel::cOperatingTimeMax,
                 a.OperatingTime});
    f.push_back({"~AirPrice", cpcAirPrice, cNU_NoUnit, 0.0, TAirModel::cPriceMax, a.Price});
    f.push_back({"~AirEnergy", cpcAirEnergy, cNU_energy, 0.0, TAirModel::cEnergyMax, a.Energy});
    // The site: one stored altitude, shown also as its ambient pressure.
    const TSiteConditions& site = d.Site;
    f.push_back({"~SiteAltitude", cpcSiteAltitude, cNU_length, 0.0, cMaxSiteAltitude, site.Altitude});
    f.push_back({"~AmbientPressure", cpcAmbientPressure, cNU_pressure, StandardAtmospherePressure(cMaxSiteAltitude),
                 cStandardPressure, site.AmbientPressure()});
    if (site.Leak.Kind == clkOrifice)
        f.push_back({"~LeakDiameter", cpcLeakDiameter, cNU_length, 0.0, kLeakDiameterMax, site.Leak.Diameter});
    if (site.Leak.Kind == clkMeasured) {
        f.push_back({"~LeakFlow", cpcLeakFlow, cNU_VolumePerTime, 0.0, kLeakFlowMax, site.Leak.Flow});
        f.push_back({"~LeakVacuum", cpcLeakVacuum, cNU_pressure, kRequiredVacuumMin, kLeakVacuumMax,
                     site.Leak.Vacuum});
    }
}

void SuctionCupLoad(const TMyProject& d, std::vector<TPageField>& f) {
    f.push_back({"~RequiredSafety", cpcRequiredSafety, cNU_NoUnit, TAirModel::cSafetyMin, TAirModel::cSafetyMax,
                 d.RequiredSafety});
}

void Motion(const TMyProject& d, std::vector<TPageField>& f) {
    const TMyProject::TMoving& m = d.Moving;
    const TMyProject::TDrive& drive = d.Drive;
    if (Rotary(drive.Type)) {
        f.push_back({"~RotationAngle", cpcRotationAngle, cNU_angle, 0.0, 2.0 * std::numbers::pi,
                     m.CircularAngle});
        f.push_back(
            {"~Lever", cpcLever, cNU_length, 0.0, kLeverMax, m.CircularLever});
        f.push_back({"~MomentOfInertia", cpcHolderInertia, cNU_moment_of_inertia, 0.0,
                     kHolderInertiaMax, m.CircularHolderMomentOfInertia});
    } else {
        f.push_back({"~Travel", cpcTravel, cNU_length, 0.0, kTravelMax, m.LinearTravel});
        f.push_back(
            {"~Mass", cpcHolderMass, cNU_mass, 0.0, kHolderMassMax, m.LinearHolderMass});
    }
}

void Drive(const TMyProject& d, double absorberLever, std::vector<TPageField>& f) {
    const TMyProject::TDrive& drive = d.Drive;
    if (drive.Type == cdtPneumaticLinear) {
        const TMyProject::TPneumaticLinear& p = drive.PneumaticLinear;
        f.push_back({"~WorkingPressure", cpcLinearPressure, cNU_pressure, 0.0,
                     kDrivePressureMax, p.Pressure});
        // The travel time and the top speed of the stroke are entered with the drive.
        f.push_back({"~Time", cpcLinearTime, cNU_time, kTravelTimeMin, kTravelTimeMax, p.Time});
        f.push_back({"~VelocityAt...", cpcLinearSpeed, cNU_velocity, kLinearSpeedMin,
                     kLinearSpeedMax, p.Speed});
        if (p.UseQdr)
            f.push_back({"~Quantity", cpcLinearAbsorberCount, cNU_pieces, 1.0, kAbsorberCountMax,
                         double(p.QdrCount)});
        f.push_back({"~SafetyFactor", cpcLinearSafetyFactor, cNU_NoUnit, kSafetyFactorMin,
                     kSafetyFactorMax, p.SafetyFactor});
    } else if (drive.Type == cdtPneumaticCircular) {
        const TMyProject::TPneumaticCircular& p = drive.PneumaticCircular;
        f.push_back({"~WorkingPressure", cpcRotaryPressure, cNU_pressure, 0.0,
                     kDrivePressureMax, p.Pressure});
        f.push_back({"~Time", cpcRotaryTime, cNU_time, kTravelTimeMin, kTravelTimeMax, p.Time});
        // The view sets this field's range; finite is all the document can demand.
        f.push_back(
            {"~VelocityAt...", cpcRotarySpeed, cNU_angular_velocity, 0.0, 0.0, p.AngularSpeed});
        if (p.UseQdr) {
            f.push_back({"~Quantity", cpcRotaryAbsorberCount, cNU_pieces, 1.0, kAbsorberCountMax,
                         double(p.QdrCount)});
            f.push_back({"~ShockAbsorberLever", cpcAbsorberLever, cNU_length, 0.0,
                         kAbsorberLeverMax, absorberLever});
        }
        f.push_back({"~SafetyFactor", cpcRotarySafetyFactor, cNU_NoUnit, kSafetyFactorMin,
                     kSafetyFactorMax, p.SafetyFactor});
    }
}

TPageCheckFailure Failure(std::string_view caption, std::string_view control) {
    return {std::string(caption), std::string(control)};
}

} // namespace

std::vector<TPageField> PageFields(const TMyProject& document, int page, double absorberLever) {
    std::vector<TPageField> fields;
    switch (page) {
    case cmpWorkpiece:
        Workpiece(document, fields);
        break;
    case cmpPositioning:
        Positioning(document, fields);
        break;
    case cmpTube:
        Tube(document, fields);
        break;
    case cmpVenturi:
        Venturi(document, fields);
        break;
    case cmpMotion:
        Motion(document, fields);
        break;
    case cmpDrive:
        Drive(document, absorberLever, fields);
        break;
    case cmpSuctionCupLoad:
        SuctionCupLoad(document, fields);
        break;
    default:
        break;
    }
    return fields;
}

bool PageFieldValid(const TPageField& field) {
    // The field's own rule decides, so a loaded value is judged as a typed one.
    TFMU2Model model;
    model.BeginLoad();
    model.SetNormUnit(field.Quantity);
    model.SetValueMin(field.Min);
    model.SetValueMax(field.Max);
    return model.Accepts(model.Clamp(field.Value));
}

TPageCheckResult CheckPageFields(const TMyProject& document, int page, double absorberLever) {
    const std::vector<TPageField> fields = PageFields(document, page, absorberLever);
    for (const TPageField& field : fields)
        if (!PageFieldValid(field)) return Failure(field.Caption, field.Control);
    if (page == cmpPositioning) {
        // A list read from a file can hold more cups than the count fields could ever make.
        const TSaugerList& cups = document.SuctionCups;
        int count1 = cups.CountX(), count2 = cups.CountY();
        NormalizeStrategyCounts(cups.StrategyType(), count1, count2);
        const long long admitted = static_cast<long long>(count1) * count2;
        if (cups.Count() < 1 || cups.Count() > admitted) {
            const TPageField* first = fields.empty() ? nullptr : &fields.front();
            if (first && first->Quantity == cNU_pieces)
                return Failure(first->Caption, first->Control);
            return Failure("~Count", cpcCount1);
        }
    }
    return std::nullopt;
}

#include "core/document/my_project.h"

#include "core/document/project_view.h"
#include "core/quantities/units.h"

#include <numbers>

namespace {

// Sections in the order they are reset and shown. "Drive.NC.linear" and
// "Drive.NC.circular" are spelt in lower case, unlike the keys of the two profiles.
constexpr std::string_view kDefaultSections[] = {"SuctionCups.Conditions",
                                                 "Tube.Conditions",
                                                 "Venturi.Conditions",
                                                 "Moving",
                                                 "Moving.Linear",
                                                 "Moving.Circular",
                                                 "Drive",
                                                 "Drive.Pneumatic",
                                                 "Drive.NC",
                                                 "Drive.NC.linear",
                                                 "Drive.NC.circular"};

constexpr std::string_view kScreenSections[] = {"Workpiece",
                                                "Friction",
                                                "SuctionCups",
                                                "SuctionCups.Selection",
                                                "SuctionCups.Grid",
                                                "SuctionCups.Strategy",
                                                "Tube",
                                                "Tube.Selection",
                                                "Venturi.Conditions",
                                                "Venturi.Selection",
                                                "Moving",
                                                "Moving.Linear",
                                                "Moving.Circular",
                                                "Drive",
                                                "Drive.Pneumatic",
                                                "Drive.Pneumatic.Linear",
                                                "Drive.Pneumatic.Circular"};

constexpr double kSixBar = 600000.0;

size_t CodePoints(std::string_view s) {
    size_t n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// The last `n` code points of s.
std::string LastCodePoints(std::string_view s, size_t n) {
    size_t count = 0;
    size_t i = s.size();
    while (i > 0 && count < n) {
        --i;
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) ++count;
    }
    return std::string(s.substr(i));
}

} // namespace

std::string ShortenPath(const std::string& path, size_t maxChars) {
    if (CodePoints(path) <= maxChars) return path;
    const std::string_view dots = "...";
    if (maxChars <= dots.size()) return LastCodePoints(path, maxChars);
    for (size_t sep = path.find_first_of("/\\", 1); sep != std::string::npos;
         sep = path.find_first_of("/\\", sep + 1)) {
        const std::string_view rest = std::string_view(path).substr(sep);
        if (dots.size() + CodePoints(rest) <= maxChars)
            return std::string(dots) + std::string(rest);
    }
    return std::string(dots) + LastCodePoints(path, maxChars - dots.size());
}

TMyProject::TMyProject() {
    FProject.OnRegisterItems = [this](TProject&) { RegisterItems(); };
    FProject.OnSetDefaultValues = [this](TProject&, const std::string& names) {
        SetSectionDefaults(names);
    };
    FProject.OnUpdateScreen = [this](TProject&, const std::string& names) { ShowSection(names); };
    FProject.OnUpdateProgressBar = [this](TProject&, int percent) {
        if (FView) FView->ShowProgress(*this, percent);
    };
}

void TMyProject::RegisterItems() {
    TProject& p = FProject;
    p.AddText(ProjectInfo.Author, 255, "Project.Author");
    p.AddText(ProjectInfo.Description[0], 255, "Project.Description[0]");
    p.AddText(ProjectInfo.Description[1], 255, "Project.Description[1]");
    p.AddText(ProjectInfo.No, 255, "Project.No");
    p.AddText(Customer.No, 255, "Customer.No");
    p.AddText(Customer.Phone, 255, "Customer.Phone");
    p.AddText(Customer.Fax, 255, "Customer.Fax");
    p.AddStrings(Customer.Address, "Customer.Address");
    p.AddStrings(Remarks, "Remarks");

    p.AddEnum(Workpiece.Shape, cwsBar, "Workpiece.Shape", cWorkpieceShapeNames);
    p.AddFloat(Workpiece.LengthX, "Workpiece.Length.x", 0.0);
    p.AddFloat(Workpiece.LengthY, "Workpiece.Length.y", 0.0);
    p.AddFloat(Workpiece.LengthZ, "Workpiece.Length.z", 0.0);
    p.AddFloat(Workpiece.OuterDiameter, "Workpiece.OuterDiameter", 0.0);
    p.AddFloat(Workpiece.InnerDiameter, "Workpiece.InnerDiameter", 0.0);
    p.AddFloat(Workpiece.Volume, "Workpiece.Volume", 0.0);
    p.AddText(Workpiece.Material, 80, "Workpiece.Material");
    p.AddFloat(Workpiece.Density, "Workpiece.Density", 7800.0);
    p.AddFloat(Workpiece.Mass, "Workpiece.Mass", 0.0);
    p.AddVector(Workpiece.MassCenter, VektorZero, "Workpiece.MassCenter");
    p.AddBoolean(Workpiece.WorstCase, true, "Workpiece.WorstCase");
    p.AddBoolean(Workpiece.MassKnown, false, "Workpiece.MassKnown");
    p.AddFloat(Workpiece.MomentOfInertiaX, "Workpiece.MomentOfInertia.x", 0.0);
    p.AddFloat(Workpiece.MomentOfInertiaY, "Workpiece.MomentOfInertia.y", 0.0);
    p.AddFloat(Workpiece.MomentOfInertiaZ, "Workpiece.MomentOfInertia.z", 0.0);
    p.AddFloat(Friction, "Friction", 0.5);

    p.AddList(SuctionCups, "SuctionCups");
    TSuctionCupSelection& s = SuctionCupSelection;
    p.AddEnum(s.StrokeCompensation, 0, "SuctionCups.Selection.StrokeCompensation",
              cStrokeCompensationNames);
    p.AddEnum(s.AirConnector, 0, "SuctionCups.Selection.AirConnector", cAirConnectorNames);
    p.AddEnum(s.HolderType, 0, "SuctionCups.Selection.HolderType", cHolderTypeNames);
    p.AddEnum(s.Material, 0, "SuctionCups.Selection.Material", cSuctionCupMaterialNames);
    p.AddEnum(s.Shape, 0, "SuctionCups.Selection.Shape", cSuctionCupShapeNames);
    p.AddEnum(s.Size, 0, "SuctionCups.Selection.Size", cSuctionCupSizeNames);
    p.AddEnum(s.Group, 0, "SuctionCups.Selection.Group", cSuctionCupGroupNames);
    p.AddBoolean(s.Filter, false, "SuctionCups.Selection.Filter");
    p.AddBoolean(s.AngleCompensation, false, "SuctionCups.Selection.AngleCompensation");
    p.AddText(SuctionCupsOrderCode, 30, "SuctionCups.OrderCode");

    p.AddText(Tube.OrderCode, 30, "Tube.OrderCode");
    p.AddFloat(Tube.Length, "Tube.Length", 0.25);
    p.AddBoolean(Tube.TotalLength, false, "Tube.TotalLength");
    p.AddEnum(Tube.SelectionColor, 0, "Tube.Selection.Color", cTubeColorNames);
    p.AddBoolean(Tube.SelectionFood, false, "Tube.Selection.Food");

    TVenturi& v = Venturi;
    p.AddInteger(v.Count, 1, "Venturi.Conditions.Count");
    p.AddFloat(v.Pressure, "Venturi.Conditions.Pressure", kSixBar);
    p.AddFloat(v.Vacuum, "Venturi.Conditions.Vacuum", 0.0);
    p.AddFloat(v.TimeMax, "Venturi.Conditions.TimeMax", 10.0);
    p.AddEnum(v.SelectionGroup, 0, "Venturi.Selection.Group", cVenturiGroupNames);
    p.AddEnum(v.SelectionGewP, 0, "Venturi.Selection.GewP", cVenturiThreadNames);
    p.AddEnum(v.SelectionGewV, 0, "Venturi.Selection.GewV", cVenturiThreadNames);
    p.AddEnum(v.SelectionSwitch, 0, "Venturi.Selection.Switch", cVenturiSwitchNames);
    p.AddBoolean(v.SelectionSaveAir, false, "Venturi.Selection.SaveAir");
    p.AddBoolean(v.SelectionSilencer, false, "Venturi.Selection.Silencer");
    p.AddBoolean(v.SelectionMagneticValve, false, "Venturi.Selection.MagneticValve");
    p.AddBoolean(v.SelectionEjectorPulse, false, "Venturi.Selection.EjectorPulse");
    p.AddBoolean(v.SelectionNonReturnValve, false, "Venturi.Selection.NonReturnValve");
    p.AddBoolean(v.SelectionFilter, false, "Venturi.Selection.Filter");
    p.AddText(v.OrderCode, 30, "Venturi.OrderCode");
    p.AddFloat(v.Time, "Venturi.Time", 0.0);

    p.AddEnum(Moving.LinearDirection, cldVerticalUp, "Moving.Linear.Direction",
              cLinearDirectionNames);
    p.AddFloat(Moving.LinearTravel, "Moving.Linear.Travel", 0.0);
    p.AddFloat(Moving.LinearHolderMass, "Moving.Linear.HolderMass", 0.0);
    p.AddFloat(Moving.CircularLever, "Moving.Circular.Lever", 0.25);
    p.AddFloat(Moving.CircularAngle, "Moving.Circular.Angle", std::numbers::pi);
    p.AddFloat(Moving.CircularHolderMomentOfInertia, "Moving.Circular.HolderMomentOfInertia", 0.0);

    p.AddEnum(Drive.Type, cdtPneumaticLinear, "Drive.Type", cDriveTypeNames);
    TPneumaticLinear& l = Drive.PneumaticLinear;
    p.AddFloat(l.Pressure, "Drive.Pneumatic.Linear.Pressure", kSixBar);
    p.AddFloat(l.CylinderDiameter, "Drive.Pneumatic.Linear.CylinderDiameter", 0.006);
    p.AddBoolean(l.UseQdr, false, "Drive.Pneumatic.Linear.UseQdr");
    p.AddInteger(l.QdrCount, 1, "Drive.Pneumatic.Linear.Qdr.Count");
    p.AddText(l.QdrOrderCode, 30, "Drive.Pneumatic.Linear.Qdr.OrderCode");
    p.AddBoolean(l.AutomaticCylinderSelection, false,
                 "Drive.Pneumatic.Linear.AutomaticCylinderSelection");
    p.AddFloat(l.Speed, "Drive.Pneumatic.Linear.Speed", 1.0);
    p.AddFloat(l.Time, "Drive.Pneumatic.Linear.Time", 1.0);
    p.AddFloat(l.SafetyFactor, "Drive.Pneumatic.Linear.SafetyFactor", 2.0);
    p.AddBoolean(l.CalculateSpeed, true, "Drive.Pneumatic.Linear.CalculateSpeed");
    TPneumaticCircular& c = Drive.PneumaticCircular;
    p.AddFloat(c.Pressure, "Drive.Pneumatic.Circular.Pressure", kSixBar);
    p.AddText(c.OrderCode, 30, "Drive.Pneumatic.Circular.OrderCode");
    p.AddBoolean(c.UseQdr, false, "Drive.Pneumatic.Circular.UseQdr");
    p.AddInteger(c.QdrCount, 1, "Drive.Pneumatic.Circular.Qdr.Count");
    p.AddText(c.QdrOrderCode, 30, "Drive.Pneumatic.Circular.Qdr.OrderCode");
    p.AddFloat(c.AngularSpeed, "Drive.Pneumatic.Circular.AngularSpeed", 1.0);
    p.AddFloat(c.Time, "Drive.Pneumatic.Circular.Time", 1.0);
    p.AddFloat(c.SafetyFactor, "Drive.Pneumatic.Circular.SafetyFactor", 2.0);
    p.AddBoolean(c.CalculateSpeed, true, "Drive.Pneumatic.Circular.CalculateSpeed");
    p.AddObject(Drive.NCLinearMove, "Drive.NC.Linear.Move");
    p.AddObject(Drive.NCCircularMove, "Drive.NC.Circular.Move");

    // Written since projects exist without them: a file that lacks them keeps these.
    // 180 cycles an hour (0.05 per second, exact in a project file), held 2 s each, 4000
    // hours a year; 0.02 and 0.11 kWh per standard cubic metre of air.
    p.AddFloatKeepingDefault(Air.CycleRate, "Air.CycleRate", 0.05);
    p.AddFloatKeepingDefault(Air.HoldingTime, "Air.HoldingTime", 2.0);
    p.AddFloatKeepingDefault(Air.OperatingTime, "Air.OperatingTime", 4000.0 * 3600.0);
    p.AddFloatKeepingDefault(Air.Price, "Air.Price", 0.02);
    p.AddFloatKeepingDefault(Air.Energy, "Air.Energy", 0.11 * 3.6e6);
    p.AddFloatKeepingDefault(RequiredSafety, "Loads.SafetyFactor", 2.0);
    p.AddObject(Site, "Site");
}

void TMyProject::SetSectionDefaults(const std::string& prefix) {
    for (std::string_view section : kDefaultSections) {
        if (!section.starts_with(prefix)) continue;
        if (section == "SuctionCups.Conditions") {
            SuctionCupConditions.fill(1.0);
        } else if (section == "Venturi.Conditions") {
            Venturi.Vacuum = ToBaseUnit(cUM_bar, -0.7);
        } else if (section == "Moving") {
            for (auto& block : MotionResults) block.fill(0.0);
        } else if (section == "Moving.Linear") {
            LinearDirectionVector = VektorPlusZ;
        } else if (section == "Moving.Circular") {
            SuctionCupsMomentOfInertia = 0.0;
            WorkpieceAxisMomentOfInertia = 0.0;
            TotalMomentOfInertia = 0.0;
        } else if (section == "Drive.NC.linear") {
            Drive.NCLinearMove.SetVmax(0.625);
        } else if (section == "Drive.NC.circular") {
            TMovement& m = Drive.NCCircularMove;
            m.SetJerk(ToBaseUnit(cUM_deg_s3, 10.0));
            m.SetAccPos(ToBaseUnit(cUM_deg_s2, 10.0));
            m.SetAccNeg(ToBaseUnit(cUM_deg_s2, -10.0));
            m.SetVmax(ToBaseUnit(cUM_deg_s, 30.0));
        }
    }
}

void TMyProject::ShowSection(const std::string& prefix) {
    if (FView) FView->ShowProjectName(*this, ProjectDisplayName());
    for (std::string_view section : kScreenSections) {
        if (!section.starts_with(prefix)) continue;
        if (section == "Moving.Linear") {
            LinearDirectionVector = DirectionVector(Moving.LinearDirection);
        } else if (section == "Moving.Circular") {
            WorkpieceAxisMomentOfInertia = WorkpieceLeverInertia() + Workpiece.MomentOfInertiaZ;
            TotalMomentOfInertia = Moving.CircularHolderMomentOfInertia +
                                   SuctionCupsMomentOfInertia + WorkpieceAxisMomentOfInertia;
        }
        if (FView) FView->ShowSection(*this, std::string(section));
    }
}

void TMyProject::UpdateDerivedInertia() {
    if (DisclaimerPending || FProject.Busy()) return;
    const double lever = Moving.CircularLever;
    SuctionCupsMomentOfInertia =
        lever * lever * SuctionCups.TotalMass() + SuctionCups.MomentOfInertiaZ();
    EvacuatedVolume = SuctionCups.TotalVolume() + TubeVolume;
    if (FView) FView->ShowDerivedInertia(*this);
}

std::string TMyProject::ProjectDisplayName() const {
    const std::string& name = FProject.FileName();
    return ShortenPath(name.empty() ? std::string("[untitled]") : name, cDisplayNameLength);
}

double TMyProject::SingleTubeLength() const {
    const int n = SuctionCups.Count();
    return n > 0 ? Tube.Length / n : Tube.Length;
}

int TMyProject::MotionTabIndex() const {
    return Drive.Type == cdtPneumaticCircular || Drive.Type == cdtNCCircular ? 1 : 0;
}

int TMyProject::DriveTabIndex() const {
    return Drive.Type == cdtNCLinear || Drive.Type == cdtNCCircular ? 1 : 0;
}

double TMyProject::WorkpieceLeverInertia() const {
    return Moving.CircularLever * Moving.CircularLever * Workpiece.Mass;
}

TVektor TMyProject::DirectionVector(TLinearDirection direction) {
    switch (direction) {
    case cldHorizontalX:
        return VektorPlusX;
    case cldHorizontalY:
        return VektorPlusY;
    case cldVerticalUp:
        return VektorPlusZ;
    case cldVerticalDown:
        return VektorMinusZ;
    }
    return VektorPlusZ;
}

#include "cli/design.h"

#include "cli/report.h"
#include "core/data/order_export.h"
#include "core/data/shop_page.h"
#include "core/quantities/my_project_types.h"
#include "core/workflow/motion_model.h"
#include "core/workflow/page_workflow.h"
#include "core/workflow/vacuum_application.h"

#include <cmath>

namespace {

// Slider positions at which the per-cup loads are reported.
constexpr int kSliderPositions[] = {0, 250, 500, 750, 1000};

std::string_view DriveTypeName(TDriveType t) { return cDriveTypeNames[static_cast<size_t>(t) & 3]; }

void Workpiece(TVacuumApplication& app, TReportNode& r) {
    const auto& w = app.Document.Workpiece;
    TReportNode& n = r.Object("workpiece");
    n.Text("shape", cWorkpieceShapeNames[static_cast<size_t>(w.Shape) % cWorkpieceShapeNames.size()]);
    n.Number("volume_m3", w.Volume);
    n.Number("density_kg_m3", w.Density);
    n.Number("mass_kg", w.Mass);
    n.Numbers("inertia_kg_m2", {w.MomentOfInertiaX, w.MomentOfInertiaY, w.MomentOfInertiaZ});
    n.Number("grip_size_m", app.Workpiece.GripSize());
}

void SuctionCups(TVacuumApplication& app, TReportNode& r) {
    const TSaugerList& cups = app.Cups.Cups();
    TReportNode& n = r.Object("suction_cups");
    n.Text("order_code", app.Document.SuctionCupsOrderCode);
    n.Number("count", cups.Count());
    n.Number("admitted_diameter_m", cups.MaxDiameter());
    n.Number("max_diameter_m", app.Cups.MaxCupDiameter());
    n.Number("volume_m3", app.Cups.TotalCupVolume());
    TReportNode& positions = n.Array("positions_m");
    for (int i = 0; i < cups.Count(); ++i) {
        const TVektor& p = cups.Sauger(i)->Pos;
        positions.Numbers({}, {p.X, p.Y, p.Z});
    }
    TReportNode& misplaced = n.Array("misplaced");
    for (int i = 0; i < cups.Count(); ++i) misplaced.Number({}, cups.Sauger(i)->Misplaced ? 1 : 0);
}

void Tube(TVacuumApplication& app, TReportNode& r) {
    TReportNode& n = r.Object("tube");
    n.Text("order_code", app.Document.Tube.OrderCode);
    n.Number("diameter_m", app.Tube.TubeDiameter());
    n.Number("length_m", app.Tube.Lengths().Total);
    n.Number("volume_m3", app.Tube.TubeVolume());
}

void Venturi(TVacuumApplication& app, TReportNode& r) {
    const auto& v = app.Document.Venturi;
    const TOperatingValues& op = app.Venturi.OperatingPoint();
    TReportNode& n = r.Object("vacuum_generator");
    n.Text("order_code", v.OrderCode);
    n.Number("count", v.Count);
    n.Number("pressure_Pa", v.Pressure);
    n.Number("required_vacuum_Pa", v.Vacuum);
    n.Number("evacuated_volume_m3", app.Document.EvacuatedVolume);
    n.Number("evacuation_time_s", v.Time);
    n.Number("vacuum_Pa", op.Vacuum);
    n.Number("air_consumption_l_min", op.AirConsumption);
    n.Number("suction_capacity_l_min", op.SuctionCapacity);
    n.Number("sound_pressure_level_dBA", op.SoundPressureLevel);
}

// Where the gripper works and how the workpiece leaks, and what the chosen generator
// reaches there. The generator's time and the grid already include them.
void Site(TVacuumApplication& app, TReportNode& r) {
    const TSiteConditions& s = app.Document.Site;
    TReportNode& n = r.Object("site");
    n.Number("altitude_m", s.Altitude);
    n.Number("ambient_pressure_Pa", s.AmbientPressure());
    TReportNode& leak = n.Object("leak");
    leak.Text("kind", cLeakKindNames[s.Leak.Kind < cLeakKindNames.size() ? s.Leak.Kind : 0]);
    if (s.Leak.Kind == clkOrifice) leak.Number("orifice_diameter_m", s.Leak.Diameter);
    if (s.Leak.Kind == clkMeasured) {
        leak.Number("flow_m3_s", s.Leak.Flow);
        leak.Number("measured_at_vacuum_Pa", s.Leak.Vacuum);
    }
    if (s.Leak.Kind != clkNone)
        leak.Number("flow_at_required_vacuum_m3_s",
                    LeakFlowAtVacuum(s.Leak, app.Document.Venturi.Vacuum, s.AmbientPressure()));
    const TSiteEvacuation& e = app.Venturi.SiteResult();
    n.Number("reachable_vacuum_Pa", e.ReachableVacuum);
    n.Bool("required_vacuum_reached", e.Time >= 0.0);
    n.Number("evacuation_time_s", e.Time);
}

void Profile(TReportNode& n, const TMovement& m) {
    n.Number("jerk", m.Jerk());
    n.Number("acceleration", m.AccPos());
    n.Number("deceleration", m.AccNeg());
    n.Number("max_speed", m.EffVmax());
    n.Number("time_s", m.EndTime());
    n.Bool("reached", m.ProfileReached());
}

void Motion(TVacuumApplication& app, TReportNode& r) {
    const TMyProject& d = app.Document;
    TReportNode& n = r.Object("motion");
    n.Text("drive_type", DriveTypeName(d.Drive.Type));
    n.Number("moving_mass_kg", app.Motion.MovingMass());
    const bool rotary = d.Drive.Type == cdtPneumaticCircular || d.Drive.Type == cdtNCCircular;
    if (rotary) {
        n.Number("angle_rad", d.Moving.CircularAngle);
        n.Number("lever_m", d.Moving.CircularLever);
        n.Number("moment_of_inertia_kg_m2", d.TotalMomentOfInertia);
    } else {
        n.Text("direction", cLinearDirectionNames[static_cast<size_t>(d.Moving.LinearDirection) & 3]);
        n.Number("travel_m", d.Moving.LinearTravel);
    }
    switch (d.Drive.Type) {
    case cdtPneumaticLinear:
        n.Number("time_s", d.Drive.PneumaticLinear.Time);
        n.Number("max_speed_m_s", d.Drive.PneumaticLinear.Speed);
        break;
    case cdtPneumaticCircular:
        n.Number("time_s", d.Drive.PneumaticCircular.Time);
        n.Number("max_angular_speed_rad_s", d.Drive.PneumaticCircular.AngularSpeed);
        break;
    case cdtNCLinear: Profile(n.Object("profile_m"), d.Drive.NCLinearMove); break;
    case cdtNCCircular: Profile(n.Object("profile_rad"), d.Drive.NCCircularMove); break;
    }
    const auto& a = d.MotionResults[static_cast<size_t>(d.Drive.Type) & 3];
    n.Numbers("accelerations_m_s2", {a[0], a[1], a[2]});
}

void Absorber(TReportNode& n, bool used, const TAbsorberLoad& a) {
    if (!used) return;
    TReportNode& s = n.Object("shock_absorber");
    s.Number("energy_J", a.Energy);
    s.Number("energy_per_hour_J_h", a.EnergyPerHour);
    s.Number("force_N", a.Force);
    s.Numbers("ratios", {a.EnergyRatio, a.EnergyPerHourRatio, a.ForceRatio});
}

void Drive(TVacuumApplication& app, TReportNode& r) {
    const TMyProject& d = app.Document;
    TReportNode& n = r.Object("drive");
    switch (d.Drive.Type) {
    case cdtPneumaticLinear: {
        const TLinearDriveResult& l = app.Drive.Linear();
        n.Number("cylinder_diameter_m", app.Drive.CylinderDiameter());
        n.Number("pressure_Pa", d.Drive.PneumaticLinear.Pressure);
        n.Number("piston_force_N", l.PistonForce);
        n.Number("acceleration_m_s2", l.Acceleration);
        n.Number("braking_distance_m", l.BrakingDistance);
        n.Number("braking_acceleration_m_s2", l.BrakingAcceleration);
        n.Number("inertia_force_N", l.InertiaForce);
        Absorber(n, l.AbsorberUsed, l.Absorber);
        break;
    }
    case cdtPneumaticCircular: {
        const TRotaryDriveResult& t = app.Drive.Rotary();
        n.Text("actuator_order_code", d.Drive.PneumaticCircular.OrderCode);
        n.Number("pressure_Pa", d.Drive.PneumaticCircular.Pressure);
        n.Number("torque_N_m", t.Torque);
        n.Number("acceleration_m_s2", t.Acceleration);
        n.Number("braking_angle_rad", t.BrakingAngle);
        n.Number("braking_acceleration_m_s2", t.BrakingAcceleration);
        n.Number("centripetal_acceleration_m_s2", t.CentripetalAcceleration);
        n.Number("inertia_force_N", t.InertiaForce);
        Absorber(n, t.AbsorberUsed, t.Absorber);
        break;
    }
    default: n.Text("servo", "the servo axis follows its motion profile"); break;
    }
}

void Forces(TVacuumApplication& app, TReportNode& r) {
    const TForceExtremes& f = app.Forces.Extremes();
    const TGripperMoments& m = app.Forces.Moments();
    TReportNode& n = r.Object("forces");
    n.Numbers("force_xyz_N", {f.Fx, f.Fy, f.Fz});
    n.Number("total_force_N", f.F);
    n.Bool("total_force_shown", app.Forces.TotalForceVisible());
    n.Numbers("moments_yz_xz_xy_N_m", {m.YZ, m.XZ, m.XY});
}

void CupRatios(TVacuumApplication& app, TReportNode& array) {
    const TSaugerList& cups = app.Cups.Cups();
    for (int i = 0; i < cups.Count(); ++i) {
        const TSauger& s = *cups.Sauger(i);
        array.Numbers({}, {s.NormalRatio, s.TransverseRatio});
    }
}

// The largest ratios over the whole motion. The slider steps alone can miss a peak: the
// braking of a pneumatic drive grows to its largest value at the very end of the motion,
// where the curve drops to 0, so each phase boundary is sampled just inside either side.
void Peaks(TVacuumApplication& app, TReportNode& loads) {
    const double end = app.Motion.EndTime();
    const double step = (std::isfinite(end) && end > 0.0 ? end : 0.0) * 1e-9;
    std::vector<double> times;
    for (const double b : app.Motion.PhaseBoundaries()) times.insert(times.end(), {b - step, b, b + step});
    const TCupLoadPeaks peaks = app.Cups.LoadPeaks(times);
    TReportNode& n = loads.Object("peak");
    n.Bool("solvable", peaks.Solvable);
    TReportNode& cups = n.Array("cups_normal_transverse");
    for (size_t i = 0; i < peaks.Normal.size(); ++i) cups.Numbers({}, {peaks.Normal[i], peaks.Transverse[i]});
}

void Loads(TVacuumApplication& app, TReportNode& r) {
    TReportNode& n = r.Object("suction_cup_loads");
    const TMaxValues& max = app.Cups.MaxValues();
    // The maximum-value view shares the largest force equally among the cups.
    TReportNode& mv = n.Object("maximum_per_cup");
    mv.Number("normal_force_N", max.Normal.Force);
    mv.Number("normal_ratio", max.Normal.Ratio);
    mv.Number("transverse_force_N", max.Transverse.Force);
    mv.Number("transverse_ratio", max.Transverse.Ratio);
    TReportNode& slider = n.Array("slider");
    const int before = app.Cups.SliderPosition();
    for (int position : kSliderPositions) {
        app.Cups.RxSliderVCRChange(position);
        TReportNode& at = slider.Object({});
        at.Number("position", position);
        at.Number("time_s", app.Cups.SliderTime());
        at.Bool("solvable", app.Cups.Cups().Solvable());
        CupRatios(app, at.Array("cups_normal_transverse"));
    }
    app.Cups.RxSliderVCRChange(before);
    Peaks(app, n);
}

void AirUse(TReportNode& n, const TAirUse& u) {
    TReportNode& c = n.Object("per_cycle");
    c.Number("air_l", u.AirPerCycle * 1000.0);
    c.Number("air_m3", u.AirPerCycle);
    c.Number("energy_kWh", u.EnergyPerCycle / 3.6e6);
    c.Number("cost", u.CostPerCycle);
    TReportNode& y = n.Object("per_year");
    y.Number("air_m3", u.AirPerYear);
    y.Number("energy_kWh", u.EnergyPerYear / 3.6e6);
    y.Number("cost", u.CostPerYear);
}

// The compressed air the generators take over the production cycle, and its cost.
void CompressedAir(TVacuumApplication& app, TReportNode& r) {
    const auto& in = app.Document.Air;
    const TAirAccount a = app.Air.Account();
    TReportNode& n = r.Object("compressed_air");
    n.Number("cycles_per_hour", in.CycleRate * 3600.0);
    n.Number("holding_time_s", in.HoldingTime);
    n.Number("operating_hours_per_year", in.OperatingTime / 3600.0);
    n.Number("price_per_m3", in.Price);
    n.Number("energy_per_m3_kWh", in.Energy / 3.6e6);
    n.Bool("air_saving", a.AirSaving);
    if (a.AirSaving) n.Number("hysteresis_Pa", a.Hysteresis);
    n.Number("running_time_s", a.Use.RunningTime);
    n.Number("reevacuations", a.Use.Reevacuations);
    n.Number("cycles_per_year", a.Use.Cycles);
    AirUse(n, a.Use);
    TReportNode& s = n.Object("air_saving_generator");
    s.Text("order_code", a.SavingOrderCode.empty() ? "-" : a.SavingOrderCode);
    if (!a.SavingOrderCode.empty()) AirUse(s.Object("saving"), a.Saving);
}

// Whether the cups hold the workpiece over the whole motion with the required safety.
void Verdict(TVacuumApplication& app, TReportNode& r) {
    const THoldingVerdict v = app.HoldingVerdict();
    TReportNode& n = r.Object("verdict");
    n.Bool("holds", v.Holds());
    n.Bool("judged", v.Judged);
    n.Number("smallest_safety", v.Safety);
    n.Number("required_safety", v.Required);
    if (v.Cup >= 0) {
        n.Number("cup", v.Cup + 1);
        n.Text("load", v.Transverse ? "transverse" : "normal");
        n.Number("time_s", v.Time);
    }
    n.Text("line", VerdictLine(v, [&](std::string_view key) { return app.Language.Translate(key); }));
}

void Parts(TVacuumApplication& app, TReportNode& r) {
    TReportNode& n = r.Array("parts_list");
    for (const TPart& p : app.PartsList.Parts()) {
        TReportNode& part = n.Object({});
        part.Text("part_no", p.PartNo);
        part.Text("order_code", p.OrderCode);
        part.Text("description", app.Language.Translate(p.Description));
        part.Number("quantity", p.Quantity);
        part.Text("unit", p.QuantityUnit);
        part.Number("length", p.Length);
        part.Number("package", p.Package);
    }
}

// Writes one export; a failure names the file and stops the run with status 1.
bool Export(const TExportResult& result, TDesignOutcome& outcome) {
    if (result.Ok) return true;
    outcome.Status = 1;
    outcome.Error += result.Message + "\n";
    return false;
}

} // namespace

std::string ParseDesignOptions(const std::vector<std::string>& a, TDesignOptions& o) {
    bool plantGiven = false;
    for (size_t i = 0; i < a.size(); ++i) {
        const std::string& arg = a[i];
        auto value = [&](std::string& target, bool mayBeEmpty = false) {
            if (i + 1 >= a.size() || (a[i + 1].empty() && !mayBeEmpty)) return false;
            target = a[++i];
            return true;
        };
        bool ok = true;
        if (arg == "--json") o.Json = true;
        else if (arg == "--catalog") ok = value(o.Catalog);
        else if (arg == "--lang") ok = value(o.Language);
        else if (arg == "--erp") ok = value(o.ErpFile);
        else if (arg == "--plant") ok = plantGiven = value(o.PlantCode, true); // an empty plant code is valid
        else if (arg == "--csv") ok = value(o.CsvFile);
        else if (arg == "--shop") ok = value(o.ShopFile);
        else if (arg.starts_with("--")) return "unknown option " + arg;
        else if (o.Project.empty()) o.Project = arg;
        else return "design takes one project file";
        if (!ok) return arg + " takes a value";
    }
    if (o.Project.empty()) return "design takes a project file";
    if (o.ErpFile.empty() == plantGiven) return "--erp and --plant go together";
    return {};
}

TDesignOutcome RunDesign(const TDesignOptions& o) {
    TDesignOutcome outcome;
    auto fail = [&](int status, const std::string& message) {
        outcome.Status = status;
        outcome.Error = message + "\n";
        return outcome;
    };
    TVacuumApplication app(o.Catalog.empty() ? TOrsikConnection::DataFolder() + "/Vacuum.dat" : o.Catalog);
    if (!app.Active()) return fail(1, app.LastError());
    const std::string language = o.Language.empty() ? "en" : o.Language;
    if (!app.SetLanguage(language) && !(o.Language.empty() && app.LanguageCodes().empty())) {
        const std::string codes = app.LanguageCodes();
        return fail(1, "no language \"" + language + "\"" +
                           (codes.empty() ? " (no language file)" : " (languages: " + codes + ")"));
    }
    TPageWorkflow& flow = app.Workflow;
    std::string refused;
    const TConnection refusals = flow.OnInvalidValue.Connect([&](TPageWorkflow&, const TPageCheckFailure& f) {
        refused = app.Language.Translate(f.Message) + (f.FocusControl.empty() ? "" : " (" + f.FocusControl + ")");
    });
    flow.ButtonAcceptClick();
    const auto loaded = flow.OpenRecentFile(o.Project);
    if (!loaded || !loaded->Ok()) return fail(1, loaded ? loaded->Message : o.Project + ": not read");
    const std::string storedCup = app.Document.SuctionCupsOrderCode, storedTube = app.Document.Tube.OrderCode,
                      storedVenturi = app.Document.Venturi.OrderCode;
    // A stored product the catalogue no longer offers gives way to the first row offered.
    auto replaced = [&](const std::string& what, const std::string& stored, const std::string& now) {
        if (!stored.empty() && stored != now)
            outcome.Error += "note: the " + what + " " + stored + " is not offered; " + (now.empty() ? "none" : now) +
                             " is chosen\n";
    };
    while (flow.CurrentPage() < cmpPartsList) {
        const int page = flow.CurrentPage();
        const bool moved = flow.Next() && flow.CurrentPage() != page;
        if (page == cmpSuctionCup) replaced("suction cup", storedCup, app.Document.SuctionCupsOrderCode);
        if (page == cmpTube) replaced("tube", storedTube, app.Document.Tube.OrderCode);
        if (page == cmpVenturi) replaced("vacuum generator", storedVenturi, app.Document.Venturi.OrderCode);
        if (page == cmpVenturi)
            for (const std::string& why : app.Venturi.CurveDiagnostics()) outcome.Error += "note: " + why + "\n";
        if (page == cmpMotion)
            if (const std::string why = app.Motion.ProfileDiagnostic(); !why.empty())
                outcome.Error += "note: " + why + "\n";
        if (page == cmpDrive && (app.Document.Drive.Type == cdtPneumaticCircular ||
                                 app.Document.Drive.Type == cdtNCCircular))
            // Loading already refilters the actuator list; the drive model remembers what
            // the project held.
            replaced("rotary actuator",
                     app.Drive.ReplacedActuator().empty() ? app.Document.Drive.PneumaticCircular.OrderCode
                                                          : app.Drive.ReplacedActuator(),
                     app.Document.Drive.PneumaticCircular.OrderCode);
        if (!moved) {
            outcome.Status = 2;
            outcome.Error += "page " + std::to_string(page) + " refused: " + refused + "\n";
            return outcome;
        }
    }

    TReportNode report;
    report.Text("project", o.Project);
    report.Text("language", app.Language.Language());
    Workpiece(app, report);
    SuctionCups(app, report);
    Tube(app, report);
    Venturi(app, report);
    Site(app, report);
    Motion(app, report);
    Drive(app, report);
    Forces(app, report);
    Loads(app, report);
    CompressedAir(app, report);
    Verdict(app, report);
    Parts(app, report);
    outcome.Out = o.Json ? report.Json() : report.Lines();
    for (const std::string& left : app.PartsList.Refusals())
        outcome.Error += "note: the parts list leaves out " + left + "\n";

    if (!o.ErpFile.empty() && !Export(SaveErpOrderFile(app.PartsList, o.PlantCode, o.ErpFile), outcome))
        return outcome;
    if (!o.CsvFile.empty() && !Export(ExportCsvFile(app.PartsList, o.CsvFile), outcome)) return outcome;
    if (!o.ShopFile.empty()) {
        TShopPage page;
        TShopPageOptions options;
        // The shop server is the built-in one: the batch run reads no user settings.
        options.Translate = [&](std::string_view key) { return app.Language.Translate(key); };
        // The title the shop window gives the page in the browser.
        options.Title = ShopWindowCaption(options.Translate);
        if (!Export(CheckOrderable(app.PartsList, o.ShopFile), outcome)) return outcome;
        page.Build(app.PartsList, options);
        if (!Export(WriteExportFile(o.ShopFile, page.Text()), outcome)) return outcome;
    }
    return outcome;
}

TDesignOutcome RunRetime(const std::string& in, const std::string& out) {
    TDesignOutcome outcome;
    TMyProject doc;
    TMotionModel motion(doc);
    if (const TPrjResult r = doc.Project().LoadFromFile(in); !r.Ok()) {
        outcome.Status = 1;
        outcome.Error = r.Message + "\n";
        return outcome;
    }
    // As if the user entered the stroke and the swivel angle once more: the pneumatic speeds
    // or times follow from them by the motion page's relations, and both servo profiles take
    // them as their travel.
    doc.DisclaimerPending = false;
    motion.SpinEditLinWegChange(doc.Moving.LinearTravel);
    motion.SpinEditDrehwinkelChange(doc.Moving.CircularAngle);
    motion.PanelDrehwinkelNCChange(doc.Moving.CircularAngle);
    if (const TPrjResult r = doc.Project().SaveToFile(out); !r.Ok()) {
        outcome.Status = 1;
        outcome.Error = r.Message + "\n";
    }
    return outcome;
}

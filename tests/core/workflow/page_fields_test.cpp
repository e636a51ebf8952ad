// Entry fields of the pages judged by their value-field rules: a project file can hold
// values no one could type, and the page that shows them must refuse to be left.

#include "core/calc/cup_layout.h"
#include "core/document/my_project.h"
#include "core/quantities/prj_strings.h"
#include "core/workflow/page_fields.h"
#include "core/workflow/page_workflow.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

class TNoHooks : public TPageHooks {
public:
    double Lever = 0.0;
    TPageCheckResult Validate(int) override { return std::nullopt; }
    double ShockAbsorberLever() const override { return Lever; }
    void Enter(int) override {}
};

// Every key=value line of the document as the project writer makes it.
std::vector<std::string> Lines(TMyProject& doc) {
    TPrjStrings s;
    doc.Project().WriteItems(s);
    return s.Lines();
}

struct TPageFieldsTest : ::testing::Test {
    TMyProject Doc;
    TNoHooks Hooks;
    TPageWorkflow Flow{Doc, Hooks};
    std::vector<TConnection> Follow;
    std::vector<TPageCheckFailure> Messages;
    std::filesystem::path File;

    TPageFieldsTest() {
        Follow.push_back(Flow.OnInvalidValue.Connect([this](TPageWorkflow&, const TPageCheckFailure& f) {
            Messages.push_back(f);
        }));
        std::random_device rd;
        File = std::filesystem::temp_directory_path() /
               ("vacuum_fields_" + std::to_string(rd()) + ".vac");
        Flow.ButtonAcceptClick();
        // A design every page lets pass: a steel sheet on one cup, lifted 0.25 m.
        Doc.Workpiece.Shape = cwsBar;
        Doc.Workpiece.LengthX = 0.4;
        Doc.Workpiece.LengthY = 0.3;
        Doc.Workpiece.LengthZ = 0.002;
        Doc.Workpiece.Density = 7870;
        Doc.Friction = 0.5;
        Doc.Venturi.Vacuum = -70000;
        Doc.Drive.Type = cdtPneumaticLinear;
        Doc.Moving.LinearTravel = 0.25;
        Doc.Drive.PneumaticLinear.Time = 0.3125; // 1.25 * 0.25 m / 1 m/s
        Doc.Drive.PneumaticLinear.Speed = 1.0;
    }
    ~TPageFieldsTest() override {
        std::error_code ec;
        std::filesystem::remove(File, ec);
    }

    // The valid project as the project writer stores it.
    std::string ValidBytes() {
        EXPECT_TRUE(Doc.Project().SaveToFile(File.string()));
        std::ifstream in(File, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // Reads `bytes` with the value of `key` replaced by `text`; the bytes must hold the key.
    void LoadWith(std::string bytes, const std::string& key, const std::string& text) {
        const size_t at = bytes.find("\n" + key + "=");
        ASSERT_NE(at, std::string::npos) << key;
        const size_t from = at + key.size() + 2;
        bytes.replace(from, bytes.find('\r', from) - from, text);
        std::ofstream(File, std::ios::binary) << bytes;
        ASSERT_TRUE(Doc.Project().LoadFromFile(File.string()));
    }

    // Walks forward from page 1; the page it stops on.
    int Walk() {
        Flow.Select(cmpWorkpiece);
        while (Flow.CurrentPage() < cmpPartsList)
            if (!Flow.Next()) break;
        return Flow.CurrentPage();
    }
};

TEST_F(TPageFieldsTest, AValidDesignPassesEveryPage) {
    EXPECT_EQ(Walk(), cmpPartsList);
    EXPECT_TRUE(Messages.empty());
    for (int page = 0; page < cMainPageCount; ++page)
        for (const TPageField& f : PageFields(Doc, page, 0.0))
            EXPECT_TRUE(PageFieldValid(f)) << f.Control << " = " << f.Value;
}

struct THostile {
    std::string Key;
    std::string Text;
    int Page;
    TPageCheckFailure Failure;
};

// One hostile value at a time: the page that shows it refuses, names the field and focuses
// it, the value stays as loaded (nothing clamps it silently), and no other value differs
// from the valid project.
TEST_F(TPageFieldsTest, EachHostileValueBlocksItsPageAndNamesTheField) {
    const THostile cases[] = {
        {"Workpiece.Density", "-7870", cmpWorkpiece, {"~Density", "SpinEditWerkStkDichte"}},
        {"Workpiece.Length.x", "1e300", cmpWorkpiece, {"~Length(X)", "SpinEditLaenge"}},
        {"Workpiece.Length.z", "-0.002", cmpWorkpiece, {"~Height(Z)", "SpinEditHoehe"}},
        {"Workpiece.Mass", "-1", cmpWorkpiece, {"~Mass", "SpinEditWerkStkMasse"}},
        {"Friction", "3", cmpWorkpiece, {"~FrictionCoefficient", "SpinEditFriction"}},
        {"Workpiece.MassCenter.y",
         "6",
         cmpWorkpiece,
         {"~CenterOfGravityAnd...", "SpinEditSchwerpunktY"}},
        {"SuctionCups.Strategy.CountX", "65536", cmpPositioning, {"~Count", "SpinEditAnzahl1"}},
        {"SuctionCups.Strategy.CountX", "0", cmpPositioning, {"~Count", "SpinEditAnzahl1"}},
        {"Tube.Length",
         "-1",
         cmpTube,
         {"~TubeLenghtPerSuctionCup", "SpinEditSchlauchLaengeEinzeln"}},
        {"Tube.Length",
         "101",
         cmpTube,
         {"~TubeLenghtPerSuctionCup", "SpinEditSchlauchLaengeEinzeln"}},
        {"Venturi.Conditions.Count", "2147483647", cmpVenturi, {"~Count", "SpinEditAnzahlVenturi"}},
        {"Venturi.Conditions.Pressure",
         "abc",
         cmpVenturi,
         {"~WorkingPressure", "SpinEditBetriebsdruck"}},
        {"Venturi.Conditions.Pressure",
         "800000",
         cmpVenturi,
         {"~WorkingPressure", "SpinEditBetriebsdruck"}},
        {"Venturi.Conditions.Vacuum", "-96000", cmpVenturi, {"~Vacuum", "SpinEditVakuumSoll"}},
        {"Site.Altitude", "5001", cmpVenturi, {"~SiteAltitude", "SpinEditAltitude"}},
        {"Site.Altitude", "-10", cmpVenturi, {"~SiteAltitude", "SpinEditAltitude"}},
        {"Moving.Linear.Travel", "-1", cmpMotion, {"~Travel", "SpinEditLinWeg"}},
        {"Moving.Linear.HolderMass", "1001", cmpMotion, {"~Mass", "SpinEditMasseHalterung"}},
        {"Drive.Pneumatic.Linear.Speed", "11", cmpDrive, {"~VelocityAt...", "SpinEditVMaxLin"}},
        {"Drive.Pneumatic.Linear.Time", "0", cmpDrive, {"~Time", "SpinEditZeitLin"}},
        {"Drive.Pneumatic.Linear.Pressure",
         "1300000",
         cmpDrive,
         {"~WorkingPressure", "SpinEditBetrDruckLin"}},
        {"Drive.Pneumatic.Linear.SafetyFactor",
         "0.5",
         cmpDrive,
         {"~SafetyFactor", "SpinEditFaktorPnLin"}},
    };
    const std::string bytes = ValidBytes();
    const std::vector<std::string> valid = Lines(Doc);
    for (const THostile& c : cases) {
        SCOPED_TRACE(c.Key + "=" + c.Text);
        LoadWith(bytes, c.Key, c.Text);
        const std::vector<std::string> loaded = Lines(Doc);
        ASSERT_EQ(loaded.size(), valid.size());
        for (size_t i = 0; i < valid.size(); ++i) {
            if (valid[i].starts_with(c.Key + "=")) {
                // Kept as read: "abc" as the store's fallback 0 (as strtod reads it too).
                ASSERT_TRUE(loaded[i].starts_with(c.Key + "="));
                EXPECT_EQ(std::strtod(loaded[i].c_str() + c.Key.size() + 1, nullptr),
                          std::strtod(c.Text.c_str(), nullptr));
            } else
                EXPECT_EQ(loaded[i], valid[i]);
        }
        Messages.clear();
        EXPECT_EQ(Walk(), c.Page);
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0], c.Failure);
    }
}

// The production cycle and the price of air on the generator page, the required safety on
// the load page: each value beyond its field blocks the page that shows it.
TEST_F(TPageFieldsTest, AirAndSafetyValuesBeyondTheirFieldsBlockTheirPages) {
    const THostile cases[] = {
        {"Air.CycleRate", "-0.01", cmpVenturi, {"~CyclesPerHour", "SpinEditCycleRate"}},
        {"Air.CycleRate", "11", cmpVenturi, {"~CyclesPerHour", "SpinEditCycleRate"}},
        {"Air.HoldingTime", "3601", cmpVenturi, {"~HoldingTimePerCycle", "SpinEditHoldingTime"}},
        {"Air.OperatingTime", "1e300", cmpVenturi, {"~OperatingHoursPerYear", "SpinEditOperatingTime"}},
        {"Air.Price", "-1", cmpVenturi, {"~AirPrice", "SpinEditAirPrice"}},
        {"Air.Energy", "3.6e8", cmpVenturi, {"~AirEnergy", "SpinEditAirEnergy"}},
        {"Loads.SafetyFactor", "0.99", cmpSuctionCupLoad, {"~RequiredSafety", "SpinEditRequiredSafety"}},
        {"Loads.SafetyFactor", "abc", cmpSuctionCupLoad, {"~RequiredSafety", "SpinEditRequiredSafety"}},
        {"Loads.SafetyFactor", "101", cmpSuctionCupLoad, {"~RequiredSafety", "SpinEditRequiredSafety"}},
    };
    const std::string bytes = ValidBytes();
    for (const THostile& c : cases) {
        SCOPED_TRACE(c.Key + "=" + c.Text);
        LoadWith(bytes, c.Key, c.Text);
        Messages.clear();
        EXPECT_EQ(Walk(), c.Page);
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0], c.Failure);
    }
    // The ends of the ranges pass: no cycles, a whole leap year, the lowest safety.
    std::string edge = bytes;
    LoadWith(edge, "Air.OperatingTime", "31622400");
    Doc.Air.CycleRate = 0.0;
    Doc.RequiredSafety = 1.0;
    Messages.clear();
    EXPECT_EQ(Walk(), cmpPartsList);
    EXPECT_TRUE(Messages.empty());
}

// A list read from a file may hold more cups than its count fields could ever lay out:
// the positioning page refuses it as it would the count.
TEST_F(TPageFieldsTest, MoreCupsThanTheCountsAllowAreRefused) {
    const std::string bytes = ValidBytes();
    LoadWith(bytes, "SuctionCups.Count", "65536");
    EXPECT_EQ(Doc.SuctionCups.Count(), 65536);
    EXPECT_EQ(Walk(), cmpPositioning);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], (TPageCheckFailure{"~Count", "SpinEditAnzahl1"}));

    // Four cups in the corners are what the corner strategy's 2 x 2 makes.
    Messages.clear();
    std::string corners = bytes;
    const auto set = [&](const std::string& key, const std::string& text) {
        const size_t from = corners.find("\n" + key + "=") + key.size() + 2;
        corners.replace(from, corners.find('\r', from) - from, text);
    };
    set("SuctionCups.Strategy.Type", "Rectangular <corners>");
    set("SuctionCups.Strategy.CountX", "2");
    set("SuctionCups.Strategy.CountY", "2");
    LoadWith(corners, "SuctionCups.Count", "4");
    EXPECT_EQ(Doc.SuctionCups.StrategyType(), cssCorners);
    EXPECT_EQ(Walk(), cmpPartsList);
    EXPECT_TRUE(Messages.empty());
    LoadWith(corners, "SuctionCups.Count", "5");
    EXPECT_EQ(Walk(), cmpPositioning);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].FocusControl, "SpinEditAnzahl1");
}

// The rotary drive shows other fields; the lever of the absorbers is the drive page's own.
TEST_F(TPageFieldsTest, RotaryFieldsFollowTheDrive) {
    Doc.Drive.Type = cdtPneumaticCircular;
    Doc.Moving.CircularAngle = std::numbers::pi;
    Doc.Moving.CircularLever = 0.25;
    Doc.Drive.PneumaticCircular.Time = 1.0;
    Doc.Drive.PneumaticCircular.AngularSpeed = 2.0 * std::numbers::pi;
    Doc.Drive.PneumaticCircular.UseQdr = true;
    Doc.Drive.PneumaticCircular.QdrCount = 1;
    Hooks.Lever = 0.05;
    // A linear travel no rotary page shows does not block.
    Doc.Moving.LinearTravel = -1;
    EXPECT_EQ(Walk(), cmpPartsList);

    Doc.Moving.CircularAngle = 2.0 * std::numbers::pi + 0.01; // more than 360°
    EXPECT_EQ(Walk(), cmpMotion);
    EXPECT_EQ(Messages.back(), (TPageCheckFailure{"~RotationAngle", "SpinEditDrehwinkel"}));
    Doc.Moving.CircularAngle = std::numbers::pi;
    Doc.Drive.PneumaticCircular.AngularSpeed = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Walk(), cmpDrive);
    EXPECT_EQ(Messages.back(), (TPageCheckFailure{"~VelocityAt...", "SpinEditWMaxRot"}));
    Doc.Drive.PneumaticCircular.AngularSpeed = 2.0 * std::numbers::pi;
    Doc.Drive.PneumaticCircular.QdrCount = 101;
    EXPECT_EQ(Walk(), cmpDrive);
    EXPECT_EQ(Messages.back(), (TPageCheckFailure{"~Quantity", "SpinEditQdrRotAnzahl"}));
    Doc.Drive.PneumaticCircular.QdrCount = 2;
    Hooks.Lever = 10.5;
    EXPECT_EQ(Walk(), cmpDrive);
    EXPECT_EQ(Messages.back(), (TPageCheckFailure{"~ShockAbsorberLever", "SpinEditQdrRadius"}));
}

TEST_F(TPageFieldsTest, LeakFieldsFollowTheKind) {
    // Sizes no field of a tight workpiece shows do not block.
    Doc.Site.Leak = {clkNone, 0.02, -1.0, 0.0};
    EXPECT_EQ(Walk(), cmpPartsList);
    Doc.Site.Leak.Kind = clkOrifice;
    EXPECT_EQ(Walk(), cmpVenturi);
    EXPECT_EQ(Messages.back(), (TPageCheckFailure{"~LeakDiameter", "SpinEditLeakDiameter"}));
    Doc.Site.Leak.Diameter = 0.0001;
    EXPECT_EQ(Walk(), cmpPartsList);
    Doc.Site.Leak.Kind = clkMeasured;
    EXPECT_EQ(Walk(), cmpVenturi);
    EXPECT_EQ(Messages.back(), (TPageCheckFailure{"~LeakFlow", "SpinEditLeakFlow"}));
    Doc.Site.Leak.Flow = 1e-6;
    // A measurement without vacuum says nothing about the leak.
    EXPECT_EQ(Walk(), cmpVenturi);
    EXPECT_EQ(Messages.back(), (TPageCheckFailure{"~LeakVacuum", "SpinEditLeakVacuum"}));
    Doc.Site.Leak.Vacuum = -0.5e5;
    EXPECT_EQ(Walk(), cmpPartsList);
}

} // namespace

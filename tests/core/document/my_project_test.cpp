#include "core/document/my_project.h"
#include "core/document/project_view.h"
#include "core/quantities/prj_strings.h"
#include "core/quantities/units.h"
#include "tests/core/quantities/project_test_support.h"

#include <gtest/gtest.h>
#include <numbers>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// Records what the document asks of its view, with the store's busy flag at the time.
class TRecordingView : public TProjectView {
public:
    std::vector<std::string> Calls;
    std::vector<bool> Busy;
    std::vector<int> Progress;
    std::vector<std::string> Names;
    int DerivedInertiaShown = 0;

    void ShowProjectName(TMyProject& d, const std::string& name) override {
        Names.push_back(name);
        Record(d, "name");
    }
    void ShowSection(TMyProject& d, const std::string& section) override { Record(d, section); }
    void ShowDerivedInertia(TMyProject&) override { ++DerivedInertiaShown; }
    void ShowProgress(TMyProject&, int percent) override { Progress.push_back(percent); }

private:
    void Record(TMyProject& d, const std::string& what) {
        Calls.push_back(what);
        Busy.push_back(d.Project().Busy());
    }
};

class MyProjectTest : public ::testing::Test {
protected:
    TTempDir Dir;
    TMyProject Doc;
    TRecordingView View;

    void SetUp() override { Doc.SetView(&View); }

    TPrjResult LoadText(const std::string& bytes, const std::string& name = "p.vac") {
        const std::string file = Dir.File(name);
        WriteBytes(file, bytes);
        return Doc.Project().LoadFromFile(file);
    }
};

std::vector<std::string> WrittenLines(TMyProject& d) {
    TPrjStrings s;
    d.Project().WriteItems(s);
    EXPECT_FALSE(s.Failed()) << s.Error();
    return s.Lines();
}

const std::vector<std::string> kScreenSections = {"Workpiece",
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

// ---------------------------------------------------------------------------------------------
// The keys

TEST_F(MyProjectTest, RegistersTheKeysInTheirOrderWithTheirKinds) {
    const std::vector<std::pair<const char*, TPrjItemType>> expected = {
        {"Project.Author", cpiText},
        {"Project.Description[0]", cpiText},
        {"Project.Description[1]", cpiText},
        {"Project.No", cpiText},
        {"Customer.No", cpiText},
        {"Customer.Phone", cpiText},
        {"Customer.Fax", cpiText},
        {"Customer.Address", cpiPlainStrings},
        {"Remarks", cpiPlainStrings},
        {"Workpiece.Shape", cpiEnum},
        {"Workpiece.Length.x", cpiFloat},
        {"Workpiece.Length.y", cpiFloat},
        {"Workpiece.Length.z", cpiFloat},
        {"Workpiece.OuterDiameter", cpiFloat},
        {"Workpiece.InnerDiameter", cpiFloat},
        {"Workpiece.Volume", cpiFloat},
        {"Workpiece.Material", cpiText},
        {"Workpiece.Density", cpiFloat},
        {"Workpiece.Mass", cpiFloat},
        {"Workpiece.MassCenter", cpiVector},
        {"Workpiece.WorstCase", cpiBoolean},
        {"Workpiece.MassKnown", cpiBoolean},
        {"Workpiece.MomentOfInertia.x", cpiFloat},
        {"Workpiece.MomentOfInertia.y", cpiFloat},
        {"Workpiece.MomentOfInertia.z", cpiFloat},
        {"Friction", cpiFloat},
        {"SuctionCups", cpiPrjList},
        {"SuctionCups.Selection.StrokeCompensation", cpiEnum},
        {"SuctionCups.Selection.AirConnector", cpiEnum},
        {"SuctionCups.Selection.HolderType", cpiEnum},
        {"SuctionCups.Selection.Material", cpiEnum},
        {"SuctionCups.Selection.Shape", cpiEnum},
        {"SuctionCups.Selection.Size", cpiEnum},
        {"SuctionCups.Selection.Group", cpiEnum},
        {"SuctionCups.Selection.Filter", cpiBoolean},
        {"SuctionCups.Selection.AngleCompensation", cpiBoolean},
        {"SuctionCups.OrderCode", cpiText},
        {"Tube.OrderCode", cpiText},
        {"Tube.Length", cpiFloat},
        {"Tube.TotalLength", cpiBoolean},
        {"Tube.Selection.Color", cpiEnum},
        {"Tube.Selection.Food", cpiBoolean},
        {"Venturi.Conditions.Count", cpiInteger},
        {"Venturi.Conditions.Pressure", cpiFloat},
        {"Venturi.Conditions.Vacuum", cpiFloat},
        {"Venturi.Conditions.TimeMax", cpiFloat},
        {"Venturi.Selection.Group", cpiEnum},
        {"Venturi.Selection.GewP", cpiEnum},
        {"Venturi.Selection.GewV", cpiEnum},
        {"Venturi.Selection.Switch", cpiEnum},
        {"Venturi.Selection.SaveAir", cpiBoolean},
        {"Venturi.Selection.Silencer", cpiBoolean},
        {"Venturi.Selection.MagneticValve", cpiBoolean},
        {"Venturi.Selection.EjectorPulse", cpiBoolean},
        {"Venturi.Selection.NonReturnValve", cpiBoolean},
        {"Venturi.Selection.Filter", cpiBoolean},
        {"Venturi.OrderCode", cpiText},
        {"Venturi.Time", cpiFloat},
        {"Moving.Linear.Direction", cpiEnum},
        {"Moving.Linear.Travel", cpiFloat},
        {"Moving.Linear.HolderMass", cpiFloat},
        {"Moving.Circular.Lever", cpiFloat},
        {"Moving.Circular.Angle", cpiFloat},
        {"Moving.Circular.HolderMomentOfInertia", cpiFloat},
        {"Drive.Type", cpiEnum},
        {"Drive.Pneumatic.Linear.Pressure", cpiFloat},
        {"Drive.Pneumatic.Linear.CylinderDiameter", cpiFloat},
        {"Drive.Pneumatic.Linear.UseQdr", cpiBoolean},
        {"Drive.Pneumatic.Linear.Qdr.Count", cpiInteger},
        {"Drive.Pneumatic.Linear.Qdr.OrderCode", cpiText},
        {"Drive.Pneumatic.Linear.AutomaticCylinderSelection", cpiBoolean},
        {"Drive.Pneumatic.Linear.Speed", cpiFloat},
        {"Drive.Pneumatic.Linear.Time", cpiFloat},
        {"Drive.Pneumatic.Linear.SafetyFactor", cpiFloat},
        {"Drive.Pneumatic.Linear.CalculateSpeed", cpiBoolean},
        {"Drive.Pneumatic.Circular.Pressure", cpiFloat},
        {"Drive.Pneumatic.Circular.OrderCode", cpiText},
        {"Drive.Pneumatic.Circular.UseQdr", cpiBoolean},
        {"Drive.Pneumatic.Circular.Qdr.Count", cpiInteger},
        {"Drive.Pneumatic.Circular.Qdr.OrderCode", cpiText},
        {"Drive.Pneumatic.Circular.AngularSpeed", cpiFloat},
        {"Drive.Pneumatic.Circular.Time", cpiFloat},
        {"Drive.Pneumatic.Circular.SafetyFactor", cpiFloat},
        {"Drive.Pneumatic.Circular.CalculateSpeed", cpiBoolean},
        {"Drive.NC.Linear.Move", cpiObject},
        {"Drive.NC.Circular.Move", cpiObject},
        {"Air.CycleRate", cpiFloat},
        {"Air.HoldingTime", cpiFloat},
        {"Air.OperatingTime", cpiFloat},
        {"Air.Price", cpiFloat},
        {"Air.Energy", cpiFloat},
        {"Loads.SafetyFactor", cpiFloat},
        {"Site", cpiObject},
    };
    TProject& p = Doc.Project();
    ASSERT_EQ(p.ItemCount(), TMyProject::cKeyCount);
    ASSERT_EQ(expected.size(), static_cast<size_t>(TMyProject::cKeyCount));
    for (int i = 0; i < p.ItemCount(); ++i) {
        EXPECT_EQ(p.Item(i).Key(), expected[static_cast<size_t>(i)].first) << i;
        EXPECT_EQ(p.Item(i).Type(), expected[static_cast<size_t>(i)].second) << i;
    }
}

TEST_F(MyProjectTest, TextLengths) {
    TProject& p = Doc.Project();
    for (const char* key : {"Project.Author", "Project.Description[1]", "Customer.Fax"})
        EXPECT_EQ(p.FindItem(key)->MaxLength(), 255) << key;
    EXPECT_EQ(p.FindItem("Workpiece.Material")->MaxLength(), 80);
    for (const char* key :
         {"SuctionCups.OrderCode", "Tube.OrderCode", "Venturi.OrderCode",
          "Drive.Pneumatic.Linear.Qdr.OrderCode", "Drive.Pneumatic.Circular.OrderCode",
          "Drive.Pneumatic.Circular.Qdr.OrderCode"})
        EXPECT_EQ(p.FindItem(key)->MaxLength(), 30) << key;
}

TEST_F(MyProjectTest, NameTablesHaveTheirSizesAndDistinctNames) {
    const std::vector<std::pair<const char*, size_t>> sizes = {
        {"Workpiece.Shape", 10},
        {"SuctionCups.Selection.StrokeCompensation", 10},
        {"SuctionCups.Selection.AirConnector", 5},
        {"SuctionCups.Selection.HolderType", 10},
        {"SuctionCups.Selection.Material", 8},
        {"SuctionCups.Selection.Shape", 6},
        {"SuctionCups.Selection.Size", 32},
        {"SuctionCups.Selection.Group", 4},
        {"Tube.Selection.Color", 8},
        {"Venturi.Selection.Group", 5},
        {"Venturi.Selection.GewP", 5},
        {"Venturi.Selection.GewV", 5},
        {"Venturi.Selection.Switch", 4},
        {"Moving.Linear.Direction", 4},
        {"Drive.Type", 4}};
    for (const auto& [key, size] : sizes) {
        const std::vector<std::string>& names = Doc.Project().FindItem(key)->Names();
        EXPECT_EQ(names.size(), size) << key;
        const std::set<std::string> distinct(names.begin(), names.end());
        EXPECT_EQ(distinct.size(), names.size()) << key;
        EXPECT_EQ(distinct.count(""), 0u) << key;
    }
    EXPECT_EQ(Doc.Project().FindItem("Workpiece.Shape")->Names()[6], "globe");
    EXPECT_EQ(Doc.Project().FindItem("SuctionCups.Selection.Size")->Names()[31], "30x90");
    EXPECT_EQ(Doc.Project().FindItem("Venturi.Selection.GewV")->Names(),
              Doc.Project().FindItem("Venturi.Selection.GewP")->Names());
}

// ---------------------------------------------------------------------------------------------
// Creation and New

TEST_F(MyProjectTest, StateAtCreation) {
    EXPECT_TRUE(Doc.Project().Busy());
    EXPECT_TRUE(Doc.Customer.Address.empty());
    EXPECT_TRUE(Doc.Remarks.empty());
    EXPECT_TRUE(Doc.Workpiece.WorstCase);
    EXPECT_FALSE(Doc.Workpiece.MassKnown);
    EXPECT_EQ(Doc.SuctionCups.Count(), 1);
    EXPECT_EQ(Doc.Moving.LinearDirection, cldVerticalUp);
    EXPECT_EQ(Doc.LinearDirectionVector, VektorPlusZ);
    EXPECT_EQ(Doc.Drive.Type, cdtPneumaticLinear);
    EXPECT_EQ(Doc.ProjectDisplayName(), "[untitled]");
}

TEST_F(MyProjectTest, NewGivesTheDocumentedDefaults) {
    Doc.Workpiece.Mass = 3;
    Doc.Remarks = {"old"};
    Doc.SuctionCups.Resize(4);
    Doc.Project().New();
    EXPECT_EQ(Doc.Venturi.Vacuum, -70000.0);
    EXPECT_EQ(Doc.Workpiece.Density, 7800.0);
    EXPECT_EQ(Doc.Moving.CircularAngle, std::numbers::pi);
    EXPECT_EQ(Doc.Workpiece.Shape, cwsBar);
    EXPECT_EQ(Doc.Moving.LinearDirection, cldVerticalUp);
    EXPECT_DOUBLE_EQ(Doc.Drive.NCCircularMove.Vmax(), 0.5235987755982988);
    EXPECT_DOUBLE_EQ(Doc.Drive.NCCircularMove.Jerk(), ToBaseUnit(cUM_deg_s3, 10));
    EXPECT_DOUBLE_EQ(Doc.Drive.NCCircularMove.AccPos(), 10 * std::numbers::pi / 180);
    EXPECT_DOUBLE_EQ(Doc.Drive.NCCircularMove.AccNeg(), -10 * std::numbers::pi / 180);
    EXPECT_EQ(Doc.Drive.NCCircularMove.Length(), 1.0);
    EXPECT_EQ(Doc.Drive.NCLinearMove.Vmax(), 0.625);
    EXPECT_EQ(Doc.Drive.NCLinearMove.AccNeg(), -1.0);
    EXPECT_EQ(Doc.Workpiece.Mass, 0.0);
    EXPECT_EQ(Doc.Friction, 0.5);
    EXPECT_EQ(Doc.Tube.Length, 0.25);
    EXPECT_EQ(Doc.Venturi.Count, 1);
    EXPECT_EQ(Doc.Venturi.Pressure, 600000.0);
    EXPECT_EQ(Doc.Venturi.TimeMax, 10.0);
    EXPECT_EQ(Doc.Moving.CircularLever, 0.25);
    EXPECT_EQ(Doc.Drive.PneumaticLinear.Pressure, 600000.0);
    EXPECT_EQ(Doc.Drive.PneumaticLinear.CylinderDiameter, 0.006);
    EXPECT_EQ(Doc.Drive.PneumaticLinear.QdrCount, 1);
    EXPECT_EQ(Doc.Drive.PneumaticLinear.SafetyFactor, 2.0);
    EXPECT_TRUE(Doc.Drive.PneumaticLinear.CalculateSpeed);
    EXPECT_EQ(Doc.Drive.PneumaticCircular.AngularSpeed, 1.0);
    EXPECT_TRUE(Doc.Drive.PneumaticCircular.CalculateSpeed);
    EXPECT_TRUE(Doc.Workpiece.WorstCase);
    EXPECT_TRUE(Doc.Remarks.empty());
    EXPECT_EQ(Doc.SuctionCups.Count(), 1);
    EXPECT_EQ(Doc.SuctionCupConditions, (std::array<double, 3>{1, 1, 1}));
    EXPECT_EQ(Doc.LinearDirectionVector, VektorPlusZ);
    EXPECT_FALSE(Doc.Project().Busy());
    EXPECT_FALSE(Doc.Project().Modified());
}

TEST_F(MyProjectTest, NewShowsNameAndEverySectionInOrderWhileBusy) {
    Doc.Project().New();
    std::vector<std::string> expected = {"name"};
    expected.insert(expected.end(), kScreenSections.begin(), kScreenSections.end());
    EXPECT_EQ(View.Calls, expected);
    EXPECT_EQ(View.Names, (std::vector<std::string>{"[untitled]"}));
    EXPECT_EQ(View.Busy, std::vector<bool>(expected.size(), true));
    EXPECT_TRUE(View.Progress.empty());
}

// ---------------------------------------------------------------------------------------------
// Section defaults and the screen

TEST_F(MyProjectTest, SectionDefaultsFollowTheirPrefix) {
    Doc.Project().New();
    Doc.Drive.NCLinearMove.SetVmax(5);
    Doc.Drive.NCCircularMove.SetVmax(5);
    Doc.Venturi.Vacuum = -1;
    Doc.SetSectionDefaults("Drive.NC.l");
    EXPECT_EQ(Doc.Drive.NCLinearMove.Vmax(), 0.625);
    EXPECT_EQ(Doc.Drive.NCCircularMove.Vmax(), 5.0);
    // The sections are named in lower case: the key spelling selects neither.
    Doc.SetSectionDefaults("Drive.NC.Circular");
    EXPECT_EQ(Doc.Drive.NCCircularMove.Vmax(), 5.0);
    Doc.SetSectionDefaults("Drive");
    EXPECT_DOUBLE_EQ(Doc.Drive.NCCircularMove.Vmax(), 0.5235987755982988);
    EXPECT_EQ(Doc.Venturi.Vacuum, -1.0);

    Doc.MotionResults[2][1] = 4;
    Doc.SuctionCupConditions[0] = 0;
    Doc.TotalMomentOfInertia = 3;
    Doc.LinearDirectionVector = VektorPlusX;
    Doc.SetSectionDefaults("Moving.C");
    EXPECT_EQ(Doc.TotalMomentOfInertia, 0.0);
    EXPECT_EQ(Doc.MotionResults[2][1], 4.0);
    EXPECT_EQ(Doc.LinearDirectionVector, VektorPlusX);
    Doc.SetSectionDefaults("");
    EXPECT_EQ(Doc.MotionResults[2][1], 0.0);
    EXPECT_EQ(Doc.SuctionCupConditions[0], 1.0);
    EXPECT_EQ(Doc.LinearDirectionVector, VektorPlusZ);
    EXPECT_EQ(Doc.Venturi.Vacuum, -70000.0);
}

TEST_F(MyProjectTest, StoreResetOfTheProfilesAppliesTheirSectionDefaults) {
    Doc.Project().New();
    Doc.Drive.NCLinearMove.SetAccPos(7);
    Doc.Drive.NCCircularMove.SetLength(7);
    Doc.Project().SetDefaults("Drive.NC");
    EXPECT_EQ(Doc.Drive.NCLinearMove.AccPos(), 1.0);
    EXPECT_EQ(Doc.Drive.NCLinearMove.Vmax(), 0.625);
    EXPECT_EQ(Doc.Drive.NCCircularMove.Length(), 1.0);
    EXPECT_DOUBLE_EQ(Doc.Drive.NCCircularMove.Vmax(), 0.5235987755982988);
}

TEST_F(MyProjectTest, ShowingAPrefixShowsItsSections) {
    Doc.Project().New();
    View.Calls.clear();
    Doc.ShowSection("Moving");
    EXPECT_EQ(View.Calls,
              (std::vector<std::string>{"name", "Moving", "Moving.Linear", "Moving.Circular"}));
    View.Calls.clear();
    Doc.SetView(nullptr);
    Doc.ShowSection(""); // without a view only the document's own values change
    EXPECT_TRUE(View.Calls.empty());
}

TEST_F(MyProjectTest, ShowingTheRotaryMotionComputesTheInertiaAboutTheAxis) {
    Doc.Project().New();
    Doc.Moving.CircularLever = 0.5;
    Doc.Workpiece.Mass = 2;
    Doc.Workpiece.MomentOfInertiaZ = 0.125;
    Doc.Moving.CircularHolderMomentOfInertia = 1;
    Doc.SuctionCupsMomentOfInertia = 0.25;
    Doc.ShowSection("Moving.Circular");
    EXPECT_DOUBLE_EQ(Doc.WorkpieceLeverInertia(), 0.5);
    EXPECT_DOUBLE_EQ(Doc.WorkpieceAxisMomentOfInertia, 0.625);
    EXPECT_DOUBLE_EQ(Doc.TotalMomentOfInertia, 1.875);
}

TEST_F(MyProjectTest, ALoadedDirectionSetsTheDirectionVector) {
    ASSERT_TRUE(LoadText("Moving.Linear.Direction=horizontal <y>\r\n"));
    EXPECT_EQ(Doc.Moving.LinearDirection, cldHorizontalY);
    EXPECT_EQ(Doc.LinearDirectionVector, VektorPlusY);
    EXPECT_EQ(TMyProject::DirectionVector(cldHorizontalX), VektorPlusX);
    EXPECT_EQ(TMyProject::DirectionVector(cldVerticalDown), VektorMinusZ);
}

// ---------------------------------------------------------------------------------------------
// Loading

TEST_F(MyProjectTest, ShapeNamesMatchExactly) {
    ASSERT_TRUE(LoadText("Workpiece.Shape=globe\r\n"));
    EXPECT_EQ(Doc.Workpiece.Shape, cwsGlobe);
    ASSERT_TRUE(LoadText("Workpiece.Shape=Globe\r\n"));
    EXPECT_EQ(Doc.Workpiece.Shape, cwsMassKnown);
}

TEST_F(MyProjectTest, DriveTypeChoosesTabsAndPages) {
    const std::pair<const char*, std::pair<int, int>> cases[] = {{"pneumatic <linear>", {0, 0}},
                                                                 {"pneumatic <circular>", {1, 0}},
                                                                 {"NC <linear>", {0, 1}},
                                                                 {"NC <circular>", {1, 1}}};
    for (const auto& [name, tabs] : cases) {
        ASSERT_TRUE(LoadText(std::string("Drive.Type=") + name + "\r\n"));
        EXPECT_EQ(Doc.MotionTabIndex(), tabs.first) << name;
        EXPECT_EQ(Doc.DriveTabIndex(), tabs.second) << name;
    }
}

TEST_F(MyProjectTest, SingleTubeLengthSharesTheTotalAmongTheCups) {
    ASSERT_TRUE(LoadText("Tube.Length=1\r\nSuctionCups.Count=4\r\n"));
    EXPECT_EQ(Doc.SuctionCups.Count(), 4);
    EXPECT_DOUBLE_EQ(Doc.SingleTubeLength(), 0.25);
    Doc.SuctionCups.Resize(0);
    EXPECT_DOUBLE_EQ(Doc.SingleTubeLength(), 1.0);
}

TEST_F(MyProjectTest, LoadReportsProgressToTheView) {
    ASSERT_TRUE(LoadText(""));
    // 0 first, then after items 0, 4, …, 92, then 100.
    ASSERT_EQ(View.Progress.size(), 26u);
    EXPECT_EQ(View.Progress.front(), 0);
    EXPECT_EQ(View.Progress[1], 1);   // 1 of 93
    EXPECT_EQ(View.Progress[2], 5);   // 5 of 93
    EXPECT_EQ(View.Progress[23], 96); // 89 of 93
    EXPECT_EQ(View.Progress[24], 100); // 93 of 93
    EXPECT_EQ(View.Progress[25], 100); // done
    EXPECT_EQ(View.Names.back(), ShortenPath(Dir.File("p.vac"), 50));
}

TEST_F(MyProjectTest, AnUnreadableFileKeepsTheOpenProject) {
    ASSERT_TRUE(LoadText("Workpiece.Mass=12\r\nProject.Author=Ann\r\n", "open.vac"));
    Doc.Workpiece.Density = 2700; // edited since
    const std::vector<std::string> before = WrittenLines(Doc);
    View.Calls.clear();
    const TPrjResult r = Doc.Project().LoadFromFile(Dir.File("nothing-here.vac"));
    EXPECT_FALSE(r.Ok());
    EXPECT_NE(r.Message.find(Dir.File("nothing-here.vac")), std::string::npos);
    EXPECT_EQ(Doc.Project().FileName(), Dir.File("open.vac"));
    EXPECT_EQ(WrittenLines(Doc), before);
    EXPECT_EQ(Doc.Workpiece.Density, 2700.0);
    EXPECT_TRUE(View.Calls.empty());
}

// ---------------------------------------------------------------------------------------------
// Writing the document

void FillEveryInput(TMyProject& d) {
    d.ProjectInfo.Author = std::string(255, 'a');
    d.ProjectInfo.Description = {"Line one = first", "Zweite Zeile: äöü ß"};
    d.ProjectInfo.No = "P-17/3";
    d.Customer.No = "C1";
    d.Customer.Phone = "+49 (0) 1234 5678";
    d.Customer.Fax = "  spaced  ";
    d.Customer.Address = {"Firma GmbH", "", "Straße 5", "12345 Ort"};
    d.Remarks = {"remark one", "a=b", "€ 12"};
    d.Workpiece.Shape = cwsPipeZ;
    d.Workpiece.LengthX = 0.4;
    d.Workpiece.LengthY = 1.0 / 3.0;
    d.Workpiece.LengthZ = 0.0015;
    d.Workpiece.OuterDiameter = 0.125;
    d.Workpiece.InnerDiameter = 0.1;
    d.Workpiece.Volume = 1.2345678e-7;
    d.Workpiece.Material = std::string(80, 'm');
    d.Workpiece.Density = 2700;
    d.Workpiece.Mass = 12.75;
    d.Workpiece.MassCenter = TVektor(-0.01, 0.02, -1.0 / 3.0);
    d.Workpiece.WorstCase = false;
    d.Workpiece.MassKnown = true;
    d.Workpiece.MomentOfInertiaX = 3e-5;
    d.Workpiece.MomentOfInertiaY = 2.5e-4;
    d.Workpiece.MomentOfInertiaZ = 0.1 + 0.2;
    d.Friction = 0.35;
    d.SuctionCups.Resize(3);
    d.SuctionCups.Sauger(0)->Pos = TVektor(0.1, 0.1, 0.05);
    d.SuctionCups.Sauger(1)->Pos = TVektor(-0.1, 0.1, 0.05);
    d.SuctionCups.Sauger(2)->Basis = TBasis(VektorPlusY, VektorMinusX, VektorMinusZ);
    d.SuctionCups.SetStrategyType(3);
    d.SuctionCups.SetGridType(csgCartesian);
    d.SuctionCups.SetGridLength(0.002);
    d.SuctionCups.SetFocused(1);
    d.SuctionCupSelection = {9, 4, 9, 7, 5, 31, 3, true, true};
    d.SuctionCupsOrderCode = std::string(30, 'S');
    d.Tube.OrderCode = "T-6/4";
    d.Tube.Length = 2.5;
    d.Tube.TotalLength = true;
    d.Tube.SelectionColor = 7;
    d.Tube.SelectionFood = true;
    d.Venturi.Count = 3;
    d.Venturi.Pressure = 450000;
    d.Venturi.Vacuum = -85000;
    d.Venturi.TimeMax = 0.75;
    d.Venturi.SelectionGroup = 4;
    d.Venturi.SelectionGewP = 4;
    d.Venturi.SelectionGewV = 1;
    d.Venturi.SelectionSwitch = 3;
    d.Venturi.SelectionSaveAir = true;
    d.Venturi.SelectionSilencer = true;
    d.Venturi.SelectionMagneticValve = true;
    d.Venturi.SelectionEjectorPulse = true;
    d.Venturi.SelectionNonReturnValve = true;
    d.Venturi.SelectionFilter = true;
    d.Venturi.OrderCode = "V=1";
    d.Venturi.Time = 0.123456789012345;
    d.Moving.LinearDirection = cldVerticalDown;
    d.Moving.LinearTravel = 0.3;
    d.Moving.LinearHolderMass = 1.5;
    d.Moving.CircularLever = 0.4;
    d.Moving.CircularAngle = std::numbers::pi / 2;
    d.Moving.CircularHolderMomentOfInertia = 0.02;
    d.Drive.Type = cdtNCCircular;
    d.Drive.PneumaticLinear = {500000, 0.032, true, 2, "SA-12", true, 0.8, 0.4, 1.5, false};
    d.Drive.PneumaticCircular = {550000, "R-40", true, 3, "SA-8", 3.5, 0.3, 2.5, false};
    d.Drive.NCLinearMove.SetJerkLimited(true);
    d.Drive.NCLinearMove.SetJerk(50);
    d.Drive.NCLinearMove.SetAccNeg(-4);
    d.Drive.NCCircularMove.SetVmax(ToBaseUnit(cUM_deg_s, 45));
    d.Drive.NCCircularMove.SetLength(std::numbers::pi);
    d.Site.Altitude = 1850.5;
    d.Site.Leak = {clkMeasured, 0.00035, 2.0e-5 / 3.0, -0.55e5};
}

TEST_F(MyProjectTest, EveryInputReadsBackFromASavedFile) {
    Doc.Project().New();
    FillEveryInput(Doc);
    const std::string file = Dir.File("full.vac");
    const TPrjResult saved = Doc.Project().SaveToFile(file);
    ASSERT_TRUE(saved) << saved.Message;
    EXPECT_EQ(Doc.ProjectDisplayName(), ShortenPath(file, 50));

    TMyProject other;
    ASSERT_TRUE(other.Project().LoadFromFile(file));
    EXPECT_EQ(WrittenLines(other), WrittenLines(Doc));
    EXPECT_FALSE(other.Project().Modified());
    EXPECT_EQ(other.ProjectInfo.Author, std::string(255, 'a'));
    EXPECT_EQ(other.Customer.Address, Doc.Customer.Address);
    EXPECT_EQ(other.Workpiece.LengthY, 1.0 / 3.0);
    EXPECT_EQ(other.Workpiece.Volume, 1.2345678e-7);
    EXPECT_EQ(other.Workpiece.MomentOfInertiaZ, 0.1 + 0.2);
    EXPECT_EQ(other.Workpiece.MassCenter, TVektor(-0.01, 0.02, -1.0 / 3.0));
    EXPECT_TRUE(other.SuctionCups.Equals(Doc.SuctionCups));
    EXPECT_EQ(other.SuctionCupSelection.Size, 31);
    EXPECT_EQ(other.Venturi.OrderCode, "V=1");
    EXPECT_EQ(other.Venturi.Time, 0.123456789012345);
    EXPECT_EQ(other.Drive.Type, cdtNCCircular);
    EXPECT_EQ(other.Drive.PneumaticCircular.QdrOrderCode, "SA-8");
    EXPECT_TRUE(other.Drive.NCLinearMove.Equals(Doc.Drive.NCLinearMove));
    EXPECT_TRUE(other.Drive.NCCircularMove.Equals(Doc.Drive.NCCircularMove));
    EXPECT_EQ(other.Moving.CircularAngle, std::numbers::pi / 2);
    EXPECT_EQ(other.LinearDirectionVector, VektorMinusZ);
    EXPECT_EQ(other.Site.Altitude, 1850.5);
    EXPECT_EQ(other.Site.Leak, Doc.Site.Leak);
    EXPECT_TRUE(other.Site.Equals(Doc.Site));
}

TEST_F(MyProjectTest, SiteValuesAndTheirDefaults) {
    // A new project: sea level, a tight workpiece, the leak fields' starting values.
    Doc.Project().New();
    EXPECT_TRUE(Doc.Site.Standard());
    EXPECT_EQ(Doc.Site.AmbientPressure(), 101325.0);
    EXPECT_EQ(Doc.Site.Leak.Diameter, 0.0005);
    EXPECT_EQ(Doc.Site.Leak.Vacuum, -60000.0);
    // A project written before the site values existed reads the same defaults, not the
    // zeros a missing key of the store gives.
    Doc.Site.Altitude = 900.0;
    Doc.Site.Leak = {clkOrifice, 0.001, 1e-4, -0.2e5};
    ASSERT_TRUE(LoadText("Workpiece.Shape=globe\r\nVenturi.Conditions.Vacuum=-60000\r\n"));
    EXPECT_TRUE(Doc.Site.Standard());
    EXPECT_EQ(Doc.Site.Leak.Diameter, 0.0005);
    EXPECT_EQ(Doc.Site.Leak.Flow, 1.0e-3 / 60.0);
    EXPECT_FALSE(Doc.Project().Modified());
    // Each entry on its own.
    ASSERT_TRUE(LoadText("Site.Altitude=2000\r\nSite.Leak.Kind=orifice\r\nSite.Leak.Diameter=3/4000\r\n"));
    EXPECT_EQ(Doc.Site.Altitude, 2000.0);
    EXPECT_EQ(Doc.Site.Leak.Kind, clkOrifice);
    EXPECT_EQ(Doc.Site.Leak.Diameter, 0.00075);
    EXPECT_EQ(Doc.Site.Leak.Vacuum, -60000.0);
    // A changed value marks the project modified.
    Doc.Site.Leak.Kind = clkNone;
    EXPECT_TRUE(Doc.Project().Modified());
}

TEST_F(MyProjectTest, TheWriterUsesTheStoredForms) {
    Doc.Project().New();
    const std::vector<std::string> lines = WrittenLines(Doc);
    const std::set<std::string> all(lines.begin(), lines.end());
    for (const char* line :
         {"Workpiece.Shape=bar", "Workpiece.Density=7800", "Workpiece.WorstCase=True",
          "Workpiece.MassKnown=False", "Friction=0.5", "SuctionCups.Count=1",
          "SuctionCups.Selection.Size=*", "Venturi.Conditions.Vacuum=-70000",
          "Venturi.Conditions.Count=1", "Moving.Linear.Direction=vertical <up>",
          "Moving.Circular.Angle=3.141592653589793", "Drive.Type=pneumatic <linear>",
          "Drive.NC.Linear.Move.Vmax=0.625", "Drive.NC.Circular.Move.JerkLimited=False",
          "Customer.Address.Count=0", "Remarks.Count=0", "Workpiece.MassCenter.z=0",
          "Air.CycleRate=0.05", "Air.Energy=396000", "Air.OperatingTime=14400000"})
        EXPECT_EQ(all.count(line), 1u) << line;
    EXPECT_EQ(lines.front(), "Customer.Address.Count=0"); // empty texts are absent
    EXPECT_EQ(lines.back(), "Site.Leak.Vacuum=-60000");
    for (const char* line : {"Drive.NC.Circular.Move.Time=1", "Site.Altitude=0", "Site.Leak.Kind=none",
                             "Site.Leak.Diameter=0.0005", "Loads.SafetyFactor=2"})
        EXPECT_EQ(all.count(line), 1u) << line;
}

TEST_F(MyProjectTest, WritingFailsForACharacterOutsideTheCodePage) {
    Doc.Project().New();
    Doc.Remarks = {"ok", "emoji 🙂"};
    const std::string file = Dir.File("bad.vac");
    const TPrjResult r = Doc.Project().SaveToFile(file);
    EXPECT_FALSE(r.Ok());
    EXPECT_NE(r.Message.find("Remarks.Strings[1]"), std::string::npos) << r.Message;
    EXPECT_FALSE(std::filesystem::exists(file));
}

// ---------------------------------------------------------------------------------------------
// Derived values

TEST_F(MyProjectTest, DerivedInertiaAndEvacuatedVolume) {
    Doc.Project().New();
    Doc.SuctionCups.Resize(2);
    Doc.SuctionCups.CupType.Mass = 0.1;
    Doc.SuctionCups.CupType.Volume = 5e-6;
    Doc.SuctionCups.Sauger(0)->Pos = TVektor(0.1, 0, 0);
    Doc.SuctionCups.Sauger(1)->Pos = TVektor(0, -0.2, 0.3);
    Doc.Moving.CircularLever = 0.5;
    Doc.TubeVolume = 2e-5;
    Doc.UpdateDerivedInertia();
    // L² × total mass + Σ m (x² + y²) = 0.25 × 0.2 + 0.1 × (0.01 + 0.04)
    EXPECT_DOUBLE_EQ(Doc.SuctionCupsMomentOfInertia, 0.055);
    EXPECT_DOUBLE_EQ(Doc.EvacuatedVolume, 3e-5);
    EXPECT_EQ(View.DerivedInertiaShown, 1);
}

TEST_F(MyProjectTest, DerivedInertiaWaitsForTheDisclaimerAndTheStore) {
    Doc.TubeVolume = 1;
    Doc.UpdateDerivedInertia(); // the store is still being created
    EXPECT_EQ(Doc.EvacuatedVolume, 0.0);
    Doc.Project().Loaded();
    Doc.DisclaimerPending = true;
    Doc.UpdateDerivedInertia();
    EXPECT_EQ(Doc.EvacuatedVolume, 0.0);
    EXPECT_EQ(View.DerivedInertiaShown, 0);
    Doc.DisclaimerPending = false;
    Doc.UpdateDerivedInertia();
    EXPECT_GT(Doc.EvacuatedVolume, 1.0);
    EXPECT_EQ(View.DerivedInertiaShown, 1);
}

// ---------------------------------------------------------------------------------------------
// The production cycle, the price of air and the required safety

TEST_F(MyProjectTest, AirAndSafetyHaveTheirDefaults) {
    Doc.Air.CycleRate = 9;
    Doc.RequiredSafety = 7;
    Doc.Project().New();
    EXPECT_EQ(Doc.Air.CycleRate * 3600.0, 180.0);
    EXPECT_EQ(Doc.Air.HoldingTime, 2.0);
    EXPECT_EQ(Doc.Air.OperatingTime, 4000.0 * 3600.0);
    EXPECT_EQ(Doc.Air.Price, 0.02);
    // 0.11 kWh = 0.11 · 3.6 MJ.
    EXPECT_EQ(Doc.Air.Energy, 396000.0);
    EXPECT_EQ(Doc.RequiredSafety, 2.0);
}

TEST_F(MyProjectTest, AirAndSafetyReadBackAndAFileWithoutThemReadsTheDefaults) {
    Doc.Project().New();
    Doc.Air.CycleRate = 100.0 / 3600.0;
    Doc.Air.HoldingTime = 3.25;
    Doc.Air.OperatingTime = 6000.0 * 3600.0;
    Doc.Air.Price = 0.035;
    Doc.Air.Energy = 0.12 * 3.6e6;
    Doc.RequiredSafety = 3.5;
    const std::string file = Dir.File("air.vac");
    ASSERT_TRUE(Doc.Project().SaveToFile(file));
    TMyProject other;
    ASSERT_TRUE(other.Project().LoadFromFile(file));
    EXPECT_EQ(other.Air.CycleRate, 100.0 / 3600.0);
    EXPECT_EQ(other.Air.HoldingTime, 3.25);
    EXPECT_EQ(other.Air.OperatingTime, 6000.0 * 3600.0);
    EXPECT_EQ(other.Air.Price, 0.035);
    EXPECT_EQ(other.Air.Energy, 0.12 * 3.6e6);
    EXPECT_EQ(other.RequiredSafety, 3.5);
    EXPECT_FALSE(other.Project().Modified());

    // A project written before these keys existed.
    ASSERT_TRUE(LoadText("Workpiece.Mass=12\r\nProject.Author=Ann\r\n", "old.vac"));
    EXPECT_EQ(Doc.Workpiece.Mass, 12.0);
    EXPECT_EQ(Doc.Air.HoldingTime, 2.0);
    EXPECT_EQ(Doc.Air.Price, 0.02);
    EXPECT_EQ(Doc.RequiredSafety, 2.0);
}

TEST(MyProjectName, LongPathsLoseLeadingFolders) {
    EXPECT_EQ(ShortenPath("/p/short.vac", 50), "/p/short.vac");
    const std::string path = "/home/engineer/projects/customers/acme/gripper/line-4/station.vac";
    const std::string shortened = ShortenPath(path, 50);
    EXPECT_EQ(shortened, ".../customers/acme/gripper/line-4/station.vac");
    EXPECT_EQ(
        ShortenPath("C:\\Users\\engineer\\Documents\\Projects\\Kunde\\Greifer\\Linie4.vac", 40),
        "...\\Projects\\Kunde\\Greifer\\Linie4.vac");
    const std::string longName = "/p/" + std::string(60, 'x') + ".vac";
    const std::string cut = ShortenPath(longName, 50);
    EXPECT_EQ(cut, "..." + std::string(43, 'x') + ".vac");
    std::string umlauts;
    for (int i = 0; i < 48; ++i) umlauts += "ü";
    EXPECT_EQ(ShortenPath("/ä/" + umlauts, 50), "..." + umlauts.substr(2));
}

} // namespace

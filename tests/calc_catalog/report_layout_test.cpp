#include "core/calc/cup_layout.h"
#include "core/quantities/number_format.h"
#include "core/quantities/term.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/product_filters.h"
#include "core/workflow/project_files.h"
#include "core/workflow/report_layout.h"
#include "core/workflow/vacuum_application.h"
#include "tests/calc_catalog/bundled_catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

// The printed report of the example projects on the bundled catalogue, in English and
// Russian: the blocks and where they stand, the values they print (worked out by hand
// from the projects' inputs), the page breaks, and that everything stays on the page.
// Positions follow from the A4 page at 600 dpi with a line height of 100: printable
// from x 200 to 4861 (width 4661), y 100 to 6716; the header ends at 500 and the footer
// starts at 6516. A text in column c, row r of a block starting at y stands at
// (column c + 50, y + 100 r + 50); columns at 0.25, 0.3, 0.45, 0.5 and 0.6 of the width
// are at 1365, 1598, 2297, 2530 and 2997.

namespace {

const std::string kExamples = std::string(VACUUM_SOURCE_DIR) + "/examples/";

struct TSession {
    TVacuumApplication App{CatalogueFile(), LanguageFile()};
    TProjectFiles Files{App};

    explicit TSession(const char* example, const char* language = "en") {
        App.Input([&] { App.Workflow.ButtonAcceptClick(); });
        const auto opened = Files.Open(kExamples + example);
        EXPECT_TRUE(opened && opened->Ok()) << example;
        EXPECT_EQ(App.WalkTo(cmpPartsList), -1) << example;
        EXPECT_TRUE(App.Input([&] { return App.SetLanguage(language); }));
    }
    TReportLayout Layout(TReportSetup setup = Setup()) { return LayoutReport(App, setup); }

    static TReportSetup Setup() {
        TReportSetup s;
        s.DateTime = "04.05.2026 12:00";
        s.Version = "2.5";
        return s;
    }
};

class ReportLayout : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = DecimalSeparator();
        SetDecimalSeparator('.');
    }
    void TearDown() override { SetDecimalSeparator(saved_); }
    char saved_ = '.';
};

// The commands of each page.
std::vector<std::vector<TReportCommand>> Pages(const TReportLayout& l) {
    std::vector<std::vector<TReportCommand>> pages(1);
    for (const TReportCommand& c : l.Commands) {
        if (c.Op == TReportCommand::crNewPage)
            pages.emplace_back();
        else
            pages.back().push_back(c);
    }
    return pages;
}

TReportCommand Txt(int x, int y, std::string text, int scale = 1) {
    return {TReportCommand::crText, x, y, 0, 0, scale, std::move(text)};
}

bool Has(const std::vector<TReportCommand>& page, const TReportCommand& c) {
    return std::find(page.begin(), page.end(), c) != page.end();
}

// The first text of a page below the header.
const TReportCommand* FirstBodyText(const std::vector<TReportCommand>& page) {
    for (const TReportCommand& c : page)
        if (c.Op == TReportCommand::crText && c.Y > 500) return &c;
    return nullptr;
}

// The text at a position of a page; empty when there is none.
std::string At(const std::vector<TReportCommand>& page, int x, int y) {
    for (const TReportCommand& c : page)
        if (c.Op == TReportCommand::crText && c.X == x && c.Y == y) return c.Text;
    return {};
}

std::string Fixed3(double x) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", x);
    return buf;
}

// What the report prints for a value without a FieldText of the printing side.
std::string Si(TNormUnit q, double v) {
    return ReportDefaultFieldText(TReportValue{{}, q, v}, "0");
}

// Columns (text positions) of the main column set and of the suction cup block.
constexpr int kC0 = 250, kC1 = 1415, kC2 = 1648, kCup3 = 2347, kCup4 = 3047;

int CodePoints(const std::string& s) {
    return static_cast<int>(
        std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

} // namespace

TEST_F(ReportLayout, WithoutProjectOrCustomerDataTheWorkpieceComesFirst) {
    TSession s("steel_sheet_linear.vac");
    {
        const auto pages = Pages(s.Layout());
        const TReportCommand* first = FirstBodyText(pages[0]);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(*first, Txt(kC0, 550, "Workpiece"));
    }
    // Project data: 5 lines from 500; customer data with two address lines: 6 lines from
    // 1000; three remarks: 4 lines from 1600; the workpiece follows at 2000.
    TMyProject& d = s.App.Document;
    d.ProjectInfo = {"A. Smith", {"Sheet gripper", "line 4"}, "P-17"};
    d.Customer = {"C-9", "+49 711 0", "", {"Main street 1", "70000 Town"}};
    d.Remarks = {"first", "second", "third"};
    const auto pages = Pages(s.Layout());
    const std::vector<TReportCommand>& p = pages[0];
    EXPECT_EQ(*FirstBodyText(p), Txt(kC0, 550, "Project data"));
    EXPECT_TRUE(Has(p, Txt(kC1, 550, "Editor : A. Smith")));
    EXPECT_TRUE(Has(p, Txt(kC1, 650, "Project name :")));
    EXPECT_TRUE(Has(p, Txt(kC2, 650, "Sheet gripper")));
    EXPECT_TRUE(Has(p, Txt(kC2, 750, "line 4")));
    EXPECT_TRUE(Has(p, Txt(kC1, 850, "Project no. : P-17")));
    EXPECT_TRUE(Has(p, Txt(kC0, 1050, "Customer data")));
    EXPECT_TRUE(Has(p, Txt(kC1, 1050, "Customer no. : C-9")));
    EXPECT_TRUE(Has(p, Txt(kC1, 1150, "Phone : +49 711 0")));
    EXPECT_TRUE(Has(p, Txt(kC1, 1250, "Fax : ")));
    EXPECT_TRUE(Has(p, Txt(kC1, 1350, "Address")));
    EXPECT_TRUE(Has(p, Txt(kC2, 1350, "Main street 1")));
    EXPECT_TRUE(Has(p, Txt(kC2, 1450, "70000 Town")));
    EXPECT_TRUE(Has(p, Txt(kC0, 1650, "Remarks")));
    EXPECT_TRUE(Has(p, Txt(kC1, 1850, "third")));
    EXPECT_TRUE(Has(p, Txt(kC0, 2050, "Workpiece")));

    // Only a phone number: the customer block alone, 5 lines (no address line counts as one).
    d.ProjectInfo = {};
    d.Customer = {"", "+1 555", "", {}};
    d.Remarks.clear();
    const auto alone = Pages(s.Layout());
    EXPECT_EQ(*FirstBodyText(alone[0]), Txt(kC0, 550, "Customer data"));
    EXPECT_TRUE(Has(alone[0], Txt(kC0, 1050, "Workpiece")));
}

TEST_F(ReportLayout, EveryPageHasItsHeaderAndNumberedFooter) {
    TSession s("steel_sheet_linear.vac");
    const TReportLayout l = s.Layout();
    // Workpiece 9, friction 2, one cup 15, tube 9, generator 15, evacuation time 2 and
    // motion 8 lines fill 60 of the 60.16 lines of the body; the drive's 16 lines do not
    // fit and start page 2, followed by the empty block and the parts list.
    ASSERT_EQ(l.Pages, 2);
    const auto pages = Pages(l);
    ASSERT_EQ(pages.size(), 2u);
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::vector<TReportCommand>& p = pages[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(p.front(), (TReportCommand{TReportCommand::crRect, 200, 100, 4861, 500, 1, {}}));
        EXPECT_TRUE(Has(p, Txt(kC0, 150, "Orsik", 2)));
        EXPECT_TRUE(Has(p, Txt(kC1, 150, "Vacuum Gripper Designer - Version 2.5")));
        EXPECT_TRUE(Has(p, Txt(kC1, 250, "04.05.2026 12:00")));
        EXPECT_TRUE(Has(p, (TReportCommand{TReportCommand::crRect, 200, 500, 4861, 6516, 1, {}})));
        EXPECT_TRUE(Has(p, (TReportCommand{TReportCommand::crRect, 200, 6516, 4861, 6716, 1, {}})));
        EXPECT_EQ(p.back(), Txt(kC0, 6566, "Page " + std::to_string(i + 1)));
    }
    EXPECT_TRUE(Has(pages[0], Txt(kC0, 5750, "Motion")));
    EXPECT_EQ(*FirstBodyText(pages[1]), Txt(kC0, 550, "Drive"));
    // 16 + 8 lines later, the parts list.
    EXPECT_TRUE(Has(pages[1], Txt(kC0, 2950, "Parts list")));
}

TEST_F(ReportLayout, EverythingStaysOnThePageAndTextsOfARowDoNotMeet) {
    for (const char* example :
         {"steel_sheet_linear.vac", "glass_plate_rotary.vac", "aluminium_block_servo.vac"}) {
        for (const char* language : {"en", "ru"}) {
            SCOPED_TRACE(std::string(example) + " " + language);
            TSession s(example, language);
            const auto pages = Pages(s.Layout());
            for (const auto& page : pages) {
                std::map<int, std::vector<const TReportCommand*>> rows;
                for (const TReportCommand& c : page) {
                    EXPECT_GE(std::min(c.X, c.Op == TReportCommand::crText ? c.X : c.X2), 200);
                    EXPECT_LE(std::max(c.X, c.X2), 4861);
                    EXPECT_GE(std::min(c.Y, c.Op == TReportCommand::crText ? c.Y : c.Y2), 100);
                    EXPECT_LE(std::max(c.Y, c.Y2), 6716);
                    if (c.Op == TReportCommand::crText && !c.Text.empty()) rows[c.Y].push_back(&c);
                }
                // Within a row the texts stand in different columns, and each ends before
                // the next begins, taking a character as 0.4 line heights (about Arial's
                // average advance, the line height being the height of "Mg").
                for (auto& [y, texts] : rows) {
                    std::sort(texts.begin(), texts.end(),
                              [](const TReportCommand* a, const TReportCommand* b) {
                                  return a->X < b->X;
                              });
                    for (size_t i = 1; i < texts.size(); ++i) {
                        EXPECT_LT(texts[i - 1]->X, texts[i]->X) << y;
                        EXPECT_LE(texts[i - 1]->X + CodePoints(texts[i - 1]->Text) * 40,
                                  texts[i]->X)
                            << texts[i - 1]->Text << " | " << texts[i]->Text;
                    }
                }
            }
        }
    }
}

TEST_F(ReportLayout, SteelSheetPrintsItsInputsAndWhatFollowsFromThem) {
    TSession s("steel_sheet_linear.vac");
    const auto pages = Pages(s.Layout());
    const std::vector<TReportCommand>& p = pages[0];
    // Workpiece, rows from 500.
    EXPECT_EQ(At(p, kC1, 550), "Shape : Cuboid");
    EXPECT_EQ(At(p, kC1, 650), "Dimensions");
    EXPECT_EQ(At(p, kC2, 750), "Length (X) 0.4 m  /  Width (Y) 0.3 m  /  Height (Z) 0.002 m");
    // 0.4 × 0.3 × 0.002 m = 0.00024 m³, of steel (7870 kg/m³) 1.8888 kg.
    EXPECT_EQ(At(p, kC1, 850), "Volume : 0.00024 m³");
    EXPECT_EQ(At(p, kC1, 950), "Material : Steel");
    EXPECT_EQ(At(p, kC1, 1050), "Density : 7870 kg/m³");
    EXPECT_EQ(At(p, kC1, 1150), "Mass : 1.889 kg");
    // A cuboid: Jx = m (y² + z²)/12 = 1.8888 × 0.090004/12 = 0.014167, Jy = 1.8888 ×
    // 0.160004/12 = 0.025185, Jz = 1.8888 × 0.25/12 = 0.03935 kg m².
    EXPECT_EQ(At(p, kC1, 1250),
              "Moment of inertia : X 0.01417 kg m²  /  Y 0.02518 kg m²  /  Z 0.03935 kg m²");
    // Friction from 1400, in the friction block's own columns.
    EXPECT_EQ(At(p, kC0, 1450), "Friction");
    EXPECT_EQ(At(p, kC1, 1450), "Coefficient of friction : 0.5");
    // Suction cup from 1600: nine filters without preference, the cup, its count and its
    // one position: in the centre of the sheet, on its top face (z = 2 mm / 2).
    EXPECT_EQ(At(p, kC0, 1650), "Suction cup");
    EXPECT_EQ(At(p, kC1, 1650), "Suction cup diameter [mm] : No preference");
    EXPECT_EQ(At(p, kC1, 2450), "Angle compensator : No preference");
    EXPECT_EQ(At(p, kC1, 2550), "Order code : SC-S2-FL030-NB-H1G18");
    EXPECT_EQ(At(p, kC1, 2650), "Count : 1");
    EXPECT_EQ(At(p, kC1, 2750), "Positioning");
    EXPECT_EQ(At(p, kC2, 2850), "X 0 mm");
    EXPECT_EQ(At(p, kCup3, 2850), "Y 0 mm");
    EXPECT_EQ(At(p, kCup4, 2850), "Z 1 mm");
    // Tube from 3100 (one cup + 14 lines): a tube of 4 mm bore, 0.25 m long, holds
    // π × (2 mm)² × 0.25 m = 3.1416e-6 m³. Row 1 stays empty.
    EXPECT_EQ(At(p, kC0, 3150), "Tube");
    EXPECT_EQ(At(p, kC1, 3150), "Inside diameter : No preference");
    EXPECT_EQ(At(p, kC1, 3250), "");
    EXPECT_EQ(At(p, kC1, 3650), "Order code : TU-PU-06x4-NT");
    EXPECT_EQ(At(p, kC1, 3750), "Total tube length : 0.25 m");
    EXPECT_EQ(At(p, kC1, 3850), "Volume : 0.000003142 m³");
    // Generator from 4000.
    EXPECT_EQ(At(p, kC1, 4050), "Count : 1");
    EXPECT_EQ(At(p, kC1, 4150), "Working pressure : 600000 Pa");
    EXPECT_EQ(At(p, kC1, 4250), "Vacuum : -70000 Pa");
    EXPECT_EQ(At(p, kC1, 4350), "With solenoid valve : No preference");
    EXPECT_EQ(At(p, kC1, 5350), "Order code : VG-V1-045-M5");
    // Evacuation time from 5500: the chosen generator's time for these conditions.
    int row = -1;
    for (int r = 0; r < s.App.VenturiQuery.Rows(); ++r)
        if (s.App.VenturiQuery.AsText(r, "OrderCode") == "VG-V1-045-M5") row = r;
    ASSERT_GE(row, 0);
    const double time = s.App.Venturi.RowTime(row);
    ASSERT_GT(time, 0.0);
    EXPECT_EQ(At(p, kC1, 5550), Fixed3(time) + " s");
    // Motion from 5700: moving mass = workpiece + one cup + holder (0).
    const double cup = s.App.Document.SuctionCups.CupType.Mass;
    EXPECT_EQ(At(p, kC1, 5750), "Linear");
    EXPECT_EQ(At(p, kC1, 5850), "Direction : Vertical, up");
    EXPECT_EQ(At(p, kC1, 5950), "Travel : 0.25 m");
    EXPECT_EQ(At(p, kC1, 6050), "Moving mass : " + Si(cNU_mass, 1.8888 + cup));
    EXPECT_EQ(At(p, kC2, 6150), "Holder : 0 kg");
    EXPECT_EQ(At(p, kC2, 6250), "Suction cups : " + Si(cNU_mass, cup));
    EXPECT_EQ(At(p, kC2, 6350), "Workpiece : 1.889 kg");

    // Page 2: the drive of a pneumatic stroke from 500, the 6 mm cylinder of the list,
    // cushioned by its fixed stop; no absorbers, no automatic selection (row 2 empty).
    const std::vector<TReportCommand>& q = pages[1];
    EXPECT_EQ(At(q, kC1, 550), "Pneumatic");
    EXPECT_EQ(At(q, kC1, 650), "Working pressure : 600000 Pa");
    EXPECT_EQ(At(q, kC1, 750), "");
    EXPECT_EQ(At(q, kC1, 850), "Piston diameter : 6 mm");
    EXPECT_EQ(At(q, kC1, 950), "Cushioning : Fixed stop (P)");
    EXPECT_EQ(At(q, kC1, 1050), "");
    EXPECT_EQ(At(q, kC1, 1250), "Velocity : Calculate");
    EXPECT_EQ(At(q, kC2, 1350), "Travel : 0.25 m");
    EXPECT_EQ(At(q, kC2, 1450), "Time : 1 s");
    EXPECT_EQ(At(q, kC2, 1550), "Maximum : 0.3125 m/s");
    EXPECT_EQ(At(q, kC1, 1650), "Acceleration and force");
    EXPECT_EQ(At(q, kC2, 1750), "Safety factor : 2");
    EXPECT_EQ(At(q, kC2, 1850),
              "Acceleration : " + Si(cNU_acceleration, s.App.Drive.Linear().Acceleration));
    EXPECT_EQ(At(q, kC2, 1950),
              "Inertia force : " + Si(CNU_force, s.App.Drive.Linear().InertiaForce));
    // The parts list from 2900 (drive 16 and the empty block 8 lines): titles in row 2, then
    // the tube (0.25 m is ordered as 1 m), the cup and the generator.
    const int x[] = {250, 716, 1881, 3047, 3513, 3979};
    EXPECT_EQ(At(q, x[0], 2950), "Parts list");
    EXPECT_EQ(At(q, x[1], 3150), "Order code");
    EXPECT_EQ(At(q, x[2], 3150), "Description");
    EXPECT_EQ(At(q, x[1], 3250), "TU-PU-06x4-NT");
    EXPECT_EQ(At(q, x[2], 3250), "Vacuum tube");
    EXPECT_EQ(At(q, x[4], 3250), "    1 m");
    EXPECT_EQ(At(q, x[1], 3350), "SC-S2-FL030-NB-H1G18");
    EXPECT_EQ(At(q, x[2], 3350), "Flat suction cup");
    EXPECT_EQ(At(q, x[4], 3350), "    1");
    EXPECT_EQ(At(q, x[1], 3450), "VG-V1-045-M5");
    EXPECT_EQ(At(q, x[2], 3450), "Inline vacuum generator");
    // Nothing after the last part but the footer.
    EXPECT_EQ(At(q, x[1], 3550), "");
}

TEST_F(ReportLayout, GlassPlateSwivelPrintsFourCupsAndTheRotaryDrive) {
    TSession s("glass_plate_rotary.vac");
    const auto pages = Pages(s.Layout());
    const std::vector<TReportCommand>& p = pages[0];
    // 0.5 × 0.4 × 0.004 m of glass (2600 kg/m³): 2.08 kg; Jx = 2.08 × 0.160016/12,
    // Jy = 2.08 × 0.250016/12, Jz = 2.08 × 0.41/12 kg m².
    EXPECT_EQ(At(p, kC1, 1150), "Mass : 2.08 kg");
    EXPECT_EQ(At(p, kC1, 1250),
              "Moment of inertia : X 0.02774 kg m²  /  Y 0.04334 kg m²  /  Z 0.07107 kg m²");
    // Four cups of 50 mm at the corners, 1 mm from the edges: x = ±(250 − 25 − 1) mm,
    // y = ±(200 − 25 − 1) mm, on the top face z = 2 mm; one row each from row 12.
    EXPECT_EQ(At(p, kC1, 2650), "Count : 4");
    const char* xs[] = {"X -224 mm", "X 224 mm", "X 224 mm", "X -224 mm"};
    const char* ys[] = {"Y -174 mm", "Y -174 mm", "Y 174 mm", "Y 174 mm"};
    for (int i = 0; i < 4; ++i) {
        const int y = 1600 + (12 + i) * 100 + 50;
        EXPECT_EQ(At(p, kC2, y), xs[i]) << i;
        EXPECT_EQ(At(p, kCup3, y), ys[i]) << i;
        EXPECT_EQ(At(p, kCup4, y), "Z 2 mm") << i;
    }
    // The tube follows 4 + 14 lines below 1600.
    EXPECT_EQ(At(p, kC0, 3450), "Tube");
    // Motion from 6000 (tube 9, generator 15, evacuation time 2): a swivel of 90° with a
    // lever of 0.3 m; the workpiece about the axis: 0.3² × 2.08 + 0.071067 = 0.25827 kg m².
    const std::vector<TReportCommand>& q = pages[1];
    const TMyProject& d = s.App.Document;
    EXPECT_EQ(At(p, kC0, 6050), "");
    EXPECT_EQ(*FirstBodyText(q), Txt(kC0, 550, "Motion"));
    EXPECT_EQ(At(q, kC1, 550), "Rotary");
    EXPECT_EQ(At(q, kC1, 650), "Rotation angle : 90 deg");
    EXPECT_EQ(At(q, kC1, 750), "Lever arm : 0.3 m");
    EXPECT_EQ(At(q, kC2, 950), "Holder : 0 kg m²");
    EXPECT_EQ(At(q, kC2, 1150), "Workpiece : 0.2583 kg m²");
    // The total is holder + cups + workpiece about the axis.
    EXPECT_NEAR(d.TotalMomentOfInertia, 0.0 + d.SuctionCupsMomentOfInertia + 0.2582667, 1e-6);
    EXPECT_EQ(At(q, kC1, 850),
              "Moment of inertia : " + Si(cNU_moment_of_inertia, d.TotalMomentOfInertia));
    EXPECT_EQ(At(q, kC2, 1050),
              "Suction cups : " + Si(cNU_moment_of_inertia, d.SuctionCupsMomentOfInertia));
    // The drive from 1300: the chosen rotary actuator, its internal cushioning, and the
    // swivel of 90° in 1 s at π rad/s = 180 deg/s.
    EXPECT_EQ(At(q, kC1, 1350), "Pneumatic");
    EXPECT_EQ(At(q, kC1, 1450), "Working pressure : 600000 Pa");
    EXPECT_EQ(At(q, kC1, 1550), "Cylinder type : RA-32-90");
    EXPECT_EQ(At(q, kC1, 1650), "Cushioning : internal");
    EXPECT_EQ(At(q, kC1, 1750), "");
    EXPECT_EQ(At(q, kC1, 2050), "Velocity : Calculate");
    EXPECT_EQ(At(q, kC2, 2150), "Rotation angle : 90 deg");
    EXPECT_EQ(At(q, kC2, 2250), "Time : 1 s");
    EXPECT_EQ(At(q, kC2, 2350), "Maximum : 180 deg/s");
    EXPECT_EQ(At(q, kC2, 2550), "Safety factor : 2");
}

TEST_F(ReportLayout, USMeasurePrintsInertiaInPoundSquareInchesAndCupsInInches) {
    TSession s("glass_plate_rotary.vac");
    TReportSetup setup = TSession::Setup();
    setup.Measure = "1";
    const auto pages = Pages(s.Layout(setup));
    const std::vector<TReportCommand>& p = pages[0];
    // 1 lb in² = 0.45359237 kg × (0.0254 m)² = 2.92640e-4 kg m².
    EXPECT_EQ(At(p, kC1, 1250),
              "Moment of inertia : X 94.779 lb in²  /  Y 148.087 lb in²  /  Z 242.847 lb in²");
    // 224 mm = 8.8189 in, 174 mm = 6.8504 in, 2 mm = 0.0787 in, to 0.01 in.
    EXPECT_EQ(At(p, kC2, 2850), "X -8.82 in");
    EXPECT_EQ(At(p, kCup3, 2850), "Y -6.85 in");
    EXPECT_EQ(At(p, kCup4, 2850), "Z 0.08 in");
    // Field values fall back to the US default units: 2.08 kg = 4.586 lb.
    EXPECT_EQ(At(p, kC1, 1150), "Mass : 4.586 lb");
}

TEST_F(ReportLayout, ServoBlockPrintsTheAxisAsElectricalAndNothingElse) {
    TSession s("aluminium_block_servo.vac");
    const auto pages = Pages(s.Layout());
    const std::vector<TReportCommand>& p = pages[0];
    // 0.2 × 0.15 × 0.05 m of aluminium (2810 kg/m³) = 4.215 kg; two cups at both ends,
    // x = ±(100 − 25 − 1) mm, on the top face z = 25 mm.
    EXPECT_EQ(At(p, kC1, 1150), "Mass : 4.215 kg");
    EXPECT_EQ(At(p, kC2, 2850), "X -74 mm");
    EXPECT_EQ(At(p, kC2, 2950), "X 74 mm");
    EXPECT_EQ(At(p, kCup4, 2950), "Z 25 mm");
    // Motion on page 2 (the first page ends with the evacuation time at 5600), the drive
    // 8 lines below it.
    const std::vector<TReportCommand>& q = pages.at(1);
    EXPECT_EQ(At(q, kC1, 650), "Direction : Horizontal (X)");
    EXPECT_EQ(At(q, kC1, 750), "Travel : 0.8 m");
    EXPECT_EQ(At(q, kC0, 1350), "Drive");
    EXPECT_EQ(At(q, kC1, 1350), "Electrical");
    // Rows 1 to 15 of the drive block stay empty.
    for (const TReportCommand& c : q)
        if (c.Op == TReportCommand::crText && c.Y > 1350 && c.Y < 2900) ADD_FAILURE() << c.Text;
    // The parts list after the drive (1300 to 2900) and the empty block of 8 lines.
    EXPECT_EQ(At(q, kC0, 3750), "Parts list");
}

TEST_F(ReportLayout, RussianReportHasTheEnglishGeometryWithRussianTexts) {
    for (const char* example :
         {"steel_sheet_linear.vac", "glass_plate_rotary.vac", "aluminium_block_servo.vac"}) {
        SCOPED_TRACE(example);
        TSession en(example, "en");
        TSession ru(example, "ru");
        const TReportLayout a = en.Layout(), b = ru.Layout();
        ASSERT_EQ(a.Pages, b.Pages);
        ASSERT_EQ(a.Commands.size(), b.Commands.size());
        for (size_t i = 0; i < a.Commands.size(); ++i) {
            const TReportCommand &x = a.Commands[i], &y = b.Commands[i];
            EXPECT_TRUE(x.Op == y.Op && x.X == y.X && x.Y == y.Y && x.X2 == y.X2 && x.Y2 == y.Y2 &&
                        x.FontScale == y.FontScale)
                << i;
        }
        const auto pages = Pages(b);
        const std::vector<TReportCommand>& p = pages[0];
        EXPECT_TRUE(Has(p, Txt(kC1, 150, "Проектирование вакуумных захватов - Версия 2.5")));
        EXPECT_EQ(*FirstBodyText(p), Txt(kC0, 550, "Заготовка"));
        EXPECT_EQ(At(p, kC1, 550), "Форма : Параллелепипед");
        EXPECT_EQ(At(p, kC1, 1650), "Диаметр присоски [мм] : Любой");
        EXPECT_EQ(p.back(), Txt(kC0, 6566, "Страница 1"));
        EXPECT_EQ(pages.back().back(), Txt(kC0, 6566, "Страница " + std::to_string(b.Pages)));
    }
    TSession ru("steel_sheet_linear.vac", "ru");
    const auto pages = Pages(ru.Layout());
    EXPECT_EQ(At(pages[0], kC1, 1150), "Масса : 1.889 kg");
    EXPECT_EQ(At(pages[0], kC1, 5850), "Направление : Вертикально вверх");
    EXPECT_EQ(At(pages[1], 1881, 3450), "Проходной вакуумный генератор");
}

TEST_F(ReportLayout, ValueFieldsAreAskedOfThePrintingSide) {
    TSession s("steel_sheet_linear.vac");
    std::vector<TReportValue> asked;
    std::vector<std::string> names;
    TReportSetup setup = TSession::Setup();
    setup.FieldText = [&](const TReportValue& v) {
        asked.push_back(v);
        names.emplace_back(v.Control);
        return "<" + std::string(v.Control) + ">";
    };
    const auto pages = Pages(s.Layout(setup));
    auto value = [&](std::string_view control) -> const TReportValue* {
        for (size_t i = 0; i < asked.size(); ++i)
            if (names[i] == control) return &asked[i];
        return nullptr;
    };
    struct TExpected {
        std::string_view Control;
        TNormUnit Quantity;
        double Value;
    };
    const TExpected expected[] = {
        {cpcLengthX, cNU_length, 0.4},
        {cpcLengthY, cNU_length, 0.3},
        {cpcLengthZ, cNU_length, 0.002},
        {cpcVolume, cNU_volume, 0.00024},
        {cpcDensity, cNU_density, 7870.0},
        {cpcMass, cNU_mass, 1.8888},
        {cpcFriction, cNU_NoUnit, 0.5},
        {cpcTotalTubeLength, cNU_length, 0.25},
        {cpcVenturiCount, cNU_pieces, 1.0},
        {cpcVenturiPressure, cNU_pressure, 600000.0},
        {cpcRequiredVacuum, cNU_pressure, -70000.0},
        {cpcTravel, cNU_length, 0.25},
        {cpcHolderMass, cNU_mass, 0.0},
        {cpcLinearPressure, cNU_pressure, 600000.0},
        {cpcLinearTime, cNU_time, 1.0},
        {cpcLinearSafetyFactor, cNU_NoUnit, 2.0},
    };
    for (const TExpected& e : expected) {
        const TReportValue* v = value(e.Control);
        ASSERT_NE(v, nullptr) << e.Control;
        EXPECT_EQ(v->Quantity, e.Quantity) << e.Control;
        EXPECT_NEAR(v->Value, e.Value, 1e-9 * std::max(1.0, std::abs(e.Value))) << e.Control;
    }
    // A cuboid shows no diameters, and a stroke no swivel fields.
    EXPECT_EQ(value(cpcOuterDiameter), nullptr);
    EXPECT_EQ(value(cpcRotationAngle), nullptr);
    EXPECT_EQ(value(cpcRotaryPressure), nullptr);
    // The text given back is what the report prints.
    EXPECT_EQ(At(pages[0], kC1, 1150), "Mass : <SpinEditWerkStkMasse>");
    EXPECT_EQ(At(pages[0], kC2, 750), "Length (X) <SpinEditLaenge>  /  Width (Y) <SpinEditBreite>  "
                                      "/  Height (Z) <SpinEditHoehe>");
    // The moments of inertia are the report's own: always in kg m² (or lb in²).
    EXPECT_EQ(At(pages[0], kC1, 1250),
              "Moment of inertia : X 0.01417 kg m²  /  Y 0.02518 kg m²  /  Z 0.03935 kg m²");
}

TEST_F(ReportLayout, FilterTextsAreThoseTheListsShow) {
    TSession s("steel_sheet_linear.vac");
    TVacuumApplication& app = s.App;
    // The cup page: a shape and a size chosen, the filter option set.
    TMyProject::TSuctionCupSelection& sel = app.Document.SuctionCupSelection;
    ASSERT_TRUE(StoreSuctionCupFilter(sel, "~ShapeKey", "~bellows 1.5"));
    ASSERT_TRUE(StoreSuctionCupFilter(sel, "Size", "20"));
    ASSERT_TRUE(StoreSuctionCupFilter(sel, "~Filter", "X"));
    ApplySuctionCupFilters(sel, app.SuctionCupQuery);
    // The series list is left with the series of the rows that pass the other filters:
    // counted here straight from the table.
    const TCustomTable& cups = app.SuctionCups;
    std::set<std::string> series;
    for (int r = 0; r < cups.Rows(); ++r)
        if (cups.AsText(r, "~ShapeKey") == "~bellows 1.5" && cups.AsText(r, "Size") == "20" &&
            cups.AsText(r, "~Filter") == "X")
            series.insert(cups.AsText(r, "Group"));
    ASSERT_EQ(series.size(), 1u);
    // The generator page: a series chosen. The tube page's diameter list filters its
    // query by hand, as the list does when a diameter is picked (4 mm, in metres there).
    TMyProject::TVenturi& v = app.Document.Venturi;
    const std::string group(VenturiFilters()[0].Names[1]);
    ASSERT_TRUE(StoreVenturiFilter(v, "Group", group));
    ApplyVenturiFilters(v, app.VenturiQuery);
    TTerm bore;
    bore.Typ = cTTNum;
    bore.Value = 0.004;
    app.TubeQuery.FilterCategory("Diameter", bore, cCompEqual);
    ASSERT_GT(app.TubeQuery.Rows(), 0);
    // The switch list keeps the switches of that series alone, counted from the table.
    const TCustomTable& generators = app.Venturis;
    std::set<std::string> switches;
    for (int r = 0; r < generators.Rows(); ++r)
        if (generators.AsText(r, "Group") == group) switches.insert(generators.AsText(r, "Switch"));
    ASSERT_FALSE(switches.empty());
    const std::string switchText = switches.size() == 1 ? *switches.begin() : "No preference";

    const auto pages = Pages(s.Layout());
    const std::vector<TReportCommand>& p = pages[0];
    EXPECT_EQ(At(p, kC1, 1650), "Suction cup diameter [mm] : 20");
    EXPECT_EQ(At(p, kC1, 1850), "Shape : Bellows, 1.5 folds");
    EXPECT_EQ(At(p, kC1, 2250), "Series : " + *series.begin());
    EXPECT_EQ(At(p, kC1, 2350), "Filter : Yes");
    EXPECT_EQ(At(p, kC1, 2450), "Angle compensator : No preference");
    EXPECT_EQ(At(p, kC1, 3150), "Inside diameter : 4 mm");
    EXPECT_EQ(At(p, kC1, 4950), "Series : " + group);
    EXPECT_EQ(At(p, kC1, 5050), "Output switch : " + switchText);
}

TEST_F(ReportLayout, AGeneratorThatCannotReachTheVacuumPrintsMinusOneSecond) {
    TSession s("steel_sheet_linear.vac");
    TVacuumApplication& app = s.App;
    // No ejector reaches a vacuum of −0.99 bar; choosing the generator again takes its time.
    app.Input([&] { app.Venturi.SpinEditVakuumSollChange(-99000.0); });
    app.Input([&] { app.Venturi.VenturiSelect(app.Venturi.SelectedRow()); });
    ASSERT_EQ(app.Document.Venturi.Time, -1.0);
    const auto pages = Pages(s.Layout());
    EXPECT_EQ(At(pages[0], kC0, 5550), "Evacuation time");
    EXPECT_EQ(At(pages[0], kC1, 5550), "-1.000 s");
}

TEST_F(ReportLayout, ThirtyCupsStayInOneBlockOnOnePage) {
    TSession s("steel_sheet_linear.vac");
    TVacuumApplication& app = s.App;
    // A field of 6 × 5 cups of 30 mm on the 400 × 300 mm sheet.
    TStrategySettings field = app.Cups.StrategySettings();
    field.Strategy = cssArea;
    field.Count1 = 6;
    field.Count2 = 5;
    app.Input([&] { app.Cups.StrategieChange(field); });
    ASSERT_EQ(app.Document.SuctionCups.Count(), 30);
    // A page of height 4000 has a body of 30 lines (500 to 3500); the cup block needs 44.
    TReportSetup setup = TSession::Setup();
    setup.PageHeight = 4000;
    const TReportLayout l = s.Layout(setup);
    const auto pages = Pages(l);
    // Page 1: workpiece and friction; page 2: the cups alone; page 3 the tube and on.
    ASSERT_GE(pages.size(), 3u);
    EXPECT_EQ(*FirstBodyText(pages[1]), Txt(kC0, 550, "Suction cup"));
    EXPECT_EQ(At(pages[1], kC1, 1550), "Count : 30");
    for (int i = 0; i < 30; ++i) EXPECT_NE(At(pages[1], kC2, 500 + (12 + i) * 100 + 50), "") << i;
    EXPECT_EQ(*FirstBodyText(pages[2]), Txt(kC0, 550, "Tube"));
    // No page is left without a block: the first text below the header is a block's
    // title in column 0, not the footer.
    for (size_t i = 0; i < pages.size(); ++i) {
        const TReportCommand* first = FirstBodyText(pages[i]);
        ASSERT_NE(first, nullptr) << i;
        EXPECT_EQ(first->X, kC0) << i;
        EXPECT_LT(first->Y, 3550) << i << " " << first->Text;
    }
}

// The compressed air of the chosen generator and the verdict close the report.
TEST_F(ReportLayout, TheAirAccountAndTheVerdictFollowThePartsList) {
    TSession s("steel_sheet_linear.vac");
    TReportSetup setup = TSession::Setup();
    setup.Currency = "CHF";
    const auto pages = Pages(s.Layout(setup));
    std::vector<std::string> texts;
    for (const auto& page : pages)
        for (const TReportCommand& c : page)
            if (c.Op == TReportCommand::crText) texts.push_back(c.Text);
    const auto find = [&](const std::string& start) -> std::string {
        for (const std::string& t : texts)
            if (t.starts_with(start)) return t;
        return {};
    };
    const auto index = [&](const std::string& start) {
        for (size_t i = 0; i < texts.size(); ++i)
            if (texts[i].starts_with(start)) return static_cast<int>(i);
        return -1;
    };
    ASSERT_GE(index("Compressed air and cost"), 0);
    EXPECT_GT(index("Compressed air and cost"), index("VG-V1-045-M5")) << "after the parts list";
    // 180 cycles an hour are 0.05 per second; the default units print SI.
    EXPECT_EQ(find("Holding time per cycle"), "Holding time per cycle : " + Si(cNU_time, 2.0));
    EXPECT_EQ(find("Price per m³ of air"), "Price per m³ of air : " + Si(cNU_NoUnit, 0.02) + " CHF");
    // Air per cycle: the generator's air consumption over the evacuation and the 2 s held.
    const double q = s.App.Venturi.OperatingPoint().AirConsumption;
    const double litres = q / 60.0 * (s.App.Document.Venturi.Time + 2.0);
    char expected[64];
    std::snprintf(expected, sizeof expected, "Air per cycle : %.3g l", litres);
    EXPECT_TRUE(find("Air per cycle").starts_with(expected)) << find("Air per cycle");
    // 720,000 cycles a year at 0.02 a cubic metre.
    std::snprintf(expected, sizeof expected, "%.3g m³", litres * 720.0);
    EXPECT_NE(find("Air per year").find(expected), std::string::npos) << find("Air per year");
    EXPECT_NE(find("Air per year").find(" CHF"), std::string::npos);
    EXPECT_EQ(find("Air-saving generator"), "Air-saving generator : none in this series");
    // The one cup keeps about 1.12 of the required 2.
    EXPECT_EQ(find("Required safety factor"), "Required safety factor : " + Si(cNU_NoUnit, 2.0));
    EXPECT_TRUE(find("The design does not hold").starts_with("The design does not hold: smallest safety 1.12"))
        << find("The design");
    EXPECT_EQ(find("Suction cup 1"), "Suction cup 1  /  Normal force  /  Time 0 s");
}

namespace {

bool HasText(const TReportLayout& l, const std::string& text) {
    return std::any_of(l.Commands.begin(), l.Commands.end(),
                       [&](const TReportCommand& c) { return c.Op == TReportCommand::crText && c.Text == text; });
}

} // namespace

TEST_F(ReportLayout, TheSiteAndTheLeakArePrintedWhenTheyAreNotSeaLevelAndTight) {
    TSession s("steel_sheet_linear.vac");
    TVacuumApplication& app = s.App;
    // At sea level with a tight workpiece the report is as it always was.
    EXPECT_FALSE(HasText(s.Layout(), "Site and leak"));
    app.Input([&] {
        app.Venturi.SpinEditAltitudeChange(1000.0);
        app.Venturi.ComboBoxLeakKindChange(clkOrifice);
        app.Venturi.SpinEditLeakDiameterChange(0.0002);
    });
    const TReportLayout l = s.Layout();
    EXPECT_TRUE(HasText(l, "Site and leak"));
    EXPECT_TRUE(HasText(l, "Altitude : " + Si(cNU_length, 1000.0)));
    // 101325 Pa·(1 − 0.0225577)^5.25588 = 89,875 Pa.
    EXPECT_NEAR(app.Document.Site.AmbientPressure(), 89874.6, 0.1);
    EXPECT_TRUE(HasText(l, "Ambient pressure : " + Si(cNU_pressure, app.Document.Site.AmbientPressure())));
    EXPECT_TRUE(HasText(l, "Leak : Equivalent orifice"));
    EXPECT_TRUE(HasText(l, "Orifice diameter : " + Si(cNU_length, 0.0002)));
    const TSiteEvacuation& e = app.Venturi.SiteResult();
    ASSERT_GT(e.Time, 0.0);
    EXPECT_TRUE(HasText(l, "Reachable vacuum : " + Si(cNU_pressure, e.ReachableVacuum)));
    EXPECT_TRUE(HasText(l, "Evacuation time : " + Fixed3(e.Time) + " s"));
    // A leak the generator cannot hold against.
    app.Input([&] { app.Venturi.SpinEditLeakDiameterChange(0.003); });
    EXPECT_TRUE(HasText(s.Layout(), "Evacuation time : not reached"));
    // A measured leak prints its flow and the vacuum it was measured at.
    app.Input([&] { app.Venturi.ComboBoxLeakKindChange(clkMeasured); });
    const TReportLayout m = s.Layout();
    EXPECT_TRUE(HasText(m, "Leak : Measured leakage flow"));
    EXPECT_TRUE(HasText(m, "Leakage flow : " + Si(cNU_VolumePerTime, app.Document.Site.Leak.Flow)));
    EXPECT_TRUE(HasText(m, "Measured at vacuum : " + Si(cNU_pressure, -60000.0)));
    EXPECT_FALSE(HasText(m, "Orifice diameter : " + Si(cNU_length, 0.003)));
}

// An air-saving generator holding a leaking part: the report counts its re-evacuations.
TEST_F(ReportLayout, TheAirAccountCountsTheReevacuationsOfALeak) {
    TSession s("glass_plate_rotary.vac");
    TVacuumApplication& app = s.App;
    int row = -1;
    for (int r = 0; r < app.VenturiQuery.Rows() && row < 0; ++r)
        if (app.VenturiQuery.AsText(r, "OrderCode") == "VG-V2-070-G18-VEPARSFQ2") row = r;
    ASSERT_GE(row, 0);
    app.Input([&] { app.Venturi.VenturiSelect(row); });
    ASSERT_TRUE(app.Air.Account().AirSaving);
    const auto perCycle = [&] {
        for (const TReportCommand& c : s.Layout().Commands)
            if (c.Op == TReportCommand::crText && c.Text.starts_with("Air per cycle")) return c.Text;
        return std::string();
    };
    EXPECT_EQ(perCycle().find("Re-evacuations"), std::string::npos) << "a tight part needs none";
    // A choked leak of 1.5·10⁻⁶ m³/s lets the 7,000 Pa hysteresis go in
    // V·7,000 Pa / (101,325 Pa·L): about 1.15 s for this gripper's 24.9 cm³, once in the 2 s held.
    app.Input([&] {
        app.Venturi.ComboBoxLeakKindChange(clkMeasured);
        app.Venturi.SpinEditLeakFlowChange(1.5e-6);
        app.Venturi.SpinEditLeakVacuumChange(-65000.0);
    });
    const double fall = app.Document.EvacuatedVolume * 7000.0 / (101325.0 * 1.5e-6);
    ASSERT_GT(fall, 1.0);
    ASSERT_LT(fall, 2.0);
    EXPECT_EQ(app.Air.Account().Use.Reevacuations, 1);
    EXPECT_TRUE(perCycle().ends_with("  /  Re-evacuations per cycle 1")) << perCycle();
}

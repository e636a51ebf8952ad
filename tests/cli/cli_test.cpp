#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <sys/stat.h>

#include "cli/cli.h"
#include "cli/report.h"

#include <limits>
#include "tools/vacdb/catalog_source.h"

namespace {

struct Result {
    int status;
    std::string out, err;
};

Result Cli(std::vector<std::string> args) {
    Result r;
    r.status = RunCli(args, r.out, r.err);
    return r;
}

} // namespace

TEST(CliEval, PrintsKindValueAndText) {
    EXPECT_EQ(Cli({"eval", "2+3*4"}).out, "num\t14\t\n");
    EXPECT_EQ(Cli({"eval", "'abc'+'def'"}).out, "alpha\t\tabcdef\n");
    EXPECT_EQ(Cli({"eval", "MAX[1]"}).out, "error\n");
    EXPECT_EQ(Cli({"eval", "1/0"}).out, "fail\n");
    EXPECT_EQ(Cli({"eval", "--brackets", "()", "QUANT(7,2)"}).out, "num\t8\t\n");
    EXPECT_EQ(Cli({"eval", "--brackets", "()", "(5)DIV(0)"}).out, "fail\n");
    EXPECT_EQ(Cli({"eval", "STRING[0.1+0.2]"}).out, "alpha\t\t0.3\n");
    EXPECT_EQ(Cli({"eval"}).status, 2);
    EXPECT_EQ(Cli({"eval", "--brackets", "{{{", "1"}).status, 2);
}

TEST(CliUnits, OneLinePerUnitInOrdinalOrder) {
    const auto r = Cli({"units"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 269);
    EXPECT_EQ(r.out.substr(0, r.out.find('\t')), "0");
    // The inch line: ordinal, identifier, quantity 3 (length), symbol, factor, offset, systems.
    const auto at = r.out.find("\tcUM_in\t");
    ASSERT_NE(at, std::string::npos);
    const auto line = r.out.substr(at, r.out.find('\n', at) - at);
    EXPECT_EQ(line.substr(0, line.find("\t0x")), "\tcUM_in\t3\tin\t0.025399999999999999\t0");
}

TEST(CliConvert, ConvertsBetweenUnitsOfOneQuantity) {
    EXPECT_EQ(Cli({"convert", "1", "cUM_in", "cUM_mm"}).out, "25.399999999999999\n");
    EXPECT_NEAR(std::stod(Cli({"convert", "100", "cUM_Celsius", "cUM_Fahrenheit"}).out), 212, 1e-12);
    auto r = Cli({"convert", "1", "cUM_in", "cUM_kg"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("different quantities"), std::string::npos);
    EXPECT_EQ(Cli({"convert", "x", "cUM_in", "cUM_mm"}).status, 1);
    EXPECT_EQ(Cli({"convert", "1", "cUM_NoSuchUnit", "cUM_mm"}).status, 1);
}

TEST(CliQuery, AppliesConditionsOneAfterAnother) {
    const auto bytes = BuildContainerFromSources(std::string(VACUUM_TEST_DATA_DIR) + "/mini_catalog", true);
    const auto path = std::filesystem::temp_directory_path() / ("cli_query_" + std::to_string(::getpid()) + ".dat");
    WriteFileAtomic(path.string(), bytes);
    auto r = Cli({"query", path.string(), "qry suctioncups", "DiameterLong>=10", "Fs07<10"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "OrderCode\tGroup\tSize\t~ShapeKey\tDiameterLong\tFs07\tStrokeCompensation\t~Filter\n"
              "SC-R010-NBR\t1\t10\t~Round\t10\t3.85\t   0\tX\n"
              "SC-O0410-NBR\t3\t4x10\t~Oval\t10\t1.90\t   0\t-\n"
              "SC-R010-SIL\t1\t10\t~Round\t10\t3.85\t   0\tX\n");
    r = Cli({"query", path.string(), "Nope"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Nope"), std::string::npos);
    std::filesystem::remove(path);
    r = Cli({"query", path.string(), "qry SuctionCups"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(path.string()), std::string::npos);
}

TEST(CliTranslate, OneTextPerKeyInTheChosenLanguage) {
    const auto bytes = BuildContainerFromSources(std::string(VACUUM_TEST_DATA_DIR) + "/mini_catalog", false);
    const auto path = std::filesystem::temp_directory_path() / ("cli_lang_" + std::to_string(::getpid()) + ".bin");
    WriteFileAtomic(path.string(), bytes);
    auto r = Cli({"translate", "--lang", "JA", "--file", path.string(), "~Round", "~Unknown", "~Bellows"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "丸型\n~Unknown\nベローズ\n");
    r = Cli({"translate", "--lang", "pl", "--file", path.string(), "~Round"});
    EXPECT_EQ(r.out, "Okrągła\n");
    r = Cli({"translate", "--lang", "xx", "--file", path.string(), "~Round"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("de,en,ja,pl"), std::string::npos) << r.err;
    EXPECT_EQ(Cli({"translate", "~Round"}).status, 2);
    std::filesystem::remove(path);
    EXPECT_EQ(Cli({"translate", "--lang", "de", "--file", path.string(), "~Round"}).status, 1);
}

TEST(CliProject, ListsEveryItemAsWrittenAndRoundTrips) {
    const auto dir = std::filesystem::temp_directory_path() / ("cli_prj_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto file = (dir / "a.vac").string();
    // Key case does not matter when reading; values keep their form.
    std::ofstream(file, std::ios::binary) << "workpiece.mass=2.5\r\nProject.No=P-17 = rev. B\r\nGarbage line\r\n";
    auto r = Cli({"project", file});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\nWorkpiece.Mass=2.5\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Project.No=P-17 = rev. B\n"), std::string::npos);
    EXPECT_EQ(r.out.find("Garbage"), std::string::npos);
    // The listing is itself a project file that reads back to the same listing.
    std::ofstream(dir / "b.vac", std::ios::binary) << r.out;
    EXPECT_EQ(Cli({"project", (dir / "b.vac").string()}).out, r.out);

    r = Cli({"project", (dir / "missing.vac").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("missing.vac"), std::string::npos);
    std::filesystem::remove_all(dir);
}

// The bundled catalogue and languages compiled into a temporary folder, as they lie beside
// the program.
class CliDesign : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Dir = std::filesystem::temp_directory_path() / ("cli_design_" + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir);
        const std::string root = VACUUM_SOURCE_DIR;
        WriteFileAtomic((Dir / "Vacuum.dat").string(), BuildContainerFromSources(root + "/catalog/product", true));
        WriteFileAtomic((Dir / "Vacuum.bin").string(), BuildContainerFromSources(root + "/catalog/language", false));
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(Dir); }

    static Result Design(const std::string& example, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"design", std::string(VACUUM_SOURCE_DIR) + "/examples/" + example,
                                         "--catalog", (Dir / "Vacuum.dat").string()};
        args.insert(args.end(), more.begin(), more.end());
        return Cli(args);
    }
    static bool Has(const Result& r, const std::string& line) { return r.out.find(line + "\n") != std::string::npos; }
    // The value of a result line; empty when there is none.
    static std::string Value(const Result& r, const std::string& key) {
        const auto at = r.out.find(key + "\t");
        if (at == std::string::npos || (at > 0 && r.out[at - 1] != '\n')) return {};
        const auto from = at + key.size() + 1;
        return r.out.substr(from, r.out.find('\n', from) - from);
    }
    static std::string Read(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    static inline std::filesystem::path Dir;
};

TEST_F(CliDesign, WalksEveryExampleThroughEveryPage) {
    auto r = Design("steel_sheet_linear.vac");
    ASSERT_EQ(r.status, 0) << r.err;
    // 0.4 m x 0.3 m x 2 mm of steel at 7870 kg/m³.
    EXPECT_TRUE(Has(r, "workpiece.mass_kg\t1.8888")) << r.out;
    EXPECT_TRUE(Has(r, "suction_cups.order_code\tSC-S2-FL030-NB-H1G18"));
    EXPECT_TRUE(Has(r, "tube.order_code\tTU-PU-06x4-NT"));
    // 0.25 m of 4 mm bore: pi * 0.002² * 0.25.
    EXPECT_TRUE(Has(r, "tube.volume_m3\t3.141592654e-06"));
    EXPECT_TRUE(Has(r, "motion.drive_type\tpneumatic <linear>"));
    // Five slider instants, and the parts list ends with the generator.
    EXPECT_TRUE(Has(r, "suction_cup_loads.slider.4.position\t1000"));
    EXPECT_TRUE(Has(r, "parts_list.2.order_code\tVG-V1-045-M5"));
    EXPECT_TRUE(Has(r, "parts_list.0.description\tVacuum tube"));

    r = Design("glass_plate_rotary.vac");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r, "motion.drive_type\tpneumatic <circular>"));
    EXPECT_TRUE(Has(r, "drive.actuator_order_code\tRA-32-90"));
    EXPECT_TRUE(Has(r, "suction_cups.count\t4"));
    EXPECT_TRUE(Has(r, "parts_list.1.quantity\t4")) << r.out;
    // A swivel about Z turns the gripper: a moment about Z, no total force shown.
    EXPECT_TRUE(Has(r, "forces.total_force_shown\tfalse"));
    EXPECT_EQ(r.out.find("forces.moments_yz_xz_xy_N_m\t0 0 0\n"), std::string::npos);

    r = Design("aluminium_block_servo.vac");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r, "motion.drive_type\tNC <linear>"));
    // Jerk-limited 0.8 m at 1 m/s, 5 m/s², 50 m/s³: s/v + v/a + a/j = 0.8 + 0.2 + 0.1 s.
    EXPECT_TRUE(Has(r, "motion.profile_m.time_s\t1.1"));
    // Mid-way the axis runs at constant speed: the two cups share the weight alone.
    EXPECT_EQ(Value(r, "suction_cup_loads.slider.2.cups_normal_transverse.0"),
              Value(r, "suction_cup_loads.slider.2.cups_normal_transverse.1"));
    EXPECT_NE(Value(r, "suction_cup_loads.slider.1.cups_normal_transverse.0"),
              Value(r, "suction_cup_loads.slider.1.cups_normal_transverse.1"))
        << "accelerating sideways tilts the load towards one cup";
}

TEST_F(CliDesign, PrintsJsonAndTranslatesAndExports) {
    auto r = Design("steel_sheet_linear.vac", {"--json", "--lang", "de"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.front(), '{');
    EXPECT_NE(r.out.find("\n    \"mass_kg\": 1.8888,\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"description\": \"Vakuumschlauch\""), std::string::npos);
    EXPECT_NE(r.out.find("\"inertia_kg_m2\": [0.0141666296, 0.0251846296, 0.03935]"), std::string::npos);

    const auto erp = Dir / "order.txt", csv = Dir / "parts.csv", shop = Dir / "shop.html";
    r = Design("steel_sheet_linear.vac", {"--erp", erp.string(), "--plant", "1000", "--csv", csv.string(),
                                          "--shop", shop.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string order = Read(erp), parts = Read(csv), page = Read(shop);
    EXPECT_EQ(order.substr(0, order.find("\r\n")), "1000\t0\t1\t22000022\tOrsik\tTU-PU-06x4-NT\t0\t1\tM\t0\t0\tX\tX\t0");
    EXPECT_EQ(std::count(order.begin(), order.end(), '\n'), 3);
    EXPECT_NE(parts.find("\r\n2;11000204;1;;SC-S2-FL030-NB-H1G18;;;\r\n"), std::string::npos) << parts;
    EXPECT_NE(page.find("VG-V1-045-M5"), std::string::npos);

    // Bad option combinations and failures are reported, nothing is half-written.
    EXPECT_EQ(Design("steel_sheet_linear.vac", {"--erp", erp.string()}).status, 2);
    EXPECT_EQ(Design("steel_sheet_linear.vac", {"--bogus"}).status, 2);
    r = Design("steel_sheet_linear.vac", {"--lang", "xx"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("languages: de,en,es,fr,it,ja,pl,ru,zhcn"), std::string::npos) << r.err;
    r = Design("steel_sheet_linear.vac", {"--csv", (Dir / "no" / "such" / "dir.csv").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("dir.csv"), std::string::npos) << r.err;
}

// A project whose cup cannot hold the part stops at that page with status 2.
TEST_F(CliDesign, StopsAtTheRefusingPage) {
    std::string text = Read(std::string(VACUUM_SOURCE_DIR) + "/examples/steel_sheet_linear.vac");
    const auto at = text.find("SC-S2-FL030-NB-H1G18");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 20, "SC-S1-FL020-NB-H1G18");
    std::ofstream(Dir / "bad.vac", std::ios::binary) << text;
    const auto r = Cli({"design", (Dir / "bad.vac").string(), "--catalog", (Dir / "Vacuum.dat").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("page 3 refused: suitable for the workpiece (StringGridSuctionCups)"), std::string::npos)
        << r.err;

    // A stored product the catalogue does not offer is replaced by the first row, and said so.
    text.replace(at, 20, "SC-XX-NOT-IN-CATALOG");
    std::ofstream(Dir / "gone.vac", std::ios::binary) << text;
    const auto g = Cli({"design", (Dir / "gone.vac").string(), "--catalog", (Dir / "Vacuum.dat").string()});
    EXPECT_NE(g.err.find("vacuum-cli: note: the suction cup SC-XX-NOT-IN-CATALOG is not offered;"), std::string::npos)
        << g.err;
}

// Values no one could type into the fields, written into an example project: the design
// stops at the page that shows the field, names it in the chosen language and prints no
// result.
TEST_F(CliDesign, RefusesValuesNoUserCouldEnter) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> Values;
        std::string Refusal;
        std::string Example = "steel_sheet_linear.vac";
    };
    const Case cases[] = {
        {{{"Workpiece.Material", ""}, {"Workpiece.Density", "-7870"}}, "page 1 refused: Density (SpinEditWerkStkDichte)"},
        {{{"Workpiece.Length.x", "1e300"}}, "page 1 refused: Length (X) (SpinEditLaenge)"},
        // Beyond a double: the store's fallback 0, which the page refuses as a size.
        {{{"Workpiece.Length.y", "1e400"}}, "page 1 refused: Width (Y) (SpinEditBreite)"},
        {{{"SuctionCups.Strategy.CountX", "65536"}}, "page 2 refused: Count (SpinEditAnzahl1)"},
        // More cups than the count fields make: refused at once, not after laying them out.
        {{{"SuctionCups.Count", "65536"}}, "page 2 refused: Count (SpinEditAnzahl1)"},
        {{{"Tube.Length", "-1"}}, "page 4 refused: Tube length per suction cup (SpinEditSchlauchLaengeEinzeln)"},
        {{{"Venturi.Conditions.Count", "2147483647"}}, "page 5 refused: Count (SpinEditAnzahlVenturi)"},
        {{{"Venturi.Conditions.Pressure", "abc"}}, "page 5 refused: Working pressure (SpinEditBetriebsdruck)"},
        {{{"Moving.Linear.Travel", "-1"}}, "page 6 refused: Travel (SpinEditLinWeg)"},
        // 7 rad is more than a full turn.
        {{{"Moving.Circular.Angle", "7"}}, "page 6 refused: Rotation angle (SpinEditDrehwinkel)",
         "glass_plate_rotary.vac"},
        // 20 bar, above the drive's 12 bar.
        {{{"Drive.Pneumatic.Circular.Pressure", "2000000"}}, "page 7 refused: Working pressure (SpinEditBetrDruckRot)",
         "glass_plate_rotary.vac"},
    };
    for (const Case& c : cases) {
        std::string text = Read(std::string(VACUUM_SOURCE_DIR) + "/examples/" + c.Example);
        for (const auto& [key, value] : c.Values) {
            const auto at = text.find("\n" + key + "=");
            ASSERT_NE(at, std::string::npos) << key;
            const auto from = at + key.size() + 2;
            text.replace(from, text.find_first_of("\r\n", from) - from, value);
        }
        std::ofstream(Dir / "hostile.vac", std::ios::binary) << text;
        const auto r = Cli({"design", (Dir / "hostile.vac").string(), "--catalog", (Dir / "Vacuum.dat").string()});
        EXPECT_EQ(r.status, 2) << c.Refusal;
        EXPECT_NE(r.err.find(c.Refusal + "\n"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.Refusal;
    }
}

// An example with some "Key=value" lines replaced, written beside the catalogue.
static std::string ExampleVariant(const std::filesystem::path& dir, const std::string& example, const std::string& name,
                                  const std::vector<std::string>& lines) {
    std::ifstream in(std::string(VACUUM_SOURCE_DIR) + "/examples/" + example, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), {}};
    for (const std::string& line : lines) {
        const std::string key = line.substr(0, line.find('=') + 1);
        const auto at = text.find("\n" + key);
        EXPECT_NE(at, std::string::npos) << key;
        if (at == std::string::npos) continue;
        text.replace(at + 1, text.find_first_of("\r\n", at + 1) - at - 1, line);
    }
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
}

static std::vector<double> NumbersOf(const std::string& text) {
    std::vector<double> v;
    std::istringstream in(text);
    for (double x; in >> x;) v.push_back(x);
    return v;
}

// The steel sheet moved sideways by its 6 mm cylinder. The one central cup sits on the top
// face at height h, so the regularising springs (k0 = 0.001, k0·h² against turning) share
// the loads: along the cup axis Fn = m·g/(1 + k0); across it the moment balance
// h·fx + k0·h²·ωy = 0 with fx = δx + ωy·h and k0·δx + fx = m·a leaves fx = m·a/(2 + k0).
// With Fs = Fn/rn the transverse ratio fx/((Fs − Fn)·μ) is a·(1 + k0)/((2 + k0)·g·(1/rn − 1)·μ),
// largest where |a| is: the braking, ab = v²/(2·0.6 mm)·2, which the schematic curve
// reaches only at the very end of the motion.
// The site and the leak: new result lines, and the generator's vacuum and time follow them.
TEST_F(CliDesign, SiteAltitudeAndLeakShowInTheResults) {
    auto r = Design("steel_sheet_linear.vac");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r, "site.altitude_m\t0"));
    EXPECT_TRUE(Has(r, "site.ambient_pressure_Pa\t101325"));
    EXPECT_TRUE(Has(r, "site.leak.kind\tnone"));
    EXPECT_EQ(Value(r, "site.reachable_vacuum_Pa"), Value(r, "vacuum_generator.vacuum_Pa"));
    EXPECT_EQ(Value(r, "site.evacuation_time_s"), Value(r, "vacuum_generator.evacuation_time_s"));
    const double seaVacuum = std::stod(Value(r, "vacuum_generator.vacuum_Pa"));
    const double seaTime = std::stod(Value(r, "vacuum_generator.evacuation_time_s"));

    // 1000 m up: ambient 101325·(1 − 0.0225577)^5.25588 = 89,875 Pa; the generator keeps
    // its vacuum as that fraction of the sea-level one.
    std::string text = Read(std::string(VACUUM_SOURCE_DIR) + "/examples/steel_sheet_linear.vac");
    std::ofstream(Dir / "site.vac", std::ios::binary) << text << "Site.Altitude=1000\r\n";
    r = Cli({"design", (Dir / "site.vac").string(), "--catalog", (Dir / "Vacuum.dat").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const double k = 89874.56 / 101325.0;
    EXPECT_NEAR(std::stod(Value(r, "site.ambient_pressure_Pa")), 89874.56, 0.01);
    EXPECT_NEAR(std::stod(Value(r, "vacuum_generator.vacuum_Pa")), seaVacuum * k, 0.01);
    EXPECT_GT(std::stod(Value(r, "vacuum_generator.evacuation_time_s")), seaTime);
    EXPECT_TRUE(Has(r, "site.required_vacuum_reached\ttrue"));

    // A 0.2 mm orifice as well: slower still, a shallower vacuum, the leak's flow listed.
    std::ofstream(Dir / "leak.vac", std::ios::binary)
        << text << "Site.Altitude=1000\r\nSite.Leak.Kind=orifice\r\nSite.Leak.Diameter=0.0002\r\n";
    const auto l = Cli({"design", (Dir / "leak.vac").string(), "--catalog", (Dir / "Vacuum.dat").string(), "--json"});
    ASSERT_EQ(l.status, 0) << l.err;
    EXPECT_NE(l.out.find("\"kind\": \"orifice\""), std::string::npos) << l.out;
    EXPECT_NE(l.out.find("\"orifice_diameter_m\": 0.0002"), std::string::npos);
    r = Cli({"design", (Dir / "leak.vac").string(), "--catalog", (Dir / "Vacuum.dat").string()});
    EXPECT_GT(std::stod(Value(r, "site.evacuation_time_s")), 0.0);
    EXPECT_GT(std::stod(Value(r, "site.evacuation_time_s")), seaTime);
    EXPECT_GT(std::stod(Value(r, "site.reachable_vacuum_Pa")), seaVacuum * k);
    EXPECT_EQ(Value(r, "site.evacuation_time_s"), Value(r, "vacuum_generator.evacuation_time_s"));
    EXPECT_GT(std::stod(Value(r, "site.leak.flow_at_required_vacuum_m3_s")), 0.0);
}

TEST_F(CliDesign, PeakRatiosIncludeThePneumaticBraking) {
    const std::string file =
        ExampleVariant(Dir, "steel_sheet_linear.vac", "sideways.vac", {"Moving.Linear.Direction=horizontal <x>"});
    const auto r = Cli({"design", file, "--catalog", (Dir / "Vacuum.dat").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const double v = std::stod(Value(r, "motion.max_speed_m_s"));
    const double ab = v * v / (2 * 0.0006) * 2;
    EXPECT_NEAR(std::stod(Value(r, "drive.braking_acceleration_m_s2")), ab, 1e-9 * ab);
    EXPECT_EQ(Value(r, "suction_cup_loads.peak.solvable"), "true");
    const auto peak = NumbersOf(Value(r, "suction_cup_loads.peak.cups_normal_transverse.0"));
    ASSERT_EQ(peak.size(), 2u);
    const double expected = ab * 1.001 / (2.001 * 9.80655 * (1 / peak[0] - 1) * 0.5);
    EXPECT_NEAR(peak[1], expected, 1e-6 * expected);
    // None of the five slider instants comes near it.
    for (int i = 0; i < 5; ++i) {
        const auto at = NumbersOf(Value(r, "suction_cup_loads.slider." + std::to_string(i) + ".cups_normal_transverse.0"));
        ASSERT_EQ(at.size(), 2u);
        EXPECT_LT(at[1], 0.5 * expected);
        EXPECT_EQ(Value(r, "suction_cup_loads.slider." + std::to_string(i) + ".solvable"), "true");
    }
}

// Two cups placed by hand on one spot collide; the other example's cups are all in place.
TEST_F(CliDesign, MisplacedCupsAreListed) {
    auto r = Design("aluminium_block_servo.vac");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Value(r, "suction_cups.misplaced"), "0 0");
    const std::string file = ExampleVariant(Dir, "aluminium_block_servo.vac", "stacked.vac",
                                            {"SuctionCups.Strategy.Type=Manual", "SuctionCups.Items[1].Pos.x=-0.07"});
    r = Cli({"design", file, "--catalog", (Dir / "Vacuum.dat").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Value(r, "suction_cups.misplaced"), "1 1");
}

// The glass plate swung by 180° with its 90° actuator stored: the actuator is not offered.
TEST_F(CliDesign, ARotaryActuatorNoLongerOfferedIsNoted) {
    EXPECT_EQ(Design("glass_plate_rotary.vac").err, "");
    const std::string file = ExampleVariant(Dir, "glass_plate_rotary.vac", "half_turn.vac",
                                            {"Moving.Circular.Angle=3.141592653589793"});
    const auto r = Cli({"design", file, "--catalog", (Dir / "Vacuum.dat").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("vacuum-cli: note: the rotary actuator RA-32-90 is not offered; RA-32-180 is chosen\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(Value(r, "drive.actuator_order_code"), "RA-32-180");
    // 9.73 N·m at 6 bar.
    EXPECT_EQ(Value(r, "drive.torque_N_m"), "9.73");
}

// A servo stroke of 1e-40 m cannot be reached by the speed reductions (2·(0.95^1000)^1.5 m
// at J = A = 1 still overruns it).
TEST_F(CliDesign, AnUnreachedServoProfileIsNoted) {
    EXPECT_EQ(Value(Design("aluminium_block_servo.vac"), "motion.profile_m.reached"), "true");
    const std::string file =
        ExampleVariant(Dir, "aluminium_block_servo.vac", "tiny.vac",
                       {"Moving.Linear.Travel=1e-40", "Drive.NC.Linear.Move.Length=1e-40", "Drive.NC.Linear.Move.Jerk=1",
                        "Drive.NC.Linear.Move.AccPos=1", "Drive.NC.Linear.Move.Vmax=1"});
    const auto r = Cli({"design", file, "--catalog", (Dir / "Vacuum.dat").string()});
    EXPECT_NE(r.err.find("vacuum-cli: note: the servo profile does not reach its travel"), std::string::npos) << r.err;
    if (r.status == 0) {
        EXPECT_EQ(Value(r, "motion.profile_m.reached"), "false");
    }
}

// A catalogue whose evacuation buffers hold a single pressure rejects every time curve, and
// the design says why.
TEST_F(CliDesign, RejectedEvacuationCurvesAreNoted) {
    const auto sources = Dir / "small_buffers";
    std::filesystem::remove_all(sources);
    std::filesystem::copy(std::string(VACUUM_SOURCE_DIR) + "/catalog/product", sources,
                          std::filesystem::copy_options::recursive);
    std::ofstream(sources / "evac_buffer_size.tsv", std::ios::binary) << "pSize:csfDWord\tvSize:csfDWord\n1\t18\n";
    const auto catalogue = Dir / "small" / "Vacuum.dat";
    std::filesystem::create_directories(catalogue.parent_path());
    WriteFileAtomic(catalogue.string(), BuildContainerFromSources(sources.string(), true));
    const auto r = Cli({"design", std::string(VACUUM_SOURCE_DIR) + "/examples/steel_sheet_linear.vac", "--catalog",
                        catalogue.string()});
    EXPECT_NE(r.err.find(" has more than 1 pressures\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("vacuum-cli: note: evacuation curve "), std::string::npos) << r.err;
    EXPECT_EQ(Design("steel_sheet_linear.vac").err.find("evacuation curve"), std::string::npos);
}

// Every example keeps the motion page's relations: a pneumatic speed is k·s/t (k = 2, 1.5 or
// 1.25 by stroke) or 2·φ/t, and both servo profiles run over the stroke and the angle.
TEST(CliExamples, SpeedsFollowFromTravelAndTime) {
    for (const char* example : {"steel_sheet_linear.vac", "glass_plate_rotary.vac", "aluminium_block_servo.vac"}) {
        SCOPED_TRACE(example);
        const auto r = Cli({"project", std::string(VACUUM_SOURCE_DIR) + "/examples/" + example});
        ASSERT_EQ(r.status, 0) << r.err;
        auto number = [&](const std::string& key) {
            const auto at = r.out.find("\n" + key + "=");
            EXPECT_NE(at, std::string::npos) << key;
            return at == std::string::npos ? std::nan("") : std::stod(r.out.substr(at + key.size() + 2));
        };
        const double s = number("Moving.Linear.Travel"), phi = number("Moving.Circular.Angle");
        const double k = s <= 0.05 ? 2.0 : s <= 0.1 ? 1.5 : 1.25;
        EXPECT_NEAR(number("Drive.Pneumatic.Linear.Speed"), k * s / number("Drive.Pneumatic.Linear.Time"), 1e-12);
        EXPECT_NEAR(number("Drive.Pneumatic.Circular.AngularSpeed"), 2 * phi / number("Drive.Pneumatic.Circular.Time"),
                    1e-12);
        EXPECT_EQ(number("Drive.NC.Linear.Move.Length"), s);
        EXPECT_EQ(number("Drive.NC.Circular.Move.Length"), phi);
    }
}

// retime applies those relations and writes through the project writer: a contradicting
// speed becomes k·s/t, and a project that already agrees is written back unchanged.
TEST_F(CliDesign, RetimeMakesSpeedsAgreeWithTheirTimes) {
    const std::string file = ExampleVariant(Dir, "steel_sheet_linear.vac", "fast.vac",
                                            {"Drive.Pneumatic.Linear.Speed=1", "Drive.Pneumatic.Linear.Time=0.5"});
    const std::string out = (Dir / "fast_retimed.vac").string();
    auto r = Cli({"retime", file, out});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = Read(out);
    // 0.25 m in 0.5 s: 1.25·0.25/0.5.
    EXPECT_NE(text.find("\nDrive.Pneumatic.Linear.Speed=0.625\r\n"), std::string::npos) << text;
    const std::string again = (Dir / "again.vac").string();
    ASSERT_EQ(Cli({"retime", out, again}).status, 0);
    EXPECT_EQ(Read(again), text);
    EXPECT_EQ(Cli({"retime", (Dir / "missing.vac").string(), again}).status, 1);
}

TEST(CliReport, LinesAndJsonCarryTheSameTree) {
    TReportNode r;
    r.Text("name", "a \"quoted\"\ttab\x01");
    TReportNode& w = r.Object("w");
    w.Number("m", 1.0 / 3.0);
    w.Number("bad", std::numeric_limits<double>::infinity());
    w.Numbers("v", {0.0, -0.0, 1e-7});
    w.Bool("ok", true);
    TReportNode& list = r.Array("list");
    list.Object({}).Number("x", 2);
    list.Object({});
    r.Array("empty");
    EXPECT_EQ(r.Lines(), "name\ta \"quoted\"\ttab\x01\n"
                         "w.m\t0.3333333333\n"
                         "w.bad\t-\n"
                         "w.v\t0 0 1e-07\n"
                         "w.ok\ttrue\n"
                         "list.0.x\t2\n");
    EXPECT_EQ(r.Json(), "{\n"
                        "  \"name\": \"a \\\"quoted\\\"\\ttab\\u0001\",\n"
                        "  \"w\": {\n"
                        "    \"m\": 0.3333333333,\n"
                        "    \"bad\": null,\n"
                        "    \"v\": [0, 0, 1e-07],\n"
                        "    \"ok\": true\n"
                        "  },\n"
                        "  \"list\": [\n"
                        "    {\n"
                        "      \"x\": 2\n"
                        "    },\n"
                        "    {}\n"
                        "  ],\n"
                        "  \"empty\": []\n"
                        "}\n");
}

// The ordering system may pass an empty plant code; --erp still needs --plant.
TEST_F(CliDesign, EmptyPlantCodeIsAPlantCode) {
    const auto erp = Dir / "empty_plant.txt";
    auto r = Design("steel_sheet_linear.vac", {"--erp", erp.string(), "--plant", ""});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string order = Read(erp);
    EXPECT_EQ(order.substr(0, order.find("\r\n")), "\t0\t1\t22000022\tOrsik\tTU-PU-06x4-NT\t0\t1\tM\t0\t0\tX\tX\t0");
    EXPECT_EQ(Design("steel_sheet_linear.vac", {"--plant", ""}).status, 2);
    EXPECT_EQ(Design("steel_sheet_linear.vac", {"--plant", "1000"}).status, 2);
    EXPECT_EQ(Design("steel_sheet_linear.vac", {"--erp", erp.string(), "--plant"}).status, 2);
}

// Files that are no regular files are refused at once, in one line naming them.
TEST_F(CliDesign, OnlyRegularFilesAreReadOrWritten) {
    const std::vector<std::string> project = {"design", std::string(VACUUM_SOURCE_DIR) + "/examples/steel_sheet_linear.vac"};
    auto args = project;
    args.insert(args.end(), {"--catalog", Dir.string()});
    auto r = Cli(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vacuum-cli: " + Dir.string() + ": not a regular file (a folder)\n");

    r = Cli({"design", Dir.string(), "--catalog", (Dir / "Vacuum.dat").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vacuum-cli: cannot open project file \"" + Dir.string() + "\": not a regular file (a folder)\n");

    const std::string fifo = (Dir / "parts.fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    r = Design("steel_sheet_linear.vac", {"--csv", fifo});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("vacuum-cli: cannot write \"" + fifo + "\": not a regular file (a FIFO)\n"), std::string::npos)
        << r.err;
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

// ---- compressed air and the verdict -------------------------------------------------------

// An example with lines replaced (as ExampleVariant) and further lines appended.
static std::string ExampleWith(const std::filesystem::path& dir, const std::string& example, const std::string& name,
                               const std::vector<std::string>& replaced, const std::vector<std::string>& added) {
    const std::string file = ExampleVariant(dir, example, name, replaced);
    std::ofstream out(file, std::ios::binary | std::ios::app);
    for (const std::string& line : added) out << line << "\r\n";
    return file;
}

TEST_F(CliDesign, TheVerdictIsTheSmallestSafetyOfThePeakRatios) {
    for (const char* example : {"steel_sheet_linear.vac", "glass_plate_rotary.vac", "aluminium_block_servo.vac"}) {
        const auto r = Design(example);
        ASSERT_EQ(r.status, 0) << r.err;
        double largest = 0.0;
        for (int i = 0; !Value(r, "suction_cup_loads.peak.cups_normal_transverse." + std::to_string(i)).empty(); ++i)
            for (double ratio : NumbersOf(Value(r, "suction_cup_loads.peak.cups_normal_transverse." + std::to_string(i))))
                largest = std::max(largest, ratio);
        ASSERT_GT(largest, 0.0) << example;
        const double safety = std::stod(Value(r, "verdict.smallest_safety"));
        EXPECT_NEAR(safety, 1.0 / largest, 1e-8 * safety) << example;
        EXPECT_EQ(Value(r, "verdict.required_safety"), "2");
        EXPECT_EQ(Value(r, "verdict.holds"), safety >= 2.0 ? "true" : "false") << example;
        EXPECT_FALSE(Value(r, "verdict.line").empty());
    }
    // The steel sheet's one cup of 30 mm at 0.7 bar: lifted with the cylinder's full start
    // acceleration it keeps about 1.12, short of 2; asked for 1.1 it holds.
    auto r = Design("steel_sheet_linear.vac");
    EXPECT_EQ(Value(r, "verdict.holds"), "false");
    EXPECT_EQ(Value(r, "verdict.cup"), "1");
    EXPECT_EQ(Value(r, "verdict.load"), "normal");
    const std::string file = ExampleWith(Dir, "steel_sheet_linear.vac", "safety.vac", {}, {"Loads.SafetyFactor=1.1"});
    r = Cli({"design", file, "--catalog", (Dir / "Vacuum.dat").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Value(r, "verdict.holds"), "true");
    EXPECT_EQ(Value(r, "verdict.required_safety"), "1.1");
    // A required safety no field accepts stops the load page.
    const std::string bad = ExampleWith(Dir, "steel_sheet_linear.vac", "safety0.vac", {}, {"Loads.SafetyFactor=0.5"});
    r = Cli({"design", bad, "--catalog", (Dir / "Vacuum.dat").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("SpinEditRequiredSafety"), std::string::npos) << r.err;
}

TEST_F(CliDesign, AirOfACycleAndAYear) {
    auto r = Design("steel_sheet_linear.vac");
    ASSERT_EQ(r.status, 0) << r.err;
    const double q = std::stod(Value(r, "vacuum_generator.air_consumption_l_min"));
    const double t = std::stod(Value(r, "vacuum_generator.evacuation_time_s"));
    // Defaults: 180 cycles an hour held 2 s, 4000 h, 0.02 and 0.11 kWh per m³. A generator
    // without an air-saving function blows through the evacuation and the holding time.
    const double litres = q / 60.0 * (t + 2.0);
    EXPECT_EQ(Value(r, "compressed_air.air_saving"), "false");
    EXPECT_NEAR(std::stod(Value(r, "compressed_air.per_cycle.air_l")), litres, 1e-8 * litres);
    const double perYear = litres / 1000.0 * 180.0 * 4000.0;
    EXPECT_NEAR(std::stod(Value(r, "compressed_air.per_year.air_m3")), perYear, 1e-8 * perYear);
    EXPECT_NEAR(std::stod(Value(r, "compressed_air.per_year.energy_kWh")), 0.11 * perYear, 1e-8 * perYear);
    EXPECT_NEAR(std::stod(Value(r, "compressed_air.per_year.cost")), 0.02 * perYear, 1e-8 * perYear);
    // Its series has no generator with an air-saving function.
    EXPECT_EQ(Value(r, "compressed_air.air_saving_generator.order_code"), "-");

    // Twice the cycles, half the holding time.
    const std::string faster = ExampleWith(Dir, "steel_sheet_linear.vac", "faster.vac", {},
                                           {"Air.CycleRate=0.1", "Air.HoldingTime=1", "Air.Price=0.5"});
    r = Cli({"design", faster, "--catalog", (Dir / "Vacuum.dat").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const double l2 = q / 60.0 * (t + 1.0);
    EXPECT_NEAR(std::stod(Value(r, "compressed_air.per_cycle.air_l")), l2, 1e-8 * l2);
    EXPECT_NEAR(std::stod(Value(r, "compressed_air.per_year.cost")), 0.5 * l2 / 1000.0 * 360.0 * 4000.0, 1e-6);
}

TEST_F(CliDesign, AnAirSavingGeneratorOfTheSeriesSavesTheHoldingTimesAir) {
    // A V2 generator of 0.7 mm with valve and ejector pulse but no air saving: its series
    // offers the same nozzle with the air-saving switch.
    const std::string plain = ExampleVariant(Dir, "glass_plate_rotary.vac", "v2.vac",
                                             {"Venturi.OrderCode=VG-V2-070-G18-VEFQ"});
    auto r = Cli({"design", plain, "--catalog", (Dir / "Vacuum.dat").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(Value(r, "vacuum_generator.order_code"), "VG-V2-070-G18-VEFQ") << r.err;
    EXPECT_EQ(Value(r, "compressed_air.air_saving"), "false");
    EXPECT_EQ(Value(r, "compressed_air.air_saving_generator.order_code"), "VG-V2-070-G18-VEPARSFQ2");
    const double q = std::stod(Value(r, "vacuum_generator.air_consumption_l_min"));
    // A tight glass plate: the air-saving generator stops once evacuated and saves the
    // air of the 2 s holding time.
    EXPECT_NEAR(std::stod(Value(r, "compressed_air.air_saving_generator.saving.per_cycle.air_l")), q / 60.0 * 2.0,
                1e-9 * q);

    const std::string saving = ExampleVariant(Dir, "glass_plate_rotary.vac", "v2s.vac",
                                              {"Venturi.OrderCode=VG-V2-070-G18-VEPARSFQ2"});
    r = Cli({"design", saving, "--catalog", (Dir / "Vacuum.dat").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(Value(r, "vacuum_generator.order_code"), "VG-V2-070-G18-VEPARSFQ2") << r.err;
    EXPECT_EQ(Value(r, "compressed_air.air_saving"), "true");
    EXPECT_EQ(Value(r, "compressed_air.running_time_s"), Value(r, "vacuum_generator.evacuation_time_s"));
    EXPECT_EQ(Value(r, "compressed_air.reevacuations"), "0");
    // 10 % of the 0.7 bar switch-off vacuum.
    EXPECT_EQ(Value(r, "compressed_air.hysteresis_Pa"), "7000");
}

// A measured leak whose measuring point and the whole hysteresis band (0.63 to 0.7 bar below
// ambient, i.e. 31 to 38 kPa absolute) lie below the critical ratio 0.528 of 101,325 Pa: the
// flow is choked, so the leak is the measured flow throughout, and the vacuum falls through
// the 7,000 Pa hysteresis of the air-saving switch in V·7,000 Pa / (101,325 Pa·L).
TEST_F(CliDesign, ALeakMakesTheAirSavingGeneratorReevacuate) {
    const std::string tight = ExampleVariant(Dir, "glass_plate_rotary.vac", "v2s.vac",
                                             {"Venturi.OrderCode=VG-V2-070-G18-VEPARSFQ2"});
    auto r = Cli({"design", tight, "--catalog", (Dir / "Vacuum.dat").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const double volume = std::stod(Value(r, "vacuum_generator.evacuated_volume_m3"));
    const double tightTime = std::stod(Value(r, "site.evacuation_time_s"));
    const auto leaking = [&](double fallTime, const char* name) {
        char flow[64];
        std::snprintf(flow, sizeof flow, "Site.Leak.Flow=%.17g", volume * 7000.0 / (101325.0 * fallTime));
        const std::string file = ExampleWith(Dir, "glass_plate_rotary.vac", name, {"Venturi.OrderCode=VG-V2-070-G18-VEPARSFQ2"},
                                             {"Site.Leak.Kind=measured", flow, "Site.Leak.Vacuum=-65000"});
        return Cli({"design", file, "--catalog", (Dir / "Vacuum.dat").string()});
    };
    // Falling through the band takes 2.5 s, longer than the 2 s held: nothing to re-evacuate.
    r = leaking(2.5, "slow.vac");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Value(r, "site.leak.kind"), "measured");
    const double slowTime = std::stod(Value(r, "site.evacuation_time_s"));
    EXPECT_GT(slowTime, tightTime) << "the leak slows the evacuation";
    EXPECT_EQ(Value(r, "compressed_air.reevacuations"), "0");
    EXPECT_NEAR(std::stod(Value(r, "compressed_air.running_time_s")), slowTime, 1e-9);
    // 1.5 s: the switch turns the air on once, after 1.5 s, and the short refill of 7,000 Pa
    // (well under the 0.5 s left) brings the vacuum back before the part is released.
    r = leaking(1.5, "fast.vac");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Value(r, "compressed_air.reevacuations"), "1");
    const double refill = std::stod(Value(r, "compressed_air.running_time_s")) -
                          std::stod(Value(r, "site.evacuation_time_s"));
    EXPECT_GT(refill, 0.0);
    EXPECT_LT(refill, 0.5);
    // The saving against blowing through the 2 s held is what the switch kept off.
    const double q = std::stod(Value(r, "vacuum_generator.air_consumption_l_min"));
    EXPECT_NEAR(std::stod(Value(r, "compressed_air.air_saving_generator.saving.per_cycle.air_l")),
                q / 60.0 * (2.0 - refill), 1e-6 * q);
}

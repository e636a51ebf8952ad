#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/cli.h"
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

TEST(CliDesign, WalksTheExampleThroughEveryPage) {
    const auto bytes = BuildContainerFromSources(std::string(VACUUM_SOURCE_DIR) + "/catalog/product", true);
    const auto catalog = std::filesystem::temp_directory_path() / ("cli_design_" + std::to_string(::getpid()) + ".dat");
    WriteFileAtomic(catalog.string(), bytes);
    const std::string example = std::string(VACUUM_SOURCE_DIR) + "/examples/steel_sheet_linear.vac";
    auto r = Cli({"design", example, "--catalog", catalog.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    // 0.4 m x 0.3 m x 2 mm of steel at 7870 kg/m³.
    EXPECT_NE(r.out.find("workpiece.mass_kg\t1.8888\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("cups.order_code\tSC-S2-FL030-NB-H1G18\n"), std::string::npos);
    EXPECT_NE(r.out.find("tube.order_code\tTU-PU-06x4-NT\n"), std::string::npos);

    // A project whose cup cannot hold the part stops at that page with status 2.
    const auto dir = std::filesystem::temp_directory_path() / ("cli_design_bad_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ifstream in(example, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    const auto at = text.find("SC-S2-FL030-NB-H1G18");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 20, "SC-S1-FL020-NB-H1G18");
    std::ofstream(dir / "bad.vac", std::ios::binary) << text;
    r = Cli({"design", (dir / "bad.vac").string(), "--catalog", catalog.string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("StringGridSuctionCups"), std::string::npos) << r.err;
    std::filesystem::remove_all(dir);
    std::filesystem::remove(catalog);
}

#include "core/data/parts_list.h"
#include "core/data/str_table_db.h"
#include "core/document/my_project.h"
#include "core/workflow/parts_list_build.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <limits>
#include <optional>
#include <utility>

namespace {

using TColumnDef = std::pair<std::string, TStrFieldType>;

// A stored table filled row by row from texts; integer columns take the text's number.
void FillTable(TStrTableDB32Bit& t, const std::vector<TColumnDef>& columns,
               const std::vector<std::vector<std::string>>& rows) {
    t.Loaded();
    std::vector<TStrFieldDB*> fields;
    for (const auto& [name, type] : columns) fields.push_back(&t.AddColumn(name, type));
    for (const auto& row : rows)
        for (size_t c = 0; c < columns.size(); ++c) {
            if (columns[c].second == csfString)
                fields[c]->AppendText(row[c]);
            else
                fields[c]->AppendInt(std::stoi(row[c]));
        }
    t.SetRows(static_cast<int>(rows.size()));
}

class PartsListBuild : public ::testing::Test {
protected:
    void SetUp() override {
        FillTable(order,
                  {{"ShortCut", csfString},
                   {"PartNo", csfDWord},
                   {"OrderCode", csfString},
                   {"Package", csfWord},
                   {"~Description", csfString}},
                  {
                      {"SC00001", "11000001", "SC-S1-%s", "10", "~DescSuctionCupInsert"},
                      {"SC00031", "11000031", "SC-S2-%s", "1", "~DescFlatSuctionCup"},
                      {"22000004", "22000004", "TU-PU-04x2.5-BL", "1", "~DescVacuumTube"},
                      {"VG0002", "33000002", "%s", "1", "~DescInlineEjector"},
                      {"SA-QA-M6-4", "44000001", "SA-QA-M6-4", "1", "~DescShockAbsorber"},
                      {"NOPART", "0", "X", "1", "~Nothing"},
                      {"NOPACK", "55000001", "NP-1", "0", "~NoPackage"},
                      {"LONG", "55000002", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-%s", "1", "~Long"},
                  });
        FillTable(tube, {{"PartNo", csfDWord}, {"OrderCode", csfString}},
                  {{"22000001", "TU-PU-03x2-NT"}, {"22000004", "TU-PU-04x2.5-BL"}});
        FillTable(cups, {{"OrderCode", csfString}, {"ShortCut", csfString}},
                  {{"SC-S1-FL001-NB", "SC00001"}, {"SC-S2-FL050-NB-H5G14S20", "SC00031"}});
        FillTable(venturi, {{"OrderCode", csfString}, {"ShortCut", csfString}},
                  {{"VG-V1-045-M5", "VG0001"}, {"VG-V1-050-M5-Q", "VG0002"}});
        sources.Order = &order;
        sources.TubeQuery = &tube;
        sources.TubeRow = 1;
        sources.Tube = &tube;
        sources.SuctionCupQuery = &cups;
        sources.SuctionCupRow = 1;
        sources.VenturiQuery = &venturi;
        sources.VenturiRow = 1;
        sources.Venturi = &venturi;
        amounts.ShockAbsorber = "SA-QA-M6-4";
        amounts.ShockAbsorberCount = 2;
        amounts.TubeLength = 2.01;
        amounts.SuctionCupCount = 4;
        amounts.VenturiCount = 1;
    }

    TStrTableDB32Bit order, tube, cups, venturi;
    TPartsSources sources;
    TPartsAmounts amounts;
    TPartsList list;
};

} // namespace

TEST(PartsListRules, TubeIsRoundedUpToWholeMetres) {
    EXPECT_EQ(TubeMetres(2.0005), 2);
    EXPECT_EQ(TubeMetres(2.001), 2);
    EXPECT_EQ(TubeMetres(2.01), 3);
    EXPECT_EQ(TubeMetres(2.5), 3);
    EXPECT_EQ(TubeMetres(2.7), 3);
    EXPECT_EQ(TubeMetres(0.3), 1);
    EXPECT_EQ(TubeMetres(3.0), 3);
}

TEST(PartsListRules, CupOrderCodeAfterSecondDash) {
    EXPECT_EQ(CupTemplateArgument("SC-S2-FL050-NB-H5G14S20"), "FL050-NB-H5G14S20");
    EXPECT_EQ(CupTemplateArgument("SC-S2"), "");
    EXPECT_EQ(CupTemplateArgument("SC"), "");
    EXPECT_EQ(CupTemplateArgument(""), "");
    EXPECT_EQ(FillOrderTemplate("SC-S2-%s", "FL050-NB"), "SC-S2-FL050-NB");
    EXPECT_EQ(FillOrderTemplate("%s", "VG-V1-045-M5"), "VG-V1-045-M5");
    EXPECT_EQ(FillOrderTemplate("100%%-%s-%d", "x"), "100%-x-%d");
    EXPECT_EQ(FillOrderTemplate("NO-ARG", "x"), "NO-ARG");
}

TEST_F(PartsListBuild, ItemQuantityIsRoundedUpToPackages) {
    const std::string arg = "FL002-NB";
    EXPECT_TRUE(AddOrderItem(list, order, "SC00001", 7, "ST", &arg));
    ASSERT_EQ(list.Rows(), 1);
    EXPECT_EQ(list.Part(0).Quantity, 10);
    EXPECT_EQ(list.Part(0).Package, 10);
    EXPECT_EQ(list.Part(0).OrderCode, "SC-S1-FL002-NB");
    EXPECT_EQ(list.Part(0).PartNo, "11000001");
    EXPECT_EQ(list.Part(0).Description, "~DescSuctionCupInsert");
    EXPECT_EQ(list.Part(0).QuantityUnit, "ST");
    EXPECT_EQ(list.Part(0).Length, 0);
    EXPECT_EQ(list.Part(0).LengthUnit, "");

    list.Clear();
    const std::string arg2 = "FL050-NB";
    EXPECT_TRUE(AddOrderItem(list, order, "SC00031", 7, "ST", &arg2));
    EXPECT_EQ(list.Part(0).Quantity, 7);
    // The same item again adds up in the same row.
    EXPECT_TRUE(AddOrderItem(list, order, "SC00031", 3, "ST", &arg2));
    ASSERT_EQ(list.Rows(), 1);
    EXPECT_EQ(list.Part(0).Quantity, 10);
}

TEST_F(PartsListBuild, ItemsWithoutOrderRowAreDropped) {
    EXPECT_FALSE(AddOrderItem(list, order, "SC99999", 3, "ST"));
    EXPECT_FALSE(AddOrderItem(list, order, "NOPART", 3, "ST"));
    EXPECT_FALSE(AddOrderItem(list, order, "SC00031", 0, "ST"));
    EXPECT_FALSE(AddOrderItem(list, order, "sc00031", 1, "ST"));
    EXPECT_EQ(list.Rows(), 0);
    // A package of 0 orders nothing but still lists the part.
    EXPECT_TRUE(AddOrderItem(list, order, "NOPACK", 3, "ST"));
    ASSERT_EQ(list.Rows(), 1);
    EXPECT_EQ(list.Part(0).Quantity, 0);
}

TEST_F(PartsListBuild, TemplateIsCutBeforeItIsFilled) {
    const std::string arg = "1";
    EXPECT_TRUE(AddOrderItem(list, order, "LONG", 1, "ST", &arg));
    // The first 30 characters of the template end before its "%s".
    EXPECT_EQ(list.Part(0).OrderCode, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
    // Without an argument the order code is taken as it stands.
    EXPECT_TRUE(AddOrderItem(list, order, "VG0002", 1, "ST"));
    EXPECT_EQ(list.Part(1).OrderCode, "%s");
}

TEST_F(PartsListBuild, ListFromChosenRows) {
    list.Add("99", "OLD", 1, 1, "ST", "", 0, "");
    BuildPartsList(list, amounts, sources);
    ASSERT_EQ(list.Rows(), 4);
    EXPECT_EQ(list.Part(0).PartNo, "44000001");
    EXPECT_EQ(list.Part(0).OrderCode, "SA-QA-M6-4");
    EXPECT_EQ(list.Part(0).Quantity, 2);
    EXPECT_EQ(list.Part(1).PartNo, "22000004");
    EXPECT_EQ(list.Part(1).OrderCode, "TU-PU-04x2.5-BL");
    EXPECT_EQ(list.Part(1).Quantity, 3);
    EXPECT_EQ(list.Part(1).QuantityUnit, "M");
    EXPECT_EQ(list.AsText(1, "Anzahl"), "    3 m");
    EXPECT_EQ(list.Part(2).PartNo, "11000031");
    EXPECT_EQ(list.Part(2).OrderCode, "SC-S2-FL050-NB-H5G14S20");
    EXPECT_EQ(list.Part(2).Quantity, 4);
    EXPECT_EQ(list.Part(3).PartNo, "33000002");
    EXPECT_EQ(list.Part(3).OrderCode, "VG-V1-050-M5-Q");
    EXPECT_EQ(list.Part(3).Quantity, 1);
    EXPECT_EQ(list.Part(3).Description, "~DescInlineEjector");
    for (int r = 0; r < list.Rows(); ++r) {
        EXPECT_EQ(list.Part(r).Length, 0);
        EXPECT_EQ(list.AsText(r, "xLen"), "");
    }
}

TEST_F(PartsListBuild, MissingChoicesDropTheirItems) {
    amounts.ShockAbsorber.clear();
    amounts.TubeLength = 0;
    BuildPartsList(list, amounts, sources);
    ASSERT_EQ(list.Rows(), 2);
    EXPECT_EQ(list.Part(0).PartNo, "11000031");

    // A tube that is not in the tube table and a generator that is not in the generator
    // table are not listed.
    amounts.TubeLength = 1;
    TStrTableDB32Bit otherTube, otherVenturi;
    FillTable(otherTube, {{"PartNo", csfDWord}}, {{"22000001"}});
    FillTable(otherVenturi, {{"OrderCode", csfString}, {"ShortCut", csfString}},
              {{"VG-V1-045-M5", "VG0001"}});
    sources.Tube = &otherTube;
    sources.Venturi = &otherVenturi;
    BuildPartsList(list, amounts, sources);
    ASSERT_EQ(list.Rows(), 1);
    EXPECT_EQ(list.Part(0).PartNo, "11000031");

    sources.SuctionCupRow = -1;
    amounts.VenturiCount = 0;
    BuildPartsList(list, amounts, sources);
    EXPECT_EQ(list.Rows(), 0);
}

TEST(PartsListRules, AmountsFollowTheDriveOfTheMotion) {
    TMyProject project;
    project.Drive.PneumaticLinear.UseQdr = true;
    project.Drive.PneumaticLinear.QdrOrderCode = "SA-LIN";
    project.Drive.PneumaticLinear.QdrCount = 2;
    project.Drive.PneumaticCircular.UseQdr = true;
    project.Drive.PneumaticCircular.QdrOrderCode = "SA-ROT";
    project.Drive.PneumaticCircular.QdrCount = 1;
    project.Tube.Length = 1.5;
    project.Venturi.Count = 3;

    project.Drive.Type = cdtPneumaticLinear;
    TPartsAmounts a = PartsAmountsFromProject(project);
    EXPECT_EQ(a.ShockAbsorber, "SA-LIN");
    EXPECT_EQ(a.ShockAbsorberCount, 2);
    EXPECT_EQ(a.TubeLength, 1.5);
    EXPECT_EQ(a.VenturiCount, 3);
    EXPECT_EQ(a.SuctionCupCount, project.SuctionCups.Count());

    project.Drive.Type = cdtNCCircular;
    a = PartsAmountsFromProject(project);
    EXPECT_EQ(a.ShockAbsorber, "SA-ROT");
    EXPECT_EQ(a.ShockAbsorberCount, 1);

    project.Drive.PneumaticCircular.UseQdr = false;
    a = PartsAmountsFromProject(project);
    EXPECT_EQ(a.ShockAbsorber, "");
    EXPECT_EQ(a.ShockAbsorberCount, 0);
}

// The quantities are 32-bit: whatever would pass 2147483647 is refused, not wrapped round.
TEST(PartsListRules, TubeMetresOnlyWhereAQuantityHoldsThem) {
    EXPECT_EQ(TubeMetres(2147483647.0), 2147483647);
    // 2147483646.5 rounds to the even 2147483646 and falls short by half a metre.
    EXPECT_EQ(TubeMetres(2147483646.5), 2147483647);
    EXPECT_EQ(TubeMetres(2147483647.5), std::nullopt);
    EXPECT_EQ(TubeMetres(1e300), std::nullopt);
    EXPECT_EQ(TubeMetres(std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(TubeMetres(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
    EXPECT_EQ(TubeMetres(-1.0), std::nullopt);
    EXPECT_EQ(TubeMetres(0.0), 0);
}

TEST_F(PartsListBuild, QuantitiesBeyondTheLimitAreRefusedWithAReason) {
    // 2147483640 is a whole number of packages of 10; 2147483641 rounds up to 2147483650.
    EXPECT_TRUE(AddOrderItem(list, order, "SC00001", 2147483640, "ST"));
    ASSERT_EQ(list.Rows(), 1);
    EXPECT_EQ(list.Part(0).Quantity, 2147483640);
    EXPECT_TRUE(list.Refusals().empty());
    list.Clear();
    EXPECT_FALSE(AddOrderItem(list, order, "SC00001", 2147483641, "ST"));
    EXPECT_EQ(list.Rows(), 0);
    ASSERT_EQ(list.Refusals().size(), 1u);
    EXPECT_NE(list.Refusals()[0].find("SC00001"), std::string::npos) << list.Refusals()[0];
    EXPECT_NE(list.Refusals()[0].find("2147483647"), std::string::npos) << list.Refusals()[0];
    // Packages of 1 hold the largest count itself.
    EXPECT_TRUE(AddOrderItem(list, order, "SC00031", 2147483647, "ST"));
    EXPECT_EQ(list.Part(0).Quantity, 2147483647);
    // A negative count is no order.
    EXPECT_FALSE(AddOrderItem(list, order, "SC00031", -3, "ST"));
    EXPECT_EQ(list.Part(0).Quantity, 2147483647);
    EXPECT_EQ(list.Refusals().size(), 2u);
    // One more of the same part would pass the limit: refused, and said so.
    EXPECT_FALSE(AddOrderItem(list, order, "SC00031", 1, "ST"));
    EXPECT_EQ(list.Part(0).Quantity, 2147483647);
    EXPECT_EQ(list.Refusals().size(), 3u);
    list.Clear();
    EXPECT_TRUE(list.Refusals().empty());
}

TEST_F(PartsListBuild, PackagingUnitOutOfRangeIsRefused) {
    TStrTableDB32Bit floatOrder;
    floatOrder.Loaded();
    TStrFieldDB& shortCut = floatOrder.AddColumn("ShortCut", csfString);
    TStrFieldDB& partNo = floatOrder.AddColumn("PartNo", csfDWord);
    TStrFieldDB& code = floatOrder.AddColumn("OrderCode", csfString);
    TStrFieldDB& package = floatOrder.AddColumn("Package", csfFloat);
    TStrFieldDB& description = floatOrder.AddColumn("~Description", csfString);
    const double packages[] = {1e40, -1e40, 2.5};
    for (int i = 0; i < 3; ++i) {
        shortCut.AppendText("K" + std::to_string(i));
        partNo.AppendInt(100 + i);
        code.AppendText("C" + std::to_string(i));
        package.AppendFloat(packages[i]);
        description.AppendText("");
    }
    floatOrder.SetRows(3);
    EXPECT_FALSE(AddOrderItem(list, floatOrder, "K0", 1, "ST"));
    EXPECT_FALSE(AddOrderItem(list, floatOrder, "K1", 1, "ST"));
    EXPECT_EQ(list.Refusals().size(), 2u);
    // 2.5 rounds to the even 2: five pieces make three packages of 2.
    EXPECT_TRUE(AddOrderItem(list, floatOrder, "K2", 5, "ST"));
    ASSERT_EQ(list.Rows(), 1);
    EXPECT_EQ(list.Part(0).Package, 2);
    EXPECT_EQ(list.Part(0).Quantity, 6);
}

TEST_F(PartsListBuild, TubeTooLongForAnOrderIsLeftOutAndNoted) {
    amounts.TubeLength = 3e12;
    BuildPartsList(list, amounts, sources);
    ASSERT_EQ(list.Rows(), 3);
    for (int r = 0; r < list.Rows(); ++r) EXPECT_NE(list.Part(r).PartNo, "22000004");
    ASSERT_EQ(list.Refusals().size(), 1u);
    EXPECT_NE(list.Refusals()[0].find("tube 22000004"), std::string::npos) << list.Refusals()[0];
    // A new build starts without the old notes.
    amounts.TubeLength = 2.01;
    BuildPartsList(list, amounts, sources);
    EXPECT_EQ(list.Rows(), 4);
    EXPECT_TRUE(list.Refusals().empty());
}

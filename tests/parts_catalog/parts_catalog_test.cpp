// The parts list built from the bundled catalogue through its order table.

#include "core/data/order_export.h"
#include "core/data/parts_list.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/workflow/parts_list_build.h"
#include "tools/vacdb/catalog_source.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

const std::string kProductDir = std::string(VACUUM_SOURCE_DIR) + "/catalog/product";

const TStrTableDB32Bit& Table(const std::string& file) {
    static std::map<std::string, TStrTableDB32Bit*> tables;
    TStrTableDB32Bit*& t = tables[file];
    if (!t) {
        t = new TStrTableDB32Bit;
        t->Loaded();
        ReadTableSource(kProductDir + "/" + file, kProductDir, *t);
    }
    return *t;
}

class PartsCatalog : public ::testing::Test {
protected:
    void SetUp() override {
        for (TStringQuery* q : {&tubeQuery, &cupQuery, &venturiQuery}) q->Loaded();
        tubeQuery.SetTable(const_cast<TStrTableDB32Bit*>(&Table("tube.tsv")));
        cupQuery.SetTable(const_cast<TStrTableDB32Bit*>(&Table("suction_cups.tsv")));
        venturiQuery.SetTable(const_cast<TStrTableDB32Bit*>(&Table("venturi.tsv")));
        sources.Order = &Table("order.tsv");
        sources.TubeQuery = &tubeQuery;
        sources.Tube = &Table("tube.tsv");
        sources.SuctionCupQuery = &cupQuery;
        sources.VenturiQuery = &venturiQuery;
        sources.Venturi = &Table("venturi.tsv");
    }

    TStringQuery tubeQuery, cupQuery, venturiQuery;
    TPartsSources sources;
};

} // namespace

TEST_F(PartsCatalog, GripperPartsListAndItsFiles) {
    sources.TubeRow = tubeQuery.FindRow("OrderCode", "TU-PU-03x2-YE");
    sources.SuctionCupRow = cupQuery.FindRow("OrderCode", "SC-S1-FL004-NB-H1M3");
    sources.VenturiRow = venturiQuery.FindRow("OrderCode", "VG-V1-045-M5-Q");
    ASSERT_GE(sources.TubeRow, 0);
    ASSERT_GE(sources.SuctionCupRow, 0);
    ASSERT_GE(sources.VenturiRow, 0);
    TPartsAmounts amounts;
    amounts.ShockAbsorber = "SA-QA-M8-6";
    amounts.ShockAbsorberCount = 2;
    amounts.TubeLength = 2.0005;
    amounts.SuctionCupCount = 7;
    amounts.VenturiCount = 2;

    TPartsList list;
    BuildPartsList(list, amounts, sources);
    EXPECT_EQ(CsvExportText(list),
              "Position;Teile Nr.;Menge;Ihre Teilenummer;Bestellcode 1;Bestellcode 2;x-Hub;\r\n"
              "1;44000002;2;;SA-QA-M8-6;;;\r\n"
              "2;22000005;2;;TU-PU-03x2-YE;;;\r\n"
              "3;11000030;10;;SC-S1-FL004-NB-H1M3;;;\r\n"
              "4;33000002;2;;VG-V1-045-M5-Q;;;\r\n");
    EXPECT_EQ(ErpOrderText(list, "0815"),
              "0815\t0\t1\t44000002\tOrsik\tSA-QA-M8-6\t0\t2\tST\t0\t0\tX\tX\t0\r\n"
              "0815\t0\t2\t22000005\tOrsik\tTU-PU-03x2-YE\t0\t2\tM\t0\t0\tX\tX\t0\r\n"
              "0815\t0\t3\t11000030\tOrsik\tSC-S1-FL004-NB-H1M3\t0\t10\tST\t0\t0\tX\tX\t0\r\n"
              "0815\t0\t4\t33000002\tOrsik\tVG-V1-045-M5-Q\t0\t2\tST\t0\t0\tX\tX\t0\r\n");
    EXPECT_EQ(list.AsText(2, "~Ben"), "~DescFlatSuctionCup");
    EXPECT_EQ(list.AsText(2, "VPE"), "   10");
}

TEST_F(PartsCatalog, EveryCupOrdersUnderItsOwnOrderCode) {
    const TCustomTable& cups = Table("suction_cups.tsv");
    ASSERT_GT(cups.Rows(), 1000);
    TPartsList list;
    for (int row = 0; row < cups.Rows(); ++row) {
        SCOPED_TRACE(testing::Message() << "row " << row << " " << cups.AsText(row, "OrderCode"));
        const std::string code = cups.AsText(row, "OrderCode");
        const std::string arg = CupTemplateArgument(code);
        list.Clear();
        ASSERT_TRUE(AddOrderItem(list, *sources.Order, cups.AsText(row, "ShortCut"), 1, "ST", &arg))
            << code;
        EXPECT_EQ(list.Part(0).OrderCode, code);
        EXPECT_EQ(list.Part(0).Quantity, list.Part(0).Package) << code;
    }
}

TEST_F(PartsCatalog, EveryGeneratorAndTubeIsOrderable) {
    const TCustomTable& venturi = Table("venturi.tsv");
    for (int row = 0; row < venturi.Rows(); ++row) {
        SCOPED_TRACE(testing::Message() << "row " << row << " " << venturi.AsText(row, "OrderCode"));
        TPartsList list;
        sources.VenturiRow = row;
        TPartsAmounts amounts;
        amounts.VenturiCount = 1;
        BuildPartsList(list, amounts, sources);
        ASSERT_EQ(list.Rows(), 1) << row;
        EXPECT_EQ(list.Part(0).OrderCode, venturi.AsText(row, "OrderCode"));
    }
    const TCustomTable& tube = Table("tube.tsv");
    sources.VenturiRow = -1;
    for (int row = 0; row < tube.Rows(); ++row) {
        SCOPED_TRACE(testing::Message() << "row " << row << " " << tube.AsText(row, "OrderCode"));
        TPartsList list;
        sources.TubeRow = row;
        TPartsAmounts amounts;
        amounts.TubeLength = 0.4;
        BuildPartsList(list, amounts, sources);
        ASSERT_EQ(list.Rows(), 1) << row;
        EXPECT_EQ(list.Part(0).OrderCode, tube.AsText(row, "OrderCode"));
        EXPECT_EQ(list.Part(0).Quantity, 1);
        EXPECT_EQ(list.Part(0).QuantityUnit, "M");
    }
}

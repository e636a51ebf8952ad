// The tube page: the computed "~ok" column against the chosen cup's connector, choosing a
// tube, the lengths per cup or in total, the tube volume and the record label.

#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/workflow/tube_model.h"

#include <gtest/gtest.h>
#include <numbers>
#include <string>

namespace {

struct TTubeRow {
    std::string OrderCode;
    double Diameter;
    std::string Dw, Tx;
};

class TRecordingTubeView : public TTubeView {
public:
    int Invalidations = 0, Volumes = 0;
    void InvalidateLaterPages() override { ++Invalidations; }
    void VolumeChanged() override { ++Volumes; }
};

struct TTubeModelTest : ::testing::Test {
    TMyProject Doc;
    TStrTableDB32Bit Tubes, Connectors;
    TStringQuery Query;
    TTubeModel Model{Doc};
    TRecordingTubeView View;

    TTubeModelTest() {
        Doc.Project().New();
        Tubes.Loaded();
        auto& order = Tubes.AddColumn("OrderCode", csfString);
        auto& diameter = Tubes.AddColumn("Diameter", csfFloat);
        auto& dw = Tubes.AddColumn("DW-x", csfString);
        auto& tx = Tubes.AddColumn("TX-x", csfString);
        Tubes.AddColumn("~ok", csfString);
        const std::vector<TTubeRow> rows = {{"TU-4", 0.004, "DW-4-x", "-"},
                                            {"TU-6", 0.006, "DW-6-x", "TX-6-x"},
                                            {"TU-8", 0.008, "DW-8-x", "-"}};
        for (const TTubeRow& r : rows) {
            order.AppendText(r.OrderCode);
            diameter.AppendFloat(r.Diameter);
            dw.AppendText(r.Dw);
            tx.AppendText(r.Tx);
        }
        Tubes.SetRows(3);
        Query.Loaded();
        Query.SetTable(&Tubes);

        Connectors.Loaded();
        auto& name = Connectors.AddColumn("Name", csfString);
        auto& conn = Connectors.AddColumn("Connection", csfString);
        for (auto [n, c] :
             {std::pair{"M5-M", "DW-4-x"}, {"G1/8-F", "TX-6-x"}, {"G1/8-F", "DW-8-x"}}) {
            name.AppendText(n);
            conn.AppendText(c);
        }
        Connectors.SetRows(3);

        Model.SetTubeTables(&Tubes, &Query, &Connectors);
        Model.SetView(&View);
        Model.Translate = [](std::string_view key) {
            return std::string(key == "~LabelRecords" ? "%d of %d" : "fit");
        };
        Doc.SuctionCups.CupType.ConnectorName = "M5-M";
        Doc.SuctionCups.CupType.Volume = 0.0;
    }

    std::string Ok(int row) { return Query.AsText(row, "~ok"); }
};

TEST_F(TTubeModelTest, FitFollowsTheCupConnector) {
    EXPECT_EQ(Ok(0), "~Yes");
    EXPECT_EQ(Ok(1), "~No");
    EXPECT_EQ(Ok(2), "~No");
    Doc.SuctionCups.CupType.ConnectorName = "G1/8-F";
    EXPECT_EQ(Ok(0), "~No");
    EXPECT_EQ(Ok(1), "~Yes"); // by its TX code
    EXPECT_EQ(Ok(2), "~Yes");
}

// Counts the change notices the tube table sends its dependents.
class TCountingDependent : public TTableDependent {
public:
    int Notices = 0;
    void SourceChanged(TCustomTable&, unsigned) override { ++Notices; }
};

TEST_F(TTubeModelTest, EnteringThePageAfterAnotherCupRedrawsTheFitColumnOnce) {
    TCountingDependent grid;
    Tubes.AddDependent(&grid);
    Model.EnterTubePage(0);
    const int first = grid.Notices;
    EXPECT_GE(first, 1);
    Model.EnterTubePage(0);
    EXPECT_EQ(grid.Notices, first); // nothing changed
    Doc.SuctionCups.CupType.ConnectorName = "G1/8-F";
    Model.EnterTubePage(0);
    EXPECT_EQ(grid.Notices, first + 1);
    // The chosen row is read again with the new fit.
    EXPECT_FALSE(Model.TubeChangeValid());
    Model.EnterTubePage(1);
    EXPECT_TRUE(Model.TubeChangeValid());
    Tubes.RemoveDependent(&grid);
}

TEST_F(TTubeModelTest, SelectingATubeSetsDiameterVolumeAndEvacuatedVolume) {
    Doc.Tube.Length = 1.0;
    Model.TubeSelect(0);
    EXPECT_EQ(View.Invalidations, 1);
    EXPECT_EQ(Doc.Tube.OrderCode, "TU-4");
    EXPECT_EQ(Model.LabelSelectedTube(), "TU-4");
    EXPECT_DOUBLE_EQ(Model.TubeDiameter(), 0.004);
    EXPECT_DOUBLE_EQ(Model.NozzleLimit(), 0.004 / 3);
    EXPECT_TRUE(Model.SelectedValid());
    // π × 0.002² × 1 m = 1.2566e-5 m³.
    EXPECT_NEAR(Doc.TubeVolume, std::numbers::pi * 4e-6, 1e-18);
    EXPECT_NEAR(Doc.EvacuatedVolume, Doc.TubeVolume, 1e-18);
    EXPECT_GE(View.Volumes, 1);
    Model.TubeSelect(1);
    EXPECT_FALSE(Model.SelectedValid());
    // Rows outside the query change nothing.
    Model.TubeSelect(7);
    EXPECT_EQ(Doc.Tube.OrderCode, "TU-6");
}

TEST_F(TTubeModelTest, LengthsPerCupAndInTotal) {
    Doc.SuctionCups.Resize(4);
    Model.TubeSelect(0);
    // Four cups of 0.25 m: 1 m.
    Model.VakuumVolumenChange(0.25, 0.0, true);
    EXPECT_DOUBLE_EQ(Doc.Tube.Length, 1.0);
    EXPECT_DOUBLE_EQ(Model.Lengths().Single, 0.25);
    EXPECT_NEAR(Doc.TubeVolume, std::numbers::pi * 4e-6, 1e-18);
    Model.TubeLenClick(true);
    EXPECT_TRUE(Doc.Tube.TotalLength);
    EXPECT_TRUE(Model.SingleLengthReadOnly());
    EXPECT_FALSE(Model.TotalLengthReadOnly());
    Model.VakuumVolumenChange(0.25, 2.0, true);
    EXPECT_DOUBLE_EQ(Doc.Tube.Length, 2.0);
    EXPECT_DOUBLE_EQ(Model.Lengths().Single, 0.5);
}

TEST_F(TTubeModelTest, EnteringThePageRederivesTheLengthFromTheCupCount) {
    Doc.SuctionCups.Resize(4);
    Model.VakuumVolumenChange(0.25, 0.0, true);
    ASSERT_DOUBLE_EQ(Doc.Tube.Length, 1.0);
    // Per cup: two more cups add their length to the total.
    Doc.SuctionCups.Resize(6);
    Model.EnterTubePage(0);
    EXPECT_DOUBLE_EQ(Doc.Tube.Length, 1.5);
    // In total mode the total stands and the single length follows.
    Model.TubeLenClick(true);
    Doc.SuctionCups.Resize(3);
    Model.EnterTubePage(0);
    EXPECT_DOUBLE_EQ(Doc.Tube.Length, 1.5);
    EXPECT_DOUBLE_EQ(Model.Lengths().Single, 0.5);
    EXPECT_EQ(Model.LabelTubeCount(), "3 of 3 - 1 fit");
}

TEST_F(TTubeModelTest, RecordLabelAndReachFollowTheFilter) {
    Query.AddCondition("Diameter>0.005");
    Model.StrQueryTubeChange();
    EXPECT_EQ(Model.LabelTubeCount(), "2 of 3 - 0 fit");
    EXPECT_EQ(View.Invalidations, 1);
    Doc.DisclaimerPending = true;
    Model.StrQueryTubeChange();
    EXPECT_EQ(View.Invalidations, 1);
    // The stored cell shows through until the disclaimer is accepted.
    EXPECT_EQ(Ok(0), "");
}

} // namespace

// The vacuum generator page: computed "~ok", "Time" and "Vacuum" columns and their cache,
// the condition handlers, choosing a generator, the operating values and the record label.

#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/workflow/product_filters.h"
#include "core/workflow/tube_model.h"
#include "core/workflow/venturi_model.h"
#include "tests/core/calc/venturi_test_support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

struct TGenRow {
    std::string OrderCode, Curve, Vacuum;
    double Nozzle;
};

class TRecordingView : public TVenturiView {
public:
    int Invalidations = 0, Grids = 0, Operating = 0;
    std::string Caption;
    void InvalidateLaterPages() override { ++Invalidations; }
    void GridChanged() override { ++Grids; }
    void OperatingValuesChanged() override { ++Operating; }
    void ShowChartWindow(const std::string& caption) override { Caption = caption; }
};

struct TVenturiModelTest : ::testing::Test {
    TMyProject Doc;
    TStrTableDB32Bit Table, Times, Tubes, Connectors, Sizes;
    TStringQuery Query, TubeQuery;
    TTestCurveFamily Vac, Air, Suction, Sound;
    TTubeModel Tube{Doc};
    TVenturiModel Model{Doc};
    TRecordingView View;

    TVenturiModelTest() {
        Doc.Project().New();
        Table.Loaded();
        const std::vector<TGenRow> gens = {{"VG-A", "EV-A", "UD-A", 0.0005},
                                           {"VG-B", "EV-A", "UD-A", 0.002},
                                           {"VG-C", "EV-C", "UD-C", 0.0014}};
        auto& order = Table.AddColumn("OrderCode", csfString);
        auto& curve = Table.AddColumn("Kennlinie", csfString);
        auto& vac = Table.AddColumn("Unterdruck", csfString);
        auto& air = Table.AddColumn("Luftverbrauch", csfString);
        auto& suction = Table.AddColumn("Saugleistung", csfString);
        auto& sound = Table.AddColumn("Schalldruck", csfString);
        auto& nozzle = Table.AddColumn("DLavall", csfFloat);
        auto& maxLV = Table.AddColumn("MaxLV", csfFloat);
        auto& maxSL = Table.AddColumn("MaxSL", csfFloat);
        auto& maxSD = Table.AddColumn("MaxSD", csfFloat);
        auto& ok = Table.AddColumn("~ok", csfString);
        auto& time = Table.AddColumn("Time", csfFloat);
        auto& vacuum = Table.AddColumn("Vacuum", csfFloat);
        for (const TGenRow& g : gens) {
            order.AppendText(g.OrderCode);
            curve.AppendText(g.Curve);
            vac.AppendText(g.Vacuum);
            air.AppendText("LV-A");
            suction.AppendText("SL-A");
            sound.AppendText("SD-A");
            nozzle.AppendFloat(g.Nozzle);
            maxLV.AppendFloat(14);
            maxSL.AppendFloat(5);
            maxSD.AppendFloat(80);
            ok.AppendText("");
            time.AppendFloat(0);
            vacuum.AppendFloat(0);
        }
        Table.SetRows(3);
        Query.Loaded();
        Query.SetTable(&Table);

        // EV-A at 4 and 6 bar over the levels 0.2 and 0.7 bar.
        FillEvacuationTable(Times,
                            CurveRows("EV-A", {4, 6}, {0.2, 0.7}, {{400, 1000}, {200, 600}}));
        Vac.Add("UD-A", {3, 7}, {0.8, 0.8});
        Vac.Add("UD-C", {3, 7}, {0.5, 0.9});
        Air.Add("LV-A", {4, 6}, {100, 200});
        Suction.Add("SL-A", {4, 6}, {10, 30});
        Sound.Add("SD-A", {4, 6}, {60, 70});

        Sizes.Loaded();
        Sizes.AddColumn("pSize", csfDWord).AppendInt(10);
        Sizes.AddColumn("vSize", csfDWord).AppendInt(18);
        Sizes.SetRows(1);

        // Tubes of 4 and 8 mm; the first is chosen.
        Tubes.Loaded();
        auto& tubeOrder = Tubes.AddColumn("OrderCode", csfString);
        auto& diameter = Tubes.AddColumn("Diameter", csfFloat);
        for (double d : {0.004, 0.008}) {
            tubeOrder.AppendText("TU");
            diameter.AppendFloat(d);
        }
        Tubes.AddColumn("~ok", csfString);
        Tubes.SetRows(2);
        TubeQuery.Loaded();
        TubeQuery.SetTable(&Tubes);
        Connectors.Loaded();
        Connectors.SetRows(0);
        Tube.SetTubeTables(&Tubes, &TubeQuery, &Connectors);
        Tube.SelectTube(0);

        Model.SetVenturiTables(&Table, &Query);
        Model.SetCurves({&Vac, &Air, &Suction, &Sound});
        Model.SetEvacuationTables(&Times, &Sizes);
        Model.SetTubeModel(&Tube);
        Model.SetView(&View);
        Model.Translate = [](std::string_view key) {
            return std::string(key == "~LabelRecords" ? "%d of %d" : "fit");
        };
        // Two litres to evacuate: no cup volume, the tube's set directly.
        Doc.SuctionCups.CupType.Volume = 0.0;
        Doc.TubeVolume = 0.002;
    }

    std::string Text(int row, const char* col) { return Query.AsText(row, col); }
    double Value(int row, const char* col) { return Query.AsFloat(row, col); }
};

TEST_F(TVenturiModelTest, ConditionsAfterNewProject) {
    const TVenturiConditions c = Model.Conditions();
    EXPECT_EQ(c.Count, 1);
    EXPECT_DOUBLE_EQ(c.Pressure, 6e5);
    EXPECT_DOUBLE_EQ(c.Vacuum, -0.7e5);
    EXPECT_DOUBLE_EQ(c.Volume, 0.002);
}

TEST_F(TVenturiModelTest, ComputedColumns) {
    // 6 bar, 0.7 bar required, reach 0.8 bar: r = 0.875, scaled 0.7 bar; at the upper
    // group's pressure its time alone counts: 0.6 s per litre, 1.2 s for two.
    EXPECT_NEAR(Value(0, "Time"), 1.2, 1e-12);
    EXPECT_EQ(Text(0, "Time"), "1.2 s");
    EXPECT_EQ(Text(1, "Time"), "1.2 s");
    // EV-C does not exist.
    EXPECT_EQ(Value(2, "Time"), -1.0);
    EXPECT_EQ(Text(2, "Time"), "-");
    EXPECT_NEAR(Value(0, "Vacuum"), 0.8, 1e-12);
    EXPECT_EQ(Text(0, "Vacuum"), "-0.8 bar");
    // UD-C at 6 bar: 0.5 + 0.4 × 3 / 4 = 0.8 bar.
    EXPECT_NEAR(Value(2, "Vacuum"), 0.8, 1e-12);
    // 4 mm tube: nozzles up to 1.33 mm fit.
    EXPECT_EQ(Text(0, "~ok"), "~Yes");
    EXPECT_EQ(Text(1, "~ok"), "~No");
    EXPECT_EQ(Text(2, "~ok"), "~No");
}

TEST_F(TVenturiModelTest, CalculationEntryPointsUseTheProjectConditions) {
    EXPECT_TRUE(Model.LoadEvacuationCurve("EV-A"));
    EXPECT_FALSE(Model.LoadEvacuationCurve("EV-C"));
    EXPECT_TRUE(Model.PressureInCurveRange("EV-A"));
    EXPECT_NEAR(Model.EvacuationTime("EV-A", "UD-A"), 1.2, 1e-12);
    EXPECT_NEAR(Model.VacuumAt("UD-C", 5e5), 0.7e5, 1e-6);
    Model.SpinEditBetriebsdruckChange(6.5e5);
    EXPECT_FALSE(Model.PressureInCurveRange("EV-A"));
    EXPECT_EQ(Model.EvacuationTime("EV-A", "UD-A"), -1.0);
}

TEST_F(TVenturiModelTest, ReadingTheGridAgainNeverRecomputes) {
    for (int r = 0; r < 3; ++r) Text(r, "Time");
    // VG-A and VG-B share their curves.
    EXPECT_EQ(Model.TimeComputations(), 2);
    for (int pass = 0; pass < 5; ++pass)
        for (int r = 0; r < 3; ++r) {
            Text(r, "Time");
            Text(r, "Vacuum");
            Text(r, "~ok");
        }
    EXPECT_EQ(Model.TimeComputations(), 2);
    Model.SpinEditBetriebsdruckChange(5e5);
    Text(0, "Time");
    EXPECT_EQ(Model.TimeComputations(), 4);
}

TEST_F(TVenturiModelTest, InputsChangeTheTimes) {
    const double base = Value(0, "Time");
    Model.SpinEditAnzahlVenturiChange(2.4); // whole number
    EXPECT_EQ(Doc.Venturi.Count, 2);
    EXPECT_NEAR(Value(0, "Time"), base / 2, 1e-12);
    Model.SpinEditAnzahlVenturiChange(1);
    Doc.TubeVolume = 0.004;
    Model.PanelVakVolGesChange();
    EXPECT_NEAR(Value(0, "Time"), base * 2, 1e-12);
    // Between the groups at 5 bar: T_lo at 0.7 bar = 1.0 s, T_hi = 0.6 s, blend 0.8 s per
    // litre, 3.2 s for four.
    Model.SpinEditBetriebsdruckChange(5e5);
    EXPECT_NEAR(Value(0, "Time"), 3.2, 1e-12);
    Model.SpinEditVakuumSollChange(0.0);
    EXPECT_EQ(Text(0, "Time"), "0 ms");
    EXPECT_EQ(Text(2, "Time"), "0 ms");
    // More than the generator reaches.
    Model.SpinEditVakuumSollChange(-0.85e5);
    EXPECT_EQ(Text(0, "Time"), "-");
    EXPECT_GE(View.Grids, 5);
}

TEST_F(TVenturiModelTest, TubeDiameterChangesTheFit) {
    EXPECT_EQ(Text(1, "~ok"), "~No");
    Tube.SelectTube(1);
    // 3 × 2 mm = 6 mm ≤ 8 mm.
    EXPECT_EQ(Text(1, "~ok"), "~Yes");
}

TEST_F(TVenturiModelTest, SelectingAGeneratorTakesOverTheRow) {
    Model.VenturiSelect(0);
    EXPECT_EQ(View.Invalidations, 1);
    EXPECT_EQ(Doc.Venturi.OrderCode, "VG-A");
    EXPECT_EQ(Model.LabelSelectedVenturiNozzle(), "VG-A");
    EXPECT_NEAR(Doc.Venturi.Time, 1.2, 1e-12);
    EXPECT_TRUE(Model.SelectedValid());
    EXPECT_EQ(Model.SelectedCurves().AirConsumption, "LV-A");
    EXPECT_DOUBLE_EQ(Model.MaxLV(), 14);
    EXPECT_DOUBLE_EQ(Model.DLavall(), 0.0005);
    // At 6 bar: vacuum −0.8 bar, 200 l/min, 30 l/min, 70 dB(A).
    const TOperatingValues& v = Model.OperatingPoint();
    EXPECT_NEAR(v.Vacuum, -0.8e5, 1e-6);
    EXPECT_NEAR(v.AirConsumption, 200, 1e-9);
    EXPECT_NEAR(v.SuctionCapacity, 30, 1e-9);
    EXPECT_NEAR(v.SoundPressureLevel, 70, 1e-9);
    Model.SpinEditAnzahlVenturiChange(2);
    EXPECT_NEAR(Model.OperatingPoint().AirConsumption, 400, 1e-9);
    // Two independent generators: twice the sound power, 70 + 3.0103 dB(A).
    EXPECT_NEAR(Model.OperatingPoint().SoundPressureLevel, 73.0103, 1e-4);

    EXPECT_TRUE(Model.VenturiChangeValid());
    Model.SpinEditVakuumSollChange(0.0);
    EXPECT_FALSE(Model.VenturiChangeValid()); // no vacuum required
    Model.SpinEditVakuumSollChange(-0.5e5);
    Model.VenturiSelect(1);
    EXPECT_FALSE(Model.SelectedValid());
    EXPECT_FALSE(Model.VenturiChangeValid());
    Model.BitBtn2Click();
    EXPECT_EQ(View.Caption, "VG-B");
}

TEST_F(TVenturiModelTest, RecordLabelCountsFittingRowsOfTheFilter) {
    Model.RefreshGeneratorPage();
    EXPECT_EQ(Model.LabelVenturiCount(), "3 of 3 - 1 fit");
    Query.AddCondition("DLavall<0.0015");
    Model.StrQueryVenturiChange();
    EXPECT_EQ(Model.LabelVenturiCount(), "2 of 3 - 1 fit");
}

TEST_F(TVenturiModelTest, NothingHappensWhileTheDisclaimerIsPending) {
    Doc.DisclaimerPending = true;
    Model.SpinEditBetriebsdruckChange(4e5);
    EXPECT_DOUBLE_EQ(Doc.Venturi.Pressure, 6e5);
    Model.VenturiSelect(0);
    EXPECT_EQ(Doc.Venturi.OrderCode, "");
    // The stored cells show through.
    EXPECT_EQ(Value(0, "Time"), 0.0);
    EXPECT_EQ(Model.TimeComputations(), 0);
}

TEST_F(TVenturiModelTest, CurveLargerThanTheBuffersShowsNoTimeAndSaysWhy) {
    TStrTableDB32Bit small;
    small.Loaded();
    small.AddColumn("pSize", csfDWord).AppendInt(1);
    small.AddColumn("vSize", csfDWord).AppendInt(18);
    small.SetRows(1);
    Model.SetEvacuationTables(&Times, &small);
    EXPECT_EQ(Text(0, "Time"), "-");
    const std::vector<std::string>& why = Model.CurveDiagnostics();
    ASSERT_EQ(why.size(), 2u);
    EXPECT_EQ(why[0], "evacuation curve EV-A has more than 1 pressures");
    EXPECT_EQ(why[1], "evacuation curve EV-C not found");
}

TEST_F(TVenturiModelTest, SwitchHelpHighlightsTheOutputsOfTheSwitch) {
    TStrTableDB32Bit sw;
    sw.Loaded();
    sw.AddColumn("Switch", csfString).AppendText("PNP 2x");
    sw.AddColumn("NPN", csfDWord).AppendInt(0);
    sw.AddColumn("PNP", csfDWord).AppendInt(2);
    sw.AddColumn("U", csfDWord).AppendInt(1);
    sw.AddColumn("I", csfDWord).AppendInt(0);
    sw.SetRows(1);
    Model.SetSwitchTable(&sw);
    const TVenturiSwitchHelp h = Model.SwitchHelp("PNP 2x");
    EXPECT_TRUE(h.PNP);
    EXPECT_TRUE(h.U);
    EXPECT_FALSE(h.NPN);
    EXPECT_FALSE(h.I);
    const TVenturiSwitchHelp none = Model.SwitchHelp("other");
    EXPECT_FALSE(none.PNP || none.U || none.NPN || none.I);
    EXPECT_TRUE(TVenturiModel::EjectorPulseHighlighted("~Electrical", "~Electrical"));
    EXPECT_FALSE(TVenturiModel::EjectorPulseHighlighted("~No", "~Mechanical"));
}

TEST_F(TVenturiModelTest, MaximumTimeIsStoredWhenItIsATime) {
    Model.SpinEditZeitMaxChange(2.5);
    EXPECT_DOUBLE_EQ(Doc.Venturi.TimeMax, 2.5);
    Model.SpinEditZeitMaxChange(-1.0);
    Model.SpinEditZeitMaxChange(std::nan(""));
    Model.SpinEditZeitMaxChange(INFINITY);
    EXPECT_DOUBLE_EQ(Doc.Venturi.TimeMax, 2.5);
    Model.SpinEditZeitMaxChange(0.0);
    EXPECT_DOUBLE_EQ(Doc.Venturi.TimeMax, 0.0);
    Doc.DisclaimerPending = true;
    Model.SpinEditZeitMaxChange(4.0);
    EXPECT_DOUBLE_EQ(Doc.Venturi.TimeMax, 0.0);
}

// The entry each filter list shows for what a project stored.
TEST(TVenturiStoredFilterEntry, ChoicesOptionsAndTheKindsOfEjectorPulse) {
    TMyProject doc;
    doc.Project().New();
    TStrTableDB32Bit table;
    table.Loaded();
    auto& code = table.AddColumn("OrderCode", csfString);
    auto& pulse = table.AddColumn("~EjectorPulse", csfString);
    const char* rows[][2] = {{"VG-A", "~No"}, {"VG-B", "~Mechanical"}, {"VG-C", "~Electrical"}};
    for (const auto& r : rows) {
        code.AppendText(r[0]);
        pulse.AppendText(r[1]);
    }
    table.SetRows(3);
    TStringQuery query;
    query.Loaded();
    query.SetTable(&table);
    TVenturiModel model(doc);
    model.SetVenturiTables(&table, &query);

    const std::span<const TProductFilter> filters = VenturiFilters();
    const auto index = [&](std::string_view column) {
        for (size_t i = 0; i < filters.size(); ++i)
            if (filters[i].Column == column) return i;
        ADD_FAILURE() << column;
        return filters.size();
    };
    // Nothing stored: no list shows a choice, whatever it shows now.
    for (size_t i = 0; i < filters.size(); ++i) EXPECT_EQ(model.StoredFilterEntry(i, "V2"), "");
    EXPECT_EQ(model.StoredFilterEntry(filters.size(), ""), "");

    doc.Venturi.SelectionGroup = 2; // "*", "V1", "V2", ...
    doc.Venturi.SelectionGewV = 4;  // "*", "M5", "G1/8", "G1/4", "G3/8"
    doc.Venturi.SelectionSaveAir = true;
    EXPECT_EQ(model.StoredFilterEntry(index("Group"), ""), "V2");
    EXPECT_EQ(model.StoredFilterEntry(index("FittingV"), "M5"), "G3/8");
    EXPECT_EQ(model.StoredFilterEntry(index("~AirSaving"), ""), "~Yes");

    const size_t ejector = index("~EjectorPulse");
    doc.Venturi.SelectionEjectorPulse = true;
    // A kind of pulse shown already stays.
    EXPECT_EQ(model.StoredFilterEntry(ejector, "~Electrical"), "~Electrical");
    EXPECT_EQ(model.StoredFilterEntry(ejector, "~Mechanical"), "~Mechanical");
    // Else the kind of the stored generator.
    doc.Venturi.OrderCode = "VG-C";
    EXPECT_EQ(model.StoredFilterEntry(ejector, ""), "~Electrical");
    EXPECT_EQ(model.StoredFilterEntry(ejector, "~No"), "~Electrical");
    // A generator without a pulse, or none known: the first kind of the table.
    doc.Venturi.OrderCode = "VG-A";
    EXPECT_EQ(model.StoredFilterEntry(ejector, ""), "~Mechanical");
    doc.Venturi.OrderCode = "VG-X";
    EXPECT_EQ(model.StoredFilterEntry(ejector, "~No"), "~Mechanical");
    model.SetVenturiTables(nullptr, nullptr);
}

} // namespace

// ---- the site and the workpiece's leak --------------------------------------------------------

namespace {

TEST_F(TVenturiModelTest, AtAltitudeTheGeneratorsVacuumAndTimeFollowTheAmbientPressure) {
    Model.SelectVacuumGenerator(0);
    const double k = StandardAtmospherePressure(2000.0) / 101325.0; // 0.78455
    Model.SpinEditAltitudeChange(2000.0);
    EXPECT_EQ(Doc.Site.Altitude, 2000.0);
    EXPECT_NEAR(Model.Conditions().Ambient, 79495.0, 2.0);
    // The reach of 0.8 bar stands for 0.8·k = 0.628 bar at the site.
    EXPECT_NEAR(Value(0, "Vacuum"), 0.8 * k, 1e-12);
    EXPECT_NEAR(Model.OperatingPoint().Vacuum, -0.8e5 * k, 1e-6);
    EXPECT_NEAR(Model.SiteResult().ReachableVacuum, -0.8e5 * k, 1e-6);
    // −0.7 bar is out of reach up there.
    EXPECT_EQ(Value(0, "Time"), -1.0);
    EXPECT_EQ(Text(0, "Time"), "-");
    EXPECT_EQ(Model.SiteResult().Time, -1.0);
    // −0.5 bar at the site is the table's 0.5/k = 0.6373 bar: at 6 bar between 0.2 bar
    // (0.2 s) and 0.7 bar (0.6 s), 0.2 + 0.4·(0.6373 − 0.2)/0.5 = 0.5499 s a litre, two litres.
    Model.SpinEditVakuumSollChange(-0.5e5);
    const double expected = 2 * (0.2 + 0.4 * (0.5 / k - 0.2) / 0.5);
    EXPECT_NEAR(Value(0, "Time"), expected, 1e-12);
    EXPECT_NEAR(Model.SiteResult().Time, expected, 1e-12);
    // The ambient pressure field gives the altitude back.
    Model.SpinEditAmbientPressureChange(StandardAtmospherePressure(3000.0));
    EXPECT_NEAR(Doc.Site.Altitude, 3000.0, 1e-6);
    Model.SpinEditAmbientPressureChange(101325.0);
    EXPECT_NEAR(Doc.Site.Altitude, 0.0, 1e-9);
    EXPECT_NEAR(Value(0, "Time"), 2 * (0.2 + 0.4 * 0.3 / 0.5), 1e-12);
    // Inputs that are no number are ignored.
    Model.SpinEditAltitudeChange(NAN);
    Model.SpinEditAmbientPressureChange(-5.0);
    EXPECT_NEAR(Doc.Site.Altitude, 0.0, 1e-9);
}

TEST_F(TVenturiModelTest, ALeakSlowsTheGridAndLimitsTheVacuum) {
    Model.SelectVacuumGenerator(0);
    const double tight = Value(0, "Time");
    EXPECT_NEAR(Model.SiteResult().Time, tight, 1e-12);
    EXPECT_NEAR(Model.SiteResult().ReachableVacuum, -0.8e5, 1e-6);
    // The leak's size changes nothing while the workpiece is tight.
    const int before = View.Grids;
    Model.SpinEditLeakDiameterChange(0.0001);
    EXPECT_EQ(Value(0, "Time"), tight);
    EXPECT_GT(View.Grids, before);
    Model.ComboBoxLeakKindChange(clkOrifice);
    EXPECT_EQ(Doc.Site.Leak.Kind, clkOrifice);
    const double leaking = Value(0, "Time");
    EXPECT_GT(leaking, tight);
    EXPECT_NEAR(Model.SiteResult().Time, leaking, 1e-12);
    EXPECT_NEAR(Model.RowReachableVacuum(0), Model.SiteResult().ReachableVacuum, 1e-9);
    EXPECT_GT(Model.SiteResult().ReachableVacuum, -0.8e5);
    // Generators sharing the curves share the result.
    EXPECT_EQ(Value(1, "Time"), leaking);
    // A larger leak: the vacuum is not reached, shown as a dash.
    Model.SpinEditLeakDiameterChange(0.003);
    EXPECT_EQ(Value(0, "Time"), -1.0);
    EXPECT_EQ(Text(0, "Time"), "-");
    EXPECT_GT(Model.SiteResult().ReachableVacuum, -0.7e5);
    // A measured leak: the flow and the vacuum it was measured at.
    Model.ComboBoxLeakKindChange(clkMeasured);
    Model.SpinEditLeakFlowChange(0.0);
    EXPECT_NEAR(Value(0, "Time"), tight, 1e-9 * tight);
    Model.SpinEditLeakFlowChange(1e-6);
    Model.SpinEditLeakVacuumChange(-0.5e5);
    EXPECT_EQ(Doc.Site.Leak.Flow, 1e-6);
    EXPECT_EQ(Doc.Site.Leak.Vacuum, -0.5e5);
    EXPECT_GT(Value(0, "Time"), tight);
    // Back to a tight workpiece: the table's time to the bit.
    Model.ComboBoxLeakKindChange(clkNone);
    EXPECT_EQ(Value(0, "Time"), tight);
    Model.ComboBoxLeakKindChange(7);
    EXPECT_EQ(Doc.Site.Leak.Kind, clkNone);
}

} // namespace

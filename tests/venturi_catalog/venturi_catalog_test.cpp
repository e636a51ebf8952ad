// The vacuum generator and tube pages on the bundled catalogue: every time curve fits the
// buffers the catalogue sizes, and times and fits of real rows worked out by hand.

#include "core/data/db_interpol.h"
#include "core/data/orsik_connection.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/workflow/tube_model.h"
#include "core/workflow/venturi_model.h"
#include "tools/vacdb/catalog_source.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

const std::string kProductDir = std::string(VACUUM_SOURCE_DIR) + "/catalog/product";

// The catalogue compiled into a container file that a connection opens.
struct TCatalog {
    std::filesystem::path Dir;
    TOrsikConnection Connection;

    TCatalog() {
        Dir = std::filesystem::temp_directory_path() /
              ("vacuum_venturi_catalog_" + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir);
        const std::string file = (Dir / "Vacuum.dat").string();
        WriteFileAtomic(file, BuildContainerFromSources(kProductDir, true));
        Connection.Loaded();
        Connection.SetDataFile(file);
    }
    ~TCatalog() {
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
};

void Bind(TStrTableDB32Bit& t, TOrsikConnection& c, const std::string& name) {
    t.Loaded();
    t.SetTable(name);
    t.SetConnection(&c);
    ASSERT_GT(t.Rows(), 0) << name << " " << t.LoadError();
}

void Bind(TDBInterpol32Bit& f, TOrsikConnection& c, const std::string& name) {
    f.SetTable(name);
    f.SetConnection(&c);
    ASSERT_GT(f.CurvesCount(), 0) << name;
}

struct TVenturiCatalogTest : ::testing::Test {
    TCatalog Catalog;
    TMyProject Doc;
    TStrTableDB32Bit Venturi, Times, Sizes, Tubes, Connectors, Switches;
    TDBInterpol32Bit Vac, Air, Suction, Sound;
    TStringQuery Query, TubeQuery;
    TTubeModel Tube{Doc};
    TVenturiModel Model{Doc};

    void SetUp() override {
        Doc.Project().New();
        Bind(Venturi, Catalog.Connection, "qry Venturi");
        Bind(Times, Catalog.Connection, "tbl Curve EvacuationTime");
        Bind(Sizes, Catalog.Connection, "tEvac BufferSize");
        Bind(Tubes, Catalog.Connection, "qry Tube");
        Bind(Connectors, Catalog.Connection, "Connector");
        Bind(Switches, Catalog.Connection, "VenturiSwitch");
        Bind(Vac, Catalog.Connection, "tbl Curve Vacuum");
        Bind(Air, Catalog.Connection, "tbl Curve AirComsumption");
        Bind(Suction, Catalog.Connection, "tbl Curve SuctionCapacity");
        Bind(Sound, Catalog.Connection, "tbl Curve SoundPressureLevel");
        Query.Loaded();
        Query.SetTable(&Venturi);
        TubeQuery.Loaded();
        TubeQuery.SetTable(&Tubes);
        Tube.SetTubeTables(&Tubes, &TubeQuery, &Connectors);
        Model.SetVenturiTables(&Venturi, &Query);
        Model.SetCurves({&Vac, &Air, &Suction, &Sound});
        Model.SetEvacuationTables(&Times, &Sizes);
        Model.SetSwitchTable(&Switches);
        Model.SetTubeModel(&Tube);
        Doc.SuctionCups.CupType.Volume = 0.0;
    }

    int Row(const std::string& orderCode) {
        const int row = Query.FindRow("OrderCode", orderCode);
        EXPECT_GE(row, 0) << orderCode;
        return row;
    }
};

TEST_F(TVenturiCatalogTest, EveryCurveOfTheCatalogueFitsTheBuffers) {
    EXPECT_EQ(Model.Evacuation().PSize(), 10);
    EXPECT_EQ(Model.Evacuation().VSize(), 18);
    for (const std::string& why : Model.CurveDiagnostics()) ADD_FAILURE() << why;
    // Every generator reaches the default 0.7 bar at 6 bar.
    Doc.TubeVolume = 0.001;
    for (int r = 0; r < Query.Rows(); ++r)
        EXPECT_GT(Query.AsFloat(r, "Time"), 0.0) << Query.AsText(r, "OrderCode");
}

TEST_F(TVenturiCatalogTest, TimeOfARealGeneratorBetweenTwoPressures) {
    // VG-V1-045-M5: EV-V1-045 with UD-V1-045. At 5.5 bar the vacuum curve gives 0.92 bar;
    // 0.46 bar required: r = 0.5.
    //   5 bar: 0.909 × 0.5 = 0.4545 bar, between 6.918 s (0.4) and 9.527 s (0.5):
    //          6.918 + 2.609 × 0.545 = 8.339905 s
    //   6 bar: 0.927 × 0.5 = 0.4635 bar, between 7.149 s and 9.812 s:
    //          7.149 + 2.663 × 0.635 = 8.840005 s
    //   blend at 5.5 bar: 8.589955 s per litre; half a litre, two generators: 2.14748875 s.
    Doc.TubeVolume = 0.0005;
    Model.SpinEditAnzahlVenturiChange(2);
    Model.SpinEditBetriebsdruckChange(5.5e5);
    Model.SpinEditVakuumSollChange(-0.46e5);
    const int row = Row("VG-V1-045-M5");
    EXPECT_NEAR(Query.AsFloat(row, "Time"), 2.14748875, 1e-9);
    EXPECT_EQ(Query.AsText(row, "Time"), "2.15 s");
    EXPECT_NEAR(Query.AsFloat(row, "Vacuum"), 0.92, 1e-12);
    EXPECT_EQ(Query.AsText(row, "Vacuum"), "-0.92 bar");
}

TEST_F(TVenturiCatalogTest, TubeFitAndNozzleFitOnRealRows) {
    // TU-PU-06x4-NT: 4 mm inside, DW-6-x; 'Connector' holds G1/4-F with DW-6-x.
    Doc.SuctionCups.CupType.ConnectorName = "G1/4-F";
    const int tube = TubeQuery.FindRow("OrderCode", "TU-PU-06x4-NT");
    ASSERT_GE(tube, 0);
    EXPECT_EQ(TubeQuery.AsText(tube, "~ok"), "~Yes");
    Tube.SelectTube(tube);
    EXPECT_DOUBLE_EQ(Tube.TubeDiameter(), 0.004);
    // Nozzle 0.45 mm: 1.35 mm ≤ 4 mm.
    EXPECT_EQ(Query.AsText(Row("VG-V1-045-M5"), "~ok"), "~Yes");
    Doc.SuctionCups.CupType.ConnectorName = "no such connector";
    EXPECT_EQ(TubeQuery.AsText(tube, "~ok"), "~No");
}

TEST_F(TVenturiCatalogTest, SwitchHelpFromTheCatalogue) {
    const TVenturiSwitchHelp npn = Model.SwitchHelp("NPN");
    EXPECT_TRUE(npn.NPN);
    EXPECT_FALSE(npn.PNP || npn.U || npn.I);
    const TVenturiSwitchHelp none = Model.SwitchHelp("-");
    EXPECT_FALSE(none.NPN || none.PNP || none.U || none.I);
}

} // namespace

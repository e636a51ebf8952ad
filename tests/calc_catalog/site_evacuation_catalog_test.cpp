// Every generator of the bundled catalogue: the flow model without a leak gives the table's
// time, and more leak or more altitude never shortens the time or deepens the vacuum.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "core/calc/evacuation.h"
#include "core/calc/site_evacuation.h"
#include "core/workflow/vacuum_application.h"
#include "tests/calc_catalog/bundled_catalogue.h"

namespace {

struct TGeneratorCurves {
    std::string Time, Vacuum, OrderCode;
};

std::vector<TGeneratorCurves> Generators(const TStrTableDB32Bit& t) {
    std::vector<TGeneratorCurves> out;
    std::set<std::string> seen;
    for (int r = 0; r < t.Rows(); ++r) {
        TGeneratorCurves g{t.AsText(r, t.ColByName("Kennlinie")), t.AsText(r, t.ColByName("Unterdruck")),
                           t.AsText(r, t.ColByName("OrderCode"))};
        if (seen.insert(g.Time + "/" + g.Vacuum).second) out.push_back(g);
    }
    return out;
}

TVenturiConditions Conditions(double pressure, double vacuum, TLeak leak = {}, double ambient = cStandardPressure) {
    TVenturiConditions c;
    c.Count = 1;
    c.Pressure = pressure;
    c.Vacuum = vacuum;
    c.Volume = 0.001;
    c.Ambient = ambient;
    c.Leak = leak;
    return c;
}

struct SiteEvacuationCatalog : ::testing::Test {
    TVacuumApplication App{CatalogueFile()};
    TEvacuationTable Table;

    void SetUp() override {
        ASSERT_TRUE(App.Active()) << App.LastError();
        Table.ReadBufferSize(App.BufferSize);
        Table.SetSource(&App.EvacuationTimes);
    }
};

TEST_F(SiteEvacuationCatalog, WithoutALeakEveryGeneratorKeepsItsTableTime) {
    const std::vector<TGeneratorCurves> gens = Generators(App.Venturis);
    ASSERT_GT(gens.size(), 10u);
    // A leak of no size runs the flow model; a tight workpiece reads the table.
    const TLeak none{clkOrifice, 0.0, 0.0, 0.0};
    int compared = 0;
    for (const TGeneratorCurves& g : gens)
        for (double p = 3e5; p <= 7e5; p += 0.5e5) {
            TSuctionCurve s;
            ASSERT_TRUE(s.Build(Table, &App.CurveVacuum, g.Time, g.Vacuum, p)) << g.OrderCode << " " << p;
            // From the first point of the table to its last, where the table holds its time.
            const double first = s.Nodes()[1].Vacuum, last = s.LastPoint();
            for (int i = 0; i <= 20; ++i) {
                const double v = first + (last - first) * i / 20;
                const double table = EvacuationTime(Table, &App.CurveVacuum, g.Time, g.Vacuum, Conditions(p, -v));
                ASSERT_GT(table, 0.0) << g.OrderCode;
                EXPECT_NEAR(SiteEvacuation(s, Conditions(p, -v, none)).Time, table, 1e-9 * table)
                    << g.OrderCode << " at " << p << " Pa to " << v << " Pa";
                EXPECT_EQ(SiteEvacuation(Table, &App.CurveVacuum, g.Time, g.Vacuum, Conditions(p, -v)).Time, table);
                ++compared;
            }
        }
    EXPECT_GT(compared, 1000);
}

TEST_F(SiteEvacuationCatalog, MoreLeakOrAltitudeNeverShortensTheTimeOrDeepensTheVacuum) {
    for (const TGeneratorCurves& g : Generators(App.Venturis)) {
        const double p = 6e5;
        double time = 0.0, reach = -1e9;
        for (double d : {0.0, 0.0001, 0.0002, 0.0004, 0.0008, 0.0016}) {
            const TLeak leak = d > 0.0 ? TLeak{clkOrifice, d, 0.0, 0.0} : TLeak{};
            const TSiteEvacuation e = SiteEvacuation(Table, &App.CurveVacuum, g.Time, g.Vacuum, Conditions(p, -0.5e5, leak));
            EXPECT_GE(e.ReachableVacuum, reach - 1e-6) << g.OrderCode << " " << d;
            if (time < 0.0) {
                EXPECT_EQ(e.Time, -1.0) << g.OrderCode << " " << d;
            } else if (e.Time >= 0.0) {
                EXPECT_GE(e.Time, time) << g.OrderCode << " " << d;
            }
            time = e.Time;
            reach = e.ReachableVacuum;
        }
        for (const TLeak leak : {TLeak{}, TLeak{clkOrifice, 0.0002, 0.0, 0.0}}) {
            time = 0.0;
            reach = -1e9;
            for (double h = 0.0; h <= 5000.0; h += 1000.0) {
                const TSiteEvacuation e = SiteEvacuation(Table, &App.CurveVacuum, g.Time, g.Vacuum,
                                                         Conditions(p, -0.3e5, leak, StandardAtmospherePressure(h)));
                EXPECT_GE(e.ReachableVacuum, reach - 1e-6) << g.OrderCode << " " << h;
                if (time < 0.0) {
                    EXPECT_EQ(e.Time, -1.0) << g.OrderCode << " " << h;
                } else if (e.Time >= 0.0) {
                    EXPECT_GE(e.Time, time) << g.OrderCode << " " << h;
                }
                time = e.Time;
                reach = e.ReachableVacuum;
            }
        }
    }
}

} // namespace

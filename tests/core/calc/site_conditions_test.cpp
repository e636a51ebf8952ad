// The standard atmosphere, the flow through a leak orifice in both regimes, a measured leak
// scaled by the orifice law, and the stored site values.

#include "core/calc/site_conditions.h"
#include "core/quantities/prj_strings.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

TEST(StandardAtmosphere, PressureAtAltitudesAndBack) {
    EXPECT_EQ(StandardAtmospherePressure(0.0), 101325.0);
    // 2000 m: 1 − 2.25577e-5·2000 = 0.9548846; ln = −0.0461651; ×5.25588 = −0.242638;
    // e^… = 0.784552 → 79,495 Pa ("about 79.5 kPa").
    EXPECT_NEAR(StandardAtmospherePressure(2000.0), 79495.0, 2.0);
    // 5000 m: 0.8872115^5.25588 = 0.533135 → 54,020 Pa.
    EXPECT_NEAR(StandardAtmospherePressure(5000.0), 54020.0, 2.0);
    for (double h : {0.0, 1.0, 500.0, 2000.0, 3456.7, 5000.0})
        EXPECT_NEAR(StandardAtmosphereAltitude(StandardAtmospherePressure(h)), h, 1e-6) << h;
    EXPECT_NEAR(StandardAtmosphereAltitude(101325.0), 0.0, 1e-9);
    // Higher is thinner.
    EXPECT_GT(StandardAtmospherePressure(1000.0), StandardAtmospherePressure(1001.0));
}

// Choked mass flow of air by the engineering rule ṁ = 0.0404 K^½ s/m · C_d·A·p₀/√T₀.
double ChokedRuleOfThumb(double d, double ambient) {
    const double area = std::numbers::pi / 4 * d * d;
    return 0.0404 * cLeakDischargeCoefficient * area * ambient / std::sqrt(cAirTemperature) /
           cAirStandardDensity;
}

TEST(OrificeFlow, ChokedFlowMatchesTheTextbookRuleAndIgnoresTheDownstreamPressure) {
    // 1 mm, sea level: 0.0404 × 0.62 × 7.854e-7 m² × 101325 Pa / 17.122 = 1.164e-4 kg/s,
    // 9.67e-5 m³/s standard (5.8 l/min).
    const double q = OrificeFlow(0.001, 0.3e5, 101325.0);
    EXPECT_NEAR(q, ChokedRuleOfThumb(0.001, 101325.0), 0.003 * q);
    EXPECT_NEAR(q * 60000.0, 5.80, 0.02);
    // Below the critical ratio the flow no longer depends on the vacuum.
    EXPECT_DOUBLE_EQ(OrificeFlow(0.001, 0.1e5, 101325.0), q);
    EXPECT_DOUBLE_EQ(OrificeFlow(0.001, 0.5e5, 101325.0), q);
    // Area and upstream pressure scale it.
    EXPECT_NEAR(OrificeFlow(0.002, 0.3e5, 101325.0), 4 * q, 1e-12);
    EXPECT_NEAR(OrificeFlow(0.001, 0.15e5, 50662.5), q / 2, 1e-12);
}

TEST(OrificeFlow, SubsonicFlowByTheIsentropicOrificeLaw) {
    // p/p₀ = 0.8: 0.8^(1/0.7) − 0.8^(2.4/1.4) = 0.727018 − 0.682121 = 0.044897;
    // √(2·1.4/(0.4·287.1·293.15) · 0.044897) = 1.93240e-3 s/m;
    // ṁ = 0.62 × 7.853982e-7 × 101325 × 1.93240e-3 = 9.5349e-5 kg/s → 7.919e-5 m³/s.
    EXPECT_NEAR(OrificeFlow(0.001, 0.8 * 101325.0, 101325.0), 7.919e-5, 0.001 * 7.919e-5);
    // No pressure difference, no flow; a higher pressure inside does not leak inwards.
    EXPECT_EQ(OrificeFlow(0.001, 101325.0, 101325.0), 0.0);
    EXPECT_EQ(OrificeFlow(0.001, 1.2e5, 101325.0), 0.0);
    EXPECT_EQ(OrificeFlow(0.0, 0.5e5, 101325.0), 0.0);
    // Continuous where the regimes meet, and growing with the vacuum all the way.
    const double below = OrificeFlow(0.001, 0.5279 * 101325.0, 101325.0);
    const double above = OrificeFlow(0.001, 0.5281 * 101325.0, 101325.0);
    EXPECT_NEAR(above, below, 1e-6 * below);
    double previous = 0.0;
    for (int i = 1; i <= 100; ++i) {
        const double q = OrificeFlow(0.001, 101325.0 * (1.0 - i / 100.0), 101325.0);
        EXPECT_GE(q, previous) << i;
        previous = q;
    }
}

TEST(LeakFlow, AMeasuredLeakBehavesAsTheOrificeThatPassesItsFlow) {
    const double ambient = 90000.0;
    // A 0.4 mm orifice measured at −0.3 bar: its flow there is the measured flow.
    const double measured = OrificeFlow(0.0004, ambient - 0.3e5, ambient);
    const TLeak leak{clkMeasured, 0.0, measured, -0.3e5};
    for (double v : {-0.05e5, -0.2e5, -0.3e5, -0.45e5, -0.6e5, -0.8e5})
        EXPECT_NEAR(LeakFlowAtVacuum(leak, v, ambient), OrificeFlow(0.0004, ambient + v, ambient),
                    1e-12 * measured)
            << v;
    EXPECT_NEAR(LeakFlowAtVacuum(leak, -0.3e5, ambient), measured, 1e-15);
    // Measured and used in the choked range: the same flow.
    const TLeak choked{clkMeasured, 0.0, 2e-5, -0.7e5};
    EXPECT_NEAR(LeakFlowAtVacuum(choked, -0.6e5, ambient), 2e-5, 1e-15);
}

TEST(LeakFlow, KindsAndUnusableInputs) {
    EXPECT_EQ(LeakFlow(TLeak{clkNone, 0.001, 1e-4, -0.5e5}, 0.3e5, 101325.0), 0.0);
    EXPECT_EQ(LeakFlow(TLeak{clkOrifice, 0.001, 0.0, 0.0}, 0.3e5, 101325.0),
              OrificeFlow(0.001, 0.3e5, 101325.0));
    // A measurement without a vacuum says nothing about the orifice.
    EXPECT_EQ(LeakFlow(TLeak{clkMeasured, 0.0, 1e-4, 0.0}, 0.3e5, 101325.0), 0.0);
    EXPECT_EQ(LeakFlow(TLeak{clkMeasured, 0.0, 1e-4, -0.5e5}, NAN, 101325.0), 0.0);
}

TEST(SiteConditions, WrittenAndReadBack) {
    TSiteConditions a;
    a.Altitude = 1234.5;
    a.Leak = {clkMeasured, 0.0007, 2.5e-5, -0.45e5};
    TPrjStrings s;
    a.WriteTo(s, "Site");
    EXPECT_EQ(s.Value("Site.Leak.Kind"), "measured");
    EXPECT_EQ(s.Value("Site.Altitude"), "1234.5");
    TSiteConditions b;
    b.ReadFrom(s, "Site");
    EXPECT_TRUE(b.Equals(a));
    EXPECT_EQ(b.Leak, a.Leak);
    EXPECT_EQ(b.Altitude, 1234.5);
    TSiteConditions c;
    c.AssignFrom(a);
    EXPECT_TRUE(c.Equals(a));
    c.Leak.Diameter = 0.0008;
    EXPECT_FALSE(c.Equals(a));
}

TEST(SiteConditions, MissingEntriesKeepTheDefaults) {
    TSiteConditions fresh;
    EXPECT_TRUE(fresh.Standard());
    EXPECT_EQ(fresh.AmbientPressure(), cStandardPressure);
    TPrjStrings s;
    s.SetText("Site.Leak.Kind=orifice\r\nOther=1\r\n");
    TSiteConditions read;
    read.Altitude = 99.0; // reset by the project before reading
    read.ClearItem();
    read.ReadFrom(s, "Site");
    EXPECT_EQ(read.Leak.Kind, clkOrifice);
    EXPECT_EQ(read.Altitude, 0.0);
    EXPECT_EQ(read.Leak.Diameter, TSiteConditions::cDefaultLeakDiameter);
    EXPECT_EQ(read.Leak.Vacuum, TSiteConditions::cDefaultLeakVacuum);
    // A kind the program does not know is a tight workpiece, as an unknown name reads the
    // first one everywhere in the project file.
    s.SetText("Site.Leak.Kind=sieve\r\n");
    read.ReadFrom(s, "Site");
    EXPECT_EQ(read.Leak.Kind, clkNone);
}

} // namespace

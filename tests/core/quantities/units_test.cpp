#include "core/quantities/number_format.h"
#include "core/quantities/term.h"
#include "core/quantities/units.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <numbers>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

double Factor(TNUMessurement id) {
    return UnitById(id).Factor;
}

bool IsValidUtf8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80           ? 1
                     : (c >> 5) == 0x6  ? 2
                     : (c >> 4) == 0xE  ? 3
                     : (c >> 3) == 0x1E ? 4
                                        : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

std::vector<TNUMessurement> AllUnitIds() {
    std::vector<TNUMessurement> ids;
    for (int q = 0; q < cNormUnitCount; ++q)
        for (const TTavPhysicalUnit& u : QuantityUnits(static_cast<TNormUnit>(q)))
            ids.push_back(u.Id);
    return ids;
}

// ---------------------------------------------------------------------------------------------
// The table itself

TEST(UnitTable, EveryIdentifierIsRegisteredOnceAndFoundById) {
    ASSERT_EQ(AllUnitIds().size(), static_cast<size_t>(cNUMessurementCount));
    std::vector<int> seen(cNUMessurementCount, 0);
    for (int q = 0; q < cNormUnitCount; ++q) {
        SCOPED_TRACE(testing::Message() << "quantity " << q);
        const auto quantity = static_cast<TNormUnit>(q);
        const TTavPhysicalUnitGroup& group = PhysicalUnits().Group(quantity);
        EXPECT_EQ(group.NormUnit, quantity);
        EXPECT_EQ(QuantityUnitCount(quantity), static_cast<int>(group.Units.size()));
        for (size_t i = 0; i < group.Units.size(); ++i) {
            const TTavPhysicalUnit& unit = group.Units[i];
            ASSERT_LT(unit.Id, cNUMessurementCount);
            ++seen[unit.Id];
            EXPECT_EQ(unit.Index, static_cast<int>(i)) << UnitIdName(unit.Id);
            EXPECT_EQ(unit.Quantity, &group) << UnitIdName(unit.Id);
            EXPECT_EQ(&UnitById(unit.Id), &unit) << UnitIdName(unit.Id);
            EXPECT_EQ(QuantityOfUnit(unit.Id), quantity) << UnitIdName(unit.Id);
        }
    }
    for (int id = 0; id < cNUMessurementCount; ++id) EXPECT_EQ(seen[id], 1) << "ordinal " << id;
}

TEST(UnitTable, UnitsAreRegisteredInMenuOrder) {
    const std::map<TNormUnit, std::vector<TNUMessurement>> expected = {
        {cNU_angle, {cUM_deg, cUM_rad}},
        {cNU_angular_velocity, {cUM_deg_s, cUM_deg_min, cUM_rad_s, cUM_rad_min}},
        {cNU_angular_acceleration, {cUM_deg_s2, cUM_deg_min2, cUM_rad_s2, cUM_rad_min2}},
        {cNU_length,
         {cUM_parsec, cUM_AstronEinh, cUM_LightYear,  cUM_kilometer, cUM_m,         cUM_dm,
          cUM_cm,     cUM_mm,         cUM_micrometer, cUM_nanometer, cUM_picometer, cUM_Angstroem,
          cUM_XE,     cUM_Linie,      cUM_TypPunkt,   cUM_in,        cUM_microInch, cUM_milliInch,
          cUM_ft,     cUM_yd,         cUM_rod,        cUM_pole,      cUM_perch,     cUM_fathom,
          cUM_chain,  cUM_furlong,    cUM_nMile,      cUM_nMileUK,   cUM_MeileGeo,  cUM_faden,
          cUM_MeileD, cUM_BayRuten,   cUM_PreuRuten}},
        {cNU_area, {cUM_ha,         cUM_a,          cUM_m2,         cUM_dm2,        cUM_cm2,
                    cUM_mm2,        cUM_yd2,        cUM_ft2,        cUM_in2,        cUM_mil2,
                    cUM_CirMil,     cUM_CirInch,    cUM_line2,      cUM_rod2,       cUM_chain2,
                    cUM_rood,       cUM_acre,       cUM_SectionUS,  cUM_TownshipUS, cUM_MorgBadisch,
                    cUM_MorgPreuss, cUM_MorgWuertb, cUM_TagwerkBay, cUM_barn,       cUM_BayRuten2,
                    cUM_PreuRuten2}},
        {cNU_volume,
         {cUM_m3,           cUM_dm3,        cUM_cm3,         cUM_mm3,         cUM_in3,
          cUM_ft3,          cUM_yd3,        cUM_gillUK,      cUM_FlOunzeUK,   cUM_FlDrachmUK,
          cUM_minimUK,      cUM_barrelUK,   cUM_bushelUK,    cUM_peckUK,      cUM_gallonUK,
          cUM_quartUK,      cUM_pintUK,     cUM_minimUS,     cUM_flDram,      cUM_flOunze,
          cUM_gillUS,       cUM_barrelUS,   cUM_gallonUS,    cUM_liqQuartUS,  cUM_liqPintUS,
          cUM_dryBarrelUS,  cUM_bushelUS,   cUM_peckUS,      cUM_dryQuartUS,  cUM_dryPintUS,
          cUM_SchoppenWrtb, cUM_MassBayern, cUM_EimerBayern, cUM_EimerPreuss, cUM_EimerWrtb,
          cUM_FuderPfalz,   cUM_FuderBaden, cUM_FuderWrtb}},
        {cNU_velocity,
         {cUM_m_s, cUM_cm_s, cUM_mm_s, cUM_km_h, cUM_in_s, cUM_ft_s, cUM_yd_s, cUM_mph}},
        {cNU_acceleration, {cUM_m_s2, cUM_GalD, cUM_mm_s2, cUM_in_s2, cUM_ft_s2, cUM_yd_s2}},
        {cNU_jerk, {cUM_m_s3, cUM_cm_s3, cUM_mm_s3, cUM_in_s3, cUM_ft_s3, cUM_yd_s3}},
        {cNU_mass,
         {cUM_tdw,     cUM_kg,       cUM_KaratInt,  cUM_KaratEdelst, cUM_g,       cUM_mg,
          cUM_longTon, cUM_shortTon, cUM_longCwt,   cUM_shortCwt,    cUM_quintal, cUM_quarterUK,
          cUM_stoneUK, cUM_lb,       cUM_oz,        cUM_dram,        cUM_slug,    cUM_lbAp,
          cUM_OunzeAp, cUM_DrachmAp, cUM_ScrupleAp, cUM_grain,       cUM_OunzeT,  cUM_lbT}},
        {cNU_impulse, {cUM_kgm_s, cUM_lbft_s}},
        {CNU_force, {cUM_N, cUM_tonf, cUM_lbf, cUM_ozf, cUM_pdl, cUM_dyn, cUM_stheneF}},
        {cNU_torque, {cUM_Nm, cUM_Ncm, cUM_inlbf, cUM_ftlbf, cUM_ydlbf}},
        {cNU_moment_of_inertia, {cUM_kgm2, cUM_kgcm2, cUM_kgmm2, cUM_lbin2, cUM_lbft2}},
        {cNU_temperature, {cUM_Kelvin, cUM_Celsius, cUM_Fahrenheit}},
        {cNU_pressure,
         {cUM_Pa, cUM_mbar, cUM_bar, cUM_psi, cUM_psf, cUM_tonf_in2, cUM_baryeF, cUM_pieceF,
          cUM_Torr, cUM_mmHg, cUM_mmWS, cUM_at, cUM_atm}},
        {cNU_energy, {cUM_kJ, cUM_J, cUM_kWh, cUM_cal, cUM_kcal}},
        {cNU_power, {cUM_mW, cUM_W, cUM_kW, cUM_ft_lbf, cUM_Btu, cUM_PS, cUM_ch, cUM_poncelet}},
        {cNU_time, {cUM_d, cUM_h, cUM_min, cUM_s, cUM_ms}},
        {cNU_pieces, {cUM_Stk}},
        {cNU_scale, {cUM_Scale, cUM_percent}},
        {cNU_density,
         {cUM_kg_m3, cUM_kg_l, cUM_g_l, cUM_g_cm3, cUM_lb_ft3, cUM_lb_in3, cUM_oz_ft3, cUM_oz_in3}},
        {cNU_VolumePerTime,
         {cUM_m3_s, cUM_m3_min, cUM_m3_h, cUM_dm3_s, cUM_dm3_min, cUM_dm3_h, cUM_yd3_s, cUM_ft3_s,
          cUM_yd3_min, cUM_ft3_min, cUM_CFM, cUM_yd3_h, cUM_ft3_h}},
        {cNU_angular_jerk, {cUM_deg_s3, cUM_deg_min3, cUM_rad_s3, cUM_rad_min3}},
        {cNU_noise, {cUM_dBA}},
        {cNU_CWert, {cUM_m3_sPa, cUM_l_sbar, cUM_ft3_spsf, cUM_in3_spsi}},
        {cNU_frequency, {cUM_GHz, cUM_MHz, cUM_kHz, cUM_Hz, cUM_1_s, cUM_1_min, cUM_1_h}},
        {cNU_MassPerLength,
         {cUM_kg_m, cUM_g_m, cUM_mtex, cUM_dtex, cUM_tex, cUM_ktex, cUM_Denier, cUM_lb_ft,
          cUM_lb_in}},
        {cNU_rigidity, {cUM_N_m, cUM_N_mm, cUM_lbf_in}},
        {cNU_NoUnit, {cUM_NoUnit}},
        {cNU_current, {cUM_kAmp, cUM_Amp, cUM_mAmp, cUM_yAmp}},
        {cNU_voltage, {cUM_kVolt, cUM_Volt, cUM_mVolt, cUM_yVolt}},
        {cNU_resistor, {cUM_MegOhm, cUM_kOhm, cUM_Ohm, cUM_mOhm}},
    };
    ASSERT_EQ(expected.size(), static_cast<size_t>(cNormUnitCount));
    for (const auto& [quantity, ids] : expected) {
        std::vector<TNUMessurement> actual;
        for (const TTavPhysicalUnit& u : QuantityUnits(quantity)) actual.push_back(u.Id);
        EXPECT_EQ(actual, ids) << NormUnitName(quantity);
    }
}

TEST(UnitTable, DefaultUnitsBelongToTheirQuantity) {
    for (int q = 0; q < cNormUnitCount; ++q) {
        const auto quantity = static_cast<TNormUnit>(q);
        const TNUMessurement si = DefaultUnit(quantity, true);
        const TNUMessurement us = DefaultUnit(quantity, false);
        EXPECT_EQ(QuantityOfUnit(si), quantity) << NormUnitName(quantity);
        EXPECT_EQ(QuantityOfUnit(us), quantity) << NormUnitName(quantity);
        // An SI field falls back to its default, so that one must be offered in SI.
        EXPECT_TRUE(UnitById(si).Systems & usMetric) << UnitIdName(si);
    }
    EXPECT_EQ(DefaultUnit(cNU_length, true), cUM_m);
    EXPECT_EQ(DefaultUnit(cNU_length, false), cUM_ft);
    EXPECT_EQ(DefaultUnit(cNU_temperature, true), cUM_Celsius);
    EXPECT_EQ(DefaultUnit(cNU_temperature, false), cUM_Fahrenheit);
    EXPECT_EQ(DefaultUnit(cNU_VolumePerTime, false), cUM_CFM);
    EXPECT_EQ(DefaultUnit(cNU_MassPerLength, true), cUM_tex);
}

TEST(UnitTable, EveryQuantityHasABaseUnitAndOnlyTemperaturesHaveOffsets) {
    for (int q = 0; q < cNormUnitCount; ++q) {
        const auto quantity = static_cast<TNormUnit>(q);
        bool hasBase = false;
        for (const TTavPhysicalUnit& u : QuantityUnits(quantity)) {
            hasBase = hasBase || (u.Factor == 1.0 && u.Offset == 0.0);
            EXPECT_TRUE(std::isfinite(u.Factor) && u.Factor > 0.0) << UnitIdName(u.Id);
            if (u.Id != cUM_Celsius && u.Id != cUM_Fahrenheit) {
                EXPECT_EQ(u.Offset, 0.0) << UnitIdName(u.Id);
            }
        }
        EXPECT_TRUE(hasBase) << NormUnitName(quantity);
    }
    EXPECT_EQ(UnitById(cUM_Kelvin).Factor, 1.0);
    EXPECT_EQ(UnitById(cUM_Celsius).Offset, 273.15);
    EXPECT_NEAR(UnitById(cUM_Fahrenheit).Offset, 273.15 - 32.0 * 5.0 / 9.0, 1e-12);
}

TEST(UnitTable, SystemSets) {
    const TUnitSystems known = usMetric | usUS | usTroy | usApothecaries | usOld | usRegional |
                               usNautical | usAstronomical | usUSOnly | usUK | usGerman | usFrench;
    // The sets are drawn from a few combinations; anything else is a slip in the table.
    const std::set<TUnitSystems> combinations = {
        usMetric | usUS,
        usMetric | usUK | usGerman | usFrench,
        usUS,
        usUS | usOld,
        usUS | usTroy,
        usUS | usApothecaries,
        usOld,
        usOld | usNautical,
        usOld | usAstronomical,
        usOld | usRegional | usUSOnly,
        usOld | usUSOnly,
        usOld | usRegional | usUK,
        usOld | usGerman,
        usOld | usRegional | usGerman,
        usOld | usRegional | usFrench,
    };
    for (TNUMessurement id : AllUnitIds()) {
        const TUnitSystems s = UnitById(id).Systems;
        EXPECT_EQ(s & ~known, 0) << UnitIdName(id);
        EXPECT_TRUE(combinations.count(s)) << UnitIdName(id);
        // A unit outside both systems is only reachable through the old units.
        EXPECT_NE(s & (usMetric | usUS | usOld), 0) << UnitIdName(id);
    }
    EXPECT_EQ(UnitById(cUM_m).Systems, usMetric | usUK | usGerman | usFrench);
    EXPECT_EQ(UnitById(cUM_rod).Systems, usUS | usOld);
    EXPECT_EQ(UnitById(cUM_OunzeT).Systems, usUS | usTroy);
    EXPECT_EQ(UnitById(cUM_lbAp).Systems, usUS | usApothecaries);
    EXPECT_EQ(UnitById(cUM_nMile).Systems, usOld | usNautical);
    EXPECT_EQ(UnitById(cUM_parsec).Systems, usOld | usAstronomical);
    EXPECT_EQ(UnitById(cUM_stheneF).Systems, usOld | usRegional | usFrench);
    EXPECT_EQ(UnitById(cUM_s).Systems, usMetric | usUS);
    EXPECT_EQ(UnitById(cUM_NoUnit).Systems & usUS, 0);
}

TEST(UnitTable, SymbolsAreUtf8AndDistinctWithinAQuantity) {
    std::set<TNUMessurement> empty;
    for (int q = 0; q < cNormUnitCount; ++q) {
        std::set<std::string> symbols;
        for (const TTavPhysicalUnit& u : QuantityUnits(static_cast<TNormUnit>(q))) {
            EXPECT_TRUE(IsValidUtf8(u.Symbol)) << UnitIdName(u.Id);
            EXPECT_TRUE(IsValidUtf8(u.Description)) << UnitIdName(u.Id);
            if (u.Symbol.empty())
                empty.insert(u.Id);
            else
                EXPECT_TRUE(symbols.insert(u.Symbol).second) << UnitIdName(u.Id);
        }
    }
    EXPECT_EQ(empty, (std::set<TNUMessurement>{cUM_Stk, cUM_Scale, cUM_NoUnit}));
}

TEST(UnitTable, SpecialCharactersAreTheIntendedCodePoints) {
    EXPECT_EQ(UnitSymbol(cUM_Celsius, false), "\xC2\xBA"
                                              "C"); // U+00BA, not the degree sign
    EXPECT_EQ(UnitSymbol(cUM_Fahrenheit, false), "\xC2\xBA"
                                                 "F");
    EXPECT_EQ(UnitById(cUM_Celsius).Description, "0\xC2\xBA"
                                                 "C = 273.15 K");
    EXPECT_EQ(UnitSymbol(cUM_micrometer, false), "\xC2\xB5m"); // micro sign, not mu
    EXPECT_EQ(UnitSymbol(cUM_Ohm, false), "\xCE\xA9");         // U+03A9
    EXPECT_EQ(UnitSymbol(cUM_MegOhm, false), "M\xCE\xA9");
    EXPECT_EQ(UnitSymbol(cUM_Angstroem, false), "\xC3\x85 (D)");
    EXPECT_EQ(UnitSymbol(cUM_pieceF, false), "p\xC3\xA8"
                                             "ce (F)");
    EXPECT_EQ(UnitSymbol(cUM_m_s2, false), "m/s\xC2\xB2 "); // trailing blank kept
    EXPECT_EQ(UnitSymbol(cUM_m3_sPa, false), "m\xC2\xB3 /(s*Pa)");
    EXPECT_EQ(UnitSymbol(cUM_dm3, false), "l");
    EXPECT_EQ(UnitById(cUM_CFM).Description, "ft\xC2\xB3/min");
}

// Factors that follow from other units of the table. A mistyped digit shows up here without
// restating the table; the tolerance is a few ulps.
TEST(UnitTable, FactorsAgreeWithTheUnitsTheyAreDefinedBy) {
    const double pi = std::numbers::pi;
    const double gN = 9.80655;
    const double mile = 1760 * Factor(cUM_yd);
    const double deg = pi / 180;
    struct Relation {
        TNUMessurement id;
        double expected;
    };
    const Relation relations[] = {
        // length
        {cUM_ft, 12 * Factor(cUM_in)},
        {cUM_yd, 3 * Factor(cUM_ft)},
        {cUM_milliInch, 1e-3 * Factor(cUM_in)},
        {cUM_microInch, 1e-6 * Factor(cUM_in)},
        {cUM_rod, 5.5 * Factor(cUM_yd)},
        {cUM_pole, 5.5 * Factor(cUM_yd)},
        {cUM_perch, 5.5 * Factor(cUM_yd)},
        {cUM_fathom, 2 * Factor(cUM_yd)},
        {cUM_chain, 22 * Factor(cUM_yd)},
        {cUM_furlong, 220 * Factor(cUM_yd)},
        {cUM_nMileUK, 6080 * Factor(cUM_ft)},
        {cUM_parsec, 3.26 * Factor(cUM_LightYear)},
        // area
        {cUM_dm2, Factor(cUM_dm) * Factor(cUM_dm)},
        {cUM_cm2, Factor(cUM_cm) * Factor(cUM_cm)},
        {cUM_mm2, Factor(cUM_mm) * Factor(cUM_mm)},
        {cUM_ha, 100 * Factor(cUM_a)},
        {cUM_in2, Factor(cUM_in) * Factor(cUM_in)},
        {cUM_ft2, Factor(cUM_ft) * Factor(cUM_ft)},
        {cUM_yd2, Factor(cUM_yd) * Factor(cUM_yd)},
        {cUM_mil2, Factor(cUM_milliInch) * Factor(cUM_milliInch)},
        {cUM_CirMil, pi / 4 * Factor(cUM_mil2)},
        {cUM_CirInch, pi / 4 * Factor(cUM_in2)},
        {cUM_line2, 1e-4 * Factor(cUM_in2)},
        {cUM_rod2, Factor(cUM_rod) * Factor(cUM_rod)},
        {cUM_chain2, Factor(cUM_chain) * Factor(cUM_chain)},
        {cUM_rood, 40 * Factor(cUM_rod2)},
        {cUM_acre, 4 * Factor(cUM_rood)},
        {cUM_SectionUS, mile * mile},
        {cUM_TownshipUS, 36 * mile * mile},
        {cUM_BayRuten2, Factor(cUM_TagwerkBay) / 400},
        {cUM_PreuRuten2, Factor(cUM_MorgPreuss) / 180},
        // volume
        {cUM_dm3, Factor(cUM_dm) * Factor(cUM_dm) * Factor(cUM_dm)},
        {cUM_cm3, Factor(cUM_cm) * Factor(cUM_cm) * Factor(cUM_cm)},
        {cUM_mm3, Factor(cUM_mm) * Factor(cUM_mm) * Factor(cUM_mm)},
        {cUM_in3, Factor(cUM_in) * Factor(cUM_in2)},
        {cUM_ft3, Factor(cUM_ft) * Factor(cUM_ft2)},
        {cUM_yd3, Factor(cUM_yd) * Factor(cUM_yd2)},
        {cUM_dryBarrelUS, 7056 * Factor(cUM_in3)},
        {cUM_gillUK, 5 * Factor(cUM_FlOunzeUK)},
        {cUM_FlOunzeUK, 8 * Factor(cUM_FlDrachmUK)},
        {cUM_FlDrachmUK, 60 * Factor(cUM_minimUK)},
        {cUM_barrelUK, 35 * Factor(cUM_gallonUK)},
        {cUM_bushelUK, 8 * Factor(cUM_gallonUK)},
        {cUM_peckUK, 2 * Factor(cUM_gallonUK)},
        {cUM_gallonUK, 4 * Factor(cUM_quartUK)},
        {cUM_quartUK, 2 * Factor(cUM_pintUK)},
        {cUM_flDram, 60 * Factor(cUM_minimUS)},
        {cUM_flOunze, 8 * Factor(cUM_flDram)},
        {cUM_gillUS, 4 * Factor(cUM_flOunze)},
        {cUM_barrelUS, 42 * Factor(cUM_gallonUS)},
        {cUM_gallonUS, 4 * Factor(cUM_liqQuartUS)},
        {cUM_liqQuartUS, 2 * Factor(cUM_liqPintUS)},
        {cUM_bushelUS, 4 * Factor(cUM_peckUS)},
        {cUM_peckUS, 8 * Factor(cUM_dryQuartUS)},
        {cUM_dryQuartUS, 2 * Factor(cUM_dryPintUS)},
        // velocity, acceleration, jerk
        {cUM_km_h, 1000.0 / 3600},
        {cUM_mph, mile / 3600},
        {cUM_in_s, Factor(cUM_in)},
        {cUM_ft_s, Factor(cUM_ft)},
        {cUM_yd_s, Factor(cUM_yd)},
        {cUM_in_s2, Factor(cUM_in)},
        {cUM_ft_s2, Factor(cUM_ft)},
        {cUM_yd_s2, Factor(cUM_yd)},
        {cUM_in_s3, Factor(cUM_in)},
        {cUM_ft_s3, Factor(cUM_ft)},
        {cUM_yd_s3, Factor(cUM_yd)},
        // mass
        {cUM_grain, Factor(cUM_lb) / 7000},
        {cUM_grain, Factor(cUM_OunzeAp) / 480},
        {cUM_oz, Factor(cUM_lb) / 16},
        {cUM_dram, Factor(cUM_lb) / 256},
        {cUM_longTon, 2240 * Factor(cUM_lb)},
        {cUM_shortTon, 2000 * Factor(cUM_lb)},
        {cUM_longCwt, 112 * Factor(cUM_lb)},
        {cUM_shortCwt, 100 * Factor(cUM_lb)},
        {cUM_quintal, 100 * Factor(cUM_lb)},
        {cUM_quarterUK, 28 * Factor(cUM_lb)},
        {cUM_stoneUK, 14 * Factor(cUM_lb)},
        {cUM_lbAp, 12 * Factor(cUM_OunzeAp)},
        {cUM_DrachmAp, Factor(cUM_OunzeAp) / 8},
        {cUM_ScrupleAp, Factor(cUM_OunzeAp) / 24},
        {cUM_OunzeT, Factor(cUM_OunzeAp)},
        {cUM_lbT, Factor(cUM_lbAp)},
        // impulse, force, torque, inertia
        {cUM_lbft_s, Factor(cUM_lb) * Factor(cUM_ft)},
        {cUM_lbf, gN * Factor(cUM_lb)},
        {cUM_ozf, Factor(cUM_lbf) / 16},
        {cUM_pdl, Factor(cUM_lb) * Factor(cUM_ft)},
        {cUM_tonf, 2240 * Factor(cUM_lbf)},
        {cUM_inlbf, Factor(cUM_in) * Factor(cUM_lbf)},
        {cUM_ftlbf, Factor(cUM_ft) * Factor(cUM_lbf)},
        {cUM_ydlbf, Factor(cUM_yd) * Factor(cUM_lbf)},
        {cUM_lbin2, Factor(cUM_lb) * Factor(cUM_in2)},
        {cUM_lbft2, Factor(cUM_lb) * Factor(cUM_ft2)},
        // temperature, pressure, energy, power
        {cUM_Fahrenheit, 5.0 / 9},
        {cUM_psi, Factor(cUM_lbf) / Factor(cUM_in2)},
        {cUM_psf, Factor(cUM_lbf) / Factor(cUM_ft2)},
        {cUM_tonf_in2, Factor(cUM_tonf) / Factor(cUM_in2)},
        {cUM_Torr, Factor(cUM_atm) / 760},
        {cUM_mmHg, Factor(cUM_atm) / 760},
        {cUM_mmWS, gN},
        {cUM_at, gN * 1e4},
        {cUM_kcal, 1000 * Factor(cUM_cal)},
        {cUM_ft_lbf, Factor(cUM_ftlbf)},
        {cUM_PS, 75 * gN},
        {cUM_ch, 75 * gN},
        {cUM_poncelet, 100 * gN},
        // density, volume flow, conductance
        {cUM_lb_ft3, Factor(cUM_lb) / Factor(cUM_ft3)},
        {cUM_lb_in3, Factor(cUM_lb) / Factor(cUM_in3)},
        {cUM_oz_ft3, Factor(cUM_oz) / Factor(cUM_ft3)},
        {cUM_oz_in3, Factor(cUM_oz) / Factor(cUM_in3)},
        {cUM_m3_min, 1.0 / 60},
        {cUM_m3_h, 1.0 / 3600},
        {cUM_dm3_s, Factor(cUM_dm3)},
        {cUM_dm3_min, Factor(cUM_dm3) / 60},
        {cUM_dm3_h, Factor(cUM_dm3) / 3600},
        {cUM_yd3_s, Factor(cUM_yd3)},
        {cUM_ft3_s, Factor(cUM_ft3)},
        {cUM_yd3_min, Factor(cUM_yd3) / 60},
        {cUM_ft3_min, Factor(cUM_ft3) / 60},
        {cUM_CFM, Factor(cUM_ft3) / 60},
        {cUM_yd3_h, Factor(cUM_yd3) / 3600},
        {cUM_ft3_h, Factor(cUM_ft3) / 3600},
        {cUM_l_sbar, Factor(cUM_dm3) / Factor(cUM_bar)},
        {cUM_ft3_spsf, Factor(cUM_ft3) / Factor(cUM_psf)},
        {cUM_in3_spsi, Factor(cUM_in3) / Factor(cUM_psi)},
        // angular units
        {cUM_deg, deg},
        {cUM_deg_s, deg},
        {cUM_deg_s2, deg},
        {cUM_deg_s3, deg},
        {cUM_deg_min, deg / 60},
        {cUM_deg_min2, deg / 3600},
        {cUM_deg_min3, deg / 216000},
        {cUM_rad_min, 1.0 / 60},
        {cUM_rad_min2, 1.0 / 3600},
        {cUM_rad_min3, 1.0 / 216000},
        // frequency, mass per length, rigidity
        {cUM_1_min, 1.0 / 60},
        {cUM_1_h, 1.0 / 3600},
        {cUM_Denier, Factor(cUM_tex) / 9},
        {cUM_lb_ft, Factor(cUM_lb) / Factor(cUM_ft)},
        {cUM_lb_in, Factor(cUM_lb) / Factor(cUM_in)},
        {cUM_lbf_in, Factor(cUM_lbf) / Factor(cUM_in)},
        {cUM_slug, Factor(cUM_lbf) / Factor(cUM_ft)}, // lbf s²/ft, about 14.59 kg
    };
    for (const Relation& r : relations)
        EXPECT_NEAR(Factor(r.id), r.expected, 1e-15 * std::abs(r.expected)) << UnitIdName(r.id);
}

// Most descriptions define a unit by another unit of its quantity ("12 in", "1/60 m³/s",
// "3 ft = 36 in"); those must agree with the factors. The descriptions are rounded, hence the
// loose tolerance. Three descriptions are kept as defined although the factors follow the
// long ton (2240 lb) and the UK nautical mile of 6080 ft.
TEST(UnitTable, DescriptionsAgreeWithTheFactors) {
    const std::set<TNUMessurement> knownMismatch = {cUM_tonf, cUM_tonf_in2, cUM_nMileUK};
    auto trim = [](std::string t) {
        while (!t.empty() && t.back() == ' ') t.pop_back();
        return t;
    };
    // A number or a fraction such as 1/60.
    auto readNumber = [](std::string_view t, double& x) {
        const auto slash = t.find('/');
        if (slash == std::string_view::npos) return TryReadNumber(t, x);
        double numerator = 0, denominator = 0;
        if (!TryReadNumber(t.substr(0, slash), numerator) ||
            !TryReadNumber(t.substr(slash + 1), denominator))
            return false;
        x = numerator / denominator;
        return true;
    };
    int checked = 0;
    for (int q = 0; q < cNormUnitCount; ++q) {
        SCOPED_TRACE(testing::Message() << "quantity " << q);
        const auto& units = QuantityUnits(static_cast<TNormUnit>(q));
        std::map<std::string, double> bySymbol;
        for (const TTavPhysicalUnit& u : units)
            if (!u.Symbol.empty()) bySymbol[trim(u.Symbol)] = u.Factor;
        for (const TTavPhysicalUnit& u : units) {
            SCOPED_TRACE(testing::Message() << "unit " << u.Symbol);
            if (u.Offset != 0.0 || knownMismatch.count(u.Id)) continue;
            std::string rest = u.Description;
            while (!rest.empty()) {
                const auto eq = rest.find(" = ");
                const std::string part = rest.substr(0, eq);
                rest = eq == std::string::npos ? "" : rest.substr(eq + 3);
                double amount = 1;
                std::string symbol = part;
                const auto blank = part.find(' ');
                if (blank != std::string::npos && readNumber(part.substr(0, blank), amount))
                    symbol = part.substr(blank + 1);
                else
                    amount = 1;
                const auto it = bySymbol.find(trim(symbol));
                if (it == bySymbol.end()) continue;
                ++checked;
                EXPECT_NEAR(u.Factor, amount * it->second, 5e-4 * amount * it->second)
                    << UnitIdName(u.Id) << " \"" << part << "\"";
            }
        }
    }
    // Guards the parsing above against silently checking nothing.
    EXPECT_GT(checked, 190);
}

TEST(UnitTable, IdentifierNames) {
    for (TNUMessurement id : AllUnitIds()) {
        TNUMessurement found{};
        ASSERT_TRUE(FindUnitByIdName(UnitIdName(id), found)) << id;
        EXPECT_EQ(found, id);
    }
    EXPECT_EQ(UnitIdName(cUM_m), "cUM_m");
    EXPECT_EQ(UnitIdName(cUM_kgmm2), "cUM_kgmm2");
    EXPECT_EQ(NormUnitName(CNU_force), "CNU_force");
    TNUMessurement untouched = cUM_s;
    EXPECT_FALSE(FindUnitByIdName("cUM_M", untouched)); // case matters
    EXPECT_EQ(untouched, cUM_s);
}

// ---------------------------------------------------------------------------------------------
// Conversion

TEST(UnitConversion, KnownValues) {
    EXPECT_EQ(ToBaseUnit(cUM_Celsius, 0), 273.15);
    EXPECT_DOUBLE_EQ(ToBaseUnit(cUM_Celsius, 20), 293.15);
    EXPECT_NEAR(FromBaseUnit(cUM_Fahrenheit, 273.15), 32.0, 1e-12);
    EXPECT_NEAR(ToBaseUnit(cUM_Fahrenheit, 1), 255.92777777777778, 1e-12);
    EXPECT_NEAR(FromBaseUnit(cUM_Fahrenheit, ToBaseUnit(cUM_Celsius, 100)), 212.0, 1e-12);
    EXPECT_EQ(ToBaseUnit(cUM_dm3, 1), 0.001);
    EXPECT_EQ(ToBaseUnit(cUM_psi, 1), 6894.692128938946);
    EXPECT_EQ(ToBaseUnit(cUM_dm3_min, 1), 1.6666666666666667e-05);
    EXPECT_DOUBLE_EQ(FromBaseUnit(cUM_mm, 0.0125), 12.5);
    EXPECT_DOUBLE_EQ(FromBaseUnit(cUM_bar, 6e5), 6.0);
    EXPECT_DOUBLE_EQ(FromBaseUnit(cUM_deg, std::numbers::pi), 180.0);
}

TEST(UnitConversion, RoundTripThroughTheBaseUnitForEveryUnit) {
    for (TNUMessurement id : AllUnitIds()) {
        SCOPED_TRACE(testing::Message() << "unit " << id);
        for (double x : {-3.5, 0.0, 1.0, 12.5, 1e6}) {
            const double base = ToBaseUnit(id, x);
            EXPECT_NEAR(FromBaseUnit(id, base), x, 1e-12 * std::max(1.0, std::abs(x)))
                << UnitIdName(id) << " " << x;
        }
        // One unit is its factor plus offset in the base unit.
        EXPECT_DOUBLE_EQ(ToBaseUnit(id, 1.0), UnitById(id).Factor + UnitById(id).Offset)
            << UnitIdName(id);
    }
}

TEST(UnitConversion, NonFiniteValuesPassThrough) {
    EXPECT_TRUE(std::isnan(ToBaseUnit(cUM_mm, std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(FromBaseUnit(cUM_Celsius, std::numeric_limits<double>::infinity()),
              std::numeric_limits<double>::infinity());
}

TEST(UnitConversion, OutOfRangeIdentifiersAreRejected) {
    const auto badUnit = static_cast<TNUMessurement>(cNUMessurementCount);
    const auto badQuantity = static_cast<TNormUnit>(cNormUnitCount);
    EXPECT_THROW(ToBaseUnit(badUnit, 1), std::out_of_range);
    EXPECT_THROW(FromBaseUnit(badUnit, 1), std::out_of_range);
    EXPECT_THROW(UnitById(badUnit), std::out_of_range);
    EXPECT_THROW(UnitSymbol(badUnit, true), std::out_of_range);
    EXPECT_THROW(QuantityOfUnit(badUnit), std::out_of_range);
    EXPECT_THROW(UnitFitsRange(badUnit, 3, 1, 1), std::out_of_range);
    EXPECT_THROW(QuantityUnits(badQuantity), std::out_of_range);
    EXPECT_THROW(QuantityUnits(static_cast<TNormUnit>(-1)), std::out_of_range);
    EXPECT_THROW(DefaultUnit(badQuantity, true), std::out_of_range);
    EXPECT_NO_THROW(ToBaseUnit(static_cast<TNUMessurement>(cNUMessurementCount - 1), 1));
}

// ---------------------------------------------------------------------------------------------
// Symbols

TEST(UnitSymbolPlain, ReplacesOnlyTheCharactersPlainTextCannotShow) {
    EXPECT_EQ(UnitSymbol(cUM_deg_s2, true), "deg/s^2");
    EXPECT_EQ(UnitSymbol(cUM_micrometer, true), "ym");
    EXPECT_EQ(UnitSymbol(cUM_Celsius, true), "\xC2\xBA"
                                             "C"); // U+00BA stays
    EXPECT_EQ(UnitSymbol(cUM_m3_h, true), "m^3/h");
    EXPECT_EQ(UnitSymbol(cUM_m_s2, true), "m/s^2 ");
    EXPECT_EQ(UnitSymbol(cUM_yAmp, true), "yA");
    EXPECT_EQ(UnitSymbol(cUM_kOhm, true), "k\xCE\xA9");
    EXPECT_EQ(UnitSymbol(cUM_Stk, true), "");
    EXPECT_EQ(UnitSymbol(cUM_deg_s2, false), "deg/s\xC2\xB2");
    EXPECT_EQ(PlainSymbol("\xC2\xB0"
                          "C"),
              "degC");
    // B0/B2/B3/B5 as continuation bytes of other characters are not touched.
    EXPECT_EQ(PlainSymbol("\xC8\xB2\xE2\x82\xB5"), "\xC8\xB2\xE2\x82\xB5");
    EXPECT_EQ(PlainSymbol("\xC2"), "\xC2");
}

TEST(UnitSymbolPlain, NoSpecialCharacterSurvivesInAnyUnit) {
    for (TNUMessurement id : AllUnitIds()) {
        const std::string& plain = UnitSymbol(id, true);
        for (const char* special : {"\xC2\xB0", "\xC2\xB2", "\xC2\xB3", "\xC2\xB5"})
            EXPECT_EQ(plain.find(special), std::string::npos) << UnitIdName(id);
    }
}

// ---------------------------------------------------------------------------------------------
// Unit choice for a value field

TEST(UnitFitsRange, LengthFieldFromTenthMillimetreToTwoMetres) {
    EXPECT_TRUE(UnitFitsRange(cUM_mm, 3, 0.0001, 2));
    EXPECT_TRUE(UnitFitsRange(cUM_kilometer, 3, 0.0001, 2));   // 1000 * 0.001 = 1 <= 2
    EXPECT_FALSE(UnitFitsRange(cUM_micrometer, 3, 0.0001, 2)); // 1e-6 < 0.0001
    EXPECT_TRUE(UnitFitsRange(cUM_kilometer, -3, 0.0001, 2));  // sign of decimals ignored
    EXPECT_FALSE(UnitFitsRange(cUM_kilometer, 0, 0.0001, 2));  // last digit 1000 m > 2 m
    EXPECT_FALSE(UnitFitsRange(cUM_AstronEinh, 3, 0.0001, 2));
}

TEST(UnitFitsRange, BoundsAreInclusive) {
    EXPECT_TRUE(UnitFitsRange(cUM_mm, 3, 0.001, 2));
    EXPECT_TRUE(UnitFitsRange(cUM_kilometer, 3, 0.0001, 1));
    EXPECT_FALSE(UnitFitsRange(cUM_kilometer, 3, 0.0001, 0.999));
}

TEST(UnitFitsRange, EqualBoundsAcceptEveryUnit) {
    for (TNUMessurement id : AllUnitIds()) {
        EXPECT_TRUE(UnitFitsRange(id, 3, 5, 5)) << UnitIdName(id);
        EXPECT_TRUE(UnitFitsRange(id, 0, 0, 0)) << UnitIdName(id);
    }
}

TEST(UnitFitsRange, SizeOfOneUnitIncludesTheOffset) {
    EXPECT_TRUE(UnitFitsRange(cUM_Kelvin, 0, 0, 274));
    EXPECT_FALSE(UnitFitsRange(cUM_Celsius, 0, 0, 274)); // 1 ºC = 274.15 K
    EXPECT_TRUE(UnitFitsRange(cUM_Celsius, 0, 0, 274.15));
}

class NextFittingUnitTest : public ::testing::Test {
protected:
    static int IndexOf(TNUMessurement id) { return UnitById(id).Index; }
};

TEST_F(NextFittingUnitTest, NoUnitInTheUSSystemComesBackToTheStart) {
    int index = 0;
    EXPECT_TRUE(NextFittingUnit(cNU_NoUnit, index, 1, 3, usUS, 0, 0, 0));
    EXPECT_EQ(index, 0);
}

TEST_F(NextFittingUnitTest, MetricCyclingSkipsOtherSystemsAndWraps) {
    int index = IndexOf(cUM_m);
    ASSERT_TRUE(NextFittingUnit(cNU_length, index, 1, 3, usMetric, usOld, 0, 0));
    EXPECT_EQ(QuantityUnits(cNU_length)[index].Id, cUM_dm);

    // After the picometre only old and US units follow; the next metric one is the
    // kilometre at the front.
    index = IndexOf(cUM_picometer);
    ASSERT_TRUE(NextFittingUnit(cNU_length, index, 1, 3, usMetric, usOld, 0, 0));
    EXPECT_EQ(QuantityUnits(cNU_length)[index].Id, cUM_kilometer);
}

TEST_F(NextFittingUnitTest, OldUnitsAreSkippedOnlyWhenExcluded) {
    int index = IndexOf(cUM_yd);
    ASSERT_TRUE(NextFittingUnit(cNU_length, index, 1, 3, usUS, 0, 0, 0));
    EXPECT_EQ(QuantityUnits(cNU_length)[index].Id, cUM_rod);

    index = IndexOf(cUM_yd);
    ASSERT_TRUE(NextFittingUnit(cNU_length, index, 1, 3, usUS, usOld, 0, 0));
    EXPECT_EQ(QuantityUnits(cNU_length)[index].Id, cUM_in);
}

TEST_F(NextFittingUnitTest, UnitsOutsideTheRangeAreSkipped) {
    // µin and mil are below the smallest meaningful length of 0.1 mm.
    int index = IndexOf(cUM_in);
    ASSERT_TRUE(NextFittingUnit(cNU_length, index, 1, 3, usUS, usOld, 0.0001, 2));
    EXPECT_EQ(QuantityUnits(cNU_length)[index].Id, cUM_ft);

    // Pressure from 50 Pa upwards: Pa is too fine, mbar is the next metric unit that fits.
    index = IndexOf(cUM_bar);
    ASSERT_TRUE(NextFittingUnit(cNU_pressure, index, 1, 0, usMetric, 0, 50, 1e6));
    EXPECT_EQ(QuantityUnits(cNU_pressure)[index].Id, cUM_mbar);

    // Up to 0.5 bar without decimals one bar is too coarse as well: mbar is the only choice.
    ASSERT_TRUE(NextFittingUnit(cNU_pressure, index, 1, 0, usMetric, 0, 50, 5e4));
    EXPECT_EQ(QuantityUnits(cNU_pressure)[index].Id, cUM_mbar);
}

TEST_F(NextFittingUnitTest, ANegativeStepCyclesBackwards) {
    int index = IndexOf(cUM_m);
    ASSERT_TRUE(NextFittingUnit(cNU_length, index, -1, 3, usMetric, usOld, 0, 0));
    EXPECT_EQ(QuantityUnits(cNU_length)[index].Id, cUM_kilometer);
    index = IndexOf(cUM_kilometer);
    ASSERT_TRUE(NextFittingUnit(cNU_length, index, -1, 3, usMetric, usOld, 0, 0));
    EXPECT_EQ(QuantityUnits(cNU_length)[index].Id, cUM_picometer);
}

TEST_F(NextFittingUnitTest, TheOnlyFittingUnitIsKept) {
    int index = IndexOf(cUM_Celsius);
    // Kelvin carries the metric bit too, Fahrenheit does not.
    ASSERT_TRUE(NextFittingUnit(cNU_temperature, index, 1, 3, usMetric, 0, 0, 0));
    EXPECT_EQ(QuantityUnits(cNU_temperature)[index].Id, cUM_Kelvin);
    index = IndexOf(cUM_Fahrenheit);
    ASSERT_TRUE(NextFittingUnit(cNU_temperature, index, 1, 3, usUS, 0, 0, 0));
    EXPECT_EQ(QuantityUnits(cNU_temperature)[index].Id, cUM_Kelvin);
    index = IndexOf(cUM_Fahrenheit);
    ASSERT_TRUE(NextFittingUnit(cNU_temperature, index, 1, 3, usUS | usFrench, 0, 0, 0));
    EXPECT_EQ(QuantityUnits(cNU_temperature)[index].Id, cUM_Fahrenheit);
}

TEST_F(NextFittingUnitTest, AStartOutsideTheListIsRejected) {
    int index = QuantityUnitCount(cNU_time);
    EXPECT_THROW(NextFittingUnit(cNU_time, index, 1, 3, usMetric, 0, 0, 0), std::out_of_range);
    index = -1;
    EXPECT_THROW(NextFittingUnit(cNU_time, index, 1, 3, usMetric, 0, 0, 0), std::out_of_range);
}

// ---------------------------------------------------------------------------------------------
// GuardFloat

class GuardFloatTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetGuardFloatTrace([this](const std::string& line) { lines.push_back(line); });
    }
    void TearDown() override { SetGuardFloatTrace({}); }
    std::vector<std::string> lines;
};

TEST_F(GuardFloatTest, NaNBecomesZeroAndIsTraced) {
    double v = std::numeric_limits<double>::quiet_NaN();
    GuardFloat("Force", v);
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(lines, std::vector<std::string>{"Force = NAN"});
    v = -std::numeric_limits<double>::quiet_NaN();
    GuardFloat("x", v);
    EXPECT_EQ(v, 0.0);
}

TEST_F(GuardFloatTest, InfinityIsKept) {
    double v = std::numeric_limits<double>::infinity();
    GuardFloat("t", v);
    EXPECT_EQ(v, std::numeric_limits<double>::infinity());
    EXPECT_EQ(lines, std::vector<std::string>{"t = INF"});
    // Its text is "-INF", which is neither of the two reported ones.
    v = -std::numeric_limits<double>::infinity();
    GuardFloat("t", v);
    EXPECT_EQ(v, -std::numeric_limits<double>::infinity());
    EXPECT_EQ(lines.size(), 1u);
}

TEST_F(GuardFloatTest, FiniteValuesAreUntouched) {
    for (double x : {0.0, -0.0, 1e308, -2.5, std::numeric_limits<double>::denorm_min()}) {
        SCOPED_TRACE(testing::Message() << "x " << x);
        double v = x;
        GuardFloat("v", v);
        EXPECT_EQ(v, x);
    }
    EXPECT_TRUE(lines.empty());
}

TEST(GuardFloat, WorksWithoutATraceSink) {
    double v = std::numeric_limits<double>::quiet_NaN();
    GuardFloat("v", v);
    EXPECT_EQ(v, 0.0);
}

// ---------------------------------------------------------------------------------------------
// TermFromQuantity

class TermFromQuantityTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = DecimalSeparator();
        SetDecimalSeparator('.');
    }
    void TearDown() override { SetDecimalSeparator(saved); }
    char saved = '.';
};

TEST_F(TermFromQuantityTest, TextIsConvertedValueIsNot) {
    TTerm t;
    t.Tag = 7;
    TermFromQuantity(t, 15, -3, cUM_m, cUM_mm, 0.0125);
    EXPECT_EQ(t.Typ, cTTNum);
    EXPECT_EQ(t.Value, 0.0125);
    EXPECT_EQ(t.Text, "12.5");
    EXPECT_EQ(t.Tag, 0);

    TermFromQuantity(t, 15, 3, cUM_bar, cUM_psi, 6);
    EXPECT_EQ(t.Value, 6.0);
    EXPECT_EQ(t.Text, "87.023");
}

TEST_F(TermFromQuantityTest, OffsetsOfBothUnitsApply) {
    TTerm t;
    TermFromQuantity(t, 0, 0, cUM_Celsius, cUM_Fahrenheit, 100);
    EXPECT_EQ(t.Value, 100.0);
    EXPECT_EQ(t.Text, "212");
    TermFromQuantity(t, 0, 0, cUM_Celsius, cUM_Kelvin, 20);
    EXPECT_EQ(t.Text, "293.15");
}

TEST_F(TermFromQuantityTest, FollowsTheDecimalSeparator) {
    SetDecimalSeparator(',');
    TTerm t;
    TermFromQuantity(t, 15, -3, cUM_mm, cUM_cm, 25);
    EXPECT_EQ(t.Text, "2,5");
    EXPECT_EQ(t.Value, 25.0);
}

} // namespace

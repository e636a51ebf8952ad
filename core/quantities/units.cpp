#include "core/quantities/units.h"

#include "core/quantities/term.h"

#include <cmath>
#include <stdexcept>

namespace {

struct TUnitDef {
    TNormUnit Quantity;
    TNUMessurement Id;
    const char* IdName;
    const char* Symbol;
    double Factor;
    double Offset;
    const char* Description;
    TUnitSystems Systems;
};

// clang-format off
#define UNIT(quantity, id, symbol, factor, offset, description, systems) \
    TUnitDef{quantity, id, #id, symbol, factor, offset, description, systems}
// clang-format on

// Registration order: quantity by quantity, within a quantity the order of the unit menu and
// of unit cycling. Symbols and descriptions are UTF-8 ("º" of ºC/ºF is U+00BA).
constexpr TUnitDef cUnitDefs[] = {
    // cNU_angle
    UNIT(cNU_angle, cUM_deg, "deg", 0.017453292519943295, 0, "Pi/180", 0x0003),
    UNIT(cNU_angle, cUM_rad, "rad", 1, 0, "180/Pi", 0x0003),
    // cNU_angular_velocity
    UNIT(cNU_angular_velocity, cUM_deg_s, "deg/s", 0.017453292519943295, 0, "", 0x0003),
    UNIT(cNU_angular_velocity, cUM_deg_min, "deg/min", 0.0002908882086657216, 0, "", 0x0003),
    UNIT(cNU_angular_velocity, cUM_rad_s, "rad/s", 1, 0, "", 0x0003),
    UNIT(cNU_angular_velocity, cUM_rad_min, "rad/min", 0.016666666666666666, 0, "", 0x0003),
    // cNU_angular_acceleration
    UNIT(cNU_angular_acceleration, cUM_deg_s2, "deg/s²", 0.017453292519943295, 0, "", 0x0003),
    UNIT(cNU_angular_acceleration, cUM_deg_min2, "deg/min²", 4.84813681109536e-06, 0, "", 0x0003),
    UNIT(cNU_angular_acceleration, cUM_rad_s2, "rad/s²", 1, 0, "", 0x0003),
    UNIT(cNU_angular_acceleration, cUM_rad_min2, "rad/min²", 0.0002777777777777778, 0, "", 0x0003),
    // cNU_length
    UNIT(cNU_length, cUM_parsec, "parsec", 3.0841136933184508e+16, 0, "3.26 LJ", 0x0120),
    UNIT(cNU_length, cUM_AstronEinh, "AE (D)", 149600000000, 0, "1.496e+11 m", 0x0120),
    UNIT(cNU_length, cUM_LightYear, "LJ (D)", 9460471451897088, 0, "", 0x0120),
    UNIT(cNU_length, cUM_kilometer, "km", 1000, 0, "1000 m", 0x1C01),
    UNIT(cNU_length, cUM_m, "m", 1, 0, "", 0x1C01),
    UNIT(cNU_length, cUM_dm, "dm", 0.1, 0, "0.1 m", 0x1C01),
    UNIT(cNU_length, cUM_cm, "cm", 0.01, 0, "0.01 m", 0x1C01),
    UNIT(cNU_length, cUM_mm, "mm", 0.001, 0, "0.001 m", 0x1C01),
    UNIT(cNU_length, cUM_micrometer, "µm", 1e-06, 0, "1e-6 m", 0x1C01),
    UNIT(cNU_length, cUM_nanometer, "nm", 1e-09, 0, "1e-9 m", 0x1C01),
    UNIT(cNU_length, cUM_picometer, "pm", 1e-12, 0, "1e-12 m", 0x1C01),
    UNIT(cNU_length, cUM_Angstroem, "Å (D)", 1e-10, 0, "1e-10 m", 0x0860),
    UNIT(cNU_length, cUM_XE, "X.E. (D)", 1e-13, 0, "1e-13 m", 0x0860),
    UNIT(cNU_length, cUM_Linie, "Linie", 0.002256, 0, "2256 µm", 0x0820),
    UNIT(cNU_length, cUM_TypPunkt, "typogr. Pkt", 0.000376, 0, "376 µm", 0x0820),
    UNIT(cNU_length, cUM_in, "in", 0.0254, 0, "2.54 cm = 0.0254 m", 0x0002),
    UNIT(cNU_length, cUM_microInch, "µin", 2.54e-08, 0, "1e-6 in", 0x0002),
    UNIT(cNU_length, cUM_milliInch, "mil", 2.54e-05, 0, "0.001 in", 0x0002),
    UNIT(cNU_length, cUM_ft, "ft", 0.3048, 0, "12 in", 0x0002),
    UNIT(cNU_length, cUM_yd, "yd", 0.9144, 0, "3 ft = 36 in", 0x0002),
    UNIT(cNU_length, cUM_rod, "rod", 5.0292, 0, "5.5 yd = 198 in", 0x0022),
    UNIT(cNU_length, cUM_pole, "pole", 5.0292, 0, "5.5 yd = 198 in", 0x0022),
    UNIT(cNU_length, cUM_perch, "perch", 5.0292, 0, "5.5 yd = 198 in", 0x0022),
    UNIT(cNU_length, cUM_fathom, "fathom", 1.8288, 0, "2 yd = 72 in", 0x0022),
    UNIT(cNU_length, cUM_chain, "chain", 20.1168, 0, "22 yd = 792 in", 0x0022),
    UNIT(cNU_length, cUM_furlong, "furlong", 201.168, 0, "220 yd", 0x0022),
    UNIT(cNU_length, cUM_nMile, "n mile", 1852, 0, "1852 m", 0x00A0),
    UNIT(cNU_length, cUM_nMileUK, "n mile (UK)", 1853.184, 0, "8 furlong", 0x0460),
    UNIT(cNU_length, cUM_MeileGeo, "geogr. Meile", 7420.4, 0, "7420.4 m", 0x0820),
    UNIT(cNU_length, cUM_faden, "Faden (D)", 1.829, 0, "1.829 m", 0x00A0),
    UNIT(cNU_length, cUM_MeileD, "Landmeile (D)", 7500, 0, "7500 m", 0x0860),
    UNIT(cNU_length, cUM_BayRuten, "bayr. Rute (D)", 2.91847563, 0, "2.91847563 m", 0x0860),
    UNIT(cNU_length, cUM_PreuRuten, "preu. Rute (D)", 3.76607665, 0, "3.76607665 m", 0x0860),
    // cNU_area
    UNIT(cNU_area, cUM_ha, "ha", 10000, 0, "100 a = 10000 m²", 0x1C01),
    UNIT(cNU_area, cUM_a, "a", 100, 0, "100 m²", 0x1C01),
    UNIT(cNU_area, cUM_m2, "m²", 1, 0, "", 0x1C01),
    UNIT(cNU_area, cUM_dm2, "dm²", 0.01, 0, "0.01 m²", 0x1C01),
    UNIT(cNU_area, cUM_cm2, "cm²", 0.0001, 0, "1e-4 m²", 0x1C01),
    UNIT(cNU_area, cUM_mm2, "mm²", 1e-06, 0, "1e-6 m²", 0x1C01),
    UNIT(cNU_area, cUM_yd2, "yd²", 0.83612736, 0, "1296 in²", 0x0002),
    UNIT(cNU_area, cUM_ft2, "ft²", 0.09290304, 0, "144 in²", 0x0002),
    UNIT(cNU_area, cUM_in2, "in²", 0.00064516, 0, "6.4516 cm²", 0x0002),
    UNIT(cNU_area, cUM_mil2, "mil²", 6.4516e-10, 0, "1e-6 in²", 0x0022),
    UNIT(cNU_area, cUM_CirMil, "cir mil", 5.067074790974977e-10, 0, "Pi/4 mil", 0x0022),
    UNIT(cNU_area, cUM_CirInch, "cir in", 0.0005067074790974978, 0, "Pi/4 in", 0x0022),
    UNIT(cNU_area, cUM_line2, "line²", 6.4516e-08, 0, "1e-4 in²", 0x0022),
    UNIT(cNU_area, cUM_rod2, "rod²", 25.29285264, 0, "39204 in²", 0x0022),
    UNIT(cNU_area, cUM_chain2, "chain²", 404.68564224, 0, "627264 in²", 0x0022),
    UNIT(cNU_area, cUM_rood, "rood", 1011.7141056, 0, "40 rod²", 0x0022),
    UNIT(cNU_area, cUM_acre, "ac", 4046.8564224, 0, "4 rood", 0x0022),
    UNIT(cNU_area, cUM_SectionUS, "section (US)", 2589988.110336, 0, "mile²", 0x0260),
    UNIT(cNU_area, cUM_TownshipUS, "township (US)", 93239571.972096, 0, "36 mile²", 0x0260),
    UNIT(cNU_area, cUM_MorgBadisch, "bad. Morgen (D)", 3600, 0, "36 a = 3600 m²", 0x0860),
    UNIT(cNU_area, cUM_MorgPreuss, "preu. Morgen (D)", 2553, 0, "2553 m²", 0x0860),
    UNIT(cNU_area, cUM_MorgWuertb, "wrtb. Morgen (D)", 3152, 0, "3152 m²", 0x0860),
    UNIT(cNU_area, cUM_TagwerkBay, "bayr. Tagwerk (D)", 3407, 0, "3407 m²", 0x0860),
    UNIT(cNU_area, cUM_barn, "barn (D)", 1e-28, 0, "1e-28 m²", 0x0860),
    UNIT(cNU_area, cUM_BayRuten2, "bayr. Rute² (D)", 8.5175, 0, "1/400 bayr.Tagwerk (D)", 0x0860),
    UNIT(cNU_area, cUM_PreuRuten2, "preu. Rute² (D)", 14.183333333333334, 0,
         "1/180 preu. Morgen (D)", 0x0860),
    // cNU_volume
    UNIT(cNU_volume, cUM_m3, "m³", 1, 0, "", 0x1C01),
    UNIT(cNU_volume, cUM_dm3, "l", 0.001, 0, "0.001 m³", 0x1C01),
    UNIT(cNU_volume, cUM_cm3, "cm³", 1e-06, 0, "1e-6", 0x1C01),
    UNIT(cNU_volume, cUM_mm3, "mm³", 1e-09, 0, "1e-9", 0x1C01),
    UNIT(cNU_volume, cUM_in3, "in³", 1.6387064e-05, 0, "16.387064 cm³", 0x0002),
    UNIT(cNU_volume, cUM_ft3, "ft³", 0.028316846592, 0, "1728 in³", 0x0002),
    UNIT(cNU_volume, cUM_yd3, "yd³", 0.764554857984, 0, "46656 in³", 0x0002),
    UNIT(cNU_volume, cUM_gillUK, "gill (UK)", 0.0001420656, 0, "5 fl oz (UK)", 0x0460),
    UNIT(cNU_volume, cUM_FlOunzeUK, "fl oz (UK)", 2.841312e-05, 0, "8 fl drachm (UK)", 0x0460),
    UNIT(cNU_volume, cUM_FlDrachmUK, "fl drachm (UK)", 3.55164e-06, 0, "60 min (UK)", 0x0460),
    UNIT(cNU_volume, cUM_minimUK, "min (UK)", 5.9194e-08, 0, "0.059194 cm³", 0x0460),
    UNIT(cNU_volume, cUM_barrelUK, "barrel (UK)", 0.159124, 0, "35 gal (UK)", 0x0460),
    UNIT(cNU_volume, cUM_bushelUK, "bushel (UK)", 0.0363712, 0, "8 gal (UK)", 0x0460),
    UNIT(cNU_volume, cUM_peckUK, "peck (UK)", 0.0090928, 0, "2 gal (UK)", 0x0460),
    UNIT(cNU_volume, cUM_gallonUK, "gal (UK)", 0.0045464, 0, "4 quart (UK)", 0x0460),
    UNIT(cNU_volume, cUM_quartUK, "quart (UK)", 0.0011366, 0, "2 pt (UK)", 0x0460),
    UNIT(cNU_volume, cUM_pintUK, "pt (UK)", 0.0005683, 0, "0.5683 l", 0x0460),
    UNIT(cNU_volume, cUM_minimUS, "min (US)", 6.1612e-08, 0, "0.061612 cm³", 0x0220),
    UNIT(cNU_volume, cUM_flDram, "fl dram (US)", 3.69672e-06, 0, "60 min (US)", 0x0220),
    UNIT(cNU_volume, cUM_flOunze, "fl oz (US)", 2.957376e-05, 0, "8 fl dram (US)", 0x0220),
    UNIT(cNU_volume, cUM_gillUS, "gill (US)", 0.00011829504, 0, "4 fl oz (US)", 0x0220),
    UNIT(cNU_volume, cUM_barrelUS, "barrel (US)", 0.1589952, 0, "42 gal (US)", 0x0220),
    UNIT(cNU_volume, cUM_gallonUS, "gal (US)", 0.0037856, 0, "4 liq quart (US)", 0x0220),
    UNIT(cNU_volume, cUM_liqQuartUS, "liq quart (US)", 0.0009464, 0, "2 liq pt (US)", 0x0220),
    UNIT(cNU_volume, cUM_liqPintUS, "liq pt (US)", 0.0004732, 0, "0.47318 l", 0x0220),
    UNIT(cNU_volume, cUM_dryBarrelUS, "dry barrel (US)", 0.115627123584, 0, "7056 in³", 0x0220),
    UNIT(cNU_volume, cUM_bushelUS, "bushel (US)", 0.03523904, 0, "4 peck (US)", 0x0220),
    UNIT(cNU_volume, cUM_peckUS, "peck (US)", 0.00880976, 0, "8 dry quart (US)", 0x0220),
    UNIT(cNU_volume, cUM_dryQuartUS, "dry quart (US)", 0.00110122, 0, "2 dry pt (US)", 0x0220),
    UNIT(cNU_volume, cUM_dryPintUS, "dry pt (US)", 0.00055061, 0, "0.55061 l", 0x0220),
    UNIT(cNU_volume, cUM_SchoppenWrtb, "wrtb. Schoppen (D)", 0.0005, 0, "0.5 l", 0x0860),
    UNIT(cNU_volume, cUM_MassBayern, "bayr. Mass (D)", 0.00107, 0, "1.07 l", 0x0860),
    UNIT(cNU_volume, cUM_EimerBayern, "bayr. Eimer (D)", 0.06842, 0, "68.42 l", 0x0860),
    UNIT(cNU_volume, cUM_EimerPreuss, "preu. Eimer (D)", 0.0687, 0, "68.7 l", 0x0860),
    UNIT(cNU_volume, cUM_EimerWrtb, "wrtb. Eimer (D)", 0.29393, 0, "293.93 l", 0x0860),
    UNIT(cNU_volume, cUM_FuderPfalz, "pfalz. Fuder (D)", 1, 0, "1 m³", 0x0860),
    UNIT(cNU_volume, cUM_FuderBaden, "bad. Fuder (D)", 1.5, 0, "1.5 m³", 0x0860),
    UNIT(cNU_volume, cUM_FuderWrtb, "wrtb. Fuder (D)", 1.76356, 0, "1.76356 m³", 0x0860),
    // cNU_velocity
    UNIT(cNU_velocity, cUM_m_s, "m/s", 1, 0, "", 0x1C01),
    UNIT(cNU_velocity, cUM_cm_s, "cm/s", 0.01, 0, "0.01 m/s", 0x1C01),
    UNIT(cNU_velocity, cUM_mm_s, "mm/s", 0.001, 0, "0.001 m/s", 0x1C01),
    UNIT(cNU_velocity, cUM_km_h, "km/h", 0.2777777777777778, 0, "10/36 m/s", 0x1C01),
    UNIT(cNU_velocity, cUM_in_s, "in/s", 0.0254, 0, "0.0254 m/s", 0x0002),
    UNIT(cNU_velocity, cUM_ft_s, "ft/s", 0.3048, 0, "12 in/s", 0x0002),
    UNIT(cNU_velocity, cUM_yd_s, "yd/s", 0.9144, 0, "36 in/s", 0x0002),
    UNIT(cNU_velocity, cUM_mph, "mph", 0.44704, 0, "mile/h", 0x0002),
    // cNU_acceleration
    UNIT(cNU_acceleration, cUM_m_s2, "m/s² ", 1, 0, "", 0x1C01),
    UNIT(cNU_acceleration, cUM_GalD, "Gal (D)", 0.01, 0, "cm/s²", 0x0860),
    UNIT(cNU_acceleration, cUM_mm_s2, "mm/s²", 0.001, 0, "0.001 m/s²", 0x1C01),
    UNIT(cNU_acceleration, cUM_in_s2, "in/s²", 0.0254, 0, "0.0254 m/s²", 0x0002),
    UNIT(cNU_acceleration, cUM_ft_s2, "ft/s²", 0.3048, 0, "12 in/s²", 0x0002),
    UNIT(cNU_acceleration, cUM_yd_s2, "yd/s²", 0.9144, 0, "36 in/s²", 0x0002),
    // cNU_jerk
    UNIT(cNU_jerk, cUM_m_s3, "m/s³", 1, 0, "", 0x1C01),
    UNIT(cNU_jerk, cUM_cm_s3, "cm/s³", 0.01, 0, "0.01 m/s³", 0x1C01),
    UNIT(cNU_jerk, cUM_mm_s3, "mm/s³", 0.001, 0, "0.001 m/s³", 0x1C01),
    UNIT(cNU_jerk, cUM_in_s3, "in/s³", 0.0254, 0, "0.0254 m/s³", 0x0002),
    UNIT(cNU_jerk, cUM_ft_s3, "ft/s³", 0.3048, 0, "12 in/s³", 0x0002),
    UNIT(cNU_jerk, cUM_yd_s3, "yd/s³", 0.9144, 0, "36 in/s³", 0x0002),
    // cNU_mass
    UNIT(cNU_mass, cUM_tdw, "tdw", 1016, 0, "1016 kg", 0x00A0),
    UNIT(cNU_mass, cUM_kg, "kg", 1, 0, "1000 g", 0x1C01),
    UNIT(cNU_mass, cUM_KaratInt, "Kt (intern.)", 0.0002051, 0, "205.1 mg", 0x0020),
    UNIT(cNU_mass, cUM_KaratEdelst, "Kt", 0.0002, 0, "200 mg", 0x0020),
    UNIT(cNU_mass, cUM_g, "g", 0.001, 0, "", 0x1C01),
    UNIT(cNU_mass, cUM_mg, "mg", 1e-06, 0, "1/1000 g", 0x1C01),
    UNIT(cNU_mass, cUM_longTon, "long tn", 1016.0476666666667, 0, "2240 lb", 0x0022),
    UNIT(cNU_mass, cUM_shortTon, "sh tn", 907.1854166666667, 0, "2000 lb", 0x0022),
    UNIT(cNU_mass, cUM_longCwt, "long cwt", 50.80238333333333, 0, "112 lb", 0x0022),
    UNIT(cNU_mass, cUM_shortCwt, "sh cwt", 45.35927083333333, 0, "100 lb", 0x0022),
    UNIT(cNU_mass, cUM_quintal, "quintal", 45.35927083333333, 0, "100 lb", 0x0022),
    UNIT(cNU_mass, cUM_quarterUK, "qr (UK)", 12.700595833333333, 0, "28 lb", 0x0460),
    UNIT(cNU_mass, cUM_stoneUK, "st (UK)", 6.350297916666666, 0, "14 lb", 0x0460),
    UNIT(cNU_mass, cUM_lb, "lb", 0.4535927083333333, 0, "7000 gr", 0x0002),
    UNIT(cNU_mass, cUM_oz, "oz", 0.028349544270833332, 0, "1/16 lb", 0x0002),
    UNIT(cNU_mass, cUM_dram, "dram", 0.0017718465169270833, 0, "1/256 lb", 0x0022),
    // One slug is the mass that 1 lbf accelerates at 1 ft/s²: lbf / (ft/s²).
    UNIT(cNU_mass, cUM_slug, "slug", 4.44817957390625 / 0.3048, 0, "lbf s² /ft", 0x0022),
    UNIT(cNU_mass, cUM_lbAp, "lb ap", 0.373242, 0, "12 oz ap", 0x0012),
    UNIT(cNU_mass, cUM_OunzeAp, "oz ap", 0.0311035, 0, "31.1035 g", 0x0012),
    UNIT(cNU_mass, cUM_DrachmAp, "dr ap", 0.0038879375, 0, "1/8 oz ap", 0x0012),
    UNIT(cNU_mass, cUM_ScrupleAp, "s ap", 0.0012959791666666666, 0, "1/24 oz ap", 0x0012),
    UNIT(cNU_mass, cUM_grain, "gr", 6.479895833333333e-05, 0, "1/480 oz ap", 0x0002),
    UNIT(cNU_mass, cUM_OunzeT, "oz t", 0.0311035, 0, "oz ap", 0x000A),
    UNIT(cNU_mass, cUM_lbT, "lb t", 0.373242, 0, "lb ap", 0x000A),
    // cNU_impulse
    UNIT(cNU_impulse, cUM_kgm_s, "kg m/s", 1, 0, "", 0x1C01),
    UNIT(cNU_impulse, cUM_lbft_s, "lb ft/s", 0.1382550575, 0, "0.138255 kg m/s", 0x0002),
    // CNU_force
    UNIT(CNU_force, cUM_N, "N", 1, 0, "kg m/s²", 0x1C01),
    UNIT(CNU_force, cUM_tonf, "tonf", 9963.92224555, 0, "2000 lbf", 0x0022),
    UNIT(CNU_force, cUM_lbf, "lbf", 4.44817957390625, 0, "gN lb", 0x0002),
    UNIT(CNU_force, cUM_ozf, "ozf", 0.27801122336914064, 0, "1/16 lbf", 0x0002),
    UNIT(CNU_force, cUM_pdl, "pdl", 0.1382550575, 0, "lb ft/s²", 0x0002),
    UNIT(CNU_force, cUM_dyn, "dyn", 1e-05, 0, "1e-5 N", 0x0860),
    UNIT(CNU_force, cUM_stheneF, "sn (F)", 1000, 0, "1000 N", 0x1060),
    // cNU_torque
    UNIT(cNU_torque, cUM_Nm, "Nm", 1, 0, "kg m² /s²", 0x1C01),
    UNIT(cNU_torque, cUM_Ncm, "Ncm", 0.01, 0, "1/100 Nm", 0x1C01),
    UNIT(cNU_torque, cUM_inlbf, "in.lbf", 0.11298376117721876, 0, "0.112984 Nm", 0x0002),
    UNIT(cNU_torque, cUM_ftlbf, "ft.lbf", 1.355805134126625, 0, "12 in.lbf", 0x0002),
    UNIT(cNU_torque, cUM_ydlbf, "yd.lbf", 4.067415402379875, 0, "36 in.lbf", 0x0002),
    // cNU_moment_of_inertia
    UNIT(cNU_moment_of_inertia, cUM_kgm2, "kg m²", 1, 0, "", 0x1C01),
    UNIT(cNU_moment_of_inertia, cUM_kgcm2, "kg cm²", 0.0001, 0, "1e-4 kg m²", 0x1C01),
    UNIT(cNU_moment_of_inertia, cUM_kgmm2, "kg mm²", 1e-06, 0, "1e-6 kg m²", 0x1C01),
    UNIT(cNU_moment_of_inertia, cUM_lbin2, "lb in²", 0.0002926398717083333, 0, "2.9263 kg cm²",
         0x0002),
    UNIT(cNU_moment_of_inertia, cUM_lbft2, "lb ft²", 0.042140141526, 0, "144 lb in²", 0x0002),
    // cNU_temperature
    UNIT(cNU_temperature, cUM_Kelvin, "K", 1, 0, "", 0x0003),
    UNIT(cNU_temperature, cUM_Celsius, "ºC", 1, 273.15, "0ºC = 273.15 K", 0x1C01),
    UNIT(cNU_temperature, cUM_Fahrenheit, "ºF", 0.5555555555555556, 255.37222222222223,
         "32ºF = 0ºC", 0x0002),
    // cNU_pressure
    UNIT(cNU_pressure, cUM_Pa, "Pa", 1, 0, "N/m²", 0x1C01),
    UNIT(cNU_pressure, cUM_mbar, "mbar", 100, 0, "100 Pa", 0x1C01),
    UNIT(cNU_pressure, cUM_bar, "bar", 100000, 0, "1e5 Pa", 0x1C01),
    UNIT(cNU_pressure, cUM_psi, "psi", 6894.692128938946, 0, "lbf/in²", 0x0002),
    UNIT(cNU_pressure, cUM_psf, "psf", 47.8798064509649, 0, "lbf/ft²", 0x0002),
    UNIT(cNU_pressure, cUM_tonf_in2, "tonf/in²", 15444110.368823238, 0, "2000 psi", 0x0022),
    UNIT(cNU_pressure, cUM_baryeF, "barye (F)", 0.1, 0, "1/10 Pa", 0x1060),
    UNIT(cNU_pressure, cUM_pieceF, "pèce (F)", 1000, 0, "1000 Pa", 0x1060),
    UNIT(cNU_pressure, cUM_Torr, "Torr (D)", 133.32236842105263, 0, "1/760 atm", 0x0860),
    UNIT(cNU_pressure, cUM_mmHg, "mm Hg (D)", 133.32236842105263, 0, "133.322 Pa", 0x0860),
    UNIT(cNU_pressure, cUM_mmWS, "mm WS (D)", 9.80655, 0, "9.80655 Pa", 0x0860),
    UNIT(cNU_pressure, cUM_at, "at (D)", 98065.5, 0, "gN kg/cm²", 0x0860),
    UNIT(cNU_pressure, cUM_atm, "atm (D)", 101325, 0, "101325 Pa", 0x0860),
    // cNU_energy
    UNIT(cNU_energy, cUM_kJ, "kJ", 1000, 0, "1000 J", 0x0003),
    UNIT(cNU_energy, cUM_J, "J", 1, 0, "N m", 0x0003),
    UNIT(cNU_energy, cUM_kWh, "kWh", 3600000, 0, "3.6e+6 J", 0x0003),
    UNIT(cNU_energy, cUM_cal, "cal", 4.1868, 0, "4.1868 J", 0x0860),
    UNIT(cNU_energy, cUM_kcal, "kcal", 4186.8, 0, "1000 cal", 0x0860),
    // cNU_power
    UNIT(cNU_power, cUM_mW, "mW", 0.001, 0, "1/1000 W", 0x1C01),
    UNIT(cNU_power, cUM_W, "W", 1, 0, "J/s", 0x1C01),
    UNIT(cNU_power, cUM_kW, "kW", 1000, 0, "1000 W", 0x1C01),
    UNIT(cNU_power, cUM_ft_lbf, "ft lbf", 1.355805134126625, 0, "1.3558 W", 0x0002),
    UNIT(cNU_power, cUM_Btu, "Btu", 1055.06, 0, "1.05506 * kJ", 0x0002),
    UNIT(cNU_power, cUM_PS, "PS (D)", 735.49125, 0, "75 kp m/s", 0x0860),
    UNIT(cNU_power, cUM_ch, "ch (F)", 735.49125, 0, "75 kp m/s", 0x1060),
    UNIT(cNU_power, cUM_poncelet, "poncelet (F)", 980.655, 0, "100 kp m/s", 0x1060),
    // cNU_time
    UNIT(cNU_time, cUM_d, "d", 86400, 0, "24 h", 0x0003),
    UNIT(cNU_time, cUM_h, "h", 3600, 0, "60 min", 0x0003),
    UNIT(cNU_time, cUM_min, "min", 60, 0, "60 s", 0x0003),
    UNIT(cNU_time, cUM_s, "s", 1, 0, "", 0x0003),
    UNIT(cNU_time, cUM_ms, "ms", 0.001, 0, "0.001 s", 0x0003),
    // cNU_pieces
    UNIT(cNU_pieces, cUM_Stk, "", 1, 0, "", 0x0003),
    // cNU_scale
    UNIT(cNU_scale, cUM_Scale, "", 1, 0, "", 0x0003),
    UNIT(cNU_scale, cUM_percent, "%", 0.01, 0, "1/100", 0x0003),
    // cNU_density
    UNIT(cNU_density, cUM_kg_m3, "kg/m³", 1, 0, "", 0x1C01),
    UNIT(cNU_density, cUM_kg_l, "kg/l", 1000, 0, "1000 kg/m³", 0x1C01),
    UNIT(cNU_density, cUM_g_l, "g/l", 1, 0, "1 kg/m³", 0x1C01),
    UNIT(cNU_density, cUM_g_cm3, "g/cm³", 1000, 0, "1000 kg/m³", 0x1C01),
    UNIT(cNU_density, cUM_lb_ft3, "lb/ft³", 16.018475322089046, 0, "16.0185 kg/m³", 0x0002),
    UNIT(cNU_density, cUM_lb_in3, "lb/in³", 27679.925356569875, 0, "27679.9 kg/m³", 0x0002),
    UNIT(cNU_density, cUM_oz_ft3, "oz/ft³", 1.0011547076305654, 0, "1.00115 kg/m³", 0x0002),
    UNIT(cNU_density, cUM_oz_in3, "oz/in³", 1729.9953347856172, 0, "1729.99 kg/m³", 0x0002),
    // cNU_VolumePerTime
    UNIT(cNU_VolumePerTime, cUM_m3_s, "m³/s", 1, 0, "", 0x1C01),
    UNIT(cNU_VolumePerTime, cUM_m3_min, "m³/min", 0.016666666666666666, 0, "1/60 m³/s", 0x1C01),
    UNIT(cNU_VolumePerTime, cUM_m3_h, "m³/h", 0.0002777777777777778, 0, "1/3600 m³/s", 0x1C01),
    UNIT(cNU_VolumePerTime, cUM_dm3_s, "l/s", 0.001, 0, "dm³/s", 0x1C01),
    UNIT(cNU_VolumePerTime, cUM_dm3_min, "l/min", 1.6666666666666667e-05, 0, "1/60 dm³/s", 0x1C01),
    UNIT(cNU_VolumePerTime, cUM_dm3_h, "l/h", 2.7777777777777776e-07, 0, "1/3600 dm³/s", 0x1C01),
    UNIT(cNU_VolumePerTime, cUM_yd3_s, "yd³/s", 0.764554857984, 0, "46656 in³/s", 0x0002),
    UNIT(cNU_VolumePerTime, cUM_ft3_s, "ft³/s", 0.028316846592, 0, "1728 in³/s", 0x0002),
    UNIT(cNU_VolumePerTime, cUM_yd3_min, "yd³/min", 0.0127425809664, 0, "777.6 in³/s", 0x0002),
    UNIT(cNU_VolumePerTime, cUM_ft3_min, "ft³/min", 0.0004719474432, 0, "28.8 in³/s", 0x0002),
    UNIT(cNU_VolumePerTime, cUM_CFM, "CFM", 0.0004719474432, 0, "ft³/min", 0x0002),
    UNIT(cNU_VolumePerTime, cUM_yd3_h, "yd³/h", 0.00021237634944, 0, "12.96 in³/s", 0x0002),
    UNIT(cNU_VolumePerTime, cUM_ft3_h, "ft³/h", 7.86579072e-06, 0, "0.48 in³/s", 0x0002),
    // cNU_angular_jerk
    UNIT(cNU_angular_jerk, cUM_deg_s3, "deg/s³", 0.017453292519943295, 0, "", 0x0003),
    UNIT(cNU_angular_jerk, cUM_deg_min3, "deg/min³", 8.080228018492267e-08, 0, "", 0x0003),
    UNIT(cNU_angular_jerk, cUM_rad_s3, "rad/s³", 1, 0, "", 0x0003),
    UNIT(cNU_angular_jerk, cUM_rad_min3, "rad/min³", 4.6296296296296296e-06, 0, "", 0x0003),
    // cNU_noise
    UNIT(cNU_noise, cUM_dBA, "dB(A)", 1, 0, "", 0x0003),
    // cNU_CWert
    UNIT(cNU_CWert, cUM_m3_sPa, "m³ /(s*Pa)", 1, 0, "", 0x1C01),
    UNIT(cNU_CWert, cUM_l_sbar, "l/(s*bar)", 1e-08, 0, "1e-8 m³ /(s*Pa)", 0x1C01),
    UNIT(cNU_CWert, cUM_ft3_spsf, "ft³ /(s*psf)", 0.0005914152268138366, 0, "5.914e-4 m³ /(s*Pa)",
         0x0002),
    UNIT(cNU_CWert, cUM_in3_spsi, "in³ /(s*psi)", 2.3767651540550916e-09, 0, "2.377e-9 m³ /(s*Pa)",
         0x0002),
    // cNU_frequency
    UNIT(cNU_frequency, cUM_GHz, "GHz", 1000000000, 0, "1e+9 Hz", 0x0003),
    UNIT(cNU_frequency, cUM_MHz, "MHz", 1000000, 0, "1e+6 Hz", 0x0003),
    UNIT(cNU_frequency, cUM_kHz, "kHz", 1000, 0, "1000 Hz", 0x0003),
    UNIT(cNU_frequency, cUM_Hz, "Hz", 1, 0, "1/s", 0x0003),
    UNIT(cNU_frequency, cUM_1_s, "1/s", 1, 0, "1 Hz", 0x0003),
    UNIT(cNU_frequency, cUM_1_min, "1/min", 0.016666666666666666, 0, "1/60 Hz", 0x0003),
    UNIT(cNU_frequency, cUM_1_h, "1/h", 0.0002777777777777778, 0, "1/3600 Hz", 0x0003),
    // cNU_MassPerLength
    UNIT(cNU_MassPerLength, cUM_kg_m, "kg/m", 1, 0, "", 0x1C01),
    UNIT(cNU_MassPerLength, cUM_g_m, "g/m", 0.001, 0, "1/1000 kg/m", 0x1C01),
    UNIT(cNU_MassPerLength, cUM_mtex, "mtex", 1e-09, 0, "1/1000 tex", 0x1C01),
    UNIT(cNU_MassPerLength, cUM_dtex, "dtex", 1e-07, 0, "1/10 tex", 0x1C01),
    UNIT(cNU_MassPerLength, cUM_tex, "tex", 1e-06, 0, "g/km", 0x1C01),
    UNIT(cNU_MassPerLength, cUM_ktex, "ktex", 0.001, 0, "1000 tex", 0x1C01),
    UNIT(cNU_MassPerLength, cUM_Denier, "den", 1.1111111111111111e-07, 0, "1/9 tex", 0x0860),
    UNIT(cNU_MassPerLength, cUM_lb_ft, "lb/ft", 1.4881650535870516, 0, "1.488 kg/m", 0x0002),
    UNIT(cNU_MassPerLength, cUM_lb_in, "lb/in", 17.85798064304462, 0, "17.858 kg/m", 0x0002),
    // cNU_rigidity
    UNIT(cNU_rigidity, cUM_N_m, "N/m", 1, 0, "", 0x1C01),
    UNIT(cNU_rigidity, cUM_N_mm, "N/mm", 1000, 0, "1000 N/m", 0x1C01),
    UNIT(cNU_rigidity, cUM_lbf_in, "lbf/in", 175.1251800750492, 0, "175.12518 N/m", 0x0002),
    // cNU_NoUnit
    UNIT(cNU_NoUnit, cUM_NoUnit, "", 1, 0, "", 0x1C01),
    // cNU_current
    UNIT(cNU_current, cUM_kAmp, "kA", 1000, 0, "1000 A", 0x0003),
    UNIT(cNU_current, cUM_Amp, "A", 1, 0, "", 0x0003),
    UNIT(cNU_current, cUM_mAmp, "mA", 0.001, 0, "1/1000 A", 0x0003),
    UNIT(cNU_current, cUM_yAmp, "µA", 1e-06, 0, "1e-6 A", 0x0003),
    // cNU_voltage
    UNIT(cNU_voltage, cUM_kVolt, "kV", 1000, 0, "1000 V", 0x0003),
    UNIT(cNU_voltage, cUM_Volt, "V", 1, 0, "", 0x0003),
    UNIT(cNU_voltage, cUM_mVolt, "mV", 0.001, 0, "1/1000 V", 0x0003),
    UNIT(cNU_voltage, cUM_yVolt, "µV", 1e-06, 0, "1e-6 V", 0x0003),
    // cNU_resistor
    UNIT(cNU_resistor, cUM_MegOhm, "MΩ", 1000000, 0, "1e6 Ω", 0x0003),
    UNIT(cNU_resistor, cUM_kOhm, "kΩ", 1000, 0, "1000 Ω", 0x0003),
    UNIT(cNU_resistor, cUM_Ohm, "Ω", 1, 0, "", 0x0003),
    UNIT(cNU_resistor, cUM_mOhm, "mΩ", 0.001, 0, "1/1000 Ohm", 0x0003),
};

#undef UNIT

struct TQuantityDef {
    TNormUnit Quantity;
    const char* Name;
    TNUMessurement SIDefault;
    TNUMessurement USDefault;
};

constexpr TQuantityDef cQuantityDefs[] = {
    {cNU_angle, "cNU_angle", cUM_deg, cUM_deg},
    {cNU_angular_velocity, "cNU_angular_velocity", cUM_deg_s, cUM_deg_s},
    {cNU_angular_acceleration, "cNU_angular_acceleration", cUM_deg_s2, cUM_deg_s2},
    {cNU_length, "cNU_length", cUM_m, cUM_ft},
    {cNU_area, "cNU_area", cUM_m2, cUM_ft2},
    {cNU_volume, "cNU_volume", cUM_m3, cUM_ft3},
    {cNU_velocity, "cNU_velocity", cUM_m_s, cUM_ft_s},
    {cNU_acceleration, "cNU_acceleration", cUM_m_s2, cUM_ft_s2},
    {cNU_jerk, "cNU_jerk", cUM_m_s3, cUM_ft_s3},
    {cNU_mass, "cNU_mass", cUM_kg, cUM_lb},
    {cNU_impulse, "cNU_impulse", cUM_kgm_s, cUM_lbft_s},
    {CNU_force, "CNU_force", cUM_N, cUM_lbf},
    {cNU_torque, "cNU_torque", cUM_Nm, cUM_ftlbf},
    {cNU_moment_of_inertia, "cNU_moment_of_inertia", cUM_kgm2, cUM_lbin2},
    {cNU_temperature, "cNU_temperature", cUM_Celsius, cUM_Fahrenheit},
    {cNU_pressure, "cNU_pressure", cUM_Pa, cUM_psi},
    {cNU_energy, "cNU_energy", cUM_J, cUM_J},
    {cNU_power, "cNU_power", cUM_W, cUM_W},
    {cNU_time, "cNU_time", cUM_s, cUM_s},
    {cNU_pieces, "cNU_pieces", cUM_Stk, cUM_Stk},
    {cNU_scale, "cNU_scale", cUM_Scale, cUM_Scale},
    {cNU_density, "cNU_density", cUM_kg_m3, cUM_lb_ft3},
    {cNU_VolumePerTime, "cNU_VolumePerTime", cUM_m3_s, cUM_CFM},
    {cNU_angular_jerk, "cNU_angular_jerk", cUM_rad_s3, cUM_rad_s3},
    {cNU_noise, "cNU_noise", cUM_dBA, cUM_dBA},
    {cNU_CWert, "cNU_CWert", cUM_m3_sPa, cUM_m3_sPa},
    {cNU_frequency, "cNU_frequency", cUM_Hz, cUM_Hz},
    {cNU_MassPerLength, "cNU_MassPerLength", cUM_tex, cUM_tex},
    {cNU_rigidity, "cNU_rigidity", cUM_N_m, cUM_lbf_in},
    {cNU_NoUnit, "cNU_NoUnit", cUM_NoUnit, cUM_NoUnit},
    {cNU_current, "cNU_current", cUM_Amp, cUM_Amp},
    {cNU_voltage, "cNU_voltage", cUM_Volt, cUM_Volt},
    {cNU_resistor, "cNU_resistor", cUM_Ohm, cUM_Ohm},
};

static_assert(std::size(cUnitDefs) == cNUMessurementCount);
static_assert(std::size(cQuantityDefs) == cNormUnitCount);

// A slip in the table must not compile: every identifier exactly once, quantities in ordinal
// order and contiguous, no zero factor (FromBaseUnit divides by it).
constexpr bool UnitTableIsConsistent() {
    std::array<int, cNUMessurementCount> seen{};
    int quantity = 0;
    for (const TUnitDef& d : cUnitDefs) {
        if (d.Id >= cNUMessurementCount || seen[d.Id]++ != 0) return false;
        if (d.Quantity != quantity && d.Quantity != quantity + 1) return false;
        quantity = d.Quantity;
        if (!(d.Factor > 0.0)) return false;
    }
    for (int q = 0; q < cNormUnitCount; ++q)
        if (cQuantityDefs[q].Quantity != q) return false;
    return quantity == cNormUnitCount - 1;
}
static_assert(UnitTableIsConsistent(), "unit table is inconsistent");

// Compact per-id record, built at compile time: the conversions run for every chart point
// and recalculation, so they index it directly and never touch the lists.
struct TUnitRecord {
    double Factor;
    double Offset;
    TNormUnit Quantity;
    const char* IdName;
};

constexpr std::array<TUnitRecord, cNUMessurementCount> MakeRecords() {
    std::array<TUnitRecord, cNUMessurementCount> a{};
    for (const TUnitDef& d : cUnitDefs) a[d.Id] = {d.Factor, d.Offset, d.Quantity, d.IdName};
    return a;
}

constexpr std::array<TUnitRecord, cNUMessurementCount> cRecords = MakeRecords();

void CheckUnit(TNUMessurement id) {
    if (static_cast<unsigned>(id) >= static_cast<unsigned>(cNUMessurementCount))
        throw std::out_of_range("unit identifier " + std::to_string(static_cast<unsigned>(id)) +
                                " out of range 0.." + std::to_string(cNUMessurementCount - 1));
}

void CheckQuantity(TNormUnit quantity) {
    if (static_cast<unsigned>(quantity) >= static_cast<unsigned>(cNormUnitCount))
        throw std::out_of_range("quantity " + std::to_string(static_cast<int>(quantity)) +
                                " out of range 0.." + std::to_string(cNormUnitCount - 1));
}

std::function<void(const std::string&)>& GuardFloatTrace() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

} // namespace

TTavPhysicalUnits::TTavPhysicalUnits() {
    std::array<int, cNormUnitCount> counts{};
    for (const TUnitDef& d : cUnitDefs) ++counts[d.Quantity];
    // Reserved up front: units are referenced by address from byId_.
    for (int q = 0; q < cNormUnitCount; ++q) {
        groups_[q].NormUnit = static_cast<TNormUnit>(q);
        groups_[q].Units.reserve(counts[q]);
    }
    for (const TUnitDef& d : cUnitDefs) {
        TTavPhysicalUnitGroup& group = groups_[d.Quantity];
        TTavPhysicalUnit& unit = group.Units.emplace_back();
        unit.Quantity = &group;
        unit.Systems = d.Systems;
        unit.Id = d.Id;
        unit.Factor = d.Factor;
        unit.Offset = d.Offset;
        unit.Symbol = d.Symbol;
        unit.Description = d.Description;
        unit.Index = static_cast<int>(group.Units.size()) - 1;
        byId_[d.Id] = &unit;
        plainSymbols_[d.Id] = PlainSymbol(unit.Symbol);
    }
}

const TTavPhysicalUnitGroup& TTavPhysicalUnits::Group(TNormUnit quantity) const {
    CheckQuantity(quantity);
    return groups_[quantity];
}

const TTavPhysicalUnit& TTavPhysicalUnits::Unit(TNUMessurement id) const {
    CheckUnit(id);
    return *byId_[id];
}

const std::string& TTavPhysicalUnits::PlainUnitSymbol(TNUMessurement id) const {
    CheckUnit(id);
    return plainSymbols_[id];
}

const TTavPhysicalUnits& PhysicalUnits() {
    static const TTavPhysicalUnits registry;
    return registry;
}

const TTavPhysicalUnit& UnitById(TNUMessurement id) {
    return PhysicalUnits().Unit(id);
}

const std::vector<TTavPhysicalUnit>& QuantityUnits(TNormUnit quantity) {
    return PhysicalUnits().Group(quantity).Units;
}

int QuantityUnitCount(TNormUnit quantity) {
    return static_cast<int>(QuantityUnits(quantity).size());
}

TNormUnit QuantityOfUnit(TNUMessurement id) {
    CheckUnit(id);
    return cRecords[id].Quantity;
}

double ToBaseUnit(TNUMessurement id, double value) {
    CheckUnit(id);
    const TUnitRecord& c = cRecords[id];
    return static_cast<double>(static_cast<long double>(value) * c.Factor + c.Offset);
}

double FromBaseUnit(TNUMessurement id, double value) {
    CheckUnit(id);
    const TUnitRecord& c = cRecords[id];
    return static_cast<double>((static_cast<long double>(value) - c.Offset) / c.Factor);
}

const std::string& UnitSymbol(TNUMessurement id, bool plain) {
    const TTavPhysicalUnits& units = PhysicalUnits();
    return plain ? units.PlainUnitSymbol(id) : units.Unit(id).Symbol;
}

std::string PlainSymbol(std::string_view symbol) {
    std::string out;
    out.reserve(symbol.size() + 4);
    for (size_t i = 0; i < symbol.size(); ++i) {
        // U+00B0, U+00B2, U+00B3 and U+00B5 are C2 xx in UTF-8; other characters stay.
        if (static_cast<unsigned char>(symbol[i]) == 0xC2 && i + 1 < symbol.size()) {
            const char* replacement = nullptr;
            switch (static_cast<unsigned char>(symbol[i + 1])) {
            case 0xB0:
                replacement = "deg";
                break;
            case 0xB2:
                replacement = "^2";
                break;
            case 0xB3:
                replacement = "^3";
                break;
            case 0xB5:
                replacement = "y";
                break;
            default:
                break;
            }
            if (replacement) {
                out += replacement;
                ++i;
                continue;
            }
        }
        out += symbol[i];
    }
    return out;
}

std::string_view UnitIdName(TNUMessurement id) {
    CheckUnit(id);
    return cRecords[id].IdName;
}

bool FindUnitByIdName(std::string_view name, TNUMessurement& id) {
    for (const TUnitDef& d : cUnitDefs) {
        if (name == d.IdName) {
            id = d.Id;
            return true;
        }
    }
    return false;
}

std::string_view NormUnitName(TNormUnit quantity) {
    CheckQuantity(quantity);
    return cQuantityDefs[quantity].Name;
}

TNUMessurement DefaultUnit(TNormUnit quantity, bool si) {
    CheckQuantity(quantity);
    return si ? cQuantityDefs[quantity].SIDefault : cQuantityDefs[quantity].USDefault;
}

bool UnitFitsRange(TNUMessurement id, int decimals, double absMin, double maxAbs) {
    if (absMin == maxAbs) {
        CheckUnit(id);
        return true;
    }
    const long double size = ToBaseUnit(id, 1.0);
    // size * 10^-|decimals| as one division by an exact power of ten, so that boundary
    // cases such as 1000 * 0.001 = 1 compare as written.
    const long long places = decimals < 0 ? -static_cast<long long>(decimals) : decimals;
    long double scale = 1.0L;
    for (long long i = 0; i < places && scale < HUGE_VALL; ++i) scale *= 10.0L;
    return absMin <= size && size / scale <= maxAbs;
}

bool NextFittingUnit(TNormUnit quantity, int& index, int step, int decimals, TUnitSystems required,
                     TUnitSystems excluded, double absMin, double maxAbs) {
    const std::vector<TTavPhysicalUnit>& units = QuantityUnits(quantity);
    const int count = static_cast<int>(units.size());
    if (index < 0 || index >= count)
        throw std::out_of_range("unit index " + std::to_string(index) + " out of range for " +
                                std::string(NormUnitName(quantity)));
    const int start = index;
    do {
        // Wrapped into range so that a negative step cycles backwards.
        index = (index + step % count + count) % count;
        const TTavPhysicalUnit& unit = units[index];
        if ((unit.Systems & required) == required && (unit.Systems & excluded) == 0 &&
            UnitFitsRange(unit.Id, decimals, absMin, maxAbs))
            return true;
    } while (index != start);
    return true;
}

void SetGuardFloatTrace(std::function<void(const std::string&)> sink) {
    GuardFloatTrace() = std::move(sink);
}

void GuardFloat(std::string_view name, double& value) {
    // Only NaN and +infinity are reported: their general-format texts are "NAN" and "INF",
    // while -infinity reads "-INF".
    const bool nan = std::isnan(value);
    if (!nan && !(std::isinf(value) && value > 0)) return;
    if (const auto& sink = GuardFloatTrace())
        sink(std::string(name) + " = " + (nan ? "NAN" : "INF"));
    if (nan) value = 0.0;
}

void TermFromQuantity(TTerm& term, int precision, int decimals, TNUMessurement fromUnit,
                      TNUMessurement toUnit, double x) {
    TermFromFloat(term, precision, decimals, FromBaseUnit(toUnit, ToBaseUnit(fromUnit, x)));
    term.Value = x;
}

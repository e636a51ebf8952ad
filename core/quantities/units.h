#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct TTerm;

//! Physical quantity. Every value of a quantity is stored and computed in its base unit.
enum TNormUnit : int {
    cNU_angle = 0,
    cNU_angular_velocity = 1,
    cNU_angular_acceleration = 2,
    cNU_length = 3,
    cNU_area = 4,
    cNU_volume = 5,
    cNU_velocity = 6,
    cNU_acceleration = 7,
    cNU_jerk = 8,
    cNU_mass = 9,
    cNU_impulse = 10,
    CNU_force = 11,
    cNU_torque = 12,
    cNU_moment_of_inertia = 13,
    cNU_temperature = 14,
    cNU_pressure = 15,
    cNU_energy = 16,
    cNU_power = 17,
    cNU_time = 18,
    cNU_pieces = 19,
    cNU_scale = 20,
    cNU_density = 21,
    cNU_VolumePerTime = 22,
    cNU_angular_jerk = 23,
    cNU_noise = 24,
    cNU_CWert = 25,
    cNU_frequency = 26,
    cNU_MassPerLength = 27,
    cNU_rigidity = 28,
    cNU_NoUnit = 29,
    cNU_current = 30,
    cNU_voltage = 31,
    cNU_resistor = 32,
};

//! Number of TNormUnit values.
inline constexpr int cNormUnitCount = 33;

//! Unit identifier. The ordinals are persistent (stored as 16-bit values), hence explicit.
enum TNUMessurement : uint16_t {
    cUM_m = 0,
    cUM_dm = 1,
    cUM_cm = 2,
    cUM_mm = 3,
    cUM_in = 4,
    cUM_ft = 5,
    cUM_yd = 6,
    cUM_m2 = 7,
    cUM_dm2 = 8,
    cUM_cm2 = 9,
    cUM_mm2 = 10,
    cUM_in2 = 11,
    cUM_ft2 = 12,
    cUM_yd2 = 13,
    cUM_m3 = 14,
    cUM_dm3 = 15,
    cUM_cm3 = 16,
    cUM_mm3 = 17,
    cUM_in3 = 18,
    cUM_ft3 = 19,
    cUM_yd3 = 20,
    cUM_deg = 21,
    cUM_rad = 22,
    cUM_rad_s = 23,
    cUM_rad_min = 24,
    cUM_rad_s2 = 25,
    cUM_rad_min2 = 26,
    cUM_m_s = 27,
    cUM_km_h = 28,
    cUM_mph = 29,
    cUM_m_s2 = 30,
    cUM_m_s3 = 31,
    cUM_kg = 32,
    cUM_g = 33,
    cUM_lb = 34,
    cUM_oz = 35,
    cUM_Nm = 36,
    cUM_kgm2 = 37,
    cUM_kgm_s = 38,
    cUM_N = 39,
    cUM_J = 40,
    cUM_W = 41,
    cUM_Kelvin = 42,
    cUM_Celsius = 43,
    cUM_Fahrenheit = 44,
    cUM_Pa = 45,
    cUM_bar = 46,
    cUM_psi = 47,
    cUM_ms = 48,
    cUM_s = 49,
    cUM_min = 50,
    cUM_h = 51,
    cUM_d = 52,
    cUM_Stk = 53,
    cUM_Scale = 54,
    cUM_kg_m3 = 55,
    cUM_kg_l = 56,
    cUM_g_l = 57,
    cUM_g_cm3 = 58,
    cUM_m3_h = 59,
    cUM_dm3_h = 60,
    cUM_m3_min = 61,
    cUM_dm3_min = 62,
    cUM_m3_s = 63,
    cUM_dm3_s = 64,
    cUM_ft3_h = 65,
    cUM_yd3_h = 66,
    cUM_ft3_min = 67,
    cUM_yd3_min = 68,
    cUM_ft3_s = 69,
    cUM_yd3_s = 70,
    cUM_percent = 71,
    cUM_rad_s3 = 72,
    cUM_rad_min3 = 73,
    cUM_deg_s = 74,
    cUM_deg_min = 75,
    cUM_deg_s2 = 76,
    cUM_deg_min2 = 77,
    cUM_deg_s3 = 78,
    cUM_deg_min3 = 79,
    cUM_dBA = 80,
    cUM_mbar = 81,
    cUM_Ncm = 82,
    cUM_kgcm2 = 83,
    cUM_lbin2 = 84,
    cUM_lbft2 = 85,
    cUM_lbf = 86,
    cUM_CFM = 87,
    cUM_mm_s = 88,
    cUM_in_s = 89,
    cUM_ft_s = 90,
    cUM_yd_s = 91,
    cUM_m3_sPa = 92,
    cUM_l_sbar = 93,
    cUM_in_s2 = 94,
    cUM_ft_s2 = 95,
    cUM_yd_s2 = 96,
    cUM_inlbf = 97,
    cUM_ftlbf = 98,
    cUM_ydlbf = 99,
    cUM_in_s3 = 100,
    cUM_ft_s3 = 101,
    cUM_yd_s3 = 102,
    cUM_lbft_s = 103,
    cUM_lb_ft3 = 104,
    cUM_lb_in3 = 105,
    cUM_oz_ft3 = 106,
    cUM_oz_in3 = 107,
    cUM_Hz = 108,
    cUM_1_s = 109,
    cUM_1_min = 110,
    cUM_1_h = 111,
    cUM_kHz = 112,
    cUM_MHz = 113,
    cUM_GHz = 114,
    cUM_ozf = 115,
    cUM_mm_s3 = 116,
    cUM_cm_s3 = 117,
    cUM_microInch = 118,
    cUM_milliInch = 119,
    cUM_rod = 120,
    cUM_pole = 121,
    cUM_perch = 122,
    cUM_fathom = 123,
    cUM_chain = 124,
    cUM_furlong = 125,
    cUM_picometer = 126,
    cUM_nanometer = 127,
    cUM_micrometer = 128,
    cUM_kilometer = 129,
    cUM_Angstroem = 130,
    cUM_XE = 131,
    cUM_TypPunkt = 132,
    cUM_Linie = 133,
    cUM_LightYear = 134,
    cUM_parsec = 135,
    cUM_faden = 136,
    cUM_nMile = 137,
    cUM_nMileUK = 138,
    cUM_MeileGeo = 139,
    cUM_MeileD = 140,
    cUM_mil2 = 141,
    cUM_CirMil = 142,
    cUM_CirInch = 143,
    cUM_line2 = 144,
    cUM_rod2 = 145,
    cUM_chain2 = 146,
    cUM_rood = 147,
    cUM_acre = 148,
    cUM_SectionUS = 149,
    cUM_TownshipUS = 150,
    cUM_ha = 151,
    cUM_a = 152,
    cUM_MorgBadisch = 153,
    cUM_MorgPreuss = 154,
    cUM_MorgWuertb = 155,
    cUM_TagwerkBay = 156,
    cUM_minimUK = 157,
    cUM_FlDrachmUK = 158,
    cUM_FlOunzeUK = 159,
    cUM_gillUK = 160,
    cUM_pintUK = 161,
    cUM_quartUK = 162,
    cUM_gallonUK = 163,
    cUM_barrelUK = 164,
    cUM_peckUK = 165,
    cUM_bushelUK = 166,
    cUM_minimUS = 167,
    cUM_flDram = 168,
    cUM_flOunze = 169,
    cUM_gillUS = 170,
    cUM_liqPintUS = 171,
    cUM_liqQuartUS = 172,
    cUM_gallonUS = 173,
    cUM_barrelUS = 174,
    cUM_dryPintUS = 175,
    cUM_dryQuartUS = 176,
    cUM_peckUS = 177,
    cUM_bushelUS = 178,
    cUM_dryBarrelUS = 179,
    cUM_SchoppenWrtb = 180,
    cUM_MassBayern = 181,
    cUM_EimerWrtb = 182,
    cUM_EimerBayern = 183,
    cUM_EimerPreuss = 184,
    cUM_FuderWrtb = 185,
    cUM_FuderBaden = 186,
    cUM_FuderPfalz = 187,
    cUM_grain = 188,
    cUM_dram = 189,
    cUM_shortCwt = 190,
    cUM_longCwt = 191,
    cUM_shortTon = 192,
    cUM_longTon = 193,
    cUM_slug = 194,
    cUM_stoneUK = 195,
    cUM_quarterUK = 196,
    cUM_quintal = 197,
    cUM_tdw = 198,
    cUM_ScrupleAp = 199,
    cUM_DrachmAp = 200,
    cUM_OunzeAp = 201,
    cUM_OunzeT = 202,
    cUM_lbAp = 203,
    cUM_lbT = 204,
    cUM_KaratInt = 205,
    cUM_KaratEdelst = 206,
    cUM_mtex = 207,
    cUM_dtex = 208,
    cUM_tex = 209,
    cUM_ktex = 210,
    cUM_Denier = 211,
    cUM_psf = 212,
    cUM_tonf_in2 = 213,
    cUM_pdl = 214,
    cUM_baryeF = 215,
    cUM_stheneF = 216,
    cUM_pieceF = 217,
    cUM_dyn = 218,
    cUM_GalD = 219,
    cUM_barn = 220,
    cUM_Torr = 221,
    cUM_mmHg = 222,
    cUM_mmWS = 223,
    cUM_at = 224,
    cUM_atm = 225,
    cUM_PS = 226,
    cUM_mW = 227,
    cUM_kW = 228,
    cUM_cal = 229,
    cUM_kcal = 230,
    cUM_kJ = 231,
    cUM_kWh = 232,
    cUM_ft3_spsf = 233,
    cUM_in3_spsi = 234,
    cUM_AstronEinh = 235,
    cUM_ft_lbf = 236,
    cUM_Btu = 237,
    cUM_ch = 238,
    cUM_poncelet = 239,
    cUM_BayRuten = 240,
    cUM_PreuRuten = 241,
    cUM_BayRuten2 = 242,
    cUM_PreuRuten2 = 243,
    cUM_mm_s2 = 244,
    cUM_cm_s = 245,
    cUM_mg = 246,
    cUM_tonf = 247,
    cUM_N_m = 248,
    cUM_N_mm = 249,
    cUM_lbf_in = 250,
    cUM_NoUnit = 251,
    cUM_kg_m = 252,
    cUM_g_m = 253,
    cUM_lb_ft = 254,
    cUM_lb_in = 255,
    cUM_kAmp = 256,
    cUM_Amp = 257,
    cUM_mAmp = 258,
    cUM_yAmp = 259,
    cUM_kVolt = 260,
    cUM_Volt = 261,
    cUM_mVolt = 262,
    cUM_yVolt = 263,
    cUM_MegOhm = 264,
    cUM_kOhm = 265,
    cUM_Ohm = 266,
    cUM_mOhm = 267,
    cUM_kgmm2 = 268,
};

//! Number of TNUMessurement values.
inline constexpr int cNUMessurementCount = 269;

//! One bit of a unit's unit-system set. Only usMetric, usUS and usOld are tested; the
//! others are kept with the unit as they were defined.
enum TUnitSystem : uint16_t {
    usMetric = 0x0001,
    usUS = 0x0002,
    usTroy = 0x0008,
    usApothecaries = 0x0010,
    usOld = 0x0020,
    usRegional = 0x0040,
    usNautical = 0x0080,
    usAstronomical = 0x0100,
    usUSOnly = 0x0200,
    usUK = 0x0400,
    usGerman = 0x0800,
    usFrench = 0x1000,
};

//! A set of TUnitSystem bits.
using TUnitSystems = uint16_t;

struct TTavPhysicalUnitGroup;

//! One unit: base value = value * Factor + Offset.
struct TTavPhysicalUnit {
    const TTavPhysicalUnitGroup* Quantity = nullptr; //!< the quantity it belongs to (not owned)
    TUnitSystems Systems = 0;
    TNUMessurement Id = cUM_m;
    double Factor = 1.0;     //!< one such unit in the base unit
    double Offset = 0.0;     //!< non-zero only for ºC and ºF
    std::string Symbol;      //!< UTF-8; empty for pieces and plain scale values
    std::string Description; //!< UTF-8 definition in terms of another unit; may be empty
    int Index = 0;           //!< position within the quantity's unit list
};

//! One quantity with its units in registration order (the order of menus and cycling).
struct TTavPhysicalUnitGroup {
    TNormUnit NormUnit = cNU_angle;
    std::vector<TTavPhysicalUnit> Units;
};

//! The unit registry: built once on first use, never changed afterwards.
class TTavPhysicalUnits {
public:
    TTavPhysicalUnits();
    TTavPhysicalUnits(const TTavPhysicalUnits&) = delete;
    TTavPhysicalUnits& operator=(const TTavPhysicalUnits&) = delete;

    //! The quantity's group; throws std::out_of_range for a value outside 0..32.
    const TTavPhysicalUnitGroup& Group(TNormUnit quantity) const;
    //! The unit with identifier `id`; throws std::out_of_range outside 0..268.
    const TTavPhysicalUnit& Unit(TNUMessurement id) const;
    //! The symbol of `id` in plain characters (see PlainSymbol).
    const std::string& PlainUnitSymbol(TNUMessurement id) const;

private:
    std::array<TTavPhysicalUnitGroup, cNormUnitCount> groups_;
    std::array<const TTavPhysicalUnit*, cNUMessurementCount> byId_{};
    std::array<std::string, cNUMessurementCount> plainSymbols_;
};

//! The single registry.
const TTavPhysicalUnits& PhysicalUnits();

//! The unit with identifier `id`.
const TTavPhysicalUnit& UnitById(TNUMessurement id);
//! The units of `quantity` in registration order.
const std::vector<TTavPhysicalUnit>& QuantityUnits(TNormUnit quantity);
//! Number of units of `quantity`.
int QuantityUnitCount(TNormUnit quantity);
//! The quantity unit `id` belongs to.
TNormUnit QuantityOfUnit(TNUMessurement id);

//! `value` given in unit `id`, expressed in the base unit (computed in extended precision).
double ToBaseUnit(TNUMessurement id, double value);
//! A base-unit `value` expressed in unit `id` (computed in extended precision).
double FromBaseUnit(TNUMessurement id, double value);

//! The unit's symbol (UTF-8); with `plain`, in plain characters for texts that cannot
//! show the special ones.
const std::string& UnitSymbol(TNUMessurement id, bool plain);
//! `symbol` with the degree sign as "deg", "²" as "^2", "³" as "^3" and "µ" as "y";
//! everything else (also "º") is copied.
std::string PlainSymbol(std::string_view symbol);

//! Identifier name of a unit ("cUM_m").
std::string_view UnitIdName(TNUMessurement id);
//! Looks a unit up by its identifier name; false when there is none.
bool FindUnitByIdName(std::string_view name, TNUMessurement& id);
//! Identifier name of a quantity ("cNU_length").
std::string_view NormUnitName(TNormUnit quantity);

//! Unit a field of `quantity` falls back to in the SI (`si`) or the US measurement system.
TNUMessurement DefaultUnit(TNormUnit quantity, bool si);

//! Whether unit `id` is worth offering for values between `absMin` (smallest meaningful
//! magnitude) and `maxAbs` shown with |decimals| decimals. Always true when absMin == maxAbs.
bool UnitFitsRange(TNUMessurement id, int decimals, double absMin, double maxAbs);

//! Steps `index` through the units of `quantity` by `step` (wrapping either way) to the next
//! unit that has all `required` and none of the `excluded` systems and fits the range. When
//! none qualifies `index` ends back where it started. Returns true in both cases. A start
//! index outside the list throws std::out_of_range.
bool NextFittingUnit(TNormUnit quantity, int& index, int step, int decimals, TUnitSystems required,
                     TUnitSystems excluded, double absMin, double maxAbs);

//! Receives the trace line of GuardFloat ("name = NAN"). Empty by default: no trace.
void SetGuardFloatTrace(std::function<void(const std::string&)> sink);
//! Replaces a NaN `value` by 0; infinities are kept. NaN and +infinity are traced.
void GuardFloat(std::string_view name, double& value);

//! cTTNum term with value x and the float text of x converted from `fromUnit` to `toUnit`.
void TermFromQuantity(TTerm& term, int precision, int decimals, TNUMessurement fromUnit,
                      TNUMessurement toUnit, double x);

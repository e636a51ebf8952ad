#include "core/quantities/float_converter.h"
#include "core/quantities/number_format.h"
#include "core/quantities/units.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr double cInf = std::numeric_limits<double>::infinity();

// Restores the decimal separator however a test ends.
struct TSeparatorScope {
    explicit TSeparatorScope(char sep) { SetDecimalSeparator(sep); }
    ~TSeparatorScope() { SetDecimalSeparator('.'); }
};

struct TRecordingView : TFMU2View {
    std::vector<std::string> texts;
    std::vector<bool> validChanges;
    int beeps = 0;
    int unitNotices = 0;
    void ShowText(const std::string& text) override { texts.push_back(text); }
    void ValidChanged(bool valid) override { validChanges.push_back(valid); }
    void ShowUnits() override { ++unitNotices; }
    void Beep() override { ++beeps; }
};

// A field as a form sets it up: properties first, then Loaded.
struct TField {
    TRecordingView view;
    TFMU2Model model{&view};
    int changes = 0;
    TField(TNormUnit quantity, TNUMessurement si, double min, double max, double value) {
        model.OnChange = [this] { ++changes; };
        model.BeginLoad();
        model.SetNormUnit(quantity);
        model.SetPreferredSIUnit(si);
        model.SetValueMin(min);
        model.SetValueMax(max);
        model.SetValue(value);
        model.Loaded();
    }
    const std::string& Text() const { return model.Converter().Text(); }
};

} // namespace

TEST(FloatConverterFormat, DecimalsFractionsAndSeparators) {
    struct Row {
        double x;
        int decimals;
        bool divisor;
        const char* text;
    };
    // clang-format off
    const Row rows[] = {
        {12.5, -3, false, "12.5"},       {3, -3, false, "3"},           {0.0004, -3, false, "0"},
        {-0.0004, 3, false, "0.000"},    {3, 3, false, "3.000"},        {-12.5, -3, false, "-12.5"},
        {12.3456, 2, false, "12.35"},    {100, -3, false, "100"},       {9.9996, -3, false, "10"},
        {2.5, 0, false, "3"},            {1234567.891, -3, false, "1234567.891"},
        {0.1, 18, false, "0.100000000000000006"},
        {1.5e20, -3, false, "1.5E20"},   {1.5e20, -3, true, "1.5E20"},  {1.375, 3, true, "1 3/8"},
        {0.375, 3, true, "3/8"},         {2, 3, true, "2"},             {0.3, 3, true, "0.300"},
        {0.3, -3, true, "0.3"},          {-1.375, 3, true, "-1 3/8"},   {-0.375, -3, true, "-3/8"},
        {-0.0001, 3, true, "0"},         {1.375, 2, true, "1.38"},      {1.4375, 4, true, "1 7/16"},
        {1.4375, 3, true, "1.438"},      {0.015625, 6, true, "1/64"},   {0.015625, 5, true, "0.01563"},
        {2.5, 0, true, "2"} /* ties to even */,                         {3.5, 0, true, "4"},
        {0.1249, 3, true, "1/8"},        {1.0000004, -3, true, "1"},    {1e22, -3, true, "1E22"},
        {std::nan(""), -3, false, "NAN"}, {std::nan(""), 3, true, "NAN"},
        {cInf, -3, true, "INF"},         {-cInf, 2, false, "-INF"},
    };
    // clang-format on
    for (const Row& r : rows)
        EXPECT_EQ(TTavFloatConverter::FormatText(r.x, r.decimals, r.divisor, '.'), r.text)
            << r.x << " decimals " << r.decimals << " divisor " << r.divisor;
    // Decimals beyond 18 count as 18.
    EXPECT_EQ(TTavFloatConverter::FormatText(0.5, 40, false, '.'),
              TTavFloatConverter::FormatText(0.5, 18, false, '.'));
    EXPECT_EQ(TTavFloatConverter::FormatText(12.5, -3, false, ','), "12,5");
    EXPECT_EQ(TTavFloatConverter::FormatText(3, 3, false, ','), "3,000");
    EXPECT_EQ(TTavFloatConverter::FormatText(1.375, 3, true, ','), "1 3/8");
}

TEST(FloatConverterParse, NumbersFractionsAndMalformedText) {
    struct Row {
        const char* text;
        bool ok;
        double value;
    };
    // clang-format off
    const Row rows[] = {
        {"12.5", true, 12.5},   {"  12.5  ", true, 12.5}, {"-12.5", true, -12.5}, {"+3", true, 3},
        {"1e3", true, 1000},    {"1.5E-2", true, 0.015},  {".5", true, 0.5},      {"5.", true, 5},
        {"1e-400", true, 0},    {"1 3/8", true, 1.375},   {"3/8", true, 0.375},   {"2 ", true, 2},
        {"-3/8", true, -0.375}, {"3/-8", true, -0.375},   {"-1 3/8", true, -1.375},
        {"-0 1/2", true, -0.5}, {"+1 1/2", true, 1.5},    {"1  3/8", true, 1.375},
        {"", false, 0},         {"   ", false, 0},        {"3/", false, 0},       {"1/2 3", false, 0},
        {"2/0", false, 0},      {"1 1/0", false, 0},      {"1 2", false, 0},      {"1 -3/8", false, 0},
        {"1 3/-8", false, 0},   {"1.5 1/2", false, 0},    {"a", false, 0},        {"1,5", false, 0},
        {"1.2.3", false, 0},    {"--1", false, 0},        {"+-1", false, 0},      {"- 1/2", false, 0},
        {"1/2/3", false, 0},    {"/2", false, 0},         {"1 3/8 2", false, 0},  {"1e", false, 0},
        {"1e+", false, 0},      {"e5", false, 0},         {".", false, 0},        {"-", false, 0},
        {"1e400", false, 0},    {"1\t3/8", false, 0},     {"0x10", false, 0},     {"1 1.5/2", false, 0},
        {"99999999999999999999/2", false, 0},
    };
    // clang-format on
    for (const Row& r : rows) {
        double v = -99;
        EXPECT_EQ(TTavFloatConverter::ParseText(r.text, v, '.'), r.ok) << '"' << r.text << '"';
        EXPECT_DOUBLE_EQ(v, r.ok ? r.value : -99) << '"' << r.text << '"';
    }
    double v = 0;
    EXPECT_TRUE(TTavFloatConverter::ParseText("1,5", v, ','));
    EXPECT_EQ(v, 1.5);
    EXPECT_TRUE(TTavFloatConverter::ParseText("-1,5e2", v, ','));
    EXPECT_EQ(v, -150);
    EXPECT_FALSE(TTavFloatConverter::ParseText("1.5", v, ','));
}

// Every unit of every quantity: the shown text reads back within the shown precision and
// formats to the same text again.
TEST(FloatConverterRoundTrip, EveryUnitDecimalsAndDivisor) {
    const double bases[] = {0, 1e-6, 0.0125, 0.5, 1, 7.25, 123.456, 1e5, 293.15};
    for (char sep : {'.', ','})
        for (int q = 0; q < cNormUnitCount; ++q)
            for (const TTavPhysicalUnit& unit : QuantityUnits(static_cast<TNormUnit>(q)))
                for (double base : bases)
                    for (double sign : {1.0, -1.0})
                        for (int decimals : {-6, -3, 0, 2, 4})
                            for (bool divisor : {false, true}) {
                                const double x = FromBaseUnit(unit.Id, sign * base);
                                const std::string text =
                                    TTavFloatConverter::FormatText(x, decimals, divisor, sep);
                                double v = 0;
                                ASSERT_TRUE(TTavFloatConverter::ParseText(text, v, sep))
                                    << text << " for " << x << " " << unit.Symbol;
                                const double limit =
                                    std::pow(10.0, -std::abs(decimals)) + 1e-12 * std::fabs(x);
                                EXPECT_LE(std::fabs(v - x), limit) << text << " " << unit.Symbol;
                                // A rounded fixed text may come closer to a fraction than
                                // the value did; fraction and plain texts are stable.
                                if (!divisor || text.find('/') != std::string::npos) {
                                    EXPECT_EQ(
                                        TTavFloatConverter::FormatText(v, decimals, divisor, sep),
                                        text);
                                }
                            }
}

TEST(FloatConverter, StateEventsAndBusyGuard) {
    TTavFloatConverter c;
    EXPECT_EQ(c.Precision(), 15);
    EXPECT_EQ(c.Decimals(), -3);
    EXPECT_FALSE(c.Divisor());
    EXPECT_EQ(c.Value(), 0);
    EXPECT_EQ(c.Text(), "0");
    EXPECT_TRUE(c.Valid());
    for (auto [in, out] : {std::pair{19, 18}, {17, 17}, {-17, -17}, {-25, -18}}) {
        SCOPED_TRACE(testing::Message() << "decimals " << in);
        c.SetDecimals(in);
        EXPECT_EQ(c.Decimals(), out);
    }
    c.SetDecimals(-3);

    int strings = 0;
    int floats = 0;
    c.OnStringChange = [&] {
        ++strings;
        c.SetText("999"); // the view echoing the text back is not read again
    };
    c.OnFloatChange = [&] { ++floats; };
    c.SetValue(2.0 / 3);
    EXPECT_EQ(c.Text(), "0.667");
    EXPECT_EQ(c.Value(), 2.0 / 3); // the text's rounding does not reach the value
    c.SetValue(2.0 / 3);
    EXPECT_EQ(strings, 1);
    EXPECT_EQ(floats, 0);

    c.SetText("1 1/2");
    EXPECT_EQ(c.Value(), 1.5);
    c.SetText("1 1/2");
    c.SetText("x");
    EXPECT_FALSE(c.Valid());
    EXPECT_EQ(c.Value(), 1.5);
    EXPECT_EQ(c.Text(), "x");
    EXPECT_EQ(floats, 2);
    c.SetDecimals(2); // an unreadable text is not replaced by a format change …
    EXPECT_EQ(c.Text(), "x");
    c.SetValue(1.5); // … but by a value, even an equal one
    EXPECT_TRUE(c.Valid());
    EXPECT_EQ(c.Text(), "1.50");
    c.SetDivisor(true);
    EXPECT_EQ(c.Text(), "1 1/2");
    EXPECT_EQ(strings, 3);
}

TEST(FMU2Model, UnitSwitchKeepsTheBaseValue) {
    TField f(cNU_length, cUM_mm, 0, 0, 0.0125);
    EXPECT_EQ(f.Text(), "12.5");
    EXPECT_EQ(f.view.texts.back(), "12.5");
    f.model.SelectUnitIndex(UnitById(cUM_in).Index);
    EXPECT_EQ(f.Text(), "0.492");
    EXPECT_EQ(f.model.Value(), 0.0125);
    EXPECT_EQ(f.model.UnitCaption(), "in");
    f.model.SelectUnitIndex(999); // ignored
    EXPECT_EQ(f.model.CurrentUnit(), cUM_in);
    EXPECT_EQ(f.changes, 0);
}

TEST(FMU2Model, SpinTypingAndValidityInARange) {
    TField f(cNU_pressure, cUM_bar, 0.3e6, 0.7e6, 0.65e6);
    EXPECT_EQ(f.Text(), "6.5");
    f.model.SpinUp();
    EXPECT_EQ(f.Text(), "7");
    EXPECT_DOUBLE_EQ(f.model.Value(), 0.7e6);
    EXPECT_EQ(f.changes, 1);
    EXPECT_FALSE(f.model.SpinUpEnabled());
    EXPECT_TRUE(f.model.SpinDownEnabled());

    f.model.EditChange("8");
    EXPECT_EQ(f.model.Validity(), fvOutOfRange);
    EXPECT_DOUBLE_EQ(f.model.Value(), 0.7e6);
    EXPECT_EQ(f.view.validChanges, std::vector<bool>{false});
    EXPECT_EQ(f.changes, 1);
    f.model.SpinDown(); // back into the range
    EXPECT_EQ(f.Text(), "7");
    EXPECT_TRUE(f.model.Valid());
    f.model.EditChange("1");
    EXPECT_EQ(f.model.Validity(), fvOutOfRange);
    f.model.SpinDown(); // raised to the minimum
    EXPECT_EQ(f.Text(), "3");

    f.model.EditChange("6,");
    EXPECT_EQ(f.model.Validity(), fvUnreadable);
    EXPECT_FALSE(f.model.UnitButtonEnabled());
    EXPECT_FALSE(f.model.SpinUpEnabled() || f.model.SpinDownEnabled());
    const int before = f.changes;
    f.model.SpinUp();
    f.model.NextUnit();
    EXPECT_EQ(f.Text(), "6,");
    EXPECT_EQ(f.model.CurrentUnit(), cUM_bar);
    EXPECT_EQ(f.changes, before);
    EXPECT_DOUBLE_EQ(f.model.Value(), 0.3e6);
    f.model.SetValue(0.5e6); // a program-side value repairs the text
    EXPECT_EQ(f.Text(), "5");
    EXPECT_TRUE(f.model.Valid());
    f.model.SetValue(0.9e6); // shown, not taken
    EXPECT_EQ(f.Text(), "9");
    EXPECT_DOUBLE_EQ(f.model.Value(), 0.5e6);
    EXPECT_EQ(f.model.Validity(), fvOutOfRange);
}

// A field without a range takes any finite value, but a readable text can still overflow
// when it is converted to the base unit: 1e308 km is more than a double holds.
TEST(FMU2Model, TextOverflowingInTheBaseUnitIsOutOfRange) {
    TField f(cNU_length, cUM_kilometer, 0, 0, 2000);
    ASSERT_FALSE(f.model.HasRange());
    ASSERT_EQ(f.model.CurrentUnit(), cUM_kilometer);
    EXPECT_EQ(f.Text(), "2");
    f.model.EditChange("1e305");
    EXPECT_TRUE(f.model.Valid());
    EXPECT_DOUBLE_EQ(f.model.Value(), 1e308);
    f.model.EditChange("1e308");
    EXPECT_EQ(f.model.Validity(), fvOutOfRange);
    EXPECT_DOUBLE_EQ(f.model.Value(), 1e308); // the last good value stays
    f.model.EditChange("-1e308");
    EXPECT_EQ(f.model.Validity(), fvOutOfRange);
    f.model.SetValue(cInf); // shown, never taken
    EXPECT_EQ(f.Text(), "INF");
    EXPECT_EQ(f.model.Validity(), fvOutOfRange);
    EXPECT_DOUBLE_EQ(f.model.Value(), 1e308);
    f.model.EditChange("3");
    EXPECT_TRUE(f.model.Valid());
    EXPECT_EQ(f.model.Value(), 3000);
}

TEST(FMU2Model, ClampingWithTolerance) {
    TField f(cNU_length, cUM_m, 1, 2, 1.5);
    struct Row {
        double x;
        double value; // Value afterwards; 1.5 where the value is refused
    };
    const Row rows[] = {{1 - 5e-10, 1}, {1 - 2e-9, 1.5},     {2 + 5e-10, 2}, {2 + 2e-9, 1.5},
                        {1.25, 1.25},   {std::nan(""), 1.5}, {-cInf, 1.5}};
    for (const Row& r : rows) {
        f.model.SetValue(1.5);
        f.model.SetValue(r.x);
        EXPECT_EQ(f.model.Value(), r.value) << r.x;
        EXPECT_EQ(f.model.Valid(), r.value != 1.5) << r.x;
    }
    f.model.SetValueZero(0.1);
    f.model.SetValue(0.95);
    EXPECT_EQ(f.model.Value(), 1);
    f.model.SetValue(1.2);
    f.model.SetValueMax(1.1); // lowering the maximum pulls Value down
    EXPECT_EQ(f.model.Value(), 1.1);
}

TEST(FMU2Model, KeyFilter) {
    TField temp(cNU_temperature, cUM_Kelvin, 0, 400, 300);
    EXPECT_FALSE(temp.model.KeyAllowed(U'-'));
    temp.model.SelectUnitIndex(UnitById(cUM_Celsius).Index);
    EXPECT_TRUE(temp.model.KeyAllowed(U'-'));
    temp.model.SelectUnitIndex(UnitById(cUM_Fahrenheit).Index);
    EXPECT_TRUE(temp.model.KeyAllowed(U'-'));
    TField negative(cNU_length, cUM_m, -1, 1, 0);
    EXPECT_TRUE(negative.model.KeyAllowed(U'-'));
    TField unbounded(cNU_length, cUM_m, 0, 0, 0);
    EXPECT_TRUE(unbounded.model.KeyAllowed(U'-'));
    TField pieces(cNU_pieces, cUM_Stk, 0, 0, 3);
    EXPECT_FALSE(pieces.model.KeyAllowed(U'.'));

    for (char32_t ch : {U' ', U'+', U'/', U'0', U'9', U'.', U'\b', char32_t(3), char32_t(22)})
        EXPECT_TRUE(unbounded.model.KeyAllowed(ch)) << int(ch);
    for (char32_t ch : {U'\r', U'a', U'e', U',', U'$', U'*', char32_t(0xB5), char32_t(0x7F)})
        EXPECT_FALSE(unbounded.model.KeyAllowed(ch)) << int(ch);
    {
        TSeparatorScope comma(',');
        EXPECT_TRUE(unbounded.model.KeyAllowed(U','));
        EXPECT_FALSE(unbounded.model.KeyAllowed(U'.'));
        EXPECT_FALSE(pieces.model.KeyAllowed(U','));
    }
    unbounded.model.SetEditorEnabled(false);
    for (char32_t ch : {U'\b', U' ', U'1', U'-'})
        EXPECT_FALSE(unbounded.model.KeyAllowed(ch)) << "code point " << static_cast<uint32_t>(ch);
    EXPECT_TRUE(unbounded.model.KeyAllowed(char32_t(3)));
    EXPECT_FALSE(unbounded.model.FilterKey(U'x'));
    EXPECT_EQ(unbounded.view.beeps, 1);
}

TEST(FMU2Model, UnitMenuAndCycling) {
    TField f(cNU_length, cUM_m, 0, 0, 1);
    const std::vector<TFMU2MenuItem> menu = f.model.UnitMenu();
    ASSERT_EQ(menu.size(), 4u + QuantityUnitCount(cNU_length));
    EXPECT_EQ(menu[0].Caption, "~SI-Units");
    EXPECT_TRUE(menu[0].Checked);
    EXPECT_EQ(menu[1].Caption, "~US-Units");
    EXPECT_FALSE(menu[1].Checked);
    EXPECT_EQ(menu[2].Caption, "~OldUnits");
    EXPECT_FALSE(menu[2].Visible);
    EXPECT_EQ(menu[3].Caption, "-");
    const TFMU2MenuItem& mm = menu[4 + UnitById(cUM_mm).Index];
    EXPECT_EQ(mm.Caption, "mm");
    EXPECT_EQ(mm.Hint, "0.001 m");
    EXPECT_EQ(mm.Tag, UnitById(cUM_mm).Index);
    EXPECT_TRUE(menu[4 + UnitById(cUM_m).Index].Checked);
    for (const TTavPhysicalUnit& u : QuantityUnits(cNU_length)) // no range: old units only hide
        EXPECT_EQ(f.model.UnitEntryVisible(u.Index), (u.Systems & usOld) == 0) << u.Symbol;

    auto cycle = [&](int steps) {
        std::vector<TNUMessurement> seen;
        for (int i = 0; i < steps; ++i) {
            f.model.NextUnit();
            seen.push_back(f.model.CurrentUnit());
        }
        return seen;
    };
    f.model.SetValueAbsMin(1e-4); // without a range every unit still fits
    EXPECT_EQ(cycle(8),
              (std::vector<TNUMessurement>{cUM_dm, cUM_cm, cUM_mm, cUM_micrometer, cUM_nanometer,
                                           cUM_picometer, cUM_kilometer, cUM_m}));
    EXPECT_EQ(f.model.Value(), 1);

    f.model.SetValueMax(2); // fit test: absMin 1e-4 m, maxAbs 2 m, 3 decimals
    f.model.SetDecimals(3);
    EXPECT_TRUE(f.model.UnitEntryVisible(UnitById(cUM_mm).Index));
    EXPECT_TRUE(f.model.UnitEntryVisible(UnitById(cUM_kilometer).Index));
    EXPECT_FALSE(f.model.UnitEntryVisible(UnitById(cUM_micrometer).Index));
    EXPECT_EQ(cycle(5),
              (std::vector<TNUMessurement>{cUM_dm, cUM_cm, cUM_mm, cUM_kilometer, cUM_m}));

    f.model.SetValueMax(0);
    f.model.UnitMenuClick(TFMU2Model::cUnitMenuUS);
    EXPECT_EQ(f.model.CurrentUnit(), cUM_ft);
    EXPECT_EQ(cycle(5),
              (std::vector<TNUMessurement>{cUM_yd, cUM_in, cUM_microInch, cUM_milliInch, cUM_ft}));
    f.model.SetOldUnitsEnabled(true);
    f.model.UnitMenuClick(TFMU2Model::cUnitMenuOld);
    EXPECT_TRUE(f.model.OldUnitsVisible());
    EXPECT_TRUE(f.model.UnitEntryVisible(UnitById(cUM_rod).Index));
    EXPECT_EQ(cycle(2), (std::vector<TNUMessurement>{cUM_yd, cUM_rod}));
    f.model.UnitMenuClick(TFMU2Model::cUnitMenuFirstUnit + UnitById(cUM_cm).Index);
    EXPECT_EQ(f.model.CurrentUnit(), cUM_cm);
    EXPECT_EQ(f.Text(), "100.000");

    TField none(cNU_NoUnit, cUM_NoUnit, 0, 0, 1);
    none.model.SetSIUnits(false);
    none.model.NextUnit();
    EXPECT_EQ(none.model.CurrentUnit(), cUM_NoUnit);
    EXPECT_FALSE(none.model.UnitButtonVisible());
}

TEST(FMU2Model, UnitSystemsPreferredUnitsAndHint) {
    TField f(cNU_length, cUM_mm, 0, 0, 0.0254);
    std::vector<bool> unitChanges;
    f.model.OnUnitChange = [&](bool si) { unitChanges.push_back(si); };
    f.model.ApplySIUnitsAll(false); // not an automatic field
    EXPECT_EQ(f.model.CurrentUnit(), cUM_mm);
    f.model.SetAutoUnitChange(true);
    f.model.SetPreferredUSUnit(cUM_in);
    f.model.ApplySIUnitsAll(SIUnitsOfMeasure("1"));
    EXPECT_EQ(f.model.CurrentUnit(), cUM_in);
    EXPECT_EQ(f.Text(), "1");
    f.model.ApplySIUnitsAll(SIUnitsOfMeasure("0"));
    f.model.ApplySIUnitsAll(true); // unchanged: no event
    EXPECT_EQ(unitChanges, (std::vector<bool>{false, true}));
    EXPECT_EQ(f.model.Value(), 0.0254);

    f.model.SetPreferredSIUnit(cUM_bar); // not a length: the SI default is shown
    EXPECT_EQ(f.model.CurrentUnit(), cUM_m);
    f.model.SetNormUnit(cNU_pressure);
    EXPECT_EQ(f.model.PreferredSIUnit(), cUM_bar); // belongs to pressure now
    EXPECT_EQ(f.model.PreferredUSUnit(), cUM_psi);
    EXPECT_EQ(f.model.CurrentUnit(), cUM_bar);

    f.model.SetMUHint("Working pressure");
    EXPECT_EQ(f.model.UnitButtonHint(), "1 bar = 1e5 Pa\rWorking pressure");
    f.model.SetNormUnit(cNU_length);
    EXPECT_EQ(f.model.UnitButtonHint(), "Working pressure"); // "m" has no description
    f.model.SetMUHint("");
    EXPECT_EQ(f.model.UnitButtonHint(), "");
}

TEST(FMU2Model, Increments) {
    TField f(cNU_length, cUM_mm, 0, 0, 0.01);
    auto checked = [&] {
        std::vector<std::string> on;
        for (const TFMU2MenuItem& item : f.model.IncrementMenu())
            if (item.Checked) on.push_back(item.Caption);
        return on;
    };
    EXPECT_EQ(checked(), std::vector<std::string>{"1"});
    f.model.IncrementMenuClick(5);
    EXPECT_EQ(f.model.Increment(), 0.5);
    EXPECT_EQ(checked(), std::vector<std::string>{"0.5"});
    f.model.SpinUp();
    EXPECT_EQ(f.Text(), "10.5");

    std::vector<std::string> list(QuantityUnitCount(cNU_length), "x");
    list[UnitById(cUM_mm).Index] = "5";
    list[UnitById(cUM_in).Index] = "1/8";
    list[UnitById(cUM_cm).Index] = "-2";
    f.model.SetIncrements(list);
    EXPECT_EQ(f.model.Increment(), 5);
    // The list is read when it is assigned, never on a unit switch: a step chosen in the
    // menu survives a round trip through other units.
    f.model.SelectUnitIndex(UnitById(cUM_in).Index);
    EXPECT_EQ(f.model.Increment(), 5);
    f.model.IncrementMenuClick(1);
    f.model.SelectUnitIndex(UnitById(cUM_cm).Index);
    f.model.SelectUnitIndex(UnitById(cUM_mm).Index);
    EXPECT_EQ(f.model.Increment(), 0.1);
    f.model.SetSIUnits(false);
    f.model.SetSIUnits(true);
    EXPECT_EQ(f.model.Increment(), 0.1);
    // Assigned while another unit is shown, the list gives that unit's step; an entry that
    // is no positive number, or none at all, gives 1.
    f.model.SelectUnitIndex(UnitById(cUM_in).Index);
    f.model.SetIncrements(list);
    EXPECT_EQ(f.model.Increment(), 0.125);
    f.model.SelectUnitIndex(UnitById(cUM_cm).Index);
    f.model.SetIncrements(list);
    EXPECT_EQ(f.model.Increment(), 1);
    f.model.SelectUnitIndex(UnitById(cUM_m).Index);
    f.model.SetIncrements(list);
    EXPECT_EQ(f.model.Increment(), 1);
    f.model.SelectUnitIndex(UnitById(cUM_mm).Index);
    f.model.SetIncrements({});
    EXPECT_EQ(f.model.Increment(), 1);
}

TEST(FMU2Model, ChangeNotification) {
    TField f(cNU_length, cUM_m, 0, 10, 20); // Loaded brings the value into the range …
    EXPECT_EQ(f.model.Value(), 10);
    EXPECT_EQ(f.Text(), "10");
    EXPECT_EQ(f.changes, 0); // … without a change event
    f.model.SetValue(3);
    EXPECT_EQ(f.changes, 1);
    f.model.SetChangeOnSetValue(false);
    f.model.SetValue(4);
    EXPECT_EQ(f.changes, 1);
    EXPECT_EQ(f.model.Value(), 4);

    f.model.OnChange = [&] {
        ++f.changes;
        f.model.SetValue(9); // ignored while the handler runs
        f.model.SetValueMax(1);
        f.model.SpinUp(); // no nested change event
    };
    f.model.EditChange("5");
    EXPECT_EQ(f.changes, 2);
    EXPECT_EQ(f.model.ValueMax(), 10);
    f.model.OnChange = [&] { ++f.changes; };
    f.model.SpinUp();
    EXPECT_EQ(f.changes, 3);
    // Once a change was requested, every release of the spin lock raises the event: also
    // a spin of a read-only field, which only beeps, and a spin stopped at the maximum.
    f.model.SetReadOnly(true);
    f.model.SpinUp();
    EXPECT_EQ(f.view.beeps, 1);
    EXPECT_EQ(f.changes, 4);
    f.model.EditChange("2"); // a read-only field takes no text; no lock, no event
    EXPECT_EQ(f.changes, 4);
    EXPECT_EQ(f.model.Value(), 6);
    f.model.SetReadOnly(false);
    f.model.SetValueMax(6);
    const int before = f.changes;
    f.model.SpinUp();
    EXPECT_EQ(f.model.Value(), 6);
    EXPECT_EQ(f.changes, before + 1);
    f.model.SetValueMax(10);
    f.model.SetReadOnly(false);
    f.model.SetEnabled(false);
    f.model.EditChange("2");
    EXPECT_EQ(f.model.Value(), 6);
}

TEST(FMU2Model, RoundedCounts) {
    TField f(cNU_pieces, cUM_Stk, 0, 0, 0);
    const std::pair<double, int64_t> rows[] = {{2.5, 2},
                                               {3.5, 4},
                                               {-2.5, -2},
                                               {1e300, std::numeric_limits<int64_t>::max()},
                                               {-1e300, std::numeric_limits<int64_t>::min()}};
    for (auto [x, n] : rows) {
        f.model.SetValue(x);
        EXPECT_EQ(f.model.ValueRounded(), n) << x;
    }
    f.model.SetValueInt(7);
    EXPECT_EQ(f.Text(), "7");
    // Not a number is not taken, even without a range: the count stays.
    f.model.SetValue(std::nan(""));
    EXPECT_EQ(f.model.ValueRounded(), 7);
    EXPECT_FALSE(f.model.Valid());
    // Only a value set while loading is taken as it is.
    f.model.BeginLoad();
    f.model.SetValue(std::nan(""));
    f.model.Loaded();
    EXPECT_EQ(f.model.ValueRounded(), 0);
    EXPECT_FALSE(f.model.Valid());
}

// What a loaded value is judged by: only finite values within the range are valid, and a
// count with a range must be whole, however the value arrives.
TEST(FMU2Model, AcceptsOnlyValuesAUserCouldEnter) {
    TField mass(cNU_mass, cUM_kg, 0, cInf, 2); // no upper limit
    EXPECT_TRUE(mass.model.Accepts(1e300));
    EXPECT_FALSE(mass.model.Accepts(cInf));
    EXPECT_FALSE(mass.model.Accepts(std::nan("")));
    EXPECT_FALSE(mass.model.Accepts(-1));
    mass.model.SetValue(cInf); // shown, not taken
    EXPECT_EQ(mass.model.Value(), 2);
    EXPECT_EQ(mass.model.Validity(), fvOutOfRange);
    mass.model.SetValue(3);
    EXPECT_TRUE(mass.model.Valid());

    TField count(cNU_pieces, cUM_Stk, 1, 100, 1);
    EXPECT_TRUE(count.model.Accepts(100));
    EXPECT_FALSE(count.model.Accepts(101));
    EXPECT_FALSE(count.model.Accepts(2147483647.0));
    EXPECT_FALSE(count.model.Accepts(2.5));
    // The key filter keeps the separator out, but a fraction still reads: 5/2 = 2.5.
    count.model.EditChange("5/2");
    EXPECT_EQ(count.model.Validity(), fvOutOfRange);
    EXPECT_EQ(count.model.Value(), 1);
    count.model.EditChange("4/2");
    EXPECT_TRUE(count.model.Valid());
    EXPECT_EQ(count.model.Value(), 2);
}

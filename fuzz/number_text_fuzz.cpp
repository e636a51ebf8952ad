// Input: two options bytes, then the text typed into a value field. A text that reads gives
// a finite number (a failed read leaves the value alone); the text formatted from it reads
// back within the shown precision and, unless a rounded fixed text came closer to a
// fraction, formats to the same text again. A field model typed into is valid exactly when
// the text reads and its base value lies within the range, and then holds that value.
//
// Byte 0: decimals (bits 0-5, -18 … 18), fractions shown (bit 6), "," as separator (bit 7).
// Byte 1: quantity (bits 0-4), range (bits 5-7); byte 2: unit index.

#include "core/quantities/float_converter.h"
#include "core/quantities/units.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void Broken(const char* what, const std::string& text, double a, double b) {
    std::fprintf(stderr, "invariant broken: %s\n text \"%s\" %.17g %.17g\n", what, text.c_str(), a,
                 b);
    std::abort();
}

void CheckRoundTrip(const std::string& text, int decimals, bool divisor, char sep) {
    constexpr double cSentinel = -12345.678;
    double v = cSentinel;
    if (!TTavFloatConverter::ParseText(text, v, sep)) {
        if (v != cSentinel) Broken("failed read changed the value", text, v, cSentinel);
        return;
    }
    if (!std::isfinite(v)) Broken("read a number that is not finite", text, v, 0);

    const std::string shown = TTavFloatConverter::FormatText(v, decimals, divisor, sep);
    double back = cSentinel;
    if (!TTavFloatConverter::ParseText(shown, back, sep))
        Broken(("formatted text does not read: " + shown).c_str(), text, v, 0);
    const int places = decimals < 0 ? -decimals : decimals;
    const double limit = std::pow(10.0, -std::min(places, 18)) + 1e-12 * std::fabs(v);
    if (!(std::fabs(back - v) <= limit))
        Broken(("formatted text reads back too far off: " + shown).c_str(), text, v, back);
    if ((!divisor || shown.find('/') != std::string::npos) &&
        TTavFloatConverter::FormatText(back, decimals, divisor, sep) != shown)
        Broken(("formatted text is not stable: " + shown).c_str(), text, v, back);
}

void CheckConverter(const std::string& text, int decimals, bool divisor) {
    TTavFloatConverter c;
    c.SetDecimals(decimals);
    c.SetDivisor(divisor);
    int floats = 0;
    c.OnFloatChange = [&] { ++floats; };
    if (text == c.Text()) return; // the text it shows already is not read again
    const double before = c.Value();
    c.SetText(text);
    double v = before;
    const bool reads = TTavFloatConverter::ParseText(text, v);
    if (c.Text() != text || floats != 1)
        Broken("converter does not take the text", text, floats, 0);
    if (c.Valid() != reads) Broken("converter validity differs from the read", text, reads, 0);
    if (c.Value() != v) Broken("converter value", text, c.Value(), v);
}

void CheckModel(const std::string& text, int decimals, bool divisor, int quantity, int range,
                int unitIndex) {
    static const double ranges[8][2] = {{0, 0},          {0, 10}, {-273.15, 1000}, {1e-3, 1e6},
                                        {-1e300, 1e300}, {1, 1},  {-5, -1},        {0, 1e-9}};
    TFMU2Model model;
    model.BeginLoad();
    model.SetNormUnit(static_cast<TNormUnit>(quantity));
    model.SetDecimals(decimals);
    model.SetDivisor(divisor);
    model.SetValueMin(ranges[range][0]);
    model.SetValueMax(ranges[range][1]);
    model.SetValue(ranges[range][0]);
    model.Loaded();
    model.SelectUnitIndex(unitIndex % model.UnitCount());
    if (model.Converter().Text() == text) return; // typing what is shown changes nothing
    const double before = model.Value();

    model.EditChange(text);
    double v = 0;
    const bool reads = TTavFloatConverter::ParseText(text, v);
    if (model.Converter().Text() != text) Broken("field does not take the text", text, 0, 0);
    const double base = reads ? model.Clamp(ToBaseUnit(model.CurrentUnit(), v)) : 0.0;
    // A count with a range takes whole numbers only ("1/2" and ".5" read, but no one can
    // order half a piece).
    const bool whole = model.NormUnit() != cNU_pieces || !model.HasRange() || base == std::nearbyint(base);
    const bool valid = reads && model.InRange(base) && whole;
    if (model.Valid() != valid) Broken("field validity", text, model.Valid(), valid);
    if (reads && !valid && !model.OutOfRange())
        Broken("readable text not out of range", text, 0, 0);
    if (valid && model.Value() != base) Broken("field value", text, model.Value(), base);
    if (model.Valid() && !std::isfinite(model.Value()))
        Broken("valid field holds a value that is not finite", text, model.Value(), v);
    if (!valid && model.Value() != before)
        Broken("invalid text changed the value", text, model.Value(), before);
    if (model.HasRange() &&
        !(model.Value() >= model.ValueMin() && model.Value() <= model.ValueMax()))
        Broken("field value outside its range", text, model.Value(), model.ValueMin());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int decimals = (data[0] & 0x3F) % 37 - 18;
    const bool divisor = (data[0] & 0x40) != 0;
    const char sep = (data[0] & 0x80) ? ',' : '.';
    const int quantity = (data[1] & 0x1F) % cNormUnitCount;
    const int range = data[1] >> 5;
    const int unitIndex = data[2];
    const std::string text(reinterpret_cast<const char*>(data) + 3, size - 3);

    CheckRoundTrip(text, decimals, divisor, sep);
    CheckConverter(text, decimals, divisor);
    CheckModel(text, decimals, divisor, quantity, range, unitIndex);
    return 0;
}

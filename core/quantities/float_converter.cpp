#include "core/quantities/float_converter.h"

#include "core/util/flag_scope.h"

#include "core/quantities/prj_strings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// Optional sign (unless `unsignedOnly`) and at least one decimal digit, nothing else.
bool ReadInteger(std::string_view s, int64_t& value, bool unsignedOnly) {
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        if (unsignedOnly) return false;
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || !std::all_of(s.begin(), s.end(), IsDigit)) return false;
    int64_t magnitude = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude);
    if (ec != std::errc() || ptr != s.data() + s.size()) return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

// A decimal number with `sep` as separator and an optional exponent. A number too large
// for a double does not read; one too small reads as zero.
bool ReadDecimal(std::string_view s, char sep, double& value) {
    std::string plain;
    plain.reserve(s.size());
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (negative) plain.push_back('-');
    int intDigits = 0;    // significant digits before the separator
    int leadingZeros = 0; // zeros after the separator before the first significant digit
    bool significant = false;
    int digitCount = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i, ++digitCount) {
        plain.push_back(s[i]);
        if (s[i] != '0') significant = true;
        if (significant) ++intDigits;
    }
    if (i < s.size() && s[i] == sep) {
        plain.push_back('.');
        for (++i; i < s.size() && IsDigit(s[i]); ++i, ++digitCount) {
            plain.push_back(s[i]);
            if (!significant && s[i] == '0') ++leadingZeros;
            if (s[i] != '0') significant = true;
        }
    }
    if (digitCount == 0) return false;
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        plain.push_back('e');
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            expNegative = s[i] == '-';
            plain.push_back(s[i++]);
        }
        const size_t expStart = i;
        for (; i < s.size() && IsDigit(s[i]); ++i) {
            plain.push_back(s[i]);
            // Saturates: only the sign and rough size matter beyond this.
            if (exponent < 100000) exponent = exponent * 10 + (s[i] - '0');
        }
        if (i == expStart) return false;
        if (expNegative) exponent = -exponent;
    }
    if (i != s.size()) return false;

    double v = 0.0;
    const char* first = plain.data();
    const char* last = plain.data() + plain.size();
    auto [ptr, ec] = std::from_chars(first, last, v);
    if (ptr != last) return false;
    if (ec == std::errc::result_out_of_range) {
        if (!significant) {
            v = 0.0;
        } else {
            // Decimal exponent of the first significant digit decides overflow or underflow.
            const long long magnitude =
                (intDigits > 0 ? intDigits - 1 : -(leadingZeros + 1)) + exponent;
            if (magnitude > 0) return false;
            v = 0.0;
        }
        if (negative) v = -v;
    } else if (ec != std::errc()) {
        return false;
    }
    if (!std::isfinite(v)) return false;
    value = v;
    return true;
}

// The fraction text of `x` (b/n with n = 1, 2, 4 … 64 as allowed by `places`), or empty
// when no denominator comes close enough.
std::string FractionText(double x, int places, char sep) {
    const double tolerance = std::pow(10.0, -places);
    for (int k = 0; k < 7 && k <= places; ++k) {
        const int n = 1 << k;
        const double y = x * n;
        const double b = RoundHalfEven(y);
        // Written so that NaN and infinities never qualify.
        if (!(tolerance > std::fabs(y - b) / n)) continue;
        if (std::fmod(b, n) == 0.0) return FormatFixed(b / n, 18, 0, sep);
        // Not a whole number, so |x| < 2^52 and b fits; the guard only keeps the cast defined.
        if (std::fabs(b) >= 9.0e18) return {};
        const int64_t whole = static_cast<int64_t>(b);
        const int64_t magnitude = whole < 0 ? -whole : whole;
        const int64_t q = magnitude / n;
        const int64_t r = magnitude % n;
        // The sign goes on the whole number only: "-1 3/8" reads back as -(1 + 3/8).
        std::string text = whole < 0 ? "-" : "";
        if (q != 0) text += std::to_string(q) + " ";
        text += std::to_string(r) + "/" + std::to_string(n);
        return text;
    }
    return {};
}

} // namespace

// --- TTavFloatConverter -------------------------------------------------------------------

std::string TTavFloatConverter::FormatText(double x, int decimals, bool divisor, char sep) {
    decimals = std::clamp(decimals, -18, 18);
    const int places = decimals < 0 ? -decimals : decimals;
    std::string text;
    if (divisor) text = FractionText(x, places, sep);
    if (text.empty()) text = FormatFixed(x, 18, places, sep);
    // Only fixed notation is trimmed: the exponent of "1.5E20" must keep its digits.
    if (decimals < 0 && text.find(sep) != std::string::npos &&
        text.find('E') == std::string::npos) {
        while (!text.empty() && text.back() == '0') text.pop_back();
        if (!text.empty() && text.back() == sep) text.pop_back();
    }
    return text;
}

bool TTavFloatConverter::ParseText(std::string_view text, double& value, char sep) {
    text = TrimBlanks(text);
    const size_t blank = text.find(' ');
    const size_t slash = text.find('/');
    if (slash != std::string_view::npos && blank != std::string_view::npos &&
        slash < text.rfind(' '))
        return false;
    if (!text.empty() && text.back() == '/') return false;
    if (blank == std::string_view::npos && slash == std::string_view::npos)
        return ReadDecimal(text, sep, value);

    // Mixed number "w p/q" or fraction "p/q". After the trim a blank is never first.
    bool hasWhole = false;
    bool negativeWhole = false;
    int64_t whole = 0;
    if (blank != std::string_view::npos) {
        if (!ReadInteger(text.substr(0, blank), whole, false)) return false;
        hasWhole = true;
        negativeWhole = text.front() == '-'; // also "-0 1/2"
        text = TrimBlanks(text.substr(blank + 1));
    }
    if (text.empty()) {
        value = static_cast<double>(whole);
        return true;
    }
    const size_t bar = text.find('/');
    if (bar == std::string_view::npos) return false;
    int64_t p = 0;
    int64_t q = 0;
    // Behind a whole number the sign belongs to the whole number alone.
    if (!ReadInteger(text.substr(0, bar), p, hasWhole) ||
        !ReadInteger(text.substr(bar + 1), q, hasWhole) || q == 0)
        return false;
    const double fraction = static_cast<double>(p) / static_cast<double>(q);
    if (!hasWhole) {
        value = fraction;
    } else {
        value = negativeWhole ? static_cast<double>(whole) - fraction
                              : static_cast<double>(whole) + fraction;
    }
    return true;
}

void TTavFloatConverter::SetDecimals(int decimals) {
    decimals = std::clamp(decimals, -18, 18);
    if (decimals == FDecimals) return;
    FDecimals = decimals;
    Reformat();
}

void TTavFloatConverter::SetDivisor(bool divisor) {
    if (divisor == FDivisor) return;
    FDivisor = divisor;
    Reformat();
}

void TTavFloatConverter::Reformat() {
    // A text the user is typing that does not read is left alone.
    if (FBusy || !FValid) return;
    TFlagScope busy(FBusy);
    FText = FormatText(FValue, FDecimals, FDivisor);
    if (OnStringChange) OnStringChange();
}

void TTavFloatConverter::SetValue(double x) {
    // An unreadable text is replaced even by an equal value: the caller wants it shown.
    if (FBusy || (x == FValue && FValid)) return;
    // Busy until the handler returns, so that the text it puts into the edit is not read
    // back (which would lose the digits the text does not show).
    TFlagScope busy(FBusy);
    FValue = x;
    FValid = true;
    FText = FormatText(x, FDecimals, FDivisor);
    if (OnStringChange) OnStringChange();
}

void TTavFloatConverter::SetText(std::string_view text) {
    if (FBusy || text == FText) return;
    TFlagScope busy(FBusy);
    FText.assign(text);
    double v = 0.0;
    FValid = ParseText(FText, v);
    if (FValid) FValue = v;
    if (OnFloatChange) OnFloatChange();
}

// --- TFMU2Model ---------------------------------------------------------------------------

const char* const TFMU2Model::cIncrementCaptions[cIncrementCount] = {"0.1", "0.5", "1",  "5",
                                                                     "10",  "50",  "100"};
const int TFMU2Model::cIncrementTags[cIncrementCount] = {1, 5, 10, 50, 100, 500, 1000};

TFMU2Model::TFMU2Model(TFMU2View* view) : FView(view) {
    FConverter.OnStringChange = [this] { ShowText(); };
    FConverter.OnFloatChange = [this] { TakeText(); };
}

double TFMU2Model::Clamp(double x) const {
    if (!HasRange()) return x;
    if (x < FValueMin && x >= FValueMin - FValueZero) return FValueMin;
    if (x > FValueMax && x <= FValueMax + FValueZero) return FValueMax;
    return x;
}

bool TFMU2Model::InRange(double x) const {
    // A finite text can still overflow in the base unit (1e308 km); no field holds that.
    if (!std::isfinite(x)) return false;
    return !HasRange() || (x >= FValueMin && x <= FValueMax);
}

bool TFMU2Model::Accepts(double x) const {
    if (!std::isfinite(x) || !InRange(x)) return false;
    // A count field refuses the decimal separator, yet "5/2" can still be typed.
    return FNormUnit != cNU_pieces || !HasRange() || x == std::nearbyint(x);
}

double TFMU2Model::DisplayBase() const {
    return Clamp(ToBaseUnit(FUnit, FConverter.Value()));
}

void TFMU2Model::SetValue(double x) {
    if (FInOnChange) return;
    if (FLoading) {
        // The range may not be set up yet; Loaded brings the value into it.
        FValue = x;
        FConverter.SetValue(FromBaseUnit(FUnit, x));
        return;
    }
    x = Clamp(x);
    if (Accepts(x)) FValue = x;
    FConverter.SetValue(FromBaseUnit(FUnit, x));
    if (FChangeOnSetValue)
        TakeText();
    else
        Revalidate();
}

int64_t TFMU2Model::ValueRounded() const {
    const double r = RoundHalfEven(FValue);
    if (std::isnan(r)) return 0;
    constexpr double cLimit = 9223372036854775808.0; // 2^63
    if (r >= cLimit) return std::numeric_limits<int64_t>::max();
    if (r < -cLimit) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(r);
}

void TFMU2Model::SetValueMin(double x) {
    if (FInOnChange || x == FValueMin) return;
    FValueMin = x;
    if (FLoading) return;
    if (HasRange() && FValue < x) SetValue(x);
    TakeText();
    NotifyUnits();
}

void TFMU2Model::SetValueMax(double x) {
    if (FInOnChange || x == FValueMax) return;
    FValueMax = x;
    if (FLoading) return;
    if (HasRange() && FValue > x) SetValue(x);
    TakeText();
    NotifyUnits();
}

void TFMU2Model::SetValueAbsMin(double x) {
    FValueAbsMin = x;
    if (!FLoading) NotifyUnits();
}

void TFMU2Model::SetDecimals(int decimals) {
    FConverter.SetDecimals(decimals);
    // The decimals take part in the unit fit test.
    if (!FLoading) NotifyUnits();
}

void TFMU2Model::SetMUHint(std::string hint) {
    FMUHint = std::move(hint);
    if (!FLoading) NotifyUnits();
}

// --- units ------------------------------------------------------------------------------

TNUMessurement TFMU2Model::PreferredUnit(bool si) const {
    const TNUMessurement preferred = si ? FPreferredSIUnit : FPreferredUSUnit;
    return QuantityOfUnit(preferred) == FNormUnit ? preferred : DefaultUnit(FNormUnit, si);
}

void TFMU2Model::SetNormUnit(TNormUnit quantity) {
    DefaultUnit(quantity, true); // rejects a quantity outside the registry
    FNormUnit = quantity;
    if (QuantityOfUnit(FPreferredSIUnit) != quantity)
        FPreferredSIUnit = DefaultUnit(quantity, true);
    if (QuantityOfUnit(FPreferredUSUnit) != quantity)
        FPreferredUSUnit = DefaultUnit(quantity, false);
    SelectUnit(PreferredUnit(FSIUnits));
}

void TFMU2Model::SetSIUnits(bool si) {
    if (si == FSIUnits) return;
    FSIUnits = si;
    SelectUnit(PreferredUnit(si));
    if (!FLoading && OnUnitChange) OnUnitChange(si);
}

void TFMU2Model::SetPreferredSIUnit(TNUMessurement unit) {
    UnitById(unit); // rejects an identifier outside the registry
    FPreferredSIUnit = unit;
    if (FSIUnits) SelectUnit(PreferredUnit(true));
}

void TFMU2Model::SetPreferredUSUnit(TNUMessurement unit) {
    UnitById(unit);
    FPreferredUSUnit = unit;
    if (!FSIUnits) SelectUnit(PreferredUnit(false));
}

void TFMU2Model::SetOldUnitsEnabled(bool b) {
    FOldUnitsEnabled = b;
    if (!FLoading) NotifyUnits();
}

void TFMU2Model::SetOldUnitsVisible(bool b) {
    FOldUnitsVisible = b;
    if (!FLoading) NotifyUnits();
}

void TFMU2Model::ApplySIUnitsAll(bool si) {
    if (FAutoUnitChange) SetSIUnits(si);
}

int TFMU2Model::UnitIndex() const {
    return UnitById(FUnit).Index;
}

int TFMU2Model::UnitCount() const {
    return QuantityUnitCount(FNormUnit);
}

void TFMU2Model::SelectUnitIndex(int index) {
    const std::vector<TTavPhysicalUnit>& units = QuantityUnits(FNormUnit);
    if (index < 0 || index >= static_cast<int>(units.size())) return;
    SelectUnit(units[index].Id);
}

void TFMU2Model::SelectUnit(TNUMessurement unit) {
    FUnit = unit;
    if (FLoading) return;
    // The step stays: it is read from Increments only when they are assigned, so a step
    // chosen in the increment menu survives a unit round trip.
    NotifyUnits();
    ShowValue();
}

void TFMU2Model::ShowValue() {
    FConverter.SetValue(FromBaseUnit(FUnit, FValue));
    Revalidate();
}

void TFMU2Model::NotifyUnits() {
    if (FView) FView->ShowUnits();
}

void TFMU2Model::FitRange(double& absMin, double& maxAbs) const {
    if (!HasRange() || FValueAbsMin == 0.0) {
        absMin = maxAbs = 0.0;
        return;
    }
    absMin = FValueAbsMin;
    maxAbs = std::max(std::fabs(FValueMin), std::fabs(FValueMax));
}

bool TFMU2Model::UnitEntryVisible(int index) const {
    const std::vector<TTavPhysicalUnit>& units = QuantityUnits(FNormUnit);
    if (index < 0 || index >= static_cast<int>(units.size())) return false;
    const TTavPhysicalUnit& unit = units[index];
    if ((unit.Systems & usOld) != 0 && !OldUnitsShown()) return false;
    double absMin = 0.0;
    double maxAbs = 0.0;
    FitRange(absMin, maxAbs);
    return UnitFitsRange(unit.Id, Decimals(), absMin, maxAbs);
}

void TFMU2Model::NextUnit() {
    // Cycling is off while the text does not read, as is the unit button.
    if (!FConverter.Valid()) return;
    int index = UnitIndex();
    const int start = index;
    double absMin = 0.0;
    double maxAbs = 0.0;
    FitRange(absMin, maxAbs);
    const TUnitSystems required = FSIUnits ? usMetric : usUS;
    // The same units as the menu offers: old ones only while they are shown.
    const TUnitSystems excluded = OldUnitsShown() ? 0 : usOld;
    NextFittingUnit(FNormUnit, index, 1, Decimals(), required, excluded, absMin, maxAbs);
    if (index != start) SelectUnitIndex(index);
}

std::vector<TFMU2MenuItem> TFMU2Model::UnitMenu() const {
    std::vector<TFMU2MenuItem> menu;
    menu.push_back({"~SI-Units", "", -1, FSIUnits, true});
    menu.push_back({"~US-Units", "", -1, !FSIUnits, true});
    menu.push_back({"~OldUnits", "", -1, FOldUnitsVisible, FOldUnitsEnabled});
    menu.push_back({"-", "", -1, false, true});
    const std::vector<TTavPhysicalUnit>& units = QuantityUnits(FNormUnit);
    for (const TTavPhysicalUnit& unit : units)
        menu.push_back({unit.Symbol, unit.Description, unit.Index, unit.Id == FUnit,
                        UnitEntryVisible(unit.Index)});
    return menu;
}

void TFMU2Model::UnitMenuClick(int entry) {
    switch (entry) {
    case cUnitMenuSI:
        SetSIUnits(true);
        break;
    case cUnitMenuUS:
        SetSIUnits(false);
        break;
    case cUnitMenuOld:
        SetOldUnitsVisible(!FOldUnitsVisible);
        break;
    default:
        if (entry >= cUnitMenuFirstUnit) SelectUnitIndex(entry - cUnitMenuFirstUnit);
        break;
    }
}

const std::string& TFMU2Model::UnitCaption() const {
    return UnitById(FUnit).Symbol;
}

std::string TFMU2Model::UnitButtonHint() const {
    const TTavPhysicalUnit& unit = UnitById(FUnit);
    if (unit.Description.empty()) return FMUHint;
    std::string hint = "1 " + unit.Symbol + " = " + unit.Description;
    if (!FMUHint.empty()) hint += "\r" + FMUHint;
    return hint;
}

// --- entry field ------------------------------------------------------------------------

bool TFMU2Model::KeyAllowed(char32_t ch) const {
    // A field whose editor is off takes no text at all, the blank included.
    if (!FEditorEnabled && (ch == U'\b' || ch >= U' ')) return false;
    if (ch < U' ') return ch != U'\r';
    if (ch == U' ' || ch == U'+' || ch == U'/' || (ch >= U'0' && ch <= U'9')) return true;
    if (ch == static_cast<unsigned char>(DecimalSeparator())) return FNormUnit != cNU_pieces;
    if (ch == U'-') {
        // Below the base unit's zero there may still be negative numbers (ºC, ºF).
        const bool nonNegative = HasRange() && FValueMin >= 0.0;
        return !nonNegative || UnitById(FUnit).Offset != 0.0;
    }
    return false;
}

bool TFMU2Model::FilterKey(char32_t ch) {
    const bool allowed = KeyAllowed(ch);
    if (!allowed && FView) FView->Beep();
    return allowed;
}

void TFMU2Model::EditChange(std::string_view text) {
    if (!FEnabled || FReadOnly || FLoading) return;
    FConverter.SetText(text);
}

bool TFMU2Model::SpinUpEnabled() const {
    return FConverter.Valid() && (!HasRange() || DisplayBase() < FValueMax);
}

bool TFMU2Model::SpinDownEnabled() const {
    return FConverter.Valid() && !(HasRange() && DisplayBase() <= FValueMin);
}

void TFMU2Model::Spin(int direction) {
    // The arrow keys and the wheel spin too; like the buttons they do nothing while the
    // text of a writable field does not read: no spin, so no lock and no change event.
    if (!FEnabled || (!FReadOnly && !FConverter.Valid())) return;
    ++FChangeLock;
    if (FReadOnly) {
        if (FView) FView->Beep();
    } else {
        double a = FConverter.Value() + direction * FIncrement;
        if (HasRange()) {
            if (direction > 0)
                a = std::min(a, FromBaseUnit(FUnit, FValueMax));
            else
                a = std::max(a, FromBaseUnit(FUnit, FValueMin));
        }
        FConverter.SetValue(a);
        TakeText();
    }
    --FChangeLock;
    if (FChangeLock == 0 && FChangePending) RaiseChange();
}

double TFMU2Model::IncrementOfUnit(int index) const {
    if (index < 0 || index >= static_cast<int>(FIncrements.size())) return 1.0;
    const double x = ReadFractionNumber(FIncrements[index], 1.0);
    // A step that does not move the value up is no step.
    return std::isfinite(x) && x > 0.0 ? x : 1.0;
}

void TFMU2Model::SetIncrements(std::vector<std::string> increments) {
    FIncrements = std::move(increments);
    FIncrement = IncrementOfUnit(UnitIndex());
}

std::vector<TFMU2MenuItem> TFMU2Model::IncrementMenu() const {
    std::vector<TFMU2MenuItem> menu;
    for (int i = 0; i < cIncrementCount; ++i)
        menu.push_back({cIncrementCaptions[i], "", cIncrementTags[i],
                        ReadNumber(cIncrementCaptions[i]) == FIncrement, true});
    return menu;
}

void TFMU2Model::IncrementMenuClick(int tag) {
    if (tag > 0) FIncrement = tag / 10.0;
}

// --- change notification ----------------------------------------------------------------

void TFMU2Model::ShowText() {
    if (FView) FView->ShowText(FConverter.Text());
}

void TFMU2Model::TakeText() {
    // An unreadable text leaves Value at its last good value and requests nothing.
    if (FConverter.Valid()) {
        const double base = DisplayBase();
        if (Accepts(base)) {
            FValue = base;
            RequestChange();
        }
    }
    Revalidate();
}

void TFMU2Model::Revalidate() {
    TFMU2Validity validity = fvValid;
    if (!FConverter.Valid())
        validity = fvUnreadable;
    else if (!Accepts(DisplayBase()))
        validity = fvOutOfRange;
    const bool wasValid = FValidity == fvValid;
    FValidity = validity;
    if (Valid() != wasValid) {
        if (FView) FView->ValidChanged(Valid());
        if (OnChangeValid) OnChangeValid();
    }
    if (FView) FView->UpdateButtons();
}

void TFMU2Model::RequestChange() {
    // Nothing while loading, and no change of its own while the field's handler runs.
    if (FLoading || FInOnChange) return;
    FChangePending = true;
    if (FChangeLock == 0) RaiseChange();
}

void TFMU2Model::RaiseChange() {
    // The pending mark stays: once a change was requested, every release of the spin lock
    // raises the event again. Only a change raised from within the handler is refused.
    if (FInOnChange) return;
    {
        TFlagScope running(FInOnChange);
        if (OnChange) OnChange();
    }
    if (FView) FView->UpdateButtons();
}

void TFMU2Model::Loaded() {
    FLoading = true;
    FUnit = PreferredUnit(FSIUnits);
    if (HasRange()) {
        if (FValue < FValueMin) FValue = FValueMin;
        if (FValue > FValueMax) FValue = FValueMax;
    }
    FLoading = false;
    NotifyUnits();
    ShowValue();
    // The view may be new: give it the text even when the converter had it already.
    ShowText();
}

#include "core/quantities/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

char g_decimalSeparator = '.';

std::string NonFiniteText(double x) {
    if (std::isnan(x)) return "NAN";
    return x < 0 ? "-INF" : "INF";
}

// Decimal digits of |x| (x != 0, finite): value = 0.D * 10^exp10.
struct DecimalDigits {
    std::string digits;
    int exp10 = 0;
};

DecimalDigits ToDigits(double x) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.39e", std::fabs(x));
    DecimalDigits d;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
    d.exp10 = (*p == 'e') ? std::atoi(p + 1) + 1 : 1;
    return d;
}

// Keeps the first `keep` digits, rounding half away from zero on the next one.
// Returns false when nothing non-zero is left.
bool RoundDigits(DecimalDigits& d, int keep) {
    if (keep < 0) return false;
    const bool up = keep < static_cast<int>(d.digits.size()) && d.digits[keep] >= '5';
    std::string prefix = d.digits.substr(0, std::min<size_t>(keep, d.digits.size()));
    if (up) {
        int i = static_cast<int>(prefix.size()) - 1;
        while (i >= 0 && prefix[i] == '9') prefix[i--] = '0';
        if (i >= 0) {
            ++prefix[i];
        } else {
            prefix.insert(prefix.begin(), '1');
            ++d.exp10;
        }
    }
    while (!prefix.empty() && prefix.back() == '0') prefix.pop_back();
    d.digits = prefix;
    return !d.digits.empty();
}

} // namespace

char DecimalSeparator() { return g_decimalSeparator; }
void SetDecimalSeparator(char sep) { g_decimalSeparator = sep; }

std::string ShortDecimal(double x) {
    if (!std::isfinite(x)) return NonFiniteText(x);
    char small[64];
    std::string s;
    int n = std::snprintf(small, sizeof small, "%.12f", x);
    if (n < static_cast<int>(sizeof small)) {
        s.assign(small, n);
    } else {
        s.resize(n + 1);
        std::snprintf(s.data(), s.size(), "%.12f", x);
        s.resize(n);
    }
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

std::string FormatFixed(double x, int precision, int decimals, char sep) {
    if (!std::isfinite(x)) return NonFiniteText(x);
    precision = std::clamp(precision, 1, 18);
    decimals = std::clamp(decimals, 0, 18);
    DecimalDigits d;
    bool nonZero = false;
    if (x != 0.0) {
        d = ToDigits(x);
        nonZero = RoundDigits(d, std::min(precision, d.exp10 + decimals));
    }
    std::string out;
    if (nonZero && x < 0) out.push_back('-');
    if (!nonZero) {
        out = "0";
    } else if (d.exp10 > precision) {
        // Too many integer digits for the precision: general form with an exponent.
        out.push_back(d.digits[0]);
        if (d.digits.size() > 1) {
            out.push_back(sep);
            out.append(d.digits, 1, std::string::npos);
        }
        out += "E" + std::to_string(d.exp10 - 1);
        return out;
    } else if (d.exp10 <= 0) {
        out.push_back('0');
    } else {
        for (int i = 0; i < d.exp10; ++i)
            out.push_back(i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0');
    }
    if (decimals > 0) {
        out.push_back(sep);
        for (int i = 0; i < decimals; ++i) {
            const int pos = (nonZero ? d.exp10 : 0) + i;
            const bool inside = nonZero && pos >= 0 && pos < static_cast<int>(d.digits.size());
            out.push_back(inside ? d.digits[pos] : '0');
        }
    }
    return out;
}

std::string FloatText(double x, int precision, int decimals) {
    if (precision == 0) return ShortDecimal(x);
    const char sep = g_decimalSeparator;
    std::string s = FormatFixed(x, precision, decimals < 0 ? -decimals : decimals, sep);
    // Trimming applies to fixed notation only: "1E20" must keep its exponent digits.
    if (decimals < 0 && s.find(sep) != std::string::npos && s.find('E') == std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == sep) s.pop_back();
    }
    return s;
}

bool TryReadNumber(std::string_view text, double& value) {
    value = 0.0;
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    text.remove_prefix(i);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    for (char c : text) {
        const bool ok = (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '-' ||
                        c == '+';
        if (!ok) return false;
    }
    double v = 0.0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ptr != text.data() + text.size()) return false;
    if (ec == std::errc::result_out_of_range) {
        // Overflow reads as infinity, underflow as zero, as a number reader would.
        const bool negative = text.front() == '-';
        const auto epos = text.find_first_of("eE");
        const bool tiny = epos != std::string_view::npos && epos + 1 < text.size() &&
                          text[epos + 1] == '-';
        v = tiny ? 0.0 : (negative ? -HUGE_VAL : HUGE_VAL);
    } else if (ec != std::errc()) {
        return false;
    }
    value = v;
    return true;
}

double ReadNumber(std::string_view text) {
    double v = 0.0;
    return TryReadNumber(text, v) ? v : 0.0;
}

double RoundHalfEven(double x) { return std::nearbyint(x); }

#include "core/quantities/prj_strings.h"

#include "core/quantities/number_format.h"
#include "core/util/codepage.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

std::string FoldKey(std::string_view key) {
    std::string s(key);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string_view KeyOfLine(std::string_view line) {
    const size_t eq = line.find('=');
    return eq == std::string_view::npos ? std::string_view() : line.substr(0, eq);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

double ReadFractionNumber(std::string_view text, double fallback) {
    double divisor = 1.0;
    const size_t slash = text.find('/');
    if (slash != std::string_view::npos) {
        if (!TryReadNumber(text.substr(slash + 1), divisor) || divisor == 0.0 ||
            !std::isfinite(divisor))
            divisor = 1.0;
        text = text.substr(0, slash);
    }
    // A number that overflows a double is as unreadable as one that does not parse: an
    // infinity would pass for a value and poison every result computed from it.
    double value = 0.0;
    if (!TryReadNumber(text, value) || !std::isfinite(value)) return fallback;
    const double quotient = value / divisor;
    return std::isfinite(quotient) ? quotient : fallback;
}

int32_t ReadIntegerText(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size()) return 0;
    int64_t magnitude = 0;
    if (text[i] == '$') {
        // Hexadecimal spans the full 32 bits: "$FFFFFFFF" is -1.
        if (++i >= text.size() || text.size() - i > 8) return 0;
        for (; i < text.size(); ++i) {
            const int d = HexDigit(text[i]);
            if (d < 0) return 0;
            magnitude = magnitude * 16 + d;
        }
        const auto bits = static_cast<uint32_t>(magnitude);
        const auto value = static_cast<int32_t>(bits);
        return negative ? static_cast<int32_t>(0u - bits) : value;
    }
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > int64_t{1} << 31) return 0;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) return 0;
    return static_cast<int32_t>(value);
}

bool ProjectNumberText(double value, std::string& text) {
    if (!std::isfinite(value)) return false;
    text = ShortDecimal(value);
    double back = 0.0;
    if (TryReadNumber(text, back) && back == value) return true;
    // Twelve decimals lose small base-unit values (m³, kg m²) and most conversions.
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    text.assign(buf, r.ptr);
    return true;
}

void TPrjStrings::Add(std::string line) {
    FLines.push_back(std::move(line));
    const std::string& l = FLines.back();
    if (FIndexValid && l.find('=') != std::string::npos)
        FIndex.emplace(FoldKey(KeyOfLine(l)), Count() - 1); // keeps an earlier line of the key
}

void TPrjStrings::Clear() {
    FLines.clear();
    FError.clear();
    FIndex.clear();
    FIndexValid = false;
}

void TPrjStrings::SetText(std::string_view text) {
    FLines.clear();
    FIndex.clear();
    FIndexValid = false;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            FLines.emplace_back(text.substr(start));
            break;
        }
        FLines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
}

std::string TPrjStrings::Text() const {
    std::string out;
    size_t size = 0;
    for (const std::string& l : FLines) size += l.size() + 2;
    out.reserve(size);
    for (const std::string& l : FLines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

bool TPrjStrings::EncodeCp1252(std::string& bytes, std::string& error) const {
    bytes.clear();
    error.clear();
    std::string line;
    for (const std::string& l : FLines) {
        if (!Utf8ToCp1252(l, line)) {
            const std::string_view key = KeyOfLine(l);
            error = "the value of \"" + std::string(key.empty() ? std::string_view(l) : key) +
                    "\" holds a character that code page 1252 cannot store";
            bytes.clear();
            return false;
        }
        bytes += line;
        bytes += "\r\n";
    }
    return true;
}

void TPrjStrings::BuildIndex() const {
    FIndex.clear();
    for (int i = 0; i < Count(); ++i) {
        const std::string& l = FLines[static_cast<size_t>(i)];
        if (l.find('=') == std::string::npos) continue;
        FIndex.emplace(FoldKey(KeyOfLine(l)), i); // emplace keeps the first line of a key
    }
    FIndexValid = true;
}

int TPrjStrings::IndexOfName(std::string_view key) const {
    if (!FIndexValid) BuildIndex();
    const auto it = FIndex.find(FoldKey(key));
    return it == FIndex.end() ? -1 : it->second;
}

std::string TPrjStrings::Value(std::string_view key) const {
    const int i = IndexOfName(key);
    if (i < 0) return {};
    const std::string& l = FLines[static_cast<size_t>(i)];
    return l.substr(l.find('=') + 1);
}

void TPrjStrings::SetValue(std::string_view key, std::string_view value) {
    if (key.find_first_of("\r\n=") != std::string_view::npos) {
        Fail("the key \"" + std::string(key) + "\" cannot be stored");
        return;
    }
    if (value.find_first_of("\r\n") != std::string_view::npos) {
        Fail("the value of \"" + std::string(key) + "\" holds a line break");
        return;
    }
    const int i = IndexOfName(key);
    if (value.empty()) {
        if (i >= 0) {
            FLines.erase(FLines.begin() + i);
            FIndexValid = false;
        }
        return;
    }
    std::string line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key).append("=").append(value);
    if (i >= 0)
        FLines[static_cast<size_t>(i)] = std::move(line);
    else
        Add(std::move(line));
}

void TPrjStrings::WriteFloat(std::string_view key, double value) {
    std::string text;
    if (!ProjectNumberText(value, text)) {
        Fail("the value of \"" + std::string(key) + "\" is not a finite number");
        return;
    }
    SetValue(key, text);
}

void TPrjStrings::WriteInteger(std::string_view key, int64_t value) {
    SetValue(key, std::to_string(value));
}

void TPrjStrings::WriteBoolean(std::string_view key, bool value) {
    SetValue(key, value ? "True" : "False");
}

void TPrjStrings::Fail(std::string message) {
    if (FError.empty()) FError = std::move(message);
}

#include "core/util/codepage.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <string>
#include <unordered_map>

namespace {

// 0x80..0x9F of code page 1252; the five unassigned bytes map to the C1 controls of the
// same value, as the platform converters do, so that decoding never loses a byte.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Decodes one code point at text[i]; advances i. Invalid sequences give U+FFFD and
// consume one byte.
char32_t NextCodePoint(std::string_view s, size_t& i, bool* valid = nullptr) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    auto bad = [&]() -> char32_t {
        ++i;
        if (valid) *valid = false;
        return 0xFFFD;
    };
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len;
    char32_t c;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        c = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        c = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        c = b0 & 0x07;
    } else {
        return bad();
    }
    if (i + len > s.size()) return bad();
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return bad();
        c = (c << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return bad();
    i += len;
    return c;
}

const char* IconvName(int codePage) {
    switch (codePage) {
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    default: return nullptr;
    }
}

bool AllAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// Runs iconv over the whole input; on an unconvertible or invalid sequence either
// substitutes (decoding) or fails (encoding).
bool Convert(const char* to, const char* from, std::string_view in, std::string& out,
             bool substitute, std::string_view replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.clear();
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    std::string buf(4 * in.size() + 16, '\0');
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = buf.data();
        size_t dstLeft = buf.size();
        const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf.data(), buf.size() - dstLeft);
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        if (!substitute) {
            ok = false;
            break;
        }
        out.append(replacement);
        ++src;
        --srcLeft;
    }
    if (ok) {
        // Some decoders (CP1255) hold back the last character until flushed.
        char* dst = buf.data();
        size_t dstLeft = buf.size();
        if (iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<size_t>(-1))
            out.append(buf.data(), buf.size() - dstLeft);
    }
    iconv_close(cd);
    return ok;
}

} // namespace

std::string Cp1252ToUtf8(std::string_view text) {
    if (AllAscii(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        char32_t c = b;
        if (b >= 0x80 && b < 0xA0) c = kCp1252High[b - 0x80];
        AppendUtf8(out, c);
    }
    return out;
}

bool Utf8ToCp1252(std::string_view utf8, std::string& out) {
    out.clear();
    if (AllAscii(utf8)) {
        out.assign(utf8);
        return true;
    }
    static const std::unordered_map<char32_t, unsigned char> reverse = [] {
        std::unordered_map<char32_t, unsigned char> m;
        for (int i = 0; i < 32; ++i) m[kCp1252High[i]] = static_cast<unsigned char>(0x80 + i);
        return m;
    }();
    for (size_t i = 0; i < utf8.size();) {
        bool valid = true;
        const char32_t c = NextCodePoint(utf8, i, &valid);
        if (!valid) return false;
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        auto it = reverse.find(c);
        if (it == reverse.end()) return false;
        out.push_back(static_cast<char>(it->second));
    }
    return true;
}

std::string Utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const size_t n = bytes.size() / 2;
    auto unit = [&](size_t k) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * k]) |
                                     (static_cast<unsigned char>(bytes[2 * k + 1]) << 8));
    };
    for (size_t k = 0; k < n; ++k) {
        const char16_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < n) {
            const char16_t v = unit(k + 1);
            if (v >= 0xDC00 && v <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (v - 0xDC00));
                ++k;
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? char32_t{0xFFFD} : char32_t{u});
    }
    return out;
}

std::string Utf8ToUtf16Le(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() * 2);
    auto put = [&](char16_t u) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    };
    for (size_t i = 0; i < utf8.size();) {
        const char32_t c = NextCodePoint(utf8, i);
        if (c >= 0x10000) {
            put(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            put(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            put(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::string CodePageToUtf8(int codePage, std::string_view text) {
    if (codePage == 1252 || AllAscii(text)) return Cp1252ToUtf8(text);
    const char* name = IconvName(codePage);
    std::string out;
    if (!name || !Convert("UTF-8", name, text, out, true, "\xEF\xBF\xBD"))
        return Cp1252ToUtf8(text);
    return out;
}

bool Utf8ToCodePage(int codePage, std::string_view utf8, std::string& out) {
    if (codePage == 1252 || AllAscii(utf8)) return Utf8ToCp1252(utf8, out);
    const char* name = IconvName(codePage);
    if (!name) return Utf8ToCp1252(utf8, out);
    return Convert(name, "UTF-8", utf8, out, false, {});
}

bool IsValidUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        bool valid = true;
        NextCodePoint(text, i, &valid);
        if (!valid) return false;
    }
    return true;
}

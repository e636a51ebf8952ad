#include "core/shell/ini_file.h"

#include "core/util/file_io.h"

#include "core/util/codepage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view cBomUtf8 = "\xEF\xBB\xBF";
constexpr std::string_view cBomUtf16Le = "\xFF\xFE";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

bool QuotedOnBothEnds(std::string_view v) {
    return v.size() >= 2 && IsQuote(v.front()) && v.front() == v.back();
}

std::string ValueOf(std::string_view text) {
    std::string_view v = Trim(text);
    if (QuotedOnBothEnds(v)) v = v.substr(1, v.size() - 2);
    return std::string(v);
}

// What a line can hold of a value: line breaks become blanks.
std::string OneLine(std::string_view value) {
    std::string v(value);
    for (char& c : v)
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    return v;
}

// The inverse of ValueOf for a text of one line.
std::string EncodeValue(const std::string& v) {
    if ((!v.empty() && (IsBlank(v.front()) || IsBlank(v.back()))) || QuotedOnBothEnds(v))
        return '"' + v + '"';
    return v;
}

void CheckName(std::string_view name, std::string_view forbidden, const char* what) {
    if (Trim(name).empty() || Trim(name).size() != name.size() ||
        name.find_first_of(forbidden) != std::string_view::npos)
        throw std::invalid_argument(std::string("invalid INI ") + what +
                                    " name: " + std::string(name));
}

TIniResult Failure(std::string message) {
    return TIniResult{false, std::move(message)};
}

std::string ErrorText(int err) {
    return std::strerror(err);
}

} // namespace

TIniFile::TLine TIniFile::ParseLine(std::string text, int section) {
    TLine line;
    line.Section = section;
    const std::string_view t = Trim(text);
    if (!t.empty() && t.front() == '[') {
        const std::string_view inner = t.substr(1, t.find(']') - 1);
        line.Kind = clkSection;
        line.Name = Trim(inner);
    } else if (!t.empty() && t.front() != ';' && t.front() != '#') {
        const size_t eq = text.find('=');
        if (eq != std::string::npos && !Trim(std::string_view(text).substr(0, eq)).empty()) {
            line.Kind = clkKey;
            line.Name = Trim(std::string_view(text).substr(0, eq));
            line.ValueAt = eq + 1;
            while (line.ValueAt < text.size() && IsBlank(text[line.ValueAt])) ++line.ValueAt;
        }
    }
    line.Text = std::move(text);
    return line;
}

TIniFile TIniFile::Parse(std::string_view bytes) {
    TIniFile ini;
    std::string text;
    if (bytes.substr(0, cBomUtf8.size()) == cBomUtf8) {
        ini.FEncoding = cieUtf8Bom;
        text = bytes.substr(cBomUtf8.size());
    } else if (bytes.substr(0, cBomUtf16Le.size()) == cBomUtf16Le) {
        ini.FEncoding = cieUtf16Le;
        text = Utf16LeToUtf8(bytes.substr(cBomUtf16Le.size()));
    } else if (IsValidUtf8(bytes)) {
        text = bytes;
    } else {
        ini.FEncoding = cieAnsi;
        text = Cp1252ToUtf8(bytes);
    }

    bool lineEndSeen = false;
    int section = -1;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t eol = text.find_first_of("\r\n", pos);
        const size_t end = eol == std::string::npos ? text.size() : eol;
        size_t next = end;
        if (eol != std::string::npos) {
            const bool crlf = text[eol] == '\r' && eol + 1 < text.size() && text[eol + 1] == '\n';
            next = eol + (crlf ? 2 : 1);
            if (!lineEndSeen) {
                ini.FLineEnd = text.substr(eol, next - eol);
                lineEndSeen = true;
            }
        }
        TLine line = ParseLine(text.substr(pos, end - pos), section);
        if (line.Kind == clkSection) line.Section = ++section;
        ini.FLines.push_back(std::move(line));
        ini.FFinalLineEnd = eol != std::string::npos;
        pos = next;
    }
    if (text.empty()) ini.FFinalLineEnd = true;
    ini.FSectionCount = section + 1;
    return ini;
}

std::string TIniFile::Bytes() const {
    std::string text;
    for (size_t i = 0; i < FLines.size(); ++i) {
        text += FLines[i].Text;
        if (i + 1 < FLines.size() || FFinalLineEnd) text += FLineEnd;
    }
    switch (FEncoding) {
    case cieUtf8Bom:
        return std::string(cBomUtf8) + text;
    case cieUtf16Le:
        return std::string(cBomUtf16Le) + Utf8ToUtf16Le(text);
    case cieAnsi: {
        std::string ansi;
        // A character the code page cannot hold turns the file into UTF-8, which reads back.
        // So do code page bytes that happen to be valid UTF-8 once the bytes that were not
        // are gone: they would read as other characters ("\xC3\xA9" as one letter).
        if (Utf8ToCp1252(text, ansi) && (ansi == text || !IsValidUtf8(ansi))) return ansi;
        return text;
    }
    case cieUtf8:
        break;
    }
    return text;
}

int TIniFile::FindSection(std::string_view section) const {
    for (const TLine& line : FLines)
        if (line.Kind == clkSection && SameName(line.Name, section)) return line.Section;
    return -1;
}

int TIniFile::FindKey(int section, std::string_view key) const {
    for (size_t i = 0; i < FLines.size(); ++i) {
        const TLine& line = FLines[i];
        if (line.Kind == clkKey && line.Section == section && SameName(line.Name, key))
            return static_cast<int>(i);
    }
    return -1;
}

bool TIniFile::SectionExists(std::string_view section) const {
    return FindSection(section) >= 0;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    return Read(section, key).has_value();
}

std::optional<std::string> TIniFile::Read(std::string_view section, std::string_view key) const {
    const int s = FindSection(section);
    if (s < 0) return std::nullopt;
    const int k = FindKey(s, key);
    if (k < 0) return std::nullopt;
    const TLine& line = FLines[static_cast<size_t>(k)];
    return ValueOf(std::string_view(line.Text).substr(line.ValueAt));
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    return Read(section, key).value_or(std::string(defaultValue));
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    CheckName(section, "]\r\n", "section");
    CheckName(key, "=\r\n", "key");
    // The line would read as a section header or a comment, and the key as missing.
    if (key.front() == '[' || key.front() == ';' || key.front() == '#')
        throw std::invalid_argument("invalid INI key name: " + std::string(key));
    const std::string clean = OneLine(value);
    const std::string encoded = EncodeValue(clean);

    int s = FindSection(section);
    if (s >= 0) {
        if (const int k = FindKey(s, key); k >= 0) {
            TLine& line = FLines[static_cast<size_t>(k)];
            // An unchanged value keeps the line as it was written, blanks and quotes.
            if (ValueOf(std::string_view(line.Text).substr(line.ValueAt)) == clean) return;
            line.Text = line.Text.substr(0, line.ValueAt) + encoded;
            FModified = true;
            return;
        }
        // After the last key of the section, so that comments and blank lines that lead
        // into the next section stay with it.
        size_t at = 0;
        for (size_t i = 0; i < FLines.size(); ++i)
            if (FLines[i].Section == s && FLines[i].Kind != clkOther) at = i + 1;
        FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(at),
                      ParseLine(std::string(key) + '=' + encoded, s));
        if (at == FLines.size() - 1) FFinalLineEnd = true;
        FModified = true;
        return;
    }

    const int last = FLines.empty() ? -1 : FLines.back().Section;
    if (!FLines.empty() && !Trim(FLines.back().Text).empty())
        FLines.push_back(ParseLine(std::string(), last));
    s = FSectionCount++;
    TLine header = ParseLine('[' + std::string(section) + ']', s);
    FLines.push_back(std::move(header));
    FLines.push_back(ParseLine(std::string(key) + '=' + encoded, s));
    FFinalLineEnd = true;
    FModified = true;
}

std::vector<std::string> TIniFile::Sections() const {
    std::vector<std::string> names;
    for (const TLine& line : FLines)
        if (line.Kind == clkSection) names.push_back(line.Name);
    return names;
}

TIniResult LoadIniFile(const std::string& fileName, TIniFile& ini) {
    const std::string what = "cannot read INI file \"" + fileName + "\": ";
    std::error_code ec;
    const fs::file_status st = fs::status(fileName, ec);
    if (st.type() == fs::file_type::not_found) {
        ini = TIniFile();
        return {};
    }
    if (ec) return Failure(what + ec.message());
    if (st.type() == fs::file_type::directory) return Failure(what + ErrorText(EISDIR));

    std::string bytes, why;
    if (ReadWholeFile(fileName, cIniMaxFileSize, bytes, why) != crfOk) return Failure(what + why);
    ini = TIniFile::Parse(bytes);
    return {};
}

TIniResult SaveIniFile(const std::string& fileName, const TIniFile& ini) {
    // Links are followed, so that saving replaces the linked file and keeps the link
    // (settings folders kept under version control are often linked in).
    std::string why;
    if (!ReplaceFileContents(fileName, ini.Bytes(), why))
        return Failure("cannot write INI file \"" + fileName + "\": " + why);
    return {};
}

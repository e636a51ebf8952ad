#include "tools/vacdb/catalog_source.h"

#include "core/util/file_io.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "core/data/container_format.h"
#include "core/data/table_text.h"
#include "core/quantities/number_format.h"
#include "core/util/codepage.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kMaxBlobFile = 64u << 20;

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> cells;
    size_t start = 0;
    while (true) {
        const size_t tab = line.find('\t', start);
        cells.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return cells;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string cur;
    std::istringstream in(text);
    while (std::getline(in, cur)) {
        if (!cur.empty() && cur.back() == '\r') cur.pop_back();
        lines.push_back(cur);
    }
    return lines;
}

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    const size_t b = s.find_last_not_of(' ');
    return s.substr(a, b - a + 1);
}

bool ParseUInt(const std::string& s, long long max, long long& out) {
    if (s.empty() || s.size() > 12) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    out = std::stoll(s);
    return out <= max;
}

struct ColumnDef {
    std::string name;
    TStrFieldType type;
    uint16_t prec = 0, dec = 0;
    uint8_t transl8 = 0;
};

const std::pair<const char*, TStrFieldType> kAliases[] = {
    {"pbool", csfPBool},   {"bool", csfBool},         {"byte", csfByte},
    {"word", csfWord},     {"dword", csfDWord},       {"float", csfFloat},
    {"stringlen", csfStringLen}, {"string", csfString}, {"memo", csfMemo},
    {"blob", csfBLOB},     {"widestringlen", csfWideStringLen}, {"widestring", csfWideString}};

bool TypeByName(const std::string& s, TStrFieldType& t) {
    bool known = false;
    t = FieldTypeFromName(s, &known);
    if (known) return true;
    for (const auto& [alias, type] : kAliases)
        if (s == alias) {
            t = type;
            return true;
        }
    return false;
}

// "Name:type[:prec[:dec[:transl8]]]"; the name may itself contain ':'.
bool ParseColumnHeader(const std::string& cell, ColumnDef& def, std::string& why) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t colon = cell.find(':', start);
        parts.push_back(cell.substr(start, colon - start));
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    for (int i = static_cast<int>(parts.size()) - 1; i >= 1; --i) {
        TStrFieldType t;
        if (!TypeByName(parts[i], t)) continue;
        const size_t extra = parts.size() - i - 1;
        if (extra > 3) break;
        long long v[3] = {0, 0, 0};
        const long long max[3] = {65535, 65535, 255};
        bool ok = true;
        for (size_t k = 0; k < extra; ++k) {
            const std::string& p = parts[i + 1 + k];
            if (p.empty()) continue;
            ok = ok && ParseUInt(p, max[k], v[k]);
        }
        if (!ok) {
            why = "bad precision, decimals or translate flag in \"" + cell + "\"";
            return false;
        }
        def.name.clear();
        for (int k = 0; k < i; ++k) def.name += (k ? ":" : "") + parts[k];
        if (def.name.empty()) {
            why = "empty column name in \"" + cell + "\"";
            return false;
        }
        def.type = t;
        def.prec = static_cast<uint16_t>(v[0]);
        def.dec = static_cast<uint16_t>(v[1]);
        def.transl8 = static_cast<uint8_t>(v[2]);
        return true;
    }
    why = "column \"" + cell + "\" needs a type, as in Name:csfFloat:8:2";
    return false;
}

std::vector<uint8_t> ParseHex(const std::string& hex, bool& ok) {
    std::vector<uint8_t> out;
    ok = hex.size() % 2 == 0;
    auto nibble = [&](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        ok = false;
        return 0;
    };
    for (size_t i = 0; ok && i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<uint8_t>(nibble(hex[i]) << 4 | nibble(hex[i + 1])));
    return out;
}

// Columns whose texts reach the parts list and with it the TAB- and line-separated order
// files; a TAB or line break in them would split a record there.
bool ReachesOrderFiles(const std::string& column) {
    for (const char* name : {"OrderCode", "ShortCut", "PartNo", "~Description"})
        if (SameTextAscii(column, name)) return true;
    return false;
}

bool HasControlCharacter(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

void AppendCell(TStrFieldDB& f, const std::string& raw, const std::string& folder,
                const std::string& where, bool singleLine) {
    auto fail = [&](const std::string& why) { throw ESourceError(where + ": " + why); };
    const TStrFieldType t = f.DataType();
    if (FieldTypeIsBool(t)) {
        const std::string v = Trim(raw);
        if (v == "X" || v == "1") f.AppendBool(true);
        else if (v == "-" || v == "0" || v.empty()) f.AppendBool(false);
        else fail("\"" + raw + "\" is not a yes/no value (X or -)");
        return;
    }
    if (FieldTypeIsInt(t)) {
        const std::string v = Trim(raw);
        long long n = 0;
        if (!v.empty()) {
            const bool neg = v[0] == '-';
            if (!ParseUInt(neg ? v.substr(1) : v, std::numeric_limits<long long>::max() / 2, n))
                fail("\"" + raw + "\" is not a whole number");
            if (neg) n = -n;
        }
        const long long lo = t == csfByte ? 0 : t == csfWord ? -32768 : INT32_MIN;
        const long long hi = t == csfByte ? 255 : t == csfWord ? 65535 : INT32_MAX;
        if (n < lo || n > hi) fail("\"" + raw + "\" is out of range for " + FieldTypeName(t));
        f.AppendInt(static_cast<int32_t>(t == csfWord ? static_cast<int16_t>(n) : n));
        return;
    }
    if (t == csfFloat) {
        const std::string v = Trim(raw);
        double x = 0;
        if (!v.empty() && (!TryReadNumber(v, x) || !std::isfinite(x)))
            fail("\"" + raw + "\" is not a number (use '.' as decimal point)");
        f.AppendFloat(x);
        return;
    }
    if (t == csfMemo) {
        std::vector<std::string> lines;
        if (!raw.empty()) {
            const std::string text = UnescapeCell(raw);
            size_t start = 0;
            while (true) {
                const size_t nl = text.find('\n', start);
                lines.push_back(text.substr(start, nl - start));
                if (nl == std::string::npos) break;
                start = nl + 1;
            }
        }
        try {
            f.AppendMemo(lines);
        } catch (const std::invalid_argument& e) {
            fail(e.what());
        }
        return;
    }
    if (t == csfBLOB) {
        std::vector<uint8_t> bytes;
        if (raw.rfind("@", 0) == 0) {
            const fs::path file = fs::path(folder) / raw.substr(1);
            std::error_code ec;
            // Only ordinary files: a device or folder would hang or fail the build obscurely.
            if (!fs::is_regular_file(file, ec)) fail("\"" + file.string() + "\" is not a file");
            if (fs::file_size(file, ec) > kMaxBlobFile) fail("\"" + file.string() + "\" is larger than 64 MiB");
            const std::string content = ReadTextFile(file.string());
            bytes.assign(content.begin(), content.end());
        } else if (raw.rfind("hex:", 0) == 0) {
            bool ok = true;
            bytes = ParseHex(raw.substr(4), ok);
            if (!ok) fail("bad hex bytes");
        } else if (!raw.empty()) {
            fail("a BLOB cell is empty, @file or hex:bytes");
        }
        f.AppendBlob(bytes);
        return;
    }
    const std::string text = UnescapeCell(raw);
    if (!IsValidUtf8(text)) fail("text is not valid UTF-8");
    if (singleLine && HasControlCharacter(text))
        fail("\"" + raw + "\" holds a TAB, line break or other control character, which the "
             "order files cannot carry");
    if (t == csfStringLen) {
        // Fixed-width texts hold at most Prec characters; cutting them would lose data.
        std::string ansi;
        if (Utf8ToCp1252(text, ansi) && ansi.size() > f.Prec)
            fail("\"" + text + "\" is longer than the column's " + std::to_string(f.Prec) + " characters");
    }
    try {
        f.AppendText(text);
    } catch (const std::invalid_argument& e) {
        fail(e.what());
    }
}

} // namespace

std::string ReadTextFile(const std::string& path) {
    std::string bytes, why;
    switch (ReadWholeFile(path, kMaxBlobFile, bytes, why)) {
    case crfOk: return bytes;
    case crfOpenError: throw ESourceError(path + ": cannot open: " + why);
    default: throw ESourceError(path + ": cannot read: " + why);
    }
}

void WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string why;
    if (!ReplaceFileContents(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), why))
        throw std::runtime_error(path + ": cannot write: " + why);
}

TSourceIndex ReadSourceIndex(const std::string& folder) {
    const std::string path = (fs::path(folder) / "index.tsv").string();
    TSourceIndex index;
    const auto lines = SplitLines(ReadTextFile(path));
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::string where = path + ":" + std::to_string(i + 1);
        if (Trim(line).empty() || line[0] == '#') continue;
        if (line.find('\t') == std::string::npos && line.find('=') != std::string::npos) {
            index.Header.push_back(line);
            continue;
        }
        const auto cells = SplitTabs(line);
        if (cells.size() != 3)
            throw ESourceError(where + ": expected KIND<TAB>TABLE NAME<TAB>FILE");
        if (cells[0] != "Table" && cells[0] != "TableIndexed" && cells[0] != "Language")
            throw ESourceError(where + ": kind must be Table, TableIndexed or Language, not \"" +
                               cells[0] + "\"");
        if (cells[1].empty()) throw ESourceError(where + ": empty table name");
        for (const auto& e : index.Entries)
            if (SameTextAscii(e.Name, cells[1]))
                throw ESourceError(where + ": table \"" + cells[1] + "\" listed twice");
        index.Entries.push_back({cells[0], cells[1], cells[2]});
    }
    return index;
}

void ReadTableSource(const std::string& path, const std::string& folder, TCustomStrTableDB& table) {
    const auto lines = SplitLines(ReadTextFile(path));
    size_t first = 0;
    while (first < lines.size() && Trim(lines[first]).empty()) ++first;
    if (first == lines.size()) throw ESourceError(path + ": no header line");
    std::vector<ColumnDef> defs;
    for (const auto& cell : SplitTabs(lines[first])) {
        ColumnDef def;
        std::string why;
        if (!ParseColumnHeader(cell, def, why))
            throw ESourceError(path + ":" + std::to_string(first + 1) + ": " + why);
        defs.push_back(def);
    }
    table.Clear();
    for (const auto& s : defs) table.AddColumn(s.name, s.type, s.prec, s.dec, s.transl8);
    int rows = 0;
    for (size_t i = first + 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        const std::string where = path + ":" + std::to_string(i + 1);
        const auto cells = SplitTabs(lines[i]);
        if (cells.size() != defs.size())
            throw ESourceError(where + ": " + std::to_string(cells.size()) + " cells, " +
                               std::to_string(defs.size()) + " columns");
        for (size_t c = 0; c < cells.size(); ++c)
            AppendCell(*table.MutableColumn(static_cast<int>(c)), cells[c], folder,
                       where + ": column \"" + defs[c].name + "\"", ReachesOrderFiles(defs[c].name));
        ++rows;
    }
    // Columns have grown by appending; bring the table's row count in line.
    table.SetRows(rows);
}

TLanguageBlob ReadLanguageSource(const std::string& path) {
    const auto lines = SplitLines(ReadTextFile(path));
    TLanguageBlob lang;
    size_t first = 0;
    while (first < lines.size() && Trim(lines[first]).empty()) ++first;
    if (first == lines.size()) throw ESourceError(path + ": no header line");
    const auto header = SplitTabs(lines[first]);
    if (header.empty() || header[0] != "Key")
        throw ESourceError(path + ":" + std::to_string(first + 1) +
                           ": header must be Key<TAB>code<TAB>code...");
    for (size_t c = 1; c < header.size(); ++c) {
        const std::string code = Trim(header[c]);
        if (code.empty() || code.size() > 4)
            throw ESourceError(path + ": language code \"" + code + "\" must have 1 to 4 letters");
        std::string lower = code;
        for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        lang.Codes.push_back(lower);
    }
    lang.Texts.resize(lang.Codes.size());
    for (size_t i = first + 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        const std::string where = path + ":" + std::to_string(i + 1);
        const auto cells = SplitTabs(lines[i]);
        if (cells.size() != header.size())
            throw ESourceError(where + ": " + std::to_string(cells.size()) + " cells, " +
                               std::to_string(header.size()) + " columns");
        const std::string key = UnescapeCell(cells[0]);
        for (const auto& k : lang.Keys)
            if (k == key) throw ESourceError(where + ": key \"" + key + "\" appears twice");
        lang.Keys.push_back(key);
        for (size_t c = 1; c < cells.size(); ++c) {
            const std::string text = UnescapeCell(cells[c]);
            if (!IsValidUtf8(text)) throw ESourceError(where + ": text is not valid UTF-8");
            lang.Texts[c - 1].push_back(text);
        }
    }
    return lang;
}

std::vector<uint8_t> BuildContainerFromSources(const std::string& folder, bool scramble) {
    const TSourceIndex index = ReadSourceIndex(folder);
    std::vector<std::string> names;
    std::vector<std::vector<uint8_t>> blobs;
    for (const auto& e : index.Entries) {
        const std::string path = (fs::path(folder) / e.File).string();
        try {
            if (e.Kind == "Language") {
                blobs.push_back(WriteLanguageBlob(ReadLanguageSource(path)));
            } else {
                TStrTableDB32Bit table;
                table.Loaded();
                ReadTableSource(path, folder, table);
                if (e.Kind == "TableIndexed") table.SetIndexed(true);
                blobs.push_back(table.SaveToBytes());
            }
        } catch (const std::invalid_argument& ex) {
            throw ESourceError(path + ": " + ex.what());
        } catch (const std::length_error& ex) {
            throw ESourceError(path + ": " + ex.what());
        }
        names.push_back(e.Name);
    }
    std::vector<std::span<const uint8_t>> views(blobs.begin(), blobs.end());
    try {
        return BuildContainer(index.Header, names, views, scramble);
    } catch (const std::exception& ex) {
        throw ESourceError(folder + ": " + ex.what());
    }
}

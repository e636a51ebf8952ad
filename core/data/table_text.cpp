#include "core/data/table_text.h"

#include "core/data/custom_table.h"

std::string EscapeCell(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

std::string UnescapeCell(const std::string& cell) {
    if (cell.find('\\') == std::string::npos) return cell;
    std::string out;
    out.reserve(cell.size());
    for (size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] == '\\' && i + 1 < cell.size()) {
            const char n = cell[i + 1];
            if (n == 't' || n == 'n' || n == 'r' || n == '\\') {
                out.push_back(n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : '\\');
                ++i;
                continue;
            }
        }
        out.push_back(cell[i]);
    }
    return out;
}

std::string TableToTsv(const TCustomTable& table) {
    std::string out;
    for (int c = 0; c < table.Cols(); ++c) {
        if (c) out.push_back('\t');
        out += EscapeCell(table.ColName(c));
    }
    out.push_back('\n');
    TTerm t;
    for (int r = 0; r < table.Rows(); ++r) {
        for (int c = 0; c < table.Cols(); ++c) {
            if (c) out.push_back('\t');
            table.GetField(r, c, t);
            out += EscapeCell(t.Text);
        }
        out.push_back('\n');
    }
    return out;
}

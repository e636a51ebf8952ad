#include "core/workflow/model_text.h"

#include "core/data/custom_table.h"
#include "core/data/string_query.h"

std::string FormatCounts(const std::string& format, std::initializer_list<int> numbers) {
    std::string out;
    auto next = numbers.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == 'd' && next != numbers.end()) {
                out += std::to_string(*next++);
                ++i;
                continue;
            }
            if (format[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

std::string CellText(const TCustomTable& table, int row, std::string_view column) {
    const int col = table.ColByName(column);
    return col < 0 ? std::string() : table.AsText(row, col);
}

int CountMarkedRows(const TStringQuery& query, const std::vector<uint8_t>& marks) {
    int count = 0;
    for (int r = 0, n = query.Rows(); r < n; ++r) {
        const int row = query.SourceRow(r);
        if (row >= 0 && static_cast<size_t>(row) < marks.size() && marks[static_cast<size_t>(row)])
            ++count;
    }
    return count;
}

#include "core/workflow/model_text.h"

#include "core/data/custom_table.h"

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

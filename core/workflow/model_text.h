#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class TCustomTable;
class TStringQuery;

//! Fills each "%d" of a (translated) format with the next number and "%%" with a percent
//! sign, without handing a translated text to printf.
std::string FormatCounts(const std::string& format, std::initializer_list<int> numbers);
//! The text of a cell by column name; empty for an unknown column.
std::string CellText(const TCustomTable& table, int row, std::string_view column);
//! Result rows of a query whose source row is marked in `marks` (one flag per source row),
//! for the "%d of %d, %d fitting" record labels.
int CountMarkedRows(const TStringQuery& query, const std::vector<uint8_t>& marks);

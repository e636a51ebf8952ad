#pragma once

#include <string>

class TCustomTable;

//! Escapes a text so that it fits one TSV cell: tab, line breaks and backslash become
//! \t, \n, \r and \\.
std::string EscapeCell(const std::string& text);
//! Undoes EscapeCell; other backslashes stay as they are.
std::string UnescapeCell(const std::string& cell);
//! The table as TSV: the column names, then one line per row with every cell's text as the
//! table reads it (through GetField), escaped.
std::string TableToTsv(const TCustomTable& table);

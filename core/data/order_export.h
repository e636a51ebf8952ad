#pragma once

#include <string>
#include <string_view>

class TPartsList;

//! Outcome of writing an export file; the message names the file and what is wrong.
struct TExportResult {
    bool Ok = true;
    std::string Message;

    explicit operator bool() const { return Ok; }
};

//! UTF-8 to the Windows ANSI code page (1252) of the export files; a character the code
//! page cannot hold, or a byte that is not UTF-8, becomes "?".
std::string AnsiExportText(std::string_view utf8);

//! The ERP order file: one TAB-separated line per part (plant code, "0", position, part
//! number, "Orsik", order code, "0", quantity, quantity unit, "0", "0", "X", "X", length),
//! each ending in CR LF, in code page 1252. A control character (TAB, CR, LF, …) in a text
//! is written as a blank, so that it cannot split a field or a line.
std::string ErpOrderText(const TPartsList& list, std::string_view plantCode);
//! The CSV export: a header line, then "position;part number;quantity;;order code;;length;"
//! per part (length empty when 0), each line ending in CR LF, in code page 1252; control
//! characters in texts are written as blanks.
std::string CsvExportText(const TPartsList& list);

//! Writes `bytes` to a temporary file beside `fileName` and renames it over the target, so
//! an existing file is replaced whole or left as it was. Only a regular file (after links)
//! or a new name is written; a device, FIFO or folder is an error naming it.
TExportResult WriteExportFile(const std::string& fileName, std::string_view bytes);

//! Whether the list can go into an order file: not when items were refused for quantities
//! no order file holds (TPartsList::Refusals) or a part has a negative quantity. The
//! message names the file and every reason.
TExportResult CheckOrderable(const TPartsList& list, const std::string& fileName);

//! Saves the ERP order file with the plant code of the ordering system; nothing is written
//! for a list that cannot be ordered (CheckOrderable).
TExportResult SaveErpOrderFile(const TPartsList& list, std::string_view plantCode,
                               const std::string& fileName);
//! Writes the CSV export; nothing is written for a list that cannot be ordered.
TExportResult ExportCsvFile(const TPartsList& list, const std::string& fileName);

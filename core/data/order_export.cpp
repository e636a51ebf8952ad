#include "core/data/order_export.h"

#include "core/data/parts_list.h"
#include "core/util/codepage.h"
#include "core/util/file_io.h"

namespace {

constexpr std::string_view cLineEnd = "\r\n";

size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

// One field of an order file: in the code page of the files, with every control
// character (TAB, CR, LF, …) as a blank, so that no text can split a field or a line.
std::string ExportField(std::string_view utf8) {
    std::string text = AnsiExportText(utf8);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
}

// One text field of the CSV file. Fields are written bare, as spreadsheet imports and
// order systems read them; one holding the separator or a double quote would split or
// shift the line, so such a field alone is quoted, its quotes doubled (the CSV rule).
std::string CsvField(std::string_view utf8) {
    std::string text = ExportField(utf8);
    if (text.find_first_of(";\"") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted.push_back('"');
        quoted.push_back(c);
    }
    return quoted + '"';
}

} // namespace

std::string AnsiExportText(std::string_view utf8) {
    std::string out, one;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        size_t len = Utf8SequenceLength(lead);
        if (len == 0 || i + len > utf8.size() || !IsValidUtf8(utf8.substr(i, len))) len = 0;
        one.clear();
        if (len != 0 && Utf8ToCp1252(utf8.substr(i, len), one) && one.size() == 1)
            out += one;
        else
            out.push_back('?');
        i += len != 0 ? len : 1;
    }
    return out;
}

std::string ErpOrderText(const TPartsList& list, std::string_view plantCode) {
    std::string text;
    const std::string plant = ExportField(plantCode);
    for (int row = 0; row < list.Rows(); ++row) {
        const TPart& p = list.Part(row);
        const std::string fields[] = {plant,
                                      "0",
                                      std::to_string(row + 1),
                                      ExportField(p.PartNo),
                                      "Orsik",
                                      ExportField(p.OrderCode),
                                      "0",
                                      std::to_string(p.Quantity),
                                      ExportField(p.QuantityUnit),
                                      "0",
                                      "0",
                                      "X",
                                      "X",
                                      std::to_string(p.Length)};
        for (size_t f = 0; f < std::size(fields); ++f) {
            if (f) text.push_back('\t');
            text += fields[f];
        }
        text += cLineEnd;
    }
    return text;
}

std::string CsvExportText(const TPartsList& list) {
    std::string text =
        "Position;Teile Nr.;Menge;Ihre Teilenummer;Bestellcode 1;Bestellcode 2;x-Hub;";
    text += cLineEnd;
    for (int row = 0; row < list.Rows(); ++row) {
        const TPart& p = list.Part(row);
        text += std::to_string(row + 1) + ';' + CsvField(p.PartNo) + ';' +
                std::to_string(p.Quantity) + ";;" + CsvField(p.OrderCode) + ";;" +
                (p.Length != 0 ? std::to_string(p.Length) : std::string()) + ';';
        text += cLineEnd;
    }
    return text;
}

TExportResult WriteExportFile(const std::string& fileName, std::string_view bytes) {
    std::string why;
    if (!ReplaceFileContents(fileName, bytes, why))
        return TExportResult{false, "cannot write \"" + fileName + "\": " + why};
    return {};
}

TExportResult CheckOrderable(const TPartsList& list, const std::string& fileName) {
    std::string why;
    for (const std::string& refused : list.Refusals()) why += (why.empty() ? "" : "; ") + refused;
    for (const TPart& p : list.Parts())
        if (p.Quantity < 0)
            why += (why.empty() ? "" : "; ") + p.PartNo + " " + p.OrderCode + ": a quantity of " +
                   std::to_string(p.Quantity) + " cannot be ordered";
    if (why.empty()) return {};
    return TExportResult{false, "not writing \"" + fileName + "\": the parts list cannot be ordered: " + why};
}

TExportResult SaveErpOrderFile(const TPartsList& list, std::string_view plantCode,
                               const std::string& fileName) {
    if (TExportResult r = CheckOrderable(list, fileName); !r) return r;
    return WriteExportFile(fileName, ErpOrderText(list, plantCode));
}

TExportResult ExportCsvFile(const TPartsList& list, const std::string& fileName) {
    if (TExportResult r = CheckOrderable(list, fileName); !r) return r;
    return WriteExportFile(fileName, CsvExportText(list));
}

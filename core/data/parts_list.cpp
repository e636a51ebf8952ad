#include "core/data/parts_list.h"

#include <cctype>

namespace {

// Cuts a UTF-8 text to at most `maxChars` code points, never inside a sequence.
std::string CutText(std::string_view text, size_t maxChars) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (chars == maxChars) return std::string(text.substr(0, i));
        ++chars;
    }
    return std::string(text);
}

// The quantity columns: the number right-aligned in 5 characters, then the unit in lower
// case unless the part is counted in pieces.
void QuantityTerm(TTerm& term, int32_t n, const std::string& unit) {
    TermFromInt(term, n, 5);
    if (unit == "ST") return;
    term.Text.push_back(' ');
    for (char c : unit)
        term.Text.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
}

} // namespace

TPartsList::TPartsList() {
    TCustomTable::SetColNames(cColNames);
    Loaded();
}

void TPartsList::SetColNames(std::string_view /*names*/) {}

std::string TPartsList::ColTitle(int col) const {
    std::string title;
    if (OnGetColTitle) OnGetColTitle(*this, col, title);
    return title;
}

const TPart& TPartsList::Part(int row) const {
    static const TPart empty;
    return row >= 0 && row < Rows() ? parts_[static_cast<size_t>(row)] : empty;
}

void TPartsList::ReadCell(int row, int col, TTerm& term) const {
    const TPart& p = Part(row);
    switch (col) {
    case 0:
        TermFromText(term, p.PartNo);
        break;
    case 1:
        TermFromText(term, p.OrderCode);
        break;
    case 2:
        TermFromText(term, p.Description);
        break;
    case 3:
        if (p.Length != 0)
            TermFromIntSuffix(term, p.Length, p.LengthUnit, 10);
        else
            TermFromText(term, "");
        break;
    case 4:
        QuantityTerm(term, p.Quantity, p.QuantityUnit);
        break;
    case 5:
        QuantityTerm(term, p.Package, p.QuantityUnit);
        break;
    default:
        term = TTerm();
        break;
    }
}

bool TPartsList::Add(std::string_view partNo, std::string_view orderCode, int32_t package,
                     int32_t quantity, std::string_view quantityUnit, std::string_view lengthUnit,
                     int32_t length, std::string_view description) {
    TPart part;
    part.PartNo = CutText(partNo, cPartNoMax);
    part.OrderCode = CutText(orderCode, cOrderCodeMax);
    bool merged = false;
    for (size_t i = 0; i < parts_.size(); ++i) {
        TPart& p = parts_[i];
        if (p.PartNo != part.PartNo || p.OrderCode != part.OrderCode) continue;
        const int64_t sum = int64_t{p.Quantity} + quantity;
        if (sum > cQuantityMax || sum < -int64_t{cQuantityMax}) {
            Refuse(p.PartNo + " " + p.OrderCode + ": a quantity of " + std::to_string(sum) +
                   " is more than an order file holds (at most " + std::to_string(cQuantityMax) + ")");
            return false;
        }
        p.Quantity = static_cast<int32_t>(sum);
        if (p.Quantity == 0) parts_.erase(parts_.begin() + static_cast<std::ptrdiff_t>(i));
        merged = true;
        break;
    }
    if (!merged) {
        part.Description.assign(description);
        part.Length = length;
        part.Quantity = quantity;
        part.LengthUnit = CutText(lengthUnit, cUnitMax);
        part.QuantityUnit = CutText(quantityUnit, cUnitMax);
        part.Package = package;
        parts_.push_back(std::move(part));
    }
    Changed(cChangeContents);
    return true;
}

void TPartsList::Delete(int row) {
    if (row < 0 || row >= Rows()) return;
    parts_.erase(parts_.begin() + row);
    Changed(cChangeContents);
}

void TPartsList::Clear() {
    BeginUpdate();
    refusals_.clear();
    while (Rows() > 0) Delete(Rows() - 1);
    EndUpdate();
}

void TPartsList::Refuse(std::string message) {
    refusals_.push_back(std::move(message));
}

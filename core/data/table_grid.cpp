#include "core/data/table_grid.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "core/data/str_field_db.h"
#include "core/quantities/number_format.h"

namespace {

// A stored picture begins with its class name as a counted string: 7, "TBitmap".
constexpr std::string_view kBitmapMark{"\x07TBitmap", 8};

std::vector<std::string> SplitNames(std::string_view names) {
    std::vector<std::string> out;
    if (names.empty()) return out;
    size_t at = 0;
    while (true) {
        const size_t bar = names.find('|', at);
        out.emplace_back(names.substr(at, bar - at));
        if (bar == std::string_view::npos) break;
        at = bar + 1;
    }
    return out;
}

} // namespace

TStringTableGridModel::TStringTableGridModel() = default;

TStringTableGridModel::~TStringTableGridModel() = default;

void TStringTableGridModel::Loaded() {
    if (!loading_) return;
    loading_ = false;
    TCustomTable* t = pendingTable_;
    pendingTable_ = nullptr;
    if (t) SetTable(t);
    else Refresh();
}

void TStringTableGridModel::SetTable(TCustomTable* table) {
    if (loading_) {
        pendingTable_ = table;
        return;
    }
    if (table == table_) return;
    if (table_) table_->RemoveDependent(this);
    table_ = table;
    if (table_) table_->AddDependent(this);
    Refresh();
}

void TStringTableGridModel::SetColNames(std::string_view names) {
    colNames_.assign(names);
    Refresh();
}

void TStringTableGridModel::SetTitles(std::vector<std::string> titles) {
    titles_ = std::move(titles);
    Refresh();
}

int TStringTableGridModel::TableCol(int dataCol) const {
    return dataCol >= 0 && dataCol < DataCols() ? map_[static_cast<size_t>(dataCol)] : -1;
}

TStrTableGridColumn& TStringTableGridModel::GridColumn(int dataCol) {
    const size_t i = static_cast<size_t>(std::max(dataCol, 0));
    if (columns_.size() <= i) columns_.resize(i + 1);
    return columns_[i];
}

std::string TStringTableGridModel::Translated(std::string_view key) const {
    return TranslateOrKey(Translate, key);
}

std::string TStringTableGridModel::Title(int dataCol) const {
    if (dataCol < 0 || dataCol >= DataCols()) return {};
    if (static_cast<size_t>(dataCol) < titles_.size()) return Translated(titles_[static_cast<size_t>(dataCol)]);
    const int col = map_[static_cast<size_t>(dataCol)];
    if (!table_) return {};
    if (colNames_.empty()) return table_->ColTitle(dataCol);
    return col >= 0 ? table_->ColTitle(col) : std::string();
}

TGridCellText TStringTableGridModel::Cell(int dataCol, int dataRow) const {
    TGridCellText cell;
    const int col = TableCol(dataCol);
    if (!table_ || col < 0 || dataRow < 0 || dataRow >= table_->Rows()) return cell;
    TTerm term;
    table_->GetField(dataRow, col, term);
    if (term.Typ == cTTNum) {
        cell.RightAligned = true;
        const TStrTableGridColumn* unit =
            static_cast<size_t>(dataCol) < columns_.size() ? &columns_[static_cast<size_t>(dataCol)] : nullptr;
        if (unit && unit->ScaleUnit != cUM_Scale) {
            const TStrFieldDB* field = table_->Column(col);
            const int prec = field ? field->Prec : 0;
            const int dec = field ? field->Dec : 9;
            const double x = FromBaseUnit(unit->ScaleUnit, ToBaseUnit(unit->DataUnit, term.Value));
            cell.Text = FloatText(x, prec, dec);
            const std::string& symbol = UnitById(unit->ScaleUnit).Symbol;
            if (unit->ShowUnit && !symbol.empty()) cell.Text += " " + symbol;
        } else {
            cell.Text = term.Text;
        }
        return cell;
    }
    cell.Text = term.Text;
    if (term.Typ == cTTAlpha) {
        const std::span<const uint8_t> blob = BlobOf(term);
        if (blob.size() >= kBitmapMark.size() && std::memcmp(blob.data(), kBitmapMark.data(), kBitmapMark.size()) == 0) {
            cell.Bitmap = blob.subspan(kBitmapMark.size());
            return cell;
        }
        if (cell.Text.starts_with('~') && table_->ColName(col).starts_with('~')) cell.Text = Translated(cell.Text);
    }
    return cell;
}

std::vector<std::string> TStringTableGridModel::ColumnTexts(int dataCol) const {
    std::set<std::string> seen;
    std::vector<std::string> out{Title(dataCol)};
    for (int r = 0; r < DataRows(); ++r) {
        std::string text = Cell(dataCol, r).Text;
        if (seen.insert(text).second) out.push_back(std::move(text));
    }
    return out;
}

void TStringTableGridModel::RebuildMap() {
    map_.clear();
    if (!table_) return;
    std::vector<std::string> names = SplitNames(colNames_);
    if (names.empty())
        for (int c = 0; c < table_->Cols(); ++c) names.push_back(table_->ColName(c));
    if (!titles_.empty() && names.size() > titles_.size()) names.resize(titles_.size());
    for (const std::string& name : names) map_.push_back(table_->ColByName(name));
}

void TStringTableGridModel::Refresh() {
    if (loading_) return;
    if (updateCount_ > 0) {
        refreshPending_ = true;
        return;
    }
    refreshPending_ = false;
    RebuildMap();
    ++refreshes_;
    if (OnRefresh) OnRefresh(*this);
}

void TStringTableGridModel::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0 && refreshPending_) Refresh();
}

void TStringTableGridModel::SourceChanged(TCustomTable&, unsigned) { Refresh(); }

void TStringTableGridModel::SourceDestroyed(TCustomTable& source) {
    if (&source != table_) return;
    table_ = nullptr;
    Refresh();
}

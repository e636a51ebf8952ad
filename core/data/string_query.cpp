#include "core/data/string_query.h"

#include <algorithm>

#include "core/data/container_format.h"
#include "core/data/str_field_db.h"
#include "core/quantities/compiled_expression.h"
#include "core/quantities/number_format.h"

namespace {

constexpr const char* kMain = "Main";
// Slots of identifiers handed to OnExprConst start here; lower slots are column numbers.
constexpr int kExprConstSlot = 1 << 24;

bool Compare(const TTerm& cell, const TTerm& value, TComparator cmp) {
    if (cell.Typ != value.Typ) return false;
    if (cell.Typ == cTTNum) {
        switch (cmp) {
        case cCompEqual: return cell.Value == value.Value;
        case cCompLessOrEqual: return cell.Value <= value.Value;
        case cCompGreaterOrEqual: return cell.Value >= value.Value;
        }
    }
    if (cell.Typ == cTTAlpha) {
        switch (cmp) {
        case cCompEqual: return cell.Text == value.Text;
        case cCompLessOrEqual: return cell.Text <= value.Text;
        case cCompGreaterOrEqual: return cell.Text >= value.Text;
        }
    }
    return true;
}

// A cell read straight from its column; numbers skip the display text, which no
// comparison needs.
void ReadForCompare(const TStrFieldDB& f, int row, TTerm& term) {
    if (FieldTypeIsInt(f.DataType()) || f.DataType() == csfFloat) {
        term = TTerm();
        term.Typ = cTTNum;
        term.Value = f.GetFloat(row);
        return;
    }
    f.ReadCell(row, term);
}

} // namespace

TCategory* TCategoryList::Find(std::string_view name) const {
    for (const auto& c : Items)
        if (SameTextAscii(c->Name, name)) return c.get();
    return nullptr;
}

TStringQuery::TStringQuery() {
    auto main = std::make_unique<TCategory>();
    main->Name = kMain;
    categories_.Items.push_back(std::move(main));
}

TStringQuery::~TStringQuery() {
    destroying_ = true;
    if (source_) source_->RemoveDependent(this);
}

int TStringQuery::SourceRows() const { return source_ ? source_->Rows() : 0; }

void TStringQuery::SetTable(TCustomTable* source) {
    if (source == source_ || source == this) return;
    if (source && source->HasSource(this)) return; // would close a loop
    if (source_) source_->RemoveDependent(this);
    source_ = source;
    if (source_) source_->AddDependent(this);
    Changed(cChangeStructure);
}

std::string TStringQuery::ColName(int col) const { return source_ ? source_->ColName(col) : std::string(); }
std::string TStringQuery::ColTitle(int col) const { return source_ ? source_->ColTitle(col) : std::string(); }
int TStringQuery::ColByName(std::string_view name) const { return source_ ? source_->ColByName(name) : -1; }
const TStrFieldDB* TStringQuery::Column(int col) const { return source_ ? source_->Column(col) : nullptr; }
const TStrFieldDB* TStringQuery::Column(std::string_view name) const {
    return source_ ? source_->Column(name) : nullptr;
}

bool TStringQuery::HasSource(const TCustomTable* table) const {
    return source_ && (source_ == table || source_->HasSource(table));
}

void TStringQuery::ReadCell(int row, int col, TTerm& term) const {
    if (!source_ || row < 0 || row >= rows_ || static_cast<size_t>(row) >= rowMap_.size()) {
        term = TTerm();
        return;
    }
    source_->GetField(rowMap_[row], col, term);
}

bool TStringQuery::DirectCell(int row, int col, const TStrFieldDB*& field, int& fieldRow) const {
    if (OnChangeField || !source_ || row < 0 || row >= rows_ || static_cast<size_t>(row) >= rowMap_.size())
        return false;
    return source_->DirectCell(rowMap_[row], col, field, fieldRow);
}

bool TStringQuery::DirectRows(std::vector<int32_t>& rows) const {
    if (OnChangeField || !source_) return false;
    for (auto& r : rows) {
        if (r < 0 || static_cast<size_t>(r) >= rowMap_.size()) return false;
        r = rowMap_[r];
    }
    return source_->DirectRows(rows);
}

int TStringQuery::ProgressWeight() const {
    const auto n = static_cast<int>(Dependents().size());
    if (n == 0) return 0;
    return n <= 9 ? 5 * n : 50;
}

void TStringQuery::SourceChanged(TCustomTable& source, unsigned flags) {
    // A source that changed its row count without saying so still needs new selections.
    if (categories_.Items[0]->Bits.Size() != static_cast<size_t>(source.Rows())) flags |= cChangeStructure;
    Changed(flags);
}

void TStringQuery::SourceDestroyed(TCustomTable& source) {
    if (&source != source_) return;
    source_ = nullptr;
    Changed(cChangeStructure);
}

void TStringQuery::DropControlCategories() {
    categories_.Items.resize(1);
    categories_.Items[0]->Bits.SetAll(true);
    categories_.Items[0]->Enabled = true;
}

void TStringQuery::RebuildStructure() {
    cols_ = source_ ? source_->Cols() : 0;
    names_.clear();
    for (int c = 0; c < cols_; ++c) names_.push_back(source_->ColName(c));
    const auto rows = static_cast<size_t>(SourceRows());
    for (auto& c : categories_.Items) c->Bits.Resize(rows, true);
    BeginCategoryUpdate();
    DropControlCategories();
    Recombine();
    EndCategoryUpdate();
    RebuildRowMap();
}

void TStringQuery::Recombine() {
    const auto rows = static_cast<size_t>(SourceRows());
    categories_.Combined.Resize(rows, true);
    categories_.Combined.SetAll(true);
    for (const auto& c : categories_.Items)
        if (c->Enabled && c->Bits.Size() == rows) categories_.Combined.AndWith(c->Bits);
    rows_ = static_cast<int>(categories_.Combined.Count());
    if (categories_.UpdateCount == 0) {
        RebuildRowMap();
        Changed(cChangeFilter);
    } else {
        rowMapStale_ = true;
    }
}

void TStringQuery::RebuildRowMap() {
    const TBitArray& combined = categories_.Combined;
    rowMap_.clear();
    rowMap_.reserve(static_cast<size_t>(rows_));
    if (combined.Size() == static_cast<size_t>(rows_)) {
        for (int r = 0; r < rows_; ++r) rowMap_.push_back(r);
    } else {
        combined.ForEachSet([&](size_t i) { rowMap_.push_back(static_cast<int32_t>(i)); });
    }
    rowMapStale_ = false;
}

void TStringQuery::BeginCategoryUpdate() { ++categories_.UpdateCount; }

void TStringQuery::EndCategoryUpdate() {
    if (categories_.UpdateCount > 0) --categories_.UpdateCount;
    if (categories_.UpdateCount == 0 && rowMapStale_) RebuildRowMap();
}

TCategory& TStringQuery::Category(std::string_view name) {
    if (TCategory* c = categories_.Find(name)) return *c;
    auto c = std::make_unique<TCategory>();
    c->Name.assign(name);
    c->Bits.Resize(static_cast<size_t>(SourceRows()), true);
    categories_.Items.push_back(std::move(c));
    return *categories_.Items.back();
}

void TStringQuery::CategorySelectAll(std::string_view name) {
    TCategory& c = Category(name);
    c.Bits.SetAll(true);
    if (c.Enabled) Recombine();
}

void TStringQuery::EnableCategory(std::string_view name, bool enabled) {
    Category(name).Enabled = enabled;
    Recombine();
}

void TStringQuery::Reset() {
    BeginUpdate();
    if (source_) {
        DropControlCategories();
        Recombine();
        Changed(cChangeQueryReset);
    }
    EndUpdate();
}

void TStringQuery::AddCondition(std::string_view condition) {
    if (!source_) return;
    BeginCategoryUpdate();
    FilterCategoryByExpression(kMain, condition);
    EndCategoryUpdate();
    Changed(cChangeFilter);
}

void TStringQuery::ReportFilterProgress(int row, int rows, int weight) {
    if (row % 32 == 0)
        ReportProgress(static_cast<int>(RoundHalfEven(double(row + 1) / rows * (100 - weight))));
}

void TStringQuery::FilterCategoryByExpression(std::string_view name, std::string_view condition) {
    if (!source_) return;
    TCategory& cat = Category(name);
    const int rows = SourceRows();
    const int weight = ProgressWeight();
    ReportProgress(0);

    TCompiledExpression expr("()");
    std::vector<std::string> constNames;
    std::vector<std::string> upperCols;
    for (int c = 0; c < source_->Cols(); ++c) upperCols.push_back(UpperAscii(source_->ColName(c)));
    expr.Compile(condition, [&](std::string_view ident) -> int {
        const std::string up = UpperAscii(ident.substr(0, 30));
        for (size_t c = 0; c < upperCols.size(); ++c)
            if (upperCols[c] == up) return static_cast<int>(c);
        if (!OnExprConst) return cSlotEmpty;
        constNames.emplace_back(ident.substr(0, 30));
        return kExprConstSlot + static_cast<int>(constNames.size() - 1);
    });

    // Read the columns directly when no handler can alter cells on the way.
    std::vector<int32_t> direct(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) direct[i] = i;
    const bool isDirect = source_->DirectRows(direct);
    int current = 0;
    auto resolve = [&](int slot, TTerm& term) {
        if (slot >= kExprConstSlot) {
            OnExprConst(*this, constNames[slot - kExprConstSlot], term);
            return;
        }
        const TStrFieldDB* f = isDirect ? source_->Column(slot) : nullptr;
        if (f)
            f->ReadCell(direct[current], term);
        else
            source_->GetField(current, slot, term);
    };
    // Numeric columns read directly are handed over as bare numbers; their display text is
    // made only when an operation needs it.
    struct TContext {
        decltype(resolve)* Resolve;
        std::vector<const TStrFieldDB*> Numeric; // by slot; null for other columns
        const std::vector<int32_t>* Rows;
        const int* Current;
        static void Full(void* ctx, int slot, TTerm& term) { (*static_cast<TContext*>(ctx)->Resolve)(slot, term); }
        static bool Number(void* ctx, int slot, double& value) {
            auto* c = static_cast<TContext*>(ctx);
            if (slot < 0 || static_cast<size_t>(slot) >= c->Numeric.size() || !c->Numeric[slot]) return false;
            value = c->Numeric[slot]->GetFloat((*c->Rows)[*c->Current]);
            return true;
        }
        // Dictionary columns: the value slot of the row is a key for its cell, so a part of
        // the condition over one such column is evaluated once per distinct value.
        std::vector<const TStrFieldDB*> Keyed;
        static int32_t Key(void* ctx, int slot) {
            auto* c = static_cast<TContext*>(ctx);
            if (slot < 0 || static_cast<size_t>(slot) >= c->Keyed.size() || !c->Keyed[slot]) return -1;
            return c->Keyed[slot]->Slot((*c->Rows)[*c->Current]);
        }
    } context{&resolve, {}, &direct, &current, {}};
    if (isDirect) {
        context.Numeric.resize(upperCols.size(), nullptr);
        context.Keyed.resize(upperCols.size(), nullptr);
        for (size_t c = 0; c < upperCols.size(); ++c) {
            const TStrFieldDB* f = source_->Column(static_cast<int>(c));
            if (f && (FieldTypeIsInt(f->DataType()) || f->DataType() == csfFloat)) context.Numeric[c] = f;
            if (f && f->Indexed()) context.Keyed[c] = f;
        }
    }
    for (int i = 0; i < rows; ++i) {
        ReportFilterProgress(i, rows, weight);
        if (!cat.Bits.Test(i)) continue;
        current = i;
        if (!expr.Test(&TContext::Full, &TContext::Number, &TContext::Key, &context)) cat.Bits.Reset(i);
    }
    ReportProgress(static_cast<int>(RoundHalfEven(100.0 - weight)));
    if (cat.Enabled) Recombine();
}

void TStringQuery::FilterCategory(std::string_view name, const TTerm& value, TComparator comparator) {
    if (!source_) return;
    TCategory& cat = Category(name);
    const int rows = SourceRows();
    const int weight = ProgressWeight();
    const int col = source_->ColByName(name);
    ReportProgress(0);
    std::vector<int32_t> direct(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) direct[i] = i;
    const TStrFieldDB* field = source_->DirectRows(direct) ? source_->Column(col) : nullptr;
    TTerm cell;
    for (int i = 0; i < rows; ++i) {
        ReportFilterProgress(i, rows, weight);
        if (!cat.Bits.Test(i)) continue;
        if (field)
            ReadForCompare(*field, direct[i], cell);
        else
            source_->GetField(i, col, cell);
        if (!Compare(cell, value, comparator)) cat.Bits.Reset(i);
    }
    ReportProgress(static_cast<int>(RoundHalfEven(100.0 - weight)));
    if (cat.Enabled) Recombine();
}

void TStringQuery::DeliverFlags(TTableDependent& dependent, unsigned flags) {
    auto* facet = dynamic_cast<TQueryFacetControl*>(&dependent);
    if (!facet) {
        dependent.SourceChanged(*this, flags);
        return;
    }
    BeginCategoryUpdate();
    std::vector<int32_t> saved = std::move(rowMap_);
    const int savedRows = rows_;
    const std::string name = facet->FacetFieldName();
    Category(name).Enabled = false;
    Recombine();
    RebuildRowMap();
    dependent.SourceChanged(*this, flags);
    Category(name).Enabled = true;
    Recombine();
    rowMap_ = std::move(saved);
    rows_ = savedRows;
    rowMapStale_ = false;
    EndCategoryUpdate();
}

void TStringQuery::DistinctValues(int col, TDistinctList& target, const TTavCustomIndexEvent& custom,
                                  int counting, TStrSort sort, std::vector<double>* numbers) const {
    if (source_ && rows_ == SourceRows()) {
        source_->DistinctValues(col, target, custom, counting, sort, numbers);
        return;
    }
    const TStrFieldDB* f = Column(col);
    if (f && !f->Indexed()) {
        // Row form: group the result rows by stored value, then make each value's text once.
        std::vector<int32_t> rows(rowMap_.begin(),
                                  rowMap_.begin() + std::min<size_t>(rowMap_.size(), static_cast<size_t>(rows_)));
        TDistinctBuilder builder(custom, counting, sort);
        if (!OnChangeField && source_ && source_->DirectRows(rows) && AddDistinctByValue(*f, rows, builder)) {
            builder.Finish(target, numbers);
            return;
        }
    }
    if (f && f->Indexed()) {
        // Dictionary column: count slots over the result rows, then read each slot once.
        std::vector<int32_t> rows(rowMap_.begin(),
                                  rowMap_.begin() + std::min<size_t>(rowMap_.size(), static_cast<size_t>(rows_)));
        if (!OnChangeField && source_ && source_->DirectRows(rows)) {
            const auto& index = f->RowIndex();
            std::vector<int32_t> count(f->ValueCount(), 0);
            std::vector<int32_t> order;
            for (int32_t r : rows) {
                if (r < 0 || static_cast<size_t>(r) >= index.size()) continue;
                const int32_t s = index[r];
                if (count[s]++ == 0) order.push_back(s);
            }
            TDistinctBuilder builder(custom, counting, sort);
            TTerm t;
            for (int32_t s : order) {
                f->ReadSlot(s, t);
                builder.Add(t, count[s]);
            }
            builder.Finish(target, numbers);
            return;
        }
    }
    DistinctValuesByRows(col, target, custom, counting, sort, numbers);
}

#include "core/data/table_controls.h"

#include <algorithm>

#include "core/data/str_field_db.h"
#include "core/quantities/number_format.h"

namespace {

// Sets the category of a control in its query: all rows, then the filter when asked.
void SetControlFilter(TCustomTable* table, const std::string& name, const TTerm* value, TComparator cmp) {
    auto* query = dynamic_cast<TStringQuery*>(table);
    if (!query) return;
    query->BeginCategoryUpdate();
    query->CategorySelectAll(name);
    if (value) query->FilterCategory(name, *value, cmp);
    query->EndCategoryUpdate();
    query->Changed(cChangeFilter);
}

// Binds a control to a table: leaves the old one and joins the new one's dependents.
template <class C>
bool Rebind(C& control, TCustomTable*& current, TCustomTable* table) {
    if (current == table) return false;
    if (current) current->RemoveDependent(&control);
    current = table;
    if (current) current->AddDependent(&control);
    return true;
}

} // namespace

// ---- TStrTableCoBoxModel ---------------------------------------------------------------

TStrTableCoBoxModel::TStrTableCoBoxModel() : items_{""}, tags_{-1}, numbers_{0.0} {}

TStrTableCoBoxModel::~TStrTableCoBoxModel() = default;

void TStrTableCoBoxModel::SetTable(TCustomTable* table) {
    if (Rebind(*this, table_, table)) Refresh(cChangeStructure | cChangeContents);
}

void TStrTableCoBoxModel::SetFieldName(std::string_view name) {
    fieldName_.assign(name);
    Refresh(cChangeStructure);
}

bool TStrTableCoBoxModel::SetFieldTyp(TTermTyp typ) {
    if (typ != cTTNum && typ != cTTAlpha) return false;
    if (typ != fieldTyp_) {
        fieldTyp_ = typ;
        Refresh(cChangeStructure);
    }
    return true;
}

void TStrTableCoBoxModel::SetSort(TStrSort sort) {
    sort_ = sort;
    Refresh(cChangeContents);
}

void TStrTableCoBoxModel::SetUnselected(std::string_view text) {
    unselected_.assign(text);
    items_[0] = unselected_;
    Update();
}

void TStrTableCoBoxModel::SetUnselectedIndex(int tag) {
    unselectedIndex_ = tag;
    tags_[0] = tag;
}

void TStrTableCoBoxModel::SetUnselectedFloat(double value) {
    unselectedFloat_ = value;
    numbers_[0] = value;
}

void TStrTableCoBoxModel::SetDataUnit(TNUMessurement unit) {
    dataUnit_ = unit;
    Relabel();
}

void TStrTableCoBoxModel::SetScaleUnit(TNUMessurement unit) {
    scaleUnit_ = unit;
    Relabel();
}

void TStrTableCoBoxModel::SetPrecision(int precision) {
    precision_ = precision;
    Refresh(cChangeContents);
}

void TStrTableCoBoxModel::SetDecimals(int decimals) {
    decimals_ = decimals;
    Refresh(cChangeContents);
}

void TStrTableCoBoxModel::SetNoChoiseDisabled(bool value) {
    noChoiseDisabled_ = value;
    Refresh(cChangeContents);
}

std::string TStrTableCoBoxModel::NumberLabel(double value) const {
    const double scaled = FromBaseUnit(scaleUnit_, ToBaseUnit(dataUnit_, value));
    std::string text = FloatText(scaled, precision_, decimals_);
    const std::string& symbol = UnitById(scaleUnit_).Symbol;
    if (!symbol.empty()) text += " " + symbol;
    return text;
}

void TStrTableCoBoxModel::Relabel() {
    if (fieldTyp_ != cTTNum) return;
    for (size_t i = 1; i < items_.size(); ++i) items_[i] = NumberLabel(numbers_[i]);
    Update();
}

void TStrTableCoBoxModel::Refresh(unsigned flags) {
    // Through the table, so that a query delivers the rows of every other filter.
    if (table_)
        table_->DeliverFlags(*this, flags);
    else
        Rebuild(flags);
}

void TStrTableCoBoxModel::SourceChanged(TCustomTable&, unsigned flags) { Rebuild(flags); }

void TStrTableCoBoxModel::SourceDestroyed(TCustomTable& source) {
    if (&source != table_) return;
    table_ = nullptr;
    Rebuild(cChangeStructure);
}

void TStrTableCoBoxModel::Rebuild(unsigned flags) {
    if (flags & cChangeReset) {
        itemIndex_ = 0;
        autoSelected_ = false;
    }
    const int col = table_ && !fieldName_.empty() ? table_->ColByName(fieldName_) : -1;
    if (col < 0) {
        items_.assign(1, unselected_);
        tags_.assign(1, unselectedIndex_);
        numbers_.assign(1, unselectedFloat_);
        itemIndex_ = 0;
        autoSelected_ = false;
        enabled_ = false;
        Update();
        return;
    }
    if (table_->Rows() == 0) {
        enabled_ = false;
        Update();
        return;
    }
    const bool numeric = fieldTyp_ == cTTNum;
    const bool hadChoice = itemIndex_ > 0 && itemIndex_ < static_cast<int>(items_.size());
    const std::string previousText = hadChoice ? items_[itemIndex_] : std::string();
    const double previousNumber = hadChoice ? numbers_[itemIndex_] : 0.0;
    const bool wasAuto = autoSelected_;

    TDistinctList list;
    std::vector<double> values;
    table_->DistinctValues(col, list, OnCustomIndex, 0, sort_, numeric ? &values : nullptr);
    items_.assign(1, unselected_);
    tags_.assign(1, unselectedIndex_);
    numbers_.assign(1, unselectedFloat_);
    for (size_t i = 0; i < list.Count(); ++i) {
        const double number = numeric && i < values.size() ? values[i] : 0.0;
        items_.push_back(numeric ? NumberLabel(number) : list.Items[i].Text);
        tags_.push_back(list.Items[i].Tag);
        numbers_.push_back(number);
    }

    int index = 0;
    if (hadChoice)
        for (size_t i = 1; i < items_.size(); ++i)
            if (numeric ? numbers_[i] == previousNumber : items_[i] == previousText) {
                index = static_cast<int>(i);
                break;
            }
    if (noChoiseDisabled_ && items_.size() == 2 && (index == 0 || wasAuto)) {
        index = 1;
        autoSelected_ = true;
        enabled_ = false;
    } else {
        if (wasAuto) index = 0;
        autoSelected_ = false;
        enabled_ = true;
    }
    itemIndex_ = index;
    Update();
}

void TStrTableCoBoxModel::Select(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    itemIndex_ = index;
    autoSelected_ = false;
    Update();
    Change();
}

void TStrTableCoBoxModel::SelectByText(std::string_view text) {
    const auto it = std::find(items_.begin() + 1, items_.end(), text);
    Select(it == items_.end() ? 0 : static_cast<int>(it - items_.begin()));
}

void TStrTableCoBoxModel::Change() {
    if (OnChange) OnChange(*this);
    Changed.Emit(*this);
    if (itemIndex_ > 0 && !autoSelected_) {
        TTerm value;
        if (fieldTyp_ == cTTNum)
            TermFromFloat(value, 15, 8, numbers_[itemIndex_]);
        else
            TermFromText(value, items_[itemIndex_]);
        SetControlFilter(table_, fieldName_, &value, comparator_);
    } else {
        SetControlFilter(table_, fieldName_, nullptr, comparator_);
    }
}

void TStrTableCoBoxModel::Update() {
    if (OnUpdate) OnUpdate(*this);
}

// ---- TStrTableCheckBoxModel ------------------------------------------------------------

TStrTableCheckBoxModel::~TStrTableCheckBoxModel() = default;

void TStrTableCheckBoxModel::SetTable(TCustomTable* table) {
    if (Rebind(*this, table_, table)) Refresh(cChangeStructure | cChangeContents);
}

void TStrTableCheckBoxModel::SetFieldName(std::string_view name) {
    fieldName_.assign(name);
    Refresh(cChangeStructure);
}

void TStrTableCheckBoxModel::SetSelectMode(TStrTableSelectMode mode) {
    mode_ = mode;
    Refresh(cChangeContents);
}

bool TStrTableCheckBoxModel::SetFieldTyp(TTermTyp typ) {
    if (typ != cTTNum && typ != cTTAlpha) return false;
    fieldTyp_ = typ;
    return true;
}

bool TStrTableCheckBoxModel::Translated() const {
    const TStrFieldDB* f = table_ ? table_->Column(fieldName_) : nullptr;
    return f && f->Transl8 != 0;
}

TTerm TStrTableCheckBoxModel::FilterValue(bool checked) const {
    TTerm value;
    if (fieldTyp_ == cTTNum)
        TermFromInt(value, checked ? 1 : 0, 0);
    else if (Translated())
        TermFromText(value, checked ? "~Yes" : "~No");
    else
        TermFromText(value, checked ? "X" : "-");
    return value;
}

void TStrTableCheckBoxModel::Refresh(unsigned flags) {
    if (table_)
        table_->DeliverFlags(*this, flags);
    else
        Rebuild(flags);
}

void TStrTableCheckBoxModel::SourceChanged(TCustomTable&, unsigned flags) { Rebuild(flags); }

void TStrTableCheckBoxModel::SourceDestroyed(TCustomTable& source) {
    if (&source != table_) return;
    table_ = nullptr;
    Rebuild(cChangeStructure);
}

void TStrTableCheckBoxModel::Rebuild(unsigned flags) {
    if (flags & cChangeReset) checked_ = false;
    someTrue_ = someFalse_ = false;
    const int col = table_ && !fieldName_.empty() ? table_->ColByName(fieldName_) : -1;
    if (col >= 0) {
        // A translated yes/no column reads true where it holds the text a checked box
        // filters on; other columns follow the boolean read of their cells.
        const bool translated = fieldTyp_ == cTTAlpha && Translated();
        TTerm cell;
        for (int r = 0, n = table_->Rows(); r < n && !(someTrue_ && someFalse_); ++r) {
            bool truth;
            if (translated) {
                table_->GetField(r, col, cell);
                truth = cell.Text == "~Yes";
            } else {
                truth = table_->AsBoolean(r, col);
            }
            (truth ? someTrue_ : someFalse_) = true;
        }
    }
    enabled_ = mode_ == csmEqual ? someTrue_ && someFalse_ : someTrue_;
    if (OnUpdate) OnUpdate(*this);
}

void TStrTableCheckBoxModel::Click(bool checked) {
    checked_ = checked;
    if (OnUpdate) OnUpdate(*this);
    if (OnClick) OnClick(*this);
    Clicked.Emit(*this);
    const TTerm value = FilterValue(checked);
    SetControlFilter(table_, fieldName_, mode_ == csmEqual || checked ? &value : nullptr, cCompEqual);
}

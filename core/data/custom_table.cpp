#include "core/data/custom_table.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "core/data/container_format.h"
#include "core/quantities/number_format.h"

TTableDependent::~TTableDependent() {
    // Copy: RemoveDependent edits observed_.
    const auto observed = observed_;
    for (TCustomTable* table : observed) table->RemoveDependent(this);
}

int TDistinctList::IndexOf(std::string_view text) const {
    if (Sorted) {
        auto it = std::lower_bound(Items.begin(), Items.end(), text,
                                   [](const Entry& e, std::string_view t) { return e.Text < t; });
        return (it != Items.end() && it->Text == text) ? static_cast<int>(it - Items.begin()) : -1;
    }
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i].Text == text) return static_cast<int>(i);
    return -1;
}

TCustomTable::TCustomTable() = default;

TCustomTable::~TCustomTable() {
    destroying_ = true;
    const auto deps = dependents_;
    for (TTableDependent* d : deps) {
        d->SourceDestroyed(*this);
        RemoveDependent(d);
    }
}

void TCustomTable::Loaded() {
    if (!loading_) return;
    DoLoaded();
    loading_ = false;
    pending_ = cChangeLoaded;
    ApplyFlags(pending_);
    EndUpdate();
}

void TCustomTable::RebuildStructure() { cols_ = static_cast<int>(names_.size()); }

std::string TCustomTable::ColName(int col) const {
    if (col < 0 || col >= cols_ || col >= static_cast<int>(names_.size())) return {};
    return names_[col];
}

std::string TCustomTable::ColTitle(int col) const { return {}; }

int TCustomTable::ColByName(std::string_view name) const {
    for (int c = 0; c < cols_ && c < static_cast<int>(names_.size()); ++c)
        if (SameTextAscii(names_[c], name)) return c;
    return -1;
}

void TCustomTable::ApplyFlags(unsigned flags) {
    if (flags & cChangeStructure) RebuildStructure();
}

void TCustomTable::ReportProgress(int percent) {
    if (OnUpdateProgressBar) OnUpdateProgressBar(*this, percent);
}

void TCustomTable::NotifyDependents() {
    if (loading_ || destroying_ || updateCount_ > 0) return;
    busy_ = true;
    const unsigned flags = pending_;
    const int n = static_cast<int>(dependents_.size());
    const int w = ProgressWeight();
    // A dependent may leave the list while it is notified; re-check the bound each time.
    for (int i = 0; i < n && i < static_cast<int>(dependents_.size()); ++i) {
        notifyIndex_ = i;
        ReportProgress(static_cast<int>(RoundHalfEven(100.0 - double(n - i) * w / n)));
        DeliverFlags(*dependents_[i], flags);
    }
    notifyIndex_ = -1;
    OnChange.Emit(*this);
    pending_ = 0;
    ReportProgress(100);
    busy_ = false;
}

void TCustomTable::DeliverFlags(TTableDependent& dependent, unsigned flags) {
    dependent.SourceChanged(*this, flags);
}

const TStrFieldDB* TCustomTable::Column(std::string_view name) const {
    return Column(ColByName(name));
}

void TCustomTable::ReadCell(int row, int col, TTerm& term) const { term = TTerm(); }

void TCustomTable::BeginUpdate() { ++updateCount_; }

void TCustomTable::EndUpdate() {
    if (updateCount_ > 0) --updateCount_;
    if (updateCount_ == 0 && pending_ != 0) NotifyDependents();
}

void TCustomTable::Changed(unsigned flags) {
    if (busy_) return;
    pending_ |= flags;
    ApplyFlags(pending_);
    if (updateCount_ == 0) NotifyDependents();
}

void TCustomTable::GetField(int row, int col, TTerm& term) const {
    ReadCell(row, col, term);
    if (OnChangeField && row >= 0 && row < Rows() && col >= 0 && col < cols_)
        OnChangeField(*this, row, col, term);
}

int32_t TCustomTable::AsRoundInt(int row, int col) const {
    const double v = RoundHalfEven(Field(row, col).Value);
    if (!(v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max()))
        throw std::range_error("Range check error");
    return static_cast<int32_t>(v);
}

bool TCustomTable::AsBoolean(int row, int col) const {
    const TTerm t = Field(row, col);
    if (t.Typ == cTTNum) return t.Value != 0;
    if (t.Typ == cTTAlpha) return t.Text == "X";
    return false;
}

int TCustomTable::FindRow(std::string_view colName, std::string_view text) const {
    const int col = ColByName(colName);
    TTerm t;
    for (int r = 0, n = Rows(); r < n; ++r) {
        GetField(r, col, t);
        if (t.Text == text) return r;
    }
    return -1;
}

int TCustomTable::Count(int col, std::string_view text) const {
    int count = 0;
    TTerm t;
    for (int r = 0, n = Rows(); r < n; ++r) {
        GetField(r, col, t);
        if (t.Text == text) ++count;
    }
    return count;
}

std::string TCustomTable::ColNames() const {
    std::string s;
    for (int c = 0; c < static_cast<int>(names_.size()); ++c) {
        if (c) s.push_back('|');
        s += names_[c];
    }
    return s;
}

void TCustomTable::SetColNames(std::string_view names) {
    if (names == ColNames()) return;
    names_.clear();
    if (!names.empty()) {
        size_t start = 0;
        while (true) {
            const size_t bar = names.find('|', start);
            names_.emplace_back(names.substr(start, bar - start));
            if (bar == std::string_view::npos) break;
            start = bar + 1;
        }
    }
    Changed(cChangeStructure);
}

void TCustomTable::AddDependent(TTableDependent* dependent) {
    if (!dependent || dependent == this) return;
    if (std::find(dependents_.begin(), dependents_.end(), dependent) != dependents_.end()) return;
    dependents_.push_back(dependent);
    dependent->observed_.push_back(this);
}

void TCustomTable::RemoveDependent(TTableDependent* dependent) {
    auto it = std::find(dependents_.begin(), dependents_.end(), dependent);
    if (it == dependents_.end()) return;
    dependents_.erase(it);
    auto& obs = dependent->observed_;
    obs.erase(std::remove(obs.begin(), obs.end(), this), obs.end());
}

void TCustomTable::DistinctValues(int col, TDistinctList& target, const TTavCustomIndexEvent& custom,
                                  int counting, TStrSort sort, std::vector<double>* numbers) const {
    DistinctValuesByRows(col, target, custom, counting, sort, numbers);
}

void TCustomTable::DistinctValuesByRows(int col, TDistinctList& target,
                                        const TTavCustomIndexEvent& custom, int counting,
                                        TStrSort sort, std::vector<double>* numbers) const {
    TDistinctBuilder builder(custom, counting, sort);
    TTerm t;
    for (int r = 0, n = Rows(); r < n; ++r) {
        GetField(r, col, t);
        builder.Add(t);
    }
    builder.Finish(target, numbers);
}

TDistinctBuilder::TDistinctBuilder(const TTavCustomIndexEvent& custom, int counting, TStrSort sort)
    : custom_(custom), counting_(counting), sort_(sort) {}

void TDistinctBuilder::Add(const TTerm& t, int occurrences) {
    if (t.Text.empty()) return;
    auto found = seen_.find(t.Text);
    if (found != seen_.end()) {
        if (counting_ == 2) tags_[found->second] += occurrences;
        return;
    }
    int key = t.Tag;
    if (sort_ == cSortCustom && custom_) custom_(t.Text, key);
    const size_t id = texts_.size();
    texts_.push_back(t.Text);
    tags_.push_back(counting_ == 0 ? 1 : counting_ == 2 ? occurrences : key);
    values_.push_back(t.Value);
    seen_.emplace(t.Text, id);

    size_t pos = order_.size();
    switch (sort_) {
    case cSortNone: break;
    case cSortASCII:
        pos = static_cast<size_t>(
            std::upper_bound(order_.begin(), order_.end(), t.Text,
                             [&](const std::string& s, size_t other) { return s < texts_[other]; }) -
            order_.begin());
        break;
    case cSortIndex:
    case cSortCustom:
        if (sort_ == cSortCustom && !custom_) break;
        for (size_t i = 0; i < order_.size(); ++i)
            if (tags_[order_[i]] > key) {
                pos = i;
                break;
            }
        break;
    }
    order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(pos), id);
}

void TDistinctBuilder::Finish(TDistinctList& target, std::vector<double>* numbers) {
    target.Clear();
    target.Sorted = (sort_ == cSortASCII);
    target.Items.reserve(order_.size());
    if (numbers) {
        numbers->clear();
        numbers->reserve(order_.size());
    }
    for (size_t id : order_) {
        target.Items.push_back({std::move(texts_[id]), tags_[id]});
        if (numbers) numbers->push_back(values_[id]);
    }
}

#include "core/data/db_interpol.h"

#include "core/data/container_format.h"
#include "core/data/orsik_connection.h"
#include "core/data/str_table_db.h"

#include <algorithm>

namespace {

char UpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

// --- TDBInterpolCurve ---

void TDBInterpolCurve::AddPoint(double x, double y) {
    const int k = last_ + 1;
    if (k == 0) {
        x_.assign(static_cast<size_t>(count_), 0.0);
        y_.assign(static_cast<size_t>(count_), 0.0);
        slope_.assign(static_cast<size_t>(count_), 0.0);
        firstX_ = x;
        minY_ = maxY_ = y;
    }
    if (k >= static_cast<int>(x_.size())) {
        // More points than announced: grow rather than write past the end.
        x_.resize(static_cast<size_t>(k) + 1);
        y_.resize(static_cast<size_t>(k) + 1);
        slope_.resize(static_cast<size_t>(k) + 1);
        count_ = k + 1;
    }
    x_[k] = x;
    y_[k] = y;
    slope_[k] = 0;
    if (k > 0) {
        const double dx = x - x_[k - 1];
        const double dy = y - y_[k - 1];
        slope_[k - 1] = (dx != 0 && dy != 0) ? dy / dx : 0;
        if (!(x >= x_[k - 1])) ascending_ = false;
    }
    last_ = k;
    lastX_ = x;
    minY_ = std::min(minY_, y);
    maxY_ = std::max(maxY_, y);
}

double TDBInterpolCurve::Value(double x) const {
    const int n = last_ + 1;
    if (n <= 0) return 0;
    if (!(x > firstX_)) return y_[0];
    if (x >= lastX_) return y_[n - 1];
    // The segment is the last i <= n-2 with x[i] <= x. On non-decreasing x that set is a
    // prefix, so upper_bound finds the same i as a downward scan, also on vertical steps.
    int i = -1;
    if (ascending_) {
        const auto end = x_.begin() + (n - 1);
        i = static_cast<int>(std::upper_bound(x_.begin(), end, x) - x_.begin()) - 1;
    } else {
        for (int j = n - 2; j >= 0; --j)
            if (x_[j] <= x) {
                i = j;
                break;
            }
    }
    if (i < 0) return y_[n - 1];
    return y_[i] + (x - x_[i]) * slope_[i];
}

// --- TCustomDBInterpol ---

size_t TCustomDBInterpol::TNameHash::operator()(std::string_view s) const {
    // FNV-1a over the upper-cased bytes, so that equal names in any case hash alike.
    uint64_t h = 14695981039346656037ull;
    for (char c : s) {
        h ^= static_cast<unsigned char>(UpperChar(c));
        h *= 1099511628211ull;
    }
    return static_cast<size_t>(h);
}

bool TCustomDBInterpol::TNameEqual::operator()(std::string_view a, std::string_view b) const {
    return SameTextAscii(a, b);
}

const std::string& TCustomDBInterpol::CurveName(int i) const {
    static const std::string empty;
    if (i < 0 || i >= CurvesCount()) return empty;
    return names_[static_cast<size_t>(i)];
}

const TDBInterpolCurve* TCustomDBInterpol::Curve(int i) const {
    if (i < 0 || i >= CurvesCount()) return nullptr;
    return &curves_[static_cast<size_t>(i)];
}

int TCustomDBInterpol::IndexOf(std::string_view name) const {
    const auto it = index_.find(name);
    return it == index_.end() ? -1 : static_cast<int>(it->second);
}

const TDBInterpolCurve* TCustomDBInterpol::FindCurve(std::string_view name) const {
    return Curve(IndexOf(name));
}

double TCustomDBInterpol::Evaluate(std::string_view name, double x) const {
    const TDBInterpolCurve* c = FindCurve(name);
    return c ? c->Value(x) : 0.0;
}

TDBInterpolCurve& TCustomDBInterpol::CurveFor(std::string_view name, bool& created) {
    const auto it = index_.find(name);
    created = it == index_.end();
    if (!created) return curves_[it->second];
    index_.emplace(std::string(name), curves_.size());
    names_.emplace_back(name);
    return curves_.emplace_back();
}

void TCustomDBInterpol::ClearCurves() {
    index_.clear();
    names_.clear();
    curves_.clear();
}

// --- TDBInterpol32Bit ---

// The internal table forgets its rows when the connection goes (a bound table would keep
// them), so that the curves go with the connection.
class TDBInterpol32Bit::TCurveTable final : public TStrTableDB32Bit {
protected:
    void ConnectionDestroyed() override { SetConnection(nullptr); }
};

TDBInterpol32Bit::TDBInterpol32Bit() : table_(std::make_unique<TCurveTable>()) {
    table_->Loaded();
    table_->AddDependent(this);
}

TDBInterpol32Bit::~TDBInterpol32Bit() {
    table_->RemoveDependent(this);
}

TOrsikConnection* TDBInterpol32Bit::Connection() const {
    return table_->Connection();
}

void TDBInterpol32Bit::SetConnection(TOrsikConnection* connection) {
    const unsigned before = rebuilds_;
    table_->SetConnection(connection);
    // The table's change notification normally rebuilt the curves already.
    if (rebuilds_ == before) Rebuild();
}

const std::string& TDBInterpol32Bit::Table() const {
    return table_->Table();
}

void TDBInterpol32Bit::SetTable(const std::string& name) {
    const unsigned before = rebuilds_;
    table_->SetTable(name);
    if (rebuilds_ == before) Rebuild();
}

const TStrTableDB32Bit& TDBInterpol32Bit::Data() const {
    return *table_;
}

void TDBInterpol32Bit::SourceChanged(TCustomTable&, unsigned) {
    Rebuild();
}

void TDBInterpol32Bit::Rebuild() {
    ++rebuilds_;
    ClearCurves();
    const TStrTableDB32Bit& t = *table_;
    const int rows = t.Rows();
    if (rows < 1 || t.Cols() != 3) return;
    const TStrFieldDB* names = t.Column(0);
    const TStrFieldDB* xs = t.Column(1);
    const TStrFieldDB* ys = t.Column(2);
    if (!names || !xs || !ys || names->DataType() != csfString || xs->DataType() != csfFloat ||
        ys->DataType() != csfFloat)
        return;

    // Pass 1 counts the points of each curve so that pass 2 fills presized arrays.
    std::vector<std::string> rowNames(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        rowNames[r] = names->GetText(r);
        if (rowNames[r].empty()) continue;
        bool created = false;
        TDBInterpolCurve& c = CurveFor(rowNames[r], created);
        if (!created) c.ExpectPoint();
    }
    for (int r = 0; r < rows; ++r) {
        if (rowNames[r].empty()) continue;
        bool created = false;
        TDBInterpolCurve& c = CurveFor(rowNames[r], created);
        c.AddPoint(xs->GetFloat(r), ys->GetFloat(r));
    }
}

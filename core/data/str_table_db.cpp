#include "core/data/str_table_db.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <numeric>

#include "core/data/container_format.h"
#include "core/quantities/number_format.h"
#include "core/util/trace.h"

namespace {

// A table of R rows needs at least one bit per row in some column; a larger count is
// corrupt and must not drive loops or allocations.
void CheckRowCount(TByteReader& r, int32_t rows) {
    if (rows < 0) r.Fail("negative row count");
    if (static_cast<uint64_t>(rows) > 8 * static_cast<uint64_t>(r.Size()))
        r.Fail("row count larger than the table's data can hold");
}

void SkipStringList(TByteReader& r, const char* what) {
    r.ReadI32();
    const size_t n = r.ReadCount(4, what);
    for (size_t i = 0; i < n; ++i) r.ReadRawString();
}

void SkimColumn(TByteReader& r, int32_t rows) {
    const std::string_view typeName = r.ReadRawString();
    const TStrFieldType type = FieldTypeFromName(typeName);
    const uint16_t prec = r.ReadU16();
    r.ReadU16();
    r.ReadU8();
    const bool hasIndex = r.ReadU8() != 0;
    std::span<const uint8_t> index;
    if (hasIndex) {
        if (!FieldTypeIndexable(type)) r.Fail("row index on a column of type " + std::string(typeName));
        const size_t k = r.ReadCount(4, "row index");
        index = r.ReadBytes(4 * k, "row index");
    }
    size_t values = 0;
    switch (type) {
    case csfPBool:
        values = r.ReadCount(0, "bit count");
        r.ReadBytes((values + 7) / 8, "bits");
        break;
    case csfBool:
    case csfByte: values = r.ReadCount(1, "byte values"); r.ReadBytes(values); break;
    case csfWord: values = r.ReadCount(2, "16-bit values"); r.ReadBytes(2 * values); break;
    case csfDWord: values = r.ReadCount(4, "32-bit values"); r.ReadBytes(4 * values); break;
    case csfFloat: values = r.ReadCount(8, "float values"); r.ReadBytes(8 * values); break;
    case csfStringLen: {
        const size_t width = static_cast<size_t>(prec) + 1;
        values = r.ReadCount(width, "fixed string count");
        r.ReadBytes(values * width, "fixed strings");
        break;
    }
    case csfString:
    case csfWideString: {
        r.ReadI32();
        values = r.ReadCount(4, "string count");
        for (size_t i = 0; i < values; ++i) r.ReadRawString();
        break;
    }
    case csfMemo:
        if (static_cast<uint64_t>(rows) * 8 > r.Remaining()) r.Fail("memo rows larger than the data");
        for (int32_t i = 0; i < rows; ++i) SkipStringList(r, "memo line count");
        break;
    case csfBLOB:
        if (static_cast<uint64_t>(rows) * 4 > r.Remaining()) r.Fail("blob rows larger than the data");
        for (int32_t i = 0; i < rows; ++i) r.ReadRawString();
        break;
    case csfWideStringLen: break;
    }
    if (!index.empty()) {
        // The extremes in one branch-free pass, which the compiler vectorises.
        int32_t lo = INT32_MAX, hi = INT32_MIN;
        for (size_t i = 0; i < index.size(); i += 4) {
            int32_t slot;
            std::memcpy(&slot, index.data() + i, 4);
            lo = std::min(lo, slot);
            hi = std::max(hi, slot);
        }
        if (lo < 0 || static_cast<size_t>(hi) >= values)
            r.Fail("row index points outside the column's values");
    }
}

bool LocateBool(const TLocateValue& v) {
    if (auto* b = std::get_if<bool>(&v)) return *b;
    if (auto* i = std::get_if<int64_t>(&v)) return *i != 0;
    if (auto* d = std::get_if<double>(&v)) return *d != 0;
    const auto& s = std::get<std::string>(v);
    return s == "X" || SameTextAscii(s, "True") || s == "1";
}

double LocateNumber(const TLocateValue& v) {
    if (auto* b = std::get_if<bool>(&v)) return *b ? 1 : 0;
    if (auto* i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
    if (auto* d = std::get_if<double>(&v)) return *d;
    return ReadNumber(std::get<std::string>(v));
}

std::string LocateText(const TLocateValue& v) {
    if (auto* b = std::get_if<bool>(&v)) return *b ? "X" : "-";
    if (auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
    if (auto* d = std::get_if<double>(&v)) return ShortDecimal(*d);
    return std::get<std::string>(v);
}

bool LocateMatches(const TStrFieldDB& f, int row, const TLocateValue& v) {
    const TStrFieldType t = f.DataType();
    if (FieldTypeIsBool(t)) return f.GetBool(row) == LocateBool(v);
    if (t == csfFloat) return f.GetFloat(row) == LocateNumber(v);
    if (FieldTypeIsInt(t)) {
        const double x = RoundHalfEven(LocateNumber(v));
        if (!(x >= -2147483648.0 && x <= 2147483647.0)) return false;
        return f.GetInt(row) == static_cast<int32_t>(x);
    }
    if (FieldTypeIsText(t)) return f.GetText(row) == LocateText(v);
    return false; // memo and blob cells never match
}

} // namespace

void ValidateTableBlob(std::span<const uint8_t> blob) {
    TByteReader r(blob);
    const std::string_view kind = r.ReadRawString();
    if (kind != "Table" && kind != "TableIndexed") return;
    const int32_t rows = r.ReadI32();
    CheckRowCount(r, rows);
    r.ReadI32();
    const size_t cols = r.ReadCount(4, "column count");
    for (size_t i = 0; i < cols; ++i) r.ReadRawString();
    for (size_t i = 0; i < cols; ++i) SkimColumn(r, rows);
}

// --- TCustomStrTableDB ---

void TCustomStrTableDB::SetRows(int rows) {
    if (rows < 0) rows = 0;
    for (auto& c : columns_) c->SetRows(rows);
    rows_ = rows;
    Changed(cChangeContents);
}

void TCustomStrTableDB::SetIndexed(bool indexed) {
    for (auto& c : columns_) c->SetIndexed(indexed);
    indexed_ = indexed;
    if (indexed) readOnly_ = true;
}

const TStrFieldDB* TCustomStrTableDB::Column(int col) const {
    if (col < 0 || col >= static_cast<int>(columns_.size())) return nullptr;
    return columns_[col].get();
}

const TStrFieldDB* TCustomStrTableDB::Column(std::string_view name) const {
    const int col = ColByName(name);
    if (col < 0) throw EStrQueryError("invalid column name: " + std::string(name));
    return columns_[col].get();
}

TStrFieldDB* TCustomStrTableDB::MutableColumn(int col) {
    if (col < 0 || col >= static_cast<int>(columns_.size())) return nullptr;
    return columns_[col].get();
}

void TCustomStrTableDB::ReadCell(int row, int col, TTerm& term) const {
    if (col < 0 || col >= static_cast<int>(columns_.size()) || row < 0 || row >= rows_) {
        term = TTerm();
        return;
    }
    columns_[col]->ReadCell(row, term);
}

bool TCustomStrTableDB::DirectCell(int row, int col, const TStrFieldDB*& field, int& fieldRow) const {
    if (OnChangeField || col < 0 || col >= static_cast<int>(columns_.size()) || row < 0 || row >= rows_)
        return false;
    field = columns_[col].get();
    fieldRow = row;
    return true;
}

void TCustomStrTableDB::DistinctValues(int col, TDistinctList& target,
                                       const TTavCustomIndexEvent& custom, int counting,
                                       TStrSort sort, std::vector<double>* numbers) const {
    const TStrFieldDB* f = Column(col);
    if (f && !f->Indexed() && !OnChangeField) {
        // Row form: group the rows by stored value, then make each value's text once.
        std::vector<int32_t> rows(static_cast<size_t>(Rows()));
        std::iota(rows.begin(), rows.end(), 0);
        TDistinctBuilder builder(custom, counting, sort);
        if (AddDistinctByValue(*f, rows, builder)) {
            builder.Finish(target, numbers);
            return;
        }
    }
    if (!f || !f->Indexed() || counting != 0) {
        DistinctValuesByRows(col, target, custom, counting, sort, numbers);
        return;
    }
    // Dictionary form: the value store is the list of distinct values already.
    target.Clear();
    target.Sorted = false;
    const size_t n = f->ValueCount();
    target.Items.reserve(n);
    std::vector<double> values;
    values.reserve(n);
    TTerm t;
    for (size_t s = 0; s < n; ++s) {
        f->ReadSlot(static_cast<int>(s), t);
        target.Items.push_back({t.Text, 1});
        values.push_back(t.Value);
    }
    if (sort == cSortASCII) {
        std::vector<size_t> order(n);
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return target.Items[a].Text < target.Items[b].Text;
        });
        std::vector<TDistinctList::Entry> items;
        std::vector<double> sortedValues;
        items.reserve(n);
        sortedValues.reserve(n);
        for (size_t i : order) {
            items.push_back(std::move(target.Items[i]));
            sortedValues.push_back(values[i]);
        }
        target.Items = std::move(items);
        values = std::move(sortedValues);
        target.Sorted = true;
    }
    if (numbers) *numbers = std::move(values);
}

void TCustomStrTableDB::RebuildNames() {
    cols_ = static_cast<int>(columns_.size());
}

void TCustomStrTableDB::DeleteColumn(int col) {
    if (col < 0 || col >= static_cast<int>(columns_.size())) return;
    columns_.erase(columns_.begin() + col);
    names_.erase(names_.begin() + col);
    RebuildNames();
    Changed(cChangeStructure);
}

TStrFieldDB& TCustomStrTableDB::AddColumn(const std::string& name, TStrFieldType type,
                                          uint16_t prec, uint16_t dec, uint8_t transl8) {
    auto f = std::make_unique<TStrFieldDB>(type, prec, dec, transl8);
    f->SetRows(rows_);
    if (indexed_) f->SetIndexed(true);
    columns_.push_back(std::move(f));
    names_.push_back(name);
    RebuildNames();
    Changed(cChangeStructure);
    return *columns_.back();
}

void TCustomStrTableDB::Clear() {
    columns_.clear();
    names_.clear();
    rows_ = 0;
    recNo_ = 0;
    blobBytes_ = 0;
    RebuildNames();
}

bool TCustomStrTableDB::Locate(const std::vector<TLocateValue>& values) {
    const size_t k = std::min(values.size(), columns_.size());
    for (int row = 0; row < rows_; ++row) {
        bool all = true;
        for (size_t c = 0; c < k && all; ++c) all = LocateMatches(*columns_[c], row, values[c]);
        if (all) {
            recNo_ = row;
            return true;
        }
    }
    return false;
}

const TStrFieldDB& TCustomStrTableDB::CurrentColumn(std::string_view colName) const {
    const TStrFieldDB* f = Column(colName);
    if (recNo_ < 0 || recNo_ >= rows_) throw EStrQueryError("no dataset selected");
    return *f;
}

int32_t TCustomStrTableDB::FieldAsInteger(std::string_view colName) const {
    const TStrFieldDB& f = CurrentColumn(colName);
    TTerm t;
    f.ReadCell(recNo_, t);
    return t.Tag;
}

double TCustomStrTableDB::FieldAsFloat(std::string_view colName) const {
    const TStrFieldDB& f = CurrentColumn(colName);
    TTerm t;
    f.ReadCell(recNo_, t);
    return t.Value;
}

std::string TCustomStrTableDB::FieldAsText(std::string_view colName) const {
    return CurrentColumn(colName).GetText(recNo_);
}

std::vector<uint8_t> TCustomStrTableDB::SaveToBytes() const {
    TByteWriter w;
    WriteAnsiString(w, indexed_ ? "TableIndexed" : "Table");
    w.WriteCount(static_cast<size_t>(rows_));
    WriteAnsiStringList(w, names_);
    for (const auto& c : columns_) c->WriteToStream(w);
    // The reader refuses more rows than the data could hold (one bit each); so does the writer.
    if (static_cast<uint64_t>(rows_) > 8 * static_cast<uint64_t>(w.Size()))
        throw std::length_error("a table of " + std::to_string(rows_) +
                                " rows needs columns that hold them");
    return std::move(w.Buffer());
}

size_t TCustomStrTableDB::MemoryBytes() const {
    size_t n = sizeof(*this);
    bool viewing = false;
    for (const auto& c : columns_) {
        n += c->MemoryBytes() + sizeof(c);
        viewing = viewing || c->ViewsBlob();
    }
    if (viewing) n += blobBytes_;
    for (const auto& s : names_) n += sizeof(s) + s.capacity();
    return n;
}

// --- TStrTableDB32Bit ---

struct TStrTableDB32BitLoader {
    TStrTableDB32BitLoader() {
        TOrsikConnectionListener::Register<TStrTableDB32Bit>(
            [](TStrTableDB32Bit& table, TOrsikConnection& connection) {
                table.loadError_.clear();
                try {
                    table.LoadFromStream(connection.GetTableStream(table.Table()),
                                         connection.Image().Storage);
                } catch (const EFormatError& e) {
                    table.loadError_ = e.what();
                }
            });
    }
};
static TStrTableDB32BitLoader s_strTableLoader;

TStrTableDB32Bit::TStrTableDB32Bit() = default;

TStrTableDB32Bit::~TStrTableDB32Bit() { destroying_ = true; }

void TStrTableDB32Bit::SetConnection(TOrsikConnection* connection) {
    if (TOrsikConnection* old = Connection()) old->UnregisterClient(this);
    Clear();
    Changed(cChangeLoaded);
    if (connection) {
        connection->RegisterClient(this);
        connection->AnnounceClient(*this);
    }
}

void TStrTableDB32Bit::SetTable(const std::string& name) {
    if (name == table_) return;
    table_ = name;
    Clear();
    Changed(cChangeLoaded);
    if (Connection() && Connection()->Active()) Connection()->AnnounceClient(*this);
}

void TStrTableDB32Bit::LoadFromStream(std::optional<std::span<const uint8_t>> blob) {
    if (!blob) {
        LoadFromStream(std::nullopt, nullptr);
        return;
    }
    // Uninitialised: the copy overwrites every byte.
    std::shared_ptr<uint8_t[]> copy(new uint8_t[blob->size()]);
    if (!blob->empty()) std::memcpy(copy.get(), blob->data(), blob->size());
    const std::span<const uint8_t> bytes(copy.get(), blob->size());
    LoadFromStream(bytes, std::move(copy));
}

void TStrTableDB32Bit::LoadFromStream(std::optional<std::span<const uint8_t>> blob,
                                      std::shared_ptr<const void> owner) {
    if (blob && !owner) {
        LoadFromStream(blob);
        return;
    }
    Clear();
    indexed_ = false;
    if (!blob) {
        Changed(cChangeLoaded);
        return;
    }
    const bool trace = TraceEnabled();
    if (trace) TraceLine("TStrTableDB32Bit.LoadFromStream()");
    try {
        TByteReader r(*blob);
        const std::string kind = ReadAnsiString(r);
        if (kind == "Table" || kind == "TableIndexed") {
            if (kind == "TableIndexed") SetIndexed(true);
            const int32_t rows = r.ReadI32();
            CheckRowCount(r, rows);
            if (trace) TraceLine(FormatText("Format = %s,  Rows = %d", kind.c_str(), rows));
            std::vector<std::string> names = ReadAnsiStringList(r);
            columns_.reserve(names.size());
            for (size_t i = 0; i < names.size(); ++i) {
                if (trace) TraceLine(FormatText("Col[%d].name = \"%s\"", static_cast<int>(i), names[i].c_str()));
                columns_.push_back(TStrFieldDB::CreateFromStream(r, rows, owner));
            }
            names_ = std::move(names);
            rows_ = rows;
            blobBytes_ = blob->size();
            RebuildNames();
        }
    } catch (...) {
        Clear();
        indexed_ = false;
        Changed(cChangeLoaded);
        throw;
    }
    Changed(cChangeLoaded);
}

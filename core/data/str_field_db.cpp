#include "core/data/str_field_db.h"

#include "core/data/custom_table.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

#include "core/data/container_format.h"
#include "core/quantities/number_format.h"
#include "core/util/codepage.h"
#include "core/util/trace.h"

static_assert(std::endian::native == std::endian::little,
              "the container's little-endian arrays are read as they lie");

namespace {

constexpr const char* kTypeNames[kFieldTypeCount] = {
    "csfPBool", "csfBool",   "csfByte", "csfWord", "csfDWord",         "csfFloat",
    "csfStringLen", "csfString", "csfMemo", "csfBLOB", "csfWideStringLen", "csfWideString"};

// Reads an array where it lies: the column keeps the blob alive, or copies it when it has none.
template <typename T> void ReadArray(TByteReader& r, TValueArray<T>& out, const char* what) {
    const size_t n = r.ReadCount(sizeof(T), what);
    out.View(r.ReadBytes(n * sizeof(T), what));
}

template <typename T> void WriteArray(TByteWriter& w, const TValueArray<T>& v) {
    w.WriteCount(v.size());
    w.WriteBytes(v.AsBytes());
}

std::string EncodeAnsi(std::string_view utf8) {
    std::string out;
    if (!Utf8ToCp1252(utf8, out))
        throw std::invalid_argument("text cannot be stored in code page 1252: " +
                                    std::string(utf8));
    return out;
}

const std::string kMemoText = "<Memo>";
const std::string kBlobText = "<BLOB>";

// Most catalogue texts are plain ASCII and go into the pool without a conversion copy.
void PushAnsi(TStringPool& pool, std::string_view raw) {
    if (IsAsciiText(raw))
        pool.Push(raw);
    else
        pool.Push(Cp1252ToUtf8(raw));
}

} // namespace

const char* FieldTypeName(TStrFieldType type) {
    return type < kFieldTypeCount ? kTypeNames[type] : kTypeNames[0];
}

TStrFieldType FieldTypeFromName(std::string_view name, bool* known) {
    for (int i = 0; i < kFieldTypeCount; ++i)
        if (name == kTypeNames[i]) {
            if (known) *known = true;
            return static_cast<TStrFieldType>(i);
        }
    if (known) *known = false;
    return csfPBool;
}

TStrFieldDB::TStrFieldDB(TStrFieldType type, uint16_t prec, uint16_t dec, uint8_t transl8)
    : Prec(prec), Dec(dec), Transl8(transl8), type_(type) {
    if (type_ == csfMemo || type_ == csfBLOB) rowStart_.assign(1, 0);
}

std::unique_ptr<TStrFieldDB> TStrFieldDB::CreateFromStream(TByteReader& r, int rows,
                                                          std::shared_ptr<const void> blob) {
    const std::string typeName = ReadAnsiString(r);
    const TStrFieldType type = FieldTypeFromName(typeName);
    const uint16_t prec = r.ReadU16();
    const uint16_t dec = r.ReadU16();
    const uint8_t transl8 = r.ReadU8();
    const bool hasIndex = r.ReadU8() != 0;
    auto f = std::make_unique<TStrFieldDB>(type, prec, dec, transl8);
    f->rows_ = rows;
    if (TraceEnabled())
        TraceLine(FormatText("TStrFieldDB.CreateFromStream() DT=%s Prec=%d Dec=%d Transl8=%d",
                             typeName.c_str(), prec, dec, transl8));
    if (hasIndex) {
        if (!FieldTypeIndexable(type)) r.Fail(std::string("row index on a column of type ") + typeName);
        ReadArray(r, f->index_, "row index");
        f->indexed_ = true;
    }
    f->ReadValues(r);
    if (f->indexed_ && !f->index_.empty()) {
        // The extremes in one branch-free pass, which the compiler vectorises.
        const TValueArray<int32_t>& index = f->index_;
        int32_t lo = INT32_MAX, hi = INT32_MIN;
        for (size_t i = 0; i < index.size(); ++i) {
            lo = std::min(lo, index[i]);
            hi = std::max(hi, index[i]);
        }
        if (lo < 0 || static_cast<size_t>(hi) >= f->ValueCount())
            r.Fail("row index points outside the column's values");
    }
    if (!blob)
        f->OwnValues();
    else if (f->ViewsBlob())
        f->blob_ = std::move(blob);
    if (TraceEnabled()) {
        const std::string range = f->ValueRangeText();
        if (!range.empty()) TraceLine(range);
    }
    return f;
}

void TStrFieldDB::ReadValues(TByteReader& r) {
    switch (type_) {
    case csfPBool: {
        const size_t n = r.ReadCount(0, "bit count");
        const size_t bytes = (n + 7) / 8;
        bytes_.View(r.ReadBytes(bytes, "bits"));
        boolCount_ = n;
        break;
    }
    case csfBool:
    case csfByte: ReadArray(r, bytes_, "byte values"); break;
    case csfWord: ReadArray(r, words_, "16-bit values"); break;
    case csfDWord: ReadArray(r, dwords_, "32-bit values"); break;
    case csfFloat: ReadArray(r, floats_, "float values"); break;
    case csfStringLen: {
        const size_t width = static_cast<size_t>(Prec) + 1;
        const size_t n = r.ReadCount(width, "fixed string count");
        texts_.Reserve(n, n * Prec);
        for (size_t i = 0; i < n; ++i) {
            auto e = r.ReadBytes(width, "fixed string");
            const size_t len = std::min<size_t>(e[0], Prec);
            PushAnsi(texts_, {reinterpret_cast<const char*>(e.data()) + 1, len});
        }
        break;
    }
    case csfString: {
        r.ReadI32(); // block size: informative only
        const size_t n = r.ReadCount(4, "string count");
        texts_.ViewList(r, n, TStringPool::speAnsi);
        break;
    }
    case csfMemo: {
        if (static_cast<uint64_t>(rows_) * 8 > r.Remaining()) r.Fail("memo rows larger than the data");
        rowStart_.reserve(static_cast<size_t>(rows_) + 1);
        for (int row = 0; row < rows_; ++row) {
            r.ReadI32();
            const size_t n = r.ReadCount(4, "memo line count");
            for (size_t i = 0; i < n; ++i) PushAnsi(texts_, r.ReadRawString());
            rowStart_.push_back(static_cast<uint32_t>(texts_.Size()));
        }
        break;
    }
    case csfBLOB: {
        if (static_cast<uint64_t>(rows_) * 4 > r.Remaining()) r.Fail("blob rows larger than the data");
        rowStart_.reserve(static_cast<size_t>(rows_) + 1);
        for (int row = 0; row < rows_; ++row) {
            const size_t n = r.ReadCount(1, "blob size");
            auto b = r.ReadBytes(n, "blob");
            blobData_.insert(blobData_.end(), b.begin(), b.end());
            rowStart_.push_back(static_cast<uint32_t>(blobData_.size()));
        }
        break;
    }
    case csfWideStringLen: break;
    case csfWideString: {
        r.ReadI32(); // block size: informative only
        const size_t n = r.ReadCount(4, "wide string count");
        texts_.ViewList(r, n, TStringPool::speUtf16);
        break;
    }
    }
    // Texts beyond ASCII outgrow the size estimates, and a grown buffer keeps up to as much
    // room again as it holds.
    texts_.ShrinkToFit();
}

// Copies whatever is read in place, for a column that has no blob to keep.
void TStrFieldDB::OwnValues() {
    index_.Assign(index_.ToVector());
    bytes_.Assign(bytes_.ToVector());
    words_.Assign(words_.ToVector());
    dwords_.Assign(dwords_.ToVector());
    floats_.Assign(floats_.ToVector());
    texts_.Own();
    blob_.reset();
}

void TStrFieldDB::ReleaseUnusedBlob() {
    if (blob_ && !ViewsBlob()) blob_.reset();
}

bool TStrFieldDB::ViewsBlob() const {
    return index_.Viewing() || bytes_.Viewing() || words_.Viewing() || dwords_.Viewing() ||
           floats_.Viewing() || texts_.Viewing();
}

void TStrFieldDB::WriteToStream(TByteWriter& w) const {
    WriteAnsiString(w, FieldTypeName(type_));
    w.WriteU16(Prec);
    w.WriteU16(Dec);
    w.WriteU8(Transl8);
    w.WriteU8(indexed_ ? 1 : 0);
    if (indexed_) WriteArray(w, index_);
    switch (type_) {
    case csfPBool:
        w.WriteCount(boolCount_);
        w.WriteBytes(bytes_.AsBytes().first((boolCount_ + 7) / 8));
        break;
    case csfBool:
    case csfByte: WriteArray(w, bytes_); break;
    case csfWord: WriteArray(w, words_); break;
    case csfDWord: WriteArray(w, dwords_); break;
    case csfFloat: WriteArray(w, floats_); break;
    case csfStringLen:
        w.WriteCount(texts_.Size());
        for (size_t i = 0; i < texts_.Size(); ++i) {
            std::string s = EncodeAnsi(texts_.Get(i));
            if (s.size() > Prec) s.resize(Prec);
            std::string element(static_cast<size_t>(Prec) + 1, '\0');
            element[0] = static_cast<char>(s.size());
            std::memcpy(element.data() + 1, s.data(), s.size());
            w.WriteBytes(element);
        }
        break;
    case csfString:
    case csfWideString: {
        const size_t sizeAt = w.Size();
        w.WriteI32(0);
        w.WriteCount(texts_.Size());
        for (size_t i = 0; i < texts_.Size(); ++i)
            w.WriteRawString(type_ == csfString ? EncodeAnsi(texts_.Get(i))
                                                : Utf8ToUtf16Le(texts_.Get(i)));
        w.PatchI32(sizeAt, static_cast<int32_t>(w.Size() - sizeAt - 4));
        break;
    }
    case csfMemo:
        for (int row = 0; row < rows_; ++row) WriteAnsiStringList(w, Memo(row));
        break;
    case csfBLOB:
        for (int row = 0; row < rows_; ++row) {
            auto b = Blob(row);
            w.WriteCount(b.size());
            w.WriteBytes(b);
        }
        break;
    case csfWideStringLen: break;
    }
}

size_t TStrFieldDB::ValueCount() const {
    switch (type_) {
    case csfPBool: return boolCount_;
    case csfBool:
    case csfByte: return bytes_.size();
    case csfWord: return words_.size();
    case csfDWord: return dwords_.size();
    case csfFloat: return floats_.size();
    case csfStringLen:
    case csfString:
    case csfWideString: return texts_.Size();
    case csfMemo:
    case csfBLOB: return rowStart_.size() - 1;
    case csfWideStringLen: return 0;
    }
    return 0;
}

int TStrFieldDB::Slot(int row) const {
    if (row < 0) return -1;
    if (indexed_) return static_cast<size_t>(row) < index_.size() ? index_[row] : -1;
    return static_cast<size_t>(row) < ValueCount() ? row : -1;
}

bool TStrFieldDB::SlotBool(int slot) const {
    if (type_ == csfPBool) return (bytes_[slot >> 3] >> (slot & 7)) & 1;
    return bytes_[slot] != 0;
}

int32_t TStrFieldDB::SlotInt(int slot) const {
    switch (type_) {
    case csfByte: return bytes_[slot];
    case csfWord: return words_[slot];
    case csfDWord: return dwords_[slot];
    default: return 0;
    }
}

std::string_view TStrFieldDB::SlotText(int slot) const { return texts_.Get(slot); }

std::string_view TStrFieldDB::TextView(int row) const {
    if (type_ != csfStringLen && type_ != csfString && type_ != csfWideString) return {};
    const int slot = Slot(row);
    return slot < 0 ? std::string_view() : SlotText(slot);
}

const std::vector<int32_t>* TStrFieldDB::RowValueIds(const std::vector<int32_t>*& firstRows) const {
    firstRows = nullptr;
    const bool number = FieldTypeIsInt(type_) || type_ == csfFloat;
    const bool text = type_ == csfStringLen || type_ == csfString || type_ == csfWideString;
    if (indexed_ || (!number && !text)) return nullptr;
    if (!valueIdsValid_) {
        valueIds_.assign(static_cast<size_t>(rows_), 0);
        idFirstRow_.clear();
        auto group = [&](auto& seen, const auto& key, int32_t row) {
            const auto [at, added] = seen.try_emplace(key, static_cast<int32_t>(idFirstRow_.size()));
            if (added) idFirstRow_.push_back(row);
            valueIds_[static_cast<size_t>(row)] = at->second;
        };
        if (number) {
            std::unordered_map<uint64_t, int32_t> seen;
            for (int32_t r = 0; r < rows_; ++r) {
                const double v = GetFloat(r);
                uint64_t bits;
                std::memcpy(&bits, &v, sizeof bits);
                group(seen, bits, r);
            }
        } else {
            std::unordered_map<std::string_view, int32_t> seen;
            for (int32_t r = 0; r < rows_; ++r) group(seen, TextView(r), r);
        }
        valueIdsValid_ = true;
    }
    firstRows = &idFirstRow_;
    return &valueIds_;
}

bool AddDistinctByValue(const TStrFieldDB& field, std::span<const int32_t> rows, TDistinctBuilder& builder) {
    const std::vector<int32_t>* firstRows = nullptr;
    const std::vector<int32_t>* ids = field.RowValueIds(firstRows);
    if (!ids) return false;
    // Count each stored value over the rows, in order of first appearance among them.
    std::vector<int32_t> count(firstRows->size(), 0);
    std::vector<int32_t> order;
    for (const int32_t r : rows) {
        if (r < 0 || static_cast<size_t>(r) >= ids->size()) continue;
        const int32_t id = (*ids)[static_cast<size_t>(r)];
        if (count[static_cast<size_t>(id)]++ == 0) order.push_back(id);
    }
    TTerm cell;
    for (const int32_t id : order) {
        field.ReadCell((*firstRows)[static_cast<size_t>(id)], cell);
        builder.Add(cell, count[static_cast<size_t>(id)]);
    }
    return true;
}

void TStrFieldDB::ReadCell(int row, TTerm& term) const {
    if (row < 0 || row >= rows_) {
        term = TTerm();
        return;
    }
    ReadSlot(indexed_ ? Slot(row) : row, term);
}

void TStrFieldDB::ReadSlot(int slot, TTerm& term) const {
    // Cleared, but a reader that reuses one term keeps its text buffer.
    std::string text = std::move(term.Text);
    text.clear();
    term = TTerm();
    term.Text = std::move(text);
    // A row the file holds no value for (a value store or row index shorter than the table)
    // reads as the type's default value: the same cell SetIndexed, SetRows and the typed
    // getters give it.
    const bool valid = slot >= 0 && static_cast<size_t>(slot) < ValueCount();
    switch (type_) {
    case csfPBool:
    case csfBool:
        term.Typ = cTTAlpha;
        term.Text = valid && SlotBool(slot) ? "X" : "-";
        break;
    case csfByte:
    case csfWord:
    case csfDWord: TermFromInt(term, valid ? SlotInt(slot) : 0, Prec); break;
    case csfFloat:
        if (valid && indexed_) {
            term.Typ = cTTNum;
            term.Value = floats_[slot];
            term.Text = CachedFloatText(slot);
        } else {
            TermFromFloat(term, Prec, Dec, valid ? floats_[slot] : 0.0);
        }
        break;
    case csfStringLen:
    case csfString:
    case csfWideString:
        term.Typ = cTTAlpha;
        if (valid) term.Text.assign(SlotText(slot));
        break;
    case csfMemo:
    case csfBLOB:
        term.Typ = cTTAlpha;
        term.Text = type_ == csfMemo ? kMemoText : kBlobText;
        if (valid) {
            term.Object = this;
            term.Tag = slot;
        }
        break;
    case csfWideStringLen: term.Typ = cTTAlpha; break;
    }
}

const std::string& TStrFieldDB::CachedFloatText(int slot) const {
    const char sep = DecimalSeparator();
    if (textCache_.size() != floats_.size() || cacheSep_ != sep || cachePrec_ != Prec || cacheDec_ != Dec) {
        textCache_.assign(floats_.size(), std::string());
        textCached_.assign(floats_.size(), 0);
        cacheSep_ = sep;
        cachePrec_ = Prec;
        cacheDec_ = Dec;
    }
    if (!textCached_[slot]) {
        textCache_[slot] = FloatText(floats_[slot], Prec, Dec);
        textCached_[slot] = 1;
    }
    return textCache_[slot];
}

void TStrFieldDB::InvalidateTextCache() {
    textCache_.clear();
    textCached_.clear();
    valueIdsValid_ = false;
    valueIds_.clear();
    idFirstRow_.clear();
}

bool TStrFieldDB::GetBool(int row) const {
    const int s = Slot(row);
    return s >= 0 && FieldTypeIsBool(type_) && SlotBool(s);
}

int32_t TStrFieldDB::GetInt(int row) const {
    const int s = Slot(row);
    return s >= 0 ? SlotInt(s) : 0;
}

double TStrFieldDB::GetFloat(int row) const {
    const int s = Slot(row);
    if (s < 0) return 0.0;
    return type_ == csfFloat ? floats_[s] : SlotInt(s);
}

std::string TStrFieldDB::GetText(int row) const {
    TTerm t;
    ReadCell(row, t);
    return t.Text;
}

std::vector<std::string> TStrFieldDB::Memo(int row) const {
    std::vector<std::string> lines;
    if (type_ != csfMemo || row < 0 || static_cast<size_t>(row) + 1 >= rowStart_.size()) return lines;
    for (uint32_t i = rowStart_[row]; i < rowStart_[row + 1]; ++i) lines.emplace_back(texts_.Get(i));
    return lines;
}

std::span<const uint8_t> TStrFieldDB::Blob(int row) const {
    if (type_ != csfBLOB || row < 0 || static_cast<size_t>(row) + 1 >= rowStart_.size()) return {};
    return std::span<const uint8_t>(blobData_).subspan(rowStart_[row], rowStart_[row + 1] - rowStart_[row]);
}

void TStrFieldDB::SetRows(int rows) {
    InvalidateTextCache();
    if (rows < 0) rows = 0;
    const auto n = static_cast<size_t>(rows);
    if (indexed_) {
        if (n > index_.size()) {
            // New rows take the slot of the default value, appended once when absent.
            int32_t slot = -1;
            for (size_t s = 0; s < ValueCount() && slot < 0; ++s) {
                TTerm t;
                ReadSlot(static_cast<int>(s), t);
                if (t.Value == 0 && (t.Typ == cTTNum || t.Text.empty())) slot = static_cast<int32_t>(s);
            }
            if (slot < 0) {
                slot = static_cast<int32_t>(ValueCount());
                switch (type_) {
                case csfByte: bytes_.push_back(0); break;
                case csfWord: words_.push_back(0); break;
                case csfDWord: dwords_.push_back(0); break;
                case csfFloat: floats_.push_back(0.0); break;
                default: texts_.Push({}); break;
                }
            }
            index_.resize(n, slot);
        } else {
            index_.resize(n);
        }
        rows_ = rows;
        ReleaseUnusedBlob();
        return;
    }
    switch (type_) {
    case csfPBool:
        bytes_.resize((n + 7) / 8);
        if (n > boolCount_ && (boolCount_ & 7) != 0 && boolCount_ / 8 < bytes_.size())
            bytes_.Set(boolCount_ / 8, static_cast<uint8_t>(bytes_[boolCount_ / 8] &
                                                         ((1u << (boolCount_ & 7)) - 1)));
        boolCount_ = n;
        break;
    case csfBool:
    case csfByte: bytes_.resize(n); break;
    case csfWord: words_.resize(n); break;
    case csfDWord: dwords_.resize(n); break;
    case csfFloat: floats_.resize(n); break;
    case csfStringLen:
    case csfString:
    case csfWideString: texts_.Resize(n); break;
    case csfMemo:
        if (n + 1 < rowStart_.size()) {
            rowStart_.resize(n + 1);
            texts_.Resize(rowStart_.back());
        } else {
            rowStart_.resize(n + 1, rowStart_.back());
        }
        break;
    case csfBLOB:
        if (n + 1 < rowStart_.size()) {
            rowStart_.resize(n + 1);
            blobData_.resize(rowStart_.back());
        } else {
            rowStart_.resize(n + 1, rowStart_.back());
        }
        break;
    case csfWideStringLen: break;
    }
    rows_ = rows;
    ReleaseUnusedBlob();
}

void TStrFieldDB::SetIndexed(bool indexed) {
    InvalidateTextCache();
    if (!FieldTypeIndexable(type_) || indexed == indexed_) return;
    const size_t rows = static_cast<size_t>(rows_);
    if (indexed) {
        std::vector<int32_t> index(rows, 0);
        auto build = [&](auto& store, auto keyOf) {
            std::vector<decltype(store[0])> distinct;
            std::unordered_map<decltype(keyOf(store, 0)), int32_t> slots;
            for (size_t r = 0; r < rows; ++r) {
                if (r >= store.size()) {
                    index[r] = -1;
                    continue;
                }
                auto [it, fresh] = slots.emplace(keyOf(store, r), static_cast<int32_t>(distinct.size()));
                if (fresh) distinct.push_back(store[r]);
                index[r] = it->second;
            }
            store.Assign(std::move(distinct));
        };
        switch (type_) {
        case csfByte: build(bytes_, [](auto& s, size_t i) { return s[i]; }); break;
        case csfWord: build(words_, [](auto& s, size_t i) { return s[i]; }); break;
        case csfDWord: build(dwords_, [](auto& s, size_t i) { return s[i]; }); break;
        case csfFloat:
            build(floats_, [](auto& s, size_t i) { return std::bit_cast<uint64_t>(s[i]); });
            break;
        default: {
            TStringPool distinct;
            std::unordered_map<std::string_view, int32_t> slots;
            for (size_t r = 0; r < rows; ++r) {
                if (r >= texts_.Size()) {
                    index[r] = -1;
                    continue;
                }
                const std::string_view v = texts_.Get(r);
                auto [it, fresh] = slots.emplace(v, static_cast<int32_t>(distinct.Size()));
                if (fresh) distinct.Push(v);
                index[r] = it->second;
            }
            texts_ = std::move(distinct);
            break;
        }
        }
        // Rows beyond a short store read as the default value.
        bool missing = false;
        for (auto& s : index) missing |= (s < 0);
        if (missing) {
            const auto slot = static_cast<int32_t>(ValueCount());
            switch (type_) {
            case csfByte: bytes_.push_back(0); break;
            case csfWord: words_.push_back(0); break;
            case csfDWord: dwords_.push_back(0); break;
            case csfFloat: floats_.push_back(0.0); break;
            default: texts_.Push({}); break;
            }
            for (auto& s : index)
                if (s < 0) s = slot;
        }
        index_.Assign(std::move(index));
        indexed_ = true;
        ReleaseUnusedBlob();
    } else {
        auto expand = [&](auto& store) {
            std::vector<decltype(store[0])> flat(rows);
            for (size_t r = 0; r < rows && r < index_.size(); ++r) flat[r] = store[index_[r]];
            store.Assign(std::move(flat));
        };
        switch (type_) {
        case csfByte: expand(bytes_); break;
        case csfWord: expand(words_); break;
        case csfDWord: expand(dwords_); break;
        case csfFloat: expand(floats_); break;
        default: {
            TStringPool flat;
            for (size_t r = 0; r < rows; ++r)
                flat.Push(r < index_.size() ? texts_.Get(index_[r]) : std::string_view());
            texts_ = std::move(flat);
            break;
        }
        }
        index_.clear();
        indexed_ = false;
        ReleaseUnusedBlob();
    }
}

void TStrFieldDB::BeginAppend() {
    if (indexed_) throw std::logic_error("cannot append to a column in dictionary form");
}

void TStrFieldDB::AppendBool(bool v) {
    InvalidateTextCache();
    BeginAppend();
    if (type_ == csfPBool) {
        if (boolCount_ % 8 == 0) bytes_.push_back(0);
        if (v)
            bytes_.Set(boolCount_ / 8, static_cast<uint8_t>(bytes_[boolCount_ / 8] |
                                                            (1u << (boolCount_ % 8))));
        ++boolCount_;
    } else {
        bytes_.push_back(v ? 1 : 0);
    }
    rows_ = static_cast<int>(ValueCount());
}

void TStrFieldDB::AppendInt(int32_t v) {
    InvalidateTextCache();
    BeginAppend();
    switch (type_) {
    case csfByte: bytes_.push_back(static_cast<uint8_t>(v)); break;
    case csfWord: words_.push_back(static_cast<int16_t>(v)); break;
    case csfDWord: dwords_.push_back(v); break;
    case csfFloat: floats_.push_back(v); break;
    default: throw std::logic_error("not an integer column");
    }
    rows_ = static_cast<int>(ValueCount());
}

void TStrFieldDB::AppendFloat(double v) {
    InvalidateTextCache();
    BeginAppend();
    if (type_ != csfFloat) throw std::logic_error("not a float column");
    floats_.push_back(v);
    rows_ = static_cast<int>(ValueCount());
}

void TStrFieldDB::AppendText(std::string_view utf8) {
    InvalidateTextCache();
    BeginAppend();
    if (type_ == csfStringLen || type_ == csfString) EncodeAnsi(utf8); // must fit the code page
    if (type_ == csfWideStringLen) {
        ++rows_;
        return;
    }
    if (!FieldTypeIsText(type_)) throw std::logic_error("not a text column");
    texts_.Push(utf8);
    rows_ = static_cast<int>(ValueCount());
}

void TStrFieldDB::AppendMemo(const std::vector<std::string>& lines) {
    if (type_ != csfMemo) throw std::logic_error("not a memo column");
    for (const auto& l : lines) {
        EncodeAnsi(l);
        texts_.Push(l);
    }
    rowStart_.push_back(static_cast<uint32_t>(texts_.Size()));
    rows_ = static_cast<int>(ValueCount());
}

void TStrFieldDB::AppendBlob(std::span<const uint8_t> bytes) {
    if (type_ != csfBLOB) throw std::logic_error("not a blob column");
    blobData_.insert(blobData_.end(), bytes.begin(), bytes.end());
    rowStart_.push_back(static_cast<uint32_t>(blobData_.size()));
    rows_ = static_cast<int>(ValueCount());
}

size_t TStrFieldDB::MemoryBytes() const {
    return sizeof(*this) + index_.MemoryBytes() + bytes_.MemoryBytes() + words_.MemoryBytes() +
           dwords_.MemoryBytes() + floats_.MemoryBytes() + texts_.MemoryBytes() +
           rowStart_.capacity() * sizeof(uint32_t) + blobData_.capacity() + textCached_.capacity() +
           textCache_.capacity() * sizeof(std::string);
}

std::string TStrFieldDB::ValueRangeText() const {
    const size_t n = ValueCount();
    if (n == 0) return {};
    const int last = static_cast<int>(n - 1);
    switch (type_) {
    case csfPBool:
    case csfBool: return FormatText("Values = %d .. %d", SlotBool(0) ? 1 : 0, SlotBool(last) ? 1 : 0);
    case csfByte:
    case csfWord:
    case csfDWord: return FormatText("Values = %d .. %d", SlotInt(0), SlotInt(last));
    case csfFloat: return FormatText("Values = %f .. %f", floats_[0], floats_[last]);
    case csfStringLen:
    case csfString:
    case csfWideString:
        return FormatText("Values = %s .. %s", std::string(texts_.Get(0)).c_str(),
                          std::string(texts_.Get(last)).c_str());
    default: return {};
    }
}

std::vector<std::string> MemoOf(const TTerm& term) {
    if (term.Object == nullptr || term.Text != kMemoText) return {};
    return static_cast<const TStrFieldDB*>(term.Object)->Memo(term.Tag);
}

std::span<const uint8_t> BlobOf(const TTerm& term) {
    if (term.Object == nullptr || term.Text != kBlobText) return {};
    return static_cast<const TStrFieldDB*>(term.Object)->Blob(term.Tag);
}

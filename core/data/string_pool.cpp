#include "core/data/string_pool.h"

#include "core/util/codepage.h"

#include <algorithm>

namespace {

char* PutUtf8(char* p, char32_t c) {
    if (c < 0x80) {
        *p++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *p++ = static_cast<char>(0xC0 | (c >> 6));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *p++ = static_cast<char>(0xE0 | (c >> 12));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *p++ = static_cast<char>(0xF0 | (c >> 18));
        *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return p;
}

// Utf16LeToUtf8 into `out`, which has room for 3 bytes per unit (a unit takes at most 3, a
// surrogate pair 4 for its 2 units): unpaired surrogates become U+FFFD, an odd last byte is
// ignored. Returns the end of the text.
char* DecodeUtf16Le(std::string_view bytes, char* out) {
    const size_t n = bytes.size() / 2;
    char* p = out;
    auto unit = [&](size_t k) -> char32_t {
        return static_cast<unsigned char>(bytes[2 * k]) |
               (static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * k + 1])) << 8);
    };
    for (size_t k = 0; k < n;) {
        if (k + 4 <= n) {
            // Runs of ASCII, four units at a time.
            uint64_t w;
            std::memcpy(&w, bytes.data() + 2 * k, 8);
            if ((w & 0xFF80FF80FF80FF80ull) == 0) {
                p[0] = static_cast<char>(w);
                p[1] = static_cast<char>(w >> 16);
                p[2] = static_cast<char>(w >> 32);
                p[3] = static_cast<char>(w >> 48);
                p += 4;
                k += 4;
                continue;
            }
        }
        char32_t c = unit(k++);
        if (c >= 0xD800 && c <= 0xDFFF) {
            const char32_t next = (c <= 0xDBFF && k < n) ? unit(k) : 0;
            if (next >= 0xDC00 && next <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
                ++k;
            } else {
                c = 0xFFFD;
            }
        }
        p = PutUtf8(p, c);
    }
    return p;
}

} // namespace

void TStringPool::ViewList(TByteReader& r, size_t count, TEncoding encoding) {
    Clear();
    if (count == 0) return;
    // Offsets are 32-bit; a blob beyond that (never a real one) is taken apart at once.
    if (r.Size() > UINT32_MAX - 8) {
        for (size_t i = 0; i < count; ++i) {
            const std::string_view raw = r.ReadRawString();
            Push(encoding == speAnsi ? Cp1252ToUtf8(raw) : Utf16LeToUtf8(raw));
        }
        return;
    }
    const char* base = reinterpret_cast<const char*>(r.Data().data());
    offsets_.clear();
    offsets_.reserve(count + 1);
    for (size_t i = 0; i < count; ++i)
        offsets_.push_back(static_cast<uint32_t>(r.ReadRawString().data() - base));
    offsets_.push_back(static_cast<uint32_t>(r.Position() + 4));
    view_ = base;
    encoding_ = encoding;
}

void TStringPool::Resize(size_t count) {
    Own();
    if (count < Size()) {
        offsets_.resize(count + 1);
        data_.resize(offsets_.back());
    } else {
        offsets_.resize(count + 1, static_cast<uint32_t>(data_.size()));
    }
}

size_t TStringPool::MemoryBytes() const {
    return data_.capacity() + offsets_.capacity() * sizeof(uint32_t) +
           decoded_.capacity() * sizeof(const char*) + arenaBytes_ +
           chunks_.capacity() * sizeof(chunks_[0]);
}

void TStringPool::Own() {
    if (!view_) return;
    const size_t n = Size();
    std::string data;
    data.reserve(offsets_[n] - offsets_[0] - 4 * n); // the stored bytes: exact for ASCII
    std::vector<uint32_t> offsets;
    offsets.reserve(n + 1);
    offsets.push_back(0);
    for (size_t i = 0; i < n; ++i) {
        const std::string_view s = Get(i);
        if (data.size() + s.size() > UINT32_MAX) throw std::length_error("text pool too large");
        data.append(s);
        offsets.push_back(static_cast<uint32_t>(data.size()));
    }
    *this = TStringPool();
    data_ = std::move(data);
    offsets_ = std::move(offsets);
    ShrinkToFit();
}

char* TStringPool::Allocate(size_t bytes) const {
    if (bytes > freeBytes_) {
        // Chunks grow with the arena, so that a few decoded texts cost little and many cost
        // few allocations.
        const size_t size = std::max(bytes, std::clamp<size_t>(arenaBytes_, 256, 256 * 1024));
        chunks_.push_back(std::unique_ptr<char[]>(new char[size]));
        free_ = chunks_.back().get();
        freeBytes_ = size;
        arenaBytes_ += size;
    }
    char* p = free_;
    free_ += bytes;
    freeBytes_ -= bytes;
    return p;
}

std::string_view TStringPool::Decode(size_t i) const {
    if (decoded_.empty()) decoded_.assign(Size(), nullptr);
    const uint32_t at = offsets_[i];
    const std::string_view raw(view_ + at, offsets_[i + 1] - at - 4);
    char* d;
    uint32_t n;
    if (encoding_ == speUtf16) {
        d = Allocate(4 + 3 * (raw.size() / 2));
        n = static_cast<uint32_t>(DecodeUtf16Le(raw, d + 4) - (d + 4));
        // Gives back what the text did not need: it is the arena's last allocation.
        const size_t unused = 3 * (raw.size() / 2) - n;
        free_ -= unused;
        freeBytes_ += unused;
    } else {
        const std::string text = Cp1252ToUtf8(raw);
        n = static_cast<uint32_t>(text.size());
        d = Allocate(4 + text.size());
        std::memcpy(d + 4, text.data(), text.size());
    }
    std::memcpy(d, &n, 4);
    decoded_[i] = d;
    return {d + 4, n};
}

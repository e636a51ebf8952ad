#pragma once

#include "core/util/byte_reader.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

//! True when no byte has the high bit set: such 8-bit text is UTF-8 as it stands. Short texts
//! take a few overlapping loads instead of a loop over their bytes.
inline bool IsAsciiText(std::string_view s) {
    const char* p = s.data();
    const size_t n = s.size();
    uint64_t high = 0;
    if (n >= 8) {
        uint64_t w;
        for (size_t i = 0; i + 8 < n; i += 8) {
            std::memcpy(&w, p + i, 8);
            high |= w;
        }
        std::memcpy(&w, p + n - 8, 8);
        high |= w;
    } else if (n >= 4) {
        uint32_t a, b;
        std::memcpy(&a, p, 4);
        std::memcpy(&b, p + n - 4, 4);
        high = a | b;
    } else if (n > 0) {
        high = static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[n / 2]) |
               static_cast<unsigned char>(p[n - 1]);
    }
    return (high & 0x8080808080808080ull) == 0;
}

//! Compact list of texts. Own texts are one UTF-8 buffer plus offsets, so n texts cost 4 bytes
//! each plus their characters, as in the file.
//!
//! A loaded column's pool reads the string list of its table blob in place instead (whoever
//! makes the view keeps the blob alive): 8-bit texts that are plain ASCII are UTF-8 as they
//! stand; other 8-bit texts and all UTF-16 texts are decoded on their first read and kept, so a
//! load decodes nothing. Reading such a pool changes it, which the one thread the tables live
//! on allows. Texts returned stay valid until the pool is changed. The first change makes every
//! text an own one.
class TStringPool {
public:
    //! How the texts of a viewed string list are stored.
    enum TEncoding : uint8_t { speAnsi, speUtf16 };

    TStringPool() = default;
    TStringPool(TStringPool&&) = default;
    TStringPool& operator=(TStringPool&&) = default;

    size_t Size() const { return offsets_.size() - 1; }
    bool Empty() const { return Size() == 0; }
    std::string_view Get(size_t i) const {
        const uint32_t at = offsets_[i];
        if (!view_) return {data_.data() + at, offsets_[i + 1] - at};
        if (encoding_ == speAnsi) {
            // In a viewed list the next text's int32 length lies between two texts.
            const std::string_view raw(view_ + at, offsets_[i + 1] - at - 4);
            if (IsAsciiText(raw)) return raw;
        }
        if (!decoded_.empty()) {
            if (const char* d = decoded_[i]) {
                uint32_t n;
                std::memcpy(&n, d, 4);
                return {d + 4, n};
            }
        }
        return Decode(i);
    }

    //! Views `count` strings (int32 length + bytes each) that `r` reads next; fails like the
    //! reader on a truncated list.
    void ViewList(TByteReader& r, size_t count, TEncoding encoding);

    void Push(std::string_view s) {
        Own();
        if (data_.size() + s.size() > UINT32_MAX) throw std::length_error("text pool too large");
        data_.append(s);
        offsets_.push_back(static_cast<uint32_t>(data_.size()));
    }
    void Clear() { *this = TStringPool(); }
    void Reserve(size_t count, size_t bytes) {
        Own();
        offsets_.reserve(count + 1);
        data_.reserve(bytes);
    }
    void Resize(size_t count);
    //! Gives back the room a grown buffer keeps beyond its texts, when that room is large.
    void ShrinkToFit() {
        if (data_.capacity() - data_.size() > data_.size() / 8) data_.shrink_to_fit();
        if (offsets_.capacity() - offsets_.size() > offsets_.size() / 8) offsets_.shrink_to_fit();
    }
    //! Heap bytes held; viewed strings belong to the blob.
    size_t MemoryBytes() const;
    //! True while the texts are read in a blob rather than held.
    bool Viewing() const { return view_ != nullptr; }
    //! Makes every text an own one (decoding what is still undecoded).
    void Own();

private:
    std::string_view Decode(size_t i) const;
    char* Allocate(size_t bytes) const;

    std::string data_;
    std::vector<uint32_t> offsets_{0};
    const char* view_ = nullptr; // blob start the offsets of a viewed list count from
    TEncoding encoding_ = speAnsi;
    // Decoded texts of a viewed list: per text its int32 length and characters in the arena,
    // or nothing while undecoded. The arena's chunks never move.
    mutable std::vector<const char*> decoded_;
    mutable std::vector<std::unique_ptr<char[]>> chunks_;
    mutable char* free_ = nullptr;
    mutable size_t freeBytes_ = 0;
    mutable size_t arenaBytes_ = 0;
};

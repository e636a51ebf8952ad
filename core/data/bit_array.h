#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

//! Packed bit array, one bit per source row; combined word by word.
class TBitArray {
public:
    size_t Size() const { return size_; }
    //! Resizes; new bits take `value`.
    void Resize(size_t n, bool value) {
        const size_t old = size_;
        words_.resize((n + 63) / 64, value ? ~uint64_t{0} : 0);
        size_ = n;
        if (n > old && old % 64 != 0) {
            // Bits of the old last word past its size are zero; set them as asked.
            const uint64_t tail = ~uint64_t{0} << (old % 64);
            if (value) words_[old / 64] |= tail;
            else words_[old / 64] &= ~tail;
        }
        ClearTail();
    }
    void SetAll(bool value) {
        for (auto& w : words_) w = value ? ~uint64_t{0} : 0;
        ClearTail();
    }
    bool Test(size_t i) const { return (words_[i >> 6] >> (i & 63)) & 1; }
    void Set(size_t i) { words_[i >> 6] |= uint64_t{1} << (i & 63); }
    void Reset(size_t i) { words_[i >> 6] &= ~(uint64_t{1} << (i & 63)); }
    void AndWith(const TBitArray& other) {
        const size_t n = words_.size() < other.words_.size() ? words_.size() : other.words_.size();
        for (size_t k = 0; k < n; ++k) words_[k] &= other.words_[k];
        for (size_t k = n; k < words_.size(); ++k) words_[k] = 0;
    }
    size_t Count() const {
        size_t c = 0;
        for (uint64_t w : words_) c += static_cast<size_t>(std::popcount(w));
        return c;
    }
    bool All() const { return Count() == size_; }
    //! Calls f(i) for every set bit in ascending order.
    template <class F> void ForEachSet(F&& f) const {
        for (size_t k = 0; k < words_.size(); ++k) {
            uint64_t w = words_[k];
            while (w) {
                f(k * 64 + static_cast<size_t>(std::countr_zero(w)));
                w &= w - 1;
            }
        }
    }
    const std::vector<uint64_t>& Words() const { return words_; }

private:
    void ClearTail() {
        if (size_ % 64 != 0 && !words_.empty()) words_.back() &= (uint64_t{1} << (size_ % 64)) - 1;
    }
    std::vector<uint64_t> words_;
    size_t size_ = 0;
};

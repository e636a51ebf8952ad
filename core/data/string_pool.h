#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

//! Compact list of texts: one character buffer plus offsets, so a column of n texts costs
//! 4 bytes per text plus its characters, as in the file.
class TStringPool {
public:
    size_t Size() const { return offsets_.size() - 1; }
    bool Empty() const { return Size() == 0; }
    std::string_view Get(size_t i) const {
        return std::string_view(data_).substr(offsets_[i], offsets_[i + 1] - offsets_[i]);
    }
    void Push(std::string_view s) {
        if (data_.size() + s.size() > UINT32_MAX) throw std::length_error("text pool too large");
        data_.append(s);
        offsets_.push_back(static_cast<uint32_t>(data_.size()));
    }
    void Clear() {
        data_.clear();
        offsets_.assign(1, 0);
    }
    void Reserve(size_t count, size_t bytes) {
        offsets_.reserve(count + 1);
        data_.reserve(bytes);
    }
    void Resize(size_t count) {
        if (count < Size()) {
            offsets_.resize(count + 1);
            data_.resize(offsets_.back());
        } else {
            offsets_.resize(count + 1, static_cast<uint32_t>(data_.size()));
        }
    }
    //! Gives back the room a grown buffer keeps beyond its texts, when that room is large.
    void ShrinkToFit() {
        if (data_.capacity() - data_.size() > data_.size() / 8) data_.shrink_to_fit();
        if (offsets_.capacity() - offsets_.size() > offsets_.size() / 8) offsets_.shrink_to_fit();
    }
    size_t MemoryBytes() const { return data_.capacity() + offsets_.capacity() * sizeof(uint32_t); }

private:
    std::string data_;
    std::vector<uint32_t> offsets_{0};
};

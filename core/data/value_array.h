#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>
#include <vector>

static_assert(std::endian::native == std::endian::little,
              "stored arrays are little-endian and read as they lie");

//! Fixed-width values of a column (bits, bytes, 16/32-bit integers, doubles, a row index).
//! A loaded column reads them where they lie in its table blob, at any alignment, so that a
//! load neither copies nor touches them; whoever makes such a view keeps the blob alive. The
//! first change copies the values into an own vector.
template <typename T> class TValueArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    TValueArray() = default;

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T operator[](size_t i) const {
        T v;
        std::memcpy(&v, Bytes() + i * sizeof(T), sizeof(T));
        return v;
    }
    //! True while the values are read in a blob rather than held.
    bool Viewing() const { return view_ != nullptr; }

    //! Reads the values in place; `bytes` holds size() * sizeof(T) bytes.
    void View(std::span<const uint8_t> bytes) {
        own_ = {};
        view_ = bytes.data();
        size_ = bytes.size() / sizeof(T);
        if (size_ == 0) view_ = nullptr;
    }
    //! The values as stored: size() * sizeof(T) little-endian bytes.
    std::span<const uint8_t> AsBytes() const { return {Bytes(), size_ * sizeof(T)}; }
    std::vector<T> ToVector() const {
        std::vector<T> v(size_);
        if (size_) std::memcpy(v.data(), Bytes(), size_ * sizeof(T));
        return v;
    }

    void Assign(std::vector<T>&& values) {
        own_ = std::move(values);
        view_ = nullptr;
        size_ = own_.size();
    }
    void push_back(T v) {
        Own().push_back(v);
        size_ = own_.size();
    }
    void resize(size_t n, T v = T()) {
        Own().resize(n, v);
        size_ = n;
    }
    void Set(size_t i, T v) { Own()[i] = v; }
    void clear() { Assign({}); }

    //! Heap bytes held; viewed values belong to the blob.
    size_t MemoryBytes() const { return own_.capacity() * sizeof(T); }

private:
    const uint8_t* Bytes() const {
        return view_ ? view_ : reinterpret_cast<const uint8_t*>(own_.data());
    }
    std::vector<T>& Own() {
        if (view_) {
            std::vector<T> copy = ToVector();
            Assign(std::move(copy));
        }
        return own_;
    }

    std::vector<T> own_;
    const uint8_t* view_ = nullptr;
    size_t size_ = 0;
};

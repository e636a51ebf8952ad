#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

//! Raised when a container or stream is truncated or its counts are impossible.
class EFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

//! Bounds-checked little-endian reader over a byte range. Every count and length is
//! checked against the bytes that remain before anything is allocated or read.
class TByteReader {
public:
    TByteReader() = default;
    explicit TByteReader(std::span<const uint8_t> data) : data_(data) {}

    size_t Position() const { return pos_; }
    size_t Size() const { return data_.size(); }
    size_t Remaining() const { return data_.size() - pos_; }
    bool AtEnd() const { return pos_ == data_.size(); }
    void Seek(size_t pos) {
        if (pos > data_.size()) Fail("seek past the end");
        pos_ = pos;
    }
    std::span<const uint8_t> Data() const { return data_; }

    template <typename T> T Read() {
        static_assert(std::is_trivially_copyable_v<T>);
        Need(sizeof(T), "value");
        T v;
        std::memcpy(&v, data_.data() + pos_, sizeof(T));
        pos_ += sizeof(T);
        return v;
    }
    uint8_t ReadU8() { return Read<uint8_t>(); }
    uint16_t ReadU16() { return Read<uint16_t>(); }
    int32_t ReadI32() { return Read<int32_t>(); }

    //! Reads a non-negative int32 count whose elements take at least `minElementSize`
    //! bytes each; fails when the remaining bytes cannot hold them.
    size_t ReadCount(size_t minElementSize, const char* what) {
        const int32_t n = ReadI32();
        if (n < 0) Fail(std::string("negative ") + what);
        if (minElementSize > 0 && static_cast<uint64_t>(n) * minElementSize > Remaining())
            Fail(std::string(what) + " larger than the data that remains");
        return static_cast<size_t>(n);
    }

    std::span<const uint8_t> ReadBytes(size_t n, const char* what = "bytes") {
        Need(n, what);
        auto s = data_.subspan(pos_, n);
        pos_ += n;
        return s;
    }
    //! int32 byte length followed by that many bytes (8-bit text, undecoded).
    std::string_view ReadRawString() {
        const size_t n = ReadCount(1, "string length");
        auto b = ReadBytes(n, "string");
        return {reinterpret_cast<const char*>(b.data()), b.size()};
    }

    [[noreturn]] void Fail(const std::string& what) const {
        throw EFormatError(what + " at byte " + std::to_string(pos_));
    }

private:
    void Need(size_t n, const char* what) const {
        if (n > Remaining()) Fail(std::string("unexpected end of data reading ") + what);
    }

    std::span<const uint8_t> data_;
    size_t pos_ = 0;
};

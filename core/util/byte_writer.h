#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <stdexcept>
#include <string_view>
#include <type_traits>
#include <vector>

//! Little-endian writer into a growing byte buffer.
class TByteWriter {
public:
    std::vector<uint8_t>& Buffer() { return buf_; }
    const std::vector<uint8_t>& Buffer() const { return buf_; }
    size_t Size() const { return buf_.size(); }

    template <typename T> void Write(T v) {
        static_assert(std::is_trivially_copyable_v<T>);
        const size_t at = buf_.size();
        buf_.resize(at + sizeof(T));
        std::memcpy(buf_.data() + at, &v, sizeof(T));
    }
    void WriteU8(uint8_t v) { Write(v); }
    void WriteU16(uint16_t v) { Write(v); }
    void WriteI32(int32_t v) { Write(v); }
    void WriteCount(size_t n) {
        if (n > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
            throw std::length_error("count does not fit a 32-bit field");
        WriteI32(static_cast<int32_t>(n));
    }
    void WriteBytes(std::span<const uint8_t> b) { buf_.insert(buf_.end(), b.begin(), b.end()); }
    void WriteBytes(std::string_view s) {
        buf_.insert(buf_.end(), reinterpret_cast<const uint8_t*>(s.data()),
                    reinterpret_cast<const uint8_t*>(s.data()) + s.size());
    }
    //! int32 length followed by the bytes.
    void WriteRawString(std::string_view s) {
        WriteCount(s.size());
        WriteBytes(s);
    }
    //! Overwrites an int32 written earlier at `at`.
    void PatchI32(size_t at, int32_t v) { std::memcpy(buf_.data() + at, &v, sizeof v); }

private:
    std::vector<uint8_t> buf_;
};

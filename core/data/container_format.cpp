#include "core/data/container_format.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

#include "core/util/codepage.h"

static_assert(std::endian::native == std::endian::little,
              "scrambled words are little-endian and copied as they are");

namespace {

uint16_t Rotr16(uint16_t v, unsigned s) {
    return static_cast<uint16_t>((v >> s) | (v << (16 - s)));
}
uint16_t Rotl16(uint16_t v, unsigned s) {
    return static_cast<uint16_t>((v << s) | (v >> (16 - s)));
}
uint32_t Rotl32(uint32_t v, unsigned s) { return (v << s) | (v >> (32 - s)); }

// The key sequence restarts with every block, so a body works it out once for all blocks.
// A 16-bit rotation by s is the two halves of the 32-bit product with a power of two:
// rotate-right(w, s) = lo | hi of w * 2^(16-s), rotate-left(w, s) = lo | hi of w * 2^s. The
// multiplications have no per-word shift counts, so the loops below vectorise.
struct TKeySchedule {
    uint16_t Key[kScrambleBlock / 2];
    uint16_t RightMul[kScrambleBlock / 2];
    uint16_t LeftMul[kScrambleBlock / 2];

    explicit TKeySchedule(uint32_t k) {
        for (size_t i = 0; i < kScrambleBlock / 2; ++i) {
            const unsigned s = static_cast<unsigned>(i % 11) + 1;
            Key[i] = static_cast<uint16_t>(k & 0xFFFF);
            RightMul[i] = static_cast<uint16_t>(1u << (16 - s));
            LeftMul[i] = static_cast<uint16_t>(1u << s);
            k = Rotl32(k, static_cast<unsigned>(i % 23) + 1);
        }
    }
};

// Scrambles or descrambles a whole body in place, block by block; each block gives the same
// bytes as ScrambleWords on that block alone.
template <bool Forward> void ScrambleBody(std::span<uint8_t> body, uint32_t key) {
    const TKeySchedule ks(key);
    uint16_t w[kScrambleBlock / 2];
    for (size_t at = 0; at < body.size(); at += kScrambleBlock) {
        uint8_t* const p = body.data() + at;
        const size_t words = std::min(kScrambleBlock, body.size() - at) / 2;
        std::memcpy(w, p, 2 * words);
        for (size_t i = 0; i < words; ++i) {
            if constexpr (Forward) {
                const uint32_t x = uint32_t{w[i]} * ks.RightMul[i];
                w[i] = static_cast<uint16_t>((x | (x >> 16)) ^ ks.Key[i]);
            } else {
                const uint32_t x =
                    uint32_t{static_cast<uint16_t>(w[i] ^ ks.Key[i])} * ks.LeftMul[i];
                w[i] = static_cast<uint16_t>(x | (x >> 16));
            }
        }
        std::memcpy(p, w, 2 * words);
    }
}

template <bool Forward> void ScrambleWords(std::span<uint8_t> block, uint32_t k) {
    const size_t words = block.size() / 2;
    for (size_t i = 0; i < words; ++i) {
        const unsigned s = static_cast<unsigned>(i % 11) + 1;
        uint16_t w = static_cast<uint16_t>(block[2 * i] | (block[2 * i + 1] << 8));
        const auto key = static_cast<uint16_t>(k & 0xFFFF);
        if constexpr (Forward)
            w = static_cast<uint16_t>(Rotr16(w, s) ^ key);
        else
            w = Rotl16(static_cast<uint16_t>(w ^ key), s);
        block[2 * i] = static_cast<uint8_t>(w & 0xFF);
        block[2 * i + 1] = static_cast<uint8_t>(w >> 8);
        k = Rotl32(k, static_cast<unsigned>(i % 23) + 1);
    }
}

std::string EncodeAnsi(std::string_view utf8) {
    std::string out;
    if (!Utf8ToCp1252(utf8, out))
        throw std::invalid_argument("text cannot be written in code page 1252: " +
                                    std::string(utf8));
    return out;
}

} // namespace

void DescrambleBlock(std::span<uint8_t> block, uint32_t key) { ScrambleWords<true>(block, key); }
void ScrambleBlock(std::span<uint8_t> block, uint32_t key) { ScrambleWords<false>(block, key); }

std::string UpperAscii(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::string ReadAnsiString(TByteReader& r) { return Cp1252ToUtf8(r.ReadRawString()); }

std::vector<std::string> ReadAnsiStringList(TByteReader& r) {
    r.ReadI32(); // block size: informative only
    const size_t n = r.ReadCount(4, "string count");
    std::vector<std::string> items;
    items.reserve(n);
    for (size_t i = 0; i < n; ++i) items.push_back(ReadAnsiString(r));
    return items;
}

void WriteAnsiString(TByteWriter& w, std::string_view utf8) { w.WriteRawString(EncodeAnsi(utf8)); }

void WriteAnsiStringList(TByteWriter& w, const std::vector<std::string>& items) {
    const size_t sizeAt = w.Size();
    w.WriteI32(0);
    w.WriteCount(items.size());
    for (const auto& s : items) WriteAnsiString(w, s);
    w.PatchI32(sizeAt, static_cast<int32_t>(w.Size() - sizeAt - 4));
}

int TContainerImage::Find(std::string_view name) const {
    for (size_t i = 0; i < TableNames.size(); ++i)
        if (SameTextAscii(TableNames[i], name)) return static_cast<int>(i);
    return -1;
}

namespace {

// Both entry points; with `writable` (the same bytes as `file`) a scrambled body is
// descrambled where it lies instead of in a copy.
bool Parse(std::span<const uint8_t> bytes, std::shared_ptr<const void> file, uint8_t* writable,
           TContainerImage& out) {
    out = TContainerImage();
    if (bytes.size() < kContainerMagic.size() ||
        !std::equal(kContainerMagic.begin(), kContainerMagic.end(), bytes.begin()))
        return false;
    TByteReader r(std::span<const uint8_t>(bytes).subspan(kContainerMagic.size()));
    out.Header = ReadAnsiStringList(r);
    for (const auto& line : out.Header) {
        const auto eq = line.find('=');
        if (eq != std::string::npos && SameTextAscii(line.substr(0, eq), "FileFormatVersion")) {
            out.FileFormatVersion = line.substr(eq + 1);
            break;
        }
    }
    out.Scrambled = r.ReadU8() != 0;
    if (!out.Scrambled) {
        out.Storage = file;
        out.Body = std::span<const uint8_t>(bytes).subspan(kContainerMagic.size() + r.Position());
    } else {
        const size_t stored = r.ReadCount(1, "scrambled size");
        const int32_t plainSize = r.ReadI32();
        if (plainSize < 0 || static_cast<size_t>(plainSize) > stored)
            r.Fail("plain size of the scrambled body is impossible");
        auto src = r.ReadBytes(stored, "scrambled body");
        // Only the blocks that hold plain bytes are needed; each is descrambled whole, since
        // its length decides whether it has an odd last byte.
        const size_t plainBytes = static_cast<size_t>(plainSize);
        const size_t blocks = (plainBytes + kScrambleBlock - 1) / kScrambleBlock;
        const size_t used = std::min(src.size(), blocks * kScrambleBlock);
        if (writable) {
            const std::span<uint8_t> body(writable + (src.data() - bytes.data()), used);
            ScrambleBody<true>(body, kScrambleKey);
            out.Storage = file;
            out.Body = std::span<const uint8_t>(body.data(), plainBytes);
        } else {
            auto plain = std::make_shared<std::vector<uint8_t>>(src.begin(), src.begin() + used);
            ScrambleBody<true>(*plain, kScrambleKey);
            plain->resize(plainBytes);
            out.Storage = plain;
            out.Body = std::span<const uint8_t>(*plain);
        }
    }

    TByteReader body(out.Body);
    out.TableNames = ReadAnsiStringList(body);
    out.Blobs.reserve(out.TableNames.size());
    out.Kinds.reserve(out.TableNames.size());
    for (size_t i = 0; i < out.TableNames.size(); ++i) {
        const size_t size = body.ReadCount(1, "table size");
        auto blob = body.ReadBytes(size, "table");
        TByteReader kind(blob);
        out.Kinds.push_back(ReadAnsiString(kind));
        out.Blobs.push_back(blob);
    }
    return true;
}

} // namespace

bool ParseContainer(std::shared_ptr<const std::vector<uint8_t>> file, TContainerImage& out) {
    const std::span<const uint8_t> bytes(*file);
    return Parse(bytes, std::move(file), nullptr, out);
}

bool ParseContainerInPlace(std::shared_ptr<std::vector<uint8_t>> file, TContainerImage& out) {
    const std::span<const uint8_t> bytes(*file);
    uint8_t* writable = file->data();
    return Parse(bytes, std::move(file), writable, out);
}

bool ParseContainerInPlace(std::shared_ptr<uint8_t[]> file, size_t size, TContainerImage& out) {
    uint8_t* writable = file.get();
    return Parse(std::span<const uint8_t>(writable, size), std::move(file), writable, out);
}

std::vector<uint8_t> BuildContainer(const std::vector<std::string>& header,
                                    const std::vector<std::string>& tableNames,
                                    const std::vector<std::span<const uint8_t>>& blobs,
                                    bool scramble) {
    if (tableNames.size() != blobs.size())
        throw std::invalid_argument("table names and table blobs differ in number");
    TByteWriter body;
    WriteAnsiStringList(body, tableNames);
    for (const auto& blob : blobs) {
        body.WriteCount(blob.size());
        body.WriteBytes(blob);
    }

    TByteWriter file;
    file.WriteBytes(kContainerMagic);
    WriteAnsiStringList(file, header);
    file.WriteU8(scramble ? 1 : 0);
    if (!scramble) {
        file.WriteBytes(body.Buffer());
        return std::move(file.Buffer());
    }
    std::vector<uint8_t>& plain = body.Buffer();
    file.WriteCount(plain.size()); // stored size equals plain size: blocks keep their length
    file.WriteCount(plain.size());
    ScrambleBody<false>(plain, kScrambleKey);
    file.WriteBytes(plain);
    return std::move(file.Buffer());
}

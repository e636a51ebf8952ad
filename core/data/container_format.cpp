#include "core/data/container_format.h"

#include <algorithm>
#include <stdexcept>

#include "core/util/codepage.h"

namespace {

uint16_t Rotr16(uint16_t v, unsigned s) {
    return static_cast<uint16_t>((v >> s) | (v << (16 - s)));
}
uint16_t Rotl16(uint16_t v, unsigned s) {
    return static_cast<uint16_t>((v << s) | (v >> (16 - s)));
}
uint32_t Rotl32(uint32_t v, unsigned s) { return (v << s) | (v >> (32 - s)); }

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

bool ParseContainer(std::shared_ptr<const std::vector<uint8_t>> file, TContainerImage& out) {
    out = TContainerImage();
    const std::vector<uint8_t>& bytes = *file;
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
        auto plain = std::make_shared<std::vector<uint8_t>>();
        plain->reserve(static_cast<size_t>(plainSize));
        size_t remaining = static_cast<size_t>(plainSize);
        uint8_t block[kScrambleBlock];
        for (size_t at = 0; at < src.size() && remaining > 0; at += kScrambleBlock) {
            const size_t n = std::min(kScrambleBlock, src.size() - at);
            std::copy_n(src.data() + at, n, block);
            DescrambleBlock(std::span<uint8_t>(block, n));
            const size_t take = std::min(remaining, n);
            plain->insert(plain->end(), block, block + take);
            remaining -= take;
        }
        out.Storage = plain;
        out.Body = std::span<const uint8_t>(*plain);
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
    for (size_t at = 0; at < plain.size(); at += kScrambleBlock) {
        const size_t n = std::min(kScrambleBlock, plain.size() - at);
        ScrambleBlock(std::span<uint8_t>(plain.data() + at, n));
    }
    file.WriteBytes(plain);
    return std::move(file.Buffer());
}

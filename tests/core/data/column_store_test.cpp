#include "core/data/string_pool.h"
#include "core/data/value_array.h"
#include "core/util/byte_writer.h"
#include "core/util/codepage.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <span>
#include <string>
#include <vector>

namespace {

// A string list as a column stream holds it, after a few unrelated bytes so that the texts
// lie at odd offsets, followed by a marker the reader must stop before.
std::vector<uint8_t> ListBytes(const std::vector<std::string>& raw) {
    TByteWriter w;
    w.WriteBytes(std::string_view("abc"));
    for (const auto& s : raw) w.WriteRawString(s);
    w.WriteI32(0x5A5A5A5A);
    return std::move(w.Buffer());
}

TStringPool ViewOf(const std::vector<uint8_t>& bytes, size_t count, TStringPool::TEncoding enc) {
    TByteReader r(bytes);
    r.Seek(3);
    TStringPool pool;
    pool.ViewList(r, count, enc);
    EXPECT_EQ(r.ReadI32(), 0x5A5A5A5A) << "the reader must stand after the last text";
    return pool;
}

std::string Utf16(std::initializer_list<uint16_t> units) {
    std::string s;
    for (uint16_t u : units) {
        s.push_back(static_cast<char>(u & 0xFF));
        s.push_back(static_cast<char>(u >> 8));
    }
    return s;
}

bool InRange(std::string_view text, const std::vector<uint8_t>& bytes) {
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    return p >= bytes.data() && p + text.size() <= bytes.data() + bytes.size();
}

} // namespace

TEST(AsciiText, EveryLengthAndPositionOfAHighByteIsSeen) {
    for (size_t n = 0; n <= 24; ++n) {
        std::string s(n, 'a');
        EXPECT_TRUE(IsAsciiText(s)) << n;
        for (size_t at = 0; at < n; ++at) {
            std::string t = s;
            t[at] = static_cast<char>(0x80);
            EXPECT_FALSE(IsAsciiText(t)) << "length " << n << ", high byte at " << at;
        }
    }
    // Bytes beyond the text are not looked at.
    const std::string tail = "abcdefghij\xC4";
    EXPECT_TRUE(IsAsciiText(std::string_view(tail).substr(0, 10)));
    EXPECT_TRUE(IsAsciiText(std::string_view(tail).substr(7, 3)));
}

TEST(StringPoolView, AnsiTextsAreReadInPlaceOrDecodedOnce) {
    const std::vector<std::string> raw = {
        "plain", "", "Gr\xFCn", "x", "twenty characters..", "eight ch\x80", "\xC4"};
    const auto bytes = ListBytes(raw);
    const TStringPool pool = ViewOf(bytes, raw.size(), TStringPool::speAnsi);
    ASSERT_EQ(pool.Size(), raw.size());
    EXPECT_TRUE(pool.Viewing());
    for (size_t i = 0; i < raw.size(); ++i) EXPECT_EQ(pool.Get(i), Cp1252ToUtf8(raw[i])) << i;
    EXPECT_TRUE(InRange(pool.Get(0), bytes));
    EXPECT_TRUE(InRange(pool.Get(4), bytes));
    EXPECT_FALSE(InRange(pool.Get(2), bytes)); // decoded: "ü" takes two bytes in UTF-8
    // A second read gives the text decoded the first time.
    EXPECT_EQ(pool.Get(2).data(), pool.Get(2).data());
}

TEST(StringPoolView, WideTextsDecodeLikeTheConverter) {
    const std::vector<std::string> raw = {
        Utf16({0x65E5, 0x672C}),                                   // two CJK characters
        Utf16({'p', 'l', 'a', 'i', 'n', ' ', 't', 'e', 'x', 't'}), // ASCII runs
        Utf16({0xD83D, 0xDE00, 'a'}),                              // surrogate pair
        Utf16({0xD83D, 'a'}),                                      // unpaired high surrogate
        Utf16({0xDE00}),                                           // lone low surrogate
        Utf16({'a', 'b'}) + "c",                                   // odd last byte
        ""};
    const auto bytes = ListBytes(raw);
    const TStringPool pool = ViewOf(bytes, raw.size(), TStringPool::speUtf16);
    ASSERT_EQ(pool.Size(), raw.size());
    for (size_t i = 0; i < raw.size(); ++i) EXPECT_EQ(pool.Get(i), Utf16LeToUtf8(raw[i])) << i;
}

TEST(StringPoolView, DecodedTextsStayValidWhileOthersAreDecoded) {
    std::vector<std::string> raw;
    for (int i = 0; i < 3000; ++i)
        raw.push_back(Utf16({'#', static_cast<uint16_t>(0x400 + i % 200)}) +
                      Utf16({'x', 'y', 'z', 'w'}));
    const auto bytes = ListBytes(raw);
    const TStringPool pool = ViewOf(bytes, raw.size(), TStringPool::speUtf16);
    const std::string_view first = pool.Get(0);
    const std::string expected = Utf16LeToUtf8(raw[0]);
    for (size_t i = 1; i < raw.size(); ++i) ASSERT_EQ(pool.Get(i), Utf16LeToUtf8(raw[i])) << i;
    EXPECT_EQ(first, expected);
    EXPECT_EQ(first.data(), pool.Get(0).data());
}

TEST(StringPoolView, ChangesMakeEveryTextOwn) {
    const std::vector<std::string> raw = {"Sauger", "Gr\xFCn", "", "x\ty"};
    const auto bytes = ListBytes(raw);
    std::vector<std::string> expected;
    for (const auto& s : raw) expected.push_back(Cp1252ToUtf8(s));

    TStringPool pushed = ViewOf(bytes, raw.size(), TStringPool::speAnsi);
    (void)pushed.Get(1); // one text decoded before the change
    pushed.Push("neu");
    EXPECT_FALSE(pushed.Viewing());
    ASSERT_EQ(pushed.Size(), 5u);
    for (size_t i = 0; i < raw.size(); ++i) {
        EXPECT_EQ(pushed.Get(i), expected[i]) << i;
        EXPECT_FALSE(InRange(pushed.Get(i), bytes)) << i;
    }
    EXPECT_EQ(pushed.Get(4), "neu");

    TStringPool shrunk = ViewOf(bytes, raw.size(), TStringPool::speAnsi);
    shrunk.Resize(2);
    ASSERT_EQ(shrunk.Size(), 2u);
    EXPECT_EQ(shrunk.Get(1), expected[1]);

    TStringPool grown = ViewOf(bytes, raw.size(), TStringPool::speAnsi);
    grown.Resize(6);
    ASSERT_EQ(grown.Size(), 6u);
    EXPECT_EQ(grown.Get(3), expected[3]);
    EXPECT_EQ(grown.Get(5), "");
}

TEST(StringPoolView, TruncatedListFails) {
    auto bytes = ListBytes({"abc", "defgh"});
    bytes.resize(bytes.size() - 6); // the second text loses its end
    TByteReader r(bytes);
    r.Seek(3);
    TStringPool pool;
    EXPECT_THROW(pool.ViewList(r, 2, TStringPool::speAnsi), EFormatError);
}

TEST(ValueArray, ViewsReadUnalignedValuesAndChangesCopyThem) {
    TByteWriter w;
    w.WriteU8(0xEE); // puts the values at an odd address
    w.WriteI32(-7);
    w.WriteI32(0x12345678);
    w.WriteI32(2147483647);
    const std::vector<uint8_t> bytes = std::move(w.Buffer());
    const auto values = std::span<const uint8_t>(bytes).subspan(1);

    TValueArray<int32_t> a;
    a.View(values);
    EXPECT_TRUE(a.Viewing());
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[0], -7);
    EXPECT_EQ(a[1], 0x12345678);
    EXPECT_EQ(a[2], 2147483647);
    EXPECT_TRUE(std::equal(a.AsBytes().begin(), a.AsBytes().end(), values.begin(), values.end()));

    a.Set(1, 5);
    a.push_back(9);
    EXPECT_FALSE(a.Viewing());
    EXPECT_EQ(a.ToVector(), (std::vector<int32_t>{-7, 5, 2147483647, 9}));
    int32_t stored;
    std::memcpy(&stored, bytes.data() + 5, 4);
    EXPECT_EQ(stored, 0x12345678) << "a change must not write into the blob";

    TValueArray<double> d;
    std::vector<uint8_t> raw(1 + 2 * sizeof(double));
    const double x[2] = {2.5, -0.125};
    std::memcpy(raw.data() + 1, x, sizeof x);
    d.View(std::span<const uint8_t>(raw).subspan(1));
    d.resize(3);
    EXPECT_EQ(d.ToVector(), (std::vector<double>{2.5, -0.125, 0.0}));
}

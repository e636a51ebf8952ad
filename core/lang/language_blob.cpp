#include "core/lang/language_blob.h"

#include <stdexcept>

#include "core/data/container_format.h"
#include "core/data/orsik_connection.h"
#include "core/util/codepage.h"

namespace {

struct LanguageInfo {
    const char* codes[7];
    int codePage;
    int charset;
};

constexpr LanguageInfo kLanguages[] = {
    {{"JA"}, 932, 128},
    {{"KO"}, 949, 129},
    {{"ZHCN"}, 936, 134},
    {{"ZHTW"}, 950, 136},
    {{"BG", "RU"}, 1251, 204},
    {{"CS", "HR", "PL", "SK", "SL", "RO"}, 1250, 238},
    {{"TH"}, 874, 222},
    {{"EL"}, 1253, 161},
    {{"TR"}, 1254, 162},
    {{"LT", "LV", "ET"}, 1257, 186},
    {{"HE"}, 1255, 177},
};

const LanguageInfo* Find(std::string_view code) {
    for (const auto& l : kLanguages)
        for (const char* c : l.codes)
            if (c && SameTextAscii(c, code)) return &l;
    return nullptr;
}

void SkipStringList(TByteReader& r) {
    r.ReadI32();
    const size_t n = r.ReadCount(4, "string count");
    for (size_t i = 0; i < n; ++i) r.ReadRawString();
}

} // namespace

int LanguageCodePage(std::string_view code) {
    const auto* l = Find(code);
    return l ? l->codePage : 1252;
}

int LanguageCharset(std::string_view code) {
    const auto* l = Find(code);
    return l ? l->charset : 1;
}

TLanguageBlob ReadLanguageBlob(std::span<const uint8_t> blob) {
    TLanguageBlob out;
    TByteReader r(blob);
    if (r.ReadRawString() != "Language") return out;
    out.Codes = ReadAnsiStringList(r);
    out.Keys = ReadAnsiStringList(r);
    out.Texts.reserve(out.Codes.size());
    for (const auto& code : out.Codes) {
        const int cp = LanguageCodePage(code);
        r.ReadI32();
        const size_t n = r.ReadCount(4, "text count");
        std::vector<std::string> texts;
        texts.reserve(n);
        for (size_t i = 0; i < n; ++i) texts.push_back(CodePageToUtf8(cp, r.ReadRawString()));
        out.Texts.push_back(std::move(texts));
    }
    return out;
}

void ValidateLanguageBlob(std::span<const uint8_t> blob) {
    TByteReader r(blob);
    if (r.ReadRawString() != "Language") return;
    r.ReadI32();
    const size_t languages = r.ReadCount(4, "language count");
    for (size_t i = 0; i < languages; ++i) r.ReadRawString();
    SkipStringList(r);
    for (size_t i = 0; i < languages; ++i) SkipStringList(r);
}

std::vector<uint8_t> WriteLanguageBlob(const TLanguageBlob& language) {
    if (language.Texts.size() != language.Codes.size())
        throw std::invalid_argument("language table: one text list per language is needed");
    TByteWriter w;
    WriteAnsiString(w, "Language");
    WriteAnsiStringList(w, language.Codes);
    WriteAnsiStringList(w, language.Keys);
    for (size_t l = 0; l < language.Codes.size(); ++l) {
        const auto& texts = language.Texts[l];
        if (texts.size() != language.Keys.size())
            throw std::invalid_argument("language \"" + language.Codes[l] +
                                        "\": one text per key is needed");
        const int cp = LanguageCodePage(language.Codes[l]);
        const size_t sizeAt = w.Size();
        w.WriteI32(0);
        w.WriteCount(texts.size());
        for (const auto& t : texts) {
            std::string encoded;
            if (!Utf8ToCodePage(cp, t, encoded))
                throw std::invalid_argument("language \"" + language.Codes[l] +
                                            "\": text cannot be written in code page " +
                                            std::to_string(cp) + ": " + t);
            w.WriteRawString(encoded);
        }
        w.PatchI32(sizeAt, static_cast<int32_t>(w.Size() - sizeAt - 4));
    }
    return std::move(w.Buffer());
}

namespace {

// Containers check their language blobs on opening, so that loading a language table
// later cannot fail. Registered here, beside the reader: a program that reads no
// language blob does not link this file and has none to check.
struct TLanguageBlobValidator {
    TLanguageBlobValidator() { TBlobValidators::Register("Language", ValidateLanguageBlob); }
};
TLanguageBlobValidator s_languageBlobValidator;

} // namespace

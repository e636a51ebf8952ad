#include "core/lang/language_table.h"

#include "core/data/container_format.h"
#include "core/util/codepage.h"

#include <algorithm>
#include <stdexcept>

namespace {

std::vector<TCustomLanguageTable*>& Registry() {
    static std::vector<TCustomLanguageTable*> tables;
    return tables;
}

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Bytes of the UTF-8 sequence starting at s[i]: the lead byte and the continuation
// bytes that follow it, so that a broken sequence never swallows the next character.
size_t SequenceLength(std::string_view s, size_t i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    size_t want = 1;
    if ((lead & 0xE0) == 0xC0)
        want = 2;
    else if ((lead & 0xF0) == 0xE0)
        want = 3;
    else if ((lead & 0xF8) == 0xF0)
        want = 4;
    size_t n = 1;
    while (n < want && i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

// UTF-8 to a code page; every character the code page cannot hold becomes "?", as the
// platform's converters do, so a text is never lost as a whole.
std::string EncodeLossy(int codePage, std::string_view utf8) {
    std::string out;
    if (Utf8ToCodePage(codePage, utf8, out)) return out;
    out.clear();
    std::string piece;
    for (size_t i = 0; i < utf8.size();) {
        const size_t n = SequenceLength(utf8, i);
        if (Utf8ToCodePage(codePage, utf8.substr(i, n), piece))
            out += piece;
        else
            out += '?';
        i += n;
    }
    return out;
}

// The text as the language's code page can hold it.
std::string FitCodePage(int codePage, std::string_view utf8) {
    std::string encoded;
    if (Utf8ToCodePage(codePage, utf8, encoded)) return std::string(utf8);
    return CodePageToUtf8(codePage, EncodeLossy(codePage, utf8));
}

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    size_t pos = 0;
    while ((pos = s.find(from, pos)) != std::string::npos) {
        s.replace(pos, from.size(), to);
        pos += to.size();
    }
}

constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";

} // namespace

// --- TCustomLanguageTable ---

TCustomLanguageTable::TCustomLanguageTable() {
    Registry().push_back(this);
}

TCustomLanguageTable::~TCustomLanguageTable() {
    std::erase(Registry(), this);
}

const std::vector<TCustomLanguageTable*>& TCustomLanguageTable::LanguageTables() {
    return Registry();
}

std::string TCustomLanguageTable::LanguageCodes() const {
    std::string out;
    for (const auto& l : languages_) {
        if (!out.empty()) out += ',';
        out += l.Code;
    }
    return out;
}

int TCustomLanguageTable::IndexOfKey(std::string_view key) const {
    const auto it = keyIndex_.find(std::string(key));
    return it == keyIndex_.end() ? -1 : it->second;
}

int TCustomLanguageTable::IndexOfLanguage(std::string_view code) const {
    const std::string lower = LowerAscii(code);
    const auto it =
        std::lower_bound(languages_.begin(), languages_.end(), lower,
                         [](const TLanguageTexts& l, const std::string& c) { return l.Code < c; });
    if (it == languages_.end() || it->Code != lower) return -1;
    return static_cast<int>(it - languages_.begin());
}

const TCustomLanguageTable::TLanguageTexts*
TCustomLanguageTable::FindLanguage(std::string_view code) const {
    const int i = IndexOfLanguage(code);
    return i < 0 ? nullptr : &languages_[i];
}

const std::string* TCustomLanguageTable::StoredText(std::string_view code,
                                                    std::string_view key) const {
    const TLanguageTexts* lang = FindLanguage(code);
    if (!lang) return nullptr;
    const int k = IndexOfKey(key);
    if (k < 0 || static_cast<size_t>(k) >= lang->Texts.size()) return nullptr;
    return &lang->Texts[k];
}

bool TCustomLanguageTable::Lookup(std::string_view code, std::string_view key,
                                  std::string& text) const {
    if (code.empty()) {
        text.assign(key);
        return true;
    }
    const std::string* stored = StoredText(code, key);
    if (!stored) return false;
    text.assign(*stored, 0, stored->find('\0'));
    return true;
}

TCustomLanguageTable::TLanguageTexts& TCustomLanguageTable::AddLanguage(std::string_view code) {
    TLanguageTexts lang;
    lang.Code = LowerAscii(code);
    lang.CodePage = LanguageCodePage(lang.Code);
    lang.Texts.resize(keys_.size());
    const auto it =
        std::lower_bound(languages_.begin(), languages_.end(), lang.Code,
                         [](const TLanguageTexts& l, const std::string& c) { return l.Code < c; });
    return *languages_.insert(it, std::move(lang));
}

int TCustomLanguageTable::AddKey(std::string_view key) {
    const int k = static_cast<int>(keys_.size());
    keys_.emplace_back(key);
    keyIndex_.emplace(keys_.back(), k);
    for (auto& l : languages_) l.Texts.resize(keys_.size());
    return k;
}

void TCustomLanguageTable::SetText(std::string_view code, std::string_view key,
                                   std::string_view text) {
    if (code.empty()) throw std::invalid_argument("language table: a text needs a language code");
    const int existing = IndexOfLanguage(code);
    TLanguageTexts* lang = existing >= 0 ? &languages_[existing] : &AddLanguage(code);
    int k = IndexOfKey(key);
    if (k < 0) k = AddKey(key);
    if (lang->Texts.size() < keys_.size()) lang->Texts.resize(keys_.size());
    lang->Texts[k] = FitCodePage(lang->CodePage, text);
}

void TCustomLanguageTable::Clear() {
    languages_.clear();
    keys_.clear();
    keyIndex_.clear();
}

void TCustomLanguageTable::Assign(const TLanguageBlob& language) {
    Clear();
    keys_ = language.Keys;
    keyIndex_.reserve(keys_.size());
    for (size_t k = 0; k < keys_.size(); ++k) keyIndex_.emplace(keys_[k], static_cast<int>(k));
    std::vector<TLanguageTexts> langs;
    langs.reserve(language.Codes.size());
    for (size_t l = 0; l < language.Codes.size(); ++l) {
        TLanguageTexts t;
        t.Code = LowerAscii(language.Codes[l]);
        t.CodePage = LanguageCodePage(t.Code);
        if (l < language.Texts.size()) {
            const auto& texts = language.Texts[l];
            t.Texts.assign(texts.begin(), texts.begin() + std::min(texts.size(), keys_.size()));
        }
        langs.push_back(std::move(t));
    }
    std::stable_sort(
        langs.begin(), langs.end(),
        [](const TLanguageTexts& a, const TLanguageTexts& b) { return a.Code < b.Code; });
    const auto last = std::unique(
        langs.begin(), langs.end(),
        [](const TLanguageTexts& a, const TLanguageTexts& b) { return a.Code == b.Code; });
    langs.erase(last, langs.end());
    languages_ = std::move(langs);
}

TLanguageBlob TCustomLanguageTable::ToBlob() const {
    TLanguageBlob out;
    out.Keys = keys_;
    for (const auto& l : languages_) {
        out.Codes.push_back(l.Code);
        std::vector<std::string> texts = l.Texts;
        texts.resize(keys_.size());
        // Only texts decoded with replacement characters can be beyond the code page.
        for (auto& t : texts)
            if (t.find(kReplacementChar) != std::string::npos) t = FitCodePage(l.CodePage, t);
        out.Texts.push_back(std::move(texts));
    }
    return out;
}

std::vector<uint8_t> TCustomLanguageTable::SaveToBytes() const {
    return WriteLanguageBlob(ToBlob());
}

void TCustomLanguageTable::LoadFromStream(std::optional<std::span<const uint8_t>> blob) {
    Clear();
    if (!blob) return;
    try {
        Assign(ReadLanguageBlob(*blob));
    } catch (...) {
        Clear();
        throw;
    }
}

// --- TCustomLanguageTable32Bit ---

struct TLanguageTableLoader {
    TLanguageTableLoader() {
        TOrsikConnectionListener::Register<TCustomLanguageTable32Bit>(
            [](TCustomLanguageTable32Bit& table, TOrsikConnection& connection) {
                table.loadError_.clear();
                try {
                    table.LoadFromStream(connection.GetTableStream(table.Table()));
                } catch (const EFormatError& e) {
                    table.loadError_ = e.what();
                }
            });
    }
};
static TLanguageTableLoader s_languageTableLoader;

void TCustomLanguageTable32Bit::SetConnection(TOrsikConnection* connection) {
    if (TOrsikConnection* old = Connection()) old->UnregisterClient(this);
    Clear();
    if (connection) {
        connection->RegisterClient(this);
        connection->AnnounceClient(*this);
    }
}

void TCustomLanguageTable32Bit::SetTable(const std::string& name) {
    if (name == table_) return;
    table_ = name;
    Clear();
    if (Connection() && Connection()->Active()) Connection()->AnnounceClient(*this);
}

// --- TLanguageTable32Bit ---

bool TLanguageTable32Bit::Lookup(std::string_view code, std::string_view key,
                                 std::string& text) const {
    if (!TCustomLanguageTable32Bit::Lookup(code, key, text)) return false;
    if (specialCRLF_ && !code.empty()) {
        // "§§" is the byte 0xA7 twice in the language's own code page.
        ReplaceAll(text, CodePageToUtf8(LanguageCodePage(code), "\xA7\xA7"), "\r\n");
        ReplaceAll(text, "//", "\r\n");
        ReplaceAll(text, "||", "\t");
    }
    return true;
}

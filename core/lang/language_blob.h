#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

//! Contents of a "Language" table blob: language codes, keys, and per language the texts
//! of every key (decoded to UTF-8 from that language's code page).
struct TLanguageBlob {
    std::vector<std::string> Codes; //!< lower case
    std::vector<std::string> Keys;
    std::vector<std::vector<std::string>> Texts; //!< Texts[language][key]
};

//! Code page of a language code ("ja" -> 932, "pl" -> 1250, others 1252).
int LanguageCodePage(std::string_view code);
//! Font character set of a language code (others: 1).
int LanguageCharset(std::string_view code);

//! Reads a language blob; a blob of another kind gives an empty result. Throws EFormatError
//! on truncated data.
TLanguageBlob ReadLanguageBlob(std::span<const uint8_t> blob);
//! Checks a language blob completely; throws EFormatError.
void ValidateLanguageBlob(std::span<const uint8_t> blob);
//! Writes a language blob; throws std::invalid_argument for a text its language's code
//! page cannot hold, or when a language has not one text per key.
std::vector<uint8_t> WriteLanguageBlob(const TLanguageBlob& language);

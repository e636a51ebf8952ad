#pragma once

#include <functional>
#include <string>
#include <string_view>

//! Turns a language key into its text in the current language. Whoever owns a language
//! database (the application model, a window, the command line) hands one of these to the
//! parts that show texts; an empty one leaves every key as it is.
using TTranslateFunc = std::function<std::string(std::string_view key)>;

//! The text of a key through `translate`, or the key itself when no translation is set.
inline std::string TranslateOrKey(const TTranslateFunc& translate, std::string_view key) {
    return translate ? translate(key) : std::string(key);
}

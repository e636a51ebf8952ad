#pragma once

#include <string>
#include <string_view>
#include <vector>

//! Chooses a language from the available codes (compared exactly as written): the wanted
//! code (cut to 4 characters) when available; for a 2-letter wish the first code that
//! begins with it; for a 4-letter wish the same search with its first two letters;
//! otherwise the fallback (cut to 4 characters).
std::string MatchLanguageCode(std::string_view wanted, std::string_view fallback,
                              const std::vector<std::string>& available);

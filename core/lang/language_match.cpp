#include "core/lang/language_match.h"

#include <algorithm>

std::string MatchLanguageCode(std::string_view wanted, std::string_view fallback,
                              const std::vector<std::string>& available) {
    wanted = wanted.substr(0, 4);
    const std::string result(fallback.substr(0, 4));
    for (;;) {
        if (std::find(available.begin(), available.end(), wanted) != available.end())
            return std::string(wanted);
        if (wanted.size() == 2) {
            for (const auto& code : available)
                if (std::string_view(code).substr(0, 2) == wanted) return code;
            return result;
        }
        if (wanted.size() != 4) return result;
        wanted = wanted.substr(0, 2);
    }
}

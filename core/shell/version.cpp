#include "core/shell/version.h"

#include <algorithm>

#ifndef VACUUM_VERSION
#error "VACUUM_VERSION (the project version) must be defined by the build"
#endif

std::string FourPartVersion(std::string_view dotted) {
    std::string out;
    int parts = 0;
    size_t pos = 0;
    for (;;) {
        const size_t dot = dotted.find('.', pos);
        const std::string_view part = dotted.substr(pos, dot - pos);
        if (part.empty() || part.size() > 9 || ++parts > 4) return "-1";
        for (char c : part)
            if (c < '0' || c > '9') return "-1";
        // Leading zeros are not part of a version number.
        const size_t first = std::min(part.find_first_not_of('0'), part.size() - 1);
        if (!out.empty()) out += '.';
        out += part.substr(first);
        if (dot == std::string_view::npos) break;
        pos = dot + 1;
    }
    for (; parts < 4; ++parts) out += ".0";
    return out;
}

std::string ProgramVersion() {
    return FourPartVersion(VACUUM_VERSION);
}

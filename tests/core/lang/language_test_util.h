#pragma once

// Language blobs written byte by byte, so that the readers are checked against the layout
// itself rather than against the writer.

#include "core/util/byte_writer.h"

#include <cstdint>
#include <string>
#include <vector>

//! One language of a raw blob: its code and its texts as 8-bit bytes of its code page.
struct TRawLanguage {
    std::string Code;
    std::vector<std::string> Texts;
};

inline void WriteRawList(TByteWriter& w, const std::vector<std::string>& items) {
    const size_t sizeAt = w.Size();
    w.WriteI32(0);
    w.WriteCount(items.size());
    for (const auto& s : items) w.WriteRawString(s);
    w.PatchI32(sizeAt, static_cast<int32_t>(w.Size() - sizeAt - 4));
}

inline std::vector<uint8_t> RawLanguageBlob(const std::vector<std::string>& keys,
                                            const std::vector<TRawLanguage>& languages,
                                            const std::string& kind = "Language") {
    TByteWriter w;
    w.WriteRawString(kind);
    std::vector<std::string> codes;
    for (const auto& l : languages) codes.push_back(l.Code);
    WriteRawList(w, codes);
    WriteRawList(w, keys);
    for (const auto& l : languages) WriteRawList(w, l.Texts);
    return std::move(w.Buffer());
}

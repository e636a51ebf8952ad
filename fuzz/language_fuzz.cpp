// Input: a language table blob. Validation and reading agree; a table loaded from a blob that
// validates saves and reloads to the same keys and texts (undecodable bytes aside).

#include <cstdint>
#include <span>
#include <string>

#include "core/lang/language_blob.h"
#include "core/lang/language_table.h"
#include "core/util/byte_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> blob(data, size);
    bool valid = true;
    try {
        ValidateLanguageBlob(blob);
    } catch (const EFormatError&) {
        valid = false;
    }
    TLanguageBlob read;
    bool readOk = true;
    try {
        read = ReadLanguageBlob(blob);
    } catch (const EFormatError&) {
        readOk = false;
    }
    if (valid != readOk) __builtin_trap();
    if (!valid) return 0;

    TLanguageTable32Bit table;
    table.LoadFromStream(blob);
    const std::vector<uint8_t> saved = table.SaveToBytes();
    TLanguageTable32Bit back;
    back.LoadFromStream(std::span<const uint8_t>(saved));
    if (back.KeyCount() != table.KeyCount() || back.LanguageCount() != table.LanguageCount())
        __builtin_trap();
    for (int l = 0; l < table.LanguageCount(); ++l)
        for (int k = 0; k < table.KeyCount(); ++k) {
            std::string a, b;
            const bool fa = table.Lookup(table.LanguageCode(l), table.Key(k), a);
            const bool fb = back.Lookup(table.LanguageCode(l), table.Key(k), b);
            // Bytes that did not decode were kept as U+FFFD, which the writer stores as "?".
            std::string expected;
            for (size_t i = 0; i < a.size(); ++i) {
                if (a.compare(i, 3, "\xEF\xBF\xBD") == 0) {
                    expected.push_back('?');
                    i += 2;
                } else {
                    expected.push_back(a[i]);
                }
            }
            // A language with fewer texts than keys is padded with empty texts when saved.
            if (!fa) {
                if (fb && !b.empty()) __builtin_trap();
                continue;
            }
            if (!fb || b != expected) __builtin_trap();
        }
    return 0;
}

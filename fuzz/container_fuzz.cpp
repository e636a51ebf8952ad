// Input: a whole container file. Parsing and validation may reject it with EFormatError and
// nothing else; once validation has passed, loading and reading must not throw at all. Both
// parsers (copying and in place) must agree.

#include "core/data/container_format.h"
#include "core/data/orsik_connection.h"
#include "core/data/str_table_db.h"
#include "core/lang/language_blob.h"
#include "core/util/trace.h"
#include "fuzz/table_checks.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using fuzzcheck::Check;

namespace {

void ExerciseTable(std::span<const uint8_t> blob) {
    TStrTableDB32Bit table;
    table.Loaded();
    table.LoadFromStream(blob);
    fuzzcheck::ReadAllCells(table);
    fuzzcheck::CheckDistinctValues(table);

    TStrTableDB32Bit reference;
    reference.Loaded();
    reference.LoadFromStream(blob);
    fuzzcheck::CheckConversions(table, reference);
}

void ExerciseLanguage(std::span<const uint8_t> blob, const std::string& name) {
    const TLanguageBlob lang = ReadLanguageBlob(blob);
    Check(lang.Texts.size() == lang.Codes.size(), name + ": one text list per language");
    for (const auto& code : lang.Codes) {
        LanguageCodePage(code);
        LanguageCharset(code);
    }
}

// The loader descrambles within the file's own bytes; that must give what the copying parser
// gives, and a scrambled body must be its blocks descrambled one by one.
void CheckInPlaceParse(const uint8_t* data, size_t size, bool parsed, const std::string& error,
                       const TContainerImage& image) {
    auto bytes = std::make_shared<std::vector<uint8_t>>(data, data + size);
    TContainerImage inPlace;
    bool ok = false;
    std::string why;
    try {
        ok = ParseContainerInPlace(bytes, inPlace);
    } catch (const EFormatError& e) {
        why = e.what();
    }
    Check(ok == parsed && why == error, "in-place parse: " + why + " / copying parse: " + error);
    if (!ok) return;
    Check(
        std::equal(inPlace.Body.begin(), inPlace.Body.end(), image.Body.begin(), image.Body.end()),
        "in-place body differs");
    Check(inPlace.TableNames == image.TableNames && inPlace.Kinds == image.Kinds &&
              inPlace.Header == image.Header && inPlace.Scrambled == image.Scrambled,
          "in-place directory differs");
    if (!image.Scrambled) return;
    // The in-place body starts where the stored bytes did, after their size and plain size.
    const size_t at = static_cast<size_t>(inPlace.Body.data() - bytes->data());
    int32_t stored = 0;
    std::memcpy(&stored, data + at - 8, 4);
    const size_t end = at + static_cast<size_t>(stored);
    std::vector<uint8_t> expected;
    for (size_t block = at; block < end && expected.size() < image.Body.size();
         block += kScrambleBlock) {
        std::vector<uint8_t> b(data + block, data + std::min(end, block + kScrambleBlock));
        DescrambleBlock(b);
        const size_t take = std::min(b.size(), image.Body.size() - expected.size());
        expected.insert(expected.end(), b.begin(), b.begin() + static_cast<std::ptrdiff_t>(take));
    }
    Check(std::equal(expected.begin(), expected.end(), image.Body.begin(), image.Body.end()),
          "body differs from its blocks descrambled one by one");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The trace lines are formatted from file data too; keep them in the path, discard them.
    SetTraceSink([](const std::string& line) { fuzzcheck::traceBytes += line.size(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto file = std::make_shared<const std::vector<uint8_t>>(data, data + size);
    TContainerImage image;
    bool parsed = false;
    std::string error;
    try {
        parsed = ParseContainer(file, image);
    } catch (const EFormatError& e) {
        error = e.what();
    }
    CheckInPlaceParse(data, size, parsed, error, image);
    if (!parsed) return 0;
    try {
        ValidateContainerTables(image);
    } catch (const EFormatError&) {
        return 0;
    }
    Check(image.Blobs.size() == image.TableNames.size() &&
              image.Kinds.size() == image.TableNames.size(),
          "directory, blobs and kinds differ in number");

    for (size_t i = 0; i < image.Blobs.size(); ++i) {
        const std::string& kind = image.Kinds[i];
        const std::string& name = image.TableNames[i];
        Check(image.Find(name) >= 0, "table \"" + name + "\" not found by its own name");
        if (kind == "Table" || kind == "TableIndexed") {
            ExerciseTable(image.Blobs[i]);
        } else if (kind == "Language") {
            ExerciseLanguage(image.Blobs[i], name);
        } else {
            // Any other kind reads as an empty table.
            TStrTableDB32Bit table;
            table.Loaded();
            table.LoadFromStream(image.Blobs[i]);
            Check(table.Rows() == 0 && table.Cols() == 0,
                  name + ": kind \"" + kind + "\" did not give an empty table");
            Check(ReadLanguageBlob(image.Blobs[i]).Codes.empty(),
                  name + ": a non-language blob gave languages");
        }
    }
    return 0;
}

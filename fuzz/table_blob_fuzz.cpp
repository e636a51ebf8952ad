// Input: one table blob, as a container holds it. Loading may fail with EFormatError only,
// and exactly when the validator rejects the blob. A loaded table written out again must
// load to the same cells, which conversions and row count changes keep. The input's bytes
// also serve as one text of each text column type.

#include "core/data/container_format.h"
#include "core/data/str_table_db.h"
#include "core/util/byte_writer.h"
#include "core/util/codepage.h"
#include "core/util/trace.h"
#include "fuzz/table_checks.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

using fuzzcheck::Check;

namespace {

bool Validates(std::span<const uint8_t> blob, std::string& why) {
    try {
        ValidateTableBlob(blob);
        return true;
    } catch (const EFormatError& e) {
        why = e.what();
        return false;
    }
}

bool Loads(TStrTableDB32Bit& table, std::span<const uint8_t> blob, std::string& why) {
    try {
        table.LoadFromStream(blob);
        return true;
    } catch (const EFormatError& e) {
        why = e.what();
        return false;
    }
}

void CheckRewrite(const TStrTableDB32Bit& table) {
    std::vector<uint8_t> saved;
    try {
        saved = table.SaveToBytes();
    } catch (const std::invalid_argument&) {
        return; // a text that code page 1252 cannot hold: the writer refuses it by design
    } catch (const std::length_error&) {
        // The writer refuses a row count its own data cannot hold (columns that store nothing
        // per row), just as the reader would.
        return;
    }
    std::string validateWhy, loadWhy;
    const bool valid = Validates(saved, validateWhy);
    TStrTableDB32Bit again;
    again.Loaded();
    const bool loaded = Loads(again, saved, loadWhy);
    Check(valid == loaded,
          "rewritten blob: validator and loader disagree (" + validateWhy + " / " + loadWhy + ")");
    if (!loaded) {
        // The reader bounds the row count by the blob's size; a table whose columns hold no
        // data per row (only csfWideStringLen, or none at all) can outgrow that bound.
        Check(static_cast<uint64_t>(table.Rows()) > 8 * static_cast<uint64_t>(saved.size()),
              "rewritten blob does not load: " + loadWhy);
        return;
    }
    Check(again.Indexed() == table.Indexed(), "rewritten blob changed the indexed flag");
    fuzzcheck::CheckSameCells(again, table, "after writing and reading back");
}

// The column readers decode texts on their own fast paths; they must agree with the code
// page converters on any bytes.
void CheckTextDecoding(std::span<const uint8_t> bytes) {
    const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    TByteWriter w;
    w.WriteRawString("Table");
    w.WriteI32(1);
    WriteAnsiStringList(w, {"Wide", "Ansi", "Memo"});
    for (const char* type : {"csfWideString", "csfString", "csfMemo"}) {
        w.WriteRawString(type);
        w.WriteU16(0);
        w.WriteU16(0);
        w.WriteU8(0);
        w.WriteU8(0);
        w.WriteI32(static_cast<int32_t>(8 + raw.size()));
        w.WriteI32(1);
        w.WriteRawString(raw);
    }
    TStrTableDB32Bit table;
    table.Loaded();
    table.LoadFromStream(w.Buffer());
    Check(table.AsText(0, 0) == Utf16LeToUtf8(raw), "wide text decoded unlike Utf16LeToUtf8");
    Check(table.AsText(0, 1) == Cp1252ToUtf8(raw), "8-bit text decoded unlike Cp1252ToUtf8");
    const auto memo = MemoOf(table.Field(0, 2));
    Check(memo.size() == 1 && memo[0] == Cp1252ToUtf8(raw),
          "memo line decoded unlike Cp1252ToUtf8");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetTraceSink([](const std::string& line) { fuzzcheck::traceBytes += line.size(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> blob(data, size);
    CheckTextDecoding(blob);
    std::string validateWhy, loadWhy;
    const bool valid = Validates(blob, validateWhy);
    TStrTableDB32Bit table;
    table.Loaded();
    const bool loaded = Loads(table, blob, loadWhy);
    Check(valid == loaded, valid ? "validator passed, loader failed: " + loadWhy
                                 : "validator failed (" + validateWhy + "), loader passed");
    if (!loaded) {
        Check(table.Rows() == 0 && table.Cols() == 0, "a failed load left a non-empty table");
        return 0;
    }
    fuzzcheck::ReadAllCells(table);
    fuzzcheck::CheckDistinctValues(table);
    CheckRewrite(table);

    TStrTableDB32Bit reference;
    reference.Loaded();
    reference.LoadFromStream(blob);
    fuzzcheck::CheckConversions(table, reference);
    return 0;
}

// Input: a table source file (typed TSV). Reading it may fail only with the errors the
// container compiler turns into messages; a table it accepts must compile to a blob that
// loads to the same cells, in both column forms.

#include "core/data/str_table_db.h"
#include "fuzz/table_checks.h"
#include "tools/vacdb/catalog_source.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

using fuzzcheck::Check;

namespace {

std::filesystem::path& Folder() {
    static std::filesystem::path folder;
    return folder;
}

void RemoveFolder() {
    std::error_code ec;
    std::filesystem::remove_all(Folder(), ec);
}

void WriteFile(const std::filesystem::path& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
}

// "@name" cells read a file beside the table; keep them inside the scratch folder, away from
// device files and anything outside it.
bool LeavesFolder(std::string_view text) {
    if (text.find('@') == std::string_view::npos) return false;
    return text.find('/') != std::string_view::npos || text.find('\\') != std::string_view::npos ||
           text.find("..") != std::string_view::npos;
}

void CheckCompiled(const TStrTableDB32Bit& table) {
    std::vector<uint8_t> blob;
    try {
        blob = table.SaveToBytes();
    } catch (const std::invalid_argument&) {
        return; // a column name that code page 1252 cannot hold
    } catch (const std::length_error&) {
        return; // more rows than the columns hold: refused by the writer as by the reader
    }
    TStrTableDB32Bit loaded;
    loaded.Loaded();
    try {
        ValidateTableBlob(blob);
        loaded.LoadFromStream(blob);
    } catch (const EFormatError& e) {
        // Only a table whose columns hold no data per row can outgrow the row bound.
        Check(static_cast<uint64_t>(table.Rows()) > 8 * static_cast<uint64_t>(blob.size()),
              std::string("compiled table does not load: ") + e.what());
        return;
    }
    fuzzcheck::CheckSameCells(loaded, table, "compiled table");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Folder() = std::filesystem::temp_directory_path() /
               ("vacuum_source_fuzz_" + std::to_string(::getpid()));
    std::filesystem::create_directories(Folder());
    const uint8_t blob[] = {0x00, 0x01, 0xFE, 0xFF, 'b', 'l', 'o', 'b'};
    WriteFile(Folder() / "blob.bin", blob, sizeof blob);
    std::atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (LeavesFolder(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    const std::filesystem::path path = Folder() / "table.tsv";
    WriteFile(path, data, size);

    TStrTableDB32Bit table;
    table.Loaded();
    try {
        ReadTableSource(path.string(), Folder().string(), table);
    } catch (const ESourceError&) {
        return 0;
    } catch (const std::invalid_argument&) {
        return 0;
    } catch (const std::length_error&) {
        return 0;
    }
    fuzzcheck::ReadAllCells(table);
    CheckCompiled(table);

    // As the compiler does for "TableIndexed" entries.
    TStrTableDB32Bit rows;
    rows.Loaded();
    try {
        rows.LoadFromStream(table.SaveToBytes());
    } catch (const std::invalid_argument&) {
        return 0;
    } catch (const std::length_error&) {
        return 0;
    } catch (const EFormatError&) {
        return 0; // the row bound, checked above
    }
    table.SetIndexed(true);
    fuzzcheck::CheckSameCells(table, rows, "source table in dictionary form");
    CheckCompiled(table);
    return 0;
}

// Input: a project file. Reading never throws; whatever was read, the file the writer makes
// of it reads back to the same items.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/document/my_project.h"
#include "core/quantities/prj_strings.h"

namespace {

// Scratch files in the temporary folder the environment names, one pair per process.
std::string TempPath(const char* tag) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/vacuum_project_fuzz_" + std::to_string(::getpid()) + tag +
           ".vac";
}

void WriteFile(const std::string& path, const void* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) __builtin_trap();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

std::string Listing(TMyProject& doc, bool& failed) {
    TPrjStrings lines;
    doc.Project().WriteItems(lines);
    failed = lines.Failed();
    std::string out;
    for (const auto& l : lines.Lines()) out += l + "\r\n";
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string first = TempPath("a"), second = TempPath("b");
    WriteFile(first, data, size);
    TMyProject doc;
    if (!doc.Project().LoadFromFile(first).Ok()) return 0;
    bool failed = false;
    const std::string listing = Listing(doc, failed);
    if (failed) return 0; // a value the file format cannot hold is reported, not written
    if (!doc.Project().SaveToFile(second).Ok()) __builtin_trap(); // listed, so writable
    TMyProject again;
    if (!again.Project().LoadFromFile(second).Ok()) __builtin_trap();
    bool failedAgain = false;
    if (Listing(again, failedAgain) != listing || failedAgain) __builtin_trap();
    return 0;
}

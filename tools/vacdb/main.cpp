// vacdb: builds and inspects the container files the program reads.

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "core/data/container_format.h"
#include "core/data/orsik_connection.h"
#include "core/data/str_table_db.h"
#include "core/lang/language_blob.h"
#include "tools/vacdb/catalog_source.h"

namespace {

const char* kUsage =
    "usage: vacdb build SRC_DIR -o FILE [--scramble]\n"
    "       vacdb tables FILE\n"
    "       vacdb dump FILE TABLE\n"
    "       vacdb scramble IN OUT\n"
    "       vacdb unscramble IN OUT\n";

struct ToolError {
    std::string message;
};

TContainerImage OpenContainer(const std::string& path) {
    TContainerImage image;
    std::string error;
    if (!ReadContainerFile(path, image, error)) throw ToolError{error};
    return image;
}

int Build(const std::vector<std::string>& args) {
    std::string src, out;
    bool scramble = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size()) out = args[++i];
        else if (args[i] == "--scramble") scramble = true;
        else if (src.empty() && !args[i].empty() && args[i][0] != '-') src = args[i];
        else throw ToolError{std::string("unexpected argument \"") + args[i] + "\"\n" + kUsage};
    }
    if (src.empty() || out.empty()) throw ToolError{std::string("build needs SRC_DIR and -o FILE\n") + kUsage};
    std::vector<uint8_t> bytes;
    try {
        bytes = BuildContainerFromSources(src, scramble);
    } catch (const ESourceError& e) {
        throw ToolError{e.what()};
    }
    try {
        WriteFileAtomic(out, bytes);
    } catch (const std::runtime_error& e) {
        throw ToolError{e.what()};
    }
    return 0;
}

int Tables(const std::string& path) {
    const TContainerImage image = OpenContainer(path);
    for (size_t i = 0; i < image.TableNames.size(); ++i) {
        const std::string& kind = image.Kinds[i];
        size_t rows = 0, cols = 0;
        if (kind == "Table" || kind == "TableIndexed") {
            TStrTableDB32Bit table;
            table.Loaded();
            table.LoadFromStream(image.Blobs[i]);
            rows = static_cast<size_t>(table.Rows());
            cols = static_cast<size_t>(table.Cols());
        } else if (kind == "Language") {
            const TLanguageBlob lang = ReadLanguageBlob(image.Blobs[i]);
            rows = lang.Keys.size();
            cols = lang.Codes.size();
        }
        std::printf("%s\t%s\t%zu\t%zu\n", image.TableNames[i].c_str(), kind.c_str(), rows, cols);
    }
    return 0;
}

void PrintRow(const std::vector<std::string>& cells) {
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i) line.push_back('\t');
        line += EscapeCell(cells[i]);
    }
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stdout);
}

int Dump(const std::string& path, const std::string& name) {
    const TContainerImage image = OpenContainer(path);
    const int i = image.Find(name);
    if (i < 0) throw ToolError{path + ": no table \"" + name + "\""};
    const std::string& kind = image.Kinds[i];
    if (kind == "Language") {
        const TLanguageBlob lang = ReadLanguageBlob(image.Blobs[i]);
        std::vector<std::string> header{"Key"};
        header.insert(header.end(), lang.Codes.begin(), lang.Codes.end());
        PrintRow(header);
        for (size_t k = 0; k < lang.Keys.size(); ++k) {
            std::vector<std::string> row{lang.Keys[k]};
            for (const auto& texts : lang.Texts) row.push_back(k < texts.size() ? texts[k] : std::string());
            PrintRow(row);
        }
        return 0;
    }
    if (kind != "Table" && kind != "TableIndexed")
        throw ToolError{path + ": table \"" + name + "\" is of kind \"" + kind + "\", not a table"};
    TStrTableDB32Bit table;
    table.Loaded();
    table.LoadFromStream(image.Blobs[i]);
    const std::string text = TableToTsv(table);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int Rescramble(const std::string& in, const std::string& out, bool scramble) {
    const TContainerImage image = OpenContainer(in);
    try {
        WriteFileAtomic(out, BuildContainer(image.Header, image.TableNames, image.Blobs, scramble));
    } catch (const std::exception& e) {
        throw ToolError{e.what()};
    }
    return 0;
}

int Run(const std::vector<std::string>& a) {
    if (a.empty()) throw ToolError{std::string("no command given\n") + kUsage};
    const std::string& cmd = a[0];
    const std::vector<std::string> rest(a.begin() + 1, a.end());
    if (cmd == "build") return Build(rest);
    if (cmd == "tables" && rest.size() == 1) return Tables(rest[0]);
    if (cmd == "dump" && rest.size() == 2) return Dump(rest[0], rest[1]);
    if (cmd == "scramble" && rest.size() == 2) return Rescramble(rest[0], rest[1], true);
    if (cmd == "unscramble" && rest.size() == 2) return Rescramble(rest[0], rest[1], false);
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    throw ToolError{"unknown command or wrong arguments: \"" + cmd + "\"\n" + kUsage};
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return Run(args);
    } catch (const ToolError& e) {
        std::fprintf(stderr, "vacdb: %s\n", e.message.c_str());
    } catch (const EFormatError& e) {
        std::fprintf(stderr, "vacdb: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vacdb: %s\n", e.what());
    }
    return 1;
}

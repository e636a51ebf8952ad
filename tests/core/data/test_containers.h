#pragma once

// Small containers written in memory for the table and connection tests.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/data/container_format.h"
#include "core/data/str_table_db.h"

//! A table with one column of each of the twelve types and five rows.
inline void FillAllTypesTable(TCustomStrTableDB& t) {
    t.Clear();
    auto& pb = t.AddColumn("PBool", csfPBool);
    auto& b8 = t.AddColumn("Bool", csfBool, 0, 0, 1);
    auto& by = t.AddColumn("Byte", csfByte);
    auto& wo = t.AddColumn("Word", csfWord, 4);
    auto& dw = t.AddColumn("DWord", csfDWord);
    auto& fl = t.AddColumn("Float", csfFloat, 0, 0);
    auto& sl = t.AddColumn("StrLen", csfStringLen, 6);
    auto& st = t.AddColumn("String", csfString);
    auto& me = t.AddColumn("Memo", csfMemo);
    auto& bl = t.AddColumn("Blob", csfBLOB);
    auto& wl = t.AddColumn("WideLen", csfWideStringLen, 8);
    auto& ws = t.AddColumn("Wide", csfWideString);
    const bool bools[] = {true, false, true, true, false};
    const int bytes[] = {0, 200, 200, 7, 255};
    const int words[] = {-1, 12, 12, -32768, 32767};
    const int dwords[] = {100000, -5, 100000, 0, 2147483647};
    const double floats[] = {0.1, 100, 2.5, 0.1, -0.125};
    const char* strlens[] = {"abc", "", "sixsix", "abc", "Ä"};
    const char* strings[] = {"Sauger", "Grün", "", "Sauger", "x\ty"};
    const char* wides[] = {"日本", "Ελλάδα", "", "日本", "plain"};
    for (int r = 0; r < 5; ++r) {
        pb.AppendBool(bools[r]);
        b8.AppendBool(!bools[r]);
        by.AppendInt(bytes[r]);
        wo.AppendInt(words[r]);
        dw.AppendInt(dwords[r]);
        fl.AppendFloat(floats[r]);
        sl.AppendText(strlens[r]);
        st.AppendText(strings[r]);
        me.AppendMemo(r % 2 ? std::vector<std::string>{"line 1", "line 2"} : std::vector<std::string>{});
        const std::vector<uint8_t> blob(static_cast<size_t>(r), static_cast<uint8_t>(0xA0 + r));
        bl.AppendBlob(blob);
        wl.AppendText("ignored");
        ws.AppendText(wides[r]);
    }
    t.SetRows(5);
}

struct TTestTable {
    std::string Name;
    std::vector<uint8_t> Blob;
};

inline std::vector<uint8_t> MakeContainer(const std::vector<TTestTable>& tables, bool scramble,
                                          std::vector<std::string> header = {"FileFormatVersion=1.3"}) {
    std::vector<std::string> names;
    std::vector<std::span<const uint8_t>> blobs;
    for (const auto& t : tables) {
        names.push_back(t.Name);
        blobs.emplace_back(t.Blob);
    }
    return BuildContainer(header, names, blobs, scramble);
}

//! A temporary file removed when the object goes away.
class TTempFile {
public:
    explicit TTempFile(const std::vector<uint8_t>& bytes, const std::string& name = "Vacuum.dat") {
        dir_ = std::filesystem::temp_directory_path() /
               ("vacuum_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / name).string();
        Write(bytes);
    }
    ~TTempFile() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    void Write(const std::vector<uint8_t>& bytes) const { WriteTo(path_, bytes); }
    static void WriteTo(const std::string& path, const std::vector<uint8_t>& bytes) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    const std::string& Path() const { return path_; }
    std::string Folder() const { return dir_.string(); }

private:
    static inline int counter_ = 0;
    std::filesystem::path dir_;
    std::string path_;
};

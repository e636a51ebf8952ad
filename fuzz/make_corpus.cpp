// Writes the seed corpora of the fuzz targets: small, valid inputs that reach every column
// type, both column forms, plain and scrambled bodies and a language blob.
//
//   make_corpus OUTPUT_FOLDER      (writes OUTPUT_FOLDER/<target>/<seed>)

#include "core/data/container_format.h"
#include "core/data/str_table_db.h"
#include "core/lang/language_blob.h"
#include "core/util/byte_writer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// One column of each type; a few repeated values so the dictionary form has work to do.
void FillAllTypes(TCustomStrTableDB& t, int rows) {
    t.Clear();
    auto& pbool = t.AddColumn("Available", csfPBool);
    auto& flag = t.AddColumn("~Filter", csfBool, 0, 0, 1);
    auto& size = t.AddColumn("Size", csfByte, 3);
    auto& stroke = t.AddColumn("Stroke", csfWord, 5);
    auto& partNo = t.AddColumn("PartNo", csfDWord);
    auto& diameter = t.AddColumn("Diameter", csfFloat, 8, 2);
    auto& volume = t.AddColumn("Volume", csfFloat);
    auto& code = t.AddColumn("ShortCut", csfStringLen, 8);
    auto& group = t.AddColumn("Größe", csfString);
    auto& memo = t.AddColumn("Notes", csfMemo);
    auto& picture = t.AddColumn("Picture", csfBLOB);
    auto& fixedWide = t.AddColumn("Legacy", csfWideStringLen, 6);
    auto& wide = t.AddColumn("Name", csfWideString);
    const char* groups[] = {"SPB1", "SPF", "Sauger Ø20", "", "SPB1"};
    const char* names[] = {"吸盘", "Ελλάδα", "", "plain", "吸盘"};
    for (int r = 0; r < rows; ++r) {
        pbool.AppendBool(r % 3 != 1);
        flag.AppendBool(r % 2 == 0);
        size.AppendInt(r % 2 ? 255 : 20);
        stroke.AppendInt(r % 4 == 3 ? -32768 : 10 * (r % 3));
        partNo.AppendInt(r == 2 ? 2147483647 : 10010000 + r % 3);
        diameter.AppendFloat(r % 3 == 0 ? 0.02 : 0.0125 * r);
        volume.AppendFloat(r % 2 ? 1.5e-6 : -0.0);
        code.AppendText(r % 3 ? "SPB1-20" : "Ä");
        group.AppendText(groups[r % 5]);
        memo.AppendMemo(r % 2 ? std::vector<std::string>{"Öl-fest", "x\ty"}
                              : std::vector<std::string>{});
        picture.AppendBlob(std::vector<uint8_t>(static_cast<size_t>(r % 3), 0xA5));
        fixedWide.AppendText("ignored");
        wide.AppendText(names[r % 5]);
    }
    t.SetRows(rows);
}

// A product-like table: text codes of high cardinality, groups of low cardinality.
void FillProducts(TCustomStrTableDB& t, int rows) {
    t.Clear();
    auto& order = t.AddColumn("OrderCode", csfString);
    auto& group = t.AddColumn("Group", csfString);
    auto& size = t.AddColumn("Size", csfWord);
    auto& force = t.AddColumn("Fs07", csfFloat, 8, 1);
    auto& ok = t.AddColumn("~ok", csfPBool);
    for (int r = 0; r < rows; ++r) {
        order.AppendText("1001" + std::to_string(1000 + 7 * r));
        group.AppendText(r % 3 ? "SPB1" : "SPF");
        size.AppendInt(10 + 5 * (r % 4));
        force.AppendFloat(4.5 * (r % 4 + 1));
        ok.AppendBool(r % 2 == 0);
    }
    t.SetRows(rows);
}

std::vector<uint8_t> TableBlob(int rows, bool indexed, bool products = false) {
    TStrTableDB32Bit t;
    t.Loaded();
    if (products)
        FillProducts(t, rows);
    else
        FillAllTypes(t, rows);
    if (indexed) t.SetIndexed(true);
    return t.SaveToBytes();
}

// Written by hand: value stores and a row index shorter than the row count, and a store
// longer than it. Rows without a value read as the type's default value.
std::vector<uint8_t> ShortStoresBlob() {
    TByteWriter w;
    w.WriteRawString("Table");
    w.WriteI32(8);
    WriteAnsiStringList(w, {"Size", "Count", "Flag", "Long"});
    auto header = [&](const char* type, bool indexed) {
        w.WriteRawString(type);
        w.WriteU16(4);
        w.WriteU16(0);
        w.WriteU8(0);
        w.WriteU8(indexed ? 1 : 0);
    };
    header("csfWord", true);
    w.WriteI32(3); // a row index of three rows only
    for (int32_t slot : {1, 0, 1}) w.WriteI32(slot);
    w.WriteI32(2);
    w.WriteU16(7);
    w.WriteU16(0xFFFF);
    header("csfByte", false);
    w.WriteI32(2);
    w.WriteU8(200);
    w.WriteU8(3);
    header("csfPBool", false);
    w.WriteI32(3);
    w.WriteU8(0xFF); // bits beyond the count are set too
    header("csfDWord", false);
    w.WriteI32(10);
    for (int32_t v = 0; v < 10; ++v) w.WriteI32(100 + v);
    return std::move(w.Buffer());
}

std::vector<uint8_t> LanguageBlob() {
    TLanguageBlob lang;
    lang.Codes = {"en", "de", "ja", "pl"};
    lang.Keys = {"~Yes", "~No", "~ErrorInvalidValue"};
    lang.Texts = {{"Yes", "No", "Invalid value"},
                  {"Ja", "Nein", "Ungültiger Wert"},
                  {"はい", "いいえ", "無効な値"},
                  {"Tak", "Nie", "Nieprawidłowa wartość"}};
    return WriteLanguageBlob(lang);
}

std::vector<uint8_t> Container(const std::vector<std::string>& names,
                               const std::vector<std::vector<uint8_t>>& blobs, bool scramble) {
    std::vector<std::span<const uint8_t>> views(blobs.begin(), blobs.end());
    return BuildContainer({"FileFormatVersion=1.3", "Created=seed"}, names, views, scramble);
}

// A literal with its embedded zero bytes.
template <size_t N> std::string Lit(const char (&text)[N]) {
    return std::string(text, N - 1);
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

void Write(const fs::path& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
    fs::create_directories(folder);
    const fs::path path = folder / name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(f);
    std::printf("%6zu  %s\n", bytes.size(), path.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path out = argv[1];

    const fs::path blobs = out / "table_blob_fuzz";
    Write(blobs, "all_types_rows", TableBlob(5, false));
    Write(blobs, "all_types_indexed", TableBlob(5, true));
    Write(blobs, "products_indexed", TableBlob(12, true, true));
    Write(blobs, "empty_table", TableBlob(0, false));
    Write(blobs, "language", LanguageBlob());
    Write(blobs, "short_stores", ShortStoresBlob());

    const fs::path containers = out / "container_fuzz";
    const std::vector<std::vector<uint8_t>> tables = {TableBlob(5, false), TableBlob(5, true),
                                                      TableBlob(12, true, true)};
    const std::vector<std::string> names = {"tbl AllTypes", "qry AllTypes", "qry SuctionCups"};
    Write(containers, "plain", Container(names, tables, false));
    // Larger than one scramble block, so the body spans two.
    Write(containers, "scrambled", Container(names, tables, true));
    Write(containers, "short_stores", Container({"Short"}, {ShortStoresBlob()}, false));
    Write(containers, "language",
          Container({"Translations", "Dialog"}, {LanguageBlob(), TableBlob(3, false, true)}, true));
    TLanguageBlob none;
    Write(containers, "odd_kinds",
          Container({"Nothing", "Other", "NoLanguages"},
                    {TableBlob(0, true), Bytes(std::string("\x05\0\0\0Query", 9)),
                     WriteLanguageBlob(none)},
                    false));

    const fs::path languages = out / "language_fuzz";
    Write(languages, "translations", LanguageBlob());
    Write(languages, "no_languages", WriteLanguageBlob(TLanguageBlob()));

    const fs::path projects = out / "project_fuzz";
    Write(projects, "workpiece.vac",
          Bytes("Workpiece.Shape=bar\r\nWorkpiece.Length.x=0.5\r\nWorkpiece.Length.y=1/4\r\n"
                "Workpiece.Mass=2.5\r\nWorkpiece.MassKnown=True\r\nProject.No=P-17 = B\r\n"
                "Remarks.Count=2\r\nRemarks.Items[0]=first\r\nRemarks.Items[1]=second\r\n"));
    Write(projects, "cups.vac",
          Bytes("SuctionCups.Count=2\nSuctionCups.Items[0].Pos.x=0.1\nSuctionCups.Items[0].Pos.y=-0.1\n"
                "SuctionCups.Items[1].Pos.x=1e-3\nMoving.Linear.Direction=vertical <up>\n"));

    const fs::path sources = out / "source_fuzz";
    Write(sources, "all_types.tsv",
          Bytes("Available:pbool\t~Filter:csfBool:0:0:1\tSize:byte:3\tStroke:word\t"
                "PartNo:dword\tDiameter:float:8:2\tShortCut:stringlen:8\tGroup:string\t"
                "Notes:memo\tPicture:blob\tLegacy:widestringlen:6\tName:widestring\n"
                "X\t1\t20\t-32768\t10010001\t0.02\tSPB1-20\tSauger Ø20\tÖl-fest\\nx\\ty\t"
                "hex:A5FF00\tignored\t吸盘\n"
                "-\t0\t255\t65535\t-5\t1.5e-6\tÄ\t\t\t@blob.bin\t\tΕλλάδα\n"
                "\t\t\t\t\t\t\ta\\\\b\t\t\t\t\n"));
    Write(sources, "products.tsv",
          Bytes("OrderCode:string\tGroup:string\tSize:word:4\tFs07:float:8:1\tRatio:a:b:float\n"
                "10011000\tSPB1\t10\t4.5\t0.5\n"
                "10011007\tSPF\t15\t9\t-1\n"
                "\n"
                "10011014\tSPB1\t20\t13.5\t3\r\n"));

    // Condition texts behind their options byte: bracket pair, name policy, first row.
    const fs::path expressions = out / "expression_fuzz";
    const std::pair<const char*, std::string> conditions[] = {
        {"arithmetic", Lit("\x04") + "2+3*4-2^3^2/[A]"},
        {"query_brackets", Lit("\x05") + "(Fs07>=4.5)&(Size<20)|(7)DIV(2)=3"},
        {"functions", Lit("\x24") + "MAX[1,A,SQRT[B]]+IIF[x1,'a','b']+QUANT[7,2]"},
        {"texts", Lit("\x48") + "'abc'+T='abcx'|STRING[N]<>'1'"},
        {"names", Lit("\x65") + "E+R*(K)MOD(3)+[Min Diameter]-(U)SHL(2)"},
        {"no_resolver", Lit("\x00") + "-2^2+3--2+ABS[-1e308*10]"},
        {"empty_slots", Lit("\x94") + "Unknown+1<>A AND B"},
    };
    for (const auto& [name, text] : conditions) Write(expressions, name, Bytes(text));

    // Number texts behind decimals/fraction/separator, quantity/range and unit bytes.
    const fs::path numbers = out / "number_text_fuzz";
    const std::pair<const char*, std::string> texts[] = {
        {"decimal", Lit("\x0F\x00\x00") + "12.5"},
        {"fraction", Lit("\x55\x20\x01") + "1 3/8"},
        {"exponent", Lit("\x0C\x60\x02") + "-1.5E-2"},
        {"comma", Lit("\x90\x41\x00") + " 1,5e2 "},
        {"large", Lit("\x24\x80\x03") + "1e308"},
        {"negative_fraction", Lit("\x5A\xA3\x00") + "-0 1/2"},
    };
    for (const auto& [name, text] : texts) Write(numbers, name, Bytes(text));

    // Settings files behind the options byte (bit 0: also the program's own settings file).
    const fs::path settings = out / "settings_fuzz";
    const std::pair<const char*, std::string> files[] = {
        {"user_settings", Lit("\x01") +
                              "[Vacuum]\r\nLanguage=dede\r\nMeasure=0\r\nFile0=/tmp/a.vac\r\n"
                              "; comment\r\n[Other]\r\nEXEName=\"other\"\r\n"},
        {"first_run", Lit("\x01") + "[Elsewhere]\nKey = ' value '\n"},
        {"bom", Lit("\x00") + "\xEF\xBB\xBF[A]\nx=1\n[a]\nx=2"},
        {"utf16", Lit("\x00\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\xE4\0")},
        {"ansi", Lit("\x00") + "[S]\rk=\xE4\xFC\rj=\"q\""},
        {"writes", Lit("\x00") + "[S]\nk=1\n\n[T]\n" + Lit("\0\0") +
                       "S\x01k\x01 two \x02T\x01new\x01"
                       "a\r\nb\x02U\x01x\x01\"q\""},
        // Once the one byte that is not UTF-8 is written over, the rest would read as UTF-8.
        {"ansi_writes", Lit("\x00") + "[S]\nk=\xC3\xA9\nbad=\xFF\n" + Lit("\0\0") +
                            "S\x01"
                            "bad\x01x"},
    };
    for (const auto& [name, text] : files) Write(settings, name, Bytes(text));
    return 0;
}

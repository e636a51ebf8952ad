#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "core/data/orsik_connection.h"
#include "core/data/str_table_db.h"
#include "tools/vacdb/catalog_source.h"
#include "tests/file_text.h"

namespace fs = std::filesystem;

namespace {

const std::string kMini = std::string(VACUUM_TEST_DATA_DIR) + "/mini_catalog";

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

RunResult RunVacdb(const std::string& args) {
    const fs::path errFile = fs::temp_directory_path() / ("vacdb_err_" + std::to_string(::getpid()));
    const std::string cmd = std::string(VACDB_EXE) + " " + args + " 2>" + errFile.string();
    RunResult r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::ifstream e(errFile);
    std::stringstream ss;
    ss << e.rdbuf();
    r.err = ss.str();
    fs::remove(errFile);
    return r;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

class Vacdb : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vacdb_test_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    fs::path dir;
};

} // namespace

TEST_F(Vacdb, BuildsAndListsTables) {
    const auto r = RunVacdb("build " + Quote(kMini) + " -o " + Quote(Path("c.dat")));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto t = RunVacdb("tables " + Quote(Path("c.dat")));
    EXPECT_EQ(t.status, 0);
    EXPECT_EQ(t.out,
              "qry SuctionCups\tTableIndexed\t5\t8\n"
              "All Types\tTable\t2\t13\n"
              "Empty\tTable\t0\t1\n"
              "Translations\tLanguage\t3\t4\n");
}

TEST_F(Vacdb, DumpShowsCellTextsAsTheTableReadsThem) {
    ASSERT_EQ(RunVacdb("build " + Quote(kMini) + " -o " + Quote(Path("c.dat")) + " --scramble").status, 0);
    const auto d = RunVacdb("dump " + Quote(Path("c.dat")) + " 'ALL TYPES'");
    ASSERT_EQ(d.status, 0) << d.err;
    EXPECT_EQ(d.out,
              "B\tB8\tU8\tI16\tI32\tF\tFP\tSL\tS\tM\tBL\tWL\tWS\n"
              "X\t-\t200\t -1\t-7\t0.1\t1.50\tabc\tTab\\\\there\t<Memo>\t<BLOB>\t\t日本語\n"
              "-\tX\t0\t-32768\t2147483647\t100\t2.00\t\tGrün\t<Memo>\t<BLOB>\t\tΩ\n");
    const auto s = RunVacdb("dump " + Quote(Path("c.dat")) + " 'qry SuctionCups'");
    EXPECT_NE(s.out.find("SC-B020-SIL\t2\t20\t~Bellows\t20\t11.50\t   8\tX\n"), std::string::npos)
        << s.out;
    const auto l = RunVacdb("dump " + Quote(Path("c.dat")) + " Translations");
    EXPECT_EQ(l.out.substr(0, l.out.find('\n')), "Key\tde\ten\tja\tpl");
    EXPECT_NE(l.out.find("~Round\tRund\tRound\t丸型\tOkrągła"), std::string::npos);
}

TEST_F(Vacdb, ScrambleAndUnscrambleRewriteOnlyTheBody) {
    ASSERT_EQ(RunVacdb("build " + Quote(kMini) + " -o " + Quote(Path("plain.dat"))).status, 0);
    ASSERT_EQ(RunVacdb("scramble " + Quote(Path("plain.dat")) + " " + Quote(Path("s.dat"))).status, 0);
    ASSERT_EQ(RunVacdb("unscramble " + Quote(Path("s.dat")) + " " + Quote(Path("p2.dat"))).status, 0);
    EXPECT_NE(ReadAll(Path("plain.dat")), ReadAll(Path("s.dat")));
    EXPECT_EQ(ReadAll(Path("plain.dat")), ReadAll(Path("p2.dat")));
    EXPECT_EQ(RunVacdb("dump " + Quote(Path("s.dat")) + " 'All Types'").out,
              RunVacdb("dump " + Quote(Path("plain.dat")) + " 'All Types'").out);
}

TEST_F(Vacdb, ErrorsAreOneLineNamingFileAndProblem) {
    auto r = RunVacdb("tables " + Quote(Path("missing.dat")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(Path("missing.dat")), std::string::npos);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

    ASSERT_EQ(RunVacdb("build " + Quote(kMini) + " -o " + Quote(Path("c.dat"))).status, 0);
    r = RunVacdb("dump " + Quote(Path("c.dat")) + " 'No Such Table'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("No Such Table"), std::string::npos);

    r = RunVacdb("build " + Quote(std::string(VACUUM_TEST_DATA_DIR) + "/bad_catalog") + " -o " +
                 Quote(Path("bad.dat")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("t.tsv:3"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("out of range"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("bad.dat")));

    // A corrupt container: cut off the end.
    const std::string bytes = ReadAll(Path("c.dat"));
    std::ofstream(Path("cut.dat"), std::ios::binary) << bytes.substr(0, bytes.size() - 10);
    r = RunVacdb("tables " + Quote(Path("cut.dat")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cut.dat"), std::string::npos);

    std::ofstream(Path("text.dat")) << "hello";
    r = RunVacdb("dump " + Quote(Path("text.dat")) + " x");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not a container"), std::string::npos);

    EXPECT_EQ(RunVacdb("frobnicate").status, 1);
}

TEST_F(Vacdb, FailedBuildKeepsTheExistingOutput) {
    ASSERT_EQ(RunVacdb("build " + Quote(kMini) + " -o " + Quote(Path("c.dat"))).status, 0);
    const std::string before = ReadAll(Path("c.dat"));
    EXPECT_EQ(RunVacdb("build " + Quote(std::string(VACUUM_TEST_DATA_DIR) + "/bad_catalog") + " -o " +
                       Quote(Path("c.dat")))
                  .status,
              1);
    EXPECT_EQ(ReadAll(Path("c.dat")), before);
}

TEST(CatalogSource, HeaderSpecsAndCellErrors) {
    const fs::path d = fs::temp_directory_path() / ("vacdb_src_" + std::to_string(::getpid()));
    fs::create_directories(d);
    auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(d / name, std::ios::binary) << text;
        return (d / name).string();
    };
    TStrTableDB32Bit t;
    t.Loaded();
    // A column name may contain ':'; the type is the last recognised segment.
    ReadTableSource(write("a.tsv", "Ratio:1:2:csfFloat:8:3\tName:string\n1.25\tx\n"), d.string(), t);
    EXPECT_EQ(t.ColName(0), "Ratio:1:2");
    EXPECT_EQ(t.Column(0)->Prec, 8);
    EXPECT_EQ(t.AsText(0, 0), "1.250");

    EXPECT_THROW(ReadTableSource(write("b.tsv", "NoType\n1\n"), d.string(), t), ESourceError);
    EXPECT_THROW(ReadTableSource(write("c.tsv", "N:float\nabc\n"), d.string(), t), ESourceError);
    EXPECT_THROW(ReadTableSource(write("d.tsv", "N:float\tM:float\n1\n"), d.string(), t), ESourceError);
    EXPECT_THROW(ReadTableSource(write("e.tsv", "S:string\n漢字\n"), d.string(), t), ESourceError);
    EXPECT_THROW(ReadTableSource(write("f.tsv", "B:bool\nyes\n"), d.string(), t), ESourceError);
    EXPECT_THROW(ReadTableSource(write("h.tsv", "S:stringlen:3\nabcd\n"), d.string(), t), ESourceError);
    EXPECT_THROW(ReadTableSource(write("i.tsv", "B:blob\n@/dev/zero\n"), d.string(), t), ESourceError);
    EXPECT_THROW(ReadTableSource(write("j.tsv", "B:blob\n@.\n"), d.string(), t), ESourceError);
    ReadTableSource(write("k.tsv", "S:stringlen:3\nabc\nÄÖÜ\n"), d.string(), t);
    EXPECT_EQ(t.AsText(1, 0), "ÄÖÜ"); // three characters of code page 1252, not six bytes
    try {
        ReadTableSource(write("g.tsv", "N:word\n70000\n"), d.string(), t);
        FAIL();
    } catch (const ESourceError& e) {
        EXPECT_NE(std::string(e.what()).find("g.tsv:2"), std::string::npos) << e.what();
    }
    // A language text its code page cannot hold is refused.
    write("index.tsv", "Language\tTranslations\tl.tsv\n");
    write("l.tsv", "Key\tpl\n~X\t日本\n");
    EXPECT_THROW(BuildContainerFromSources(d.string(), false), ESourceError);
    fs::remove_all(d);
}

TEST(CatalogSource, RebuildFromDumpGivesTheSameCells) {
    // Source -> container -> cells -> source again -> container: the cells agree.
    const auto bytes = BuildContainerFromSources(kMini, false);
    TContainerImage img;
    ASSERT_TRUE(ParseContainer(std::make_shared<std::vector<uint8_t>>(bytes), img));
    const int i = img.Find("qry SuctionCups");
    TStrTableDB32Bit a;
    a.Loaded();
    a.LoadFromStream(img.Blobs[i]);

    const fs::path d = fs::temp_directory_path() / ("vacdb_rt_" + std::to_string(::getpid()));
    fs::create_directories(d);
    std::ofstream out(d / "t.tsv");
    for (int c = 0; c < a.Cols(); ++c) {
        const TStrFieldDB* f = a.Column(c);
        out << (c ? "\t" : "") << a.ColName(c) << ":" << FieldTypeName(f->DataType()) << ":" << f->Prec
            << ":" << f->Dec << ":" << int(f->Transl8);
    }
    out << "\n";
    for (int r = 0; r < a.Rows(); ++r) {
        for (int c = 0; c < a.Cols(); ++c) {
            const TStrFieldDB* f = a.Column(c);
            std::string cell = f->DataType() == csfFloat ? std::to_string(f->GetFloat(r)) : a.AsText(r, c);
            out << (c ? "\t" : "") << EscapeCell(cell);
        }
        out << "\n";
    }
    out.close();
    std::ofstream(d / "index.tsv") << "TableIndexed\tqry SuctionCups\tt.tsv\n";
    const auto again = BuildContainerFromSources(d.string(), false);
    TContainerImage img2;
    ASSERT_TRUE(ParseContainer(std::make_shared<std::vector<uint8_t>>(again), img2));
    EXPECT_TRUE(std::equal(img.Blobs[i].begin(), img.Blobs[i].end(), img2.Blobs[0].begin(),
                           img2.Blobs[0].end()));
    fs::remove_all(d);
}

// Special files are refused at once, in one line naming them: a device such as /dev/zero
// would be read without end and a folder gave a failed allocation. (Harmless ones stand in
// here, so that a relapse cannot exhaust memory or replace a system file.)
TEST_F(Vacdb, OnlyRegularContainerFilesAreReadOrWritten) {
    auto r = RunVacdb("tables /dev/null");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vacdb: /dev/null: not a regular file (a character device)\n");
    r = RunVacdb("dump " + Quote(dir.string()) + " x");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vacdb: " + dir.string() + ": not a regular file (a folder)\n");
    const std::string fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    r = RunVacdb("build " + Quote(kMini) + " -o " + Quote(fifo));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vacdb: " + fifo + ": cannot write: not a regular file (a FIFO)\n");
    EXPECT_TRUE(fs::is_fifo(fifo));
}

// Texts that reach the order files are single-line: a TAB or line break in an order code,
// short cut, part number or description is refused where the catalogue is built; the same
// characters elsewhere (here a comment column) are kept.
TEST(CatalogSource, OrderTextsMayNotHoldControlCharacters) {
    const fs::path d = fs::temp_directory_path() / ("vacdb_ctl_" + std::to_string(::getpid()));
    fs::create_directories(d);
    auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(d / name, std::ios::binary) << text;
        return (d / name).string();
    };
    TStrTableDB32Bit t;
    t.Loaded();
    ReadTableSource(write("ok.tsv", "OrderCode:string\tNote:string\nSC-1\tline\\none\n"), d.string(), t);
    EXPECT_EQ(t.AsText(0, 1), "line\none");
    for (const char* column : {"OrderCode", "shortcut", "PartNo", "~Description"}) {
        for (const char* cell : {"A\\tB", "A\\nB", "A\\rB"}) {
            try {
                ReadTableSource(write("bad.tsv", std::string("Note:string\t") + column + ":string\nx\t" + cell + "\n"),
                                d.string(), t);
                ADD_FAILURE() << column << " took " << cell;
            } catch (const ESourceError& e) {
                const std::string what = e.what();
                EXPECT_NE(what.find("bad.tsv:2"), std::string::npos) << what;
                EXPECT_NE(what.find(std::string("column \"") + column + "\""), std::string::npos) << what;
                EXPECT_NE(what.find("control character"), std::string::npos) << what;
            }
        }
    }
    fs::remove_all(d);
}

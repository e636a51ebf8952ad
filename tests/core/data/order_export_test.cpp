#include "core/data/order_export.h"
#include "core/data/parts_list.h"
#include "tests/file_text.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class TScratchDir {
public:
    TScratchDir() {
        dir_ = fs::temp_directory_path() /
               ("vacuum_export_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
        fs::create_directories(dir_);
    }
    ~TScratchDir() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    size_t Entries() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }

private:
    static inline int counter_ = 0;
    fs::path dir_;
};

void WriteRaw(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void FillSample(TPartsList& list) {
    list.Add("44000001", "SA-QA-M6-4", 1, 2, "ST", "", 0, "~DescShockAbsorber");
    list.Add("22000004", "TU-PU-04x2.5-BL", 1, 3, "M", "", 0, "~DescVacuumTube");
    list.Add("55000001", "RAIL-20", 1, 1, "ST", "mm", 500, "~Rail");
}

} // namespace

TEST(OrderExport, ErpFileIsTabSeparatedWithCrLf) {
    TPartsList list;
    FillSample(list);
    EXPECT_EQ(ErpOrderText(list, "1000"),
              "1000\t0\t1\t44000001\tOrsik\tSA-QA-M6-4\t0\t2\tST\t0\t0\tX\tX\t0\r\n"
              "1000\t0\t2\t22000004\tOrsik\tTU-PU-04x2.5-BL\t0\t3\tM\t0\t0\tX\tX\t0\r\n"
              "1000\t0\t3\t55000001\tOrsik\tRAIL-20\t0\t1\tST\t0\t0\tX\tX\t500\r\n");
    // Without a plant code the first field is empty.
    const std::string noPlant = ErpOrderText(list, "");
    EXPECT_EQ(noPlant.substr(0, noPlant.find("\r\n")),
              "\t0\t1\t44000001\tOrsik\tSA-QA-M6-4\t0\t2\tST\t0\t0\tX\tX\t0");
    EXPECT_EQ(ErpOrderText(TPartsList(), "1000"), "");
}

TEST(OrderExport, CsvHasHeaderAndSemicolonLines) {
    TPartsList list;
    FillSample(list);
    EXPECT_EQ(CsvExportText(list),
              "Position;Teile Nr.;Menge;Ihre Teilenummer;Bestellcode 1;Bestellcode 2;x-Hub;\r\n"
              "1;44000001;2;;SA-QA-M6-4;;;\r\n"
              "2;22000004;3;;TU-PU-04x2.5-BL;;;\r\n"
              "3;55000001;1;;RAIL-20;;500;\r\n");
    EXPECT_EQ(CsvExportText(TPartsList()),
              "Position;Teile Nr.;Menge;Ihre Teilenummer;Bestellcode 1;Bestellcode 2;x-Hub;\r\n");
}

// A separator or a quote inside a part number or order code must not shift the fields:
// that field alone is quoted, its quotes doubled, and reading the line back by the CSV rule
// gives the seven fields with the texts as they were.
TEST(OrderExport, CsvQuotesOnlyAFieldThatHoldsTheSeparatorOrAQuote) {
    TPartsList list;
    list.Add("44;01", "SA;QA \"M6\"", 1, 2, "ST", "", 0, "");
    list.Add("22000004", "TU-PU-04", 1, 3, "M", "", 0, "");
    const std::string text = CsvExportText(list);
    const std::string first = text.substr(text.find("\r\n") + 2, text.find("\r\n", text.find("\r\n") + 2) - text.find("\r\n") - 2);
    EXPECT_EQ(first, "1;\"44;01\";2;;\"SA;QA \"\"M6\"\"\";;;");
    EXPECT_NE(text.find("\r\n2;22000004;3;;TU-PU-04;;;\r\n"), std::string::npos);
    // Split by the CSV rule: quotes group, a doubled quote is one.
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < first.size(); ++i) {
        const char c = first[i];
        if (quoted && c == '"' && i + 1 < first.size() && first[i + 1] == '"') fields.back() += '"', ++i;
        else if (c == '"') quoted = !quoted;
        else if (c == ';' && !quoted) fields.emplace_back();
        else fields.back() += c;
    }
    ASSERT_EQ(fields.size(), 8u); // seven fields and the empty text after the last ";"
    EXPECT_EQ(fields[1], "44;01");
    EXPECT_EQ(fields[2], "2");
    EXPECT_EQ(fields[4], "SA;QA \"M6\"");
    EXPECT_EQ(fields[6], "");
}

TEST(OrderExport, TextsAreWrittenInTheAnsiCodePage) {
    EXPECT_EQ(AnsiExportText("Gr\xC3\xBCn \xE2\x82\xAC"), "Gr\xFCn \x80");
    // Not in code page 1252, and broken UTF-8: one "?" each.
    EXPECT_EQ(AnsiExportText("a\xE6\x97\xA5z"), "a?z");
    EXPECT_EQ(AnsiExportText("a\xC3z"), "a?z");
    EXPECT_EQ(AnsiExportText("\xFF"), "?");

    TPartsList list;
    list.Add("1", "K\xC3\x84SE-\xE6\x97\xA5", 1, 1, "ST", "", 0, "");
    EXPECT_EQ(CsvExportText(list).substr(CsvExportText(list).find("\r\n") + 2),
              "1;1;1;;K\xC4SE-?;;;\r\n");
    EXPECT_EQ(ErpOrderText(list, "W\xC3\xA9rk"),
              "W\xE9rk\t0\t1\t1\tOrsik\tK\xC4SE-?\t0\t1\tST\t0\t0\tX\tX\t0\r\n");
}

TEST(OrderExport, FilesHoldExactlyTheExportTexts) {
    TScratchDir dir;
    TPartsList list;
    FillSample(list);
    const std::string erp = dir.Path("Vacuum.txt");
    const std::string csv = dir.Path("parts.csv");
    ASSERT_TRUE(SaveErpOrderFile(list, "1000", erp));
    ASSERT_TRUE(ExportCsvFile(list, csv));
    EXPECT_EQ(ReadAll(erp), ErpOrderText(list, "1000"));
    EXPECT_EQ(ReadAll(csv), CsvExportText(list));
    // No temporary file stays behind.
    EXPECT_EQ(dir.Entries(), 2u);
}

TEST(OrderExport, ExistingFileIsReplacedWhole) {
    TScratchDir dir;
    const std::string path = dir.Path("parts.csv");
    WriteRaw(path, std::string(5000, 'x'));
    TPartsList list;
    list.Add("1", "A", 1, 1, "ST", "", 0, "");
    ASSERT_TRUE(ExportCsvFile(list, path));
    EXPECT_EQ(ReadAll(path), CsvExportText(list));
    EXPECT_EQ(dir.Entries(), 1u);
}

TEST(OrderExport, FailedWriteIsReportedAndLeavesNothing) {
    TScratchDir dir;
    const std::string notAFolder = dir.Path("plain");
    WriteRaw(notAFolder, "keep");
    TPartsList list;
    list.Add("1", "A", 1, 1, "ST", "", 0, "");

    const std::string target = notAFolder + "/parts.csv";
    const TExportResult r = ExportCsvFile(list, target);
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.Ok);
    EXPECT_NE(r.Message.find(target), std::string::npos) << r.Message;
    EXPECT_FALSE(SaveErpOrderFile(list, "1000", notAFolder + "/Vacuum.txt"));
    EXPECT_EQ(ReadAll(notAFolder), "keep");
    EXPECT_EQ(dir.Entries(), 1u);
}

TEST(OrderExport, FolderAsTargetFailsAndStaysAsItWas) {
    TScratchDir dir;
    const std::string folder = dir.Path("sub");
    fs::create_directories(folder);
    WriteRaw(folder + "/inside.txt", "old");
    TPartsList list;
    list.Add("1", "A", 1, 1, "ST", "", 0, "");
    const TExportResult r = ExportCsvFile(list, folder);
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.Message.empty());
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(ReadAll(folder + "/inside.txt"), "old");
    EXPECT_EQ(dir.Entries(), 1u);
}

TEST(OrderExport, LinkedFileIsReplacedBehindTheLinkWithItsMode) {
    TScratchDir dir;
    const std::string real = dir.Path("real.csv");
    const std::string link = dir.Path("link.csv");
    WriteRaw(real, "old");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(real, link);
    TPartsList list;
    list.Add("1", "A", 1, 1, "ST", "", 0, "");
    ASSERT_TRUE(ExportCsvFile(list, link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadAll(real), CsvExportText(list));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(dir.Entries(), 2u);
}

// A special file is no export target: the message names it and it stays what it was.
TEST(OrderExport, OnlyRegularFilesOrNewNamesAreTargets) {
    TScratchDir dir;
    TPartsList list;
    list.Add("1", "A", 1, 1, "ST", "", 0, "");
    const std::string fifo = dir.Path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const TExportResult csv = ExportCsvFile(list, fifo);
    EXPECT_FALSE(csv);
    EXPECT_EQ(csv.Message, "cannot write \"" + fifo + "\": not a regular file (a FIFO)");
    const std::string link = dir.Path("link.txt");
    fs::create_symlink(fifo, link);
    const TExportResult erp = SaveErpOrderFile(list, "1000", link);
    EXPECT_FALSE(erp);
    EXPECT_EQ(erp.Message, "cannot write \"" + link + "\": \"" + fifo + "\" is not a regular file (a FIFO)");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_FALSE(WriteExportFile(fifo, "<html>"));
    EXPECT_EQ(dir.Entries(), 2u);
}

// A list with an item no order file can hold is not exported at all: an order without it
// would be wrong without anyone noticing.
TEST(OrderExport, ListThatCannotBeOrderedIsNotWritten) {
    TScratchDir dir;
    TPartsList list;
    list.Add("1", "A", 1, 2147483647, "ST", "", 0, "");
    list.Add("1", "A", 1, 1, "ST", "", 0, "");
    const std::string csv = dir.Path("parts.csv");
    const TExportResult r = ExportCsvFile(list, csv);
    EXPECT_FALSE(r);
    EXPECT_NE(r.Message.find(csv), std::string::npos) << r.Message;
    EXPECT_NE(r.Message.find("1 A: a quantity of 2147483648"), std::string::npos) << r.Message;
    EXPECT_FALSE(SaveErpOrderFile(list, "1000", dir.Path("Vacuum.txt")));
    EXPECT_EQ(dir.Entries(), 0u);

    // A negative quantity is no order either.
    TPartsList negative;
    negative.Add("2", "B", 1, -4, "ST", "", 0, "");
    const TExportResult n = SaveErpOrderFile(negative, "1000", dir.Path("Vacuum.txt"));
    EXPECT_FALSE(n);
    EXPECT_NE(n.Message.find("2 B: a quantity of -4 cannot be ordered"), std::string::npos) << n.Message;
    EXPECT_EQ(dir.Entries(), 0u);
}

// A TAB, CR or LF in a text would split a field or a line of the order files; every
// control character is written as a blank, so each part stays one line of 14 fields.
TEST(OrderExport, ControlCharactersCannotSplitFieldsOrLines) {
    TPartsList list;
    list.Add("1\t2", "A\r\nB\tC\x01", 1, 1, "S\nT", "", 0, "");
    EXPECT_EQ(ErpOrderText(list, "W\tX\r"), "W X \t0\t1\t1 2\tOrsik\tA  B C \t0\t1\tS T\t0\t0\tX\tX\t0\r\n");
    EXPECT_EQ(CsvExportText(list).substr(CsvExportText(list).find("\r\n") + 2), "1;1 2;1;;A  B C ;;;\r\n");
}

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>

#include "core/data/container_format.h"
#include "core/data/orsik_connection.h"
#include "core/data/str_table_db.h"
#include "tests/core/data/test_containers.h"

namespace {

std::vector<uint8_t> AllTypesBlob(bool indexed) {
    TStrTableDB32Bit t;
    t.Loaded();
    FillAllTypesTable(t);
    if (indexed) t.SetIndexed(true);
    return t.SaveToBytes();
}

std::vector<std::vector<std::string>> Cells(const TCustomTable& t) {
    std::vector<std::vector<std::string>> out;
    for (int r = 0; r < t.Rows(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < t.Cols(); ++c) row.push_back(t.AsText(r, c));
        out.push_back(row);
    }
    return out;
}

struct Bound {
    TOrsikConnection con;
    TStrTableDB32Bit table;
    explicit Bound(const std::string& path, const std::string& name) {
        con.Loaded();
        table.Loaded();
        con.SetDataFile(path);
        table.SetTable(name);
        table.SetConnection(&con);
    }
};

} // namespace

TEST(ContainerScramble, BlockRoundTripKeepsOddByte) {
    std::vector<uint8_t> block(1023);
    std::iota(block.begin(), block.end(), 0);
    auto copy = block;
    ScrambleBlock(copy);
    EXPECT_NE(copy, block);
    EXPECT_EQ(copy.back(), block.back()); // an odd last byte is left as it is
    DescrambleBlock(copy);
    EXPECT_EQ(copy, block);
}

TEST(ContainerScramble, DifferentKeyDoesNotRoundTrip) {
    std::vector<uint8_t> block(64, 0x55);
    auto copy = block;
    ScrambleBlock(copy, kScrambleKey);
    DescrambleBlock(copy, kScrambleKey ^ 1);
    EXPECT_NE(copy, block);
}

TEST(ContainerScramble, PlainAndScrambledBodiesLoadIdenticalTables) {
    // Enough rows that the body spans several 1024-byte blocks and ends mid-block.
    TStrTableDB32Bit big;
    big.Loaded();
    auto& c = big.AddColumn("N", csfDWord);
    for (int i = 0; i < 1000; ++i) c.AppendInt(i * 7);
    big.SetRows(1000);
    const std::vector<TTestTable> tables = {{"qry SuctionCups", AllTypesBlob(false)},
                                            {"Big", big.SaveToBytes()}};
    const auto plain = MakeContainer(tables, false);
    const auto scrambled = MakeContainer(tables, true);
    ASSERT_NE(plain, scrambled);

    TContainerImage a, b;
    ASSERT_TRUE(ParseContainer(std::make_shared<std::vector<uint8_t>>(plain), a));
    ASSERT_TRUE(ParseContainer(std::make_shared<std::vector<uint8_t>>(scrambled), b));
    EXPECT_FALSE(a.Scrambled);
    EXPECT_TRUE(b.Scrambled);
    EXPECT_NE(b.Body.size() % kScrambleBlock, 0u);
    ASSERT_EQ(a.TableNames, b.TableNames);
    for (size_t i = 0; i < a.Blobs.size(); ++i)
        EXPECT_TRUE(std::equal(a.Blobs[i].begin(), a.Blobs[i].end(), b.Blobs[i].begin(), b.Blobs[i].end()));

    TTempFile fa(plain), fb(scrambled);
    Bound ta(fa.Path(), "Big"), tb(fb.Path(), "Big");
    EXPECT_EQ(ta.table.Rows(), 1000);
    EXPECT_EQ(Cells(ta.table), Cells(tb.table));
    EXPECT_EQ(tb.table.AsInteger(999, "N"), 6993);
}

TEST(ContainerParse, HeaderVersionAndKinds) {
    const auto bytes = MakeContainer({{"A", AllTypesBlob(false)}, {"B", AllTypesBlob(true)}}, false,
                                     {"Creator=test", "FileFormatVersion=1.3"});
    TContainerImage img;
    ASSERT_TRUE(ParseContainer(std::make_shared<std::vector<uint8_t>>(bytes), img));
    EXPECT_EQ(img.FileFormatVersion, "1.3");
    EXPECT_EQ(img.Kinds, (std::vector<std::string>{"Table", "TableIndexed"}));
    EXPECT_EQ(img.Find("a"), 0);
    EXPECT_EQ(img.Find("missing"), -1);
}

TEST(ContainerParse, WrongMagicIsNotAContainer) {
    auto bytes = MakeContainer({}, false);
    bytes[0] = 'X';
    TContainerImage img;
    EXPECT_FALSE(ParseContainer(std::make_shared<std::vector<uint8_t>>(bytes), img));
    EXPECT_FALSE(ParseContainer(std::make_shared<std::vector<uint8_t>>(std::vector<uint8_t>{'O', 'r'}), img));
}

TEST(ContainerParse, EveryTruncationIsReportedNeverReadPast) {
    for (bool scramble : {false, true}) {
        const auto full = MakeContainer({{"A", AllTypesBlob(false)}, {"B", AllTypesBlob(true)}}, scramble);
        for (size_t n = 0; n < full.size(); ++n) {
            auto cut = std::make_shared<std::vector<uint8_t>>(full.begin(), full.begin() + n);
            TContainerImage img;
            bool ok = false;
            try {
                ok = ParseContainer(cut, img);
                if (ok) ValidateContainerTables(img);
            } catch (const EFormatError&) {
                ok = false;
            }
            // A scrambled body of a shorter stored size can still be a complete file only
            // at full length; every shorter prefix must be refused.
            EXPECT_FALSE(ok) << "prefix of " << n << " bytes accepted, scramble=" << scramble;
        }
    }
}

TEST(ContainerParse, ImpossibleCountsFailWithoutAllocating) {
    TByteWriter w;
    w.WriteBytes(kContainerMagic);
    w.WriteI32(8);
    w.WriteI32(0x7FFFFFFF); // header count far beyond the data
    TContainerImage img;
    EXPECT_THROW(ParseContainer(std::make_shared<std::vector<uint8_t>>(w.Buffer()), img), EFormatError);

    TByteWriter s;
    s.WriteBytes(kContainerMagic);
    WriteAnsiStringList(s, {});
    s.WriteU8(1);
    s.WriteI32(4);
    s.WriteI32(100); // plain size larger than the stored size
    s.WriteI32(0);
    EXPECT_THROW(ParseContainer(std::make_shared<std::vector<uint8_t>>(s.Buffer()), img), EFormatError);
}

TEST(ContainerParse, CorruptRowIndexIsRejected) {
    auto blob = AllTypesBlob(true);
    // The byte column is the third; find its index array by loading and corrupting a slot.
    TStrTableDB32Bit t;
    t.Loaded();
    t.LoadFromStream(blob);
    const std::vector<int32_t> idx = t.Column(2)->RowIndex().ToVector();
    ASSERT_EQ(idx.size(), 5u);
    // Locate the index bytes: search the blob for the five int32 slots in sequence.
    std::vector<uint8_t> pattern(idx.size() * 4);
    std::memcpy(pattern.data(), idx.data(), pattern.size());
    auto at = std::search(blob.begin(), blob.end(), pattern.begin(), pattern.end());
    ASSERT_NE(at, blob.end());
    at[0] = 0x40; // slot 64: outside the column's values
    EXPECT_THROW(ValidateTableBlob(blob), EFormatError);
    TContainerImage img;
    ASSERT_TRUE(ParseContainer(std::make_shared<std::vector<uint8_t>>(MakeContainer({{"Cups", blob}}, true)), img));
    try {
        ValidateContainerTables(img);
        FAIL();
    } catch (const EFormatError& e) {
        EXPECT_NE(std::string(e.what()).find("table \"Cups\""), std::string::npos) << e.what();
    }
    TStrTableDB32Bit u;
    u.Loaded();
    EXPECT_THROW(u.LoadFromStream(blob), EFormatError);
    EXPECT_EQ(u.Rows(), 0);
    EXPECT_EQ(u.Cols(), 0);
}

TEST(ContainerParse, RandomCorruptionNeverCrashesAndValidationPredictsLoading) {
    const auto good = MakeContainer({{"A", AllTypesBlob(false)}, {"B", AllTypesBlob(true)}}, false);
    std::mt19937 rng(12345);
    int accepted = 0;
    for (int iter = 0; iter < 3000; ++iter) {
        auto bytes = std::make_shared<std::vector<uint8_t>>(good);
        const int flips = 1 + static_cast<int>(rng() % 4);
        for (int f = 0; f < flips; ++f) (*bytes)[8 + rng() % (bytes->size() - 8)] = static_cast<uint8_t>(rng());
        TContainerImage img;
        try {
            if (!ParseContainer(bytes, img)) continue;
            ValidateContainerTables(img);
        } catch (const EFormatError&) {
            continue;
        }
        ++accepted;
        for (size_t i = 0; i < img.Blobs.size(); ++i) {
            TStrTableDB32Bit t;
            t.Loaded();
            ASSERT_NO_THROW(t.LoadFromStream(img.Blobs[i])) << "iteration " << iter;
            for (int r = 0; r < t.Rows(); ++r)
                for (int c = 0; c < t.Cols(); ++c) (void)t.Field(r, c);
        }
    }
    EXPECT_GT(accepted, 0); // some flips hit payload bytes and stay loadable
}

TEST(Connection, MissingFileOrEmptyPathLeavesItInactiveAndTablesEmpty) {
    TOrsikConnection con;
    con.Loaded();
    TStrTableDB32Bit t;
    t.Loaded();
    t.SetTable("A");
    t.SetConnection(&con);
    con.SetDataFile("/nonexistent/dir/Vacuum.dat");
    EXPECT_FALSE(con.Active());
    EXPECT_EQ(t.Rows(), 0);
    EXPECT_NE(con.LastError().find("/nonexistent/dir/Vacuum.dat"), std::string::npos);
}

TEST(Connection, CorruptFileIsInactiveWithAnErrorNamingTheFile) {
    auto bytes = MakeContainer({{"A", AllTypesBlob(false)}}, false);
    bytes.resize(bytes.size() - 3);
    TTempFile f(bytes);
    TOrsikConnection con;
    con.Loaded();
    con.SetDataFile(f.Path());
    EXPECT_FALSE(con.Active());
    EXPECT_NE(con.LastError().find(f.Path()), std::string::npos);
    EXPECT_NE(con.LastError().find("larger than the data"), std::string::npos) << con.LastError();
    EXPECT_FALSE(con.GetTableStream("A").has_value());
}

TEST(Connection, LooksUpTablesWithoutRegardToCaseAndReloadsOnNewFile) {
    TStrTableDB32Bit small;
    small.Loaded();
    small.AddColumn("X", csfByte).AppendInt(1);
    small.SetRows(1);
    TTempFile f1(MakeContainer({{"qry SuctionCups", AllTypesBlob(false)}}, false));
    TTempFile f2(MakeContainer({{"qry SuctionCups", small.SaveToBytes()}}, true));

    TOrsikConnection con;
    con.Loaded();
    int changes = 0;
    con.OnChange = [&](TOrsikConnection&) { ++changes; };
    TStrTableDB32Bit t;
    t.Loaded();
    t.SetTable("QRY suctioncups");
    t.SetConnection(&con);
    con.SetDataFile(f1.Path());
    EXPECT_TRUE(con.Active());
    EXPECT_EQ(con.FileFormatVersion(), "1.3");
    EXPECT_EQ(t.Rows(), 5);
    EXPECT_EQ(t.Cols(), 12);
    con.SetDataFile(f2.Path());
    EXPECT_EQ(t.Rows(), 1);
    EXPECT_EQ(t.ColNames(), "X");
    EXPECT_EQ(changes, 2);
    con.SetDataFile(f2.Path()); // same path: no reopen
    EXPECT_EQ(changes, 2);
}

TEST(Connection, WhileLoadingOnlyTheFileNameCountsAndTheProgramFolderIsUsed) {
    TTempFile f(MakeContainer({{"A", AllTypesBlob(false)}}, false), "Vacuum.dat");
    TOrsikConnection::SetProgramFolder(f.Folder());
    {
        TOrsikConnection con; // in loading state
        TStrTableDB32Bit t;
        t.Loaded();
        t.SetTable("A");
        con.SetDataFile("C:\\Program Files\\Somewhere\\Vacuum.dat");
        EXPECT_EQ(con.DataFile(), f.Folder() + "/Vacuum.dat");
        t.SetConnection(&con);
        con.Loaded();
        EXPECT_TRUE(con.Active());
        EXPECT_EQ(t.Rows(), 5);
    }
    TOrsikConnection::SetProgramFolder("");
}

TEST(Connection, TablesKeepTheirDataWhenTheConnectionGoes) {
    for (bool indexed : {false, true}) {
        SCOPED_TRACE(testing::Message() << "indexed " << indexed);
        const auto blob = AllTypesBlob(indexed);
        TStrTableDB32Bit reference;
        reference.Loaded();
        reference.LoadFromStream(blob);
        TTempFile f(MakeContainer({{"A", blob}}, indexed)); // scrambled once, plain once
        TStrTableDB32Bit t;
        t.Loaded();
        {
            TOrsikConnection con;
            con.Loaded();
            con.SetDataFile(f.Path());
            t.SetTable("A");
            t.SetConnection(&con);
            EXPECT_EQ(t.Connection(), &con);
        }
        EXPECT_EQ(t.Connection(), nullptr);
        EXPECT_EQ(t.Rows(), 5);
        EXPECT_EQ(t.AsText(0, "String"), "Sauger");
        // Every cell, texts decoded only now included, comes from the file the connection read.
        EXPECT_EQ(Cells(t), Cells(reference)) << "indexed " << indexed;
    }
}

TEST(Connection, ChangingOneTableLeavesTheOthersOfTheFileAlone) {
    const auto blob = AllTypesBlob(true);
    TTempFile f(MakeContainer({{"A", blob}}, false));
    TStrTableDB32Bit reference;
    reference.Loaded();
    reference.LoadFromStream(blob);
    TOrsikConnection con;
    con.Loaded();
    con.SetDataFile(f.Path());
    TStrTableDB32Bit a, b;
    for (TStrTableDB32Bit* t : {&a, &b}) {
        t->Loaded();
        t->SetTable("A");
        t->SetConnection(&con);
    }
    a.SetIndexed(false);
    a.SetRows(7);
    a.SetIndexed(true);
    a.SetRows(5);
    EXPECT_EQ(Cells(a), Cells(reference));
    EXPECT_EQ(Cells(b), Cells(reference));
    b.Clear();
    con.Open(); // the same file again: the reloaded table reads what the file holds
    EXPECT_EQ(Cells(b), Cells(reference));
}

TEST(Connection, ALoadedTableHoldsTheFileUntilItsColumnsOwnTheirValues) {
    const auto blob = AllTypesBlob(true);
    TStrTableDB32Bit reference;
    reference.Loaded();
    reference.LoadFromStream(blob);
    auto owner = std::make_shared<std::vector<uint8_t>>(blob);
    const std::weak_ptr<std::vector<uint8_t>> watch = owner;
    TStrTableDB32Bit t;
    t.Loaded();
    t.LoadFromStream(std::span<const uint8_t>(*owner), owner);
    owner.reset();
    EXPECT_FALSE(watch.expired());
    EXPECT_GE(t.MemoryBytes(), blob.size());
    EXPECT_EQ(Cells(t), Cells(reference));
    t.SetIndexed(false); // the dictionary columns expand into their own values
    EXPECT_FALSE(watch.expired());
    t.SetRows(6); // and the others take theirs
    EXPECT_TRUE(watch.expired());
    t.SetRows(5);
    EXPECT_EQ(Cells(t), Cells(reference));
}

TEST(Connection, DestroyedClientUnregisters) {
    TTempFile f(MakeContainer({{"A", AllTypesBlob(false)}}, false));
    TOrsikConnection con;
    con.Loaded();
    con.SetDataFile(f.Path());
    {
        TStrTableDB32Bit t;
        t.Loaded();
        t.SetConnection(&con);
        EXPECT_EQ(con.Clients().size(), 1u);
    }
    EXPECT_TRUE(con.Clients().empty());
    con.Open(); // announcing must not touch the destroyed table
    EXPECT_TRUE(con.Active());
}

TEST(Connection, UnknownTableNameGivesAnEmptyTable) {
    TTempFile f(MakeContainer({{"A", AllTypesBlob(false)}}, false));
    Bound b(f.Path(), "NoSuchTable");
    EXPECT_TRUE(b.con.Active());
    EXPECT_EQ(b.table.Rows(), 0);
    EXPECT_EQ(b.table.Cols(), 0);
    b.table.SetTable("a");
    EXPECT_EQ(b.table.Rows(), 5);
}

// What is not a regular file of bounded size is refused before a byte is read, with one
// line naming the file: a folder has nothing to read, a device never ends.
TEST(Connection, OnlyRegularFilesOfBoundedSizeAreRead) {
    TTempFile f(MakeContainer({{"A", AllTypesBlob(false)}}, false));
    TContainerImage image;
    std::string error;

    EXPECT_FALSE(ReadContainerFile(f.Folder(), image, error));
    EXPECT_EQ(error, f.Folder() + ": not a regular file (a folder)");

    // /dev/null stands for every device (/dev/zero would never end): it is refused as one.
    EXPECT_FALSE(ReadContainerFile("/dev/null", image, error));
    EXPECT_EQ(error, "/dev/null: not a regular file (a character device)");

    // A link to the container is read as the container itself.
    const std::string link = f.Folder() + "/link.dat";
    std::filesystem::create_symlink(f.Path(), link);
    EXPECT_TRUE(ReadContainerFile(link, image, error)) << error;
    EXPECT_EQ(image.TableNames, std::vector<std::string>{"A"});

    // One byte over the limit (a sparse file, so nothing is written) is refused by its size.
    const std::string huge = f.Folder() + "/huge.dat";
    TTempFile::WriteTo(huge, {'O', 'r', 's', 'i', 'k', 'D', 'A', 'T'});
    std::filesystem::resize_file(huge, cContainerMaxFileSize + 1);
    EXPECT_FALSE(ReadContainerFile(huge, image, error));
    EXPECT_EQ(error, huge + ": larger than 1 GiB");

    TOrsikConnection con;
    con.Loaded();
    con.SetDataFile(f.Folder());
    EXPECT_FALSE(con.Active());
    EXPECT_EQ(con.LastError(), f.Folder() + ": not a regular file (a folder)");
}

// Blobs of a kind the tables know nothing of, checked by a validator registered for the kind
// alone: the container asks the reader of each kind instead of knowing them itself.
TEST(ContainerValidators, EachKindIsCheckedByItsRegisteredValidator) {
    auto widgetBlob = [](uint8_t payload) {
        TByteWriter w;
        WriteAnsiString(w, "TestWidget");
        w.WriteU8(payload);
        return w.Buffer();
    };
    std::vector<uint8_t> seen;
    struct TUnregister {
        ~TUnregister() { TBlobValidators::Register("TestWidget", nullptr); }
    } unregister;
    TBlobValidators::Register("TestWidget", [&seen](std::span<const uint8_t> blob) {
        seen.push_back(blob.back());
        if (blob.back() == 0xEE) throw EFormatError("bad widget");
    });
    const auto good = MakeContainer(
        {{"Cups", AllTypesBlob(false)}, {"W1", widgetBlob(1)}, {"W2", widgetBlob(2)}}, false);
    const auto bad = MakeContainer({{"W1", widgetBlob(1)}, {"Broken", widgetBlob(0xEE)}}, true);

    TContainerImage img;
    ASSERT_TRUE(ParseContainer(std::make_shared<std::vector<uint8_t>>(good), img));
    EXPECT_NO_THROW(ValidateContainerTables(img));
    EXPECT_EQ(seen, (std::vector<uint8_t>{1, 2})) << "only the blobs of its kind, in order";

    ASSERT_TRUE(ParseContainer(std::make_shared<std::vector<uint8_t>>(bad), img));
    try {
        ValidateContainerTables(img);
        ADD_FAILURE() << "a blob its validator refuses passed";
    } catch (const EFormatError& e) {
        EXPECT_NE(std::string(e.what()).find("table \"Broken\": bad widget"), std::string::npos)
            << e.what();
    }
    // Opening goes through the same validators: the connection stays closed and says why.
    {
        TTempFile file(bad);
        TOrsikConnection con;
        con.Loaded();
        con.SetDataFile(file.Path());
        EXPECT_FALSE(con.Active());
        EXPECT_NE(con.LastError().find("Broken"), std::string::npos) << con.LastError();
    }

    // Without a validator the kind is taken as it is.
    TBlobValidators::Register("TestWidget", nullptr);
    EXPECT_EQ(TBlobValidators::Find("TestWidget"), nullptr);
    EXPECT_NO_THROW(ValidateContainerTables(img));
    // The table kinds are checked from the start, without any registration.
    EXPECT_NE(TBlobValidators::Find("Table"), nullptr);
    EXPECT_NE(TBlobValidators::Find("TableIndexed"), nullptr);
    EXPECT_EQ(TBlobValidators::Find("table"), nullptr);
}

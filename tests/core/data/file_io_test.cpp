#include "core/util/file_io.h"
#include "tests/file_text.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class FileIo : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vacuum_file_io_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    size_t Entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }
    std::string Fifo(const std::string& name) const {
        const std::string p = Path(name);
        EXPECT_EQ(::mkfifo(p.c_str(), 0600), 0);
        return p;
    }

    fs::path dir_;
};

} // namespace

// Renaming over a special file would put a regular file in its place (as root even over
// /dev/null); such a target is refused and left as it was.
TEST_F(FileIo, ReplaceRefusesEveryTargetButARegularFile) {
    std::string why;
    const std::string fifo = Fifo("pipe");
    EXPECT_FALSE(ReplaceFileContents(fifo, "data", why));
    EXPECT_EQ(why, "not a regular file (a FIFO)");
    EXPECT_TRUE(fs::is_fifo(fifo));

    // Behind a link the final target counts, and the message names it.
    const std::string link = Path("link");
    fs::create_symlink(fifo, link);
    EXPECT_FALSE(ReplaceFileContents(link, "data", why));
    EXPECT_EQ(why, "\"" + fifo + "\" is not a regular file (a FIFO)");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_fifo(fifo));

    const std::string folder = Path("sub");
    fs::create_directories(folder);
    EXPECT_FALSE(ReplaceFileContents(folder, "data", why));
    EXPECT_EQ(why, "not a regular file (a folder)");

    // A link pointing into a loop never ends at a file.
    const std::string a = Path("loop_a"), b = Path("loop_b");
    fs::create_symlink(b, a);
    fs::create_symlink(a, b);
    EXPECT_FALSE(ReplaceFileContents(a, "data", why));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(a)));
    EXPECT_EQ(Entries(), 5u); // pipe, link, sub, loop_a, loop_b: no temporary file left

    // A regular file, a new name and a link to a new name are written.
    const std::string plain = Path("plain.txt");
    ASSERT_TRUE(ReplaceFileContents(plain, "one", why)) << why;
    ASSERT_TRUE(ReplaceFileContents(plain, "two", why)) << why;
    EXPECT_EQ(ReadAll(plain), "two");
    const std::string dangling = Path("dangling");
    fs::create_symlink(Path("created.txt"), dangling);
    ASSERT_TRUE(ReplaceFileContents(dangling, "three", why)) << why;
    EXPECT_EQ(ReadAll(Path("created.txt")), "three");
}

// A reader is told at once, without waiting on the file or reading it, when the file is no
// regular file or too large; a file of exactly the limit is read whole.
TEST_F(FileIo, ReadTakesOnlyRegularFilesUpToTheLimit) {
    std::string bytes, why;
    EXPECT_EQ(ReadWholeFile(dir_.string(), 1 << 20, bytes, why), crfOpenError);
    EXPECT_EQ(why, "not a regular file (a folder)");
    EXPECT_EQ(ReadWholeFile("/dev/zero", 1 << 20, bytes, why), crfOpenError); // bounded even if not refused
    EXPECT_EQ(why, "not a regular file (a character device)");
    // A FIFO without a writer would block an ordinary open for ever.
    EXPECT_EQ(ReadWholeFile(Fifo("pipe"), 1 << 20, bytes, why), crfOpenError);
    EXPECT_EQ(why, "not a regular file (a FIFO)");
    EXPECT_EQ(ReadWholeFile(Path("missing"), 1 << 20, bytes, why), crfOpenError);
    EXPECT_FALSE(why.empty());

    const std::string file = Path("data.bin");
    std::ofstream(file, std::ios::binary) << std::string(4096, 'x');
    EXPECT_EQ(ReadWholeFile(file, 4096, bytes, why), crfOk) << why;
    EXPECT_EQ(bytes, std::string(4096, 'x'));
    EXPECT_EQ(ReadWholeFile(file, 4095, bytes, why), crfTooLarge);
    EXPECT_EQ(why, "larger than 4095 bytes");
    // A sparse file far over the limit is refused by its size, before any reading.
    fs::resize_file(file, uint64_t{8} << 30);
    EXPECT_EQ(ReadWholeFile(file, size_t{64} << 20, bytes, why), crfTooLarge);
    EXPECT_EQ(why, "larger than 64 MiB");
    EXPECT_TRUE(bytes.empty());
}

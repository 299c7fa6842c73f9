#include "FileDescriptor.h"
#include "TestFiles.h"
#include "Utf8.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class FileDescriptorTest : public kavrotest::ScratchFolderTest {
  protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        kavrotest::writeFile(dir_ / "plain.txt", "text");
        fs::create_directory(dir_ / "folder");
        ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
        fs::create_symlink(dir_ / "plain.txt", dir_ / "link.txt");
        fs::create_symlink(dir_ / "target.txt", dir_ / "dangling.txt");
    }
};

TEST_F(FileDescriptorTest, OpensOnlyRegularFilesAndNeverWaits) {
    const struct {
        const char *name;
        int flags;
        int error; // 0: opens
    } cases[] = {
        {"plain.txt", O_RDONLY, 0},
        {"link.txt", O_RDONLY, 0},
        {"link.txt", O_RDONLY | O_NOFOLLOW, ELOOP},
        {"folder", O_RDONLY, EISDIR},
        {"pipe", O_RDONLY, EINVAL}, // a blocking open would hang here
        {"pipe", O_WRONLY, ENXIO},  // no reader: refused by the open itself
        {"absent.txt", O_RDONLY, ENOENT},
        {"new.txt", O_WRONLY | O_CREAT | O_APPEND, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << ' ' << c.flags);
        errno = 0;
        const FileDescriptor fd = openRegularFile(path(c.name), c.flags);
        EXPECT_EQ(static_cast<bool>(fd), c.error == 0);
        if (fd) {
            // Reads and writes on it wait again like any others.
            EXPECT_EQ(::fcntl(fd.get(), F_GETFL) & O_NONBLOCK, 0);
            EXPECT_NE(::fcntl(fd.get(), F_GETFD) & FD_CLOEXEC, 0);
        } else {
            EXPECT_EQ(errno, c.error);
        }
    }
}

TEST_F(FileDescriptorTest, WritesNewFilesOnlyAndWhole) {
    ASSERT_TRUE(writeNewFile(path("new.txt"), "first\nsecond\n"));
    EXPECT_EQ(kavrotest::readFile(dir_ / "new.txt"), "first\nsecond\n");
    EXPECT_EQ(fs::status(dir_ / "new.txt").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // An existing file, or a link (even one to nothing), is not written.
    for (const char *taken : {"plain.txt", "link.txt", "dangling.txt"}) {
        SCOPED_TRACE(taken);
        errno = 0;
        EXPECT_FALSE(writeNewFile(path(taken), "replaced"));
        EXPECT_EQ(errno, EEXIST);
    }
    EXPECT_EQ(kavrotest::readFile(dir_ / "plain.txt"), "text");
    EXPECT_FALSE(fs::exists(dir_ / "target.txt"));
}

TEST_F(FileDescriptorTest, ReportsAWriteThatStopsShort) {
    const FileDescriptor full(::open("/dev/full", O_WRONLY | O_CLOEXEC));
    if (!full)
        GTEST_SKIP() << "no /dev/full here";
    errno = 0;
    EXPECT_EQ(writeAll(full.get(), "abc", 3), 0u);
    EXPECT_EQ(errno, ENOSPC);
}

TEST(Utf8Test, MeasuresWellFormedSequencesOnly) {
    const struct {
        const char *bytes;
        std::size_t length;
    } cases[] = {
        {"a", 1},
        {"\xC3\xA8", 2},         // è
        {"\xE2\x82\xAC", 3},     // €
        {"\xF0\x9F\x98\x80", 4}, // U+1F600
        {"\xF4\x8F\xBF\xBF", 4}, // U+10FFFF, the last
        {"\xC3", 0},             // cut short
        {"\xE2\x82", 0},
        {"\xC0\xAF", 0},         // overlong '/'
        {"\xE0\x9F\xBF", 0},     // overlong
        {"\xF0\x8F\xBF\xBF", 0}, // overlong
        {"\xED\xA0\x80", 0},     // surrogate U+D800
        {"\xF4\x90\x80\x80", 0}, // beyond U+10FFFF
        {"\xE8", 0},             // è in Latin-1
        {"\x80", 0},             // a continuation byte alone
        {"\xC3(", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.bytes)));
        EXPECT_EQ(utf8SequenceLength(c.bytes, 0), c.length);
    }
    // The sequence is measured where it starts, and nothing lies past the end.
    EXPECT_EQ(utf8SequenceLength("x\xC3\xA8", 1), 2u);
    EXPECT_EQ(utf8SequenceLength("x", 1), 0u);
    EXPECT_EQ(utf8SequenceLength(std::string_view("\0", 1), 0), 1u);
}

} // namespace

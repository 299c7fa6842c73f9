#include "PathSafety.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class PathSafetyTest : public kavrotest::ScratchFolderTest {
  protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        fs::create_directories(dir_ / "sub");
        std::ofstream(dir_ / "input.txt") << "1 2 3 P\n";
        std::ofstream(dir_ / "other.txt") << "4 5 6 Q\n";
    }
};

TEST_F(PathSafetyTest, RecognisesEverySpellingOfTheSameFile) {
    fs::create_symlink(dir_ / "input.txt", dir_ / "link.txt");
    fs::create_hard_link(dir_ / "input.txt", dir_ / "hard.txt");
    const std::string input = path("input.txt");
    const std::string spellings[] = {
        input,
        dir_.string() + "/./input.txt",
        dir_.string() + "//input.txt",
        dir_.string() + "/sub/../input.txt",
        path("link.txt"),
        path("hard.txt"),
    };
    for (const std::string &spelling : spellings) {
        SCOPED_TRACE(spelling);
        EXPECT_TRUE(sameFile(input, spelling));
        EXPECT_TRUE(sameFile(spelling, input));
    }
    // Relative to the working directory, also for a file not made yet.
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    const bool same = sameFile("./input.txt", input);
    const bool sameAbsent = sameFile("absent.txt", path("sub/../absent.txt"));
    fs::current_path(before);
    EXPECT_TRUE(same);
    EXPECT_TRUE(sameAbsent);
}

TEST_F(PathSafetyTest, TellsDifferentFilesApart) {
    const struct {
        const char *a, *b;
    } cases[] = {
        {"input.txt", "other.txt"},  // both exist
        {"input.txt", "absent.txt"}, // the output does not exist yet
        {"input.txt", "sub"},        // a directory
        {"absent.txt", "absent2.txt"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_FALSE(sameFile(path(c.a), path(c.b)));
    }
    EXPECT_FALSE(sameFile("", path("input.txt")));
    EXPECT_FALSE(sameFile("", ""));
}

} // namespace

#include "DirectorySearch.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <dirent.h>

namespace fs = std::filesystem;

namespace {

TEST(DirectorySearch, MatchesLikeTheWindowsSearchButCaseSensitive) {
    const struct {
        const char *filter;
        const char *name;
        bool matches;
    } cases[] = {
        {"*", "a.txt", true},
        {"*", ".", true},
        {"*", "..", true},
        {"*.*", "noextension", true},
        {"*.*", ".", true},
        {"*.shp", "a.shp", true},
        {"*.shp", "a.b.shp", true},
        {"*.shp", "a.shp.bak", false},
        {"*.shp", "a.SHP", false},
        {"*.shp", ".", false},
        {"*.shp.shp", "a.shp", false},
        {"*.shp.shp", "a.shp.shp", true},
        {"a*", "abc.txt", true},
        {"a*", "A.txt", false},
        {"a*.shp", "ab.shp", true},
        {"a*.shp", "b.shp", false},
        {"a?", "a", true}, // a trailing ? may match nothing
        {"a??", "a", true},
        {"a?.txt", "ab.txt", true},
        {"a?.txt", "a.txt", true}, // so may a ? in front of a point
        {"a?c", "abc", true},
        {"a?c", "a.c", false},
        {"*.", "noextension", true}, // names without a point
        {"*.", "a.txt", false},
        {"data.txt", "data.txtx", false},
        {"<>\"", "<>\"", true}, // no special meaning here
        {"", "a", false},
        // ? is one character: a whole UTF-8 sequence, or one stray byte
        {"citt?.shp", "citt\xc3\xa0.shp", true},          // 2 bytes
        {"?.shp", "\xe2\x82\xac.shp", true},              // 3 bytes
        {"?.shp", "\xf0\x9f\x97\xba.shp", true},          // 4 bytes
        {"citt?.shp", "citt\xe0.shp", true},              // Latin-1
        {"citt?.shp", "citt\xc3\xa0\xc3\xa0.shp", false}, // two
        {"?.shp", "\xc3\xc3.shp", false}, // two stray lead bytes
        {"?a",
         "\xe2\x82"
         "a",
         false},                      // a sequence cut short: two
        {"?\xa0", "\xc3\xa0", false}, // no half of a character
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.filter) + " ~ " + c.name);
        EXPECT_EQ(matchesFilter(c.filter, c.name), c.matches);
    }
}

class DirectorySearchTest : public kavrotest::ScratchFolderTest {
  protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        fs::create_directories(dir_ / "sub.txt");
        for (const char *name : {"a.txt", "b.TXT", "c.shp", "ab c.txt"})
            kavrotest::writeFile(dir_ / name, "x");
    }

    // The directory as readdir lists it, filtered: the order to expect.
    std::vector<std::string> listed(bool (*keep)(const std::string &)) const {
        std::vector<std::string> names;
        DIR *dir = ::opendir(dir_.c_str());
        while (const dirent *entry = ::readdir(dir))
            if (keep(entry->d_name))
                names.emplace_back(entry->d_name);
        ::closedir(dir);
        return names;
    }
};

TEST_F(DirectorySearchTest, ListsMatchingEntriesInFileSystemOrder) {
    const std::string dir = dir_.string();
    EXPECT_EQ(findEntries(dir + "/*"),
              listed([](const std::string &) { return true; }));
    EXPECT_EQ(findEntries(dir + "/*.txt"), listed([](const std::string &n) {
                  return n.size() > 4 && n.compare(n.size() - 4, 4, ".txt") ==
                                             0; // directories too
              }));
    EXPECT_EQ(findEntries(dir + "/a*"),
              listed([](const std::string &n) { return n[0] == 'a'; }));
    EXPECT_EQ(findEntries(dir + "//c.shp"), std::vector<std::string>{"c.shp"});
    EXPECT_TRUE(findEntries(dir + "/*.shp.shp").empty());
    EXPECT_TRUE(findEntries(dir + "/absent/*").empty());
}

TEST_F(DirectorySearchTest, TellsDirectoriesFromOtherPaths) {
    EXPECT_TRUE(isDirectory(dir_.string()));
    EXPECT_TRUE(isDirectory(dir_.string() + "/"));
    EXPECT_TRUE(isDirectory((dir_ / "sub.txt").string()));
    EXPECT_FALSE(isDirectory((dir_ / "a.txt").string()));
    EXPECT_FALSE(isDirectory((dir_ / "absent").string()));
    EXPECT_FALSE(isDirectory(""));
}

} // namespace

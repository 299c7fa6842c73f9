#include "FileCopy.h"
#include "ShapeFileConverter.h"
#include "ShapeTestFiles.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>

namespace fs = std::filesystem;
using kavrotest::readFile;
using kavrotest::writeFile;

namespace {

class AttributeTableTest : public kavrotest::ScratchFolderTest {
  protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        fs::create_directories(dir_ / "out");
        fs::create_directories(dir_ / "v1.2");
    }
    std::vector<std::string> outFiles() const {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(dir_ / "out"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// Every byte value, so that no text-mode translation can go unnoticed.
std::string allBytes(int repeat) {
    std::string bytes;
    for (int r = 0; r < repeat; ++r)
        for (int b = 0; b < 256; ++b)
            bytes.push_back(static_cast<char>(b));
    return bytes;
}

TEST_F(AttributeTableTest, CopiesDbfAndCpgByteForByteAndNothingElse) {
    const std::string table = allBytes(600); // more than one copy buffer
    writeFile(dir_ / "in.dbf", table);
    writeFile(dir_ / "in.cpg", "UTF-8");
    writeFile(dir_ / "in.prj", "PROJCS[]");
    writeFile(dir_ / "in.sbn", "index");
    writeFile(dir_ / "out/r.dbf", std::string(200000, 'x')); // longer: cut
    writeFile(dir_ / "out/r.cpg", "1252");

    ASSERT_TRUE(ShapeFileConverter::copyAttributeTable(path("in.shp"),
                                                       path("out/r.shp")));
    EXPECT_EQ(readFile(dir_ / "out/r.dbf"), table);
    EXPECT_EQ(readFile(dir_ / "out/r.cpg"), "UTF-8");
    EXPECT_EQ(outFiles(), (std::vector<std::string>{"r.cpg", "r.dbf"}));
}

TEST_F(AttributeTableTest, RemovesAStaleCpgWhenTheInputHasNone) {
    writeFile(dir_ / "in.dbf", "table");
    writeFile(dir_ / "out/r.cpg", "1252");
    ASSERT_TRUE(ShapeFileConverter::copyAttributeTable(path("in.shp"),
                                                       path("out/r.shp")));
    EXPECT_EQ(outFiles(), std::vector<std::string>{"r.dbf"});
}

TEST_F(AttributeTableTest, FindsTheTableFromThePathText) {
    writeFile(dir_ / "plain.dbf", "no extension");
    writeFile(dir_ / "v1.2/roads.dbf", "dotted folder");
    writeFile(dir_ / "two.parts.dbf", "two dots");
    struct Case {
        const char *input, *output, *expected;
    } const cases[] = {
        {"plain", "out/a", "no extension"},
        {"v1.2/roads", "out/b.shp", "dotted folder"},
        {"two.parts.shp", "out/c.shp", "two dots"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.input);
        ASSERT_TRUE(ShapeFileConverter::copyAttributeTable(path(c.input),
                                                           path(c.output)));
        std::string out = path(c.output);
        if (out.size() > 4 && out.substr(out.size() - 4) == ".shp")
            out.resize(out.size() - 4);
        EXPECT_EQ(readFile(out + ".dbf"), c.expected);
    }
}

// The table and code page of an earlier output do not belong to the new
// shapes: left beside them they would make the output look complete.
TEST_F(AttributeTableTest, FailsWithoutATableAndRemovesTheOldOne) {
    writeFile(dir_ / "out/r.dbf", "earlier");
    writeFile(dir_ / "out/r.cpg", "UTF-8");
    writeFile(dir_ / "in.DBF", "upper-case extension is another file");
    writeFile(dir_ / "in.cpg", "UTF-8");
    EXPECT_FALSE(ShapeFileConverter::copyAttributeTable(path("in.shp"),
                                                        path("out/r.shp")));
    EXPECT_FALSE(fs::exists(dir_ / "out/r.dbf"));
    EXPECT_FALSE(fs::exists(dir_ / "out/r.cpg"));
    EXPECT_EQ(readFile(dir_ / "in.DBF"),
              "upper-case extension is another file");
}

TEST_F(AttributeTableTest, FileCopyFailuresLeaveTheTargetAlone) {
    writeFile(dir_ / "source", "source bytes");
    writeFile(dir_ / "target", "old target");
    fs::create_directories(dir_ / "folder");
    struct Case {
        const char *source, *target;
        CopyFailure failure;
    } const cases[] = {
        {"missing", "target", CopyFailure::Source},
        {"folder", "target", CopyFailure::Source},
        {"source", "nodir/target", CopyFailure::Target},
        {"source", "folder", CopyFailure::Target},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.source) + " -> " + c.target);
        EXPECT_EQ(copyFile(path(c.source), path(c.target)), c.failure);
        EXPECT_EQ(readFile(dir_ / "target"), "old target");
    }
    EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
    // No temporary file is left beside a target that could not be written.
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"folder", "out", "source",
                                               "target", "v1.2"}));
}

TEST_F(AttributeTableTest, FileCopyOntoItselfKeepsTheContent) {
    writeFile(dir_ / "source", "source bytes");
    fs::create_hard_link(dir_ / "source", dir_ / "hard");
    EXPECT_EQ(copyFile(path("source"), path("source")), CopyFailure::None);
    EXPECT_EQ(copyFile(path("source"), dir_.string() + "/./source"),
              CopyFailure::None);
    EXPECT_EQ(copyFile(path("source"), path("hard")), CopyFailure::None);
    EXPECT_EQ(readFile(dir_ / "source"), "source bytes");
}

// The source's bits, or those of the target that the copy replaces.
TEST_F(AttributeTableTest, FileCopyKeepsThePermissionBits) {
    using fs::perms;
    writeFile(dir_ / "source", "x");
    writeFile(dir_ / "replaced", "old");
    fs::permissions(dir_ / "source",
                    perms::owner_read | perms::owner_write | perms::group_read);
    fs::permissions(dir_ / "replaced", perms::owner_read | perms::owner_write |
                                           perms::others_read);
    ASSERT_EQ(copyFile(path("source"), path("target")), CopyFailure::None);
    EXPECT_EQ(fs::status(dir_ / "target").permissions(),
              fs::status(dir_ / "source").permissions());
    ASSERT_EQ(copyFile(path("source"), path("replaced"),
                       CopyPermissions::OfReplacedTarget),
              CopyFailure::None);
    EXPECT_EQ(fs::status(dir_ / "replaced").permissions(),
              perms::owner_read | perms::owner_write | perms::others_read);
    EXPECT_EQ(readFile(dir_ / "replaced"), "x");
}

} // namespace

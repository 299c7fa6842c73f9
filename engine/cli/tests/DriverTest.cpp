#include "Driver.h"

#include "TransformationScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const char *const kRecord = "100 200 0 P1\n";
const char *const kConverted = "100.00000000\t200.00000000\t0.00000000\tP1\n";

// Runs the driver on temporary directories "in dir" and "out dir" (with
// blanks, as users' folders often have) through an empty chain.
class DriverTest : public testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("kavro driver " + std::to_string(::getpid()) + " " +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        in_ = root_ / "in dir";
        out_ = root_ / "out dir";
        fs::remove_all(root_);
        fs::create_directories(in_);
        fs::create_directories(out_);
        settings_.fileType = RunSettings::TXT;
    }
    void TearDown() override { fs::remove_all(root_); }

    void write(const std::string &name, const std::string &content) {
        std::ofstream(in_ / name, std::ios::binary) << content;
    }
    void workspace(const fs::path &input, const fs::path &output) {
        settings_.mode = RunSettings::Workspace;
        settings_.inputPath = input.string();
        settings_.outputPath = output.string();
    }
    // The report lines of one run, sorted where the file system's order
    // does not matter.
    std::vector<std::string> run(bool sorted = true) {
        testing::internal::CaptureStdout();
        result_ = runConversions(settings_, script_);
        std::istringstream out(testing::internal::GetCapturedStdout());
        std::vector<std::string> lines;
        for (std::string line; std::getline(out, line);)
            lines.push_back(line);
        if (sorted)
            std::sort(lines.begin(), lines.end());
        return lines;
    }
    std::string in(const std::string &name) const {
        return in_.string() + "/" + name;
    }
    std::string out(const std::string &name) const {
        return out_.string() + "/" + name;
    }

    fs::path root_;
    fs::path in_;
    fs::path out_;
    std::string scriptName_;
    TransformationScript script_{scriptName_};
    RunSettings settings_;
    bool result_ = false;
};

TEST_F(DriverTest, ConvertsOneFile) {
    write("a b.txt", kRecord);
    settings_.mode = RunSettings::SingleFile;
    settings_.inputPath = in("a b.txt");
    settings_.outputPath = out("c d.txt");
    EXPECT_EQ(run(), std::vector<std::string>{in("a b.txt") + " converted to " +
                                              out("c d.txt")});
    EXPECT_TRUE(result_);
    EXPECT_EQ(readFile(out("c d.txt")), kConverted);

    // An unset mode is a single-file run too.
    settings_.mode = RunSettings::Unset;
    EXPECT_EQ(run().size(), 1u);
    EXPECT_TRUE(result_);
}

TEST_F(DriverTest, ReportsAFailedFileWithTheConvertersMessage) {
    write("bad.txt", "1 2 3 A\n1 2\n");
    const struct {
        std::string input, output, line;
    } cases[] = {
        {"", "", " conversion failed! (Unable to open input text file)"},
        {in("absent.txt"), out("x.txt"),
         in("absent.txt") +
             " conversion failed! (Unable to open input text file)"},
        {in("bad.txt"), out("bad.txt"),
         in("bad.txt") + " conversion failed! (Malformed record 2 in input "
                         "text file, line 2: the file ends before its z)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input);
        settings_.inputPath = c.input;
        settings_.outputPath = c.output;
        EXPECT_EQ(run(), std::vector<std::string>{c.line});
        EXPECT_FALSE(result_);
    }
}

TEST_F(DriverTest, ConvertsEveryMatchingEntryOfAWorkspace) {
    write("a.txt", kRecord);
    write("b c.txt", kRecord);
    write("bad.txt", "1 2 x A\n");
    workspace(in_, out_);
    const std::string failed = " conversion failed! (";
    std::vector<std::string> expected = {
        in(".") + failed + "Unable to open input text file)",
        in("..") + failed + "Unable to open input text file)",
        in("a.txt") + " converted to " + out("a.txt"),
        in("b c.txt") + " converted to " + out("b c.txt"),
        in("bad.txt") + failed +
            "Malformed record 1 in input text file, line 1: z is not a number)",
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(run(), expected);
    EXPECT_EQ(readFile(out("a.txt")), kConverted);
    EXPECT_EQ(readFile(out("b c.txt")), kConverted);

    settings_.filter = "/a*";
    EXPECT_EQ(run(), std::vector<std::string>{in("a.txt") + " converted to " +
                                              out("a.txt")});
    EXPECT_TRUE(result_);
}

TEST_F(DriverTest, JoinsPathsAsGiven) {
    write("a.txt", kRecord);
    settings_.filter = "/a.txt";
    workspace(in_.string() + "/", out_.string() + "/");
    EXPECT_EQ(run(), std::vector<std::string>{in_.string() + "//a.txt" +
                                              " converted to " + out_.string() +
                                              "//a.txt"});
}

TEST_F(DriverTest, GoesOnAfterAFileWhoseOutputCannotBeCreated) {
    write("a.txt", kRecord);
    write("b.txt", kRecord);
    fs::create_directories(out_ / "a.txt"); // in the way of the output
    settings_.filter = "/?.txt";
    workspace(in_, out_);
    EXPECT_EQ(run(), (std::vector<std::string>{
                         in("a.txt") + " conversion failed! (Unable to create "
                                       "output text file)",
                         in("b.txt") + " converted to " + out("b.txt")}));
    EXPECT_EQ(readFile(out("b.txt")), kConverted);
}

TEST_F(DriverTest, NeverConvertsAWorkspaceOntoItself) {
    write("a.txt", kRecord);
    settings_.filter = "/*.txt";
    const fs::path spellings[] = {in_, in_.string() + "/.",
                                  root_ / "out dir" / ".." / "in dir"};
    for (const fs::path &output : spellings) {
        SCOPED_TRACE(output);
        workspace(in_, output);
        const std::vector<std::string> lines = run();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0], in("a.txt") +
                                " conversion failed! (Output text file is the "
                                "input file; it was left untouched)");
        EXPECT_EQ(readFile(in("a.txt")), kRecord);
    }
}

TEST_F(DriverTest, WorkspaceMessages) {
    write("a.shp", "not really a shapefile");
    write("c.txt", kRecord);
    const fs::path empty = root_ / "empty";
    fs::create_directories(empty);
    const struct {
        int fileType;
        fs::path input, output;
        std::string filter, line;
    } cases[] = {
        {RunSettings::TXT, root_ / "absent", out_, "/*",
         (root_ / "absent").string() + " is not a directory"},
        {RunSettings::TXT, in_ / "c.txt", out_, "/*",
         in("c.txt") + " is not a directory"},
        {RunSettings::TXT, in_, root_ / "absent", "/*",
         (root_ / "absent").string() + " is not a directory"},
        {RunSettings::SHP, "", out_, "/*", " is not a directory"},
        {RunSettings::TXT, in_, out_, "/x*",
         "no files found in " + in_.string() + "/x*"},
        {RunSettings::SHP, empty, out_, "/*",
         "no files found in " + empty.string() + "/*.shp"},
        {RunSettings::SHP, in_, out_, "/*.shp",
         "no files found in " + in_.string() + "/*.shp.shp"},
        {RunSettings::SHP, in_, out_, "/c*",
         "no files found in " + in_.string() + "/c*.shp"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        settings_.fileType = c.fileType;
        settings_.filter = c.filter;
        workspace(c.input, c.output);
        EXPECT_EQ(run(), std::vector<std::string>{c.line});
        EXPECT_FALSE(result_);
    }
    EXPECT_TRUE(fs::is_empty(out_));
}

// A shapefile workspace takes the .shp files only and hands each to the
// shapefile converter; whether they convert is that converter's business.
TEST_F(DriverTest, ShapefileWorkspaceTakesOnlyShapefiles) {
    for (const char *name : {"a.shp", "b.shp", "c.txt", "a.dbf"})
        write(name, "x");
    settings_.fileType = RunSettings::SHP;
    workspace(in_, out_);
    std::vector<std::string> inputs;
    for (const std::string &line : run())
        inputs.push_back(line.substr(0, line.find(' ', in_.string().size())));
    EXPECT_EQ(inputs, (std::vector<std::string>{in("a.shp"), in("b.shp")}));
}

} // namespace

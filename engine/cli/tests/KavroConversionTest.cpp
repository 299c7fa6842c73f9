// Conversions through the real KAVRO program: its report lines and
// workspace messages, the files it writes, and its memory on a large file.
#include "KavroProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace kavrotest;

namespace {

const char *const kRecord = "100 200 0 P1\n";
const char *const kConverted = "100.00000000\t200.00000000\t0.00000000\tP1\n";

class KavroConversionTest : public KavroProgramTest {
  protected:
    void SetUp() override {
        KavroProgramTest::SetUp();
        in_ = root_ / "in dir";
        out_ = root_ / "out dir";
        fs::create_directories(in_);
        fs::create_directories(out_);
        writeScript("identity.xml", "  <Description>Identity</Description>\n");
        writeScript("radians.xml",
                    R"(  <Description>Degrees to radians</Description>
  <Transformation Name="to radians">
    <UnitsConversion><In>DecimalDegree</In><Out>Radian</Out></UnitsConversion>
  </Transformation>
)");
    }

    // Runs KAVRO with the arguments and the identity script unless another
    // is given.
    KavroRun kavro(std::vector<std::string> args,
                   const std::string &script = "identity.xml") const {
        args.push_back("-TS");
        args.push_back(path(script));
        return run(args);
    }

    // Runs KAVRO and expects the description and this one report line.
    void expectReportLine(const std::vector<std::string> &args,
                          const std::string &line) const {
        SCOPED_TRACE(line);
        const KavroRun run = kavro(args);
        EXPECT_EQ(run.lines(), (std::vector<std::string>{
                                   "Script description:Identity", line}));
        EXPECT_EQ(run.status, 1);
    }

    std::string in(const std::string &name) const {
        return in_.string() + "/" + name;
    }
    std::string out(const std::string &name) const {
        return out_.string() + "/" + name;
    }
    static std::vector<std::string> sorted(std::vector<std::string> lines) {
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    fs::path in_, out_;
};

TEST_F(KavroConversionTest, ConvertsOneTextFile) {
    writeFile(in_ / "points one.txt", "100 200 0 P1\n12.5 -0.25 3 P2");
    const KavroRun run = kavro({"-FT", "TXT", "-IF", in("points one.txt"),
                                "-OF", out("points two.txt")});
    EXPECT_EQ(run.lines(), (std::vector<std::string>{
                               "Script description:Identity",
                               in("points one.txt") + " converted to " +
                                   out("points two.txt")}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readFile(out("points two.txt")),
              "100.00000000\t200.00000000\t0.00000000\tP1\n"
              "12.50000000\t-0.25000000\t3.00000000\tP2\n");
}

TEST_F(KavroConversionTest, PassesEveryPointThroughTheChain) {
    writeFile(in_ / "deg.txt", "180 90 5 P\n12.5 -0.25 -7 Q\n");
    const KavroRun run =
        kavro({"-FT", "TXT", "-IF", in("deg.txt"), "-OF", out("rad.txt")},
              "radians.xml");
    EXPECT_EQ(run.lines().at(1),
              in("deg.txt") + " converted to " + out("rad.txt"));
    // x and y times 0.0174532925199433, z unchanged.
    EXPECT_EQ(readFile(out("rad.txt")),
              "3.14159265\t1.57079633\t5.00000000\tP\n"
              "0.21816616\t-0.00436332\t-7.00000000\tQ\n");
}

// The converters' own failures are tested with them; here the report line
// that carries them, and the input that is never written over.
TEST_F(KavroConversionTest, ReportsFailedTextFiles) {
    writeFile(in_ / "short.txt", "1 2 3 A\n4 5 6\n");
    writeFile(in_ / "same.txt", kRecord);
    const struct {
        std::vector<std::string> args;
        std::string line;
    } cases[] = {
        {{"-FT", "TXT"},
         " conversion failed! (Unable to open input text file)"},
        {{"-FT", "TXT", "-IF", in("short.txt"), "-OF", out("short.txt")},
         in("short.txt") + " conversion failed! (Malformed record 2 in input "
                           "text file, line 2: the file ends before its "
                           "label)"},
        {{"-FT", "TXT", "-IF", in("same.txt"), "-OF",
          in_.string() + "/./same.txt"},
         in("same.txt") + " conversion failed! (Output text file is the input "
                          "file; it was left untouched)"},
        {{"-FT", "TXT", "-IWS", in_.string(), "-F", "same.txt", "-OWS",
          (out_ / ".." / "in dir").string()},
         in("same.txt") + " conversion failed! (Output text file is the input "
                          "file; it was left untouched)"},
        // the paths are joined as given, a trailing separator doubled
        {{"-FT", "TXT", "-IWS", in_.string() + "/", "-F", "same.txt", "-OWS",
          out_.string() + "/"},
         in_.string() + "//same.txt converted to " + out_.string() +
             "//same.txt"},
    };
    for (const auto &c : cases)
        expectReportLine(c.args, c.line);
    EXPECT_EQ(readFile(out("short.txt")),
              "1.00000000\t2.00000000\t3.00000000\tA\n");
    EXPECT_EQ(readFile(in("same.txt")), kRecord);
}

TEST_F(KavroConversionTest, ConvertsATextWorkspaceAndGoesOnAfterFailures) {
    writeFile(in_ / "a.txt", kRecord);
    writeFile(in_ / "b c.txt", kRecord);
    writeFile(in_ / "bad.txt", "1 2 3 A\nx 2 3 B\n");
    writeFile(in_ / "blocked.txt", kRecord);
    fs::create_directories(out_ / "blocked.txt");
    writeFile(in_ / "other.dat", kRecord);
    writeFile(in_ / "empty.txt", "");

    const std::string failed = " conversion failed! (";
    KavroRun run = kavro({"-FT", "TXT", "-IWS", in_.string(), "-F", "*.txt",
                          "-OWS", out_.string()});
    EXPECT_EQ(run.lines().at(0), "Script description:Identity");
    EXPECT_EQ(sorted(run.reportLines()),
              sorted({in("a.txt") + " converted to " + out("a.txt"),
                      in("b c.txt") + " converted to " + out("b c.txt"),
                      in("empty.txt") + " converted to " + out("empty.txt"),
                      in("bad.txt") + failed +
                          "Malformed record 2 in input text file, line 2: x "
                          "is not a number)",
                      in("blocked.txt") + failed +
                          "Unable to create output text file)"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(readFile(out("a.txt")), kConverted);
    EXPECT_EQ(readFile(out("b c.txt")), kConverted);
    EXPECT_EQ(readFile(out("empty.txt")), "");
    EXPECT_TRUE(fs::exists(out_ / "empty.txt"));
    EXPECT_FALSE(fs::exists(out_ / "other.dat"));

    // The default filter takes every entry, "." and ".." among them.
    run = kavro({"-FT", "TXT", "-IWS", in_.string(), "-OWS", out_.string()});
    const std::vector<std::string> lines = run.lines();
    EXPECT_EQ(lines.size(), 1u + 8u);
    for (const char *entry : {".", ".."})
        EXPECT_NE(
            std::find(lines.begin(), lines.end(),
                      in(entry) + failed + "Unable to open input text file)"),
            lines.end());
    EXPECT_EQ(readFile(out("other.dat")), kConverted);
}

TEST_F(KavroConversionTest, WorkspaceMessages) {
    writeFile(in_ / "a.shp", "not a shapefile");
    writeFile(in_ / "c.txt", kRecord);
    const fs::path empty = root_ / "empty dir";
    fs::create_directories(empty);
    const std::string absent = (root_ / "absent").string();
    const struct {
        std::vector<std::string> args;
        std::string line;
    } cases[] = {
        {{"-IWS", absent, "-OWS", out_.string()},
         absent + " is not a directory"},
        {{"-IWS", in_.string(), "-OWS", absent},
         absent + " is not a directory"},
        {{"-IWS", in("c.txt"), "-OWS", out_.string()},
         in("c.txt") + " is not a directory"},
        {{"-IWS", empty.string(), "-OWS", out_.string()},
         "no files found in " + empty.string() + "/*.shp"},
        {{"-IWS", in_.string(), "-F", "*.shp", "-OWS", out_.string()},
         "no files found in " + in_.string() + "/*.shp.shp"},
        {{"-F", "c*", "-IWS", in_.string(), "-OWS", out_.string()},
         "no files found in " + in_.string() + "/c*.shp"},
        {{"-FT", "TXT", "-IWS", in_.string(), "-F", "x?", "-OWS",
          out_.string()},
         "no files found in " + in_.string() + "/x?"},
    };
    for (const auto &c : cases)
        expectReportLine(c.args, c.line);
    EXPECT_TRUE(fs::is_empty(out_));
}

// A shapefile workspace hands the .shp files, and only those, to the
// shapefile converter; the test files are not real shapefiles, so their
// lines report failures.
TEST_F(KavroConversionTest, ShapefileWorkspaceTakesShpFilesOnly) {
    for (const char *name : {"a.shp", "b.shp", "c.txt", "a.dbf"})
        writeFile(in_ / name, "x");
    const struct {
        std::vector<std::string> filter;
        std::vector<std::string> taken;
    } cases[] = {
        {{}, {in("a.shp"), in("b.shp")}},
        {{"-F", "*"}, {in("a.shp"), in("b.shp")}},
        {{"-F", "a*"}, {in("a.shp")}},
    };
    for (const auto &c : cases) {
        std::vector<std::string> args = {"-IWS", in_.string(), "-OWS",
                                         out_.string()};
        args.insert(args.end(), c.filter.begin(), c.filter.end());
        const KavroRun run = kavro(args);
        ASSERT_EQ(run.lines().size(), 1 + c.taken.size());
        std::vector<std::string> inputs = run.reportLines();
        for (std::string &line : inputs)
            line = line.substr(0, line.find(' ', in_.string().size()));
        EXPECT_EQ(sorted(inputs), c.taken);
    }
}

// Two million records convert in memory that does not grow with the file.
// The figure is the child's peak resident size as the kernel reports it to
// its parent; it can only overstate what the conversion needs.
TEST_F(KavroConversionTest, ConvertsTwoMillionRecordsInConstantMemory) {
    if (std::getenv("KAVRO_SKIP_MEMORY_TESTS"))
        GTEST_SKIP() << "KAVRO_SKIP_MEMORY_TESTS is set";
    constexpr long kRecords = 2'000'000;
    {
        std::FILE *file = std::fopen((in_ / "big.txt").c_str(), "w");
        ASSERT_NE(file, nullptr);
        for (long i = 0; i < kRecords; ++i)
            std::fprintf(file, "%ld.125 %ld.5 %ld P%ld\n", 500000 + i,
                         4000000 + i, i % 1000, i);
        std::fclose(file);
    }
    const KavroRun run =
        kavro({"-FT", "TXT", "-IF", in("big.txt"), "-OF", out("big.txt")});
    ASSERT_EQ(run.lines().size(), 2u);
    EXPECT_EQ(run.lines()[1],
              in("big.txt") + " converted to " + out("big.txt"));
    EXPECT_LT(run.peakResidentKiB, 20 * 1024) << "peak resident size in KiB";
    RecordProperty("PeakResidentKiB", std::to_string(run.peakResidentKiB));
    // Per record x gains five digits, y seven, z a point and eight digits.
    EXPECT_EQ(fs::file_size(out_ / "big.txt"),
              fs::file_size(in_ / "big.txt") + kRecords * (5 + 7 + 9));
}

} // namespace

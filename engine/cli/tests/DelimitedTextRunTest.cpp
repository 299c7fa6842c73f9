// Point lists through the real KAVRO: the shipped script on a municipal
// export and on a surveyor's list against PROJ on the EPSG operation, the
// options, a workspace of .csv files, and memory on large files.
#include "DelimitedTextReader.h"
#include "KavroProgram.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace kavrotest;

namespace {

// A point as read back: its coordinates and the text of its height.
struct ReadPoint {
    double x, y;
    std::string z;
};

std::vector<ReadPoint> readPoints(const fs::path &path) {
    std::vector<ReadPoint> points;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    DelimitedTextReader reader({});
    EXPECT_TRUE(reader.start(fd)) << path << ": " << reader.problem();
    PointBlock block;
    while (reader.next(block))
        for (const PointRecord &r : block.records)
            points.push_back({r.xyz[0], r.xyz[1],
                              r.begin[2] ? std::string(r.begin[2], r.end[2])
                                         : std::string()});
    EXPECT_EQ(reader.problem(), "");
    ::close(fd);
    return points;
}

class DelimitedTextRunTest : public KavroProgramTest {
  protected:
    void SetUp() override {
        KavroProgramTest::SetUp();
        in_ = root_ / "in";
        out_ = root_ / "out";
        fs::create_directories(in_);
        fs::create_directories(out_);
        writeScript("identity.xml", "  <Description>Identity</Description>\n");
    }

    // Runs KAVRO on point lists with the script, the identity unless given.
    KavroRun kavro(std::vector<std::string> args,
                   const std::string &script = "") const {
        args.insert(args.begin(), {"-FT", "CSV"});
        args.push_back("-TS");
        args.push_back(script.empty() ? path("identity.xml") : script);
        return run(args);
    }
    std::string in(const std::string &name) const {
        return (in_ / name).string();
    }
    std::string out(const std::string &name) const {
        return (out_ / name).string();
    }

    fs::path in_, out_;
};

// References: PROJ's cct on EPSG:1659's pipeline, made by
// tests/data/csv/make_reference.py, which also wrote the lists: one as
// GDAL's CSV driver writes a municipal export, one as a spreadsheet saves a
// surveyor's list. EPSG gives the operation an accuracy of 4 m; the shipped
// script and PROJ evaluate it alike to well under a millimetre.
TEST_F(DelimitedTextRunTest, ShippedScriptAgreesWithTheEpsgOperation) {
    constexpr double kMillimetre = 1e-3;
    const std::string data = std::string(KAVRO_TEST_DATA_DIR) + "/csv/";
    const std::string script =
        std::string(KAVRO_ENGINE_DIR) + "/script/GBO-UTM32ETRS89-VLM.xml";
    for (const std::string name : {"civici_milano", "rilievo"}) {
        SCOPED_TRACE(name);
        const std::string input = data + name + ".csv";
        const KavroRun run = kavro({"-IF", input, "-OF", out(name)}, script);
        EXPECT_EQ(run.reportLines(), std::vector<std::string>{
                                         input + " converted to " + out(name)});
        const auto before = readPoints(input);
        const auto after = readPoints(out(name));
        std::ifstream reference(data + name + "_1659.txt");
        std::size_t i = 0;
        for (double inE, inN, e, n; reference >> inE >> inN >> e >> n; ++i) {
            ASSERT_LT(i, after.size());
            EXPECT_EQ(before[i].x, inE);
            EXPECT_EQ(before[i].y, inN);
            EXPECT_NEAR(after[i].x, e, kMillimetre) << i;
            EXPECT_NEAR(after[i].y, n, kMillimetre) << i;
            // Heights above sea level are not the datum's: as PROJ's
            // pipeline keeps them, so does the list.
            EXPECT_EQ(after[i].z, before[i].z);
        }
        EXPECT_EQ(i, after.size());
        EXPECT_EQ(i, 40u);
    }
}

TEST_F(DelimitedTextRunTest, OptionsSayWhatTheFileDoesNot) {
    // No header, a tab, decimal points where a guess could not tell.
    writeFile(in_ / "plain.csv", "P1\t1\t2\t7\nP2\t3\t4\t8\n");
    KavroRun run = kavro({"-IF", in("plain.csv"), "-OF", out("plain.csv"),
                          "-CS", "TAB", "-DS", ".", "-XC", "2", "-YC", "3"});
    EXPECT_EQ(run.reportLines(),
              std::vector<std::string>{in("plain.csv") + " converted to " +
                                       out("plain.csv")});
    EXPECT_EQ(readFile(out_ / "plain.csv"),
              "P1\t1.0000\t2.0000\t7\nP2\t3.0000\t4.0000\t8\n");

    // Unknown names are given by name; the report lists the columns.
    writeFile(in_ / "named.csv", "Punto;Destra;Sopra\nA;1;2\n");
    run = kavro({"-IF", in("named.csv"), "-OF", out("named.csv")});
    EXPECT_EQ(run.reportLines(),
              std::vector<std::string>{
                  in("named.csv") +
                  " conversion failed! (No coordinate columns found in "
                  "input CSV file, whose columns \"Punto\", \"Destra\", "
                  "\"Sopra\"; give them with -XC and -YC)"});
    run = kavro({"-IF", in("named.csv"), "-OF", out("named.csv"), "-XC",
                 "destra", "-YC", "Sopra"});
    EXPECT_EQ(readFile(out_ / "named.csv"),
              "Punto;Destra;Sopra\nA;1,0000;2,0000\n");
}

TEST_F(DelimitedTextRunTest, WorkspaceTakesCsvFilesOnly) {
    for (const char *name : {"a.csv", "b.csv", "c.txt", "d.CSV"})
        writeFile(in_ / name, "X;Y\n1;2\n");
    const struct {
        std::vector<std::string> filter;
        std::vector<std::string> taken;
    } cases[] = {
        {{}, {"a.csv", "b.csv"}},
        {{"-F", "a*"}, {"a.csv"}},
    };
    for (const auto &c : cases) {
        fs::remove_all(out_);
        fs::create_directories(out_);
        std::vector<std::string> args = {"-IWS", in_.string(), "-OWS",
                                         out_.string()};
        args.insert(args.end(), c.filter.begin(), c.filter.end());
        const KavroRun run = kavro(args);
        ASSERT_EQ(run.reportLines().size(), c.taken.size());
        std::vector<std::string> written;
        for (const auto &entry : fs::directory_iterator(out_)) {
            written.push_back(entry.path().filename().string());
            EXPECT_EQ(readFile(entry.path()), "X;Y\n1,0000;2,0000\n");
        }
        std::sort(written.begin(), written.end());
        EXPECT_EQ(written, c.taken);
    }
}

// Memory does not grow with the file, nor with a record that does not end.
TEST_F(DelimitedTextRunTest, LargeFilesInConstantMemory) {
    if (std::getenv("KAVRO_SKIP_MEMORY_TESTS"))
        GTEST_SKIP() << "KAVRO_SKIP_MEMORY_TESTS is set";
    constexpr long kRecords = 500'000;
    {
        std::FILE *file = std::fopen(in("big.csv").c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs("ID;Codice;Via;Civico;Est;Nord;Quota;Stato;Data;Note\r\n",
                   file);
        for (long i = 0; i < kRecords; ++i)
            std::fprintf(file,
                         "%ld;C%ld;\"Via Roma; %ld\";%ld;%ld,25;%ld,5;%ld;"
                         "attivo;2024-05-%02ld;\"nota\"\r\n",
                         i, i, i % 300, i % 90, 1500000 + i, 5000000 + i,
                         i % 900, 1 + i % 28);
        // A quote that never closes, far longer than a record may be.
        std::fputs("x;x;\"", file);
        for (int i = 0; i < 3 * 1024 * 1024; ++i)
            std::fputs(";\r\n", file);
        std::fclose(file);
    }
    const KavroRun run = kavro({"-IF", in("big.csv"), "-OF", out("big.csv")});
    EXPECT_EQ(run.reportLines(),
              std::vector<std::string>{
                  in("big.csv") + " conversion failed! (Record " +
                  std::to_string(kRecords + 1) + " in input CSV file, line " +
                  std::to_string(kRecords + 2) +
                  ", is longer than 1 MB (the quote opened on line " +
                  std::to_string(kRecords + 2) + " is not closed))"});
    EXPECT_LT(run.peakResidentKiB, 20 * 1024) << "peak resident size in KiB";
    RecordProperty("PeakResidentKiB", std::to_string(run.peakResidentKiB));
    // Every record is kept, east gaining two decimals and north three.
    const auto size = [](const fs::path &path) {
        return static_cast<long>(fs::file_size(path));
    };
    EXPECT_EQ(size(out_ / "big.csv"),
              size(in_ / "big.csv") - 3 * 3 * 1024 * 1024 - 5 + kRecords * 5);
}

} // namespace

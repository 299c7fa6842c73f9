// The coordinate systems that a script names, through the real KAVRO: an
// input whose .prj contradicts the source is refused with both systems
// named and nothing written; every writer's form of the source is
// accepted; the target's .prj goes beside every output, byte for byte the
// program folder's.
#include "KavroProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace kavrotest;

namespace {

const fs::path kEngine = KAVRO_ENGINE_DIR;
const fs::path kSamples = fs::path(KAVRO_SOURCE_DIR) / "data" / "samples";
// Monte Mario zone 1 as ESRI, GDAL, QGIS 2 and WKT 2 write it (made by
// make-prj.sh there).
const fs::path kWriters = fs::path(KAVRO_SOURCE_DIR) / "common/tests/data";

class CoordinateSystemRunTest : public KavroProgramTest {
  protected:
    void SetUp() override {
        KavroProgramTest::SetUp();
        fs::create_directories(root_ / "in");
        fs::create_directories(root_ / "out");
    }
    // A sample shapefile under another name in "in", with a .prj of the
    // given text, or none for nullptr.
    void input(const std::string &name, const std::string *prj,
               const char *sample = "gbo_points") const {
        for (const char *extension : {".shp", ".shx", ".dbf"})
            fs::copy_file(kSamples / (sample + std::string(extension)),
                          root_ / "in" / (name + extension));
        if (prj != nullptr)
            writeFile(root_ / "in" / (name + ".prj"), *prj);
    }
    std::vector<std::string> outputs() const {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(root_ / "out"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string script(const char *name) {
        return (kEngine / "script" / name).string();
    }
};

// One workspace run: each file that contradicts the script's source fails
// alone, with both systems named, and leaves nothing; the others convert,
// whichever writer made their .prj, and also when it says nothing usable.
TEST_F(CoordinateSystemRunTest, RefusesContradictionsAndConvertsTheRest) {
    const std::string utm = readFile(kEngine / "utm_etrs89.prj");
    const std::string east = readFile(kEngine / "gbo_east.prj");
    const std::string garbage = "PROJCS[\"half a definition";
    const std::string huge(100000, 'x');
    struct Case {
        std::string name;
        std::string prj;
        const char *refusal; // nullptr: converted
    };
    const Case cases[] = {
        {"utm", utm,
         "its .prj says ETRS 1989 UTM Zone 32N, the script converts from "
         "Monte Mario / Italy zone 1"},
        {"east", east,
         "its .prj says Monte Mario Italy 2, the script converts from Monte "
         "Mario / Italy zone 1"},
        {"esri", readFile(kWriters / "monte_mario_1_esri.prj"), nullptr},
        {"gdal", readFile(kWriters / "monte_mario_1_gdal.prj"), nullptr},
        {"qgis", readFile(kWriters / "monte_mario_1_qgis.prj"), nullptr},
        {"wkt2", readFile(kWriters / "monte_mario_1_wkt2.prj"), nullptr},
        {"garbage", garbage, nullptr},
        {"huge", huge, nullptr},
    };
    std::vector<std::string> expected;
    std::vector<std::string> files;
    for (const Case &c : cases) {
        input(c.name, &c.prj);
        const std::string in = path("in") + "/" + c.name + ".shp";
        if (c.refusal != nullptr) {
            expected.push_back(in + " conversion failed! (" + c.refusal + ")");
            continue;
        }
        expected.push_back(in + " converted to " + path("out") + "/" + c.name +
                           ".shp");
        for (const char *extension : {".dbf", ".prj", ".shp", ".shx"})
            files.push_back(c.name + extension);
    }
    input("none", nullptr);
    expected.push_back(path("in") + "/none.shp converted to " + path("out") +
                       "/none.shp");
    for (const char *extension : {".dbf", ".prj", ".shp", ".shx"})
        files.push_back(std::string("none") + extension);

    const KavroRun run = this->run({"-IWS", path("in"), "-OWS", path("out"),
                                    "-TS", script("GBO-UTM32ETRS89-VLM.xml")});
    std::vector<std::string> report = run.reportLines();
    std::sort(report.begin(), report.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(report, expected);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(outputs(), files); // nothing for a refused file, no leftovers
    for (const std::string &file : files) {
        if (file.ends_with(".prj")) {
            EXPECT_EQ(readFile(root_ / "out" / file), utm) << file;
        }
    }
}

// The shortened form, Gauss-Boaga East and the way back: a file is refused
// when it declares the standard form of a script's shortened source, and a
// file in the script's source gets the target's .prj in place of an
// earlier one.
TEST_F(CoordinateSystemRunTest, ComparesTheSourceOfEachScript) {
    const std::string west = readFile(kEngine / "gbo_west.prj");
    const std::string utm = readFile(kEngine / "utm_etrs89.prj");
    struct Case {
        const char *script, *sample;
        const std::string &prj;
        const char *refusal;
        const char *target; // the .prj expected beside the output
    };
    const Case cases[] = {
        {"GBOSHIFT-UTM32ETRS89-VLM.xml", "gboshift_points", west,
         "its .prj says Monte Mario Italy 1, the script converts from Monte "
         "Mario / Italy zone 1, shortened",
         nullptr},
        {"UTM32ETRS89-GBO-VLM.xml", "gbo_points", west,
         "its .prj says Monte Mario Italy 1, the script converts from ETRS89 "
         "/ UTM zone 32N",
         nullptr},
        {"GBO-UTM32ETRS89-VLM.xml", "gbo_points", west, nullptr,
         "utm_etrs89.prj"},
        {"UTM32ETRS89-GBO-VLM.xml", "gbo_points", utm, nullptr, "gbo_west.prj"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.script);
        fs::remove_all(root_ / "in");
        fs::remove_all(root_ / "out");
        fs::create_directories(root_ / "in");
        fs::create_directories(root_ / "out");
        input("a", &c.prj, c.sample);
        writeFile(root_ / "out/a.prj", "an earlier output's");
        const KavroRun run =
            this->run({"-IF", path("in/a.shp"), "-OF", path("out/a.shp"), "-TS",
                       script(c.script)});
        EXPECT_EQ(run.status, 1);
        if (c.refusal != nullptr) {
            EXPECT_EQ(run.reportLines(),
                      std::vector<std::string>{path("in/a.shp") +
                                               " conversion failed! (" +
                                               c.refusal + ")"});
            EXPECT_EQ(outputs(), std::vector<std::string>{"a.prj"});
            EXPECT_EQ(readFile(root_ / "out/a.prj"), "an earlier output's");
        } else {
            EXPECT_EQ(run.reportLines(),
                      std::vector<std::string>{path("in/a.shp") +
                                               " converted to " +
                                               path("out/a.shp")});
            EXPECT_EQ(readFile(root_ / "out/a.prj"),
                      readFile(kEngine / c.target));
        }
    }
}

// A script that names no systems converts as it always did: no .prj is
// compared, none is written.
TEST_F(CoordinateSystemRunTest, ScriptsWithoutSystemsNeitherCheckNorWrite) {
    const std::string utm = readFile(kEngine / "utm_etrs89.prj");
    input("a", &utm);
    const std::string plain =
        writeScript("plain.xml", "<Transformation Name=\"same\">\n"
                                 "<AffineGeneralParametricTransformation>"
                                 "<A1>1</A1><B2>1</B2>"
                                 "</AffineGeneralParametricTransformation>"
                                 "</Transformation>\n");
    const KavroRun run = this->run(
        {"-IF", path("in/a.shp"), "-OF", path("out/a.shp"), "-TS", plain});
    EXPECT_EQ(run.reportLines(),
              std::vector<std::string>{path("in/a.shp") + " converted to " +
                                       path("out/a.shp")});
    EXPECT_EQ(outputs(), (std::vector<std::string>{"a.dbf", "a.shp", "a.shx"}));
}

} // namespace

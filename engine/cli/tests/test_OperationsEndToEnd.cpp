// Runs the real KAVRO with scripts on text point files: the worked examples
// of EPSG Guidance Note 7-2 and the Gauss-Boaga to UTM chain, with their
// reference values as checked-in copies (tests/data). The program writes
// eight decimals, so angles leave the chain scaled to microradians by an
// affine step.
#include "KavroProgram.h"

#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;

constexpr double kTenthMillimetre = 1e-4; // metres
constexpr double kMillimetre = 1e-3;      // metres
constexpr double kCentimetre = 1e-2;      // metres
// 0.1 mm as an angle on an Earth-sized ellipsoid, and the published angles.
constexpr double kTenthMillimetreAngle = kTenthMillimetre / 6378137;
constexpr double kPublishedAngle = 1e-8; // radians
constexpr double kMicro = 1e6;

using Fields = std::vector<std::string>;

// One CSV line (either line ending); fields in double quotes may hold
// commas.
Fields splitCsv(const std::string &line) {
    Fields fields(1);
    bool quoted = false;
    for (const char c : line) {
        if (c == '\r')
            continue;
        if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

// The rows of a CSV file as maps from column name to text.
std::vector<std::map<std::string, std::string>> readCsv(const fs::path &path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    const Fields header = splitCsv(line);
    std::vector<std::map<std::string, std::string>> rows;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        const Fields fields = splitCsv(line);
        std::map<std::string, std::string> row;
        for (std::size_t i = 0; i < header.size() && i < fields.size(); ++i)
            row[header[i]] = fields[i];
        rows.push_back(row);
    }
    return rows;
}

double number(const std::string &text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string element(const std::string &name, const std::string &value) {
    return "      <" + name + ">" + value + "</" + name + ">\n";
}

std::string ellipsoid(const std::string &name, const std::string &a,
                      const std::string &inverseF) {
    return "  <Ellipsoid Name=\"" + name + "\">\n" +
           element("SemiMajorAxes", a) +
           element("InverseFlattening", inverseF) + "  </Ellipsoid>\n";
}

// One step; the operation element comes first inside its Transformation.
std::string step(const std::string &operation, const std::string &parameters) {
    return "  <Transformation Name=\"" + operation + "\">\n    <" + operation +
           ">\n" + parameters + "    </" + operation +
           ">\n  </Transformation>\n";
}

const std::string kToMicroradians =
    step("AffineGeneralParametricTransformation",
         element("A1", "1e6") + element("B2", "1e6") + element("C3", "1"));

struct OutputRecord {
    double x = 0, y = 0, z = 0;
    std::string label;
};

class OperationsEndToEnd : public kavrotest::KavroProgramTest {
  protected:
    // Writes the script and the points, runs KAVRO on them and reads back
    // the converted records.
    std::vector<OutputRecord> convert(const std::string &body,
                                      const std::string &points) {
        writeScript("script.xml", body);
        kavrotest::writeFile(root_ / "in.txt", points);
        fs::remove(root_ / "out.txt");

        const kavrotest::KavroRun ran =
            run({"-FT", "TXT", "-IF", "in.txt", "-OF", "out.txt", "-TS",
                 "script.xml"});
        EXPECT_EQ(ran.status, 1); // the driver ran
        std::vector<OutputRecord> records;
        std::ifstream out(root_ / "out.txt");
        EXPECT_TRUE(out.is_open()) << "no output file";
        for (std::string line; std::getline(out, line);) {
            std::istringstream fields(line);
            std::string x, y, z;
            OutputRecord record;
            std::getline(fields, x, '\t');
            std::getline(fields, y, '\t');
            std::getline(fields, z, '\t');
            std::getline(fields, record.label);
            record.x = number(x);
            record.y = number(y);
            record.z = number(z);
            records.push_back(record);
        }
        return records;
    }
};

// The script of one example row: its ellipsoid, its operation and, for an
// angular result, the scaling to microradians.
struct ExampleScript {
    std::string body;
    bool angularOutput = false;
    bool reverseProjection = false;
};

ExampleScript exampleScript(const std::map<std::string, std::string> &row) {
    const std::string method = row.at("method");
    const bool reverse = row.at("direction") == "reverse";
    std::string operation = method.substr(0, method.find(' '));
    const bool projection =
        operation == "TransverseMercator" || operation == "CassiniSoldner";
    if (projection)
        operation += reverse ? "Reverse" : "Forward";

    std::map<std::string, std::string> ellipsoidParameters;
    std::string parameters;
    std::istringstream list(row.at("parameters"));
    for (std::string item; std::getline(list, item, ';');) {
        const std::string name = item.substr(0, item.find('='));
        const std::string value = item.substr(item.find('=') + 1);
        if (name == "SemiMajorAxes" || name == "InverseFlattening")
            ellipsoidParameters[name] = value;
        else if (name != "SemiMajorAxisDifference" &&
                 name != "FlatteningDifference")
            parameters += element(name, value);
    }

    ExampleScript script;
    script.body = "  <Description>" + row.at("id") + "</Description>\n";
    if (!ellipsoidParameters.empty())
        script.body += ellipsoid("E", ellipsoidParameters["SemiMajorAxes"],
                                 ellipsoidParameters["InverseFlattening"]);
    if (operation == "AbridgedMolodensky") {
        // The listed differences are those of WGS 84 to International 1924.
        script.body += ellipsoid("Target", "6378388", "297");
        parameters += element("SourceEllipsoid", "E") +
                      element("TargetEllipsoid", "Target");
    } else if (operation != "PositionVector7Parameter") {
        parameters += element("RefEllipsoid", "E");
    }
    script.body += step(operation, parameters);
    script.angularOutput = (projection && reverse) ||
                           operation == "GeocentricToGeographic" ||
                           operation == "AbridgedMolodensky";
    if (script.angularOutput)
        script.body += kToMicroradians;
    script.reverseProjection = projection && reverse;
    return script;
}

std::string orZero(const std::string &text) {
    return text.empty() ? "0" : text;
}
} // namespace

TEST_F(OperationsEndToEnd, EpsgWorkedExamplesThroughTheProgram) {
    const auto rows = readCsv(KAVRO_TEST_DATA_DIR "/epsg_gn72_examples.csv");
    ASSERT_EQ(rows.size(), 8u);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.at("id") + " " + row.at("direction"));
        const ExampleScript script = exampleScript(row);
        const auto records =
            convert(script.body, row.at("in_x") + " " + row.at("in_y") + " " +
                                     orZero(row.at("in_z")) + " " +
                                     row.at("id") + "\n");
        ASSERT_EQ(records.size(), 1u);
        const OutputRecord &r = records[0];
        EXPECT_EQ(r.label, row.at("id"));
        const double scale = script.angularOutput ? kMicro : 1;
        const double x = r.x / scale;
        const double y = r.y / scale;

        // The truncated reverse series leave up to 0.25 mm against an exact
        // projection (the footpoint series stops at e1^4).
        const double independent =
            script.angularOutput
                ? (script.reverseProjection ? 3 : 1) * kTenthMillimetreAngle
                : kTenthMillimetre;
        EXPECT_NEAR(x, number(row.at("proj_x")), independent);
        EXPECT_NEAR(y, number(row.at("proj_y")), independent);
        EXPECT_NEAR(r.z, number(orZero(row.at("proj_z"))), kTenthMillimetre);

        if (!row.at("published_x").empty()) {
            const double published =
                script.angularOutput ? kPublishedAngle : kCentimetre;
            EXPECT_NEAR(x, number(row.at("published_x")), published);
            EXPECT_NEAR(y, number(row.at("published_y")), published);
            EXPECT_NEAR(r.z, number(orZero(row.at("published_z"))),
                        kCentimetre);
        }
    }
}

// Monte Mario / Gauss-Boaga West to ETRS89 / UTM 32N (EPSG:1659, position
// vector, rotations in radians) against the same chain evaluated with the
// classic transverse Mercator series.
TEST_F(OperationsEndToEnd, GaussBoagaToUtmReproducesTheSeriesChain) {
    const std::string nineDegrees = "0.15707963267948968";
    const std::string body =
        ellipsoid("International1924", "6378388", "297") +
        ellipsoid("GRS80", "6378137", "298.257222101") +
        step("TransverseMercatorReverse",
             element("RefEllipsoid", "International1924") +
                 element("LongitudeOfNaturalOrigin", nineDegrees) +
                 element("ScaleFactorAtNaturalOrigin", "0.9996") +
                 element("FalseEasting", "1500000")) +
        step("GeographicToGeocentric",
             element("RefEllipsoid", "International1924")) +
        step("PositionVector7Parameter",
             element("XaxisTranslation", "-104.1") +
                 element("YaxisTranslation", "-49.1") +
                 element("ZaxisTranslation", "-9.9") +
                 element("XaxisRotation", "4.707540843573595e-06") +
                 element("YaxisRotation", "-1.4142015077965165e-05") +
                 element("ZaxisRotation", "3.461569683122087e-06") +
                 element("ScaleDifference", "-11.68")) +
        step("GeocentricToGeographic", element("RefEllipsoid", "GRS80")) +
        step("TransverseMercatorForward",
             element("RefEllipsoid", "GRS80") +
                 element("LongitudeOfNaturalOrigin", nineDegrees) +
                 element("ScaleFactorAtNaturalOrigin", "0.9996") +
                 element("FalseEasting", "500000"));

    const auto rows = readCsv(KAVRO_TEST_DATA_DIR "/gbo_control_points.csv");
    ASSERT_FALSE(rows.empty());
    std::string points;
    for (const auto &row : rows)
        points += row.at("gbo_e") + "\t" + row.at("gbo_n") + "\t0\t" +
                  row.at("label") + "\n";
    const auto records = convert(body, points);
    ASSERT_EQ(records.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].at("label") + " " + rows[i].at("gbo_e"));
        EXPECT_EQ(records[i].label, rows[i].at("label"));
        EXPECT_NEAR(records[i].x, number(rows[i].at("series_utm_e")),
                    kTenthMillimetre);
        EXPECT_NEAR(records[i].y, number(rows[i].at("series_utm_n")),
                    kTenthMillimetre);
    }
}

// Regression: GeocentricToGeographic gives 1 degree west as 359 degrees,
// which a projection with a central meridian west of Greenwich took for
// almost a full turn away. Through the geocentric round trip the point
// must project as it does directly.
TEST_F(OperationsEndToEnd, WesternPointProjectsAfterGeocentricRoundTrip) {
    const std::string airy = ellipsoid("Airy", "6377563.396", "299.3249646");
    const std::string grid =
        step("TransverseMercatorForward",
             element("RefEllipsoid", "Airy") +
                 element("LatitudeOfNaturalOrigin", "0.85521133347722145") +
                 element("LongitudeOfNaturalOrigin", "-0.034906585039886591") +
                 element("ScaleFactorAtNaturalOrigin", "0.9996012717") +
                 element("FalseEasting", "400000") +
                 element("FalseNorthing", "-100000"));
    const std::string roundTrip =
        step("GeographicToGeocentric", element("RefEllipsoid", "Airy")) +
        step("GeocentricToGeographic", element("RefEllipsoid", "Airy"));
    // 1 degree west, and 4 degrees west (beyond the central meridian).
    const std::string points = "-0.0174532925199433 0.9 10 a\n"
                               "-0.06981317007977318 0.92 20 b\n";

    const auto direct = convert(airy + grid, points);
    const auto throughGeocentric = convert(airy + roundTrip + grid, points);
    ASSERT_EQ(direct.size(), 2u);
    ASSERT_EQ(throughGeocentric.size(), 2u);
    for (std::size_t i = 0; i < direct.size(); ++i) {
        SCOPED_TRACE(direct[i].label);
        EXPECT_NEAR(throughGeocentric[i].x, direct[i].x, kMillimetre);
        EXPECT_NEAR(throughGeocentric[i].y, direct[i].y, kMillimetre);
        EXPECT_NEAR(throughGeocentric[i].z, direct[i].z, kMillimetre);
    }
}

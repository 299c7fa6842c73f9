// Runs the real KAVRO and compares its whole standard output and its exit
// status.
#include "ItalianTestGrid.h"
#include "KavroProgram.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {
namespace fs = std::filesystem;
using kavrotest::KavroRun;

const std::string kBanner =
    "\n"
    "This product includes software developed by the Apache Software "
    "Foundation (https://www.apache.org/).\n"
    "This product uses the GNU C++ Library, libstdc++ "
    "(https://gcc.gnu.org/onlinedocs/libstdc++/).\n";

const std::string kUsage =
    "KAVRO -HELP\n"
    "KAVRO [-FT <SHP | TXT | GPKG | CSV>] -IF <input file> -OF <output file> "
    "-TS <tranform script>\n"
    "KAVRO [-FT <SHP | TXT | GPKG | CSV>] -IWS <input workspace> [-F <filter>] "
    "-OWS <output workspace> -TS <tranform script>\n"
    "  with -FT CSV also: [-CS <; | , | TAB | |>] [-DS <. | ,>] [-XC "
    "<column>] [-YC <column>] [-ZC <column>]\n"
    "  with either also: [-TH <threads>]\n";

const std::string kHelp =
    "-HELP: shows this help\n"
    "-FT <SHP | TXT | GPKG | CSV>: sets type of input file, SHP = shapefile, "
    "TXT = ascii file, GPKG = GeoPackage, CSV = delimited text point list "
    "(default is SHP)\n"
    "-CS <; | , | TAB | |>: sets column separator of CSV files (default: "
    "found from the first lines)\n"
    "-DS <. | ,>: sets decimal separator of the coordinates in CSV files "
    "(default: found from the first lines)\n"
    "-XC <column>: sets x (east, longitude) column of CSV files, by name or "
    "number from 1 (default: found by name)\n"
    "-YC <column>: sets y (north, latitude) column of CSV files, by name or "
    "number from 1 (default: found by name)\n"
    "-ZC <column>: sets height column of CSV files, by name or number from 1, "
    "0 for none (default: found by name)\n"
    "-IF <input file>: sets input file \n"
    "-OF <output file>: sets output file \n"
    "-IWS <input workspace>: sets search directory for multiple input files\n"
    "-OWS <output workspace>: sets out directory for multiple input files\n"
    "-F <filter>: sets search filter for multiple input files (default is *)\n"
    "-TS <tranform script>: sets transformation script\n"
    "-TH <threads>: sets number of threads converting points and files at "
    "once, 1 = one after the other, 0 = one per processor core (default is "
    "0)\n";

const std::string kScriptError =
    "Error in transformation script. Execution terminated\n";

using ProgramTest = kavrotest::KavroProgramTest;

std::string joined(const std::vector<std::string> &arguments) {
    std::string text;
    for (const std::string &a : arguments)
        text += "[" + a + "]";
    return text;
}
} // namespace

TEST_F(ProgramTest, UsageHelpAndCommandLineErrors) {
    const std::string unrecognized = "unrecognized option\n" + kUsage;
    const std::string incompatible =
        "-IF,-OF options are incompatible with -IWS,-OWS\n" + kUsage;
    struct Case {
        std::vector<std::string> arguments;
        std::string out;
    };
    const Case cases[] = {
        {{}, kUsage},
        {{"-HELP"}, kHelp},
        {{"-HELP", "-bogus"}, kHelp},
        {{"-FT", "TXT", "-HELP"}, kHelp},
        {{"-help"}, unrecognized},
        {{"-IWS", "d", "-IF", "f"}, incompatible},
        {{"-IF", "f", "-IWS", "d"}, incompatible},
        {{"-OWS", "d", "-OF", "f", "-TS", "s"}, incompatible},
        {{"-IF", "f", "-F", "x"},
         "-F option allowed only with -IWS,-OWS\n" + kUsage},
        {{"-FT", "shp"}, "unrecognized file type option\n" + kUsage},
        {{"-TS"}, unrecognized},
        {{"-IF", "a", "-OF", "b", "-TS"}, unrecognized},
        {{"-TS", "s", "extra"}, unrecognized},
        {{"-IF"}, unrecognized},
        {{"-FT", "CSV", "-CS", ":"},
         "unrecognized column separator\n" + kUsage},
        {{"-FT", "CSV", "-DS", ";"},
         "unrecognized decimal separator\n" + kUsage},
        {{"-FT", "CSV", "-XC", ""}, "empty column option\n" + kUsage},
        {{"-XC", "Est", "-IF", "a", "-OF", "b"},
         "-CS,-DS,-XC,-YC,-ZC options allowed only with -FT CSV\n" + kUsage},
        {{"-TH", "two"}, "unrecognized number of threads\n" + kUsage},
        {{"-TH", "-1"}, "unrecognized number of threads\n" + kUsage},
        {{"-TH", "1025"}, "unrecognized number of threads\n" + kUsage},
        {{"-TH", ""}, "unrecognized number of threads\n" + kUsage},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(joined(c.arguments));
        const KavroRun r = run(c.arguments);
        EXPECT_EQ(r.out, kBanner + c.out);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
    }
}

// Accepted command lines go on to the script; a script that does not load
// stops the run with status 0 after the parser's messages.
TEST_F(ProgramTest, ScriptThatDoesNotLoadStopsWithStatusZero) {
    const std::vector<std::vector<std::string>> lines = {
        {"-IF", "a", "-OF", "b", "-TS", "absent.xml"},
        {"-F", "x", "-IWS", "d", "-OWS", "e", "-TS", "absent.xml"},
        {"-IF", "a", "-OF", "b"},
    };
    for (const auto &line : lines) {
        SCOPED_TRACE(joined(line));
        const KavroRun r = run(line);
        EXPECT_EQ(r.out, kBanner + kScriptError);
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.err, "");
    }

    // Documents the parser refuses and documents it accepts but the loader
    // cannot use: the reason on the error stream, the same stop.
    kavrotest::writeFile(root_ / "Lax.xsd", kavrotest::kLaxGrammar);
    const std::string lax =
        " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
        " xsi:noNamespaceSchemaLocation=\"Lax.xsd\"";
    const std::pair<std::string, std::string> documents[] = {
        {"<TransformationScript/>\n", "no declaration found for element"},
        {kavrotest::scriptText("  <Description>x</Descr>\n"), "Fatal Error"},
        {"<Other" + lax + "/>\n", "no TransformationScript element"},
        {kavrotest::scriptText("  <Description/>\n"),
         "Description: the element has no content"},
        {"<TransformationScript" + lax +
             "><Transformation>\n<Unknown/>\n</Transformation>"
             "</TransformationScript>\n",
         "unknown operation \"Unknown\""},
    };
    for (const auto &[document, reason] : documents) {
        SCOPED_TRACE(reason);
        kavrotest::writeFile(root_ / "unusable.xml", document);
        const KavroRun r = run({"-TS", (root_ / "unusable.xml").string()});
        EXPECT_EQ(r.out, kBanner + kScriptError);
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
    }
}

// A loaded script prints its description and the run reaches the driver,
// which ends with status 1 whatever became of the files.
TEST_F(ProgramTest, LoadedScriptPrintsItsDescriptionAndEndsWithOne) {
    struct Case {
        std::string body;
        std::string description;
    };
    const Case cases[] = {
        {"  <Description>Degrees to radians</Description>\n",
         "Degrees to radians"},
        {"", "No description for this script"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.description);
        const std::string script = writeScript("s.xml", c.body);
        const KavroRun r = run({"-TS", script});
        const std::string expected =
            kBanner + "Script description:" + c.description + "\n";
        EXPECT_EQ(r.out.substr(0, expected.size()), expected);
        EXPECT_EQ(r.status, 1);
    }
}

// Values that would make an operation convert every point wrongly stop the
// run at the script: one line on the error stream that names the file, the
// line, the element and the parameter with its text, then the standard
// stop. Nothing is written.
TEST_F(ProgramTest, ValuesThatBreakAnOperationRefuseTheScript) {
    const std::string a = "    <SemiMajorAxes>6378137</SemiMajorAxes>\n";
    const std::string f =
        "    <InverseFlattening>298.257222101</InverseFlattening>\n";
    const auto p = [](const char *name, const char *text) {
        return std::string("      <") + name + ">" + text + "</" + name + ">\n";
    };
    const std::string ref = p("RefEllipsoid", "E");
    const std::string k0 = p("ScaleFactorAtNaturalOrigin", "0.9996");
    // Line 4 holds the Ellipsoid "E", its parameters follow one a line; the
    // step "s" follows it, its operation element on the line after.
    struct Case {
        std::string ellipsoid;
        const char *operation;
        std::string parameters;
        int line;
        std::string problem; // after "line N, "
    };
    const Case cases[] = {
        {p("SemiMajorAxes", "6378137,0") + f, "GeographicToGeocentric", ref, 5,
         "Ellipsoid \"E\": SemiMajorAxes \"6378137,0\" is not a number"},
        {a + p("InverseFlattening", "abc"), "GeographicToGeocentric", ref, 6,
         "Ellipsoid \"E\": InverseFlattening \"abc\" is not a number"},
        {p("SemiMajorAxes", "0") + f, "GeographicToGeocentric", ref, 5,
         "Ellipsoid \"E\": SemiMajorAxes \"0\" is not a finite number "
         "greater than 0"},
        {p("SemiMajorAxes", "-6378137") + f, "GeographicToGeocentric", ref, 5,
         "Ellipsoid \"E\": SemiMajorAxes \"-6378137\" is not a finite number "
         "greater than 0"},
        {p("SemiMajorAxes", "1e999") + f, "GeographicToGeocentric", ref, 5,
         "Ellipsoid \"E\": SemiMajorAxes \"1e999\" is not a finite number "
         "greater than 0"},
        {f, "GeographicToGeocentric", ref, 4,
         "Ellipsoid \"E\": SemiMajorAxes is missing"},
        {a + p("InverseFlattening", "0.5"), "GeographicToGeocentric", ref, 6,
         "Ellipsoid \"E\": InverseFlattening \"0.5\" is neither 0 nor at "
         "least 1"},
        {a + p("InverseFlattening", "-297"), "GeographicToGeocentric", ref, 6,
         "Ellipsoid \"E\": InverseFlattening \"-297\" is neither 0 nor at "
         "least 1"},
        {a + f, "TransverseMercatorForward",
         ref + p("ScaleFactorAtNaturalOrigin", "0"), 11,
         "TransverseMercatorForward \"s\": ScaleFactorAtNaturalOrigin \"0\" "
         "is not greater than 0"},
        {a + f, "TransverseMercatorReverse",
         ref + p("ScaleFactorAtNaturalOrigin", "-0.9996"), 11,
         "TransverseMercatorReverse \"s\": ScaleFactorAtNaturalOrigin "
         "\"-0.9996\" is not greater than 0"},
        {a + f, "TransverseMercatorReverse", ref, 9,
         "TransverseMercatorReverse \"s\": ScaleFactorAtNaturalOrigin is "
         "missing"},
        {a + f, "TransverseMercatorForward",
         ref + k0 + p("FalseEasting", "500000 m"), 12,
         "TransverseMercatorForward \"s\": FalseEasting \"500000 m\" is not a "
         "number"},
        {a + f, "CassiniSoldnerForward",
         ref + p("LongitudeOfNaturalOrigin", "0x10"), 11,
         "CassiniSoldnerForward \"s\": LongitudeOfNaturalOrigin \"0x10\" is "
         "not a number"},
        {a + f, "CassiniSoldnerReverse", p("RefEllipsoid", "Bessel"), 10,
         "CassiniSoldnerReverse \"s\": RefEllipsoid \"Bessel\" names no "
         "Ellipsoid"},
        {a + f, "AffineGeneralParametricTransformation",
         p("A1", "1") + p("B2", "1,5"), 11,
         "AffineGeneralParametricTransformation \"s\": B2 \"1,5\" is not a "
         "number"},
        {a + f, "AffineGeneralParametricTransformation", p("C3", "inf"), 10,
         "AffineGeneralParametricTransformation \"s\": C3 \"inf\" is not a "
         "number"},
        {a + f, "PositionVector7Parameter", p("XaxisRotation", "nan"), 10,
         "PositionVector7Parameter \"s\": XaxisRotation \"nan\" is not a "
         "number"},
        {a + f, "AbridgedMolodensky",
         p("SourceEllipsoid", "E") + p("XaxisTranslation", "-87 m"), 11,
         "AbridgedMolodensky \"s\": XaxisTranslation \"-87 m\" is not a "
         "number"},
        {a + f, "AbridgedMolodensky", p("SourceEllipsoid", "E"), 9,
         "AbridgedMolodensky \"s\": TargetEllipsoid is missing"},
        {a + f, "NTv2GridShift", p("Direction", "Reverse"), 9,
         "NTv2GridShift \"s\": GridFile is missing"},
    };
    const std::string points = (root_ / "points.txt").string();
    const std::string output = (root_ / "out.txt").string();
    kavrotest::writeFile(points, "1 2 3 A\n");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.problem);
        const std::string script = writeScript(
            "values.xml", "  <Ellipsoid Name=\"E\">\n" + c.ellipsoid +
                              "  </Ellipsoid>\n  <Transformation Name=\"s\">\n"
                              "    <" +
                              c.operation + ">\n" + c.parameters + "    </" +
                              c.operation + ">\n  </Transformation>\n");
        const KavroRun r =
            run({"-FT", "TXT", "-IF", points, "-OF", output, "-TS", script});
        EXPECT_EQ(r.out, kBanner + kScriptError);
        EXPECT_EQ(r.err, "Transformation script \"" + script + "\", line " +
                             std::to_string(c.line) + ", " + c.problem + "\n");
        EXPECT_EQ(r.status, 0);
        EXPECT_FALSE(fs::exists(output));
    }
}

// Every script that ships and every example of the documentation loads: the
// checks refuse no value that a script written by the book holds. The
// national grid that some scripts name is licensed; a stand-in of that name
// takes its place.
TEST_F(ProgramTest, ShippedScriptsAndDocumentedExamplesLoad) {
    std::vector<fs::path> scripts;
    for (const auto &entry :
         fs::directory_iterator(fs::path(KAVRO_SOURCE_DIR) / "data/script"))
        if (entry.path().extension() == ".xml")
            scripts.push_back(entry.path());
    int example = 0;
    for (const auto &entry :
         fs::directory_iterator(fs::path(KAVRO_SOURCE_DIR) / "docs")) {
        if (entry.path().extension() != ".md")
            continue;
        const std::string text = kavrotest::readFile(entry.path());
        for (std::size_t at = text.find("```xml\n"); at != std::string::npos;
             at = text.find("```xml\n", at + 1)) {
            const std::size_t start = at + 7;
            const fs::path file =
                root_ / ("example" + std::to_string(++example) + ".xml");
            kavrotest::writeFile(
                file, text.substr(start, text.find("```", start) - start));
            scripts.push_back(file);
        }
    }
    ASSERT_GE(example, 2);
    fs::create_directories(root_ / "grids");
    kavrotest::writeFile(root_ / "grids" / kavrotest::kItalianGridName,
                         kavrotest::italianTestGrid());
    ::setenv("KAVRO_GRID_PATH", (root_ / "grids").c_str(), 1);
    const std::string points = (root_ / "points.txt").string();
    kavrotest::writeFile(points, "0.2 0.8 0 A\n");
    for (const fs::path &script : scripts) {
        SCOPED_TRACE(script.string());
        const KavroRun r =
            run({"-FT", "TXT", "-IF", points, "-OF",
                 (root_ / "out.txt").string(), "-TS", script.string()});
        EXPECT_EQ(r.err, "");
        EXPECT_NE(r.out.find("Script description:"), std::string::npos);
        EXPECT_EQ(r.status, 1);
    }
    ::unsetenv("KAVRO_GRID_PATH");
    EXPECT_GE(scripts.size(), 12u + 2u);
}

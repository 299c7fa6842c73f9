#include "TransformationScript.h"
#include "NTv2GridShift.h"
#include "NTv2TestGrids.h"
#include "OperationFactory.h"
#include "ScriptErrorHandler.h"
#include "ScriptTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
using namespace std::string_literals;
namespace fs = std::filesystem;

using kavrotest::contains;

namespace {

// A script that names the shipped grammar, around body.
std::string script(const std::string &body) {
    return kavrotest::scriptText(body);
}

// The same with a grammar that takes any content: for documents that are
// valid but that the loader cannot use.
std::string laxScript(const std::string &root, const std::string &body) {
    return "<" + root +
           R"( xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"
    xsi:noNamespaceSchemaLocation="Lax.xsd">
)" + body + "</" +
           root + ">\n";
}

const char *const kInternational1924 =
    R"(  <Ellipsoid Name="International 1924">
    <SemiMajorAxes>6378388</SemiMajorAxes>
    <InverseFlattening>297</InverseFlattening>
  </Ellipsoid>
)";

std::string unitsStep(const std::string &name, const std::string &in,
                      const std::string &out) {
    return "  <Transformation Name=\"" + name + "\">\n    <UnitsConversion>" +
           "<In>" + in + "</In><Out>" + out + "</Out></UnitsConversion>\n" +
           "  </Transformation>\n";
}

struct LoadResult {
    bool loaded;
    // What the parser wrote to the error stream, then the refusal's line as
    // the program prints it.
    std::string errors;
};

// Scripts are written into a fresh folder under the temporary folder, with
// the shipped grammar beside them.
class TransformationScriptTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = kavrotest::freshFolder("kavro-script-test-");
        kavrotest::copyGrammar(folder_);
        write("Lax.xsd", kavrotest::kLaxGrammar);
    }
    void TearDown() override { kavrotest::removeFolder(folder_); }

    std::string write(const std::string &name, const std::string &content) {
        const fs::path file = folder_ / name;
        fs::create_directories(file.parent_path());
        kavrotest::writeFile(file, content);
        return file.string();
    }

    LoadResult load(const std::string &name, const std::string &content) {
        path_ = write(name, content);
        return loadPath();
    }
    LoadResult loadPath() {
        CaptureStderr();
        const bool loaded = script_.load();
        std::string errors = GetCapturedStderr();
        if (script_.refusal())
            errors += script_.refusal()->text() + "\n";
        return {loaded, errors};
    }

    fs::path folder_;
    std::string path_;
    TransformationScript script_{path_};
};
} // namespace

TEST_F(TransformationScriptTest, DefaultsAndAnEmptyChain) {
    const LoadResult r = load("plain.xml", script(kInternational1924));
    ASSERT_TRUE(r.loaded) << r.errors;
    EXPECT_EQ(r.errors, "");
    EXPECT_EQ(script_.description(), "No description for this script");
    EXPECT_EQ(script_.version(), "0.0");
    EXPECT_TRUE(script_.chain().empty());
    Point p{{1.25, -2.5}, 3};
    script_.transformPoint(p);
    EXPECT_EQ(p.x, 1.25);
    EXPECT_EQ(p.y, -2.5);
    EXPECT_EQ(p.z, 3);
}

// A later Description counts; text reaches the caller as UTF-8.
TEST_F(TransformationScriptTest, HeaderReadsTheLaterElement) {
    const LoadResult r = load("header.xml", script(R"(
  <Description>first</Description>
  <KAVROVersion>1.0</KAVROVersion>
  <Description>Gauss-Boaga → UTM, äö</Description>
)"));
    ASSERT_TRUE(r.loaded) << r.errors;
    EXPECT_EQ(script_.description(), "Gauss-Boaga → UTM, äö");
    EXPECT_EQ(script_.version(), "1.0");
}

// An ellipsoid that no operation names is prepared all the same; of two with
// one name the later counts, and so does a later duplicate parameter.
TEST_F(TransformationScriptTest, EllipsoidsArePreparedAndTheLaterOneCounts) {
    const LoadResult r = load("ellipsoids.xml", script(kInternational1924 + R"(
  <Ellipsoid Name="Sphere"><SemiMajorAxes>1</SemiMajorAxes></Ellipsoid>
  <Ellipsoid Name="Sphere">
    <SemiMajorAxes>6371000</SemiMajorAxes>
    <SemiMajorAxes>6371007</SemiMajorAxes>
  </Ellipsoid>
  <Ellipsoid><SemiMajorAxes>2</SemiMajorAxes></Ellipsoid>
)"s));
    ASSERT_TRUE(r.loaded) << r.errors;
    EXPECT_EQ(script_.ellipsoidCount(), 3u);
    const Ellipsoid *hayford = script_.ellipsoid("International 1924");
    ASSERT_NE(hayford, nullptr);
    EXPECT_NEAR(hayford->eccentricitySquared(), 0.006722670022333322, 1e-17);
    ASSERT_NE(script_.ellipsoid("Sphere"), nullptr);
    EXPECT_EQ(script_.ellipsoid("Sphere")->semiMajorAxis(), 6371007);
    ASSERT_NE(script_.ellipsoid(""), nullptr); // no Name reads as ""
    EXPECT_EQ(script_.ellipsoid("")->semiMajorAxis(), 2);
}

// The two factors of the conversion are not inverses, so the result tells
// the order: degrees -> radians -> degrees gives 180.00000000000006, the
// other way round something else.
TEST_F(TransformationScriptTest, StepsRunInDocumentOrder) {
    const LoadResult r =
        load("order.xml", script(unitsStep("b", "DecimalDegree", "Radian") +
                                 "  <!-- a comment between steps -->\n" +
                                 unitsStep("a", "Radian", "DecimalDegree")));
    ASSERT_TRUE(r.loaded) << r.errors;
    ASSERT_EQ(script_.chain().size(), 2u);
    EXPECT_EQ(script_.chain()[0].name, "b");
    EXPECT_EQ(script_.chain()[1].name, "a");
    Point p{{180, 90}, 7};
    script_.transformPoint(p);
    EXPECT_EQ(p.x, 180.00000000000006);
    EXPECT_EQ(p.z, 7);
}

TEST_F(TransformationScriptTest, OperationParametersLaterValueCounts) {
    const LoadResult r = load("duplicate.xml", script(R"(
  <Transformation Name="only">
    <UnitsConversion>
      <In>Radian</In><!-- skipped -->
      <Out>Radian</Out>
      <In>DecimalDegree</In>
    </UnitsConversion>
  </Transformation>
)"));
    ASSERT_TRUE(r.loaded) << r.errors;
    Point p{{180, 90}, 7};
    script_.transformPoint(p);
    EXPECT_EQ(p.x, 3.141592653589794);
}

// Steps that refer to one ellipsoid share the one object the script owns.
TEST_F(TransformationScriptTest, StepsShareTheirEllipsoid) {
    if (findOperationKind("GeographicToGeocentric") == nullptr ||
        findOperationKind("GeocentricToGeographic") == nullptr)
        GTEST_SKIP() << "the geocentric conversions are not built yet";
    const LoadResult r = load("shared.xml", script(kInternational1924 + R"(
  <Transformation>
    <GeographicToGeocentric><RefEllipsoid>International 1924</RefEllipsoid>
    </GeographicToGeocentric>
  </Transformation>
  <Transformation>
    <GeocentricToGeographic><RefEllipsoid>International 1924</RefEllipsoid>
    </GeocentricToGeographic>
  </Transformation>
)"s));
    ASSERT_TRUE(r.loaded) << r.errors;
    ASSERT_EQ(script_.chain().size(), 2u);
    for (const ChainStep &step : script_.chain()) {
        const auto *operation =
            dynamic_cast<const EllipsoidOperation *>(step.operation.get());
        ASSERT_NE(operation, nullptr);
        EXPECT_EQ(operation->refEllipsoid(),
                  script_.ellipsoid("International 1924"));
    }
}

// The shipped grammar takes every operation with every parameter, and the
// factory builds each of them.
TEST_F(TransformationScriptTest, GrammarAndFactoryKnowEveryOperation) {
    const std::string tm =
        "<RefEllipsoid>International 1924</RefEllipsoid>"
        "<LatitudeOfNaturalOrigin>0</LatitudeOfNaturalOrigin>"
        "<LongitudeOfNaturalOrigin>0.15707963267948966"
        "</LongitudeOfNaturalOrigin><FalseEasting>1500000"
        "</FalseEasting><FalseNorthing>0</FalseNorthing>";
    const std::string k0 =
        "<ScaleFactorAtNaturalOrigin>0.9996</ScaleFactorAtNaturalOrigin>";
    const std::string ref = "<RefEllipsoid>International 1924</RefEllipsoid>";
    const std::string shift = "<XaxisTranslation>-87</XaxisTranslation>"
                              "<YaxisTranslation>-98</YaxisTranslation>"
                              "<ZaxisTranslation>-121</ZaxisTranslation>";
    std::string affine;
    for (const char row : {'A', 'B', 'C'})
        for (int i = 0; i < 4; ++i)
            affine += std::string("<") + row + char('0' + i) + ">1</" + row +
                      char('0' + i) + ">";
    const std::pair<const char *, std::string> operations[] = {
        {"UnitsConversion", "<In>DecimalDegree</In><Out>Radian</Out>"},
        {"GeographicToGeocentric", ref},
        {"PositionVector7Parameter",
         shift + "<XaxisRotation>0</XaxisRotation><YaxisRotation>0"
                 "</YaxisRotation><ZaxisRotation>0</ZaxisRotation>"
                 "<ScaleDifference>0</ScaleDifference>"},
        {"GeocentricToGeographic", ref},
        {"AbridgedMolodensky",
         "<SourceEllipsoid>International 1924</SourceEllipsoid>"
         "<TargetEllipsoid>International 1924</TargetEllipsoid>" +
             shift},
        {"TransverseMercatorForward", tm + k0},
        {"TransverseMercatorReverse", k0 + tm},
        {"CassiniSoldnerForward", tm},
        {"CassiniSoldnerReverse", tm},
        {"AffineGeneralParametricTransformation", affine},
    };
    std::string steps = kInternational1924;
    for (const auto &[name, parameters] : operations)
        steps += "<Transformation Name=\"" + std::string(name) + "\">\n<" +
                 name + ">" + parameters + "</" + name +
                 ">\n</Transformation>\n";
    const LoadResult r = load("every-operation.xml", script(steps));
    ASSERT_TRUE(r.loaded) << r.errors;
    ASSERT_EQ(script_.chain().size(), std::size(operations));
    for (std::size_t i = 0; i < std::size(operations); ++i)
        EXPECT_EQ(script_.chain()[i].name, operations[i].first);
}

// Parse failures: the parser's messages, then false, and nothing built.
TEST_F(TransformationScriptTest, ParseFailuresReportAndFail) {
    const std::pair<const char *, std::string> cases[] = {
        {"no-grammar.xml", "<TransformationScript><Description>x</Description>"
                           "</TransformationScript>"},
        {"malformed.xml", script("  <Description>x</Descr>\n")},
        {"misspelt.xml", script("  <Transformation>\n    <UnitConversion/>\n"
                                "  </Transformation>\n")},
        {"not-xml.xml", "KAVRO"},
    };
    for (const auto &[name, content] : cases) {
        SCOPED_TRACE(name);
        const LoadResult r = load(name, content);
        EXPECT_FALSE(r.loaded);
        EXPECT_TRUE(contains(r.errors, "Error at file \"" + path_));
        EXPECT_TRUE(script_.chain().empty());
    }
}

// The handler's lines as people and tools read them: file, line, column,
// then the message indented by three blanks.
TEST_F(TransformationScriptTest, ErrorLinesNameFileLineAndColumn) {
    const LoadResult r = load("no-grammar.xml", "<?xml version=\"1.0\"?>\n"
                                                "<TransformationScript/>\n");
    EXPECT_FALSE(r.loaded);
    EXPECT_EQ(r.errors, "Error at file \"" + path_ +
                            "\", line 2, column 24\n"
                            "   Message: no declaration found for element "
                            "'TransformationScript'\n");

    // A long document without its grammar: the first errors and a count.
    std::string elements;
    for (int i = 0; i < 1000; ++i)
        elements += "<e/>";
    const LoadResult flood =
        load("flood.xml",
             "<TransformationScript>" + elements + "</TransformationScript>\n");
    EXPECT_FALSE(flood.loaded);
    EXPECT_EQ(std::count(flood.errors.begin(), flood.errors.end(), '\n'),
              2 * ScriptErrorHandler::kMaxPrinted + 1);
    EXPECT_TRUE(contains(flood.errors, "(951 further errors not shown)\n"));
}

TEST_F(TransformationScriptTest, MissingOrUnreadableFileFails) {
    path_ = (folder_ / "absent.xml").string();
    EXPECT_TRUE(contains(loadPath().errors,
                         "unable to open primary document entity '" + path_));
    path_ = folder_.string();
    EXPECT_EQ(loadPath().errors,
              "Fatal Error at file \"" + path_ + "\": not a regular file\n");
    path_.clear();
    EXPECT_EQ(loadPath().errors, "Transformation script \"\": no script file "
                                 "given (option -TS)\n");
}

// Documents that may pass a grammar but that the loader cannot use: one
// line on the error stream that names the file, the place and the problem.
TEST_F(TransformationScriptTest, UnusableDocumentsFailWithOneLine) {
    struct Case {
        const char *name;
        std::string content;
        const char *where, *problem;
    };
    const Case cases[] = {
        {"no-root.xml", laxScript("Other", "<Description>x</Description>"),
         ", line 2: the document", "no TransformationScript element"},
        {"one-child.xml",
         script("<Transformation Name=\"tight\"><UnitsConversion>"
                "<In>Radian</In></UnitsConversion></Transformation>"),
         ", line 4, Transformation \"tight\"", "fewer than two child nodes"},
        {"comment-first.xml",
         script("<Transformation Name=\"c\"><!-- note -->\n"
                "<UnitsConversion/></Transformation>"),
         ", line 4, Transformation \"c\"", "not an operation element"},
        {"empty-description.xml", script("<Description/>"),
         ", line 4, Description", "no content"},
        {"empty-version.xml", script("\n<KAVROVersion></KAVROVersion>"),
         ", line 5, KAVROVersion", "no content"},
        {"empty-parameter.xml",
         script("<Transformation Name=\"u\">\n<UnitsConversion>\n<In/>"
                "</UnitsConversion></Transformation>"),
         ", line 6, UnitsConversion \"u\"", ": In has no value"},
        {"empty-ellipsoid-parameter.xml",
         script("<Ellipsoid Name=\"E\"><SemiMajorAxes/></Ellipsoid>"),
         ", line 4, Ellipsoid \"E\"", ": SemiMajorAxes has no value"},
        {"unknown-operation.xml",
         laxScript("TransformationScript", "<Transformation Name=\"x\">\n"
                                           "<Teleport/></Transformation>"),
         ", line 4, Transformation \"x\"", "unknown operation \"Teleport\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const LoadResult r = load(c.name, c.content);
        EXPECT_FALSE(r.loaded);
        EXPECT_EQ(r.errors.rfind(
                      "Transformation script \"" + path_ + '"' + c.where, 0),
                  0u)
            << r.errors;
        EXPECT_TRUE(contains(r.errors, c.problem));
        EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1);
        EXPECT_TRUE(script_.chain().empty());
    }
}

// A system's projection file is read when the script loads; what it cannot
// use refuses the script in one line that names the file.
TEST_F(TransformationScriptTest, SystemsAreReadWhenTheScriptLoads) {
    const std::string data = KAVRO_SOURCE_DIR "/data/";
    write("own.prj", kavrotest::readFile(data + "gbo_west.prj"));
    write("own.wkt", kavrotest::readFile(data + "gbo_west.wkt"));
    write("sub/moved.prj", kavrotest::readFile(data + "utm_etrs89.prj"));
    const auto system = [](const std::string &element,
                           const std::string &content) {
        std::string text = '<' + element + '>';
        text += content;
        text += "</" + element + ">\n";
        return text;
    };
    ASSERT_TRUE(load("named.xml",
                     script(system("SourceSystem", "<EPSG>3003</EPSG>"
                                                   "<ProjectionFile> own.prj "
                                                   "</ProjectionFile>") +
                            system("TargetSystem",
                                   "<Name>moved</Name><ProjectionFile>" +
                                       (folder_ / "sub/moved.prj").string() +
                                       "</ProjectionFile>")))
                    .loaded);
    ASSERT_NE(script_.sourceSystem(), nullptr);
    EXPECT_EQ(script_.sourceSystem()->label, "EPSG:3003");
    EXPECT_EQ(script_.sourceSystem()->name, "Monte Mario / Italy zone 1");
    EXPECT_EQ(script_.sourceSystem()->projectionFile,
              (folder_ / "own.prj").string());
    EXPECT_EQ(script_.targetSystem()->label, "moved");
    EXPECT_EQ(script_.targetSystem()->name, "ETRS 1989 UTM Zone 32N");
    EXPECT_EQ(script_.targetSystem()->ogcWkt, "");
    EXPECT_EQ(script_.sourceContradiction(
                  kavrotest::readFile(data + "gbo_east.prj"), "its .prj"),
              "its .prj says Monte Mario Italy 2, the script converts from "
              "Monte Mario / Italy zone 1");

    write("garbage.prj", "PROJCS[\"half");
    write("long.prj", std::string(kMaxWktLength + 1, ' '));
    write("other.prj", kavrotest::readFile(data + "gbo_west.prj"));
    write("other.wkt", kavrotest::readFile(data + "gboshift_west.wkt"));
    const std::string own = "<ProjectionFile>own.prj</ProjectionFile>";
    struct Case {
        std::string content, refusal;
    };
    const Case cases[] = {
        {script(system("SourceSystem", "<Name>x</Name><ProjectionFile>"
                                       "none.prj</ProjectionFile>")),
         ", line 4, SourceSystem \"x\": ProjectionFile \"none.prj\" is not "
         "found in " +
             folder_.string() + ", " + folder_.parent_path().string()},
        {script(system("TargetSystem", "<EPSG>1</EPSG><ProjectionFile>"
                                       "garbage.prj</ProjectionFile>")),
         ", line 4, TargetSystem \"EPSG:1\": ProjectionFile \"garbage.prj\" "
         "(" +
             (folder_ / "garbage.prj").string() +
             ") holds no coordinate system in well-known text"},
        {script(system("TargetSystem", "<EPSG>1</EPSG>\n<ProjectionFile>"
                                       "long.prj</ProjectionFile>")),
         ", line 5, TargetSystem \"EPSG:1\": ProjectionFile \"long.prj\" (" +
             (folder_ / "long.prj").string() +
             ") is longer than 65536 bytes, no projection file"},
        {script(system("SourceSystem", "<EPSG>1</EPSG><ProjectionFile>"
                                       "other.prj</ProjectionFile>")),
         ", line 4, SourceSystem \"EPSG:1\": the OGC definition " +
             (folder_ / "other.wkt").string() +
             " describes another system than " +
             (folder_ / "other.prj").string() +
             ": false easting 0 m against 1500000 m"},
        {script(system("SourceSystem", "<EPSG>1</EPSG>" + own) + "\n" +
                system("SourceSystem", "<EPSG>2</EPSG>" + own)),
         ", line 6, SourceSystem: the element is written twice (a script has "
         "one SourceSystem)"},
        // What a grammar of the user's own may let through.
        {laxScript(
             "TransformationScript",
             system("SourceSystem", "<EPSG>1</EPSG><Name>x</Name>" + own)),
         ", line 3, SourceSystem: gives both EPSG and Name (one of them names "
         "the system)"},
        {laxScript("TransformationScript", system("TargetSystem", own)),
         ", line 3, TargetSystem: names no system (EPSG or Name is missing)"},
        {laxScript("TransformationScript",
                   system("TargetSystem", "<EPSG>EPSG:3003</EPSG>" + own)),
         ", line 3, TargetSystem: EPSG \"EPSG:3003\" is not an EPSG code (a "
         "whole number)"},
        {laxScript("TransformationScript",
                   system("TargetSystem", "<Name>y</Name>")),
         ", line 3, TargetSystem \"y\": ProjectionFile is missing"},
        {laxScript("TransformationScript",
                   system("TargetSystem", "<Name>y</Name><ProjectionFile/>")),
         ", line 3, TargetSystem: ProjectionFile has no value"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.refusal);
        const LoadResult r = load("refused.xml", c.content);
        EXPECT_FALSE(r.loaded);
        EXPECT_TRUE(contains(r.errors, "Transformation script \"" + path_ +
                                           '"' + c.refusal));
        EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1);
        EXPECT_EQ(script_.sourceSystem(), nullptr);
        EXPECT_EQ(script_.targetSystem(), nullptr);
    }
}

TEST_F(TransformationScriptTest, ReferenceToAnUnknownEllipsoidFails) {
    if (findOperationKind("TransverseMercatorForward") == nullptr)
        GTEST_SKIP() << "the transverse Mercator is not built yet";
    const LoadResult r =
        load("no-ellipsoid.xml", script(kInternational1924 + R"(
  <Transformation Name="tm">
    <TransverseMercatorForward>
      <ScaleFactorAtNaturalOrigin>1</ScaleFactorAtNaturalOrigin>
      <RefEllipsoid>Bessel 1841</RefEllipsoid>
    </TransverseMercatorForward>
  </Transformation>
)"s));
    EXPECT_FALSE(r.loaded);
    EXPECT_EQ(r.errors, "Transformation script \"" + path_ +
                            "\", line 12, TransverseMercatorForward \"tm\": "
                            "RefEllipsoid \"Bessel 1841\" names no "
                            "Ellipsoid\n");
}

// Warnings of the parser (here from a DTD that declares an attribute twice)
// are neither shown nor counted. Internal entities read as their text.
TEST_F(TransformationScriptTest, WarningsAreSilentAndEntitiesReadAsText) {
    const LoadResult r = load("warned.xml", R"(<?xml version="1.0"?>
<!DOCTYPE TransformationScript [
<!ELEMENT TransformationScript (Description)>
<!ATTLIST TransformationScript a CDATA #IMPLIED>
<!ATTLIST TransformationScript a CDATA #IMPLIED>
<!ATTLIST Undeclared b CDATA #IMPLIED>
<!ELEMENT Description (#PCDATA)>
<!ENTITY zone "UTM zone 32">
]>
<TransformationScript><Description>&zone; &amp; more</Description>
</TransformationScript>
)");
    EXPECT_TRUE(r.loaded);
    EXPECT_EQ(r.errors, "");
    EXPECT_EQ(script_.description(), "UTM zone 32 & more");
}

// The grammar is found relative to the script, not to the working folder,
// also as a file URL or as a local DTD.
TEST_F(TransformationScriptTest, GrammarsLoadFromLocalFiles) {
    write("grammar.dtd", "<!ELEMENT TransformationScript (Description)>\n"
                         "<!ELEMENT Description (#PCDATA)>\n");
    const std::string head =
        "<TransformationScript xmlns:xsi=\"http://www.w3.org/2001/"
        "XMLSchema-instance\" xsi:noNamespaceSchemaLocation=\"";
    const std::string tail =
        "\"><Description>ok</Description></TransformationScript>";
    const std::pair<const char *, std::string> cases[] = {
        {"sub/dir/relative.xml",
         head + "../../TransformationScript.xsd" + tail},
        {"file-url.xml", head + "file://" + folder_.string() +
                             "/TransformationScript.xsd" + tail},
        {"dtd.xml", "<!DOCTYPE TransformationScript SYSTEM \"grammar.dtd\">"
                    "<TransformationScript><Description>ok</Description>"
                    "</TransformationScript>"},
    };
    for (const auto &[name, content] : cases) {
        SCOPED_TRACE(name);
        const LoadResult r = load(name, content);
        EXPECT_TRUE(r.loaded) << r.errors;
        EXPECT_EQ(script_.description(), "ok");
    }
}

// A script is a file from the user: nothing is fetched from the network, no
// other file is pulled into it, nothing is read that never ends.
TEST_F(TransformationScriptTest, HostileScriptsAreRefused) {
    const std::string secret = write("secret.txt", "secret");
    const std::string schemaAt =
        "<TransformationScript xmlns:xsi=\"http://www.w3.org/2001/"
        "XMLSchema-instance\" xsi:noNamespaceSchemaLocation=";
    const std::pair<std::string, const char *> cases[] = {
        {schemaAt + "\"http://127.0.0.1:9/g.xsd\"/>",
         "refused to load \"http://127.0.0.1:9/g.xsd\": only local files"},
        {"<!DOCTYPE TransformationScript SYSTEM \"ftp://127.0.0.1:9/g.dtd\">"
         "<TransformationScript/>",
         "refused to load \"ftp://127.0.0.1:9/g.dtd\": only local files"},
        {"<!DOCTYPE TransformationScript [<!ENTITY s SYSTEM \"" + secret +
             "\">]>" + schemaAt +
             "\"TransformationScript.xsd\"><Description>&s;</Description>"
             "</TransformationScript>",
         "external entities are not loaded"},
        {schemaAt + "\"/dev/zero\"/>",
         "refused to load \"/dev/zero\": not a regular file"},
        {"<!DOCTYPE TransformationScript SYSTEM \"/dev/stdin\">"
         "<TransformationScript/>",
         "refused to load \"/dev/stdin\": not a regular file"},
        {script(std::string(300 * 1024, ' ')), "larger than 256 KiB"},
    };
    for (const auto &[content, message] : cases) {
        SCOPED_TRACE(message);
        const LoadResult r = load("hostile.xml", content);
        EXPECT_FALSE(r.loaded);
        EXPECT_TRUE(contains(r.errors, message));
        EXPECT_NE(script_.description(), "secret");
    }
}

TEST_F(TransformationScriptTest, EntityExpansionIsBounded) {
    std::string entities = "<!ENTITY e0 \"lol lol lol lol lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        const std::string previous = "&e" + std::to_string(i - 1) + ";";
        std::string value;
        for (int k = 0; k < 10; ++k)
            value += previous;
        entities += "<!ENTITY e" + std::to_string(i) + " \"" + value + "\">\n";
    }
    // In the script, and in the grammar that the script names (which the
    // library reads with a parser of its own).
    write("laughs.xsd",
          "<!DOCTYPE xs:schema [\n" + entities +
              "]>\n<xs:schema "
              "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">"
              "<xs:annotation><xs:documentation>&e9;</xs:documentation>"
              "</xs:annotation><xs:element name=\"TransformationScript\"/>"
              "</xs:schema>\n");
    const std::string documents[] = {
        "<!DOCTYPE TransformationScript [\n" + entities +
            "]>\n<TransformationScript><Description>&e9;"
            "</Description></TransformationScript>\n",
        "<TransformationScript xmlns:xsi=\"http://www.w3.org/2001/"
        "XMLSchema-instance\" xsi:noNamespaceSchemaLocation=\"laughs.xsd\"/>",
    };
    for (const std::string &document : documents) {
        const auto start = std::chrono::steady_clock::now();
        const LoadResult r = load("laughs.xml", document);
        EXPECT_FALSE(r.loaded);
        EXPECT_TRUE(contains(r.errors, "entity expansions")) << r.errors;
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  std::chrono::seconds(5));
    }
}

// Grid steps: a relative GridFile is found beside the script, two steps
// naming one file share the grid read once, a point outside fails only
// itself, and a grid that cannot be read refuses the script.
TEST_F(TransformationScriptTest, GridStepsShareTheirGridAndReportFailures) {
    write("grids/g.gsb", kavrotest::ntv2File({kavrotest::TestSubGrid{}}));
    const auto step = [](const char *grid, const char *direction) {
        return "  <Transformation Name=\"grid\">\n    <NTv2GridShift>"s +
               "<GridFile>" + grid + "</GridFile><Direction>" + direction +
               "</Direction></NTv2GridShift>\n  </Transformation>\n";
    };
    LoadResult r = load("shift.xml", script(step("grids/g.gsb", "Forward") +
                                            step("grids/g.gsb", "Reverse")));
    ASSERT_TRUE(r.loaded) << r.errors;
    ASSERT_EQ(script_.chain().size(), 2u);
    const auto *first =
        dynamic_cast<const NTv2GridShift *>(script_.chain()[0].operation.get());
    const auto *second =
        dynamic_cast<const NTv2GridShift *>(script_.chain()[1].operation.get());
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->grids(), second->grids());
    EXPECT_EQ(first->gridPath(), (folder_ / "grids" / "g.gsb").string());

    constexpr double kDegree = 0.017453292519943295;
    Point outside{{20 * kDegree, 45.5 * kDegree}, 0};
    EXPECT_FALSE(script_.transformPoint(outside));
    EXPECT_EQ(script_.takePointFailure(),
              "lies outside the grid " + first->gridPath());
    Point inside{{10.5 * kDegree, 45.5 * kDegree}, 0};
    EXPECT_TRUE(script_.transformPoint(inside));
    EXPECT_NEAR(inside.x, 10.5 * kDegree, 1e-12);
    EXPECT_NEAR(inside.y, 45.5 * kDegree, 1e-12);

    write("grids/cut.gsb",
          kavrotest::ntv2File({kavrotest::TestSubGrid{}}).substr(0, 400));
    r = load("cut.xml", script(step("grids/cut.gsb", "Forward")));
    EXPECT_FALSE(r.loaded);
    EXPECT_TRUE(script_.chain().empty());
    EXPECT_EQ(r.errors, "Transformation script \"" + path_ +
                            "\", line 5, NTv2GridShift \"grid\": GridFile "
                            "\"grids/cut.gsb\" is refused: the grid file \"" +
                            (folder_ / "grids" / "cut.gsb").string() +
                            "\" ends early, in the nodes of sub-grid "
                            "\"GRID\"\n");
}

// The loader checks exactly the numbers that the operations read: a number
// that prepare() reads but that is not declared would again read "1,5" as
// 0 without a word. What prepare() asks for shows in the map, since a read
// adds an absent name.
TEST(OperationFactoryTest, CheckedNumbersAreTheNumbersThatPrepareReads) {
    Ellipsoid ellipsoid;
    ellipsoid.parameters().setParameter("SemiMajorAxes", "6378137");
    ellipsoid.parameters().setParameter("InverseFlattening", "298.257");
    ellipsoid.prepare();
    for (const char *kind :
         {"UnitsConversion", "PositionVector7Parameter",
          "AffineGeneralParametricTransformation", "AbridgedMolodensky",
          "TransverseMercatorForward", "TransverseMercatorReverse",
          "CassiniSoldnerForward", "CassiniSoldnerReverse",
          "GeographicToGeocentric", "GeocentricToGeographic"}) {
        SCOPED_TRACE(kind);
        ASSERT_NE(findOperationKind(kind), nullptr);
        std::unique_ptr<Operation> operation = findOperationKind(kind)->make();
        operation->setRefEllipsoid(&ellipsoid);
        operation->setSourceEllipsoid(&ellipsoid);
        operation->setTargetEllipsoid(&ellipsoid);
        operation->prepare();
        const auto numbers = operation->numberParameters();
        for (const NumberParameter &number : numbers)
            EXPECT_TRUE(operation->parameters().contains(number.name))
                << number.name << " is checked but not read";
        // In and Out are the only texts that prepare() reads.
        const std::size_t texts = operation->parameters().contains("In") +
                                  operation->parameters().contains("Out");
        EXPECT_EQ(operation->parameters().size(), numbers.size() + texts)
            << "prepare() reads a number that is not checked";
    }
    Ellipsoid probe;
    probe.prepare();
    for (const NumberParameter &number : Ellipsoid::numberParameters())
        EXPECT_TRUE(probe.parameters().contains(number.name));
    EXPECT_EQ(probe.parameters().size(), Ellipsoid::numberParameters().size());
}

// Loading takes time in proportion to the script: when the loader asked the
// library's element list for its length on every turn, the largest script
// (4,500 whole ellipsoids) took 5 s instead of 0.06 s.
TEST_F(TransformationScriptTest, ManyEllipsoidsLoadInLinearTime) {
    std::string ellipsoids;
    for (int i = 0; i < 4500; ++i)
        ellipsoids += "<Ellipsoid><SemiMajorAxes>1</SemiMajorAxes></Ellipsoid>";
    const auto start = std::chrono::steady_clock::now();
    const LoadResult r = load("many.xml", script(ellipsoids));
    const std::chrono::duration<double> took =
        std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(r.loaded) << r.errors;
    EXPECT_LT(took.count(), 1.0);
}

// A batch stops at its first point that a step fails, and names the step
// that failed it first: a point outside the first grid reaches the second
// as NaN, which that grid refuses too. The points before it come out as
// they do one by one.
TEST_F(TransformationScriptTest, ABatchReportsItsFirstFailureByTheFirstStep) {
    kavrotest::TestSubGrid narrow;
    narrow.east = 10.5;
    write("wide.gsb", kavrotest::ntv2File({kavrotest::TestSubGrid{}}));
    write("narrow.gsb", kavrotest::ntv2File({narrow}));
    const auto step = [](const char *grid) {
        return "  <Transformation Name=\"grid\">\n    <NTv2GridShift>"s +
               "<GridFile>" + grid + "</GridFile></NTv2GridShift>\n" +
               "  </Transformation>\n";
    };
    const LoadResult r =
        load("two.xml", script(step("wide.gsb") + step("narrow.gsb")));
    ASSERT_TRUE(r.loaded) << r.errors;
    const std::string wide = (folder_ / "wide.gsb").string();
    const std::string narrowPath = (folder_ / "narrow.gsb").string();

    constexpr double kDegree = 0.017453292519943295;
    const Point inside{{10.2 * kDegree, 45.5 * kDegree}, 0};
    const Point outsideNarrow{{10.8 * kDegree, 45.5 * kDegree}, 0};
    const Point outsideBoth{{20 * kDegree, 45.5 * kDegree}, 0};
    Point alone = inside;
    ASSERT_TRUE(script_.transformPoint(alone));
    struct Case {
        std::vector<Point> batch;
        std::size_t converted;
        std::string reason;
    };
    const Case cases[] = {
        {{inside, outsideNarrow, outsideBoth},
         1,
         "lies outside the grid " + narrowPath},
        {{inside, inside, outsideBoth, outsideNarrow},
         2,
         "lies outside the grid " + wide},
        {{outsideBoth}, 0, "lies outside the grid " + wide},
        {{inside, inside}, 2, ""},
    };
    for (const Case &c : cases) {
        std::vector<Point> points = c.batch;
        ChainStatus status;
        EXPECT_EQ(script_.transformPoints(points, status), c.converted);
        EXPECT_EQ(status.take(), c.reason);
        for (std::size_t i = 0; i < c.converted; ++i) {
            EXPECT_EQ(points[i].x, alone.x);
            EXPECT_EQ(points[i].y, alone.y);
        }
    }
}

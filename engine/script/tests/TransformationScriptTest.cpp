#include "ScriptTestFolder.h"

#include "OperationFactory.h"
#include "TransformationScript.h"

#include <gtest/gtest.h>

#include <chrono>

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {
testing::AssertionResult contains(const std::string &text,
                                  const std::string &part) {
    if (text.find(part) != std::string::npos)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "\"" << part << "\" not in:\n"
                                       << text;
}

testing::AssertionResult startsWith(const std::string &text,
                                    const std::string &start) {
    if (text.compare(0, start.size(), start) == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "does not start with \"" << start << "\":\n"
           << text;
}

const char *const kInternational1924 =
    "  <Ellipsoid Name=\"International 1924\">\n"
    "    <SemiMajorAxes>6378388</SemiMajorAxes>\n"
    "    <InverseFlattening>297</InverseFlattening>\n"
    "  </Ellipsoid>\n";

std::string unitsStep(const std::string &name, const std::string &in,
                      const std::string &out) {
    return "  <Transformation Name=\"" + name + "\">\n    <UnitsConversion>\n" +
           "      <In>" + in + "</In>\n      <Out>" + out + "</Out>\n" +
           "    </UnitsConversion>\n  </Transformation>\n";
}

// A grammar that takes any content, for documents that are valid but that
// the loader cannot use.
const char *const kLaxGrammar =
    "<?xml version=\"1.0\"?>\n"
    "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">\n"
    "  <xs:complexType name=\"Anything\" mixed=\"true\">\n"
    "    <xs:sequence><xs:any processContents=\"skip\" minOccurs=\"0\"\n"
    "        maxOccurs=\"unbounded\"/></xs:sequence>\n"
    "    <xs:anyAttribute processContents=\"skip\"/>\n"
    "  </xs:complexType>\n"
    "  <xs:element name=\"TransformationScript\" type=\"Anything\"/>\n"
    "  <xs:element name=\"Other\" type=\"Anything\"/>\n"
    "</xs:schema>\n";

std::string laxScript(const std::string &root, const std::string &body) {
    return "<?xml version=\"1.0\"?>\n<" + root +
           " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
           " xsi:noNamespaceSchemaLocation=\"Lax.xsd\">\n" +
           body + "</" + root + ">\n";
}

struct LoadResult {
    bool loaded;
    std::string errors; // what went to the error stream
};

class TransformationScriptTest : public testing::Test {
  protected:
    LoadResult load(const std::string &name, const std::string &content) {
        path_ = folder_.write(name, content);
        CaptureStderr();
        const bool loaded = script_.load();
        return {loaded, GetCapturedStderr()};
    }

    ScriptTestFolder folder_;
    std::string path_;
    TransformationScript script_{path_};
};
} // namespace

TEST_F(TransformationScriptTest, DescriptionAndVersionDefaults) {
    const LoadResult r = load("plain.xml", script(""));
    ASSERT_TRUE(r.loaded) << r.errors;
    EXPECT_EQ(r.errors, "");
    EXPECT_EQ(script_.description(), "No description for this script");
    EXPECT_EQ(script_.version(), "0.0");
    EXPECT_TRUE(script_.chain().empty());
}

TEST_F(TransformationScriptTest, HeaderReadsTheLaterElementAndKeepsUtf8) {
    const LoadResult r = load(
        "header.xml", script("  <Description>first</Description>\n"
                             "  <KAVROVersion>1.0</KAVROVersion>\n"
                             "  <Description>Gauss-Boaga \xe2\x86\x92 UTM, "
                             "\xc3\xa4\xc3\xb6</Description>\n"));
    ASSERT_TRUE(r.loaded) << r.errors;
    EXPECT_EQ(script_.description(),
              "Gauss-Boaga \xe2\x86\x92 UTM, \xc3\xa4\xc3\xb6");
    EXPECT_EQ(script_.version(), "1.0");
}

TEST_F(TransformationScriptTest, EmptyChainLeavesPointsUnchanged) {
    ASSERT_TRUE(load("empty.xml", script(kInternational1924)).loaded);
    Point p{{1.25, -2.5}, 3};
    script_.transformPoint(p);
    EXPECT_EQ(p.x, 1.25);
    EXPECT_EQ(p.y, -2.5);
    EXPECT_EQ(p.z, 3);
}

// An ellipsoid that no operation names is prepared all the same; of two with
// one name, the later counts.
TEST_F(TransformationScriptTest, EllipsoidsArePreparedAndTheLaterNameCounts) {
    const LoadResult r = load(
        "ellipsoids.xml", script(std::string(kInternational1924) +
                                 "  <Ellipsoid Name=\"Sphere\">\n"
                                 "    <SemiMajorAxes>1</SemiMajorAxes>\n"
                                 "  </Ellipsoid>\n"
                                 "  <Ellipsoid Name=\"Sphere\">\n"
                                 "    <SemiMajorAxes>6371000</SemiMajorAxes>\n"
                                 "    <SemiMajorAxes>6371007</SemiMajorAxes>\n"
                                 "  </Ellipsoid>\n"
                                 "  <Ellipsoid>\n"
                                 "    <SemiMajorAxes>2</SemiMajorAxes>\n"
                                 "  </Ellipsoid>\n"));
    ASSERT_TRUE(r.loaded) << r.errors;
    EXPECT_EQ(script_.ellipsoidCount(), 3u);
    const Ellipsoid *hayford = script_.ellipsoid("International 1924");
    ASSERT_NE(hayford, nullptr);
    EXPECT_EQ(hayford->semiMajorAxis(), 6378388);
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
    const LoadResult r =
        load("duplicate.xml", script("  <Transformation Name=\"only\">\n"
                                     "    <UnitsConversion>\n"
                                     "      <In>Radian</In><!-- skipped -->\n"
                                     "      <Out>Radian</Out>\n"
                                     "      <In>DecimalDegree</In>\n"
                                     "    </UnitsConversion>\n"
                                     "  </Transformation>\n"));
    ASSERT_TRUE(r.loaded) << r.errors;
    Point p{{180, 90}, 7};
    script_.transformPoint(p);
    EXPECT_EQ(p.x, 3.141592653589794);
    EXPECT_EQ(p.y, 1.570796326794897);
}

// Steps that refer to one ellipsoid share the one object the script owns.
TEST_F(TransformationScriptTest, StepsShareTheirEllipsoid) {
    if (findOperationKind("GeographicToGeocentric") == nullptr ||
        findOperationKind("GeocentricToGeographic") == nullptr)
        GTEST_SKIP() << "the geocentric conversions are not built yet";
    const std::string step =
        "    <RefEllipsoid>International 1924</RefEllipsoid>\n";
    const LoadResult r = load(
        "shared.xml",
        script(std::string(kInternational1924) + "  <Transformation>\n" +
               "    <GeographicToGeocentric>\n" + step +
               "    </GeographicToGeocentric>\n  </Transformation>\n" +
               "  <Transformation>\n    <GeocentricToGeographic>\n" + step +
               "    </GeocentricToGeographic>\n  </Transformation>\n"));
    ASSERT_TRUE(r.loaded) << r.errors;
    ASSERT_EQ(script_.chain().size(), 2u);
    const Ellipsoid *hayford = script_.ellipsoid("International 1924");
    for (const ChainStep &s : script_.chain()) {
        const auto *op =
            dynamic_cast<const EllipsoidOperation *>(s.operation.get());
        ASSERT_NE(op, nullptr);
        EXPECT_EQ(op->refEllipsoid(), hayford);
    }
}

// Parse failures: the parser's messages, then false, and nothing built.
TEST_F(TransformationScriptTest, ParseFailuresReportAndFail) {
    struct Case {
        const char *name;
        std::string content;
        const char *message;
    };
    const Case cases[] = {
        {"no-grammar.xml",
         "<?xml version=\"1.0\"?>\n<TransformationScript>\n"
         "  <Description>x</Description>\n</TransformationScript>\n",
         "Message: no declaration found for element 'TransformationScript'"},
        {"malformed.xml", script("  <Description>x</Descr>\n"),
         "Fatal Error at file \""},
        {"misspelt.xml",
         script("  <Transformation>\n    <UnitConversion/>\n"
                "  </Transformation>\n"),
         "Error at file \""},
        {"not-xml.xml", "KAVRO", "Fatal Error at file \""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const LoadResult r = load(c.name, c.content);
        EXPECT_FALSE(r.loaded);
        EXPECT_TRUE(contains(r.errors, c.message));
        EXPECT_TRUE(contains(r.errors, path_));
        EXPECT_TRUE(script_.chain().empty());
    }
}

TEST_F(TransformationScriptTest, MissingFileFails) {
    path_ = (folder_.path() / "absent.xml").string();
    CaptureStderr();
    EXPECT_FALSE(script_.load());
    EXPECT_TRUE(contains(GetCapturedStderr(), "absent.xml"));
    path_.clear();
    CaptureStderr();
    EXPECT_FALSE(script_.load());
    EXPECT_EQ(GetCapturedStderr(), "Transformation script \"\": no script "
                                   "file given (option -TS)\n");
}

// Documents that may pass a grammar but that the loader cannot use: one
// line on the error stream that names the file, the place and the problem.
TEST_F(TransformationScriptTest, UnusableDocumentsFailWithOneLine) {
    folder_.write("Lax.xsd", kLaxGrammar);
    struct Case {
        const char *name;
        std::string content;
        const char *where;
        const char *problem;
    };
    const Case cases[] = {
        {"no-root.xml", laxScript("Other", "  <Description>x</Description>\n"),
         "", "no TransformationScript element"},
        {"one-child.xml",
         script("  <Transformation Name=\"tight\"><UnitsConversion>"
                "<In>Radian</In></UnitsConversion></Transformation>\n"),
         "Transformation \"tight\"", "fewer than two child nodes"},
        {"comment-first.xml",
         script("  <Transformation Name=\"c\"><!-- note -->\n"
                "    <UnitsConversion/>\n  </Transformation>\n"),
         "Transformation \"c\"", "not an operation element"},
        {"empty-description.xml", script("  <Description/>\n"), "Description",
         "no content"},
        {"empty-version.xml", script("  <KAVROVersion></KAVROVersion>\n"),
         "KAVROVersion", "no content"},
        {"empty-parameter.xml",
         script("  <Transformation Name=\"u\">\n    <UnitsConversion>\n"
                "      <In/>\n    </UnitsConversion>\n  </Transformation>\n"),
         "Transformation \"u\"", "parameter In has no value"},
        {"empty-ellipsoid-parameter.xml",
         script("  <Ellipsoid Name=\"E\">\n    <SemiMajorAxes/>\n"
                "  </Ellipsoid>\n"),
         "Ellipsoid \"E\"", "parameter SemiMajorAxes has no value"},
        {"unknown-operation.xml",
         laxScript("TransformationScript",
                   "  <Transformation Name=\"x\">\n    <Teleport/>\n"
                   "  </Transformation>\n"),
         "Transformation \"x\"", "unknown operation \"Teleport\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const LoadResult r = load(c.name, c.content);
        EXPECT_FALSE(r.loaded);
        EXPECT_TRUE(contains(r.errors, c.where));
        EXPECT_TRUE(contains(r.errors, c.problem));
        EXPECT_TRUE(startsWith(r.errors, "Transformation script \"" + path_));
        EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1)
            << r.errors;
        EXPECT_TRUE(script_.chain().empty());
    }
}

TEST_F(TransformationScriptTest, ReferenceToAnUnknownEllipsoidFails) {
    if (findOperationKind("TransverseMercatorForward") == nullptr)
        GTEST_SKIP() << "the transverse Mercator is not built yet";
    const LoadResult r =
        load("no-ellipsoid.xml",
             script(std::string(kInternational1924) +
                    "  <Transformation Name=\"tm\">\n"
                    "    <TransverseMercatorForward>\n"
                    "      <RefEllipsoid>Bessel 1841</RefEllipsoid>\n"
                    "    </TransverseMercatorForward>\n"
                    "  </Transformation>\n"));
    EXPECT_FALSE(r.loaded);
    EXPECT_TRUE(contains(r.errors, "Transformation \"tm\""));
    EXPECT_TRUE(contains(r.errors, "RefEllipsoid \"Bessel 1841\" names no "
                                   "Ellipsoid"));
}

// Warnings of the parser (here from a DTD that declares an attribute twice)
// are neither shown nor counted.
TEST_F(TransformationScriptTest, WarningsAreSilentAndDoNotFail) {
    const LoadResult r =
        load("warned.xml", "<?xml version=\"1.0\"?>\n"
                           "<!DOCTYPE TransformationScript [\n"
                           "<!ELEMENT TransformationScript (Description)>\n"
                           "<!ATTLIST TransformationScript a CDATA #IMPLIED>\n"
                           "<!ATTLIST TransformationScript a CDATA #IMPLIED>\n"
                           "<!ATTLIST Undeclared b CDATA #IMPLIED>\n"
                           "<!ELEMENT Description (#PCDATA)>\n"
                           "]>\n"
                           "<TransformationScript>\n"
                           "  <Description>warned</Description>\n"
                           "</TransformationScript>\n");
    EXPECT_TRUE(r.loaded);
    EXPECT_EQ(r.errors, "");
    EXPECT_EQ(script_.description(), "warned");
}

// The grammar is found relative to the script, not to the working folder,
// also through a relative path, a local DTD or a file URL.
TEST_F(TransformationScriptTest, GrammarsLoadFromLocalFiles) {
    folder_.write("grammar.dtd",
                  "<!ELEMENT TransformationScript (Description)>\n"
                  "<!ELEMENT Description (#PCDATA)>\n");
    const std::string xsd =
        (folder_.path() / "TransformationScript.xsd").string();
    struct Case {
        const char *name;
        std::string content;
    };
    const Case cases[] = {
        {"sub/dir/relative.xml",
         "<?xml version=\"1.0\"?>\n<TransformationScript "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
         "xsi:noNamespaceSchemaLocation=\"../../TransformationScript.xsd\">"
         "<Description>ok</Description></TransformationScript>\n"},
        {"absolute.xml",
         "<?xml version=\"1.0\"?>\n<TransformationScript "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
         "xsi:noNamespaceSchemaLocation=\"" +
             xsd +
             "\">"
             "<Description>ok</Description></TransformationScript>\n"},
        {"file-url.xml",
         "<?xml version=\"1.0\"?>\n<TransformationScript "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
         "xsi:noNamespaceSchemaLocation=\"file://" +
             xsd +
             "\">"
             "<Description>ok</Description></TransformationScript>\n"},
        {"dtd.xml", "<?xml version=\"1.0\"?>\n"
                    "<!DOCTYPE TransformationScript SYSTEM \"grammar.dtd\">\n"
                    "<TransformationScript><Description>ok</Description>"
                    "</TransformationScript>\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const LoadResult r = load(c.name, c.content);
        EXPECT_TRUE(r.loaded) << r.errors;
        EXPECT_EQ(script_.description(), "ok");
    }
}

// A script is a file from the user: nothing is fetched from the network, no
// other file is pulled into it, and entity expansion is bounded.
TEST_F(TransformationScriptTest, HostileScriptsAreRefused) {
    const std::string secret = folder_.write("secret.txt", "secret");
    struct Case {
        const char *name;
        std::string content;
        const char *message;
    };
    const Case cases[] = {
        {"remote-grammar.xml",
         "<?xml version=\"1.0\"?>\n<TransformationScript "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
         "xsi:noNamespaceSchemaLocation=\"http://127.0.0.1:9/g.xsd\">"
         "</TransformationScript>\n",
         "refused to load \"http://127.0.0.1:9/g.xsd\": only local files"},
        {"remote-dtd.xml",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE TransformationScript SYSTEM "
         "\"ftp://127.0.0.1:9/g.dtd\">\n<TransformationScript/>\n",
         "refused to load \"ftp://127.0.0.1:9/g.dtd\": only local files"},
        {"file-entity.xml",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE TransformationScript [\n"
         "  <!ENTITY secret SYSTEM \"" +
             secret + "\">\n]>\n" +
             script("  <Description>&secret;</Description>\n")
                 .substr(std::string("<?xml version=\"1.0\" "
                                     "encoding=\"UTF-8\"?>\n")
                             .size()),
         "external entities are not loaded"},
        {"device-grammar.xml",
         "<?xml version=\"1.0\"?>\n<TransformationScript "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
         "xsi:noNamespaceSchemaLocation=\"/dev/zero\"/>\n",
         "refused to load \"/dev/zero\": not a regular file"},
        {"stdin-dtd.xml",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE TransformationScript SYSTEM "
         "\"/dev/stdin\">\n<TransformationScript/>\n",
         "refused to load \"/dev/stdin\": not a regular file"},
        {"huge.xml", script(std::string(300 * 1024, ' ')),
         "larger than 256 KiB"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const LoadResult r = load(c.name, c.content);
        EXPECT_FALSE(r.loaded);
        EXPECT_TRUE(contains(r.errors, c.message));
        EXPECT_NE(script_.description(), "secret");
    }
}

TEST_F(TransformationScriptTest, FolderAsScriptIsRefused) {
    path_ = folder_.path().string();
    CaptureStderr();
    EXPECT_FALSE(script_.load());
    EXPECT_EQ(GetCapturedStderr(),
              "Fatal Error at file \"" + path_ + "\": not a regular file\n");
}

// A value written with an internal entity reads as the entity's text.
TEST_F(TransformationScriptTest, InternalEntitiesReadAsTheirText) {
    const LoadResult r =
        load("entity.xml", "<?xml version=\"1.0\"?>\n"
                           "<!DOCTYPE TransformationScript [\n"
                           "<!ELEMENT TransformationScript (Description)>\n"
                           "<!ELEMENT Description (#PCDATA)>\n"
                           "<!ENTITY zone \"UTM zone 32\">\n"
                           "]>\n"
                           "<TransformationScript>"
                           "<Description>&zone; &amp; more</Description>"
                           "</TransformationScript>\n");
    ASSERT_TRUE(r.loaded) << r.errors;
    EXPECT_EQ(script_.description(), "UTM zone 32 & more");
}

TEST_F(TransformationScriptTest, EntityExpansionIsBounded) {
    std::string entities = "  <!ENTITY e0 \"lol lol lol lol lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        std::string value;
        for (int k = 0; k < 10; ++k)
            value += "&e" + std::to_string(i - 1) + ";";
        entities +=
            "  <!ENTITY e" + std::to_string(i) + " \"" + value + "\">\n";
    }
    const auto start = std::chrono::steady_clock::now();
    const LoadResult r =
        load("laughs.xml", "<?xml version=\"1.0\"?>\n"
                           "<!DOCTYPE TransformationScript [\n" +
                               entities + "]>\n<TransformationScript>" +
                               "<Description>&e9;</Description>"
                               "</TransformationScript>\n");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(r.loaded);
    EXPECT_TRUE(contains(r.errors, "entity expansions"));
    EXPECT_LT(elapsed, std::chrono::seconds(5));
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
}

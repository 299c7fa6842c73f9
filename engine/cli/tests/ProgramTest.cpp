// Runs the real KAVRO and compares its whole standard output and its exit
// status.
#include "KavroProgram.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {
namespace fs = std::filesystem;
using kavrotest::ProgramRun;

const std::string kBanner =
    "\n"
    "This product includes software developed by the Apache Software "
    "Foundation (https://www.apache.org/).\n"
    "This product uses the GNU C++ Library, libstdc++ "
    "(https://gcc.gnu.org/onlinedocs/libstdc++/).\n";

const std::string kUsage =
    "KAVRO -HELP\n"
    "KAVRO [-FT <SHP | TXT>] -IF <input file> -OF <output file> -TS <tranform "
    "script>\n"
    "KAVRO [-FT <SHP | TXT>] -IWS <input workspace> [-F <filter>] -OWS <output "
    "workspace> -TS <tranform script>\n";

const std::string kHelp =
    "-HELP: shows this help\n"
    "-FT <SHP | TXT>: sets type of input file, SHP = shapefile, TXT = ascii "
    "file (default is SHP)\n"
    "-IF <input file>: sets input file \n"
    "-OF <output file>: sets output file \n"
    "-IWS <input workspace>: sets search directory for multiple input files\n"
    "-OWS <output workspace>: sets out directory for multiple input files\n"
    "-F <filter>: sets search filter for multiple input files (default is *)\n"
    "-TS <tranform script>: sets transformation script\n";

const std::string kScriptError =
    "Error in transformation script. Execution terminated\n";

class ProgramTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = kavrotest::freshFolder("kavro-cli-test-");
        kavrotest::copyGrammar(folder_);
    }
    void TearDown() override { kavrotest::removeFolder(folder_); }

    // Runs KAVRO in the test folder with the arguments.
    ProgramRun run(const std::vector<std::string> &arguments) const {
        return kavrotest::runKavro(arguments, folder_, folder_);
    }

    std::string writeScript(const std::string &name,
                            const std::string &body) const {
        return kavrotest::writeScript(folder_, name, body);
    }

    fs::path folder_;
};

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
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(joined(c.arguments));
        const ProgramRun r = run(c.arguments);
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
        const ProgramRun r = run(line);
        EXPECT_EQ(r.out, kBanner + kScriptError);
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.err, "");
    }

    // Documents the parser refuses and documents it accepts but the loader
    // cannot use: the reason on the error stream, the same stop.
    kavrotest::writeFile(folder_ / "Lax.xsd", kavrotest::kLaxGrammar);
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
        kavrotest::writeFile(folder_ / "unusable.xml", document);
        const ProgramRun r = run({"-TS", (folder_ / "unusable.xml").string()});
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
        const ProgramRun r = run({"-TS", script});
        const std::string expected =
            kBanner + "Script description:" + c.description + "\n";
        EXPECT_EQ(r.out.substr(0, expected.size()), expected);
        EXPECT_EQ(r.status, 1);
    }
}

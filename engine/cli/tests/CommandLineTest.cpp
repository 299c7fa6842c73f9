#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {
struct Parsed {
    bool goesOn;
    RunSettings settings;
    std::string output;
};

Parsed parse(std::vector<const char *> arguments) {
    arguments.insert(arguments.begin(), "KAVRO");
    Parsed parsed{};
    CaptureStdout();
    parsed.goesOn = parseCommandLine(static_cast<int>(arguments.size()),
                                     arguments.data(), parsed.settings);
    parsed.output = GetCapturedStdout();
    return parsed;
}
} // namespace

TEST(CommandLine, SingleFileRunKeepsTheShapefileDefault) {
    const Parsed p = parse({"-IF", "a", "-OF", "b", "-TS", "s"});
    ASSERT_TRUE(p.goesOn);
    EXPECT_EQ(p.output, "");
    EXPECT_EQ(p.settings.inputPath, "a");
    EXPECT_EQ(p.settings.outputPath, "b");
    EXPECT_EQ(p.settings.scriptPath, "s");
    EXPECT_EQ(p.settings.mode, RunSettings::SingleFile);
    EXPECT_EQ(p.settings.fileType, RunSettings::SHP);
    EXPECT_EQ(p.settings.filter, "/*");
}

// -F may come first and selects the workspace mode by itself; the filter
// keeps its separator because the driver appends it to the directory.
TEST(CommandLine, FilterBeforeWorkspace) {
    const Parsed p = parse({"-F", "x", "-IWS", "d", "-OWS", "e", "-TS", "s"});
    ASSERT_TRUE(p.goesOn);
    EXPECT_EQ(p.settings.filter, "/x");
    EXPECT_EQ(p.settings.inputPath, "d");
    EXPECT_EQ(p.settings.outputPath, "e");
    EXPECT_EQ(p.settings.mode, RunSettings::Workspace);

    const Parsed onlyFilter = parse({"-F", "*.shp", "-F", "a*.shp"});
    ASSERT_TRUE(onlyFilter.goesOn);
    EXPECT_EQ(onlyFilter.settings.filter, "/a*.shp");
    EXPECT_EQ(onlyFilter.settings.mode, RunSettings::Workspace);
}

TEST(CommandLine, LaterOptionsReplaceEarlierOnesAndValuesMayLookLikeOptions) {
    const Parsed p = parse(
        {"-TS", "a", "-TS", "b", "-FT", "TXT", "-IF", "-OF", "-FT", "SHP"});
    ASSERT_TRUE(p.goesOn);
    EXPECT_EQ(p.settings.scriptPath, "b");
    EXPECT_EQ(p.settings.inputPath, "-OF");
    EXPECT_EQ(p.settings.outputPath, "");
    EXPECT_EQ(p.settings.fileType, RunSettings::SHP);
    EXPECT_EQ(parse({"-FT", "TXT"}).settings.fileType, RunSettings::TXT);
    EXPECT_EQ(parse({"-TS", ""}).settings.mode, RunSettings::Unset);
}

TEST(CommandLine, PointListOptionsFillTheRequest) {
    const Parsed p = parse({"-ZC", "0", "-FT", "CSV", "-CS", "TAB", "-DS", ",",
                            "-XC", "Est", "-YC", "3", "-CS", "|"});
    ASSERT_TRUE(p.goesOn);
    EXPECT_EQ(p.settings.fileType, RunSettings::CSV);
    EXPECT_EQ(p.settings.delimited.dialect.separator, '|');
    EXPECT_EQ(p.settings.delimited.dialect.decimalMark, ',');
    EXPECT_EQ(p.settings.delimited.xColumn, "Est");
    EXPECT_EQ(p.settings.delimited.yColumn, "3");
    EXPECT_EQ(p.settings.delimited.zColumn, "0");
    EXPECT_EQ(
        parse({"-FT", "CSV", "-CS", "\t"}).settings.delimited.dialect.separator,
        '\t');
    EXPECT_FALSE(parse({"-FT", "CSV", "-CS", "TAB", "-FT", "TXT"}).goesOn);
}

TEST(CommandLine, ThreadsAreANumberFromZeroUp) {
    EXPECT_EQ(parse({"-TS", "s"}).settings.threads, 0u); // one per core
    const std::pair<const char *, unsigned> accepted[] = {
        {"1", 1}, {"0", 0}, {"0004", 4}, {"1024", 1024}};
    for (const auto &[value, threads] : accepted) {
        SCOPED_TRACE(value);
        const Parsed p = parse({"-TH", value, "-IF", "a", "-OF", "b"});
        ASSERT_TRUE(p.goesOn);
        EXPECT_EQ(p.settings.threads, threads);
    }
    for (const char *refused : {"+2", "2.0", " 2", "99999", "1025"})
        EXPECT_FALSE(parse({"-TH", refused}).goesOn) << refused;
}

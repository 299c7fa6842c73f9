#include "ParameterMap.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

// What the loader refuses, and how it says so; a text that is no number
// reads as 0, like a parameter left out.
TEST(ParameterMap, NumberRulesNameTheParameterAndItsText) {
    struct Case {
        NumberRule rule;
        const char *text;    // nullptr: left out
        const char *problem; // "" when usable
    };
    const Case cases[] = {
        {NumberRule::Any, "  \t\n-2.5e3\n ", ""},
        {NumberRule::Any, nullptr, ""},
        {NumberRule::Any, "1e999", ""}, // an infinity, as atof reads it
        {NumberRule::Any, "1,5", "P \"1,5\" is not a number"},
        {NumberRule::Any, "12 m", "P \"12 m\" is not a number"},
        {NumberRule::Any, "\n  nan\n", "P \"nan\" is not a number"},
        {NumberRule::Any, " ", "P \"\" is not a number"},
        {NumberRule::Positive, "0.9996", ""},
        {NumberRule::Positive, nullptr, "P is missing"},
        {NumberRule::Positive, "-0", "P \"-0\" is not greater than 0"},
        {NumberRule::PositiveFinite, "6378137", ""},
        {NumberRule::PositiveFinite, "1e999",
         "P \"1e999\" is not a finite number greater than 0"},
        {NumberRule::PositiveFinite, nullptr, "P is missing"},
        {NumberRule::ZeroOrAtLeastOne, nullptr, ""},
        {NumberRule::ZeroOrAtLeastOne, "-0", ""},
        {NumberRule::ZeroOrAtLeastOne, "1", ""},
        {NumberRule::ZeroOrAtLeastOne, "0.5",
         "P \"0.5\" is neither 0 nor at least 1"},
        {NumberRule::ZeroOrAtLeastOne, "-297",
         "P \"-297\" is neither 0 nor at least 1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text != nullptr ? c.text : "(left out)");
        ParameterMap map;
        if (c.text != nullptr)
            map.setParameter("P", c.text);
        const NumberParameter numbers[] = {{"Q"}, {"P", c.rule}};
        const ParameterProblem problem = checkNumbers(map, numbers);
        EXPECT_EQ(problem.description, c.problem);
        EXPECT_EQ(problem.parameter, *c.problem != 0 ? "P" : "");
        EXPECT_EQ(map.size(), c.text != nullptr ? 1u : 0u); // adds nothing
    }
    // A long text is cut where it is shown.
    ParameterMap map;
    map.setParameter("P", std::string(100, 'x'));
    const NumberParameter p[] = {{"P"}};
    EXPECT_EQ(checkNumbers(map, p).description,
              "P \"" + std::string(60, 'x') + "...\" is not a number");
    map.setParameter("P", "1,5");
    EXPECT_EQ(map.parameterNumber("P"), 0.0);
}

TEST(ParameterMap, AbsentNameReadsEmptyAndIsAddedAfterwards) {
    ParameterMap map;
    EXPECT_FALSE(map.contains("ScaleFactorAtNaturalOrigin"));
    EXPECT_EQ(map.parameterNumber("ScaleFactorAtNaturalOrigin"), 0.0);
    EXPECT_TRUE(map.contains("ScaleFactorAtNaturalOrigin"));
    EXPECT_EQ(map.parameterText("In"), "");
    EXPECT_TRUE(map.contains("In"));
    EXPECT_EQ(map.size(), 2u);
}

TEST(ParameterMap, LaterValueReplacesAndNamesAreCaseSensitive) {
    ParameterMap map;
    map.setParameter("A0", "1");
    map.setParameter("A0", "2");
    map.setParameter("a0", "3");
    EXPECT_EQ(map.parameterNumber("A0"), 2.0);
    EXPECT_EQ(map.parameterText("a0"), "3");
    EXPECT_EQ(map.size(), 2u);
}

namespace {
// Switches the C library to a locale whose decimal separator is a comma,
// compiling one into a temporary folder when none is installed; back to the
// classic locale at the end.
class CommaLocale {
  public:
    CommaLocale() {
        for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "it_IT.UTF-8"})
            if ((active_ = std::setlocale(LC_NUMERIC, name) != nullptr))
                return;
        folder_ = std::filesystem::temp_directory_path() /
                  ("kavro-test-locale-" + std::to_string(::getpid()));
        const std::string command = "localedef -i de_DE -f UTF-8 '" +
                                    (folder_ / "de_DE.UTF-8").string() +
                                    "' >/dev/null 2>&1";
        std::filesystem::create_directories(folder_);
        std::system(command.c_str()); // warnings give a non-zero status
        setenv("LOCPATH", folder_.c_str(), 1);
        active_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale() {
        std::setlocale(LC_NUMERIC, "C");
        std::error_code ignored;
        if (!folder_.empty())
            std::filesystem::remove_all(folder_, ignored);
    }
    bool active() const { return active_; }

  private:
    std::filesystem::path folder_;
    bool active_ = false;
};
} // namespace

// A user whose locale writes "1,5" must still get 1.5 from "1.5": scripts
// are written with a decimal point whatever the locale.
TEST(ParameterMap, DecimalPointIsAPointInEveryLocale) {
    const CommaLocale locale;
    if (!locale.active())
        GTEST_SKIP() << "no locale with a decimal comma can be made here";
    ASSERT_EQ(std::atof("1,5"), 1.5) << "the locale did not switch";
    ParameterMap map;
    const std::pair<const char *, double> cases[] = {
        {"1.5", 1.5}, {"1,5", 0.0}, {"-0.25e2", -25.0}, {"1.5e400", HUGE_VAL}};
    for (const auto &[text, value] : cases) {
        SCOPED_TRACE(text);
        map.setParameter("P", text);
        EXPECT_EQ(map.parameterNumber("P"), value);
    }
}

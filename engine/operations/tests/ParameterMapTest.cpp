#include "ParameterMap.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

TEST(ParameterMap, NumbersReadLikeAtof) {
    struct Case {
        const char *text;
        double value;
    };
    const Case cases[] = {
        {"1,5", 1.0}, // the comma ends the number
        {"abc", 0.0},
        {"", 0.0},
        {"  \t\n-2.5e3 metres", -2500.0},
        {"+3", 3.0},
        {".5", 0.5},
        {"6378388", 6378388.0},
        {"0.15707963267948966", 0.15707963267948966},
        {"1e", 1.0},
        {"0x10", 16.0},
        {"- 1", 0.0},
        {"1e400", HUGE_VAL},
        {"-1e400", -HUGE_VAL},
        {"inf", HUGE_VAL},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        ParameterMap map;
        map.setParameter("P", c.text);
        EXPECT_EQ(map.parameterNumber("P"), c.value);
        EXPECT_EQ(map.parameterNumber("P"), std::atof(c.text));
    }
    ParameterMap map;
    map.setParameter("P", "nan");
    EXPECT_TRUE(std::isnan(map.parameterNumber("P")));
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
        {"1.5", 1.5}, {"1,5", 1.0}, {"-0.25e2", -25.0}, {"1.5e400", HUGE_VAL}};
    for (const auto &[text, value] : cases) {
        SCOPED_TRACE(text);
        map.setParameter("P", text);
        EXPECT_EQ(map.parameterNumber("P"), value);
    }
}

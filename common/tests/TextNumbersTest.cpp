// The text converter reads and writes numbers with std::from_chars and
// std::to_chars so that the locale never matters. These tests hold them to
// what classic-locale stream I/O and printf do, which is the format's
// definition.
#include "TextNumbers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct StreamRead {
    bool ok;
    double value;
    std::size_t consumed;
};

// operator>> on a classic-locale stream: the reference.
StreamRead streamRead(const std::string &token) {
    std::istringstream in(token);
    in.imbue(std::locale::classic());
    in >> std::noskipws;
    double value = 0;
    in >> value;
    if (in.fail())
        return {false, 0, 0};
    const std::size_t consumed =
        in.eof() ? token.size() : static_cast<std::size_t>(in.tellg());
    return {true, value, consumed};
}

void expectReadsAsStream(const std::string &token) {
    SCOPED_TRACE("token \"" + token + "\"");
    const StreamRead expected = streamRead(token);
    double value = -12345;
    const char *end =
        readClassicNumber(token.data(), token.data() + token.size(), value);
    ASSERT_EQ(end != nullptr, expected.ok);
    // Where a number ends is found alike without its value, except that an
    // out-of-range one, which the stream refuses, still ends somewhere.
    const char *scanned =
        classicNumberEnd(token.data(), token.data() + token.size());
    if (!expected.ok) {
        if (scanned != nullptr) {
            const std::string number(token.data(), scanned);
            EXPECT_TRUE(std::isinf(std::strtod(number.c_str(), nullptr)));
        }
        return;
    }
    EXPECT_EQ(scanned, end);
    EXPECT_EQ(static_cast<std::size_t>(end - token.data()), expected.consumed);
    // Bit for bit, so that the sign of zero counts too.
    EXPECT_EQ(std::memcmp(&value, &expected.value, sizeof value), 0)
        << value << " != " << expected.value;
}

TEST(TextNumbers, ReadLikeClassicStreamInput) {
    const char *tokens[] = {
        // plain forms and signs
        "0", "-0", "+0", "100", "-2.5", "+2.5", ".5", "-.5", "+.5", "5.", "007",
        "00.25", "1e5", "1E5", "1e+5", "1e-5", "1.e3", "+1.5E-3",
        "123456789012345678901234567890",
        "0.1000000000000000055511151231257827021181583404541015625",
        "2.2250738585072011e-308", "4.9406564584124654e-324", "4e-320",
        "1.7976931348623157e308",
        // trailing characters the stream leaves for the next read
        "3P1", "1.2.3", "1e5.3", "1e5e3", "12,5", "1-2", "7+", "0x1p3", "1e5x",
        "9\xc3\xa9",
        // what the stream refuses
        "", "+", "-", ".", "-.", "+.", "e5", ".e5", "+-1", "-+1", "--1", "++1",
        "1e", "1e+", "1e-", "1E", "2.5ex", ".5e", "inf", "-inf", "+inf",
        "infinity", "nan", "NAN", "-nan", "x", "P1", ",5",
        // out of range: overflow fails, underflow reads as strtod rounds it
        "1e400", "-1e400", "1.7976931348623159e308", "1e-400", "-1e-400",
        "2e-324", "3e-324", "1e-310"};
    for (const char *token : tokens)
        expectReadsAsStream(token);
}

// A script's number is one number of that form, blanks around it allowed,
// and reads as atof reads it (overflow included); anything else is refused.
TEST(TextNumbers, WholeNumbersInTheClassicForm) {
    const char *accepted[] = {
        "0",      "-0",        "+3",     ".5",   "5.",
        " 1.5\n", "\t-2.5e3 ", "1E+05",  "1e-5", "0.15707963267948966",
        "1e999",  "-1e999",    "1e-400", "00012"};
    for (const char *text : accepted) {
        SCOPED_TRACE(text);
        double value = -12345;
        ASSERT_TRUE(readWholeClassicNumber(text, value));
        const double expected = std::strtod(text, nullptr);
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0);
    }
    const char *refused[] = {"",
                             " ",
                             "1,5",
                             "abc",
                             "12 m",
                             "0x10",
                             "nan",
                             "inf",
                             "-inf",
                             "1e",
                             "1e+",
                             "- 1",
                             ".",
                             "e5",
                             "+-1",
                             "1.2.3",
                             "1 2",
                             "5%",
                             "\xc2\xa0"
                             "1"};
    for (const char *text : refused) {
        SCOPED_TRACE(text);
        double value = -12345;
        EXPECT_FALSE(readWholeClassicNumber(text, value));
        EXPECT_EQ(value, -12345);
    }
}

TEST(TextNumbers, ReadLikeClassicStreamInputOnGeneratedTokens) {
    std::mt19937 random(20240611);
    // Short strings over the characters that matter to a number reader.
    const std::string alphabet = "0123456789.+-eExa";
    std::uniform_int_distribution<std::size_t> length(1, 9);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int i = 0; i < 20000; ++i) {
        std::string token;
        for (std::size_t n = length(random); n > 0; --n)
            token += alphabet[pick(random)];
        expectReadsAsStream(token);
    }
    // Around the reader's shortcut for short numbers: 2^53 as the integer of
    // all digits, 19 and 20 digits, 22 and 23 decimals.
    const char *edges[] = {"9007199254740992",
                           "9007199254740993",
                           "9007199254740993.5",
                           "900719925474099.3",
                           "90071992547409.93",
                           "0.9007199254740993",
                           "0.9007199254740992",
                           "1234567890123456789",
                           "12345678901234567890",
                           "0.1234567890123456789",
                           "0.0000000000000000000001",
                           "0.00000000000000000000001",
                           "-0.0000000000000000000005",
                           "000000000000000000001.5",
                           "4503599627370497.5",
                           "1548916.157",
                           "-0.000"};
    for (const char *token : edges)
        expectReadsAsStream(token);
    // Numbers as they appear in point files, and bit patterns of any kind.
    std::uniform_real_distribution<double> coordinate(-1e7, 1e7);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int i = 0; i < 5000; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", i % 12, coordinate(random));
        expectReadsAsStream(text);
        double any;
        const std::uint64_t pattern = bits(random);
        std::memcpy(&any, &pattern, sizeof any);
        if (std::isfinite(any)) {
            std::snprintf(text, sizeof text, "%.17g", any);
            expectReadsAsStream(text);
        }
    }
}

TEST(TextNumbers, WriteLikePrintfAndFixedStreamOutput) {
    std::vector<double> values = {0,
                                  -0.0,
                                  12.5,
                                  -0.25,
                                  100,
                                  0.1,
                                  2.675,
                                  1.005,
                                  0.000000005,
                                  1e-9,
                                  -1e-9,
                                  123456789.123456789,
                                  1e15,
                                  1e20,
                                  1e300,
                                  DBL_MAX,
                                  -DBL_MAX,
                                  DBL_MIN,
                                  4.9406564584124654e-324,
                                  0.99999999999,
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};
    // Exact halfway cases for eight decimals are the odd multiples of
    // 1/512: they must round to even, as printf does.
    for (int k = 1; k < 1024; k += 2)
        values.push_back(k / 512.0), values.push_back(-k / 512.0);
    // The same at larger magnitudes, as far as n + k/512 stays exact, and
    // the neighbours of a halfway case.
    for (const double n : {1.0, 1000.0, 123456.0, 5151644.0, 0x1p40})
        for (int k = 1; k < 1024; k += 34) {
            const double halfway = n + k / 512.0;
            values.push_back(halfway), values.push_back(-halfway);
            values.push_back(std::nextafter(halfway, 0.0));
            values.push_back(std::nextafter(halfway, 2 * halfway));
        }
    // Where the writer's exact integer arithmetic hands over to to_chars
    // (2^63 / 10^8), and the smallest values that round to one unit.
    for (double v = 9.1e10; v < 9.4e10; v += 1.1e8 + 0.37)
        values.push_back(v), values.push_back(-v);
    for (const double v : {0x1p63 / 1e8, 9.2e10, 0.000000005, 0.0000000049,
                           -0.000000005, -1e-300, 0x1p-1074, 0x1p-75, 0x1p-127})
        values.push_back(std::nextafter(v, 0.0)), values.push_back(v),
            values.push_back(std::nextafter(v, 2 * v));
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-1e7, 1e7);
    for (int i = 0; i < 2000; ++i)
        values.push_back(coordinate(random));
    // Magnitudes from 1e-12 to 1e12, evenly in the exponent.
    std::uniform_real_distribution<double> decade(-12, 12);
    for (int i = 0; i < 50000; ++i)
        values.push_back((i % 2 ? -1 : 1) * std::pow(10.0, decade(random)));

    for (const double value : values) {
        char printed[400];
        std::snprintf(printed, sizeof printed, "%.8f", value);
        std::ostringstream streamed;
        streamed.imbue(std::locale::classic());
        streamed << std::fixed << std::setprecision(8) << value;
        char written[kFixed8MaxLength];
        char *end = writeFixed8(written, value);
        const std::string ours(+written, end);
        EXPECT_EQ(ours, printed);
        EXPECT_EQ(ours, streamed.str());
    }
    char written[kFixed8MaxLength];
    EXPECT_EQ(std::string(+written, writeFixed8(written, 12.5)), "12.50000000");
    EXPECT_EQ(std::string(+written, writeFixed8(written, -0.25)),
              "-0.25000000");
}

// The delimited point lists write as many decimals as their unit needs.
TEST(TextNumbers, WriteAnyNumberOfDecimalsLikePrintf) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> decade(-14, 12);
    for (int decimals = 0; decimals <= 14; ++decimals) {
        SCOPED_TRACE(decimals);
        std::vector<double> values = {0, -0.0, 0.5, 1.5, 2.5, -2.5, 1e15, 1e19};
        values.push_back(std::numeric_limits<double>::infinity());
        // The halfway cases of this many decimals: odd multiples of
        // 2^-(decimals + 1) are exact, and round to even.
        for (int k = 1; k < 200; k += 2)
            values.push_back(std::ldexp(k, -(decimals + 1)) + 1664097);
        for (int i = 0; i < 3000; ++i)
            values.push_back((i % 2 ? -1 : 1) * std::pow(10.0, decade(random)));
        for (const double value : values) {
            char printed[400];
            std::snprintf(printed, sizeof printed, "%.*f", decimals, value);
            char written[kFixedMaxLength(14)];
            const std::string ours(+written,
                                   writeFixed(written, value, decimals));
            ASSERT_EQ(ours, printed) << value;
        }
    }
}

} // namespace

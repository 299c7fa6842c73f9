#include "TextFileConverter.h"

#include "TestFiles.h"
#include "TransformationScript.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

using kavrotest::readFile;
using kavrotest::writeFile;

class TextFileConverterTest : public kavrotest::ScratchFolderTest {
  protected:
    // Converts content through an empty chain; the output is in output_.
    bool convert(const std::string &content) {
        writeFile(dir_ / "in.txt", content);
        return convertPaths((dir_ / "in.txt").string(),
                            (dir_ / "out.txt").string());
    }
    bool convertPaths(const std::string &input, const std::string &output) {
        converter_.setInputPath(input);
        converter_.setOutputPath(output);
        const bool converted = converter_.open() && converter_.convert();
        output_ = readFile(output);
        return converted;
    }

    std::string scriptName_; // never loaded: the chain stays empty
    TransformationScript script_{scriptName_};
    TextFileConverter converter_{script_};
    std::string output_;
};

TEST_F(TextFileConverterTest, WritesTabSeparatedLinesWithEightDecimals) {
    const struct {
        std::string input;
        std::string output;
    } cases[] = {
        {"100 200 0 P1\n", "100.00000000\t200.00000000\t0.00000000\tP1\n"},
        {"12.5 -0.25 1e3 L\n", "12.50000000\t-0.25000000\t1000.00000000\tL\n"},
        // the last line without a line break
        {"1 2 3 A\n4 5 6 B", "1.00000000\t2.00000000\t3.00000000\tA\n"
                             "4.00000000\t5.00000000\t6.00000000\tB\n"},
        // any white space between tokens, CR-LF line ends
        {"  1\t2\r\n3 \f A\v\r\n+4 5 6 B\r\n",
         "1.00000000\t2.00000000\t3.00000000\tA\n"
         "4.00000000\t5.00000000\t6.00000000\tB\n"},
        // the label is copied byte for byte; a number may run into it
        {"1 2 3P1\n7 8 9 \xc3\xa9t\xc3\xa9#;\"x\n",
         "1.00000000\t2.00000000\t3.00000000\tP1\n"
         "7.00000000\t8.00000000\t9.00000000\t\xc3\xa9t\xc3\xa9#;\"x\n"},
        {"0.123456785 -0 1.999999999 Z\n",
         "0.12345678\t-0.00000000\t2.00000000\tZ\n"},
        // a numeric fifth token shifts the next record by one token
        {"1 2 3 A 9\n4 5 6\n", "1.00000000\t2.00000000\t3.00000000\tA\n"
                               "9.00000000\t4.00000000\t5.00000000\t6\n"},
        // long runs of white space within and between records
        {"1" + std::string(100, ' ') + "2\t" + std::string(90, '\n') + "3e0" +
             std::string(80, '\t') + "A" + std::string(70, ' ') + "4 5 6 B",
         "1.00000000\t2.00000000\t3.00000000\tA\n"
         "4.00000000\t5.00000000\t6.00000000\tB\n"},
        {"", ""},
        {"\n \t\n\n", ""},
        {"1 2 " + std::string(70000, '0') + "3 A",
         "1.00000000\t2.00000000\t3.00000000\tA\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_TRUE(convert(c.input)) << converter_.errorMessage();
        EXPECT_EQ(output_, c.output);
        EXPECT_EQ(converter_.errorMessage(), "");
    }
}

// Reading that stops before the end of the input keeps what came before it
// and fails, naming the record, instead of passing the file off as converted.
TEST_F(TextFileConverterTest, MalformedInputFailsAndKeepsTheRecordsBeforeIt) {
    const std::string good = "1 2 3 A\n";
    const std::string goodOut = "1.00000000\t2.00000000\t3.00000000\tA\n";
    std::string sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen += good;
    const struct {
        std::string input;
        std::string message;
        int recordsKept;
    } cases[] = {
        {good + "4 5 6\n",
         "Malformed record 2 in input text file, line 2: the file ends before "
         "its label",
         1},
        {good + "4 5",
         "Malformed record 2 in input text file, line 2: the "
         "file ends before its z",
         1},
        {good + "4",
         "Malformed record 2 in input text file, line 2: the file "
         "ends before its y",
         1},
        {good + "4 x 6 B\n",
         "Malformed record 2 in input text file, line 2: y is not a number", 1},
        {"1 2 3 A extra\n" + good,
         "Malformed record 2 in input text file, line 1: x is not a number", 1},
        {sixteen + "1 2 x Q\n",
         "Malformed record 17 in input text file, line 17: z is not a number",
         16},
        {"inf 2 3 A\n",
         "Malformed record 1 in input text file, line 1: x is not a number", 0},
        {"1e 2 3 A\n",
         "Malformed record 1 in input text file, line 1: x is not a number", 0},
        {"1 1e400 3 A\n",
         "Malformed record 1 in input text file, line 1: y is not a number", 0},
        // out of range on a line of its own, after the record's start
        {good + "4\n5" + std::string(100, '\n') + "-1e999 B\n" + good,
         "Malformed record 2 in input text file, line 103: z is not a number",
         1},
        // Numbers are read from the buffer: one longer than it is refused.
        {good + "\n\n1 2 " + std::string(300000, '0') + "3 A\n",
         "Malformed record 2 in input text file, line 4: z is too long", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_FALSE(convert(c.input));
        EXPECT_EQ(converter_.errorMessage(), c.message);
        std::string kept;
        for (int i = 0; i < c.recordsKept; ++i)
            kept += goodOut;
        EXPECT_EQ(output_, kept);
    }
}

TEST_F(TextFileConverterTest, FilesThatCannotBeOpenedOrCreated) {
    writeFile(dir_ / "in.txt", "1 2 3 A\n");
    const std::string input = (dir_ / "in.txt").string();
    const struct {
        std::string input, output, message;
    } cases[] = {
        {(dir_ / "absent.txt").string(), (dir_ / "out.txt").string(),
         "Unable to open input text file"},
        {"", (dir_ / "out.txt").string(), "Unable to open input text file"},
        {dir_.string(), (dir_ / "out.txt").string(),
         "Unable to open input text file"},
        {input, (dir_ / "missing" / "out.txt").string(),
         "Unable to create output text file"},
        {input, dir_.string(), "Unable to create output text file"},
        {input, "", "Unable to create output text file"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input + " -> " + c.output);
        converter_.setInputPath(c.input);
        converter_.setOutputPath(c.output);
        EXPECT_FALSE(converter_.open());
        EXPECT_EQ(converter_.errorMessage(), c.message);
        EXPECT_FALSE(fs::exists(dir_ / "out.txt"));
    }
    // The same converter goes on with the next file as if nothing happened.
    EXPECT_TRUE(convertPaths(input, (dir_ / "out.txt").string()));
    EXPECT_EQ(output_, "1.00000000\t2.00000000\t3.00000000\tA\n");
}

TEST_F(TextFileConverterTest, NeverWritesOverItsInput) {
    const std::string content = "1 2 3 A\n";
    writeFile(dir_ / "in.txt", content);
    fs::create_directories(dir_ / "sub");
    fs::create_symlink(dir_ / "in.txt", dir_ / "link.txt");
    const std::string input = (dir_ / "in.txt").string();
    const std::string spellings[] = {
        input,
        dir_.string() + "/./in.txt",
        dir_.string() + "//in.txt",
        dir_.string() + "/sub/../in.txt",
        (dir_ / "link.txt").string(),
    };
    for (const std::string &output : spellings) {
        SCOPED_TRACE(output);
        converter_.setInputPath(input);
        converter_.setOutputPath(output);
        EXPECT_FALSE(converter_.open());
        EXPECT_EQ(converter_.errorMessage(),
                  "Output text file is the input file; it was left untouched");
        EXPECT_EQ(readFile(input), content);
    }
}

TEST_F(TextFileConverterTest, AFailedWriteIsAFailure) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    writeFile(dir_ / "in.txt", "1 2 3 A\n");
    converter_.setInputPath((dir_ / "in.txt").string());
    converter_.setOutputPath("/dev/full");
    ASSERT_TRUE(converter_.open());
    EXPECT_FALSE(converter_.convert());
    EXPECT_EQ(converter_.errorMessage(),
              "Unable to write output text file: No space left on device");
}

// Records, numbers and labels that straddle the boundaries of the read
// buffer, and a label longer than the buffer.
TEST_F(TextFileConverterTest, ConvertsAcrossBufferBoundaries) {
    std::string input;
    std::string expected;
    char x[64], y[64], z[64], line[256];
    for (int i = 0; input.size() < 3'500'000; ++i) {
        std::snprintf(x, sizeof x, "%.*f", i % 10, i * 0.37 - 5000);
        std::snprintf(y, sizeof y, "%.9g", i * 1.5e-3);
        std::snprintf(z, sizeof z, "%g", -1.0 * i);
        std::string label(1 + i % 37, static_cast<char>('a' + i % 26));
        label[0] = 'L';
        for (const char *part : std::initializer_list<const char *>{
                 x, i % 3 ? " " : "\t\t", y, " ", z, " ", label.c_str(),
                 i % 5 ? "\n" : "\r\n"})
            input += part;
        std::snprintf(line, sizeof line, "%.8f\t%.8f\t%.8f\t%s\n",
                      std::strtod(x, nullptr), std::strtod(y, nullptr),
                      std::strtod(z, nullptr), label.c_str());
        expected += line;
    }
    const std::string longLabel(3 * 1024 * 1024 + 17, 'Q');
    input += "1 2 3 " + longLabel + "\n4 5 6 end";
    expected += "1.00000000\t2.00000000\t3.00000000\t" + longLabel +
                "\n4.00000000\t5.00000000\t6.00000000\tend\n";
    EXPECT_TRUE(convert(input)) << converter_.errorMessage();
    EXPECT_TRUE(output_ == expected); // too large for a readable diff
}

} // namespace

#include "DelimitedTextConverter.h"

#include "DelimitedTextReader.h"
#include "ScriptTestFiles.h"
#include "TestFiles.h"
#include "TextFileConverter.h"
#include "TransformationScript.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using kavrotest::readFile;
using kavrotest::writeFile;

constexpr double kMillimetre = 1e-3;

class DelimitedTextConverterTest : public testing::Test {
  protected:
    void SetUp() override { dir_ = kavrotest::freshFolder("kavro_csv_"); }
    void TearDown() override { kavrotest::removeFolder(dir_); }

    // Converts content with the script (an empty chain unless loaded); the
    // output is in output_.
    bool convert(const std::string &content, DelimitedTextConverter &converter,
                 DelimitedTextRequest request = {}) {
        writeFile(dir_ / "in.csv", content);
        converter.setRequest(std::move(request));
        converter.setInputPath((dir_ / "in.csv").string());
        converter.setOutputPath((dir_ / "out.csv").string());
        const bool converted = converter.open() && converter.convert();
        output_ = readFile(dir_ / "out.csv");
        return converted;
    }

    fs::path dir_;
    std::string emptyName_; // never loaded: the chain stays empty
    TransformationScript empty_{emptyName_};
    DelimitedTextConverter identity_{empty_};
    std::string output_;
};

// The shipped Gauss-Boaga West to UTM script, loaded once.
const TransformationScript &gboScript() {
    static const std::string path =
        KAVRO_SOURCE_DIR "/data/script/GBO-UTM32ETRS89-VLM.xml";
    static TransformationScript script(path);
    static const bool loaded = script.load();
    EXPECT_TRUE(loaded);
    return script;
}

// A point list written the way one exporter writes it. Coordinate fields
// hold the markers \x01 (x) and \x02 (y) in `masked`.
struct Dialect {
    std::string name;
    char separator, mark;
    std::string bom, lineEnd;
    std::vector<std::string> header;
    int x, y, z; // columns, z -1 for none
    bool quoteNumbers = false;
};

struct PointList {
    std::string text, masked;
    std::vector<std::array<double, 3>> points;
};

std::string number(double value, int decimals, char mark) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string written = text;
    for (char &c : written)
        if (c == '.')
            c = mark;
    return written;
}

PointList writeList(const Dialect &d, int records) {
    std::mt19937 random(42);
    std::uniform_real_distribution<double> east(1460000, 1720000);
    std::uniform_real_distribution<double> north(4900000, 5200000);
    std::uniform_real_distribution<double> height(-5, 3500);
    const std::string sep(1, d.separator);
    const auto quote = [&](const std::string &text) {
        return d.quoteNumbers ? "\"" + text + "\"" : text;
    };
    // Free text with what spreadsheets quote: separators, quotes, line
    // breaks, and bytes of any encoding.
    const std::string notes[] = {"\"Via Roma" + sep + " 5\"",
                                 "\"Stra\xc3\x9f"
                                 "e \"\"Alt\"\"\"",
                                 "\"due\nrighe\"",
                                 "plain",
                                 "\"Hauptstr. 1, " + d.lineEnd + "Hof\"",
                                 "",
                                 "\xe8 caff\xe8"};
    PointList list;
    list.text = list.masked = d.bom;
    for (std::size_t i = 0; i < d.header.size(); ++i)
        list.text += (i ? sep : "") + d.header[i];
    list.text += d.lineEnd;
    list.masked = list.text;
    for (int r = 0; r < records; ++r) {
        const std::array<double, 3> p = {east(random), north(random),
                                         d.z >= 0 ? height(random) : 0.0};
        std::string text, masked;
        for (int column = 0; column < static_cast<int>(d.header.size());
             ++column) {
            std::string field, mask;
            if (column == d.x || column == d.y) {
                field =
                    quote(number(column == d.x ? p[0] : p[1], r % 4, d.mark));
                mask = quote(column == d.x ? "\x01" : "\x02");
            } else if (column == d.z) {
                field = mask = quote(number(p[2], 2, d.mark));
            } else {
                field = mask = notes[(r + column) % std::size(notes)];
            }
            text += (column ? sep : "") + field;
            masked += (column ? sep : "") + mask;
        }
        // A blank row as spreadsheets write one, and no ending at the end.
        if (r == 3)
            text += d.lineEnd + std::string(d.header.size() - 1, d.separator),
                masked +=
                d.lineEnd + std::string(d.header.size() - 1, d.separator);
        if (r + 1 < records)
            text += d.lineEnd, masked += d.lineEnd;
        list.text += text;
        list.masked += masked;
        char x[32], y[32];
        std::snprintf(x, sizeof x, "%.*f", r % 4, p[0]);
        std::snprintf(y, sizeof y, "%.*f", r % 4, p[1]);
        list.points.push_back(
            {std::strtod(x, nullptr), std::strtod(y, nullptr), p[2]});
    }
    return list;
}

// The output's coordinates, and the output with their texts masked as in
// PointList::masked.
struct ReadBack {
    std::vector<std::array<double, 2>> points;
    std::string masked;
    bool ok = false;
};

ReadBack readBack(const fs::path &path, const DelimitedTextRequest &request) {
    ReadBack back;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    DelimitedTextReader reader(request);
    if (!reader.start(fd)) {
        ADD_FAILURE() << reader.problem();
        ::close(fd);
        return back;
    }
    PointBlock block;
    while (reader.next(block)) {
        const char *copied = block.begin;
        for (const PointRecord &record : block.records) {
            back.points.push_back({record.xyz[0], record.xyz[1]});
            const int first = record.begin[0] < record.begin[1] ? 0 : 1;
            for (int axis : {first, 1 - first}) {
                back.masked.append(copied, record.begin[axis]);
                back.masked += axis == 0 ? '\x01' : '\x02';
                copied = record.end[axis];
            }
        }
        back.masked.append(copied, block.end);
    }
    back.ok = reader.problem().empty();
    ::close(fd);
    return back;
}

// The same points through the text converter, for reference.
std::vector<std::array<double, 3>>
throughTextFormat(const std::vector<std::array<double, 3>> &points,
                  const fs::path &dir) {
    std::ostringstream text;
    text.precision(17);
    for (const auto &p : points)
        text << p[0] << ' ' << p[1] << ' ' << p[2] << " P\n";
    writeFile(dir / "in.txt", text.str());
    TextFileConverter converter(gboScript());
    converter.setInputPath((dir / "in.txt").string());
    converter.setOutputPath((dir / "out.txt").string());
    EXPECT_TRUE(converter.open() && converter.convert());
    std::istringstream out(readFile(dir / "out.txt"));
    std::vector<std::array<double, 3>> converted;
    std::string label;
    for (std::array<double, 3> p; out >> p[0] >> p[1] >> p[2] >> label;)
        converted.push_back(p);
    return converted;
}

TEST_F(DelimitedTextConverterTest, KeepsEveryByteButTheCoordinates) {
    const Dialect dialects[] = {
        {"Italian surveyor, ';' and decimal commas, BOM, CRLF",
         ';',
         ',',
         "\xef\xbb\xbf",
         "\r\n",
         {"Punto", "Est", "Nord", "Quota", "Descrizione"},
         1,
         2,
         3},
        {"English, ',' and points, no height",
         ',',
         '.',
         "",
         "\n",
         {"id", "name", "x_coord", "y_coord", "note"},
         2,
         3,
         -1},
        {"German, tab, CRLF, height with an accent",
         '\t',
         '.',
         "",
         "\r\n",
         {"Nr", "Rechtswert", "Hochwert", "H\xc3\xb6he", "Bemerkung"},
         1,
         2,
         3},
        {"'|', north before east, coordinates first",
         '|',
         ',',
         "",
         "\n",
         {"Nord", "Est", "Note", "Codice"},
         1,
         0,
         -1},
        {"',' with quoted decimal commas",
         ',',
         ',',
         "",
         "\r\n",
         {"Descrizione", "COORD_X", "COORD_Y"},
         1,
         2,
         -1,
         true},
        {"coordinates in the last columns, quoted numbers",
         ';',
         '.',
         "\xef\xbb\xbf",
         "\n",
         {"Descrizione", "Codice", "Quota", "E", "N"},
         3,
         4,
         2,
         true},
    };
    for (const Dialect &d : dialects) {
        SCOPED_TRACE(d.name);
        DelimitedTextConverter converter(gboScript());
        const PointList list = writeList(d, 40);
        ASSERT_TRUE(convert(list.text, converter)) << converter.errorMessage();
        DelimitedTextRequest request;
        request.dialect = {d.separator, d.mark};
        const ReadBack back = readBack(dir_ / "out.csv", request);
        ASSERT_TRUE(back.ok);
        EXPECT_TRUE(back.masked == list.masked) << back.masked;
        const auto reference = throughTextFormat(list.points, dir_);
        ASSERT_EQ(back.points.size(), reference.size());
        for (std::size_t i = 0; i < reference.size(); ++i) {
            EXPECT_NEAR(back.points[i][0], reference[i][0], kMillimetre);
            EXPECT_NEAR(back.points[i][1], reference[i][1], kMillimetre);
        }
    }
}

// The decimals follow what the chain gives, never fewer than the input's.
TEST_F(DelimitedTextConverterTest, WritesDecimalsByTheUnitOfTheResult) {
    kavrotest::copyGrammar(dir_);
    const std::string degrees = kavrotest::writeScript(
        dir_, "degrees.xml",
        "  <Transformation Name=\"to degrees\">\n    <UnitsConversion>"
        "<In>Radian</In><Out>DecimalDegree</Out></UnitsConversion>\n"
        "  </Transformation>\n");
    TransformationScript toDegrees(degrees);
    ASSERT_TRUE(toDegrees.load());
    DelimitedTextConverter converter(toDegrees);
    ASSERT_TRUE(convert("lon;lat\n0,2;0,8\n", converter));
    EXPECT_EQ(output_, "lon;lat\n11,459155903;45,836623610\n");

    ASSERT_TRUE(convert("X,Y,Z\n1,2.5,3\n7.123456,8,9\n", identity_));
    EXPECT_EQ(output_, "X,Y,Z\n1.0000,2.5000,3\n7.123456,8.0000,9\n");
}

TEST_F(DelimitedTextConverterTest, MalformedRecordsKeepWhatCameBefore) {
    const std::string header = "Punto;Est;Nord;Quota\n";
    const std::string good = "P1;1;2;3\n";
    const std::string goodOut = "P1;1,0000;2,0000;3\n";
    const struct {
        std::string input;
        std::string message;
        std::string kept; // after the header
    } cases[] = {
        {good + "P2;;5;6\n",
         "Malformed record 2 in input CSV file, line 3, column 2 \"Est\": the "
         "x coordinate is empty",
         goodOut},
        {good + "P2;4;5x;6\n",
         "Malformed record 2 in input CSV file, line 3, column 3 \"Nord\": "
         "\"5x\" is not a number",
         goodOut},
        {"P2;4,5;5,5;6\n" + good + "P3;4;5.5;6\n",
         "Malformed record 3 in input CSV file, line 4, column 3 \"Nord\": "
         "\"5.5\" is not a number with the decimal mark ',' (another is "
         "given with -DS)",
         "P2;4,5000;5,5000;6\n" + goodOut},
        {good + "P2;4;5;6;7\n",
         "Malformed record 2 in input CSV file, line 3: it has 5 fields, the "
         "header 4",
         goodOut},
        {good + "\n" + good + "P2;4;5\n",
         "Malformed record 4 in input CSV file, line 5: it has 3 fields, the "
         "header 4",
         goodOut + "\n" + goodOut},
        {good + "\"P2\n;4;5;6\n",
         "Malformed record 2 in input CSV file, line 3: the quote opened on "
         "line 3 is never closed",
         goodOut},
        {good + "P2;\"" + std::string(kMaxRecordBytes, 'x') + "\";5;6\n",
         "Record 2 in input CSV file, line 3, is longer than 1 MB", goodOut},
        {good + "P2;\"4;5;6\n" + std::string(kMaxRecordBytes, '\n'),
         "Record 2 in input CSV file, line 3, is longer than 1 MB (the quote "
         "opened on line 3 is not closed)",
         goodOut},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input.substr(0, 60));
        EXPECT_FALSE(convert(header + c.input, identity_));
        EXPECT_EQ(identity_.errorMessage(), c.message);
        EXPECT_EQ(output_, header + c.kept);
    }
    // A file whose layout cannot be found leaves the output as it was.
    EXPECT_FALSE(convert("Punto;Descrizione\nP1;x\n", identity_));
    EXPECT_EQ(output_, header + goodOut);
    // An empty file converts to an empty file.
    EXPECT_TRUE(convert("", identity_));
    EXPECT_EQ(output_, "");
}

// Records and fields that straddle the boundaries of the read buffer and
// of the blocks, with a header that is long too.
TEST_F(DelimitedTextConverterTest, ConvertsAcrossBufferBoundaries) {
    std::string input = "Note;X;Y;" + std::string(500000, 'h') + "\n";
    std::string expected = input;
    for (int i = 0; input.size() < 7'000'000; ++i) {
        const std::string note(1 + (i * 7919) % 3000, 'a' + i % 26);
        const std::string x = std::to_string(i) + "," + std::to_string(i % 10);
        input += "\"" + note + "\n\";" + x + ";" + std::to_string(-i) + ";z\n";
        expected += "\"" + note + "\n\";" + x + "000;" + std::to_string(-i) +
                    ",0000;z\n";
    }
    EXPECT_TRUE(convert(input, identity_)) << identity_.errorMessage();
    EXPECT_TRUE(output_ == expected); // too large for a readable diff
}

} // namespace

// Point lists as spreadsheets export them: the layout found from the start
// of a file, records split as RFC 4180 and the exports have them, and the
// coordinates read with either decimal mark.
#include "DelimitedText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Found {
    char separator, mark;
    std::array<int, 3> columns;
    bool header = true;
};

DelimitedTextRequest given(std::string x = "", std::string y = "",
                           std::string z = "", char separator = 0,
                           char mark = 0) {
    DelimitedTextRequest request;
    request.xColumn = std::move(x);
    request.yColumn = std::move(y);
    request.zColumn = std::move(z);
    request.dialect = {separator, mark};
    return request;
}

TEST(DelimitedText, FindsTheLayoutOfEachDialect) {
    const struct {
        std::string text;
        DelimitedTextRequest request;
        Found found;
    } cases[] = {
        // a surveyor's list: ';' and decimal commas, Italian names
        {"Punto;Est;Nord;Quota\r\nP1;1472210,82;5012345,10;123,4\r\n",
         {},
         {';', ',', {1, 2, 3}}},
        // ',' and decimal points, English names, text with separators
        {"id,name,easting,northing\n1,\"Main St, 5\",1472210.82,5012345.1\n",
         {},
         {',', '.', {2, 3, -1}}},
        // tab and German names (UTF-8), the height without its accent
        {"Nr\tRechtswert\tHochwert\tH\xc3\xb6he\n7\t4468000.5\t5333000.25\t"
         "512\n",
         {},
         {'\t', '.', {1, 2, 3}}},
        // Latin-1 as Windows spreadsheets write it, '|', north first
        {"HOCHWERT|RECHTSWERT|H\xf6he\n5333000,5|4468000,5|1\n",
         {},
         {'|', ',', {1, 0, 2}}},
        // coordinates first, quoted names, a byte-order mark, "sep="
        {"\xef\xbb\xbfsep=;\n\"X\";\"Y\";\"Nota; libera\"\n1,5;2,5;a\n",
         {},
         {';', ',', {0, 1, -1}}},
        // longitude and latitude beside projected columns of no family
        {"lat;lon;quota\n45,1;9,2;100\n", {}, {';', ',', {1, 0, 2}}},
        // a ';' file with whole numbers only: ',' as its exporters write
        {"E;N\n1472210;5012345\n", {}, {';', ',', {0, 1, -1}}},
        {"E\tN\n1472210\t5012345\n", {}, {'\t', '.', {0, 1, -1}}},
        // ',' numbers in a ',' file are quoted
        {"x,y\n\"1,5\",\"2,5\"\n", {}, {',', ',', {0, 1, -1}}},
        // columns given: by name, folded, by number; z none
        {"A;B;Quota\n1;2;3\n", given("b", "A", "0"), {';', ',', {1, 0, -1}}},
        {"A;Hochwert;C\n1;2;3\n", given("C"), {';', ',', {2, 1, -1}}},
        // without a header: every column given by number, numbers in them
        {"P1;1,5;2,5\n", given("2", "3"), {';', ',', {1, 2, -1}, false}},
        // ... but a header when its fields are not numbers
        {"Punto;A;B\nP1;1;2\n", given("2", "3"), {';', ',', {1, 2, -1}}},
        // the dialect given
        {"X;Y\n1.5;2\n", given("", "", "", 0, '.'), {';', '.', {0, 1, -1}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        DelimitedLayout layout;
        std::string problem;
        ASSERT_TRUE(
            findDelimitedLayout(c.text, true, c.request, layout, problem))
            << problem;
        EXPECT_EQ(layout.dialect.separator, c.found.separator);
        EXPECT_EQ(layout.dialect.decimalMark, c.found.mark);
        EXPECT_EQ(layout.columns, c.found.columns);
        EXPECT_EQ(layout.hasHeader, c.found.header);
        // Each text ends with its one data record.
        EXPECT_EQ(layout.preambleBytes,
                  c.found.header ? c.text.rfind('\n', c.text.size() - 2) + 1
                                 : 0u);
    }
}

TEST(DelimitedText, SaysWhyALayoutCannotBeFound) {
    const struct {
        std::string text;
        DelimitedTextRequest request;
        std::string problem;
    } cases[] = {
        {"Punto;Descrizione\nP1;x\n",
         {},
         "No coordinate columns found in input CSV file, whose columns "
         "\"Punto\", \"Descrizione\"; give them with -XC and -YC"},
        {"X;Y;lon;lat\n1;2;3;4\n",
         {},
         "Several pairs of coordinate columns in input CSV file (\"X\"/\"Y\", "
         "\"lon\"/\"lat\"); give them with -XC and -YC"},
        {"E;N;H;Quota\n1;2;3;4\n",
         {},
         "Several height columns in input CSV file (\"H\", \"Quota\"); choose "
         "with -ZC (0: none)"},
        {"X;Y\n1;2\n", given("Q"),
         "No column \"Q\" (-XC) in the header of input CSV file, whose "
         "columns \"X\", \"Y\""},
        {"X,Y;Z\n1;2\n", given("", "", "", ';'),
         "No coordinate columns found in input CSV file, whose columns "
         "\"X,Y\", \"Z\"; give them with -XC and -YC"},
        {"X;x;Y\n1;2;3\n",
         {},
         "No coordinate columns found in input CSV file, whose columns \"X\", "
         "\"x\", \"Y\"; give them with -XC and -YC"},
        {"X;Y\n1;2\n", given("3"),
         "Column 3 (-XC) is not one of the 2 columns of input CSV file"},
        {"X;Y\n1;2\n", given("1", "X"),
         "The x and the y coordinates are both in column 1 \"X\""},
        {"one column\n1\n",
         {},
         "Cannot tell the column separator of input CSV file (none of ';', "
         "tab, '|' and ',' splits its first line); give it with -CS"},
        {"\"X;Y\n1;2\n",
         {},
         "The quote opened on line 1 of input CSV file is never closed"},
        {std::string(kMaxRecordBytes + 1, 'x') + "\n",
         {},
         "The header of input CSV file is longer than 1 MB"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        DelimitedLayout layout;
        std::string problem;
        EXPECT_FALSE(
            findDelimitedLayout(c.text, true, c.request, layout, problem));
        EXPECT_EQ(problem, c.problem);
    }
}

TEST(DelimitedText, FoldsColumnNames) {
    const struct {
        std::string name, folded;
        int axis;
    } cases[] = {
        {"H\xc3\xb6he", "hohe", 2},
        {"H\xf6he", "hohe", 2},
        {"HOEHE", "hoehe", 2},
        {"Coord_X", "coordx", 0},
        {"x-coord", "xcoord", 0},
        {" Est ", "est", 0},
        {"Länge", "lange", 0},
        {"Latitudine (°)", "latitudine", 1},
        {"Quota s.l.m.", "quotaslm", -1},
        {"\xe2\x82\xac", "", -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(foldColumnName(c.name), c.folded);
        EXPECT_EQ(coordinateAxisOfName(c.name).axis, c.axis);
    }
}

// Every record of a text, scanned with every end of the bytes at hand that
// cuts it: a cut gives NeedMore, never a record that differs from the
// whole one.
TEST(DelimitedText, ScansRecordsWhereverTheBytesEnd) {
    const struct {
        std::string text;
        std::vector<std::vector<std::string>> records; // x and y fields
        std::vector<std::size_t> lineBreaks;
    } cases[] = {
        {"1;2\n3;4", {{"1", "2"}, {"3", "4"}}, {1, 0}},
        {"1;2\r\n3;4\r\n", {{"1", "2"}, {"3", "4"}}, {1, 1}},
        {"1;2\r3;4\r", {{"1", "2"}, {"3", "4"}}, {1, 1}},
        {"\"1\";\"a;\"\"b\"\"\r\nc\"\n", {{"1", "a;\"\"b\"\"\r\nc"}}, {2}},
        {"1\";2 \"x\"\n", {{"1\"", "2 \"x\""}}, {1}},
        {";\n\n", {{"", ""}, {"", ""}}, {1, 1}},
        {"\"\";\"\"\n", {{"", ""}}, {1}},
    };
    const RecordScanner scanner(';', {0, 1, kNoColumn});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const char *first = c.text.data();
        const char *const last = first + c.text.size();
        for (std::size_t r = 0; r < c.records.size(); ++r) {
            RecordScanner::Scan whole;
            ASSERT_EQ(scanner.scan(first, last, true, whole),
                      RecordScanner::Result::Record);
            const auto field = [&](int k) {
                return std::string(whole.wanted[k].begin, whole.wanted[k].end);
            };
            EXPECT_EQ(field(0), c.records[r][0]);
            EXPECT_EQ(field(1), c.records[r][1]);
            EXPECT_EQ(whole.lineBreaks, c.lineBreaks[r]);
            for (const char *cut = first; cut < last; ++cut) {
                RecordScanner::Scan part;
                const auto result = scanner.scan(first, cut, false, part);
                if (result == RecordScanner::Result::Record)
                    EXPECT_EQ(part.end, whole.end);
                else
                    EXPECT_EQ(result, RecordScanner::Result::NeedMore);
            }
            first = whole.end;
        }
        EXPECT_EQ(first, last);
    }
}

TEST(DelimitedText, RefusesRecordsTooLongOrOpenAtTheEnd) {
    const RecordScanner scanner(';', {0, 1, kNoColumn}, 10);
    RecordScanner::Scan scan;
    const std::string tooLong = "1;\"\n2345678901\n";
    EXPECT_EQ(scanner.scan(tooLong.data(), tooLong.data() + tooLong.size(),
                           false, scan),
              RecordScanner::Result::TooLong);
    EXPECT_TRUE(scan.inQuote);
    const std::string open = "1;2\n\"3;4\n";
    EXPECT_EQ(
        scanner.scan(open.data() + 4, open.data() + open.size(), true, scan),
        RecordScanner::Result::OpenQuote);
    EXPECT_EQ(scanner.split(open.data(), open.data() + 4),
              (std::vector<std::string>{"1", "2"}));
}

TEST(DelimitedText, ReadsCoordinatesWithTheirMark) {
    const struct {
        std::string text;
        char mark;
        bool read;
        double value;
        int decimals;
    } cases[] = {
        {"1472210,82", ',', true, 1472210.82, 2},
        {"1472210.82", '.', true, 1472210.82, 2},
        {" -0,5 ", ',', true, -0.5, 1},
        {"+12", '.', true, 12, 0},
        {"1,5e3", ',', true, 1500, 1},
        {"1472210,82", '.', false, 0, 0},
        {"1472210.82", ',', false, 0, 0},
        {"1.472.210,82", ',', false, 0, 0},
        {"1,472,210.82", '.', false, 0, 0},
        {"", ',', false, 0, 0},
        {"   ", '.', false, 0, 0},
        {"12 m", '.', false, 0, 0},
        {"nan", '.', false, 0, 0},
        {std::string(65, '1'), '.', false, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const char *begin = c.text.data(), *end = begin + c.text.size();
        double value = 0;
        int decimals = -1;
        ASSERT_EQ(readCoordinate(begin, end, c.mark, value, decimals), c.read);
        if (c.read) {
            EXPECT_EQ(value, c.value);
            EXPECT_EQ(decimals, c.decimals);
            EXPECT_EQ(std::string(begin, end).find(' '), std::string::npos);
        }
    }
}

} // namespace

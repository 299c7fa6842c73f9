#include "DelimitedText.h"

#include "TextNumbers.h"
#include "Utf8.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <optional>
#include <tuple>

namespace {

constexpr char kQuote = '"';
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The separators guessed, in the order that settles a tie.
constexpr char kSeparators[] = {';', '\t', '|', ','};

// How many records after the header the guesses look at.
constexpr std::size_t kSampleRecords = 1000;

// ---------------------------------------------------------------------------
// Column names.

// U+00C0 to U+00FF without their accents, in lower case ("" for the two
// signs among them).
constexpr const char *kLatin1Letters[64] = {
    "a", "a", "a", "a", "a",  "a",  "ae", "c", "e", "e", "e",  "e", "i",
    "i", "i", "i", "d", "n",  "o",  "o",  "o", "o", "o", "",   "o", "u",
    "u", "u", "u", "y", "th", "ss", "a",  "a", "a", "a", "a",  "a", "ae",
    "c", "e", "e", "e", "e",  "i",  "i",  "i", "i", "d", "n",  "o", "o",
    "o", "o", "o", "",  "o",  "u",  "u",  "u", "u", "y", "th", "y"};
static_assert(std::size(kLatin1Letters) == 0x100 - 0xC0);

struct KnownName {
    const char *folded;
    CoordinateName meaning;
};

// The families: x/y/z, east/north, longitude/latitude. Heights belong to
// none (any family may have "H" or "Quota").
constexpr int kXYFamily = 0, kEastNorthFamily = 1, kLonLatFamily = 2;
constexpr KnownName kKnownNames[] = {
    // x, y, z and their spreadsheet spellings, English and Italian
    {"x", {0, kXYFamily}},
    {"coordx", {0, kXYFamily}},
    {"xcoord", {0, kXYFamily}},
    {"xcoordinate", {0, kXYFamily}},
    {"coordinatex", {0, kXYFamily}},
    {"coordinatax", {0, kXYFamily}},
    {"y", {1, kXYFamily}},
    {"coordy", {1, kXYFamily}},
    {"ycoord", {1, kXYFamily}},
    {"ycoordinate", {1, kXYFamily}},
    {"coordinatey", {1, kXYFamily}},
    {"coordinatay", {1, kXYFamily}},
    {"z", {2, kXYFamily}},
    {"coordz", {2, kXYFamily}},
    {"zcoord", {2, kXYFamily}},
    {"zcoordinate", {2, kXYFamily}},
    {"coordinatez", {2, kXYFamily}},
    {"coordinataz", {2, kXYFamily}},
    // east and north: English, Italian, German
    {"e", {0, kEastNorthFamily}},
    {"east", {0, kEastNorthFamily}},
    {"easting", {0, kEastNorthFamily}},
    {"est", {0, kEastNorthFamily}},
    {"rechtswert", {0, kEastNorthFamily}},
    {"rw", {0, kEastNorthFamily}},
    {"ostwert", {0, kEastNorthFamily}},
    {"n", {1, kEastNorthFamily}},
    {"north", {1, kEastNorthFamily}},
    {"northing", {1, kEastNorthFamily}},
    {"nord", {1, kEastNorthFamily}},
    {"hochwert", {1, kEastNorthFamily}},
    {"hw", {1, kEastNorthFamily}},
    {"nordwert", {1, kEastNorthFamily}},
    // longitude and latitude
    {"lon", {0, kLonLatFamily}},
    {"long", {0, kLonLatFamily}},
    {"lng", {0, kLonLatFamily}},
    {"longitude", {0, kLonLatFamily}},
    {"longitudine", {0, kLonLatFamily}},
    {"laenge", {0, kLonLatFamily}},
    {"lange", {0, kLonLatFamily}},
    {"lat", {1, kLonLatFamily}},
    {"latitude", {1, kLonLatFamily}},
    {"latitudine", {1, kLonLatFamily}},
    {"breite", {1, kLonLatFamily}},
    // heights
    {"h", {2, -1}},
    {"height", {2, -1}},
    {"elevation", {2, -1}},
    {"elev", {2, -1}},
    {"alt", {2, -1}},
    {"altitude", {2, -1}},
    {"quota", {2, -1}},
    {"altezza", {2, -1}},
    {"hoehe", {2, -1}},
    {"hohe", {2, -1}},
};

// ---------------------------------------------------------------------------
// Columns.

constexpr const char *kAxisOption[3] = {"-XC", "-YC", "-ZC"};
constexpr const char *kAxisName[3] = {"x", "y", "z"};

std::string quoted(std::string_view text) {
    std::string shown(1, '"');
    shown += shownField(text);
    shown += '"';
    return shown;
}

// The header's names for a message: '"Punto", "Est", ...'.
std::string listNames(const std::vector<std::string> &names) {
    constexpr std::size_t kShown = 20;
    std::string list;
    for (std::size_t i = 0; i < names.size() && i < kShown; ++i)
        list += (i == 0 ? "" : ", ") + quoted(names[i]);
    if (names.size() > kShown)
        list += ", ... (" + std::to_string(names.size()) + " columns)";
    return list;
}

bool isNumber(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
}

class ColumnFinder {
  public:
    ColumnFinder(const DelimitedLayout &layout, std::string &problem)
        : layout_(layout), problem_(problem) {}

    // Fills columns; false with the problem.
    bool find(const DelimitedTextRequest &request,
              std::array<int, 3> &columns) {
        const std::string *given[3] = {&request.xColumn, &request.yColumn,
                                       &request.zColumn};
        for (int axis = 0; axis < 3; ++axis)
            if (!given[axis]->empty() &&
                !resolve(axis, *given[axis], columns[axis]))
                return false;
        if (given[0]->empty() || given[1]->empty()) {
            if (!findPair(given[0]->empty() ? kNoColumn : columns[0],
                          given[1]->empty() ? kNoColumn : columns[1], columns))
                return false;
        }
        if (given[2]->empty() && !findHeight(columns))
            return false;
        for (int a = 0; a < 3; ++a)
            for (int b = a + 1; b < 3; ++b)
                if (columns[a] != kNoColumn && columns[a] == columns[b])
                    return fail("The " + std::string(kAxisName[a]) +
                                " and the " + kAxisName[b] +
                                " coordinates are both in " +
                                layout_.describeColumn(columns[a]));
        return true;
    }

  private:
    bool fail(std::string text) {
        problem_ = std::move(text);
        return false;
    }

    std::string columnsText() const {
        if (!layout_.hasHeader)
            return std::to_string(layout_.fieldCount) + " columns";
        return "columns " + listNames(layout_.names);
    }

    // A column given by name or number.
    bool resolve(int axis, const std::string &given, int &column) {
        const std::string option = kAxisOption[axis];
        if (isNumber(given)) {
            const std::size_t number =
                given.size() > 9 ? std::size_t(-1) : std::stoul(given);
            if (number == 0 && axis == 2) {
                column = kNoColumn;
                return true;
            }
            if (number == 0 || number > layout_.fieldCount)
                return fail("Column " + given + " (" + option +
                            ") is not one of the " +
                            std::to_string(layout_.fieldCount) +
                            " columns of input CSV file");
            column = static_cast<int>(number - 1);
            return true;
        }
        const auto &names = layout_.names;
        std::vector<int> found;
        for (std::size_t i = 0; i < names.size(); ++i)
            if (names[i] == given)
                found.push_back(static_cast<int>(i));
        if (found.empty()) {
            const std::string folded = foldColumnName(given);
            for (std::size_t i = 0; i < names.size(); ++i)
                if (!folded.empty() && foldColumnName(names[i]) == folded)
                    found.push_back(static_cast<int>(i));
        }
        if (found.size() == 1) {
            column = found.front();
            return true;
        }
        return fail((found.empty() ? "No column " : "Several columns ") +
                    quoted(given) + " (" + option +
                    ") in the header of input CSV file, whose " +
                    columnsText() + (found.empty() ? "" : "; give its number"));
    }

    // The columns of one axis whose names are known, with their family.
    std::vector<std::pair<int, int>> named(int axis) const {
        std::vector<std::pair<int, int>> columns;
        for (std::size_t i = 0; i < layout_.names.size(); ++i) {
            const CoordinateName meaning =
                coordinateAxisOfName(layout_.names[i]);
            if (meaning.axis == axis)
                columns.emplace_back(static_cast<int>(i), meaning.family);
        }
        return columns;
    }

    int familyOf(int column) const {
        return column == kNoColumn || !layout_.hasHeader
                   ? -1
                   : coordinateAxisOfName(layout_.names[column]).family;
    }

    // x and y by name, either of them maybe given (not kNoColumn): a pair
    // is one x and one y of one family, or the one name of the other axis
    // that goes with a given column.
    bool findPair(int givenX, int givenY, std::array<int, 3> &columns) {
        std::vector<std::array<int, 2>> pairs;
        const auto xs = named(0), ys = named(1);
        const auto ofFamily = [](const std::vector<std::pair<int, int>> &list,
                                 int family) {
            std::vector<int> found;
            for (const auto &[column, f] : list)
                if (family == -1 || f == family)
                    found.push_back(column);
            return found;
        };
        if (givenX == kNoColumn && givenY == kNoColumn) {
            for (int family : {kXYFamily, kEastNorthFamily, kLonLatFamily}) {
                const auto x = ofFamily(xs, family), y = ofFamily(ys, family);
                if (x.size() == 1 && y.size() == 1)
                    pairs.push_back({x.front(), y.front()});
            }
        } else {
            const bool xGiven = givenX != kNoColumn;
            const int given = xGiven ? givenX : givenY;
            const auto other = ofFamily(xGiven ? ys : xs, familyOf(given));
            for (int column : other)
                pairs.push_back(xGiven ? std::array<int, 2>{given, column}
                                       : std::array<int, 2>{column, given});
        }
        if (pairs.size() == 1) {
            columns[0] = pairs.front()[0];
            columns[1] = pairs.front()[1];
            return true;
        }
        const std::string give = givenX == kNoColumn && givenY == kNoColumn
                                     ? "give them with -XC and -YC"
                                 : givenX == kNoColumn ? "give it with -XC"
                                                       : "give it with -YC";
        if (pairs.empty())
            return fail("No coordinate columns found in input CSV file, "
                        "whose " +
                        columnsText() + "; " + give);
        std::string list;
        for (const auto &pair : pairs)
            list += (list.empty() ? "" : ", ") +
                    quoted(layout_.names[pair[0]]) + "/" +
                    quoted(layout_.names[pair[1]]);
        return fail("Several pairs of coordinate columns in input CSV file (" +
                    list + "); " + give);
    }

    bool findHeight(std::array<int, 3> &columns) {
        std::vector<int> heights, inFamily;
        const int family = familyOf(columns[0]);
        for (const auto &[column, f] : named(2)) {
            if (column == columns[0] || column == columns[1])
                continue;
            heights.push_back(column);
            if (f == family || f == -1)
                inFamily.push_back(column);
        }
        if (heights.size() > 1 && inFamily.size() == 1)
            heights = inFamily;
        if (heights.size() > 1) {
            std::vector<std::string> names;
            for (int column : heights)
                names.push_back(layout_.names[column]);
            return fail("Several height columns in input CSV file (" +
                        listNames(names) + "); choose with -ZC (0: none)");
        }
        columns[2] = heights.empty() ? kNoColumn : heights.front();
        return true;
    }

    const DelimitedLayout &layout_;
    std::string &problem_;
};

// ---------------------------------------------------------------------------
// Guessing.

// The data records of a sample after the preamble, as far as they are whole.
struct SampleRecords {
    std::size_t rows = 0;     // not blank
    std::size_t matching = 0; // with as many fields as the header
};

SampleRecords countRecords(const RecordScanner &scanner, const char *first,
                           const char *last, bool whole,
                           std::size_t fieldCount) {
    SampleRecords counted;
    RecordScanner::Scan scan;
    for (std::size_t n = 0; n < kSampleRecords && first != last; ++n) {
        if (scanner.scan(first, last, whole, scan) !=
            RecordScanner::Result::Record)
            break;
        if (!scan.blank) {
            ++counted.rows;
            counted.matching += scan.fields == fieldCount;
        }
        first = scan.end;
    }
    return counted;
}

// The decimal mark with which more of the sample's coordinates read as
// numbers with decimals.
char guessDecimalMark(const DelimitedLayout &layout, const char *first,
                      const char *last, bool whole) {
    const RecordScanner scanner(layout.dialect.separator, layout.columns);
    RecordScanner::Scan scan;
    std::size_t votes[2] = {0, 0}; // '.', ','
    for (std::size_t n = 0; n < kSampleRecords && first != last; ++n) {
        if (scanner.scan(first, last, whole, scan) !=
            RecordScanner::Result::Record)
            break;
        first = scan.end;
        for (const FieldText &field : scan.wanted) {
            int mark = 0;
            for (const char candidate : {'.', ','}) {
                const char *begin = field.begin, *end = field.end;
                double value;
                int decimals = 0;
                if (begin != nullptr &&
                    readCoordinate(begin, end, candidate, value, decimals) &&
                    std::memchr(begin, candidate,
                                static_cast<std::size_t>(end - begin)))
                    ++votes[mark];
                ++mark;
            }
        }
    }
    if (votes[0] != votes[1])
        return votes[0] > votes[1] ? '.' : ',';
    // Nothing to tell by: a ';' file comes from where the comma is the mark.
    return layout.dialect.separator == ';' ? ',' : '.';
}

// A first line "sep=X" names the separator; its length with its line
// ending, or 0.
std::size_t separatorLine(std::string_view text, char &separator) {
    constexpr std::string_view kPrefix = "sep=";
    if (text.size() < kPrefix.size() + 1 ||
        text.substr(0, kPrefix.size()) != kPrefix)
        return 0;
    const std::size_t after = kPrefix.size() + 1;
    std::size_t length = after;
    if (length < text.size() && text[length] == '\r')
        ++length;
    if (length < text.size() && text[length] == '\n')
        ++length;
    if (length == after && length != text.size())
        return 0; // more on the line
    separator = text[kPrefix.size()];
    return length;
}

bool isSeparator(char c) {
    return std::find(std::begin(kSeparators), std::end(kSeparators), c) !=
           std::end(kSeparators);
}

// The header (or the first record) split with one separator, its columns
// found.
struct Candidate {
    DelimitedLayout layout;
    bool found = false;
    std::string problem;
    SampleRecords records;
};

Candidate tryLayout(std::string_view sample, bool whole,
                    const DelimitedTextRequest &request, DelimitedLayout layout,
                    std::size_t headerStart) {
    Candidate candidate;
    const RecordScanner scanner(layout.dialect.separator);
    const char *first = sample.data() + headerStart;
    const char *last = sample.data() + sample.size();
    RecordScanner::Scan scan;
    const auto result = scanner.scan(first, last, whole, scan);
    if (result == RecordScanner::Result::TooLong) {
        candidate.problem = "The header of input CSV file is longer than 1 MB";
        return candidate;
    }
    if (result != RecordScanner::Result::Record) { // a quote never closed
        candidate.problem =
            "The quote opened on line " +
            std::to_string(layout.firstLine + scan.openQuoteLine) +
            " of input CSV file is never closed";
        return candidate;
    }
    layout.names = scanner.split(first, scan.end);
    layout.fieldCount = layout.names.size();

    // Without a header when every column is given by number and the first
    // record holds numbers in them.
    const bool byNumber =
        isNumber(request.xColumn) && isNumber(request.yColumn) &&
        (request.zColumn.empty() || isNumber(request.zColumn));
    if (byNumber) {
        bool numbers = true;
        for (const std::string *given : {&request.xColumn, &request.yColumn}) {
            const std::size_t column = std::stoul(given->substr(0, 9));
            std::string text = column >= 1 && column <= layout.names.size()
                                   ? layout.names[column - 1]
                                   : std::string();
            const char *begin = text.data(), *end = begin + text.size();
            double value;
            int decimals;
            numbers =
                numbers && (readCoordinate(begin, end, '.', value, decimals) ||
                            (begin = text.data(), end = begin + text.size(),
                             readCoordinate(begin, end, ',', value, decimals)));
        }
        if (numbers) {
            layout.hasHeader = false;
            layout.names.clear();
        }
    }
    if (layout.hasHeader) {
        layout.preambleBytes =
            static_cast<std::size_t>(scan.end - sample.data());
        layout.firstLine += scan.lineBreaks;
    } else {
        layout.preambleBytes = headerStart;
    }

    ColumnFinder finder(layout, candidate.problem);
    candidate.found = finder.find(request, layout.columns);
    candidate.records =
        countRecords(scanner, sample.data() + layout.preambleBytes, last, whole,
                     layout.fieldCount);
    candidate.layout = std::move(layout);
    return candidate;
}

} // namespace

std::string DelimitedLayout::describeColumn(int column) const {
    std::string text = "column ";
    text += std::to_string(column + 1);
    if (hasHeader && column >= 0 &&
        static_cast<std::size_t>(column) < names.size()) {
        text += ' ';
        text += quoted(names[column]);
    }
    return text;
}

std::string foldColumnName(std::string_view name) {
    std::string folded;
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z')
                folded += static_cast<char>(c - 'A' + 'a');
            else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
                folded += static_cast<char>(c);
            ++i;
            continue;
        }
        // A UTF-8 sequence, or a byte of a single-byte code page.
        const std::size_t length = utf8SequenceLength(name, i);
        if (length == 2 && c == 0xC3) // U+00C0 to U+00FF
            folded +=
                kLatin1Letters[static_cast<unsigned char>(name[i + 1]) - 0x80];
        else if (length == 0 && c >= 0xC0) // a Latin-1 letter
            folded += kLatin1Letters[c - 0xC0];
        i += length == 0 ? 1 : length;
    }
    return folded;
}

CoordinateName coordinateAxisOfName(std::string_view name) {
    const std::string folded = foldColumnName(name);
    for (const KnownName &known : kKnownNames)
        if (folded == known.folded)
            return known.meaning;
    return {};
}

RecordScanner::RecordScanner(char separator, std::array<int, 3> wanted,
                             std::size_t maxBytes)
    : separator_(separator), wanted_(wanted), maxBytes_(maxBytes) {
    stops_[static_cast<unsigned char>(separator)] = true;
    stops_['\r'] = true;
    stops_['\n'] = true;
}

bool RecordScanner::tooLong(const char *first, const char *p) const {
    return static_cast<std::size_t>(p - first) > maxBytes_;
}

RecordScanner::Result RecordScanner::needMore(const char *first,
                                              const char *p) const {
    return tooLong(first, p) ? Result::TooLong : Result::NeedMore;
}

RecordScanner::Result
RecordScanner::scanQuoted(const char *first, const char *&p, const char *last,
                          bool atEnd, Scan &scan, FieldText &text) const {
    text.quoted = true;
    scan.blank = false;
    scan.inQuote = true;
    scan.openQuoteLine = scan.lineBreaks;
    const char *q = p + 1;
    text.begin = q;
    for (;;) {
        // To the next quote, counting the line breaks on the way.
        const char *quote = static_cast<const char *>(
            std::memchr(q, kQuote, static_cast<std::size_t>(last - q)));
        const char *stop = quote != nullptr ? quote : last;
        scan.lineBreaks +=
            static_cast<std::uint64_t>(std::count(q, stop, '\n'));
        q = stop;
        if (quote == nullptr) // no end in sight
            return atEnd && !tooLong(first, q) ? Result::OpenQuote
                                               : needMore(first, q);
        if (tooLong(first, q)) { // an end, but too far
            scan.inQuote = false;
            return Result::TooLong;
        }
        if (q + 1 == last && !atEnd)
            return needMore(first, q);
        if (q + 1 != last && q[1] == kQuote) {
            q += 2; // a doubled quote
            continue;
        }
        text.end = q++;
        break;
    }
    scan.inQuote = false;
    // Anything between the closing quote and the separator stays in the
    // field, which is then not a clean quoted field.
    while (q != last && !stops_[static_cast<unsigned char>(*q)]) {
        text.clean = false;
        ++q;
    }
    p = q;
    return Result::Record;
}

RecordScanner::Result RecordScanner::scan(const char *first, const char *last,
                                          bool atEnd, Scan &scan) const {
    scan = Scan{};
    scan.blank = true;
    const char *p = first;
    for (std::size_t field = 0;; ++field) {
        FieldText text;
        if (p != last && *p == kQuote) {
            const Result quoted = scanQuoted(first, p, last, atEnd, scan, text);
            if (quoted != Result::Record)
                return quoted;
        } else {
            const char *q = p;
            while (q != last && !stops_[static_cast<unsigned char>(*q)])
                ++q;
            text.begin = p;
            text.end = q;
            if (q != p)
                scan.blank = false;
            p = q;
        }
        if (p == last && !atEnd)
            return needMore(first, p);
        for (std::size_t k = 0; k < wanted_.size(); ++k)
            if (static_cast<std::size_t>(wanted_[k]) == field)
                scan.wanted[k] = text;
        scan.fields = field + 1;
        if (p == last) { // the file's last record, without a line ending
            scan.end = p;
            break;
        }
        if (*p == separator_) {
            ++p;
            continue;
        }
        if (*p == '\r') {
            if (p + 1 == last && !atEnd)
                return needMore(first, p);
            p += p + 1 != last && p[1] == '\n' ? 2 : 1;
        } else {
            ++p; // '\n'
        }
        ++scan.lineBreaks;
        scan.end = p;
        break;
    }
    return tooLong(first, scan.end) ? Result::TooLong : Result::Record;
}

std::vector<std::string> RecordScanner::split(const char *first,
                                              const char *last) const {
    std::vector<std::string> fields(1);
    bool inQuote = false;
    for (const char *p = first; p != last; ++p) {
        const char c = *p;
        if (inQuote) {
            if (c != kQuote)
                fields.back() += c;
            else if (p + 1 != last && p[1] == kQuote)
                fields.back() += c, ++p;
            else
                inQuote = false;
        } else if (c == kQuote && fields.back().empty()) {
            inQuote = true;
        } else if (c == separator_) {
            fields.emplace_back();
        } else if (c == '\r' || c == '\n') {
            break;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

bool readCoordinate(const char *&begin, const char *&end, char decimalMark,
                    double &value, int &decimals) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (begin != end && blank(*begin))
        ++begin;
    while (end != begin && blank(end[-1]))
        --end;
    // Room for any number a coordinate needs; anything longer is not one.
    constexpr std::size_t kMaxNumberLength = 64;
    const std::size_t length = static_cast<std::size_t>(end - begin);
    if (length == 0 || length > kMaxNumberLength)
        return false;
    const char *text = begin;
    char copy[kMaxNumberLength];
    if (decimalMark != '.') {
        // The number reader knows only '.': the mark becomes one, and a '.'
        // of the text (a thousands separator) must not.
        if (std::memchr(begin, '.', length) != nullptr)
            return false;
        std::memcpy(copy, begin, length);
        std::replace(copy, copy + length, decimalMark, '.');
        text = copy;
    }
    double read = 0;
    if (readClassicNumber(text, text + length, read) != text + length)
        return false;
    const char *mark =
        static_cast<const char *>(std::memchr(text, '.', length));
    int count = 0;
    if (mark != nullptr)
        for (const char *p = mark + 1;
             p != text + length && *p >= '0' && *p <= '9'; ++p)
            ++count;
    value = read;
    decimals = count;
    return true;
}

std::string shownField(std::string_view text, std::size_t limit) {
    std::string shown;
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        shown += c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c);
    }
    if (text.size() > limit)
        shown += "...";
    return shown;
}

bool findDelimitedLayout(std::string_view sample, bool whole,
                         const DelimitedTextRequest &request,
                         DelimitedLayout &layout, std::string &problem) {
    DelimitedLayout start;
    std::size_t headerStart = 0;
    if (sample.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        headerStart = kByteOrderMark.size();
    char named = 0;
    if (const std::size_t line =
            separatorLine(sample.substr(headerStart), named)) {
        headerStart += line;
        start.firstLine = 2;
    }
    if (headerStart == sample.size() && whole) {
        // Nothing but a byte-order mark: nothing to convert.
        layout = start;
        layout.preambleBytes = headerStart;
        layout.dialect = {
            request.dialect.separator ? request.dialect.separator : ';',
            request.dialect.decimalMark ? request.dialect.decimalMark : ','};
        return true;
    }

    std::vector<char> separators;
    if (request.dialect.separator != 0)
        separators = {request.dialect.separator};
    else if (named != 0 && isSeparator(named))
        separators = {named};
    else
        separators.assign(std::begin(kSeparators), std::end(kSeparators));

    std::optional<Candidate> best;
    std::string headerProblem;
    for (const char separator : separators) {
        DelimitedLayout tried = start;
        tried.dialect.separator = separator;
        Candidate candidate =
            tryLayout(sample, whole, request, std::move(tried), headerStart);
        if (candidate.layout.fieldCount == 0) { // the header cannot be read
            headerProblem = candidate.problem;
            continue;
        }
        if (candidate.layout.fieldCount < 2 && separators.size() > 1)
            continue;
        const auto rank = [](const Candidate &c) {
            return std::make_tuple(c.found,
                                   c.records.matching == c.records.rows,
                                   c.records.matching, c.layout.fieldCount);
        };
        if (!best || rank(candidate) > rank(*best))
            best = std::move(candidate);
    }
    if (!best && !headerProblem.empty()) {
        problem = headerProblem;
        return false;
    }
    if (!best) {
        problem = "Cannot tell the column separator of input CSV file (none "
                  "of ';', tab, '|' and ',' splits its first line); give it "
                  "with -CS";
        return false;
    }
    if (!best->found) {
        problem = best->problem;
        return false;
    }
    layout = std::move(best->layout);
    layout.dialect.decimalMark =
        request.dialect.decimalMark != 0
            ? request.dialect.decimalMark
            : guessDecimalMark(layout, sample.data() + layout.preambleBytes,
                               sample.data() + sample.size(), whole);
    return true;
}

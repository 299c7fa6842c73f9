#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Point lists as spreadsheets and offices export them ("CSV"): a header
// row, then one record per point, the coordinates in some of its columns.
//
// Records follow RFC 4180 and the habits of spreadsheet exports: fields
// are separated by one character (';', ',', tab or '|'); a field that
// starts with '"' is quoted, holds separators and line breaks, and writes
// a quote as two; a quote inside an unquoted field is an ordinary
// character. Records end with LF, CR-LF or a lone CR, or at the end of the
// file. A UTF-8 byte-order mark and a first line "sep=;" (as spreadsheets
// write it to name the separator) come before the header.
//
// Numbers in the coordinate columns are decimal numbers with one decimal
// mark ('.' or ','), an optional sign and exponent, blanks around them
// allowed; no thousands separators. Everything outside the coordinate
// fields is bytes: no encoding is assumed.

// The separator and the decimal mark; 0 where not known (yet).
struct DelimitedDialect {
    char separator = 0;
    char decimalMark = 0;
};

// What the user gave: the dialect's parts that are not to be guessed, and
// each coordinate column as its name or its number from 1 (empty: found
// by name; for z, "0" says that there is none).
struct DelimitedTextRequest {
    DelimitedDialect dialect;
    std::string xColumn, yColumn, zColumn;
};

// Records longer than this are refused: it bounds the memory a file can
// ask for (a quote that is never closed would otherwise take the rest of
// the file into one record).
inline constexpr std::size_t kMaxRecordBytes = std::size_t{1} << 20;

inline constexpr int kNoColumn = -1;

// How a file is laid out, as findDelimitedLayout found it.
struct DelimitedLayout {
    DelimitedDialect dialect;
    // The bytes before the first data record: the byte-order mark, the
    // "sep=" line and the header.
    std::size_t preambleBytes = 0;
    bool hasHeader = true;
    // The header's fields (none without a header) and their number (that of
    // the first record without one).
    std::vector<std::string> names;
    std::size_t fieldCount = 0;
    // The x, y and z columns from 0; z may be kNoColumn.
    std::array<int, 3> columns{kNoColumn, kNoColumn, kNoColumn};
    // The line on which the first data record starts, from 1.
    std::uint64_t firstLine = 1;

    // 'column 3 "Nord"', or 'column 3' without a header: for messages.
    std::string describeColumn(int column) const;
};

// Finds the layout from the start of a file: `sample` is its first bytes
// (at least kMaxRecordBytes and the line ending after them, or the whole
// file when `whole`). The separator is the one of ';', tab, '|' and ','
// that splits the header into at least two columns among which the
// coordinate columns are found, with the most rows of the sample having as
// many fields as the header; the decimal mark is the one with which more
// of the sample's coordinates read as numbers with decimals (',' for a ';'
// file without any, '.' otherwise). Columns are found by name (see
// coordinateAxisOfName), or taken from the request. Without a header: when
// every column is given by number and the first record holds numbers in
// them. False, with a message for people in `problem`, when the layout
// cannot be found.
bool findDelimitedLayout(std::string_view sample, bool whole,
                         const DelimitedTextRequest &request,
                         DelimitedLayout &layout, std::string &problem);

// The name of a column as it is compared: letters without accents and in
// lower case, digits kept, everything else left out ("Höhe" and "HOEHE"
// give "hohe" and "hoehe", "Coord_X" gives "coordx"). Accented letters are
// read as UTF-8 or, where the bytes are not UTF-8, as Latin-1 (Windows
// spreadsheets write their code page).
std::string foldColumnName(std::string_view name);

// The axis a column's name stands for: 0 for x (east, longitude), 1 for y
// (north, latitude), 2 for z (height), -1 for none. The family tells names
// of one convention apart (x/y, east/north, lon/lat), so that a file with
// both projected and geographic columns is not taken for one pair.
struct CoordinateName {
    int axis = -1;
    int family = -1;
};
CoordinateName coordinateAxisOfName(std::string_view name);

// One field of a record as the scanner found it: its content (inside the
// quotes of a quoted field), whether it was quoted, and whether anything
// followed the closing quote before the separator.
struct FieldText {
    const char *begin = nullptr;
    const char *end = nullptr;
    bool quoted = false;
    bool clean = true;
};

// Splits records of one separator. Scanning needs the record whole in
// memory: it tells when the bytes given end inside a record.
class RecordScanner {
  public:
    enum class Result {
        Record,    // a whole record
        NeedMore,  // the bytes end inside a record that may still end
        TooLong,   // longer than the limit
        OpenQuote, // the file ends inside a quoted field
    };

    struct Scan {
        const char *end = nullptr; // behind its line ending
        std::size_t fields = 0;
        std::uint64_t lineBreaks = 0; // inside it, its ending included
        // The line breaks before the quote still open (TooLong, OpenQuote).
        std::uint64_t openQuoteLine = 0;
        bool inQuote = false;
        bool blank = false; // nothing but separators
        std::array<FieldText, 3> wanted{};
    };

    explicit RecordScanner(char separator,
                           std::array<int, 3> wanted = {kNoColumn, kNoColumn,
                                                        kNoColumn},
                           std::size_t maxBytes = kMaxRecordBytes);

    // Scans the record that starts at first; `atEnd` says that the file
    // ends at last. The fields numbered in `wanted` are given back.
    Result scan(const char *first, const char *last, bool atEnd,
                Scan &scan) const;

    // The fields of one whole record, quotes taken off and doubled quotes
    // made single.
    std::vector<std::string> split(const char *first, const char *last) const;

  private:
    bool tooLong(const char *first, const char *p) const;
    Result needMore(const char *first, const char *p) const;
    // A quoted field from its opening quote at p, which is left behind the
    // field: Record when the field is whole, else why the scan stops there.
    Result scanQuoted(const char *first, const char *&p, const char *last,
                      bool atEnd, Scan &scan, FieldText &text) const;

    char separator_;
    std::array<int, 3> wanted_;
    std::size_t maxBytes_;
    std::array<bool, 256> stops_{}; // the separator, CR and LF
};

// Reads a coordinate's text with the decimal mark given: blanks around it
// are skipped (begin and end then mark the number itself), the other mark
// and any thousands separator refuse it. `decimals` is the number of digits
// after the mark. False for a text that is not such a number, the empty
// text included.
bool readCoordinate(const char *&begin, const char *&end, char decimalMark,
                    double &value, int &decimals);

// A field's text for a message: control characters as '?', cut after
// `limit` bytes with "...".
std::string shownField(std::string_view text, std::size_t limit = 40);

#pragma once

#include "DelimitedText.h"
#include "FileConverter.h"
#include "Operation.h"
#include "Point.h"
#include "StreamedFiles.h"

#include <memory>
#include <string>
#include <vector>

struct PointBlock;
class RecordText;

// Delimited-text point lists (DelimitedText.h): the output has the input's
// layout, byte for byte, except for the numbers of the coordinate fields,
// which the chain's results replace.
//
// The numbers are written in fixed-point notation with the input's decimal
// mark and as many decimals as keep them whole: the number's own, and at
// least 4 for lengths (0.1 mm), 9 for degrees and 11 for radians, by what
// the chain gives (TransformationScript::outputKind; a chain that keeps its
// input's kind counts as lengths). A point without a z column or text goes
// through the chain with height 0. The z field is the point's height above
// ground or sea, which a change of datum or projection does not change, so
// it keeps its text; only a chain that ends in geocentric coordinates
// writes its Z there.
//
// The file is read and converted in blocks of whole records: the pool's
// threads convert blocks side by side, and they are written in the file's
// order.
class DelimitedTextConverter final : public FileConverter {
  public:
    explicit DelimitedTextConverter(const TransformationScript &script);
    ~DelimitedTextConverter() override;

    // What the command line gave: separator, decimal mark, columns.
    void setRequest(DelimitedTextRequest request) {
        request_ = std::move(request);
    }
    void setRegularFilesOnly(bool regularOnly) {
        files_.setRegularFilesOnly(regularOnly);
    }

    // Opens the input and creates the output as the text converter does.
    bool open() override;
    // Converts every record, closes both files and renames the output into
    // place, also when the input turned out malformed: the records before
    // the fault stay. False, with errorMessage(), when the layout cannot be
    // found (the message lists the header's columns), a record is
    // malformed (by its number, line and column), the chain cannot convert
    // a point, or the output could not be written whole.
    bool convert() override;

  private:
    bool fail(std::string message);
    // Writes the block's bytes up to `end` with the converted numbers of
    // its first `records` records in place.
    void writeBlock(const PointBlock &block, const Point *points,
                    std::size_t records, const char *end,
                    RecordText &out) const;

    DelimitedTextRequest request_;
    StreamedFiles files_{"CSV"};
    std::unique_ptr<char[]> outputBuffer_;
    // Per file, and only read while its blocks are converted: the columns in
    // the order they stand in a record, whether each is written, and the least
    // decimals for each.
    std::vector<int> writeOrder_;
    int minimumDecimals_[3] = {0, 0, 0};
    char decimalMark_ = '.';
};

#pragma once

#include "ChunkReader.h"
#include "DelimitedText.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The coordinates of one record and where their texts stand in the input,
// so that a writer can put new numbers in their place.
struct PointRecord {
    const char *start = nullptr; // the record's first byte
    double xyz[3] = {0, 0, 0};   // z is 0 without a z column or text
    // The numbers' texts (inside any quotes and blanks); a z without text
    // (no column, an empty field) has begin == end == nullptr.
    const char *begin[3] = {nullptr, nullptr, nullptr};
    const char *end[3] = {nullptr, nullptr, nullptr};
    // The digits after the decimal mark of each text.
    int decimals[3] = {0, 0, 0};
    // Of a record whose numbers are still to be read: whether each field
    // was free of stray bytes around its quotes.
    bool clean[3] = {true, true, true};
    std::uint64_t number = 0; // counted from 1 after the header
    std::uint64_t line = 0;   // the line it starts on, from 1
};

// A run of whole records as they follow each other in the file: every byte
// in [begin, end) (the header and blank records included) and the records
// in it that hold a point, in order. What one block's points need is all
// in the block, so blocks can be converted independently of each other.
struct PointBlock {
    const char *begin = nullptr;
    const char *end = nullptr;
    std::vector<PointRecord> records;
};

// Reads a point list in blocks of whole records through one buffer, so
// that memory does not depend on the file's size. A record without any
// content (an empty line, or only separators, as spreadsheets write empty
// rows) keeps its bytes and number but holds no point.
class DelimitedTextReader {
  public:
    // The records of one block at most: enough work per block to be worth
    // handing to another thread, little memory.
    static constexpr std::size_t kBlockRecords = 4096;

    explicit DelimitedTextReader(DelimitedTextRequest request);
    ~DelimitedTextReader();

    // Reads the start of fd (read, not owned) and finds the layout. False
    // with problem() when the file cannot be read or its layout not found;
    // an empty file has a layout with no columns and no records.
    bool start(int fd);
    const DelimitedLayout &layout() const { return layout_; }

    // The next block; false when nothing is left or reading failed. A
    // malformed record ends the block before it: its block comes first,
    // then false with problem() naming the record. The block's bytes stay
    // valid until the next call.
    bool next(PointBlock &block);

    // With numbers left (for another thread), next() finds the records
    // and their coordinate fields but does not read the numbers: begin and
    // end hold each field's whole text, xyz and decimals stay 0, and a
    // malformed number does not end a block. readNumbers() reads them.
    void leaveNumbers(bool leave) { leaveNumbers_ = leave; }
    // Reads the coordinates of a record that next() found with numbers
    // left, as next() would have; false, with failure saying why, when one
    // is malformed. Only reads the layout: any thread may call it at once
    // with next().
    bool readNumbers(PointRecord &record, std::string &failure) const;

    // Why reading stopped early ("Malformed record 4 in input CSV file,
    // line 5, column 2 "Est": "12a" is not a number"); empty after a clean
    // end. errorNumber() is the errno of a failed read, else 0.
    const std::string &problem() const { return problem_; }
    int errorNumber() const { return errorNumber_; }

  private:
    bool fail(std::string text);
    bool readPoint(const RecordScanner::Scan &scan, PointRecord &record);

    DelimitedTextRequest request_;
    DelimitedLayout layout_;
    std::unique_ptr<char[]> buffer_;
    std::unique_ptr<ChunkReader> in_;
    std::unique_ptr<RecordScanner> scanner_;
    const char *blockStart_ = nullptr; // the next block's first byte
    std::uint64_t number_ = 0;         // of the last record scanned
    std::uint64_t line_ = 1;           // of the next record
    bool done_ = false;
    bool leaveNumbers_ = false;
    std::string problem_;
    int errorNumber_ = 0;
};

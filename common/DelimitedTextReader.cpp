#include "DelimitedTextReader.h"

#include "SystemError.h"

#include <cstring>
#include <string_view>

namespace {

// Room for the longest record and its line ending, and for many records
// besides, so that each read brings whole blocks. Every byte of it counts
// in the engine's peak memory.
constexpr std::size_t kInputBufferSize = kMaxRecordBytes + kMaxRecordBytes / 4;
static_assert(kInputBufferSize > kMaxRecordBytes + 2);

constexpr const char *kAxisName[3] = {"x", "y", "z"};

} // namespace

DelimitedTextReader::DelimitedTextReader(DelimitedTextRequest request)
    : request_(std::move(request)), buffer_(new char[kInputBufferSize]) {}

DelimitedTextReader::~DelimitedTextReader() = default;

bool DelimitedTextReader::fail(std::string text) {
    problem_ = std::move(text);
    return false;
}

bool DelimitedTextReader::start(int fd) {
    layout_ = DelimitedLayout{};
    problem_.clear();
    errorNumber_ = 0;
    number_ = 0;
    done_ = false;
    in_ = std::make_unique<ChunkReader>(fd, buffer_.get(), kInputBufferSize);
    in_->pos = in_->end = buffer_.get();
    in_->refill();
    if (in_->error() != 0) {
        errorNumber_ = in_->error();
        return fail("Unable to read input CSV file: " +
                    systemErrorText(errorNumber_));
    }
    blockStart_ = in_->pos;
    if (in_->pos == in_->end) { // an empty file
        done_ = true;
        return true;
    }
    const std::string_view sample(
        in_->pos, static_cast<std::size_t>(in_->end - in_->pos));
    if (!findDelimitedLayout(sample, in_->atEnd(), request_, layout_, problem_))
        return false;
    in_->pos += layout_.preambleBytes;
    line_ = layout_.firstLine;
    scanner_ = std::make_unique<RecordScanner>(layout_.dialect.separator,
                                               layout_.columns);
    return true;
}

bool DelimitedTextReader::next(PointBlock &block) {
    block.records.clear();
    if (done_ || !problem_.empty() || !in_)
        return false;
    block.records.reserve(kBlockRecords);
    ChunkReader &in = *in_;
    RecordScanner::Scan scan;
    const auto place = [&] {
        return "record " + std::to_string(number_) +
               " in input CSV file, line " + std::to_string(line_);
    };
    while (block.records.size() < kBlockRecords) {
        if (in.pos == in.end && in.atEnd()) {
            done_ = true;
            break;
        }
        const auto result = scanner_->scan(in.pos, in.end, in.atEnd(), scan);
        if (result == RecordScanner::Result::NeedMore) {
            if (blockStart_ != in.pos)
                break; // this block first; the next one reads on
            if (!in.refill() && in.error() != 0) {
                errorNumber_ = in.error();
                fail("Unable to read input CSV file: " +
                     systemErrorText(errorNumber_));
                break;
            }
            blockStart_ = in.pos;
            continue;
        }
        ++number_;
        if (result == RecordScanner::Result::TooLong) {
            std::string text = "Record " + std::to_string(number_) +
                               " in input CSV file, line " +
                               std::to_string(line_) + ", is longer than 1 MB";
            if (scan.inQuote)
                text += " (the quote opened on line " +
                        std::to_string(line_ + scan.openQuoteLine) +
                        " is not closed)";
            fail(std::move(text));
            break;
        }
        if (result == RecordScanner::Result::OpenQuote) {
            fail("Malformed " + place() + ": the quote opened on line " +
                 std::to_string(line_ + scan.openQuoteLine) +
                 " is never closed");
            break;
        }
        if (!scan.blank) {
            if (scan.fields != layout_.fieldCount) {
                fail("Malformed " + place() + ": it has " +
                     std::to_string(scan.fields) + " fields, the " +
                     (layout_.hasHeader ? "header " : "first record ") +
                     std::to_string(layout_.fieldCount));
                break;
            }
            PointRecord &record = block.records.emplace_back();
            record.start = in.pos;
            record.number = number_;
            record.line = line_;
            if (!readPoint(scan, record)) {
                block.records.pop_back();
                break;
            }
        }
        in.pos = scan.end;
        line_ += scan.lineBreaks;
    }
    block.begin = blockStart_;
    block.end = in.pos;
    blockStart_ = in.pos;
    return block.begin != block.end;
}

bool DelimitedTextReader::readPoint(const RecordScanner::Scan &scan,
                                    PointRecord &record) {
    for (int axis = 0; axis < 3; ++axis) {
        if (layout_.columns[axis] == kNoColumn)
            continue;
        const FieldText &field = scan.wanted[axis];
        record.begin[axis] = field.begin;
        record.end[axis] = field.end;
        record.clean[axis] = field.clean;
    }
    if (leaveNumbers_)
        return true;
    std::string failure;
    return readNumbers(record, failure) || fail(std::move(failure));
}

bool DelimitedTextReader::readNumbers(PointRecord &record,
                                      std::string &failure) const {
    const char mark = layout_.dialect.decimalMark;
    for (int axis = 0; axis < 3; ++axis) {
        if (layout_.columns[axis] == kNoColumn)
            continue;
        const char *const fieldBegin = record.begin[axis];
        const char *const fieldEnd = record.end[axis];
        const bool clean = record.clean[axis];
        const char *begin = fieldBegin, *end = fieldEnd;
        double value = 0;
        int decimals = 0;
        if (clean && readCoordinate(begin, end, mark, value, decimals)) {
            record.xyz[axis] = value;
            record.begin[axis] = begin;
            record.end[axis] = end;
            record.decimals[axis] = decimals;
            continue;
        }
        const bool empty = begin == end && clean;
        if (empty && axis == 2) {
            // a point without height: 0 for the chain
            record.begin[axis] = record.end[axis] = nullptr;
            continue;
        }
        std::string text = "Malformed record " + std::to_string(record.number) +
                           " in input CSV file, line " +
                           std::to_string(record.line) + ", " +
                           layout_.describeColumn(layout_.columns[axis]) + ": ";
        if (empty) {
            text +=
                std::string("the ") + kAxisName[axis] + " coordinate is empty";
        } else {
            const std::string_view shown(
                fieldBegin, static_cast<std::size_t>(fieldEnd - fieldBegin));
            text += '"';
            text += shownField(shown);
            text += "\" is not a number";
            // Say so when the number is written with the other mark.
            const char other = mark == ',' ? '.' : ',';
            if (clean && readCoordinate(begin, end, other, value, decimals) &&
                std::memchr(begin, other,
                            static_cast<std::size_t>(end - begin)) != nullptr)
                text += std::string(" with the decimal mark '") + mark +
                        "' (another is given with -DS)";
        }
        failure = std::move(text);
        return false;
    }
    return true;
}

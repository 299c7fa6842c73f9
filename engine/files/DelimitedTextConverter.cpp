#include "DelimitedTextConverter.h"

#include "BlockPipeline.h"
#include "BufferedWriter.h"
#include "DelimitedTextReader.h"
#include "RecordText.h"
#include "SystemError.h"
#include "TextNumbers.h"
#include "TransformationScript.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr std::size_t kOutputBufferSize = std::size_t{1} << 18;

// The least decimals that keep a coordinate of each kind whole: 0.1 mm for
// lengths, 1e-9 degrees, 1e-11 radians (6e-10 degrees).
constexpr int kLengthDecimals = 4;
constexpr int kDegreeDecimals = 9;
constexpr int kRadianDecimals = 11;

int decimalsFor(CoordinateKind kind) {
    switch (kind) {
    case CoordinateKind::Degrees:
        return kDegreeDecimals;
    case CoordinateKind::Radians:
        return kRadianDecimals;
    case CoordinateKind::Unknown:
    case CoordinateKind::Projected:
    case CoordinateKind::Geocentric:
        break;
    }
    return kLengthDecimals;
}

// A block of records with its own copy of their bytes, so that the reader
// can read on while it is converted; then its points and its text.
struct ListBlock {
    PointBlock records;
    std::vector<char> bytes;
    // The records before the first with a malformed number (malformed says
    // why), of those the records before the first the chain refused.
    std::size_t parsed = 0;
    std::string malformed;
    std::vector<Point> points;
    ChainStatus status;
    std::size_t converted = 0;
    RecordText text;
};

// Copies the block's bytes out of the reader's buffer into its own and
// moves every pointer of its records along.
BlockRead keepBytes(ListBlock &block) {
    PointBlock &records = block.records;
    block.bytes.assign(records.begin, records.end);
    const char *const base = block.bytes.data();
    const auto moved = [&](const char *p) {
        return p == nullptr ? nullptr : base + (p - records.begin);
    };
    for (PointRecord &record : records.records) {
        record.start = moved(record.start);
        for (int axis = 0; axis < 3; ++axis) {
            record.begin[axis] = moved(record.begin[axis]);
            record.end[axis] = moved(record.end[axis]);
        }
    }
    records.end = base + (records.end - records.begin);
    records.begin = base;
    return BlockRead::More;
}

} // namespace

DelimitedTextConverter::DelimitedTextConverter(
    const TransformationScript &script)
    : FileConverter(script), outputBuffer_(new char[kOutputBufferSize]) {}

DelimitedTextConverter::~DelimitedTextConverter() = default;

bool DelimitedTextConverter::fail(std::string message) {
    errorMessage_ = std::move(message);
    return false;
}

bool DelimitedTextConverter::open() {
    errorMessage_.clear();
    return files_.open(inputPath_, outputPath_, errorMessage_);
}

void DelimitedTextConverter::writeBlock(const PointBlock &block,
                                        const Point *points,
                                        std::size_t records, const char *end,
                                        RecordText &out) const {
    const char *copied = block.begin;
    for (std::size_t i = 0; i < records; ++i) {
        const PointRecord &record = block.records[i];
        const double values[3] = {points[i].x, points[i].y, points[i].z};
        for (const int axis : writeOrder_) {
            if (record.begin[axis] == nullptr)
                continue; // a z without text keeps none
            out.write(copied,
                      static_cast<std::size_t>(record.begin[axis] - copied));
            const int decimals =
                std::max(minimumDecimals_[axis], record.decimals[axis]);
            char *const number = out.reserve(kFixedMaxLength(decimals));
            char *const numberEnd = writeFixed(number, values[axis], decimals);
            if (decimalMark_ != '.')
                std::replace(number, numberEnd, '.', decimalMark_);
            out.commit(numberEnd);
            copied = record.end[axis];
        }
        // Up to the next record: the rest of this one and any blank ones.
        const char *const next =
            i + 1 < block.records.size() ? block.records[i + 1].start : end;
        out.write(copied, static_cast<std::size_t>(next - copied));
        copied = next;
        out.endRecord();
    }
    out.write(copied, static_cast<std::size_t>(end - copied));
    if (end != copied)
        out.endRecord();
}

bool DelimitedTextConverter::convert() {
    errorMessage_.clear();
    if (!files_.isOpen())
        return fail("No CSV file is open");

    DelimitedTextReader reader(request_);
    reader.leaveNumbers(true); // they are read on the converting threads
    BufferedWriter out(files_.output(), outputBuffer_.get(), kOutputBufferSize);
    if (!reader.start(files_.input())) {
        // Nothing of it can be converted: no output replaces an older one.
        files_.close();
        return fail(reader.problem());
    }
    std::string failure;
    {
        const DelimitedLayout &layout = reader.layout();
        decimalMark_ = layout.dialect.decimalMark;
        const CoordinateKind kind = script_.outputKind();
        minimumDecimals_[0] = minimumDecimals_[1] = decimalsFor(kind);
        minimumDecimals_[2] = kLengthDecimals;
        // The axes to write, in the order their columns stand.
        writeOrder_ = {0, 1};
        if (kind == CoordinateKind::Geocentric &&
            layout.columns[2] != kNoColumn)
            writeOrder_.push_back(2);
        std::sort(writeOrder_.begin(), writeOrder_.end(), [&](int a, int b) {
            return layout.columns[a] < layout.columns[b];
        });

        convertInBlocks<ListBlock>(
            pool_,
            [&](ListBlock &block) {
                return reader.next(block.records) ? keepBytes(block)
                                                  : BlockRead::Nothing;
            },
            [this, &reader](ListBlock &block) {
                PointBlock &records = block.records;
                block.points.clear();
                block.malformed.clear();
                for (PointRecord &record : records.records) {
                    if (!reader.readNumbers(record, block.malformed))
                        break;
                    block.points.push_back(
                        {{record.xyz[0], record.xyz[1]}, record.xyz[2]});
                }
                block.parsed = block.points.size();
                block.status.take();
                block.converted =
                    script_.transformPoints(block.points, block.status);
                const char *const end =
                    block.converted < records.records.size()
                        ? records.records[block.converted].start
                        : records.end;
                block.text.clear();
                writeBlock(records, block.points.data(), block.converted, end,
                           block.text);
            },
            [&](ListBlock &block) {
                block.text.writeTo(out);
                if (block.converted < block.parsed) {
                    const PointRecord &record =
                        block.records.records[block.converted];
                    failure = "point " + std::to_string(record.number) +
                              ", on line " + std::to_string(record.line) +
                              ", " + block.status.take();
                    return false;
                }
                if (block.parsed < block.records.records.size()) {
                    failure = block.malformed;
                    return false;
                }
                return out.error() == 0;
            });
        if (failure.empty())
            failure = reader.problem();
    }

    out.flush();
    const int writeError = files_.finish(out.error(), out.wholeRecordsEnd());
    if (writeError != 0)
        return fail("Unable to write output CSV file: " +
                    systemErrorText(writeError));
    if (!failure.empty())
        return fail(failure);
    return true;
}

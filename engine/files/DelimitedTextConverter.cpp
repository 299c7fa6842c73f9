#include "DelimitedTextConverter.h"

#include "BufferedWriter.h"
#include "DelimitedTextReader.h"
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

} // namespace

DelimitedTextConverter::DelimitedTextConverter(
    const TransformationScript &script)
    : FileConverter(script), outputBuffer_(new char[kOutputBufferSize]) {
    points_.reserve(DelimitedTextReader::kBlockRecords);
}

DelimitedTextConverter::~DelimitedTextConverter() = default;

bool DelimitedTextConverter::fail(std::string message) {
    errorMessage_ = std::move(message);
    return false;
}

bool DelimitedTextConverter::open() {
    errorMessage_.clear();
    return files_.open(inputPath_, outputPath_, errorMessage_);
}

std::size_t DelimitedTextConverter::convertPoints(const PointBlock &block,
                                                  std::string &failure) {
    const std::size_t count = block.records.size();
    points_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const PointRecord &record = block.records[i];
        Point &point = points_[i];
        point.x = record.xyz[0];
        point.y = record.xyz[1];
        point.z = record.xyz[2];
        if (!script_.transformPoint(point)) {
            failure = "point " + std::to_string(record.number) + ", on line " +
                      std::to_string(record.line) + ", " +
                      script_.takePointFailure();
            return i;
        }
    }
    return count;
}

void DelimitedTextConverter::writeBlock(const PointBlock &block,
                                        std::size_t records, const char *end,
                                        BufferedWriter &out) const {
    const char *copied = block.begin;
    for (std::size_t i = 0; i < records; ++i) {
        const PointRecord &record = block.records[i];
        const double values[3] = {points_[i].x, points_[i].y, points_[i].z};
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

        PointBlock block;
        while (failure.empty() && out.error() == 0 && reader.next(block)) {
            const std::size_t converted = convertPoints(block, failure);
            const char *const end = converted < block.records.size()
                                        ? block.records[converted].start
                                        : block.end;
            writeBlock(block, converted, end, out);
        }
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

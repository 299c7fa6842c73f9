#include "TextFileConverter.h"

#include "BlockPipeline.h"
#include "BufferedWriter.h"
#include "ChunkReader.h"
#include "Point.h"
#include "RecordText.h"
#include "SystemError.h"
#include "TextNumbers.h"
#include "TransformationScript.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Buffers large enough that system calls cost next to nothing (a
// two-million-record file of 80 MB takes some 300 reads) and small enough
// to leave the engine's peak resident size where the libraries put it.
constexpr std::size_t kInputBufferSize = std::size_t{1} << 18;
constexpr std::size_t kOutputBufferSize = std::size_t{1} << 18;

// A number is parsed from contiguous bytes, so before each number at least
// this much of the input (or all that is left of it) is kept in the buffer.
// A number token longer than this is refused as malformed.
constexpr std::size_t kNumberLookahead = 64 * 1024;
static_assert(kNumberLookahead < kInputBufferSize);

// The input file as tokens: the shared chunked reader with the line of its
// position.
class TokenReader : public ChunkReader {
  public:
    TokenReader(int fd, char *buffer)
        : ChunkReader(fd, buffer, kInputBufferSize) {}

    std::uint64_t line = 1; // of pos

    // Skips white space; false at the end of the input (or on a read error).
    bool skipSpace() {
        for (;;) {
            while (pos != end && isClassicSpace(*pos)) {
                if (*pos == '\n')
                    ++line;
                ++pos;
            }
            if (pos != end)
                return true;
            if (!refill())
                return false;
        }
    }
};

constexpr const char *kFieldNames[] = {"x", "y", "z"};

std::string readFailure(int error) {
    return "Unable to read input text file: " + systemErrorText(error);
}

// Reads the next record's three numbers into point and makes sure that its
// label follows; recordLine is the line the record starts on. False when
// there is no whole record: failure says why, and stays empty at a clean
// end of the input, between two records.
bool readNumbers(TokenReader &in, std::uint64_t record, Point &point,
                 std::uint64_t &recordLine, std::string &failure) {
    double xyz[3];
    int field = 0;
    std::uint64_t tokenLine = in.line;
    recordLine = in.line;
    const char *problem = nullptr;
    for (; field < 3 && in.skipSpace(); ++field) {
        tokenLine = in.line;
        if (field == 0)
            recordLine = in.line;
        in.lookahead(kNumberLookahead);
        const char *end = readClassicNumber(in.pos, in.end, xyz[field]);
        if (end == nullptr || (end == in.end && !in.atEnd())) {
            problem = end == nullptr ? " is not a number" : " is too long";
            break;
        }
        in.pos = end;
    }
    const bool labelFollows = field == 3 && in.skipSpace();

    const auto malformed = [&](const std::string &what) {
        return "Malformed record " + std::to_string(record) +
               " in input text file, line " + std::to_string(tokenLine) + ": " +
               what;
    };
    if (in.error() != 0) {
        failure = readFailure(in.error());
        return false;
    }
    if (problem != nullptr) {
        failure = malformed(kFieldNames[field] + std::string(problem));
        return false;
    }
    if (!labelFollows) {
        // A clean end falls between two records; anything else is a record
        // cut short.
        if (field != 0)
            failure = malformed(
                "the file ends before its " +
                std::string(field == 3 ? "label" : kFieldNames[field]));
        return false;
    }
    point.x = xyz[0];
    point.y = xyz[1];
    point.z = xyz[2];
    return true;
}

// Records are converted in blocks of this many: enough work to be worth
// handing to another thread, little memory.
constexpr std::size_t kBlockRecords = 4096;
// A label longer than this is not held in its block: the rest of it is
// copied from the input to the output when its block is written (the block
// is then read, converted and written in order, BlockRead::InOrder), so
// that no label, however long, is held whole.
constexpr std::size_t kLongLabel = 64 * 1024;

// Records read in the file's order, then converted and formatted on any
// thread.
struct TextBlock {
    std::uint64_t firstRecord = 0; // its number, from 1
    std::vector<Point> points;
    std::vector<std::uint64_t> lines; // the line each record starts on
    std::string labels;               // one after the other
    std::vector<std::size_t> labelEnds;
    // The last label goes on in the input, to be copied when the block is
    // written.
    bool labelContinues = false;
    // Why reading stopped after these records; empty when it did not.
    std::string stop;

    // What the conversion made of it: the records before the first that
    // the chain refused (status says why), as text.
    ChainStatus status;
    std::size_t converted = 0;
    RecordText text;
};

BlockRead readBlock(TokenReader &in, std::uint64_t &record, TextBlock &block) {
    block.firstRecord = record + 1;
    block.points.clear();
    block.lines.clear();
    block.labels.clear();
    block.labelEnds.clear();
    block.labelContinues = false;
    block.stop.clear();
    while (block.points.size() < kBlockRecords) {
        Point point;
        std::uint64_t line = 0;
        if (!readNumbers(in, record + 1, point, line, block.stop))
            return block.points.empty() && block.stop.empty()
                       ? BlockRead::Nothing
                       : BlockRead::Last;
        ++record;
        block.points.push_back(point);
        block.lines.push_back(line);
        // The label, byte for byte, in as many chunks of the input as it
        // takes.
        const std::size_t labelStart = block.labels.size();
        for (;;) {
            const char *start = in.pos;
            while (in.pos != in.end && !isClassicSpace(*in.pos))
                ++in.pos;
            block.labels.append(start, in.pos);
            if (in.pos != in.end)
                break;
            if (block.labels.size() - labelStart > kLongLabel) {
                block.labelContinues = true;
                break;
            }
            if (!in.refill())
                break;
        }
        block.labelEnds.push_back(block.labels.size());
        if (in.error() != 0) {
            block.stop = readFailure(in.error());
            return BlockRead::Last;
        }
        if (block.labelContinues)
            return BlockRead::InOrder;
    }
    return BlockRead::More;
}

// Each record as "x\ty\tz\tlabel\n", the numbers with eight decimals.
void convertBlock(const TransformationScript &script, TextBlock &block) {
    block.status.take();
    block.converted = script.transformPoints(block.points, block.status);
    block.text.clear();
    std::size_t labelStart = 0;
    for (std::size_t i = 0; i < block.converted; ++i) {
        const Point &point = block.points[i];
        char *text = block.text.reserve(3 * (kFixed8MaxLength + 1));
        text = writeFixed8(text, point.x);
        *text++ = '\t';
        text = writeFixed8(text, point.y);
        *text++ = '\t';
        text = writeFixed8(text, point.z);
        *text++ = '\t';
        block.text.commit(text);
        const std::size_t labelEnd = block.labelEnds[i];
        block.text.write(block.labels.data() + labelStart,
                         labelEnd - labelStart);
        labelStart = labelEnd;
        if (block.labelContinues && i + 1 == block.points.size())
            break; // the record ends once its label has been copied
        block.text.write("\n", 1);
        block.text.endRecord();
    }
}

// Writes the converted records; false, with failure (empty after a failed
// write), when the file stops with this block.
bool writeBlock(TextBlock &block, TokenReader &in, BufferedWriter &out,
                std::string &failure) {
    block.text.writeTo(out);
    if (block.converted < block.points.size()) {
        const std::size_t i = block.converted;
        failure = "point " + std::to_string(block.firstRecord + i) +
                  ", on line " + std::to_string(block.lines[i]) + ", " +
                  block.status.take();
        return false;
    }
    if (block.labelContinues) {
        // The rest of the label, straight from the input to the output.
        for (;;) {
            const char *start = in.pos;
            while (in.pos != in.end && !isClassicSpace(*in.pos))
                ++in.pos;
            out.write(start, static_cast<std::size_t>(in.pos - start));
            if (in.pos != in.end || !in.refill())
                break;
        }
        out.write("\n", 1);
        out.endRecord();
        if (in.error() != 0)
            block.stop = readFailure(in.error());
    }
    failure = block.stop;
    return failure.empty() && out.error() == 0;
}

} // namespace

TextFileConverter::TextFileConverter(const TransformationScript &script)
    : FileConverter(script), inputBuffer_(new char[kInputBufferSize]),
      outputBuffer_(new char[kOutputBufferSize]) {}

TextFileConverter::~TextFileConverter() = default;

bool TextFileConverter::fail(std::string message) {
    errorMessage_ = std::move(message);
    return false;
}

bool TextFileConverter::open() {
    errorMessage_.clear();
    return files_.open(inputPath_, outputPath_, errorMessage_);
}

bool TextFileConverter::convert() {
    errorMessage_.clear();
    if (!files_.isOpen())
        return fail("No text file is open");

    TokenReader in(files_.input(), inputBuffer_.get());
    BufferedWriter out(files_.output(), outputBuffer_.get(), kOutputBufferSize);
    std::uint64_t record = 0; // the last one read, from 1
    std::string failure;
    convertInBlocks<TextBlock>(
        pool_, [&](TextBlock &block) { return readBlock(in, record, block); },
        [this](TextBlock &block) { convertBlock(script_, block); },
        [&](TextBlock &block) { return writeBlock(block, in, out, failure); });
    out.flush();
    const int writeError = files_.finish(out.error(), out.wholeRecordsEnd());
    if (writeError != 0)
        return fail("Unable to write output text file: " +
                    systemErrorText(writeError));
    if (!failure.empty())
        return fail(failure);
    return true;
}

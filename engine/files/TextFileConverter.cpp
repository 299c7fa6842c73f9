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
#include <span>
#include <string>
#include <utility>
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

// Records are converted in blocks of this many: enough work to be worth
// handing to another thread (about a third of a millisecond), and blocks
// small enough that those in flight stay in the processors' caches as they
// pass from the reading thread to another and back.
constexpr std::size_t kBlockRecords = 1024;
// A label longer than this is not held in its block: the rest of it is
// copied from the input to the output when its block is written (the block
// is then read, converted and written in order, BlockRead::InOrder), so
// that no label, however long, is held whole.
constexpr std::size_t kLongLabel = 64 * 1024;
// White space longer than this between two tokens is kept in a block as
// its first character alone.
constexpr std::size_t kLongSpace = 64;

// The input file as tokens: the shared chunked reader with the line of its
// position. While a block is read, the bytes that the reader passes over
// are kept in the block, whatever refills the buffer meanwhile, with long
// runs of white space cut short.
class TokenReader : public ChunkReader {
  public:
    TokenReader(int fd, char *buffer)
        : ChunkReader(fd, buffer, kInputBufferSize) {}

    std::uint64_t line = 1; // of pos

    // Keeps the bytes from pos on in kept (nullptr: no longer), after
    // handing those passed over so far to the bytes kept before.
    void keepIn(std::string *kept) {
        flushKept();
        kept_ = kept;
        keptFrom_ = pos;
    }
    // Where pos is in the bytes kept.
    std::size_t keptOffset() const {
        return kept_->size() + static_cast<std::size_t>(pos - keptFrom_);
    }

    bool refill() {
        flushKept();
        const bool more = ChunkReader::refill();
        keptFrom_ = pos;
        return more;
    }
    void lookahead(std::size_t wanted) {
        if (static_cast<std::size_t>(end - pos) < wanted)
            refill();
    }

    // Skips white space; false at the end of the input (or on a read error).
    bool skipSpace() {
        for (;;) {
            const char *space = pos;
            while (pos != end && isClassicSpace(*pos)) {
                if (*pos == '\n')
                    ++line;
                ++pos;
            }
            if (kept_ != nullptr &&
                static_cast<std::size_t>(pos - space) > kLongSpace) {
                kept_->append(keptFrom_, space + 1);
                keptFrom_ = pos;
            }
            if (pos != end)
                return true;
            if (!refill())
                return false;
        }
    }

  private:
    void flushKept() {
        if (kept_ != nullptr)
            kept_->append(keptFrom_, pos);
        keptFrom_ = pos;
    }

    std::string *kept_ = nullptr;
    const char *keptFrom_ = nullptr;
};

constexpr const char *kFieldNames[] = {"x", "y", "z"};

std::string readFailure(int error) {
    return "Unable to read input text file: " + systemErrorText(error);
}

std::string malformed(std::uint64_t record, std::uint64_t line,
                      const std::string &what) {
    return "Malformed record " + std::to_string(record) +
           " in input text file, line " + std::to_string(line) + ": " + what;
}

// The lines of the three numbers of a record that spans lines.
struct SpreadRecord {
    std::size_t index; // in its block
    std::uint64_t lines[3];
};

// Records found in the file's order, then read, converted and formatted on
// any thread.
struct TextBlock {
    std::uint64_t firstRecord = 0; // its number, from 1
    // The input from the first record on, white space cut short (TokenReader),
    // and where each record starts in it.
    std::string bytes;
    std::vector<std::size_t> starts;
    std::vector<std::uint64_t> lines; // the line each record starts on
    std::vector<SpreadRecord> spread;
    // The last label goes on in the input, to be copied when the block is
    // written.
    bool labelContinues = false;
    // Why reading stopped after these records; empty when it did not.
    std::string stop;

    // What the conversion made of it: the records before the first whose
    // number could not be read (malformed says why), of those the records
    // before the first that the chain refused (status says why), as text.
    std::size_t parsed = 0;
    std::string malformed;
    std::vector<Point> points;
    std::vector<std::pair<std::size_t, std::size_t>> labels; // in bytes
    ChainStatus status;
    std::size_t converted = 0;
    RecordText text;

    std::uint64_t lineOf(std::size_t i, int field) const {
        for (const SpreadRecord &record : spread)
            if (record.index == i)
                return record.lines[field];
        return lines[i];
    }
};

// Finds the next record: three numbers, each where classic stream input
// would read it, and the start of its label; recordLine is the line the
// record starts on. False when there is no whole record: failure says why,
// and stays empty at a clean end of the input, between two records. The
// numbers' values are read later, by readRecords.
bool findRecord(TokenReader &in, std::uint64_t record, TextBlock &block,
                std::string &failure) {
    std::uint64_t lines[3] = {in.line, in.line, in.line};
    std::size_t start = 0;
    int field = 0;
    std::uint64_t tokenLine = in.line;
    const char *problem = nullptr;
    for (; field < 3 && in.skipSpace(); ++field) {
        tokenLine = lines[field] = in.line;
        if (field == 0)
            start = in.keptOffset();
        in.lookahead(kNumberLookahead);
        const char *end = classicNumberEnd(in.pos, in.end);
        if (end == nullptr) {
            problem = " is not a number";
            break;
        }
        if (end == in.end && !in.atEnd()) {
            // What the buffer holds of it may already be out of range.
            double value;
            problem = readClassicNumber(in.pos, end, value) == nullptr
                          ? " is not a number"
                          : " is too long";
            break;
        }
        in.pos = end;
    }
    const bool labelFollows = field == 3 && in.skipSpace();

    if (in.error() != 0) {
        failure = readFailure(in.error());
        return false;
    }
    if (problem != nullptr) {
        failure = malformed(record, tokenLine,
                            kFieldNames[field] + std::string(problem));
        return false;
    }
    if (!labelFollows) {
        // A clean end falls between two records; anything else is a record
        // cut short.
        if (field != 0)
            failure = malformed(
                record, tokenLine,
                "the file ends before its " +
                    std::string(field == 3 ? "label" : kFieldNames[field]));
        return false;
    }
    if (lines[2] != lines[0])
        block.spread.push_back(
            {block.starts.size(), {lines[0], lines[1], lines[2]}});
    block.starts.push_back(start);
    block.lines.push_back(lines[0]);
    return true;
}

BlockRead findRecords(TokenReader &in, std::uint64_t &record,
                      TextBlock &block) {
    while (block.starts.size() < kBlockRecords) {
        if (!findRecord(in, record + 1, block, block.stop))
            return block.starts.empty() && block.stop.empty()
                       ? BlockRead::Nothing
                       : BlockRead::Last;
        ++record;
        // The label, byte for byte, in as many chunks of the input as it
        // takes.
        const std::size_t labelStart = in.keptOffset();
        for (;;) {
            while (in.pos != in.end && !isClassicSpace(*in.pos))
                ++in.pos;
            if (in.pos != in.end)
                break;
            if (in.keptOffset() - labelStart > kLongLabel) {
                block.labelContinues = true;
                break;
            }
            if (!in.refill())
                break;
        }
        if (in.error() != 0) {
            block.stop = readFailure(in.error());
            return BlockRead::Last;
        }
        if (block.labelContinues)
            return BlockRead::InOrder;
    }
    return BlockRead::More;
}

BlockRead readBlock(TokenReader &in, std::uint64_t &record, TextBlock &block) {
    block.firstRecord = record + 1;
    block.bytes.clear();
    block.starts.clear();
    block.lines.clear();
    block.spread.clear();
    block.labelContinues = false;
    block.stop.clear();
    in.keepIn(&block.bytes);
    const BlockRead got = findRecords(in, record, block);
    in.keepIn(nullptr);
    return got;
}

// Reads the numbers of the block's records and where their labels are, up
// to the first number that findRecord took but that is beyond the range of
// doubles.
void readRecords(TextBlock &block) {
    const std::size_t count = block.starts.size();
    block.points.resize(count);
    block.labels.resize(count);
    block.malformed.clear();
    const char *bytes = block.bytes.data();
    for (std::size_t i = 0; i < count; ++i) {
        const char *p = bytes + block.starts[i];
        const char *last =
            bytes + (i + 1 < count ? block.starts[i + 1] : block.bytes.size());
        double xyz[3];
        for (int field = 0; field < 3; ++field) {
            while (isClassicSpace(*p))
                ++p;
            p = readClassicNumber(p, last, xyz[field]);
            if (p == nullptr) {
                block.parsed = i;
                block.malformed = malformed(
                    block.firstRecord + i, block.lineOf(i, field),
                    kFieldNames[field] + std::string(" is not a number"));
                return;
            }
        }
        while (isClassicSpace(*p))
            ++p;
        const char *label = p;
        while (p != last && !isClassicSpace(*p))
            ++p;
        Point &point = block.points[i];
        point.x = xyz[0];
        point.y = xyz[1];
        point.z = xyz[2];
        block.labels[i] = {static_cast<std::size_t>(label - bytes),
                           static_cast<std::size_t>(p - bytes)};
    }
    block.parsed = count;
}

// Each record as "x\ty\tz\tlabel\n", the numbers with eight decimals.
void convertBlock(const TransformationScript &script, TextBlock &block) {
    readRecords(block);
    block.status.take();
    block.converted = script.transformPoints(
        std::span<Point>(block.points.data(), block.parsed), block.status);
    block.text.clear();
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
        const auto [labelStart, labelEnd] = block.labels[i];
        block.text.write(block.bytes.data() + labelStart,
                         labelEnd - labelStart);
        if (block.labelContinues && i + 1 == block.starts.size())
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
    if (block.converted < block.parsed) {
        const std::size_t i = block.converted;
        failure = "point " + std::to_string(block.firstRecord + i) +
                  ", on line " + std::to_string(block.lines[i]) + ", " +
                  block.status.take();
        return false;
    }
    if (block.parsed < block.starts.size()) {
        failure = block.malformed;
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

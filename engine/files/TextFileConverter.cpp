#include "TextFileConverter.h"

#include "BufferedWriter.h"
#include "ChunkReader.h"
#include "Point.h"
#include "SystemError.h"
#include "TextNumbers.h"
#include "TransformationScript.h"

#include <cstdint>
#include <string>

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

// Writes the converted numbers, then the label byte for byte: straight from
// the input buffer to the output buffer, in pieces when it reaches past the
// end of the chunk.
void writeRecord(const Point &point, TokenReader &in, BufferedWriter &out) {
    char *text = out.reserve(3 * (kFixed8MaxLength + 1));
    text = writeFixed8(text, point.x);
    *text++ = '\t';
    text = writeFixed8(text, point.y);
    *text++ = '\t';
    text = writeFixed8(text, point.z);
    *text++ = '\t';
    out.commit(text);

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
}

// Converts record after record until the input ends, a record is malformed,
// the chain refuses a point or a write fails (out.error() tells). Returns
// why the input stopped early; the empty text when it did not.
std::string convertRecords(const TransformationScript &script, TokenReader &in,
                           BufferedWriter &out) {
    Point point;
    for (std::uint64_t record = 1; out.error() == 0; ++record) {
        std::uint64_t line = 0;
        std::string failure;
        if (!readNumbers(in, record, point, line, failure))
            return failure;
        if (!script.transformPoint(point))
            return "point " + std::to_string(record) + ", on line " +
                   std::to_string(line) + ", " + script.takePointFailure();
        writeRecord(point, in, out);
        if (in.error() != 0)
            return readFailure(in.error());
    }
    return {};
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
    const std::string failure = convertRecords(script_, in, out);
    out.flush();
    const int writeError = files_.finish(out.error(), out.wholeRecordsEnd());
    if (writeError != 0)
        return fail("Unable to write output text file: " +
                    systemErrorText(writeError));
    if (!failure.empty())
        return fail(failure);
    return true;
}

#include "TextFileConverter.h"

#include "FileDescriptor.h"
#include "PathSafety.h"
#include "Point.h"
#include "SystemError.h"
#include "TemporaryOutput.h"
#include "TextNumbers.h"
#include "TransformationScript.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The input file, read in large chunks into one buffer that is reused.
class ChunkReader {
  public:
    ChunkReader(int fd, char *buffer) : fd_(fd), buffer_(buffer) {}

    const char *pos = nullptr;
    const char *end = nullptr;
    std::uint64_t line = 1; // of pos

    bool atEnd() const { return eof_; }
    int error() const { return error_; }

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

    // Makes sure that `wanted` bytes follow pos, or the rest of the file.
    void lookahead(std::size_t wanted) {
        if (static_cast<std::size_t>(end - pos) < wanted)
            refill();
    }

    // Moves what is left to the front and reads behind it until the buffer
    // is full or the file ends. False when nothing new could be read.
    bool refill() {
        if (eof_ || error_)
            return false;
        const std::size_t kept = static_cast<std::size_t>(end - pos);
        if (kept != 0 && pos != buffer_)
            std::memmove(buffer_, pos, kept);
        std::size_t filled = kept;
        while (filled < kInputBufferSize) {
            const ssize_t n =
                ::read(fd_, buffer_ + filled, kInputBufferSize - filled);
            if (n > 0) {
                filled += static_cast<std::size_t>(n);
            } else if (n == 0) {
                eof_ = true;
                break;
            } else if (errno != EINTR) {
                error_ = errno;
                break;
            }
        }
        pos = buffer_;
        end = buffer_ + filled;
        return filled > kept;
    }

  private:
    int fd_;
    char *buffer_;
    bool eof_ = false;
    int error_ = 0;
};

// The output file, written through one buffer that is reused. After the
// first failed write everything else is dropped and error() tells why.
class BufferedWriter {
  public:
    BufferedWriter(int fd, char *buffer) : fd_(fd), buffer_(buffer) {}

    int error() const { return error_; }
    // The length of the file up to the end of its last whole line, counted
    // from where the writer started (the file was empty then).
    std::uint64_t wholeLinesEnd() const { return wholeLinesEnd_; }

    // Room for n bytes at the returned position; commit() what was used.
    char *reserve(std::size_t n) {
        if (kOutputBufferSize - used_ < n)
            flush();
        return buffer_ + used_;
    }
    void commit(char *newEnd) {
        used_ = static_cast<std::size_t>(newEnd - buffer_);
    }

    void write(const char *data, std::size_t n) {
        while (n != 0) {
            if (used_ == kOutputBufferSize)
                flush();
            const std::size_t part = std::min(n, kOutputBufferSize - used_);
            std::memcpy(buffer_ + used_, data, part);
            used_ += part;
            data += part;
            n -= part;
        }
    }

    void flush() {
        const std::size_t done =
            error_ == 0 ? writeAll(fd_, buffer_, used_) : 0;
        if (done != used_ && error_ == 0)
            error_ = errno;
        if (const void *newline = ::memrchr(buffer_, '\n', done))
            wholeLinesEnd_ = written_ +
                             static_cast<std::size_t>(
                                 static_cast<const char *>(newline) - buffer_) +
                             1;
        written_ += done;
        used_ = 0;
    }

  private:
    int fd_;
    char *buffer_;
    std::size_t used_ = 0;
    int error_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t wholeLinesEnd_ = 0;
};

constexpr const char *kFieldNames[] = {"x", "y", "z"};

std::string readFailure(int error) {
    return "Unable to read input text file: " + systemErrorText(error);
}

// Reads the next record's three numbers into point and makes sure that its
// label follows; recordLine is the line the record starts on. False when
// there is no whole record: failure says why, and stays empty at a clean
// end of the input, between two records.
bool readNumbers(ChunkReader &in, std::uint64_t record, Point &point,
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
void writeRecord(const Point &point, ChunkReader &in, BufferedWriter &out) {
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
}

// Converts record after record until the input ends, a record is malformed,
// the chain refuses a point or a write fails (out.error() tells). Returns
// why the input stopped early; the empty text when it did not.
std::string convertRecords(const TransformationScript &script, ChunkReader &in,
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

TextFileConverter::~TextFileConverter() { closeFiles(); }

void TextFileConverter::closeFiles() {
    input_ = FileDescriptor();
    output_ = FileDescriptor();
    // An output that was not finished does not stay, not even hidden.
    if (!pendingOutput_.empty())
        ::unlink(pendingOutput_.c_str());
    pendingOutput_.clear();
}

bool TextFileConverter::fail(std::string message) {
    errorMessage_ = std::move(message);
    return false;
}

bool TextFileConverter::openInput() {
    if (regularOnly_) {
        // A found file is opened without waiting, so that a pipe among them
        // is refused instead of blocking the run.
        input_ = openRegularFile(inputPath_, O_RDONLY);
        if (!input_ && errno == EINVAL)
            return fail(inputPath_ + " is not a regular file");
    } else {
        input_ =
            FileDescriptor(::open(inputPath_.c_str(), O_RDONLY | O_CLOEXEC));
        // A directory opens for reading here but has no text to give.
        struct stat status {};
        if (input_ &&
            (::fstat(input_.get(), &status) != 0 || S_ISDIR(status.st_mode)))
            input_ = FileDescriptor();
    }
    return input_ || fail("Unable to open input text file");
}

bool TextFileConverter::createOutput() {
    struct stat status {};
    const bool exists = ::stat(outputPath_.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode))
        return fail("Unable to create output text file");
    if (exists && !S_ISREG(status.st_mode)) {
        if (regularOnly_)
            return fail(outputPath_ + " is not a regular file");
        // A device or a pipe named as the output is written as it is.
        output_ = FileDescriptor(
            ::open(outputPath_.c_str(),
                   O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
        return output_ || fail("Unable to create output text file");
    }
    // A file that could not be truncated in place is not replaced either.
    if (exists && ::access(outputPath_.c_str(), W_OK) != 0)
        return fail("Unable to create output text file");
    output_ =
        FileDescriptor(createTemporaryOutput(outputPath_, pendingOutput_));
    if (!output_) {
        pendingOutput_.clear();
        return fail("Unable to create output text file");
    }
    return true;
}

bool TextFileConverter::open() {
    closeFiles();
    errorMessage_.clear();
    if (!openInput())
        return false;
    if (sameFile(inputPath_, outputPath_)) {
        closeFiles();
        return fail("Output text file is the input file; it was left "
                    "untouched");
    }
    if (!createOutput()) {
        closeFiles();
        return false;
    }
    return true;
}

bool TextFileConverter::convert() {
    errorMessage_.clear();
    if (!input_ || !output_)
        return fail("No text file is open");

    ChunkReader in(input_.get(), inputBuffer_.get());
    BufferedWriter out(output_.get(), outputBuffer_.get());
    const std::string failure = convertRecords(script_, in, out);
    out.flush();
    const int writeError = finishOutput(out.error(), out.wholeLinesEnd());
    closeFiles();
    if (writeError != 0)
        return fail("Unable to write output text file: " +
                    systemErrorText(writeError));
    if (!failure.empty())
        return fail(failure);
    return true;
}

int TextFileConverter::finishOutput(int writeError,
                                    std::uint64_t wholeLinesEnd) {
    // A full disk stops the output anywhere, also inside a record: the file
    // is cut back to its last whole record, so that every line it keeps is
    // one that was converted whole. Devices are left as they are.
    struct stat status {};
    if (writeError != 0 && ::fstat(output_.get(), &status) == 0 &&
        S_ISREG(status.st_mode))
        static_cast<void>(
            ::ftruncate(output_.get(), static_cast<off_t>(wholeLinesEnd)));
    // Some file systems report a failed write only when the file is closed.
    if (!output_.close() && writeError == 0)
        writeError = errno;
    // What was written whole takes the final name, also after a malformed
    // record or a full disk: its lines are converted records.
    if (!pendingOutput_.empty()) {
        if (!commitTemporaryOutput(pendingOutput_, outputPath_) &&
            writeError == 0)
            writeError = errno;
        pendingOutput_.clear();
    }
    return writeError;
}

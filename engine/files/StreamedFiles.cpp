#include "StreamedFiles.h"

#include "PathSafety.h"
#include "TemporaryOutput.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

void StreamedFiles::close() {
    input_ = FileDescriptor();
    output_ = FileDescriptor();
    // An output that was not finished does not stay, not even hidden.
    if (!pendingOutput_.empty())
        ::unlink(pendingOutput_.c_str());
    pendingOutput_.clear();
}

bool StreamedFiles::fail(std::string &message, std::string text) {
    message = std::move(text);
    return false;
}

bool StreamedFiles::openInput(std::string &message) {
    if (regularOnly_) {
        // A found file is opened without waiting, so that a pipe among them
        // is refused instead of blocking the run.
        input_ = openRegularFile(inputPath_, O_RDONLY);
        if (!input_ && errno == EINVAL)
            return fail(message, inputPath_ + " is not a regular file");
    } else {
        input_ =
            FileDescriptor(::open(inputPath_.c_str(), O_RDONLY | O_CLOEXEC));
        // A directory opens for reading here but has no text to give.
        struct stat status {};
        if (input_ &&
            (::fstat(input_.get(), &status) != 0 || S_ISDIR(status.st_mode)))
            input_ = FileDescriptor();
    }
    return input_ || fail(message, "Unable to open input " + kind_ + " file");
}

bool StreamedFiles::createOutput(std::string &message) {
    const std::string cannot = "Unable to create output " + kind_ + " file";
    struct stat status {};
    const bool exists = ::stat(outputPath_.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode))
        return fail(message, cannot);
    if (exists && !S_ISREG(status.st_mode)) {
        if (regularOnly_)
            return fail(message, outputPath_ + " is not a regular file");
        // A device or a pipe named as the output is written as it is.
        output_ = FileDescriptor(
            ::open(outputPath_.c_str(),
                   O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
        return output_ || fail(message, cannot);
    }
    // A file that could not be truncated in place is not replaced either.
    if (exists && ::access(outputPath_.c_str(), W_OK) != 0)
        return fail(message, cannot);
    output_ =
        FileDescriptor(createTemporaryOutput(outputPath_, pendingOutput_));
    if (!output_) {
        pendingOutput_.clear();
        return fail(message, cannot);
    }
    return true;
}

bool StreamedFiles::open(const std::string &inputPath,
                         const std::string &outputPath, std::string &message) {
    close();
    inputPath_ = inputPath;
    outputPath_ = outputPath;
    if (!openInput(message))
        return false;
    if (sameFile(inputPath_, outputPath_)) {
        close();
        return fail(message, "Output " + kind_ +
                                 " file is the input file; it was left "
                                 "untouched");
    }
    if (!createOutput(message)) {
        close();
        return false;
    }
    return true;
}

int StreamedFiles::finish(int writeError, std::uint64_t wholeEnd) {
    // A full disk stops the output anywhere, also inside a record: the file
    // is cut back to its last whole record. Devices are left as they are.
    struct stat status {};
    if (writeError != 0 && ::fstat(output_.get(), &status) == 0 &&
        S_ISREG(status.st_mode))
        static_cast<void>(
            ::ftruncate(output_.get(), static_cast<off_t>(wholeEnd)));
    // Some file systems report a failed write only when the file is closed.
    if (!output_.close() && writeError == 0)
        writeError = errno;
    // What was written whole takes the final name, also after a malformed
    // record or a full disk: its records are converted ones.
    if (!pendingOutput_.empty()) {
        if (!commitTemporaryOutput(pendingOutput_, outputPath_) &&
            writeError == 0)
            writeError = errno;
        pendingOutput_.clear();
    }
    close();
    return writeError;
}

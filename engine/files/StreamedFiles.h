#pragma once

#include "FileDescriptor.h"

#include <cstdint>
#include <string>

// The two files of a converter that streams one text file into another
// (the point files and the delimited point lists): the input opened for
// reading, the output created under a temporary name beside its final one
// (TemporaryOutput.h) and renamed into place when it is finished; an output
// that exists as a device or a pipe is written as it is.
class StreamedFiles {
  public:
    // kind names the files in messages: "Unable to open input <kind> file".
    explicit StreamedFiles(std::string kind) : kind_(std::move(kind)) {}
    ~StreamedFiles() { close(); }
    StreamedFiles(const StreamedFiles &) = delete;
    StreamedFiles &operator=(const StreamedFiles &) = delete;

    // In a workspace run the files are found, not named: an input, or an
    // existing output, that is not a regular file (a pipe would block the
    // run) is refused with "<path> is not a regular file". Directories keep
    // their own failure.
    void setRegularFilesOnly(bool regularOnly) { regularOnly_ = regularOnly; }

    // Opens the input and creates the output; refuses an output that names
    // the input file, before anything is written. False with the message.
    bool open(const std::string &inputPath, const std::string &outputPath,
              std::string &message);
    bool isOpen() const { return input_ && output_; }
    int input() const { return input_.get(); }
    int output() const { return output_.get(); }

    // Closes both files and gives the output its final name; after a failed
    // write (writeError, an errno) the output is first cut back to
    // wholeEnd, the end of its last whole record, so that every record it
    // keeps was written whole. Returns writeError, or the errno of a close
    // or rename that failed, or 0.
    int finish(int writeError, std::uint64_t wholeEnd);

    // Closes both files; an output not finished is removed.
    void close();

  private:
    bool fail(std::string &message, std::string text);
    bool openInput(std::string &message);
    bool createOutput(std::string &message);

    std::string kind_;
    std::string inputPath_, outputPath_;
    FileDescriptor input_;
    FileDescriptor output_;
    bool regularOnly_ = false;
    // The output's temporary name while it is written; empty when the output
    // is written in place (a device or a pipe) or no file is open.
    std::string pendingOutput_;
};

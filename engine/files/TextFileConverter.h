#pragma once

#include "FileConverter.h"
#include "StreamedFiles.h"

#include <memory>
#include <string>

// ASCII point files.
//
// In:  records of four tokens separated by any white space (blanks, tabs,
//      line breaks in any mix): x, y, z as decimal numbers and a label, any
//      run of non-white-space characters. Line breaks carry no meaning: a
//      record without its label takes the next line's first token.
// Out: one line per record, "x\ty\tz\tlabel\n", each number in fixed-point
//      notation with eight decimals, the label byte for byte.
//
// The file is read through a fixed buffer in blocks of records, which the
// pool's threads convert side by side and which are written in the file's
// order, so memory depends on the threads, not on the file size. Reading
// stops at the first token that does not fit; the records before it stay
// written and convert() reports the record, so a damaged file is never
// passed off as converted.
class TextFileConverter final : public FileConverter {
  public:
    explicit TextFileConverter(const TransformationScript &script);
    ~TextFileConverter() override;

    // Opens the input and creates the output under a temporary name beside
    // it (TemporaryOutput.h); an output that exists as a device or a pipe is
    // written as it is. Refuses an output that names the input file, before
    // anything is written.
    bool open() override;
    // Converts every record, closes both files and renames the output into
    // place, also when the input turned out malformed: the records before
    // the fault stay. False, with errorMessage(), when the input is
    // malformed or unreadable, when the chain cannot convert a point
    // ("point N, on line L, lies outside the grid ...", N the record's
    // number from 1, L the line it starts on; the records before it stay
    // written), or when the output could not be written whole.
    bool convert() override;

    // In a workspace run the files are found, not named: an input, or an
    // existing output, that is not a regular file (a pipe would block the
    // run) is refused with "<path> is not a regular file". Directories keep
    // their own failure.
    void setRegularFilesOnly(bool regularOnly) {
        files_.setRegularFilesOnly(regularOnly);
    }

  private:
    bool fail(std::string message);

    StreamedFiles files_{"text"};
    std::unique_ptr<char[]> inputBuffer_;
    std::unique_ptr<char[]> outputBuffer_;
};

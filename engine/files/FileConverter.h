#pragma once

#include <string>

class TransformationScript;

// Converts one file at a time through the script's chain. The driver sets
// the two paths, calls open() and, when it succeeds, convert().
class FileConverter {
  public:
    explicit FileConverter(const TransformationScript &script)
        : script_(script) {}
    virtual ~FileConverter() = default;

    // Prepares the input and the output of one file; on false errorMessage()
    // says why.
    virtual bool open() = 0;
    // Converts every point of the opened file, writes the output and closes
    // both files. False when the file could not be converted whole; then
    // errorMessage() says why.
    virtual bool convert() = 0;

    void setInputPath(const std::string &path) { inputPath_ = path; }
    void setOutputPath(const std::string &path) { outputPath_ = path; }
    const std::string &inputPath() const { return inputPath_; }
    const std::string &outputPath() const { return outputPath_; }
    const std::string &errorMessage() const { return errorMessage_; }

  protected:
    const TransformationScript &script_;
    std::string errorMessage_;
    std::string inputPath_;
    std::string outputPath_;
};

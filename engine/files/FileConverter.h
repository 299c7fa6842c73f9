#pragma once

#include <string>

class TransformationScript;
class WorkerPool;

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

    // The threads that convert a file's points side by side; without a
    // pool (or with a pool of one thread) the file is converted on the
    // calling thread alone. The outputs are the same byte for byte.
    void setPool(WorkerPool *pool) { pool_ = pool; }

    void setInputPath(const std::string &path) { inputPath_ = path; }
    void setOutputPath(const std::string &path) { outputPath_ = path; }
    const std::string &inputPath() const { return inputPath_; }
    const std::string &outputPath() const { return outputPath_; }
    const std::string &errorMessage() const { return errorMessage_; }

  protected:
    const TransformationScript &script_;
    WorkerPool *pool_ = nullptr;
    std::string errorMessage_;
    std::string inputPath_;
    std::string outputPath_;
};

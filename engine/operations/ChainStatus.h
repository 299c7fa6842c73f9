#pragma once

#include <map>
#include <memory>
#include <string>

struct NTv2GridSet;

// Why the chain could not convert the last point. Only the few operations
// that can fail (a grid shift outside its grid) write it, so the others pay
// nothing; the script's caller reads it once per point.
class ChainStatus {
  public:
    bool failed() const { return reason_ != nullptr; }
    // reason is a fixed text ("lies outside the grid "), subject what it is
    // about (the grid's path); both outlive the status.
    void fail(const char *reason, const std::string &subject) {
        reason_ = reason;
        subject_ = &subject;
    }
    // "lies outside the grid /usr/share/proj/BETA2007.gsb"; clears the
    // failure.
    std::string take() {
        std::string text = reason_ != nullptr ? reason_ + *subject_ : "";
        reason_ = nullptr;
        subject_ = nullptr;
        return text;
    }

  private:
    const char *reason_ = nullptr;
    const std::string *subject_ = nullptr;
};

// What the script lends an operation that needs more than its parameters
// while the script loads.
struct LoadContext {
    std::string scriptFolder;      // relative grid names are looked for here
    std::string programFolder;     // the engine's own folder
    ChainStatus *status = nullptr; // where a failing step says why
    // Grids read so far, by the path they were read from, so that steps
    // naming the same file share it.
    std::map<std::string, std::shared_ptr<const NTv2GridSet>> grids;
};

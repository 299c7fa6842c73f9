#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>

struct NTv2GridSet;

// Why the chain could not convert a point, and which point of a batch it
// was. Each conversion keeps its own and hands it to the chain together with
// its points, so that threads that convert side by side never share one.
// Only the few operations that can fail a point (a grid shift outside its
// grid) write it, so the others pay nothing.
class ChainStatus {
  public:
    bool failed() const { return reason_ != nullptr; }
    // The index in its batch of the point that failed (0 for one point).
    std::size_t index() const { return index_; }
    // Notes that the point at `index` of the batch failed. reason is a fixed
    // text ("lies outside the grid "), subject what it is about (the grid's
    // path); both outlive the status. The first point of the batch that
    // fails is kept, and for it the first step that failed it: a failed
    // point goes on through the later steps as NaN, and what a later grid
    // says about a NaN is not the reason.
    void fail(const char *reason, const std::string &subject,
              std::size_t index = 0) {
        if (failed() && index >= index_)
            return;
        reason_ = reason;
        subject_ = &subject;
        index_ = index;
    }
    // "lies outside the grid /usr/share/proj/BETA2007.gsb"; clears the
    // failure.
    std::string take() {
        std::string text = reason_ != nullptr ? reason_ + *subject_ : "";
        reason_ = nullptr;
        subject_ = nullptr;
        index_ = 0;
        return text;
    }

  private:
    const char *reason_ = nullptr;
    const std::string *subject_ = nullptr;
    std::size_t index_ = 0;
};

// What the script lends an operation that needs more than its parameters
// while the script loads.
struct LoadContext {
    std::string scriptFolder;  // relative grid names are looked for here
    std::string programFolder; // the engine's own folder
    // Where a failing step says why when it converts a single point through
    // transform(Point &); nullptr for none. The chain hands each batch a
    // status of its own instead (Operation::transformPoints).
    ChainStatus *status = nullptr;
    // Grids read so far, by the path they were read from, so that steps
    // naming the same file share it.
    std::map<std::string, std::shared_ptr<const NTv2GridSet>> grids;
};

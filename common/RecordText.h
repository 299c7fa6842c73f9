#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class BufferedWriter;

// Output text made ahead of its place in the file, on any thread, with the
// ends of its whole records, to be written through a BufferedWriter later
// in the file's order. It is written with the calls one writes to the
// writer with, and it keeps its room from one use to the next.
class RecordText {
  public:
    void clear() {
        used_ = 0;
        ends_.clear();
    }
    std::size_t size() const { return used_; }

    // Room for n bytes at the returned position; commit() what was used.
    char *reserve(std::size_t n) {
        if (capacity_ - used_ < n)
            grow(n);
        return bytes_.get() + used_;
    }
    void commit(char *newEnd) {
        used_ = static_cast<std::size_t>(newEnd - bytes_.get());
    }
    void write(const char *data, std::size_t n);
    // What was written so far ends a whole record.
    void endRecord() { ends_.push_back(used_); }

    // Writes the text through out, each record end marked there as here.
    void writeTo(BufferedWriter &out) const;

  private:
    void grow(std::size_t n);

    std::unique_ptr<char[]> bytes_;
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
    std::vector<std::size_t> ends_;
};

#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// An output file written through one buffer that the caller owns and that is
// reused for the whole file. After the first failed write everything else
// is dropped and error() tells why.
//
// The writer keeps the ends of whole records that the caller marks, so that
// after a failed write the file can be cut back to its last whole record
// (a full disk stops a write anywhere, also inside a record).
class BufferedWriter {
  public:
    // fd is written, not owned; the buffer holds `capacity` bytes.
    BufferedWriter(int fd, char *buffer, std::size_t capacity)
        : fd_(fd), buffer_(buffer), capacity_(capacity) {}

    int error() const { return error_; }
    // The length of the file up to the end of the last whole record that
    // reached it, counted from where the writer started (the file was
    // empty then).
    std::uint64_t wholeRecordsEnd() const { return wholeRecordsEnd_; }

    // Room for n <= capacity bytes at the returned position; commit() what
    // was used.
    char *reserve(std::size_t n) {
        if (capacity_ - used_ < n)
            flush();
        return buffer_ + used_;
    }
    void commit(char *newEnd) {
        used_ = static_cast<std::size_t>(newEnd - buffer_);
    }

    void write(const char *data, std::size_t n);

    // What was written so far ends a whole record.
    void endRecord() { recordEnds_.push_back(used_); }

    // Writes n bytes in which whole records end at the offsets `ends`
    // (ascending): as write() and endRecord() would, but a large text goes
    // to the file straight from data, not through the buffer.
    void writeRecords(const char *data, std::size_t n,
                      const std::vector<std::size_t> &ends);

    void flush();

  private:
    int fd_;
    char *buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
    int error_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t wholeRecordsEnd_ = 0;
    // The record ends inside the buffer, in order.
    std::vector<std::size_t> recordEnds_;
};

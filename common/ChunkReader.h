#pragma once

#include <cstddef>

// An input file read in large chunks into one buffer that the caller owns
// and that is reused for the whole file, so that memory does not depend on
// the file's size. The bytes not yet taken are [pos, end); refill() keeps
// them, moved to the front of the buffer, and reads behind them.
class ChunkReader {
  public:
    // fd is read, not owned; the buffer holds `capacity` bytes.
    ChunkReader(int fd, char *buffer, std::size_t capacity)
        : fd_(fd), buffer_(buffer), capacity_(capacity) {}

    const char *pos = nullptr;
    const char *end = nullptr;

    // True once the file's end was read: [pos, end) is all that is left.
    bool atEnd() const { return eof_; }
    // The errno of a failed read, 0 while none failed.
    int error() const { return error_; }
    std::size_t capacity() const { return capacity_; }

    // Moves what is left to the front and reads behind it until the buffer
    // is full or the file ends. False when nothing new could be read (the
    // end of the file, a read error, or a buffer that is full).
    bool refill();

    // Makes sure that `wanted` bytes follow pos, or the rest of the file.
    void lookahead(std::size_t wanted) {
        if (static_cast<std::size_t>(end - pos) < wanted)
            refill();
    }

  private:
    int fd_;
    char *buffer_;
    std::size_t capacity_;
    bool eof_ = false;
    int error_ = 0;
};

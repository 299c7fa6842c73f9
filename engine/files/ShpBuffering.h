#pragma once

#include <shapefil.h>

#include <cstddef>
#include <cstdint>
#include <memory>

// Large buffers under an open shapelib handle.
//
// shapelib positions its file before every record it reads or writes. On a
// stdio stream each of those seeks is a system call (the C library
// re-synchronises the kernel's offset even inside its buffer), and on the
// output, opened for update, it also writes out the record before and reads
// back a block; a point shapefile costs four system calls per point. The
// handle does all its file access through the hooks stored in it, so
// attach() puts a buffered file in front of each of its files: seeks only
// move a position, reads come from a 64 KiB buffer, appended records
// collect in one, and the handle's own streams are used for whole buffers
// only. What shapelib reads and writes is unchanged.
//
// Writes are reported as done when they are buffered; a failure that shows
// only when a buffer goes out (a full disk) is kept, and failed() reports it
// once the handle has been closed. The object must outlive the handle.
class ShpBuffering {
  public:
    ShpBuffering();
    ~ShpBuffering();
    ShpBuffering(const ShpBuffering &) = delete;
    ShpBuffering &operator=(const ShpBuffering &) = delete;

    // Puts the buffers in front of the handle's files. Call it right after
    // SHPOpen or SHPCreate, before any shape is read or written, and once
    // per handle; a later attach() drops what an earlier one had.
    void attach(SHPHandle handle);

    // True when a read, write, seek or close through the buffers failed.
    bool failed() const;

    struct File; // one of the handle's files, behind its buffer

  private:
    std::unique_ptr<File> shp_, shx_;
};

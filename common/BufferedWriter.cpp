#include "BufferedWriter.h"

#include "FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

void BufferedWriter::write(const char *data, std::size_t n) {
    while (n != 0) {
        if (used_ == capacity_)
            flush();
        const std::size_t part = std::min(n, capacity_ - used_);
        std::memcpy(buffer_ + used_, data, part);
        used_ += part;
        data += part;
        n -= part;
    }
}

void BufferedWriter::flush() {
    const std::size_t done = error_ == 0 ? writeAll(fd_, buffer_, used_) : 0;
    if (done != used_ && error_ == 0)
        error_ = errno;
    // The last record end among the bytes that reached the file.
    const auto whole =
        std::upper_bound(recordEnds_.begin(), recordEnds_.end(), done);
    if (whole != recordEnds_.begin())
        wholeRecordsEnd_ = written_ + whole[-1];
    recordEnds_.clear();
    written_ += done;
    used_ = 0;
}

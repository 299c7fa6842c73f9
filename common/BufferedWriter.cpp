#include "BufferedWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

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
    std::size_t done = 0;
    while (done < used_ && error_ == 0) {
        const ssize_t n = ::write(fd_, buffer_ + done, used_ - done);
        if (n >= 0)
            done += static_cast<std::size_t>(n);
        else if (errno != EINTR)
            error_ = errno;
    }
    // The last record end among the bytes that reached the file.
    const auto whole =
        std::upper_bound(recordEnds_.begin(), recordEnds_.end(), done);
    if (whole != recordEnds_.begin())
        wholeRecordsEnd_ = written_ + whole[-1];
    recordEnds_.clear();
    written_ += done;
    used_ = 0;
}

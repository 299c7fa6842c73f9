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

void BufferedWriter::writeRecords(const char *data, std::size_t n,
                                  const std::vector<std::size_t> &ends) {
    if (n < capacity_ / 4) {
        std::size_t start = 0;
        for (const std::size_t end : ends) {
            write(data + start, end - start);
            endRecord();
            start = end;
        }
        write(data + start, n - start);
        return;
    }
    // Copying it would cost more than the one more system call.
    flush();
    const std::size_t done = error_ == 0 ? writeAll(fd_, data, n) : 0;
    if (done != n && error_ == 0)
        error_ = errno;
    const auto whole = std::upper_bound(ends.begin(), ends.end(), done);
    if (whole != ends.begin())
        wholeRecordsEnd_ = written_ + whole[-1];
    written_ += done;
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

#include "ChunkReader.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

bool ChunkReader::refill() {
    if (eof_ || error_)
        return false;
    const std::size_t kept = static_cast<std::size_t>(end - pos);
    if (kept != 0 && pos != buffer_)
        std::memmove(buffer_, pos, kept);
    std::size_t filled = kept;
    while (filled < capacity_) {
        const ssize_t n = ::read(fd_, buffer_ + filled, capacity_ - filled);
        if (n > 0) {
            filled += static_cast<std::size_t>(n);
        } else if (n == 0) {
            eof_ = true;
            break;
        } else if (errno != EINTR) {
            error_ = errno;
            break;
        }
    }
    pos = buffer_;
    end = buffer_ + filled;
    return filled > kept;
}

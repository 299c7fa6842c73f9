#include "FileCopy.h"
#include "PathSafety.h"
#include "TemporaryOutput.h"

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A descriptor closed when it goes out of scope (errors of that late close
// do not matter: the target's close is checked where it counts).
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return fd_; }
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool writeAll(int fd, const char *data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool copyContent(int from, int to) {
    std::array<char, 64 * 1024> buffer;
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        if (!writeAll(to, buffer.data(), static_cast<std::size_t>(got)))
            return false;
    }
}

} // namespace

CopyFailure copyFile(const std::string &source, const std::string &target,
                     CopyPermissions permissions) {
    // Opened without waiting: a pipe under the source's name is refused, not
    // waited on.
    Descriptor from(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (from.get() < 0 || ::fstat(from.get(), &status) != 0)
        return CopyFailure::Source;
    if (!S_ISREG(status.st_mode)) {
        errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        return CopyFailure::Source;
    }
    ::fcntl(from.get(), F_SETFL, ::fcntl(from.get(), F_GETFL) & ~O_NONBLOCK);
    if (sameFile(source, target))
        return CopyFailure::None;

    // The temporary file has the replaced target's bits already.
    std::string temporary;
    Descriptor to(createTemporaryOutput(target, temporary));
    if (to.get() < 0)
        return CopyFailure::Target;
    const bool copied = copyContent(from.get(), to.get()) &&
                        (permissions == CopyPermissions::OfReplacedTarget ||
                         ::fchmod(to.get(), status.st_mode & 07777) == 0) &&
                        to.close() &&
                        ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!copied) {
        const int error = errno;
        ::unlink(temporary.c_str());
        errno = error;
        return CopyFailure::Target;
    }
    return CopyFailure::None;
}

bool removeFileIfExists(const std::string &path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

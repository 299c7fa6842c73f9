#include "FileDescriptor.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileDescriptor &FileDescriptor::operator=(FileDescriptor &&other) noexcept {
    if (this != &other) {
        reset();
        fd_ = other.release();
    }
    return *this;
}

bool FileDescriptor::close() { return ::close(release()) == 0; }

// Keeps errno, so that a failure can set it and then let its descriptor go.
void FileDescriptor::reset() {
    if (fd_ >= 0) {
        const int error = errno;
        ::close(release());
        errno = error;
    }
}

FileDescriptor openRegularFile(const std::string &path, int flags,
                               mode_t mode) {
    FileDescriptor fd(
        ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode));
    if (!fd)
        return fd;
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0)
        return {};
    if (!S_ISREG(status.st_mode)) {
        errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        return {};
    }
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return fd;
}

FileDescriptor createNewFile(const std::string &path, mode_t mode) {
    return FileDescriptor(
        ::open(path.c_str(),
               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
}

std::size_t writeAll(int fd, const char *data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(fd, data + done, size - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO; // no progress and no reason: do not spin
            break;
        }
        done += static_cast<std::size_t>(written);
    }
    return done;
}

bool writeNewFile(const std::string &path, std::string_view bytes,
                  mode_t mode) {
    FileDescriptor fd = createNewFile(path, mode);
    if (!fd)
        return false;
    if (writeAll(fd.get(), bytes.data(), bytes.size()) == bytes.size() &&
        fd.close())
        return true;
    const int error = errno;
    ::unlink(path.c_str());
    errno = error;
    return false;
}

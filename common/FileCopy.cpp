#include "FileCopy.h"
#include "FileDescriptor.h"
#include "PathSafety.h"
#include "TemporaryOutput.h"

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool copyFileContent(int from, int to) {
#ifdef __linux__
    // Within one file system the kernel copies without a detour through
    // this process; elsewhere it says so at once, and the loop below copies.
    for (;;) {
        const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr,
                                                 std::size_t(1) << 30, 0);
        if (copied == 0)
            return true;
        if (copied < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EXDEV && errno != ENOSYS && errno != EINVAL &&
                errno != EOPNOTSUPP)
                return false;
            break;
        }
    }
#endif
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
        const auto size = static_cast<std::size_t>(got);
        if (writeAll(to, buffer.data(), size) != size)
            return false;
    }
}

CopyFailure copyFile(const std::string &source, const std::string &target,
                     CopyPermissions permissions) {
    // A pipe under the source's name is refused, not waited on.
    const FileDescriptor from = openRegularFile(source, O_RDONLY);
    struct stat status {};
    if (!from || ::fstat(from.get(), &status) != 0)
        return CopyFailure::Source;
    if (sameFile(source, target))
        return CopyFailure::None;

    // The temporary file has the replaced target's bits already.
    std::string temporary;
    FileDescriptor to(createTemporaryOutput(target, temporary));
    if (!to)
        return CopyFailure::Target;
    const bool copied = copyFileContent(from.get(), to.get()) &&
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

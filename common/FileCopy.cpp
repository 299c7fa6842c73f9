#include "FileCopy.h"
#include "FileDescriptor.h"
#include "PathSafety.h"
#include "TemporaryOutput.h"

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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
        const auto size = static_cast<std::size_t>(got);
        if (writeAll(to, buffer.data(), size) != size)
            return false;
    }
}

} // namespace

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

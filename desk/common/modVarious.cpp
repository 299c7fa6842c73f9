#include "modVarious.h"

#include "DeskFailure.h"
#include "DeskMessages.h"
#include "FailureNumbers.h"
#include "modFileNames.h"

#include <QDir>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace modVarious {
namespace {

// Runs a routine's body; a failure is shown with the empty caption and the
// routine then gives `failed`.
template <class Result, class Body> Result trapped(Result failed, Body &&body) {
    Result result = failed;
    guard(QString(), [&] { result = body(); });
    return result;
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The path's bytes: names that are not UTF-8 keep theirs (modFileNames).
QByteArray native(const QString &path) {
    return modFileNames::EncodeName(path);
}

// The path as a message shows it.
QString shown(const QString &path) { return modFileNames::ShownName(path); }

// What is at the path: stat (links followed) or lstat (the link itself).
bool statOf(const QString &path, struct stat &status, bool followLinks) {
    if (path.isEmpty())
        return false;
    const QByteArray name = native(path);
    return (followLinks ? ::stat(name.constData(), &status)
                        : ::lstat(name.constData(), &status)) == 0;
}

bool isFile(const QString &path) {
    struct stat status {};
    return statOf(path, status, true) && S_ISREG(status.st_mode);
}

bool isFolder(const QString &path) {
    struct stat status {};
    return statOf(path, status, true) && S_ISDIR(status.st_mode);
}

// The name of an existing file (not a folder): the text after the path's
// last "/".
QString existingFileName(const QString &filePath) {
    if (!isFile(filePath))
        throw DeskFailure(
            FailureNumbers::kFileNotFound,
            QStringLiteral("File not found: %1").arg(shown(filePath)));
    return filePath.mid(filePath.lastIndexOf(u'/') + 1);
}

// The folder part of an absolute path, "/" for a name in the root.
QString folderOf(const QString &path) {
    const QString absolute =
        path.startsWith(u'/') ? path : QDir::currentPath() + u'/' + path;
    const qsizetype slash = absolute.lastIndexOf(u'/');
    return slash == 0 ? QStringLiteral("/") : absolute.left(slash);
}

// A descriptor closed when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

// A new file beside the target, hidden, under a name that no other file
// has, of the form the engine gives its outputs while it writes them (and
// never takes for inputs): ".<stem>.kavro-part-<6 random characters><.ext>".
// Gives -1 with errno set on failure.
int createBeside(const QByteArray &target, QByteArray &temporary) {
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    const QByteArray name = target.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf('.');
    const QByteArray stem = dot > 0 ? name.left(dot) : name;
    const QByteArray extension = dot > 0 ? name.mid(dot) : QByteArray();
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray random(6, ' ');
        for (char &c : random)
            c = kLetters[QRandomGenerator::global()->bounded(
                int(sizeof kLetters - 1))];
        temporary = folder + '.' + stem + ".kavro-part-" + random + extension;
        const int fd =
            ::open(temporary.constData(),
                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Copies a regular file's bytes and gives the copy the permission bits of
// the target it replaces (a new file keeps those it was created with). 0, or
// the errno of the first failure.
int copyInto(int from, int to, const QByteArray &target) {
    struct stat source {};
    if (::fstat(from, &source) != 0)
        return errno;
    if (!S_ISREG(source.st_mode))
        return S_ISDIR(source.st_mode) ? EISDIR : EINVAL;
    ::fcntl(from, F_SETFL, ::fcntl(from, F_GETFL) & ~O_NONBLOCK);
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t written = ::write(to, buffer + done, got - done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0)
                return errno;
            done += written;
        }
    }
    struct stat old {};
    if (::stat(target.constData(), &old) == 0 && S_ISREG(old.st_mode) &&
        ::fchmod(to, old.st_mode & 07777) != 0)
        return errno;
    return 0;
}

} // namespace

QString GetFileBaseName(const QString &filePath) {
    return trapped(QString(), [&] {
        const QString name = existingFileName(filePath);
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot < 0)
            throw DeskFailure(FailureNumbers::kInvalidCall,
                              QStringLiteral("The file name has no \".\": %1")
                                  .arg(shown(filePath)));
        return name.left(dot);
    });
}

QString GetFileExtension(const QString &filePath) {
    return trapped(QString(), [&] {
        const QString name = existingFileName(filePath);
        // No "." gives the whole name: mid(0) of the cut at -1 + 1.
        return name.mid(name.lastIndexOf(u'.') + 1);
    });
}

QString GetParentFolder(const QString &filePath) {
    return trapped(QString(), [&] {
        existingFileName(filePath);
        return folderOf(filePath);
    });
}

bool FolderExists(const QString &path) {
    return trapped(false, [&] { return isFolder(path); });
}

bool FileExists(const QString &path) {
    return trapped(false, [&] { return isFile(path); });
}

bool DeleteFile(const QString &filePath) {
    return trapped(false, [&] {
        // A symbolic link is deleted itself, also when it points nowhere;
        // a folder is not a file.
        struct stat status {};
        if (!statOf(filePath, status, false) ||
            !(S_ISLNK(status.st_mode) || S_ISREG(status.st_mode)))
            throw DeskFailure(
                FailureNumbers::kFileNotFound,
                QStringLiteral("File not found: %1").arg(shown(filePath)));
        // Removing a name needs only the folder's permission, so a read-only
        // file goes as well.
        if (::unlink(native(filePath).constData()) != 0) {
            const int error = errno;
            throw DeskFailure(FailureNumbers::kPermissionDenied,
                              QStringLiteral("Cannot delete %1: %2")
                                  .arg(shown(filePath), systemReason(error)));
        }
        return true;
    });
}

bool CopyFile(const QString &sourcePath, const QString &targetPath) {
    return trapped(false, [&] {
        existingFileName(sourcePath);
        if (targetPath.isEmpty() || !isFolder(folderOf(targetPath)))
            throw DeskFailure(
                FailureNumbers::kPathNotFound,
                QStringLiteral("Path not found: %1").arg(shown(targetPath)));
        // A symbolic link at the target is replaced itself, whatever it
        // points to: writing through it would change a file elsewhere.
        struct stat status {};
        const bool there = statOf(targetPath, status, false);
        const bool link = there && S_ISLNK(status.st_mode);
        if (there && S_ISDIR(status.st_mode))
            throw DeskFailure(FailureNumbers::kPermissionDenied,
                              QStringLiteral("Cannot copy onto the folder %1")
                                  .arg(shown(targetPath)));
        if (there && !link &&
            ::access(native(targetPath).constData(), W_OK) != 0)
            throw DeskFailure(FailureNumbers::kPermissionDenied,
                              QStringLiteral("The file %1 is read-only")
                                  .arg(shown(targetPath)));

        // Written beside the target and renamed over it when it is whole: a
        // copy that fails half-way leaves an existing target untouched and
        // no partial file under its name. Plain system calls, so that every
        // short write (a full disk, a file size limit) is seen.
        const QByteArray sourceName = native(sourcePath);
        const QByteArray targetName = native(targetPath);
        Descriptor from(
            ::open(sourceName.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (from.get() < 0)
            throw DeskFailure(FailureNumbers::kFileAccess,
                              QStringLiteral("Cannot read %1: %2")
                                  .arg(shown(sourcePath), systemReason(errno)));
        if (link && ::unlink(targetName.constData()) != 0) {
            const int error = errno;
            throw DeskFailure(FailureNumbers::kPermissionDenied,
                              QStringLiteral("Cannot replace the link %1: %2")
                                  .arg(shown(targetPath), systemReason(error)));
        }
        QByteArray temporary;
        Descriptor to(createBeside(targetName, temporary));
        if (to.get() < 0)
            throw DeskFailure(FailureNumbers::kFileAccess,
                              QStringLiteral("Cannot write %1: %2")
                                  .arg(shown(targetPath), systemReason(errno)));
        const int error = copyInto(from.get(), to.get(), targetName);
        if (error != 0 || !to.close() ||
            ::rename(temporary.constData(), targetName.constData()) != 0) {
            const int reason = error != 0 ? error : errno;
            ::unlink(temporary.constData());
            throw DeskFailure(
                FailureNumbers::kFileAccess,
                QStringLiteral("Cannot write %1: %2")
                    .arg(shown(targetPath), systemReason(reason)));
        }
        return true;
    });
}

} // namespace modVarious

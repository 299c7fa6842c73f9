#include "modVarious.h"

#include "DeskFailure.h"
#include "DeskMessages.h"
#include "FailureNumbers.h"
#include "FileCopy.h"
#include "modFileNames.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>

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

// What is at the path: stat (links followed) or lstat (the link itself).
bool statOf(const NativePath &path, struct stat &status, bool followLinks) {
    if (path.isEmpty())
        return false;
    return (followLinks ? ::stat(path.c_str(), &status)
                        : ::lstat(path.c_str(), &status)) == 0;
}

bool isFile(const NativePath &path) {
    struct stat status {};
    return statOf(path, status, true) && S_ISREG(status.st_mode);
}

bool isFolder(const NativePath &path) {
    struct stat status {};
    return statOf(path, status, true) && S_ISDIR(status.st_mode);
}

// Fails unless a file (not a folder) exists at the path.
void requireFile(const NativePath &path) {
    if (!isFile(path))
        throw DeskFailure(
            FailureNumbers::kFileNotFound,
            QCoreApplication::translate("modVarious", "File not found: %1")
                .arg(path.shown()));
}

// The name of an existing file: the text after the path's last "/".
QString existingFileName(const QString &filePath) {
    requireFile(filePath);
    return filePath.mid(filePath.lastIndexOf(u'/') + 1);
}

// The folder part of an absolute path, "/" for a name in the root.
QString folderOf(const QString &path) {
    const QString absolute =
        path.startsWith(u'/') ? path : QDir::currentPath() + u'/' + path;
    const qsizetype slash = absolute.lastIndexOf(u'/');
    return slash == 0 ? QStringLiteral("/") : absolute.left(slash);
}

} // namespace

QString GetFileBaseName(const QString &filePath) {
    return trapped(QString(), [&] {
        const QString name = existingFileName(filePath);
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot < 0)
            throw DeskFailure(
                FailureNumbers::kInvalidCall,
                QCoreApplication::translate("modVarious",
                                            "The file name has no \".\": %1")
                    .arg(modFileNames::ShownName(filePath)));
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

bool FolderExists(const NativePath &path) {
    return trapped(false, [&] { return isFolder(path); });
}

bool FileExists(const NativePath &path) {
    return trapped(false, [&] { return isFile(path); });
}

bool DeleteFile(const NativePath &filePath) {
    return trapped(false, [&] {
        // A symbolic link is deleted itself, also when it points nowhere;
        // a folder is not a file.
        struct stat status {};
        if (!statOf(filePath, status, false) ||
            !(S_ISLNK(status.st_mode) || S_ISREG(status.st_mode)))
            throw DeskFailure(
                FailureNumbers::kFileNotFound,
                QCoreApplication::translate("modVarious", "File not found: %1")
                    .arg(filePath.shown()));
        // Removing a name needs only the folder's permission, so a read-only
        // file goes as well.
        if (::unlink(filePath.c_str()) != 0) {
            const int error = errno;
            throw DeskFailure(FailureNumbers::kPermissionDenied,
                              QCoreApplication::translate(
                                  "modVarious", "Cannot delete %1: %2")
                                  .arg(filePath.shown(), systemReason(error)));
        }
        return true;
    });
}

bool CopyFile(const NativePath &sourcePath, const NativePath &targetPath) {
    return trapped(false, [&] {
        requireFile(sourcePath);
        // A name without a folder lies in the current one.
        const NativePath folder = targetPath.folder();
        if (targetPath.isEmpty() || !isFolder(folder.isEmpty() ? "." : folder))
            throw DeskFailure(
                FailureNumbers::kPathNotFound,
                QCoreApplication::translate("modVarious", "Path not found: %1")
                    .arg(targetPath.shown()));
        // A symbolic link at the target is replaced itself, whatever it
        // points to: writing through it would change a file elsewhere.
        struct stat status {};
        const bool there = statOf(targetPath, status, false);
        const bool link = there && S_ISLNK(status.st_mode);
        if (there && S_ISDIR(status.st_mode))
            throw DeskFailure(
                FailureNumbers::kPermissionDenied,
                QCoreApplication::translate("modVarious",
                                            "Cannot copy onto the folder %1")
                    .arg(targetPath.shown()));
        if (there && !link && ::access(targetPath.c_str(), W_OK) != 0)
            throw DeskFailure(FailureNumbers::kPermissionDenied,
                              QCoreApplication::translate(
                                  "modVarious", "The file %1 is read-only")
                                  .arg(targetPath.shown()));
        if (link && ::unlink(targetPath.c_str()) != 0) {
            const int error = errno;
            throw DeskFailure(
                FailureNumbers::kPermissionDenied,
                QCoreApplication::translate("modVarious",
                                            "Cannot replace the link %1: %2")
                    .arg(targetPath.shown(), systemReason(error)));
        }
        // Written beside the target and renamed over it when it is whole: a
        // copy that fails half-way leaves an existing target untouched and
        // no partial file under its name; the copy keeps the bits of the
        // file it replaces.
        const CopyFailure failure =
            copyFile(sourcePath.string(), targetPath.string(),
                     CopyPermissions::OfReplacedTarget);
        if (failure != CopyFailure::None) {
            const int error = errno;
            const bool source = failure == CopyFailure::Source;
            throw DeskFailure(
                FailureNumbers::kFileAccess,
                (source ? QCoreApplication::translate("modVarious",
                                                      "Cannot read %1: %2")
                        : QCoreApplication::translate("modVarious",
                                                      "Cannot write %1: %2"))
                    .arg((source ? sourcePath : targetPath).shown(),
                         systemReason(error)));
        }
        return true;
    });
}

} // namespace modVarious

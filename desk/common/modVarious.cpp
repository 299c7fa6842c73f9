#include "modVarious.h"

#include "DeskFailure.h"
#include "DeskMessages.h"
#include "FailureNumbers.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
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

// The file object of the path: an existing file, not a folder.
QFileInfo existingFile(const QString &filePath) {
    const QFileInfo info(filePath);
    if (filePath.isEmpty() || !info.isFile())
        throw DeskFailure(FailureNumbers::kFileNotFound,
                          QStringLiteral("File not found: %1").arg(filePath));
    return info;
}

} // namespace

QString GetFileBaseName(const QString &filePath) {
    return trapped(QString(), [&] {
        const QString name = existingFile(filePath).fileName();
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot < 0)
            throw DeskFailure(
                FailureNumbers::kInvalidCall,
                QStringLiteral("The file name has no \".\": %1").arg(filePath));
        return name.left(dot);
    });
}

QString GetFileExtension(const QString &filePath) {
    return trapped(QString(), [&] {
        const QString name = existingFile(filePath).fileName();
        // No "." gives the whole name: mid(0) of the cut at -1 + 1.
        return name.mid(name.lastIndexOf(u'.') + 1);
    });
}

QString GetParentFolder(const QString &filePath) {
    return trapped(QString(),
                   [&] { return existingFile(filePath).absolutePath(); });
}

bool FolderExists(const QString &path) {
    return trapped(false,
                   [&] { return !path.isEmpty() && QFileInfo(path).isDir(); });
}

bool FileExists(const QString &path) {
    return trapped(false,
                   [&] { return !path.isEmpty() && QFileInfo(path).isFile(); });
}

bool DeleteFile(const QString &filePath) {
    return trapped(false, [&] {
        // A symbolic link is deleted itself, also when it points nowhere;
        // a folder is not a file.
        const QFileInfo info(filePath);
        if (filePath.isEmpty() || !(info.isSymLink() || info.isFile()))
            throw DeskFailure(
                FailureNumbers::kFileNotFound,
                QStringLiteral("File not found: %1").arg(filePath));
        // Removing a name needs only the folder's permission, so a read-only
        // file goes as well.
        if (::unlink(QFile::encodeName(filePath).constData()) != 0) {
            const int error = errno;
            throw DeskFailure(FailureNumbers::kPermissionDenied,
                              QStringLiteral("Cannot delete %1: %2")
                                  .arg(filePath, systemReason(error)));
        }
        return true;
    });
}

bool CopyFile(const QString &sourcePath, const QString &targetPath) {
    return trapped(false, [&] {
        existingFile(sourcePath);
        const QFileInfo target(targetPath);
        if (targetPath.isEmpty() || !QFileInfo(target.absolutePath()).isDir())
            throw DeskFailure(
                FailureNumbers::kPathNotFound,
                QStringLiteral("Path not found: %1").arg(targetPath));
        // A symbolic link at the target is replaced itself, whatever it
        // points to: writing through it would change a file elsewhere.
        const bool link = target.isSymLink();
        if (!link && target.isDir())
            throw DeskFailure(FailureNumbers::kPermissionDenied,
                              QStringLiteral("Cannot copy onto the folder %1")
                                  .arg(targetPath));
        if (!link && target.exists() && !target.isWritable())
            throw DeskFailure(
                FailureNumbers::kPermissionDenied,
                QStringLiteral("The file %1 is read-only").arg(targetPath));

        QFile source(sourcePath);
        if (!source.open(QIODevice::ReadOnly))
            throw DeskFailure(FailureNumbers::kFileAccess,
                              QStringLiteral("Cannot read %1: %2")
                                  .arg(sourcePath, source.errorString()));
        // QSaveFile follows a link to the file it names, so the link goes
        // first.
        if (link && ::unlink(QFile::encodeName(targetPath).constData()) != 0) {
            const int error = errno;
            throw DeskFailure(FailureNumbers::kPermissionDenied,
                              QStringLiteral("Cannot replace the link %1: %2")
                                  .arg(targetPath, systemReason(error)));
        }
        // Written beside the target and renamed over it on commit: a copy
        // that fails half-way leaves an existing target untouched.
        QSaveFile copy(targetPath);
        if (!copy.open(QIODevice::WriteOnly))
            throw DeskFailure(FailureNumbers::kFileAccess,
                              QStringLiteral("Cannot write %1: %2")
                                  .arg(targetPath, copy.errorString()));
        constexpr qint64 kChunkBytes = 64 * 1024;
        while (!source.atEnd()) {
            const QByteArray chunk = source.read(kChunkBytes);
            if (chunk.isEmpty())
                throw DeskFailure(FailureNumbers::kFileAccess,
                                  QStringLiteral("Cannot read %1: %2")
                                      .arg(sourcePath, source.errorString()));
            if (copy.write(chunk) != chunk.size())
                throw DeskFailure(FailureNumbers::kFileAccess,
                                  QStringLiteral("Cannot write %1: %2")
                                      .arg(targetPath, copy.errorString()));
        }
        if (!copy.commit())
            throw DeskFailure(FailureNumbers::kFileAccess,
                              QStringLiteral("Cannot write %1: %2")
                                  .arg(targetPath, copy.errorString()));
        return true;
    });
}

} // namespace modVarious

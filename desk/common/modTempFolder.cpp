#include "modTempFolder.h"

#include "DeskFailure.h"
#include "FailureNumbers.h"
#include "modFileNames.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace modTempFolder {

QString PrivateTempFolder() {
    // The system's temporary location is shared by every user: the folder of
    // our own there must be a real folder, ours and closed to others, or a
    // prepared one could hand us another user's answer files.
    const QString folder =
        QDir::tempPath() + QStringLiteral("/KavroDesk-%1").arg(::getuid());
    const QByteArray native = modFileNames::EncodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        throw DeskFailure(
            FailureNumbers::kFileAccess,
            QCoreApplication::translate("modTempFolder",
                                        "Cannot create the temporary folder "
                                        "%1: %2")
                .arg(folder, systemReason(errno)));
    struct stat status {};
    if (::lstat(native.constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::getuid())
        throw DeskFailure(
            FailureNumbers::kBadFileName,
            QCoreApplication::translate("modTempFolder",
                                        "The temporary folder %1 is not a "
                                        "folder of this user's own; remove "
                                        "it or set TEMP")
                .arg(folder));
    if ((status.st_mode & 0077) != 0 && ::chmod(native.constData(), 0700) != 0)
        throw DeskFailure(
            FailureNumbers::kPermissionDenied,
            QCoreApplication::translate("modTempFolder",
                                        "Cannot close the temporary folder "
                                        "%1 to other users: %2")
                .arg(folder, systemReason(errno)));
    return folder;
}

} // namespace modTempFolder

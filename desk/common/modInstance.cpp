#include "modInstance.h"

#include "DeskFailure.h"
#include "DeskMessages.h"
#include "FailureNumbers.h"
#include "FileDescriptor.h"
#include "modFileNames.h"
#include "modTempFolder.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace modInstance {
namespace {

// $XDG_RUNTIME_DIR, when it names a folder of this user closed to others.
QString runtimeFolder() {
    const QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
    struct stat status {};
    if (!folder.startsWith('/') || ::stat(folder.constData(), &status) != 0 ||
        !S_ISDIR(status.st_mode) || status.st_uid != ::getuid() ||
        (status.st_mode & 0077) != 0)
        return {};
    return modFileNames::DecodeName(folder);
}

} // namespace

QString LockFile() {
    QString folder = runtimeFolder();
    if (folder.isEmpty())
        folder = modTempFolder::PrivateTempFolder();
    return folder + QStringLiteral("/KavroDesk.lock");
}

QString AlreadyRunningText() {
    return QCoreApplication::translate(
        "modInstance", "KavroDesk is already running for this user. Only "
                       "one KavroDesk can run at a time: switch to the "
                       "window that is open, or close it first.");
}

bool ClaimInstance() {
    bool alone = true;
    guard(QString(), [&] {
        const QString path = LockFile();
        // Kept open until the process ends; programs started later do not
        // inherit it.
        FileDescriptor fd(::open(modFileNames::EncodeName(path).constData(),
                                 O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC,
                                 0600));
        if (!fd)
            throw DeskFailure(
                FailureNumbers::kFileAccess,
                QCoreApplication::translate("modInstance",
                                            "Cannot create the lock file %1: "
                                            "%2")
                    .arg(path, systemReason(errno)));
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
            fd.release(); // the lock lasts as long as the process
            return;
        }
        const int error = errno;
        if (error != EWOULDBLOCK)
            throw DeskFailure(
                FailureNumbers::kFileAccess,
                QCoreApplication::translate("modInstance", "Cannot lock %1: %2")
                    .arg(path, systemReason(error)));
        alone = false;
    });
    if (!alone)
        showPlainMessage(AlreadyRunningText());
    return alone;
}

} // namespace modInstance

#include "modWin32API.h"

#include "DeskFailure.h"
#include "DeskMessages.h"
#include "FailureNumbers.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace modWin32API {
namespace {

// The batch files the desktop writes are a few hundred bytes.
constexpr qint64 kMaxBatchBytes = 1024 * 1024;

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

// Opens a plain file without following a symbolic link and without hanging
// on a pipe that someone left under its name. Gives -1 with errno set.
int openPlainFile(const QByteArray &path, int flags, mode_t mode = 0600) {
    const int fd = ::open(path.constData(),
                          flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd < 0)
        return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

QString openFailure(const QString &what, const QByteArray &path, int error) {
    const QString reason =
        error == ELOOP    ? QStringLiteral("it is a symbolic link")
        : error == EINVAL ? QStringLiteral("it is not a plain file")
                          : systemReason(error);
    return QStringLiteral("Cannot open the %1 %2: %3")
        .arg(what, QFile::decodeName(path), reason);
}

QByteArray readBatchFile(const QString &path) {
    const QByteArray native = QFile::encodeName(path);
    Descriptor fd(openPlainFile(native, O_RDONLY));
    if (fd.get() < 0) {
        const int error = errno;
        throw DeskFailure(
            error == ENOENT ? FailureNumbers::kFileNotFound
                            : FailureNumbers::kFileAccess,
            openFailure(QStringLiteral("batch file"), native, error));
    }
    QFile file;
    if (!file.open(fd.get(), QIODevice::ReadOnly))
        throw DeskFailure(FailureNumbers::kFileAccess,
                          QStringLiteral("Cannot read the batch file %1: %2")
                              .arg(path, file.errorString()));
    const QByteArray text = file.read(kMaxBatchBytes + 1);
    if (text.size() > kMaxBatchBytes)
        throw DeskFailure(
            FailureNumbers::kFileAccess,
            QStringLiteral("The batch file %1 is too large").arg(path));
    return text;
}

} // namespace

QString ProcessStarter::run(const QList<QByteArray> &arguments,
                            const QByteArray &appendFile) {
    if (arguments.isEmpty() || arguments.front().isEmpty())
        return QStringLiteral("No program to start");
    const QByteArray &program = arguments.front();

    Descriptor nullDevice(::open("/dev/null", O_RDWR | O_CLOEXEC));
    if (nullDevice.get() < 0)
        return QStringLiteral("Cannot open /dev/null: %1")
            .arg(systemReason(errno));
    Descriptor output(
        appendFile.isEmpty()
            ? -1
            : openPlainFile(appendFile, O_WRONLY | O_APPEND | O_CREAT));
    if (!appendFile.isEmpty() && output.get() < 0)
        return openFailure(QStringLiteral("output file"), appendFile, errno);
    const int outputFd = output.get() >= 0 ? output.get() : nullDevice.get();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, nullDevice.get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, nullDevice.get(), STDERR_FILENO);

    std::vector<char *> argv;
    argv.reserve(arguments.size() + 1);
    for (const QByteArray &argument : arguments)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int started = program.contains('/')
                            ? posix_spawn(&pid, program.constData(), &actions,
                                          nullptr, argv.data(), environ)
                            : posix_spawnp(&pid, program.constData(), &actions,
                                           nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0)
        return QStringLiteral("Cannot start %1: %2")
            .arg(QFile::decodeName(program), systemReason(started));

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return {};
}

void RunAndWait(const QString &commandLine, std::int16_t windowStyle) {
    static_cast<void>(windowStyle); // nothing is ever shown
    guard(QString(), [&] {
        QString path = commandLine.trimmed();
        if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"'))
            path = path.mid(1, path.size() - 2);
        const QByteArray text = readBatchFile(path);
        ProcessStarter starter;
        const BatchOutcome outcome = BatchInterpreter(starter).run(text);
        if (!outcome.completed)
            throw DeskFailure(outcome.failureNumber,
                              QStringLiteral("%1 (line %2 of %3)")
                                  .arg(outcome.failure,
                                       QString::number(outcome.failedLine),
                                       path));
    });
}

void OpenDocument(const QString &document) {
    const QUrl address =
        QUrl::fromUserInput(document, QString(), QUrl::AssumeLocalFile);
    if (address.isValid())
        QDesktopServices::openUrl(address); // its result is not looked at
}

} // namespace modWin32API

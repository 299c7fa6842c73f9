#include "modWin32API.h"

#include "DeskFailure.h"
#include "DeskMessages.h"
#include "FailureNumbers.h"
#include "FileDescriptor.h"
#include "modFileNames.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <vector>

#include <fcntl.h>

#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace modWin32API {
namespace {

// The batch files the desktop writes are a few hundred bytes.
constexpr qint64 kMaxBatchBytes = 1024 * 1024;

// Opens a plain file without following a symbolic link and without hanging
// on a pipe that someone left under its name (openRegularFile).
FileDescriptor openPlainFile(const QByteArray &path, int flags) {
    return openRegularFile(path.toStdString(), flags | O_NOFOLLOW);
}

// The failure text "whatFails" (untranslated, with %1 for the path and %2 for
// the reason) for a file that cannot be opened.
QString openFailure(const char *whatFails, const QByteArray &path, int error) {
    const QString reason =
        error == ELOOP ? QCoreApplication::translate("modWin32API",
                                                     "it is a symbolic link")
        : error == EISDIR
            ? QCoreApplication::translate("modWin32API", "it is a folder")
        : error == EINVAL ? QCoreApplication::translate(
                                "modWin32API", "it is not a plain file")
                          : systemReason(error);
    return QCoreApplication::translate("modWin32API", whatFails)
        .arg(modFileNames::ShownBytes(path), reason);
}

QByteArray readBatchFile(const QString &path) {
    const QByteArray native = modFileNames::EncodeName(path);
    const FileDescriptor fd = openPlainFile(native, O_RDONLY);
    if (!fd) {
        const int error = errno;
        throw DeskFailure(
            error == ENOENT ? FailureNumbers::kFileNotFound
                            : FailureNumbers::kFileAccess,
            openFailure(QT_TRANSLATE_NOOP("modWin32API",
                                          "Cannot open the batch file %1: %2"),
                        native, error));
    }
    QFile file;
    if (!file.open(fd.get(), QIODevice::ReadOnly))
        throw DeskFailure(
            FailureNumbers::kFileAccess,
            QCoreApplication::translate("modWin32API",
                                        "Cannot read the batch file %1: %2")
                .arg(path, file.errorString()));
    // Read for its size, not for the largest size allowed: a buffer of a
    // megabyte for a batch of a few hundred bytes would be mapped and
    // unmapped again for every file listed.
    const QByteArray text = file.size() > kMaxBatchBytes
                                ? file.read(kMaxBatchBytes + 1)
                                : file.readAll();
    if (text.size() > kMaxBatchBytes)
        throw DeskFailure(FailureNumbers::kFileAccess,
                          QCoreApplication::translate(
                              "modWin32API", "The batch file %1 is too large")
                              .arg(path));
    return text;
}

} // namespace

namespace {

// The program's file: a name with a "/" as it is, any other looked up in
// PATH as the shell would (the default path when PATH is unset). Empty with
// errno set when there is none.
QByteArray programFile(const QByteArray &program) {
    if (program.contains('/'))
        return program;
    QByteArray path = qgetenv("PATH");
    if (path.isNull())
        path = "/bin:/usr/bin";
    int error = ENOENT;
    for (const QByteArray &folder : path.split(':')) {
        const QByteArray candidate =
            (folder.isEmpty() ? QByteArray(".") : folder) + '/' + program;
        struct stat status {};
        if (::stat(candidate.constData(), &status) == 0 &&
            S_ISREG(status.st_mode)) {
            if (::access(candidate.constData(), X_OK) == 0)
                return candidate;
            error = EACCES;
        }
    }
    errno = error;
    return {};
}

// Reads the pipe to its end, keeping at most the last `limit` bytes of what
// came in console (when there is one).
void drain(int fd, QByteArray *console, qsizetype limit) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;
        if (!console)
            continue;
        console->append(buffer, got);
        if (console->size() > limit)
            console->remove(0, console->size() - limit);
    }
}

// What the child needs, prepared before it exists.
struct ChildSetup {
    const char *file;
    char *const *argv;
    int stdinFd, stdoutFd, stderrFd;
    int errorFd; // the exec's errno goes here when it fails
    pid_t parent;
};

// vfork: the desktop's memory is not copied for a program that replaces it
// at once, so the child calls nothing but system calls. As the C library's
// own spawn does, every signal is blocked (by the caller) until the child
// has set the handlers that it inherited back to their defaults.
[[gnu::noinline]] pid_t spawnChild(const ChildSetup &setup,
                                   const sigset_t &mask) {
    const pid_t pid = ::vfork();
    if (pid != 0)
        return pid;
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != setup.parent)
        ::_exit(127); // the desktop has ended already
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction action {};
        if (::sigaction(signal, nullptr, &action) == 0 &&
            action.sa_handler != SIG_IGN && action.sa_handler != SIG_DFL) {
            action.sa_handler = SIG_DFL;
            action.sa_flags = 0;
            ::sigaction(signal, &action, nullptr);
        }
    }
    ::sigprocmask(SIG_SETMASK, &mask, nullptr);
    // A descriptor that is already in place keeps it across the exec.
    const auto place = [](int fd, int target) {
        return fd == target ? ::fcntl(fd, F_SETFD, 0) >= 0
                            : ::dup2(fd, target) >= 0;
    };
    if (place(setup.stdinFd, STDIN_FILENO) &&
        place(setup.stdoutFd, STDOUT_FILENO) &&
        place(setup.stderrFd, STDERR_FILENO))
        ::execve(setup.file, setup.argv, environ);
    const int error = errno;
    static_cast<void>(::write(setup.errorFd, &error, sizeof error));
    ::_exit(127);
}

// Starts the program and waits for it. Its standard input is the null
// device; its standard output goes to outputFd, or into the console pipe
// when outputFd is -1; its standard error into the console pipe. The child
// gets a parent-death signal: when the desktop ends, also by kill -9, so
// does every program it started, and no orphaned engine goes on writing
// outputs that nobody will judge.
QString startAndWait(const QByteArray &program,
                     const QList<QByteArray> &arguments, int nullFd,
                     int outputFd, QByteArray *console) {
    const auto cannotStart = [&program](int error) {
        return QCoreApplication::translate("modWin32API", "Cannot start %1: %2")
            .arg(modFileNames::ShownBytes(program), systemReason(error));
    };
    const QByteArray file = programFile(program);
    if (file.isEmpty())
        return cannotStart(errno);
    std::vector<char *> argv;
    argv.reserve(arguments.size() + 1);
    for (const QByteArray &argument : arguments)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);

    struct Pipe {
        FileDescriptor read, write;
    };
    const auto makePipe = [](Pipe &pipe) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return false;
        pipe.read = FileDescriptor(ends[0]);
        pipe.write = FileDescriptor(ends[1]);
        return true;
    };
    Pipe consolePipe, errorPipe;
    if (!makePipe(consolePipe) || !makePipe(errorPipe))
        return cannotStart(errno);
    const ChildSetup setup{file.constData(),
                           argv.data(),
                           nullFd,
                           outputFd >= 0 ? outputFd : consolePipe.write.get(),
                           consolePipe.write.get(),
                           errorPipe.write.get(),
                           ::getpid()};
    sigset_t all, saved;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &saved);
    const pid_t pid = spawnChild(setup, saved);
    const int forkError = errno;
    ::pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    // Only the child writes now: the reads below end when it has ended.
    consolePipe.write.close();
    errorPipe.write.close();
    if (pid < 0)
        return cannotStart(forkError);
    int startError = 0;
    ssize_t got;
    while ((got = ::read(errorPipe.read.get(), &startError,
                         sizeof startError)) < 0 &&
           errno == EINTR) {
    }
    drain(consolePipe.read.get(), console, BatchOutcome::kMaxConsoleBytes);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (got == static_cast<ssize_t>(sizeof startError))
        return cannotStart(startError);
    return {};
}

} // namespace

QString ProcessStarter::run(const QList<QByteArray> &arguments,
                            const QByteArray &appendFile) {
    return start(arguments, appendFile, nullptr);
}

QString ProcessStarter::runShowing(const QList<QByteArray> &arguments,
                                   const QByteArray &appendFile,
                                   QByteArray &console) {
    return start(arguments, appendFile, &console);
}

QString ProcessStarter::start(const QList<QByteArray> &arguments,
                              const QByteArray &appendFile,
                              QByteArray *console) {
    if (arguments.isEmpty() || arguments.front().isEmpty())
        return QCoreApplication::translate("modWin32API",
                                           "No program to start");
    const FileDescriptor nullDevice(::open("/dev/null", O_RDWR | O_CLOEXEC));
    if (!nullDevice)
        return QCoreApplication::translate("modWin32API",
                                           "Cannot open /dev/null: %1")
            .arg(systemReason(errno));
    FileDescriptor output;
    if (!appendFile.isEmpty()) {
        output = openPlainFile(appendFile, O_WRONLY | O_APPEND | O_CREAT);
        if (!output)
            return openFailure(
                QT_TRANSLATE_NOOP("modWin32API",
                                  "Cannot open the output file %1: %2"),
                appendFile, errno);
    }
    return startAndWait(arguments.front(), arguments, nullDevice.get(),
                        output.get(), console);
}

QByteArray RunAndWait(const QString &commandLine, std::int16_t windowStyle) {
    static_cast<void>(windowStyle); // nothing is ever shown
    QByteArray console;
    guard(QString(), [&] {
        QString path = commandLine.trimmed();
        if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"'))
            path = path.mid(1, path.size() - 2);
        const QByteArray text = readBatchFile(path);
        ProcessStarter starter;
        const BatchOutcome outcome = BatchInterpreter(starter).run(text);
        console = outcome.console;
        if (!outcome.completed)
            throw DeskFailure(
                outcome.failureNumber,
                QCoreApplication::translate("modWin32API", "%1 (line %2 of %3)")
                    .arg(outcome.failure, QString::number(outcome.failedLine),
                         path));
    });
    return console;
}

int ProcessorCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    return std::max(1, QThread::idealThreadCount());
}

void OpenDocument(const QString &document) {
    const QUrl address =
        QUrl::fromUserInput(document, QString(), QUrl::AssumeLocalFile);
    if (address.isValid())
        QDesktopServices::openUrl(address); // its result is not looked at
}

} // namespace modWin32API

#pragma once

// Runs a program of the project the way a batch file starts it: a program
// and an argument list, no shell between, in a group of its own, with a time
// limit.

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace kavrotest {

struct ProgramRun {
    std::string out; // standard output, whole
    std::string err; // standard error, whole
    int status = -1; // exit status; -1 when it did not exit normally
    long peakResidentKiB = 0;
    double seconds = 0; // from start to end, as the clock on the wall runs
};

// How a program is started, beyond its arguments.
struct RunOptions {
    // A program with its arguments that starts the program, which follows
    // them with its own (for instance setpriv, to run it as another user);
    // empty for none.
    std::vector<std::string> launcher;
    // The largest file the program may write, as a full disk would stop it;
    // writes beyond fail with EFBIG (the signal that would end it is ignored).
    rlim_t fileSizeLimit = RLIM_INFINITY;
    // A run that has not ended by then is killed, and the test fails.
    std::chrono::seconds timeLimit{60};
};

// GNU time, which reports the peak resident size of the program it starts.
inline const char *const kTimeProgram = "/usr/bin/time";

// Whether ProgramRun::peakResidentKiB is the program's own. The kernel's
// figure for a child includes the memory of the process that started it
// (the child runs in a copy of it, or in it, until it loads the program), so
// a test process that holds large files makes it overstate; GNU time starts
// the program from a small process of its own and reports its figure alone.
inline bool peakIsProgramsOwn() { return ::access(kTimeProgram, X_OK) == 0; }

// Starts argv (a program and its arguments) in a process group of its own,
// so that a run past its time ends with all its processes, with standard
// output and error into the files and the file size limit; -1 when it
// cannot be started.
inline pid_t startInGroup(std::vector<std::string> &arguments,
                          const fs::path &out, const fs::path &err,
                          const fs::path &workingDirectory,
                          rlim_t fileSizeLimit) {
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!workingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions,
                                             workingDirectory.c_str());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    // The child inherits the limit and the ignored signal; this process has
    // them only while it starts the child.
    rlimit savedLimit{};
    ::getrlimit(RLIMIT_FSIZE, &savedLimit);
    const bool limited = fileSizeLimit != RLIM_INFINITY;
    const auto savedSignal = limited ? std::signal(SIGXFSZ, SIG_IGN) : SIG_DFL;
    if (limited) {
        rlimit limit = savedLimit;
        limit.rlim_cur = fileSizeLimit;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv.front(), &actions, &attributes,
                                    argv.data(), environ);
    if (limited) {
        ::setrlimit(RLIMIT_FSIZE, &savedLimit);
        std::signal(SIGXFSZ, savedSignal);
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

// Waits for the process; a run past the time limit is killed with its group
// and fails the test. Its wait status and its resource usage.
inline int waitWithin(pid_t pid, const std::string &program,
                      std::chrono::steady_clock::time_point start,
                      std::chrono::seconds timeLimit, rusage &usage) {
    int status = 0;
    bool killed = false;
    for (;;) {
        const pid_t ended = ::wait4(pid, &status, WNOHANG, &usage);
        if (ended == pid || (ended < 0 && errno != EINTR))
            return status;
        if (!killed && std::chrono::steady_clock::now() - start > timeLimit) {
            ::kill(-pid, SIGKILL);
            killed = true;
            ADD_FAILURE() << program << " did not end within "
                          << timeLimit.count() << " s";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Runs the program with the arguments, without a shell. Its standard output
// and error go to "stdout.txt" and "stderr.txt" in the scratch folder and are
// read when it has ended; it runs in workingDirectory when one is given. The
// peak resident size is the program's as GNU time reports it when that is
// installed, else the child's as the kernel reports it to its parent (see
// peakIsProgramsOwn).
inline ProgramRun runProgram(const std::string &program,
                             std::vector<std::string> arguments,
                             const fs::path &scratch,
                             const fs::path &workingDirectory = {},
                             const RunOptions &options = {}) {
    arguments.insert(arguments.begin(), program);
    arguments.insert(arguments.begin(), options.launcher.begin(),
                     options.launcher.end());
    const fs::path peak = scratch / "peak.txt";
    const bool timed = peakIsProgramsOwn();
    if (timed) // the peak in KiB and the exit status, into the file
        arguments.insert(arguments.begin(), {kTimeProgram, "--quiet", "-f",
                                             "%M %x", "-o", peak.string()});
    const fs::path out = scratch / "stdout.txt";
    const fs::path err = scratch / "stderr.txt";
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = startInGroup(arguments, out, err, workingDirectory,
                                   options.fileSizeLimit);
    ProgramRun run;
    if (pid < 0) {
        ADD_FAILURE() << "cannot start " << arguments.front();
        return run;
    }
    rusage usage{};
    const int status =
        waitWithin(pid, program, start, options.timeLimit, usage);
    run.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
            .count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakResidentKiB = usage.ru_maxrss;
    if (timed && run.status != -1) {
        // GNU time ends with the program's status, or with 128 + the signal
        // that ended it; then the status it writes is 0.
        long kib = 0;
        int exitStatus = -1;
        std::istringstream(readFile(peak)) >> kib >> exitStatus;
        run.peakResidentKiB = kib;
        if (exitStatus != run.status)
            run.status = -1;
    }
    run.out = readFile(out);
    run.err = readFile(err);
    return run;
}

} // namespace kavrotest

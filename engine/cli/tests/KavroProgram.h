#pragma once

// Runs the real KAVRO the way a batch file starts it: a program and an
// argument list, no shell between.

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace kavrotest {

struct ProgramRun {
    std::string out; // standard output, whole
    std::string err; // standard error, whole
    int status = -1; // exit status; -1 when it did not exit normally
    long peakResidentKiB = 0;
};

// The lines of the banner, which comes before all other output.
constexpr std::size_t kBannerLines = 3;

// Runs KAVRO with the arguments. Its standard output and error go to
// "stdout.txt" and "stderr.txt" in the scratch folder and are read when it
// has ended; it runs in workingDirectory when one is given. The peak
// resident size is the child's as the kernel reports it to its parent.
inline ProgramRun runKavro(std::vector<std::string> arguments,
                           const fs::path &scratch,
                           const fs::path &workingDirectory = {}) {
    arguments.insert(arguments.begin(), KAVRO_EXE);
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const fs::path out = scratch / "stdout.txt";
    const fs::path err = scratch / "stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!workingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions,
                                             workingDirectory.c_str());
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, KAVRO_EXE, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ProgramRun run;
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << KAVRO_EXE;
        return run;
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakResidentKiB = usage.ru_maxrss;
    run.out = readFile(out);
    run.err = readFile(err);
    return run;
}

// The output lines after the first `skip` ones (the banner, and the script's
// description when it is skipped too); nothing when there are fewer.
inline std::vector<std::string> linesAfter(const std::string &out,
                                           std::size_t skip) {
    std::vector<std::string> lines = splitLines(out);
    if (lines.size() < skip)
        return {};
    lines.erase(lines.begin(), lines.begin() + static_cast<long>(skip));
    return lines;
}

} // namespace kavrotest

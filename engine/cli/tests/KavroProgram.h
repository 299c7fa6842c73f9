#pragma once

// The real KAVRO run by the command-line tests, and the scratch folder they
// run it in.

#include "ScriptTestFiles.h"
#include "TestFiles.h"
#include "TestProgram.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace kavrotest {

// The lines of the banner, which comes before all other output.
constexpr std::size_t kBannerLines = 3;

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

// A run of KAVRO, with its standard output read as it is laid out: the
// banner, the script's description, then one report line for each file.
struct KavroRun : ProgramRun {
    // Standard output after the banner.
    std::string afterBanner() const {
        std::size_t at = 0;
        for (std::size_t line = 0; line < kBannerLines; ++line) {
            const std::size_t end = out.find('\n', at);
            if (end == std::string::npos)
                return out;
            at = end + 1;
        }
        return out.substr(at);
    }
    // The lines after the banner.
    std::vector<std::string> lines() const {
        return linesAfter(out, kBannerLines);
    }
    // The report lines: after the banner and the description.
    std::vector<std::string> reportLines() const {
        return linesAfter(out, kBannerLines + 1);
    }
    // The report as one text, in lines that names with line breaks may
    // break.
    std::string report() const {
        const std::string text = afterBanner();
        return text.substr(std::min(text.size(), text.find('\n') + 1));
    }
};

inline KavroRun runKavro(std::vector<std::string> arguments,
                         const fs::path &scratch,
                         const fs::path &workingDirectory = {},
                         const RunOptions &options = {}) {
    return {runProgram(KAVRO_EXE, std::move(arguments), scratch,
                       workingDirectory, options)};
}

// How to run KAVRO as a user that permissions bind: as itself when this
// process is not root, else through setpriv as nobody. Nothing when that
// cannot be arranged.
inline std::optional<RunOptions> unprivileged() {
    if (::geteuid() != 0)
        return RunOptions{};
    const std::vector<std::string> setpriv = {
        "/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    if (std::system("/usr/bin/setpriv --reuid=65534 --regid=65534 "
                    "--clear-groups /bin/true >/dev/null 2>&1") != 0)
        return std::nullopt;
    return RunOptions{setpriv};
}

// Starts KAVRO, waits until ready() holds, then kills it as kill -9 does.
// False when KAVRO ended by itself first.
inline bool killWhen(std::vector<std::string> arguments,
                     const std::function<bool()> &ready) {
    arguments.insert(arguments.begin(), KAVRO_EXE);
    const pid_t pid =
        startInGroup(arguments, "/dev/null", "/dev/null", {}, RLIM_INFINITY);
    if (pid < 0)
        return false;
    int status = 0;
    const auto start = std::chrono::steady_clock::now();
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (ready() || std::chrono::steady_clock::now() - start >
                           std::chrono::seconds(30)) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

// A test that runs KAVRO in a scratch folder of its own: made fresh for each
// test with the shipped grammar in it, and removed after it (removeFolder).
// Its name has blanks, so every path a run sees has them too.
class KavroProgramTest : public testing::Test {
  protected:
    void SetUp() override {
        root_ = freshFolder("kavro run ");
        copyGrammar(root_);
    }
    void TearDown() override { removeFolder(root_); }

    // A path in the scratch folder.
    std::string path(const std::string &relative) const {
        return (root_ / relative).string();
    }
    // A script of the test's own beside the grammar; its path.
    std::string writeScript(const std::string &name,
                            const std::string &body) const {
        return kavrotest::writeScript(root_, name, body);
    }
    // Runs KAVRO in the scratch folder, which also keeps what it printed.
    KavroRun run(const std::vector<std::string> &arguments,
                 const RunOptions &options = {}) const {
        return runKavro(arguments, root_, root_, options);
    }

    fs::path root_;
};

} // namespace kavrotest

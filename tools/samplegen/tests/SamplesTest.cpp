#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using kavrotest::readFile;

// The committed samples are what the generator writes: a change to one
// without the other fails here.
TEST(Samples, CommittedFilesAreWhatTheGeneratorWrites) {
    const fs::path dir = kavrotest::freshFolder("kavro_samplegen_");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(SAMPLEGEN_EXE, SAMPLEGEN_EXE, dir.c_str(), nullptr);
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const fs::path committed = fs::path(KAVRO_SOURCE_DIR) / "data/samples";
    std::size_t files = 0;
    for (const auto &entry : fs::directory_iterator(dir)) {
        const fs::path name = entry.path().filename();
        SCOPED_TRACE(name.string());
        EXPECT_EQ(readFile(entry.path()), readFile(committed / name));
        ++files;
    }
    EXPECT_EQ(files, 24u); // points, lines, polygons; two forms; four files
    kavrotest::removeFolder(dir);
}

} // namespace

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string readBytes(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in),
            std::istreambuf_iterator<char>()};
}

// The committed samples are what the generator writes: a change to one
// without the other fails here.
TEST(Samples, CommittedFilesAreWhatTheGeneratorWrites) {
    const fs::path dir = fs::temp_directory_path() /
                         ("kavro_samplegen_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
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
        EXPECT_EQ(readBytes(entry.path()), readBytes(committed / name));
        ++files;
    }
    EXPECT_EQ(files, 24u); // points, lines, polygons; two forms; four files
    fs::remove_all(dir);
}

} // namespace

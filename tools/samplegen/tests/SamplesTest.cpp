#include "TestFiles.h"
#include "TestProgram.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

using kavrotest::readFile;

// The committed samples are what the generator writes: a change to one
// without the other fails here.
using Samples = kavrotest::ScratchFolderTest;

TEST_F(Samples, CommittedFilesAreWhatTheGeneratorWrites) {
    const fs::path output = dir_ / "samples";
    fs::create_directory(output);
    ASSERT_EQ(
        kavrotest::runProgram(SAMPLEGEN_EXE, {output.string()}, dir_).status,
        0);

    const fs::path committed = fs::path(KAVRO_SOURCE_DIR) / "data/samples";
    std::size_t files = 0;
    for (const auto &entry : fs::directory_iterator(output)) {
        const fs::path name = entry.path().filename();
        SCOPED_TRACE(name.string());
        EXPECT_EQ(readFile(entry.path()), readFile(committed / name));
        ++files;
    }
    EXPECT_EQ(files, 24u); // points, lines, polygons; two forms; four files
}

} // namespace

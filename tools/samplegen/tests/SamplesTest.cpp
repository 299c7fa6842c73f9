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
TEST(Samples, CommittedFilesAreWhatTheGeneratorWrites) {
    const fs::path dir = kavrotest::freshFolder("kavro_samplegen_");
    const fs::path output = dir / "samples";
    fs::create_directory(output);
    ASSERT_EQ(
        kavrotest::runProgram(SAMPLEGEN_EXE, {output.string()}, dir).status, 0);

    const fs::path committed = fs::path(KAVRO_SOURCE_DIR) / "data/samples";
    std::size_t files = 0;
    for (const auto &entry : fs::directory_iterator(output)) {
        const fs::path name = entry.path().filename();
        SCOPED_TRACE(name.string());
        EXPECT_EQ(readFile(entry.path()), readFile(committed / name));
        ++files;
    }
    EXPECT_EQ(files, 24u); // points, lines, polygons; two forms; four files
    kavrotest::removeFolder(dir);
}

} // namespace

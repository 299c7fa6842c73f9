#pragma once

// Files for the tests: a fresh scratch folder per test (ScratchFolderTest),
// and whole files written and read byte for byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace kavrotest {

namespace fs = std::filesystem;

// The whole file; empty when it cannot be read. The stream buffer copies in
// blocks (a character iterator takes seconds for 10 MB in a debug build).
inline std::string readFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return std::move(content).str();
}

// Creates or truncates the file.
inline void writeFile(const fs::path &path, const std::string &content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

inline std::vector<std::string> splitLines(const std::string &text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Whether the text holds the part; when it does not, the failure shows both.
inline testing::AssertionResult contains(const std::string &text,
                                         const std::string &part) {
    if (text.find(part) != std::string::npos)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << '"' << part << "\" not in:\n" << text;
}

// An empty folder under the temporary folder, named from the prefix, the
// process and the running test, so that tests run side by side never share
// one. A prefix with blanks gives paths with blanks.
inline fs::path freshFolder(const std::string &prefix) {
    const testing::TestInfo *test =
        testing::UnitTest::GetInstance()->current_test_info();
    const fs::path folder =
        fs::temp_directory_path() /
        (prefix + std::to_string(::getpid()) +
         (test != nullptr ? std::string("-") + test->name() : std::string()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// Removes a scratch folder, also where a test took a folder's permissions
// away; what cannot be removed is left behind.
inline void removeFolder(const fs::path &folder) {
    std::error_code ignored;
    for (const auto &entry : fs::recursive_directory_iterator(
             folder, fs::directory_options::skip_permission_denied, ignored))
        if (entry.is_directory(ignored))
            fs::permissions(entry.path(), fs::perms::owner_all,
                            fs::perm_options::add, ignored);
    fs::remove_all(folder, ignored);
}

// A test with a scratch folder of its own, dir_, made fresh before the test
// and removed after it. Its name has blanks, so every path the test makes
// has them too.
class ScratchFolderTest : public testing::Test {
  protected:
    void SetUp() override { dir_ = freshFolder("kavro scratch "); }
    void TearDown() override { removeFolder(dir_); }

    // A path in the scratch folder.
    std::string path(const std::string &relative) const {
        return (dir_ / relative).string();
    }

    fs::path dir_;
};

} // namespace kavrotest

#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

// A fresh folder under the system's temporary folder with the shipped
// grammar beside the scripts that a test writes; removed at the end.
class ScriptTestFolder {
  public:
    ScriptTestFolder() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("kavro-script-test-" + std::to_string(::getpid()) + "-" +
                 std::to_string(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        std::filesystem::copy_file(KAVRO_SOURCE_DIR
                                   "/data/script/TransformationScript.xsd",
                                   path_ / "TransformationScript.xsd");
    }
    ~ScriptTestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScriptTestFolder(const ScriptTestFolder &) = delete;
    ScriptTestFolder &operator=(const ScriptTestFolder &) = delete;

    const std::filesystem::path &path() const { return path_; }

    // Writes a file into the folder and returns its full path.
    std::string write(const std::string &name,
                      const std::string &content) const {
        const std::filesystem::path file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
        return file.string();
    }

  private:
    std::filesystem::path path_;
};

// The opening of a script that names the shipped grammar.
inline const char *const kScriptHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<TransformationScript\n"
    "    xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
    "    xsi:noNamespaceSchemaLocation=\"TransformationScript.xsd\">\n";
inline const char *const kScriptTail = "</TransformationScript>\n";

inline std::string script(const std::string &body) {
    return kScriptHead + body + kScriptTail;
}

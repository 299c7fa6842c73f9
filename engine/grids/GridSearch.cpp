#include "GridSearch.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

void addFolder(std::vector<std::string> &folders, const std::string &folder) {
    if (folder.empty() ||
        std::find(folders.begin(), folders.end(), folder) != folders.end())
        return;
    folders.push_back(folder);
}

void addList(std::vector<std::string> &folders, const char *list) {
    if (list == nullptr)
        return;
    const std::string text = list;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = text.find(':', start);
        addFolder(folders, text.substr(start, colon - start));
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
}

bool isRegularFile(const fs::path &path) {
    std::error_code ignored;
    return fs::is_regular_file(path, ignored);
}

} // namespace

std::vector<std::string>
gridSearchFolders(const std::string &scriptFolder,
                  const std::string &programFolder,
                  const EnvironmentLookup &environment) {
    std::vector<std::string> folders;
    addFolder(folders, scriptFolder);
    addList(folders, environment("KAVRO_GRID_PATH"));
    const char *dataHome = environment("XDG_DATA_HOME");
    const char *home = environment("HOME");
    if (dataHome != nullptr && dataHome[0] == '/')
        addFolder(folders, std::string(dataHome) + "/kavro/grids");
    else if (home != nullptr && home[0] != '\0')
        addFolder(folders, std::string(home) + "/.local/share/kavro/grids");
    if (!programFolder.empty())
        addFolder(folders, programFolder + "/grids");
    addFolder(folders, "/usr/share/kavro/grids");
    addList(folders, environment("PROJ_DATA"));
    addList(folders, environment("PROJ_LIB"));
    addFolder(folders, "/usr/share/proj");
    return folders;
}

GridLocation findGridFile(const std::string &name,
                          const std::vector<std::string> &folders) {
    GridLocation location;
    if (name.empty())
        return location;
    if (fs::path(name).is_absolute()) {
        if (isRegularFile(name))
            location.path = name;
        return location;
    }
    for (const std::string &folder : folders) {
        location.searched.push_back(folder);
        const fs::path candidate = fs::path(folder) / name;
        if (isRegularFile(candidate)) {
            location.path = candidate.string();
            break;
        }
    }
    return location;
}

std::string folderOf(const std::string &path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

std::string runningProgramFolder() {
    std::error_code error;
    const fs::path executable = fs::canonical("/proc/self/exe", error);
    if (error)
        return {};
    return executable.parent_path().string();
}

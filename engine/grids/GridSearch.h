#pragma once

// Where a grid file that a script names is looked for. Only the standard
// library is used, so that the desktop program finds a grid exactly where
// the engine will.

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

// Reads an environment variable: its value, or nullptr when it is not set.
using EnvironmentLookup = std::function<const char *(const char *)>;

inline const char *processEnvironment(const char *name) {
    return std::getenv(name);
}

// The folders in which a relative grid name is looked for, in this order:
//   1. the script's own folder;
//   2. each folder of KAVRO_GRID_PATH (separated by ':', empty ones skipped);
//   3. $XDG_DATA_HOME/kavro/grids, or $HOME/.local/share/kavro/grids when
//      XDG_DATA_HOME is unset, empty or not absolute (left out without HOME);
//   4. <programFolder>/grids;
//   5. /usr/share/kavro/grids;
//   6. PROJ's: each folder of PROJ_DATA, then of PROJ_LIB (both ':'-lists),
//      then /usr/share/proj.
// An empty scriptFolder or programFolder is left out; a folder that comes
// twice keeps its first place only.
std::vector<std::string>
gridSearchFolders(const std::string &scriptFolder,
                  const std::string &programFolder,
                  const EnvironmentLookup &environment = processEnvironment);

struct GridLocation {
    std::string path; // the file found; empty when there is none
    // The folders looked in, in order (none for an absolute name).
    std::vector<std::string> searched;
};

// An absolute name is taken as it is; a relative one (also one with folders
// of its own, "de/BETA2007.gsb") is the first folder/name that is a regular
// file (links followed). Whether the file can be read is the reader's
// business.
GridLocation findGridFile(const std::string &name,
                          const std::vector<std::string> &folders);

// The folder that holds a file: "." for a bare file name.
std::string folderOf(const std::string &path);

// The folder of the running executable, through /proc/self/exe with every
// link resolved (an installed command is a link into the program folder);
// empty when it cannot be told.
std::string runningProgramFolder();

#pragma once

#include <string>
#include <string_view>

// Every output file is written under a temporary name in its own folder and
// renamed into place only when it is whole, so that a run that is killed, or
// a disk that fills up, never leaves a partial file under the final name.
// The temporary name is hidden and keeps the parts of the final one:
//
//   <folder>/.<stem>.kavro-part-<6 letters or digits><extension>
//
// where stem and extension are the final name cut at its last "."
// ("roads.shp" is written as ".roads.kavro-part-x7Qb2k.shp", "points" as
// ".points.kavro-part-x7Qb2k"). The random part keeps two runs writing into
// one folder apart. A killed run leaves such files behind; a workspace run
// never takes them for inputs, and they can be removed at any time when no
// run is writing.

// True when a file name (not a path) has the form above.
bool isTemporaryOutputName(std::string_view name);

// Creates a new, empty file under a temporary name for finalPath, never
// through a symbolic link and never over an existing file. It gets the
// permission bits of the final file when that exists as a regular file (as
// a file truncated in place would keep them), otherwise those of a new file.
// Returns its descriptor, opened for writing and closed on exec, and its
// path; -1 with errno set on failure.
int createTemporaryOutput(const std::string &finalPath,
                          std::string &temporaryPath);

// The same for a shapefile written by shapelib, which names its files after
// one base path: creates "<temporary base>.shp" and "<temporary base>.shx",
// both new and empty, for the final base finalBase (the output path without
// its extension), and returns the temporary base; the empty text with errno
// set on failure. Each gets its permission bits as above.
std::string createTemporaryShapefile(const std::string &finalBase);

// Renames a whole temporary file into place, replacing the final file. On
// failure the temporary file is removed and the result is false with errno
// set.
bool commitTemporaryOutput(const std::string &temporaryPath,
                           const std::string &finalPath);

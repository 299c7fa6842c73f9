#pragma once

#include <string>
#include <string_view>

// A shapefile is a set of files named after one base: roads.shp, roads.shx,
// roads.dbf, roads.cpg, roads.prj. The base is the path without its
// extension, cut as shapelib cuts it before it adds ".shp" and ".shx": at
// the last "." after the last "/" or "\", unless that "." is the path's
// first character. A path without an extension is kept whole, so "roads"
// names "roads.shp" and "roads.dbf", and the "." of a folder such as
// "v1.2/roads" is not taken for one.
std::string shapefileBase(const std::string &path);

// The file of the set with that extension (".dbf", with its "."), as the
// engine writes and looks for it: "A.SHP" gives "A.dbf".
std::string companionFile(const std::string &path, std::string_view extension);

#pragma once

#include <string>

// True when the two paths name the same file, also through another spelling
// of the path ("./a", "dir//a", a symbolic link, a hard link). Converters ask
// this before they create an output, so that an output path that names the
// input never truncates the input.
//
// When both paths exist the answer comes from the file system (device and
// inode). When one of them does not exist they are compared as absolute
// paths with "." and ".." resolved and the existing part's links followed;
// two paths that name no file at all are the same only when they are
// spelled alike after that.
bool sameFile(const std::string &a, const std::string &b);

// The path made absolute, with "." and ".." resolved and the links of its
// existing part followed: the spelling sameFile compares for a file that
// does not exist yet. The empty text when that cannot be made (a folder on
// the way that cannot be looked into).
std::string normalPath(const std::string &path);

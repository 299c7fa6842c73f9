#pragma once

#include <string>
#include <vector>

// The workspace search: the entries of one directory whose names match a
// wildcard filter, with the wildcard rules of the Windows file search that
// the command line's filters were written for, but case-sensitive:
//
//   *    any run of characters, also none ("*" and "*.*" match every name,
//        "." and ".." included);
//   ?    one character (a whole UTF-8 sequence, or one byte that is not
//        part of one); at the end of the filter or in front of a '.' also
//        none ("a?.txt" matches "a.txt" and "ab.txt");
//   *.   (a star in front of a point) does not reach over the last '.' of
//        the name, so "*.txt" matches "a.b.txt" but not "a.txt.bak";
//   .    in front of '*' or '?' or at the end of the filter it also matches
//        the end of the name ("*." matches the names without a point).
//
// Every other character matches itself. Windows also matches a name's 8.3
// short form; there is none here.

// True when path names an existing directory (links followed).
bool isDirectory(const std::string &path);

// True when name matches filter by the rules above.
bool matchesFilter(const std::string &filter, const std::string &name);

// The pattern is the directory, '/' and the filter; the directory is what
// comes before the last '/'. Returns the names (not paths) of the matching
// entries, directories included, in the order the file system lists them;
// nothing when the directory cannot be read. Outputs under their temporary
// names (TemporaryOutput.h) are never found.
std::vector<std::string> findEntries(const std::string &pattern);

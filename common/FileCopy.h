#pragma once

#include <string>

// Which file a copy could not use: none (copied), the source (missing,
// unreadable, not a regular file) or the target (not created, written or
// renamed into place). errno tells why.
enum class CopyFailure { None, Source, Target };

// Whose permission bits the copy gets: the source's, or those of the target
// it replaces (as an overwrite in place keeps them; a new target gets those
// of a new file).
enum class CopyPermissions { OfSource, OfReplacedTarget };

// Copies a file byte for byte, replacing the target when it exists. The
// target is written under a temporary name beside it (TemporaryOutput.h) and
// renamed over the old one only when the copy is whole, so a failed copy
// never leaves a truncated target, and a symbolic link at the target is
// replaced, not written through. A target that is the source itself (under
// any spelling) is left as it is and counts as copied. A pipe as the source
// is refused, not waited on.
CopyFailure copyFile(const std::string &source, const std::string &target,
                     CopyPermissions permissions = CopyPermissions::OfSource);

// Copies what remains to be read of one open file to the end of another
// (in the kernel where it can). False with errno set when a read or a write
// fails.
bool copyFileContent(int from, int to);

// Removes a file if it exists; false only when it exists and cannot be
// removed.
bool removeFileIfExists(const std::string &path);

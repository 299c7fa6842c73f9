#pragma once

#include <string>

// Copies a file byte for byte, replacing the target when it exists; false,
// with errno set, when the source cannot be read (or is not a regular file)
// or the target cannot be written. The target is written under a temporary
// name beside it (TemporaryOutput.h) and renamed over the old one only when
// the copy is whole, so a failed copy never leaves a truncated target, and
// a target that is the source itself (under any spelling) is left as it is
// and counts as copied. The copy gets the source's permission bits.
bool copyFile(const std::string &source, const std::string &target);

// Removes a file if it exists; false only when it exists and cannot be
// removed.
bool removeFileIfExists(const std::string &path);

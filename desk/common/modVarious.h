#pragma once

#include "NativePath.h"

#include <QString>

// The small file-system routines of the desktop: taking a file's name apart,
// testing for files and folders, deleting and copying.
//
// Every routine traps its own failures: it shows the failure box with the
// empty caption and returns, and the caller goes on with the result, which is
// then the empty text (the three name routines) or false (everything else).
namespace modVarious {

// The file's own name up to, not including, its last ".". Fails (empty text
// after the message) when no file exists at the path or its name has no ".".
QString GetFileBaseName(const QString &filePath);

// The text of the file's own name after its last "."; the whole name when it
// has no ".". Fails (empty text) when no file exists at the path.
QString GetFileExtension(const QString &filePath);

// The absolute path of the folder that holds the file. Fails (empty text)
// when no file exists at the path.
QString GetParentFolder(const QString &filePath);

// True when a folder (a file) exists at the path; a symbolic link counts as
// what it points to.
bool FolderExists(const NativePath &path);
bool FileExists(const NativePath &path);

// Deletes the file, also a read-only one. Fails when no file exists there or
// the folder does not let it go. True when the file was deleted.
bool DeleteFile(const NativePath &filePath);

// Copies the file, replacing an existing target unless that target is
// read-only. The target is written beside itself and renamed into place, so
// a failed copy leaves an existing target as it was. Fails when the source
// is missing, the target's folder is missing or not writable. True when the
// copy is in place.
bool CopyFile(const NativePath &sourcePath, const NativePath &targetPath);

} // namespace modVarious

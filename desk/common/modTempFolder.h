#pragma once

#include <QString>

// The user's private temporary folder: where the batch files and their
// answers are written when TEMP names no other folder, and where the
// instance lock lies when the runtime folder is not private.
namespace modTempFolder {

// A folder of the user's own under the system's temporary location
// ("KavroDesk-" and the user's ID), created with owner-only access when it
// is missing and closed to others when it is not. Throws DeskFailure when
// it cannot be created, or when something of that name is not a folder of
// this user's own (another user may have prepared it).
QString PrivateTempFolder();

} // namespace modTempFolder

#pragma once

#include <QString>

// One KavroDesk per user: two would share the batch and answer files of the
// temporary folder and overwrite each other's, and the settings store.
namespace modInstance {

// Takes the user's lock for the rest of the process: an flock on
// "KavroDesk.lock" in $XDG_RUNTIME_DIR when that is a private folder of the
// user, else in the user's private temporary folder. The kernel drops the
// lock when the process ends, however it ends, so a lock file left by a
// process that died does not count. False, after the message that says so,
// when another KavroDesk of this user holds it; a lock that cannot be made
// at all is shown as a failure and does not keep KavroDesk from starting.
bool ClaimInstance();

// The lock file ClaimInstance uses.
QString LockFile();

// The message of a second start.
QString AlreadyRunningText();

} // namespace modInstance

#pragma once

// Every failure number the desktop reports, in one place. The texts shown
// are "Error " + number + ": " + description.
namespace FailureNumbers {
// A failure that is not a DeskFailure (a standard exception or an unknown
// one): reported with this number and its what() text.
inline constexpr int kUnexpected = 5;
// A number too large for the whole number it is read into (a setting).
inline constexpr int kOverflow = 6;
// A file or folder operation of the platform failed (copy, delete, listing),
// or the settings store could not be written.
inline constexpr int kFileAccess = 75;
// A file was not found where one was needed.
inline constexpr int kFileNotFound = 53;
// A value that a window or control property does not accept (a stored
// window state other than 0, 1 or 2).
inline constexpr int kInvalidPropertyValue = 380;
// A text longer than its field, or another invalid value for a store.
inline constexpr int kInvalidValue = 3265;
// A record was asked for where the cursor stands on none.
inline constexpr int kNoCurrentRecord = 3021;
// An object was needed where there is none: no row of a list is selected.
inline constexpr int kObjectNotSet = 91;
// The settings store holds a value that is not a number where one is needed.
inline constexpr int kTypeMismatch = 13;
// A call with an argument it cannot work with (a file name without the "."
// that its base name is cut at). Shares its number with kUnexpected.
inline constexpr int kInvalidCall = 5;
// A path that cannot be used where it is needed: one that cannot be written
// into a batch line, or a temporary folder that is not the user's own.
inline constexpr int kBadFileName = 52;
// The folder of a path does not exist.
inline constexpr int kPathNotFound = 76;
// The file system refused an operation on an existing file or folder.
inline constexpr int kPermissionDenied = 70;
// A batch file stopped at a line that could not be run: a line the desktop's
// batch interpreter does not understand, a missing label, or a program that
// could not be started.
inline constexpr int kBatchLine = 1001;
} // namespace FailureNumbers

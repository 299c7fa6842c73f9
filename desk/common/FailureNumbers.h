#pragma once

// Every failure number the desktop reports, in one place. The texts shown
// are "Error " + number + ": " + description.
namespace FailureNumbers {
// A failure that is not a DeskFailure (a standard exception or an unknown
// one): reported with this number and its what() text.
inline constexpr int kUnexpected = 5;
// A file or folder operation of the platform failed (copy, delete, listing).
inline constexpr int kFileAccess = 75;
// A file was not found where one was needed.
inline constexpr int kFileNotFound = 53;
// A text longer than its field, or another invalid value for a store.
inline constexpr int kInvalidValue = 3265;
// A record was asked for where the cursor stands on none.
inline constexpr int kNoCurrentRecord = 3021;
// The settings store holds a value that is not a number where one is needed.
inline constexpr int kTypeMismatch = 13;
} // namespace FailureNumbers

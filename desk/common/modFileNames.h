#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// File names as the file system holds them: bytes, mostly UTF-8, but not
// always (an archive unpacked from an older system can hold Latin-1 names
// such as "caf\xe8.shp"). Qt's own conversion replaces every byte that is
// not UTF-8 by U+FFFD, after which the name leads to another file, or none.
//
// Here a name is decoded without loss: valid UTF-8 as the characters it
// encodes, and every other byte b (always 0x80 to 0xFF) as the lone
// surrogate U+DC00 + b, which no UTF-8 text decodes to. Encoding gives the
// same bytes back, so a path decoded here reaches the file system, a batch
// line and a program's arguments as the very bytes it came from. For people
// the kept bytes are shown as U+FFFD.
namespace modFileNames {

QString DecodeName(const QByteArray &bytes);
QByteArray EncodeName(const QString &name);

// The name as it is shown: every kept byte as U+FFFD.
QString ShownName(const QString &name);

// Bytes of a name as they are shown.
QString ShownBytes(const QByteArray &bytes);

// Names for one line of the status bar: shown as ShownName shows them, a
// line break as a visible mark, the first ten, then "and N more".
QString ShownNameList(const QStringList &names);

// True when the name holds bytes that are not UTF-8.
bool HasKeptBytes(const QString &name);

// Whether a file name has the form KAVRO gives an output while it writes it
// (TemporaryOutput.h): what a killed run left, never an input.
bool IsUnfinishedOutputName(const QString &name);

} // namespace modFileNames

#pragma once

#include <QByteArray>
#include <QString>

#include <string>

// A path as the file system holds it: its bytes, which need not be UTF-8
// (see modFileNames). The stores keep paths as text decoded without loss;
// where a path leaves them for the file system or a batch line it becomes a
// NativePath once, and everything after that (companion names, tests for
// files, the batch line, the copy) works on these bytes. Text comes back
// only where a person reads the path (shown()).
//
// Made from text implicitly, as std::filesystem::path is, so that a routine
// that takes a NativePath also takes the stores' text; a literal counts as
// UTF-8 text.
class NativePath {
  public:
    NativePath() = default;
    NativePath(const QString &text);
    NativePath(const char *text) : NativePath(QString::fromUtf8(text)) {}
    static NativePath fromBytes(const QByteArray &bytes);

    const QByteArray &bytes() const { return bytes_; }
    const char *c_str() const { return bytes_.constData(); }
    std::string string() const { return bytes_.toStdString(); }
    bool isEmpty() const { return bytes_.isEmpty(); }

    // The path as text, decoded without loss, and as it is shown (U+FFFD
    // for every byte that is not UTF-8).
    QString text() const;
    QString shown() const;

    // Everything before the last "/": "/" for a name in the root, nothing
    // for a path without a "/".
    NativePath folder() const;
    // The text after the last ".", the whole path when it has none.
    QByteArray lastExtension() const;
    // The file of the path's shapefile set with that extension (".shx",
    // ".dbf", with its "."), named as the engine names it
    // (ShapefileNames.h): "/data/roads.SHP" gives "/data/roads.prj".
    NativePath companion(const char *extension) const;

    // Whether the path can be written into a batch line: it holds no double
    // quote, no line break and no NUL. Files whose paths cannot are not
    // tested and not converted.
    bool canBePassed() const;

    bool operator==(const NativePath &) const = default;

  private:
    QByteArray bytes_;
};

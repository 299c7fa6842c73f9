#include "NativePath.h"

#include "ShapefileNames.h"
#include "modFileNames.h"

NativePath::NativePath(const QString &text)
    : bytes_(modFileNames::EncodeName(text)) {}

NativePath NativePath::fromBytes(const QByteArray &bytes) {
    NativePath path;
    path.bytes_ = bytes;
    return path;
}

QString NativePath::text() const { return modFileNames::DecodeName(bytes_); }

QString NativePath::shown() const { return modFileNames::ShownBytes(bytes_); }

NativePath NativePath::folder() const {
    const qsizetype slash = bytes_.lastIndexOf('/');
    if (slash < 0)
        return {};
    return fromBytes(slash == 0 ? QByteArray("/") : bytes_.left(slash));
}

QByteArray NativePath::lastExtension() const {
    return bytes_.mid(bytes_.lastIndexOf('.') + 1);
}

NativePath NativePath::companion(const char *extension) const {
    return fromBytes(
        QByteArray::fromStdString(companionFile(string(), extension)));
}

bool NativePath::canBePassed() const {
    for (const char c : bytes_)
        if (c == '"' || c == '\n' || c == '\r' || c == '\0')
            return false;
    return true;
}

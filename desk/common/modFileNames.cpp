#include "modFileNames.h"

#include "ShapefileNames.h"
#include "TemporaryOutput.h"

namespace modFileNames {
namespace {

constexpr char16_t kKeptByteBase = 0xDC00; // U+DC80..U+DCFF: bytes 80..FF

// A kept byte is a low surrogate without its high one before it.
bool keptByteAt(const QString &name, qsizetype i) {
    const char16_t c = name[i].unicode();
    return c >= kKeptByteBase + 0x80 && c <= kKeptByteBase + 0xFF &&
           (i == 0 || !name[i - 1].isHighSurrogate());
}

// The length of the well-formed UTF-8 sequence at bytes[i] (no overlong
// forms, no surrogates, nothing beyond U+10FFFF), or 0 when there is none.
int sequenceLength(const QByteArray &bytes, qsizetype i) {
    const auto at = [&](qsizetype k) {
        return k < bytes.size() ? static_cast<unsigned char>(bytes[k]) : 0u;
    };
    const unsigned lead = at(i);
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (int k = 2; k < length; ++k)
        if (at(i + k) < 0x80 || at(i + k) > 0xBF)
            return 0;
    return length;
}

} // namespace

QString DecodeName(const QByteArray &bytes) {
    QString name;
    name.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = sequenceLength(bytes, i);
        if (length == 0) {
            name.append(QChar(char16_t(kKeptByteBase +
                                       static_cast<unsigned char>(bytes[i]))));
            ++i;
            continue;
        }
        name.append(QString::fromUtf8(bytes.constData() + i, length));
        i += length;
    }
    return name;
}

QByteArray EncodeName(const QString &name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype start = 0; // of the run of ordinary characters
    const auto flush = [&](qsizetype end) {
        if (end > start)
            bytes.append(QStringView(name).mid(start, end - start).toUtf8());
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (keptByteAt(name, i)) {
            flush(i);
            bytes.append(char(name[i].unicode() - kKeptByteBase));
            start = i + 1;
        }
    }
    flush(name.size());
    return bytes;
}

QString ShownName(const QString &name) {
    QString shown = name;
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (keptByteAt(name, i))
            shown[i] = QChar::ReplacementCharacter;
    return shown;
}

QString ShownBytes(const QByteArray &bytes) {
    return ShownName(DecodeName(bytes));
}

QString ShownNameList(const QStringList &names) {
    constexpr qsizetype kNamesShown = 10;
    QStringList shown;
    for (qsizetype i = 0; i < names.size() && i < kNamesShown; ++i) {
        QString name = ShownName(names[i]);
        name.replace(u'\n', QChar(0x21B5)).replace(u'\r', QChar(0x21B5));
        shown << name;
    }
    QString list = shown.join(QStringLiteral(", "));
    if (names.size() > kNamesShown)
        list += QStringLiteral(" and %1 more").arg(names.size() - kNamesShown);
    return list;
}

bool HasKeptBytes(const QString &name) {
    for (qsizetype i = 0; i < name.size(); ++i)
        if (keptByteAt(name, i))
            return true;
    return false;
}

bool CanBePassed(const QString &path) {
    for (const QChar c : path)
        if (c == u'"' || c == u'\n' || c == u'\r' || c == QChar::Null)
            return false;
    return true;
}

QString CompanionFile(const QString &shapefile, const char *extension) {
    return DecodeName(QByteArray::fromStdString(
        companionFile(EncodeName(shapefile).toStdString(), extension)));
}

bool IsUnfinishedOutputName(const QString &name) {
    return isTemporaryOutputName(EncodeName(name).toStdString());
}

} // namespace modFileNames

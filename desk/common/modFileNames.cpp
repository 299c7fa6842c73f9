#include "modFileNames.h"

#include "TemporaryOutput.h"
#include "Utf8.h"

#include <string_view>

#include <QCoreApplication>

namespace modFileNames {
namespace {

constexpr char16_t kKeptByteBase = 0xDC00; // U+DC80..U+DCFF: bytes 80..FF

// A kept byte is a low surrogate without its high one before it.
bool keptByteAt(const QString &name, qsizetype i) {
    const char16_t c = name[i].unicode();
    return c >= kKeptByteBase + 0x80 && c <= kKeptByteBase + 0xFF &&
           (i == 0 || !name[i - 1].isHighSurrogate());
}

} // namespace

QString DecodeName(const QByteArray &bytes) {
    QString name;
    name.reserve(bytes.size());
    const std::string_view view(bytes.constData(), bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const auto length = qsizetype(utf8SequenceLength(view, i));
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
    const QString list = shown.join(QStringLiteral(", "));
    if (names.size() <= kNamesShown)
        return list;
    return QCoreApplication::translate("modFileNames", "%1 and %n more",
                                       nullptr, int(names.size() - kNamesShown))
        .arg(list);
}

bool HasKeptBytes(const QString &name) {
    for (qsizetype i = 0; i < name.size(); ++i)
        if (keptByteAt(name, i))
            return true;
    return false;
}

bool IsUnfinishedOutputName(const QString &name) {
    return isTemporaryOutputName(EncodeName(name).toStdString());
}

} // namespace modFileNames

#include "clsUserSettings.h"

#include "DeskFailure.h"
#include "FailureNumbers.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>

namespace {
// The folder that setStoreFolder gave, for tests; empty in the program.
QString &storeFolderOverride() {
    static QString folder;
    return folder;
}

std::unique_ptr<QSettings> openStore() {
    std::unique_ptr<QSettings> settings;
    if (storeFolderOverride().isEmpty())
        settings = std::make_unique<QSettings>(
            QSettings::IniFormat, QSettings::UserScope,
            clsUserSettings::kApplicationName,
            clsUserSettings::kApplicationName);
    else
        settings = std::make_unique<QSettings>(
            QDir(storeFolderOverride())
                .filePath(clsUserSettings::kApplicationName + ".ini"),
            QSettings::IniFormat);
    settings->beginGroup(clsUserSettings::kGroup);
    return settings;
}

// The text of a line "key=value" in the group of the INI file, as it
// stands; nothing when the file has no such line.
std::optional<QString> lineValue(const QString &fileName, const QString &key) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == u'[' + clsUserSettings::kGroup + u']';
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inGroup && equals > 0 && line.left(equals).trimmed() == key)
            return line.mid(equals + 1).trimmed();
    }
    return std::nullopt;
}

// The stored text of the key, or nothing when the key does not exist. A
// value typed into the file by hand with a comma and without double quotes
// is read by QSettings as a list of texts; the line is then taken as it
// stands, so that a folder such as "/data/maps, 2024" is not lost.
std::optional<QString> storedText(const QString &key) {
    const auto settings = openStore();
    const QVariant stored = settings->value(key, QVariant());
    if (!stored.isValid())
        return std::nullopt;
    if (stored.typeId() == QMetaType::QStringList) {
        if (const auto line = lineValue(settings->fileName(), key))
            return line;
        return stored.toStringList().join(QStringLiteral(", "));
    }
    return stored.toString();
}

// The user's locale, without group separators either way: what is written
// is read back exactly, and "1.440" in a German session is refused rather
// than taken for 1440.
QLocale numberLocale() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator |
                            QLocale::RejectGroupSeparator);
    return locale;
}
} // namespace

QString clsUserSettings::defaultOutputFileInitDir() { return QDir::homePath(); }

QString clsUserSettings::columnKey(const QString &prefix, int position) {
    return prefix + QString::number(position);
}

QString clsUserSettings::readText(const QString &key,
                                  const QString &defaultValue) {
    return storedText(key).value_or(defaultValue);
}

void clsUserSettings::writeText(const QString &key, const QString &value) {
    const auto settings = openStore();
    settings->setValue(key, value);
    settings->sync();
    if (settings->status() != QSettings::NoError)
        throw DeskFailure(FailureNumbers::kFileAccess,
                          tr("The setting \"%1\" could not be "
                             "written to %2")
                              .arg(key, settings->fileName()));
}

QString clsUserSettings::numberText(double value) {
    return numberLocale().toString(value, 'f', QLocale::FloatingPointShortest);
}

double clsUserSettings::numberFromText(const QString &key,
                                       const QString &text) {
    bool ok = false;
    const double value = numberLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        throw DeskFailure(FailureNumbers::kTypeMismatch,
                          tr("Type mismatch: the setting \"%1\" "
                             "holds \"%2\", which is not a number")
                              .arg(key, text));
    return value;
}

double clsUserSettings::readNumber(const QString &key, double defaultValue) {
    const std::optional<QString> stored = storedText(key);
    if (!stored)
        return defaultValue;
    return numberFromText(key, *stored);
}

void clsUserSettings::writeNumber(const QString &key, double value) {
    writeText(key, numberText(value));
}

int clsUserSettings::readWholeNumber(const QString &key, int defaultValue) {
    const double value = readNumber(key, defaultValue);
    const double rounded = std::round(value);
    if (rounded < std::numeric_limits<int>::min() ||
        rounded > std::numeric_limits<int>::max())
        throw DeskFailure(FailureNumbers::kOverflow,
                          tr("Overflow: the setting \"%1\" holds "
                             "%2, which is too large")
                              .arg(key, numberText(value)));
    return static_cast<int>(rounded);
}

void clsUserSettings::writeWholeNumber(const QString &key, int value) {
    writeText(key, numberText(value));
}

QString clsUserSettings::storeFileName() { return openStore()->fileName(); }

void clsUserSettings::setStoreFolder(const QString &folder) {
    storeFolderOverride() = folder;
}

clsUserSettings::clsUserSettings()
    : strOutputFolder_(readText(kKeyOutputFolder, QString())),
      strOutputSuffix_(readText(kKeyOutputSuffix, kDefaultOutputSuffix)) {}

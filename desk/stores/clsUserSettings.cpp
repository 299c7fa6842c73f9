#include "clsUserSettings.h"

#include "DeskFailure.h"
#include "FailureNumbers.h"

#include <QDir>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>

#include <cmath>
#include <limits>
#include <memory>

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

QString clsUserSettings::defaultOutputFileInitDir() { return QDir::rootPath(); }

QString clsUserSettings::columnKey(const QString &prefix, int position) {
    return prefix + QString::number(position);
}

QString clsUserSettings::readText(const QString &key,
                                  const QString &defaultValue) {
    return openStore()->value(key, defaultValue).toString();
}

void clsUserSettings::writeText(const QString &key, const QString &value) {
    const auto settings = openStore();
    settings->setValue(key, value);
    settings->sync();
    if (settings->status() != QSettings::NoError)
        throw DeskFailure(FailureNumbers::kFileAccess,
                          QStringLiteral("The setting \"%1\" could not be "
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
                          QStringLiteral("Type mismatch: the setting \"%1\" "
                                         "holds \"%2\", which is not a number")
                              .arg(key, text));
    return value;
}

double clsUserSettings::readNumber(const QString &key, double defaultValue) {
    const QVariant stored = openStore()->value(key, QVariant());
    if (!stored.isValid())
        return defaultValue;
    return numberFromText(key, stored.toString());
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
                          QStringLiteral("Overflow: the setting \"%1\" holds "
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

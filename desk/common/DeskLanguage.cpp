#include "DeskLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace DeskLanguage {
namespace {

QString appliedLanguage;
QString folderOverride;
std::unique_ptr<QTranslator> deskTranslator;
std::unique_ptr<QTranslator> qtTranslator;

void removeTranslators() {
    for (std::unique_ptr<QTranslator> *translator :
         {&deskTranslator, &qtTranslator})
        if (*translator) {
            QCoreApplication::removeTranslator(translator->get());
            translator->reset();
        }
}

// The translator of that file in that folder, installed; nullptr when the
// file cannot be loaded.
std::unique_ptr<QTranslator> install(const QString &file,
                                     const QString &folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file, folder))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

} // namespace

QStringList languages() { return {kSystem, kGerman, kItalian, kEnglish}; }

QString nativeName(const QString &language) {
    if (language == kGerman)
        return QStringLiteral("Deutsch");
    if (language == kItalian)
        return QStringLiteral("Italiano");
    if (language == kEnglish)
        return QStringLiteral("English");
    return QString();
}

QStringList systemLanguages() { return QLocale::system().uiLanguages(); }

QString resolve(const QString &setting, const QStringList &systemLanguages) {
    const QString chosen = setting.trimmed().toLower();
    if (chosen == kGerman || chosen == kItalian || chosen == kEnglish)
        return chosen;
    for (const QString &entry : systemLanguages) {
        // "de", "de-AT", "de_CH", "it-IT", "en-Latn-US": the language is
        // the first subtag.
        const QString language =
            entry.section(u'-', 0, 0).section(u'_', 0, 0).toLower();
        if (language == kGerman || language == kItalian || language == kEnglish)
            return language;
    }
    return kEnglish;
}

bool apply(const QString &language) {
    removeTranslators();
    appliedLanguage = language.isEmpty() ? QString() : kEnglish;
    if (language != kGerman && language != kItalian)
        return true;
    const QString deskFile = QStringLiteral("KavroDesk_") + language;
    deskTranslator = install(deskFile, translationsFolder());
    if (!deskTranslator) {
        qWarning("KavroDesk: cannot load the translation %s.qm from %s; "
                 "the window speaks English",
                 qPrintable(deskFile), qPrintable(translationsFolder()));
        return false;
    }
    qtTranslator = install(QStringLiteral("qtbase_") + language,
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    appliedLanguage = language;
    return true;
}

QString current() {
    return appliedLanguage.isEmpty() ? kEnglish : appliedLanguage;
}

QLocale displayLocale() {
    const QLocale user;
    if (appliedLanguage.isEmpty())
        return user;
    const QLocale::Language language = QLocale(appliedLanguage).language();
    // The C locale ("no locale") writes the texts' own language.
    if (user.language() == language ||
        (language == QLocale::English && user.language() == QLocale::C))
        return user;
    return QLocale(language, user.territory());
}

QString translationsFolder() {
    if (!folderOverride.isEmpty())
        return folderOverride;
    return QCoreApplication::applicationDirPath() +
           QStringLiteral("/translations");
}

void setTranslationsFolder(const QString &folder) { folderOverride = folder; }

} // namespace DeskLanguage

#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The language the desktop speaks: German, Italian or English, the language
// its texts are written in. Every text a person sees goes through Qt's
// translation system (tr() in the classes, QCoreApplication::translate in
// the modules); apply() installs KavroDesk's translation and Qt's own
// (qtbase), so that standard buttons and dialogs speak the same language.
//
// The choice: the setting "Language" ("system", "de", "it" or "en"; another
// value counts as "system"), else the first of the user's system languages
// that KavroDesk has, English counting as one (a user whose list is
// "en, de" gets English), else English. It is applied once, when KavroDesk
// starts, before any window is made: a new choice takes effect at the next
// start.
//
// The lists show sizes and dates by the conventions of the language in
// force (displayLocale). Everything else keeps the user's own locale
// (QLocale()), the settings store's numbers above all.
namespace DeskLanguage {

inline const QString kSystem = QStringLiteral("system");
inline const QString kGerman = QStringLiteral("de");
inline const QString kItalian = QStringLiteral("it");
inline const QString kEnglish = QStringLiteral("en");

// The languages that can be chosen, in the order the Toolbox offers them.
QStringList languages();
// The language named in itself: "Deutsch", "Italiano", "English".
QString nativeName(const QString &language);

// The user's languages in order of preference, as the system gives them.
QStringList systemLanguages();
// The language of a setting value, given the system's languages.
QString resolve(const QString &setting, const QStringList &systemLanguages);

// Installs the translators of the language (none for English) in place of
// those installed before. False, after a warning on the error stream, when
// KavroDesk's own translation cannot be loaded: the desktop then speaks
// English. A missing Qt translation only leaves Qt's texts in English. The
// empty text returns to the state before the first apply().
bool apply(const QString &language);
// The language applied last; English before the first apply().
QString current();

// The locale whose conventions the lists follow: the user's own when it is
// of the language in force (keeping the country: de_CH, it_CH), else the
// language in force in the user's country (German in Italy: de_IT); the
// user's own as long as nothing was applied.
QLocale displayLocale();

// Where KavroDesk_de.qm and KavroDesk_it.qm lie: "translations" in the
// program folder. Tests set the build's program folder (an empty text
// returns to the default).
QString translationsFolder();
void setTranslationsFolder(const QString &folder);

} // namespace DeskLanguage

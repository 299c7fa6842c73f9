#include "DeskLanguage.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtTest>

// The choice of the language, the translators it installs (KavroDesk's from
// the build's program folder, Qt's own from Qt's folder) and the locale the
// lists follow.
class tst_DeskLanguage : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        DeskLanguage::setTranslationsFolder(
            QStringLiteral(KAVRO_TRANSLATIONS_DIR));
    }
    void cleanup() {
        DeskLanguage::setTranslationsFolder(
            QStringLiteral(KAVRO_TRANSLATIONS_DIR));
        DeskLanguage::apply(QString());
        QLocale::setDefault(QLocale::system());
    }

    void settingOverridesTheFirstSystemLanguageWeHave_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QStringList>("system");
        QTest::addColumn<QString>("language");
        const QStringList enDe{"en", "en-Latn-US", "en-US", "de", "de-DE"};
        QTest::newRow("en, de: English") << "system" << enDe << "en";
        QTest::newRow("de-AT first")
            << "system" << QStringList{"de-AT", "en"} << "de";
        QTest::newRow("French, then Swiss Italian")
            << "system" << QStringList{"fr-FR", "fr", "it_CH", "de"} << "it";
        QTest::newRow("none of ours")
            << "system" << QStringList{"fr", "sl"} << "en";
        QTest::newRow("C locale") << "system" << QStringList{"C"} << "en";
        QTest::newRow("empty list") << "system" << QStringList{} << "en";
        QTest::newRow("German chosen") << "de" << enDe << "de";
        QTest::newRow("Italian chosen") << "it" << enDe << "it";
        QTest::newRow("English chosen") << "en" << QStringList{"de"} << "en";
        QTest::newRow("written by hand") << " IT " << enDe << "it";
        QTest::newRow("unknown value") << "fr" << QStringList{"de"} << "de";
        QTest::newRow("empty value") << "" << QStringList{"it"} << "it";
    }
    void settingOverridesTheFirstSystemLanguageWeHave() {
        QFETCH(QString, setting);
        QFETCH(QStringList, system);
        QFETCH(QString, language);
        QCOMPARE(DeskLanguage::resolve(setting, system), language);
    }

    // KavroDesk's texts and Qt's standard buttons speak the language;
    // English removes both translators again.
    void applyInstallsTheDesksAndQtsTranslations_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("refresh");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("de") << "de"
                            << "Aktualisieren"
                            << "Abbrechen";
        QTest::newRow("it") << "it"
                            << "Aggiorna"
                            << "Annulla";
        QTest::newRow("en") << "en"
                            << "Refresh"
                            << "Cancel";
    }
    void applyInstallsTheDesksAndQtsTranslations() {
        QFETCH(QString, language);
        QFETCH(QString, refresh);
        QFETCH(QString, cancel);
        DeskLanguage::apply(DeskLanguage::kItalian); // replaced, not added
        QVERIFY(DeskLanguage::apply(language));
        QCOMPARE(DeskLanguage::current(), language);
        QCOMPARE(QCoreApplication::translate("frmMain", "Refresh"), refresh);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                 cancel);
    }

    // A program folder without its translations speaks English, Qt's
    // buttons too, rather than half one language and half the other.
    void missingTranslationLeavesEnglish() {
        QTemporaryDir empty;
        DeskLanguage::setTranslationsFolder(empty.path());
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("cannot load the translation"));
        QVERIFY(!DeskLanguage::apply(DeskLanguage::kGerman));
        QCOMPARE(DeskLanguage::current(), DeskLanguage::kEnglish);
        QCOMPARE(QCoreApplication::translate("frmMain", "Refresh"),
                 QStringLiteral("Refresh"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                 QStringLiteral("Cancel"));
    }

    // The lists take the user's own conventions where they are of the
    // language in force, else that language in the user's country.
    void displayLocaleKeepsTheUsersCountry_data() {
        QTest::addColumn<QLocale>("user");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("locale");
        QTest::newRow("C, English") << QLocale::c() << "en"
                                    << "C";
        QTest::newRow("C, German") << QLocale::c() << "de"
                                   << "de_DE";
        QTest::newRow("Swiss German")
            << QLocale(QLocale::German, QLocale::Switzerland) << "de"
            << "de_CH";
        QTest::newRow("German in Italy")
            << QLocale(QLocale::Italian, QLocale::Italy) << "de"
            << "de_IT";
        QTest::newRow("Italian in Switzerland")
            << QLocale(QLocale::German, QLocale::Switzerland) << "it"
            << "it_CH";
        QTest::newRow("English in Germany")
            << QLocale(QLocale::German, QLocale::Germany) << "en"
            << "en_DE";
    }
    void displayLocaleKeepsTheUsersCountry() {
        QFETCH(QLocale, user);
        QFETCH(QString, language);
        QFETCH(QString, locale);
        QLocale::setDefault(user);
        QVERIFY(DeskLanguage::apply(language));
        QCOMPARE(DeskLanguage::displayLocale().name(), locale);
        // The user's own locale, which the settings store writes numbers
        // in, stays as it is.
        QCOMPARE(QLocale(), user);
    }
};

QTEST_GUILESS_MAIN(tst_DeskLanguage)
#include "tst_DeskLanguage.moc"

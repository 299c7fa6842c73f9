#include "DeskFailure.h"
#include "FailureNumbers.h"
#include "StoreTestSupport.h"
#include "clsUserSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

// The store in a fresh temporary folder for every test; the locale back to
// the process default afterwards.
class tst_clsUserSettings : public QObject {
    Q_OBJECT

    std::unique_ptr<DeskTest::TemporarySettingsStore> folder_;

    QString storeText() const {
        QFile file(clsUserSettings::storeFileName());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll());
    }
    void storeRaw(const QString &key, const QString &text) {
        clsUserSettings::writeText(key, text);
    }
    static int failureNumber(const std::function<void()> &body,
                             QString *description = nullptr) {
        return DeskTest::failureOf(body, description);
    }

  private slots:
    void init() {
        folder_ = std::make_unique<DeskTest::TemporarySettingsStore>();
        QVERIFY(folder_->isValid());
    }
    void cleanup() {
        QLocale::setDefault(QLocale::c());
        folder_.reset();
    }

    void storeIsOneIniFileWithGroupEnvironment() {
        clsUserSettings::writeNumber(
            clsUserSettings::columnKey(clsUserSettings::kKeyFileListPrefix, 2),
            3000);
        clsUserSettings::writeText(clsUserSettings::kKeyFolderTreeCurrentPath,
                                   QStringLiteral("/data"));
        QCOMPARE(clsUserSettings::storeFileName(),
                 folder_->filePath(QStringLiteral("KavroDesk.ini")));
        const QString text = storeText();
        QVERIFY2(text.startsWith(QStringLiteral("[Environment]")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("\nFileList2=3000\n")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("\nFolderTreeCurrentPath=/data")),
                 qPrintable(text));
    }

    void textComesBackAsWritten_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << QString();
        QTest::newRow("comma") << QStringLiteral("/data/roads, north");
        QTest::newRow("backslash") << QStringLiteral("C:\\daten\\");
        QTest::newRow("non-ASCII") << QStringLiteral("/home/Übersicht é");
        QTest::newRow("spaces") << QStringLiteral("  lead and trail  ");
        QTest::newRow("at sign") << QStringLiteral("@Invalid()");
        QTest::newRow("INI syntax") << QStringLiteral("#a=b;c[d]");
        QTest::newRow("line break") << QStringLiteral("one\ntwo");
    }
    void textComesBackAsWritten() {
        QFETCH(QString, value);
        clsUserSettings::writeText(clsUserSettings::kKeyBrowseFFCurrentPath,
                                   value);
        QCOMPARE(
            clsUserSettings::readText(clsUserSettings::kKeyBrowseFFCurrentPath,
                                      QStringLiteral("default")),
            value);
    }

    void missingKeysGiveTheirDefaults() {
        QCOMPARE(clsUserSettings::readText(
                     clsUserSettings::kKeyOutputFileInitDir,
                     clsUserSettings::defaultOutputFileInitDir()),
                 QDir::homePath());
        QCOMPARE(
            clsUserSettings::readNumber(clsUserSettings::kKeyFormTop, 1234.5),
            1234.5);
        QCOMPARE(clsUserSettings::readWholeNumber(
                     clsUserSettings::kKeySplitterPosVertical, 33),
                 33);
        QVERIFY(!QFile::exists(clsUserSettings::storeFileName()));
    }

    // Numbers are the text of the user's locale, without group separators,
    // and read back by the same conversion.
    void numbersUseTheUserLocale_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("C whole") << QLocale::c() << 11880.0 << "11880";
        QTest::newRow("C decimal") << QLocale::c() << 1234.5 << "1234.5";
        QTest::newRow("C negative") << QLocale::c() << -15.0 << "-15";
        QTest::newRow("German decimal")
            << QLocale(QLocale::German, QLocale::Germany) << 1234.5 << "1234,5";
        QTest::newRow("German large")
            << QLocale(QLocale::German, QLocale::Germany) << 1234567.0
            << "1234567";
        QTest::newRow("Italian decimal")
            << QLocale(QLocale::Italian, QLocale::Italy) << 0.25 << "0,25";
    }
    void numbersUseTheUserLocale() {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QFETCH(QString, text);
        QLocale::setDefault(locale);
        clsUserSettings::writeNumber(clsUserSettings::kKeyFormWidth, value);
        QCOMPARE(clsUserSettings::readText(clsUserSettings::kKeyFormWidth, {}),
                 text);
        QCOMPARE(clsUserSettings::readNumber(clsUserSettings::kKeyFormWidth, 0),
                 value);
    }

    void valueThatIsNoNumberIsTypeMismatch_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("word") << QLocale::c() << "abc";
        QTest::newRow("empty") << QLocale::c() << "";
        QTest::newRow("trailing unit") << QLocale::c() << "120tw";
        QTest::newRow("nan") << QLocale::c() << "nan";
        QTest::newRow("inf") << QLocale::c() << "inf";
        QTest::newRow("other locale's point")
            << QLocale(QLocale::German, QLocale::Germany) << "1.5";
        QTest::newRow("group separator")
            << QLocale(QLocale::German, QLocale::Germany) << "1.440";
    }
    void valueThatIsNoNumberIsTypeMismatch() {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QLocale::setDefault(locale);
        storeRaw(clsUserSettings::kKeyFormTop, text);
        QString description;
        QCOMPARE(failureNumber(
                     [] {
                         clsUserSettings::readNumber(
                             clsUserSettings::kKeyFormTop, 0);
                     },
                     &description),
                 FailureNumbers::kTypeMismatch);
        QVERIFY2(description.contains(QStringLiteral("\"FormTop\"")),
                 qPrintable(description));
        QCOMPARE(failureNumber([] {
                     clsUserSettings::readWholeNumber(
                         clsUserSettings::kKeyFormTop, 0);
                 }),
                 FailureNumbers::kTypeMismatch);
    }

    void wholeNumbersRoundAndRefuseOverflow() {
        storeRaw(clsUserSettings::kKeySplitterPosHorizontal,
                 QStringLiteral(" 64.6 "));
        QCOMPARE(clsUserSettings::readWholeNumber(
                     clsUserSettings::kKeySplitterPosHorizontal, 0),
                 65);
        storeRaw(clsUserSettings::kKeySplitterPosHorizontal,
                 QStringLiteral("1e12"));
        QCOMPARE(failureNumber([] {
                     clsUserSettings::readWholeNumber(
                         clsUserSettings::kKeySplitterPosHorizontal, 0);
                 }),
                 FailureNumbers::kOverflow);
    }

    void storeThatCannotBeWrittenFails() {
        // A file where the store's folder should be: nothing can be created.
        const QString blocker = folder_->filePath(QStringLiteral("blocker"));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        clsUserSettings::setStoreFolder(blocker + QStringLiteral("/sub"));
        QString description;
        QCOMPARE(failureNumber(
                     [] {
                         clsUserSettings::writeNumber(
                             clsUserSettings::kKeyFormTop, 15);
                     },
                     &description),
                 FailureNumbers::kFileAccess);
        QVERIFY2(description.contains(QStringLiteral("FormTop")) &&
                     description.contains(blocker),
                 qPrintable(description));
    }

    void outputFolderAndSuffixComeFromTheStoreOnly() {
        {
            const clsUserSettings settings;
            QCOMPARE(settings.OutputFolder(), QString());
            QCOMPARE(settings.OutputSuffix(), QStringLiteral("_UTM"));
        }
        clsUserSettings::writeText(clsUserSettings::kKeyOutputFolder,
                                   QStringLiteral("/out"));
        clsUserSettings::writeText(clsUserSettings::kKeyOutputSuffix,
                                   QString());
        {
            clsUserSettings settings;
            QCOMPARE(settings.OutputFolder(), QStringLiteral("/out"));
            QCOMPARE(settings.OutputSuffix(), QString());
            // As the Toolbox does: the instance changes, the store does not.
            settings.setOutputFolder(QStringLiteral("/elsewhere"));
            settings.setOutputSuffix(QStringLiteral("_new"));
            QCOMPARE(settings.OutputFolder(), QStringLiteral("/elsewhere"));
        }
        const clsUserSettings restarted;
        QCOMPARE(restarted.OutputFolder(), QStringLiteral("/out"));
        QCOMPARE(restarted.OutputSuffix(), QString());
    }

    // KavroDesk never writes the output folder and suffix: the user types
    // them into the file, usually without quotes, where a comma would make
    // QSettings read a list of texts.
    void handWrittenValuesAreReadAsTheyStand() {
        QFile file(clsUserSettings::storeFileName());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Other]\n"
                   "OutputFolder=/not/this\n"
                   "[Environment]\n"
                   "OutputFolder = /data/maps, 2024\n"
                   "OutputSuffix=_UTM,ETRS89\n"
                   "FormTop=1440,5\n");
        file.close();
        const clsUserSettings settings;
        QCOMPARE(settings.OutputFolder(), QStringLiteral("/data/maps, 2024"));
        QCOMPARE(settings.OutputSuffix(), QStringLiteral("_UTM,ETRS89"));
        // In the C locale "1440,5" is no number: refused, not taken as 1440.
        QCOMPARE(failureNumber([] {
                     clsUserSettings::readNumber(clsUserSettings::kKeyFormTop,
                                                 0);
                 }),
                 FailureNumbers::kTypeMismatch);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(clsUserSettings::readNumber(clsUserSettings::kKeyFormTop, 0),
                 1440.5);
    }
};

QTEST_GUILESS_MAIN(tst_clsUserSettings)
#include "tst_clsUserSettings.moc"

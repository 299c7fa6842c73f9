#include "DeskFailure.h"
#include "DeskLanguage.h"
#include "DeskMessages.h"
#include "FailureNumbers.h"
#include "StoreTestSupport.h"
#include "adoFileList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
using DeskTest::writeSizedFile;

struct Listed {
    int id;
    QString name;
    int shapeType;
    bool operator==(const Listed &) const = default;
};

QList<Listed> listOf(adoFileList &store) {
    return DeskTest::collect(store.Recordset(), [&] {
        return Listed{store.ID(), store.FileName(), store.ShapeType()};
    });
}

// A store whose files all classify as unknown (3) without running boxcheck.
struct QuietStore : adoFileList {
    QuietStore() {
        setShapeClassifier([](const QString &) { return 3; });
    }
};

bool appendSized(adoFileList &store, double bytes) {
    const QDateTime now = QDateTime::currentDateTime();
    return store.Update(0, "f.shp", "f.shp", "/f.shp", "/f.shp", bytes,
                        "SHP file", now, now, now, 0);
}
} // namespace

class tst_adoFileList : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void listsOnlyShpFilesWithoutRegardToCase() {
        QTemporaryDir dir;
        const QString root = dir.path();
        writeSizedFile(root + "/b.shp", 1536);
        writeSizedFile(root + "/a.SHP", 10);
        writeSizedFile(root + "/c.shx", 10);
        writeSizedFile(root + "/shp", 10); // no extension at all
        writeSizedFile(root + "/d.shp.bak", 10);
        QVERIFY(QDir(root).mkdir("e.shp")); // a folder, not a file
        writeSizedFile(root + "/e.shp/inner.shp", 10);

        RecordingPresenter recorder;
        QuietStore store;
        QStringList classified;
        store.setShapeClassifier([&](const QString &path) {
            classified << path;
            return path.endsWith("b.shp") ? 2 : 0;
        });
        store.Refresh(root);

        QCOMPARE(listOf(store),
                 (QList<Listed>{{1, "a.SHP", 0}, {2, "b.shp", 2}}));
        QCOMPARE(classified, (QStringList{root + "/a.SHP", root + "/b.shp"}));
        QVERIFY(recorder.messages.isEmpty());

        QVERIFY(store.MoveTo(2));
        QCOMPARE(store.FilePath(), root + "/b.shp");
        QCOMPARE(store.FileShortPath(), store.FilePath());
        QCOMPARE(store.FileShortName(), QStringLiteral("b.shp"));
        QCOMPARE(store.Recordset().number("Size"), 1536.0);
        QCOMPARE(store.FileSize(), QStringLiteral("2 KB"));
        QVERIFY(!store.FileType().isEmpty());
        QVERIFY(!store.DateCreated().isEmpty());

        // The type follows the name, not the content: an empty shapefile or
        // one holding text is described as every other one.
        const QString type = store.FileType();
        QVERIFY(QDir(root).mkdir("more"));
        writeSizedFile(root + "/more/empty.shp", 0);
        DeskTest::writeFile(root + "/more/text.shp", "plain words\n");
        store.Refresh(root + "/more");
        QCOMPARE(store.Recordset().recordCount(), 2);
        for (int id = 1; id <= 2; ++id) {
            QVERIFY(store.MoveTo(id));
            QCOMPARE(store.FileType(), type);
        }
    }

    // GeoPackages and point lists are listed beside shapefiles, named by
    // their kind; what a killed conversion left of one is not.
    void listsGeoPackagesAndPointListsBesideShapefiles() {
        QTemporaryDir dir;
        const QString root = dir.path();
        for (const char *name :
             {"c.CSV", "a.shp", "b.gpkg", "d.txt", "e.gpkg-journal",
              ".b.kavro-part-x7Qb2k.gpkg", ".c.kavro-part-x7Qb2k.csv"})
            writeSizedFile(root + "/" + name, 10);
        QStringList shown;
        QuietStore store;
        store.setStatusSink([&](const QString &text) { shown << text; });
        store.Refresh(root);
        QCOMPARE(listOf(store),
                 (QList<Listed>{
                     {1, "a.shp", 3}, {2, "b.gpkg", 3}, {3, "c.CSV", 3}}));
        const QString types[] = {QString(), "GeoPackage", "Point list (CSV)"};
        for (int id : {2, 3}) {
            QVERIFY(store.MoveTo(id));
            QCOMPARE(store.FileType(), types[id - 1]);
        }
        QCOMPARE(shown.first(), "Listing " + root + ": 0 of 3 files ...");
        QVERIFY2(shown.last().contains(".b.kavro-part-x7Qb2k.gpkg") &&
                     shown.last().contains(".c.kavro-part-x7Qb2k.csv"),
                 qPrintable(shown.last()));
    }

    // Files classified in several slots at once are listed as in one: in
    // their order with their notes, the messages that their classification
    // showed in that order on the listing's thread, and a classification
    // that failed ends the listing there, with its failure shown.
    void severalSlotsListAsOne() {
        QTemporaryDir dir;
        for (int k = 0; k < 8; ++k)
            writeSizedFile(dir.filePath(QStringLiteral("f%1.shp").arg(k)), 10);
        const auto classify = [](const QString &path, QString &reason) {
            const int k = path.at(path.size() - 5).digitValue();
            if (k == 5)
                throw DeskFailure(FailureNumbers::kFileAccess, path);
            if (k % 2 == 1) {
                showPlainMessage(QStringLiteral("about f%1").arg(k));
                reason = QStringLiteral("why f%1").arg(k);
                return 3;
            }
            return k % 3;
        };
        QList<int> made; // the slots whose classifiers a listing made
        const auto list = [&](int slotCount) {
            RecordingPresenter recorder;
            QuietStore store;
            made.clear();
            store.setShapeClassifier(
                [&](int slot) -> adoFileList::ReasonedClassifier {
                    made << slot;
                    return classify;
                },
                [slotCount] { return slotCount; });
            store.Refresh(dir.path());
            QStringList seen = DeskTest::collect(store.Recordset(), [&] {
                return store.FileName() + u' ' +
                       QString::number(store.ShapeType()) + u' ' + store.Note();
            });
            return seen << recorder.texts();
        };
        const QStringList one = list(1);
        QCOMPARE(one, (QStringList{"f0.shp 0 ", "f1.shp 3 why f1", "f2.shp 2 ",
                                   "f3.shp 3 why f3", "f4.shp 1 ", "about f1",
                                   "about f3",
                                   "Error 75: " + dir.filePath("f5.shp")}));
        QCOMPARE(made, QList<int>{0});
        QCOMPARE(list(3), one);
        QCOMPARE(made, (QList<int>{0, 1, 2}));
    }

    void refreshingTwiceGivesTheSameIdsAgain() {
        QTemporaryDir dir;
        for (const char *name : {"x.shp", "y.shp", "z.shp"})
            writeSizedFile(dir.filePath(name), 100);
        QuietStore store;
        store.Refresh(dir.path());
        const QList<Listed> first = listOf(store);
        store.Refresh(dir.path());
        QCOMPARE(listOf(store), first);
        QCOMPARE(first.size(), 3);
        QCOMPARE(first.last().id, 3);
    }

    void noFolderOrNoShapefilesGivesAnEmptyStore_data() {
        QTest::addColumn<QString>("relative");
        QTest::newRow("folder without shapefiles") << "empty";
        QTest::newRow("missing folder") << "missing";
        QTest::newRow("a file, not a folder") << "empty/note.txt";
        QTest::newRow("empty path") << "";
    }
    void noFolderOrNoShapefilesGivesAnEmptyStore() {
        QFETCH(QString, relative);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("empty"));
        writeSizedFile(dir.filePath("empty/note.txt"), 3);
        RecordingPresenter recorder;
        QuietStore store;
        writeSizedFile(dir.filePath("old.shp"), 3);
        store.Refresh(dir.path()); // a previous listing must not survive
        QCOMPARE(store.Recordset().recordCount(), 1);
        store.Refresh(relative.isEmpty() ? QString() : dir.filePath(relative));
        QCOMPARE(store.Recordset().recordCount(), 0);
        QVERIFY(recorder.messages.isEmpty());
    }

    // Paths up to what the file system takes are listed: a name of 250
    // characters was refused when the store held 255.
    void longPathsAreListed() {
        QTemporaryDir dir;
        const QString longName = QString(250, u'b') + ".shp";
        writeSizedFile(dir.filePath("a.shp"), 1);
        writeSizedFile(dir.filePath(longName), 1);
        RecordingPresenter recorder;
        QuietStore store;
        store.Refresh(dir.path());
        QCOMPARE(listOf(store),
                 (QList<Listed>{{1, "a.shp", 3}, {2, longName, 3}}));
        QVERIFY(recorder.messages.isEmpty());
    }

    void sizesShowInKilobytesRoundedHalfUp_data() {
        QTest::addColumn<double>("bytes");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("german");
        QTest::newRow("0") << 0.0 << "0 KB"
                           << "0 KB";
        QTest::newRow("511") << 511.0 << "0 KB"
                             << "0 KB";
        QTest::newRow("512") << 512.0 << "1 KB"
                             << "1 KB";
        QTest::newRow("1536") << 1536.0 << "2 KB"
                              << "2 KB";
        QTest::newRow("1572864") << 1572864.0 << "1,536 KB"
                                 << "1.536 KB";
        QTest::newRow("beyond 32 bits") << 6442450944.0 << "6,291,456 KB"
                                        << "6.291.456 KB";
    }
    void sizesShowInKilobytesRoundedHalfUp() {
        QFETCH(double, bytes);
        QFETCH(QString, english);
        QFETCH(QString, german);
        QuietStore store;
        QVERIFY(appendSized(store, bytes));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(store.FileSize(), english);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(store.FileSize(), german);
    }

    void lastModifiedShowsDayMonthYearHoursMinutes() {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.shp");
        writeSizedFile(path, 1);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QDateTime when(QDate(2024, 3, 7), QTime(9, 5, 42));
        QVERIFY(file.setFileTime(when, QFileDevice::FileModificationTime));
        QVERIFY(file.setFileTime(when.addDays(1), QFileDevice::FileAccessTime));
        file.close();
        QuietStore store;
        store.Refresh(dir.path());
        QVERIFY(store.MoveTo(1));
        QCOMPARE(store.DateLastModified(), QStringLiteral("07.03.2024 09:05"));
        QCOMPARE(store.DateLastAccessed(), QStringLiteral("08.03.2024 09:05"));
    }

    // Dates and sizes follow the language in force, in the user's country
    // where that has its own conventions; without a locale (C) the designed
    // "dd.mm.yyyy hh:mm" stands.
    void datesAndSizesFollowTheLanguage_data() {
        QTest::addColumn<QLocale>("user");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("size");
        const QLocale c = QLocale::c();
        QTest::newRow("C, English") << c << "en"
                                    << "07.03.2024 09:05"
                                    << "1,536 KB";
        QTest::newRow("C, German") << c << "de"
                                   << "07.03.2024 09:05"
                                   << "1.536 KB";
        QTest::newRow("C, Italian") << c << "it"
                                    << "07/03/2024 09:05"
                                    << "1.536 KB";
        QTest::newRow("American English")
            << QLocale(QLocale::English, QLocale::UnitedStates) << "en"
            << "03/07/2024 9:05 AM"
            << "1,536 KB";
        QTest::newRow("Swiss German")
            << QLocale(QLocale::German, QLocale::Switzerland) << "de"
            << "07.03.2024 09:05" << QString::fromUtf8("1\u2019536 KB");
        QTest::newRow("German in Italy")
            << QLocale(QLocale::Italian, QLocale::Italy) << "de"
            << "07.03.2024 09:05"
            << "1.536 KB";
    }
    void datesAndSizesFollowTheLanguage() {
        QFETCH(QLocale, user);
        QFETCH(QString, language);
        QFETCH(QString, date);
        QFETCH(QString, size);
        QLocale::setDefault(user);
        DeskLanguage::setTranslationsFolder(
            QStringLiteral(KAVRO_TRANSLATIONS_DIR));
        QVERIFY(DeskLanguage::apply(language));
        const QDateTime when(QDate(2024, 3, 7), QTime(9, 5, 42));
        QCOMPARE(adoFileList::formatDateTime(when), date);
        QCOMPARE(adoFileList::formatSize(1572864), size);
        DeskLanguage::apply(QString());
    }

    void moveToZeroAndMissingIdsReturnFalseQuietly() {
        RecordingPresenter recorder;
        QuietStore store;
        QVERIFY(appendSized(store, 1));
        QVERIFY(appendSized(store, 2));
        QVERIFY(!store.MoveTo(0));
        QVERIFY(store.Recordset().atEnd());
        QVERIFY(!store.MoveTo(3));
        QVERIFY(recorder.messages.isEmpty());
        try {
            store.FileName();
            QFAIL("a property read past the end succeeded");
        } catch (const DeskFailure &failure) {
            QCOMPARE(failure.number(), FailureNumbers::kNoCurrentRecord);
        }
    }
};

QTEST_GUILESS_MAIN(tst_adoFileList)
#include "tst_adoFileList.moc"

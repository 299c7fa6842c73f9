#include "DeskMessages.h"
#include "DeskTestSupport.h"
#include "modKAVRO.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// The shape type test and the conversion with the real boxcheck and KAVRO of
// the build's program folder, on the shipped sample shapefiles.
namespace {
const QString kEngineDir = QStringLiteral(KAVRO_ENGINE_DIR);
const QString kSamples = QStringLiteral(KAVRO_SOURCE_DIR "/data/samples");
using DeskTest::readFile;
using DeskTest::writeFile;

} // namespace

class tst_modKAVROEndToEnd : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString data_, output_, temp_;
    std::unique_ptr<DeskTest::EnvironmentGuard> tempGuard_;

  private slots:
    void initTestCase() {
        for (const char *needed : {"/boxcheck", "/KAVRO", "/utm_etrs89.prj",
                                   "/script/GBO-UTM32ETRS89-VLM.xml",
                                   "/script/GBOSHIFT-UTM32ETRS89-VLM.xml"})
            QVERIFY2(QFileInfo::exists(kEngineDir + QLatin1String(needed)),
                     qPrintable(kEngineDir + QLatin1String(needed)));
        modKAVRO::SetProgramFolder(QStringLiteral(KAVRO_PROGRAM_DIR));
        tempGuard_ = std::make_unique<DeskTest::EnvironmentGuard>("TEMP");
    }
    void cleanupTestCase() {
        modKAVRO::SetProgramFolder({});
        tempGuard_.reset();
    }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        data_ = dir_->filePath(QStringLiteral("in data"));
        output_ = dir_->filePath(QStringLiteral("out $put with blanks"));
        temp_ = dir_->filePath(QStringLiteral("t emp"));
        for (const QString &folder : {data_, output_, temp_})
            QVERIFY(QDir().mkpath(folder));
        qputenv("TEMP", QFile::encodeName(temp_));
    }
    void cleanup() { dir_.reset(); }

    void convertsEachKindToUtm_data() {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<int>("shapeType");
        for (const char *geometry : {"points", "lines", "polygons"}) {
            const QString name = QLatin1String(geometry);
            QTest::addRow("gbo %s", geometry) << "gbo_" + name << int(ShapeGBO);
            QTest::addRow("gboshift %s", geometry)
                << "gboshift_" + name << int(ShapeGBOShift);
        }
    }
    // The output's own shape type shows that the script of the input's type
    // ran: the other script would not give UTM values.
    void convertsEachKindToUtm() {
        QFETCH(QString, sample);
        QFETCH(int, shapeType);
        const QString input = kSamples + u'/' + sample + ".shp";
        const QString output = output_ + "/" + sample + " $1.shp";
        const QString prj = output_ + "/" + sample + " $1.prj";
        writeFile(prj, "an older projection file, longer than the new one");

        RecordingPresenter recorder;
        QCOMPARE(modKAVRO::GetShapeType(input), shapeType);
        QVERIFY(modKAVRO::ConvertShape(input, output, shapeType));
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(readFile(prj), readFile(kEngineDir + "/utm_etrs89.prj"));
        QCOMPARE(readFile(output_ + "/" + sample + " $1.dbf"),
                 readFile(kSamples + u'/' + sample + ".dbf"));
        QCOMPARE(modKAVRO::GetShapeType(output), ShapeUTM);
        QVERIFY(recorder.messages.isEmpty());
        QVERIFY(QDir(temp_).isEmpty());
    }

    void unreadableFilesAreUnknown() {
        writeFile(data_ + "/text.shp", "this is not a shapefile\n");
        RecordingPresenter recorder;
        QCOMPARE(modKAVRO::GetShapeType(data_ + "/text.shp"), ShapeUnknown);
        QCOMPARE(modKAVRO::GetShapeType(data_ + "/missing.shp"), ShapeUnknown);
        QVERIFY(recorder.messages.isEmpty());
    }

    // One slot classifies file after file through its own two files, made
    // once (a longer batch text after a shorter one leaves nothing of it,
    // a shorter answer nothing of the longer one), made anew when they were
    // removed in between, and removed when the slot ends.
    void slotKeepsItsFilesForItsFiles() {
        writeFile(data_ + "/text.shp", "this is not a shapefile\n");
        const QString longName = data_ + "/" + QString(60, u'x');
        for (const char *extension : {".shp", ".shx", ".dbf"})
            QVERIFY(QFile::copy(kSamples + "/gbo_lines" + extension,
                                longName + extension));
        RecordingPresenter recorder;
        QString alone;
        QCOMPARE(modKAVRO::GetShapeType(data_ + "/text.shp", &alone),
                 ShapeUnknown);
        {
            modKAVRO::ShapeSlot slot(1);
            QString reason;
            QCOMPARE(slot.classify(kSamples + "/gboshift_points.shp", &reason),
                     ShapeGBOShift);
            QCOMPARE(QDir(temp_).entryList(QDir::Files),
                     (QStringList{"Shape2.bat", "Shape2.txt"}));
            QCOMPARE(slot.classify(data_ + "/text.shp", &reason), ShapeUnknown);
            QCOMPARE(reason, alone);
            QCOMPARE(slot.classify(longName + ".shp"), ShapeGBO);
            QVERIFY(QFile::remove(temp_ + "/Shape2.txt"));
            QCOMPARE(slot.classify(kSamples + "/gbo_points.shp", &reason),
                     ShapeGBO);
            QCOMPARE(slot.classify(data_ + "/missing.shp"), ShapeUnknown);
            QCOMPARE(QDir(temp_).entryList(QDir::Files),
                     (QStringList{"Shape2.bat", "Shape2.txt"}));
        }
        QVERIFY(QDir(temp_).isEmpty());
        QVERIFY(recorder.messages.isEmpty());
    }

    void typesWithoutEngineFail() {
        const QString input = kSamples + "/gbo_points.shp";
        for (ShapeType type : {ShapeUTM, ShapeUnknown}) {
            RecordingPresenter recorder;
            QVERIFY(!modKAVRO::ConvertShape(input, output_ + "/o.shp", type));
            QCOMPARE(recorder.messages.size(), 1);
            QCOMPARE(recorder.messages[0].text,
                     "Error creating File " + output_ + "/o.shp");
            QVERIFY(QDir(output_).isEmpty());
        }
    }

    // A disk that fills up (here a file size limit, inherited by KAVRO)
    // while the code page or the projection file is written: the task is
    // not done, its outputs go, and what was there before and the inputs
    // stay as they were.
    void fullDiskFailsTheTask_data() {
        QTest::addColumn<QString>("tooLong");
        QTest::newRow("code page") << QStringLiteral("cpg");
        QTest::newRow("projection file") << QStringLiteral("prj");
    }
    void fullDiskFailsTheTask() {
        QFETCH(QString, tooLong);
        constexpr rlim_t kLimit = 16 * 1024; // the batch file fits
        const QByteArray big(2 * kLimit, 'x');
        for (const char *extension : {".shp", ".shx", ".dbf", ".cpg"})
            QVERIFY(QFile::copy(kSamples + "/gbo_points" + extension,
                                data_ + "/in" + extension));
        // A program folder of its own, with the real engine and boxcheck.
        const QString program = dir_->filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(program + "/KAVRO/script"));
        for (const char *file : {"KAVRO", "boxcheck", "utm_etrs89.prj",
                                 "script/GBO-UTM32ETRS89-VLM.xml",
                                 "script/GBOSHIFT-UTM32ETRS89-VLM.xml",
                                 "script/TransformationScript.xsd"})
            QVERIFY(QFile::link(kEngineDir + "/" + file,
                                program + "/KAVRO/" + file));
        if (tooLong == "cpg") {
            writeFile(data_ + "/in.cpg", big);
        } else {
            QVERIFY(QFile::remove(program + "/KAVRO/utm_etrs89.prj"));
            writeFile(program + "/KAVRO/utm_etrs89.prj", big);
        }
        modKAVRO::SetProgramFolder(program);
        const QString output = output_ + "/out.shp";
        writeFile(output_ + "/out.sbx.txt", "not the task's");
        const auto before = [&](const QString &folder) {
            QMap<QString, QByteArray> files;
            for (const QString &name : QDir(folder).entryList(QDir::Files))
                files[name] = readFile(folder + "/" + name);
            return files;
        };
        const auto inputs = before(data_);
        const auto outputs = before(output_);

        RecordingPresenter recorder;
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = kLimit;
        const auto signal = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limited);
        const bool converted =
            modKAVRO::ConvertShape(data_ + "/in.shp", output, ShapeGBO);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, signal);
        modKAVRO::SetProgramFolder(QStringLiteral(KAVRO_PROGRAM_DIR));

        QVERIFY(!converted);
        QCOMPARE(recorder.messages.last().text,
                 "Error creating File " + output);
        QCOMPARE(before(data_), inputs);
        QCOMPARE(before(output_), outputs);
        QVERIFY(QDir(output_).entryList(QDir::Hidden | QDir::Files).size() ==
                outputs.size());
    }

    // kill -9 of the desktop in the middle of a conversion ends the engine
    // with it: nothing appears under the output's names afterwards.
    void killedDesktopTakesItsEngineAlong() {
        QList<QPointF> points;
        for (int i = 0; i < 1000000; ++i)
            points.append({1650000.0 + i % 1000, 5100000.0 + i / 1000});
        DeskTest::writePointShapefile(data_ + "/big", points);
        writeFile(data_ + "/big.dbf", "table");
        const QString output = output_ + "/big.shp";
        const pid_t desk = ::fork();
        if (desk == 0) {
            RecordingPresenter quiet;
            modKAVRO::ConvertShape(data_ + "/big.shp", output, ShapeGBO);
            ::_exit(0);
        }
        QVERIFY(desk > 0);
        // Killed once the engine has started writing.
        QElapsedTimer clock;
        clock.start();
        while (QDir(output_).entryList(QDir::Hidden | QDir::Files).isEmpty() &&
               clock.elapsed() < 30000)
            QThread::usleep(200);
        ::kill(desk, SIGKILL);
        int status = 0;
        ::waitpid(desk, &status, 0);
        QThread::msleep(1500); // what an orphaned engine needs to finish
        for (const char *extension : {"shp", "shx", "dbf", "prj"})
            QVERIFY2(!QFileInfo::exists(output_ + "/big." + extension),
                     extension);
        // The engine's temporary files stop growing: it has ended.
        const auto sizes = [&] {
            QList<qint64> all;
            for (const QFileInfo &file :
                 QDir(output_).entryInfoList(QDir::Hidden | QDir::Files))
                all.append(file.size());
            return all;
        };
        const QList<qint64> first = sizes();
        QThread::msleep(300);
        QCOMPARE(sizes(), first);
    }

    // An input without its attribute table gives an output without one.
    void outputWithoutTableFails() {
        for (const char *extension : {".shp", ".shx"})
            QVERIFY(QFile::copy(kSamples + "/gbo_points" + extension,
                                data_ + "/bare" + extension));
        RecordingPresenter recorder;
        QVERIFY(!modKAVRO::ConvertShape(data_ + "/bare.shp",
                                        output_ + "/bare.shp", ShapeGBO));
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(recorder.messages[0].text,
                 "Error creating File " + output_ + "/bare.shp");
        QVERIFY(!QFileInfo::exists(output_ + "/bare.dbf"));
        QVERIFY(!QFileInfo::exists(output_ + "/bare.prj"));
    }
};

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KavroDesk"));
    tst_modKAVROEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modKAVROEndToEnd.moc"

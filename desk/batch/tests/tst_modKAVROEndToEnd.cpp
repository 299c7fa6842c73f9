#include "DeskMessages.h"
#include "DeskTestSupport.h"
#include "modKAVRO.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

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

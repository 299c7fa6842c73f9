#include "DeskMessages.h"
#include "modKAVRO.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <shapefil.h>

#include <utility>
#include <vector>

// The shape type test and the conversion with the real boxcheck and KAVRO of
// the build's program folder.
namespace {
using Points = std::vector<std::pair<double, double>>;

// Gauss-Boaga West zone, standard and shortened form, and UTM zone 32: a few
// points around the same place in northern Italy.
const Points kGaussBoaga = {
    {1650000.25, 5100000.75}, {1651200.5, 5101500.0}, {1649500.0, 5099800.5}};
const Points kShortForm = {{150000.0, 100000.0}, {151200.5, 101500.0}};
const Points kUtm = {{650000.0, 5100000.0}, {651200.5, 5101500.0}};

// A point shapefile with its attribute table (unless withTable is false).
bool writeShapefile(const QString &shpPath, const Points &points,
                    bool withTable = true) {
    const QByteArray path = QFile::encodeName(shpPath);
    SHPHandle shp = SHPCreate(path.constData(), SHPT_POINT);
    if (shp == nullptr)
        return false;
    for (const auto &[x, y] : points) {
        double px = x, py = y;
        SHPObject *object =
            SHPCreateSimpleObject(SHPT_POINT, 1, &px, &py, nullptr);
        SHPWriteObject(shp, -1, object);
        SHPDestroyObject(object);
    }
    SHPClose(shp);
    if (!withTable)
        return true;
    const QByteArray dbfPath = path.left(path.size() - 3) + "dbf";
    DBFHandle dbf = DBFCreate(dbfPath.constData());
    if (dbf == nullptr)
        return false;
    DBFAddField(dbf, "NAME", FTString, 16, 0);
    for (int i = 0; i < int(points.size()); ++i)
        DBFWriteStringAttribute(dbf, i, 0, "point");
    DBFClose(dbf);
    return true;
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kEngineDir = QStringLiteral(KAVRO_ENGINE_DIR);

// The files of the program folder that a test needs, or the first missing.
QString missingOf(std::initializer_list<const char *> needed) {
    for (const char *name : needed)
        if (!QFileInfo::exists(kEngineDir + QLatin1String(name)))
            return kEngineDir + QLatin1String(name) + " is not built";
    return {};
}
const std::initializer_list<const char *> kConversionFiles = {
    "/boxcheck", "/KAVRO", "/utm_etrs89.prj", "/script/GBO-UTM32ETRS89-VLM.xml",
    "/script/GBOSHIFT-UTM32ETRS89-VLM.xml"};
} // namespace

class tst_modKAVROEndToEnd : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString data_, output_;
    QByteArray savedTemp_;

  private slots:
    void initTestCase() {
        modKAVRO::SetProgramFolder(QStringLiteral(KAVRO_PROGRAM_DIR));
        savedTemp_ = qgetenv("TEMP");
    }
    void cleanupTestCase() {
        modKAVRO::SetProgramFolder({});
        qputenv("TEMP", savedTemp_);
    }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        data_ = dir_->filePath(QStringLiteral("in data"));
        output_ = dir_->filePath(QStringLiteral("out $put with blanks"));
        const QString temp = dir_->filePath(QStringLiteral("t emp"));
        for (const QString &folder : {data_, output_, temp})
            QVERIFY(QDir().mkpath(folder));
        qputenv("TEMP", QFile::encodeName(temp));
    }
    void cleanup() { dir_.reset(); }

    void shapeTypeOfEachKind() {
        if (const QString missing = missingOf({"/boxcheck"});
            !missing.isEmpty())
            QSKIP(qPrintable(missing));
        QVERIFY(writeShapefile(data_ + "/gbo.shp", kGaussBoaga));
        QVERIFY(writeShapefile(data_ + "/short.shp", kShortForm));
        QVERIFY(writeShapefile(data_ + "/utm.shp", kUtm));
        QFile text(data_ + "/text.shp");
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("this is not a shapefile\n");
        text.close();

        RecordingPresenter recorder;
        QCOMPARE(modKAVRO::GetShapeType(data_ + "/gbo.shp"), ShapeGBO);
        QCOMPARE(modKAVRO::GetShapeType(data_ + "/short.shp"), ShapeGBOShift);
        QCOMPARE(modKAVRO::GetShapeType(data_ + "/utm.shp"), ShapeUTM);
        QCOMPARE(modKAVRO::GetShapeType(data_ + "/text.shp"), ShapeUnknown);
        QCOMPARE(modKAVRO::GetShapeType(data_ + "/missing.shp"), ShapeUnknown);
        QVERIFY(recorder.messages.isEmpty());
    }

    void conversionOfEachKind_data() {
        QTest::addColumn<int>("shapeType");
        QTest::newRow("standard") << int(ShapeGBO);
        QTest::newRow("short form") << int(ShapeGBOShift);
    }
    void conversionOfEachKind() {
        if (const QString missing = missingOf(kConversionFiles);
            !missing.isEmpty())
            QSKIP(qPrintable(missing));
        QFETCH(int, shapeType);
        const QString input = data_ + "/roads.old.shp";
        QVERIFY(writeShapefile(input, shapeType == ShapeGBO ? kGaussBoaga
                                                            : kShortForm));
        QCOMPARE(modKAVRO::GetShapeType(input), shapeType);
        const QString output = output_ + "/roads $1.shp";
        const QString prj = output_ + "/roads $1.prj";
        QFile old(prj);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older projection file, longer than the new one");
        old.close();

        RecordingPresenter recorder;
        QVERIFY(modKAVRO::ConvertShape(input, output, shapeType));
        QVERIFY(recorder.messages.isEmpty());
        for (const char *extension : {"shp", "shx", "dbf"})
            QVERIFY(QFileInfo::exists(output_ + "/roads $1." + extension));
        QCOMPARE(readFile(prj), readFile(kEngineDir + "/utm_etrs89.prj"));
        QCOMPARE(readFile(output_ + "/roads $1.dbf"),
                 readFile(data_ + "/roads.old.dbf"));
        QVERIFY(QDir(dir_->filePath(QStringLiteral("t emp"))).isEmpty());
    }

    void typesWithoutEngineFail() {
        if (const QString missing = missingOf({"/boxcheck"});
            !missing.isEmpty())
            QSKIP(qPrintable(missing));
        const QString input = data_ + "/utm.shp";
        QVERIFY(writeShapefile(input, kUtm));
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
        if (const QString missing = missingOf(kConversionFiles);
            !missing.isEmpty())
            QSKIP(qPrintable(missing));
        const QString input = data_ + "/bare.shp";
        QVERIFY(writeShapefile(input, kGaussBoaga, false));
        RecordingPresenter recorder;
        QVERIFY(
            !modKAVRO::ConvertShape(input, output_ + "/bare.shp", ShapeGBO));
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

#include "DeskFailure.h"
#include "DeskMessages.h"
#include "DeskTestSupport.h"
#include "NTv2TestGrids.h"
#include "modKAVRO.h"
#include "modTransformation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
using DeskTest::crlf;
using DeskTest::EnvironmentGuard;
using DeskTest::readFile;
using DeskTest::writeFile;

QStringList lines(const QString &path) {
    QString text = QString::fromUtf8(readFile(path));
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

constexpr QFile::Permissions kExecutable =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

const QString kOddName =
    QStringLiteral("my roads $HOME; a&b 'q' %PATH% `id`.shp");
} // namespace

// GetShapeType and ConvertShape against stand-ins for boxcheck and KAVRO:
// small shell programs that log their arguments, print a prepared answer and
// write the output files they are told to.
class tst_modKAVRO : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<EnvironmentGuard> tempGuard_;
    QString program_, temp_, log_, data_;

    void installStandIns() {
        const QString engine = program_ + QStringLiteral("/KAVRO");
        QVERIFY(QDir().mkpath(engine + QStringLiteral("/script")));
        QVERIFY(QDir().mkpath(log_));
        const QByteArray log = QFile::encodeName(log_);
        writeFile(engine + QStringLiteral("/boxcheck"),
                  "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + log +
                      "/boxcheck.args'\ncat '" + log + "/boxcheck.out'\n",
                  kExecutable);
        writeFile(engine + QStringLiteral("/KAVRO"),
                  "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + log +
                      "/KAVRO.args'\n"
                      "while [ $# -gt 0 ]; do\n"
                      "  [ \"$1\" = -IF ] && in=\"$2\"\n"
                      "  [ \"$1\" = -OF ] && out=\"$2\"\n  shift\n"
                      "done\n"
                      "for ext in $(cat '" +
                      log +
                      "/KAVRO.writes'); do\n"
                      "  : > \"${out%.*}.$ext\"\ndone\n"
                      "v=\"$(cat '" +
                      log +
                      "/KAVRO.reports')\"\n"
                      // A failure names the input alone, as KAVRO's does.
                      "case \"$v\" in\n"
                      "  conversion*) printf '%s %s\\n' \"$in\" \"$v\" ;;\n"
                      "  *) printf '%s %s %s\\n' \"$in\" \"$v\" \"$out\" ;;\n"
                      "esac\n",
                  kExecutable);
        writeFile(engine + QStringLiteral("/utm_etrs89.prj"), "PROJCS[utm]");
        writeFile(engine + QStringLiteral("/utm32_rdn2008.prj"),
                  "PROJCS[rdn2008]");
        setBoxcheckOutput({});
        setEngineWrites("shp shx dbf");
        setEngineReports("converted to");
    }
    // What the engine's report line says between the input and the output.
    void setEngineReports(const QByteArray &verdict) {
        writeFile(log_ + QStringLiteral("/KAVRO.reports"), verdict);
    }
    void setBoxcheckOutput(const QByteArray &output) {
        writeFile(log_ + QStringLiteral("/boxcheck.out"), output);
    }
    void setEngineWrites(const QByteArray &extensions) {
        writeFile(log_ + QStringLiteral("/KAVRO.writes"), extensions);
    }
    QStringList boxcheckArguments() const {
        return lines(log_ + QStringLiteral("/boxcheck.args"));
    }
    QStringList engineArguments() const {
        return lines(log_ + QStringLiteral("/KAVRO.args"));
    }
    QStringList tempEntries() const {
        return QDir(temp_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                     QDir::System | QDir::Hidden);
    }
    static QByteArray validGrid() {
        return QByteArray::fromStdString(
            kavrotest::ntv2File({kavrotest::TestSubGrid{}}));
    }
    // Writes the national grid's file into the folder; its path.
    static QString writeGrid(const QString &folder, const QByteArray &bytes) {
        QDir().mkpath(folder);
        const QString path = folder + u'/' + modTransformation::kNationalGrid;
        writeFile(path, bytes);
        return path;
    }
    QString shapefile(const QString &name) {
        writeFile(data_ + u'/' + name, "not read by the stand-ins");
        return data_ + u'/' + name;
    }

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        tempGuard_ = std::make_unique<EnvironmentGuard>("TEMP");
        program_ = dir_->filePath(QStringLiteral("prog $dir; with blanks"));
        temp_ = dir_->filePath(QStringLiteral("t emp $x & 'y'"));
        log_ = dir_->filePath(QStringLiteral("log"));
        data_ = dir_->filePath(QStringLiteral("data %1 $d"));
        QVERIFY(QDir().mkpath(temp_));
        QVERIFY(QDir().mkpath(data_));
        qputenv("TEMP", QFile::encodeName(temp_));
        modKAVRO::SetProgramFolder(program_);
        installStandIns();
    }
    void cleanup() {
        modKAVRO::SetProgramFolder({});
        tempGuard_.reset();
        dir_.reset();
    }

    void parseExtentLine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("shapeType");
        QTest::newRow("fractions do not count")
            << "Xmin: 1650000.25 Ymin: 5100000.75 end" << 1;
        QTest::newRow("decimal comma")
            << "Xmin: 650000,5 Ymin: 5100000,5 end" << 2;
        QTest::newRow("short form") << "Xmin: 150000 Ymin: 100000 end" << 0;
        QTest::newRow("last token never read") << "1650000 5100000" << 3;
        QTest::newRow("empty") << "" << 3;
        QTest::newRow("1000 does not count")
            << "1000 150000 1000 100000 end" << 0;
        QTest::newRow("1001 counts") << "1001 1650000 5100000 end" << 2;
        QTest::newRow("exactly a million") << "1000000 5100000 end" << 2;
        QTest::newRow("later values ignored")
            << "150000 100000 5100000 end" << 0;
        QTest::newRow("double blank") << "Xmin:  150000  Ymin: 100000 end" << 0;
        QTest::newRow("largest 32-bit value") << "2147483647 5100000 end" << 1;
        QTest::newRow("one beyond 32 bits") << "2147483648 5100000 end" << 3;
        QTest::newRow("far beyond 32 bits")
            << "150000 99999999999999999999999 end" << 3;
        QTest::newRow("beyond 32 bits after the pair")
            << "150000 100000 99999999999 end" << 0;
        QTest::newRow("signed") << "+150000 +100000 -5100000 end" << 0;
        QTest::newRow("exponent after the point")
            << "Xmin: 1.65E6 Ymin: 5.1E6 end" << 3;
        QTest::newRow("exponent beside counting values")
            << "150000 65E6 100000 end" << 0;
        QTest::newRow("lower-case exponent") << "1650000 51e5 end" << 3;
        QTest::newRow("not numbers")
            << "inf nan 0x1F4240 1e 150000 - + +-5000 end" << 3;
    }
    void parseExtentLine() {
        QFETCH(QString, line);
        QFETCH(int, shapeType);
        QCOMPARE(modKAVRO::ParseExtentLine(line), shapeType);
    }

    void shapeBatchIsByteExact() {
        QCOMPARE(modKAVRO::ShapeBatchText("/opt/Kavro Desk", "/d a/r s.shp",
                                          "/tmp/my temp"),
                 QByteArray("@echo off\r\n"
                            "\"/opt/Kavro Desk/KAVRO/boxcheck\" \"/d a/r "
                            "s.shp\" -YMIN 2500000 >> \"/tmp/my "
                            "temp/Shape.txt\"\r\n"));
        // The other slots append to answer files of their own.
        QVERIFY(modKAVRO::ShapeBatchText("/p", "/a.shp", "/t", 1)
                    .endsWith(" >> \"/t/Shape2.txt\"\r\n"));
        QCOMPARE(modKAVRO::ShapeBatchName(0), QStringLiteral("Shape.bat"));
        QCOMPARE(modKAVRO::ShapeBatchName(3), QStringLiteral("Shape4.bat"));
        QCOMPARE(modKAVRO::ShapeAnswerName(3), QStringLiteral("Shape4.txt"));
    }

    void convertBatchIsByteExact_data() {
        QTest::addColumn<int>("shapeType");
        QTest::addColumn<QByteArray>("jump");
        QTest::newRow("0") << 0 << QByteArray("goto answer4\n");
        QTest::newRow("1") << 1 << QByteArray("goto answer2\n");
        QTest::newRow("2") << 2 << QByteArray();
        QTest::newRow("3") << 3 << QByteArray();
    }
    void convertBatchIsByteExact() {
        QFETCH(int, shapeType);
        QFETCH(QByteArray, jump);
        const QByteArray expected = crlf(
            "@echo off\n"
            "\"/P q/KAVRO/boxcheck\" \"/in put/a.shp\" -YMIN 2500000\n" +
            jump +
            "\n"
            ":answer0\n"
            "@echo Impossible to open file /in put/a.shp\n"
            "goto :ENDE\n"
            "\n"
            ":answer1\n"
            "@echo Wrong parameters\n"
            "goto :ENDE\n"
            "\n"
            ":answer2\n"
            "@echo The Shapefile extent IS INSIDE the given box (GBO "
            "standard)\n"
            "\"/P q/KAVRO/KAVRO\" -FT SHP -IF \"/in put/a.shp\" -OF \"/out "
            "put/b.shp\" -TS \"/P q/KAVRO/script/GBO-UTM32ETRS89-VLM.xml\"\n"
            "goto :ENDE\n"
            "\n"
            ":answer3\n"
            "@echo The Shapefile extent IS PARTIALLY INSIDE the given box\n"
            "goto :ENDE\n"
            "\n"
            ":answer4\n"
            "@echo The Shapefile extent IS COMPLETELY OUTSIDE the given box "
            "(GBO P.A. Valmora)\n"
            "\"/P q/KAVRO/KAVRO\" -FT SHP -IF \"/in put/a.shp\" -OF \"/out "
            "put/b.shp\" -TS "
            "\"/P q/KAVRO/script/GBOSHIFT-UTM32ETRS89-VLM.xml\"\n"
            "goto :ENDE\n"
            "\n"
            ":ENDE\n"
            "exit\n");
        QCOMPARE(modKAVRO::ConvertBatchText("/P q", "/in put/a.shp",
                                            "/out put/b.shp", shapeType),
                 expected);
        // With the national grid only the two script names change.
        modTransformation::Transformation grid;
        grid.kind = modTransformation::Kind::Grid;
        QCOMPARE(modKAVRO::ConvertBatchText("/P q", "/in put/a.shp",
                                            "/out put/b.shp", shapeType, grid),
                 QByteArray(expected)
                     .replace("/GBO-UTM32ETRS89-VLM.xml",
                              "/GBO-UTM32RDN2008-GRID-VLM.xml")
                     .replace("/GBOSHIFT-UTM32ETRS89-VLM.xml",
                              "/GBOSHIFT-UTM32RDN2008-GRID-VLM.xml"));
        // A run beside others gives KAVRO its number of threads, and no more
        // changes; each slot has a batch of its own, the first today's.
        QCOMPARE(
            modKAVRO::ConvertBatchText("/P q", "/in put/a.shp",
                                       "/out put/b.shp", shapeType, {}, 1),
            QByteArray(expected).replace("-FT SHP -IF", "-FT SHP -TH 1 -IF"));
        QCOMPARE(modKAVRO::ConvertBatchName(0), QStringLiteral("KAVRO.bat"));
        QCOMPARE(modKAVRO::ConvertBatchName(2), QStringLiteral("KAVRO3.bat"));
    }

    // A double quote or a line break in any path of a batch line would change
    // the line: refused before any file is written, and no program runs.
    void unwritablePathsAreRefused_data() {
        QTest::addColumn<QString>("bad");
        QTest::newRow("quote") << QStringLiteral("a\"b");
        QTest::newRow("line feed") << QStringLiteral("a\nb");
        QTest::newRow("return") << QStringLiteral("a\rb");
    }
    void unwritablePathsAreRefused() {
        QFETCH(QString, bad);
        const QString good = shapefile(QStringLiteral("in.shp"));
        const QString badFile = data_ + u'/' + bad + QStringLiteral(".shp");
        QVERIFY_THROWS_EXCEPTION(DeskFailure,
                                 modKAVRO::ShapeBatchText(bad, good, temp_));
        QVERIFY_THROWS_EXCEPTION(DeskFailure,
                                 modKAVRO::ShapeBatchText(program_, good, bad));
        QVERIFY_THROWS_EXCEPTION(DeskFailure, modKAVRO::ConvertBatchText(
                                                  program_, good, badFile, 1));

        RecordingPresenter recorder;
        QCOMPARE(modKAVRO::GetShapeType(badFile), 3);
        QVERIFY(!modKAVRO::ConvertShape(badFile, data_ + "/o.shp", 1));
        QVERIFY(!modKAVRO::ConvertShape(good, badFile, 0));
        const QString badTemp = dir_->filePath(bad);
        QVERIFY(QDir().mkpath(badTemp));
        qputenv("TEMP", QFile::encodeName(badTemp));
        QCOMPARE(modKAVRO::GetShapeType(good), 3);
        QVERIFY(QDir(badTemp).isEmpty());
        qputenv("TEMP", QFile::encodeName(temp_));
        modKAVRO::SetProgramFolder(dir_->filePath(bad));
        QCOMPARE(modKAVRO::GetShapeType(good), 3);
        QVERIFY(!modKAVRO::ConvertShape(good, data_ + "/o.shp", 0));

        QCOMPARE(recorder.messages.size(), 6);
        for (const auto &message : recorder.messages) {
            QCOMPARE(message.caption, QString());
            QCOMPARE(message.icon, MessageIcon::Critical);
            QVERIFY2(message.text.startsWith(QStringLiteral("Error 52: ")),
                     qPrintable(message.text));
        }
        QCOMPARE(tempEntries(), QStringList());
        QCOMPARE(boxcheckArguments(), QStringList());
        QCOMPARE(engineArguments(), QStringList());
    }

    // The category comes from the fourth line (the minima) and holds only
    // when the maxima of the sixth lie in its box too.
    void shapeTypeComesFromTheFourthOfAtLeastFiveLines_data() {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<int>("shapeType");
        QTest::addColumn<QString>("reason");
        const QByteArray head = "boxcheck\nfile\nbox\n";
        const QByteArray west =
            head + "Extent Xmin: 1650000.25 Ymin: 5100000.75 end\nInside\n";
        const QByteArray shortened =
            head + "Extent Xmin: 150000 Ymin: 100000 end\n";
        QTest::newRow("standard")
            << west + "Extent Xmax: 1700000.00 Ymax: 5200000.00 end\n"
            << 1 << QString();
        QTest::newRow("short form, more lines")
            << shortened + "5\nXmax: 270000 Ymax: 214000 end\n7\n"
            << 0 << QString();
        QTest::newRow("CR LF lines")
            << QByteArray("a\r\nb\r\nc\r\nXmin: 150000 Ymin: 100000 "
                          "end\r\nx\r\nXmax: 150001 Ymax: 100001 end\r\n")
            << 0 << QString();
        QTest::newRow("UTM") << head + "Xmin: 604970 Ymin: 5059979 end\nx\n"
                                       "Xmax: 769966 Ymax: 5213977 end\n"
                             << 2 << QString();
        QTest::newRow("East zone")
            << head + "Xmin: 2400000 Ymin: 4500000 end\nx\n"
                      "Xmax: 2500000 Ymax: 4600000 end\n"
            << 3 << "extent outside Gauss-Boaga West";
        QTest::newRow("across 2 000 000")
            << west + "Extent Xmax: 2000001.00 Ymax: 5200000.00 end\n"
            << 3 << "extent outside Gauss-Boaga West";
        QTest::newRow("short form reaching a million")
            << shortened + "x\nXmax: 1000000 Ymax: 214000 end\n"
            << 3 << "extent outside the shortened Gauss-Boaga form";
        QTest::newRow("easting above, northing below")
            << head + "Xmin: 1650000 Ymin: 500000 end\nx\n"
                      "Xmax: 1660000 Ymax: 510000 end\n"
            << 3 << "extent outside UTM zone 32";
        QTest::newRow("no maxima")
            << west << 3 << "the extent's maxima are not known";
        QTest::newRow("empty fifth line")
            << shortened + "\n"
            << 3 << "the extent's maxima are not known";
        QTest::newRow("only four lines")
            << head + "Extent Xmin: 1650000 Ymin: 5100000 end\n"
            << 3 << "boxcheck gave no extent";
        QTest::newRow("three lines") << head << 3 << "boxcheck gave no extent";
        QTest::newRow("category unknown, and why")
            << west + "Extent Xmax: 1700000.00 Ymax: 5200000.00 end\n"
                      "Unknown category: layer b says ETRS89 / UTM zone 32N, "
                      "its coordinates are Gauss-Boaga West\n"
            << 3
            << "layer b says ETRS89 / UTM zone 32N, its coordinates are "
               "Gauss-Boaga West";
        QTest::newRow("no extent, and why")
            << head + "Extent Xmin: none Ymin: none end\nImpossible to read "
                      "the shape file's extent: /a.shx is not a regular "
                      "file\n"
            << 3 << "no extent: /a.shx is not a regular file";
    }
    void shapeTypeComesFromTheFourthOfAtLeastFiveLines() {
        QFETCH(QByteArray, output);
        QFETCH(int, shapeType);
        setBoxcheckOutput(output);
        const QString file = shapefile(kOddName);
        QFETCH(QString, reason);
        RecordingPresenter recorder;
        QString why = QStringLiteral("not set");
        QCOMPARE(modKAVRO::GetShapeType(file, &why), shapeType);
        QCOMPARE(why, reason);
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(boxcheckArguments(),
                 QStringList({file, QStringLiteral("-YMIN"),
                              QStringLiteral("2500000")}));
        QCOMPARE(tempEntries(), QStringList());
    }

    // Files left by an interrupted run are never read or written through.
    void staleFilesAreReplaced() {
        const QString victim = dir_->filePath(QStringLiteral("victim"));
        writeFile(victim, "keep me");
        writeFile(temp_ + QStringLiteral("/Shape.txt"),
                  "a\nb\nc\nXmin: 1650000 Ymin: 5100000 end\ne\n");
        QVERIFY(QFile::link(victim, temp_ + QStringLiteral("/Shape.bat")));
        QVERIFY(QFile::link(victim, temp_ + QStringLiteral("/KAVRO.bat")));
        RecordingPresenter recorder;
        QCOMPARE(modKAVRO::GetShapeType(shapefile(QStringLiteral("a.shp"))), 3);
        QCOMPARE(tempEntries(), QStringList({QStringLiteral("KAVRO.bat")}));
        QVERIFY(modKAVRO::ConvertShape(shapefile(QStringLiteral("a.shp")),
                                       data_ + QStringLiteral("/b.shp"), 1));
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(tempEntries(), QStringList());
        QCOMPARE(readFile(victim), QByteArray("keep me"));
    }

    void privateTemporaryFolderWhenTempIsUnset() {
        EnvironmentGuard tmpdir("TMPDIR");
        const QString system = dir_->filePath(QStringLiteral("system tmp"));
        QVERIFY(QDir().mkpath(system));
        qputenv("TMPDIR", QFile::encodeName(system));
        qunsetenv("TEMP");
        const QString own =
            system + QStringLiteral("/KavroDesk-%1").arg(::getuid());
        auto mode = [&] {
            struct stat status {};
            return ::lstat(QFile::encodeName(own).constData(), &status) == 0
                       ? status.st_mode & 07777
                       : 0u;
        };

        QCOMPARE(modKAVRO::TempFolder(), own);
        QCOMPARE(mode(), 0700u);
        QVERIFY(QFile::setPermissions(
            own, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                     QFile::ReadOther | QFile::ExeOther));
        QCOMPARE(modKAVRO::TempFolder(), own);
        QCOMPARE(mode(), 0700u);

        setBoxcheckOutput("1\n2\n3\nXmin: 150000 Ymin: 100000 end\n5\n"
                          "Xmax: 150000 Ymax: 100000 end\n");
        RecordingPresenter recorder;
        QCOMPARE(modKAVRO::GetShapeType(shapefile(QStringLiteral("a.shp"))), 0);
        QVERIFY(QDir(own).isEmpty());

        // A link, a plain file or another user's folder in its place is not
        // used.
        QVERIFY(QDir(own).removeRecursively());
        QVERIFY(QFile::link(temp_, own));
        QVERIFY_THROWS_EXCEPTION(DeskFailure, modKAVRO::TempFolder());
        QVERIFY(QFile::remove(own));
        writeFile(own, "x");
        QVERIFY_THROWS_EXCEPTION(DeskFailure, modKAVRO::TempFolder());
        QCOMPARE(modKAVRO::GetShapeType(shapefile(QStringLiteral("a.shp"))), 3);
        QCOMPARE(recorder.messages.size(), 1);
        QVERIFY(
            recorder.messages[0].text.startsWith(QStringLiteral("Error 52: ")));
        if (::geteuid() == 0) {
            QVERIFY(QFile::remove(own));
            QVERIFY(QDir().mkdir(own));
            QCOMPARE(::chown(QFile::encodeName(own).constData(), 65534, 65534),
                     0);
            QVERIFY_THROWS_EXCEPTION(DeskFailure, modKAVRO::TempFolder());
        }

        // TEMP is read afresh at each use.
        qputenv("TEMP", "/somewhere else");
        QCOMPARE(modKAVRO::TempFolder(), QStringLiteral("/somewhere else"));
    }

    void conversionRunsTheEngineOfItsType_data() {
        QTest::addColumn<int>("shapeType");
        QTest::addColumn<bool>("grid");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QByteArray>("projection");
        QTest::newRow("0") << 0 << false << "GBOSHIFT-UTM32ETRS89-VLM.xml"
                           << QByteArray("PROJCS[utm]");
        QTest::newRow("1") << 1 << false << "GBO-UTM32ETRS89-VLM.xml"
                           << QByteArray("PROJCS[utm]");
        QTest::newRow("0, grid")
            << 0 << true << "GBOSHIFT-UTM32RDN2008-GRID-VLM.xml"
            << QByteArray("PROJCS[rdn2008]");
        QTest::newRow("1, grid") << 1 << true << "GBO-UTM32RDN2008-GRID-VLM.xml"
                                 << QByteArray("PROJCS[rdn2008]");
    }
    void conversionRunsTheEngineOfItsType() {
        QFETCH(int, shapeType);
        QFETCH(bool, grid);
        QFETCH(QString, script);
        QFETCH(QByteArray, projection);
        EnvironmentGuard gridPath("KAVRO_GRID_PATH");
        qunsetenv("KAVRO_GRID_PATH");
        if (grid)
            writeGrid(program_ + QStringLiteral("/KAVRO/grids"), validGrid());
        modTransformation::Check();
        const QString input = shapefile(kOddName);
        const QString output =
            dir_->filePath(QStringLiteral("out $put; & folder/r 1.shp"));
        QVERIFY(QDir().mkpath(QFileInfo(output).path()));
        const QString prj =
            dir_->filePath(QStringLiteral("out $put; & folder/r 1.prj"));
        writeFile(prj, "an older projection, longer than the new one");
        RecordingPresenter recorder;
        QVERIFY(modKAVRO::ConvertShape(input, output, shapeType));
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(boxcheckArguments(),
                 QStringList({input, QStringLiteral("-YMIN"),
                              QStringLiteral("2500000")}));
        QCOMPARE(engineArguments(),
                 QStringList({"-FT", "SHP", "-IF", input, "-OF", output, "-TS",
                              program_ + "/KAVRO/script/" + script}));
        QCOMPARE(readFile(prj), projection);
        QCOMPARE(tempEntries(), QStringList());
        QFile::remove(program_ + QStringLiteral("/KAVRO/grids/") +
                      modTransformation::kNationalGrid);
        modTransformation::Check();
    }

    // The national grid is looked for where KAVRO looks from its own folder
    // (beside the scripts, its grids folder, KAVRO_GRID_PATH), not in
    // KavroDesk's folder. One that cannot be read is said once, again when
    // it is damaged anew, and converts nothing.
    void transformationFollowsTheGrid() {
        EnvironmentGuard gridPath("KAVRO_GRID_PATH");
        const QString grids = dir_->filePath(QStringLiteral("my grids"));
        qputenv("KAVRO_GRID_PATH", QFile::encodeName(grids));
        using modTransformation::Kind;
        if (modTransformation::Check().kind != Kind::Helmert)
            QSKIP("a national grid is installed where KAVRO looks for grids");
        const QString engine = program_ + QStringLiteral("/KAVRO");
        const struct {
            QString folder;
            Kind kind;
        } places[] = {{engine + QStringLiteral("/script"), Kind::Grid},
                      {engine + QStringLiteral("/grids"), Kind::Grid},
                      {grids, Kind::Grid},
                      {program_ + QStringLiteral("/grids"), Kind::Helmert}};
        for (const auto &place : places) {
            const QString path = writeGrid(place.folder, validGrid());
            const modTransformation::Transformation &found =
                modTransformation::Check();
            QCOMPARE(found.kind, place.kind);
            QCOMPARE(found.gridPath,
                     place.kind == Kind::Grid ? path : QString());
            QVERIFY(QFile::remove(path));
        }

        RecordingPresenter recorder;
        const QString path = writeGrid(grids, validGrid().left(300));
        for (int check = 0; check < 2; ++check)
            modTransformation::ReportUnreadable(modTransformation::Check());
        QCOMPARE(modTransformation::Current().kind, Kind::GridUnreadable);
        QCOMPARE(recorder.messages.size(), 1);
        QVERIFY(recorder.messages[0].text.contains(path));
        QVERIFY(!modKAVRO::ConvertShape(shapefile(QStringLiteral("a.shp")),
                                        data_ + QStringLiteral("/out.shp"),
                                        ShapeGBO));
        QCOMPARE(engineArguments(), QStringList());
        QCOMPARE(recorder.messages.size(), 2); // the refusal, as a failure
        QVERIFY(QFile::remove(path));
        modTransformation::ReportUnreadable(modTransformation::Check());
        writeGrid(grids, validGrid().left(300));
        modTransformation::ReportUnreadable(modTransformation::Check());
        QCOMPARE(recorder.messages.size(), 3);
        QVERIFY(QFile::remove(path));
        modTransformation::Check();
    }

    // KAVRO writes the target's .prj beside each output and KavroDesk then
    // copies its own: the scripts KavroDesk runs name the very file it
    // copies, so the two are the same bytes.
    void scriptsWriteTheProjectionKavroDeskCopies() {
        const QRegularExpression target(
            QStringLiteral(
                "<TargetSystem>.*?<ProjectionFile>\\s*([^<\\s]+)\\s*</"
                "ProjectionFile>"),
            QRegularExpression::DotMatchesEverythingOption);
        for (const auto kind : {modTransformation::Kind::Helmert,
                                modTransformation::Kind::Grid}) {
            modTransformation::Transformation transformation;
            transformation.kind = kind;
            for (const QString &script : {transformation.gboScript(),
                                          transformation.gboShiftScript()}) {
                const QString text = QString::fromUtf8(readFile(
                    QStringLiteral(KAVRO_ENGINE_DIR "/script/") + script));
                QCOMPARE(target.match(text).captured(1),
                         transformation.projection());
            }
        }
    }

    // Types 2 and 3 run no engine, so whatever lies at the output path was
    // there before: the conversion failed.
    void otherTypesStartNoEngine_data() {
        QTest::addColumn<int>("shapeType");
        QTest::addColumn<bool>("outputThere");
        QTest::newRow("2") << 2 << false;
        QTest::newRow("3") << 3 << false;
        QTest::newRow("2, old output there") << 2 << true;
        QTest::newRow("3, old output there") << 3 << true;
    }
    void otherTypesStartNoEngine() {
        QFETCH(int, shapeType);
        QFETCH(bool, outputThere);
        const QString output = data_ + QStringLiteral("/out.shp");
        if (outputThere)
            for (const char *extension : {"shp", "shx", "dbf"})
                writeFile(data_ + "/out." + extension, "old");
        RecordingPresenter recorder;
        QVERIFY(!modKAVRO::ConvertShape(shapefile(QStringLiteral("a.shp")),
                                        output, shapeType));
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(recorder.messages[0].text, "Error creating File " + output);
        QCOMPARE(recorder.messages[0].caption, QStringLiteral("KavroDesk"));
        QCOMPARE(recorder.messages[0].icon, MessageIcon::None);
        QCOMPARE(boxcheckArguments().size(), 3);
        QCOMPARE(engineArguments(), QStringList());
        QVERIFY(!QFileInfo::exists(data_ + QStringLiteral("/out.prj")));
    }

    // Only files and the engine's own report line together make a
    // conversion; what a failed one wrote goes, what was there before stays.
    void incompleteOutputFails_data() {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QByteArray>("reported");
        const QByteArray converted = "converted to";
        QTest::newRow("no dbf") << QByteArray("shp shx cpg") << converted;
        QTest::newRow("no shx") << QByteArray("shp dbf") << converted;
        QTest::newRow("nothing") << QByteArray() << converted;
        QTest::newRow("all, but reported as failed")
            << QByteArray("shp shx dbf")
            << QByteArray("conversion failed! (x)");
    }
    void incompleteOutputFails() {
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, reported);
        setEngineWrites(written);
        setEngineReports(reported);
        writeFile(data_ + QStringLiteral("/out.cpg"), "older");
        const QString output = data_ + QStringLiteral("/out.shp");
        RecordingPresenter recorder;
        QVERIFY(!modKAVRO::ConvertShape(shapefile(QStringLiteral("a.shp")),
                                        output, 0));
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(recorder.messages[0].text, "Error creating File " + output);
        for (const char *extension : {"shp", "shx", "dbf", "prj"})
            QVERIFY(!QFileInfo::exists(data_ + "/out." + extension));
        QVERIFY(QFileInfo::exists(data_ + QStringLiteral("/out.cpg")));
    }

    // A GeoPackage and a point list run KAVRO with their own file type; the
    // output is whole with KAVRO's report and the file, and gets no .prj. A
    // refusal leaves nothing and says KAVRO's reason.
    void otherKindsRunTheirFileType_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("fileType");
        QTest::newRow("GeoPackage") << "gpkg"
                                    << "GPKG";
        QTest::newRow("point list") << "csv"
                                    << "CSV";
        QTest::newRow("upper case") << "CSV"
                                    << "CSV";
    }
    void otherKindsRunTheirFileType() {
        QFETCH(QString, extension);
        QFETCH(QString, fileType);
        const QString input = shapefile("in put." + extension);
        const QString output = data_ + "/out." + extension;
        setEngineWrites(extension.toLatin1());
        RecordingPresenter recorder;
        QString reason = QStringLiteral("not set");
        QVERIFY(modKAVRO::ConvertShape(input, output, 1, &reason));
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(
            engineArguments(),
            QStringList({"-FT", fileType, "-IF", input, "-OF", output, "-TS",
                         program_ + "/KAVRO/script/GBO-UTM32ETRS89-VLM.xml"}));
        QVERIFY(QFileInfo::exists(output));
        QVERIFY(!QFileInfo::exists(data_ + QStringLiteral("/out.prj")));

        QFile::remove(output);
        setEngineReports("conversion failed! (Layer roads says (a) "
                         "UTM)");
        QVERIFY(!modKAVRO::ConvertShape(input, output, 0, &reason));
        QCOMPARE(reason, QStringLiteral("Layer roads says (a) UTM"));
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(recorder.messages[0].text, "Error creating File " + output);
        QVERIFY(!QFileInfo::exists(output));
        QCOMPARE(tempEntries(), QStringList());
    }

    // KAVRO's reason is the one of the input's report line; without one,
    // the last line the batch printed.
    void failureReasonIsKavrosOwn_data() {
        QTest::addColumn<QByteArray>("console");
        QTest::addColumn<QString>("reason");
        const QByteArray banner = "boxcheck: ...\nThe Shapefile extent IS "
                                  "INSIDE the given box\nKAVRO 1.0\n";
        QTest::newRow("report line")
            << banner + "/d/a.csv conversion failed! (Malformed record 4 "
                        "(line 5))\n"
            << "Malformed record 4 (line 5)";
        QTest::newRow("CR LF, lines after")
            << banner + "/d/a.csv conversion failed! (why)\r\nbye\r\n"
            << "why";
        QTest::newRow("another file's line")
            << banner + "/d/b.csv conversion failed! (other)\nlast words\n\n"
            << "last words";
        QTest::newRow("refused script")
            << banner + "Error in transformation script. Execution "
                        "terminated\n"
            << "Error in transformation script. Execution terminated";
        QTest::newRow("not UTF-8")
            << QByteArray("/d/a.csv conversion failed! (caf\xe8)\n")
            << QString::fromUtf8("caf\xef\xbf\xbd");
        QTest::newRow("nothing") << QByteArray() << QString();
    }
    void failureReasonIsKavrosOwn() {
        QFETCH(QByteArray, console);
        QFETCH(QString, reason);
        QCOMPARE(modKAVRO::FailureReason(console, "/d/a.csv"), reason);
    }

    void missingBoxcheckIsReported() {
        QVERIFY(QFile::remove(program_ + QStringLiteral("/KAVRO/boxcheck")));
        RecordingPresenter recorder;
        QCOMPARE(modKAVRO::GetShapeType(shapefile(QStringLiteral("a.shp"))), 3);
        QCOMPARE(recorder.messages.size(), 1);
        QVERIFY2(recorder.messages[0].text.contains(
                     program_ + QStringLiteral("/KAVRO/boxcheck")),
                 qPrintable(recorder.messages[0].text));
        QCOMPARE(tempEntries(), QStringList());
    }
};

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KavroDesk"));
    tst_modKAVRO test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modKAVRO.moc"

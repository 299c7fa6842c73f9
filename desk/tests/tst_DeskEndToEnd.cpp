#include "DeskMessages.h"
#include "DeskTestSupport.h"
#include "DeskWindow.h"
#include "FolderTreeControl.h"
#include "GboGeoPackage.h"
#include "ItalianTestGrid.h"
#include "adoFileList.h"
#include "adoTaskList.h"
#include "clsUserSettings.h"
#include "frmToolbox.h"
#include "modKAVRO.h"
#include "modTransformation.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>
#include <vector>

#include <unistd.h>

// The whole desktop with the real boxcheck and KAVRO of the build's program
// folder: a folder is selected, Add All makes the tasks, the Toolbox sets the
// output, Start converts, and the results are compared with what the engine
// writes when it is run by hand. The national grid is looked for in a folder
// of the test's own (KAVRO_GRID_PATH, and XDG_DATA_HOME in the same place),
// where the grid tests put the synthetic stand-in of the real one.
namespace {
const QString kSamples = QStringLiteral(KAVRO_SOURCE_DIR "/data/samples");
const QString kEngineDir = QStringLiteral(KAVRO_ENGINE_DIR);
const QString kConverted = QStringLiteral("UTM WGS84-ETRS89");
const QString kCompleted = QStringLiteral("Program completed.");
const QString kGridText = QStringLiteral("national grid EPSG:9734, 0.1 m");
const QString kHelmertText = QStringLiteral("EPSG:1659, 4 m");
constexpr int kInfoColumn = 2;

// Copies a shipped sample shapefile with its companions into the folder.
bool copySample(const QString &name, const QString &folder) {
    for (const char *extension : {".shp", ".shx", ".dbf", ".cpg"})
        if (!QFile::copy(kSamples + "/" + name + extension,
                         folder + "/" + name + extension))
            return false;
    return true;
}

QString stem(const QString &shp) { return shp.left(shp.size() - 3); }
using DeskTest::readFile;
using DeskTest::writeGboGeoPackage;

// Points of the Gauss-Boaga West zone around Milan as an Italian spreadsheet
// exports them: ';' between fields, decimal commas, a quoted name.
const QByteArray kGboPointList = "Punto;Est;Nord;Quota;Nome\r\n"
                                 "1;1515000,125;5035000,5;120,3;\"Duomo\"\r\n"
                                 "2;1517250,75;5037125,25;118;\"Castello; "
                                 "torre\"\r\n"
                                 "3;1509980;5029990,875;;Navigli\r\n";

// A GeoPackage's bytes with the times KAVRO writes into gpkg_contents
// (last_change, the time of the run) blanked: two conversions of one file
// are the same but for those.
QByteArray withoutTimes(const QByteArray &bytes) {
    static const QRegularExpression time(
        QStringLiteral("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z"));
    return QString::fromLatin1(bytes)
        .replace(time, QStringLiteral("(time)"))
        .toLatin1();
}
} // namespace

class tst_DeskEndToEnd : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        for (const char *needed : {"/boxcheck", "/KAVRO", "/utm_etrs89.prj",
                                   "/script/GBO-UTM32ETRS89-VLM.xml",
                                   "/script/GBOSHIFT-UTM32ETRS89-VLM.xml"})
            if (!QFileInfo::exists(kEngineDir + QLatin1String(needed)))
                QSKIP(qPrintable(kEngineDir + QLatin1String(needed) +
                                 QStringLiteral(" is not built")));
        modKAVRO::SetProgramFolder(QStringLiteral(KAVRO_PROGRAM_DIR));
        savedTemp_ = qgetenv("TEMP");
    }
    void cleanupTestCase() {
        modKAVRO::SetProgramFolder(QString());
        qputenv("TEMP", savedTemp_);
    }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        clsUserSettings::setStoreFolder(
            dir_->filePath(QStringLiteral("store")));
        data_ = dir_->filePath(QStringLiteral("survey data"));
        out_ = dir_->filePath(QStringLiteral("out $put"));
        const QString temp = dir_->filePath(QStringLiteral("t emp"));
        for (const QString &folder : {data_, out_, temp})
            QVERIFY(QDir().mkpath(folder));
        qputenv("TEMP", QFile::encodeName(temp));
        grids_ = dir_->filePath(QStringLiteral("gr ids"));
        QVERIFY(QDir().mkpath(grids_));
        for (const char *name : {"KAVRO_GRID_PATH", "XDG_DATA_HOME"}) {
            gridGuards_.push_back(
                std::make_unique<DeskTest::EnvironmentGuard>(name));
            qputenv(name, QFile::encodeName(grids_));
        }
        if (modTransformation::Check().kind != modTransformation::Kind::Helmert)
            QSKIP("a national grid is installed where KAVRO looks for grids");
        // Gauss-Boaga lines and shortened-form polygons.
        QVERIFY(copySample(QStringLiteral("gbo_lines"), data_));
        QVERIFY(copySample(QStringLiteral("gboshift_polygons"), data_));
        recorder_ = std::make_unique<RecordingPresenter>();
        openWindow();
    }
    void cleanup() {
        window_.reset();
        gridGuards_.clear();
        recorder_.reset();
        clsUserSettings::setStoreFolder(QString());
        dir_.reset();
    }

    // Both kinds of input converted into the Toolbox's output folder with
    // its suffix, each output as the engine writes it by hand.
    void convertsBothKindsIntoTheOutputFolder() {
        setOutputInToolbox(out_, QStringLiteral("_E2E"));
        window_->mnuFileListAddAll()->trigger();
        QCOMPARE(window_->lvwTaskList()->topLevelItemCount(), 2);

        window_->cmdStart()->click();

        QCOMPARE(recorder_->texts(), QStringList{kCompleted});
        QVERIFY2(window_->lblTransformation()->text().contains(kHelmertText),
                 qPrintable(window_->lblTransformation()->text()));
        const struct {
            QString input, output, script;
        } expected[] = {
            {data_ + "/gbo_lines.shp", out_ + "/gbo_lines_E2E.shp",
             "GBO-UTM32ETRS89-VLM.xml"},
            {data_ + "/gboshift_polygons.shp",
             out_ + "/gboshift_polygons_E2E.shp",
             "GBOSHIFT-UTM32ETRS89-VLM.xml"},
        };
        const QString reference = dir_->filePath(QStringLiteral("reference"));
        QVERIFY(QDir().mkpath(reference));
        for (const auto &task : expected) {
            const QString byHand =
                reference + "/" + QFileInfo(task.output).fileName();
            runEngine(task.input, byHand, task.script);
            for (const char *extension : {"shp", "shx", "dbf"}) {
                const QByteArray written =
                    readFile(stem(task.output) + extension);
                QVERIFY2(!written.isEmpty(), qPrintable(task.output));
                QCOMPARE(written, readFile(stem(byHand) + extension));
            }
            QCOMPARE(readFile(stem(task.output) + "dbf"),
                     readFile(stem(task.input) + "dbf"));
            QCOMPARE(readFile(stem(task.output) + "prj"),
                     readFile(kEngineDir + "/utm_etrs89.prj"));
        }
        QTreeWidget *rows = window_->lvwTaskList();
        for (int row = 0; row < rows->topLevelItemCount(); ++row)
            QCOMPARE(rows->topLevelItem(row)->text(kInfoColumn), kConverted);
        adoTaskList &tasks = *window_->objects().taskList;
        for (int id : {1, 2}) {
            QVERIFY(tasks.MoveTo(id));
            QCOMPARE(tasks.ShapeType(), int(ShapeUTM));
        }
        // The listed folder is not the output folder: its list is the same.
        QCOMPARE(window_->lvwFileList()->topLevelItemCount(), 2);

        // Start again: the outputs exist now, so nothing runs.
        const QByteArray firstOutput = readFile(out_ + "/gbo_lines_E2E.shp");
        recorder_->messages.clear();
        window_->cmdStart()->click();
        QCOMPARE(recorder_->texts(),
                 QStringList{QStringLiteral(
                     "Errors were found. - Program couldn't be started.")});
        for (int row = 0; row < rows->topLevelItemCount(); ++row)
            QCOMPARE(rows->topLevelItem(row)->text(kInfoColumn),
                     QStringLiteral("Output-SHP already exists"));
        QCOMPARE(readFile(out_ + "/gbo_lines_E2E.shp"), firstOutput);
    }

    // Outputs beside their inputs: the refreshed file list shows them, as
    // UTM data.
    void fileListShowsOutputsInTheListedFolder() {
        setOutputInToolbox(QString(), QStringLiteral("_UTM"));
        window_->mnuFileListAddAll()->trigger();
        window_->cmdStart()->click();
        QCOMPARE(recorder_->texts(), QStringList{kCompleted});

        QStringList names;
        QTreeWidget *files = window_->lvwFileList();
        for (int row = 0; row < files->topLevelItemCount(); ++row)
            names.append(files->topLevelItem(row)->text(0));
        names.sort();
        QCOMPARE(names, (QStringList{"gbo_lines.shp", "gbo_lines_UTM.shp",
                                     "gboshift_polygons.shp",
                                     "gboshift_polygons_UTM.shp"}));
        adoFileList &store = *window_->objects().fileList;
        RecordSet &records = store.Recordset();
        for (records.moveFirst(); !records.atEnd(); records.moveNext())
            if (store.FileName().contains(QLatin1String("_UTM")))
                QCOMPARE(store.ShapeType(), int(ShapeUTM));
    }

    // The whole run with the keyboard alone, as a user without a mouse
    // makes it: the folder in the tree (Right opens its parent, typing its
    // name goes to it), Tab to the file list, the menu key and Add All by
    // its mnemonic, Ctrl+Enter for Start.
    void keyboardAloneRunsFromTheFolderToTheEnd() {
        FolderTreeControl *tree = window_->ctlFolderTree();
        QTreeWidget *files = window_->lvwFileList();
        tree->SelectFolder(dir_->path());
        QCOMPARE(files->topLevelItemCount(), 0);
        tree->setFocus();
        // The parent stands open from the first selection: Left closes it,
        // Right opens it with all its folders.
        QTest::keyClick(tree, Qt::Key_Left);
        QTest::keyClick(tree, Qt::Key_Right);
        QCOMPARE(tree->SelectedFolder().path, dir_->path());
        QTRY_VERIFY(tree->model()->rowCount(tree->currentIndex()) >= 4);
        QTest::keyClicks(tree, QStringLiteral("survey"));
        QCOMPARE(tree->SelectedFolder().path, data_);
        QCOMPARE(files->topLevelItemCount(), 2);

        QTest::keyClick(tree, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), files);
        QTest::keyClick(files, Qt::Key_Menu);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QCOMPARE(menu, window_->mnuFileList());
        QTest::keyClick(menu, Qt::Key_L); // Add A&ll
        QCOMPARE(window_->lvwTaskList()->topLevelItemCount(), 2);

        // A button's key presses it as a click would, shown briefly.
        QTest::keyClick(files, Qt::Key_Return, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(recorder_->texts(), QStringList{kCompleted},
                                  60000);
        for (const char *name : {"/gbo_lines_UTM.", "/gboshift_polygons_UTM."})
            for (const char *extension : {"shp", "shx", "dbf", "prj"})
                QVERIFY(QFileInfo::exists(data_ + name + extension));
    }

    // A conversion that cannot write its output is reported with its path;
    // the run goes on with the next task and completes.
    void failedConversionDoesNotStopTheRun() {
        const QString blocked = dir_->filePath(QStringLiteral("blocked"));
        QVERIFY(QDir().mkpath(blocked));
        setOutputInToolbox(blocked, QStringLiteral("_UTM"));
        window_->mnuFileListAddAll()->trigger();
        adoTaskList &tasks = *window_->objects().taskList;
        QVERIFY(tasks.MoveTo(1));
        const QString failed = tasks.OutputFile();
        const int failedType = tasks.ShapeType();
        QCOMPARE(QFileInfo(failed).path(), blocked);
        // The second task writes elsewhere and must still be converted.
        QVERIFY(tasks.MoveTo(2));
        const QString second = out_ + "/second.shp";
        QVERIFY(tasks.Update(2, tasks.InputFile(), second, QString(),
                             tasks.ShapeType()));
        const bool root = ::geteuid() == 0;
        if (root) // permissions do not stop root, a folder in the way does
            QVERIFY(QDir().mkpath(failed));
        else
            QVERIFY(QFile::setPermissions(blocked,
                                          QFile::ReadOwner | QFile::ExeOwner));

        window_->cmdStart()->click();
        QFile::setPermissions(blocked, QFile::ReadOwner | QFile::WriteOwner |
                                           QFile::ExeOwner);

        QCOMPARE(recorder_->texts(),
                 (QStringList{"Error creating File " + failed, kCompleted}));
        QVERIFY(tasks.MoveTo(1));
        QCOMPARE(tasks.Comment(), QString());
        QCOMPARE(tasks.ShapeType(), failedType);
        QVERIFY(tasks.MoveTo(2));
        QCOMPARE(tasks.Comment(), kConverted);
        for (const char *extension : {"shp", "shx", "dbf", "prj"})
            QVERIFY(QFileInfo::exists(stem(second) + extension));
        // The failed task's row says why, in KAVRO's words; its record is
        // unchanged.
        QTreeWidget *rows = window_->lvwTaskList();
        const QString reason = rows->topLevelItem(0)->text(kInfoColumn);
        QVERIFY2(reason.contains(root ? "output" : "Unable to create"),
                 qPrintable(reason));
        QVERIFY(rows->topLevelItem(0)->font(kInfoColumn).bold());
        QCOMPARE(rows->topLevelItem(1)->text(kInfoColumn), kConverted);
    }

    // With the grid on the search path both kinds go through it, each
    // output as the grid script writes it by hand, with the RDN2008 .prj;
    // the status bar and the Toolbox say so before Start.
    void usesTheNationalGridWhenItIsInstalled() {
        DeskTest::writeFile(
            grids_ + "/" + modTransformation::kNationalGrid,
            QByteArray::fromStdString(kavrotest::italianTestGrid()));
        setOutputInToolbox(out_, QStringLiteral("_E2E"));
        QVERIFY(toolboxText_.contains(kGridText));
        QVERIFY(toolboxText_.contains(grids_ + "/" +
                                      modTransformation::kNationalGrid));
        QVERIFY(window_->lblTransformation()->text().contains(kGridText));
        window_->mnuFileListAddAll()->trigger();
        window_->cmdStart()->click();
        QCOMPARE(recorder_->texts(), QStringList{kCompleted});

        const QString reference = dir_->filePath(QStringLiteral("reference"));
        QVERIFY(QDir().mkpath(reference));
        for (const QString name : {"gbo_lines", "gboshift_polygons"}) {
            const QString output = out_ + "/" + name + "_E2E.shp";
            const QString grid = reference + "/grid.shp";
            const QString helmert = reference + "/helmert.shp";
            const bool shift = name.startsWith("gboshift");
            runEngine(data_ + "/" + name + ".shp", grid,
                      shift ? "GBOSHIFT-UTM32RDN2008-GRID-VLM.xml"
                            : "GBO-UTM32RDN2008-GRID-VLM.xml");
            runEngine(data_ + "/" + name + ".shp", helmert,
                      shift ? "GBOSHIFT-UTM32ETRS89-VLM.xml"
                            : "GBO-UTM32ETRS89-VLM.xml");
            for (const char *extension : {"shp", "shx"}) {
                const QByteArray written = readFile(stem(output) + extension);
                QVERIFY2(!written.isEmpty(), qPrintable(output));
                QCOMPARE(written, readFile(stem(grid) + extension));
            }
            // The grid moves the samples by metres against EPSG:1659.
            QVERIFY(readFile(output) != readFile(helmert));
            QCOMPARE(readFile(stem(output) + "prj"),
                     readFile(kEngineDir + "/utm32_rdn2008.prj"));
            for (const char *extension : {"shp", "shx", "dbf", "cpg"}) {
                QFile::remove(stem(grid) + extension);
                QFile::remove(stem(helmert) + extension);
            }
        }
        QCOMPARE(window_->lvwTaskList()->topLevelItem(0)->text(kInfoColumn),
                 kConverted);
    }

    // A grid that is there but cannot be read is said once when KavroDesk
    // starts, and every Start is refused with that reason, converting
    // nothing, until the file is removed; then EPSG:1659 converts again.
    void unreadableGridRefusesConversions() {
        const QString path = grids_ + "/" + modTransformation::kNationalGrid;
        DeskTest::writeFile(path,
                            QByteArray::fromStdString(
                                kavrotest::italianTestGrid().substr(0, 500)));
        openWindow();
        QTRY_COMPARE(recorder_->messages.size(), 1);
        const QString said = recorder_->messages[0].text;
        QVERIFY2(said.contains(path) && said.contains("ends early"),
                 qPrintable(said));
        QVERIFY(window_->lblTransformation()->text().contains(
            "national grid unreadable, conversions refused"));
        setOutputInToolbox(out_, QStringLiteral("_E2E")); // says nothing more
        QCOMPARE(recorder_->messages.size(), 1);
        window_->mnuFileListAddAll()->trigger();
        window_->cmdStart()->click();
        QCOMPARE(recorder_->texts(), (QStringList{said, said}));
        QCOMPARE(QDir(out_).entryList(QDir::Files), QStringList());
        QTreeWidget *rows = window_->lvwTaskList();
        for (int row = 0; row < rows->topLevelItemCount(); ++row)
            QCOMPARE(rows->topLevelItem(row)->text(kInfoColumn), QString());

        QVERIFY(QFile::remove(path));
        recorder_->messages.clear();
        window_->cmdStart()->click();
        QCOMPARE(recorder_->texts(), QStringList{kCompleted});
        QVERIFY(window_->lblTransformation()->text().contains(kHelmertText));
        QCOMPARE(readFile(out_ + "/gbo_lines_E2E.prj"),
                 readFile(kEngineDir + "/utm_etrs89.prj"));
    }

    // A folder of mixed kinds: each listed with its kind and category,
    // Add All takes the Gauss-Boaga ones, Start converts each with the file
    // type of its kind into the output folder, and every output is what
    // KAVRO writes by hand; nothing else is written.
    void convertsAFolderOfMixedKinds() {
        const QString mixed = dir_->filePath(QStringLiteral("mixed"));
        QVERIFY(QDir().mkpath(mixed));
        QVERIFY(copySample(QStringLiteral("gbo_points"), mixed));
        DeskTest::writeFile(mixed + "/punti.csv", kGboPointList);
        DeskTest::writeFile(mixed + "/note.txt", "not listed");
        QVERIFY(writeGboGeoPackage(mixed + "/rilievo.gpkg",
                                   kEngineDir + "/gbo_west.wkt"));
        // Its conversion by hand is in UTM, and listed so.
        runEngine(mixed + "/rilievo.gpkg", mixed + "/rilievo_utm.gpkg",
                  "GBO-UTM32ETRS89-VLM.xml", "GPKG");
        setOutputInToolbox(out_, QStringLiteral("_E2E"));
        selectFolder(mixed, 4);
        const struct {
            QString name, type;
            int shapeType;
        } listed[] = {
            {"gbo_points.shp", QString(), ShapeGBO},
            {"punti.csv", "Point list (CSV)", ShapeGBO},
            {"rilievo.gpkg", "GeoPackage", ShapeGBO},
            {"rilievo_utm.gpkg", "GeoPackage", ShapeUTM},
        };
        adoFileList &files = *window_->objects().fileList;
        QTreeWidget *rows = window_->lvwFileList();
        for (int id = 1; id <= 4; ++id) {
            const auto &file = listed[id - 1];
            QVERIFY(files.MoveTo(id));
            QCOMPARE(files.FileName(), file.name);
            QCOMPARE(files.ShapeType(), file.shapeType);
            if (!file.type.isEmpty())
                QCOMPARE(rows->topLevelItem(id - 1)->text(2), file.type);
        }
        window_->mnuFileListAddAll()->trigger();
        QCOMPARE(window_->lvwTaskList()->topLevelItemCount(), 3);

        window_->cmdStart()->click();

        QCOMPARE(recorder_->texts(), QStringList{kCompleted});
        const QString reference = dir_->filePath(QStringLiteral("reference"));
        QVERIFY(QDir().mkpath(reference));
        runEngine(mixed + "/gbo_points.shp", reference + "/gbo_points_E2E.shp",
                  "GBO-UTM32ETRS89-VLM.xml");
        runEngine(mixed + "/punti.csv", reference + "/punti_E2E.csv",
                  "GBO-UTM32ETRS89-VLM.xml", "CSV");
        runEngine(mixed + "/rilievo.gpkg", reference + "/rilievo_E2E.gpkg",
                  "GBO-UTM32ETRS89-VLM.xml", "GPKG");
        QStringList written = QDir(out_).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        written.sort();
        QCOMPARE(written,
                 (QStringList{"gbo_points_E2E.cpg", "gbo_points_E2E.dbf",
                              "gbo_points_E2E.prj", "gbo_points_E2E.shp",
                              "gbo_points_E2E.shx", "punti_E2E.csv",
                              "rilievo_E2E.gpkg"}));
        for (const QString &name : written) {
            const QByteArray output = readFile(out_ + "/" + name);
            QVERIFY2(!output.isEmpty(), qPrintable(name));
            QCOMPARE(withoutTimes(output),
                     withoutTimes(readFile(reference + "/" + name)));
        }
        for (int row = 0; row < 3; ++row)
            QCOMPARE(
                window_->lvwTaskList()->topLevelItem(row)->text(kInfoColumn),
                kConverted);
    }

    // A shapefile whose .prj says UTM while its coordinates are Gauss-Boaga
    // is listed by its coordinates and refused by KAVRO at Start: the
    // message box says that the file was not created, the task's row says
    // why in KAVRO's words, and nothing is left behind.
    void contradictingProjectionFileFailsWithTheReason() {
        const QString folder = dir_->filePath(QStringLiteral("prj"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(copySample(QStringLiteral("gbo_lines"), folder));
        QVERIFY(QFile::copy(kEngineDir + "/utm_etrs89.prj",
                            folder + "/gbo_lines.prj"));
        setOutputInToolbox(out_, QStringLiteral("_UTM"));
        selectFolder(folder, 1);
        QVERIFY(window_->objects().fileList->MoveTo(1));
        QCOMPARE(window_->objects().fileList->ShapeType(), int(ShapeGBO));
        window_->mnuFileListAddAll()->trigger();

        window_->cmdStart()->click();

        QCOMPARE(
            recorder_->texts(),
            (QStringList{"Error creating File " + out_ + "/gbo_lines_UTM.shp",
                         kCompleted}));
        QTreeWidgetItem *row = window_->lvwTaskList()->topLevelItem(0);
        const QString info = row->text(kInfoColumn);
        QVERIFY2(info.contains("its .prj says ETRS 1989 UTM Zone 32N") &&
                     info.contains("the script converts from"),
                 qPrintable(info));
        QVERIFY(row->font(kInfoColumn).bold());
        QCOMPARE(QDir(out_).entryList(QDir::AllEntries | QDir::Hidden |
                                      QDir::NoDotAndDotDot),
                 QStringList());
        adoTaskList &tasks = *window_->objects().taskList;
        QVERIFY(tasks.MoveTo(1));
        QCOMPARE(tasks.ShapeType(), int(ShapeGBO));
    }

    // Tasks run one at a time and several at once give the same outputs,
    // rows and messages: a task in the middle that KAVRO refuses fails alone
    // with its reason in its row, the others are converted byte for byte
    // alike, and no batch file is left; a refused Start starts none.
    void severalTasksAtOnceGiveTheSameRun() {
        const QString folder = dir_->filePath(QStringLiteral("many"));
        QVERIFY(QDir().mkpath(folder));
        const QStringList samples = {"gbo_lines", "gboshift_polygons",
                                     "gbo_points"};
        for (int k = 0; k < 7; ++k) {
            const QString name = QStringLiteral("f%1").arg(k);
            for (const char *extension : {".shp", ".shx", ".dbf", ".cpg"})
                QVERIFY(QFile::copy(kSamples + "/" + samples[k % 3] + extension,
                                    folder + "/" + name + extension));
        }
        // KAVRO refuses a file whose .prj names another system.
        QVERIFY(
            QFile::copy(kEngineDir + "/utm_etrs89.prj", folder + "/f3.prj"));
        DeskTest::EnvironmentGuard tasksAtOnce("KAVRODESK_TASKS");
        const QString temp = QFile::decodeName(qgetenv("TEMP"));
        struct Run {
            QStringList messages, rows;
            QMap<QString, QByteArray> outputs;
        };
        const auto run = [&](const QString &out) {
            Run result;
            setOutputInToolbox(out, QStringLiteral("_UTM"));
            selectFolder(folder, 7);
            window_->objects().taskList->DeleteAll();
            window_->lvwTaskList()->clear();
            window_->mnuFileListAddAll()->trigger();
            recorder_->messages.clear();
            window_->cmdStart()->click();
            result.messages = recorder_->texts();
            for (QString &message : result.messages)
                message.replace(out, QStringLiteral("(out)"));
            QTreeWidget *rows = window_->lvwTaskList();
            for (int row = 0; row < rows->topLevelItemCount(); ++row)
                result.rows << rows->topLevelItem(row)->text(kInfoColumn);
            for (const QString &name : QDir(out).entryList(QDir::Files))
                result.outputs[name] = readFile(out + "/" + name);
            return result;
        };
        QMap<QString, Run> runs;
        for (const char *tasks : {"1", "3"}) {
            qputenv("KAVRODESK_TASKS", tasks);
            const QString out =
                dir_->filePath(QStringLiteral("out%1").arg(tasks));
            QVERIFY(QDir().mkpath(out));
            // An output there already: nothing starts.
            DeskTest::writeFile(out + "/f5_UTM.shp", "there");
            const Run refused = run(out);
            QCOMPARE(refused.messages,
                     QStringList{QStringLiteral(
                         "Errors were found. - Program couldn't be started.")});
            QCOMPARE(refused.outputs.keys(), QStringList{"f5_UTM.shp"});
            QVERIFY(QFile::remove(out + "/f5_UTM.shp"));

            runs[tasks] = run(out);
            QCOMPARE(QDir(temp).entryList(QDir::Files), QStringList());
        }
        const Run &one = runs["1"], &three = runs["3"];
        QCOMPARE(
            one.messages,
            (QStringList{"Error creating File (out)/f3_UTM.shp", kCompleted}));
        QCOMPARE(one.rows.size(), 7);
        for (int row = 0; row < 7; ++row)
            if (row != 3)
                QCOMPARE(one.rows[row], kConverted);
        QVERIFY2(one.rows[3].contains("its .prj says"),
                 qPrintable(one.rows[3]));
        QCOMPARE(one.outputs.size(), 6 * 5); // .shp .shx .dbf .cpg .prj
        QVERIFY(!one.outputs.contains("f3_UTM.shp"));
        QCOMPARE(three.messages, one.messages);
        QCOMPARE(three.rows, one.rows);
        QCOMPARE(three.outputs.keys(), one.outputs.keys());
        for (auto it = one.outputs.cbegin(); it != one.outputs.cend(); ++it)
            QVERIFY2(three.outputs[it.key()] == it.value(),
                     qPrintable(it.key()));
    }

    // A folder of mixed files listed in one slot and in several gives the
    // same rows in the same order: kinds, categories and the reasons of the
    // unknown ones, a path that no batch line can hold among them; no
    // message, the same status line, no batch or answer file left.
    void listingInSeveralSlotsGivesTheSameList() {
        const QString folder = dir_->filePath(QStringLiteral("slots"));
        QVERIFY(QDir().mkpath(folder));
        const QStringList samples = {"gbo_lines", "gboshift_polygons",
                                     "gbo_points"};
        for (int k = 0; k < 9; ++k)
            for (const char *extension : {".shp", ".shx", ".dbf", ".cpg"})
                QVERIFY(QFile::copy(kSamples + "/" + samples[k % 3] + extension,
                                    folder + QStringLiteral("/s%1").arg(k) +
                                        extension));
        QVERIFY(
            QFile::copy(kSamples + "/gbo_points.shp", folder + "/quo\"te.shp"));
        DeskTest::writeFile(folder + "/punti.csv", kGboPointList);
        DeskTest::writeFile(folder + "/parole.csv", "a;b\r\nx;y\r\n");
        DeskTest::writeFile(folder + "/rotto.gpkg", "SQLite format 3");
        QVERIFY(writeGboGeoPackage(folder + "/rilievo.gpkg",
                                   kEngineDir + "/gbo_west.wkt"));
        runEngine(folder + "/rilievo.gpkg", folder + "/rilievo_utm.gpkg",
                  "GBO-UTM32ETRS89-VLM.xml", "GPKG");
        DeskTest::EnvironmentGuard tasksAtOnce("KAVRODESK_TASKS");
        const QString temp = QFile::decodeName(qgetenv("TEMP"));
        const auto list = [&](const char *tasks) {
            qputenv("KAVRODESK_TASKS", tasks);
            window_->ctlFolderTree()->SelectFolder(data_);
            selectFolder(folder, 15);
            adoFileList &files = *window_->objects().fileList;
            QStringList rows;
            for (int id = 1; files.MoveTo(id); ++id)
                rows << QStringLiteral("%1 | %2 | %3 | %4")
                            .arg(files.FileName(), files.FileType(),
                                 QString::number(files.ShapeType()),
                                 files.Note());
            rows << window_->staStatusBar()->currentMessage();
            rows << recorder_->texts();
            rows << QDir(temp).entryList(QDir::Files);
            return rows;
        };
        const QStringList one = list("1"), several = list("4");
        QCOMPARE(several, one);
        // What the one slot found, so that equal lists are right ones too.
        QCOMPARE(one.size(), 16); // the rows and the status line
        for (const char *row :
             {"punti.csv | Point list (CSV) | 1", "quo\"te.shp | ",
              "rilievo.gpkg | GeoPackage | 1 | ",
              "rilievo_utm.gpkg | GeoPackage | 2 | ", "s0.shp", "s1.shp",
              "s8.shp"})
            QVERIFY2(one.filter(QLatin1String(row)).size() == 1, row);
        QCOMPARE(one.filter(QRegularExpression(" \\| 3 \\| .+")).size(), 3);
        QVERIFY(one.last().contains(QLatin1String("quo\"te.shp")));
    }

  private:
    // Selects the folder in the tree, which lists it when it has loaded.
    void selectFolder(const QString &folder, int rows) {
        window_->ctlFolderTree()->SelectFolder(folder);
        adoFileList &files = *window_->objects().fileList;
        QTRY_VERIFY(files.MoveTo(1) && files.FilePath().startsWith(folder));
        QCOMPARE(window_->lvwFileList()->topLevelItemCount(), rows);
    }

    // A new main window on the data folder; the old one, if any, closed.
    void openWindow() {
        window_.reset();
        window_ = std::make_unique<DeskWindow>();
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        window_->ctlFolderTree()->SelectFolder(data_);
        QCOMPARE(window_->lvwFileList()->topLevelItemCount(), 2);
    }

    void setOutputInToolbox(const QString &folder, const QString &suffix) {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto *toolbox =
                qobject_cast<frmToolbox *>(QApplication::activeModalWidget());
            if (!toolbox)
                return;
            shown = true;
            toolboxText_ = toolbox->lblTransformation()->text();
            toolbox->txtOutputFolder()->setText(folder);
            toolbox->txtOutputSuffix()->setText(suffix);
            toolbox->cmdOK()->click();
        });
        window_->cmdToolbox()->click();
        QVERIFY(shown);
        QCOMPARE(window_->objects().userSettings->OutputFolder(), folder);
        QCOMPARE(window_->objects().userSettings->OutputSuffix(), suffix);
    }

    void runEngine(const QString &input, const QString &output,
                   const QString &script,
                   const QString &fileType = QStringLiteral("SHP")) {
        QProcess engine;
        engine.start(kEngineDir + "/KAVRO",
                     {"-FT", fileType, "-IF", input, "-OF", output, "-TS",
                      kEngineDir + "/script/" + script});
        QVERIFY(engine.waitForFinished(30000));
        QVERIFY2(engine.readAllStandardOutput().contains(" converted to "),
                 qPrintable(input));
    }

    std::unique_ptr<QTemporaryDir> dir_;
    QString data_, out_, grids_, toolboxText_;
    QByteArray savedTemp_;
    std::vector<std::unique_ptr<DeskTest::EnvironmentGuard>> gridGuards_;
    std::unique_ptr<RecordingPresenter> recorder_;
    std::unique_ptr<DeskWindow> window_;
};

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    tst_DeskEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_DeskEndToEnd.moc"

#include "DeskMessages.h"
#include "DeskWindow.h"
#include "adoTaskList.h"
#include "clsCommandStart.h"
#include "clsControlTaskList.h"
#include "clsUserSettings.h"
#include "frmCommandStart.h"
#include "modKAVRO.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

// The Start command and the run-progress window, with a stand-in for the
// conversion so that the checks and the run's bookkeeping are seen alone.
namespace {
const QString kRefused =
    QStringLiteral("Errors were found. - Program couldn't be started.");
const QString kCompleted = QStringLiteral("Program completed.");
constexpr int kInfoColumn = 2;

void touch(const QString &path) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

QStringList listing(const QString &folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs |
                                  QDir::NoDotAndDotDot);
}

// One call of the stand-in conversion, with what the window showed then.
struct Call {
    QString input, output;
    int shapeType;
    QString title, label;
    int value, maximum;
    bool windowStillOpen;
};
} // namespace

class tst_frmCommandStart : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        clsUserSettings::setStoreFolder(
            dir_->filePath(QStringLiteral("store")));
        in_ = dir_->filePath(QStringLiteral("in"));
        out_ = dir_->filePath(QStringLiteral("out put"));
        QVERIFY(QDir().mkpath(in_) && QDir().mkpath(out_));
        recorder_ = std::make_unique<RecordingPresenter>();
        window_ = std::make_unique<DeskWindow>();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        calls_.clear();
        failAt_ = -1;
        window_->objects().commandStart->setConverter(
            [this](const NativePath &input, const NativePath &output,
                   int type) {
                return convert(input.text(), output.text(), type);
            });
    }
    void cleanup() {
        window_.reset();
        recorder_.reset();
        clsUserSettings::setStoreFolder(QString());
        dir_.reset();
    }

    // With no tasks, Start asks for some and opens no progress window.
    void emptyTaskListOpensNoWindow() {
        bool modalSeen = false;
        QTimer::singleShot(0, [&] {
            modalSeen = QApplication::activeModalWidget() != nullptr;
        });
        window_->cmdStart()->click();
        QCoreApplication::processEvents();
        QCOMPARE(recorder_->texts(),
                 QStringList{QStringLiteral(
                     "Click with right Mouse Button on File List "
                     "and add Data")});
        QVERIFY(!modalSeen);
        QVERIFY(calls_.isEmpty());
    }

    // The check results, in their order: a failing task shows its Info
    // text, the good task beside it is checked too (its Info cleared), and
    // nothing runs or is written.
    void refusedRunsWriteNothing_data() {
        QTest::addColumn<QString>("output"); // "@" stands for the out folder
        QTest::addColumn<int>("shapeType");
        // Files made beforehand; "@name" is a link to the out folder.
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("info");
        QTest::addColumn<bool>("bold");
        const QString folder =
            QStringLiteral("Output-Directory does not exist");
        const QString exists = QStringLiteral("Output-SHP already exists");
        const QString extension = QStringLiteral("Error File-Extension");
        const QString index =
            QStringLiteral("Output-Files .sbn/.sbx already exist");
        QTest::newRow("missing folder")
            << "@/missing/a.shp" << 1 << QStringList{} << folder << true;
        QTest::newRow("no folder part")
            << "a.shp" << 1 << QStringList{} << folder << true;
        QTest::newRow("existing output")
            << "@/a.shp" << 1 << QStringList{"a.shp"} << exists << true;
        QTest::newRow("upper-case output, lower-case file exists")
            << "@/a.SHP" << 1 << QStringList{"a.shp"} << exists << true;
        QTest::newRow("existing output before extension")
            << "@/a.txt" << 1 << QStringList{"a.txt"} << exists << true;
        QTest::newRow("bak after shp")
            << "@/a.shp.bak" << 1 << QStringList{} << extension << true;
        QTest::newRow("no extension")
            << "@/a" << 1 << QStringList{} << extension << true;
        QTest::newRow("sbx beside")
            << "@/a.shp" << 0 << QStringList{"a.sbx"} << index << true;
        QTest::newRow("sbn beside")
            << "@/a.Shp" << 0 << QStringList{"a.sbn"} << index << true;
        QTest::newRow("already converted")
            << "@/a.shp" << 2 << QStringList{} << "UTM WGS84-ETRS89" << false;
        QTest::newRow("same output as the first task")
            << "@/good.shp" << 1 << QStringList{} << exists << true;
        QTest::newRow("first task's output in upper case")
            << "@/good.SHP" << 1 << QStringList{} << exists << true;
        QTest::newRow("first task's output through a linked folder")
            << "@/again/good.shp" << 1 << QStringList{"@again"} << exists
            << true;
    }
    void refusedRunsWriteNothing() {
        QFETCH(QString, output);
        QFETCH(int, shapeType);
        QFETCH(QStringList, present);
        QFETCH(QString, info);
        QFETCH(bool, bold);
        output.replace(QLatin1Char('@'), out_);
        for (const QString &name : present)
            if (name.startsWith(u'@'))
                QVERIFY(QFile::link(out_, out_ + u'/' + name.mid(1)));
            else
                touch(out_ + QLatin1Char('/') + name);
        addTask(in_ + QStringLiteral("/good.shp"), out_ + "/good.shp", 1);
        addTask(in_ + QStringLiteral("/bad.shp"), output, shapeType);
        taskView().UpdateComment(1, ErrorOutputExists); // an old result
        const QStringList before = listing(out_);

        window_->cmdStart()->click();

        QCOMPARE(recorder_->texts(), QStringList{kRefused});
        QVERIFY(calls_.isEmpty());
        QCOMPARE(listing(out_), before);
        QTreeWidget *rows = window_->lvwTaskList();
        QCOMPARE(rows->topLevelItemCount(), 2);
        QCOMPARE(rows->topLevelItem(0)->text(kInfoColumn), QString());
        QCOMPARE(rows->topLevelItem(1)->text(kInfoColumn), info);
        QCOMPARE(rows->topLevelItem(1)->font(kInfoColumn).bold(), bold);
        // The store keeps every task as it was.
        adoTaskList &tasks = *window_->objects().taskList;
        QVERIFY(tasks.MoveTo(2));
        QCOMPARE(tasks.Comment(), QString());
        QCOMPARE(tasks.ShapeType(), shapeType);
    }

    // Output folders and extensions the checks accept.
    void acceptedOutputs_data() {
        QTest::addColumn<QString>("output");
        QTest::newRow("upper case") << "@/A.SHP";
        QTest::newRow("mixed case") << "@/a.sHp";
        QTest::newRow("dot in folder") << "@/v1.2/a.shp";
        QTest::newRow("relative parts") << "@/../out put/b.shp";
    }
    void acceptedOutputs() {
        QFETCH(QString, output);
        QVERIFY(QDir().mkpath(out_ + QStringLiteral("/v1.2")));
        output.replace(QLatin1Char('@'), out_);
        QCOMPARE(frmCommandStart::CheckTask(output, 0), ErrorNone);
        QCOMPARE(frmCommandStart::CheckTask(output, 1), ErrorNone);
        QCOMPARE(frmCommandStart::CheckTask(output, 3), ErrorNone);
    }

    // The checks follow the kind of the task's input: the output of a
    // GeoPackage or a point list keeps its extension, exists only as itself
    // and has no spatial index.
    void checksFollowTheInputsKind_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output"); // in the out folder
        QTest::addColumn<QString>("present");
        QTest::addColumn<int>("shapeType");
        QTest::addColumn<QString>("info");
        const QString extension = QStringLiteral("Error File-Extension");
        const QString exists = QStringLiteral("Output-File already exists");
        QTest::newRow("GeoPackage") << "a.gpkg"
                                    << "a_UTM.gpkg"
                                    << "" << 1 << "";
        QTest::newRow("upper case") << "a.GPKG"
                                    << "a_UTM.Gpkg"
                                    << "a_UTM.sbn" << 0 << "";
        QTest::newRow("GeoPackage as .shp") << "a.gpkg"
                                            << "a_UTM.shp"
                                            << "" << 1 << extension;
        QTest::newRow("GeoPackage there") << "a.gpkg"
                                          << "a_UTM.gpkg"
                                          << "a_UTM.gpkg" << 1 << exists;
        QTest::newRow("point list beside a shapefile") << "p.csv"
                                                       << "p.csv"
                                                       << "p.shp" << 1 << "";
        QTest::newRow("point list as .txt") << "p.csv"
                                            << "p.txt"
                                            << "" << 1 << extension;
        QTest::newRow("point list there") << "p.csv"
                                          << "P.csv"
                                          << "P.csv" << 1 << exists;
        QTest::newRow("point list in UTM") << "p.csv"
                                           << "q.csv"
                                           << "" << 2 << "UTM WGS84-ETRS89";
        QTest::newRow("shapefile as .gpkg") << "a.shp"
                                            << "a.gpkg"
                                            << "" << 1 << extension;
        QTest::newRow("shapefile there")
            << "a.shp"
            << "a.shp"
            << "a.shp" << 1 << "Output-SHP already exists";
    }
    void checksFollowTheInputsKind() {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QString, present);
        QFETCH(int, shapeType);
        QFETCH(QString, info);
        if (!present.isEmpty())
            touch(out_ + u'/' + present);
        const enumErrorType result = frmCommandStart::CheckTask(
            out_ + u'/' + output, shapeType, in_ + u'/' + input);
        QCOMPARE(clsControlTaskList::infoText(result, FileKindOf(input)), info);
    }

    // A run converts every task once, in order, showing the files and k of
    // n; a converted task is marked in the store and its row; a failed one
    // keeps its record and the run goes on; the window cannot be closed
    // while it runs and is gone afterwards.
    void runConvertsAndMarksEachTask() {
        addTask(in_ + "/a.shp", out_ + "/a_UTM.shp", 1);
        addTask(in_ + "/b.shp", out_ + "/b_UTM.shp", 0);
        addTask(in_ + "/c.shp", out_ + "/c_UTM.shp", 1);
        failAt_ = 1;

        window_->cmdStart()->click();

        QCOMPARE(recorder_->texts(), QStringList{kCompleted});
        QCOMPARE(calls_.size(), 3);
        const QStringList names = {"a", "b", "c"};
        for (int k = 0; k < 3; ++k) {
            const Call &call = calls_[k];
            const QString input = in_ + "/" + names[k] + ".shp";
            const QString output = out_ + "/" + names[k] + "_UTM.shp";
            QCOMPARE(call.input, input);
            QCOMPARE(call.output, output);
            QCOMPARE(call.shapeType, k == 1 ? 0 : 1);
            QCOMPARE(call.title, QStringLiteral("Please wait ..."));
            QCOMPARE(call.label, QStringLiteral("Converting:\n\n\n") + input +
                                     QStringLiteral("\n\n") + output);
            QCOMPARE(call.value, k); // the tasks ended before it
            QCOMPARE(call.maximum, 3);
            QVERIFY(call.windowStillOpen);
        }
        adoTaskList &tasks = *window_->objects().taskList;
        QTreeWidget *rows = window_->lvwTaskList();
        for (int id = 1; id <= 3; ++id) {
            const bool converted = id != 2;
            QVERIFY(tasks.MoveTo(id));
            QCOMPARE(tasks.Comment(), converted
                                          ? QStringLiteral("UTM WGS84-ETRS89")
                                          : QString());
            QCOMPARE(tasks.ShapeType(), converted ? 2 : 0);
            QCOMPARE(rows->topLevelItem(id - 1)->text(kInfoColumn),
                     tasks.Comment());
        }
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    // With KAVRO_SCREENSHOT_DIR set (under a real X server), saves the
    // progress window as it looks during a run.
    void screenshot() {
        const QString folder = qEnvironmentVariable("KAVRO_SCREENSHOT_DIR");
        if (folder.isEmpty())
            QSKIP("KAVRO_SCREENSHOT_DIR is not set");
        addTask(in_ + "/roads.shp", out_ + "/roads_UTM.shp", 1);
        addTask(in_ + "/rivers.shp", out_ + "/rivers_UTM.shp", 1);
        addTask(in_ + "/wells.shp", out_ + "/wells_UTM.shp", 0);
        shot_ = folder + QStringLiteral("/frmCommandStart.png");
        window_->cmdStart()->click();
        QVERIFY(QFileInfo::exists(shot_));
    }

  private:
    bool convert(const QString &input, const QString &output, int type) {
        auto *progress =
            qobject_cast<frmCommandStart *>(QApplication::activeModalWidget());
        Call call{input, output, type, {}, {}, -1, -1, false};
        if (progress) {
            call.title = progress->windowTitle();
            call.label = progress->lblInfo()->text();
            call.value = progress->prgProgressBar()->value();
            call.maximum = progress->prgProgressBar()->maximum();
            if (!shot_.isEmpty() && calls_.size() == 1) {
                QTest::qWait(200);
                progress->grab().save(shot_);
            }
            // Neither the close box nor Escape ends the run.
            progress->close();
            QTest::keyClick(progress, Qt::Key_Escape);
            call.windowStillOpen = progress->isVisible();
        }
        const bool ok = calls_.size() != failAt_;
        calls_.append(call);
        return ok;
    }

    void addTask(const QString &input, const QString &output, int type) {
        adoTaskList &tasks = *window_->objects().taskList;
        QVERIFY(tasks.Update(0, input, output, QString(), type));
        taskView().ShowCurrentRecord();
    }

    clsControlTaskList &taskView() {
        return *window_->objects().controlTaskList;
    }

    std::unique_ptr<QTemporaryDir> dir_;
    QString in_, out_, shot_;
    std::unique_ptr<RecordingPresenter> recorder_;
    std::unique_ptr<DeskWindow> window_;
    QList<Call> calls_;
    int failAt_ = -1;
};

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    tst_frmCommandStart test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmCommandStart.moc"

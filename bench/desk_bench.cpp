// How long KavroDesk takes over a folder of many files: the start-up with
// that folder remembered, listing it again, Add All, and Start (the
// desktop's own time per file beside the engine's runs, which are timed
// apart, one at a time and side by side, for what the machine gives). Start
// runs one task at a time and with every processor, side by side in
// KAVRO_BENCH_ROUNDS rounds (default 1); the best of each counts.
// Offscreen, with the build's program folder; see bench/desk.sh.
// KAVRO_BENCH_LIST_ONLY=1 stops after Add All. KAVRO_BENCH_MIXED=1 makes
// the folder a third each of shapefiles, GeoPackages (two layers) and point
// lists instead of shapefiles alone.
//   kavro_deskbench <number of files> [samples folder]
#include "DeskMessages.h"
#include "DeskWindow.h"
#include "FolderTreeControl.h"
#include "GboGeoPackage.h"
#include "adoFileList.h"
#include "adoTaskList.h"
#include "clsUserSettings.h"
#include "frmCommandStart.h"
#include "modKAVRO.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <memory>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {
double seconds(const QElapsedTimer &clock) {
    return clock.nsecsElapsed() / 1e9;
}

// The processor time of the desktop and of the programs it waited for
// (boxcheck), user and system: what a listing costs whatever else the
// machine runs at the time.
double processorSeconds(bool withChildren = true) {
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        if (who == RUSAGE_CHILDREN && !withChildren)
            continue;
        rusage usage{};
        ::getrusage(who, &usage);
        for (const timeval &t : {usage.ru_utime, usage.ru_stime})
            total += static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
    }
    return total;
}

// The kinds of file the folder holds, in turn, and KAVRO's file type for
// each.
struct Kind {
    const char *extension, *fileType;
};
constexpr Kind kKinds[] = {{".shp", "SHP"}, {".gpkg", "GPKG"}, {".csv", "CSV"}};

QString baseName(int i) {
    return QStringLiteral("/f%1").arg(i, 5, 10, QChar(u'0'));
}

// Points of the Gauss-Boaga West zone with ';' and decimal commas.
const QByteArray kPointList = "Punto;Est;Nord;Quota\r\n"
                              "1;1515000,125;5035000,5;120,3\r\n"
                              "2;1517250,75;5037125,25;118\r\n";

// The processor time of the calling thread, user and system.
double threadSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool waitForRows(QTreeWidget *list, int rows, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (list->topLevelItemCount() != rows && clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return list->topLevelItemCount() == rows;
}
} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    const int files = argc > 1 ? std::atoi(argv[1]) : 3000;
    const QString samples =
        argc > 2 ? QString::fromLocal8Bit(argv[2])
                 : QStringLiteral(KAVRO_SOURCE_DIR "/data/samples");
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString out = dir.filePath(QStringLiteral("out"));
    const QString temp = dir.filePath(QStringLiteral("temp"));
    const QString empty = dir.filePath(QStringLiteral("empty"));
    for (const QString &folder : {data, out, temp, empty})
        QDir().mkpath(folder);
    const bool mixed = qEnvironmentVariableIntValue("KAVRO_BENCH_MIXED") == 1;
    const QString geoPackage = dir.filePath(QStringLiteral("rilievo.gpkg"));
    const QString pointList = dir.filePath(QStringLiteral("punti.csv"));
    if (mixed) {
        QFile list(pointList);
        if (!DeskTest::writeGboGeoPackage(
                geoPackage,
                QStringLiteral(KAVRO_PROGRAM_DIR "/KAVRO/gbo_west.wkt")) ||
            !list.open(QIODevice::WriteOnly) ||
            list.write(kPointList) != kPointList.size()) {
            std::fprintf(stderr, "cannot write the GeoPackage or the list\n");
            return 1;
        }
    }
    const auto kindOf = [&](int i) { return kKinds[mixed ? i % 3 : 0]; };
    for (int i = 0; i < files; ++i) {
        const QString base = data + baseName(i);
        switch (mixed ? i % 3 : 0) {
        case 0:
            for (const char *extension : {".shp", ".shx", ".dbf", ".cpg"})
                QFile::copy(samples + "/gbo_points" + extension,
                            base + extension);
            break;
        case 1:
            QFile::copy(geoPackage, base + kKinds[1].extension);
            break;
        default:
            QFile::copy(pointList, base + kKinds[2].extension);
        }
    }
    qputenv("TEMP", QFile::encodeName(temp));
    clsUserSettings::setStoreFolder(dir.filePath(QStringLiteral("store")));
    clsUserSettings::writeText(clsUserSettings::kKeyFolderTreeCurrentPath,
                               data);
    modKAVRO::SetProgramFolder(QStringLiteral(KAVRO_PROGRAM_DIR));
    RecordingPresenter quiet;

    QElapsedTimer clock;
    clock.start();
    auto window = std::make_unique<DeskWindow>();
    window->show();
    window->activateWindow();
    QTreeWidget *fileList = window->lvwFileList();
    const bool started = waitForRows(fileList, files, 600000);
    const double startUp = seconds(clock);

    window->ctlFolderTree()->SelectFolder(empty);
    waitForRows(fileList, 0, 60000);
    int progressLines = 0; // "Listing <folder>: k of n shapefiles ..."
    QObject::connect(window->staStatusBar(), &QStatusBar::messageChanged,
                     [&](const QString &text) {
                         progressLines += text.startsWith(u"Listing ");
                     });
    clock.restart();
    const double processorBefore = processorSeconds();
    const double ownBefore = processorSeconds(false);
    window->ctlFolderTree()->SelectFolder(data);
    const bool listed = waitForRows(fileList, files, 600000);
    const double listing = seconds(clock);
    const double listingProcessor = processorSeconds() - processorBefore;
    const double listingOwn = processorSeconds(false) - ownBefore;

    clock.restart();
    window->mnuFileListAddAll()->trigger();
    const double addAll = seconds(clock);
    const int tasks = window->lvwTaskList()->topLevelItemCount();
    std::printf("files %d%s (listed %s, %s)\n", files,
                mixed ? " of three kinds" : "", started ? "yes" : "NO",
                listed ? "yes" : "NO");
    std::printf("start-up with the folder remembered  %8.2f s\n", startUp);
    std::printf("listing the folder again             %8.2f s"
                " (%d progress lines in the status bar)\n",
                listing, progressLines);
    std::printf("  its processor time with boxcheck's %8.2f s"
                " (the desktop's own %.2f s)\n",
                listingProcessor, listingOwn);
    std::printf("Add All (%d tasks)                  %8.3f s\n", tasks, addAll);
    if (qEnvironmentVariableIntValue("KAVRO_BENCH_LIST_ONLY") == 1) {
        window.reset();
        clsUserSettings::setStoreFolder(QString());
        return 0;
    }

    // Start one task at a time (KAVRODESK_TASKS=1) and with every processor
    // (the default), side by side in rounds, each into a folder of its own.
    const auto startRun = [&](const QByteArray &tasksAtOnce,
                              const QString &folder, int &converted) {
        if (tasksAtOnce.isEmpty())
            qunsetenv("KAVRODESK_TASKS");
        else
            qputenv("KAVRODESK_TASKS", tasksAtOnce);
        QDir().mkpath(folder);
        window->objects().userSettings->setOutputFolder(folder);
        window->objects().taskList->DeleteAll();
        window->lvwTaskList()->clear();
        window->mnuFileListAddAll()->trigger();
        const double before = processorSeconds();
        const double windowBefore = threadSeconds();
        QElapsedTimer timer;
        timer.start();
        window->cmdStart()->click();
        const double elapsed = seconds(timer);
        std::printf("  Start with %s: %.2f s, processor time %.2f s, of it "
                    "the window's thread %.2f s\n",
                    tasksAtOnce.isEmpty() ? "every processor"
                                          : "one task at a time",
                    elapsed, processorSeconds() - before,
                    threadSeconds() - windowBefore);
        converted = QDir(folder)
                        .entryList({"*.prj", "*.gpkg", "*.csv"}, QDir::Files)
                        .size();
        return elapsed;
    };
    const int rounds =
        std::max(1, qEnvironmentVariableIntValue("KAVRO_BENCH_ROUNDS"));
    double start = 1e300, oneAtATime = 1e300;
    int converted = 0, convertedOne = 0;
    for (int round = 0; round < rounds; ++round) {
        const QString suffix = QStringLiteral("%1").arg(round);
        const double one =
            startRun("1", out + QStringLiteral("/one") + suffix, convertedOne);
        const double all =
            startRun({}, out + QStringLiteral("/all") + suffix, converted);
        std::printf("round %d: Start one task at a time %8.2f s, "
                    "every processor %8.2f s (%.2f x)\n",
                    round + 1, one, all, all / one);
        oneAtATime = std::min(oneAtATime, one);
        start = std::min(start, all);
    }
    qunsetenv("KAVRODESK_TASKS");

    // The engine alone, the same way (one process per file).
    const QString engine = QStringLiteral(KAVRO_PROGRAM_DIR "/KAVRO/KAVRO");
    const QString script = QStringLiteral(
        KAVRO_PROGRAM_DIR "/KAVRO/script/GBO-UTM32ETRS89-VLM.xml");
    const QByteArray program = QFile::encodeName(engine);
    const QByteArray scriptName = QFile::encodeName(script);
    // Every file through its own engine, up to atOnce engines at a time, into
    // a folder of its own: the machine's own gain from running side by side.
    const auto engineRuns = [&](int atOnce, const QString &folder) {
        QDir().mkpath(folder);
        QElapsedTimer timer;
        timer.start();
        int running = 0;
        for (int i = 0; i < files; ++i) {
            const Kind kind = kindOf(i);
            const QByteArray name = (baseName(i) + kind.extension).toUtf8();
            const QByteArray input = QFile::encodeName(data) + name;
            const QByteArray output = QFile::encodeName(folder) + name;
            const char *argv[] = {
                program.constData(),    "-FT",  kind.fileType,      "-IF",
                input.constData(),      "-OF",  output.constData(), "-TS",
                scriptName.constData(), nullptr};
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY,
                                             0);
            pid_t pid = 0;
            if (posix_spawn(&pid, argv[0], &actions, nullptr,
                            const_cast<char **>(argv), environ) == 0)
                ++running;
            posix_spawn_file_actions_destroy(&actions);
            if (running == atOnce && ::waitpid(-1, nullptr, 0) > 0)
                --running;
        }
        while (running > 0 && ::waitpid(-1, nullptr, 0) > 0)
            --running;
        return seconds(timer);
    };
    const int atOnce = frmCommandStart::ConcurrentTasks();
    double engineAlone = 1e300, engineAtOnce = 1e300;
    for (int round = 0; round < rounds; ++round) {
        const QString suffix = QStringLiteral("%1").arg(round);
        engineAlone = std::min(engineAlone,
                               engineRuns(1, dir.filePath("alone1-" + suffix)));
        engineAtOnce = std::min(
            engineAtOnce, engineRuns(atOnce, dir.filePath("alone2-" + suffix)));
    }
    std::printf("Start, one task at a time (%d converted) %8.2f s\n",
                convertedOne, oneAtATime);
    std::printf("Start, %d tasks at once (%d converted) %8.2f s"
                " (%.2f x one at a time; best of %d)\n",
                frmCommandStart::ConcurrentTasks(), converted, start,
                start / oneAtATime, rounds);
    std::printf("the engine alone, %d runs           %8.2f s\n", files,
                engineAlone);
    std::printf("the engine alone, %d at once        %8.2f s (%.2f x)\n",
                atOnce, engineAtOnce, engineAtOnce / engineAlone);
    std::printf("Start's own time per file, one at a time %8.2f ms\n",
                (oneAtATime - engineAlone) * 1000 / files);
    window.reset();
    clsUserSettings::setStoreFolder(QString());
    return 0;
}

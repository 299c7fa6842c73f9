// Shows the real main window on an X server (started by xvfb-run, see
// CMakeLists.txt) with a listed folder and a few tasks, saves a picture of
// the whole screen to the file named by the first argument and checks what
// the lists show. The folder holds the project's sample shapefiles, one of
// them converted to UTM by the engine and one empty file that no coordinates
// can be read from, so that every shape type and its picture appears, and a
// GeoPackage and a point list in Gauss-Boaga; the shape types come from the
// real boxcheck.
#include "DeskMessages.h"
#include "DeskWindow.h"
#include "FolderTreeControl.h"
#include "GboGeoPackage.h"
#include "ScreenShot.h"
#include "adoFileList.h"
#include "adoTaskList.h"
#include "clsControlTaskList.h"
#include "clsUserSettings.h"
#include "modKAVRO.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>

namespace {
int faults = 0;

void fault(const char *text) {
    std::fprintf(stderr, "%s\n", text);
    ++faults;
}

bool copySamples(const QString &target) {
    const QDir samples(QStringLiteral(KAVRO_SOURCE_DIR "/data/samples"));
    for (const QString &name : samples.entryList(QDir::Files))
        if (!QFile::copy(samples.filePath(name), target + "/" + name))
            return false;
    QFile empty(target + "/empty.shp");
    QFile list(target + "/punti.csv");
    const QByteArray points = "Punto;Est;Nord;Quota\r\n"
                              "1;1515000,125;5035000,5;120,3\r\n"
                              "2;1517250,75;5037125,25;118\r\n";
    return empty.open(QIODevice::WriteOnly) &&
           list.open(QIODevice::WriteOnly) &&
           list.write(points) == points.size() &&
           DeskTest::writeGboGeoPackage(
               target + "/rilievo.gpkg",
               QStringLiteral(KAVRO_PROGRAM_DIR "/KAVRO/gbo_west.wkt"));
}
} // namespace

int main(int argc, char *argv[]) {
    if (!ScreenShot::haveArguments(argc, "shot_lists"))
        return 2;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    QTemporaryDir store, folder, temp;
    clsUserSettings::setStoreFolder(store.path());
    // boxcheck's batch files of its own, beside other tests that run it.
    qputenv("TEMP", QFile::encodeName(temp.path()));
    modKAVRO::SetProgramFolder(QStringLiteral(KAVRO_PROGRAM_DIR));
    if (!copySamples(folder.path())) {
        std::fprintf(stderr, "cannot copy the samples\n");
        return 1;
    }
    RecordingPresenter messages;
    if (!modKAVRO::ConvertShape(folder.filePath("gbo_points.shp"),
                                folder.filePath("utm_points.shp"), 1))
        fault("the engine did not convert gbo_points.shp");
    clsUserSettings::writeText(clsUserSettings::kKeyFolderTreeCurrentPath,
                               folder.path());

    DeskWindow window;
    if (!ScreenShot::show(window))
        return 1;
    DeskObjects &objects = window.objects();
    QTreeWidget &files = *window.lvwFileList();
    for (int wait = 0; wait < 100 && files.topLevelItemCount() < 10; ++wait)
        QTest::qWait(100); // the tree selects the folder once it is listed
    window.mnuFileListAddAll()->trigger();
    // Two check results, as the Start command would show them.
    objects.controlTaskList->UpdateComment(2, ErrorOutputExists);
    objects.controlTaskList->UpdateComment(4, ErrorAlreadyUTM);
    QTreeWidget &tasks = *window.lvwTaskList();
    tasks.setCurrentItem(tasks.topLevelItem(0));
    files.setCurrentItem(files.topLevelItem(1));
    files.setFocus();
    QTest::qWait(300); // the repaint reaches the screen

    const QImage screen = ScreenShot::saveScreen(argv[1]);
    if (screen.isNull())
        return 1;

    int gbo = 0, utm = 0, unknown = 0;
    RecordSet &table = objects.fileList->Recordset();
    for (table.moveFirst(); !table.atEnd(); table.moveNext()) {
        const int type = objects.fileList->ShapeType();
        gbo += type == ShapeGBO || type == ShapeGBOShift;
        utm += type == ShapeUTM;
        unknown += type == ShapeUnknown;
    }
    if (files.topLevelItemCount() != 10)
        fault("the file list does not show the ten files");
    if (gbo != 8 || utm != 1 || unknown != 1)
        fault("the shape types are not eight Gauss-Boaga, one UTM, one "
              "unknown");
    if (tasks.topLevelItemCount() != 8)
        fault("Add All did not add the eight Gauss-Boaga files");
    QTreeWidgetItem *error = tasks.topLevelItem(1);
    const QRect infoCell = tasks.visualItemRect(error).intersected(
        QRect(tasks.header()->sectionViewportPosition(2), 0,
              tasks.columnWidth(2), tasks.viewport()->height()));
    const QRect infoOnScreen(tasks.viewport()->mapToGlobal(infoCell.topLeft()),
                             infoCell.size());
    if (!ScreenShot::shows(screen, infoOnScreen, ScreenShot::isStrongRed))
        fault("the check result is not shown in red");
    for (const auto &message : messages.messages)
        std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
    if (!messages.messages.isEmpty())
        fault("messages were shown");
    window.close();
    return faults == 0 ? 0 : 1;
}

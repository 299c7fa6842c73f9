#include "DeskMessages.h"
#include "DeskWindow.h"
#include "FolderTreeControl.h"
#include "ListViewRows.h"
#include "StoreTestSupport.h"
#include "Twips.h"
#include "adoFileList.h"
#include "adoTaskList.h"
#include "clsControlFileList.h"
#include "clsUserSettings.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace {
using ListViewRows::KeyRole;

// A file of 100 bytes, or of the size given.
void writeFile(const QString &path, qint64 size = 100) {
    DeskTest::writeSizedFile(path, size);
}

// Shape types by the start of the file's name, instead of running boxcheck.
int shapeTypeByName(const QString &path) {
    const QString name = QFileInfo(path).fileName();
    if (name.startsWith("shift"))
        return 0;
    if (name.startsWith("gbo"))
        return 1;
    if (name.startsWith("utm"))
        return 2;
    return 3;
}

// The main window with its shared objects, shown.
struct Desk {
    DeskWindow window;
    DeskObjects &objects = window.objects();
    Desk() {
        objects.fileList->setShapeClassifier(shapeTypeByName);
        window.show();
    }
    QTreeWidget &files() { return *window.lvwFileList(); }
    QTreeWidget &tasks() { return *window.lvwTaskList(); }
    void list(const QString &folder) {
        objects.fileList->Refresh(folder);
        objects.controlFileList->Refresh();
    }
    void select(int row) { files().setCurrentItem(files().topLevelItem(row)); }
    void rightClick() { DeskTest::rightClick(files(), *window.mnuFileList()); }
};

struct Task {
    QString input, output;
    int shapeType;
    bool operator==(const Task &) const = default;
};

QList<Task> tasksOf(adoTaskList &store) {
    return DeskTest::collect(store.Recordset(), [&] {
        return Task{store.InputFile(), store.OutputFile(), store.ShapeType()};
    });
}
} // namespace

class tst_FileListView : public QObject {
    Q_OBJECT
    DeskTest::TemporarySettingsStore settings_;

  private slots:
    void initTestCase() { QVERIFY(settings_.isValid()); }
    void init() { settings_.clear(); }

    void selectingAFolderListsItsShapefiles() {
        QTemporaryDir dir;
        writeFile(dir.filePath("a.SHP"), 1536);
        writeFile(dir.filePath("b.shp"), 10);
        writeFile(dir.filePath("c.shx"));
        RecordingPresenter recorder;
        Desk desk;
        FolderTreeControl &tree = *desk.window.ctlFolderTree();
        tree.Fill();
        tree.SelectFolder(dir.path());
        QTRY_COMPARE(desk.files().topLevelItemCount(), 2);

        QTreeWidgetItem *first = desk.files().topLevelItem(0);
        QCOMPARE(first->text(0), QStringLiteral("a.SHP"));
        QCOMPARE(first->text(1), QStringLiteral("2 KB"));
        QCOMPARE(first->data(0, KeyRole).toString(), QStringLiteral("Name1"));
        QCOMPARE(first->data(1, KeyRole).toString(), QStringLiteral("Size1"));
        QCOMPARE(first->data(2, KeyRole).toString(), QStringLiteral("Type1"));
        QCOMPARE(first->data(3, KeyRole).toString(),
                 QStringLiteral("Last Modified1"));
        QCOMPARE(first->toolTip(0),
                 QStringLiteral("Click with right Mouse Button"));
        QVERIFY(first->textAlignment(1) & Qt::AlignRight);
        QVERIFY(first->text(3).contains(
            QRegularExpression("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d$")));
        QCOMPARE(desk.files().topLevelItem(1)->data(0, KeyRole).toString(),
                 QStringLiteral("Name2"));
        QVERIFY(recorder.messages.isEmpty());
    }

    void columnsHaveTheirHeadingsWidthsAndAlignment() {
        Desk desk;
        QTreeWidget &view = desk.files();
        const QStringList headings = {"Name", "Size", "Type", "Last Modified"};
        QCOMPARE(view.columnCount(), 4);
        for (int column = 0; column < 4; ++column) {
            QCOMPARE(view.headerItem()->text(column), headings[column]);
            QCOMPARE(view.headerItem()->data(column, KeyRole).toString(),
                     headings[column]);
        }
        const int standard = view.header()->defaultSectionSize();
        QCOMPARE(view.columnWidth(0), 2 * standard);
        QCOMPARE(view.columnWidth(1), standard);
        QVERIFY(view.headerItem()->textAlignment(1) & Qt::AlignRight);
    }

    void iconsFollowTheShapeType() {
        QTemporaryDir dir;
        for (const char *name : {"shift.shp", "gbo.shp", "utm.shp", "x.shp"})
            writeFile(dir.filePath(name));
        Desk desk;
        desk.list(dir.path());
        QCOMPARE(desk.files().topLevelItemCount(), 4);
        const ImageList &images = desk.window.ilsListView();
        // Listed in name order: gbo (1), shift (0), utm (2), x (3).
        const int expected[] = {1, 1, 2, 3};
        for (int row = 0; row < 4; ++row)
            QCOMPARE(desk.files().topLevelItem(row)->icon(0).cacheKey(),
                     images.image(expected[row]).cacheKey());
    }

    void menuIsDisabledOnAnEmptyListAndDoubleClickDoesNothing() {
        RecordingPresenter recorder;
        Desk desk;
        desk.rightClick();
        QVERIFY(!desk.window.mnuFileListAdd()->isEnabled());
        QVERIFY(!desk.window.mnuFileListAddAll()->isEnabled());
        QTest::mouseDClick(desk.files().viewport(), Qt::LeftButton, {},
                           QPoint(5, 5));
        QCOMPARE(desk.objects.taskList->Recordset().recordCount(), 0);

        desk.objects.controlFileList->Update(1, "a.shp", "1 KB", "", "", 0);
        desk.rightClick();
        QVERIFY(desk.window.mnuFileListAdd()->isEnabled());
        QVERIFY(desk.window.mnuFileListAddAll()->isEnabled());
        QVERIFY(recorder.messages.isEmpty());
    }

    void addAllTurnsTypesZeroAndOneIntoTasks_data() {
        QTest::addColumn<QString>("folder"); // empty: beside the input
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("roads"); // output of gbo_roads.shp
        QTest::addColumn<QString>("shift"); // output of shift.old.shp
        QTest::newRow("beside the input, suffix") << ""
                                                  << "_UTM"
                                                  << "<in>/gbo_roads_UTM.shp"
                                                  << "<in>/shift.old_UTM.shp";
        QTest::newRow("output folder, no suffix") << "/data/out"
                                                  << ""
                                                  << "/data/out/gbo_roads.shp"
                                                  << "/data/out/shift.old.shp";
        QTest::newRow("output folder and suffix")
            << "/data/out"
            << "_UTM"
            << "/data/out/gbo_roads_UTM.shp"
            << "/data/out/shift.old_UTM.shp";
        QTest::newRow("output folder ending in a separator")
            << "/data/out/"
            << "_UTM"
            << "/data/out/gbo_roads_UTM.shp"
            << "/data/out/shift.old_UTM.shp";
    }
    void addAllTurnsTypesZeroAndOneIntoTasks() {
        QFETCH(QString, folder);
        QFETCH(QString, suffix);
        QFETCH(QString, roads);
        QFETCH(QString, shift);
        QTemporaryDir dir;
        const QString input = dir.path();
        roads.replace("<in>", input);
        shift.replace("<in>", input);
        for (const char *name :
             {"gbo_roads.shp", "shift.old.shp", "utm.shp", "unknown.shp"})
            writeFile(dir.filePath(name));
        RecordingPresenter recorder;
        Desk desk;
        desk.objects.userSettings->setOutputFolder(folder);
        desk.objects.userSettings->setOutputSuffix(suffix);
        desk.list(input);
        QCOMPARE(desk.files().topLevelItemCount(), 4);
        desk.window.mnuFileListAddAll()->trigger();

        QCOMPARE(tasksOf(*desk.objects.taskList),
                 (QList<Task>{{input + "/gbo_roads.shp", roads, 1},
                              {input + "/shift.old.shp", shift, 0}}));
        QCOMPARE(desk.tasks().topLevelItemCount(), 2);
        QTreeWidgetItem *second = desk.tasks().topLevelItem(1);
        QCOMPARE(second->text(0), input + "/shift.old.shp");
        QCOMPARE(second->text(1), shift);
        QCOMPARE(second->data(0, KeyRole).toString(),
                 QStringLiteral("Inputfile (Gauss-Boaga)2"));
        QVERIFY(recorder.messages.isEmpty());
    }

    void addTakesOnlyTheSelectedFileAndPassesOverUtm() {
        QTemporaryDir dir;
        for (const char *name : {"gbo.shp", "utm.shp"})
            writeFile(dir.filePath(name));
        RecordingPresenter recorder;
        Desk desk;
        desk.list(dir.path());

        desk.window.mnuFileListAdd()->trigger(); // nothing selected
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(recorder.messages[0].caption, QString());
        QVERIFY(recorder.messages[0].text.startsWith("Error 91: "));
        QCOMPARE(desk.objects.taskList->Recordset().recordCount(), 0);

        desk.select(1); // utm.shp: passed over without a message
        desk.window.mnuFileListAdd()->trigger();
        QCOMPARE(desk.objects.taskList->Recordset().recordCount(), 0);

        desk.select(0);
        desk.window.mnuFileListAdd()->trigger();
        desk.window.mnuFileListAdd()->trigger(); // the same file twice
        QCOMPARE(tasksOf(*desk.objects.taskList).size(), 2);
        QCOMPARE(desk.tasks().topLevelItemCount(), 2);
        QCOMPARE(recorder.messages.size(), 1);
    }

    void doubleClickAddsTheSelectedFile() {
        QTemporaryDir dir;
        writeFile(dir.filePath("gbo.shp"));
        Desk desk;
        desk.list(dir.path());
        const QRect row =
            desk.files().visualItemRect(desk.files().topLevelItem(0));
        // A person's double click starts with a press that selects the row.
        QTest::mouseClick(desk.files().viewport(), Qt::LeftButton, {},
                          row.center());
        QTest::mouseDClick(desk.files().viewport(), Qt::LeftButton, {},
                           row.center());
        QCOMPARE(tasksOf(*desk.objects.taskList),
                 (QList<Task>{{dir.filePath("gbo.shp"),
                               dir.filePath("gbo_UTM.shp"), 1}}));
    }

    void columnWidthsAreKeptAcrossARestart() {
        {
            Desk desk;
            desk.files().setColumnWidth(1, 234);
            desk.files().setColumnWidth(3, 77);
            desk.window.close();
        }
        QCOMPARE(clsUserSettings::readNumber("FileList2", -1),
                 pixelsToTwips(234));
        Desk again;
        QCOMPARE(again.files().columnWidth(1), 234);
        QCOMPARE(again.files().columnWidth(3), 77);
    }

    void aStoredWidthThatIsNoNumberIsReportedAndStopsThere() {
        clsUserSettings::writeText("FileList1", "1500");
        clsUserSettings::writeText("FileList2", "wide");
        clsUserSettings::writeText("FileList3", "3000");
        RecordingPresenter recorder;
        Desk desk;
        QCOMPARE(desk.files().columnWidth(0), twipsToPixels(1500));
        QCOMPARE(desk.files().columnWidth(2),
                 desk.files().header()->defaultSectionSize());
        QCOMPARE(recorder.messages.size(), 1);
        QVERIFY(recorder.messages[0].text.startsWith("Error 13: "));
    }
};

QTEST_MAIN(tst_FileListView)
#include "tst_FileListView.moc"

#include "DeskMessages.h"
#include "DeskWindow.h"
#include "ListViewRows.h"
#include "StoreTestSupport.h"
#include "Twips.h"
#include "adoFileList.h"
#include "adoTaskList.h"
#include "clsControlTaskList.h"
#include "clsUserSettings.h"
#include "frmTaskListModify.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

namespace {
using ListViewRows::KeyRole;

// The main window with three tasks, shown.
struct Desk {
    DeskWindow window;
    DeskObjects &objects = window.objects();
    adoTaskList &store = *objects.taskList;
    clsControlTaskList &view = *objects.controlTaskList;

    explicit Desk(int taskCount = 3) {
        objects.fileList->setShapeClassifier([](const QString &) { return 3; });
        window.show();
        for (int i = 1; i <= taskCount; ++i)
            add(QStringLiteral("/data/in%1.shp").arg(i), i == 3 ? 2 : 1);
    }
    void add(const QString &input, int shapeType) {
        QVERIFY(store.Update(0, input,
                             QString(input).replace(".shp", "_UTM.shp"),
                             QString(), shapeType));
        view.ShowCurrentRecord();
    }
    QTreeWidget &rows() { return *window.lvwTaskList(); }
    QTreeWidgetItem *row(int index) { return rows().topLevelItem(index); }
    void select(int index) { rows().setCurrentItem(row(index)); }
    QList<int> storeIDs() {
        return DeskTest::collect(store.Recordset(), [&] { return store.ID(); });
    }
    QList<int> rowIDs() {
        QList<int> ids;
        for (int i = 0; i < rows().topLevelItemCount(); ++i)
            ids << ListViewRows::keyID(row(i)->data(0, KeyRole).toString(),
                                       clsControlTaskList::kColumnInput);
        return ids;
    }
    void rightClick() { DeskTest::rightClick(rows(), *window.mnuTaskList()); }
};

using DeskTest::whenModal;
using DeskTest::writeFile;
} // namespace

class tst_TaskListView : public QObject {
    Q_OBJECT
    DeskTest::TemporarySettingsStore settings_;

  private slots:
    void initTestCase() { QVERIFY(settings_.isValid()); }
    void init() { settings_.clear(); }

    void columnsAndRowsCarryTheirKeys() {
        Desk desk;
        QTreeWidget &rows = desk.rows();
        const QStringList headings = {"Inputfile (Gauss-Boaga)",
                                      "Outputfile (UTM WGS84-ETRS89)", "Info"};
        const int standard = rows.header()->defaultSectionSize();
        const int factors[] = {3, 3, 2};
        for (int column = 0; column < 3; ++column) {
            QCOMPARE(rows.headerItem()->text(column), headings[column]);
            QCOMPARE(rows.columnWidth(column), factors[column] * standard);
        }
        QTreeWidgetItem *second = desk.row(1);
        QCOMPARE(second->data(0, KeyRole).toString(), headings[0] + "2");
        QCOMPARE(second->data(1, KeyRole).toString(), headings[1] + "2");
        QCOMPARE(second->data(2, KeyRole).toString(), headings[2] + "2");
        QCOMPARE(second->text(0), QStringLiteral("/data/in2.shp"));
        QCOMPARE(second->text(1), QStringLiteral("/data/in2_UTM.shp"));
        QCOMPARE(second->toolTip(0),
                 QStringLiteral("Click with right Mouse Button"));
        // Plain document for Gauss-Boaga tasks, checked one for the others.
        const ImageList &images = desk.window.ilsListView();
        QCOMPARE(second->icon(0).cacheKey(), images.image(1).cacheKey());
        QCOMPARE(desk.row(2)->icon(0).cacheKey(), images.image(2).cacheKey());
    }

    void updateOfAShownTaskChangesItsRowInPlace() {
        Desk desk;
        desk.view.Update(2, "/x.shp", "/y.shp", "UTM WGS84-ETRS89", 2);
        QCOMPARE(desk.rows().topLevelItemCount(), 3);
        QCOMPARE(desk.row(1)->text(0), QStringLiteral("/x.shp"));
        QCOMPARE(desk.row(1)->text(2), QStringLiteral("UTM WGS84-ETRS89"));
        QCOMPARE(desk.row(1)->icon(0).cacheKey(),
                 desk.window.ilsListView().image(2).cacheKey());
        desk.view.MoveTo(3);
        QCOMPARE(desk.view.KeyValue(), 3);
        desk.view.MoveTo(99); // no such row: the selection stays
        QCOMPARE(desk.view.KeyValue(), 3);
    }

    void checkResultsShowWithTheirStyle_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("error");
        QTest::newRow("0") << 0 << "" << false;
        QTest::newRow("1") << 1 << "Output-Directory does not exist" << true;
        QTest::newRow("2") << 2 << "Output-SHP already exists" << true;
        QTest::newRow("3") << 3 << "Error File-Extension" << true;
        QTest::newRow("4") << 4 << "Output-Files .sbn/.sbx already exist"
                           << true;
        QTest::newRow("5") << 5 << "UTM WGS84-ETRS89" << false;
        QTest::newRow("6") << 6
                           << "Output-Name holds a double quote or a line break"
                           << true;
        QTest::newRow("7") << 7 << "" << false;
        QTest::newRow("-1") << -1 << "" << false;
    }
    void checkResultsShowWithTheirStyle() {
        QFETCH(int, result);
        QFETCH(QString, text);
        QFETCH(bool, error);
        Desk desk;
        desk.view.UpdateComment(1, 2); // an error shown before
        desk.view.UpdateComment(1, result);
        QTreeWidgetItem *row = desk.row(0);
        QCOMPARE(row->text(2), text);
        QCOMPARE(row->font(2).bold(), error);
        const QColor colour = row->foreground(2).color();
        QCOMPARE(colour == QColor(255, 0, 0), error);
        // The cell's tool tip holds the text whole, which the column may cut.
        const QString hint = ListViewControl::toolTipText();
        QCOMPARE(row->toolTip(2), text.isEmpty() ? hint : text + '\n' + hint);
        QCOMPARE(row->toolTip(0), hint);
        desk.view.UpdateComment(42, 1); // no such row: nothing happens
        // A task shown anew shows its comment in the normal style.
        desk.view.Update(1, "/in1.shp", "/out.shp", "", 1);
        QVERIFY(!row->font(2).bold());
        QCOMPARE(row->toolTip(2), hint);
    }

    void menuIsDisabledOnAnEmptyListAndDoubleClickOpensNothing() {
        RecordingPresenter recorder;
        Desk desk(0);
        desk.rightClick();
        QVERIFY(!desk.window.mnuTaskListModify()->isEnabled());
        QVERIFY(!desk.window.mnuTaskListDelete()->isEnabled());
        QVERIFY(!desk.window.mnuTaskListDeleteAll()->isEnabled());
        bool opened = false;
        whenModal<QDialog>([](QDialog &dialog) { dialog.reject(); }, &opened);
        QTest::mouseDClick(desk.rows().viewport(), Qt::LeftButton, {},
                           QPoint(5, 5));
        QCoreApplication::processEvents();
        QVERIFY(!opened);

        desk.add("/a.shp", 0);
        desk.rightClick();
        QVERIFY(desk.window.mnuTaskListModify()->isEnabled());
        QVERIFY(desk.window.mnuTaskListDelete()->isEnabled());
        QVERIFY(desk.window.mnuTaskListDeleteAll()->isEnabled());
        QVERIFY(recorder.messages.isEmpty());
    }

    // From the keyboard the keys act on the row the keyboard stands on,
    // also when Tab brought the focus and nothing is selected yet: Enter
    // opens Modify, Delete deletes, the menu key and Shift+F10 open the
    // menu there; other keys (and Delete with a modifier) go to the list.
    void keysActOnTheCurrentRow_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("modify");
        QTest::addColumn<QList<int>>("left");
        QTest::addColumn<bool>("menu");
        const QList<int> all{1, 2, 3};
        QTest::newRow("Enter")
            << int(Qt::Key_Return) << 0 << true << all << false;
        QTest::newRow("keypad Enter")
            << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true << all
            << false;
        QTest::newRow("Delete")
            << int(Qt::Key_Delete) << 0 << false << QList<int>{1, 3} << false;
        QTest::newRow("Shift+Delete")
            << int(Qt::Key_Delete) << int(Qt::ShiftModifier) << false << all
            << false;
        QTest::newRow("menu key")
            << int(Qt::Key_Menu) << 0 << false << all << true;
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier)
                                   << false << all << true;
    }
    void keysActOnTheCurrentRow() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, modify);
        QFETCH(QList<int>, left);
        QFETCH(bool, menu);
        RecordingPresenter recorder;
        Desk desk;
        desk.rows().setCurrentItem(desk.row(1), 0,
                                   QItemSelectionModel::NoUpdate);
        QVERIFY(desk.rows().selectedItems().isEmpty());
        bool opened = false;
        whenModal<frmTaskListModify>(
            [](frmTaskListModify &dialog) { dialog.reject(); }, &opened);
        QTest::keyClick(&desk.rows(), Qt::Key(key),
                        Qt::KeyboardModifiers(modifiers));
        QCoreApplication::processEvents();
        QCOMPARE(opened, modify);
        QCOMPARE(desk.storeIDs(), left);
        QCOMPARE(desk.window.mnuTaskList()->isVisible(), menu);
        desk.window.mnuTaskList()->hide();
        QVERIFY(recorder.messages.isEmpty());
    }

    void deleteRemovesTheSelectedTaskFromStoreAndView() {
        RecordingPresenter recorder;
        Desk desk;
        desk.select(1);
        desk.window.mnuTaskListDelete()->trigger();
        QCOMPARE(desk.storeIDs(), (QList<int>{1, 3}));
        QCOMPARE(desk.rowIDs(), (QList<int>{1, 3}));

        // Down to the last row, which leaves an empty view and no selection.
        desk.select(0);
        desk.window.mnuTaskListDelete()->trigger();
        desk.select(0);
        desk.window.mnuTaskListDelete()->trigger();
        QVERIFY(desk.storeIDs().isEmpty());
        QCOMPARE(desk.rows().topLevelItemCount(), 0);
        QVERIFY(desk.rows().selectedItems().isEmpty());
        QVERIFY(recorder.messages.isEmpty());

        // A task added afterwards shows under a new ID.
        desk.add("/b.shp", 1);
        QCOMPARE(desk.rowIDs(), desk.storeIDs());
    }

    void deleteWithoutSelectionIsReportedAndChangesNothing() {
        RecordingPresenter recorder;
        Desk desk;
        desk.rows().clearSelection();
        desk.window.mnuTaskListDelete()->trigger();
        QCOMPARE(desk.storeIDs(), (QList<int>{1, 2, 3}));
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(
            recorder.messages[0].caption,
            QStringLiteral("clsContextMenuTaskList.m_mnuTaskListDelete_Click"));
        QVERIFY(recorder.messages[0].text.startsWith("Error 91: "));
    }

    void deleteAllEmptiesStoreAndView() {
        Desk desk;
        desk.window.mnuTaskListDeleteAll()->trigger();
        QVERIFY(desk.storeIDs().isEmpty());
        QCOMPARE(desk.rows().topLevelItemCount(), 0);
    }

    void refreshRebuildsTheRowsInStoreOrder() {
        Desk desk;
        QVERIFY(desk.store.Delete(1));
        QVERIFY(desk.store.Update(3, "/c.shp", "/c_UTM.shp", "note", 1));
        desk.view.Refresh();
        QCOMPARE(desk.rowIDs(), (QList<int>{2, 3}));
        QCOMPARE(desk.row(1)->text(2), QStringLiteral("note"));
    }

    void modifyDialogChangesTheOutputFile() {
        RecordingPresenter recorder;
        Desk desk;
        desk.select(1);
        bool ran = false;
        whenModal<frmTaskListModify>(
            [](frmTaskListModify &dialog) {
                QCOMPARE(dialog.windowTitle(), QStringLiteral("Modify"));
                QCOMPARE(dialog.txtInputFile()->text(),
                         QStringLiteral("/data/in2.shp"));
                QVERIFY(!dialog.txtInputFile()->isEnabled());
                QCOMPARE(dialog.txtOutputFile()->selectedText(),
                         QStringLiteral("/data/in2_UTM.shp"));
                DeskTest::exitThenOkAtBottomRight(dialog, dialog.cmdExit(),
                                                  dialog.cmdOK());
                dialog.txtOutputFile()->setText("/other/roads.shp");
                dialog.cmdOK()->click();
            },
            &ran);
        desk.window.mnuTaskListModify()->trigger();
        QVERIFY(ran);
        QVERIFY(desk.store.MoveTo(2));
        QCOMPARE(desk.store.OutputFile(), QStringLiteral("/other/roads.shp"));
        QCOMPARE(desk.store.InputFile(), QStringLiteral("/data/in2.shp"));
        QCOMPARE(desk.store.ShapeType(), 1);
        QCOMPARE(desk.row(1)->text(1), QStringLiteral("/other/roads.shp"));
        QVERIFY(desk.store.MoveTo(1));
        QCOMPARE(desk.store.OutputFile(), QStringLiteral("/data/in1_UTM.shp"));
        QVERIFY(recorder.messages.isEmpty());
    }

    void modifyDialogLeftWithExitOrEscapeChangesNothing_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Exit") << false;
        QTest::newRow("Escape") << true;
    }
    void modifyDialogLeftWithExitOrEscapeChangesNothing() {
        QFETCH(bool, escape);
        Desk desk;
        desk.select(0);
        bool ran = false;
        whenModal<frmTaskListModify>(
            [escape](frmTaskListModify &dialog) {
                dialog.txtOutputFile()->setText("/changed.shp");
                if (escape)
                    QTest::keyClick(dialog.txtOutputFile(), Qt::Key_Escape);
                else
                    dialog.cmdExit()->click();
            },
            &ran);
        const QRect row = desk.rows().visualItemRect(desk.row(0));
        QTest::mouseDClick(desk.rows().viewport(), Qt::LeftButton, {},
                           row.center());
        QVERIFY(ran);
        QVERIFY(desk.window.isVisible()); // Escape closed the dialog only
        QVERIFY(desk.store.MoveTo(1));
        QCOMPARE(desk.store.OutputFile(), QStringLiteral("/data/in1_UTM.shp"));
        QCOMPARE(desk.row(0)->text(1), QStringLiteral("/data/in1_UTM.shp"));
    }

    void modifyDialogRefusesAnOverlongNameAndStaysOpen() {
        RecordingPresenter recorder;
        Desk desk;
        desk.select(0);
        bool stayedOpen = false;
        whenModal<frmTaskListModify>([&](frmTaskListModify &dialog) {
            dialog.txtOutputFile()->setText(QString(4097, 'x'));
            dialog.cmdOK()->click();
            stayedOpen = dialog.isVisible();
            dialog.cmdExit()->click();
        });
        desk.window.mnuTaskListModify()->trigger();
        QVERIFY(stayedOpen);
        QCOMPARE(recorder.messages.size(), 1);
        QVERIFY(desk.store.MoveTo(1));
        QCOMPARE(desk.store.OutputFile(), QStringLiteral("/data/in1_UTM.shp"));
    }

    // The Browse dialog: its settings, a picked file, the start folder kept
    // for the next time and across a restart, and a cancelled dialog.
    void browsePicksAFileAndKeepsItsFolder() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("out"));
        const QString existing = dir.filePath("out/roads.shp");
        writeFile(existing);
        RecordingPresenter recorder;
        {
            Desk desk;
            desk.select(0);
            QString startFolder;
            whenModal<frmTaskListModify>([&](frmTaskListModify &modify) {
                whenModal<QFileDialog>([&](QFileDialog &browse) {
                    QCOMPARE(browse.windowTitle(),
                             QStringLiteral("OutputFile ..."));
                    QCOMPARE(browse.nameFilters(),
                             (QStringList{"Alle Dateien (*.*)",
                                          "Textdateien (*.shp)"}));
                    QCOMPARE(browse.selectedNameFilter(),
                             QStringLiteral("Textdateien (*.shp)"));
                    QCOMPARE(browse.defaultSuffix(), QStringLiteral("shp"));
                    startFolder = browse.directory().absolutePath();
                    browse.selectFile(existing);
                    static_cast<QDialog &>(browse).accept();
                });
                modify.cmdBrowse()->click();
                QCOMPARE(modify.txtOutputFile()->text(), existing);
                modify.cmdOK()->click();
            });
            desk.window.mnuTaskListModify()->trigger();
            QCOMPARE(startFolder,
                     QDir(clsUserSettings::defaultOutputFileInitDir())
                         .absolutePath());
            QVERIFY(desk.store.MoveTo(1));
            QCOMPARE(desk.store.OutputFile(), existing);
            desk.window.close();
        }
        QCOMPARE(clsUserSettings::readText("OutputFileInitDir", QString()),
                 dir.filePath("out"));
    }

    // After a restart the dialog starts in the folder of the last pick, and
    // cancelling changes nothing. A file picked in the root folder keeps "/"
    // as the start folder; a stored folder that is gone starts in the home
    // folder.
    void browseStartsInTheFolderOfTheLastPick() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("out"));
        clsUserSettings::writeText("OutputFileInitDir", dir.filePath("out"));
        RecordingPresenter recorder;
        Desk again;
        again.select(0);
        QString startFolder;
        whenModal<frmTaskListModify>([&](frmTaskListModify &modify) {
            whenModal<QFileDialog>([&](QFileDialog &browse) {
                startFolder = browse.directory().absolutePath();
                browse.reject();
            });
            modify.cmdBrowse()->click();
            QCOMPARE(modify.txtOutputFile()->text(),
                     QStringLiteral("/data/in1_UTM.shp"));
            modify.cmdExit()->click();
        });
        again.window.mnuTaskListModify()->trigger();
        QCOMPARE(startFolder, dir.filePath("out"));
        QVERIFY(recorder.messages.isEmpty());

        const QString rootFile = QStringLiteral("/kavrodesk-test-unused.shp");
        QVERIFY(!QFileInfo::exists(rootFile));
        QStringList startFolders;
        auto browse = [&](const QString &pick) {
            whenModal<frmTaskListModify>([&](frmTaskListModify &modify) {
                whenModal<QFileDialog>([&](QFileDialog &dialog) {
                    startFolders << dialog.directory().absolutePath();
                    if (pick.isEmpty()) {
                        dialog.reject();
                        return;
                    }
                    dialog.selectFile(pick);
                    static_cast<QDialog &>(dialog).accept();
                });
                modify.cmdBrowse()->click();
                modify.cmdExit()->click();
            });
            again.window.mnuTaskListModify()->trigger();
        };
        browse(rootFile);
        QCOMPARE(clsUserSettings::readText("OutputFileInitDir", QString()),
                 QStringLiteral("/"));
        browse(QString());
        clsUserSettings::writeText("OutputFileInitDir", dir.filePath("gone"));
        browse(QString());
        QCOMPARE(startFolders,
                 (QStringList{dir.filePath("out"), QStringLiteral("/"),
                              QDir::homePath()}));
        QVERIFY(!QFileInfo::exists(rootFile));
    }

    void browseAcceptsANewFileOnlyAfterConfirmation() {
        QTemporaryDir dir;
        const QString wanted = dir.filePath("new.shp");
        RecordingPresenter recorder;
        recorder.answers = {MessageAnswer::No, MessageAnswer::Yes};
        Desk desk;
        desk.select(0);
        bool openAfterNo = false;
        whenModal<frmTaskListModify>([&](frmTaskListModify &modify) {
            whenModal<QFileDialog>([&](QFileDialog &browse) {
                browse.selectFile(wanted);
                static_cast<QDialog &>(browse)
                    .accept(); // answered No: the dialog stays
                openAfterNo = browse.isVisible();
                static_cast<QDialog &>(browse).accept(); // answered Yes
            });
            modify.cmdBrowse()->click();
            QCOMPARE(modify.txtOutputFile()->text(), wanted);
            modify.cmdExit()->click();
        });
        desk.window.mnuTaskListModify()->trigger();
        QVERIFY(openAfterNo);
        QCOMPARE(recorder.messages.size(), 2);
        QCOMPARE(recorder.messages[0].buttons, MessageButtons::YesNo);
        QVERIFY(recorder.messages[0].text.contains(wanted));
        QVERIFY(!QFile::exists(wanted)); // the run creates it, not the dialog
    }

    void columnWidthsAreKeptAcrossARestart() {
        {
            Desk desk(0);
            desk.rows().setColumnWidth(0, 123);
            desk.rows().setColumnWidth(2, 321);
            desk.window.close();
        }
        QCOMPARE(clsUserSettings::readNumber("TaskList1", -1),
                 pixelsToTwips(123));
        Desk again(0);
        QCOMPARE(again.rows().columnWidth(0), 123);
        QCOMPARE(again.rows().columnWidth(2), 321);
    }
};

QTEST_MAIN(tst_TaskListView)
#include "tst_TaskListView.moc"

#include "DeskMessages.h"
#include "StoreTestSupport.h"
#include "adoTaskList.h"
#include "clsControlTaskList.h"
#include "frmInfo.h"
#include "frmMain.h"
#include "frmTaskListModify.h"
#include "frmToolbox.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

// The dialogs that close with Exit or OK share their keys: Escape is Exit
// and Enter is OK, wherever the focus is.
class tst_DialogKeys : public QObject {
    Q_OBJECT
    DeskTest::TemporarySettingsStore settings_;

  private slots:
    void escapeIsExitAndEnterIsOk_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("focusOnExit"); // else on the first field
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        const int rejected = QDialog::Rejected, accepted = QDialog::Accepted;
        for (const char *dialog : {"Info", "Toolbox", "Modify"}) {
            for (const bool onExit : {false, true}) {
                if (onExit && QByteArray(dialog) == "Info")
                    continue; // OK is its only button
                const char *where = onExit ? "Exit" : "field";
                QTest::addRow("%s, Escape in %s", dialog, where)
                    << dialog << onExit << int(Qt::Key_Escape) << rejected;
                QTest::addRow("%s, Enter in %s", dialog, where)
                    << dialog << onExit << int(Qt::Key_Return) << accepted;
            }
        }
    }
    void escapeIsExitAndEnterIsOk() {
        QFETCH(QString, dialog);
        QFETCH(bool, focusOnExit);
        QFETCH(int, key);
        QFETCH(int, result);
        RecordingPresenter recorder;
        // The Modify dialog changes the task selected in the main window.
        frmMain window;
        adoTaskList tasks;
        clsControlTaskList taskView(window, tasks);
        window.show();
        QVERIFY(tasks.Update(0, "/in.shp", "/in_UTM.shp", QString(), 1));
        taskView.Refresh();
        window.lvwTaskList()->setCurrentItem(
            window.lvwTaskList()->topLevelItem(0));
        clsUserSettings settings;

        std::unique_ptr<QDialog> shown;
        QWidget *field = nullptr, *exit = nullptr;
        if (dialog == "Info") {
            auto *info = new frmInfo;
            shown.reset(info);
            field = info->cmdOK();
        } else if (dialog == "Toolbox") {
            auto *toolbox = new frmToolbox(settings);
            shown.reset(toolbox);
            field = toolbox->txtOutputFolder();
            exit = toolbox->cmdExit();
        } else {
            auto *modify = new frmTaskListModify(taskView, tasks);
            shown.reset(modify);
            field = modify->txtOutputFile();
            exit = modify->cmdExit();
        }
        shown->show();
        QVERIFY(QTest::qWaitForWindowActive(shown.get()));
        QWidget *target = focusOnExit ? exit : field;
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QVERIFY(!shown->isVisible());
        QCOMPARE(shown->result(), result);
        QVERIFY(recorder.messages.isEmpty());
    }
};

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    tst_DialogKeys test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_DialogKeys.moc"

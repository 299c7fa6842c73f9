#include "DeskMessages.h"
#include "DeskWindow.h"
#include "FailureNumbers.h"
#include "FolderTreeControl.h"
#include "SplitterControl.h"
#include "StoreTestSupport.h"
#include "Twips.h"
#include "clsCommandInfo.h"
#include "clsCommandRefresh.h"
#include "clsCommandStart.h"
#include "clsCommandToolbox.h"
#include "clsContextMenuFileList.h"
#include "clsContextMenuTaskList.h"
#include "clsControlFileList.h"
#include "clsControlFolderTree.h"
#include "clsControlSplitter.h"
#include "clsControlTaskList.h"
#include "clsEventsFolderTree.h"
#include "clsUserSettings.h"
#include "frmInfo.h"

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

// Every test starts with an empty settings store and a folder tree of its
// own under a temporary folder; "a restart" is a second frmMain over the
// same store.
class tst_frmMain : public QObject {
    Q_OBJECT

    std::unique_ptr<DeskTest::TemporarySettingsStore> store_;
    std::unique_ptr<QTemporaryDir> folders_;
    std::unique_ptr<RecordingPresenter> messages_;

    QString folder(const QString &name) const {
        const QString path = folders_->filePath(name);
        QDir().mkpath(path);
        return path;
    }
    static QString stored(const QString &key) {
        return clsUserSettings::readText(key, QStringLiteral("<missing>"));
    }
    static QSize designedSize() {
        return {twipsToPixels(frmMain::kDesignWidth),
                twipsToPixels(frmMain::kDesignHeight)};
    }
    // Constructs, shows and activates the window as a start of KavroDesk.
    static std::unique_ptr<DeskWindow> start() {
        auto window = std::make_unique<DeskWindow>();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the window did not become active");
        return window;
    }
    static QString selectedPath(const frmMain &window) {
        return window.ctlFolderTree()->SelectedFolder().path;
    }

  private slots:
    void init() {
        store_ = std::make_unique<DeskTest::TemporarySettingsStore>();
        folders_ = std::make_unique<QTemporaryDir>();
        messages_ = std::make_unique<RecordingPresenter>();
    }
    void cleanup() {
        messages_.reset();
        folders_.reset();
        store_.reset();
    }

    void firstStartWithEmptyStore() {
        const auto window = start();
        QVERIFY(messages_->messages.isEmpty());
        QCOMPARE(window->windowStateNumber(), 0);
        QCOMPARE(window->size(), designedSize());
        QCOMPARE(window->ctlSplitterHorizontal()->barPosition(), 65);
        QCOMPARE(window->ctlSplitterVertical()->barPosition(), 33);
        QVERIFY(window->ctlFolderTree()->isFilled());
        QCOMPARE(selectedPath(*window), QString());
        QCOMPARE(window->objects().userSettings->OutputFolder(), QString());
        QCOMPARE(window->objects().userSettings->OutputSuffix(),
                 QStringLiteral("_UTM"));

        // The panes hold their controls and the outer splitter fills the
        // room between tool bar and status bar across the full width.
        SplitterControl *outer = window->ctlSplitterHorizontal();
        QCOMPARE(outer->firstPane(), window->ctlSplitterVertical());
        QCOMPARE(outer->secondPane(), window->lvwTaskList());
        QCOMPARE(window->ctlSplitterVertical()->firstPane(),
                 window->ctlFolderTree());
        QCOMPARE(window->ctlSplitterVertical()->secondPane(),
                 window->lvwFileList());
        QCOMPARE(outer->height(), window->height() -
                                      window->tlbToolbar()->height() -
                                      window->staStatusBar()->height());
        QCOMPARE(outer->width(), window->width());
        QVERIFY(window->lvwFileList()->isVisible());
        QVERIFY(window->lvwTaskList()->isVisible());
        QVERIFY(window->ctlFolderTree()->isVisible());
        const QList<int> rows = outer->sizes();
        QVERIFY(qAbs(rows[0] * 100.0 / (rows[0] + rows[1]) - 65) < 1);
    }

    void boundsAndSplittersRestoredAfterRestart() {
        const QRect bounds(40, 60, 700, 500);
        {
            const auto window = start();
            window->setGeometry(bounds);
            window->ctlSplitterHorizontal()->setBarPosition(40);
            window->ctlSplitterVertical()->setBarPosition(20);
            QVERIFY(window->close());
        }
        QCOMPARE(stored("FormTop"), QString::number(pixelsToTwips(60)));
        QCOMPARE(stored("FormLeft"), QString::number(pixelsToTwips(40)));
        QCOMPARE(stored("FormWidth"), QString::number(pixelsToTwips(700)));
        QCOMPARE(stored("FormHeight"), QString::number(pixelsToTwips(500)));
        QCOMPARE(stored("SplitterPosHorizontal"), QStringLiteral("40"));
        QCOMPARE(stored("SplitterPosVertical"), QStringLiteral("20"));

        const auto window = start();
        QCOMPARE(window->geometry(), bounds);
        QCOMPARE(window->ctlSplitterHorizontal()->barPosition(), 40);
        QCOMPARE(window->ctlSplitterVertical()->barPosition(), 20);
        QVERIFY(messages_->messages.isEmpty());
    }

    void maximisedWindowStoredAsNormalWithItsNormalBounds() {
        const QRect bounds(30, 50, 640, 480);
        {
            const auto window = start();
            window->setGeometry(bounds);
            window->showMaximized();
            QTRY_VERIFY(window->isMaximized());
            QTRY_VERIFY(window->geometry() != bounds);
            QVERIFY(window->close());
        }
        QCOMPARE(stored("FormWindowState"), QStringLiteral("0"));
        QCOMPARE(stored("FormTop"), QString::number(pixelsToTwips(50)));
        QCOMPARE(stored("FormWidth"), QString::number(pixelsToTwips(640)));

        const auto window = start();
        QVERIFY(!window->isMaximized());
        QCOMPARE(window->geometry(), bounds);
    }

    // A bad value stops the handler that reads it at that key: the keys after
    // it keep their defaults, the other handlers go on, nothing blocks.
    void storedValueThatCannotBeAppliedIsReportedOnce_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("number");
        QTest::newRow("FormTop")
            << "FormTop"
            << "top"
            << "frmMain.Form_Load" << FailureNumbers::kTypeMismatch;
        QTest::newRow("FormWindowState")
            << "FormWindowState"
            << "7"
            << "frmMain.Form_Load" << FailureNumbers::kInvalidPropertyValue;
        QTest::newRow("SplitterPosHorizontal")
            << "SplitterPosHorizontal"
            << "6x5"
            << "" << FailureNumbers::kTypeMismatch;
    }
    void storedValueThatCannotBeAppliedIsReportedOnce() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, caption);
        QFETCH(int, number);
        using S = clsUserSettings;
        S::writeNumber(S::kKeyFormTop, pixelsToTwips(70));
        S::writeNumber(S::kKeyFormLeft, pixelsToTwips(80));
        S::writeNumber(S::kKeyFormWidth, pixelsToTwips(600));
        S::writeNumber(S::kKeyFormHeight, pixelsToTwips(400));
        S::writeWholeNumber(S::kKeySplitterPosHorizontal, 50);
        S::writeWholeNumber(S::kKeySplitterPosVertical, 20);
        S::writeText(key, value);

        const auto window = start();
        QCOMPARE(messages_->messages.size(), 1);
        QCOMPARE(messages_->messages[0].caption, caption);
        QVERIFY2(messages_->messages[0].text.startsWith(
                     QStringLiteral("Error %1: ").arg(number)),
                 qPrintable(messages_->messages[0].text));
        QCOMPARE(messages_->messages[0].icon, MessageIcon::Critical);

        const bool windowFailed =
            caption == QStringLiteral("frmMain.Form_Load");
        QCOMPARE(window->size(),
                 windowFailed ? designedSize() : QSize(600, 400));
        QCOMPARE(window->ctlSplitterHorizontal()->barPosition(),
                 windowFailed ? 50 : 65);
        QCOMPARE(window->ctlSplitterVertical()->barPosition(),
                 windowFailed ? 20 : 33);
        QCOMPARE(window->ctlSplitterHorizontal()->secondPane(),
                 window->lvwTaskList());
        QCOMPARE(window->ctlSplitterVertical()->firstPane(),
                 window->ctlFolderTree());

        // The close overwrites the bad value.
        QVERIFY(window->close());
        QVERIFY(stored(key) != value);
    }

    void selectedFolderRestoredAtNextStart() {
        const QString roads = folder(QStringLiteral("gis/roads"));
        {
            const auto window = start();
            window->ctlFolderTree()->SelectFolder(roads);
            QCOMPARE(selectedPath(*window), roads);
            QVERIFY(window->close());
        }
        QCOMPARE(stored("FolderTreeCurrentPath"), roads);
        const auto window = start();
        QCOMPARE(selectedPath(*window), roads);
    }

    void laterActivationKeepsTheUsersFolder() {
        clsUserSettings::writeText(clsUserSettings::kKeyFolderTreeCurrentPath,
                                   folder(QStringLiteral("stored")));
        const auto window = start();
        const QString chosen = folder(QStringLiteral("chosen"));
        window->ctlFolderTree()->SelectFolder(chosen);
        QEvent activation(QEvent::WindowActivate);
        QApplication::sendEvent(window.get(), &activation);
        QCOMPARE(selectedPath(*window), chosen);
    }

    // The two handlers of "filled" run in creation order: the folder tree
    // controller selects the stored folder, then Refresh selects the folder
    // it remembered. Each change of selection refreshes the file list.
    void refreshSelectsTheSameFolderAgain() {
        const QString storedFolder = folder(QStringLiteral("stored"));
        const QString chosen = folder(QStringLiteral("chosen"));
        clsUserSettings::writeText(clsUserSettings::kKeyFolderTreeCurrentPath,
                                   storedFolder);
        const auto window = start();
        FolderTreeControl *tree = window->ctlFolderTree();
        tree->SelectFolder(chosen);

        QStringList selections;
        connect(tree, &FolderTreeControl::SelectionChanged, this,
                [&] { selections << tree->SelectedFolder().path; });
        QSignalSpy filled(tree, &FolderTreeControl::Filled);
        QTest::mouseClick(window->cmdRefresh(), Qt::LeftButton);
        QCOMPARE(filled.count(), 1);
        QCOMPARE(selections, QStringList({storedFolder, chosen}));
        QCOMPARE(selectedPath(*window), chosen);
        QCOMPARE(window->objects().commandRefresh->rememberedPath(), chosen);
        QVERIFY(messages_->messages.isEmpty());
    }

    void escapeClosesTheWindowAndWritesTheSettings_data() {
        QTest::addColumn<QString>("focus");
        QTest::newRow("folder tree") << "ctlFolderTree";
        QTest::newRow("file list") << "lvwFileList";
        QTest::newRow("task list") << "lvwTaskList";
        QTest::newRow("button") << "cmdStart";
    }
    void escapeClosesTheWindowAndWritesTheSettings() {
        QFETCH(QString, focus);
        const QString roads = folder(QStringLiteral("roads"));
        const auto window = start();
        window->ctlFolderTree()->SelectFolder(roads);
        auto *target = window->findChild<QWidget *>(focus);
        QVERIFY(target);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QCOMPARE(stored("FolderTreeCurrentPath"), roads);
        QCOMPARE(stored("FormWindowState"), QStringLiteral("0"));
        QCOMPARE(stored("FormWidth"),
                 QString::number(pixelsToTwips(window->width())));
        QCOMPARE(stored("SplitterPosHorizontal"), QStringLiteral("65"));
        QCOMPARE(stored("SplitterPosVertical"), QStringLiteral("33"));
        QVERIFY(!window->ctlFolderTree()->isFilled());
        QVERIFY(messages_->messages.isEmpty());
    }

    // Other keys are previewed once each, also a key that a button
    // ignores and Qt therefore offers to its parents.
    void otherKeysDoNotClose() {
        const auto window = start();
        QList<int> previewed;
        connect(window.get(), &frmMain::KeyPress,
                [&](int keyAscii) { previewed << keyAscii; });
        window->cmdStart()->setFocus();
        QTest::keyClick(window->cmdStart(), Qt::Key_A);
        QTest::keyClick(window->cmdStart(), Qt::Key_B);
        QTest::keyClick(window->lvwFileList(), Qt::Key_A);
        QTest::keyClick(window->lvwFileList(), Qt::Key_Return);
        QTest::keyClick(window.get(), Qt::Key_C);
        QVERIFY(window->isVisible());
        QCOMPARE(previewed, (QList<int>{'a', 'b', 'a', '\r', 'c'}));
    }

    void minimisedOrTooSmallWindowKeepsTheSplitterHeight() {
        const auto window = start();
        SplitterControl *outer = window->ctlSplitterHorizontal();
        const int bars =
            window->tlbToolbar()->height() + window->staStatusBar()->height();

        window->resize(700, 500);
        QTRY_COMPARE(outer->height(), 500 - bars);

        window->setWindowState(Qt::WindowMinimized);
        window->resize(700, 450);
        QCOMPARE(outer->height(), 500 - bars);

        window->setWindowState(Qt::WindowNoState);
        window->resize(700, 460);
        QTRY_COMPARE(outer->height(), 460 - bars);

        window->resize(700, bars);
        QTRY_COMPARE(window->height(), bars);
        QCOMPARE(outer->height(), 460 - bars);
    }

    void windowGoneWithoutClosingLeavesTheStoreUnchanged() {
        {
            const auto window = start();
            window->ctlFolderTree()->SelectFolder(folder(QStringLiteral("x")));
        }
        QVERIFY(!QFile::exists(clsUserSettings::storeFileName()));
    }

    void closingBeforeTheTreeWasFilledKeepsTheStoredFolder() {
        const QString roads = folder(QStringLiteral("roads"));
        clsUserSettings::writeText(clsUserSettings::kKeyFolderTreeCurrentPath,
                                   roads);
        DeskWindow window;
        window.show(); // never activated, so never filled
        window.ctlFolderTree()->Clear();
        QVERIFY(window.close());
        QCOMPARE(stored("FolderTreeCurrentPath"), roads);
        QCOMPARE(stored("FormWindowState"), QStringLiteral("0"));
    }

    // The main window's Info button opens the dialog modally.
    void infoButtonOpensTheDialog() {
        DeskWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto *info =
                qobject_cast<frmInfo *>(QApplication::activeModalWidget());
            opened = info != nullptr;
            if (info)
                info->cmdOK()->click();
        });
        window.cmdInfo()->click();
        QVERIFY(opened);
    }

    void sharedObjectsReleasedInCreationOrder() {
        auto window = std::make_unique<DeskWindow>();
        DeskObjects &objects = window->objects();
        QCOMPARE(DeskObjects::current(), &objects);
        QCOMPARE(objects.window(), window.get());
        // The controllers and commands, 4 to 14 in creation order; the
        // settings and the two stores before them are no QObjects.
        const QObject *const controllers[] = {
            objects.controlSplitter.get(),    objects.controlFolderTree.get(),
            objects.controlFileList.get(),    objects.controlTaskList.get(),
            objects.eventsFolderTree.get(),   objects.commandRefresh.get(),
            objects.commandToolbox.get(),     objects.commandStart.get(),
            objects.commandInfo.get(),        objects.contextMenuFileList.get(),
            objects.contextMenuTaskList.get()};
        QStringList created, released;
        for (const QObject *object : controllers) {
            QVERIFY(object);
            const QString name = object->metaObject()->className();
            created << name;
            connect(object, &QObject::destroyed, this,
                    [&released, name] { released << name; });
        }
        QCOMPARE(created,
                 QStringList({"clsControlSplitter", "clsControlFolderTree",
                              "clsControlFileList", "clsControlTaskList",
                              "clsEventsFolderTree", "clsCommandRefresh",
                              "clsCommandToolbox", "clsCommandStart",
                              "clsCommandInfo", "clsContextMenuFileList",
                              "clsContextMenuTaskList"}));
        QVERIFY(objects.userSettings);
        QVERIFY(objects.fileList);
        QVERIFY(objects.taskList);
        window.reset();
        QCOMPARE(released, created);
        QCOMPARE(DeskObjects::current(), nullptr);
    }
};

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    tst_frmMain test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmMain.moc"

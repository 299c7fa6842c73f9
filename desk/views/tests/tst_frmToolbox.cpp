#include "BrowseFF.h"
#include "DeskMessages.h"
#include "DeskTestSupport.h"
#include "clsUserSettings.h"
#include "frmToolbox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using DeskTest::whenModal;

class tst_frmToolbox : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        QVERIFY(store_.isValid() && folders_.isValid());
        clsUserSettings::setStoreFolder(store_.path());
        QFile::remove(clsUserSettings::storeFileName());
        recorder_ = std::make_unique<RecordingPresenter>();
    }
    void cleanup() {
        recorder_.reset();
        clsUserSettings::setStoreFolder(QString());
    }

    // OK refuses a folder that does not exist, in its status bar, keeps the
    // dialog open with the focus back in the folder box, and stores
    // nothing; empty folder and suffix are accepted; an existing folder and
    // a suffix are taken over.
    void okStoresOnlyValidValues_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("missing folder") << "/no/such/folder"
                                        << "_X" << false;
        QTest::newRow("empty folder and suffix") << ""
                                                 << "" << true;
        QTest::newRow("existing folder") << "@"
                                         << "_ETRS" << true;
    }
    void okStoresOnlyValidValues() {
        QFETCH(QString, folder);
        QFETCH(QString, suffix);
        QFETCH(bool, accepted);
        if (folder == QLatin1String("@"))
            folder = folders_.path();

        clsUserSettings settings;
        settings.setOutputFolder(QStringLiteral("/before"));
        settings.setOutputSuffix(QStringLiteral("_UTM"));
        frmToolbox dialog(settings);
        QCOMPARE(dialog.txtOutputFolder()->text(), QStringLiteral("/before"));
        QCOMPARE(dialog.txtOutputSuffix()->text(), QStringLiteral("_UTM"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        DeskTest::exitThenOkAtBottomRight(dialog, dialog.cmdExit(),
                                          dialog.cmdOK());
        dialog.txtOutputFolder()->setText(folder);
        dialog.txtOutputSuffix()->setText(suffix);
        dialog.txtOutputSuffix()->setFocus();

        QTest::mouseClick(dialog.cmdOK(), Qt::LeftButton);

        if (accepted) {
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(!dialog.isVisible());
            QCOMPARE(settings.OutputFolder(), folder);
            QCOMPARE(settings.OutputSuffix(), suffix);
            QVERIFY(dialog.statusPanel1().isEmpty());
        } else {
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.statusPanel1(),
                     QStringLiteral("Invalid value in Outputfolder!"));
            QCOMPARE(QApplication::focusWidget(), dialog.txtOutputFolder());
            QCOMPARE(settings.OutputFolder(), QStringLiteral("/before"));
            QCOMPARE(settings.OutputSuffix(), QStringLiteral("_UTM"));
        }
        QVERIFY(recorder_->messages.isEmpty());
    }

    // Tabbing out of the folder box with a missing folder only complains:
    // the focus moves on. Correcting it clears the complaint.
    void tabbingOutComplainsButMovesOn() {
        clsUserSettings settings;
        frmToolbox dialog(settings);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.txtOutputFolder()->setFocus();
        dialog.txtOutputFolder()->setText(QStringLiteral("/no/such/folder"));
        QTest::keyClick(dialog.txtOutputFolder(), Qt::Key_Tab);
        QCOMPARE(dialog.statusPanel1(),
                 QStringLiteral("Invalid value in Outputfolder!"));
        QVERIFY(QApplication::focusWidget() != dialog.txtOutputFolder());

        dialog.txtOutputFolder()->setFocus();
        QCOMPARE(dialog.txtOutputFolder()->selectedText(),
                 QStringLiteral("/no/such/folder"));
        dialog.txtOutputFolder()->setText(folders_.path());
        QTest::keyClick(dialog.txtOutputFolder(), Qt::Key_Tab);
        QVERIFY(dialog.statusPanel1().isEmpty());
    }

    // The language is shown as stored (a value that names none as the
    // system's) and written by OK only when it changed; Exit writes none.
    void languageIsWrittenByOkWhenItChanges_data() {
        QTest::addColumn<QString>("stored"); // "-": no key
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("after"); // "-": no key
        QTest::newRow("none, kept") << "-"
                                    << "system" << true << "-";
        QTest::newRow("none, Italian") << "-"
                                       << "it" << true << "it";
        QTest::newRow("none, Italian, Exit") << "-"
                                             << "it" << false << "-";
        QTest::newRow("German, English") << "de"
                                         << "en" << true << "en";
        QTest::newRow("German, back to the system")
            << "de"
            << "system" << true << "system";
        QTest::newRow("unknown, kept") << "fr"
                                       << "system" << true << "system";
    }
    void languageIsWrittenByOkWhenItChanges() {
        QFETCH(QString, stored);
        QFETCH(QString, chosen);
        QFETCH(bool, ok);
        QFETCH(QString, after);
        const QString none = QStringLiteral("-");
        if (stored != none)
            clsUserSettings::writeText(clsUserSettings::kKeyLanguage, stored);
        clsUserSettings settings;
        frmToolbox dialog(settings);
        QCOMPARE(dialog.cboLanguage()->count(), 4);
        QCOMPARE(dialog.cboLanguage()->itemText(2), QStringLiteral("Italiano"));
        const QString shown = dialog.cboLanguage()->currentData().toString();
        QCOMPARE(shown, stored == "de" ? stored : QStringLiteral("system"));
        dialog.cboLanguage()->setCurrentIndex(
            dialog.cboLanguage()->findData(chosen));
        (ok ? dialog.cmdOK() : dialog.cmdExit())->click();
        QCOMPARE(clsUserSettings::readText(clsUserSettings::kKeyLanguage, none),
                 after);
    }

    // Exit and Escape store neither value, but whatever the folder box
    // showed becomes the folder browser's next start folder.
    void leavingKeepsOnlyTheBrowseStart_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Exit") << false;
        QTest::newRow("Escape") << true;
    }
    void leavingKeepsOnlyTheBrowseStart() {
        QFETCH(bool, escape);
        clsUserSettings settings;
        settings.setOutputFolder(QString());
        {
            frmToolbox dialog(settings);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            dialog.txtOutputFolder()->setText(QStringLiteral("/typed/there"));
            dialog.txtOutputSuffix()->setText(QStringLiteral("_changed"));
            if (escape)
                QTest::keyClick(dialog.txtOutputSuffix(), Qt::Key_Escape);
            else
                QTest::mouseClick(dialog.cmdExit(), Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        QCOMPARE(settings.OutputFolder(), QString());
        QCOMPARE(settings.OutputSuffix(), QStringLiteral("_UTM"));
        QCOMPARE(clsUserSettings::readText(
                     clsUserSettings::kKeyBrowseFFCurrentPath, QString()),
                 QStringLiteral("/typed/there"));
        frmToolbox next(settings);
        QCOMPARE(next.ctlBrowseFF()->startFolder(),
                 QStringLiteral("/typed/there"));
        QCOMPARE(next.ctlBrowseFF()->title(), QStringLiteral("Output Folder"));
        QCOMPARE(next.ctlBrowseFF()->prompt(),
                 QStringLiteral("Select Output Folder"));
    }

    // Browse opens the folder dialog at the stored start folder; a folder
    // chosen there lands in the folder box, a cancelled dialog changes
    // nothing.
    void browseTakesTheChosenFolder_data() {
        QTest::addColumn<bool>("choose");
        QTest::newRow("chosen") << true;
        QTest::newRow("cancelled") << false;
    }
    void browseTakesTheChosenFolder() {
        QFETCH(bool, choose);
        const QString start = folders_.filePath(QStringLiteral("start"));
        const QString target = folders_.filePath(QStringLiteral("target dir"));
        QVERIFY(QDir().mkpath(start) && QDir().mkpath(target));
        clsUserSettings::writeText(clsUserSettings::kKeyBrowseFFCurrentPath,
                                   start);
        clsUserSettings settings;
        settings.setOutputFolder(QStringLiteral("/as/before"));
        frmToolbox dialog(settings);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));

        QString title, prompt, firstSelection;
        bool browsed = false;
        whenModal<BrowseFFDialog>(
            [&](BrowseFFDialog &browser) {
                title = browser.windowTitle();
                const QList<QLabel *> labels = browser.findChildren<QLabel *>();
                if (!labels.isEmpty())
                    prompt = labels.first()->text();
                firstSelection = browser.selectedFolder();
                if (choose) {
                    QVERIFY(browser.selectFolder(target));
                    browser.accept();
                } else {
                    QVERIFY(browser.selectFolder(target));
                    browser.reject();
                }
            },
            &browsed);
        QTest::mouseClick(dialog.cmdBrowse(), Qt::LeftButton);
        QVERIFY(browsed);

        QCOMPARE(title, QStringLiteral("Output Folder"));
        QCOMPARE(prompt, QStringLiteral("Select Output Folder"));
        QCOMPARE(firstSelection, start);
        QCOMPARE(dialog.txtOutputFolder()->text(),
                 choose ? target : QStringLiteral("/as/before"));
        QVERIFY(dialog.isVisible());
    }

    // With KAVRO_SCREENSHOT_DIR set (under a real X server), saves what a
    // person sees of the Toolbox after a refused OK, and of its folder
    // browser.
    void screenshot() {
        const QString folder = qEnvironmentVariable("KAVRO_SCREENSHOT_DIR");
        if (folder.isEmpty())
            QSKIP("KAVRO_SCREENSHOT_DIR is not set");
        clsUserSettings::writeText(clsUserSettings::kKeyBrowseFFCurrentPath,
                                   folders_.path());
        clsUserSettings settings;
        frmToolbox dialog(settings);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.txtOutputFolder()->setText(QStringLiteral("/no/such/folder"));
        dialog.cmdOK()->click();
        QTest::qWait(200);
        QVERIFY(dialog.grab().save(folder + QStringLiteral("/frmToolbox.png")));
        bool browsed = false;
        whenModal<QDialog>(
            [&](QDialog &modal) {
                QTest::qWait(300);
                QVERIFY(modal.grab().save(folder +
                                          QStringLiteral("/BrowseFF.png")));
                modal.reject();
            },
            &browsed);
        dialog.cmdBrowse()->click();
        QVERIFY(browsed);
    }

  private:
    QTemporaryDir store_;
    QTemporaryDir folders_;
    std::unique_ptr<RecordingPresenter> recorder_;
};

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    tst_frmToolbox test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmToolbox.moc"

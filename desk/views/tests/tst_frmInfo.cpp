#include "DeskMessages.h"
#include "clsUserSettings.h"
#include "frmInfo.h"
#include "modKAVRO.h"
#include "modWin32API.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QtTest>

// Catches what OpenDocument hands to the desktop, so that no browser starts.
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class tst_frmInfo : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QVERIFY(store_.isValid());
        clsUserSettings::setStoreFolder(store_.path());
        modKAVRO::SetProgramFolder(QStringLiteral(KAVRO_PROGRAM_DIR));
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher_,
                                        "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher_,
                                        "open");
    }
    void cleanupTestCase() {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        modKAVRO::SetProgramFolder(QString());
        clsUserSettings::setStoreFolder(QString());
    }
    void init() { catcher_.opened.clear(); }

    // Each link label opens its guide; the guides lie in the program
    // folder, and the documents they link to lie beside them.
    void linkLabelsOpenTheShippedGuides_data() {
        QTest::addColumn<bool>("german");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QString>("file");
        QTest::newRow("German") << true << "Projekt \"TALVEN\" im Internet"
                                << "Klick, um Browser zu starten"
                                << "KavroDesk-de.html";
        QTest::newRow("Italian") << false << "Progetto \"TALVEN\" in Internet"
                                 << "Fare Click, per avviare il Browser"
                                 << "KavroDesk-it.html";
    }
    void linkLabelsOpenTheShippedGuides() {
        QFETCH(bool, german);
        QFETCH(QString, text);
        QFETCH(QString, toolTip);
        QFETCH(QString, file);
        RecordingPresenter recorder;
        frmInfo dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Info"));
        QLabel *label =
            german ? dialog.lblInternet_D() : dialog.lblInternet_I();
        QCOMPARE(label->text(), text);
        QCOMPARE(label->toolTip(), toolTip);
        QVERIFY(label->font().bold() && label->font().underline());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        QTest::mouseClick(label, Qt::LeftButton);

        QCOMPARE(catcher_.opened.size(), 1);
        const QUrl url = catcher_.opened.first();
        QVERIFY(url.isLocalFile());
        const QString guide = url.toLocalFile();
        QCOMPARE(guide, QStringLiteral(KAVRO_PROGRAM_DIR "/doc/guide/") + file);
        QFile page(guide);
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(guide));
        const QString html = QString::fromUtf8(page.readAll());
        // Every relative link of the guide reaches a shipped document.
        static const QRegularExpression link(
            QStringLiteral("href=\"([^\"#:]+)\""));
        int links = 0;
        for (const auto &match : link.globalMatch(html)) {
            const QString target =
                QFileInfo(guide).dir().filePath(match.captured(1));
            QVERIFY2(QFileInfo::exists(target), qPrintable(target));
            ++links;
        }
        QVERIFY(links >= 4);
        QVERIFY(dialog.isVisible());
        QVERIFY(recorder.messages.isEmpty());
    }

    // An address that nothing can open gives no message.
    void unopenableAddressIsSilent() {
        RecordingPresenter recorder;
        modWin32API::OpenDocument(QStringLiteral("no-such-scheme://nowhere"));
        modWin32API::OpenDocument(QString());
        QVERIFY(recorder.messages.isEmpty());
    }

    // With KAVRO_SCREENSHOT_DIR set (under a real X server), saves what a
    // person sees of the dialog.
    void screenshot() {
        const QString folder = qEnvironmentVariable("KAVRO_SCREENSHOT_DIR");
        if (folder.isEmpty())
            QSKIP("KAVRO_SCREENSHOT_DIR is not set");
        frmInfo dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::qWait(200);
        QVERIFY(dialog.grab().save(folder + QStringLiteral("/frmInfo.png")));
    }

  private:
    QTemporaryDir store_;
    UrlCatcher catcher_;
};

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    tst_frmInfo test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmInfo.moc"

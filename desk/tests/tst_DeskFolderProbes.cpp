#include "DeskMessages.h"
#include "DeskTestSupport.h"
#include "DeskWindow.h"
#include "FolderTreeControl.h"
#include "adoFileList.h"
#include "adoTaskList.h"
#include "clsUserSettings.h"
#include "modFileNames.h"
#include "modKAVRO.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Folders as users have them, through the whole desktop and the real
// boxcheck and KAVRO: names that are not UTF-8, names no batch line can
// hold, data of the wrong zone, pipes. Every test checks that the inputs
// are unchanged and that what goes wrong is said.
namespace {
const QString kSamples = QStringLiteral(KAVRO_SOURCE_DIR "/data/samples");
const QString kEngineDir = QStringLiteral(KAVRO_ENGINE_DIR);
using DeskTest::readFile;

QByteArray bytesOf(const QString &path) { return QFile::encodeName(path); }

// Every regular file of a folder by its raw name, with its content.
QMap<QByteArray, QByteArray> contents(const QByteArray &folder) {
    QMap<QByteArray, QByteArray> files;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return files;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray path = folder + '/' + entry->d_name;
        struct stat status {};
        if (::lstat(path.constData(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
        QByteArray content;
        const int fd = ::open(path.constData(), O_RDONLY);
        char buffer[65536];
        for (ssize_t got;
             fd >= 0 && (got = ::read(fd, buffer, sizeof buffer)) > 0;)
            content.append(buffer, got);
        if (fd >= 0)
            ::close(fd);
        files.insert(entry->d_name, content);
    }
    ::closedir(dir);
    return files;
}

// A sample shapefile with its companions under a raw name.
void copySample(const QString &sample, const QByteArray &target) {
    for (const char *extension : {".shp", ".shx", ".dbf", ".cpg"}) {
        const QByteArray content =
            readFile(kSamples + "/" + sample + extension);
        const QByteArray path = target + extension;
        const int fd =
            ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, content.constData(), content.size()),
                 ssize_t(content.size()));
        ::close(fd);
    }
}
} // namespace

class tst_DeskFolderProbes : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString data_, out_;
    std::unique_ptr<RecordingPresenter> recorder_;
    std::unique_ptr<DeskWindow> window_;
    QMap<QByteArray, QByteArray> inputs_;
    QStringList shown_; // every status bar line, in turn

    void open() {
        inputs_ = contents(bytesOf(data_));
        window_ = std::make_unique<DeskWindow>();
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        shown_.clear();
        connect(window_->staStatusBar(), &QStatusBar::messageChanged, this,
                [this](const QString &text) { shown_ << text; });
        QElapsedTimer clock;
        clock.start();
        window_->ctlFolderTree()->SelectFolder(data_);
        QVERIFY2(clock.elapsed() < 20000, "the listing took its time");
        window_->objects().userSettings->setOutputFolder(out_);
    }
    QString status() const {
        return window_->staStatusBar()->currentMessage();
    } // The listed file of that name: its shape type and note.
    std::pair<int, QString> listed(const QString &name) {
        adoFileList &files = *window_->objects().fileList;
        RecordSet &records = files.Recordset();
        for (records.moveFirst(); !records.atEnd(); records.moveNext())
            if (files.FileName() == name)
                return {files.ShapeType(), files.Note()};
        return {-1, QStringLiteral("not listed")};
    }
    int tasks() const { return window_->lvwTaskList()->topLevelItemCount(); }

  private slots:
    void initTestCase() {
        if (!QFileInfo::exists(kEngineDir + "/KAVRO"))
            QSKIP("KAVRO is not built");
        modKAVRO::SetProgramFolder(QStringLiteral(KAVRO_PROGRAM_DIR));
    }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        clsUserSettings::setStoreFolder(dir_->filePath("store"));
        data_ = dir_->filePath("data");
        out_ = dir_->filePath("out");
        const QString temp = dir_->filePath("temp");
        for (const QString &folder : {data_, out_, temp})
            QVERIFY(QDir().mkpath(folder));
        qputenv("TEMP", QFile::encodeName(temp));
        recorder_ = std::make_unique<RecordingPresenter>();
    }
    void cleanup() {
        if (window_)
            QCOMPARE(contents(bytesOf(data_)), inputs_);
        window_.reset();
        recorder_.reset();
        clsUserSettings::setStoreFolder(QString());
        // Qt cannot name files whose names are not UTF-8.
        std::error_code ignored;
        std::filesystem::remove_all(
            QFile::encodeName(dir_->path()).toStdString(), ignored);
        dir_.reset();
    }

    // A Latin-1 name is listed with U+FFFD, converted under its own bytes;
    // a folder the tree cannot show is named in the status bar.
    void namesThatAreNotUtf8AreListedAndConverted() {
        copySample("gbo_points", bytesOf(data_) + "/caf\xe8");
        QCOMPARE(::mkdir((bytesOf(data_) + "/d\xe9p").constData(), 0755), 0);
        open();
        const QString name = modFileNames::DecodeName("caf\xe8.shp");
        QCOMPARE(listed(name).first, int(ShapeGBO));
        QCOMPARE(window_->lvwFileList()->topLevelItem(0)->text(0),
                 QStringLiteral("caf\uFFFD.shp"));
        QVERIFY2(status().contains(QStringLiteral("d\uFFFDp")),
                 qPrintable(status()));
        window_->mnuFileListAddAll()->trigger();
        QCOMPARE(tasks(), 1);
        window_->cmdStart()->click();
        QCOMPARE(recorder_->texts(), QStringList{"Program completed."});
        const auto written = contents(bytesOf(out_));
        for (const char *extension : {"shp", "shx", "dbf", "cpg", "prj"})
            QVERIFY2(written.contains(QByteArray("caf\xe8_UTM.") + extension),
                     extension);
        QCOMPARE(written.size(), 5);
        QCOMPARE(written.value("caf\xe8_UTM.prj"),
                 readFile(kEngineDir + "/utm_etrs89.prj"));
    }

    // East-zone data, and data across the West zone's edge, are unknown:
    // the row and the status bar say why, and Add All leaves them out.
    void dataOutsideTheirZoneAreNotConverted() {
        const QByteArray data = bytesOf(data_);
        DeskTest::writePointShapefile(data_ + "/east",
                                      {{2400000, 4500000}, {2410000, 4510000}});
        DeskTest::writePointShapefile(data_ + "/across",
                                      {{1950000, 5000000}, {2050000, 5100000}});
        DeskTest::writePointShapefile(data_ + "/west",
                                      {{1650000, 5100000}, {1700000, 5200000}});
        open();
        const QString outside =
            QStringLiteral("extent outside Gauss-Boaga West");
        QCOMPARE(listed("east.shp"), std::make_pair(3, outside));
        QCOMPARE(listed("across.shp"), std::make_pair(3, outside));
        QCOMPARE(listed("west.shp").first, int(ShapeGBO));
        QVERIFY2(
            shown_.contains("Listing " + data_ + ": 0 of 3 shapefiles ..."),
            qPrintable(shown_.join(u'|')));
        QTreeWidget *rows = window_->lvwFileList();
        QVERIFY(rows->topLevelItem(1)->text(2).contains(outside));
        window_->mnuFileListAddAll()->trigger();
        QCOMPARE(tasks(), 1);
        QCOMPARE(status(), "Not added: across.shp (" + outside +
                               "), east.shp (" + outside + ")");
        QVERIFY(recorder_->messages.isEmpty());
    }

    // Names and a suffix that no batch line can hold: the files are listed,
    // not added, with one line that names them; a suffix with a double
    // quote is caught by Start's checks before anything runs.
    void namesAndSuffixesKavroCannotBeGiven() {
        const QByteArray data = bytesOf(data_);
        copySample("gbo_points", data + "/a\"b");
        copySample("gbo_points", data + "/line\nbreak");
        copySample("gbo_points", data + "/plain");
        open();
        QCOMPARE(window_->lvwFileList()->topLevelItemCount(), 3);
        QVERIFY(recorder_->messages.isEmpty());
        QVERIFY2(status().contains("a\"b.shp") &&
                     status().contains(QStringLiteral("line\u21B5break.shp")),
                 qPrintable(status()));
        QCOMPARE(listed("a\"b.shp").first, int(ShapeUnknown));
        window_->objects().userSettings->setOutputSuffix("_\"x");
        window_->mnuFileListAddAll()->trigger();
        QCOMPARE(tasks(), 1);
        window_->cmdStart()->click();
        QCOMPARE(recorder_->texts(), QStringList{"Errors were found. - Program "
                                                 "couldn't be started."});
        QCOMPARE(window_->lvwTaskList()->topLevelItem(0)->text(2),
                 QStringLiteral("Output-Name holds a double quote or a line "
                                "break"));
        QVERIFY(contents(bytesOf(out_)).isEmpty());
    }

    // Pipes named like a shapefile or its index are refused at once, never
    // waited on, and the folder lists the rest.
    void pipesInTheFolderDoNotHang() {
        const QByteArray data = bytesOf(data_);
        QCOMPARE(::mkfifo((data + "/pipe.shp").constData(), 0600), 0);
        copySample("gbo_points", data + "/beside");
        QVERIFY(QFile::remove(data_ + "/beside.shx"));
        QCOMPARE(::mkfifo((data + "/beside.shx").constData(), 0600), 0);
        copySample("gbo_points", data + "/plain");
        open();
        QCOMPARE(listed("pipe.shp"),
                 std::make_pair(3, QStringLiteral("not a regular file")));
        QCOMPARE(listed("beside.shp"),
                 std::make_pair(3, "no extent: " + data_ +
                                       "/beside.shx is not a regular file"));
        QVERIFY2(status().contains("pipe.shp"), qPrintable(status()));
        window_->mnuFileListAddAll()->trigger();
        QCOMPARE(tasks(), 1);
    }
};

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    tst_DeskFolderProbes test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_DeskFolderProbes.moc"

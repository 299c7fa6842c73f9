#include "DeskMessages.h"
#include "DeskTestSupport.h"
#include "NativePath.h"
#include "modFileNames.h"
#include "modVarious.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {
using DeskTest::readFile;
using DeskTest::writeFile;

// The one failure box a trapped routine shows: empty caption, critical icon.
void expectOneFailure(const RecordingPresenter &recorder, int number) {
    QCOMPARE(recorder.messages.size(), 1);
    QCOMPARE(recorder.messages[0].caption, QString());
    QCOMPARE(recorder.messages[0].icon, MessageIcon::Critical);
    QCOMPARE(recorder.messages[0].buttons, MessageButtons::Ok);
    QVERIFY2(recorder.messages[0].text.startsWith(
                 QStringLiteral("Error %1: ").arg(number)),
             qPrintable(recorder.messages[0].text));
}
} // namespace

class tst_modVarious : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir dir_;
    QString path(const QString &name) const { return dir_.filePath(name); }

  private slots:
    void init() {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir(dir_.path()).removeRecursively());
        QVERIFY(QDir().mkpath(dir_.path()));
    }

    void namesAreCutAtTheLastDotOfTheFileNameOnly_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("baseName");
        QTest::addColumn<QString>("extension");
        QTest::newRow("two dots") << "data/roads.old.shp"
                                  << "roads.old"
                                  << "shp";
        QTest::newRow("dotted folder") << "v1.2 data/roads.shp"
                                       << "roads"
                                       << "shp";
        QTest::newRow("trailing dot") << "data/roads."
                                      << "roads"
                                      << "";
        QTest::newRow("blanks and $") << "a $b/my roads.SHP"
                                      << "my roads"
                                      << "SHP";
    }
    void namesAreCutAtTheLastDotOfTheFileNameOnly() {
        QFETCH(QString, relative);
        QFETCH(QString, baseName);
        QFETCH(QString, extension);
        const QString file = path(relative);
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        writeFile(file, "x");
        RecordingPresenter recorder;
        QCOMPARE(modVarious::GetFileBaseName(file), baseName);
        QCOMPARE(modVarious::GetFileExtension(file), extension);
        QCOMPARE(modVarious::GetParentFolder(file), QFileInfo(file).path());
        QVERIFY(recorder.messages.isEmpty());
    }

    void nameWithoutDot() {
        writeFile(path("README"), "x");
        RecordingPresenter recorder;
        QCOMPARE(modVarious::GetFileExtension(path("README")),
                 QStringLiteral("README"));
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(modVarious::GetFileBaseName(path("README")), QString());
        expectOneFailure(recorder, 5);
    }

    // A missing file, a folder and the empty path are no file objects: each
    // name routine shows one failure and gives the empty text.
    void nameRoutinesFailWithoutAFile_data() {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing") << "missing.shp";
        QTest::newRow("folder") << "folder.shp";
        QTest::newRow("empty") << "";
    }
    void nameRoutinesFailWithoutAFile() {
        QFETCH(QString, relative);
        QVERIFY(QDir(dir_.path()).mkdir("folder.shp"));
        const QString file = relative.isEmpty() ? QString() : path(relative);
        for (auto routine :
             {&modVarious::GetFileBaseName, &modVarious::GetFileExtension,
              &modVarious::GetParentFolder}) {
            RecordingPresenter recorder;
            QCOMPARE(routine(file), QString());
            expectOneFailure(recorder, 53);
            QVERIFY(recorder.messages[0].text.contains(file));
        }
    }

    // A name keeps the file system's bytes, whatever they are, and shows
    // them readably: U+FFFD for a byte that is not UTF-8, a mark for a line
    // break, ten names on a status line.
    void namesKeepTheirBytesAndShowReadably() {
        const QByteArray latin1("caf\xe8\n\xff.shp");
        const QString name = modFileNames::DecodeName(latin1);
        QCOMPARE(modFileNames::EncodeName(name), latin1);
        QVERIFY(modFileNames::HasKeptBytes(name));
        QVERIFY(!modFileNames::HasKeptBytes(QStringLiteral("città.shp")));
        QCOMPARE(modFileNames::ShownName(name),
                 QStringLiteral("caf\uFFFD\n\uFFFD.shp"));

        QStringList names{name};
        for (int i = 1; i < 12; ++i)
            names << QStringLiteral("f%1.shp").arg(i);
        QCOMPARE(modFileNames::ShownNameList(names),
                 QStringLiteral("caf\uFFFD\u21B5\uFFFD.shp, f1.shp, f2.shp, "
                                "f3.shp, f4.shp, f5.shp, f6.shp, f7.shp, "
                                "f8.shp, f9.shp and 2 more"));
    }

    // A path made from the stores' text keeps the file system's bytes in its
    // parts: its folder, its companions and its extension; a double quote or
    // a line break anywhere keeps it off a batch line.
    void nativePathsWorkOnTheBytes() {
        const QByteArray latin1("/d\xe8/caf\xe8.SHP");
        const NativePath path(modFileNames::DecodeName(latin1));
        QCOMPARE(path.bytes(), latin1);
        QCOMPARE(path.companion(".prj").bytes(),
                 QByteArray("/d\xe8/caf\xe8.prj"));
        QCOMPARE(path.folder().bytes(), QByteArray("/d\xe8"));
        QCOMPARE(path.lastExtension(), QByteArray("SHP"));
        QCOMPARE(path.text(), modFileNames::DecodeName(latin1));
        QCOMPARE(path.shown(), QStringLiteral("/d\uFFFD/caf\uFFFD.SHP"));
        const struct {
            const char *path, *folder;
            bool passable;
        } cases[] = {{"/a.shp", "/", true},
                     {"a.shp", "", true},
                     {"/a b/\"x.shp", "/a b", false},
                     {"/a\nb/x.shp", "/a\nb", false},
                     {"/a\rb.shp", "/", false}};
        for (const auto &c : cases) {
            QCOMPARE(NativePath(c.path).folder().bytes(), QByteArray(c.folder));
            QCOMPARE(NativePath(c.path).canBePassed(), c.passable);
        }
        QVERIFY(!NativePath::fromBytes(QByteArray("a\0b", 3)).canBePassed());
    }

    void existenceTests() {
        writeFile(path("file.shp"), "x");
        QVERIFY(QDir(dir_.path()).mkdir("folder"));
        QVERIFY(QFile::link(path("file.shp"), path("link.shp")));
        QVERIFY(QFile::link(path("gone.shp"), path("dangling.shp")));
        struct Case {
            const char *name;
            bool file, folder;
        };
        const Case cases[] = {{"file.shp", true, false},
                              {"folder", false, true},
                              {"missing", false, false},
                              {"link.shp", true, false},
                              {"dangling.shp", false, false}};
        RecordingPresenter recorder;
        for (const Case &c : cases) {
            QCOMPARE(modVarious::FileExists(path(c.name)), c.file);
            QCOMPARE(modVarious::FolderExists(path(c.name)), c.folder);
        }
        QVERIFY(!modVarious::FileExists(QString()));
        QVERIFY(!modVarious::FolderExists(QString()));
        QVERIFY(recorder.messages.isEmpty());
    }

    void deleteRemovesReadOnlyFilesAndLinksThemselves() {
        writeFile(path("ro.shp"), "x");
        QVERIFY(QFile::setPermissions(path("ro.shp"), QFile::ReadOwner));
        writeFile(path("target.shp"), "kept");
        QVERIFY(QFile::link(path("target.shp"), path("link.shp")));
        QVERIFY(QFile::link(path("gone.shp"), path("dangling.shp")));
        RecordingPresenter recorder;
        QVERIFY(modVarious::DeleteFile(path("ro.shp")));
        QVERIFY(modVarious::DeleteFile(path("link.shp")));
        QVERIFY(modVarious::DeleteFile(path("dangling.shp")));
        QVERIFY(recorder.messages.isEmpty());
        QVERIFY(!QFileInfo::exists(path("ro.shp")));
        QVERIFY(!QFileInfo(path("link.shp")).isSymLink());
        QVERIFY(!QFileInfo(path("dangling.shp")).isSymLink());
        QCOMPARE(readFile(path("target.shp")), QByteArray("kept"));

        // No file: a missing one, a folder.
        QVERIFY(!modVarious::DeleteFile(path("ro.shp")));
        expectOneFailure(recorder, 53);
        QVERIFY(!modVarious::DeleteFile(dir_.path()));
        QVERIFY(QFileInfo(dir_.path()).isDir());
    }

    void copyReplacesTargetAndKeepsEveryByte() {
        // Larger than one copy chunk, with every byte value.
        QByteArray content;
        for (int i = 0; i < 200000; ++i)
            content += char(i * 7 % 256);
        writeFile(path("source.prj"), content);
        writeFile(path("target.prj"), "old and longer than nothing");
        RecordingPresenter recorder;
        QVERIFY(modVarious::CopyFile(path("source.prj"), path("target.prj")));
        QVERIFY(modVarious::CopyFile(path("source.prj"), path("new.prj")));
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(readFile(path("target.prj")), content);
        QCOMPARE(readFile(path("new.prj")), content);
        QCOMPARE(readFile(path("source.prj")), content);

        // A link at the target is replaced itself; the file it points to,
        // read-only or not, and the place a dangling one names stay as they
        // were.
        writeFile(path("other.prj"), "other");
        writeFile(path("locked.prj"), "locked");
        QVERIFY(QFile::setPermissions(path("locked.prj"), QFile::ReadOwner));
        QVERIFY(QDir(dir_.path()).mkdir("folder"));
        const QStringList links = {"link.prj", "locked link.prj",
                                   "dangling.prj", "folder link.prj"};
        const QStringList pointed = {"other.prj", "locked.prj", "gone.prj",
                                     "folder"};
        for (int k = 0; k < links.size(); ++k) {
            QVERIFY(QFile::link(path(pointed[k]), path(links[k])));
            QVERIFY2(modVarious::CopyFile(path("source.prj"), path(links[k])),
                     qPrintable(links[k]));
            const QFileInfo replaced(path(links[k]));
            QVERIFY(!replaced.isSymLink() && replaced.isFile());
            QCOMPARE(readFile(path(links[k])), content);
        }
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(readFile(path("other.prj")), QByteArray("other"));
        QCOMPARE(readFile(path("locked.prj")), QByteArray("locked"));
        QVERIFY(!QFileInfo::exists(path("gone.prj")));
        QVERIFY(QDir(path("folder")).isEmpty());
    }

    void copyFailuresLeaveTheTargetAlone() {
        writeFile(path("source.prj"), "new");
        writeFile(path("target.prj"), "old");
        QVERIFY(QDir(dir_.path()).mkdir("folder.prj"));
        struct Case {
            const char *source, *target;
            int number;
        };
        const Case cases[] = {{"missing.prj", "target.prj", 53},
                              {"folder.prj", "target.prj", 53},
                              {"source.prj", "no folder/target.prj", 76},
                              {"source.prj", "folder.prj", 70}};
        for (const Case &c : cases) {
            RecordingPresenter recorder;
            QVERIFY(!modVarious::CopyFile(path(c.source), path(c.target)));
            expectOneFailure(recorder, c.number);
        }
        QCOMPARE(readFile(path("target.prj")), QByteArray("old"));
        QVERIFY(QFileInfo(path("folder.prj")).isDir());
    }

    void copyDoesNotOverwriteAReadOnlyTarget() {
        if (::geteuid() == 0)
            QSKIP("every file is writable for the super-user");
        writeFile(path("source.prj"), "new");
        writeFile(path("target.prj"), "old");
        QVERIFY(QFile::setPermissions(path("target.prj"), QFile::ReadOwner));
        RecordingPresenter recorder;
        QVERIFY(!modVarious::CopyFile(path("source.prj"), path("target.prj")));
        expectOneFailure(recorder, 70);
        QCOMPARE(readFile(path("target.prj")), QByteArray("old"));
    }
};

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KavroDesk"));
    tst_modVarious test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modVarious.moc"

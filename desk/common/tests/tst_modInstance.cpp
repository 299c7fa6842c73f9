#include "DeskMessages.h"
#include "DeskTestSupport.h"
#include "modInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <sys/stat.h>

// One KavroDesk per user, with the real program holding the lock.
namespace {
const QString kDesk = QStringLiteral(KAVRO_PROGRAM_DIR "/KavroDesk");

// Whether the process holds an flock on the file, as /proc/locks lists it.
bool holdsLock(qint64 pid, const QString &file) {
    struct stat status {};
    if (::stat(QFile::encodeName(file).constData(), &status) != 0)
        return false;
    const QString inode = QStringLiteral(":%1 ").arg(status.st_ino);
    for (const QByteArray &line :
         DeskTest::readFile(QStringLiteral("/proc/locks")).split('\n')) {
        const QString text = QString::fromLatin1(line) + u' ';
        if (text.contains(QLatin1String("FLOCK")) &&
            text.contains(QStringLiteral(" %1 ").arg(pid)) &&
            text.contains(inode))
            return true;
    }
    return false;
}
} // namespace

class tst_modInstance : public QObject {
    Q_OBJECT
  private slots:
    // A second start is refused with its message while the first runs, and
    // a lock left by a first that was killed does not count.
    void oneKavroDeskPerUser() {
        if (!QFileInfo::exists(kDesk))
            QSKIP("KavroDesk is not built");
        QTemporaryDir dir;
        const QString runtime = dir.filePath(QStringLiteral("run"));
        const QString config = dir.filePath(QStringLiteral("config"));
        QVERIFY(QDir().mkpath(runtime) && QDir().mkpath(config));
        QVERIFY(QFile::setPermissions(
            runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        DeskTest::EnvironmentGuard runtimeGuard("XDG_RUNTIME_DIR");
        DeskTest::EnvironmentGuard configGuard("XDG_CONFIG_HOME");
        DeskTest::EnvironmentGuard tempGuard("TEMP");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
        qputenv("TEMP", QFile::encodeName(dir.path()));
        const QString lock = modInstance::LockFile();
        QCOMPARE(lock, runtime + QStringLiteral("/KavroDesk.lock"));

        QProcess first;
        QProcessEnvironment environment =
            QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                           QStringLiteral("offscreen"));
        first.setProcessEnvironment(environment);
        first.start(kDesk, {});
        QVERIFY(first.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        while (!holdsLock(first.processId(), lock) && clock.elapsed() < 20000)
            QThread::msleep(10);
        QVERIFY(holdsLock(first.processId(), lock));

        {
            RecordingPresenter recorder;
            QVERIFY(!modInstance::ClaimInstance());
            QCOMPARE(recorder.messages.size(), 1);
            QCOMPARE(recorder.messages[0].text,
                     modInstance::AlreadyRunningText());
            QCOMPARE(recorder.messages[0].icon, MessageIcon::None);
        }
        first.kill(); // as kill -9: nothing is cleaned up
        QVERIFY(first.waitForFinished());
        QVERIFY(QFileInfo::exists(lock));
        QVERIFY2(QDir(config).isEmpty(), "a setting was written");
        RecordingPresenter recorder;
        QVERIFY(modInstance::ClaimInstance());
        QVERIFY(recorder.messages.isEmpty());
    }
};

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KavroDesk"));
    tst_modInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modInstance.moc"

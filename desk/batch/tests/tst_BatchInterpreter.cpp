#include "BatchInterpreter.h"
#include "DeskMessages.h"
#include "DeskTestSupport.h"
#include "modWin32API.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

namespace {
struct Run {
    QList<QByteArray> arguments;
    QByteArray appendFile;
};

// Records every program line instead of starting it; a program named in
// `failing` cannot be started.
class FakeStarter final : public ProgramStarter {
  public:
    QString run(const QList<QByteArray> &arguments,
                const QByteArray &appendFile) override {
        runs.append({arguments, appendFile});
        return arguments.front() == failing ? QStringLiteral("cannot start")
                                            : QString();
    }
    QList<Run> runs;
    QByteArray failing;
};

using DeskTest::crlf;
using DeskTest::readFile;
using DeskTest::writeFile;

QList<QByteArray> words(std::initializer_list<const char *> list) {
    QList<QByteArray> result;
    for (const char *word : list)
        result.append(word);
    return result;
}
} // namespace

class tst_BatchInterpreter : public QObject {
    Q_OBJECT
  private slots:
    void argumentsAndRedirection_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QList<QByteArray>>("arguments");
        QTest::addColumn<QByteArray>("appendFile");
        QTest::newRow("plain")
            << QByteArray("prog a  b\tc") << words({"prog", "a", "b", "c"})
            << QByteArray();
        QTest::newRow("quotes join")
            << QByteArray("prog a\"b c\"d \"\" x")
            << words({"prog", "ab cd", "", "x"}) << QByteArray();
        QTest::newRow("inside quotes nothing is special")
            << QByteArray("\"/p/q r\" \"a & b | c > d ^ %e% `f` $g; 'h'\"")
            << words({"/p/q r", "a & b | c > d ^ %e% `f` $g; 'h'"})
            << QByteArray();
        QTest::newRow(">> in quotes is an argument")
            << QByteArray("prog \">>\" \"x >> y\"")
            << words({"prog", ">>", "x >> y"}) << QByteArray();
        QTest::newRow("append quoted")
            << QByteArray("prog a >> \"o u t\"") << words({"prog", "a"})
            << QByteArray("o u t");
        QTest::newRow("append tight")
            << QByteArray("prog a>>\"out\"  ") << words({"prog", "a"})
            << QByteArray("out");
        QTest::newRow("append plain") << QByteArray("  prog >> out")
                                      << words({"prog"}) << QByteArray("out");
    }
    void argumentsAndRedirection() {
        QFETCH(QByteArray, line);
        QFETCH(QList<QByteArray>, arguments);
        QFETCH(QByteArray, appendFile);
        FakeStarter starter;
        const BatchOutcome outcome = BatchInterpreter(starter).run(line);
        QVERIFY2(outcome.completed, qPrintable(outcome.failure));
        QCOMPARE(starter.runs.size(), 1);
        QCOMPARE(starter.runs[0].arguments, arguments);
        QCOMPARE(starter.runs[0].appendFile, appendFile);
    }

    // Anything else stops the batch at that line; nothing after it runs.
    void unknownLinesStopTheBatch_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("echo without @") << QByteArray("echo hello");
        QTest::newRow("set") << QByteArray("set X=1");
        QTest::newRow("if") << QByteArray("if exist a goto b");
        QTest::newRow("del") << QByteArray("DEL \"x\"");
        QTest::newRow("@ command") << QByteArray("@prog");
        QTest::newRow("overwrite") << QByteArray("prog > \"out\"");
        QTest::newRow("pipe") << QByteArray("prog | more");
        QTest::newRow("and") << QByteArray("prog a&b");
        QTest::newRow("variable") << QByteArray("%COMSPEC% /c x");
        QTest::newRow("open quote") << QByteArray("\"prog a");
        QTest::newRow("after output") << QByteArray("prog >> \"o\" x");
        QTest::newRow("no output") << QByteArray("prog >>");
        QTest::newRow("no program") << QByteArray(">> \"o\"");
        QTest::newRow("missing label") << QByteArray("goto nowhere");
        QTest::newRow("goto with more") << QByteArray("goto ENDE now");
    }
    void unknownLinesStopTheBatch() {
        QFETCH(QByteArray, line);
        FakeStarter starter;
        const BatchOutcome outcome = BatchInterpreter(starter).run(
            crlf("@echo off\nfirst\n" + line + "\nsecond\n:ENDE\nexit\n"));
        QVERIFY(!outcome.completed);
        QCOMPARE(outcome.failedLine, 3);
        QCOMPARE(outcome.failureNumber, 1001);
        QVERIFY(!outcome.failure.isEmpty());
        QCOMPARE(starter.runs.size(), 1);
        QCOMPARE(starter.runs[0].arguments, words({"first"}));
    }

    void gotoFindsLabelsBelowFirstThenFromTheTop() {
        FakeStarter starter;
        const BatchOutcome outcome = BatchInterpreter(starter).run(
            crlf("goto :B\n:a\n@echo upper a\ngoto :End\n:b\n@echo b\n"
                 "GOTO A\n:a\n@echo lower a\ngoto end\n:ende\n"
                 "@echo not reached\n:END\nexit\n@echo after exit\n"));
        QVERIFY2(outcome.completed, qPrintable(outcome.failure));
        QCOMPARE(outcome.echoed, words({"b", "lower a"}));

        // With no such label below, the search goes round to the top.
        const BatchOutcome round = BatchInterpreter(starter).run(
            "@echo off\n:top\n@echo x\ngoto done\n:back\n@echo back\n"
            "goto fin\n:done\ngoto back\n:fin\n");
        QVERIFY(round.completed);
        QCOMPARE(round.echoed, words({"x", "back"}));
    }

    void endlessJumpingIsStopped() {
        FakeStarter starter;
        const BatchOutcome outcome = BatchInterpreter(starter).run(
            "@echo off\r\n:again\r\ngoto again\r\n");
        QVERIFY(!outcome.completed);
        QVERIFY(outcome.failure.contains(QStringLiteral("stopped")));
    }

    void programThatCannotStartStopsTheBatch() {
        FakeStarter starter;
        starter.failing = "second";
        const BatchOutcome outcome =
            BatchInterpreter(starter).run("first\r\nsecond x\r\nthird\r\n");
        QVERIFY(!outcome.completed);
        QCOMPARE(outcome.failedLine, 2);
        QCOMPARE(outcome.failure, QStringLiteral("cannot start"));
        QCOMPARE(starter.runs.size(), 2);
    }

    // The real starter: argument vector without a shell, output appended.
    void processStarterPassesArgumentsAsTheyAre() {
        QTemporaryDir dir;
        const QByteArray out = QFile::encodeName(dir.filePath("out $x.txt"));
        writeFile(QFile::decodeName(out), "before\n");
        modWin32API::ProcessStarter starter;
        const QByteArray odd = "$HOME; echo `id` & 'q' %PATH% \\n";
        QCOMPARE(starter.run(words({"printf", "%s|%s\\n", odd.constData(), ""}),
                             out),
                 QString());
        QCOMPARE(starter.run(words({"/bin/echo", "two"}), out), QString());
        QCOMPARE(readFile(QFile::decodeName(out)),
                 "before\n" + odd + "|\ntwo\n");
        // Without a file the output goes nowhere.
        QCOMPARE(starter.run(words({"/bin/echo", "gone"}), {}), QString());
    }

    // A batch hands back what its programs showed on the console: both
    // streams of a line without ">>", the error stream of one with it, and
    // of much output only the end.
    void runAndWaitGivesWhatTheConsoleShowed() {
        QTemporaryDir dir;
        const QString batch = dir.filePath(QStringLiteral("c.bat"));
        const QByteArray out = QFile::encodeName(dir.filePath("out.txt"));
        writeFile(batch, crlf("@echo off\n"
                              "sh -c \"echo one; echo two >&2\"\n"
                              "sh -c \"echo three; echo four >&2\" >> \"" +
                              out +
                              "\"\n"
                              "sh -c \"yes x | head -c 300000; "
                              "echo; echo last\"\n"));
        RecordingPresenter recorder;
        const QByteArray console = modWin32API::RunAndWait(batch, 0);
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(readFile(QFile::decodeName(out)), QByteArray("three\n"));
        QCOMPARE(console.size(), BatchOutcome::kMaxConsoleBytes);
        QVERIFY(console.endsWith("x\nx\n\nlast\n"));
        FakeStarter fake;
        QCOMPARE(BatchInterpreter(fake).run("prog\r\n").console, QByteArray());

        writeFile(batch, crlf("sh -c \"echo one; echo two >&2\"\n"
                              "sh -c \"echo four >&2\" >> \"" +
                              out + "\"\n"));
        QCOMPARE(modWin32API::RunAndWait(batch, 0),
                 QByteArray("one\ntwo\nfour\n"));
    }

    void processStarterRefusesWhatItCannotDo() {
        QTemporaryDir dir;
        writeFile(dir.filePath("target"), "kept");
        QVERIFY(QFile::link(dir.filePath("target"), dir.filePath("link")));
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        modWin32API::ProcessStarter starter;
        const QList<QByteArray> echo = words({"/bin/echo", "x"});
        QVERIFY(starter.run(echo, QFile::encodeName(dir.filePath("link")))
                    .contains(QStringLiteral("symbolic link")));
        QVERIFY(!starter.run(echo, QFile::encodeName(dir.filePath("folder")))
                     .isEmpty());
        QVERIFY(!starter.run(echo, QFile::encodeName(dir.filePath("no/f")))
                     .isEmpty());
        QCOMPARE(readFile(dir.filePath("target")), QByteArray("kept"));
        const QString missing =
            starter.run(words({"/no/such/program", "x"}), {});
        QVERIFY(missing.contains(QStringLiteral("/no/such/program")));
    }

    void runAndWaitReportsWhereABatchStopped() {
        QTemporaryDir dir;
        const QString batch = dir.filePath("a b $c.bat");
        const QString out = dir.filePath("out.txt");
        writeFile(batch, crlf("@echo off\n/bin/echo one >> \"" +
                              QFile::encodeName(out) +
                              "\"\nbogus > x\n/bin/echo two >> \"" +
                              QFile::encodeName(out) + "\"\n"));
        RecordingPresenter recorder;
        modWin32API::RunAndWait(batch, 0);
        QCOMPARE(readFile(out), QByteArray("one\n"));
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(recorder.messages[0].caption, QString());
        QCOMPARE(recorder.messages[0].icon, MessageIcon::Critical);
        const QString text = recorder.messages[0].text;
        QVERIFY2(text.startsWith(QStringLiteral("Error 1001: ")) &&
                     text.contains(QStringLiteral("line 3 of ") + batch),
                 qPrintable(text));

        // Quoted command line; a missing batch file; a link to a batch.
        recorder.messages.clear();
        writeFile(batch,
                  "/bin/echo three >> \"" + QFile::encodeName(out) + "\"\r\n");
        modWin32API::RunAndWait('"' + batch + '"', 0);
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(readFile(out), QByteArray("one\nthree\n"));
        modWin32API::RunAndWait(dir.filePath("missing.bat"), 0);
        QVERIFY(QFile::link(batch, dir.filePath("link.bat")));
        modWin32API::RunAndWait(dir.filePath("link.bat"), 0);
        QCOMPARE(recorder.messages.size(), 2);
        QVERIFY(
            recorder.messages[0].text.startsWith(QStringLiteral("Error 53: ")));
        QCOMPARE(readFile(out), QByteArray("one\nthree\n"));

        // Markers such as "%1" in the paths are shown as they are.
        recorder.messages.clear();
        const QString marked = dir.filePath("%1 %2.bat");
        const QString program = dir.filePath("%2/no %1 program");
        writeFile(marked,
                  "@echo off\r\n\"" + QFile::encodeName(program) + "\" x\r\n");
        modWin32API::RunAndWait(marked, 0);
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(recorder.messages[0].text,
                 QStringLiteral("Error 1001: Cannot start ") + program +
                     QStringLiteral(": ") +
                     QString::fromLocal8Bit(std::strerror(ENOENT)) +
                     QStringLiteral(" (line 2 of ") + marked +
                     QStringLiteral(")"));
    }
};

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KavroDesk"));
    tst_BatchInterpreter test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_BatchInterpreter.moc"

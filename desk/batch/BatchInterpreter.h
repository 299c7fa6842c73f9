#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Starts the program of one batch line and waits for it to end.
class ProgramStarter {
  public:
    virtual ~ProgramStarter() = default;
    // arguments[0] is the program. The program's standard output is appended
    // to appendFile, or discarded when that is empty. Gives the empty text
    // when the program ran (whatever its exit status), otherwise why it could
    // not be started.
    virtual QString run(const QList<QByteArray> &arguments,
                        const QByteArray &appendFile) = 0;
    // The same, but what a console window would have shown of the program
    // (its standard error, and its standard output when there is no
    // appendFile) is added to console. By default it is discarded, as run()
    // discards it.
    virtual QString runShowing(const QList<QByteArray> &arguments,
                               const QByteArray &appendFile,
                               QByteArray &console) {
        static_cast<void>(console);
        return run(arguments, appendFile);
    }
};

// How a batch ended.
struct BatchOutcome {
    bool completed = true;    // false: stopped at a line that could not be run
    int failedLine = 0;       // 1-based number of that line
    int failureNumber = 0;    // a FailureNumbers value
    QString failure;          // what went wrong there
    QList<QByteArray> echoed; // the texts of the "@echo" lines that ran
    // What the programs showed on their console, in the order they wrote it;
    // only its last kMaxConsoleBytes are kept.
    QByteArray console;
    static constexpr qsizetype kMaxConsoleBytes = 256 * 1024;
};

// Runs the batch files that the desktop writes; the system offers no
// interpreter for them. It understands exactly these lines (keywords and
// labels without regard to letter case, blanks around a line ignored):
//
//   @echo off            accepted; nothing is ever shown
//   @echo <text>         the text is kept in BatchOutcome::echoed
//   (empty line)
//   :label
//   goto label           also "goto :label"; searched downwards from the
//                        next line, then from the top
//   exit                 ends the batch
//   program arguments    each argument plain or in double quotes (quotes
//                        group, are removed, and may join a plain part);
//                        an optional ">> file" at the end appends the
//                        program's standard output to that file
//
// Nothing is expanded: "%", "$", "&", ";", "'" and backticks inside double
// quotes are plain characters, so a quoted path is always one argument.
// Outside quotes the characters & | < > ^ % are refused, as are the built-in
// commands of batch interpreters (set, if, call, del, ...), which the desktop
// never writes. Every line that is not
// one of the above stops the batch and is reported, never guessed at.
class BatchInterpreter {
  public:
    explicit BatchInterpreter(ProgramStarter &starter) : starter_(starter) {}

    // Lines end with CR LF or LF.
    BatchOutcome run(const QByteArray &batchText);

  private:
    ProgramStarter &starter_;
};

#pragma once

#include "BatchInterpreter.h"

#include <QString>

#include <cstdint>

namespace modWin32API {

// Runs the batch file named by the command line (its full path, in double
// quotes or not) through BatchInterpreter and returns when the batch has
// ended; the calling thread is blocked for the whole run. The window style is
// taken for its callers' sake only: programs always run without a window,
// their standard input on the null device. Returns what the hidden console
// would have shown (the programs' standard error, and the standard output of
// the lines without ">>"), at most its last BatchOutcome::kMaxConsoleBytes.
// A batch file that cannot be read, or a batch that stops at a line it
// cannot run, is shown as a failure with the empty caption.
QByteArray RunAndWait(const QString &commandLine, std::int16_t windowStyle);

// Starts programs from their argument vector, no shell in between, and waits
// for each. The program is looked up in PATH only when its name holds no
// "/". The output file is opened for appending, created with owner-only
// access when missing, and refused when it is a symbolic link or not a plain
// file. Every program started ends when the desktop ends (a parent-death
// signal).
class ProcessStarter final : public ProgramStarter {
  public:
    QString run(const QList<QByteArray> &arguments,
                const QByteArray &appendFile) override;
    QString runShowing(const QList<QByteArray> &arguments,
                       const QByteArray &appendFile,
                       QByteArray &console) override;

  private:
    QString start(const QList<QByteArray> &arguments,
                  const QByteArray &appendFile, QByteArray *console);
};

// The number of processors this process may run on (its CPU affinity), at
// least 1.
int ProcessorCount();

// Hands a document name or a web address to the desktop's default handler
// (a browser for web pages and HTML files). A path without a scheme is taken
// for a local file. Nothing is reported when no handler can open it.
void OpenDocument(const QString &document);

} // namespace modWin32API

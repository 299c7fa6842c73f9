#include "BatchInterpreter.h"

#include "FailureNumbers.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace {

// A batch that jumps back and forth for ever would block the desktop for
// ever; none of the batches the desktop writes runs more than a few lines.
constexpr int kMaxLinesRun = 100000;

// Built-in commands of batch interpreters. The desktop never writes them, so
// a line that starts with one is refused instead of being run as a program
// of that name.
constexpr std::array<std::string_view, 45> kInterpreterCommands = {
    "assoc",  "break", "call",  "cd",     "chdir", "cls",      "color",
    "copy",   "date",  "del",   "dir",    "echo",  "endlocal", "erase",
    "exit",   "for",   "ftype", "goto",   "if",    "md",       "mkdir",
    "mklink", "move",  "path",  "pause",  "popd",  "prompt",   "pushd",
    "rd",     "rem",   "ren",   "rename", "rmdir", "set",      "setlocal",
    "shift",  "start", "time",  "title",  "type",  "ver",      "verify",
    "vol",    "cmd",   "choice"};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray trimBlanks(const QByteArray &text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

QString shown(const QByteArray &text) { return QString::fromLocal8Bit(text); }

// The name of a label or goto target: up to the first blank, compared
// without regard to letter case.
QByteArray labelName(const QByteArray &text) {
    qsizetype end = 0;
    while (end < text.size() && !isBlank(text[end]))
        ++end;
    return text.left(end).toLower();
}

struct ProgramLine {
    QList<QByteArray> arguments;
    QByteArray appendFile;
};

// Splits a program line into its arguments and its ">> file". Gives the
// empty text, or why the line is not a program line.
QString parseProgramLine(const QByteArray &line, ProgramLine &parsed) {
    const qsizetype n = line.size();
    qsizetype i = 0;
    bool redirected = false, haveFile = false;
    while (true) {
        while (i < n && isBlank(line[i]))
            ++i;
        if (i >= n)
            break;
        if (haveFile)
            return QCoreApplication::translate("BatchInterpreter",
                                               "text after the output file");
        if (line[i] == '>' && i + 1 < n && line[i + 1] == '>') {
            if (redirected)
                return QCoreApplication::translate("BatchInterpreter",
                                                   "a second \">>\"");
            redirected = true;
            i += 2;
            continue;
        }
        QByteArray word;
        bool quoted = false;
        while (i < n && (quoted || !isBlank(line[i]))) {
            if (!quoted && line[i] == '>' && i + 1 < n && line[i + 1] == '>')
                break; // "a>>file": the word ends where the ">>" starts
            const char c = line[i++];
            if (c == '"') {
                quoted = !quoted;
                continue;
            }
            if (!quoted && std::strchr("&|<>^%", c) != nullptr)
                return QCoreApplication::translate(
                           "BatchInterpreter",
                           "the character %1 outside double quotes")
                    .arg(QChar::fromLatin1(c));
            word += c;
        }
        if (quoted)
            return QCoreApplication::translate(
                "BatchInterpreter", "a double quote that is not closed");
        if (redirected) {
            parsed.appendFile = word;
            haveFile = true;
        } else {
            parsed.arguments.append(word);
        }
    }
    if (redirected && (!haveFile || parsed.appendFile.isEmpty()))
        return QCoreApplication::translate("BatchInterpreter",
                                           "no file after \">>\"");
    if (parsed.arguments.isEmpty() || parsed.arguments.front().isEmpty())
        return QCoreApplication::translate("BatchInterpreter", "no program");
    const QByteArray program = parsed.arguments.front().toLower();
    if (program.startsWith('@') ||
        std::find(kInterpreterCommands.begin(), kInterpreterCommands.end(),
                  std::string_view(program.constData(), program.size())) !=
            kInterpreterCommands.end())
        return QCoreApplication::translate(
            "BatchInterpreter", "a command this interpreter does not run");
    return {};
}

} // namespace

BatchOutcome BatchInterpreter::run(const QByteArray &batchText) {
    QList<QByteArray> lines = batchText.split('\n');
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);

    // Line indexes of every label, in file order.
    QHash<QByteArray, QList<qsizetype>> labels;
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const QByteArray line = trimBlanks(lines[index]);
        if (line.startsWith(':'))
            labels[labelName(line.mid(1))].append(index);
    }

    BatchOutcome outcome;
    auto stop = [&](qsizetype index, const QString &failure) {
        outcome.completed = false;
        outcome.failedLine = int(index + 1);
        outcome.failureNumber = FailureNumbers::kBatchLine;
        outcome.failure = failure;
        return outcome;
    };

    int linesRun = 0;
    for (qsizetype index = 0; index < lines.size();) {
        if (++linesRun > kMaxLinesRun)
            return stop(
                index, QCoreApplication::translate("BatchInterpreter",
                                                   "The batch ran more than %1 "
                                                   "lines and was stopped")
                           .arg(kMaxLinesRun));
        const QByteArray line = trimBlanks(lines[index]);
        const QByteArray lower = line.toLower();
        if (line.isEmpty() || line.startsWith(':') || lower == "@echo off") {
            ++index;
        } else if (lower.startsWith("@echo ")) {
            outcome.echoed.append(line.mid(6));
            ++index;
        } else if (lower == "exit") {
            return outcome;
        } else if (lower.startsWith("goto ") || lower.startsWith("goto\t")) {
            QByteArray target = trimBlanks(line.mid(5));
            if (target.startsWith(':'))
                target = target.mid(1);
            const QByteArray name = labelName(target);
            if (name.isEmpty() || name.size() != target.size())
                return stop(index, QCoreApplication::translate(
                                       "BatchInterpreter",
                                       "The batch line \"%1\" is not "
                                       "understood")
                                       .arg(shown(line)));
            const auto found = labels.constFind(name);
            if (found == labels.constEnd())
                return stop(index, QCoreApplication::translate(
                                       "BatchInterpreter",
                                       "The batch label \"%1\" is not "
                                       "found")
                                       .arg(shown(target)));
            // Downwards from the next line first, then from the top.
            const QList<qsizetype> &at = found.value();
            const auto below = std::upper_bound(at.begin(), at.end(), index);
            index = below != at.end() ? *below : at.front();
        } else {
            ProgramLine program;
            const QString refused = parseProgramLine(line, program);
            if (!refused.isEmpty())
                return stop(index,
                            QCoreApplication::translate(
                                "BatchInterpreter", "The batch line \"%1\" is "
                                                    "not understood (%2)")
                                .arg(shown(line), refused));
            const QString failure = starter_.runShowing(
                program.arguments, program.appendFile, outcome.console);
            if (outcome.console.size() > BatchOutcome::kMaxConsoleBytes)
                outcome.console.remove(0, outcome.console.size() -
                                              BatchOutcome::kMaxConsoleBytes);
            if (!failure.isEmpty())
                return stop(index, failure);
            ++index;
        }
    }
    return outcome;
}

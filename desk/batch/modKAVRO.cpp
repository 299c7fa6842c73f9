#include "modKAVRO.h"

#include "CoordinateCategory.h"
#include "DeskFailure.h"
#include "DeskMessages.h"
#include "FailureNumbers.h"
#include "FileCopy.h"
#include "FileDescriptor.h"
#include "FileKind.h"
#include "modFileNames.h"
#include "modTempFolder.h"
#include "modVarious.h"
#include "modWin32API.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <limits>
#include <string_view>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace modKAVRO {
namespace {

QString programFolderOverride;

// boxcheck's answer is read from the fourth line of its output, the
// extent's maxima from the sixth, and why a file with an extent is of no
// known category all the same from the seventh.
constexpr int kExtentLineNumber = 4;
constexpr int kMaximaLineNumber = 6;
constexpr int kCategoryLineNumber = 7;
const QString kUnknownCategory = QStringLiteral("Unknown category: ");
// Longer lines are read in pieces of this size; boxcheck's lines are short.
constexpr qint64 kMaxLineBytes = 64 * 1024;
// The answers a classifying slot keeps before it empties its answer file.
constexpr off_t kMaxAnswersKept = 4 * 1024 * 1024;

const QString kShapeStem = QStringLiteral("Shape");
const QString kConvertStem = QStringLiteral("KAVRO");
const QString kBatchExtension = QStringLiteral(".bat");
const QString kAnswerExtension = QStringLiteral(".txt");

// A slot's file: slot 0 has the stem alone ("Shape.bat"), slot k the stem
// and k + 1 ("Shape2.bat"), so that a run of one slot writes what it always
// wrote.
QString slotFileName(const QString &stem, int slot, const QString &extension) {
    return slot <= 0 ? stem + extension
                     : stem + QString::number(slot + 1) + extension;
}
const QByteArray kLineEnd = "\r\n";

// A path is written into a batch line between double quotes and split again
// by the interpreter, so a double quote or a line break in it would change
// the line; such a path is refused before anything is written.
QByteArray batchPath(const NativePath &path) {
    if (!path.canBePassed())
        throw DeskFailure(FailureNumbers::kBadFileName,
                          QCoreApplication::translate(
                              "modKAVRO",
                              "The path %1 holds a double quote or a line "
                              "break and cannot be written into a batch "
                              "file")
                              .arg(path.shown()));
    return path.bytes();
}

QByteArray quoted(const QByteArray &text) { return '"' + text + '"'; }

// The files of a converted shapefile as the desktop places them; a
// GeoPackage or a point list is its one file.
constexpr const char *kOutputExtensions[] = {".shp", ".shx", ".dbf", ".cpg",
                                             ".prj"};

// Whether something (also a dangling link) has that name.
bool exists(const NativePath &path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

// Whether the console output holds the line, whole.
bool reportsLine(const QByteArray &console, const QByteArray &line) {
    for (qsizetype at = console.indexOf(line); at >= 0;
         at = console.indexOf(line, at + 1)) {
        const qsizetype end = at + line.size();
        if ((at == 0 || console[at - 1] == '\n') &&
            (end == console.size() || console[end] == '\n' ||
             console[end] == '\r'))
            return true;
    }
    return false;
}

// Removes a file left by an earlier, maybe interrupted, run; a missing one
// is fine. A symbolic link of that name is removed, not its target.
void removeStale(const NativePath &path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw DeskFailure(FailureNumbers::kPermissionDenied,
                          QCoreApplication::translate(
                              "modKAVRO", "Cannot remove the old file %1: %2")
                              .arg(path.shown(), systemReason(errno)));
}

[[noreturn]] void cannotCreate(const NativePath &path, int error) {
    throw DeskFailure(
        FailureNumbers::kFileAccess,
        QCoreApplication::translate("modKAVRO", "Cannot create the file %1: %2")
            .arg(path.shown(), systemReason(error)));
}

// Creates a new file (never an existing one, never through a symbolic link)
// with owner-only access and writes the text into it; a file cut short is
// removed again.
void createNew(const NativePath &path, const QByteArray &text) {
    if (!writeNewFile(path.string(),
                      std::string_view(text.constData(), text.size())))
        cannotCreate(path, errno);
}

// Creates a new file as createNew does, for reading and writing, and keeps
// it open.
FileDescriptor createOpen(const NativePath &path) {
    FileDescriptor fd(::open(path.c_str(),
                             O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                             0600));
    if (!fd)
        cannotCreate(path, errno);
    return fd;
}

// Whether the path still names the file open as fd (nobody has removed or
// replaced it).
bool stillNamed(const NativePath &path, const FileDescriptor &fd) {
    struct stat named {
    }, open{};
    return fd && ::lstat(path.c_str(), &named) == 0 &&
           ::fstat(fd.get(), &open) == 0 && named.st_dev == open.st_dev &&
           named.st_ino == open.st_ino;
}

// One line of a text file without its line end; a line longer than
// kMaxLineBytes is cut there and its rest skipped.
QByteArray readLine(QFile &file) {
    QByteArray line = file.readLine(kMaxLineBytes);
    if (!line.endsWith('\n'))
        while (!file.atEnd() && !file.readLine(kMaxLineBytes).endsWith('\n')) {
        }
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

// The answer of the test batch, read from offset start on through the
// slot's own descriptor fd of the answer file at the path: the fourth line
// of boxcheck's output, classified, when a fifth line follows; otherwise
// ShapeUnknown. The category then holds only when the whole extent lies in
// its box, with the maxima from the sixth line (see ShapeTypeOfExtent).
ShapeType readAnswer(int fd, off_t start, const NativePath &path,
                     QString &reason) {
    QFile file;
    if (::lseek(fd, start, SEEK_SET) != start ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        throw DeskFailure(
            FailureNumbers::kFileAccess,
            QCoreApplication::translate("modKAVRO", "Cannot read %1: %2")
                .arg(path.shown(), file.errorString()));
    }
    QStringList lines;
    while (!file.atEnd() && lines.size() < kCategoryLineNumber)
        lines.append(QString::fromLocal8Bit(readLine(file)));
    return ShapeTypeOfReport(lines, reason);
}

// A token reads as a number when it is an optional sign followed by decimal
// digits, blanks around it allowed. Nothing else counts: the "." of a
// fraction has become a blank, so "1.65E6" leaves "65E6", which is no
// coordinate. Values beyond the 32-bit range come back as they are, capped
// just above it, so that the caller can tell them apart.
bool readNumber(const QString &token, std::int64_t &value) {
    constexpr std::int64_t kCap =
        std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    const QString text = token.trimmed();
    qsizetype position = 0;
    bool negative = false;
    if (position < text.size() &&
        (text[position] == u'+' || text[position] == u'-')) {
        negative = text[position] == u'-';
        ++position;
    }
    if (position == text.size())
        return false;
    std::int64_t magnitude = 0;
    for (; position < text.size(); ++position) {
        const char16_t c = text[position].unicode();
        if (c < u'0' || c > u'9')
            return false;
        magnitude = std::min(magnitude * 10 + (c - u'0'), kCap);
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

bool fits32Bits(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

} // namespace

QString ProgramFolder() {
    if (!programFolderOverride.isEmpty())
        return programFolderOverride;
    return QCoreApplication::applicationDirPath();
}

void SetProgramFolder(const QString &folder) {
    programFolderOverride = folder;
    while (programFolderOverride.size() > 1 &&
           programFolderOverride.endsWith(u'/'))
        programFolderOverride.chop(1);
}

QString TempFolder() {
    const QByteArray temp = qgetenv("TEMP");
    if (!temp.isEmpty())
        return modFileNames::DecodeName(temp);
    return modTempFolder::PrivateTempFolder();
}

QByteArray ShapeBatchText(const QString &programFolder,
                          const QString &shapeFile, const QString &tempFolder,
                          int slot) {
    const QByteArray p = batchPath(programFolder);
    const QByteArray s = batchPath(shapeFile);
    const QByteArray t = batchPath(tempFolder);
    return "@echo off" + kLineEnd + quoted(p + "/KAVRO/boxcheck") + ' ' +
           quoted(s) + " -YMIN 2500000 >> " +
           quoted(t + '/' + modFileNames::EncodeName(ShapeAnswerName(slot))) +
           kLineEnd;
}

QByteArray
ConvertBatchText(const QString &programFolder, const NativePath &inputFile,
                 const NativePath &outputFile, ShapeType shapeType,
                 const modTransformation::Transformation &transformation,
                 int engineThreads) {
    const QByteArray p = batchPath(programFolder);
    const QByteArray i = batchPath(inputFile);
    const QByteArray o = batchPath(outputFile);
    const QByteArray threads = engineThreads > 0
                                   ? " -TH " + QByteArray::number(engineThreads)
                                   : QByteArray();
    const QByteArray engine = quoted(p + "/KAVRO/KAVRO") + " -FT " +
                              EngineFileType(FileKindOf(inputFile)) + threads +
                              " -IF " + quoted(i) + " -OF " + quoted(o) +
                              " -TS ";

    QList<QByteArray> lines;
    lines << "@echo off"
          << quoted(p + "/KAVRO/boxcheck") + ' ' + quoted(i) + " -YMIN 2500000";
    // The jump is fixed here from the task's shape type; boxcheck's exit
    // status is never looked at.
    if (shapeType == ShapeGBOShift)
        lines << "goto answer4";
    else if (shapeType == ShapeGBO)
        lines << "goto answer2";
    lines << ""
          << ":answer0"
          << "@echo Impossible to open file " + i << "goto :ENDE"
          << ""
          << ":answer1"
          << "@echo Wrong parameters"
          << "goto :ENDE"
          << ""
          << ":answer2"
          << "@echo The Shapefile extent IS INSIDE the given box (GBO "
             "standard)"
          << engine + quoted(p + "/KAVRO/script/" +
                             QFile::encodeName(transformation.gboScript()))
          << "goto :ENDE"
          << ""
          << ":answer3"
          << "@echo The Shapefile extent IS PARTIALLY INSIDE the given box"
          << "goto :ENDE"
          << ""
          << ":answer4"
          << "@echo The Shapefile extent IS COMPLETELY OUTSIDE the given box "
             "(GBO P.A. Valmora)"
          << engine + quoted(p + "/KAVRO/script/" +
                             QFile::encodeName(transformation.gboShiftScript()))
          << "goto :ENDE"
          << ""
          << ":ENDE"
          << "exit";
    QByteArray text;
    for (const QByteArray &line : lines)
        text += line + kLineEnd;
    return text;
}

namespace {

// The first two counting values of an extent line (see ParseExtentLine):
// false when there are fewer than two, or one does not fit 32 bits.
bool extentValues(const QString &line, std::int64_t &first,
                  std::int64_t &second) {
    QString text = line;
    text.replace(u'.', u' ').replace(u',', u' ');
    const QStringList tokens = text.split(u' ', Qt::KeepEmptyParts);
    first = second = 0;
    int counted = 0;
    // The last token is never examined (it is "end" in boxcheck's line).
    for (qsizetype index = 0; index + 1 < tokens.size() && counted < 2;
         ++index) {
        std::int64_t value = 0;
        if (!readNumber(tokens[index], value) || value <= kSmallestCoordinate)
            continue;
        // A coordinate that does not fit a 32-bit whole number is no usable
        // value: the pair cannot be classified.
        if (!fits32Bits(value))
            return false;
        (counted++ == 0 ? first : second) = value;
    }
    return first > 0 && second > 0;
}

// Why an extent is of no category: beyond the box of the category of its
// minima, in the order of the categories (untranslated here).
constexpr const char *kOutsideBox[] = {
    QT_TRANSLATE_NOOP("modKAVRO",
                      "extent outside the shortened Gauss-Boaga form"),
    QT_TRANSLATE_NOOP("modKAVRO", "extent outside Gauss-Boaga West"),
    QT_TRANSLATE_NOOP("modKAVRO", "extent outside UTM zone 32"),
};
static_assert(std::size(kOutsideBox) == std::size(kCategoryBoxes));

} // namespace

// The shape types 0 to 3 are the coordinate categories, in their order.
static_assert(static_cast<ShapeType>(CoordinateCategory::GaussBoagaShortened) ==
                  ShapeGBOShift &&
              static_cast<ShapeType>(CoordinateCategory::GaussBoaga) ==
                  ShapeGBO &&
              static_cast<ShapeType>(CoordinateCategory::Utm32) == ShapeUTM &&
              static_cast<ShapeType>(CoordinateCategory::Unknown) ==
                  ShapeUnknown);

ShapeType ParseExtentLine(const QString &line) {
    std::int64_t first = 0, second = 0;
    if (!extentValues(line, first, second))
        return ShapeUnknown;
    return static_cast<ShapeType>(categoryOfMinima(first, second));
}

ShapeType ShapeTypeOfExtent(const QString &minima, const QString &maxima,
                            QString &reason) {
    const ShapeType type = ParseExtentLine(minima);
    if (type == ShapeUnknown) {
        reason =
            QCoreApplication::translate("modKAVRO", "no extent could be read");
        return ShapeUnknown;
    }
    std::int64_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    extentValues(minima, xMin, yMin);
    if (!extentValues(maxima, xMax, yMax)) {
        reason = QCoreApplication::translate(
            "modKAVRO", "the extent's maxima are not known");
        return ShapeUnknown;
    }
    if (categoryOfExtent(xMin, yMin, xMax, yMax) ==
        CoordinateCategory::Unknown) {
        reason = QCoreApplication::translate("modKAVRO", kOutsideBox[type]);
        return ShapeUnknown;
    }
    return type;
}

ShapeType ShapeTypeOfReport(const QStringList &lines, QString &reason) {
    // Nothing after the fourth line (or fewer than four lines): the output
    // is not the one expected.
    if (lines.size() <= kExtentLineNumber) {
        reason =
            QCoreApplication::translate("modKAVRO", "boxcheck gave no extent");
        return ShapeUnknown;
    }
    const QString &minima = lines[kExtentLineNumber - 1];
    const QString maxima = lines.size() >= kMaximaLineNumber
                               ? lines[kMaximaLineNumber - 1]
                               : QString();
    const ShapeType type = ShapeTypeOfExtent(minima, maxima, reason);
    // A GeoPackage whose layers' systems contradict each other or its
    // coordinates has an extent, and no category all the same.
    if (type != ShapeUnknown && lines.size() >= kCategoryLineNumber &&
        lines[kCategoryLineNumber - 1].startsWith(kUnknownCategory)) {
        reason = lines[kCategoryLineNumber - 1].mid(kUnknownCategory.size());
        if (reason.isEmpty())
            reason =
                QCoreApplication::translate("modKAVRO", "unknown category");
        return ShapeUnknown;
    }
    // boxcheck says at the end of its fifth line why it read no extent.
    const QString &answer = lines[kExtentLineNumber];
    const qsizetype why = answer.indexOf(QLatin1String(": "));
    if (type == ShapeUnknown && ParseExtentLine(minima) == ShapeUnknown &&
        why >= 0)
        reason = QCoreApplication::translate("modKAVRO", "no extent: %1")
                     .arg(answer.mid(why + 2)); // boxcheck's words
    return type;
}

QString ShapeBatchName(int slot) {
    return slotFileName(kShapeStem, slot, kBatchExtension);
}

QString ShapeAnswerName(int slot) {
    return slotFileName(kShapeStem, slot, kAnswerExtension);
}

ShapeType GetShapeType(const QString &shapeFile, QString *reason, int slot) {
    return ShapeSlot(slot).classify(shapeFile, reason);
}

ShapeSlot::ShapeSlot(int slot) : slot_(slot) {}

ShapeSlot::~ShapeSlot() {
    // Only the files still ours go; a failure is shown.
    for (const auto &[path, fd] :
         {std::pair{&batch_, &batchFd_}, std::pair{&answer_, &answerFd_}})
        if (stillNamed(*path, *fd))
            modVarious::DeleteFile(*path);
}

void ShapeSlot::makeFiles() {
    if (stillNamed(batch_, batchFd_) && stillNamed(answer_, answerFd_))
        return;
    batchFd_ = FileDescriptor();
    answerFd_ = FileDescriptor();
    temp_ = TempFolder();
    program_ = ProgramFolder();
    batch_ = temp_ + u'/' + ShapeBatchName(slot_);
    answer_ = temp_ + u'/' + ShapeAnswerName(slot_);
    removeStale(batch_);
    removeStale(answer_);
    batchFd_ = createOpen(batch_);
    // The answer file is ours before boxcheck appends to it, so nobody else
    // can have put one there in between.
    answerFd_ = createOpen(answer_);
}

ShapeType ShapeSlot::classify(const QString &shapeFile, QString *reason) {
    ShapeType result = ShapeUnknown;
    QString why;
    guard(QString(), [&] {
        makeFiles();
        const QByteArray text =
            ShapeBatchText(program_, shapeFile, temp_, slot_);
        // The batch and the answer are used again for every file: one new
        // file for each file listed would cost more than boxcheck's run
        // where the file system looks through its recently removed files
        // for every new one (ext4 without a journal). Neither is cut to
        // nothing between two runs, though: ext4 writes a file that was
        // truncated to zero and written again out to the disk when it is
        // closed, which would cost a disk write per file. So the batch is
        // written over from its start and cut to its new length, and
        // boxcheck appends its answer after the earlier ones, read from
        // where the file ended before the run.
        const int batch = batchFd_.get();
        if (::lseek(batch, 0, SEEK_SET) != 0 ||
            writeAll(batch, text.constData(), text.size()) !=
                static_cast<std::size_t>(text.size()) ||
            ::ftruncate(batch, text.size()) != 0)
            cannotCreate(batch_, errno);
        off_t answerStart = ::lseek(answerFd_.get(), 0, SEEK_END);
        if (answerStart < 0)
            cannotCreate(answer_, errno);
        if (answerStart > kMaxAnswersKept) {
            // Now and then, the answers of a long listing go at once.
            answerStart = 0;
            if (::ftruncate(answerFd_.get(), 0) != 0)
                cannotCreate(answer_, errno);
        }
        modWin32API::RunAndWait(batch_, 0);
        result = readAnswer(answerFd_.get(), answerStart, answer_, why);
    });
    if (reason)
        *reason = result == ShapeUnknown ? why : QString();
    return result;
}

QString ConvertBatchName(int slot) {
    return slotFileName(kConvertStem, slot, kBatchExtension);
}

bool ConvertShape(const NativePath &inputFile, const NativePath &outputFile,
                  ShapeType enumShapeType, QString *reason, RunSlot slot) {
    bool converted = false;
    const FileKind kind = FileKindOf(inputFile);
    const bool shapefile =
        kind == FileKind::Shapefile || kind == FileKind::None;
    QList<NativePath> created; // the outputs this run may create
    bool ran = false;
    QByteArray console;
    guard(QString(), [&] {
        const QString program = ProgramFolder();
        const modTransformation::Transformation &transformation =
            modTransformation::Current();
        // Start refuses the run first; nothing may convert past a damaged
        // grid with the 4 m transformation.
        if (transformation.kind == modTransformation::Kind::GridUnreadable)
            throw DeskFailure(FailureNumbers::kFileAccess,
                              transformation.problem);
        const QByteArray text =
            ConvertBatchText(program, inputFile, outputFile, enumShapeType,
                             transformation, slot.engineThreads);
        const QString batch =
            TempFolder() + u'/' + ConvertBatchName(slot.index);
        if (shapefile) {
            for (const char *extension : kOutputExtensions)
                if (!exists(outputFile.companion(extension)))
                    created.append(outputFile.companion(extension));
        } else if (!exists(outputFile)) {
            created.append(outputFile);
        }
        removeStale(batch);
        createNew(batch, text);
        console = modWin32API::RunAndWait(batch, 0);
        ran = true;
        modVarious::DeleteFile(batch);

        // Only convertible types run the engine, and only its own report
        // line says that the output is whole: files alone may be what a full
        // disk left, or an earlier run.
        const QByteArray report =
            batchPath(inputFile) + " converted to " + batchPath(outputFile);
        if (!IsConvertible(enumShapeType) || !reportsLine(console, report))
            return;
        if (!shapefile) {
            // A GeoPackage names its system inside; a point list has none.
            converted = modVarious::FileExists(outputFile);
            return;
        }
        if (modVarious::FileExists(outputFile.companion(".shp")) &&
            modVarious::FileExists(outputFile.companion(".shx")) &&
            modVarious::FileExists(outputFile.companion(".dbf"))) {
            converted =
                modVarious::CopyFile(program + QStringLiteral("/KAVRO/") +
                                         transformation.projection(),
                                     outputFile.companion(".prj"));
        }
    });
    if (!converted) {
        // A failure before the run has been shown; nothing was converted.
        if (ran) {
            if (reason)
                *reason = FailureReason(console, inputFile);
            showPlainMessage(QCoreApplication::translate(
                                 "modKAVRO", "Error creating File %1")
                                 .arg(outputFile.shown()));
        }
        // What this run left of a conversion that is not whole goes; files
        // that were there before it stay, whatever happened to them.
        for (const NativePath &file : created)
            removeFileIfExists(file.string());
    }
    return converted;
}

QString FailureReason(const QByteArray &console, const NativePath &inputFile) {
    const QByteArray prefix = inputFile.bytes() + " conversion failed! (";
    QByteArray reason, last;
    for (QByteArray line : console.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            last = line.trimmed();
        if (line.startsWith(prefix) && line.endsWith(')'))
            reason = line.mid(prefix.size(), line.size() - prefix.size() - 1);
    }
    if (reason.trimmed().isEmpty())
        reason = last;
    return NativePath::fromBytes(reason.trimmed()).shown();
}

} // namespace modKAVRO

#pragma once

#include "FileDescriptor.h"
#include "NativePath.h"
#include "ShapeType.h"
#include "modTransformation.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The desktop's link to the engine and to the extent tester boxcheck. Neither
// program is started directly: a small batch file is written into the
// temporary folder, run hidden through RunAndWait, and judged by the files
// that it leaves.
//
// The program folder holds KavroDesk; its subfolder "KAVRO" holds KAVRO,
// boxcheck, the scripts in "script" and the projection files; which script
// and which .prj a conversion takes is modTransformation's choice
// ("GBO-UTM32ETRS89-VLM.xml", "GBOSHIFT-UTM32ETRS89-VLM.xml" and
// "utm_etrs89.prj", or their national grid counterparts).
namespace modKAVRO {

// Runs boxcheck on the file (a shapefile, a GeoPackage or a point list) and
// classifies what it printed (ShapeTypeOfReport); ShapeUnknown after any
// failure (which is shown). For ShapeUnknown, reason (when given) says why
// (empty after a failure that was shown).
//
// Several files may be classified at once, each on a thread of its own with
// a slot of its own: slot 0 writes the batch "Shape.bat" and its answer
// "Shape.txt", slot k "Shape<k+1>.bat" and "Shape<k+1>.txt". The program
// folder is only read; a failure is shown through DeskMessages (held with a
// MessageHold where the window's thread waits without processing events).
ShapeType GetShapeType(const QString &shapeFile, QString *reason = nullptr,
                       int slot = 0);

// GetShapeType for many files in one slot, one after another: the slot's
// batch and answer files are made at its first file (in the temporary and
// the program folder of that time), written over for each further one, and
// removed when the slot ends (only while they are still the slot's own; one
// that was removed or replaced in between is made anew).
class ShapeSlot {
  public:
    explicit ShapeSlot(int slot = 0);
    ~ShapeSlot();
    ShapeSlot(const ShapeSlot &) = delete;
    ShapeSlot &operator=(const ShapeSlot &) = delete;

    ShapeType classify(const QString &shapeFile, QString *reason = nullptr);

  private:
    void makeFiles();

    const int slot_;
    QString temp_, program_, batch_, answer_;
    FileDescriptor batchFd_, answerFd_;
};

// The category that boxcheck's output gives, its lines without their line
// ends: ShapeTypeOfExtent of the fourth and sixth lines, when a fifth line
// follows; ShapeUnknown otherwise, and when a seventh line
// "Unknown category: <why>" says that the file's category cannot be trusted
// (a GeoPackage whose layers' systems contradict each other or its
// coordinates). For ShapeUnknown, reason says why.
ShapeType ShapeTypeOfReport(const QStringList &lines, QString &reason);

// Classifies one line of boxcheck's output: the first two tokens (never the
// last one) that read as numbers greater than 1000, the line split at every
// blank after "." and "," became blanks.
ShapeType ParseExtentLine(const QString &line);

// The category of the minima (ParseExtentLine), when the whole extent, the
// maxima too (boxcheck's sixth line, "Extent Xmax: ... Ymax: ... end"), lies
// in that category's box; otherwise ShapeUnknown and the reason ("extent
// outside Gauss-Boaga West"). Data of the Gauss-Boaga East zone have minima
// above 1 000 000 as the West zone's have, and would be converted with the
// West script.
ShapeType ShapeTypeOfExtent(const QString &minima, const QString &maxima,
                            QString &reason);

// Converts one task with the script that fits its shape type and the
// transformation of the last modTransformation::Check(), as the file type of
// the input's kind (FileKind.h; a name of no kind as a shapefile). A
// shapefile is converted when KAVRO reports it and its .shp, .shx and .dbf
// exist, and gets the .prj of its target copied beside it; a GeoPackage or
// a point list when KAVRO reports it and the file exists, and gets no .prj
// (a GeoPackage names its system inside, a point list has none). Otherwise
// "Error creating File " and the output path are shown, what the run left
// is removed, and reason (when given) says why (FailureReason); shape types
// other than 0 and 1 start no engine and always end so.
//
// Several conversions may run at once, each on a thread of its own with a
// slot of its own: slot 0 writes the batch "KAVRO.bat", slot k
// "KAVRO<k+1>.bat". engineThreads, when not 0, is handed to KAVRO as its
// -TH. The program folder and the transformation are only read; a message
// is shown on the window's thread (DeskMessages).
struct RunSlot {
    int index = 0;
    int engineThreads = 0;
};
bool ConvertShape(const NativePath &inputFile, const NativePath &outputFile,
                  ShapeType enumShapeType, QString *reason = nullptr,
                  RunSlot slot = {});

// Why KAVRO did not convert the input, from the console text of its batch:
// the reason in its report line "<input> conversion failed! (<reason>)";
// without such a line, the last line the batch printed (a refused script, a
// program that could not start). As it is shown: bytes that are not UTF-8
// as U+FFFD.
QString FailureReason(const QByteArray &console, const NativePath &inputFile);

// The program folder, without a trailing separator: the folder of the
// running executable unless a test has set another one.
QString ProgramFolder();
// For tests, whose executable does not lie in the program folder; the empty
// text goes back to the executable's folder.
void SetProgramFolder(const QString &folder);

// The temporary folder of the batch files, decided afresh at each call: the
// value of "TEMP"; when that is unset or empty, the user's private temporary
// folder (modTempFolder::PrivateTempFolder, which throws DeskFailure when
// that folder is not private to the user).
QString TempFolder();

// The two batch texts, byte for byte as they are written (CR LF line ends).
// Throws DeskFailure when a path holds a double quote or a line break and so
// cannot be written into a batch line.
// The test batch of a slot appends to that slot's answer file.
QByteArray ShapeBatchText(const QString &programFolder,
                          const QString &shapeFile, const QString &tempFolder,
                          int slot = 0);
// The conversion batch names the scripts of the transformation (EPSG:1659's
// unless told otherwise); nothing else in it depends on it. KAVRO is told the
// file type of the input's kind (-FT SHP, GPKG or CSV), and its number of
// threads (-TH) when engineThreads is not 0.
QByteArray
ConvertBatchText(const QString &programFolder, const NativePath &inputFile,
                 const NativePath &outputFile, ShapeType shapeType,
                 const modTransformation::Transformation &transformation = {},
                 int engineThreads = 0);

// The names of the files of a slot (see RunSlot and GetShapeType).
QString ConvertBatchName(int slot);
QString ShapeBatchName(int slot);
QString ShapeAnswerName(int slot);

} // namespace modKAVRO

#pragma once

#include "NativePath.h"
#include "ShapeType.h"
#include "modTransformation.h"

#include <QByteArray>
#include <QString>

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

// Runs boxcheck on the shapefile and classifies its extent
// (ShapeTypeOfExtent of the fourth and sixth lines of its output);
// ShapeUnknown when boxcheck printed fewer than five lines, and after any
// failure (which is shown). For ShapeUnknown, reason (when given) says why
// (empty after a failure that was shown).
ShapeType GetShapeType(const QString &shapeFile, QString *reason = nullptr);

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
// transformation of the last modTransformation::Check(), then copies the
// .prj of its target beside the output. True when the output's .shp, .shx and
// .dbf exist and the .prj was copied; otherwise "Error creating File " and
// the output path are shown (shape types other than 0 and 1 start no engine
// and always end so).
bool ConvertShape(const NativePath &inputFile, const NativePath &outputFile,
                  ShapeType enumShapeType);

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
QByteArray ShapeBatchText(const QString &programFolder,
                          const QString &shapeFile, const QString &tempFolder);
// The conversion batch names the scripts of the transformation (EPSG:1659's
// unless told otherwise); nothing else in it depends on it.
QByteArray
ConvertBatchText(const QString &programFolder, const NativePath &inputFile,
                 const NativePath &outputFile, ShapeType shapeType,
                 const modTransformation::Transformation &transformation = {});

} // namespace modKAVRO

#pragma once

#include <QString>

// Which datum change the desktop's conversions take. KavroDesk converts
// Gauss-Boaga (standard and shortened) to UTM zone 32: through the national
// grid EPSG:9734 (Monte Mario to RDN2008, 0.1 m) when its file lies where
// KAVRO looks for grids and can be read, otherwise through EPSG:1659 (Monte
// Mario to ETRS89, 4 m) as always. A grid file that is there but cannot be
// read refuses every conversion: nothing is converted with the 4 m
// transformation while the user believes the grid is used.
namespace modTransformation {

// The national grid's file name, as EPSG and the grid scripts name it.
inline const QString kNationalGrid =
    QStringLiteral("35160622_47161840_R40_F00.gsb");

enum class Kind {
    Helmert,        // no grid file found: EPSG:1659
    Grid,           // the grid file was found and read
    GridUnreadable, // the grid file was found but cannot be read
};

struct Transformation {
    Kind kind = Kind::Helmert;
    QString gridPath; // the file found (Grid and GridUnreadable)
    QString problem;  // GridUnreadable: what the reader said, naming the file

    // The scripts in <program folder>/KAVRO/script for Gauss-Boaga standard
    // and shortened, and the .prj in <program folder>/KAVRO of what they
    // produce. GridUnreadable names the EPSG:1659 ones but converts nothing.
    QString gboScript() const;
    QString gboShiftScript() const;
    QString projection() const;
    // One short line for the status bars: the datum change, its accuracy
    // and the target.
    QString statusText() const;
    // What stands behind it: the grid file, or why there is none.
    QString detailText() const;
    // The message that refuses conversions (GridUnreadable only).
    QString refusalText() const;
};

// Looks for the grid as KAVRO will look for it when it loads a grid script
// (the script folder, KAVRO_GRID_PATH, the user's and the program's grid
// folders, PROJ's data folders) and reads it; remembers the result as
// Current().
const Transformation &Check();
// The result of the last check; EPSG:1659 before the first.
const Transformation &Current();

// Shows refusalText() in a message box for a grid that cannot be read, once
// for each file and problem: checks that find the same damaged grid again
// say nothing more, unless always is set (a refused Start says it each time).
void ReportUnreadable(const Transformation &transformation,
                      bool always = false);

} // namespace modTransformation

#include "modTransformation.h"

#include "DeskMessages.h"
#include "modFileNames.h"
#include "modKAVRO.h"

#include "GridSearch.h"
#include "NTv2GridFile.h"

#include <QCoreApplication>

namespace modTransformation {
namespace {

Transformation current;
QString reported; // the file and problem last shown, so each is said once

QString decoded(const std::string &text) {
    return modFileNames::DecodeName(QByteArray::fromStdString(text));
}

} // namespace

QString Transformation::gboScript() const {
    return kind == Kind::Grid ? QStringLiteral("GBO-UTM32RDN2008-GRID-VLM.xml")
                              : QStringLiteral("GBO-UTM32ETRS89-VLM.xml");
}

QString Transformation::gboShiftScript() const {
    return kind == Kind::Grid
               ? QStringLiteral("GBOSHIFT-UTM32RDN2008-GRID-VLM.xml")
               : QStringLiteral("GBOSHIFT-UTM32ETRS89-VLM.xml");
}

QString Transformation::projection() const {
    return kind == Kind::Grid ? QStringLiteral("utm32_rdn2008.prj")
                              : QStringLiteral("utm_etrs89.prj");
}

QString Transformation::statusText() const {
    switch (kind) {
    case Kind::Grid:
        return QCoreApplication::translate(
            "modTransformation",
            "Datum: national grid EPSG:9734, 0.1 m \u2192 RDN2008 / UTM 32N");
    case Kind::GridUnreadable:
        return QCoreApplication::translate(
            "modTransformation",
            "Datum: national grid unreadable, conversions refused");
    case Kind::Helmert:
        break;
    }
    return QCoreApplication::translate(
        "modTransformation", "Datum: EPSG:1659, 4 m \u2192 ETRS89 / UTM 32N");
}

QString Transformation::detailText() const {
    switch (kind) {
    case Kind::Grid:
        return QCoreApplication::translate("modTransformation", "Grid file: %1")
            .arg(modFileNames::ShownName(gridPath));
    case Kind::GridUnreadable:
        return problem;
    case Kind::Helmert:
        break;
    }
    return QCoreApplication::translate("modTransformation",
                                       "The national grid %1 is not installed.")
        .arg(kNationalGrid);
}

QString Transformation::refusalText() const {
    return QCoreApplication::translate(
               "modTransformation",
               "The national grid cannot be used: %1.\n\nNo file "
               "is converted until the grid file is repaired or "
               "removed.")
        .arg(problem);
}

const Transformation &Check() {
    const std::string engine =
        modFileNames::EncodeName(modKAVRO::ProgramFolder() +
                                 QStringLiteral("/KAVRO"))
            .toStdString();
    const GridLocation location =
        findGridFile(modFileNames::EncodeName(kNationalGrid).toStdString(),
                     gridSearchFolders(engine + "/script", engine));
    Transformation found;
    if (!location.path.empty()) {
        found.gridPath = decoded(location.path);
        const NTv2ReadResult read = readNTv2GridFile(location.path);
        if (read.grids) {
            found.kind = Kind::Grid;
        } else {
            found.kind = Kind::GridUnreadable;
            found.problem = decoded(read.error);
        }
    }
    // A grid repaired or removed and damaged again is reported again.
    if (found.kind != Kind::GridUnreadable)
        reported.clear();
    current = found;
    return current;
}

const Transformation &Current() { return current; }

void ReportUnreadable(const Transformation &transformation, bool always) {
    if (transformation.kind != Kind::GridUnreadable)
        return;
    const QString what =
        transformation.gridPath + u'\n' + transformation.problem;
    if (what == reported && !always)
        return;
    reported = what;
    showMessage(transformation.refusalText(), QString(),
                MessageIcon::Exclamation);
}

} // namespace modTransformation

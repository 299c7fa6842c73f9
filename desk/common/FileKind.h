#pragma once

#include "NativePath.h"

#include <QString>

// The kinds of file KavroDesk lists and converts. A file's kind is told by
// the text after the last "." of its name, in any letter case, as KAVRO is
// told by its file type; the output of a task is of its input's kind.
enum class FileKind {
    None,       // not converted by KavroDesk
    Shapefile,  // .shp, with its .shx and .dbf
    GeoPackage, // .gpkg, its system named inside
    PointList,  // .csv, a delimited-text point list
};

// The extension of the kind's main file, in lower case and without its ".".
inline QString KindExtension(FileKind kind) {
    switch (kind) {
    case FileKind::Shapefile:
        return QStringLiteral("shp");
    case FileKind::GeoPackage:
        return QStringLiteral("gpkg");
    case FileKind::PointList:
        return QStringLiteral("csv");
    case FileKind::None:
        break;
    }
    return QString();
}

// The file type KAVRO converts the kind as (its -FT argument).
inline const char *EngineFileType(FileKind kind) {
    switch (kind) {
    case FileKind::GeoPackage:
        return "GPKG";
    case FileKind::PointList:
        return "CSV";
    case FileKind::Shapefile:
    case FileKind::None:
        break;
    }
    return "SHP";
}

// The kind of the file at that path (or of that name).
inline FileKind FileKindOf(const QString &path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || path.indexOf(u'/', dot) >= 0)
        return FileKind::None;
    const QString extension = path.mid(dot + 1);
    for (const FileKind kind :
         {FileKind::Shapefile, FileKind::GeoPackage, FileKind::PointList})
        if (extension.compare(KindExtension(kind), Qt::CaseInsensitive) == 0)
            return kind;
    return FileKind::None;
}
inline FileKind FileKindOf(const NativePath &path) {
    return FileKindOf(path.text());
}

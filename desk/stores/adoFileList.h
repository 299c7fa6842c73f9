#pragma once

#include "RecordSet.h"

#include <QDateTime>
#include <QString>

#include <functional>

// One record for each shapefile of the folder selected in the folder tree,
// in memory, with the file's details and its shape type. Filled anew by
// Refresh on every change of the selection and after every batch run.
//
// Records carry the IDs 1 to N in listing order: Refresh empties the store
// first, and Update(0, ...) gives a new record one more than the highest ID
// in the store.
//
// The operations trap their failures and report them in the standard error
// box with the empty caption; the properties read the current record and pass
// their failures (no current record) on to the caller.
class adoFileList {
  public:
    // Decides the shape type (0 to 3) of one shapefile, given its full path.
    using ShapeClassifier = std::function<int(const QString &path)>;
    // Gives the file-system path of the folder selected in the folder tree.
    using FolderSource = std::function<QString()>;

    adoFileList();

    RecordSet &Recordset() { return table_; }
    const RecordSet &Recordset() const { return table_; }
    int State() const { return 1; } // the table is open for the whole life

    int ID() const;
    QString FileName() const;
    QString FileShortName() const;
    QString FilePath() const;
    QString FileShortPath() const;
    // The size in KB for display: bytes / 1024, rounded half away from zero,
    // with the locale's thousands separator, then " KB".
    QString FileSize() const;
    QString FileType() const;
    // The locale's short date and time.
    QString DateCreated() const;
    // "dd.mm.yyyy hh:mm", the locale's time separator between hours and
    // minutes.
    QString DateLastModified() const;
    QString DateLastAccessed() const;
    int ShapeType() const;

    // Fills the store with the shapefiles (extension "shp", any letter case)
    // directly inside the folder at that file-system path, in name order.
    // A path that is no folder leaves the store empty. A failure at one file
    // is reported and ends the listing there; the records before it stay.
    void Refresh(const QString &folderPath);
    // The same for the folder that the folder source gives (none set: the
    // store is emptied).
    void Refresh();

    bool MoveTo(int lngID);
    // lngID 0 appends a record, any other ID overwrites that record; it stays
    // the current record. Returns false when the change failed (reported; no
    // record changed).
    bool Update(int lngID, const QString &strName, const QString &strShortName,
                const QString &strPath, const QString &strShortPath,
                double vntSize, const QString &strType,
                const QDateTime &dtmDateCreated,
                const QDateTime &dtmDateLastModified,
                const QDateTime &dtmDateLastAccessed, int enumShapeType);
    bool Delete(int lngID);
    void DeleteAll();

    // The classifier that Refresh asks for each file's shape type; by default
    // the batch run's GetShapeType. Tests install their own.
    void setShapeClassifier(ShapeClassifier classifier);
    // Where Refresh() finds the selected folder: set by the main window to
    // ask its folder tree, so that the store itself knows no widget.
    void setFolderSource(FolderSource source);

    // The display texts, also used by views that show sizes and dates.
    static QString formatSize(double bytes);
    static QString formatDateTime(const QDateTime &time);

  private:
    // Makes the record of that ID the current one; throws when none has it.
    void moveToExisting(int lngID);

    RecordSet table_;
    ShapeClassifier classifier_;
    FolderSource folderSource_;
};

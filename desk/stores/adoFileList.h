#pragma once

#include "RecordStore.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <functional>

// One record for each shapefile, GeoPackage and point list of the folder
// selected in the folder tree, in memory, with the file's details and its
// shape type (the category of its coordinates). Filled anew by
// Refresh on every change of the selection and after every batch run.
//
// Records carry the IDs 1 to N in listing order: Refresh empties the store
// first, and Update(0, ...) gives a new record one more than the highest ID
// in the store (RecordStore).
class adoFileList : public RecordStore {
    Q_DECLARE_TR_FUNCTIONS(adoFileList)

  public:
    // Decides the shape type (0 to 3) of one listed file, given its full path;
    // the second form also says why a file is unknown (3).
    using ShapeClassifier = std::function<int(const QString &path)>;
    using ReasonedClassifier =
        std::function<int(const QString &path, QString &reason)>;
    // Makes the classifier of one slot for one listing: the slot (0 to the
    // number of slots less one) names the files that its calls may write,
    // so that slots can run side by side (modKAVRO::ShapeSlot). It is made,
    // and it ends, on the listing's thread, before and after the listing.
    using SlotClassifier = std::function<ReasonedClassifier(int slot)>;
    // The number of slots a listing may use, asked at each listing.
    using SlotCount = std::function<int()>;
    // Shows a line of text (the listing's progress, then what it could not
    // do) where the user sees it; the empty text clears it.
    using StatusSink = std::function<void(const QString &text)>;
    // Gives the file-system path of the folder selected in the folder tree.
    using FolderSource = std::function<QString()>;

    adoFileList();

    QString FileName() const;
    QString FileShortName() const;
    QString FilePath() const;
    QString FileShortPath() const;
    // The display texts follow the conventions of the language in force
    // (DeskLanguage::displayLocale); the record holds the numbers and times.
    //
    // The size in KB: bytes / 1024, rounded half away from zero, with the
    // locale's thousands separator, then " KB".
    QString FileSize() const;
    QString FileType() const;
    // The locale's short date and time.
    QString DateCreated() const;
    // The locale's short date with two-digit days and months and a
    // four-digit year, then hours and minutes: "07.03.2024 09:05" in German,
    // "07/03/2024 09:05" in Italian, "03/07/2024 9:05 AM" in American
    // English; the C locale gives "dd.mm.yyyy hh:mm".
    QString DateLastModified() const;
    QString DateLastAccessed() const;
    int ShapeType() const;
    // Why the file cannot become a task, when that is known ("extent outside
    // Gauss-Boaga West", "the name holds a double quote or a line break");
    // the empty text otherwise. Not one of the file's own details: the
    // field "Note" follows them.
    QString Note() const;

    // Fills the store with the shapefiles, GeoPackages and point lists
    // (extension "shp", "gpkg" or "csv", any letter case; FileKind.h)
    // directly inside the folder at that file-system path, in name order.
    // A path that is no folder leaves the store empty. A failure at one file
    // is reported and ends the listing there; the records before it stay.
    //
    // Names keep the file system's bytes (modFileNames), also where they are
    // not UTF-8. A listed name that is not a regular file (a pipe, a device)
    // and a file whose path cannot be written into a batch line (a double quote
    // or a line break) are listed as unknown with their Note, without
    // running boxcheck. The progress and, at the end, one line naming every
    // file that cannot be converted and every subfolder that the folder
    // tree cannot show (a name that is not UTF-8) go to the status sink.
    void Refresh(const QString &folderPath);
    // The same for the folder that the folder source gives (none set: the
    // store is emptied).
    void Refresh();

    // lngID 0 appends a record, any other ID overwrites that record; it stays
    // the current record. Returns false when the change failed (reported; no
    // record changed).
    bool Update(int lngID, const QString &strName, const QString &strShortName,
                const QString &strPath, const QString &strShortPath,
                double vntSize, const QString &strType,
                const QDateTime &dtmDateCreated,
                const QDateTime &dtmDateLastModified,
                const QDateTime &dtmDateLastAccessed, int enumShapeType);

    // The classifier that Refresh asks for each file's shape type: the main
    // window's objects hand it slot classifiers that run boxcheck
    // (modKAVRO::ShapeSlot), tests their own. Without one every file is
    // listed as unknown (3). The first two forms classify in one slot.
    //
    // With more than one slot, the files are classified up to that many at
    // once, each slot on a thread of its own; Refresh waits on its own
    // thread and lists every file in the folder's order as its shape type
    // comes in, showing there (and then) the messages that its
    // classification showed (MessageHold). The rows, the notes, the progress
    // and the messages are those of a listing in one slot.
    void setShapeClassifier(ReasonedClassifier classifier);
    void setShapeClassifier(ShapeClassifier classifier);
    void setShapeClassifier(SlotClassifier classifiers, SlotCount slotCount);
    void setStatusSink(StatusSink sink);
    // Where Refresh() finds the selected folder: set by the main window to
    // ask its folder tree, so that the store itself knows no widget.
    void setFolderSource(FolderSource source);

    // The display texts, also used by views that show sizes and dates.
    static QString formatSize(double bytes);
    static QString formatDateTime(const QDateTime &time);

  private:
    // What became of one listed file.
    enum class Listed {
        Record,      // listed
        Folder,      // a folder named as a listed file: not listed
        Unreadable,  // listed as unknown: no regular file, or unreadable
        NotPassable, // listed as unknown: no batch line can hold its path
        Refused,     // the store refused the record (reported)
    };

    // A listed file's details, and whether boxcheck is to classify it.
    struct Probe;
    // A file's shape type and why it is unknown, as the classifier found
    // them in some slot.
    struct Classified;
    class Classifications;

    void status(const QString &text) const;
    // The details of the file of that name (its bytes and its decoded form)
    // in the folder open as folderFd.
    static Probe probeFile(int folderFd, const QByteArray &bytes,
                           const QString &path);
    // Lists the file with its details, shape type and Note.
    Listed listFile(const QString &name, const QString &path,
                    const Probe &probe, const Classified &classified);

    SlotClassifier classifiers_; // empty: every file is unknown
    SlotCount slots_;
    FolderSource folderSource_;
    StatusSink statusSink_;
};

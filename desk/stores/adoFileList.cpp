#include "adoFileList.h"

#include "DeskFailure.h"
#include "DeskMessages.h"
#include "FailureNumbers.h"
#include "modKAVRO.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QRegularExpression>

#include <cmath>

namespace {
const QString kID = QStringLiteral("ID");
const QString kName = QStringLiteral("Name");
const QString kShortName = QStringLiteral("ShortName");
const QString kPath = QStringLiteral("Path");
const QString kShortPath = QStringLiteral("ShortPath");
const QString kSize = QStringLiteral("Size");
const QString kType = QStringLiteral("Type");
const QString kDateCreated = QStringLiteral("DateCreated");
const QString kDateLastModified = QStringLiteral("DateLastModified");
const QString kDateLastAccessed = QStringLiteral("DateLastAccessed");
const QString kShapeType = QStringLiteral("ShapeType");

using FieldType = RecordSet::FieldType;

// Only a name with a "." and "shp" after the last one, in any letter case, is
// a shapefile: a file called just "shp" is not.
bool isShapefileName(const QString &name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && name.mid(dot + 1).compare(QLatin1String("shp"),
                                                 Qt::CaseInsensitive) == 0;
}

// The description of a file's type, taken from the file's name
// as a file manager shows it: the content would call an empty shapefile an
// "empty document". The shared MIME database knows no shapefiles; for a
// type that it cannot tell from the generic binary one, the upper-case
// extension followed by " file" says more.
QString typeDescription(const QFileInfo &file) {
    static const QMimeDatabase database;
    const QMimeType type =
        database.mimeTypeForFile(file, QMimeDatabase::MatchExtension);
    if (type.isValid() && !type.isDefault() && !type.comment().isEmpty())
        return type.comment();
    const QString suffix = file.suffix().toUpper();
    return suffix.isEmpty() ? QStringLiteral("File")
                            : QStringLiteral("%1 file").arg(suffix);
}

// The creation time where the file system records one; otherwise the time
// of the last change of the file's metadata comes nearest.
QDateTime creationTime(const QFileInfo &file) {
    const QDateTime birth = file.birthTime();
    return birth.isValid() ? birth : file.metadataChangeTime();
}

// The locale's separator between hours and minutes, taken from its short
// time format (":" in most locales).
QString timeSeparator(const QLocale &locale) {
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    const qsizetype hour = format.indexOf(QRegularExpression("[hH]"));
    if (hour >= 0) {
        qsizetype i = hour;
        while (i < format.size() && (format[i] == 'h' || format[i] == 'H'))
            ++i;
        if (i < format.size() && !format[i].isLetter() && format[i] != '\'')
            return QString(format[i]);
    }
    return QStringLiteral(":");
}

int batchShapeType(const QString &path) { return modKAVRO::GetShapeType(path); }
} // namespace

adoFileList::adoFileList()
    : table_({{kID, FieldType::Integer},
              {kName, FieldType::Text},
              {kShortName, FieldType::Text},
              {kPath, FieldType::Text},
              {kShortPath, FieldType::Text},
              {kSize, FieldType::Number},
              {kType, FieldType::Text},
              {kDateCreated, FieldType::Date},
              {kDateLastModified, FieldType::Date},
              {kDateLastAccessed, FieldType::Date},
              {kShapeType, FieldType::Integer}}),
      classifier_(batchShapeType) {}

int adoFileList::ID() const { return table_.integer(kID); }
QString adoFileList::FileName() const { return table_.text(kName); }
QString adoFileList::FileShortName() const { return table_.text(kShortName); }
QString adoFileList::FilePath() const { return table_.text(kPath); }
QString adoFileList::FileShortPath() const { return table_.text(kShortPath); }
QString adoFileList::FileSize() const {
    return formatSize(table_.number(kSize));
}
QString adoFileList::FileType() const { return table_.text(kType); }
QString adoFileList::DateCreated() const {
    return QLocale().toString(table_.date(kDateCreated), QLocale::ShortFormat);
}
QString adoFileList::DateLastModified() const {
    return formatDateTime(table_.date(kDateLastModified));
}
QString adoFileList::DateLastAccessed() const {
    return formatDateTime(table_.date(kDateLastAccessed));
}
int adoFileList::ShapeType() const { return table_.integer(kShapeType); }

QString adoFileList::formatSize(double bytes) {
    QLocale locale;
    // Grouped in every locale, as "#,##0" asks; the C locale would omit it.
    locale.setNumberOptions(locale.numberOptions() &
                            ~QLocale::OmitGroupSeparator);
    const double kibibytes = std::round(bytes / 1024.0); // halves away from 0
    return locale.toString(static_cast<qlonglong>(kibibytes)) +
           QStringLiteral(" KB");
}

QString adoFileList::formatDateTime(const QDateTime &time) {
    if (!time.isValid())
        return QString();
    const QString separator = timeSeparator(QLocale());
    return time.toString(QStringLiteral("dd.MM.yyyy HH")) + separator +
           time.toString(QStringLiteral("mm"));
}

void adoFileList::setShapeClassifier(ShapeClassifier classifier) {
    classifier_ = classifier ? std::move(classifier) : batchShapeType;
}

void adoFileList::setFolderSource(FolderSource source) {
    folderSource_ = std::move(source);
}

void adoFileList::Refresh() {
    QString folder; // stays empty when the source fails: the store empties
    guard(QString(), [&] {
        if (folderSource_)
            folder = folderSource_();
    });
    Refresh(folder);
}

void adoFileList::Refresh(const QString &folderPath) {
    DeleteAll();
    guard(QString(), [&] {
        const QFileInfo folder(folderPath);
        if (folderPath.isEmpty() || !folder.isDir())
            return;
        // The file system gives a folder's entries in no particular order;
        // name order without regard to case is the order users look for
        // files in, and it gives a folder's files the same IDs at every
        // refresh.
        const QFileInfoList entries =
            QDir(folder.absoluteFilePath())
                .entryInfoList(QDir::Files | QDir::Hidden,
                               QDir::Name | QDir::IgnoreCase);
        for (QFileInfo file : entries) {
            if (!isShapefileName(file.fileName()))
                continue;
            file.refresh();
            if (!file.exists())
                throw DeskFailure(FailureNumbers::kFileNotFound,
                                  QStringLiteral("The file %1 was not found.")
                                      .arg(file.absoluteFilePath()));
            const QString path = file.absoluteFilePath();
            // Short (8.3) names do not exist here: they are the long ones.
            const int shapeType = classifier_(path);
            if (!Update(0, file.fileName(), file.fileName(), path, path,
                        static_cast<double>(file.size()), typeDescription(file),
                        creationTime(file), file.lastModified(),
                        file.lastRead(), shapeType))
                return; // reported by Update; the listing ends here
        }
    });
}

bool adoFileList::MoveTo(int lngID) {
    bool found = false;
    guard(QString(), [&] { found = table_.find(kID, lngID); });
    return found;
}

void adoFileList::moveToExisting(int lngID) {
    if (!table_.find(kID, lngID))
        throw DeskFailure(
            FailureNumbers::kNoCurrentRecord,
            QStringLiteral("The file list holds no record with the ID %1.")
                .arg(lngID));
}

bool adoFileList::Update(int lngID, const QString &strName,
                         const QString &strShortName, const QString &strPath,
                         const QString &strShortPath, double vntSize,
                         const QString &strType,
                         const QDateTime &dtmDateCreated,
                         const QDateTime &dtmDateLastModified,
                         const QDateTime &dtmDateLastAccessed,
                         int enumShapeType) {
    return guard(QString(), [&] {
        const RecordSet::Values values = {
            {kName, strName},
            {kShortName, strShortName},
            {kPath, strPath},
            {kShortPath, strShortPath},
            {kSize, vntSize},
            {kType, strType},
            {kDateCreated, dtmDateCreated},
            {kDateLastModified, dtmDateLastModified},
            {kDateLastAccessed, dtmDateLastAccessed},
            {kShapeType, enumShapeType}};
        if (lngID == 0) {
            RecordSet::Values appended = values;
            appended.prepend({kID, table_.highestInteger(kID) + 1});
            try {
                table_.append(appended);
            } catch (const DeskFailure &failure) {
                throw DeskFailure(failure.number(),
                                  QStringLiteral("The file %1 cannot be "
                                                 "listed. %2")
                                      .arg(strPath, failure.description()));
            }
            return;
        }
        moveToExisting(lngID);
        table_.update(values);
    });
}

bool adoFileList::Delete(int lngID) {
    return guard(QString(), [&] {
        moveToExisting(lngID);
        table_.remove();
    });
}

void adoFileList::DeleteAll() {
    guard(QString(), [&] { table_.removeAll(); });
}

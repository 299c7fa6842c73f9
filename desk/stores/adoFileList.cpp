#include "adoFileList.h"

#include "DeskFailure.h"
#include "DeskLanguage.h"
#include "DeskMessages.h"
#include "FailureNumbers.h"
#include "FileKind.h"
#include "NativePath.h"
#include "ShapeType.h"
#include "SlotThreads.h"
#include "modFileNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QLocale>
#include <QMimeDatabase>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

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
const QString kNote = QStringLiteral("Note");
// Progress shows at most this often, in milliseconds.
constexpr qint64 kProgressInterval = 100;

using FieldType = RecordSet::FieldType;

// Only a name with a "." and "shp", "gpkg" or "csv" after the last one, in
// any letter case, is listed: a file called just "shp" is not.
bool isListedName(const QString &name) {
    return FileKindOf(name) != FileKind::None;
}

// The description of a file's type, taken from the file's name
// as a file manager shows it: the content would call an empty shapefile an
// "empty document". The shared MIME database knows no shapefiles; for a
// type that it cannot tell from the generic binary one, the upper-case
// extension followed by " file" says more. Looked up once per extension.
// GeoPackages and point lists are named as the kinds KavroDesk converts,
// which a ".csv" file is to it whatever else it may be.
QString typeDescription(const QString &name) {
    switch (FileKindOf(name)) {
    case FileKind::GeoPackage:
        return QCoreApplication::translate("adoFileList", "GeoPackage");
    case FileKind::PointList:
        return QCoreApplication::translate("adoFileList", "Point list (CSV)");
    default:
        break;
    }
    static const QMimeDatabase database;
    static QHash<QString, QString> known;
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString suffix = dot < 0 ? QString() : name.mid(dot + 1);
    // One language in a run, but the tests change it.
    const QString key = DeskLanguage::current() + u'/' + suffix;
    const auto found = known.constFind(key);
    if (found != known.constEnd())
        return *found;
    const QMimeType type =
        database.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    QString description;
    if (type.isValid() && !type.isDefault() && !type.comment().isEmpty())
        description = type.comment();
    else
        description =
            suffix.isEmpty()
                ? QCoreApplication::translate("adoFileList", "File")
                : QCoreApplication::translate("adoFileList", "%1 file")
                      .arg(suffix.toUpper());
    known.insert(key, description);
    return description;
}

QDateTime timeOf(const struct statx_timestamp &time) {
    return QDateTime::fromMSecsSinceEpoch(qint64(time.tv_sec) * 1000 +
                                          time.tv_nsec / 1000000);
}

// The creation time where the file system records one; otherwise the time
// of the last change of the file's metadata comes nearest.
QDateTime creationTime(const struct statx &status) {
    return timeOf((status.stx_mask & STATX_BTIME) != 0 ? status.stx_btime
                                                       : status.stx_ctime);
}

// What a listed file's row shows, in one call.
int statusOf(int folder, const char *name, int flags, struct statx &status) {
    return ::statx(folder, name, AT_STATX_SYNC_AS_STAT | flags,
                   STATX_BASIC_STATS | STATX_BTIME, &status);
}

struct Entry {
    QByteArray bytes; // the name as the file system holds it
    QString name;     // decoded without loss
};

// What a listing passes over, named in one status line at its end.
struct PassedOver {
    QStringList unusable, unreadable, hiddenFolders, unfinished;

    QString notice() const {
        QStringList notice;
        if (!unusable.isEmpty())
            notice << QCoreApplication::translate(
                          "adoFileList",
                          "Cannot be converted, the path holds a "
                          "double quote or a line break: %1")
                          .arg(modFileNames::ShownNameList(unusable));
        if (!unreadable.isEmpty())
            notice << QCoreApplication::translate("adoFileList",
                                                  "Cannot be read: %1")
                          .arg(modFileNames::ShownNameList(unreadable));
        if (!hiddenFolders.isEmpty())
            notice << QCoreApplication::translate(
                          "adoFileList",
                          "Not shown in the folder tree, the name "
                          "is not UTF-8: %1")
                          .arg(modFileNames::ShownNameList(hiddenFolders));
        if (!unfinished.isEmpty())
            notice << QCoreApplication::translate(
                          "adoFileList", "Not listed, left by an interrupted "
                                         "conversion: %1")
                          .arg(modFileNames::ShownNameList(unfinished));
        return notice.join(QStringLiteral("; "));
    }
};

// The absolute form of a folder path, without a trailing "/" ("/" stays).
QString absoluteFolder(const QString &folderPath) {
    QString folder = folderPath.startsWith(u'/')
                         ? folderPath
                         : QDir::currentPath() + u'/' + folderPath;
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

using Folder = std::unique_ptr<DIR, int (*)(DIR *)>;

// The open folder, or none when there is no folder at the path.
Folder openFolder(const QString &folder) {
    Folder dir(::opendir(modFileNames::EncodeName(folder).constData()),
               ::closedir);
    if (!dir && errno != ENOENT && errno != ENOTDIR)
        throw DeskFailure(
            FailureNumbers::kFileAccess,
            QCoreApplication::translate("adoFileList",
                                        "Cannot list the folder %1: %2")
                .arg(modFileNames::ShownName(folder), systemReason(errno)));
    return dir;
}

// Whether the entry is a folder whose name the folder tree cannot show.
bool isHiddenFolder(int folderFd, const dirent &entry, const QString &name) {
    struct stat status {};
    return modFileNames::HasKeptBytes(name) &&
           (entry.d_type == DT_DIR ||
            (entry.d_type == DT_UNKNOWN &&
             ::fstatat(folderFd, entry.d_name, &status, 0) == 0 &&
             S_ISDIR(status.st_mode)));
}

// The folder's shapefiles, GeoPackages and point lists in name order. What a
// killed conversion left and the subfolders that the folder tree cannot show
// are noted instead.
std::vector<Entry> listedEntries(DIR *dir, PassedOver &passedOver) {
    std::vector<Entry> entries;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray bytes(entry->d_name);
        if (bytes == "." || bytes == "..")
            continue;
        const QString name = modFileNames::DecodeName(bytes);
        if (!isListedName(name)) {
            if (isHiddenFolder(::dirfd(dir), *entry, name))
                passedOver.hiddenFolders << name;
        } else if (modFileNames::IsUnfinishedOutputName(name)) {
            passedOver.unfinished << name;
        } else {
            entries.push_back({bytes, name});
        }
    }
    // The file system gives a folder's entries in no particular order; name
    // order without regard to case is the order users look for files in,
    // and it gives a folder's files the same IDs at every refresh.
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) {
                  const int order = a.name.compare(b.name, Qt::CaseInsensitive);
                  return order != 0 ? order < 0 : a.bytes < b.bytes;
              });
    return entries;
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

// The locale's short date with two-digit days and months and four-digit
// years, so that the dates of a column line up and no century is lost:
// "dd.MM.yy" becomes "dd.MM.yyyy", "M/d/yy" "MM/dd/yyyy". Names of months
// and days (three letters and more) and quoted text stay as they are. The C
// locale, which has no numeric short date, takes "dd.MM.yyyy".
QString datePattern(const QLocale &locale) {
    if (locale.language() == QLocale::C)
        return QStringLiteral("dd.MM.yyyy");
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString pattern;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype run = 1;
        while (!quoted && i + run < format.size() && format[i + run] == c)
            ++run;
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u'y')
            pattern += QStringLiteral("yyyy");
        else if (!quoted && (c == u'd' || c == u'M') && run <= 2)
            pattern += QString(2, c);
        else
            pattern += format.mid(i, run);
        i += run;
    }
    return pattern;
}

// Hours and minutes as the locale writes them: 24 hours where it uses
// them ("HH:mm"), 12 with its day-period mark where it uses those.
QString timePattern(const QLocale &locale) {
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    if (locale.language() == QLocale::C ||
        !format.contains(u'a', Qt::CaseInsensitive))
        return QStringLiteral("HH") + timeSeparator(locale) +
               QStringLiteral("mm");
    return QStringLiteral("h") + timeSeparator(locale) +
           QStringLiteral("mm AP");
}
} // namespace

adoFileList::adoFileList()
    : RecordStore({{kID, FieldType::Integer},
                   {kName, FieldType::Text},
                   {kShortName, FieldType::Text},
                   {kPath, FieldType::Text},
                   {kShortPath, FieldType::Text},
                   {kSize, FieldType::Number},
                   {kType, FieldType::Text},
                   {kDateCreated, FieldType::Date},
                   {kDateLastModified, FieldType::Date},
                   {kDateLastAccessed, FieldType::Date},
                   {kShapeType, FieldType::Integer},
                   {kNote, FieldType::Text}},
                  tr("The file list has no free ID left."),
                  tr("The file list holds no file with the ID %1.")) {}

QString adoFileList::FileName() const { return table_.text(kName); }
QString adoFileList::FileShortName() const { return table_.text(kShortName); }
QString adoFileList::FilePath() const { return table_.text(kPath); }
QString adoFileList::FileShortPath() const { return table_.text(kShortPath); }
QString adoFileList::FileSize() const {
    return formatSize(table_.number(kSize));
}
QString adoFileList::FileType() const { return table_.text(kType); }
QString adoFileList::DateCreated() const {
    return DeskLanguage::displayLocale().toString(table_.date(kDateCreated),
                                                  QLocale::ShortFormat);
}
QString adoFileList::DateLastModified() const {
    return formatDateTime(table_.date(kDateLastModified));
}
QString adoFileList::DateLastAccessed() const {
    return formatDateTime(table_.date(kDateLastAccessed));
}
int adoFileList::ShapeType() const { return table_.integer(kShapeType); }
QString adoFileList::Note() const { return table_.text(kNote); }

QString adoFileList::formatSize(double bytes) {
    QLocale locale = DeskLanguage::displayLocale();
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
    const QLocale locale = DeskLanguage::displayLocale();
    return locale.toString(time,
                           datePattern(locale) + u' ' + timePattern(locale));
}

void adoFileList::setShapeClassifier(ReasonedClassifier classifier) {
    slots_ = nullptr;
    if (!classifier)
        classifiers_ = nullptr;
    else
        classifiers_ = [classifier](int) { return classifier; };
}

void adoFileList::setShapeClassifier(ShapeClassifier classifier) {
    if (!classifier)
        setShapeClassifier(ReasonedClassifier());
    else
        setShapeClassifier([classifier](const QString &path, QString &) {
            return classifier(path);
        });
}

void adoFileList::setShapeClassifier(SlotClassifier classifiers,
                                     SlotCount slotCount) {
    classifiers_ = std::move(classifiers);
    slots_ = std::move(slotCount);
}

void adoFileList::setStatusSink(StatusSink sink) {
    statusSink_ = std::move(sink);
}

void adoFileList::status(const QString &text) const {
    if (statusSink_)
        statusSink_(text);
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

struct adoFileList::Probe {
    Listed listed = Listed::Record;
    QString note;
    struct statx details {};
    bool classify = false;
};

struct adoFileList::Classified {
    int shapeType = ShapeUnknown;
    QString note;
    HeldMessages held;          // shown as the file is listed
    std::exception_ptr failure; // the classifier's, thrown then
};

// The classifications of one listing. In one slot each is made when it is
// taken, on the listing's thread, as it always was; in more, the slots'
// threads make them in the files' order, and each is taken when it has
// ended.
class adoFileList::Classifications {
  public:
    Classifications(const SlotClassifier &classifiers, QStringList paths,
                    int slotCount)
        : paths_(std::move(paths)), done_(paths_.size()) {
        for (int slot = 0; slot < slotCount; ++slot)
            classifiers_.push_back(classifiers(slot));
        if (slotCount <= 1)
            return;
        try {
            threads_.emplace(paths_.size(), slotCount, [this](int slot, int k) {
                classifyAside(slot, k);
            });
        } catch (const std::system_error &) {
            // No thread to be had: all in the listing's thread.
        }
    }

    // The k-th file's classification.
    Classified take(int k) {
        Classified classified;
        if (!threads_) {
            classified.shapeType =
                classifiers_.front()(paths_[k], classified.note);
            return classified;
        }
        std::unique_lock lock(mutex_);
        ended_.wait(lock, [&] { return done_[k].has_value(); });
        classified = std::move(*done_[k]);
        done_[k].reset();
        return classified;
    }

  private:
    void classifyAside(int slot, int k) {
        Classified classified;
        {
            const MessageHold hold(classified.held);
            try {
                classified.shapeType =
                    classifiers_[slot](paths_[k], classified.note);
            } catch (...) {
                classified.failure = std::current_exception();
            }
        }
        {
            const std::lock_guard lock(mutex_);
            done_[k] = std::move(classified);
        }
        ended_.notify_all();
    }

    const QStringList paths_;
    std::vector<ReasonedClassifier> classifiers_; // one for each slot
    std::vector<std::optional<Classified>> done_;
    std::mutex mutex_;
    std::condition_variable ended_;
    std::optional<SlotThreads> threads_; // last: ends first
};

void adoFileList::Refresh(const QString &folderPath) {
    DeleteAll();
    PassedOver passedOver;
    guard(QString(), [&] {
        if (folderPath.isEmpty())
            return;
        const QString folder = absoluteFolder(folderPath);
        const Folder dir = openFolder(folder);
        if (!dir)
            return; // no folder there: the store stays empty
        const std::vector<Entry> entries = listedEntries(dir.get(), passedOver);
        // Shapefiles alone are counted as such, as they always were.
        const bool onlyShapefiles =
            std::all_of(entries.begin(), entries.end(), [](const Entry &e) {
                return FileKindOf(e.name) == FileKind::Shapefile;
            });
        const QString shownFolder = modFileNames::ShownName(folder);
        const QString base =
            folder == QLatin1String("/") ? folder : folder + u'/';
        // Every file's details first, before boxcheck reads any (its access
        // time among them); a file that cannot be looked at ends the listing
        // where it stands, after the files before it.
        std::vector<Probe> probes;
        probes.reserve(entries.size());
        std::exception_ptr unlisted;
        QStringList toClassify;
        for (const Entry &entry : entries) {
            try {
                probes.push_back(probeFile(::dirfd(dir.get()), entry.bytes,
                                           base + entry.name));
            } catch (...) {
                unlisted = std::current_exception();
                break;
            }
            if (probes.back().classify && classifiers_)
                toClassify << base + entry.name;
        }
        const int slotCount = std::min<qsizetype>(
            std::max(slots_ ? slots_() : 1, 1), toClassify.size());
        Classifications classifications(classifiers_, toClassify, slotCount);
        int classified = 0;
        QElapsedTimer clock;
        clock.start();
        qint64 shownAt = -kProgressInterval;
        for (std::size_t k = 0; k < probes.size(); ++k) {
            if (clock.elapsed() - shownAt >= kProgressInterval) {
                shownAt = clock.elapsed();
                status((onlyShapefiles
                            ? tr("Listing %1: %2 of %3 shapefiles ...")
                            : tr("Listing %1: %2 of %3 files ..."))
                           .arg(shownFolder, QString::number(k),
                                QString::number(entries.size())));
            }
            const Entry &entry = entries[k];
            Classified classification;
            if (probes[k].classify && classifiers_) {
                classification = classifications.take(classified++);
                showHeld(classification.held);
                if (classification.failure)
                    std::rethrow_exception(classification.failure);
            }
            const Listed listed = listFile(entry.name, base + entry.name,
                                           probes[k], classification);
            if (listed == Listed::Refused)
                return; // reported by Update; the listing ends here
            if (listed == Listed::Unreadable)
                passedOver.unreadable << entry.name;
            if (listed == Listed::NotPassable)
                passedOver.unusable << entry.name;
        }
        if (unlisted)
            std::rethrow_exception(unlisted);
    });
    status(passedOver.notice());
}

adoFileList::Probe adoFileList::probeFile(int folderFd, const QByteArray &bytes,
                                          const QString &path) {
    Probe probe;
    struct statx &details = probe.details;
    if (statusOf(folderFd, bytes.constData(), 0, details) != 0) {
        const int error = errno;
        if (statusOf(folderFd, bytes.constData(), AT_SYMLINK_NOFOLLOW,
                     details) != 0)
            throw DeskFailure(FailureNumbers::kFileNotFound,
                              tr("The file %1 was not found.")
                                  .arg(modFileNames::ShownName(path)));
        probe.note = tr("cannot be read: %1").arg(systemReason(error));
        probe.listed = Listed::Unreadable;
    } else if (S_ISDIR(details.stx_mode)) {
        probe.listed = Listed::Folder; // a folder, not a file
    } else if (!S_ISREG(details.stx_mode)) {
        probe.note = tr("not a regular file");
        probe.listed = Listed::Unreadable;
    } else if (!NativePath(path).canBePassed()) {
        probe.note = tr("the path holds a double quote or a line break, "
                        "which cannot be passed to KAVRO");
        probe.listed = Listed::NotPassable;
    } else {
        probe.classify = true;
    }
    return probe;
}

adoFileList::Listed adoFileList::listFile(const QString &name,
                                          const QString &path,
                                          const Probe &probe,
                                          const Classified &classified) {
    if (probe.listed == Listed::Folder)
        return Listed::Folder;
    const struct statx &details = probe.details;
    const QString &note = probe.classify ? classified.note : probe.note;
    // Short (8.3) names do not exist here: they are the long ones.
    if (!Update(0, name, name, path, path,
                static_cast<double>(details.stx_size), typeDescription(name),
                creationTime(details), timeOf(details.stx_mtime),
                timeOf(details.stx_atime), classified.shapeType))
        return Listed::Refused;
    if (!note.isEmpty())
        table_.update({{kNote, note}});
    return probe.listed;
}

bool adoFileList::Update(int lngID, const QString &strName,
                         const QString &strShortName, const QString &strPath,
                         const QString &strShortPath, double vntSize,
                         const QString &strType,
                         const QDateTime &dtmDateCreated,
                         const QDateTime &dtmDateLastModified,
                         const QDateTime &dtmDateLastAccessed,
                         int enumShapeType) {
    return store(lngID,
                 {{kName, strName},
                  {kShortName, strShortName},
                  {kPath, strPath},
                  {kShortPath, strShortPath},
                  {kSize, vntSize},
                  {kType, strType},
                  {kDateCreated, dtmDateCreated},
                  {kDateLastModified, dtmDateLastModified},
                  {kDateLastAccessed, dtmDateLastAccessed},
                  {kShapeType, enumShapeType}},
                 tr("The file %1 cannot be listed.")
                     .arg(modFileNames::ShownName(strPath)));
}

#pragma once

#include <QCoreApplication>
#include <QString>

// The per-user settings of KavroDesk and the output folder and suffix in
// force while it runs.
//
// All settings live in one INI file in the user's configuration folder
// (application "KavroDesk", group "Environment"); this class is the only one
// that touches QSettings. Every value is text. Numbers are written in the
// text form of the user's locale (QLocale(), without group separators) and
// read back with the same conversion, so "1440,5" is a number in a German
// session and not in an English one. A stored value that is not a number
// where one is needed throws DeskFailure (FailureNumbers::kTypeMismatch); a
// store that cannot be written throws DeskFailure (kFileAccess). A missing
// key gives the default that every read passes.
//
// The static helpers serve every desktop class for its own keys; an instance
// holds the output folder and suffix, read once when it is created. Setting
// them changes only the instance: KavroDesk never writes those two keys.
class clsUserSettings {
    Q_DECLARE_TR_FUNCTIONS(clsUserSettings)

  public:
    // Keys of the group "Environment". The column width keys are a prefix
    // and the column's position from 1 (columnKey).
    static inline const QString kKeyFormWindowState =
        QStringLiteral("FormWindowState");
    static inline const QString kKeyFormTop = QStringLiteral("FormTop");
    static inline const QString kKeyFormLeft = QStringLiteral("FormLeft");
    static inline const QString kKeyFormWidth = QStringLiteral("FormWidth");
    static inline const QString kKeyFormHeight = QStringLiteral("FormHeight");
    static inline const QString kKeySplitterPosHorizontal =
        QStringLiteral("SplitterPosHorizontal");
    static inline const QString kKeySplitterPosVertical =
        QStringLiteral("SplitterPosVertical");
    static inline const QString kKeyFolderTreeCurrentPath =
        QStringLiteral("FolderTreeCurrentPath");
    static inline const QString kKeyFileListPrefix = QStringLiteral("FileList");
    static inline const QString kKeyTaskListPrefix = QStringLiteral("TaskList");
    static inline const QString kKeyOutputFolder =
        QStringLiteral("OutputFolder");
    static inline const QString kKeyOutputSuffix =
        QStringLiteral("OutputSuffix");
    static inline const QString kKeyOutputFileInitDir =
        QStringLiteral("OutputFileInitDir");
    static inline const QString kKeyBrowseFFCurrentPath =
        QStringLiteral("BrowseFFCurrentPath");
    // The language of the window: "system", "de", "it" or "en" (see
    // DeskLanguage). Read when KavroDesk starts, written by the Toolbox.
    static inline const QString kKeyLanguage = QStringLiteral("Language");

    // Defaults that are not "the control's present value".
    static constexpr int kDefaultSplitterPosHorizontal = 65; // per cent
    static constexpr int kDefaultSplitterPosVertical = 33;   // per cent
    static inline const QString kDefaultOutputSuffix = QStringLiteral("_UTM");
    static inline const QString kDefaultLanguage = QStringLiteral("system");
    // Start folder of the task dialog's file dialog before a file was ever
    // picked, or when the stored folder is gone: the user's home folder.
    static QString defaultOutputFileInitDir();

    static inline const QString kApplicationName = QStringLiteral("KavroDesk");
    static inline const QString kGroup = QStringLiteral("Environment");

    // "FileList" + 2 -> "FileList2"; position counts from 1.
    static QString columnKey(const QString &prefix, int position);

    static QString readText(const QString &key, const QString &defaultValue);
    static void writeText(const QString &key, const QString &value);
    // Decimal numbers (twips).
    static double readNumber(const QString &key, double defaultValue);
    static void writeNumber(const QString &key, double value);
    // Whole numbers (window state, splitter positions). A stored decimal is
    // rounded; one beyond the range of int throws (kOverflow).
    static int readWholeNumber(const QString &key, int defaultValue);
    static void writeWholeNumber(const QString &key, int value);

    // The number as the store holds it, and back; exposed for the tests of
    // the locale handling. fromText throws as readNumber does.
    static QString numberText(double value);
    static double numberFromText(const QString &key, const QString &text);

    // The INI file in use.
    static QString storeFileName();
    // For tests: keep the store in this folder instead of the user's
    // configuration folder (an empty text returns to the default).
    static void setStoreFolder(const QString &folder);

    // Reads "OutputFolder" (default empty) and then "OutputSuffix"
    // (default "_UTM").
    clsUserSettings();

    const QString &OutputFolder() const { return strOutputFolder_; }
    void setOutputFolder(const QString &folder) { strOutputFolder_ = folder; }
    const QString &OutputSuffix() const { return strOutputSuffix_; }
    void setOutputSuffix(const QString &suffix) { strOutputSuffix_ = suffix; }

  private:
    QString strOutputFolder_; // empty: each output beside its input
    QString strOutputSuffix_; // empty: the output keeps the input's name
};

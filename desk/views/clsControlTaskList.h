#pragma once

#include "FileKind.h"
#include "ListViewControl.h"
#include "enumErrorType.h"

#include <QString>

class adoTaskList;

// The task list view lvwTaskList: sets it up when the main window loads,
// keeps its column widths in the settings ("TaskList1" to "TaskList3") and
// shows the tasks of adoTaskList as rows keyed by the task's ID
// (ListViewControl). The store holds the tasks; every change goes to the
// store first and then is shown here.
class clsControlTaskList : public ListViewControl {
    Q_OBJECT
  public:
    // The columns' keys (the rows' keys start with the first); the headings
    // are their translations.
    static inline const QString kColumnInput =
        QStringLiteral("Inputfile (Gauss-Boaga)");
    static inline const QString kColumnOutput =
        QStringLiteral("Outputfile (UTM WGS84-ETRS89)");
    static inline const QString kColumnInfo = QStringLiteral("Info");
    static inline const QString kSettingsPrefix = QStringLiteral("TaskList");

    // Subscribes to the window's Load and Unload and serves lvwTaskList.
    clsControlTaskList(frmMain &window, adoTaskList &tasks);

    void Update(int lngID, const QString &strInputFile,
                const QString &strOutputFile, const QString &strComment,
                int enumShapeType);
    // The check result in the Info column; the kind of the task's files
    // names the output that exists.
    void UpdateComment(int lngID, enumErrorType errorType,
                       FileKind kind = FileKind::Shapefile);
    // Shows why the task's conversion failed (KAVRO's reason) in its Info
    // column, as a failed check shows; the task's record is not changed.
    void UpdateFailure(int lngID, const QString &strReason);
    // The store's current task in its row.
    void ShowCurrentRecord() override;

    // The Info text of a check result, and whether it shows as an error.
    static QString infoText(enumErrorType errorType,
                            FileKind kind = FileKind::Shapefile);
    static bool isErrorInfo(enumErrorType errorType);

  private:
    void setUpColumns(QTreeWidget &view) override;
    void showInfo(int lngID, const QString &text, bool error);

    adoTaskList &tasks_;
};

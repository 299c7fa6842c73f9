#pragma once

#include "enumErrorType.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include "ListViewRows.h"

#include <memory>

class QTreeWidget;
class QTreeWidgetItem;
class ImageList;
class adoTaskList;
class frmMain;

// The task list view lvwTaskList: sets it up when the main window loads,
// keeps its column widths in the settings ("TaskList1" to "TaskList3") and
// shows the tasks of adoTaskList as rows keyed by the task's ID. The store
// holds the tasks; every change goes to the store first and then is shown
// here.
class clsControlTaskList : public QObject {
    Q_OBJECT
  public:
    static inline const QString kColumnInput =
        QStringLiteral("Inputfile (Gauss-Boaga)");
    static inline const QString kColumnOutput =
        QStringLiteral("Outputfile (UTM WGS84-ETRS89)");
    static inline const QString kColumnInfo = QStringLiteral("Info");
    static inline const QString kToolTip =
        QStringLiteral("Click with right Mouse Button");
    static inline const QString kSettingsPrefix = QStringLiteral("TaskList");

    // Subscribes to the window's Load and Unload and serves lvwTaskList.
    clsControlTaskList(frmMain &window, adoTaskList &tasks);
    ~clsControlTaskList() override;

    // The ID of the selected row; fails (DeskFailure) when none is selected.
    int KeyValue() const;
    void Refresh();
    void MoveTo(int lngID);
    void Update(int lngID, const QString &strInputFile,
                const QString &strOutputFile, const QString &strComment,
                int enumShapeType);
    void UpdateComment(int lngID, enumErrorType errorType);
    void Delete(int lngID);

    // The Info text of a check result, and whether it shows as an error.
    static QString infoText(enumErrorType errorType);
    static bool isErrorInfo(enumErrorType errorType);

  public slots:
    void m_frmMain_Load();
    void m_frmMain_Unload();

  private:
    QTreeWidgetItem *findRow(int lngID);

    QPointer<frmMain> m_frmMain;
    QPointer<QTreeWidget> m_lvwTaskList;
    const ImageList &ilsListView_;
    std::unique_ptr<ListViewRows::RowFinder> rows_;
    adoTaskList &tasks_;
};

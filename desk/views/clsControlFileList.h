#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "ListViewRows.h"

#include <memory>

class QTreeWidget;
class QTreeWidgetItem;
class ImageList;
class adoFileList;
class frmMain;

// The file list view lvwFileList: sets it up when the main window loads,
// keeps its column widths in the settings ("FileList1" to "FileList4") and
// shows the records of adoFileList as rows keyed by "Name" + the record's ID,
// in the store's order.
class clsControlFileList : public QObject {
    Q_OBJECT
  public:
    static inline const QString kColumnName = QStringLiteral("Name");
    static inline const QString kColumnSize = QStringLiteral("Size");
    static inline const QString kColumnType = QStringLiteral("Type");
    static inline const QString kColumnLastModified =
        QStringLiteral("Last Modified");
    static inline const QString kToolTip =
        QStringLiteral("Click with right Mouse Button");
    static inline const QString kSettingsPrefix = QStringLiteral("FileList");

    // Subscribes to the window's Load and Unload and serves lvwFileList.
    clsControlFileList(frmMain &window, adoFileList &files);
    ~clsControlFileList() override;

    // The record ID of the selected row; fails (DeskFailure) when none is.
    int KeyValue() const;
    void Refresh();
    void MoveTo(int lngID);
    // strNote, when not empty, says why the file cannot become a task: the
    // row shows it after the type and in its tool tip.
    void Update(int lngID, const QString &strName, const QString &strSize,
                const QString &strType, const QString &strDateLastModified,
                int enumShapeType, const QString &strNote = QString());
    void Delete(int lngID);

    // The picture of ilsListView for a shape type.
    static int imageIndex(int shapeType);

  public slots:
    void m_frmMain_Load();
    void m_frmMain_Unload();

  private:
    QTreeWidgetItem *findRow(int lngID);

    QPointer<frmMain> m_frmMain;
    QPointer<QTreeWidget> m_lvwFileList;
    const ImageList &ilsListView_;
    std::unique_ptr<ListViewRows::RowFinder> rows_;
    adoFileList &files_;
};

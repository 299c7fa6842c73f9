#pragma once

#include "ListViewControl.h"

#include <QString>

class adoFileList;

// The file list view lvwFileList: sets it up when the main window loads,
// keeps its column widths in the settings ("FileList1" to "FileList4") and
// shows the records of adoFileList as rows keyed by "Name" + the record's ID,
// in the store's order (ListViewControl).
class clsControlFileList : public ListViewControl {
    Q_OBJECT
  public:
    // The columns' keys (the rows' keys start with the first); the headings
    // are their translations.
    static inline const QString kColumnName = QStringLiteral("Name");
    static inline const QString kColumnSize = QStringLiteral("Size");
    static inline const QString kColumnType = QStringLiteral("Type");
    static inline const QString kColumnLastModified =
        QStringLiteral("Last Modified");
    static inline const QString kSettingsPrefix = QStringLiteral("FileList");

    // Subscribes to the window's Load and Unload and serves lvwFileList.
    clsControlFileList(frmMain &window, adoFileList &files);

    // strNote, when not empty, says why the file cannot become a task: the
    // row shows it after the type and in its tool tip.
    void Update(int lngID, const QString &strName, const QString &strSize,
                const QString &strType, const QString &strDateLastModified,
                int enumShapeType, const QString &strNote = QString());
    // The store's current file in its row.
    void ShowCurrentRecord() override;

    // The picture of ilsListView for a shape type.
    static int imageIndex(int shapeType);

  private:
    void setUpColumns(QTreeWidget &view) override;

    adoFileList &files_;
};

#pragma once

#include "ListViewRows.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class ImageList;
class QTreeWidget;
class QTreeWidgetItem;
class RecordStore;
class frmMain;

// What the file list and the task list views share (clsControlFileList,
// clsControlTaskList): the list is set up when the main window loads, with
// its columns in order (each keyed by its heading) and their widths kept in
// the settings under a prefix and the column's position; a row stands for
// one record of the store, keyed by the first column's heading and the
// record's ID; and the operations by ID that other parts call. Every
// operation but KeyValue traps its failures with the empty caption.
class ListViewControl : public QObject {
    Q_OBJECT
  public:
    // Every row's tool tip.
    static QString toolTipText();

    // The ID of the selected row; fails (DeskFailure) when none is selected.
    int KeyValue() const;
    // Rebuilds all rows from the store, in its order.
    void Refresh();
    // Selects the row of that ID and scrolls it into view; nothing happens
    // when no row has it.
    void MoveTo(int lngID);
    // Removes the row of that ID, if there is one.
    void Delete(int lngID);
    // Shows the store's current record in its row, added at the end when
    // there is none: the one way a record reaches the list.
    virtual void ShowCurrentRecord() = 0;

    // Set up the list, and restore its column widths; save them.
    void m_frmMain_Load();
    void m_frmMain_Unload();

  protected:
    // columns are the keys of the columns (the rows' keys start with the
    // first), headings what they show.
    ListViewControl(frmMain &window, QTreeWidget *view, RecordStore &store,
                    const QStringList &columns, const QStringList &headings,
                    const QString &settingsPrefix);

    // Load's part between the report view's set-up and the stored widths:
    // the columns (addColumns) and their starting widths.
    virtual void setUpColumns(QTreeWidget &view) = 0;

    // The columns at the view's default width.
    void addColumns(QTreeWidget &view) const;
    QTreeWidgetItem *findRow(int lngID);
    // The row of that ID, added at the end with its cells' keys when there
    // is none.
    QTreeWidgetItem *row(int lngID);
    // The same tool tip on every cell of the row.
    void setToolTip(QTreeWidgetItem &row, const QString &tip) const;

    QPointer<frmMain> m_frmMain;
    QPointer<QTreeWidget> view_;
    const ImageList &ilsListView_;
    // Whether Refresh lets pending events in once the list is empty.
    bool processEventsWhenEmptied_ = false;

  private:
    RecordStore &store_;
    QStringList columns_;
    QStringList headings_;
    QString settingsPrefix_;
    std::unique_ptr<ListViewRows::RowFinder> rows_;
};

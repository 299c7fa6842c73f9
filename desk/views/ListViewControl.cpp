#include "ListViewControl.h"

#include "DeskMessages.h"
#include "RecordStore.h"
#include "WindowEvents.h"
#include "frmMain.h"

#include <QCoreApplication>
#include <QTreeWidget>

ListViewControl::ListViewControl(frmMain &window, QTreeWidget *view,
                                 RecordStore &store, const QStringList &columns,
                                 const QStringList &headings,
                                 const QString &settingsPrefix)
    : m_frmMain(&window), view_(view), ilsListView_(window.ilsListView()),
      store_(store), columns_(columns), headings_(headings),
      settingsPrefix_(settingsPrefix),
      rows_(std::make_unique<ListViewRows::RowFinder>(*view, columns.first())) {
    subscribeToWindow(m_frmMain.data(), this);
}

void ListViewControl::m_frmMain_Load() {
    guard(QString(), [&] {
        ListViewRows::setUpReportView(*view_);
        setUpColumns(*view_);
        ListViewRows::restoreColumnWidths(*view_, settingsPrefix_);
    });
}

void ListViewControl::m_frmMain_Unload() {
    guard(QString(),
          [&] { ListViewRows::saveColumnWidths(*view_, settingsPrefix_); });
}

QString ListViewControl::toolTipText() {
    return tr("Click with right Mouse Button");
}

void ListViewControl::addColumns(QTreeWidget &view) const {
    for (qsizetype column = 0; column < columns_.size(); ++column)
        ListViewRows::addColumn(view, columns_[column], headings_[column]);
}

int ListViewControl::KeyValue() const {
    return ListViewRows::selectedID(*view_, columns_.first());
}

QTreeWidgetItem *ListViewControl::findRow(int lngID) {
    return rows_->find(lngID);
}

QTreeWidgetItem *ListViewControl::row(int lngID) {
    QTreeWidgetItem *found = findRow(lngID);
    return found ? found : rows_->add(columns_, lngID);
}

void ListViewControl::setToolTip(QTreeWidgetItem &row,
                                 const QString &tip) const {
    for (int column = 0; column < view_->columnCount(); ++column)
        row.setToolTip(column, tip);
}

void ListViewControl::Refresh() {
    guard(QString(), [&] {
        view_->clear();
        if (processEventsWhenEmptied_)
            QCoreApplication::processEvents();
        RecordSet &table = store_.Recordset();
        for (table.moveFirst(); !table.atEnd(); table.moveNext())
            ShowCurrentRecord();
    });
}

void ListViewControl::MoveTo(int lngID) {
    guard(QString(), [&] {
        if (QTreeWidgetItem *found = findRow(lngID)) {
            view_->setCurrentItem(found);
            view_->scrollToItem(found);
        }
    });
}

void ListViewControl::Delete(int lngID) {
    guard(QString(), [&] { delete findRow(lngID); });
}

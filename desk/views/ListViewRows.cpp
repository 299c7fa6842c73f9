#include "ListViewRows.h"

#include "DeskFailure.h"
#include "FailureNumbers.h"
#include "Twips.h"
#include "clsUserSettings.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QPalette>
#include <QTreeWidget>

#include <cmath>

namespace ListViewRows {
void setUpReportView(QTreeWidget &view) {
    view.setRootIsDecorated(false);
    view.setItemsExpandable(false);
    view.setUniformRowHeights(true);
    view.setAllColumnsShowFocus(true);
    view.setSortingEnabled(false);
    view.setHeaderHidden(false);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.header()->setStretchLastSection(false);
    view.header()->setSectionsMovable(false);
    // Keep the selection as visible without the focus as with it.
    QPalette palette = view.palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role,
                         palette.color(QPalette::Active, role));
    view.setPalette(palette);
    view.setColumnCount(0);
}

void addColumn(QTreeWidget &view, const QString &key, const QString &heading) {
    const int column = view.columnCount();
    view.setColumnCount(column + 1);
    QTreeWidgetItem *header = view.headerItem();
    header->setText(column, heading);
    header->setData(column, KeyRole, key);
    view.setColumnWidth(column, view.header()->defaultSectionSize());
}

QString rowKey(const QString &prefix, int id) {
    return prefix + QString::number(id);
}

int keyID(const QString &key, const QString &prefix) {
    bool ok = false;
    const int id = key.mid(prefix.size()).toInt(&ok);
    if (!ok)
        throw DeskFailure(FailureNumbers::kTypeMismatch,
                          QCoreApplication::translate(
                              "ListViewRows", "The row key \"%1\" holds no ID.")
                              .arg(key));
    return id;
}

int selectedID(const QTreeWidget &view, const QString &prefix) {
    const QList<QTreeWidgetItem *> selected = view.selectedItems();
    if (selected.isEmpty())
        throw DeskFailure(
            FailureNumbers::kObjectNotSet,
            QCoreApplication::translate("ListViewRows",
                                        "No row of the list is selected."));
    return keyID(selected.first()->data(0, KeyRole).toString(), prefix);
}

QTreeWidgetItem *addRow(QTreeWidget &view, const QStringList &cellKeys,
                        int id) {
    auto *row = new QTreeWidgetItem(&view);
    for (int column = 0; column < cellKeys.size(); ++column)
        row->setData(column, KeyRole, rowKey(cellKeys[column], id));
    return row;
}

RowFinder::RowFinder(QTreeWidget &view, const QString &prefix)
    : view_(view), prefix_(prefix) {
    QAbstractItemModel *model = view.model();
    const auto drop = [this] { this->drop(); };
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, drop);
    connect(model, &QAbstractItemModel::rowsAboutToBeMoved, this, drop);
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, drop);
    connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, drop);
    connect(model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (!adding_)
            this->drop();
    });
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &, const QModelIndex &,
                   const QList<int> &roles) {
                if (!adding_ && (roles.isEmpty() || roles.contains(KeyRole)))
                    this->drop();
            });
}

void RowFinder::drop() {
    rows_.clear();
    valid_ = false;
}

QTreeWidgetItem *RowFinder::find(int id) {
    if (!valid_) {
        for (int i = 0; i < view_.topLevelItemCount(); ++i) {
            QTreeWidgetItem *row = view_.topLevelItem(i);
            const QString key = row->data(0, KeyRole).toString();
            bool ok = false;
            const int rowID = key.mid(prefix_.size()).toInt(&ok);
            if (ok && key == rowKey(prefix_, rowID) && !rows_.contains(rowID))
                rows_.insert(rowID, row);
        }
        valid_ = true;
    }
    return rows_.value(id, nullptr);
}

QTreeWidgetItem *RowFinder::add(const QStringList &cellKeys, int id) {
    find(id); // the index stands before the row joins it
    adding_ = true;
    QTreeWidgetItem *row = addRow(view_, cellKeys, id);
    adding_ = false;
    if (!rows_.contains(id))
        rows_.insert(id, row);
    return row;
}

void restoreColumnWidths(QTreeWidget &view, const QString &settingsPrefix) {
    for (int column = 0; column < view.columnCount(); ++column) {
        const double present = pixelsToTwips(view.columnWidth(column));
        const double twips = clsUserSettings::readNumber(
            clsUserSettings::columnKey(settingsPrefix, column + 1), present);
        // The settings file can be edited by hand: a stored width that is no
        // finite number, below zero or beyond any screen is not a width.
        if (!std::isfinite(twips) || twips < 0 || twips > 1.0e7)
            throw DeskFailure(
                FailureNumbers::kInvalidPropertyValue,
                QCoreApplication::translate("ListViewRows",
                                            "The stored width %1 of column "
                                            "%2 is not usable.")
                    .arg(QString::number(twips), QString::number(column + 1)));
        view.setColumnWidth(column, twipsToPixels(twips));
    }
}

void saveColumnWidths(const QTreeWidget &view, const QString &settingsPrefix) {
    for (int column = 0; column < view.columnCount(); ++column)
        clsUserSettings::writeNumber(
            clsUserSettings::columnKey(settingsPrefix, column + 1),
            pixelsToTwips(view.columnWidth(column)));
}
} // namespace ListViewRows

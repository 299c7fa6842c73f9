#include "clsControlFileList.h"

#include "DeskMessages.h"
#include "ListViewRows.h"
#include "adoFileList.h"
#include "frmMain.h"
#include "modFileNames.h"
#include "modKAVRO.h"

#include <QHeaderView>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>

namespace {
constexpr int kColumnNameIndex = 0;
constexpr int kColumnSizeIndex = 1;
constexpr int kColumnTypeIndex = 2;
constexpr int kColumnLastModifiedIndex = 3;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
} // namespace

clsControlFileList::clsControlFileList(frmMain &window, adoFileList &files)
    : m_frmMain(&window), m_lvwFileList(window.lvwFileList()),
      ilsListView_(window.ilsListView()),
      rows_(std::make_unique<ListViewRows::RowFinder>(*window.lvwFileList(),
                                                      kColumnName)),
      files_(files) {
    connect(m_frmMain, &frmMain::Load, this,
            &clsControlFileList::m_frmMain_Load);
    connect(m_frmMain, &frmMain::Unload, this,
            &clsControlFileList::m_frmMain_Unload);
}

clsControlFileList::~clsControlFileList() {
    if (m_frmMain)
        disconnect(m_frmMain, nullptr, this, nullptr);
}

void clsControlFileList::m_frmMain_Load() {
    guard(QString(), [&] {
        QTreeWidget &view = *m_lvwFileList;
        ListViewRows::setUpReportView(view);
        // A new column is at least as wide as a date of the last column,
        // so that "dd.mm.yyyy hh:mm" is not cut off at the first start.
        const int dateWidth =
            view.fontMetrics().horizontalAdvance(
                QStringLiteral("00.00.0000 00:00")) +
            view.style()->pixelMetric(QStyle::PM_HeaderMargin) * 2 +
            view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin) * 4;
        view.header()->setDefaultSectionSize(
            std::max(view.header()->defaultSectionSize(), dateWidth));
        for (const QString &key :
             {kColumnName, kColumnSize, kColumnType, kColumnLastModified})
            ListViewRows::addColumn(view, key);
        view.setColumnWidth(kColumnNameIndex,
                            2 * view.columnWidth(kColumnNameIndex));
        view.headerItem()->setTextAlignment(kColumnSizeIndex, kRight);
        ListViewRows::restoreColumnWidths(view, kSettingsPrefix);
    });
}

void clsControlFileList::m_frmMain_Unload() {
    guard(QString(), [&] {
        ListViewRows::saveColumnWidths(*m_lvwFileList, kSettingsPrefix);
    });
}

int clsControlFileList::KeyValue() const {
    return ListViewRows::selectedID(*m_lvwFileList, kColumnName);
}

QTreeWidgetItem *clsControlFileList::findRow(int lngID) {
    return rows_->find(lngID);
}

int clsControlFileList::imageIndex(int shapeType) {
    if (shapeType == ShapeGBOShift || shapeType == ShapeGBO)
        return ListViewRows::kImagePlainDocument;
    if (shapeType == ShapeUTM)
        return ListViewRows::kImageCheckedDocument;
    return ListViewRows::kImageWindowDocument;
}

void clsControlFileList::Refresh() {
    guard(QString(), [&] {
        m_lvwFileList->clear();
        // No pending events are processed here: Refresh runs inside other
        // handlers (the folder tree's change of selection), and letting the
        // tree's own model events in halfway through its change corrupts it.
        // The list paints when the handler has ended.
        if (files_.State() != 1)
            return;
        RecordSet &table = files_.Recordset();
        for (table.moveFirst(); !table.atEnd(); table.moveNext())
            Update(files_.ID(), files_.FileName(), files_.FileSize(),
                   files_.FileType(), files_.DateLastModified(),
                   files_.ShapeType(), files_.Note());
    });
}

void clsControlFileList::MoveTo(int lngID) {
    guard(QString(), [&] {
        if (QTreeWidgetItem *row = findRow(lngID)) {
            m_lvwFileList->setCurrentItem(row);
            m_lvwFileList->scrollToItem(row);
        }
    });
}

void clsControlFileList::Update(int lngID, const QString &strName,
                                const QString &strSize, const QString &strType,
                                const QString &strDateLastModified,
                                int enumShapeType, const QString &strNote) {
    guard(QString(), [&] {
        QTreeWidgetItem *row = findRow(lngID);
        if (!row) {
            row = rows_->add(
                {kColumnName, kColumnSize, kColumnType, kColumnLastModified},
                lngID);
            row->setTextAlignment(kColumnSizeIndex, kRight);
        }
        row->setText(kColumnNameIndex, modFileNames::ShownName(strName));
        row->setIcon(kColumnNameIndex,
                     ilsListView_.image(imageIndex(enumShapeType)));
        row->setText(kColumnSizeIndex, strSize);
        row->setText(kColumnTypeIndex,
                     strNote.isEmpty()
                         ? strType
                         : QStringLiteral("%1 (%2)").arg(strType, strNote));
        row->setText(kColumnLastModifiedIndex, strDateLastModified);
        const QString tip = strNote.isEmpty()
                                ? kToolTip
                                : strNote + QLatin1Char('\n') + kToolTip;
        for (int column = 0; column < m_lvwFileList->columnCount(); ++column)
            row->setToolTip(column, tip);
    });
}

void clsControlFileList::Delete(int lngID) {
    guard(QString(), [&] { delete findRow(lngID); });
}

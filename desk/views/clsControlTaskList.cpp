#include "clsControlTaskList.h"

#include "DeskMessages.h"
#include "ListViewRows.h"
#include "adoTaskList.h"
#include "frmMain.h"
#include "modFileNames.h"
#include "modKAVRO.h"

#include <QCoreApplication>
#include <QFont>
#include <QTreeWidget>

namespace {
constexpr int kColumnInputIndex = 0;
constexpr int kColumnOutputIndex = 1;
constexpr int kColumnInfoIndex = 2;
const QColor kErrorColour(255, 0, 0); // the colour value 255: pure red
} // namespace

clsControlTaskList::clsControlTaskList(frmMain &window, adoTaskList &tasks)
    : m_frmMain(&window), m_lvwTaskList(window.lvwTaskList()),
      ilsListView_(window.ilsListView()),
      rows_(std::make_unique<ListViewRows::RowFinder>(*window.lvwTaskList(),
                                                      kColumnInput)),
      tasks_(tasks) {
    connect(m_frmMain, &frmMain::Load, this,
            &clsControlTaskList::m_frmMain_Load);
    connect(m_frmMain, &frmMain::Unload, this,
            &clsControlTaskList::m_frmMain_Unload);
}

clsControlTaskList::~clsControlTaskList() {
    if (m_frmMain)
        disconnect(m_frmMain, nullptr, this, nullptr);
}

void clsControlTaskList::m_frmMain_Load() {
    guard(QString(), [&] {
        QTreeWidget &view = *m_lvwTaskList;
        ListViewRows::setUpReportView(view);
        for (const QString &key : {kColumnInput, kColumnOutput, kColumnInfo})
            ListViewRows::addColumn(view, key);
        const int factors[] = {3, 3, 2};
        for (int column = 0; column < view.columnCount(); ++column)
            view.setColumnWidth(column,
                                factors[column] * view.columnWidth(column));
        ListViewRows::restoreColumnWidths(view, kSettingsPrefix);
    });
}

void clsControlTaskList::m_frmMain_Unload() {
    guard(QString(), [&] {
        ListViewRows::saveColumnWidths(*m_lvwTaskList, kSettingsPrefix);
    });
}

int clsControlTaskList::KeyValue() const {
    return ListViewRows::selectedID(*m_lvwTaskList, kColumnInput);
}

QTreeWidgetItem *clsControlTaskList::findRow(int lngID) {
    return rows_->find(lngID);
}

void clsControlTaskList::Refresh() {
    guard(QString(), [&] {
        m_lvwTaskList->clear();
        // The emptied list is painted before it is filled again. Refresh
        // runs from Delete All, after the store has been emptied, so a
        // handler that runs in between sees the store and the list agree;
        // a task it adds keeps its one row, as Update finds rows by ID.
        QCoreApplication::processEvents();
        if (tasks_.State() != 1)
            return;
        RecordSet &table = tasks_.Recordset();
        for (table.moveFirst(); !table.atEnd(); table.moveNext())
            Update(tasks_.ID(), tasks_.InputFile(), tasks_.OutputFile(),
                   tasks_.Comment(), tasks_.ShapeType());
    });
}

void clsControlTaskList::MoveTo(int lngID) {
    guard(QString(), [&] {
        if (QTreeWidgetItem *row = findRow(lngID)) {
            m_lvwTaskList->setCurrentItem(row);
            m_lvwTaskList->scrollToItem(row);
        }
    });
}

void clsControlTaskList::Update(int lngID, const QString &strInputFile,
                                const QString &strOutputFile,
                                const QString &strComment, int enumShapeType) {
    guard(QString(), [&] {
        QTreeWidgetItem *row = findRow(lngID);
        if (!row)
            row = rows_->add({kColumnInput, kColumnOutput, kColumnInfo}, lngID);
        const int image =
            enumShapeType == ShapeGBOShift || enumShapeType == ShapeGBO
                ? ListViewRows::kImagePlainDocument
                : ListViewRows::kImageCheckedDocument;
        row->setText(kColumnInputIndex, modFileNames::ShownName(strInputFile));
        row->setIcon(kColumnInputIndex, ilsListView_.image(image));
        row->setText(kColumnOutputIndex,
                     modFileNames::ShownName(strOutputFile));
        // A comment is never a check result: it shows in the normal style,
        // also where a check result stood before.
        row->setText(kColumnInfoIndex, strComment);
        row->setFont(kColumnInfoIndex, m_lvwTaskList->font());
        row->setForeground(kColumnInfoIndex, QBrush());
        for (int column = 0; column < m_lvwTaskList->columnCount(); ++column)
            row->setToolTip(column, kToolTip);
    });
}

QString clsControlTaskList::infoText(enumErrorType errorType) {
    switch (errorType) {
    case ErrorOutputFolder:
        return QStringLiteral("Output-Directory does not exist");
    case ErrorOutputExists:
        return QStringLiteral("Output-SHP already exists");
    case ErrorFileExtension:
        return QStringLiteral("Error File-Extension");
    case ErrorSpatialIndex:
        return QStringLiteral("Output-Files .sbn/.sbx already exist");
    case ErrorAlreadyUTM:
        return QStringLiteral("UTM WGS84-ETRS89");
    case ErrorNameNotPassable:
        return QStringLiteral("Output-Name holds a double quote or a line "
                              "break");
    default:
        return QString();
    }
}

bool clsControlTaskList::isErrorInfo(enumErrorType errorType) {
    return (errorType >= ErrorOutputFolder && errorType <= ErrorSpatialIndex) ||
           errorType == ErrorNameNotPassable;
}

void clsControlTaskList::UpdateComment(int lngID, enumErrorType errorType) {
    guard(QString(), [&] {
        QTreeWidgetItem *row = findRow(lngID);
        if (!row)
            return;
        QFont font = m_lvwTaskList->font();
        font.setBold(isErrorInfo(errorType));
        row->setText(kColumnInfoIndex, infoText(errorType));
        row->setFont(kColumnInfoIndex, font);
        if (isErrorInfo(errorType))
            row->setForeground(kColumnInfoIndex, kErrorColour);
        else
            row->setForeground(kColumnInfoIndex, QBrush()); // the view's text
    });
}

void clsControlTaskList::Delete(int lngID) {
    guard(QString(), [&] { delete findRow(lngID); });
}

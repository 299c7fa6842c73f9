#include "clsControlTaskList.h"

#include "DeskMessages.h"
#include "ShapeType.h"
#include "adoTaskList.h"
#include "frmMain.h"
#include "modFileNames.h"

#include <QFont>
#include <QTreeWidget>

namespace {
constexpr int kColumnInputIndex = 0;
constexpr int kColumnOutputIndex = 1;
constexpr int kColumnInfoIndex = 2;
const QColor kErrorColour(255, 0, 0); // the colour value 255: pure red

// The Info cell's tool tip: its text whole, which a narrow column (or a long
// reason from KAVRO) cuts short, above the tip of every row.
void setInfoToolTip(QTreeWidgetItem &row) {
    const QString info = row.text(kColumnInfoIndex);
    row.setToolTip(kColumnInfoIndex,
                   info.isEmpty()
                       ? ListViewControl::toolTipText()
                       : info + u'\n' + ListViewControl::toolTipText());
}
} // namespace

clsControlTaskList::clsControlTaskList(frmMain &window, adoTaskList &tasks)
    : ListViewControl(window, window.lvwTaskList(), tasks,
                      {kColumnInput, kColumnOutput, kColumnInfo},
                      {tr("Inputfile (Gauss-Boaga)"),
                       tr("Outputfile (UTM WGS84-ETRS89)"), tr("Info")},
                      kSettingsPrefix),
      tasks_(tasks) {
    // The emptied list is painted before it is filled again. Refresh runs
    // from Delete All, after the store has been emptied, so a handler that
    // runs in between sees the store and the list agree; a task it adds
    // keeps its one row, as Update finds rows by ID.
    processEventsWhenEmptied_ = true;
}

void clsControlTaskList::setUpColumns(QTreeWidget &view) {
    addColumns(view);
    const int factors[] = {3, 3, 2};
    for (int column = 0; column < view.columnCount(); ++column)
        view.setColumnWidth(column, factors[column] * view.columnWidth(column));
}

void clsControlTaskList::ShowCurrentRecord() {
    Update(tasks_.ID(), tasks_.InputFile(), tasks_.OutputFile(),
           tasks_.Comment(), tasks_.ShapeType());
}

void clsControlTaskList::Update(int lngID, const QString &strInputFile,
                                const QString &strOutputFile,
                                const QString &strComment, int enumShapeType) {
    guard(QString(), [&] {
        QTreeWidgetItem *row = this->row(lngID);
        const int image = IsConvertible(enumShapeType)
                              ? ListViewRows::kImagePlainDocument
                              : ListViewRows::kImageCheckedDocument;
        row->setText(kColumnInputIndex, modFileNames::ShownName(strInputFile));
        row->setIcon(kColumnInputIndex, ilsListView_.image(image));
        row->setText(kColumnOutputIndex,
                     modFileNames::ShownName(strOutputFile));
        // A comment is never a check result: it shows in the normal style,
        // also where a check result stood before.
        row->setText(kColumnInfoIndex, strComment);
        row->setFont(kColumnInfoIndex, view_->font());
        row->setForeground(kColumnInfoIndex, QBrush());
        setToolTip(*row, toolTipText());
        setInfoToolTip(*row);
    });
}

QString clsControlTaskList::infoText(enumErrorType errorType, FileKind kind) {
    switch (errorType) {
    case ErrorOutputFolder:
        return tr("Output-Directory does not exist");
    case ErrorOutputExists:
        if (kind == FileKind::GeoPackage || kind == FileKind::PointList)
            return tr("Output-File already exists");
        return tr("Output-SHP already exists");
    case ErrorFileExtension:
        return tr("Error File-Extension");
    case ErrorSpatialIndex:
        return tr("Output-Files .sbn/.sbx already exist");
    case ErrorAlreadyUTM:
        return QStringLiteral("UTM WGS84-ETRS89");
    case ErrorNameNotPassable:
        return tr("Output-Name holds a double quote or a line "
                  "break");
    default:
        return QString();
    }
}

bool clsControlTaskList::isErrorInfo(enumErrorType errorType) {
    return (errorType >= ErrorOutputFolder && errorType <= ErrorSpatialIndex) ||
           errorType == ErrorNameNotPassable;
}

void clsControlTaskList::UpdateComment(int lngID, enumErrorType errorType,
                                       FileKind kind) {
    showInfo(lngID, infoText(errorType, kind), isErrorInfo(errorType));
}

void clsControlTaskList::UpdateFailure(int lngID, const QString &strReason) {
    showInfo(lngID, strReason, true);
}

void clsControlTaskList::showInfo(int lngID, const QString &text, bool error) {
    guard(QString(), [&] {
        QTreeWidgetItem *row = findRow(lngID);
        if (!row)
            return;
        QFont font = view_->font();
        font.setBold(error);
        row->setText(kColumnInfoIndex, text);
        row->setFont(kColumnInfoIndex, font);
        if (error)
            row->setForeground(kColumnInfoIndex, kErrorColour);
        else
            row->setForeground(kColumnInfoIndex, QBrush()); // the view's text
        setInfoToolTip(*row);
    });
}

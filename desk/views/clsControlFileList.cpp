#include "clsControlFileList.h"

#include "DeskMessages.h"
#include "ShapeType.h"
#include "adoFileList.h"
#include "frmMain.h"
#include "modFileNames.h"

#include <QDateTime>
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
    : ListViewControl(
          window, window.lvwFileList(), files,
          {kColumnName, kColumnSize, kColumnType, kColumnLastModified},
          {tr("Name"), tr("Size"), tr("Type"), tr("Last Modified")},
          kSettingsPrefix),
      files_(files) {
    // Refresh lets no pending events in: it runs inside other handlers (the
    // folder tree's change of selection), and letting the tree's own model
    // events in halfway through its change corrupts it. The list paints
    // when the handler has ended.
    processEventsWhenEmptied_ = false;
}

void clsControlFileList::setUpColumns(QTreeWidget &view) {
    // A new column is at least as wide as a date of the last column (in the
    // language's form, with wide digits), so that it is not cut off at the
    // first start.
    const QDateTime wide(QDate(2000, 12, 28), QTime(20, 28));
    const int dateWidth =
        view.fontMetrics().horizontalAdvance(
            adoFileList::formatDateTime(wide)) +
        view.style()->pixelMetric(QStyle::PM_HeaderMargin) * 2 +
        view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin) * 4;
    view.header()->setDefaultSectionSize(
        std::max(view.header()->defaultSectionSize(), dateWidth));
    addColumns(view);
    view.setColumnWidth(kColumnNameIndex,
                        2 * view.columnWidth(kColumnNameIndex));
    view.headerItem()->setTextAlignment(kColumnSizeIndex, kRight);
}

int clsControlFileList::imageIndex(int shapeType) {
    if (IsConvertible(shapeType))
        return ListViewRows::kImagePlainDocument;
    if (shapeType == ShapeUTM)
        return ListViewRows::kImageCheckedDocument;
    return ListViewRows::kImageWindowDocument;
}

void clsControlFileList::ShowCurrentRecord() {
    Update(files_.ID(), files_.FileName(), files_.FileSize(), files_.FileType(),
           files_.DateLastModified(), files_.ShapeType(), files_.Note());
}

void clsControlFileList::Update(int lngID, const QString &strName,
                                const QString &strSize, const QString &strType,
                                const QString &strDateLastModified,
                                int enumShapeType, const QString &strNote) {
    guard(QString(), [&] {
        QTreeWidgetItem &shown = *row(lngID);
        shown.setTextAlignment(kColumnSizeIndex, kRight);
        shown.setText(kColumnNameIndex, modFileNames::ShownName(strName));
        shown.setIcon(kColumnNameIndex,
                      ilsListView_.image(imageIndex(enumShapeType)));
        shown.setText(kColumnSizeIndex, strSize);
        shown.setText(kColumnTypeIndex,
                      strNote.isEmpty()
                          ? strType
                          : QStringLiteral("%1 (%2)").arg(strType, strNote));
        shown.setText(kColumnLastModifiedIndex, strDateLastModified);
        setToolTip(shown, strNote.isEmpty()
                              ? toolTipText()
                              : strNote + QLatin1Char('\n') + toolTipText());
    });
}

#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class QTreeWidget;
class QTreeWidgetItem;

// What the file list and the task list views share: the report-view set-up,
// row keys and the column widths kept in the settings store.
//
// A row is keyed by a fixed prefix (the heading of the first column) and the
// record's ID in decimal: "Name7". Each cell keeps its key in KeyRole; the
// row's ID is read back from the first cell's key.
namespace ListViewRows {
inline constexpr int KeyRole = 0x0100; // Qt::UserRole

// The pictures of the main window's image list ilsListView, from 1.
inline constexpr int kImagePlainDocument = 1;   // shape types 0 and 1
inline constexpr int kImageCheckedDocument = 2; // 2: already UTM
inline constexpr int kImageWindowDocument = 3;  // 3 and others: unknown

// A report view with headings: one row selected at a time, labels not
// editable, the selection shown also when the view has no focus, no tree
// decoration, columns only as wide as they are set.
void setUpReportView(QTreeWidget &view);

// Adds a column with this key and heading at the view's default width. The
// key is the same in every language; the heading is the translated one.
void addColumn(QTreeWidget &view, const QString &key, const QString &heading);

QString rowKey(const QString &prefix, int id);
// The ID in a row key: the text after the prefix's length, read as a 32-bit
// whole number. Anything else throws DeskFailure.
int keyID(const QString &key, const QString &prefix);

// The ID of the selected row; throws DeskFailure (no row selected, or a key
// that holds no ID) to the caller's trap.
int selectedID(const QTreeWidget &view, const QString &prefix);

// A new row at the end with the row key in the first cell and keyPrefix +
// ID in the others.
QTreeWidgetItem *addRow(QTreeWidget &view, const QStringList &cellKeys, int id);

// Finds the rows of one view by ID without walking them, through an index
// from ID to row that is built when first needed, kept up by add(), and
// dropped whenever the view's rows change in any other way (a removal, a
// clear, a row added elsewhere), so that it never points at a row that is
// gone. Filling a list of n rows thus costs n, not n squared.
class RowFinder : public QObject {
  public:
    RowFinder(QTreeWidget &view, const QString &prefix);
    // The first row whose key holds that ID, or nullptr.
    QTreeWidgetItem *find(int id);
    // A new row at the end, as addRow() makes it.
    QTreeWidgetItem *add(const QStringList &cellKeys, int id);

  private:
    void drop();
    QTreeWidget &view_;
    QString prefix_;
    QHash<int, QTreeWidgetItem *> rows_;
    bool valid_ = false;
    bool adding_ = false;
};

// Each column's width from the settings key prefix + position (1-based), in
// twips, defaulting to its present width; and back. A stored value that is
// not a number throws at that column; the columns after it stay as they are.
void restoreColumnWidths(QTreeWidget &view, const QString &settingsPrefix);
void saveColumnWidths(const QTreeWidget &view, const QString &settingsPrefix);
} // namespace ListViewRows

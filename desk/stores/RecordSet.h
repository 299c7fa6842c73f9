#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

#include <utility>
#include <vector>

// A small in-memory table with typed fields and a cursor, the storage of the
// two record stores (adoFileList, adoTaskList).
//
// The cursor stands on one record or past the last one ("at end"); an empty
// table is always at end. Reading or changing the current record at end is a
// failure (DeskFailure, kNoCurrentRecord), as is a value that does not fit its
// field (kInvalidValue). A change is checked completely before anything is
// written, so a failed append or update leaves the table as it was.
class RecordSet {
    Q_DECLARE_TR_FUNCTIONS(RecordSet)

  public:
    enum class FieldType {
        Integer, // 32-bit signed whole number
        Text,    // at most maxLength bytes as file names hold them
        Number,  // double-precision number (file sizes beyond 32 bits)
        Date     // date and time
    };

    struct Field {
        QString name;
        FieldType type;
        // Text only: the longest path the file system takes (PATH_MAX),
        // counted in bytes as modFileNames encodes the text.
        int maxLength = 4096;
    };

    // Values for an append or an update: field name and value, applied in
    // the table's field order whatever their order here.
    using Values = QList<std::pair<QString, QVariant>>;

    explicit RecordSet(QList<Field> fields);

    const QList<Field> &fields() const { return fields_; }
    // The index of the named field; an unknown name is a failure.
    int fieldIndex(const QString &name) const;

    int recordCount() const { return static_cast<int>(rows_.size()); }
    bool atEnd() const { return cursor_ >= rows_.size(); }
    // 1-based position of the current record; 0 when at end.
    int absolutePosition() const;

    void moveFirst() { cursor_ = 0; }
    // At end this is a failure, as stepping past the end would hide a fault
    // in a loop.
    void moveNext();

    // Searches from the first record for the first whose field equals the
    // value. Found: it becomes the current record. Not found: at end. A
    // whole number field is searched through an index, so that finding
    // every record by its ID in turn is not quadratic.
    bool find(const QString &field, const QVariant &value);

    QVariant value(const QString &field) const;
    int integer(const QString &field) const;
    QString text(const QString &field) const;
    double number(const QString &field) const;
    QDateTime date(const QString &field) const;

    // The highest value of a whole number field over all records; 0 when
    // the table is empty. The cursor does not move.
    int highestInteger(const QString &field) const;

    // Appends a record; fields not given get their empty value (0, "",
    // invalid date). The new record becomes the current one.
    void append(const Values &values);
    // Overwrites the given fields of the current record.
    void update(const Values &values);
    // Removes the current record; the cursor moves to the record after it.
    void remove();
    // Removes every record, first to last; an empty table stays as it is.
    void removeAll();

  private:
    using Row = std::vector<QVariant>;

    const Row &currentRow() const;
    // Checks and converts one value for a field; throws on a misfit.
    QVariant checked(const Field &field, const QVariant &value) const;
    // The checked values in field order, as (index, value).
    std::vector<std::pair<int, QVariant>> prepare(const Values &values) const;

    // The rows of the first record with each value of a whole number field,
    // and the field's highest value; built when first asked for, kept up by
    // append(), dropped by every other change.
    struct IntegerIndex {
        QHash<qint32, std::size_t> first;
        int highest = 0;
    };
    const IntegerIndex &indexOf(int field) const;
    void dropIndexes() const { indexes_.clear(); }

    QList<Field> fields_;
    std::vector<Row> rows_;
    std::size_t cursor_ = 0;
    mutable QHash<int, IntegerIndex> indexes_;
};

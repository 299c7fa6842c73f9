#pragma once

#include "RecordSet.h"

#include <QString>

// What the two record stores (adoFileList, adoTaskList) share: their table
// with a cursor, the ID of the current record, and finding, appending,
// overwriting and removing records by ID. A record appended gets one more
// than the highest ID in the store (1 for the first), so records appended
// one after another get 1, 2, 3 and one appended after a deletion never
// takes an ID in use.
//
// The operations trap their failures and report them in the standard error
// box with the empty caption; the properties read the current record and
// pass their failures (no current record) on to the caller.
class RecordStore {
  public:
    // The table itself, for callers that walk the records.
    RecordSet &Recordset() { return table_; }
    const RecordSet &Recordset() const { return table_; }

    int ID() const;

    // Makes the record with that ID the current one; false (and the cursor
    // past the last record) when there is none.
    bool MoveTo(int lngID);
    // Removes the record; the cursor moves to the record after it. False
    // when there was no such record (reported).
    bool Delete(int lngID);
    void DeleteAll();

  protected:
    // fields start with the whole number field "ID". The store's failures
    // say that it has no ID left (noFreeID) and that it holds no record of
    // an ID (noRecord, with %1 for the ID), each a whole sentence of the
    // store's own, so that each language can say it its way.
    RecordStore(QList<RecordSet::Field> fields, const QString &noFreeID,
                const QString &noRecord);

    // lngID 0 appends a record with the next ID, any other ID overwrites
    // that record; it stays the current one. A change the table refuses is
    // described as appendFailure or updateFailure (when not empty) followed
    // by the table's reason. False when the change failed (reported; no
    // record changed).
    bool store(int lngID, const RecordSet::Values &values,
               const QString &appendFailure,
               const QString &updateFailure = QString());

    RecordSet table_;

  private:
    int nextID() const;
    // Makes the record of that ID the current one; throws when none has it.
    void moveToExisting(int lngID);

    QString noFreeID_;
    QString noRecord_;
};

#pragma once

#include "RecordSet.h"

#include <QString>

// The conversion tasks collected by the user, in memory for one run: for each
// task the shapefile to convert, the file to write, a comment and the shape
// type of the input. Tasks are appended from the file list, edited and
// deleted in the task list view and read and annotated by the batch run.
//
// IDs are unique within the store: a new task gets one more than the highest
// ID in the store (1 for the first), so tasks appended one after another get
// 1, 2, 3 and a task appended after a deletion never takes an ID in use.
//
// The operations trap their failures and report them in the standard error
// box with the empty caption; the properties read the current record and pass
// their failures (no current record) on to the caller.
class adoTaskList {
  public:
    adoTaskList();

    // The table itself, for callers that walk the tasks.
    RecordSet &Recordset() { return table_; }
    const RecordSet &Recordset() const { return table_; }
    int State() const { return 1; } // the table is open for the whole life

    int ID() const;
    QString InputFile() const;
    QString OutputFile() const;
    QString Comment() const;
    int ShapeType() const;

    // Makes the task with that ID the current record; false (and the cursor
    // past the last task) when there is none.
    bool MoveTo(int lngID);
    // lngID 0 appends a new task, any other ID overwrites that task; the task
    // stays the current record. Returns false when the change failed (it was
    // reported, and no task changed).
    bool Update(int lngID, const QString &strInputFile,
                const QString &strOutputFile, const QString &strComment,
                int enumShapeType);
    // Removes the task; the cursor moves to the task after it. Returns false
    // when there was no such task (reported).
    bool Delete(int lngID);
    void DeleteAll();

  private:
    int nextID() const;
    // Makes the task of that ID the current record; throws when none has it.
    void moveToExisting(int lngID);

    RecordSet table_;
};

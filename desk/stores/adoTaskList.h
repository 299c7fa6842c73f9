#pragma once

#include "NativePath.h"
#include "RecordStore.h"

#include <QCoreApplication>
#include <QString>

// The conversion tasks collected by the user, in memory for one run: for each
// task the shapefile to convert, the file to write, a comment and the shape
// type of the input. Tasks are appended from the file list, edited and
// deleted in the task list view and read and annotated by the batch run.
// Finding, deleting and the IDs are RecordStore's.
class adoTaskList : public RecordStore {
    Q_DECLARE_TR_FUNCTIONS(adoTaskList)

  public:
    adoTaskList();

    QString InputFile() const;
    QString OutputFile() const;
    // The same two as the file system and the batch line take them: the
    // one place where a task's paths become bytes.
    NativePath InputPath() const;
    NativePath OutputPath() const;
    QString Comment() const;
    int ShapeType() const;

    // lngID 0 appends a new task, any other ID overwrites that task; the task
    // stays the current record. Returns false when the change failed (it was
    // reported, and no task changed).
    bool Update(int lngID, const QString &strInputFile,
                const QString &strOutputFile, const QString &strComment,
                int enumShapeType);
    // Overwrites only the comment and the shape type of that task, as a run
    // does after it converted the task. False as Update.
    bool UpdateResult(int lngID, const QString &strComment, int enumShapeType);
};

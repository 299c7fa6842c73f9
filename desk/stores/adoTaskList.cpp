#include "adoTaskList.h"

namespace {
const QString kInputFile = QStringLiteral("InputFile");
const QString kOutputFile = QStringLiteral("OutputFile");
const QString kComment = QStringLiteral("Comment");
const QString kShapeType = QStringLiteral("ShapeType");

using FieldType = RecordSet::FieldType;
} // namespace

adoTaskList::adoTaskList()
    : RecordStore({{QStringLiteral("ID"), FieldType::Integer},
                   {kInputFile, FieldType::Text},
                   {kOutputFile, FieldType::Text},
                   {kComment, FieldType::Text},
                   {kShapeType, FieldType::Integer}},
                  tr("The task list has no free ID left."),
                  tr("The task list holds no task with the ID %1.")) {}

QString adoTaskList::InputFile() const { return table_.text(kInputFile); }
QString adoTaskList::OutputFile() const { return table_.text(kOutputFile); }
NativePath adoTaskList::InputPath() const { return InputFile(); }
NativePath adoTaskList::OutputPath() const { return OutputFile(); }
QString adoTaskList::Comment() const { return table_.text(kComment); }
int adoTaskList::ShapeType() const { return table_.integer(kShapeType); }

bool adoTaskList::Update(int lngID, const QString &strInputFile,
                         const QString &strOutputFile,
                         const QString &strComment, int enumShapeType) {
    return store(
        lngID,
        {{kInputFile, strInputFile},
         {kOutputFile, strOutputFile},
         {kComment, strComment},
         {kShapeType, enumShapeType}},
        tr("The task for %1 cannot be added.").arg(strInputFile),
        tr("The task %1 cannot be changed.").arg(QString::number(lngID)));
}

bool adoTaskList::UpdateResult(int lngID, const QString &strComment,
                               int enumShapeType) {
    return store(
        lngID, {{kComment, strComment}, {kShapeType, enumShapeType}}, QString(),
        tr("The task %1 cannot be changed.").arg(QString::number(lngID)));
}

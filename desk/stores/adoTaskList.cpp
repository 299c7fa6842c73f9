#include "adoTaskList.h"

#include "DeskFailure.h"
#include "DeskMessages.h"
#include "FailureNumbers.h"

#include <limits>

namespace {
const QString kID = QStringLiteral("ID");
const QString kInputFile = QStringLiteral("InputFile");
const QString kOutputFile = QStringLiteral("OutputFile");
const QString kComment = QStringLiteral("Comment");
const QString kShapeType = QStringLiteral("ShapeType");

using FieldType = RecordSet::FieldType;
} // namespace

adoTaskList::adoTaskList()
    : table_({{kID, FieldType::Integer},
              {kInputFile, FieldType::Text},
              {kOutputFile, FieldType::Text},
              {kComment, FieldType::Text},
              {kShapeType, FieldType::Integer}}) {}

int adoTaskList::ID() const { return table_.integer(kID); }
QString adoTaskList::InputFile() const { return table_.text(kInputFile); }
QString adoTaskList::OutputFile() const { return table_.text(kOutputFile); }
QString adoTaskList::Comment() const { return table_.text(kComment); }
int adoTaskList::ShapeType() const { return table_.integer(kShapeType); }

bool adoTaskList::MoveTo(int lngID) {
    bool found = false;
    guard(QString(), [&] { found = table_.find(kID, lngID); });
    return found;
}

int adoTaskList::nextID() const {
    const int highest = table_.highestInteger(kID);
    if (highest == std::numeric_limits<qint32>::max())
        throw DeskFailure(FailureNumbers::kInvalidValue,
                          QStringLiteral("The task list has no free ID left."));
    return highest + 1;
}

void adoTaskList::moveToExisting(int lngID) {
    if (!table_.find(kID, lngID))
        throw DeskFailure(
            FailureNumbers::kNoCurrentRecord,
            QStringLiteral("The task list holds no task with the ID %1.")
                .arg(lngID));
}

bool adoTaskList::Update(int lngID, const QString &strInputFile,
                         const QString &strOutputFile,
                         const QString &strComment, int enumShapeType) {
    return guard(QString(), [&] {
        const RecordSet::Values values = {{kInputFile, strInputFile},
                                          {kOutputFile, strOutputFile},
                                          {kComment, strComment},
                                          {kShapeType, enumShapeType}};
        if (lngID == 0) {
            RecordSet::Values appended = values;
            appended.prepend({kID, nextID()});
            try {
                table_.append(appended);
            } catch (const DeskFailure &failure) {
                throw DeskFailure(
                    failure.number(),
                    QStringLiteral("The task for %1 cannot be "
                                   "added. %2")
                        .arg(strInputFile, failure.description()));
            }
            return;
        }
        moveToExisting(lngID);
        try {
            table_.update(values);
        } catch (const DeskFailure &failure) {
            throw DeskFailure(
                failure.number(),
                QStringLiteral("The task %1 cannot be changed. %2")
                    .arg(QString::number(lngID), failure.description()));
        }
    });
}

bool adoTaskList::Delete(int lngID) {
    return guard(QString(), [&] {
        moveToExisting(lngID);
        table_.remove();
    });
}

void adoTaskList::DeleteAll() {
    guard(QString(), [&] { table_.removeAll(); });
}

#include "RecordStore.h"

#include "DeskFailure.h"
#include "DeskMessages.h"
#include "FailureNumbers.h"

#include <limits>

namespace {
const QString kID = QStringLiteral("ID");

// The table's failure, described for the store's caller.
[[noreturn]] void rethrow(const DeskFailure &failure, const QString &what) {
    throw DeskFailure(failure.number(), what + u' ' + failure.description());
}
} // namespace

RecordStore::RecordStore(QList<RecordSet::Field> fields,
                         const QString &noFreeID, const QString &noRecord)
    : table_(std::move(fields)), noFreeID_(noFreeID), noRecord_(noRecord) {}

int RecordStore::ID() const { return table_.integer(kID); }

bool RecordStore::MoveTo(int lngID) {
    bool found = false;
    guard(QString(), [&] { found = table_.find(kID, lngID); });
    return found;
}

int RecordStore::nextID() const {
    const int highest = table_.highestInteger(kID);
    if (highest == std::numeric_limits<qint32>::max())
        throw DeskFailure(FailureNumbers::kInvalidValue, noFreeID_);
    return highest + 1;
}

void RecordStore::moveToExisting(int lngID) {
    if (!table_.find(kID, lngID))
        throw DeskFailure(FailureNumbers::kNoCurrentRecord,
                          noRecord_.arg(lngID));
}

bool RecordStore::store(int lngID, const RecordSet::Values &values,
                        const QString &appendFailure,
                        const QString &updateFailure) {
    return guard(QString(), [&] {
        if (lngID == 0) {
            RecordSet::Values appended = values;
            appended.prepend({kID, nextID()});
            try {
                table_.append(appended);
            } catch (const DeskFailure &failure) {
                rethrow(failure, appendFailure);
            }
            return;
        }
        moveToExisting(lngID);
        try {
            table_.update(values);
        } catch (const DeskFailure &failure) {
            if (updateFailure.isEmpty())
                throw;
            rethrow(failure, updateFailure);
        }
    });
}

bool RecordStore::Delete(int lngID) {
    return guard(QString(), [&] {
        moveToExisting(lngID);
        table_.remove();
    });
}

void RecordStore::DeleteAll() {
    guard(QString(), [&] { table_.removeAll(); });
}

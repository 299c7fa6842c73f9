#include "RecordSet.h"

#include "DeskFailure.h"
#include "FailureNumbers.h"
#include "modFileNames.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
[[noreturn]] void invalid(const QString &description) {
    throw DeskFailure(FailureNumbers::kInvalidValue, description);
}

QVariant emptyValue(RecordSet::FieldType type) {
    switch (type) {
    case RecordSet::FieldType::Integer:
        return QVariant(qint32(0));
    case RecordSet::FieldType::Text:
        return QVariant(QString());
    case RecordSet::FieldType::Number:
        return QVariant(0.0);
    case RecordSet::FieldType::Date:
        return QVariant(QDateTime());
    }
    return {};
}
} // namespace

RecordSet::RecordSet(QList<Field> fields) : fields_(std::move(fields)) {}

int RecordSet::fieldIndex(const QString &name) const {
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].name == name)
            return i;
    invalid(tr("The table has no field \"%1\".").arg(name));
}

int RecordSet::absolutePosition() const {
    return atEnd() ? 0 : static_cast<int>(cursor_) + 1;
}

void RecordSet::moveNext() {
    if (atEnd())
        throw DeskFailure(FailureNumbers::kNoCurrentRecord,
                          tr("The cursor already stands past the "
                             "last record."));
    ++cursor_;
}

const RecordSet::IntegerIndex &RecordSet::indexOf(int field) const {
    auto existing = indexes_.constFind(field);
    if (existing != indexes_.constEnd())
        return *existing;
    IntegerIndex index;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const qint32 value = rows_[row][field].toInt();
        index.first.insert(value, std::min(index.first.value(value, row), row));
        index.highest = row == 0 ? value : std::max(index.highest, value);
    }
    return *indexes_.insert(field, std::move(index));
}

bool RecordSet::find(const QString &field, const QVariant &value) {
    const int index = fieldIndex(field);
    const QVariant wanted = checked(fields_[index], value);
    if (fields_[index].type == FieldType::Integer) {
        const IntegerIndex &rows = indexOf(index);
        const auto found = rows.first.constFind(wanted.toInt());
        cursor_ = found == rows.first.constEnd() ? rows_.size() : *found;
        return found != rows.first.constEnd();
    }
    const auto found =
        std::find_if(rows_.begin(), rows_.end(),
                     [&](const Row &row) { return row[index] == wanted; });
    cursor_ = static_cast<std::size_t>(found - rows_.begin());
    return found != rows_.end();
}

const RecordSet::Row &RecordSet::currentRow() const {
    if (atEnd())
        throw DeskFailure(FailureNumbers::kNoCurrentRecord,
                          tr("There is no current record: the "
                             "cursor stands past the last one."));
    return rows_[cursor_];
}

QVariant RecordSet::value(const QString &field) const {
    const int index = fieldIndex(field);
    return currentRow()[index];
}

int RecordSet::integer(const QString &field) const {
    return value(field).toInt();
}

QString RecordSet::text(const QString &field) const {
    return value(field).toString();
}

double RecordSet::number(const QString &field) const {
    return value(field).toDouble();
}

QDateTime RecordSet::date(const QString &field) const {
    return value(field).toDateTime();
}

int RecordSet::highestInteger(const QString &field) const {
    const int index = fieldIndex(field);
    if (rows_.empty())
        return 0;
    return std::max(0, indexOf(index).highest);
}

QVariant RecordSet::checked(const Field &field, const QVariant &value) const {
    switch (field.type) {
    case FieldType::Integer: {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok || std::trunc(number) != number ||
            number < std::numeric_limits<qint32>::min() ||
            number > std::numeric_limits<qint32>::max())
            invalid(tr("The value \"%1\" does not fit the whole "
                       "number field \"%2\".")
                        .arg(value.toString(), field.name));
        return QVariant(static_cast<qint32>(number));
    }
    case FieldType::Text: {
        const QString text = value.toString();
        const qsizetype bytes = modFileNames::EncodeName(text).size();
        if (bytes > field.maxLength)
            invalid(tr("The text for the field \"%1\" is %2 "
                       "bytes long; the field holds at most %3.")
                        .arg(field.name, QString::number(bytes),
                             QString::number(field.maxLength)));
        return QVariant(text);
    }
    case FieldType::Number: {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok)
            invalid(tr("The value \"%1\" is not a number for the "
                       "field \"%2\".")
                        .arg(value.toString(), field.name));
        return QVariant(number);
    }
    case FieldType::Date:
        if (!value.isNull() && !value.canConvert<QDateTime>())
            invalid(tr("The value \"%1\" is not a date for the "
                       "field \"%2\".")
                        .arg(value.toString(), field.name));
        return QVariant(value.toDateTime());
    }
    return value;
}

std::vector<std::pair<int, QVariant>>
RecordSet::prepare(const Values &values) const {
    std::vector<std::pair<int, QVariant>> prepared;
    prepared.reserve(values.size());
    for (const auto &[name, value] : values)
        prepared.emplace_back(fieldIndex(name), value);
    // Checked in field order, so that a failure names the first bad field of
    // the table's layout.
    std::stable_sort(
        prepared.begin(), prepared.end(),
        [](const auto &a, const auto &b) { return a.first < b.first; });
    for (auto &[index, value] : prepared)
        value = checked(fields_[index], value);
    return prepared;
}

void RecordSet::append(const Values &values) {
    const auto prepared = prepare(values);
    Row row;
    row.reserve(fields_.size());
    for (const Field &field : fields_)
        row.push_back(emptyValue(field.type));
    for (const auto &[index, value] : prepared)
        row[index] = value;
    rows_.push_back(std::move(row));
    cursor_ = rows_.size() - 1;
    for (auto it = indexes_.begin(); it != indexes_.end(); ++it) {
        const qint32 value = rows_.back()[it.key()].toInt();
        if (!it->first.contains(value))
            it->first.insert(value, cursor_);
        it->highest = rows_.size() == 1 ? value : std::max(it->highest, value);
    }
}

void RecordSet::update(const Values &values) {
    currentRow(); // no current record: fail before checking the values
    const auto prepared = prepare(values);
    Row &row = rows_[cursor_];
    for (const auto &[index, value] : prepared) {
        if (row[index] != value)
            indexes_.remove(index);
        row[index] = value;
    }
}

void RecordSet::remove() {
    currentRow();
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(cursor_));
    dropIndexes();
}

void RecordSet::removeAll() {
    if (recordCount() > 0)
        moveFirst();
    while (!atEnd())
        remove();
}

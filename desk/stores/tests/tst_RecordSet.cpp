#include "DeskFailure.h"
#include "DeskTestSupport.h"
#include "FailureNumbers.h"
#include "RecordSet.h"

#include <QtTest>

namespace {
using FieldType = RecordSet::FieldType;

RecordSet makeTable() {
    return RecordSet({{"ID", FieldType::Integer},
                      {"Name", FieldType::Text},
                      {"Size", FieldType::Number},
                      {"When", FieldType::Date}});
}

using DeskTest::failureOf;
} // namespace

class tst_RecordSet : public QObject {
    Q_OBJECT
  private slots:
    void emptyTableIsAtEndAndHasNoCurrentRecord() {
        RecordSet table = makeTable();
        table.moveFirst();
        QVERIFY(table.atEnd());
        QCOMPARE(table.recordCount(), 0);
        QCOMPARE(table.absolutePosition(), 0);
        QCOMPARE(failureOf([&] { table.moveNext(); }),
                 FailureNumbers::kNoCurrentRecord);
        QCOMPARE(failureOf([&] { table.value("Name"); }),
                 FailureNumbers::kNoCurrentRecord);
        QCOMPARE(failureOf([&] { table.remove(); }),
                 FailureNumbers::kNoCurrentRecord);
        QCOMPARE(failureOf([&] {
                     table.update({{"Name", "x"}});
                 }),
                 FailureNumbers::kNoCurrentRecord);
    }

    void walkGivesOneBasedPositionsInAppendOrder() {
        RecordSet table = makeTable();
        for (int id : {7, 3, 9})
            table.append({{"ID", id}});
        QList<int> ids, positions;
        for (table.moveFirst(); !table.atEnd(); table.moveNext()) {
            ids << table.integer("ID");
            positions << table.absolutePosition();
        }
        QCOMPARE(ids, (QList<int>{7, 3, 9}));
        QCOMPARE(positions, (QList<int>{1, 2, 3}));
        QCOMPARE(table.absolutePosition(), 0);
    }

    void appendedRecordIsCurrentWithEmptyValuesForMissingFields() {
        RecordSet table = makeTable();
        table.append({{"ID", 1}, {"Name", "first"}});
        table.append({{"ID", 2}});
        QCOMPARE(table.absolutePosition(), 2);
        QCOMPARE(table.text("Name"), QString());
        QCOMPARE(table.number("Size"), 0.0);
        QVERIFY(!table.date("When").isValid());
    }

    void findTakesFirstMatchFromTheStartAndEndsAtEndWhenMissing() {
        RecordSet table = makeTable();
        table.append({{"ID", 1}, {"Name", "a"}});
        table.append({{"ID", 2}, {"Name", "b"}});
        table.append({{"ID", 3}, {"Name", "a"}});
        // The cursor stands on the last record; the search still starts at
        // the first.
        QVERIFY(table.find("Name", "a"));
        QCOMPARE(table.integer("ID"), 1);
        QVERIFY(!table.find("ID", 42));
        QVERIFY(table.atEnd());
        QCOMPARE(failureOf([&] { table.find("Nope", 1); }),
                 FailureNumbers::kInvalidValue);
    }

    void removeMovesToTheNextRecord() {
        RecordSet table = makeTable();
        for (int id : {1, 2, 3})
            table.append({{"ID", id}});
        QVERIFY(table.find("ID", 2));
        table.remove();
        QCOMPARE(table.integer("ID"), 3);
        table.remove();
        QVERIFY(table.atEnd());
        QCOMPARE(table.recordCount(), 1);
    }

    void valuesThatDoNotFitTheirFieldAreRefused_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("fits");
        QTest::newRow("4096 bytes")
            << "Name" << QVariant(QString(4096, 'x')) << true;
        QTest::newRow("4097 bytes")
            << "Name" << QVariant(QString(4097, 'x')) << false;
        QTest::newRow("2049 characters of two bytes")
            << "Name" << QVariant(QString(2049, QChar(0xE0))) << false;
        QTest::newRow("4096 bytes not UTF-8")
            << "Name" << QVariant(QString(4096, QChar(0xDCE8))) << true;
        QTest::newRow("largest int32")
            << "ID" << QVariant(2147483647LL) << true;
        QTest::newRow("beyond int32")
            << "ID" << QVariant(2147483648LL) << false;
        QTest::newRow("fraction") << "ID" << QVariant(1.5) << false;
        QTest::newRow("text for a number")
            << "Size" << QVariant("big") << false;
        QTest::newRow("size beyond 32 bits")
            << "Size" << QVariant(8589934592.0) << true;
    }
    void valuesThatDoNotFitTheirFieldAreRefused() {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(bool, fits);
        RecordSet table = makeTable();
        table.append({{"ID", 1}, {"Name", "kept"}});
        const int failure = failureOf([&] { table.update({{field, value}}); });
        QCOMPARE(failure, fits ? 0 : FailureNumbers::kInvalidValue);
        if (!fits) {
            QCOMPARE(table.text("Name"), QStringLiteral("kept"));
            QCOMPARE(table.integer("ID"), 1);
        }
    }

    void failedAppendLeavesTableUnchangedAndUsable() {
        RecordSet table = makeTable();
        table.append({{"ID", 1}, {"Name", "a"}});
        try {
            table.append({{"ID", 2}, {"Name", QString(4097, 'x')}});
            QFAIL("a text of 4097 bytes was accepted");
        } catch (const DeskFailure &failure) {
            QVERIFY(failure.description().contains("\"Name\""));
            QVERIFY(failure.description().contains("4097 bytes"));
        }
        QCOMPARE(table.recordCount(), 1);
        QCOMPARE(table.integer("ID"), 1); // the cursor did not move
        table.append({{"ID", 2}, {"Name", "b"}});
        QCOMPARE(table.recordCount(), 2);
    }
};

QTEST_GUILESS_MAIN(tst_RecordSet)
#include "tst_RecordSet.moc"

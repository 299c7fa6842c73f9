#include "DeskFailure.h"
#include "DeskMessages.h"
#include "FailureNumbers.h"
#include "StoreTestSupport.h"
#include "adoTaskList.h"

#include <QtTest>

namespace {
struct Task {
    int id;
    QString input, output, comment;
    int shapeType;
    bool operator==(const Task &) const = default;
};

QList<Task> tasksOf(adoTaskList &store) {
    return DeskTest::collect(store.Recordset(), [&] {
        return Task{store.ID(), store.InputFile(), store.OutputFile(),
                    store.Comment(), store.ShapeType()};
    });
}

QList<int> idsOf(adoTaskList &store) {
    return DeskTest::collect(store.Recordset(), [&] { return store.ID(); });
}

void appendTasks(adoTaskList &store, int count) {
    for (int i = 1; i <= count; ++i)
        QVERIFY(store.Update(0, QStringLiteral("/data/in%1.shp").arg(i),
                             QStringLiteral("/out/in%1_UTM.shp").arg(i),
                             QString(), i % 2));
}
} // namespace

class tst_adoTaskList : public QObject {
    Q_OBJECT
  private slots:
    void appendedTasksGetOneTwoThreeAndTheNewIdIsCurrent() {
        RecordingPresenter recorder;
        adoTaskList store;
        for (int expected = 1; expected <= 3; ++expected) {
            QVERIFY(store.Update(0, "/a.shp", "/a_UTM.shp", "", 1));
            QCOMPARE(store.ID(), expected);
        }
        QCOMPARE(store.Recordset().recordCount(), 3);
        QVERIFY(recorder.messages.isEmpty());
    }

    void idsStayUniqueAfterDeletions() {
        RecordingPresenter recorder;
        adoTaskList store;
        appendTasks(store, 3);
        QVERIFY(store.Delete(2));
        QCOMPARE(store.ID(), 3); // the cursor moved to the task after it
        QCOMPARE(idsOf(store), (QList<int>{1, 3}));
        QVERIFY(store.Update(0, "/new.shp", "/new_UTM.shp", "", 0));
        const int appended = store.ID();
        QVERIFY(appended != 1 && appended != 3);
        QCOMPARE(idsOf(store), (QList<int>{1, 3, appended}));

        // Deleting the highest ID and appending never reuses an ID in use.
        QVERIFY(store.Delete(appended));
        QVERIFY(store.Delete(1));
        QVERIFY(store.Update(0, "/x.shp", "/x_UTM.shp", "", 0));
        QCOMPARE(idsOf(store).size(), 2);
        QVERIFY(idsOf(store)[0] != idsOf(store)[1]);
        QVERIFY(recorder.messages.isEmpty());
    }

    void moveToFindsByIdAndZeroIsNeverFound() {
        RecordingPresenter recorder;
        adoTaskList store;
        QVERIFY(!store.MoveTo(0)); // empty store
        appendTasks(store, 3);
        QVERIFY(!store.MoveTo(0));
        QVERIFY(store.Recordset().atEnd());
        QVERIFY(store.MoveTo(2));
        QCOMPARE(store.InputFile(), QStringLiteral("/data/in2.shp"));
        QVERIFY(!store.MoveTo(99));
        QVERIFY(recorder.messages.isEmpty()); // a missing ID is no failure
    }

    void updateOfAnExistingTaskKeepsItsIdAndPlace() {
        RecordingPresenter recorder;
        adoTaskList store;
        appendTasks(store, 5);
        QVERIFY(store.Update(5, "/b.shp", "/b_out.shp", "UTM WGS84-ETRS89", 2));
        QCOMPARE(store.ID(), 5);
        const QList<Task> tasks = tasksOf(store);
        QCOMPARE(tasks.size(), 5);
        QCOMPARE(tasks[4],
                 (Task{5, "/b.shp", "/b_out.shp", "UTM WGS84-ETRS89", 2}));
        QCOMPARE(tasks[0].input, QStringLiteral("/data/in1.shp"));
    }

    void missingIdsAreReportedAndChangeNothing() {
        RecordingPresenter recorder;
        adoTaskList store;
        appendTasks(store, 2);
        const QList<Task> before = tasksOf(store);
        QVERIFY(!store.Update(7, "/c.shp", "/c_UTM.shp", "", 0));
        QVERIFY(!store.Delete(7));
        QCOMPARE(tasksOf(store), before);
        QCOMPARE(recorder.messages.size(), 2);
        for (const auto &message : recorder.messages) {
            QCOMPARE(message.caption, QString());
            QCOMPARE(message.icon, MessageIcon::Critical);
            QVERIFY(message.text.startsWith(QStringLiteral("Error 3021: ")));
            QVERIFY(message.text.contains(QStringLiteral("ID 7")));
        }
    }

    void deleteAllEmptiesTheStoreAndIsQuietWhenEmpty() {
        RecordingPresenter recorder;
        adoTaskList store;
        store.DeleteAll();
        QCOMPARE(store.Recordset().recordCount(), 0);
        appendTasks(store, 3);
        store.DeleteAll();
        QCOMPARE(store.Recordset().recordCount(), 0);
        QVERIFY(store.Recordset().atEnd());
        QVERIFY(recorder.messages.isEmpty());
        QVERIFY(store.Update(0, "/a.shp", "/a_UTM.shp", "", 0));
        QCOMPARE(store.ID(), 1);
    }

    void overlongTextIsReportedAndTheStoreStaysUsable_data() {
        QTest::addColumn<int>("field"); // 0 input, 1 output, 2 comment
        QTest::newRow("input file") << 0;
        QTest::newRow("output file") << 1;
        QTest::newRow("comment") << 2;
    }
    void overlongTextIsReportedAndTheStoreStaysUsable() {
        QFETCH(int, field);
        RecordingPresenter recorder;
        adoTaskList store;
        appendTasks(store, 2);
        const QList<Task> before = tasksOf(store);
        QString texts[3] = {"/in.shp", "/out.shp", ""};
        texts[field] = QString(4097, 'x');

        QVERIFY(!store.Update(0, texts[0], texts[1], texts[2], 1));
        QVERIFY(!store.Update(2, texts[0], texts[1], texts[2], 1));
        QCOMPARE(tasksOf(store), before); // neither appended nor half-changed
        QCOMPARE(recorder.messages.size(), 2);
        QVERIFY(recorder.messages[0].text.startsWith("Error 3265: "));
        QVERIFY(recorder.messages[0].text.contains("4097 bytes"));

        QVERIFY(store.Update(0, "/ok.shp", "/ok_UTM.shp", "", 1));
        QCOMPARE(store.ID(), 3);
        QVERIFY(store.Update(0, QString(4096, 'y'), "/ok_UTM.shp", "", 1));
    }

    void propertiesPastTheEndFailToTheCaller() {
        adoTaskList store;
        try {
            store.InputFile();
            QFAIL("a property read past the end succeeded");
        } catch (const DeskFailure &failure) {
            QCOMPARE(failure.number(), FailureNumbers::kNoCurrentRecord);
        }
    }
};

QTEST_GUILESS_MAIN(tst_adoTaskList)
#include "tst_adoTaskList.moc"

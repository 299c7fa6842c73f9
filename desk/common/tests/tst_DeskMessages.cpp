#include "DeskMessages.h"
#include "FailureNumbers.h"

#include <QApplication>
#include <QtTest>

#include <thread>

class tst_DeskMessages : public QObject {
    Q_OBJECT
  private slots:
    void guardReportsFailureWithCaption() {
        RecordingPresenter recorder;
        const bool ok = guard(QStringLiteral("frmMain.Form_Load"), [] {
            throw DeskFailure(FailureNumbers::kFileAccess,
                              QStringLiteral("Permission denied"));
        });
        QVERIFY(!ok);
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(recorder.messages[0].caption,
                 QStringLiteral("frmMain.Form_Load"));
        QCOMPARE(recorder.messages[0].text,
                 QStringLiteral("Error 75: Permission denied"));
        QCOMPARE(recorder.messages[0].icon, MessageIcon::Critical);
    }
    void failureOutsideNamedHandlersHasEmptyCaption() {
        RecordingPresenter recorder;
        guard(QString(), [] { throw std::runtime_error("boom"); });
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(recorder.messages[0].caption, QString());
        QCOMPARE(recorder.messages[0].text, QStringLiteral("Error 5: boom"));
    }
    void plainMessageUsesApplicationTitle() {
        RecordingPresenter recorder;
        showPlainMessage(QStringLiteral("Program completed."));
        QCOMPARE(recorder.messages[0].caption, QStringLiteral("KavroDesk"));
        QCOMPARE(recorder.messages[0].icon, MessageIcon::None);
        QCOMPARE(recorder.messages[0].buttons, MessageButtons::Ok);
    }
    // What a thread of its own shows while a hold lives is kept, answered,
    // and shown later in its order on the thread that asks for it; other
    // threads and the time after the hold show as usual.
    void heldMessagesAreShownLaterInOrder() {
        RecordingPresenter recorder;
        HeldMessages held;
        MessageAnswer answer = MessageAnswer::Cancel;
        std::thread([&] {
            const MessageHold hold(held);
            guard(QStringLiteral("aside"), [] {
                throw DeskFailure(FailureNumbers::kFileAccess,
                                  QStringLiteral("first"));
            });
            answer = showMessage(QStringLiteral("second"), QString(),
                                 MessageIcon::Question, MessageButtons::YesNo);
        }).join();
        QCOMPARE(answer, MessageAnswer::Yes);
        QVERIFY(recorder.messages.isEmpty());
        showPlainMessage(QStringLiteral("here"));
        showHeld(held);
        QCOMPARE(recorder.texts(),
                 (QStringList{"here", "Error 75: first", "second"}));
        QCOMPARE(recorder.messages[1].caption, QStringLiteral("aside"));
        QCOMPARE(recorder.messages[2].buttons, MessageButtons::YesNo);
    }
};

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    tst_DeskMessages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_DeskMessages.moc"

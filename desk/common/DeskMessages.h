#pragma once

#include "DeskFailure.h"
#include "FailureNumbers.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <exception>
#include <utility>

class QWidget;

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Every message box of the desktop goes through the installed presenter. The
// default one shows a QMessageBox; tests install a RecordingPresenter. A
// message from another thread is presented on the application's thread, and
// that thread waits for the answer.
class MessagePresenter {
  public:
    virtual ~MessagePresenter() = default;
    virtual MessageAnswer present(const QString &caption, const QString &text,
                                  MessageIcon icon, MessageButtons buttons) = 0;
};

// Installs a presenter (not owned); nullptr restores the default.
void setMessagePresenter(MessagePresenter *presenter);

// A message box; an empty caption shows the application's title.
MessageAnswer showMessage(const QString &text, const QString &caption = {},
                          MessageIcon icon = MessageIcon::None,
                          MessageButtons buttons = MessageButtons::Ok);

// A plain user message: OK, no icon, the application's title.
void showPlainMessage(const QString &text);

// The failure box: critical icon, OK, "Error " + number + ": " +
// description, the procedure's qualified name as the caption ("" elsewhere).
void showFailure(const QString &procedure, int number,
                 const QString &description);
void showFailure(const QString &procedure, const DeskFailure &failure);

// The messages that work on a thread of its own showed while the window's
// thread processed no events (and so could not have shown them), held to be
// shown there later, in their order.
struct HeldMessage {
    QString caption;
    QString text;
    MessageIcon icon;
    MessageButtons buttons;
};
using HeldMessages = QList<HeldMessage>;

// While it lives, every message that its thread shows is added to the list
// instead, answered with OK (Yes for a question): for work that asks no
// questions, only reports its failures.
class MessageHold {
  public:
    explicit MessageHold(HeldMessages &into);
    ~MessageHold();
    MessageHold(const MessageHold &) = delete;
    MessageHold &operator=(const MessageHold &) = delete;

  private:
    HeldMessages *previous_;
};

// Shows the held messages, in their order, on the calling thread.
void showHeld(const HeldMessages &messages);

// Runs a handler's body and reports any failure in it through showFailure
// with the handler's caption; the program goes on. Returns false when the
// body failed.
template <class Body> bool guard(const QString &procedure, Body &&body) {
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const DeskFailure &failure) {
        showFailure(procedure, failure);
    } catch (const std::exception &error) {
        showFailure(procedure, FailureNumbers::kUnexpected,
                    QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showFailure(
            procedure, FailureNumbers::kUnexpected,
            QCoreApplication::translate("DeskMessages", "Unexpected failure"));
    }
    return false;
}

// For tests: records every message and answers from a queue (OK or Yes when
// the queue is empty), so no test blocks on a modal box.
class RecordingPresenter : public MessagePresenter {
  public:
    struct Message {
        QString caption;
        QString text;
        MessageIcon icon;
        MessageButtons buttons;
    };

    RecordingPresenter() { setMessagePresenter(this); }
    ~RecordingPresenter() override { setMessagePresenter(nullptr); }

    MessageAnswer present(const QString &caption, const QString &text,
                          MessageIcon icon, MessageButtons buttons) override;
    // The texts of the messages, in order.
    QStringList texts() const;

    QList<Message> messages;
    QList<MessageAnswer> answers;
};

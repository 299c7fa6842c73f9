#include "DeskMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace {
class BoxPresenter final : public MessagePresenter {
  public:
    MessageAnswer present(const QString &caption, const QString &text,
                          MessageIcon icon, MessageButtons buttons) override {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(caption);
        box.setText(text);
        switch (icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        }
        switch (buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            return MessageAnswer::Ok;
        }
    }
};

BoxPresenter boxPresenter;
MessagePresenter *presenter = &boxPresenter;
} // namespace

void setMessagePresenter(MessagePresenter *replacement) {
    presenter = replacement ? replacement : &boxPresenter;
}

namespace {
// A message box belongs to the window's thread: a conversion that runs on a
// thread of its own hands its message over and waits for the answer, as the
// box would keep it waiting there.
thread_local HeldMessages *held = nullptr;

MessageAnswer present(const QString &caption, const QString &text,
                      MessageIcon icon, MessageButtons buttons) {
    if (held) {
        held->append({caption, text, icon, buttons});
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes
                                                : MessageAnswer::Ok;
    }
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || QThread::currentThread() == application->thread())
        return presenter->present(caption, text, icon, buttons);
    MessageAnswer answer = MessageAnswer::Ok;
    QMetaObject::invokeMethod(
        application,
        [&] { return presenter->present(caption, text, icon, buttons); },
        Qt::BlockingQueuedConnection, &answer);
    return answer;
}
} // namespace

MessageHold::MessageHold(HeldMessages &into) : previous_(held) { held = &into; }

MessageHold::~MessageHold() { held = previous_; }

void showHeld(const HeldMessages &messages) {
    for (const HeldMessage &message : messages)
        present(message.caption, message.text, message.icon, message.buttons);
}

MessageAnswer showMessage(const QString &text, const QString &caption,
                          MessageIcon icon, MessageButtons buttons) {
    const QString title =
        caption.isEmpty() ? QApplication::applicationName() : caption;
    return present(title, text, icon, buttons);
}

void showPlainMessage(const QString &text) { showMessage(text); }

void showFailure(const QString &procedure, int number,
                 const QString &description) {
    // The caption is the procedure's name as given, also when it is empty.
    present(procedure,
            QStringLiteral("Error %1: %2")
                .arg(QString::number(number), description),
            MessageIcon::Critical, MessageButtons::Ok);
}

void showFailure(const QString &procedure, const DeskFailure &failure) {
    showFailure(procedure, failure.number(), failure.description());
}

MessageAnswer RecordingPresenter::present(const QString &caption,
                                          const QString &text, MessageIcon icon,
                                          MessageButtons buttons) {
    messages.append({caption, text, icon, buttons});
    if (!answers.isEmpty())
        return answers.takeFirst();
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes
                                            : MessageAnswer::Ok;
}

QStringList RecordingPresenter::texts() const {
    QStringList all;
    for (const Message &message : messages)
        all << message.text;
    return all;
}

#include "DialogKeys.h"

#include "DeskMessages.h"

#include <QDialog>
#include <QKeyEvent>

DialogKeys::DialogKeys(QDialog &dialog) : QObject(&dialog), dialog_(dialog) {
    dialog.installEventFilter(this);
    for (QWidget *control : dialog.findChildren<QWidget *>())
        control->installEventFilter(this);
}

bool DialogKeys::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        guard(QString(), [&] { dialog_.reject(); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

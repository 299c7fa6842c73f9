#pragma once

// Helpers shared by the desktop's Qt tests: whole files written and read,
// batch line ends, an environment variable or the settings store put back
// when a test ends, and the records of a store collected into a list.

#include "DeskFailure.h"
#include "RecordSet.h"
#include "clsUserSettings.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QLineEdit>
#include <QList>
#include <QMenu>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace DeskTest {

// The whole file, or the empty text when it cannot be read.
inline QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Creates or replaces the file with this content (and these permissions, when
// given); a file that cannot be written fails the calling test.
inline void writeFile(const QString &path, const QByteArray &content = {},
                      QFile::Permissions permissions = {}) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate),
             qPrintable(path));
    QCOMPARE(file.write(content), content.size());
    file.close();
    if (permissions)
        QVERIFY(file.setPermissions(permissions));
}

// A file of that many zero bytes.
inline void writeSizedFile(const QString &path, qint64 size) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QVERIFY(file.resize(size));
}

// The text with every line ended by CR LF, as the batch files are written.
inline QByteArray crlf(QByteArray text) { return text.replace("\n", "\r\n"); }

// One value read from every record of the table, first to last.
template <class Read> auto collect(RecordSet &table, Read read) {
    QList<decltype(read())> values;
    for (table.moveFirst(); !table.atEnd(); table.moveNext())
        values.append(read());
    return values;
}

// The number of the DeskFailure that the call throws (and its description,
// when asked for), or 0 when the call succeeds.
template <class Call>
int failureOf(Call &&call, QString *description = nullptr) {
    try {
        call();
    } catch (const DeskFailure &failure) {
        if (description)
            *description = failure.description();
        return failure.number();
    }
    return 0;
}

// A right click near the top left of the view's viewport, where a row of a
// filled list lies, and the context menu that it opened closed again.
inline void rightClick(QAbstractScrollArea &view, QMenu &menu) {
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, QPoint(5, 5));
    menu.hide();
}

// Runs the action on the modal dialog of that class that opens next, once it
// is up (and notes that it ran); when none opens, the action does not run
// and the test's own checks fail.
template <class Dialog>
void whenModal(std::function<void(Dialog &)> action, bool *ran = nullptr) {
    QTimer::singleShot(0, [action, ran] {
        auto *dialog =
            qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (ran)
            *ran = true;
        action(*dialog);
    });
}

// The shown dialog's Exit and OK buttons side by side, Exit first, at its
// bottom right below every line edit, OK the default button: whatever
// order the desktop style gives dialog buttons.
inline void exitThenOkAtBottomRight(QWidget &dialog, QPushButton *exit,
                                    QPushButton *ok) {
    QVERIFY(dialog.isVisible() && exit && ok);
    QVERIFY(ok->isDefault() && !exit->isDefault());
    const QRect e(exit->mapTo(&dialog, QPoint()), exit->size());
    const QRect o(ok->mapTo(&dialog, QPoint()), ok->size());
    QVERIFY2(e.right() < o.left(), "Exit stands left of OK");
    QCOMPARE(e.center().y(), o.center().y());
    QVERIFY2(dialog.width() - o.right() < 30, "OK ends at the right margin");
    for (const QLineEdit *edit : dialog.findChildren<QLineEdit *>())
        if (edit->isVisible())
            QVERIFY(
                QRect(edit->mapTo(&dialog, QPoint()), edit->size()).bottom() <
                e.top());
}

// Restores an environment variable (or its absence) when it goes out of
// scope.
class EnvironmentGuard {
  public:
    explicit EnvironmentGuard(const char *name)
        : name_(name), had_(qEnvironmentVariableIsSet(name)),
          value_(qgetenv(name)) {}
    ~EnvironmentGuard() {
        if (had_)
            qputenv(name_, value_);
        else
            qunsetenv(name_);
    }
    EnvironmentGuard(const EnvironmentGuard &) = delete;
    EnvironmentGuard &operator=(const EnvironmentGuard &) = delete;

  private:
    const char *name_;
    bool had_;
    QByteArray value_;
};

// The settings store in a temporary folder of its own while the object
// lives; the user's own store is never touched. clear() starts again from an
// empty store.
class TemporarySettingsStore {
  public:
    TemporarySettingsStore() {
        clsUserSettings::setStoreFolder(folder_.path());
    }
    ~TemporarySettingsStore() { clsUserSettings::setStoreFolder(QString()); }
    TemporarySettingsStore(const TemporarySettingsStore &) = delete;
    TemporarySettingsStore &operator=(const TemporarySettingsStore &) = delete;

    bool isValid() const { return folder_.isValid(); }
    QString path() const { return folder_.path(); }
    QString filePath(const QString &name) const {
        return folder_.filePath(name);
    }
    void clear() { QFile::remove(clsUserSettings::storeFileName()); }

  private:
    QTemporaryDir folder_;
};

} // namespace DeskTest

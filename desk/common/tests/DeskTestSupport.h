#pragma once

// Helpers shared by the desktop's Qt tests: whole files written and read,
// batch line ends, an environment variable put back when a test ends, the
// failure a call throws, clicks and modal dialogs. The helpers that need
// the stores are in StoreTestSupport.h.

#include "DeskFailure.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QLineEdit>
#include <QList>
#include <QMenu>
#include <QPointF>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QtTest>

#include <algorithm>
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

// A point shapefile (its .shp and .shx) of these points, written byte by
// byte as the format has it (big-endian lengths, little-endian values).
inline void writePointShapefile(const QString &base,
                                const QList<QPointF> &points) {
    const auto big = [](QByteArray &b, qint32 v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            b.append(char(v >> shift));
    };
    const auto little = [](QByteArray &b, const void *p, int size) {
        b.append(static_cast<const char *>(p), size);
    };
    double bounds[8] = {};
    for (qsizetype i = 0; i < points.size(); ++i) {
        const QPointF &p = points[i];
        bounds[0] = i == 0 ? p.x() : std::min(bounds[0], p.x());
        bounds[1] = i == 0 ? p.y() : std::min(bounds[1], p.y());
        bounds[2] = i == 0 ? p.x() : std::max(bounds[2], p.x());
        bounds[3] = i == 0 ? p.y() : std::max(bounds[3], p.y());
    }
    const auto header = [&](qint64 bytes) {
        QByteArray h;
        big(h, 9994);
        h.append(QByteArray(20, 0));
        big(h, qint32(bytes / 2));
        const qint32 version = 1000, type = 1; // points
        little(h, &version, 4);
        little(h, &type, 4);
        little(h, bounds, sizeof bounds);
        return h;
    };
    const qint64 n = points.size();
    QByteArray shp = header(100 + n * 28);
    QByteArray shx = header(100 + n * 8);
    for (qint64 i = 0; i < n; ++i) {
        big(shx, qint32((100 + i * 28) / 2));
        big(shx, 10);
        big(shp, qint32(i + 1));
        big(shp, 10);
        const qint32 type = 1;
        const double xy[2] = {points[i].x(), points[i].y()};
        little(shp, &type, 4);
        little(shp, xy, sizeof xy);
    }
    writeFile(base + ".shp", shp);
    writeFile(base + ".shx", shx);
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

} // namespace DeskTest

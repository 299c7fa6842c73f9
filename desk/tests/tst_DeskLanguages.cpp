#include "BrowseFF.h"
#include "DeskLanguage.h"
#include "DeskMessages.h"
#include "DeskTestSupport.h"
#include "DeskWindow.h"
#include "FolderTreeControl.h"
#include "StoreTestSupport.h"
#include "clsCommandStart.h"
#include "frmCommandStart.h"
#include "frmInfo.h"
#include "frmTaskListModify.h"
#include "frmToolbox.h"
#include "modKAVRO.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSet>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

// Every window and dialog of the desktop in German and in Italian, walked as
// a person meets them (the main window with its lists, the Toolbox and its
// folder dialog, Info, Modify and its file dialog, the progress window and
// the message boxes of a refused and of a completed run): no text is still the
// English one, none is cut off at the window's default size, and every control
// has a name for a screen reader. The shape types come from the real boxcheck;
// the conversion is a stand-in. With KAVRO_SCREENSHOT_DIR set (under a real X
// server) a picture of each window is saved in <dir>/<language>/ for the user's
// guides.
namespace {
using Texts = QMap<QString, QString>; // where a text stands -> the text

// What a walk of one window found.
struct Walk {
    Texts texts;
    QStringList cutOff;  // texts wider or taller than their place
    QStringList unnamed; // controls without an accessible name
    QStringList clashes; // texts whose Alt key another text of the window has
};
using Walks = QMap<QString, Walk>; // window -> its walk

// Where a widget stands in its window: the object names (or class and
// position among its like) from the window down, the same in every
// language because the windows are built alike.
QString placeOf(const QWidget *widget, const QWidget *window) {
    QStringList parts;
    for (const QObject *o = widget; o && o != window; o = o->parent()) {
        QString part = o->objectName();
        if (part.isEmpty()) {
            int index = 0;
            if (o->parent())
                for (const QObject *sibling : o->parent()->children()) {
                    if (sibling == o)
                        break;
                    index += sibling->metaObject() == o->metaObject();
                }
            part = QString::fromLatin1(o->metaObject()->className()) + u'#' +
                   QString::number(index);
        }
        parts.prepend(part);
    }
    return parts.join(u'/');
}

bool isControl(const QWidget *w) {
    return (w->focusPolicy() & Qt::TabFocus) ||
           qobject_cast<const QAbstractButton *>(w) ||
           qobject_cast<const QProgressBar *>(w) ||
           qobject_cast<const QStatusBar *>(w) ||
           qobject_cast<const QToolBar *>(w);
}

void checkFits(Walk &walk, const QString &place, const QString &text,
               int needed, int room) {
    if (needed > room)
        walk.cutOff << QStringLiteral("%1 \"%2\" needs %3 px, has %4")
                           .arg(place, text)
                           .arg(needed)
                           .arg(room);
}

Walk walkWindow(QWidget &window) {
    Walk walk;
    QMap<QKeySequence, QString> mnemonics;
    const auto mnemonic = [&](const QString &text) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (key.isEmpty())
            return;
        if (mnemonics.contains(key))
            walk.clashes << mnemonics[key] + " / " + text;
        mnemonics.insert(key, text);
    };
    const auto add = [&](const QString &place, const QString &text) {
        if (!text.trimmed().isEmpty())
            walk.texts.insert(place, text);
    };
    add(QStringLiteral("title"), window.windowTitle());
    QList<QWidget *> widgets = window.findChildren<QWidget *>();
    widgets.prepend(&window);
    for (QWidget *w : widgets) {
        if (!w->isVisibleTo(&window) && w != &window &&
            !qobject_cast<QMenu *>(w))
            continue;
        const QString place = placeOf(w, &window);
        const bool fixed = w->property(frmInfo::kFixedLanguage).toBool();
        if (!fixed)
            add(place + ":toolTip", w->toolTip());
        add(place + ":name", w->accessibleName());
        add(place + ":description", w->accessibleDescription());
        if (w->isVisibleTo(&window) && w != &window && isControl(w)) {
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
            if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
                walk.unnamed << place;
        }
        if (auto *label = qobject_cast<QLabel *>(w);
            label && !label->text().isEmpty()) {
            if (!fixed)
                add(place, label->text());
            if (label->buddy())
                mnemonic(label->text());
            if (label->wordWrap())
                checkFits(walk, place, label->text(),
                          label->heightForWidth(label->width()),
                          label->height());
            else
                checkFits(walk, place, label->text(), label->sizeHint().width(),
                          label->width());
        } else if (auto *button = qobject_cast<QAbstractButton *>(w);
                   button && !button->text().isEmpty()) {
            add(place, button->text());
            mnemonic(button->text());
            checkFits(walk, place, button->text(), button->sizeHint().width(),
                      button->width());
        } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                add(place + u'#' + QString::number(i), combo->itemText(i));
            checkFits(walk, place, combo->currentText(),
                      combo->sizeHint().width(), combo->width());
        } else if (auto *bar = qobject_cast<QStatusBar *>(w)) {
            add(place + ":message", bar->currentMessage());
            checkFits(
                walk, place, bar->currentMessage(),
                bar->fontMetrics().horizontalAdvance(bar->currentMessage()),
                bar->width());
        } else if (auto *menu = qobject_cast<QMenu *>(w)) {
            add(place + ":menu", menu->title());
            QSet<QKeySequence> keys; // a menu's items among themselves
            for (const QAction *item : menu->actions()) {
                add(place + u'/' + item->objectName(), item->text());
                const QKeySequence key = QKeySequence::mnemonic(item->text());
                if (!key.isEmpty() && keys.contains(key))
                    walk.clashes << item->text();
                keys.insert(key);
            }
        } else if (auto *list = qobject_cast<QTreeWidget *>(w)) {
            const QHeaderView *header = list->header();
            const int margin =
                list->style()->pixelMetric(QStyle::PM_HeaderMargin) * 2;
            for (int column = 0; column < list->columnCount(); ++column) {
                const QString heading = list->headerItem()->text(column);
                add(place + ":heading" + QString::number(column), heading);
                checkFits(walk, place, heading,
                          header->fontMetrics().horizontalAdvance(heading) +
                              margin,
                          header->sectionSize(column));
            }
            // The cells the desktop writes (type and check result), in
            // their own font and within the item view's text margins; names,
            // sizes and dates are the files' own.
            const int textMargins =
                (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) *
                2;
            for (int row = 0; row < list->topLevelItemCount(); ++row) {
                const QTreeWidgetItem *item = list->topLevelItem(row);
                const QString cell = place + u'@' + QString::number(row);
                add(cell + ":toolTip", item->toolTip(0));
                add(cell + ":2", item->text(2));
                checkFits(walk, cell + ":2", item->text(2),
                          QFontMetrics(item->font(2))
                                  .horizontalAdvance(item->text(2)) +
                              textMargins,
                          header->sectionSize(2));
            }
        }
    }
    return walk;
}

// Texts that are the same in English and in the language by nature: names,
// codes, the languages named in themselves, and words both share.
bool sameInBoth(const QString &text, const QString &language) {
    static const QRegularExpression letter(QStringLiteral("[A-Za-z]"));
    if (!text.contains(letter))
        return true;
    // A tool tip's key: "Info (F1)".
    static const QRegularExpression key(QStringLiteral(" \\(F\\d+\\)$"));
    if (text.contains(key))
        return sameInBoth(QString(text).remove(key), language);
    static const QStringList names{"KavroDesk", "OK",      "Deutsch",
                                   "Italiano",  "English", "UTM WGS84-ETRS89"};
    // The file dialog's filter of every file is German in English too.
    static const QStringList german{"Name", "Info", "Start",
                                    "Alle Dateien (*.*)"};
    return names.contains(text) || text.startsWith(u'/') || // a path
           (language == DeskLanguage::kGerman && german.contains(text));
}

// Runs the action on each message box that opens from now on (a modal one
// may open on top of another modal window), until stopped.
class BoxWatcher : public QObject {
  public:
    explicit BoxWatcher(std::function<void(QMessageBox &)> action)
        : action_(std::move(action)) {
        startTimer(10);
    }

  protected:
    void timerEvent(QTimerEvent *) override {
        auto *box =
            qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box == last_)
            return;
        last_ = box;
        action_(*box);
    }

  private:
    std::function<void(QMessageBox &)> action_;
    QPointer<QMessageBox> last_;
};
} // namespace

class tst_DeskLanguages : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (!QFileInfo::exists(QStringLiteral(KAVRO_ENGINE_DIR "/boxcheck")))
            QSKIP("boxcheck is not built");
        QVERIFY(dir_.isValid());
        modKAVRO::SetProgramFolder(QStringLiteral(KAVRO_PROGRAM_DIR));
        DeskLanguage::setTranslationsFolder(
            QStringLiteral(KAVRO_TRANSLATIONS_DIR));
        // boxcheck's batch files of its own, beside other tests that run it.
        const QString temp = dir_.filePath(QStringLiteral("temp"));
        QVERIFY(QDir().mkpath(temp));
        qputenv("TEMP", QFile::encodeName(temp));
        english_ = walkEverything(DeskLanguage::kEnglish);
        // Every window was reached, so that the languages are compared on
        // all of them.
        QCOMPARE(english_.keys(),
                 (QStringList{"BrowseFF", "completedRun", "frmCommandStart",
                              "frmInfo", "frmMain", "frmTaskListModify",
                              "frmToolbox", "outputFile", "refusedStart"}));
    }
    void cleanupTestCase() {
        DeskLanguage::apply(QString());
        modKAVRO::SetProgramFolder(QString());
        qunsetenv("TEMP");
    }

    void everyWindowSpeaksTheLanguage_data() {
        QTest::addColumn<QString>("language");
        QTest::newRow("de") << DeskLanguage::kGerman;
        QTest::newRow("it") << DeskLanguage::kItalian;
    }
    void everyWindowSpeaksTheLanguage() {
        QFETCH(QString, language);
        const Walks walks = walkEverything(language);
        QCOMPARE(walks.keys(), english_.keys());
        QStringList english, cutOff, unnamed, clashes;
        for (auto window = walks.begin(); window != walks.end(); ++window) {
            const Texts &before = english_[window.key()].texts;
            const Texts &after = window->texts;
            // The same places show a text in both languages.
            QCOMPARE(after.keys(), before.keys());
            for (auto text = after.begin(); text != after.end(); ++text)
                if (text.value() == before.value(text.key()) &&
                    !sameInBoth(text.value(), language))
                    english << window.key() + u' ' + text.key() + ": " +
                                   text.value();
            for (const QString &found : window->cutOff)
                cutOff << window.key() + u' ' + found;
            for (const QString &found : window->unnamed)
                unnamed << window.key() + u' ' + found;
            for (const QString &found : window->clashes)
                clashes << window.key() + u' ' + found;
        }
        QVERIFY2(english.isEmpty(), qPrintable(english.join(u'\n')));
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(u'\n')));
        QVERIFY2(cutOff.isEmpty(), qPrintable(cutOff.join(u'\n')));
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u'\n')));
    }

    // The English windows name their controls and give each Alt key once
    // as well.
    void englishControlsAreNamed() {
        QStringList faults;
        for (auto window = english_.begin(); window != english_.end(); ++window)
            for (const QString &found : window->unnamed + window->clashes)
                faults << window.key() + u' ' + found;
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    // A user whose system list is "en, de" gets English; the setting, as
    // the Toolbox writes it, overrides the system.
    void settingOverridesTheSystemList() {
        const QStringList enDe{"en", "en-US", "de", "de-DE"};
        const struct {
            QString setting, language, refresh;
        } cases[] = {{"", "en", "Refresh"},
                     {"system", "en", "Refresh"},
                     {"de", "de", "Aktualisieren"},
                     {"it", "it", "Aggiorna"}};
        for (const auto &c : cases) {
            DeskTest::TemporarySettingsStore store;
            if (!c.setting.isEmpty())
                clsUserSettings::writeText(clsUserSettings::kKeyLanguage,
                                           c.setting);
            const QString language = DeskWindow::applyLanguage(enDe);
            DeskWindow window;
            QVERIFY2(language == c.language &&
                         window.cmdRefresh()->accessibleName() == c.refresh,
                     qPrintable(c.setting + ": " + language + ", " +
                                window.cmdRefresh()->accessibleName()));
        }
        DeskLanguage::apply(QString());
    }

    // Tab walks the main window as it is read: the tool bar from left to
    // right, the tree, the two lists. The tree takes no focus at the start,
    // which would select its first folder.
    void tabOrderFollowsTheWork() {
        DeskTest::TemporarySettingsStore store;
        DeskWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), window.cmdRefresh());
        const QList<QWidget *> expected{
            window.cmdToolbox(),    window.cmdStart(),    window.cmdInfo(),
            window.ctlFolderTree(), window.lvwFileList(), window.lvwTaskList(),
            window.cmdRefresh()};
        for (QWidget *next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

  private:
    // The desktop in that language, each window walked as it shows.
    Walks walkEverything(const QString &language) {
        Walks walks;
        // The survey and its output in folders named in the language, as
        // the guides' pictures show them.
        const QMap<QString, QStringList> folders{
            {DeskLanguage::kEnglish, {"survey", "output"}},
            {DeskLanguage::kGerman, {"Vermessung", "Ergebnis"}},
            {DeskLanguage::kItalian, {"rilievo", "risultato"}}};
        data_ = dir_.filePath(language + u'/' + folders[language][0]);
        out_ = dir_.filePath(language + u'/' + folders[language][1]);
        if (!QDir().mkpath(data_) || !QDir().mkpath(out_))
            return walks;
        for (const QString name : {"gbo_lines", "gboshift_polygons"})
            for (const char *extension : {".shp", ".shx", ".dbf", ".cpg"})
                if (!QFile::copy(
                        QStringLiteral(KAVRO_SOURCE_DIR "/data/samples/") +
                            name + extension,
                        data_ + u'/' + name + extension))
                    return walks;
        DeskTest::TemporarySettingsStore store;
        DeskLanguage::apply(language);
        const QString shots = qEnvironmentVariable("KAVRO_SCREENSHOT_DIR");
        const auto walk = [&](const QString &name, QWidget &window) {
            const bool shown = QTest::qWaitForWindowExposed(&window);
            walks.insert(name, walkWindow(window));
            if (!shown)
                walks[name].cutOff
                    << QStringLiteral("the window was not shown");
            if (!shots.isEmpty()) {
                QTest::qWait(200); // the paint reaches the screen
                QDir().mkpath(shots + u'/' + language);
                window.grab().save(shots + u'/' + language + u'/' + name +
                                   QStringLiteral(".png"));
            }
        };
        {
            DeskWindow window;
            window.show();
            window.activateWindow();
            if (!QTest::qWaitForWindowActive(&window))
                return walks;
            window.ctlFolderTree()->SelectFolder(data_);
            if (window.lvwFileList()->topLevelItemCount() != 2)
                return walks;
            window.objects().userSettings->setOutputFolder(out_);
            window.mnuFileListAddAll()->trigger();
            window.lvwTaskList()->setCurrentItem(
                window.lvwTaskList()->topLevelItem(0));

            // The dialogs that Browse opens, over their own windows.
            DeskTest::whenModal<frmToolbox>([&](frmToolbox &dialog) {
                walk(QStringLiteral("frmToolbox"), dialog);
                DeskTest::whenModal<BrowseFFDialog>(
                    [&](BrowseFFDialog &folders) {
                        walk(QStringLiteral("BrowseFF"), folders);
                        folders.reject();
                    });
                dialog.cmdBrowse()->click();
                dialog.reject();
            });
            window.cmdToolbox()->click();
            DeskTest::whenModal<frmInfo>([&](frmInfo &dialog) {
                walk(QStringLiteral("frmInfo"), dialog);
                dialog.reject();
            });
            window.cmdInfo()->click();
            DeskTest::whenModal<frmTaskListModify>(
                [&](frmTaskListModify &dialog) {
                    walk(QStringLiteral("frmTaskListModify"), dialog);
                    DeskTest::whenModal<QFileDialog>([&](QFileDialog &files) {
                        walk(QStringLiteral("outputFile"), files);
                        files.reject();
                    });
                    dialog.cmdBrowse()->click();
                    dialog.reject();
                });
            window.mnuTaskListModify()->trigger();

            // A refused run: the first output is there already.
            DeskTest::writeFile(out_ + QStringLiteral("/gbo_lines_UTM.shp"));
            QString box = QStringLiteral("refusedStart");
            BoxWatcher boxes([&](QMessageBox &message) {
                walk(box, message);
                message.accept();
            });
            window.cmdStart()->click();
            walk(QStringLiteral("frmMain"), window);

            // A completed run, the progress window seen during it.
            QFile::remove(out_ + QStringLiteral("/gbo_lines_UTM.shp"));
            box = QStringLiteral("completedRun");
            window.objects().commandStart->setConverter(
                [&](const NativePath &, const NativePath &, int) {
                    if (auto *progress = qobject_cast<frmCommandStart *>(
                            QApplication::activeModalWidget());
                        progress && !walks.contains("frmCommandStart"))
                        walk(QStringLiteral("frmCommandStart"), *progress);
                    return true;
                });
            window.cmdStart()->click();
        }
        DeskLanguage::apply(QString());
        return walks;
    }

    QTemporaryDir dir_;
    QString data_, out_;
    Walks english_;
};

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    tst_DeskLanguages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_DeskLanguages.moc"

// Shows the real main window on an X server (started by xvfb-run, see
// CMakeLists.txt), saves a picture of the whole screen to the file named by
// the first argument and checks that the window and its tool bar pictures
// are on it. The settings store lies in a temporary folder; the folder tree
// selects the project's data folder.
#include "DeskMessages.h"
#include "DeskPictures.h"
#include "DeskWindow.h"
#include "FolderTreeControl.h"
#include "ScreenShot.h"
#include "clsUserSettings.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cstdio>

int main(int argc, char *argv[]) {
    if (!ScreenShot::haveArguments(argc, "shot_frmMain"))
        return 2;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    QTemporaryDir store;
    clsUserSettings::setStoreFolder(store.path());
    clsUserSettings::writeText(clsUserSettings::kKeyFolderTreeCurrentPath,
                               QStringLiteral(KAVRO_SOURCE_DIR "/data"));
    RecordingPresenter messages;

    DeskWindow window;
    if (!ScreenShot::show(window))
        return 1;
    QTest::qWait(1500); // lets the folder tree list its folders
    window.ctlFolderTree()->setFocus();
    QTest::qWait(300); // the repaint reaches the screen

    const QImage screen = ScreenShot::saveScreen(argv[1]);
    if (screen.isNull())
        return 1;
    QToolButton *start = window.cmdStart();
    const QRect startOnScreen(start->mapToGlobal(QPoint(0, 0)), start->size());
    int faults = 0;
    if (!window.ctlFolderTree()->isFilled()) {
        std::fprintf(stderr, "the folder tree was not filled\n");
        ++faults;
    }
    FolderTreeControl *tree = window.ctlFolderTree();
    if (tree->SelectedFolder().path.isEmpty()) {
        std::fprintf(stderr, "no folder was selected\n");
        ++faults;
    } else if (!tree->viewport()->rect().contains(
                   tree->visualRect(tree->currentIndex()))) {
        std::fprintf(stderr, "the selected folder is out of view\n");
        ++faults;
    }
    if (!ScreenShot::shows(screen, startOnScreen, ScreenShot::isStrongGreen)) {
        std::fprintf(stderr, "the Start picture is not on the screen\n");
        ++faults;
    }
    if (!messages.messages.isEmpty()) {
        std::fprintf(stderr, "a message was shown: %s\n",
                     qPrintable(messages.messages[0].text));
        ++faults;
    }
    std::printf("saved %s (%dx%d)\n", argv[1], screen.width(), screen.height());
    return faults == 0 ? 0 : 1;
}

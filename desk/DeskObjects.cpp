#include "DeskObjects.h"

#include "FolderTreeControl.h"
#include "adoFileList.h"
#include "adoTaskList.h"
#include "clsCommandInfo.h"
#include "clsCommandRefresh.h"
#include "clsCommandStart.h"
#include "clsCommandToolbox.h"
#include "clsContextMenuFileList.h"
#include "clsContextMenuTaskList.h"
#include "clsControlFileList.h"
#include "clsControlFolderTree.h"
#include "clsControlSplitter.h"
#include "clsControlTaskList.h"
#include "clsEventsFolderTree.h"
#include "clsUserSettings.h"
#include "frmCommandStart.h"
#include "frmMain.h"
#include "modKAVRO.h"

#include <QPointer>
#include <QStatusBar>

#include <memory>

namespace {
DeskObjects *currentObjects = nullptr;
}

DeskObjects::DeskObjects() = default;

DeskObjects::~DeskObjects() { release(); }

DeskObjects *DeskObjects::current() { return currentObjects; }

void DeskObjects::create(frmMain &window) {
    window_ = &window;
    currentObjects = this;
    userSettings = std::make_unique<clsUserSettings>(); // 1
    fileList = std::make_unique<adoFileList>();         // 2
    // Each listed file's shape type comes from boxcheck, run for as many
    // files at once as Start runs tasks.
    fileList->setShapeClassifier(
        [](int slot) -> adoFileList::ReasonedClassifier {
            const auto files = std::make_shared<modKAVRO::ShapeSlot>(slot);
            return [files](const QString &path, QString &reason) {
                return int(files->classify(path, &reason));
            };
        },
        &frmCommandStart::ConcurrentTasks);
    // Refresh() without a path lists the folder that the tree has selected.
    fileList->setFolderSource([tree = window.ctlFolderTree()] {
        return tree->SelectedFolder().fileSystemPath;
    });
    // The listing's progress and what it could not do show in the status
    // bar, painted at once: the listing runs inside the tree's change of
    // selection, where no events may be processed.
    fileList->setStatusSink([bar = QPointer<QStatusBar>(window.staStatusBar())](
                                const QString &text) {
        if (!bar)
            return;
        bar->showMessage(text);
        bar->repaint();
    });
    taskList = std::make_unique<adoTaskList>();                         // 3
    controlSplitter = std::make_unique<clsControlSplitter>(window);     // 4
    controlFolderTree = std::make_unique<clsControlFolderTree>(window); // 5
    controlFileList =
        std::make_unique<clsControlFileList>(window, *fileList); // 6
    controlTaskList =
        std::make_unique<clsControlTaskList>(window, *taskList); // 7
    eventsFolderTree = std::make_unique<clsEventsFolderTree>(
        window, *fileList, *controlFileList);                     // 8
    commandRefresh = std::make_unique<clsCommandRefresh>(window); // 9
    commandToolbox =
        std::make_unique<clsCommandToolbox>(window, *userSettings); // 10
    commandStart = std::make_unique<clsCommandStart>(
        window, *taskList, *controlTaskList, *fileList,
        *controlFileList);                                  // 11
    commandInfo = std::make_unique<clsCommandInfo>(window); // 12
    contextMenuFileList = std::make_unique<clsContextMenuFileList>(
        window, *userSettings, *fileList, *taskList, *controlFileList,
        *controlTaskList); // 13
    contextMenuTaskList = std::make_unique<clsContextMenuTaskList>(
        window, *taskList, *controlTaskList); // 14
}

void DeskObjects::release() {
    userSettings.reset();        // 1
    fileList.reset();            // 2
    taskList.reset();            // 3
    controlSplitter.reset();     // 4
    controlFolderTree.reset();   // 5
    controlFileList.reset();     // 6
    controlTaskList.reset();     // 7
    eventsFolderTree.reset();    // 8
    commandRefresh.reset();      // 9
    commandToolbox.reset();      // 10
    commandStart.reset();        // 11
    commandInfo.reset();         // 12
    contextMenuFileList.reset(); // 13
    contextMenuTaskList.reset(); // 14
    if (currentObjects == this)
        currentObjects = nullptr;
    window_ = nullptr;
}

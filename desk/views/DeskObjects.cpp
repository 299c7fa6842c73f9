#include "DeskObjects.h"

#include "clsCommandInfo.h"
#include "clsCommandRefresh.h"
#include "clsCommandToolbox.h"
#include "clsControlFolderTree.h"
#include "clsControlSplitter.h"
#include "clsEventsFolderTree.h"
#include "clsUserSettings.h"

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
    // 2  adoFileList
    // 3  adoTaskList
    controlSplitter = std::make_unique<clsControlSplitter>(window);     // 4
    controlFolderTree = std::make_unique<clsControlFolderTree>(window); // 5
    // 6  clsControlFileList
    // 7  clsControlTaskList
    eventsFolderTree = std::make_unique<clsEventsFolderTree>(window); // 8
    commandRefresh = std::make_unique<clsCommandRefresh>(window);     // 9
    commandToolbox =
        std::make_unique<clsCommandToolbox>(window, *userSettings); // 10
    // 11 clsCommandStart
    commandInfo = std::make_unique<clsCommandInfo>(window); // 12
    // 13 clsContextMenuFileList
    // 14 clsContextMenuTaskList
}

void DeskObjects::release() {
    userSettings.reset(); // 1
    // 2  adoFileList
    // 3  adoTaskList
    controlSplitter.reset();   // 4
    controlFolderTree.reset(); // 5
    // 6  clsControlFileList
    // 7  clsControlTaskList
    eventsFolderTree.reset(); // 8
    commandRefresh.reset();   // 9
    commandToolbox.reset();   // 10
    // 11 clsCommandStart
    commandInfo.reset(); // 12
    // 13 clsContextMenuFileList
    // 14 clsContextMenuTaskList
    if (currentObjects == this)
        currentObjects = nullptr;
    window_ = nullptr;
}

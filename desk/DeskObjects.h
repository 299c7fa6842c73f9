#pragma once

#include <memory>

class adoFileList;
class adoTaskList;
class clsCommandInfo;
class clsCommandRefresh;
class clsCommandStart;
class clsCommandToolbox;
class clsContextMenuFileList;
class clsContextMenuTaskList;
class clsControlFileList;
class clsControlTaskList;
class clsControlFolderTree;
class clsControlSplitter;
class clsEventsFolderTree;
class clsUserSettings;
class frmMain;

// The fourteen objects that the main window shares with every part of the
// desktop: the settings, the two record stores, one controller per control
// group and one command per tool bar button. create() makes them in the
// order below and release() lets them go in the same order (not in the
// reverse order in which members would be destroyed), so a controller never
// outlives the objects created before it by accident of declaration.
//
// This is the one place above every desk folder: it knows all fourteen and
// hands each what it needs from the others (the file list store gets the
// classifier that runs boxcheck, the tree's folder and the status bar), so
// that no folder reaches up for them.
//
// Each numbered slot is one object; a class that does not exist yet keeps
// its numbered place here, in create() and in release(), so that adding it
// keeps the order.
class DeskObjects {
  public:
    DeskObjects();
    ~DeskObjects();
    DeskObjects(const DeskObjects &) = delete;
    DeskObjects &operator=(const DeskObjects &) = delete;

    // The objects of the one main window, from its creation of them to
    // their release; nullptr outside that time.
    static DeskObjects *current();

    void create(frmMain &window);
    void release();

    frmMain *window() const { return window_; }

    // 1
    std::unique_ptr<clsUserSettings> userSettings;
    // 2
    std::unique_ptr<adoFileList> fileList;
    // 3
    std::unique_ptr<adoTaskList> taskList;
    // 4
    std::unique_ptr<clsControlSplitter> controlSplitter;
    // 5
    std::unique_ptr<clsControlFolderTree> controlFolderTree;
    // 6
    std::unique_ptr<clsControlFileList> controlFileList;
    // 7
    std::unique_ptr<clsControlTaskList> controlTaskList;
    // 8
    std::unique_ptr<clsEventsFolderTree> eventsFolderTree;
    // 9
    std::unique_ptr<clsCommandRefresh> commandRefresh;
    // 10
    std::unique_ptr<clsCommandToolbox> commandToolbox;
    // 11
    std::unique_ptr<clsCommandStart> commandStart;
    // 12
    std::unique_ptr<clsCommandInfo> commandInfo;
    // 13
    std::unique_ptr<clsContextMenuFileList> contextMenuFileList;
    // 14
    std::unique_ptr<clsContextMenuTaskList> contextMenuTaskList;

  private:
    frmMain *window_ = nullptr;
};

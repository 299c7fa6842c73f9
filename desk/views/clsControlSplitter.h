#pragma once

#include <QObject>

class FolderTreeControl;
class frmMain;
class QStatusBar;
class QToolBar;
class QTreeWidget;
class SplitterControl;

// The splitter layout of the main window: the outer splitter (bar between
// the upper area and the task list, docked below the tool bar) and the inner
// one (bar between folder tree and file list). Restores the bar positions at
// load, keeps the outer splitter's height at the room between tool bar and
// status bar, and saves the bar positions at unload.
class clsControlSplitter : public QObject {
    Q_OBJECT
  public:
    explicit clsControlSplitter(frmMain &window);

    void m_frmMain_Load();
    void m_frmMain_Resize();
    void m_frmMain_Unload();

  private:
    frmMain *m_frmMain;
    SplitterControl *ctlSplitterHorizontal_;
    SplitterControl *ctlSplitterVertical_;
    FolderTreeControl *ctlFolderTree_;
    QTreeWidget *lvwFileList_;
    QTreeWidget *lvwTaskList_;
    QToolBar *tlbToolbar_;
    QStatusBar *staStatusBar_;
};

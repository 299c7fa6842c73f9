#pragma once

#include <QObject>

class FolderTreeControl;
class frmMain;

// The folder tree: its display options at load, a fill at every activation
// of the main window, the folder selected at the last close selected again
// after every fill, and that folder saved when the window is asked to close.
class clsControlFolderTree : public QObject {
    Q_OBJECT
  public:
    explicit clsControlFolderTree(frmMain &window);

    void m_frmMain_Load();
    void m_frmMain_Activate();
    void m_frmMain_QueryUnload();
    void m_ctlFolderTree_Filled();

  private:
    frmMain *m_frmMain;
    FolderTreeControl *m_ctlFolderTree;
};

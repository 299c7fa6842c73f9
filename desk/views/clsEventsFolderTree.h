#pragma once

#include <QObject>

class FolderTreeControl;
class frmMain;

// The bridge from the folder tree to the file list: every change of the
// tree's selection refreshes the file list store and then the file list
// view.
class clsEventsFolderTree : public QObject {
    Q_OBJECT
  public:
    explicit clsEventsFolderTree(frmMain &window);

    void m_ctlFolderTree_SelectionChanged();

  private:
    FolderTreeControl *m_ctlFolderTree;
};

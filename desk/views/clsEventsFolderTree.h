#pragma once

#include <QObject>
#include <QPointer>

class FolderTreeControl;
class adoFileList;
class clsControlFileList;
class frmMain;

// The bridge from the folder tree to the file list: every change of the
// tree's selection refreshes the file list store and then the file list
// view.
class clsEventsFolderTree : public QObject {
    Q_OBJECT
  public:
    clsEventsFolderTree(frmMain &window, adoFileList &files,
                        clsControlFileList &fileView);

    void m_ctlFolderTree_SelectionChanged();

  private:
    QPointer<FolderTreeControl> m_ctlFolderTree;
    adoFileList &files_;
    clsControlFileList &fileView_;
};

#pragma once

#include <QObject>
#include <QString>

class FolderTreeControl;
class frmMain;
class QToolButton;

// The Refresh button: remembers the selected folder, has the tree cleared
// and filled anew, and selects the remembered folder again once the tree is
// filled. The remembered path is empty until the first click and is not kept
// between runs.
class clsCommandRefresh : public QObject {
    Q_OBJECT
  public:
    explicit clsCommandRefresh(frmMain &window);

    void m_cmdCommandRefresh_Click();
    void m_ctlFolderTree_Filled();

    const QString &rememberedPath() const { return strFolderPath_; }

  private:
    QString strFolderPath_;
    QToolButton *m_cmdCommandRefresh;
    FolderTreeControl *m_ctlFolderTree;
};

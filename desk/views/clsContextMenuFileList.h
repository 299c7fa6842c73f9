#pragma once

#include "ListContextMenu.h"

#include <QPoint>
#include <QPointer>
#include <QStringList>

class QAction;
class QMenu;
class QTreeWidget;
class adoFileList;
class adoTaskList;
class clsControlFileList;
class clsControlTaskList;
class clsUserSettings;
class frmMain;

// The file list's context menu ("Add", "Add All") and its double click (or
// Enter): both turn file records of shape type 0 or 1 into tasks, with the
// output name made from the output folder and suffix in force, and show
// them in the task list. Files of other shape types are passed over without
// a message.
class clsContextMenuFileList : public ListContextMenu {
    Q_OBJECT
  public:
    // Serves lvwFileList and mnuFileList of the window.
    clsContextMenuFileList(frmMain &window, const clsUserSettings &settings,
                           adoFileList &files, adoTaskList &tasks,
                           clsControlFileList &fileView,
                           clsControlTaskList &taskView);

    void m_lvwFileList_MouseUp(Qt::MouseButton button,
                               Qt::KeyboardModifiers shift, QPoint position);
    void m_lvwFileList_DblClick();
    // Enter adds the file the keyboard stands on; true when taken.
    bool m_lvwFileList_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
    void m_mnuFileListAdd_Click();
    void m_mnuFileListAddAll_Click();

    // The output file for an input file under the folder and suffix rule:
    // the output folder (the input's own folder when empty), then the file's
    // name, or its base name + suffix + "." + extension when there is a
    // suffix. The empty text when a part of the input's path could not be
    // read (that was reported).
    static QString outputFileName(const QString &inputPath,
                                  const QString &fileName,
                                  const QString &outputFolder,
                                  const QString &outputSuffix);

  private:
    void listDoubleClicked() override { m_lvwFileList_DblClick(); }
    void listMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                     QPoint position) override {
        m_lvwFileList_MouseUp(button, shift, position);
    }
    bool listKeyDown(int key, Qt::KeyboardModifiers shift) override {
        return m_lvwFileList_KeyDown(key, shift);
    }

    // Adds the current file record as a task. A file that is unknown for a
    // reason the store knows (its Note) is not added and joins notAdded as
    // "name (reason)".
    void addCurrentFile(QStringList &notAdded);
    // Adds the file of the selected row; its failures go to the caller.
    void addSelectedFile();
    // Says in the status bar which files were not added, and why.
    void reportNotAdded(const QStringList &notAdded);

    QPointer<QTreeWidget> m_lvwFileList;
    QPointer<frmMain> m_frmMain;
    QPointer<QAction> m_mnuFileListAdd;
    QPointer<QAction> m_mnuFileListAddAll;
    clsControlFileList &fileView_;
    adoFileList &files_;
    clsControlTaskList &taskView_;
    adoTaskList &tasks_;
    const clsUserSettings &settings_;
};

#pragma once

#include "ImageList.h"
#include "modTransformation.h"

#include <QMainWindow>
#include <QPointer>

class FolderTreeControl;
class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;
class QToolButton;
class QTreeWidget;
class SplitterControl;

// KavroDesk's main window: a tool bar with four picture buttons, the folder
// tree, the file list and the task list in two nested splitters, and a
// status bar.
//
// Life cycle. The constructor is Form_Initialize: it builds the controls.
// The shared objects (DeskObjects, made after it by DeskWindow) subscribe to
// the window's signals in the order in which they are created; Qt calls the
// slots of a signal in the order they were connected, so "controllers in
// creation order" holds by construction. Form_Load runs once, just before
// the window is first shown, followed by the signal Load. Resize and Activate
// are raised on every resize and every activation. Closing the window raises
// QueryUnload, runs Form_Unload and raises Unload, once. The destructor is
// Form_Terminate; the shared objects are released before it. A window
// destroyed without being closed writes no settings.
//
// Key preview: an application event filter shows every key press meant for
// this window or one of its controls to Form_KeyPress (raising KeyPress
// first) before the control sees it, once per key press, also when the
// control ignores the key and Qt offers it to the control's parents; Escape
// (character 27) closes the window.
//
// The list views are QTreeWidgets used as report views (no root decoration,
// whole rows selected, no editing); their columns are added by their
// controllers. ilsListView holds the three list icons (1 plain document,
// 2 document with a check mark, 3 document with a window picture).
//
// Geometry is designed in twips (the inner area is 11880 x 8070 twips) and
// stored in twips; see Twips.h.
class frmMain : public QMainWindow {
    Q_OBJECT
  public:
    // The designed inner area, twips.
    static constexpr double kDesignWidth = 11880;
    static constexpr double kDesignHeight = 8070;

    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    QToolBar *tlbToolbar() const { return tlbToolbar_; }
    QToolButton *cmdRefresh() const { return cmdRefresh_; }
    QToolButton *cmdToolbox() const { return cmdToolbox_; }
    QToolButton *cmdStart() const { return cmdStart_; }
    QToolButton *cmdInfo() const { return cmdInfo_; }
    SplitterControl *ctlSplitterHorizontal() const {
        return ctlSplitterHorizontal_;
    }
    SplitterControl *ctlSplitterVertical() const {
        return ctlSplitterVertical_;
    }
    FolderTreeControl *ctlFolderTree() const { return ctlFolderTree_; }
    QTreeWidget *lvwFileList() const { return lvwFileList_; }
    QTreeWidget *lvwTaskList() const { return lvwTaskList_; }
    QStatusBar *staStatusBar() const { return staStatusBar_; }
    const ImageList &ilsListView() const { return ilsListView_; }
    QMenu *mnuFileList() const { return mnuFileList_; }
    QAction *mnuFileListAdd() const { return mnuFileListAdd_; }
    QAction *mnuFileListAddAll() const { return mnuFileListAddAll_; }
    QMenu *mnuTaskList() const { return mnuTaskList_; }
    QAction *mnuTaskListModify() const { return mnuTaskListModify_; }
    QAction *mnuTaskListSeparator1() const { return mnuTaskListSeparator1_; }
    QAction *mnuTaskListDelete() const { return mnuTaskListDelete_; }
    QAction *mnuTaskListDeleteAll() const { return mnuTaskListDeleteAll_; }

    // The status bar's permanent text: the datum change conversions take.
    QLabel *lblTransformation() const { return lblTransformation_; }
    // Checks which datum change conversions take (modTransformation::Check)
    // and shows it in the status bar. Runs when the window first shows
    // (which also reports a grid that cannot be read), when the Toolbox
    // opens and when Start is pressed.
    const modTransformation::Transformation &CheckTransformation();

    // The window state as stored: 0 normal, 1 minimised, 2 maximised.
    int windowStateNumber() const;

    void setVisible(bool visible) override;

  signals:
    void Load();
    void Resize();
    void Activate();
    void QueryUnload();
    void Unload();
    void KeyPress(int keyAscii);

  protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

  private:
    void createToolBar();
    void createSplitters();
    void createLists();
    void createStatusBar();
    void createImageList();
    void createMenus();
    void setTabOrder();
    void placeAtDesignedBounds();

    void Form_Load();
    void Form_KeyPress(int keyAscii);
    void Form_Unload();
    void applyWindowStateNumber(int state);
    void
    showTransformation(const modTransformation::Transformation &transformation);

    // The key press last shown to the preview and the widget it was offered
    // to, to tell a key offered again to a parent from a new key press.
    const QEvent *offeredKey_ = nullptr;
    QPointer<QWidget> offeredTo_;

    QToolBar *tlbToolbar_ = nullptr;
    QToolButton *cmdRefresh_ = nullptr;
    QToolButton *cmdToolbox_ = nullptr;
    QToolButton *cmdStart_ = nullptr;
    QToolButton *cmdInfo_ = nullptr;
    SplitterControl *ctlSplitterHorizontal_ = nullptr;
    SplitterControl *ctlSplitterVertical_ = nullptr;
    FolderTreeControl *ctlFolderTree_ = nullptr;
    QTreeWidget *lvwFileList_ = nullptr;
    QTreeWidget *lvwTaskList_ = nullptr;
    QStatusBar *staStatusBar_ = nullptr;
    QLabel *lblTransformation_ = nullptr;
    ImageList ilsListView_;
    QMenu *mnuFileList_ = nullptr;
    QAction *mnuFileListAdd_ = nullptr;
    QAction *mnuFileListAddAll_ = nullptr;
    QMenu *mnuTaskList_ = nullptr;
    QAction *mnuTaskListModify_ = nullptr;
    QAction *mnuTaskListSeparator1_ = nullptr;
    QAction *mnuTaskListDelete_ = nullptr;
    QAction *mnuTaskListDeleteAll_ = nullptr;

    bool loaded_ = false;
    bool unloaded_ = false;
};

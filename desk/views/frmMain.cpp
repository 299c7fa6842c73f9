#include "frmMain.h"

#include "DeskMessages.h"
#include "DeskPictures.h"
#include "FailureNumbers.h"
#include "FolderTreeControl.h"
#include "SplitterControl.h"
#include "Twips.h"
#include "clsUserSettings.h"
#include "modTransformation.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace {
constexpr double kToolbarHeight = 600;   // twips
constexpr double kStatusBarHeight = 375; // twips
constexpr double kButtonTop = 120;       // twips
constexpr double kButtonSize = 375;      // twips
// Left edges of Refresh, Toolbox, Start and Info, twips.
constexpr double kButtonLefts[] = {120, 480, 960, 1440};
constexpr int kEscape = 27;
// The tool bar buttons' keys: the standard ones for reading again and for
// help, Ctrl+, as for settings, Ctrl+Enter to start the run.
const QKeySequence kRefreshKey(Qt::Key_F5);
const QKeySequence kToolboxKey(Qt::CTRL | Qt::Key_Comma);
const QKeySequence kStartKey(Qt::CTRL | Qt::Key_Return);
const QKeySequence kInfoKey(Qt::Key_F1);

enum WindowStateNumber { kNormal = 0, kMinimised = 1, kMaximised = 2 };

// A tool bar button: its picture, its name (the tool tip, with the
// shortcut, and what a screen reader says), what it does and its key.
QToolButton *makePictureButton(QWidget *strip, const QString &objectName,
                               const QPixmap &picture, const QString &name,
                               const QString &description,
                               const QKeySequence &shortcut, double left) {
    auto *button = new QToolButton(strip);
    button->setObjectName(objectName);
    button->setIcon(QIcon(picture));
    button->setIconSize(picture.size());
    button->setShortcut(shortcut);
    button->setToolTip(QStringLiteral("%1 (%2)").arg(
        name, shortcut.toString(QKeySequence::NativeText)));
    button->setAccessibleName(name);
    button->setAccessibleDescription(description);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setFocusPolicy(Qt::TabFocus);
    button->setGeometry(twipsToPixels(left), twipsToPixels(kButtonTop),
                        twipsToPixels(kButtonSize), twipsToPixels(kButtonSize));
    return button;
}

QTreeWidget *makeListView(const QString &objectName, const QString &name,
                          const QString &description) {
    auto *list = new QTreeWidget;
    list->setObjectName(objectName);
    list->setAccessibleName(name);
    list->setAccessibleDescription(description);
    list->setColumnCount(0);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    return list;
}

// A menu item; a key that does the same in the list shows beside it.
QAction *makeMenuItem(QMenu *menu, const QString &name, const QString &text,
                      const QKeySequence &key = {}) {
    QAction *item = menu->addAction(
        key.isEmpty() ? text
                      : text + u'\t' + key.toString(QKeySequence::NativeText));
    item->setObjectName(name);
    return item;
}
} // namespace

frmMain::frmMain(QWidget *parent) : QMainWindow(parent) {
    // Form_Initialize: the controls.
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("KavroDesk"));
    setWindowIcon(QIcon(DeskPictures::start()));
    createToolBar();
    createSplitters();
    createLists();
    createStatusBar();
    createImageList();
    createMenus();
    setTabOrder();
    placeAtDesignedBounds();
    qApp->installEventFilter(this);
}

frmMain::~frmMain() {
    // Form_Terminate
    qApp->removeEventFilter(this);
}

void frmMain::createToolBar() {
    tlbToolbar_ = new QToolBar(this);
    tlbToolbar_->setObjectName(QStringLiteral("tlbToolbar"));
    tlbToolbar_->setMovable(false);
    tlbToolbar_->setFloatable(false);
    tlbToolbar_->toggleViewAction()->setVisible(false);
    tlbToolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
    tlbToolbar_->setContentsMargins(0, 0, 0, 0);
    tlbToolbar_->layout()->setContentsMargins(0, 0, 0, 0);
    tlbToolbar_->layout()->setSpacing(0);
    tlbToolbar_->setFixedHeight(twipsToPixels(kToolbarHeight));
    tlbToolbar_->setWindowTitle(tr("Tool bar"));
    tlbToolbar_->setAccessibleName(tr("Tool bar"));
    addToolBar(Qt::TopToolBarArea, tlbToolbar_);

    // The buttons keep their designed places on a strip across the bar.
    auto *strip = new QWidget;
    strip->setFixedHeight(twipsToPixels(kToolbarHeight));
    strip->setMinimumWidth(
        twipsToPixels(kButtonLefts[3] + kButtonSize + kButtonTop));
    strip->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    tlbToolbar_->addWidget(strip);
    cmdRefresh_ = makePictureButton(
        strip, QStringLiteral("cmdRefresh"), DeskPictures::refresh(),
        tr("Refresh"), tr("Reads the folder tree and the file list again."),
        kRefreshKey, kButtonLefts[0]);
    cmdToolbox_ = makePictureButton(
        strip, QStringLiteral("cmdToolbox"), DeskPictures::toolbox(),
        tr("Toolbox"),
        tr("Sets the output folder, the file name suffix and the language."),
        kToolboxKey, kButtonLefts[1]);
    cmdStart_ = makePictureButton(
        strip, QStringLiteral("cmdStart"), DeskPictures::start(), tr("Start"),
        tr("Checks every task of the task list and converts them."), kStartKey,
        kButtonLefts[2]);
    cmdInfo_ = makePictureButton(
        strip, QStringLiteral("cmdInfo"), DeskPictures::info(), tr("Info"),
        tr("Shows who made KavroDesk and opens the user's guides."), kInfoKey,
        kButtonLefts[3]);
}

void frmMain::createSplitters() {
    // The client area holds the outer splitter only; it is placed by its
    // docking and sized by the splitter layout (clsControlSplitter), so the
    // window keeps no minimum size of its own.
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    ctlSplitterHorizontal_ = new SplitterControl(client);
    ctlSplitterHorizontal_->setObjectName(
        QStringLiteral("ctlSplitterHorizontal"));
    ctlSplitterHorizontal_->setAccessibleName(
        tr("Splitter between the files and the tasks"));
    ctlSplitterHorizontal_->move(0, 0);
    ctlSplitterVertical_ = new SplitterControl(client);
    ctlSplitterVertical_->setObjectName(QStringLiteral("ctlSplitterVertical"));
    ctlSplitterVertical_->setAccessibleName(
        tr("Splitter between the folders and the files"));
    ctlSplitterVertical_->hide();
    ctlFolderTree_ = new FolderTreeControl(client);
    ctlFolderTree_->setObjectName(QStringLiteral("ctlFolderTree"));
    ctlFolderTree_->setAccessibleName(tr("Folder tree"));
    ctlFolderTree_->setAccessibleDescription(
        tr("The folders of this computer. The file list shows the "
           "shapefiles, GeoPackages and point lists of the selected folder."));
    ctlFolderTree_->hide();
}

void frmMain::createLists() {
    lvwFileList_ = makeListView(
        QStringLiteral("lvwFileList"), tr("File list"),
        tr("The shapefiles, GeoPackages and point lists of the selected "
           "folder. Enter adds the selected "
           "file to the task list; the menu key or Shift+F10 opens the "
           "menu with Add and Add All."));
    lvwFileList_->setParent(centralWidget());
    lvwFileList_->hide();
    lvwTaskList_ = makeListView(
        QStringLiteral("lvwTaskList"), tr("Task list"),
        tr("The files to convert. Enter changes the output file of the "
           "selected task and Delete removes it; the menu key or Shift+F10 "
           "opens the menu."));
    lvwTaskList_->setParent(centralWidget());
    lvwTaskList_->hide();
}

void frmMain::createStatusBar() {
    staStatusBar_ = new QStatusBar(this);
    staStatusBar_->setObjectName(QStringLiteral("staStatusBar"));
    staStatusBar_->setAccessibleName(tr("Status bar"));
    staStatusBar_->setFixedHeight(twipsToPixels(kStatusBarHeight));
    setStatusBar(staStatusBar_);
    // Permanent, at the right: the listing's messages do not cover it.
    lblTransformation_ = new QLabel(staStatusBar_);
    lblTransformation_->setObjectName(QStringLiteral("lblTransformation"));
    lblTransformation_->setAccessibleName(tr("Datum transformation"));
    lblTransformation_->setTextFormat(Qt::PlainText);
    // Its text must not widen the window: a narrow window cuts it off (the
    // tool tip has the details).
    lblTransformation_->setMinimumWidth(1);
    staStatusBar_->addPermanentWidget(lblTransformation_);
}

const modTransformation::Transformation &frmMain::CheckTransformation() {
    showTransformation(modTransformation::Check());
    return modTransformation::Current();
}

void frmMain::showTransformation(
    const modTransformation::Transformation &transformation) {
    lblTransformation_->setText(transformation.statusText());
    lblTransformation_->setToolTip(transformation.detailText());
}

void frmMain::createImageList() {
    ilsListView_.add(QIcon(DeskPictures::document()));
    ilsListView_.add(QIcon(DeskPictures::documentChecked()));
    ilsListView_.add(QIcon(DeskPictures::documentWindow()));
}

void frmMain::createMenus() {
    // The keys beside the items are those the lists take (the context
    // menus' controllers handle them).
    mnuFileList_ = new QMenu(tr("File list"), this);
    mnuFileList_->setObjectName(QStringLiteral("mnuFileList"));
    mnuFileList_->setAccessibleName(mnuFileList_->title());
    mnuFileListAdd_ =
        makeMenuItem(mnuFileList_, QStringLiteral("mnuFileListAdd"), tr("&Add"),
                     QKeySequence(Qt::Key_Return));
    mnuFileListAddAll_ = makeMenuItem(
        mnuFileList_, QStringLiteral("mnuFileListAddAll"), tr("Add A&ll"));

    mnuTaskList_ = new QMenu(tr("Task list"), this);
    mnuTaskList_->setObjectName(QStringLiteral("mnuTaskList"));
    mnuTaskList_->setAccessibleName(mnuTaskList_->title());
    mnuTaskListModify_ =
        makeMenuItem(mnuTaskList_, QStringLiteral("mnuTaskListModify"),
                     tr("&Modify"), QKeySequence(Qt::Key_Return));
    mnuTaskListSeparator1_ = mnuTaskList_->addSeparator();
    mnuTaskListSeparator1_->setObjectName(
        QStringLiteral("mnuTaskListSeparator1"));
    mnuTaskListDelete_ =
        makeMenuItem(mnuTaskList_, QStringLiteral("mnuTaskListDelete"),
                     tr("&Delete"), QKeySequence(Qt::Key_Delete));
    mnuTaskListDeleteAll_ =
        makeMenuItem(mnuTaskList_, QStringLiteral("mnuTaskListDeleteAll"),
                     tr("Delete &All"));
}

void frmMain::setTabOrder() {
    QWidget::setTabOrder(cmdRefresh_, cmdToolbox_);
    QWidget::setTabOrder(cmdToolbox_, cmdStart_);
    QWidget::setTabOrder(cmdStart_, cmdInfo_);
    QWidget::setTabOrder(cmdInfo_, ctlFolderTree_);
    QWidget::setTabOrder(ctlFolderTree_, lvwFileList_);
    QWidget::setTabOrder(lvwFileList_, lvwTaskList_);
}

void frmMain::placeAtDesignedBounds() {
    // The designed size, centred on the screen: the bounds that a first
    // start keeps.
    const QSize size(twipsToPixels(kDesignWidth), twipsToPixels(kDesignHeight));
    QRect bounds(QPoint(0, 0), size);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        bounds.moveCenter(screen->availableGeometry().center());
    setGeometry(bounds);
}

int frmMain::windowStateNumber() const {
    if (isMinimized())
        return kMinimised;
    if (isMaximized())
        return kMaximised;
    return kNormal;
}

void frmMain::applyWindowStateNumber(int state) {
    const Qt::WindowStates others =
        windowState() &
        ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    switch (state) {
    case kNormal:
        setWindowState(others);
        break;
    case kMinimised:
        setWindowState(others | Qt::WindowMinimized);
        break;
    case kMaximised:
        setWindowState(others | Qt::WindowMaximized);
        break;
    default:
        throw DeskFailure(FailureNumbers::kInvalidPropertyValue,
                          tr("Invalid property value: the window state %1 is "
                             "none of 0, 1 and 2")
                              .arg(state));
    }
}

void frmMain::setVisible(bool visible) {
    const bool first = visible && !loaded_;
    if (first) {
        loaded_ = true;
        Form_Load();
        emit Load();
        guard(QString(), [&] { CheckTransformation(); });
    }
    QMainWindow::setVisible(visible);
    if (!first)
        return;
    // A grid that cannot be read is said once the window shows, so that the
    // message has a window to stand on.
    QTimer::singleShot(0, this, [] {
        guard(QString(), [] {
            modTransformation::ReportUnreadable(modTransformation::Current());
        });
    });
}

void frmMain::Form_Load() {
    guard(QStringLiteral("frmMain.Form_Load"), [&] {
        using S = clsUserSettings;
        applyWindowStateNumber(
            S::readWholeNumber(S::kKeyFormWindowState, windowStateNumber()));
        QRect bounds = geometry();
        bounds.moveTop(twipsToPixels(
            S::readNumber(S::kKeyFormTop, pixelsToTwips(bounds.top()))));
        setGeometry(bounds);
        bounds.moveLeft(twipsToPixels(
            S::readNumber(S::kKeyFormLeft, pixelsToTwips(bounds.left()))));
        setGeometry(bounds);
        bounds.setWidth(twipsToPixels(
            S::readNumber(S::kKeyFormWidth, pixelsToTwips(bounds.width()))));
        setGeometry(bounds);
        bounds.setHeight(twipsToPixels(
            S::readNumber(S::kKeyFormHeight, pixelsToTwips(bounds.height()))));
        setGeometry(bounds);
    });
}

void frmMain::Form_KeyPress(int keyAscii) {
    guard(QStringLiteral("frmMain.Form_KeyPress"), [&] {
        if (keyAscii == kEscape)
            close();
    });
}

void frmMain::Form_Unload() {
    guard(QStringLiteral("frmMain.Form_Unload"), [&] {
        using S = clsUserSettings;
        // The normal-state bounds, taken before the state changes: the
        // window manager may take a while to give them back.
        QRect bounds = normalGeometry();
        if (!bounds.isValid())
            bounds = geometry();
        applyWindowStateNumber(kNormal);
        S::writeWholeNumber(S::kKeyFormWindowState, windowStateNumber());
        S::writeNumber(S::kKeyFormTop, pixelsToTwips(bounds.top()));
        S::writeNumber(S::kKeyFormLeft, pixelsToTwips(bounds.left()));
        S::writeNumber(S::kKeyFormWidth, pixelsToTwips(bounds.width()));
        S::writeNumber(S::kKeyFormHeight, pixelsToTwips(bounds.height()));
    });
}

bool frmMain::event(QEvent *event) {
    if (event->type() == QEvent::WindowActivate) {
        const bool handled = QMainWindow::event(event);
        emit Activate();
        return handled;
    }
    return QMainWindow::event(event);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event) {
    // A key that a control ignores is offered, as the same event, to each of
    // its parents in turn, and this filter sees every offer. An offer to the
    // parent of the widget offered the key before is not a new key press.
    // The release ends a key press: a later press may be built at the same
    // address.
    if (event->type() == QEvent::KeyRelease) {
        offeredKey_ = nullptr;
        offeredTo_ = nullptr;
    }
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->window() == this) {
        auto *widget = static_cast<QWidget *>(watched);
        const bool offeredAgain = event == offeredKey_ && offeredTo_ &&
                                  widget == offeredTo_->parentWidget();
        offeredKey_ = event;
        offeredTo_ = widget;
        if (offeredAgain)
            return QMainWindow::eventFilter(watched, event);
        const auto *key = static_cast<QKeyEvent *>(event);
        int keyAscii = 0;
        if (key->key() == Qt::Key_Escape)
            keyAscii = kEscape;
        else if (!key->text().isEmpty())
            keyAscii = key->text().at(0).unicode();
        if (keyAscii != 0) {
            emit KeyPress(keyAscii);
            Form_KeyPress(keyAscii);
            if (keyAscii == kEscape)
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    emit Resize();
}

void frmMain::closeEvent(QCloseEvent *event) {
    if (loaded_ && !unloaded_) {
        unloaded_ = true;
        emit QueryUnload();
        Form_Unload();
        emit Unload();
    }
    event->accept();
}

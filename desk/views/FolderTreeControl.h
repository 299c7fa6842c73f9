#pragma once

#include <QString>
#include <QTreeView>

class QFileSystemModel;

// The selected folder as the folder tree reports it.
struct FolderTreeFolder {
    QString path;           // as SelectFolder accepts it
    QString fileSystemPath; // as the file system names it
};

// A tree of the folders of the real file system (files are not shown).
//
// Fill builds the tree and raises Filled when done; filling a tree that is
// already filled changes nothing and raises nothing, so that the selection
// the user made stays when the window becomes active again. Clear empties
// the tree without raising SelectionChanged. SelectFolder expands to a
// folder and selects it; the empty path, a path that names no folder and a
// tree that is not filled keep the present selection. Every change of the
// selection, by the user or by SelectFolder, raises SelectionChanged once.
//
// Both paths of the selected folder are the same absolute path with "/" on
// this platform; they are kept apart because a tree may name folders in a
// way of its own (a desktop or drive node).
class FolderTreeControl : public QTreeView {
    Q_OBJECT
  public:
    // The tree's display options; set once at load.
    struct DisplayOptions {
        int indentationSteps = 1; // indentation, in multiples of the style's
        bool showHeader = false;
        bool showHiddenFolders = false;
        bool animated = false;
        bool expandOnDoubleClick = true;
        bool sorted = true;
    };

    explicit FolderTreeControl(QWidget *parent = nullptr);

    void setDisplayOptions(const DisplayOptions &options);
    const DisplayOptions &displayOptions() const { return options_; }

    void Fill();
    void Clear();
    bool isFilled() const { return model_ != nullptr; }
    void SelectFolder(const QString &path);
    FolderTreeFolder SelectedFolder() const;

  protected:
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  signals:
    void Filled();
    void SelectionChanged();

  private:
    void applyFilter();
    void keepSelectionInView();

    QFileSystemModel *model_ = nullptr;
    DisplayOptions options_;
    int baseIndentation_;
    // The folder that SelectFolder chose, kept in view while the model lists
    // and sorts the folders around it (rows that arrive later would push it
    // out of view), until the user scrolls, clicks or types in the tree.
    QString folderToKeepInView_;
    bool scrollPending_ = false;
};

#pragma once

#include <QDialog>
#include <QObject>
#include <QString>

class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class QWidget;

// The folder browser of the Toolbox: a modal folder dialog with a title, a
// prompt above the folder tree and a starting folder. While the dialog is
// open every change of the selected folder is reported through
// SelectionChanged; BrowseForFolder says whether the user chose a folder.
class BrowseFF : public QObject {
    Q_OBJECT
  public:
    explicit BrowseFF(QObject *parent = nullptr) : QObject(parent) {}

    void setTitle(const QString &title) { title_ = title; }
    void setPrompt(const QString &prompt) { prompt_ = prompt; }
    // A starting folder that is empty or does not exist starts the dialog
    // in the user's home folder.
    void setStartFolder(const QString &folder) { startFolder_ = folder; }
    const QString &title() const { return title_; }
    const QString &prompt() const { return prompt_; }
    const QString &startFolder() const { return startFolder_; }

    // Shows the dialog modally over parent; true when it was left with OK.
    bool BrowseForFolder(QWidget *parent);

  signals:
    void SelectionChanged(const QString &path);

  private:
    QString title_;
    QString prompt_;
    QString startFolder_;
};

// The dialog that BrowseFF shows. Public so that tests can find its parts
// through QApplication::activeModalWidget().
class BrowseFFDialog : public QDialog {
    Q_OBJECT
  public:
    BrowseFFDialog(const QString &title, const QString &prompt,
                   const QString &startFolder, QWidget *parent);

    QTreeView *folderTree() const { return tree_; }
    QLineEdit *folderPath() const { return path_; }
    // Selects a folder as a click in the tree would; false when it is not
    // an existing folder.
    bool selectFolder(const QString &path);
    QString selectedFolder() const;

  signals:
    void SelectionChanged(const QString &path);

  private:
    void currentFolderChanged();

    QLabel *prompt_ = nullptr;
    QFileSystemModel *model_ = nullptr;
    QTreeView *tree_ = nullptr;
    QLineEdit *path_ = nullptr;
    QPushButton *ok_ = nullptr;
};

#include "BrowseFF.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

bool BrowseFF::BrowseForFolder(QWidget *parent) {
    BrowseFFDialog dialog(title_, prompt_, startFolder_, parent);
    connect(&dialog, &BrowseFFDialog::SelectionChanged, this,
            &BrowseFF::SelectionChanged);
    // The start folder is the first selection; the owner learns it like any
    // other, so OK right away chooses the start folder.
    const QString first = dialog.selectedFolder();
    if (!first.isEmpty())
        emit SelectionChanged(first);
    return dialog.exec() == QDialog::Accepted;
}

BrowseFFDialog::BrowseFFDialog(const QString &title, const QString &prompt,
                               const QString &startFolder, QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(title);
    setModal(true);

    prompt_ = new QLabel(prompt, this);
    prompt_->setWordWrap(true);

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(true);
    model_->setRootPath(QDir::rootPath());

    tree_ = new QTreeView(this);
    tree_->setModel(model_);
    tree_->setHeaderHidden(true);
    for (int column = 1; column < model_->columnCount(); ++column)
        tree_->hideColumn(column);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setAccessibleName(tr("Folders"));
    tree_->setAccessibleDescription(prompt);
    prompt_->setBuddy(tree_);

    path_ = new QLineEdit(this);
    path_->setReadOnly(true);
    path_->setAccessibleName(tr("Chosen folder"));

    auto *buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setDefault(true);
    ok_->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(tree_, 1);
    layout->addWidget(path_);
    layout->addWidget(buttons);
    resize(420, 460);

    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &BrowseFFDialog::currentFolderChanged);
    // The model lists folders in the background: once the folder that
    // holds the selection is listed, bring the selection into view again.
    connect(model_, &QFileSystemModel::directoryLoaded, this,
            [this](const QString &folder) {
                const QModelIndex current = tree_->currentIndex();
                if (current.isValid() &&
                    model_->filePath(current.parent()) == folder)
                    tree_->scrollTo(current,
                                    QAbstractItemView::PositionAtCenter);
            });

    if (!selectFolder(startFolder))
        selectFolder(QDir::homePath());
}

bool BrowseFFDialog::selectFolder(const QString &path) {
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return false;
    const QModelIndex index =
        model_->index(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (!index.isValid())
        return false;
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index);
    return true;
}

QString BrowseFFDialog::selectedFolder() const {
    const QModelIndex index = tree_->currentIndex();
    return index.isValid() ? model_->filePath(index) : QString();
}

void BrowseFFDialog::currentFolderChanged() {
    const QString folder = selectedFolder();
    path_->setText(QDir::toNativeSeparators(folder));
    ok_->setEnabled(!folder.isEmpty());
    if (!folder.isEmpty())
        emit SelectionChanged(folder);
}

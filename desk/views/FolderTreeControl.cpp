#include "FolderTreeControl.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>

FolderTreeControl::FolderTreeControl(QWidget *parent)
    : QTreeView(parent), baseIndentation_(indentation()) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    setDisplayOptions(options_);
}

void FolderTreeControl::setDisplayOptions(const DisplayOptions &options) {
    options_ = options;
    setIndentation(baseIndentation_ * std::max(1, options.indentationSteps));
    setHeaderHidden(!options.showHeader);
    setAnimated(options.animated);
    setExpandsOnDoubleClick(options.expandOnDoubleClick);
    setSortingEnabled(options.sorted);
    if (options.sorted)
        sortByColumn(0, Qt::AscendingOrder);
    applyFilter();
}

void FolderTreeControl::applyFilter() {
    if (!model_)
        return;
    QDir::Filters filter = QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot;
    if (options_.showHiddenFolders)
        filter |= QDir::Hidden;
    model_->setFilter(filter);
}

void FolderTreeControl::Fill() {
    if (model_)
        return;
    model_ = new QFileSystemModel(this);
    model_->setReadOnly(true);
    applyFilter();
    model_->setRootPath(QDir::rootPath());
    setModel(model_);
    // Name only: size, kind and date say nothing about a folder here.
    for (int column = 1; column < model_->columnCount(); ++column)
        hideColumn(column);
    if (options_.sorted)
        sortByColumn(0, Qt::AscendingOrder);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FolderTreeControl::SelectionChanged);
    emit Filled();
}

void FolderTreeControl::Clear() {
    if (!model_)
        return;
    QFileSystemModel *model = model_;
    model_ = nullptr;
    QItemSelectionModel *selection = selectionModel();
    if (selection)
        disconnect(selection, nullptr, this, nullptr);
    setModel(nullptr);
    delete selection;
    delete model;
}

void FolderTreeControl::SelectFolder(const QString &path) {
    if (!model_ || path.isEmpty())
        return;
    const QFileInfo folder(path);
    if (!folder.isDir())
        return;
    const QModelIndex index =
        model_->index(QDir::cleanPath(folder.absoluteFilePath()));
    if (!index.isValid() || index == currentIndex())
        return;
    for (QModelIndex parent = index.parent(); parent.isValid();
         parent = parent.parent())
        expand(parent);
    setCurrentIndex(index);
    scrollTo(index);
}

FolderTreeFolder FolderTreeControl::SelectedFolder() const {
    if (!model_ || !currentIndex().isValid())
        return {};
    const QString path = model_->filePath(currentIndex());
    return {path, QDir::toNativeSeparators(path)};
}

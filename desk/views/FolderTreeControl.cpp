#include "FolderTreeControl.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>

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
    connect(model_, &QAbstractItemModel::rowsInserted, this,
            &FolderTreeControl::keepSelectionInView);
    connect(model_, &QAbstractItemModel::layoutChanged, this,
            &FolderTreeControl::keepSelectionInView);
    connect(verticalScrollBar(), &QScrollBar::sliderPressed, this,
            [this] { folderToKeepInView_.clear(); });
    emit Filled();
}

void FolderTreeControl::Clear() {
    if (!model_)
        return;
    QFileSystemModel *model = model_;
    model_ = nullptr;
    folderToKeepInView_.clear();
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
    folderToKeepInView_ = model_->filePath(index);
}

void FolderTreeControl::keepSelectionInView() {
    if (folderToKeepInView_.isEmpty() || !model_ || scrollPending_)
        return;
    if (model_->filePath(currentIndex()) != folderToKeepInView_) {
        folderToKeepInView_.clear(); // another folder was chosen
        return;
    }
    // Once, after the model has finished the change at hand (it sorts a
    // listing just after reporting it).
    scrollPending_ = true;
    QTimer::singleShot(0, this, [this] {
        scrollPending_ = false;
        if (!folderToKeepInView_.isEmpty() && currentIndex().isValid())
            scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
    });
}

bool FolderTreeControl::viewportEvent(QEvent *event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
        folderToKeepInView_.clear(); // the user takes over
        break;
    default:
        break;
    }
    return QTreeView::viewportEvent(event);
}

void FolderTreeControl::keyPressEvent(QKeyEvent *event) {
    folderToKeepInView_.clear();
    QTreeView::keyPressEvent(event);
}

FolderTreeFolder FolderTreeControl::SelectedFolder() const {
    if (!model_ || !currentIndex().isValid())
        return {};
    const QString path = model_->filePath(currentIndex());
    return {path, QDir::toNativeSeparators(path)};
}

#include "clsContextMenuFileList.h"

#include "DeskMessages.h"
#include "ShapeType.h"
#include "adoFileList.h"
#include "adoTaskList.h"
#include "clsControlFileList.h"
#include "clsControlTaskList.h"
#include "clsUserSettings.h"
#include "frmMain.h"
#include "modFileNames.h"
#include "modVarious.h"

#include <QAction>
#include <QStatusBar>
#include <QTreeWidget>

namespace {
// folder + "/" + name, without doubling a separator that the folder ends in
// (an output folder given as "/data/out/" or the root "/").
QString joinPath(const QString &folder, const QString &name) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}
} // namespace

clsContextMenuFileList::clsContextMenuFileList(frmMain &window,
                                               const clsUserSettings &settings,
                                               adoFileList &files,
                                               adoTaskList &tasks,
                                               clsControlFileList &fileView,
                                               clsControlTaskList &taskView)
    : ListContextMenu(window.lvwFileList(), window.mnuFileList(),
                      {window.mnuFileListAdd(), window.mnuFileListAddAll()}),
      m_lvwFileList(window.lvwFileList()), m_frmMain(&window),
      m_mnuFileListAdd(window.mnuFileListAdd()),
      m_mnuFileListAddAll(window.mnuFileListAddAll()), fileView_(fileView),
      files_(files), taskView_(taskView), tasks_(tasks), settings_(settings) {
    connect(m_mnuFileListAdd, &QAction::triggered, this,
            &clsContextMenuFileList::m_mnuFileListAdd_Click);
    connect(m_mnuFileListAddAll, &QAction::triggered, this,
            &clsContextMenuFileList::m_mnuFileListAddAll_Click);
}

void clsContextMenuFileList::m_lvwFileList_MouseUp(Qt::MouseButton button,
                                                   Qt::KeyboardModifiers,
                                                   QPoint position) {
    guard(QString(), [&] { enableItemsAndPopUp(button, position); });
}

void clsContextMenuFileList::m_lvwFileList_DblClick() {
    guard(QString(), [&] {
        // A double click beside the rows with none selected adds nothing.
        if (m_lvwFileList->topLevelItemCount() == 0 ||
            m_lvwFileList->selectedItems().isEmpty())
            return;
        addSelectedFile();
    });
}

bool clsContextMenuFileList::m_lvwFileList_KeyDown(
    int keyCode, Qt::KeyboardModifiers shift) {
    if ((keyCode != Qt::Key_Return && keyCode != Qt::Key_Enter) ||
        (shift & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    guard(QString(), [&] {
        if (selectCurrentRow())
            addSelectedFile();
    });
    return true;
}

void clsContextMenuFileList::m_mnuFileListAdd_Click() {
    guard(QString(), [&] { addSelectedFile(); });
}

void clsContextMenuFileList::addSelectedFile() {
    QStringList notAdded;
    if (files_.MoveTo(fileView_.KeyValue()))
        addCurrentFile(notAdded);
    reportNotAdded(notAdded);
}

void clsContextMenuFileList::m_mnuFileListAddAll_Click() {
    guard(QString(), [&] {
        QStringList notAdded;
        RecordSet &table = files_.Recordset();
        for (table.moveFirst(); !table.atEnd(); table.moveNext())
            guard(QString(), [&] { addCurrentFile(notAdded); }); // one file
        reportNotAdded(notAdded);
    });
}

void clsContextMenuFileList::reportNotAdded(const QStringList &notAdded) {
    if (notAdded.isEmpty() || !m_frmMain)
        return;
    m_frmMain->staStatusBar()->showMessage(
        tr("Not added: %1").arg(modFileNames::ShownNameList(notAdded)));
}

QString clsContextMenuFileList::outputFileName(const QString &inputPath,
                                               const QString &fileName,
                                               const QString &outputFolder,
                                               const QString &outputSuffix) {
    const QString folder = outputFolder.isEmpty()
                               ? modVarious::GetParentFolder(inputPath)
                               : outputFolder;
    if (folder.isEmpty())
        return QString();
    if (outputSuffix.isEmpty())
        return joinPath(folder, fileName);
    const QString baseName = modVarious::GetFileBaseName(inputPath);
    const QString extension = modVarious::GetFileExtension(inputPath);
    if (baseName.isEmpty() || extension.isEmpty())
        return QString();
    return joinPath(folder,
                    baseName + outputSuffix + QLatin1Char('.') + extension);
}

void clsContextMenuFileList::addCurrentFile(QStringList &notAdded) {
    const int shapeType = files_.ShapeType();
    if (!IsConvertible(shapeType)) {
        // Already UTM or unknown: not a task. Only a known reason is told.
        const QString note = files_.Note();
        if (!note.isEmpty())
            notAdded.append(
                QStringLiteral("%1 (%2)").arg(files_.FileName(), note));
        return;
    }
    const QString input = files_.FilePath();
    const QString output =
        outputFileName(input, files_.FileName(), settings_.OutputFolder(),
                       settings_.OutputSuffix());
    if (output.isEmpty())
        return; // the failing part was reported by the helper
    if (tasks_.Update(0, input, output, QString(), shapeType))
        taskView_.ShowCurrentRecord(); // else reported by the store
}

#include "frmTaskListModify.h"

#include "DeskMessages.h"
#include "DialogKeys.h"
#include "ExitOkButtons.h"
#include "FileKind.h"
#include "adoTaskList.h"
#include "clsControlTaskList.h"
#include "clsUserSettings.h"
#include "modFileNames.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {
// The file dialog of Browse. A name is accepted when its folder exists and
// either the file exists or the user confirms that it is to be created; the
// dialog stays open otherwise, as the user expects of a file dialog.
class OutputFileDialog final : public QFileDialog {
  public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList files = selectedFiles();
        if (files.isEmpty())
            return;
        const QFileInfo picked(files.first());
        if (picked.isDir()) { // a folder typed into the name: open it
            QFileDialog::accept();
            return;
        }
        if (!picked.dir().exists()) {
            showMessage(frmTaskListModify::tr("The folder %1 does not exist.\n"
                                              "Check the path and try again.")
                            .arg(picked.absolutePath()),
                        windowTitle(), MessageIcon::Exclamation);
            return;
        }
        if (!picked.exists() &&
            showMessage(frmTaskListModify::tr("The file %1 does not exist.\n"
                                              "Do you want to create it?")
                            .arg(picked.absoluteFilePath()),
                        windowTitle(), MessageIcon::Question,
                        MessageButtons::YesNo) != MessageAnswer::Yes)
            return;
        QFileDialog::accept();
    }
};
} // namespace

frmTaskListModify::frmTaskListModify(clsControlTaskList &taskView,
                                     adoTaskList &tasks, QWidget *parent)
    : QDialog(parent), taskView_(taskView), tasks_(tasks) {
    setWindowTitle(tr("Modify"));
    setModal(true);

    lblInputFile_ = new QLabel(tr("Inputfile (Gauss-Boaga):"));
    txtInputFile_ = new QLineEdit;
    txtInputFile_->setEnabled(false);
    txtInputFile_->setAccessibleName(tr("Input file (Gauss-Boaga)"));
    txtInputFile_->setAccessibleDescription(
        tr("The file to convert; it cannot be changed here."));
    lblInputFile_->setBuddy(txtInputFile_);
    lblOutputFile_ = new QLabel(tr("&Outputfile (UTM WGS84-ETRS89):"));
    txtOutputFile_ = new QLineEdit;
    txtOutputFile_->setAccessibleName(tr("Output file (UTM WGS84-ETRS89)"));
    txtOutputFile_->setAccessibleDescription(
        tr("The file to write, of the input's kind; it is checked when the run "
           "starts."));
    lblOutputFile_->setBuddy(txtOutputFile_);
    cmdBrowse_ = new QPushButton(tr("&Browse ..."));
    cmdBrowse_->setAutoDefault(false);
    cmdBrowse_->setAccessibleDescription(
        tr("Chooses the output file in a file dialog."));

    const ExitOkButtons buttons = makeExitOkButtons();
    cmdExit_ = buttons.exit;
    cmdOK_ = buttons.ok;
    cmdExit_->setAccessibleDescription(
        tr("Closes the dialog and keeps the task as it was."));
    cmdOK_->setAccessibleDescription(tr("Takes the output file."));
    staStatusBar_ = new QStatusBar;
    staStatusBar_->setSizeGripEnabled(false);
    staStatusBar_->setAccessibleName(tr("Status bar"));

    auto *outputRow = new QHBoxLayout;
    outputRow->addWidget(txtOutputFile_, 1);
    outputRow->addWidget(cmdBrowse_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblInputFile_);
    layout->addWidget(txtInputFile_);
    layout->addSpacing(6);
    layout->addWidget(lblOutputFile_);
    layout->addLayout(outputRow);
    layout->addSpacing(12);
    layout->addLayout(buttons.row);
    layout->addWidget(staStatusBar_);
    layout->setContentsMargins(9, 9, 9, 0);
    resize(560, sizeHint().height());

    connect(cmdBrowse_, &QPushButton::clicked, this,
            &frmTaskListModify::cmdBrowse_Click);
    connect(cmdOK_, &QPushButton::clicked, this,
            &frmTaskListModify::cmdOK_Click);
    connect(cmdExit_, &QPushButton::clicked, this,
            &frmTaskListModify::cmdExit_Click);
    new DialogKeys(*this);

    Form_Load();
}

frmTaskListModify::~frmTaskListModify() = default;

void frmTaskListModify::Form_Load() {
    guard(QStringLiteral("frmTaskListModify.Form_Load"), [&] {
        if (!tasks_.MoveTo(taskView_.KeyValue()))
            return;
        storedInputFile_ = tasks_.InputFile();
        storedOutputFile_ = tasks_.OutputFile();
        txtInputFile_->setText(modFileNames::ShownName(storedInputFile_));
        txtOutputFile_->setText(modFileNames::ShownName(storedOutputFile_));
        txtOutputFile_->setSelection(0, txtOutputFile_->text().size());
        txtOutputFile_->setFocus();
    });
}

void frmTaskListModify::cmdBrowse_Click() {
    guard(QStringLiteral("frmTaskListModify.cmdOutputFileBrowse_Click"), [&] {
        OutputFileDialog dialog(this, tr("OutputFile ..."));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        // A stored folder that has gone since (or an empty one) would leave
        // the dialog wherever Qt chooses: start in the default instead.
        QString startFolder = clsUserSettings::readText(
            clsUserSettings::kKeyOutputFileInitDir,
            clsUserSettings::defaultOutputFileInitDir());
        if (!QFileInfo(startFolder).isDir())
            startFolder = clsUserSettings::defaultOutputFileInitDir();
        dialog.setDirectory(startFolder);
        // The filter names are the design's, German in the English window
        // too; the translations name the shapefiles as what they are. The
        // output is of the input's kind.
        //: The filter of every file, in the file dialog of Browse.
        const QString everyFile = tr("Alle Dateien (*.*)");
        //: The shapefile filter (the design calls them text files).
        const QString shapefiles = tr("Textdateien (*.shp)");
        const FileKind kind = FileKindOf(storedInputFile_);
        const QString filter =
            kind == FileKind::GeoPackage  ? tr("GeoPackages (*.gpkg)")
            : kind == FileKind::PointList ? tr("Point lists (*.csv)")
                                          : shapefiles;
        dialog.setNameFilters({everyFile, filter});
        dialog.selectNameFilter(filter);
        dialog.setDefaultSuffix(kind == FileKind::None ? QStringLiteral("shp")
                                                       : KindExtension(kind));
        if (dialog.exec() != QDialog::Accepted)
            return; // cancelled: nothing changes
        const QStringList files = dialog.selectedFiles();
        if (files.isEmpty() || files.first().isEmpty())
            return;
        const QString picked = files.first();
        txtOutputFile_->setText(picked);
        // The text before the last "/"; a file in the root folder keeps
        // "/", which the empty text before it would lose.
        const qsizetype slash = picked.lastIndexOf(QLatin1Char('/'));
        clsUserSettings::writeText(clsUserSettings::kKeyOutputFileInitDir,
                                   slash == 0 ? QStringLiteral("/")
                                              : picked.left(slash));
    });
}

void frmTaskListModify::cmdOK_Click() {
    guard(QStringLiteral("frmTaskListModify.cmdOK_Click"), [&] {
        const int id = taskView_.KeyValue();
        if (tasks_.MoveTo(id)) {
            // A change that the store refuses (a name longer than it holds)
            // was reported; the dialog stays open so that the typed name
            // is not lost.
            const auto typed = [](const QLineEdit *field,
                                  const QString &stored) {
                return field->text() == modFileNames::ShownName(stored)
                           ? stored
                           : field->text();
            };
            if (!tasks_.Update(id, typed(txtInputFile_, storedInputFile_),
                               typed(txtOutputFile_, storedOutputFile_),
                               tasks_.Comment(), tasks_.ShapeType()))
                return;
            taskView_.ShowCurrentRecord();
        }
        accept();
    });
}

void frmTaskListModify::cmdExit_Click() {
    guard(QStringLiteral("frmTaskListModify.cmdExit_Click"), [&] { reject(); });
}

#include "frmCommandStart.h"

#include "DeskMessages.h"
#include "FileKind.h"
#include "PathSafety.h"
#include "adoTaskList.h"
#include "clsControlTaskList.h"
#include "modKAVRO.h"
#include "modVarious.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include <set>
#include <string>

namespace {
constexpr int kTimerInterval = 1; // milliseconds

// Whether the path's last extension is "shp", in any letter case.
bool hasShpExtension(const NativePath &path) {
    return path.lastExtension().compare("shp", Qt::CaseInsensitive) == 0;
}

// The shapefile the engine writes for an output path: it keeps the name up
// to the extension and always appends the lower-case "shp", so "x.SHP"
// writes "x.shp". Outputs with another extension (GeoPackages and point
// lists, which the engine writes under the name given, and outputs refused
// before any run) stand for themselves.
NativePath writtenShape(const NativePath &path) {
    return hasShpExtension(path) ? path.companion(".shp") : path;
}

// Two tasks name the same output when the files the engine writes for them
// are one file by the engine's same-file rule (normalPath: absolute, clean,
// links of the folders followed).
std::string outputKey(const NativePath &path) {
    const std::string written = writtenShape(path).string();
    const std::string normal = normalPath(written);
    return normal.empty() ? written : normal;
}
} // namespace

frmCommandStart::frmCommandStart(adoTaskList &tasks,
                                 clsControlTaskList &taskView, QWidget *parent,
                                 ReasonedConverter convert)
    : QDialog(parent), tasks_(tasks), taskView_(taskView),
      convert_(std::move(convert)) {
    if (!convert_)
        convert_ = [](const NativePath &input, const NativePath &output,
                      int shapeType, QString &reason) {
            return modKAVRO::ConvertShape(input, output, shapeType, &reason);
        };
    createControls();
}

void frmCommandStart::createControls() {
    setWindowTitle(tr("Please wait ..."));
    setModal(true);
    // No close box: the window closes itself when the run has ended.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    lblInfo_ = new QLabel(this);
    lblInfo_->setAccessibleName(tr("Files being converted"));
    lblInfo_->setTextFormat(Qt::PlainText);
    lblInfo_->setWordWrap(true);
    lblInfo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblInfo_->setMargin(8);
    lblInfo_->setAutoFillBackground(true);
    QPalette white = lblInfo_->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    lblInfo_->setPalette(white);
    QFont bold = lblInfo_->font();
    bold.setBold(true);
    lblInfo_->setFont(bold);
    lblInfo_->setFrameShape(QFrame::StyledPanel);
    lblInfo_->setMinimumHeight(lblInfo_->fontMetrics().lineSpacing() * 7);

    prgProgressBar_ = new QProgressBar(this);
    prgProgressBar_->setAccessibleName(tr("Progress"));
    prgProgressBar_->setAccessibleDescription(
        tr("The task being converted and the number of tasks."));
    prgProgressBar_->setOrientation(Qt::Horizontal);
    prgProgressBar_->setMinimum(0);
    prgProgressBar_->setValue(0);
    prgProgressBar_->setFormat(QStringLiteral("%v / %m")); // task k of n

    tmrTimer_ = new QTimer(this);
    tmrTimer_->setInterval(kTimerInterval);
    connect(tmrTimer_, &QTimer::timeout, this,
            &frmCommandStart::tmrTimer_Timer);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblInfo_, 1);
    layout->addWidget(prgProgressBar_);
    resize(520, 220);
}

void frmCommandStart::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!started_)
        tmrTimer_->start();
}

void frmCommandStart::tmrTimer_Timer() {
    guard(QString(), [&] {
        // Pending events are processed during the run, so the timer must
        // not tick into it again: one run per showing.
        tmrTimer_->stop();
        if (started_)
            return;
        started_ = true;
        CommandStart();
        done(QDialog::Accepted);
    });
}

void frmCommandStart::reject() {
    // Escape and the window manager's close (QDialog turns it into reject)
    // are refused: the run cannot be cancelled, and the window closes itself
    // after the final message.
}

void frmCommandStart::CommandStart() {
    guard(QString(), [&] {
        // A check that stopped on a failure leaves tasks unchecked: nothing
        // runs then, as when a check failed.
        const bool checked = CheckTasks();
        if (checked && !errorFlag_) {
            running_ = true;
            RunTasks();
            running_ = false;
            showPlainMessage(tr("Program completed."));
        } else {
            showPlainMessage(
                tr("Errors were found. - Program couldn't be started."));
        }
    });
}

enumErrorType frmCommandStart::CheckTask(const NativePath &outputFile,
                                         int shapeType,
                                         const NativePath &inputFile) {
    if (!outputFile.canBePassed() || !inputFile.canBePassed())
        return ErrorNameNotPassable;
    const NativePath folder = outputFile.folder();
    if (folder.isEmpty() || !modVarious::FolderExists(folder))
        return ErrorOutputFolder;
    // The output is of the input's kind, and only a shapefile is a set of
    // files with a .shp (and spatial indexes) among them.
    const FileKind inputKind = FileKindOf(inputFile);
    const FileKind kind =
        inputKind == FileKind::None ? FileKind::Shapefile : inputKind;
    if (kind != FileKind::Shapefile) {
        if (modVarious::FileExists(outputFile))
            return ErrorOutputExists;
        if (outputFile.lastExtension().compare(KindExtension(kind).toLatin1(),
                                               Qt::CaseInsensitive) != 0)
            return ErrorFileExtension;
        return shapeType == ShapeUTM ? ErrorAlreadyUTM : ErrorNone;
    }
    if (modVarious::FileExists(outputFile) ||
        modVarious::FileExists(writtenShape(outputFile)))
        return ErrorOutputExists;
    if (!hasShpExtension(outputFile))
        return ErrorFileExtension;
    if (modVarious::FileExists(outputFile.companion(".sbn")) ||
        modVarious::FileExists(outputFile.companion(".sbx")))
        return ErrorSpatialIndex;
    if (shapeType == ShapeUTM)
        return ErrorAlreadyUTM;
    return ErrorNone;
}

bool frmCommandStart::CheckTasks() {
    return guard(QString(), [&] {
        errorFlag_ = false;
        RecordSet &records = tasks_.Recordset();
        if (records.recordCount() > 0)
            records.moveFirst();
        // An output named by an earlier task will exist by the time this
        // task runs, and converting it would overwrite the earlier result.
        std::set<std::string> outputs;
        while (!records.atEnd()) {
            const NativePath output = tasks_.OutputPath();
            const NativePath input = tasks_.InputPath();
            enumErrorType result = CheckTask(output, tasks_.ShapeType(), input);
            const std::string key = outputKey(output);
            if (result == ErrorNone && outputs.count(key) != 0)
                result = ErrorOutputExists;
            outputs.insert(key);
            taskView_.UpdateComment(tasks_.ID(), result, FileKindOf(input));
            if (result != ErrorNone)
                errorFlag_ = true;
            records.moveNext();
        }
    });
}

void frmCommandStart::RunTasks() {
    guard(QString(), [&] {
        RecordSet &records = tasks_.Recordset();
        if (records.recordCount() > 0)
            records.moveFirst();
        while (!records.atEnd()) {
            const int id = tasks_.ID();
            const int shapeType = tasks_.ShapeType();
            if (shapeType != ShapeUTM) {
                const NativePath input = tasks_.InputPath();
                const NativePath output = tasks_.OutputPath();
                lblInfo_->setText(tr("Converting:") + QStringLiteral("\n\n\n") +
                                  input.shown() + QStringLiteral("\n\n") +
                                  output.shown());
                prgProgressBar_->setMaximum(records.recordCount());
                prgProgressBar_->setValue(records.absolutePosition());
                QCoreApplication::processEvents();

                QString reason;
                if (convert_(input, output, shapeType, reason)) {
                    if (tasks_.UpdateResult(id, kConvertedComment, ShapeUTM))
                        taskView_.ShowCurrentRecord();
                } else if (!reason.isEmpty()) {
                    // The record stays as it was; its row says why.
                    taskView_.UpdateFailure(id, reason);
                }
                QCoreApplication::processEvents();
                // Whatever ran while events were processed, the walk goes
                // on after this task.
                if (!tasks_.MoveTo(id))
                    break;
            }
            records.moveNext();
        }
    });
}

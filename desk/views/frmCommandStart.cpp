#include "frmCommandStart.h"

#include "DeskMessages.h"
#include "PathSafety.h"
#include "adoTaskList.h"
#include "clsControlTaskList.h"
#include "modFileNames.h"
#include "modKAVRO.h"
#include "modVarious.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QSet>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kTimerInterval = 1; // milliseconds
const QString kProgramCompleted = QStringLiteral("Program completed.");
const QString kRunRefused =
    QStringLiteral("Errors were found. - Program couldn't be started.");

// The folder part of an output path: everything before its last "/". A path
// directly under the root keeps "/" as its folder; a path without any "/"
// has none.
QString folderPart(const QString &path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

// The text after the last "." of the path, the whole path when it has none.
QString lastExtension(const QString &path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? path : path.mid(dot + 1);
}

// The shapefile the engine writes for an output path: it keeps the name up
// to the extension and always appends the lower-case "shp", so "x.SHP"
// writes "x.shp". Outputs with another extension are refused before any
// run, so they stand for themselves.
QString writtenShape(const QString &path) {
    if (lastExtension(path).compare(QLatin1String("shp"),
                                    Qt::CaseInsensitive) != 0)
        return path;
    return modFileNames::CompanionFile(path, ".shp");
}

// Two tasks name the same output when the files the engine writes for them
// are one file by the engine's same-file rule (normalPath: absolute, clean,
// links of the folders followed).
QString outputKey(const QString &path) {
    const QByteArray written = modFileNames::EncodeName(writtenShape(path));
    const std::string normal = normalPath(written.toStdString());
    return modFileNames::DecodeName(
        normal.empty() ? written : QByteArray::fromStdString(normal));
}
} // namespace

frmCommandStart::frmCommandStart(adoTaskList &tasks,
                                 clsControlTaskList &taskView, QWidget *parent,
                                 Converter convert)
    : QDialog(parent), tasks_(tasks), taskView_(taskView),
      convert_(convert ? std::move(convert)
                       : Converter(&modKAVRO::ConvertShape)) {
    createControls();
}

void frmCommandStart::createControls() {
    setWindowTitle(QStringLiteral("Please wait ..."));
    setModal(true);
    // No close box: the window closes itself when the run has ended.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    lblInfo_ = new QLabel(this);
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
            showPlainMessage(kProgramCompleted);
        } else {
            showPlainMessage(kRunRefused);
        }
    });
}

enumErrorType frmCommandStart::CheckTask(const QString &outputFile,
                                         int shapeType,
                                         const QString &inputFile) {
    if (!modFileNames::CanBePassed(outputFile) ||
        !modFileNames::CanBePassed(inputFile))
        return ErrorNameNotPassable;
    const QString folder = folderPart(outputFile);
    if (folder.isEmpty() || !modVarious::FolderExists(folder))
        return ErrorOutputFolder;
    if (modVarious::FileExists(outputFile) ||
        modVarious::FileExists(writtenShape(outputFile)))
        return ErrorOutputExists;
    if (lastExtension(outputFile).toUpper() != QLatin1String("SHP"))
        return ErrorFileExtension;
    if (modVarious::FileExists(
            modFileNames::CompanionFile(outputFile, ".sbn")) ||
        modVarious::FileExists(modFileNames::CompanionFile(outputFile, ".sbx")))
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
        QSet<QString> outputs;
        while (!records.atEnd()) {
            const QString output = tasks_.OutputFile();
            enumErrorType result =
                CheckTask(output, tasks_.ShapeType(), tasks_.InputFile());
            const QString key = outputKey(output);
            if (result == ErrorNone && outputs.contains(key))
                result = ErrorOutputExists;
            outputs.insert(key);
            taskView_.UpdateComment(tasks_.ID(), result);
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
                const QString input = tasks_.InputFile();
                const QString output = tasks_.OutputFile();
                lblInfo_->setText(QStringLiteral("Converting:\n\n\n") +
                                  modFileNames::ShownName(input) +
                                  QStringLiteral("\n\n") +
                                  modFileNames::ShownName(output));
                prgProgressBar_->setMaximum(records.recordCount());
                prgProgressBar_->setValue(records.absolutePosition());
                QCoreApplication::processEvents();

                if (convert_(input, output, shapeType)) {
                    tasks_.Update(id, input, output, kConvertedComment,
                                  ShapeUTM);
                    taskView_.Update(tasks_.ID(), tasks_.InputFile(),
                                     tasks_.OutputFile(), tasks_.Comment(),
                                     tasks_.ShapeType());
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

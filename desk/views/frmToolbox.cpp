#include "frmToolbox.h"

#include "BrowseFF.h"
#include "DeskLanguage.h"
#include "DeskMessages.h"
#include "DialogKeys.h"
#include "ExitOkButtons.h"
#include "clsUserSettings.h"
#include "modTransformation.h"
#include "modVarious.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {
bool validatesOnFocusOut(Qt::FocusReason reason) {
    // Focus that leaves for another control of the dialog validates; a
    // window switch or a popup does not.
    return reason != Qt::ActiveWindowFocusReason &&
           reason != Qt::PopupFocusReason;
}
} // namespace

frmToolbox::frmToolbox(clsUserSettings &settings, QWidget *parent)
    : QDialog(parent), settings_(settings) {
    createControls();
    guard(QString(), [&] { Form_Load(); });
}

void frmToolbox::createControls() {
    setWindowTitle(tr("Toolbox"));
    setModal(true);

    lblOutputFolder_ = new QLabel(tr("&Outputfolder:"), this);
    txtOutputFolder_ = new QLineEdit(this);
    txtOutputFolder_->setAccessibleName(tr("Output folder"));
    txtOutputFolder_->setAccessibleDescription(
        tr("The folder for the converted files; empty: beside each input "
           "file."));
    cmdBrowse_ = new QPushButton(tr("&Browse ..."), this);
    cmdBrowse_->setAutoDefault(false);
    cmdBrowse_->setAccessibleDescription(
        tr("Chooses the output folder in a folder dialog."));
    lblOutputSuffix_ = new QLabel(tr("&Filesuffix:"), this);
    txtOutputSuffix_ = new QLineEdit(this);
    txtOutputSuffix_->setAccessibleName(tr("File name suffix"));
    txtOutputSuffix_->setAccessibleDescription(
        tr("The text added to the name of each output file; empty: the name "
           "stays."));
    lblOutputFolder_->setBuddy(txtOutputFolder_);
    lblOutputSuffix_->setBuddy(txtOutputSuffix_);

    lblLanguage_ = new QLabel(tr("&Language:"), this);
    cboLanguage_ = new QComboBox(this);
    cboLanguage_->setObjectName(QStringLiteral("cboLanguage"));
    for (const QString &language : DeskLanguage::languages())
        cboLanguage_->addItem(language == DeskLanguage::kSystem
                                  ? tr("System language")
                                  : DeskLanguage::nativeName(language),
                              language);
    cboLanguage_->setAccessibleName(tr("Language"));
    cboLanguage_->setAccessibleDescription(tr("The language of KavroDesk."));
    lblLanguage_->setBuddy(cboLanguage_);
    lblLanguageNote_ = new QLabel(
        tr("A new language takes effect when KavroDesk starts again."), this);
    lblLanguageNote_->setWordWrap(true);

    const ExitOkButtons buttons = makeExitOkButtons();
    cmdExit_ = buttons.exit;
    cmdOK_ = buttons.ok;
    cmdExit_->setAccessibleDescription(
        tr("Closes the dialog and keeps the settings as they were."));
    cmdOK_->setAccessibleDescription(
        tr("Takes the output folder, the suffix and the language."));

    lblTransformation_ = new QLabel(this);
    lblTransformation_->setObjectName(QStringLiteral("lblTransformation"));
    lblTransformation_->setAccessibleName(tr("Datum transformation"));
    lblTransformation_->setTextFormat(Qt::PlainText);
    lblTransformation_->setWordWrap(true);

    staStatusBar_ = new QStatusBar(this);
    staStatusBar_->setSizeGripEnabled(false);
    staStatusBar_->setAccessibleName(tr("Status bar"));
    staPanel1_ = new QLabel(this);
    staStatusBar_->addWidget(staPanel1_, 1);

    ctlBrowseFF_ = new BrowseFF(this);

    auto *fields = new QGridLayout;
    fields->addWidget(lblOutputFolder_, 0, 0, 1, 2);
    fields->addWidget(txtOutputFolder_, 1, 0);
    fields->addWidget(cmdBrowse_, 1, 1);
    fields->addWidget(lblOutputSuffix_, 2, 0, 1, 2);
    fields->addWidget(txtOutputSuffix_, 3, 0);
    fields->addWidget(lblLanguage_, 4, 0, 1, 2);
    fields->addWidget(cboLanguage_, 5, 0);
    fields->addWidget(lblLanguageNote_, 6, 0, 1, 2);
    fields->setColumnStretch(0, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(lblTransformation_);
    layout->addStretch(1);
    layout->addLayout(buttons.row);
    layout->addWidget(staStatusBar_);
    setMinimumWidth(460);

    setTabOrder(txtOutputFolder_, cmdBrowse_);
    setTabOrder(cmdBrowse_, txtOutputSuffix_);
    setTabOrder(txtOutputSuffix_, cboLanguage_);
    setTabOrder(cboLanguage_, cmdOK_);
    setTabOrder(cmdOK_, cmdExit_);

    connect(cmdBrowse_, &QPushButton::clicked, this,
            &frmToolbox::cmdBrowse_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &frmToolbox::cmdOK_Click);
    connect(cmdExit_, &QPushButton::clicked, this, &frmToolbox::cmdExit_Click);
    connect(ctlBrowseFF_, &BrowseFF::SelectionChanged, this,
            &frmToolbox::ctlBrowseFF_SelectionChanged);

    // The two boxes report their focus to the dialog.
    txtOutputFolder_->installEventFilter(this);
    txtOutputSuffix_->installEventFilter(this);
    new DialogKeys(*this);
}

QString frmToolbox::statusPanel1() const { return staPanel1_->text(); }

QString frmToolbox::invalidFolderText() {
    return tr("Invalid value in Outputfolder!");
}

bool frmToolbox::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        if (watched == txtOutputFolder_)
            txtOutputFolder_GotFocus();
        else if (watched == txtOutputSuffix_)
            txtOutputSuffix_GotFocus();
        break;
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (!validatesOnFocusOut(reason))
            break;
        // Leaving a box only shows its check message: Cancel comes in as
        // false, so the focus moves on. OK is where a value is refused.
        bool cancel = false;
        if (watched == txtOutputFolder_)
            txtOutputFolder_Validate(cancel);
        else if (watched == txtOutputSuffix_)
            txtOutputSuffix_Validate(cancel);
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmToolbox::Form_Load() {
    ctlBrowseFF_->setTitle(tr("Output Folder"));
    ctlBrowseFF_->setPrompt(tr("Select Output Folder"));
    ctlBrowseFF_->setStartFolder(clsUserSettings::readText(
        clsUserSettings::kKeyBrowseFFCurrentPath, QString()));
    txtOutputFolder_->setText(settings_.OutputFolder());
    txtOutputSuffix_->setText(settings_.OutputSuffix());
    // A stored value that names no language counts as the system's.
    const int language = cboLanguage_->findData(
        clsUserSettings::readText(clsUserSettings::kKeyLanguage,
                                  clsUserSettings::kDefaultLanguage)
            .trimmed()
            .toLower());
    cboLanguage_->setCurrentIndex(std::max(language, 0));
    const modTransformation::Transformation &transformation =
        modTransformation::Current();
    lblTransformation_->setText(transformation.statusText() + u'\n' +
                                transformation.detailText());
}

void frmToolbox::txtOutputFolder_GotFocus() {
    guard(QString(), [&] {
        txtOutputFolder_->setSelection(0, txtOutputFolder_->text().length());
    });
}

void frmToolbox::txtOutputSuffix_GotFocus() {
    guard(QString(), [&] {
        txtOutputSuffix_->setSelection(0, txtOutputSuffix_->text().length());
    });
}

void frmToolbox::txtOutputFolder_Validate(bool &cancel) {
    guard(QString(), [&] {
        const QString folder = txtOutputFolder_->text();
        if (folder.isEmpty() || modVarious::FolderExists(folder)) {
            cancel = false;
            // A corrected folder no longer carries the old complaint.
            if (staPanel1_->text() == invalidFolderText())
                staPanel1_->clear();
        } else {
            staPanel1_->setText(invalidFolderText());
        }
    });
}

void frmToolbox::txtOutputSuffix_Validate(bool &cancel) {
    // Every suffix is accepted, the empty one too: it keeps input names.
    cancel = false;
}

void frmToolbox::cmdBrowse_Click() {
    guard(QString(), [&] {
        if (ctlBrowseFF_->BrowseForFolder(this))
            txtOutputFolder_->setText(browsedPath_);
    });
}

void frmToolbox::ctlBrowseFF_SelectionChanged(const QString &path) {
    browsedPath_ = path;
}

void frmToolbox::cmdOK_Click() {
    guard(QString(), [&] {
        bool cancel = true;
        txtOutputFolder_Validate(cancel);
        if (cancel) {
            txtOutputFolder_->setFocus(Qt::OtherFocusReason);
            return;
        }
        cancel = true;
        txtOutputSuffix_Validate(cancel);
        if (cancel) {
            txtOutputSuffix_->setFocus(Qt::OtherFocusReason);
            return;
        }
        settings_.setOutputFolder(txtOutputFolder_->text());
        settings_.setOutputSuffix(txtOutputSuffix_->text());
        // The language is written only when it changes: a store that has
        // none keeps following the system.
        const QString language = cboLanguage_->currentData().toString();
        if (language !=
            clsUserSettings::readText(clsUserSettings::kKeyLanguage,
                                      clsUserSettings::kDefaultLanguage))
            clsUserSettings::writeText(clsUserSettings::kKeyLanguage, language);
        accept();
    });
}

void frmToolbox::cmdExit_Click() {
    guard(QString(), [&] { reject(); });
}

void frmToolbox::Form_QueryUnload() {
    guard(QString(), [&] {
        clsUserSettings::writeText(clsUserSettings::kKeyBrowseFFCurrentPath,
                                   txtOutputFolder_->text());
    });
}

void frmToolbox::done(int result) {
    Form_QueryUnload();
    QDialog::done(result);
}

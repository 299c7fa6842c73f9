#pragma once

#include <QDialog>
#include <QString>

class BrowseFF;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class clsUserSettings;

// The Toolbox: the output folder and the file-name suffix that new tasks
// take for their output names, and the language of the window. OK stores
// the folder and the suffix in clsUserSettings (for this run only) and a
// changed language in the settings store (for the next start); Exit and
// Escape store none of them. However the dialog closes, the text of the
// folder box becomes the folder browser's next start folder.
class frmToolbox : public QDialog {
    Q_OBJECT
  public:
    explicit frmToolbox(clsUserSettings &settings, QWidget *parent = nullptr);

    QLineEdit *txtOutputFolder() const { return txtOutputFolder_; }
    QLineEdit *txtOutputSuffix() const { return txtOutputSuffix_; }
    // "system", "de", "it", "en" as item data (DeskLanguage), each language
    // named in itself.
    QComboBox *cboLanguage() const { return cboLanguage_; }
    QPushButton *cmdBrowse() const { return cmdBrowse_; }
    QPushButton *cmdOK() const { return cmdOK_; }
    QPushButton *cmdExit() const { return cmdExit_; }
    QStatusBar *staStatusBar() const { return staStatusBar_; }
    // The datum change the next Start takes, as the last check found it.
    QLabel *lblTransformation() const { return lblTransformation_; }
    BrowseFF *ctlBrowseFF() const { return ctlBrowseFF_; }
    // Panel 1 of the status bar: the folder check message.
    QString statusPanel1() const;

    // The folder check's message.
    static QString invalidFolderText();

    void done(int result) override; // every way of closing ends here

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void createControls();
    void Form_Load();
    void Form_QueryUnload();
    void txtOutputFolder_GotFocus();
    void txtOutputFolder_Validate(bool &cancel);
    void txtOutputSuffix_GotFocus();
    void txtOutputSuffix_Validate(bool &cancel);
    void cmdBrowse_Click();
    void cmdOK_Click();
    void cmdExit_Click();
    void ctlBrowseFF_SelectionChanged(const QString &path);

    clsUserSettings &settings_;
    QLabel *lblOutputFolder_ = nullptr;
    QLineEdit *txtOutputFolder_ = nullptr;
    QPushButton *cmdBrowse_ = nullptr;
    QLabel *lblOutputSuffix_ = nullptr;
    QLineEdit *txtOutputSuffix_ = nullptr;
    QLabel *lblLanguage_ = nullptr;
    QComboBox *cboLanguage_ = nullptr;
    QLabel *lblLanguageNote_ = nullptr;
    QPushButton *cmdExit_ = nullptr;
    QPushButton *cmdOK_ = nullptr;
    QLabel *lblTransformation_ = nullptr;
    QStatusBar *staStatusBar_ = nullptr;
    QLabel *staPanel1_ = nullptr;
    BrowseFF *ctlBrowseFF_ = nullptr;
    QString browsedPath_; // the folder the browser reported last
};

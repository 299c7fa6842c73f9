#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// The about box: who made KavroDesk, in German and in Italian, and two link
// labels that open the user's guide shipped with the program in either
// language.
class frmInfo : public QDialog {
    Q_OBJECT
  public:
    explicit frmInfo(QWidget *parent = nullptr);

    QLabel *lblInternet_D() const { return lblInternet_D_; }
    QLabel *lblInternet_I() const { return lblInternet_I_; }
    QPushButton *cmdOK() const { return cmdOK_; }

    // The property that marks the lines whose text is German or Italian
    // in every language of the window (what they say is said in both).
    static constexpr const char *kFixedLanguage = "kavroFixedLanguage";

    // The addresses the two link labels open: the German and the Italian
    // user's guide in the "doc" folder beside the program.
    static QString germanGuideAddress();
    static QString italianGuideAddress();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void createControls();
    void cmdOK_Click();
    void lblInternet_D_Click();
    void lblInternet_I_Click();

    QLabel *imgHelpInfo_ = nullptr;
    QLabel *lblHelpInfoD_ = nullptr;
    QLabel *lblHelpInfoI_ = nullptr;
    QLabel *lblHelpInfoD_2_ = nullptr;
    QLabel *lblHelpInfoI_2_ = nullptr;
    QLabel *lblHelpInfoKAVRO_ = nullptr;
    QLabel *lblHelpInfoKAVRO_1_ = nullptr;
    QLabel *lblHelpInfoKAVRO_2_ = nullptr;
    QLabel *lblHelpInfoKAVRO_3_ = nullptr;
    QLabel *lblHelpInfoKAVRO_4_ = nullptr;
    QLabel *lblInternet_D_ = nullptr;
    QLabel *lblInternet_I_ = nullptr;
    QPushButton *cmdOK_ = nullptr;
};

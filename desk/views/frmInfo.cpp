#include "frmInfo.h"

#include "DeskMessages.h"
#include "DialogKeys.h"
#include "modKAVRO.h"
#include "modWin32API.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr int kPictureSize = 72; // pixels

// A line of the dialog. Its text stands in German or in Italian whatever
// the window's language, and the label says so (kFixedLanguage).
QLabel *makeLabel(const QString &text, QWidget *parent, bool bold) {
    auto *label = new QLabel(text, parent);
    label->setProperty(frmInfo::kFixedLanguage, true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

// A label that opens a guide when clicked, or when Enter or Space is
// pressed on it: Tab reaches it, and a dotted frame shows the focus.
QLabel *makeLinkLabel(const QString &text, const QString &toolTip,
                      const QString &name, const QString &description,
                      QWidget *parent) {
    QLabel *label = makeLabel(text, parent, true);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 192));
    label->setPalette(palette);
    label->setToolTip(toolTip);
    label->setCursor(Qt::PointingHandCursor);
    label->setFocusPolicy(Qt::StrongFocus);
    label->setStyleSheet(
        QStringLiteral("QLabel { border: 1px solid transparent; }"
                       "QLabel:focus { border: 1px dotted #0000c0; }"));
    label->setAccessibleName(name);
    label->setAccessibleDescription(description);
    return label;
}

bool isActivationKey(const QKeyEvent &key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter ||
           key.key() == Qt::Key_Space;
}

// The dialog's picture: a globe with its grid, and an arrow from one grid
// to the other.
QPixmap drawPicture() {
    QPixmap picture(kPictureSize, kPictureSize);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF globe(6, 6, 60, 60);
    painter.setPen(QPen(QColor(20, 70, 150), 2));
    painter.setBrush(QColor(200, 225, 250));
    painter.drawEllipse(globe);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(20, 70, 150), 1));
    for (double width : {20.0, 40.0})
        painter.drawEllipse(QRectF(36 - width / 2, 6, width, 60));
    painter.drawLine(QPointF(36, 6), QPointF(36, 66));
    for (double y : {21.0, 36.0, 51.0}) {
        const double half = std::sqrt(30.0 * 30.0 - (y - 36) * (y - 36));
        painter.drawLine(QPointF(36 - half, y), QPointF(36 + half, y));
    }
    QPainterPath arrow;
    arrow.moveTo(14, 48);
    arrow.cubicTo(24, 24, 44, 20, 54, 26);
    painter.setPen(QPen(QColor(30, 150, 50), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(arrow);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 150, 50));
    painter.drawPolygon(
        QPolygonF({QPointF(62, 30), QPointF(50, 18), QPointF(47, 33)}));
    return picture;
}

QString guideAddress(const QString &fileName) {
    return QDir(modKAVRO::ProgramFolder())
        .filePath(QStringLiteral("doc/guide/") + fileName);
}
} // namespace

frmInfo::frmInfo(QWidget *parent) : QDialog(parent) { createControls(); }

QString frmInfo::germanGuideAddress() {
    return guideAddress(QStringLiteral("KavroDesk-de.html"));
}

QString frmInfo::italianGuideAddress() {
    return guideAddress(QStringLiteral("KavroDesk-it.html"));
}

void frmInfo::createControls() {
    setWindowTitle(tr("Info"));
    setModal(true);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    imgHelpInfo_ = new QLabel(this);
    imgHelpInfo_->setPixmap(drawPicture());
    imgHelpInfo_->setAlignment(Qt::AlignHCenter);
    imgHelpInfo_->setAccessibleName(
        tr("Picture: a globe with an arrow from one grid to another"));

    // The lines that name the team and the project stand in German and in
    // Italian, the region's two languages, whatever the window's language.

    lblHelpInfoD_ = makeLabel(QStringLiteral("KAVRO-Projektteam"), this, true);
    lblHelpInfoI_ =
        makeLabel(QStringLiteral("Gruppo di progetto KAVRO"), this, true);
    lblHelpInfoD_2_ = makeLabel(
        QStringLiteral("Entwicklung von KavroDesk und KAVRO"), this, false);
    lblHelpInfoI_2_ =
        makeLabel(QStringLiteral("Sviluppo di KavroDesk e KAVRO"), this, false);
    lblHelpInfoKAVRO_ =
        makeLabel(QStringLiteral("KAVRO - Koordinatenumrechnung / "
                                 "Conversione di coordinate"),
                  this, true);
    lblHelpInfoKAVRO_1_ = makeLabel(
        QStringLiteral(
            "Ein OPEN Tool \"f\u00fcr und von\" der GIS-Gemeinschaft"),
        this, false);
    lblHelpInfoKAVRO_2_ = makeLabel(
        QStringLiteral("Gebaut vom KAVRO-Team mit Qt, Xerces-C und shapelib"),
        this, false);
    lblHelpInfoKAVRO_3_ = makeLabel(
        QStringLiteral("Un tool OPEN \"per e della\" comunit\u00e0 GIS"), this,
        false);
    lblHelpInfoKAVRO_4_ = makeLabel(
        QStringLiteral("Realizzato dal team KAVRO con Qt, Xerces-C e shapelib"),
        this, false);
    lblInternet_D_ = makeLinkLabel(
        QStringLiteral("Projekt \"TALVEN\" im Internet"),
        QStringLiteral("Klick, um Browser zu starten"),
        tr("User's guide in German"),
        tr("Opens the user's guide in German in the browser."), this);
    lblInternet_I_ = makeLinkLabel(
        QStringLiteral("Progetto \"TALVEN\" in Internet"),
        QStringLiteral("Fare Click, per avviare il Browser"),
        tr("User's guide in Italian"),
        tr("Opens the user's guide in Italian in the browser."), this);

    cmdOK_ = new QPushButton(tr("OK"), this);
    cmdOK_->setDefault(true);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdOK_, QDialogButtonBox::AcceptRole);

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(imgHelpInfo_);
    layout->addSpacing(6);
    layout->addWidget(lblHelpInfoD_);
    layout->addWidget(lblHelpInfoI_);
    layout->addWidget(lblHelpInfoD_2_);
    layout->addWidget(lblHelpInfoI_2_);
    layout->addSpacing(10);
    layout->addWidget(lblHelpInfoKAVRO_);
    layout->addSpacing(6);
    layout->addWidget(lblHelpInfoKAVRO_1_);
    layout->addWidget(lblHelpInfoKAVRO_2_);
    layout->addSpacing(4);
    layout->addWidget(lblHelpInfoKAVRO_3_);
    layout->addWidget(lblHelpInfoKAVRO_4_);
    layout->addSpacing(10);
    layout->addWidget(lblInternet_D_);
    layout->addWidget(lblInternet_I_);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    setMinimumWidth(440);

    setTabOrder(lblInternet_D_, lblInternet_I_);
    setTabOrder(lblInternet_I_, cmdOK_);
    cmdOK_->setFocus();
    connect(cmdOK_, &QPushButton::clicked, this, &frmInfo::cmdOK_Click);
    // The link labels are clicked, or pressed from the keyboard, through
    // the dialog.
    lblInternet_D_->installEventFilter(this);
    lblInternet_I_->installEventFilter(this);
    new DialogKeys(*this);
}

bool frmInfo::eventFilter(QObject *watched, QEvent *event) {
    const bool activated =
        (event->type() == QEvent::MouseButtonRelease &&
         static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) ||
        (event->type() == QEvent::KeyPress &&
         isActivationKey(*static_cast<QKeyEvent *>(event)));
    if (activated) {
        if (watched == lblInternet_D_) {
            lblInternet_D_Click();
            return true;
        }
        if (watched == lblInternet_I_) {
            lblInternet_I_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmInfo::cmdOK_Click() {
    guard(QString(), [&] { accept(); });
}

void frmInfo::lblInternet_D_Click() {
    guard(QString(), [&] { modWin32API::OpenDocument(germanGuideAddress()); });
}

void frmInfo::lblInternet_I_Click() {
    guard(QString(), [&] { modWin32API::OpenDocument(italianGuideAddress()); });
}

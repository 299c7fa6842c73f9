#include "SplitterControl.h"

#include <QEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
QWidget *makePaneFrame(QWidget *parent) {
    auto *frame = new QWidget(parent);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return frame;
}
} // namespace

SplitterControl::SplitterControl(QWidget *parent)
    : QSplitter(Qt::Vertical, parent), firstPaneFrame_(makePaneFrame(this)),
      secondPaneFrame_(makePaneFrame(this)) {
    addWidget(firstPaneFrame_);
    addWidget(secondPaneFrame_);
    setChildrenCollapsible(false);
    connect(this, &QSplitter::splitterMoved, this, &SplitterControl::barMoved);
}

void SplitterControl::setBarOrientation(Orientation orientation) {
    setOrientation(orientation == Orientation::BarBetweenTopAndBottom
                       ? Qt::Vertical
                       : Qt::Horizontal);
    applyBarPosition();
}

SplitterControl::Orientation SplitterControl::barOrientation() const {
    return orientation() == Qt::Vertical ? Orientation::BarBetweenTopAndBottom
                                         : Orientation::BarBetweenLeftAndRight;
}

void SplitterControl::setDocking(Docking docking) {
    if (QWidget *container = parentWidget()) {
        if (docking == Docking::Top)
            container->installEventFilter(this);
        else
            container->removeEventFilter(this);
    }
    docking_ = docking;
    followParent();
}

void SplitterControl::setBarPosition(int percent) {
    percent_ = std::clamp(percent, 0, 100);
    applyBarPosition();
}

int SplitterControl::barPosition() const {
    return static_cast<int>(std::lround(percent_));
}

void SplitterControl::setFirstPane(QWidget *control) {
    putInPane(firstPaneFrame_, firstControl_, control);
}

void SplitterControl::setSecondPane(QWidget *control) {
    putInPane(secondPaneFrame_, secondControl_, control);
}

void SplitterControl::putInPane(QWidget *pane, QWidget *&current,
                                QWidget *control) {
    if (current == control)
        return;
    if (current) {
        pane->layout()->removeWidget(current);
        current->hide();
    }
    current = control;
    if (control) {
        pane->layout()->addWidget(control);
        control->show();
    }
}

void SplitterControl::setHeight(int pixels) { resize(width(), pixels); }

void SplitterControl::resizeEvent(QResizeEvent *event) {
    QSplitter::resizeEvent(event);
    applyBarPosition();
}

bool SplitterControl::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        followParent();
    return QSplitter::eventFilter(watched, event);
}

void SplitterControl::applyBarPosition() {
    const QList<int> current = sizes();
    const int room = current.value(0) + current.value(1);
    if (room <= 0)
        return; // not laid out yet: applied at the first resize
    const int first = static_cast<int>(std::lround(room * percent_ / 100.0));
    setSizes({first, room - first});
}

void SplitterControl::followParent() {
    QWidget *container = parentWidget();
    if (docking_ == Docking::Top && container)
        setGeometry(0, y(), container->width(), height());
}

void SplitterControl::barMoved() {
    const QList<int> current = sizes();
    const int room = current.value(0) + current.value(1);
    if (room > 0)
        percent_ = 100.0 * current.value(0) / room;
}

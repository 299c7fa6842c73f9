#pragma once

#include <QSplitter>

class QVBoxLayout;

// A two-pane splitter for the main window's layout. Its bar position is the
// first pane's share of the room in per cent and is kept when the splitter
// is resized; moving the bar changes it. Each pane is given one control,
// which the splitter then sizes to fill that pane. Docked to the top edge,
// the splitter follows the width of its parent widget and keeps its place
// and the height that its owner sets.
class SplitterControl : public QSplitter {
    Q_OBJECT
  public:
    enum class Orientation { BarBetweenTopAndBottom, BarBetweenLeftAndRight };
    enum class Docking { None, Top };

    explicit SplitterControl(QWidget *parent = nullptr);

    void setBarOrientation(Orientation orientation);
    Orientation barOrientation() const;

    void setDocking(Docking docking);
    Docking docking() const { return docking_; }

    // Per cent, 0 to 100 (values beyond are taken as the nearest end).
    void setBarPosition(int percent);
    int barPosition() const;

    // The control shown in the first (top or left) or second (bottom or
    // right) pane; a control given before is taken out of the pane and
    // hidden, not deleted.
    void setFirstPane(QWidget *control);
    void setSecondPane(QWidget *control);
    QWidget *firstPane() const { return firstControl_; }
    QWidget *secondPane() const { return secondControl_; }

    void setHeight(int pixels);

  protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void putInPane(QWidget *pane, QWidget *&current, QWidget *control);
    void applyBarPosition();
    void followParent();
    void barMoved();

    QWidget *firstPaneFrame_;
    QWidget *secondPaneFrame_;
    QWidget *firstControl_ = nullptr;
    QWidget *secondControl_ = nullptr;
    double percent_ = 50.0;
    Docking docking_ = Docking::None;
};

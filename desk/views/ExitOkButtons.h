#pragma once

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QString>

// The Exit and OK buttons of the Toolbox and Modify dialogs: Exit, then OK,
// at the right of their row, whatever order the desktop style would give a
// button box. OK is the default button, taken by Enter; Exit never is.
struct ExitOkButtons {
    QPushButton *exit;
    QPushButton *ok;
    QHBoxLayout *row; // for the caller's layout, which takes it over
};

inline ExitOkButtons makeExitOkButtons() {
    ExitOkButtons buttons{
        new QPushButton(QCoreApplication::translate("ExitOkButtons", "Exit")),
        new QPushButton(QCoreApplication::translate("ExitOkButtons", "OK")),
        new QHBoxLayout};
    buttons.exit->setAutoDefault(false);
    buttons.ok->setDefault(true);
    buttons.row->addStretch(1);
    buttons.row->addWidget(buttons.exit);
    buttons.row->addWidget(buttons.ok);
    return buttons;
}

#include "frmMain.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    frmMain window;
    window.show();
    // The folder tree fills at the first activation; ask for it where no
    // window manager gives it.
    window.activateWindow();
    return app.exec();
}

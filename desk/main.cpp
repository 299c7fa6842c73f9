#include "DeskWindow.h"
#include "modInstance.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    // A second KavroDesk of the user says so and ends before it has read or
    // written any setting.
    if (!modInstance::ClaimInstance())
        return 1;
    DeskWindow window;
    window.show();
    // The folder tree fills at the first activation; ask for it where no
    // window manager gives it.
    window.activateWindow();
    return app.exec();
}

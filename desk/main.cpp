#include "DeskWindow.h"
#include "modInstance.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    // The language first, so that every text, the refusal of a second
    // start too, is in it.
    DeskWindow::applyLanguage();
    // A second KavroDesk of the user says so and ends before it has written
    // any setting (it has read only the language).
    if (!modInstance::ClaimInstance())
        return 1;
    DeskWindow window;
    window.show();
    // The folder tree fills at the first activation; ask for it where no
    // window manager gives it.
    window.activateWindow();
    return app.exec();
}

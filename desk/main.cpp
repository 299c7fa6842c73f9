#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavroDesk"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("KavroDesk"));
    window.show();
    return app.exec();
}

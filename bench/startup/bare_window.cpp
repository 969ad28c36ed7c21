// A window and nothing else: how soon the toolkit maps a window on this
// server, the anchor for the program's own start.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare window");
    window.resize(296, 98);
    window.show();
    QTimer::singleShot(3000, &app, &QApplication::quit);
    return app.exec();
}

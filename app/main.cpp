#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quorvant");
    QMainWindow window;
    window.setWindowTitle("Quorvant");
    window.resize(1100, 720);
    window.show();
    return app.exec();
}

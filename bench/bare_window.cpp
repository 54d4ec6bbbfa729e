// The reference program: Qt Widgets with one plain top-level window of the main
// window's size, and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(803, 525);
    window.show();
    return app.exec();
}

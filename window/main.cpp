#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Pro Tagwright"));
    window.setFixedSize(690, 439);
    window.show();
    return app.exec();
}

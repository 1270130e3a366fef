// The startup benchmark's yardstick: the least Qt Widgets window that shows text in the
// program's font, built with the same flags and measured the same way.
#include "bench/shown_report.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Pro Tagwright"));
    QFont font(QStringLiteral("Times New Roman"));
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")});
    font.setPointSizeF(15.75);
    window.setFont(font);
    window.setFixedSize(690, 439);
    reportFirstShow(&window);
    window.show();
    return app.exec();
}

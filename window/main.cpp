#include "reader/reader_library.h"
#include "window/form1.h"
#include "window/shown_report.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    reader::ReaderLibrary library;
    Form1 window(library);
    reportFirstShowIfAsked(&window);
    window.show();
    return app.exec();
}

#include "reader/reader_library.h"
#include "window/form1.h"
#include "window/shown_report.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Before anything loads a library: the reader library is never taken from the
    // working folder.
    reader::hardenLibrarySearch();
    QApplication app(argc, argv);
    reader::ReaderLibrary library;
    Form1 window(library);
    reportFirstShowIfAsked(&window);
    window.show();
    return app.exec();
}

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
    // The window's font for the whole program: no control then lays itself out first in the
    // toolkit's default font, which would be loaded only to be replaced.
    QApplication::setFont(Form1::windowFont());
    reader::ReaderLibrary library;
    Form1 window(library);
    reportFirstShowIfAsked(&window);
    window.show();
    return app.exec();
}

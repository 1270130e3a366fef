#include "qt/program.h"

#include "qt/form1_window.h"
#include "reader/reader_library.h"

#include <QApplication>

int runProgram(int argc, char *argv[], void (*beforeShow)(QWidget *window))
{
    // Before anything loads a library: the reader library is never taken from the
    // working folder.
    reader::hardenLibrarySearch();
    QApplication app(argc, argv);
    // The window's font for the whole program: no control then lays itself out first in the
    // toolkit's default font, which would be loaded only to be replaced.
    QApplication::setFont(Form1Window::fontFor(window::kWindow.windowFont));
    reader::ReaderLibrary library;
    Form1Window window(library);
    if (beforeShow != nullptr)
        beforeShow(&window);
    window.show();
    return app.exec();
}

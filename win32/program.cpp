#include "win32/program.h"

#include "win32/form_window.h"

#include "reader/reader_library.h"

#include <objbase.h>

namespace win32 {

int runProgram(int showCommand, void (*beforeShow)(HWND window))
{
    // Before anything loads a library: the reader library is never taken from the
    // working folder.
    reader::hardenLibrarySearch();
    // For the screen readers' naming service.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int exitCode = 0;
    {
        reader::ReaderLibrary library;
        FormWindow form(library);
        if (!form.create()) {
            exitCode = 1;
        } else {
            if (beforeShow != nullptr)
                beforeShow(form.handle());
            form.show(showCommand);
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                if (form.preTranslate(message) || IsDialogMessageW(form.handle(), &message))
                    continue;
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return exitCode;
}

} // namespace win32

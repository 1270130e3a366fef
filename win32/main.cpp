// Tagwright's Windows program: the window "Pro Tagwright" on Windows' own controls.
#include "form_window.h"

#include "reader/reader_library.h"

#include <objbase.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    // Before anything loads a library: the reader library is never taken from the
    // working folder.
    reader::hardenLibrarySearch();
    // For the screen readers' naming service.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        reader::ReaderLibrary library;
        win32::FormWindow form(library);
        if (!form.create(showCommand))
            return 1;
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (form.preTranslate(message) || IsDialogMessageW(form.handle(), &message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}

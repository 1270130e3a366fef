#include "reader/dynamic_library.h"

#include <windows.h>

namespace reader::platform {

void *openLibrary(const std::string &file)
{
    // No error dialog boxes from the loader: the caller reports a missing library itself.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(file.c_str());
    SetErrorMode(previous);
    return reinterpret_cast<void *>(module);
}

void *librarySymbol(void *library, const char *name)
{
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeLibrary(void *library)
{
    FreeLibrary(static_cast<HMODULE>(library));
}

std::string lastLoaderError()
{
    return "error " + std::to_string(GetLastError());
}

void leaveWorkingFolderOutOfLibrarySearch()
{
    // An empty folder here takes the working folder out of LoadLibrary's search order; the
    // program's own folder and the system folders stay in it.
    SetDllDirectoryW(L"");
}

} // namespace reader::platform

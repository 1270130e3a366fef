#include "reader/dynamic_library.h"

#include <windows.h>

#include <string>

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
    // A folder given here takes the working folder's place in LoadLibrary's search. The
    // program's own folder, which the search tries first anyway, adds nothing else to it.
    // (An empty string takes the working folder out on Windows too, but Wine ignores it.)
    std::wstring program(32768, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size())));
    const std::size_t folderEnd = program.find_last_of(L"\\/");
    const std::wstring folder =
        folderEnd == std::wstring::npos ? std::wstring() : program.substr(0, folderEnd + 1);
    SetDllDirectoryW(folder.c_str());
}

} // namespace reader::platform

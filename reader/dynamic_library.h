// Loading a shared library and looking up a symbol in it, one small function each per
// platform (dynamic_library_posix.cpp, dynamic_library_win32.cpp).
#pragma once

#include <string>

namespace reader::platform {

// nullptr when the library cannot be loaded; lastLoaderError() then says why.
void *openLibrary(const std::string &file);
// nullptr when the library does not export name.
void *librarySymbol(void *library, const char *name);
void closeLibrary(void *library);
std::string lastLoaderError();
// A library named without a folder is no longer looked for in the working folder.
void leaveWorkingFolderOutOfLibrarySearch();

} // namespace reader::platform

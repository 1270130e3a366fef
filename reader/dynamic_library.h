// Loading a shared library and looking up a symbol in it, one small function each per
// platform (dynamic_library_posix.cpp, dynamic_library_win32.cpp).
#pragma once

#include <string>

namespace reader::platform {

// Why a library did not load, told apart from what the loader reports, so that an operator
// learns what to do about a file that is there but cannot be used.
enum class LoadFailure {
    NotFound,
    OtherWidth,           // a library for the other width (64-bit where 32-bit is needed)
    OtherMachine,         // a library for another kind of processor, of this width
    NotALibrary,          // a file the loader does not take for a library at all
    Damaged,              // a library cut short, or whose headers point past its end
    MissingDependency,    // detail: the missing library's name, empty when it is unknown
    InitialisationFailed, // its start-up code refused (DllMain returned FALSE)
    Other,                // detail: the system's own text
};

struct LoadError
{
    LoadFailure cause = LoadFailure::Other;
    std::string detail;
};

// The width of this program's code, and so of every library it can load: 32 or 64.
inline constexpr int kProgramBits = static_cast<int>(sizeof(void *) * 8);

// nullptr when the library cannot be loaded; then *why, when given, says why. A file named
// without a folder is looked for by the platform's library search (on Windows: the
// program's folder, then the system's). On Windows, once restrictLibrarySearch has run, the
// libraries that it needs, and those that it loads by name at any time after, are looked
// for in its own folder, then the program's, then the system's. A file whose headers show
// that it is damaged is never handed to the loader, which would map past the file's end.
void *openLibrary(const std::string &file, LoadError *why = nullptr);
// nullptr when the library does not export name. There is no unloading: a library that has
// had calls may run a thread of its own until the process ends.
void *librarySymbol(void *library, const char *name);
// Takes the working folder, and on Windows PATH, out of the places where the libraries
// loaded by name are looked for, by the system's own components and the reader library's.
void restrictLibrarySearch();

} // namespace reader::platform

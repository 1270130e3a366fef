#include "reader/dynamic_library.h"

#include <dlfcn.h>

namespace reader::platform {

void *openLibrary(const std::string &file)
{
    // A bare file name goes through the loader's ordinary search: LD_LIBRARY_PATH first,
    // then the program's RUNPATH ($ORIGIN, the folder of the program).
    return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void *librarySymbol(void *library, const char *name)
{
    return dlsym(library, name);
}

void closeLibrary(void *library)
{
    dlclose(library);
}

std::string lastLoaderError()
{
    const char *error = dlerror();
    return error != nullptr ? error : "";
}

void leaveWorkingFolderOutOfLibrarySearch()
{
    // Nothing to do: dlopen looks in the working folder only for a name with a slash in it.
}

} // namespace reader::platform

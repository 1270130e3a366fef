#include "reader/dynamic_library.h"

#include <dlfcn.h>
#include <locale.h>

namespace reader::platform {

namespace {

// dlerror's text in the C locale: glibc translates it into the operator's language, and
// the cause is read off the English.
std::string loaderError()
{
    const locale_t plain = newlocale(LC_ALL_MASK, "C", locale_t{});
    const locale_t previous = plain != locale_t{} ? uselocale(plain) : locale_t{};
    const char *error = dlerror();
    std::string text = error != nullptr ? error : "";
    if (plain != locale_t{}) {
        uselocale(previous);
        freelocale(plain);
    }
    return text;
}

// glibc's texts have the form "FILE: WHAT", where FILE is the library the loader could not
// use: the one asked for, or one that it needs.
LoadError describe(const std::string &file, const std::string &text)
{
    const auto colon = text.find(": ");
    const std::string subject = text.substr(0, colon);
    const std::string what = colon == std::string::npos ? text : text.substr(colon + 2);
    const std::string subjectName = subject.substr(subject.find_last_of('/') + 1);
    // A name without a folder is named by the path where the search found it.
    const bool itself =
        subject == file || (file.find('/') == std::string::npos && subjectName == file);
    if (what == "cannot open shared object file: No such file or directory") {
        if (itself)
            return {LoadFailure::NotFound, {}};
        return {LoadFailure::MissingDependency, subjectName};
    }
    if (itself && what.starts_with("wrong ELF class"))
        return {LoadFailure::OtherWidth, {}};
    if (itself && (what.starts_with("invalid ELF header") || what.starts_with("file too short")))
        return {LoadFailure::NotALibrary, {}};
    return {LoadFailure::Other, text};
}

} // namespace

void *openLibrary(const std::string &file, LoadError *why)
{
    // A bare file name goes through the loader's ordinary search: LD_LIBRARY_PATH first,
    // then the program's RUNPATH ($ORIGIN, the folder of the program).
    void *library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr && why != nullptr)
        *why = describe(file, loaderError());
    return library;
}

void *librarySymbol(void *library, const char *name)
{
    return dlsym(library, name);
}

void closeLibrary(void *library)
{
    dlclose(library);
}

void restrictLibrarySearch()
{
    // Nothing to do: dlopen looks in the working folder only for a name with a slash in it.
}

} // namespace reader::platform

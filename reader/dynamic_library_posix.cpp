#include "reader/dynamic_library.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

// The linker's name for this program's own ELF header, which holds its class and machine.
extern "C" const ElfW(Ehdr) __ehdr_start;

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
    return {LoadFailure::Other, text};
}

// What the headers of the open file fd say against loading it here; none when they allow it.
// glibc maps each loadable segment's part of the file and touches its pages: a part past the
// end of a file cut short would end the program with SIGBUS.
std::optional<LoadError> fromHeaders(int fd)
{
    struct stat status
    {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    const auto size = static_cast<uint64_t>(status.st_size);
    const auto readAt = [&](uint64_t offset, void *to, uint64_t length) {
        return offset <= size && length <= size - offset &&
               pread(fd, to, length, static_cast<off_t>(offset)) == static_cast<ssize_t>(length);
    };
    ElfW(Ehdr) header{};
    const auto got = std::max<ssize_t>(pread(fd, &header, sizeof header, 0), 0);
    if (std::memcmp(header.e_ident, ELFMAG, std::min<std::size_t>(got, SELFMAG)) != 0)
        return LoadError{LoadFailure::NotALibrary, {}};
    if (got <= EI_CLASS)
        return LoadError{LoadFailure::Damaged, {}};
    if (header.e_ident[EI_CLASS] != __ehdr_start.e_ident[EI_CLASS])
        return LoadError{LoadFailure::OtherWidth, {}};
    if (got < static_cast<ssize_t>(sizeof header))
        return LoadError{LoadFailure::Damaged, {}};
    if (header.e_ident[EI_DATA] != __ehdr_start.e_ident[EI_DATA] ||
        header.e_machine != __ehdr_start.e_machine)
        return LoadError{LoadFailure::OtherMachine, {}};
    if (header.e_type != ET_DYN)
        return LoadError{LoadFailure::NotALibrary, {}};
    std::vector<ElfW(Phdr)> segments(header.e_phnum);
    if (header.e_phentsize != sizeof(ElfW(Phdr)) ||
        !readAt(header.e_phoff, segments.data(), segments.size() * sizeof(ElfW(Phdr))))
        return LoadError{LoadFailure::Damaged, {}};
    for (const ElfW(Phdr) & segment : segments) {
        if (segment.p_type == PT_LOAD &&
            (segment.p_offset > size || segment.p_filesz > size - segment.p_offset))
            return LoadError{LoadFailure::Damaged, {}};
    }
    return std::nullopt;
}

// The files that dlopen tries for a name without a folder, in its order: the folders of the
// program's RPATH, of LD_LIBRARY_PATH, of its RUNPATH ($ORIGIN), then the system's. (The
// loader's cache, which it reads before the system's folders, lists only files in them.)
std::vector<std::string> searched(const std::string &name)
{
    Dl_serinfo size{};
    void *program = dlopen(nullptr, RTLD_NOW);
    if (program == nullptr || dlinfo(program, RTLD_DI_SERINFOSIZE, &size) != 0)
        return {};
    const std::unique_ptr<Dl_serinfo, void (*)(void *)> info(
        static_cast<Dl_serinfo *>(std::malloc(size.dls_size)), std::free);
    std::vector<std::string> files;
    if (info != nullptr && dlinfo(program, RTLD_DI_SERINFOSIZE, info.get()) == 0 &&
        dlinfo(program, RTLD_DI_SERINFO, info.get()) == 0) {
        for (unsigned i = 0; i < info->dls_cnt; ++i)
            files.push_back(std::string(info->dls_serpath[i].dls_name) + "/" + name);
    }
    return files;
}

} // namespace

void *openLibrary(const std::string &file, LoadError *why)
{
    // A bare file name goes through the loader's ordinary search: LD_LIBRARY_PATH first,
    // then the program's RUNPATH ($ORIGIN, the folder of the program). The file that the
    // loader will take is found first and its headers read, before it maps it: in a search
    // the loader passes over a file of another class or machine and takes the next one.
    const bool named = file.find('/') != std::string::npos;
    std::optional<LoadError> passedOver;
    for (const std::string &path : named ? std::vector{file} : searched(file)) {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        const std::optional<LoadError> refused = fromHeaders(fd);
        close(fd);
        if (refused && !named &&
            (refused->cause == LoadFailure::OtherWidth ||
             refused->cause == LoadFailure::OtherMachine)) {
            if (!passedOver)
                passedOver = refused;
            continue;
        }
        if (refused) {
            if (why != nullptr)
                *why = *refused;
            return nullptr;
        }
        passedOver.reset();
        break;
    }
    void *library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    // A file passed over in the search is the one to name, rather than "not found".
    if (library == nullptr && why != nullptr)
        *why = passedOver ? *passedOver : describe(file, loaderError());
    return library;
}

void *librarySymbol(void *library, const char *name)
{
    return dlsym(library, name);
}

void restrictLibrarySearch()
{
    // Nothing to do: dlopen looks in the working folder only for a name with a slash in it.
}

} // namespace reader::platform

#include "reader/reader_library.h"

#include "reader/dynamic_library.h"

namespace reader {

std::string BindError::message() const
{
    if (!libraryLoaded)
        return "Reader library " + library + " not found: cannot call " + function;
    return "Reader library " + library + " has no function " + function;
}

LibraryFiles defaultLibraryFiles()
{
#if defined(_WIN32)
    return {"C:\\EPCSDK.DLL", "EPCSDK.DLL"};
#else
    return {"libepcsdk.so", "libepcsdk.so"};
#endif
}

void hardenLibrarySearch()
{
    platform::leaveWorkingFolderOutOfLibrarySearch();
}

ReaderLibrary::ReaderLibrary(LibraryFiles files)
    : m_fixed{std::move(files.fixedPath)}, m_search{std::move(files.searchName)}
{}

ReaderLibrary::~ReaderLibrary()
{
    for (Module *module : {&m_fixed, &m_search}) {
        if (module->handle != nullptr)
            platform::closeLibrary(module->handle);
    }
}

std::variant<void *, BindError> ReaderLibrary::bind(Slot &slot)
{
    if (slot.address != nullptr)
        return slot.address;
    Module &module = *slot.module;
    if (module.handle == nullptr) {
        module.handle = platform::openLibrary(module.file);
        if (module.handle == nullptr)
            return BindError{module.file, slot.name, false, platform::lastLoaderError()};
    }
    slot.address = platform::librarySymbol(module.handle, slot.name);
    if (slot.address == nullptr)
        return BindError{module.file, slot.name, true, platform::lastLoaderError()};
    return slot.address;
}

CallResult ReaderLibrary::openComm(int32_t port)
{
    return call<epcsdk::OpenCommFn>(m_openComm, port);
}

CallResult ReaderLibrary::closeComm(int32_t handle)
{
    return call<epcsdk::CloseCommFn>(m_closeComm, handle);
}

CallResult ReaderLibrary::readTag(int32_t handle, uint8_t bank, uint8_t firstWord,
                                  uint8_t wordCount, uint8_t *buffer)
{
    return call<epcsdk::ReadTagFn>(m_readTag, handle, bank, firstWord, wordCount, buffer);
}

CallResult ReaderLibrary::writeTagSingleWord(int32_t handle, uint8_t bank, uint8_t word,
                                             uint8_t high, uint8_t low)
{
    return call<epcsdk::WriteTagSingleWordFn>(m_writeTagSingleWord, handle, bank, word, high, low);
}

} // namespace reader

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
    // The handle that OpenComm gives means something only to the library that gave it, so
    // the others are taken from the file at the fixed path too, whichever is called first.
    // The search by name stands in only while that file does not load: the reader's calls
    // without a link still reach a library installed elsewhere on the search path.
    Module *module = &m_fixed;
    if (!loadFixed() && !slot.fixedOnly) {
        module = &m_search;
        if (m_search.handle == nullptr)
            m_search.handle = platform::openLibrary(m_search.file);
    }
    if (module->handle == nullptr)
        return BindError{module->file, slot.name, false, platform::lastLoaderError()};
    slot.address = platform::librarySymbol(module->handle, slot.name);
    if (slot.address == nullptr)
        return BindError{module->file, slot.name, true, platform::lastLoaderError()};
    slot.boundIn = module;
    return slot.address;
}

bool ReaderLibrary::loadFixed()
{
    if (m_fixed.handle != nullptr)
        return true;
    m_fixed.handle = platform::openLibrary(m_fixed.file);
    if (m_fixed.handle == nullptr)
        return false;
    // A library put at the fixed path while the program runs: what the search bound before
    // is bound anew there, and the copy it found is let go.
    for (Slot *slot : {&m_closeComm, &m_readTag, &m_writeTagSingleWord}) {
        if (slot->boundIn == &m_search)
            *slot = Slot{slot->name};
    }
    if (m_search.handle != nullptr) {
        platform::closeLibrary(m_search.handle);
        m_search.handle = nullptr;
    }
    return true;
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

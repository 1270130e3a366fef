#include "reader/reader_library.h"

#include "reader/dynamic_library.h"

namespace reader {

std::string BindError::message() const
{
    const std::string subject = "Reader library " + library;
    const std::string consequence = ": cannot call " + function;
    if (inAnotherCall)
        return subject + " is busy with another call" + consequence;
    if (!loadError)
        return subject + " has no function " + function;
    using platform::LoadFailure;
    switch (loadError->cause) {
    case LoadFailure::NotFound:
        return subject + " not found" + consequence;
    case LoadFailure::OtherWidth: {
        const std::string name = library.substr(library.find_last_of("\\/") + 1);
        return subject + " is a " + std::to_string(platform::kProgramBits == 32 ? 64 : 32) +
               "-bit library; this program needs the " + std::to_string(platform::kProgramBits) +
               "-bit " + name + consequence;
    }
    case LoadFailure::OtherMachine:
        return subject + " is a library for another kind of processor" + consequence;
    case LoadFailure::NotALibrary:
        return subject + " is not a library" + consequence;
    case LoadFailure::Damaged:
        return subject + " is cut short or damaged" + consequence;
    case LoadFailure::MissingDependency:
        if (loadError->detail.empty())
            return subject + " needs another library, which is missing" + consequence;
        return subject + " needs " + loadError->detail + ", which is missing" + consequence;
    case LoadFailure::InitialisationFailed:
        return subject + " failed to start" + consequence;
    case LoadFailure::Other:
        break;
    }
    return subject + " cannot be loaded (" + loadError->detail + ")" + consequence;
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
    platform::restrictLibrarySearch();
}

ReaderLibrary::ReaderLibrary(LibraryFiles files)
    : m_fixed{std::move(files.fixedPath)}, m_search{std::move(files.searchName)}
{}

// The library stays loaded until the process ends: the process end takes it. A maker's
// serial library may run a thread of its own from OpenComm to CloseComm, and the Close button
// ends the program without CloseComm; unloading the library under that thread crashes the
// program as it exits (FreeLibrary or dlclose under a running thread).
ReaderLibrary::~ReaderLibrary() = default;

std::variant<void *, BindError> ReaderLibrary::bind(Slot &slot)
{
    if (slot.address != nullptr)
        return slot.address;
    // The handle that OpenComm gives means something only to the library that gave it, so
    // the others are taken from the file at the fixed path too, whichever is called first.
    // The search by name stands in only while that file does not load: the reader's calls
    // without a link still reach a library installed elsewhere on the search path.
    platform::LoadError why;
    Module *module = &m_fixed;
    if (!loadFixed(why) && !slot.fixedOnly) {
        platform::LoadError searchWhy;
        if (m_search.handle == nullptr)
            m_search.handle = platform::openLibrary(m_search.file, &searchWhy);
        // A file at the fixed path that is there but does not load tells the operator more
        // than a search that found nothing.
        const bool fixedTellsMore = m_search.handle == nullptr &&
                                    searchWhy.cause == platform::LoadFailure::NotFound &&
                                    why.cause != platform::LoadFailure::NotFound;
        if (!fixedTellsMore) {
            module = &m_search;
            why = searchWhy;
        }
    }
    if (module->handle == nullptr)
        return BindError{module->file, slot.name, why};
    slot.address = platform::librarySymbol(module->handle, slot.name);
    if (slot.address == nullptr)
        return BindError{module->file, slot.name, std::nullopt};
    slot.boundIn = module;
    return slot.address;
}

bool ReaderLibrary::loadFixed(platform::LoadError &why)
{
    if (m_fixed.handle != nullptr)
        return true;
    m_fixed.handle = platform::openLibrary(m_fixed.file, &why);
    if (m_fixed.handle == nullptr)
        return false;
    // A library put at the fixed path while the program runs: what the search bound before
    // is bound anew there. The copy that the search found stays loaded, unused, like every
    // library that has had calls: it may run a thread of its own.
    for (Slot *slot : {&m_closeComm, &m_readTag, &m_writeTagSingleWord}) {
        if (slot->boundIn == &m_search)
            *slot = Slot{slot->name};
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

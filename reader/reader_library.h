// The binding to the reader maker's library. Each function is looked up by name at its
// first call and stays bound, so the program starts and runs without the library until it
// first talks to the reader. A library that cannot be loaded, or that lacks a function,
// gives the caller a BindError naming both; the next call tries to bind again.
#pragma once

#include "reader/command_gate.h"
#include "reader/dynamic_library.h"
#include "reader/epcsdk_abi.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace reader {

struct BindError
{
    std::string library;  // the file the function was looked for in
    std::string function; // the function that could not be bound
    // Why the library did not load; none when it loaded but lacks the function.
    std::optional<platform::LoadError> loadError;
    // The library was inside another call: this one was not made.
    bool inAnotherCall = false;

    // One line for the operator, naming the cause, e.g.
    // "Reader library libepcsdk.so not found: cannot call OpenComm".
    std::string message() const;
};

// What a call into the library gave: the function's own result, or why it could not be
// called at all.
class CallResult
{
public:
    CallResult(int32_t value) : m_result(value) {}
    CallResult(BindError error) : m_result(std::move(error)) {}

    bool called() const { return std::holds_alternative<int32_t>(m_result); }
    int32_t value() const { return std::get<int32_t>(m_result); }
    const BindError &error() const { return std::get<BindError>(m_result); }

private:
    std::variant<int32_t, BindError> m_result;
};

struct LibraryFiles
{
    std::string fixedPath;  // where every function is bound, OpenComm always
    std::string searchName; // where the others are bound while fixedPath does not load
};

// On Windows every function comes from "C:\EPCSDK.DLL"; while that file does not load, all
// but OpenComm come from "EPCSDK.DLL" in the program's folder or the system's. Elsewhere all
// four come
// from libepcsdk.so, found by the dynamic loader's ordinary search.
LibraryFiles defaultLibraryFiles();

// Keeps files planted in the working folder, or on Windows in a folder on PATH, from standing
// in for the libraries that are loaded by name: on Windows, by the system's own components
// and by the reader library, these come from the program's folder, the reader library's
// folder and the system's from then on. The program calls this first thing, before it makes
// a window or loads any library. Elsewhere the loader never looks in the working folder, and
// this does nothing.
void hardenLibrarySearch();

class ReaderLibrary
{
public:
    explicit ReaderLibrary(LibraryFiles files = defaultLibraryFiles());
    // Never unloads the library, whose threads may outlive the link.
    ~ReaderLibrary();
    ReaderLibrary(const ReaderLibrary &) = delete;
    ReaderLibrary &operator=(const ReaderLibrary &) = delete;

    // The window's commands that call the library pass through its gate, one at a time.
    // A call made while another is inside the library all the same is refused, and says
    // so: a serial library's exchange with the reader is not made to be entered twice.
    CommandGate &commands() { return m_commands; }

    CallResult openComm(int32_t port);
    CallResult closeComm(int32_t handle);
    CallResult readTag(int32_t handle, uint8_t bank, uint8_t firstWord, uint8_t wordCount,
                       uint8_t *buffer);
    CallResult writeTagSingleWord(int32_t handle, uint8_t bank, uint8_t word, uint8_t high,
                                  uint8_t low);

private:
    struct Module
    {
        std::string file;
        void *handle = nullptr;
    };
    struct Slot
    {
        const char *name;
        bool fixedOnly = false; // never bound through the library search
        Module *boundIn = nullptr;
        void *address = nullptr;
    };

    // The function's address, or why there is none.
    std::variant<void *, BindError> bind(Slot &slot);
    // Whether the library at the fixed path is loaded, loading it if need be; why says why
    // not.
    bool loadFixed(platform::LoadError &why);

    template <typename Fn, typename... Args> CallResult call(Slot &slot, Args... args)
    {
        if (m_inCall)
            return BindError{m_fixed.file, slot.name, std::nullopt, true};
        auto bound = bind(slot);
        if (auto *error = std::get_if<BindError>(&bound))
            return std::move(*error);
        m_inCall = true;
        const int32_t result = reinterpret_cast<Fn *>(std::get<void *>(bound))(args...);
        m_inCall = false;
        return result;
    }

    Module m_fixed;
    Module m_search;
    Slot m_openComm{"OpenComm", true};
    Slot m_closeComm{"CloseComm"};
    Slot m_readTag{"ReadTag"};
    Slot m_writeTagSingleWord{"WriteTagSingleWord"};
    bool m_inCall = false;
    CommandGate m_commands;
};

} // namespace reader

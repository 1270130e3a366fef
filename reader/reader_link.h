// The one link to the reader and the reader handle that stands for it. The window's
// Connect, Disconnect and close steps call this; it reports each outcome as the status
// line's text.
#pragma once

#include "reader/reader_library.h"

#include <cstdint>
#include <string>

namespace reader {

// The reader always sits on this port, whichever entry of the port list is chosen.
inline constexpr int32_t kReaderPort = 9;

class ReaderLink
{
public:
    explicit ReaderLink(ReaderLibrary &library) : m_library(library) {}

    // -1 while no link is open.
    int32_t handle() const { return m_handle; }
    bool isOpen() const { return m_handle != epcsdk::kNoLink; }

    // The window asks for a port before it calls connect: connect only needs to know that
    // an entry was chosen, not which. Each returns the status line's new text.
    std::string connect();
    std::string disconnect();
    // The window is closing: release an open link, silently.
    void release();

private:
    ReaderLibrary &m_library;
    int32_t m_handle = epcsdk::kNoLink;
};

// The port list's entry at position p (counted from 0) is COM port p + 1; position -1, no
// entry selected, gives port 0.
inline constexpr int kPortCount = 100;
constexpr int portNumber(int listPosition)
{
    return listPosition + 1;
}
// Whether the operator has chosen a port: only then does Connect open the link.
constexpr bool portChosen(int listPosition)
{
    return portNumber(listPosition) > 0;
}

} // namespace reader

#include "reader/reader_link.h"

namespace reader {

std::string ReaderLink::connect()
{
    if (isOpen())
        return "Hardware Is Connected！";
    const CallResult result = m_library.openComm(kReaderPort);
    if (!result.called())
        return result.error().message();
    m_handle = result.value();
    return isOpen() ? "Connect Successfull！" : "Connection Failed！";
}

std::string ReaderLink::disconnect()
{
    if (!isOpen())
        return "Disconnect Failed！";
    const CallResult result = m_library.closeComm(m_handle);
    if (!result.called())
        return result.error().message();
    m_handle = epcsdk::kNoLink;
    return "Disconnect Successfull！";
}

void ReaderLink::release()
{
    if (isOpen() && m_library.closeComm(m_handle).called())
        m_handle = epcsdk::kNoLink;
}

} // namespace reader

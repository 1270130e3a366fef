#include "reader/reader_link.h"

#include "reader/operator_texts.h"

namespace reader {

std::string ReaderLink::connect()
{
    if (isOpen())
        return std::string(texts::kAlreadyConnected);
    const CallResult result = m_library.openComm(kReaderPort);
    if (!result.called())
        return result.error().message();
    m_handle = result.value();
    return std::string(isOpen() ? texts::kConnected : texts::kConnectionFailed);
}

std::string ReaderLink::disconnect()
{
    if (!isOpen())
        return std::string(texts::kDisconnectFailed);
    const CallResult result = m_library.closeComm(m_handle);
    if (!result.called())
        return result.error().message();
    m_handle = epcsdk::kNoLink;
    return std::string(texts::kDisconnected);
}

void ReaderLink::release()
{
    if (isOpen() && m_library.closeComm(m_handle).called())
        m_handle = epcsdk::kNoLink;
}

} // namespace reader

// The simulated reader's serial form: the same four functions, but the tag lives in a reader
// at the far end of the serial port that OpenComm names (port 9 is \\.\COM9), reached with
// the calls that a maker's library makes on Windows. Never shipped: it shows whether a
// library of that kind works where tagwright.exe runs, under Wine on a Linux tty included.
//
// The frames, and how a reply is matched to its request, are in serial_frame.h.
//
// TAGWRIGHT_SERIAL_TRACE names a file to which each serial call appends its name, its
// result and the last error, so that a failing line shows which call failed.
#include "reader/epcsdk_abi.h"
#include "simreader/serial_frame.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <type_traits>

#define EXPORT extern "C" __declspec(dllexport)

namespace {

bool traced(const char *call, BOOL ok)
{
    static const char *const path = std::getenv("TAGWRIGHT_SERIAL_TRACE");
    const DWORD error = GetLastError();
    if (std::FILE *trace = path != nullptr ? std::fopen(path, "a") : nullptr) {
        std::fprintf(trace, "%lu %s %s %lu\n", GetTickCount(), call, ok ? "ok" : "failed", error);
        std::fclose(trace);
    }
    SetLastError(error);
    return ok != FALSE;
}

HANDLE portOf(int32_t handle)
{
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle));
}

// Waits for an overlapped call that went pending, until the deadline; cancels it at the
// deadline, so that the OVERLAPPED on the caller's stack is never written after it returns.
bool finish(HANDLE port, OVERLAPPED &io, BOOL started, DWORD deadline, DWORD &done)
{
    if (!started && GetLastError() != ERROR_IO_PENDING)
        return false;
    const DWORD now = GetTickCount();
    const DWORD left = static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
    if (WaitForSingleObject(io.hEvent, left) != WAIT_OBJECT_0) {
        CancelIo(port);
        GetOverlappedResult(port, &io, &done, TRUE);
        return false;
    }
    return GetOverlappedResult(port, &io, &done, FALSE) != FALSE;
}

// The port as exchange()'s line, within one deadline for the request and its reply.
class PortLine
{
public:
    explicit PortLine(HANDLE port) : m_port(port)
    {
        m_io.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~PortLine() { CloseHandle(m_io.hEvent); }
    PortLine(const PortLine &) = delete;
    PortLine &operator=(const PortLine &) = delete;

    bool send(const std::string &bytes)
    {
        DWORD done = 0;
        return traced("WriteFile",
                      finish(m_port, m_io,
                             WriteFile(m_port, bytes.data(), DWORD(bytes.size()), nullptr, &m_io),
                             m_deadline, done)) &&
               done == bytes.size() && traced("SetCommMask", SetCommMask(m_port, EV_RXCHAR));
    }

    bool receive(std::string &received)
    {
        DWORD event = 0, have = 0;
        COMSTAT status{};
        ResetEvent(m_io.hEvent);
        bool ok = traced("ClearCommError", ClearCommError(m_port, nullptr, &status));
        // Windows ends the wait with the event, or with none when the mask changes. Wine ends
        // it with ERROR_OPERATION_ABORTED on a pseudo-terminal, whose modem lines it cannot
        // read: the queue is then polled instead, within the same deadline.
        if (ok && status.cbInQue == 0) {
            if (!traced("WaitCommEvent", finish(m_port, m_io, WaitCommEvent(m_port, &event, &m_io),
                                                m_deadline, have)))
                Sleep(5);
            ok = traced("ClearCommError", ClearCommError(m_port, nullptr, &status));
        }
        char chunk[64];
        const DWORD want = status.cbInQue < sizeof chunk ? status.cbInQue : sizeof chunk;
        ResetEvent(m_io.hEvent);
        if (ok && want > 0) {
            ok = traced("ReadFile",
                        finish(m_port, m_io, ReadFile(m_port, chunk, want, nullptr, &m_io),
                               m_deadline, have));
            received.append(chunk, ok ? have : 0);
        }
        return ok && static_cast<LONG>(m_deadline - GetTickCount()) > 0;
    }

private:
    HANDLE m_port;
    OVERLAPPED m_io{};
    const DWORD m_deadline = GetTickCount() + serial_frame::kReplyBoundMs;
};

// Sends a request, numbered for its reply, and takes that reply.
bool transact(int32_t handle, serial_frame::Request request, serial_frame::Reply &reply)
{
    // Begun anywhere, so that a reply that a reader still owes a program that has just ended
    // is unlikely to carry the number of this program's first request.
    static std::atomic<uint8_t> next{static_cast<uint8_t>(GetTickCount())};
    if (handle == epcsdk::kNoLink || handle == 0)
        return false;
    // Leaves no part of an earlier frame ahead of the reply.
    traced("PurgeComm", PurgeComm(portOf(handle), PURGE_RXCLEAR | PURGE_TXCLEAR));
    request.sequence = next++;
    PortLine line(portOf(handle));
    return serial_frame::exchange(line, request, reply);
}

} // namespace

EXPORT int32_t EPCSDK_CALL OpenComm(int32_t port)
{
    const std::wstring name = L"\\\\.\\COM" + std::to_wstring(port);
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (!traced("CreateFileW", handle != INVALID_HANDLE_VALUE))
        return epcsdk::kNoLink;
    DCB line{};
    line.DCBlength = sizeof line;
    COMMTIMEOUTS timeouts{};
    // Reads return at once with what has arrived: WaitCommEvent does the waiting.
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = serial_frame::kReplyBoundMs;
    bool ok = traced("SetupComm", SetupComm(handle, 4096, 4096)) &&
              traced("GetCommState", GetCommState(handle, &line));
    line.BaudRate = CBR_57600;
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.fBinary = TRUE;
    line.fParity = FALSE;
    line.fOutxCtsFlow = line.fOutxDsrFlow = line.fOutX = line.fInX = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fRtsControl = RTS_CONTROL_ENABLE;
    ok = ok && traced("SetCommState", SetCommState(handle, &line)) &&
         traced("SetCommTimeouts", SetCommTimeouts(handle, &timeouts)) &&
         traced("PurgeComm", PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR));
    if (!ok) {
        CloseHandle(handle);
        return epcsdk::kNoLink;
    }
    // A 32-bit process's handles fit in 32 bits; none is -1, which is INVALID_HANDLE_VALUE.
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(handle));
}

EXPORT int32_t EPCSDK_CALL CloseComm(int32_t handle)
{
    if (handle == epcsdk::kNoLink || handle == 0)
        return 0;
    return traced("CloseHandle", CloseHandle(portOf(handle))) ? 1 : 0;
}

EXPORT int32_t EPCSDK_CALL ReadTag(int32_t handle, uint8_t bank, uint8_t firstWord,
                                   uint8_t wordCount, uint8_t *buffer)
{
    serial_frame::Reply reply;
    if (buffer == nullptr ||
        !transact(handle, {0, serial_frame::kRead, bank, firstWord, wordCount, 0}, reply) ||
        reply.status != serial_frame::kOk || reply.data.size() != 2u * wordCount)
        return 0;
    reply.data.copy(reinterpret_cast<char *>(buffer), reply.data.size());
    return 1;
}

EXPORT int32_t EPCSDK_CALL WriteTagSingleWord(int32_t handle, uint8_t bank, uint8_t word,
                                              uint8_t high, uint8_t low)
{
    serial_frame::Reply reply;
    const bool ok = transact(handle, {0, serial_frame::kWrite, bank, word, high, low}, reply) &&
                    reply.status == serial_frame::kOk;
    return ok ? epcsdk::kWriteOk : 0;
}

static_assert(std::is_same_v<decltype(OpenComm), epcsdk::OpenCommFn>);
static_assert(std::is_same_v<decltype(CloseComm), epcsdk::CloseCommFn>);
static_assert(std::is_same_v<decltype(ReadTag), epcsdk::ReadTagFn>);
static_assert(std::is_same_v<decltype(WriteTagSingleWord), epcsdk::WriteTagSingleWordFn>);

// The simulated reader's serial form: the same four functions, but the tag lives in a reader
// at the far end of the serial port that OpenComm names (port 9 is \\.\COM9), reached with
// the calls that a maker's library makes on Windows. Never shipped: it shows whether a
// library of that kind works where tagwright.exe runs, under Wine on a Linux tty included.
//
// A request is [length, command, bank, word, byte 1, byte 2, checksum], where length counts
// the bytes after itself and the checksum makes all bytes before it plus itself sum to zero
// (mod 256). A write carries the word's high and low bytes, a read the word count and 0. A
// reply is [length, status, data..., checksum] in the same form, with two bytes per word
// read.
//
// TAGWRIGHT_SERIAL_TRACE names a file to which each serial call appends its name, its
// result and the last error, so that a failing line shows which call failed.
#include "reader/epcsdk_abi.h"
#include "simreader/serial_frame.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <type_traits>

#define EXPORT extern "C" __declspec(dllexport)

namespace {

// A reader that has not answered within this long is taken as gone: a call fails, it never
// hangs the operator's window.
constexpr DWORD kReplyTimeoutMs = 2000;

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

// Sends a request and collects its reply; false when the reader does not answer in time or
// answers with a frame that does not check.
bool transact(int32_t handle, const serial_frame::Request &request, serial_frame::Reply &reply)
{
    HANDLE port = portOf(handle);
    if (handle == epcsdk::kNoLink || handle == 0)
        return false;
    // Bytes of an earlier reply that came too late would be taken for this one's.
    traced("PurgeComm", PurgeComm(port, PURGE_RXCLEAR | PURGE_TXCLEAR));
    OVERLAPPED io{};
    io.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const DWORD deadline = GetTickCount() + kReplyTimeoutMs;
    DWORD done = 0;
    const auto bytes = request.bytes();
    bool ok =
        traced("WriteFile",
               finish(port, io, WriteFile(port, bytes.data(), DWORD(bytes.size()), nullptr, &io),
                      deadline, done)) &&
        done == bytes.size() && traced("SetCommMask", SetCommMask(port, EV_RXCHAR));
    std::string received;
    while (ok && !reply.parse(received)) {
        DWORD event = 0, have = 0;
        COMSTAT status{};
        ResetEvent(io.hEvent);
        ok = traced("ClearCommError", ClearCommError(port, nullptr, &status));
        // Windows ends the wait with the event, or with none when the mask changes. Wine ends
        // it with ERROR_OPERATION_ABORTED on a pseudo-terminal, whose modem lines it cannot
        // read: the queue is then polled instead, within the same deadline.
        if (ok && status.cbInQue == 0) {
            if (!traced("WaitCommEvent",
                        finish(port, io, WaitCommEvent(port, &event, &io), deadline, have)))
                Sleep(5);
            ok = traced("ClearCommError", ClearCommError(port, nullptr, &status));
        }
        char chunk[64];
        const DWORD want = status.cbInQue < sizeof chunk ? status.cbInQue : sizeof chunk;
        ResetEvent(io.hEvent);
        if (ok && want > 0) {
            ok = traced("ReadFile", finish(port, io, ReadFile(port, chunk, want, nullptr, &io),
                                           deadline, have));
            received.append(chunk, ok ? have : 0);
        }
        ok = ok && static_cast<LONG>(deadline - GetTickCount()) > 0;
    }
    CloseHandle(io.hEvent);
    return ok;
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
    timeouts.WriteTotalTimeoutConstant = kReplyTimeoutMs;
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
        !transact(handle, {serial_frame::kRead, bank, firstWord, wordCount, 0}, reply) ||
        reply.status != serial_frame::kOk || reply.data.size() != 2u * wordCount)
        return 0;
    reply.data.copy(reinterpret_cast<char *>(buffer), reply.data.size());
    return 1;
}

EXPORT int32_t EPCSDK_CALL WriteTagSingleWord(int32_t handle, uint8_t bank, uint8_t word,
                                              uint8_t high, uint8_t low)
{
    serial_frame::Reply reply;
    const bool ok = transact(handle, {serial_frame::kWrite, bank, word, high, low}, reply) &&
                    reply.status == serial_frame::kOk;
    return ok ? epcsdk::kWriteOk : 0;
}

static_assert(std::is_same_v<decltype(OpenComm), epcsdk::OpenCommFn>);
static_assert(std::is_same_v<decltype(CloseComm), epcsdk::CloseCommFn>);
static_assert(std::is_same_v<decltype(ReadTag), epcsdk::ReadTagFn>);
static_assert(std::is_same_v<decltype(WriteTagSingleWord), epcsdk::WriteTagSingleWordFn>);

// A reader on serial port 9 with one EPC Gen2 tag in its field, behind the same four
// functions the program binds in the maker's library. The tag's memory lives in this
// process, so that tests can look at what was written.
#include "reader/epcsdk_abi.h"

#if defined(_WIN32)
#define EXPORT extern "C" __declspec(dllexport)
#else
#define EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Exported with the ABI types, so that a signature that drifts from the program's fails
// to compile here.
#define SIM_API EXPORT
#include "simreader/sim_control.h"
#include "simreader/sim_log_files.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <type_traits>

namespace {

constexpr int32_t kReaderPort = 9;
constexpr int kBanks = 4;
constexpr int kWordsPerBank = 32;
constexpr int kLogSize = 4096;

// A maker's serial library often reads its port on a thread of its own, from OpenComm to
// CloseComm. This one wakes in the library's own code every millisecond, as such a thread
// polls its port, so that a program that unloads the library under it crashes at the
// thread's next wake. Its state is never destroyed, as the thread may still run while the
// process ends: destroyed at exit, a std::thread still running ends the process with
// std::terminate.
struct ReceiveThread
{
    std::mutex mutex;
    std::condition_variable stop;
    bool stopping = false;
    std::thread thread;

    void start()
    {
        if (thread.joinable())
            return;
        stopping = false;
        thread = std::thread([this] {
            std::unique_lock lock(mutex);
            while (!stopping)
                stop.wait_for(lock, std::chrono::milliseconds(1));
        });
    }
    void end()
    {
        if (!thread.joinable())
            return;
        {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        stop.notify_all();
        thread.join();
    }
};
ReceiveThread &receiver = *new ReceiveThread;

struct Reader
{
    bool readerPresent = true;
    bool receiveThread = false;
    int pumpMs = 0;          // every call runs the program's event loop this long
    bool messageBox = false; // a write shows a message box of its own, and waits for it
    bool tagPresent = true;
    bool leaveAfterNextWrite = false;
    int failingWord = -1;
    int32_t openHandle = epcsdk::kNoLink;
    int32_t nextHandle = 0x5A01;
    std::array<std::array<uint16_t, kWordsPerBank>, kBanks> memory{};
    std::array<SimCall, kLogSize> log{};
    int32_t calls = 0;
    // How many calls are inside the library now, and how many entered while another was.
    int inside = 0;
    int32_t nestedCalls = 0;
    void (*callHook)(void *) = nullptr;
    void *callHookContext = nullptr;

    bool linked(int32_t handle) const
    {
        return openHandle != epcsdk::kNoLink && handle == openHandle;
    }
    static bool inTag(int bank, int word)
    {
        return bank >= 0 && bank < kBanks && word >= 0 && word < kWordsPerBank;
    }

    int32_t record(SimCall call)
    {
        simLogCall(call);
        log[static_cast<std::size_t>(calls % kLogSize)] = call;
        ++calls;
        return call.result;
    }
};

Reader reader;

// What a maker's library does while it waits for the reader's answer: it runs the program's
// event loop, so that the window goes on painting. On Windows that is the thread's messages;
// elsewhere GLib's main context, which Qt's event loop runs on, looked up so that the
// library needs no GLib of its own.
void runEventLoop(int ms)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
#if defined(_WIN32)
    for (MSG message; std::chrono::steady_clock::now() < until;) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) { // the program's own loop must see it too
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
#else
    using Iterate = int (*)(void *context, int mayBlock);
    static const auto iterate =
        reinterpret_cast<Iterate>(dlsym(RTLD_DEFAULT, "g_main_context_iteration"));
    while (std::chrono::steady_clock::now() < until) {
        if (iterate == nullptr || !iterate(nullptr, 0))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
#endif
}

// The time that a call is inside the library. A call that enters while another is inside
// is counted: it would corrupt a serial library's exchange with the reader. The outermost
// call runs the program's code that a library lets run inside its calls, as one does that
// runs the program's event loop while it waits for the reader's answer.
class Inside
{
public:
    explicit Inside(SimFunction function)
    {
        if (reader.inside++ > 0) {
            ++reader.nestedCalls;
            simLogCall(SimCall{SimNestedCall, function, 0, 0, 0, 0, 0, 0});
            return;
        }
        if (reader.callHook != nullptr)
            reader.callHook(reader.callHookContext);
        if (reader.pumpMs > 0)
            runEventLoop(reader.pumpMs);
#if defined(_WIN32)
        // A box of the library's own, with no owner window: the program's window stays
        // open to input while it shows.
        if (reader.messageBox && function == SimWriteTagSingleWord)
            MessageBoxW(nullptr, L"Writing the tag", L"Reader library", MB_OK);
#endif
    }
    ~Inside()
    {
        --reader.inside;
    }
    Inside(const Inside &) = delete;
    Inside &operator=(const Inside &) = delete;
};

} // namespace

EXPORT int32_t EPCSDK_CALL OpenComm(int32_t port)
{
    simApplyFaults(reader);
    const Inside inside(SimOpenComm);
    int32_t result = epcsdk::kNoLink;
    if (reader.readerPresent && port == kReaderPort && reader.openHandle == epcsdk::kNoLink) {
        reader.openHandle = reader.nextHandle++;
        result = reader.openHandle;
        if (reader.receiveThread)
            receiver.start();
    }
    return reader.record({SimOpenComm, port, 0, 0, 0, 0, 0, result});
}

EXPORT int32_t EPCSDK_CALL CloseComm(int32_t handle)
{
    simApplyFaults(reader);
    const Inside inside(SimCloseComm);
    int32_t result = 0;
    if (reader.linked(handle)) {
        reader.openHandle = epcsdk::kNoLink;
        receiver.end();
        result = 1;
    }
    return reader.record({SimCloseComm, handle, 0, 0, 0, 0, 0, result});
}

EXPORT int32_t EPCSDK_CALL ReadTag(int32_t handle, uint8_t bank, uint8_t firstWord,
                                   uint8_t wordCount, uint8_t *buffer)
{
    simApplyFaults(reader);
    const Inside inside(SimReadTag);
    int32_t result = 0;
    const bool fits = Reader::inTag(bank, firstWord + wordCount - 1) && wordCount > 0;
    if (reader.linked(handle) && reader.tagPresent && fits && buffer != nullptr) {
        for (int i = 0; i < wordCount; ++i) {
            const uint16_t value = reader.memory[bank][static_cast<std::size_t>(firstWord + i)];
            buffer[2 * i] = static_cast<uint8_t>(value >> 8);
            buffer[2 * i + 1] = static_cast<uint8_t>(value & 0xFF);
        }
        result = 1;
    }
    return reader.record({SimReadTag, handle, bank, firstWord, wordCount, 0, 0, result});
}

EXPORT int32_t EPCSDK_CALL WriteTagSingleWord(int32_t handle, uint8_t bank, uint8_t word,
                                              uint8_t high, uint8_t low)
{
    simApplyFaults(reader);
    const Inside inside(SimWriteTagSingleWord);
    int32_t result = 0;
    if (reader.linked(handle) && reader.tagPresent && Reader::inTag(bank, word) &&
        word != reader.failingWord) {
        reader.memory[bank][word] = static_cast<uint16_t>(high << 8 | low);
        result = epcsdk::kWriteOk;
        if (reader.leaveAfterNextWrite) {
            reader.leaveAfterNextWrite = false;
            reader.tagPresent = false;
        }
    }
    return reader.record({SimWriteTagSingleWord, handle, bank, word, 1, high, low, result});
}

static_assert(std::is_same_v<decltype(OpenComm), epcsdk::OpenCommFn>);
static_assert(std::is_same_v<decltype(CloseComm), epcsdk::CloseCommFn>);
static_assert(std::is_same_v<decltype(ReadTag), epcsdk::ReadTagFn>);
static_assert(std::is_same_v<decltype(WriteTagSingleWord), epcsdk::WriteTagSingleWordFn>);

EXPORT void SimReset()
{
    receiver.end();
    reader = Reader{};
}

EXPORT void SimSetCallHook(void (*hook)(void *context), void *context)
{
    reader.callHook = hook;
    reader.callHookContext = context;
}

EXPORT int32_t SimNestedCalls()
{
    return reader.nestedCalls;
}

EXPORT void SimSetReceiveThread(int on)
{
    reader.receiveThread = on != 0;
}

EXPORT void SimSetReaderPresent(int present)
{
    reader.readerPresent = present != 0;
}

EXPORT void SimSetTagPresent(int present)
{
    reader.tagPresent = present != 0;
}

EXPORT void SimFailWordAddress(int word)
{
    reader.failingWord = word;
}

EXPORT void SimLeaveAfterNextWrite()
{
    reader.leaveAfterNextWrite = true;
}

EXPORT int32_t SimPeekWord(int bank, int word)
{
    return Reader::inTag(bank, word) ? reader.memory[bank][word] : -1;
}

EXPORT void SimPokeWord(int bank, int word, int value)
{
    if (Reader::inTag(bank, word))
        reader.memory[bank][word] = static_cast<uint16_t>(value);
}

EXPORT int32_t SimCallCount()
{
    return reader.calls;
}

EXPORT int32_t SimCallLogSize()
{
    return kLogSize;
}

EXPORT int32_t SimCallAt(int32_t index, SimCall *call)
{
    if (index < 0 || index >= reader.calls || index < reader.calls - kLogSize || call == nullptr)
        return 0;
    *call = reader.log[static_cast<std::size_t>(index % kLogSize)];
    return 1;
}

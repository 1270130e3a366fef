// Control functions of the simulated reader library, for tests only: the program never
// calls them. They put the faults that operators meet into the simulated reader and let a
// test look at the tag's memory and at every call the library received.
#pragma once

#include <cstdint>

#ifndef SIM_API
#if defined(_WIN32)
#define SIM_API extern "C" __declspec(dllimport)
#else
#define SIM_API extern "C"
#endif
#endif

// One call the library received.
struct SimCall
{
    int32_t function; // SimFunction
    int32_t handle;   // the handle passed, or the port for OpenComm
    int32_t bank;
    int32_t word;
    int32_t count;
    int32_t high;
    int32_t low;
    int32_t result;
};

enum SimFunction : int32_t {
    SimNestedCall = 0, // logged for a call that entered while another was inside, its
                       // function in the handle's place
    SimOpenComm = 1,
    SimCloseComm = 2,
    SimReadTag = 3,
    SimWriteTagSingleWord = 4,
};

// Back to a new reader: no link, a blank tag in the field, no faults, an empty call log.
SIM_API void SimReset();
// Whether the reader answers at all; while it does not, OpenComm returns -1.
SIM_API void SimSetReaderPresent(int present);
// Whether a tag is in the field; while none is, every tag operation fails.
SIM_API void SimSetTagPresent(int present);
// The write of this word address fails while the tag stays in the field; -1 for none.
SIM_API void SimFailWordAddress(int word);
// Whether OpenComm starts a receive thread in the library, which runs until CloseComm.
SIM_API void SimSetReceiveThread(int on);
// The tag leaves the field after the next successful word write: a half-written card.
SIM_API void SimLeaveAfterNextWrite();
// Runs hook(context) inside every call that the library receives while no other is inside,
// before it answers, as a library does that runs the program's event loop while it waits for
// the reader; nullptr for none.
SIM_API void SimSetCallHook(void (*hook)(void *context), void *context);
// How many calls entered the library while another was inside it, since the last reset.
SIM_API int32_t SimNestedCalls();
// A word of the tag's memory (0..65535), or -1 for an address outside it.
SIM_API int32_t SimPeekWord(int bank, int word);
SIM_API void SimPokeWord(int bank, int word, int value);
// How many calls the library has received since the last reset; the log keeps the most
// recent SimCallLogSize of them.
SIM_API int32_t SimCallCount();
SIM_API int32_t SimCallLogSize();
// Copies call number index (0 = the first since the reset) into call; 0 when that call
// is no longer, or not yet, in the log.
SIM_API int32_t SimCallAt(int32_t index, SimCall *call);

// Shared by the reader's tests: the simulated reader's control functions, a simulated
// reader reset for each test, and the test libraries that the build puts beside the tests.
#pragma once

#include "simreader/sim_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The simulated reader's control functions, looked up at run time in the library that the
// binding under test loads from its fixed path. The loader hands both the same loaded
// instance, so a test sees the calls that the binding made. (A test linked to the library
// could, on Windows, get a second instance loaded from another folder.)
struct SimControl
{
    decltype(&SimReset) reset;
    decltype(&SimSetReaderPresent) setReaderPresent;
    decltype(&SimSetTagPresent) setTagPresent;
    decltype(&SimFailWordAddress) failWordAddress;
    decltype(&SimLeaveAfterNextWrite) leaveAfterNextWrite;
    decltype(&SimPeekWord) peekWord;
    decltype(&SimPokeWord) pokeWord;
    decltype(&SimCallCount) callCount;
    decltype(&SimCallAt) callAt;
    decltype(&SimSetCallHook) setCallHook;
    decltype(&SimNestedCalls) nestedCalls;
};

// Loads the simulated reader on first use; nullptr, with the reason in why, when it or one
// of its control functions cannot be found.
const SimControl *findSimControl(std::string *why = nullptr);
// The control functions, in a test whose SetUp found them.
const SimControl &sim();

// The full path of a file that the build puts beside the test program.
std::string besideTestProgram(const std::string &fileName);
// A reader library that lacks WriteTagSingleWord.
std::string partialLibrary();

class SimulatedReaderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string why;
        ASSERT_NE(findSimControl(&why), nullptr) << why;
        sim().reset();
    }

    static std::vector<SimCall> calls();
    // The calls made since the call log held first calls.
    static std::vector<SimCall> callsSince(size_t first);
    static int callsOf(SimFunction function);
    // Words 6 and 7 of the tag's EPC bank, as one value, word 6 high.
    static uint32_t tag() { return uint32_t(sim().peekWord(1, 6)) << 16 | sim().peekWord(1, 7); }
    static void setTag(uint32_t value)
    {
        sim().pokeWord(1, 6, static_cast<int>(value >> 16));
        sim().pokeWord(1, 7, static_cast<int>(value & 0xFFFF));
    }
};

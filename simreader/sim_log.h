// The simulated reader's call log as a list, for tests. The log is read through whichever
// pair of control functions a test holds: those it is linked to, or those it looked up in
// the library that the binding loaded.
#pragma once

#include "simreader/sim_control.h"

#include <cstring>
#include <vector>

inline bool operator==(const SimCall &a, const SimCall &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

using SimCallCountFn = int32_t (*)();
using SimCallAtFn = int32_t (*)(int32_t, SimCall *);

inline std::vector<SimCall> simCalls(SimCallCountFn count = SimCallCount,
                                     SimCallAtFn at = SimCallAt)
{
    std::vector<SimCall> all;
    for (int32_t i = 0; i < count(); ++i) {
        SimCall call{};
        if (at(i, &call) != 0)
            all.push_back(call);
    }
    return all;
}

inline int simCallsOf(SimFunction function, const std::vector<SimCall> &calls = simCalls())
{
    int count = 0;
    for (const SimCall &call : calls)
        count += call.function == function;
    return count;
}

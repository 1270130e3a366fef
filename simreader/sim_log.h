// The simulated reader's call log as a list, for tests.
#pragma once

#include "simreader/sim_control.h"

#include <vector>

inline std::vector<SimCall> simCalls()
{
    std::vector<SimCall> all;
    for (int32_t i = 0; i < SimCallCount(); ++i) {
        SimCall call{};
        if (SimCallAt(i, &call) != 0)
            all.push_back(call);
    }
    return all;
}

inline int simCallsOf(SimFunction function)
{
    int count = 0;
    for (const SimCall &call : simCalls())
        count += call.function == function;
    return count;
}

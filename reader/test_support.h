// Shared by the reader's tests: a simulated reader reset for each test.
#pragma once

#include "simreader/sim_control.h"

#include <gtest/gtest.h>

#include <vector>

class SimulatedReaderTest : public testing::Test
{
protected:
    void SetUp() override { SimReset(); }

    static std::vector<SimCall> calls()
    {
        std::vector<SimCall> all;
        for (int32_t i = 0; i < SimCallCount(); ++i) {
            SimCall call{};
            if (SimCallAt(i, &call) != 0)
                all.push_back(call);
        }
        return all;
    }
    static int callsOf(SimFunction function)
    {
        int count = 0;
        for (const SimCall &call : calls())
            count += call.function == function;
        return count;
    }
};

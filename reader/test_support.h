// Shared by the reader's tests: a simulated reader reset for each test.
#pragma once

#include "simreader/sim_log.h"

#include <gtest/gtest.h>

class SimulatedReaderTest : public testing::Test
{
protected:
    void SetUp() override { SimReset(); }

    static std::vector<SimCall> calls() { return simCalls(); }
    static int callsOf(SimFunction function) { return simCallsOf(function); }
};

// The simulated reader seen from another process: a test that starts the program names two
// files in the program's environment, to follow the reader calls and to set the faults that
// operators meet.
//   TAGWRIGHT_SIM_LOG     one line is appended per call received:
//                         "function handle-or-port bank word count high low result"
//   TAGWRIGHT_SIM_FAULTS  read before each call; whenever its text has changed, its words set
//                         the faults anew: "absent" (no reader answers), "notag" (no tag in
//                         the field), "fail N" (the write of word N fails), "leave" (the tag
//                         leaves the field after the next successful write), "thread"
//                         (OpenComm starts a receive thread, which runs until CloseComm),
//                         "pump MS" (every call runs the program's event loop for MS ms
//                         before it answers), "msgbox" (a write shows a message box of the
//                         library's own, with no owner, and answers once it is closed)
#pragma once

#include "simreader/sim_control.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

inline const char *const kSimFunctionNames[] = {"NestedCall", "OpenComm", "CloseComm", "ReadTag",
                                                "WriteTagSingleWord"};

inline void simLogCall(const SimCall &call)
{
    static const char *const path = std::getenv("TAGWRIGHT_SIM_LOG");
    if (std::FILE *log = path != nullptr ? std::fopen(path, "a") : nullptr) {
        std::fprintf(log, "%s %d %d %d %d %d %d %d\n", kSimFunctionNames[call.function],
                     call.handle, call.bank, call.word, call.count, call.high, call.low,
                     call.result);
        std::fclose(log);
    }
}

// A line of the log back into the call it tells of, for a test in another process.
inline SimCall simLoggedCall(const std::string &line)
{
    SimCall call{};
    for (int32_t function = SimOpenComm; function <= SimWriteTagSingleWord; ++function) {
        if (line.starts_with(std::string(kSimFunctionNames[function]) + " "))
            call.function = function;
    }
    std::sscanf(line.c_str(), "%*s %d %d %d %d %d %d %d", &call.handle, &call.bank, &call.word,
                &call.count, &call.high, &call.low, &call.result);
    return call;
}

// Only a changed text sets the faults, so that a fault the reader lifts itself (a tag that
// left) stays lifted until the test writes the file again.
template <typename Reader> void simApplyFaults(Reader &reader)
{
    // Looked up once: a reader without the file (every in-process test, the benchmarks)
    // pays nothing for it on its calls.
    static const char *const path = std::getenv("TAGWRIGHT_SIM_FAULTS");
    if (path == nullptr)
        return;
    static std::string last;
    std::ostringstream text;
    if (std::ifstream file(path); file)
        text << file.rdbuf();
    if (text.str() == last)
        return;
    last = text.str();
    reader.readerPresent = last.find("absent") == std::string::npos;
    reader.tagPresent = last.find("notag") == std::string::npos;
    reader.leaveAfterNextWrite = last.find("leave") != std::string::npos;
    reader.receiveThread = last.find("thread") != std::string::npos;
    reader.messageBox = last.find("msgbox") != std::string::npos;
    const auto pump = last.find("pump ");
    reader.pumpMs = pump == std::string::npos ? 0 : std::atoi(last.c_str() + pump + 5);
    const auto fail = last.find("fail ");
    reader.failingWord = fail == std::string::npos ? -1 : std::atoi(last.c_str() + fail + 5);
}

// The moment a benchmark's window has first painted itself and its controls, told to
// startup_bench_win32 on standard output as "shown <performance counter>": the counter is
// one clock for every process of the machine. The window then closes, and the program ends.
#pragma once

#include <windows.h>

#include <cstdio>

inline LRESULT reportShownAfterFirstPaint(HWND window, UINT message, LRESULT painted)
{
    static bool reported = false;
    if (message != WM_PAINT || reported)
        return painted;
    reported = true;
    // The controls paint after their parent, once its queue is empty: now, at once.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    char line[64];
    const int length = std::snprintf(line, sizeof line, "shown %lld\n", now.QuadPart);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    return painted;
}

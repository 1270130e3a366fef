// The Windows program as tagwright.exe runs it (the same runProgram, manifest and
// resources), which tells startup_bench_win32 when its window has first painted.
#include "shown_report_win32.h"

#include "win32/program.h"

#include <commctrl.h>

namespace {

LRESULT CALLBACK reportFirstPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR)
{
    return reportShownAfterFirstPaint(window, message,
                                      DefSubclassProc(window, message, wParam, lParam));
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    return win32::runProgram(
        showCommand, [](HWND window) { SetWindowSubclass(window, reportFirstPaint, 1, 0); });
}

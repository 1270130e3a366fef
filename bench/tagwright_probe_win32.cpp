// The Windows program as tagwright.exe runs it (the same runProgram, manifest and
// resources), which tells startup_bench_win32 when its window has first painted.
#include "shown_report_win32.h"

#include "win32/program.h"

namespace {

// The window's own procedure, replaced directly rather than through the common controls'
// subclassing, whose bookkeeping looks up a window property on every message: under Wine
// each lookup is a round trip to its server, which tagwright.exe itself never makes.
WNDPROC programProc = nullptr;

LRESULT CALLBACK reportFirstPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return reportShownAfterFirstPaint(
        window, message, CallWindowProcW(programProc, window, message, wParam, lParam));
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    return win32::runProgram(showCommand, [](HWND window) {
        programProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(reportFirstPaint)));
    });
}

// The cost of one card in the Windows program, in the program's own process and window
// (the same runProgram as tagwright.exe): a click on Write Next No (BM_CLICK) until the
// handlers have stepped the number, written both words through the reader binding into the
// simulated reader at C:\EPCSDK.DLL and set the report on the status line, not counting the
// repaint that follows. Prints the median and the 90th percentile as "name value unit".
//
//   per_card_bench_win32 [CARDS]
#include "win32/program.h"

#include "reader/operator_texts.h"
#include "window/control_table.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using enum window::ControlId;

// Runs the benchmark from the message loop, once the window is shown.
constexpr UINT kMeasure = WM_APP + 100;
int cards = 20000;
int exitCode = 1;

HWND item(HWND window, window::ControlId id)
{
    return GetDlgItem(window, 1000 + static_cast<int>(id));
}

std::string statusText(HWND window)
{
    wchar_t text[256]{};
    GetWindowTextW(item(window, opList), text, 256);
    char utf8[512]{};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

void measure(HWND window)
{
    SendMessageW(item(window, cboComPort), CB_SETCURSEL, 8, 0);
    SendMessageW(item(window, Open), BM_CLICK, 0, 0);
    if (statusText(window) != texts::kConnected) {
        std::fprintf(stderr, "per_card_bench_win32: Connect reported %s\n",
                     statusText(window).c_str());
        return;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> clickUs;
    for (int card = 0; card < cards; ++card) {
        // Write Next No stops at the last number: start again from the first.
        if (card % 99999 == 0)
            SetWindowTextW(item(window, txtCurrentNo), L"0");
        LARGE_INTEGER before, after;
        QueryPerformanceCounter(&before);
        SendMessageW(item(window, cmdWriteNext), BM_CLICK, 0, 0);
        QueryPerformanceCounter(&after);
        clickUs.push_back(static_cast<double>(after.QuadPart - before.QuadPart) * 1e6 /
                          static_cast<double>(frequency.QuadPart));
        if (!statusText(window).ends_with(texts::kCardWritten)) {
            std::fprintf(stderr, "per_card_bench_win32: card %d: %s\n", card,
                         statusText(window).c_str());
            return;
        }
    }
    std::sort(clickUs.begin(), clickUs.end());
    std::printf("win32_per_card_us %.2f us\n", clickUs[clickUs.size() / 2]);
    std::printf("win32_per_card_p90_us %.2f us\n", clickUs[clickUs.size() * 9 / 10]);
    exitCode = 0;
}

// The window's own procedure, replaced directly rather than through the common controls'
// subclassing, whose bookkeeping looks up a window property on every message the window
// gets during a card: under Wine each lookup is a round trip to its server, which
// tagwright.exe itself never makes.
WNDPROC programProc = nullptr;

LRESULT CALLBACK measureOnce(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kMeasure)
        return CallWindowProcW(programProc, window, message, wParam, lParam);
    measure(window);
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1)
        cards = std::max(1, std::atoi(argv[1]));
    win32::runProgram(SW_SHOWNORMAL, [](HWND window) {
        programProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(measureOnce)));
        PostMessageW(window, kMeasure, 0, 0);
    });
    return exitCode;
}

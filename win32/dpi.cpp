#include "win32/dpi.h"

namespace win32 {

namespace {

using GetDpiForWindowFn = UINT(WINAPI *)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI *)(RECT *, DWORD, BOOL, DWORD, UINT);
using EnableNonClientDpiScalingFn = BOOL(WINAPI *)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI *)(int, UINT);

struct User32
{
    GetDpiForWindowFn getDpiForWindow = nullptr;
    AdjustWindowRectExForDpiFn adjustWindowRectExForDpi = nullptr;
    EnableNonClientDpiScalingFn enableNonClientDpiScaling = nullptr;
    GetSystemMetricsForDpiFn getSystemMetricsForDpi = nullptr;
};

template <typename Fn> Fn lookUp(HMODULE module, const char *name)
{
    // A function pointer from GetProcAddress is cast to its real type: the cast through
    // void * keeps the compiler's function-type warning quiet, on purpose.
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

const User32 &user32()
{
    static const User32 functions = [] {
        User32 found;
        if (const HMODULE module = GetModuleHandleW(L"user32.dll")) {
            found.getDpiForWindow = lookUp<GetDpiForWindowFn>(module, "GetDpiForWindow");
            found.adjustWindowRectExForDpi =
                lookUp<AdjustWindowRectExForDpiFn>(module, "AdjustWindowRectExForDpi");
            found.enableNonClientDpiScaling =
                lookUp<EnableNonClientDpiScalingFn>(module, "EnableNonClientDpiScaling");
            found.getSystemMetricsForDpi =
                lookUp<GetSystemMetricsForDpiFn>(module, "GetSystemMetricsForDpi");
        }
        return found;
    }();
    return functions;
}

// Windows 8.1 and the first Windows 10 have no GetDpiForWindow, yet the manifest makes the
// program aware of each monitor's resolution there too: the monitor's own is asked for,
// or the window would start at the system's resolution on a monitor of another and stay
// so until it is moved.
UINT monitorDpi(HWND window)
{
    using GetDpiForMonitorFn = HRESULT(WINAPI *)(HMONITOR, int, UINT *, UINT *);
    static const auto getDpiForMonitor = [] {
        const HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return shcore ? lookUp<GetDpiForMonitorFn>(shcore, "GetDpiForMonitor") : nullptr;
    }();
    constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI
    UINT x = 0, y = 0;
    if (getDpiForMonitor == nullptr ||
        getDpiForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &x,
                         &y) != S_OK)
        return 0;
    return y;
}

} // namespace

UINT dpiOf(HWND window)
{
    if (window != nullptr && user32().getDpiForWindow != nullptr) {
        if (const UINT dpi = user32().getDpiForWindow(window))
            return dpi;
    } else if (window != nullptr) {
        if (const UINT dpi = monitorDpi(window))
            return dpi;
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

void scaleFrameWithDpi(HWND window)
{
    // It fails, harmlessly, where the process is not per-monitor aware of the first version;
    // where it is missing, so is AdjustWindowRectExForDpi, and the frame and its measure
    // both stay at the system's resolution.
    if (user32().enableNonClientDpiScaling != nullptr)
        user32().enableNonClientDpiScaling(window);
}

SIZE outerSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi)
{
    RECT frame{0, 0, clientWidth, clientHeight};
    if (user32().adjustWindowRectExForDpi != nullptr)
        user32().adjustWindowRectExForDpi(&frame, style, FALSE, exStyle, dpi);
    else
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

int systemMetric(int index, UINT dpi)
{
    if (user32().getSystemMetricsForDpi != nullptr)
        return user32().getSystemMetricsForDpi(index, dpi);
    // The system's measure is at the system's resolution.
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(dpiOf(nullptr)));
}

} // namespace win32

// The resolution a window is shown at. The per-monitor functions exist from Windows 8.1 (the
// monitor's resolution) and Windows 10 (the window's, the frame's); they are looked up at run
// time so that the program still starts where they are missing, and then lays itself out at
// the system's resolution.
#pragma once

#include <windows.h>

namespace win32 {

// The resolution of a window's monitor; of the screen for nullptr.
UINT dpiOf(HWND window);

// Asks, at the window's WM_NCCREATE, that its frame be scaled with its monitor's resolution
// too. Per-monitor awareness of the first version (the manifest's fallback before the
// second, which scales the frame by itself) leaves the frame at the system's resolution
// unless asked, and outerSize would then not give the client area its size.
void scaleFrameWithDpi(HWND window);

// The outer size of a window whose client area is clientWidth x clientHeight pixels.
SIZE outerSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

// A system measure (GetSystemMetrics' SM_*) at a resolution.
int systemMetric(int index, UINT dpi);

} // namespace win32

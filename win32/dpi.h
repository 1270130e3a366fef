// The resolution a window is shown at. The per-monitor functions exist from Windows 10 on;
// they are looked up at run time so that the program still starts where they are missing,
// and then lays itself out at the system's resolution.
#pragma once

#include <windows.h>

namespace win32 {

// The resolution of a window's monitor; of the screen for nullptr.
UINT dpiOf(HWND window);

// The outer size of a window whose client area is clientWidth x clientHeight pixels.
SIZE outerSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

} // namespace win32

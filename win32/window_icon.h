// The program's icon on its window, in the title bar's and the taskbar's sizes at the
// window's resolution.
#pragma once

#include <windows.h>

namespace win32 {

// The icon group of tagwright.rc.in: the first, which Explorer also shows for the file.
constexpr int kProgramIcon = 1;

class WindowIcon
{
public:
    WindowIcon() = default;
    ~WindowIcon();
    WindowIcon(const WindowIcon &) = delete;
    WindowIcon &operator=(const WindowIcon &) = delete;

    // Gives the window the icon at this resolution, again whenever it changes: Windows keeps
    // a window's icons at the size they were made, and scales a smaller one up blurred.
    void show(HWND window, UINT dpi);

private:
    HICON m_big = nullptr;
    HICON m_small = nullptr;
};

} // namespace win32

#include "win32/window_icon.h"

#include "win32/dpi.h"

#include <utility>

namespace win32 {

namespace {

using LoadIconWithScaleDownFn = HRESULT(WINAPI *)(HINSTANCE, PCWSTR, int, int, HICON *);

// The icon of this size: drawn from the nearest bigger one of the group, which
// LoadIconWithScaleDown scales down sharply where LoadImage would scale a smaller one up.
// It comes with the common controls of version 6 (Windows Vista), which the manifest asks
// for; looked up at run time, as it is missing from the others.
HICON loadIcon(int size)
{
    static const auto loadIconWithScaleDown = [] {
        const HMODULE comctl32 = GetModuleHandleW(L"comctl32.dll");
        return comctl32 == nullptr
                   ? nullptr
                   : reinterpret_cast<LoadIconWithScaleDownFn>(reinterpret_cast<void *>(
                         GetProcAddress(comctl32, "LoadIconWithScaleDown")));
    }();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    HICON icon = nullptr;
    if (loadIconWithScaleDown == nullptr ||
        loadIconWithScaleDown(instance, MAKEINTRESOURCEW(kProgramIcon), size, size, &icon) != S_OK)
        icon = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON, size, size, 0));
    return icon;
}

} // namespace

WindowIcon::~WindowIcon()
{
    if (m_big != nullptr)
        DestroyIcon(m_big);
    if (m_small != nullptr)
        DestroyIcon(m_small);
}

void WindowIcon::show(HWND window, UINT dpi)
{
    const HICON bigIcon = loadIcon(systemMetric(SM_CXICON, dpi));
    const HICON smallIcon = loadIcon(systemMetric(SM_CXSMICON, dpi));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    // Destroyed here: the window no longer shows the old ones.
    WindowIcon old;
    old.m_big = std::exchange(m_big, bigIcon);
    old.m_small = std::exchange(m_small, smallIcon);
}

} // namespace win32

// The window's own icons, as the title bar and the taskbar take them (WM_GETICON), at each
// resolution that the window is shown at, from the program's icon group, which this test
// carries as the program does.
#include "win32/dpi.h"
#include "win32/window_icon.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

// The width of the icon's image, 0 for none.
int iconWidth(HWND window, WPARAM which)
{
    const auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0));
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info))
        return 0;
    BITMAP image{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof image, &image);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return image.bmWidth;
}

TEST(WindowIcon, IsMadeAtTheSizesOfEachResolutionItIsShownAt)
{
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    win32::WindowIcon icon;
    // Back to 96 last: the icons made before are let go while the window shows new ones.
    for (const UINT dpi : {96u, 144u, 192u, 96u}) {
        SCOPED_TRACE(dpi);
        icon.show(window, dpi);
        EXPECT_EQ(iconWidth(window, ICON_BIG), win32::systemMetric(SM_CXICON, dpi));
        EXPECT_EQ(iconWidth(window, ICON_SMALL), win32::systemMetric(SM_CXSMICON, dpi));
    }
    DestroyWindow(window);
}

} // namespace

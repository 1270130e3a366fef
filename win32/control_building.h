// The window's 22 controls made from the shared control table with Windows' own control
// classes, and laid out from its twips at the window's resolution.
#pragma once

#include "window/control_table.h"

#include <windows.h>

#include <array>
#include <optional>

namespace win32 {

using ControlWindows = std::array<HWND, window::kControlCount>;

// A control's ID is 1000 plus its place in the table, so that it can be found from outside
// with GetDlgItem.
int controlId(window::ControlId id);
std::optional<window::ControlId> controlWithId(int id);

// The window's two fonts at one resolution, keeping their point sizes.
class Fonts
{
public:
    explicit Fonts(UINT dpi);
    ~Fonts();
    Fonts(const Fonts &) = delete;
    Fonts &operator=(const Fonts &) = delete;

    HFONT of(const window::Control &control) const;

private:
    HFONT m_window;
    HFONT m_number;
};

// The client area's size in pixels.
SIZE clientSize(UINT dpi);

// Creates every control as a direct child of parent, in Tab order, so that the dialog
// manager's Tab cycle follows the table; the developer panel's controls come after their
// frame and so draw on top of it. Each is placed from its twips at dpi, in its font.
ControlWindows createControls(HWND parent, UINT dpi, const Fonts &fonts);

// Moves and sizes every control anew at another resolution, and gives it its font.
void placeControls(const ControlWindows &controls, UINT dpi, const Fonts &fonts);

} // namespace win32

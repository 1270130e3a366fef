#include "win32/control_building.h"

#include "win32/wide_text.h"

#include <commctrl.h>

#include <cmath>

namespace win32 {

namespace {

using window::ControlId;
using window::Kind;

constexpr int kFirstControlId = 1000;
// Entries an opened combo box list shows at once.
constexpr int kVisibleEntries = 10;

int fontHeight(double points, UINT dpi)
{
    // Negative: the character height, without the internal leading, as point sizes mean.
    return -MulDiv(static_cast<int>(std::lround(points * 100)), static_cast<int>(dpi), 72 * 100);
}

int CALLBACK noteFamilyFound(const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found)
{
    *reinterpret_cast<bool *>(found) = true;
    return 0;
}

bool familyInstalled(const std::wstring &family)
{
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    family.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, noteFamilyFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

HFONT makeFont(const window::FontSpec &spec, UINT dpi)
{
    std::wstring family = wide(spec.family);
    if (!familyInstalled(family))
        family = wide(spec.substitute);
    LOGFONTW font{};
    font.lfHeight = fontHeight(spec.points, dpi);
    font.lfWeight = FW_NORMAL;
    // Any character set: the status line's full-width marks then come from a font that has
    // them, where the window's font lacks them.
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    family.copy(font.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

struct WindowClass
{
    const wchar_t *name;
    DWORD style;
    DWORD exStyle;
};

WindowClass windowClassOf(Kind kind)
{
    switch (kind) {
    case Kind::ComboBox:
        return {WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0};
    case Kind::Button:
        // Multi-line, so that a caption's CR LF starts a new line; never BS_DEFPUSHBUTTON.
        return {WC_BUTTONW, BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER, 0};
    case Kind::TextBox:
        return {WC_EDITW, ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case Kind::StatusBox:
        // No ES_AUTOHSCROLL: long text wraps at the box's width.
        return {WC_EDITW, ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL,
                WS_EX_CLIENTEDGE};
    case Kind::Label:
        return {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0};
    case Kind::Frame:
        return {WC_BUTTONW, BS_GROUPBOX, 0};
    }
    return {WC_STATICW, 0, 0};
}

RECT pixelPlace(const window::Control &control, UINT dpi)
{
    window::Twips place = control.place;
    if (control.inFrame) {
        const window::Twips &frame = window::control(ControlId::Frame1).place;
        place.left += frame.left;
        place.top += frame.top;
    }
    const int d = static_cast<int>(dpi);
    const int left = window::pixels(place.left, d);
    const int top = window::pixels(place.top, d);
    return {left, top, left + window::pixels(place.width, d),
            top + window::pixels(place.height, d)};
}

// A combo box's window also holds its opened list below its text area.
RECT windowPlace(const window::Control &control, UINT dpi)
{
    RECT place = pixelPlace(control, dpi);
    if (control.kind == Kind::ComboBox)
        place.bottom += kVisibleEntries * MulDiv(place.bottom - place.top, 3, 4);
    return place;
}

void setNarrowMargins(HWND edit, UINT dpi)
{
    const int margin = MulDiv(2, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
}

// A closed combo box is as high as its text area, which its font decides, plus its border:
// the text area is made as high as leaves the box the table's height.
void fitComboBoxHeight(HWND comboBox, int height)
{
    for (int textArea = height - 6, attempt = 0; attempt < 2; ++attempt) {
        SendMessageW(comboBox, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), textArea);
        RECT shown;
        GetWindowRect(comboBox, &shown);
        const int difference = height - (shown.bottom - shown.top);
        if (difference == 0)
            return;
        textArea += difference;
    }
}

void setFont(const window::Control &control, HWND shown, UINT dpi, const Fonts &fonts)
{
    SendMessageW(shown, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.of(control)), FALSE);
    // Narrow margins in every text area: the font's own would leave too little room for
    // five digits of the large font, or a site's name, in their boxes. A new font brings
    // back the font's own.
    if (control.kind == Kind::TextBox || control.kind == Kind::StatusBox)
        setNarrowMargins(shown, dpi);
    if (control.kind == Kind::ComboBox) {
        COMBOBOXINFO parts{};
        parts.cbSize = sizeof parts;
        if (GetComboBoxInfo(shown, &parts))
            setNarrowMargins(parts.hwndItem, dpi);
        const RECT place = pixelPlace(control, dpi);
        fitComboBoxHeight(shown, place.bottom - place.top);
    }
}

} // namespace

int controlId(ControlId id)
{
    return kFirstControlId + static_cast<int>(id);
}

std::optional<ControlId> controlWithId(int id)
{
    const int place = id - kFirstControlId;
    if (place < 0 || place >= static_cast<int>(window::kControlCount))
        return std::nullopt;
    return static_cast<ControlId>(place);
}

Fonts::Fonts(UINT dpi)
    : m_window(makeFont(window::kWindow.windowFont, dpi)),
      m_number(makeFont(window::kWindow.numberFont, dpi))
{}

Fonts::~Fonts()
{
    DeleteObject(m_window);
    DeleteObject(m_number);
}

HFONT Fonts::of(const window::Control &control) const
{
    return control.font == window::Font::Number ? m_number : m_window;
}

SIZE clientSize(UINT dpi)
{
    const int d = static_cast<int>(dpi);
    return {window::pixels(window::kWindow.clientWidth, d),
            window::pixels(window::kWindow.clientHeight, d)};
}

ControlWindows createControls(HWND parent, UINT dpi, const Fonts &fonts)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    ControlWindows windows{};
    for (const window::Control &control : window::kControls) {
        const WindowClass windowClass = windowClassOf(control.kind);
        // Each control is a group of its own: the arrow keys never move the focus from a
        // button to its neighbours, which the mouse alone may reach.
        DWORD style = WS_CHILD | WS_VISIBLE | WS_GROUP | windowClass.style;
        if (control.focus == window::Focus::Tab)
            style |= WS_TABSTOP;
        if (!control.enabled)
            style |= WS_DISABLED;
        // Made at their places at once: under Wine every move is a round trip to its server.
        const RECT place = windowPlace(control, dpi);
        const HWND made =
            CreateWindowExW(windowClass.exStyle, windowClass.name, nullptr, style, place.left,
                            place.top, place.right - place.left, place.bottom - place.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(control.id))),
                            instance, nullptr);
        windows[static_cast<std::size_t>(control.id)] = made;
        setFont(control, made, dpi, fonts);

        for (const std::string &entry : window::listEntries(control.list))
            SendMessageW(made, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry).c_str()));
        if (control.kind == Kind::ComboBox)
            SendMessageW(made, CB_SETMINVISIBLE, kVisibleEntries, 0);
        if (control.maxLength > 0)
            SendMessageW(made, EM_SETLIMITTEXT, control.maxLength, 0);
        SetWindowTextW(made, wide(control.text).c_str());
    }
    return windows;
}

void placeControls(const ControlWindows &windows, UINT dpi, const Fonts &fonts)
{
    for (const window::Control &control : window::kControls) {
        const HWND placed = windows[static_cast<std::size_t>(control.id)];
        const RECT place = windowPlace(control, dpi);
        SetWindowPos(placed, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        setFont(control, placed, dpi, fonts);
    }
}

} // namespace win32

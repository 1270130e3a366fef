#include "win32/input_filters.h"

#include "win32/wide_text.h"

#include <commctrl.h>

#include <string>

namespace win32 {

namespace {

constexpr UINT_PTR kNumberFieldFilter = 1;
constexpr UINT_PTR kListClickWatch = 2;

// Ctrl with A, C, V, X or Z: the edit control's own shortcuts, which arrive as control
// characters and are not typed text.
bool isEditingShortcut(WPARAM character)
{
    if (GetKeyState(VK_CONTROL) >= 0)
        return false;
    switch (character) {
    case 0x01: // select all
    case 0x03: // copy
    case 0x16: // paste
    case 0x18: // cut
    case 0x1A: // undo
        return true;
    default:
        return false;
    }
}

std::wstring clipboardText(HWND owner)
{
    std::wstring text;
    if (!OpenClipboard(owner))
        return text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *chars = static_cast<const wchar_t *>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// The messages by which the edit control changes its own text: typing, Delete, and the edits
// of its shortcuts and context menu.
bool editsText(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_CHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
        return true;
    case WM_KEYDOWN:
        return wParam == VK_DELETE;
    default:
        return false;
    }
}

LRESULT CALLBACK numberFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR formPointer)
{
    window::Form1 &form = *reinterpret_cast<window::Form1 *>(formPointer);
    if (editsText(message, wParam) && !form.currentNumberEditable())
        return 0;
    switch (message) {
    case WM_CHAR:
        if (!isEditingShortcut(wParam)) {
            const char32_t let = form.currentNumberKey(static_cast<char32_t>(wParam));
            if (let == 0)
                return 0;
            wParam = static_cast<WPARAM>(let);
        }
        break;
    case WM_PASTE: {
        // Asked before the edit control's length limit would cut the paste to fit. The
        // field holds digits alone, so its UTF-16 positions are the UTF-8 ones.
        DWORD from = 0, to = 0;
        SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                     reinterpret_cast<LPARAM>(&to));
        if (!window::mayPasteNumber(windowText(field), from, to, narrow(clipboardText(field))))
            return 0;
        break;
    }
    case WM_LBUTTONUP: {
        const LRESULT result = DefSubclassProc(field, message, wParam, lParam);
        form.currentNumberClicked();
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(field, numberFieldProc, kNumberFieldFilter);
        break;
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR choicePointer)
{
    if (message == WM_LBUTTONUP) {
        RECT area;
        GetClientRect(list, &area);
        const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        SiteChoice &choice = *reinterpret_cast<SiteChoice *>(choicePointer);
        choice.clicking(PtInRect(&area, at) != FALSE);
        const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
        choice.clicking(false);
        return result;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(list, listProc, kListClickWatch);
    return DefSubclassProc(list, message, wParam, lParam);
}

} // namespace

void filterNumberField(HWND field, window::Form1 &form)
{
    SetWindowSubclass(field, numberFieldProc, kNumberFieldFilter,
                      reinterpret_cast<DWORD_PTR>(&form));
}

void watchListClicks(HWND comboBox, SiteChoice &choice)
{
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    if (GetComboBoxInfo(comboBox, &parts) && parts.hwndList != nullptr)
        SetWindowSubclass(parts.hwndList, listProc, kListClickWatch,
                          reinterpret_cast<DWORD_PTR>(&choice));
}

} // namespace win32

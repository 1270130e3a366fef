#include "win32/form_window.h"

#include "win32/dpi.h"
#include "win32/input_filters.h"
#include "win32/wide_text.h"

#include <commctrl.h>

#include <utility>

namespace win32 {

namespace {

using window::ControlId;

constexpr wchar_t kClassName[] = L"TagwrightForm1";
// A fixed dialog frame: a title bar with a close box only, no sizing border.
// Not WS_CLIPCHILDREN: the developer panel's group box leaves its inside to the window's
// background.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

// Posted at the site box's CBN_CLOSEUP: it arrives once every notification of the close-up
// has come, in whatever order.
constexpr UINT kSiteListClosed = WM_APP + 1;
// A timer's first tick comes after the window's first paint: the screen reader names,
// which load the system's naming service, wait until the window is on screen.
constexpr UINT_PTR kNameControlsTimer = 1;

// The outer size of the window whose client area has the table's size.
SIZE windowSize(UINT dpi)
{
    const SIZE client = clientSize(dpi);
    return outerSize(client.cx, client.cy, kStyle, kExStyle, dpi);
}

// Sets a control's text and leaves its drawing to the next WM_PAINT. A button repaints
// itself at once on a new caption, and the multi-line status box redraws its scroll bar
// at once, in the visual style, from inside SetWindowText: under Wine each of those draws
// is a chain of round trips to the server and the display, most of a card's cost. With
// redrawing off they draw nothing, and the control, frame and scroll bar included, is
// painted once with the rest of the window.
void setTextDrawnLater(HWND control, const std::wstring &text)
{
    SendMessageW(control, WM_SETREDRAW, FALSE, 0);
    SetWindowTextW(control, text.c_str());
    SendMessageW(control, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

} // namespace

FormWindow::FormWindow(reader::ReaderLibrary &library)
    : m_form(*this, library), m_panel(*this, library, m_form.link())
{}

FormWindow::~FormWindow()
{
    m_loaded = false;
    if (m_window != nullptr)
        DestroyWindow(m_window);
}

bool FormWindow::create()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0)
        return false;

    // Made at the screen's resolution, and made again at its monitor's where that differs.
    m_dpi = dpiOf(nullptr);
    SIZE outer = windowSize(m_dpi);
    m_window = CreateWindowExW(kExStyle, kClassName, wide(window::kWindow.caption).c_str(), kStyle,
                               CW_USEDEFAULT, CW_USEDEFAULT, outer.cx, outer.cy, nullptr, nullptr,
                               instance, this);
    if (m_window == nullptr)
        return false;
    if (const UINT dpi = dpiOf(m_window); dpi != m_dpi) {
        m_dpi = dpi;
        outer = windowSize(m_dpi);
        SetWindowPos(m_window, nullptr, 0, 0, outer.cx, outer.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_icon.show(m_window, m_dpi);
    m_fonts = std::make_unique<Fonts>(m_dpi);
    m_controls = createControls(m_window, m_dpi, *m_fonts);
    filterNumberField(control(ControlId::txtCurrentNo), m_form);
    watchListClicks(control(ControlId::Combo1), m_siteChoice);

    m_form.load();
    m_loaded = true;
    return true;
}

void FormWindow::show(int showCommand)
{
    // The focus starts in the port list, the first control of the Tab cycle; started
    // minimised, once the window is restored.
    m_lastFocus = control(ControlId::cboComPort);
    ShowWindow(m_window, showCommand);
    if (GetActiveWindow() == m_window && !IsIconic(m_window))
        SetFocus(m_lastFocus);
    UpdateWindow(m_window);
    SetTimer(m_window, kNameControlsTimer, 0, nullptr);
}

bool FormWindow::preTranslate(const MSG &message)
{
    if (message.message != WM_KEYDOWN || GetParent(message.hwnd) != m_window)
        return false;
    const auto id = controlWithId(GetDlgCtrlID(message.hwnd));
    if (!id)
        return false;
    if (message.wParam == VK_RETURN && window::control(*id).kind == window::Kind::Button) {
        // The dialog manager would turn Return into the default button's command, and
        // there is none: Return presses the focused button, as Space does, once for each
        // press (a held key writes no card twice).
        const bool repeated = (message.lParam & (1 << 30)) != 0;
        if (!repeated)
            SendMessageW(m_window, WM_COMMAND, MAKEWPARAM(controlId(*id), BN_CLICKED),
                         reinterpret_cast<LPARAM>(message.hwnd));
        return true;
    }
    if (message.wParam == VK_TAB && *id == ControlId::opList && GetKeyState(VK_CONTROL) >= 0) {
        // A multi-line box takes every key from the dialog manager, Tab too: Tab leaves
        // the status line as it leaves every other control.
        const HWND next = GetNextDlgTabItem(m_window, message.hwnd, GetKeyState(VK_SHIFT) < 0);
        SetFocus(next);
        if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
            SendMessageW(next, EM_SETSEL, 0, -1);
        return true;
    }
    return false;
}

HWND FormWindow::control(ControlId id) const
{
    return m_controls[static_cast<std::size_t>(id)];
}

std::string FormWindow::text(ControlId id) const
{
    if (id == ControlId::Combo1 && m_chosenSite)
        return *m_chosenSite;
    return windowText(control(id));
}

void FormWindow::setText(ControlId id, std::string_view text)
{
    // An edit control reports the change (EN_CHANGE) from inside SetWindowText: the change
    // step has run when this returns.
    SetWindowTextW(control(id), wide(text).c_str());
}

void FormWindow::setSelection(ControlId id, int start, int length)
{
    SendMessageW(control(id), EM_SETSEL, static_cast<WPARAM>(start),
                 static_cast<LPARAM>(start + length));
}

void FormWindow::setCaption(ControlId id, std::string_view caption)
{
    setTextDrawnLater(control(id), wide(caption));
}

void FormWindow::setStatus(std::string_view text)
{
    setTextDrawnLater(control(ControlId::opList), wide(text));
}

void FormWindow::setStatusColour(window::Rgb colour)
{
    m_statusColour = RGB(colour.red, colour.green, colour.blue);
    InvalidateRect(control(ControlId::opList), nullptr, TRUE);
}

int FormWindow::selectedPosition(ControlId id) const
{
    return static_cast<int>(SendMessageW(control(id), CB_GETCURSEL, 0, 0));
}

void FormWindow::giveFocus(ControlId id)
{
    SetFocus(control(id));
}

void FormWindow::showMessage(std::string_view title, std::string_view text)
{
    MessageBoxW(m_window, wide(text).c_str(), wide(title).c_str(), MB_OK);
}

void FormWindow::endProgram()
{
    // The message loop ends and the program with it; WM_CLOSE, and so the unload step,
    // never comes.
    PostQuitMessage(0);
}

void FormWindow::closeWindow()
{
    PostMessageW(m_window, WM_CLOSE, 0, 0);
}

void FormWindow::showBusy(bool busy)
{
    m_busy = busy;
    // The pointer is everybody's: changed here only while it is over the window.
    POINT at{};
    GetCursorPos(&at);
    const HWND under = WindowFromPoint(at);
    if (under == m_window || IsChild(m_window, under))
        SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void FormWindow::setWordText(uint8_t wordAddress, std::string_view text)
{
    SetWindowTextW(control(window::wordField(wordAddress)), wide(text).c_str());
}

LRESULT CALLBACK FormWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        auto *form = static_cast<FormWindow *>(creation->lpCreateParams);
        form->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        scaleFrameWithDpi(window);
    }
    if (auto *form = reinterpret_cast<FormWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA)))
        return form->handle(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (lParam != 0 && m_loaded) {
            if (const auto id = controlWithId(LOWORD(wParam)))
                command(*id, HIWORD(wParam));
        }
        return 0;
    case WM_CTLCOLOREDIT:
        if (reinterpret_cast<HWND>(lParam) == control(ControlId::opList)) {
            const HDC context = reinterpret_cast<HDC>(wParam);
            SetTextColor(context, m_statusColour.value_or(GetSysColor(COLOR_WINDOWTEXT)));
            SetBkColor(context, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_ACTIVATE:
        // The window itself would take the focus when it is activated again: the control
        // that had it gets it back. Not while the window is minimised, when no control shows
        // to take keys; restoring it activates it once more, not minimised.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus != nullptr && IsChild(m_window, focus))
                m_lastFocus = focus;
        } else if (HIWORD(wParam) == 0 && m_lastFocus != nullptr) {
            SetFocus(m_lastFocus);
        }
        return 0;
    case WM_DPICHANGED:
        dpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT *>(lParam));
        return 0;
    case WM_TIMER:
        if (wParam == kNameControlsTimer) {
            KillTimer(m_window, kNameControlsTimer);
            nameControls();
            return 0;
        }
        break;
    case kSiteListClosed:
        if (m_siteChoice.listClosed(selectedPosition(ControlId::Combo1)))
            siteEntryChosen();
        return 0;
    case WM_CLOSE:
        // The close box: the unload step, then the window goes, and the program with it;
        // during a command, once it has ended.
        if (unload())
            DestroyWindow(m_window);
        return 0;
    case WM_SETCURSOR:
        // The controls ask their parent first.
        if (m_busy) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_QUERYENDSESSION:
        // The window never refuses to close, so the session may end.
        return TRUE;
    case WM_ENDSESSION:
        // Log-off or shutdown: the window gets no WM_CLOSE, and the process may be ended as
        // soon as this returns. When the end was called off (FALSE), the program goes on.
        if (wParam != FALSE)
            unload();
        return 0;
    case WM_DESTROY:
        m_names.clear();
        m_loaded = false;
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: {
        // The last message: the default handling still frees what the window holds, by its
        // handle.
        const HWND window = std::exchange(m_window, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void FormWindow::command(ControlId id, int notification)
{
    if (window::control(id).kind == window::Kind::ComboBox && notification == CBN_KILLFOCUS) {
        // A combo box's text area keeps its selection drawn when it loses the focus; it is
        // let go, as in every other text box.
        SendMessageW(control(id), CB_SETEDITSEL, 0, MAKELPARAM(-1, 0));
        return;
    }
    if (id == ControlId::Combo1) {
        siteListNotification(notification);
        return;
    }
    if (id == ControlId::txtCurrentNo) {
        if (notification == EN_CHANGE)
            m_form.currentNumberChanged();
        return;
    }
    if (notification != BN_CLICKED || window::control(id).kind != window::Kind::Button)
        return;
    switch (id) {
    case ControlId::Open:
        m_form.connectReader();
        break;
    case ControlId::Close:
        m_form.disconnectReader();
        break;
    case ControlId::cmdClose:
        m_form.closeProgram();
        break;
    case ControlId::cmdPlus:
        m_form.stepUp();
        break;
    case ControlId::cmdMinus:
        m_form.stepDown();
        break;
    case ControlId::cmdWriteCard:
        m_form.writeCard();
        break;
    case ControlId::cmdWriteNext:
        m_form.writeNext();
        break;
    case ControlId::cmdWritePrev:
        m_form.writePrev();
        break;
    case ControlId::cmdRead:
        m_panel.read();
        break;
    case ControlId::cmdWrite:
        m_panel.writeTestValue();
        break;
    case ControlId::cmdRegularizeCardNo:
        m_panel.regularize();
        break;
    default:
        break;
    }
}

void FormWindow::siteListNotification(int notification)
{
    if (notification == CBN_CLOSEUP)
        PostMessageW(m_window, kSiteListClosed, 0, 0);
    if (m_siteChoice.notified(notification, selectedPosition(ControlId::Combo1)))
        siteEntryChosen();
}

void FormWindow::siteEntryChosen()
{
    const HWND siteBox = control(ControlId::Combo1);
    const auto position = static_cast<WPARAM>(selectedPosition(ControlId::Combo1));
    const LRESULT length = SendMessageW(siteBox, CB_GETLBTEXTLEN, position, 0);
    if (length == CB_ERR)
        return;
    // The combo box puts the entry into its text area only after it has reported the
    // choice; the site selection reads the entry meanwhile.
    std::wstring entry(static_cast<std::size_t>(length) + 1, L'\0');
    entry.resize(static_cast<std::size_t>(
        SendMessageW(siteBox, CB_GETLBTEXT, position, reinterpret_cast<LPARAM>(entry.data()))));
    m_chosenSite = narrow(entry);
    m_form.siteChosen();
    m_chosenSite.reset();
}

bool FormWindow::unload()
{
    // Once: the window may still be closed after the session's end was announced.
    if (!m_unloaded)
        m_unloaded = m_form.unload();
    return m_unloaded;
}

void FormWindow::dpiChanged(UINT dpi, const RECT &suggested)
{
    // The fonts are made anew at their point sizes; the old ones go once no control uses
    // them any more.
    auto fonts = std::make_unique<Fonts>(dpi);
    m_dpi = dpi;
    placeControls(m_controls, m_dpi, *fonts);
    m_fonts = std::move(fonts);
    m_icon.show(m_window, m_dpi);
    const SIZE outer = windowSize(m_dpi);
    SetWindowPos(m_window, nullptr, suggested.left, suggested.top, outer.cx, outer.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // Where the controls stood before is painted anew too.
    RedrawWindow(m_window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void FormWindow::nameControls()
{
    for (const window::Control &named : window::kControls) {
        if (named.accessibleName.empty())
            continue;
        const HWND shown = control(named.id);
        m_names.name(shown, named.accessibleName);
        COMBOBOXINFO parts{};
        parts.cbSize = sizeof parts;
        if (named.kind == window::Kind::ComboBox && GetComboBoxInfo(shown, &parts))
            m_names.name(parts.hwndItem, named.accessibleName);
    }
}

} // namespace win32

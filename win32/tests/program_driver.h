// tagwright.exe started in a process of its own and driven from the test's process, as an
// operator drives it: through window messages and keyboard and mouse input, with the
// simulated reader at C:\EPCSDK.DLL telling its calls and taking its faults through the files
// that the program's environment names. Shared by the tests that drive the program.
#pragma once

#include "window/control_table.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace driver {

using enum window::ControlId;
const COLORREF kGreen = RGB(0, 255, 0), kRed = RGB(255, 0, 0);

inline std::string utf8(const wchar_t *text)
{
    char out[1024];
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return out;
}

// One program at a time: the files are made anew for each.
const std::filesystem::path kLog = std::filesystem::temp_directory_path() / "sim.log";
const std::filesystem::path kFaults = std::filesystem::temp_directory_path() / "sim.faults";

// How long a wait for the program lasts before the test gives up on it. Where Wine runs
// under an emulator a program takes tens of seconds to show its window, so the bound is in
// minutes; a wait ends as soon as what it waits for is there, so no machine waits it out
// unless something is wrong.
constexpr DWORD kPatience = 5 * 60 * 1000;

// A bounded poll, not a timed test: a slow machine makes the test slower, not red. When it
// gives up, the assertion shows what it waited for, and this for how long.
inline testing::AssertionResult eventually(const std::function<bool()> &done)
{
    const ULONGLONG until = GetTickCount64() + kPatience;
    while (!done()) {
        if (GetTickCount64() > until)
            return testing::AssertionFailure() << "still not so after " << kPatience / 1000 << " s";
        Sleep(20);
    }
    return testing::AssertionSuccess();
}

// Input as the hardware gives it: to the window with the focus, or under the mouse.
inline void press(BYTE key, bool shift = false)
{
    keybd_event(VK_SHIFT, 0, shift ? 0 : KEYEVENTF_KEYUP, 0);
    keybd_event(key, 0, 0, 0);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
}

inline void clickAt(LONG x, LONG y)
{
    SetCursorPos(x, y);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

inline void toClipboard(std::wstring_view text)
{
    auto *chars = static_cast<wchar_t *>(GlobalAlloc(GMEM_FIXED, (text.size() + 1) * 2));
    chars[text.copy(chars, text.size())] = L'\0';
    ASSERT_TRUE(eventually([] { return OpenClipboard(nullptr) != FALSE; }));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, chars);
    CloseClipboard();
}

// Keys pressed with Ctrl or Alt held: Ctrl+V, Alt+F4.
inline void pressWith(BYTE modifier, BYTE key)
{
    keybd_event(modifier, 0, 0, 0);
    press(key);
    keybd_event(modifier, 0, KEYEVENTF_KEYUP, 0);
}

// The pixels of a rectangle of the screen, row by row.
inline std::vector<COLORREF> screenPixels(const RECT &area)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(nullptr), copy = CreateCompatibleDC(screen);
    HGDIOBJ was = SelectObject(copy, CreateCompatibleBitmap(screen, width, height));
    // One copy of the screen: Wine reads the screen itself pixel by pixel very slowly.
    BitBlt(copy, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int at = 0; at < width * height; ++at)
        pixels.push_back(GetPixel(copy, at % width, at / width));
    DeleteObject(SelectObject(copy, was));
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// tagwright.exe, or the one that TAGWRIGHT_EXE names (the one unpacked from the zip).
struct Program
{
    explicit Program(const std::string &faults = "")
    {
        std::filesystem::remove(kLog);
        std::ofstream(kFaults) << faults;
        SetEnvironmentVariableW(L"TAGWRIGHT_SIM_LOG", kLog.c_str());
        SetEnvironmentVariableW(L"TAGWRIGHT_SIM_FAULTS", kFaults.c_str());
        std::wstring command =
            _wgetenv(L"TAGWRIGHT_EXE") ? _wgetenv(L"TAGWRIGHT_EXE") : L"tagwright.exe";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        EXPECT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process));
        findWindow();
    }
    // The tagwright.exe that another command started, as an operator would: its window is
    // found, and its process ends with the test.
    struct Started
    {};
    explicit Program(Started)
    {
        findWindow();
        DWORD id = 0;
        GetWindowThreadProcessId(main, &id);
        process.hProcess = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    }
    ~Program()
    {
        TerminateProcess(process.hProcess, 1); // fails where the program has ended
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    HWND item(window::ControlId id) const { return GetDlgItem(main, 1000 + int(id)); }
    std::string text(window::ControlId id) const
    {
        wchar_t text[512]{};
        SendMessageW(item(id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
        return utf8(text);
    }
    void click(window::ControlId id) const { SendMessageW(item(id), BM_CLICK, 0, 0); }
    // A click into the current-number field, then digits typed into it.
    void enter(std::wstring_view digits) const
    {
        SendMessageW(item(txtCurrentNo), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        SendMessageW(item(txtCurrentNo), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        for (wchar_t c : digits)
            SendMessageW(item(txtCurrentNo), WM_CHAR, c, 0);
    }
    void paste(std::wstring_view text) const
    {
        enter(L"");
        toClipboard(text);
        SendMessageW(item(txtCurrentNo), WM_PASTE, 0, 0);
    }
    void connect() const
    {
        SendMessageW(item(cboComPort), CB_SETCURSEL, 4, 0);
        click(Open);
    }
    // How many calls the simulated reader logged whose line starts so ("OpenComm 9").
    int calls(const std::string &start) const
    {
        std::ifstream log(kLog);
        int count = 0;
        for (std::string line; std::getline(log, line);)
            count += line.starts_with(start + " ");
        return count;
    }
    // Input is handled before a paint: once a corner invalidated after the input has been
    // painted, the program has handled the input, and whatever that posted.
    void settle() const
    {
        const RECT corner{0, 0, 1, 1};
        InvalidateRect(main, &corner, FALSE);
        eventually([this] { return !GetUpdateRect(main, nullptr, FALSE); });
    }
    bool focused(window::ControlId id) const
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
        // A combo box's focus lies in its text area.
        return info.hwndFocus == item(id) || GetParent(info.hwndFocus) == item(id);
    }
    DWORD exitCode() const
    {
        DWORD code = WaitForSingleObject(process.hProcess, kPatience);
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }
    // Whether the status line's text shows in this colour, and in neither other one that
    // it may have, as the screen shows it.
    testing::AssertionResult statusShows(COLORREF colour) const
    {
        RECT area;
        GetClientRect(item(opList), &area);
        MapWindowPoints(item(opList), nullptr, reinterpret_cast<POINT *>(&area), 2);
        RedrawWindow(item(opList), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return eventually([&] {
            std::map<COLORREF, int> pixels;
            for (COLORREF pixel : screenPixels(area))
                ++pixels[pixel];
            const bool system = colour == GetSysColor(COLOR_WINDOWTEXT);
            return pixels[colour] > 20 &&
                   pixels[kGreen] + pixels[kRed] == (system ? 0 : pixels[colour]);
        });
    }

    PROCESS_INFORMATION process{};
    HWND main = nullptr;

private:
    // The program's window, once shown; the wait ends early where the program has ended.
    void findWindow()
    {
        bool ended = false;
        const testing::AssertionResult shown = eventually([this, &ended] {
            ended = process.hProcess && WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
            return ended ||
                   IsWindowVisible(main = FindWindowW(L"TagwrightForm1", L"Pro Tagwright"));
        });
        EXPECT_FALSE(ended) << "the program ended with exit code " << exitCode()
                            << " before it showed its window";
        EXPECT_TRUE(shown) << "the window of the program, TagwrightForm1 \"Pro Tagwright\"";
    }
};

} // namespace driver

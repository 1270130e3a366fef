// tagwright.exe driven from a process of its own as an operator drives it, through window
// messages and keyboard and mouse input, with the simulated reader at C:\EPCSDK.DLL telling
// its calls and taking its faults through the files its environment names. Only what the
// Windows front end can get wrong: the rules behind the handlers are the handlers' own tests.
#include "reader/operator_texts.h"
#include "reader/reader_library.h"
#include "win32/control_building.h"

#include "program_driver.h"

#include <algorithm>

namespace {

using namespace driver;
using namespace texts;
const COLORREF kUnchecked = ~0u;

using P = const Program &;
// A fresh program with the reader's faults, what the operator does (and what it checks on
// the way), the text that one control then shows, and the status line's colour.
struct Case
{
    const char *faults;
    void (*act)(P);
    window::ControlId shows;
    std::string text;
    COLORREF colour = kUnchecked;
};

void check(const Case &step)
{
    SCOPED_TRACE(step.text);
    Program program(step.faults);
    step.act(program);
    EXPECT_EQ(program.text(step.shows), step.text);
    EXPECT_TRUE(step.colour == kUnchecked || program.statusShows(step.colour));
}

// Whether the status line's last character, where the box places it and as wide as the
// status line's font measures it, holds ink: the full-width "！" that ends a connection's
// report is in no font of the window, and comes from the font that the prefix links to it
// (packaging/font-link.reg), as in operators' prefixes.
testing::AssertionResult lastCharacterHasInk(P program)
{
    const HWND status = program.item(opList);
    const LRESULT last =
        SendMessageW(status, EM_POSFROMCHAR, SendMessageW(status, WM_GETTEXTLENGTH, 0, 0) - 1, 0);
    // The font made here as the program makes it: another process cannot use the program's.
    const win32::Fonts fonts(96);
    HDC screen = GetDC(nullptr);
    const HGDIOBJ was = SelectObject(screen, fonts.of(window::control(opList)));
    SIZE mark{};
    GetTextExtentPoint32W(screen, L"\xFF01", 1, &mark);
    SelectObject(screen, was);
    ReleaseDC(nullptr, screen);
    POINT corner{static_cast<short>(LOWORD(last)), static_cast<short>(HIWORD(last))};
    ClientToScreen(status, &corner);
    const RECT cell{corner.x, corner.y, corner.x + mark.cx, corner.y + mark.cy};
    RedrawWindow(status, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return eventually([&] {
        return std::ranges::count_if(screenPixels(cell), [](COLORREF pixel) {
                   return pixel != GetSysColor(COLOR_WINDOW);
               }) > 0;
    });
}

TEST(Win32Window, EachOperatorStepShowsItsOutcome)
{
    const std::string written = "0010001001" + std::string(kCardWritten);
    const COLORREF system = GetSysColor(COLOR_WINDOWTEXT);
    const auto caption = [](std::string card) {
        return "Write \r\n" + card + "\r\n To Card";
    };
    // clang-format off
    const Case cases[] = {
        {"", [](P p) { p.connect(); EXPECT_TRUE(lastCharacterHasInk(p)); }, opList, std::string(kConnected)},
        {"", [](P p) { p.connect(); p.connect(); EXPECT_EQ(p.calls("OpenComm 9"), 1); }, opList, std::string(kAlreadyConnected), system},
        {"", [](P p) { p.connect(); p.click(Close); EXPECT_EQ(p.calls("CloseComm"), 1); }, opList, std::string(kDisconnected)},
        // Digits typed or pasted, in full; the caption shows the change step ran.
        {"", [](P p) { p.enter(L"4a\b2"); }, cmdWriteCard, caption("0010000042")},
        {"", [](P p) { p.enter(L"\b"); }, txtCurrentNo, "00000"},
        {"", [](P p) { p.paste(L"42"); }, cmdWriteCard, caption("0010000042")},
        {"", [](P p) { p.paste(L"4 2"); }, txtCurrentNo, "00000"},
        // A paste over the selected number: the field's length limit cuts nothing.
        {"", [](P p) { p.paste(L"12345"); }, cmdWriteCard, caption("0010012345")},
        {"", [](P p) { p.paste(L"0010012345"); }, txtCurrentNo, "00000"},
        // A site chosen from the list with the arrow keys or the mouse, against one typed.
        {"", [](P p) { for (int i = 0; i < 3; ++i) SendMessageW(p.item(Combo1), WM_KEYDOWN, VK_DOWN, 0); }, txtNoStartAt, "0010003001"},
        {"", [](P p) { RECT r; GetWindowRect(p.item(Combo1), &r); clickAt(r.right - 6, (r.top + r.bottom) / 2); p.settle();
                       HWND list; ASSERT_TRUE(eventually([&] { return IsWindowVisible(list = FindWindowW(L"ComboLBox", nullptr)); }));
                       GetWindowRect(list, &r); clickAt(r.left + 9, r.top + 2 + int(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)) * 3 / 2);
                       EXPECT_TRUE(eventually([&] { return p.text(txtCurrentNo) == "02001"; })); }, txtNoStartAt, "0010002001"},
        {"", [](P p) { HWND edit = FindWindowExW(p.item(Combo1), nullptr, L"Edit", nullptr); SendMessageW(edit, EM_SETSEL, 0, -1);
                       for (wchar_t c : std::wstring_view(L"DUNE PARK")) SendMessageW(edit, WM_CHAR, c, 0);
                       EXPECT_EQ(p.text(Combo1), "DUNE PARK"); }, txtNoStartAt, ""},
        // The three card writes, green or red; a connection message keeps the colour.
        {"", [](P p) { p.connect(); p.enter(L"1001"); p.click(cmdWriteCard); }, opList, written, kGreen},
        {"", [](P p) { p.connect(); p.enter(L"1000"); p.click(cmdWriteNext); }, opList, written, kGreen},
        {"", [](P p) { p.connect(); p.enter(L"1002"); p.click(cmdWritePrev); }, opList, written, kGreen},
        {"fail 7", [](P p) { p.connect(); p.enter(L"1001"); p.click(cmdWriteCard); }, opList, "0010001001" + std::string(kCardWriteError), kRed},
        {"fail 7", [](P p) { p.connect(); p.click(cmdWriteNext); p.click(Open); }, opList, std::string(kAlreadyConnected), kRed},
        // The close box runs the unload step, the Close button does not.
        {"", [](P p) { p.connect(); PostMessageW(p.main, WM_CLOSE, 0, 0); EXPECT_EQ(p.exitCode(), 0u); EXPECT_EQ(p.calls("CloseComm"), 1); }, opList, ""},
        {"", [](P p) { p.connect(); PostMessageW(p.item(cmdClose), BM_CLICK, 0, 0); EXPECT_EQ(p.exitCode(), 0u); EXPECT_EQ(p.calls("CloseComm"), 0); }, opList, ""},
        // So too over a reader library whose OpenComm starts a thread, running until CloseComm.
        {"thread", [](P p) { p.connect(); EXPECT_EQ(p.text(opList), kConnected); PostMessageW(p.main, WM_CLOSE, 0, 0); EXPECT_EQ(p.exitCode(), 0u); EXPECT_EQ(p.calls("CloseComm"), 1); }, opList, ""},
        {"thread", [](P p) { p.connect(); EXPECT_EQ(p.text(opList), kConnected); PostMessageW(p.item(cmdClose), BM_CLICK, 0, 0); EXPECT_EQ(p.exitCode(), 0u); EXPECT_EQ(p.calls("CloseComm"), 0); }, opList, ""},
        // A library that runs the window's messages inside its calls, or shows a box of its own
        // there: a click and the close box during a write start nothing, and the window closes
        // once the card is written whole.
        {"pump 1000", [](P p) { p.connect(); p.enter(L"1000"); for (HWND to : {p.item(cmdWriteNext), p.item(cmdWriteCard)}) PostMessageW(to, BM_CLICK, 0, 0);
                                PostMessageW(p.main, WM_CLOSE, 0, 0); EXPECT_EQ(p.exitCode(), 0u); EXPECT_EQ(p.calls("WriteTagSingleWord 23041 1"), 2);
                                EXPECT_EQ(p.calls("NestedCall"), 0); EXPECT_EQ(p.calls("CloseComm"), 1); }, opList, ""},
        // Nor does the number take an edit: the number that the write stepped to stays.
        {"pump 1000", [](P p) { p.connect(); p.enter(L"1000"); PostMessageW(p.item(cmdWriteNext), BM_CLICK, 0, 0);
                                for (const auto &[message, wParam, lParam] : {std::tuple<UINT, WPARAM, LPARAM>{EM_SETSEL, 0, -1}, {WM_KEYDOWN, VK_DELETE, 0}, {WM_CHAR, '7', 0}, {WM_CLEAR, 0, 0}, {EM_UNDO, 0, 0}})
                                    PostMessageW(p.item(txtCurrentNo), message, wParam, lParam);
                                EXPECT_TRUE(eventually([&] { return p.calls("WriteTagSingleWord 23041 1") == 2; })); }, txtCurrentNo, "1001"},
        {"msgbox", [](P p) { p.connect(); PostMessageW(p.item(cmdWriteCard), BM_CLICK, 0, 0);
                             for (int word = 6; word <= 7; ++word) {
                                 HWND box; ASSERT_TRUE(eventually([&] { return IsWindowVisible(box = FindWindowW(L"#32770", L"Reader library")); }));
                                 PostMessageW(p.item(cmdWriteNext), BM_CLICK, 0, 0); PostMessageW(p.main, WM_CLOSE, 0, 0); PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
                                 ASSERT_TRUE(eventually([&] { return !IsWindow(box); })); }
                             EXPECT_EQ(p.exitCode(), 0u); EXPECT_EQ(p.calls("WriteTagSingleWord 23041 1"), 2); EXPECT_EQ(p.calls("NestedCall"), 0); }, opList, ""},
        // Log-off or shutdown runs the unload step, once, even when the window is closed after.
        {"", [](P p) { p.connect(); EXPECT_TRUE(SendMessageW(p.main, WM_QUERYENDSESSION, 0, 0)); SendMessageW(p.main, WM_ENDSESSION, TRUE, 0);
                       EXPECT_EQ(p.calls("CloseComm"), 1); PostMessageW(p.main, WM_CLOSE, 0, 0); EXPECT_EQ(p.exitCode(), 0u); EXPECT_EQ(p.calls("CloseComm"), 1); }, opList, ""},
        // The developer panel: each button reaches its handler, each word its box.
        {"", [](P p) { p.connect(); p.click(cmdWrite); EXPECT_EQ(p.text(opList), kTestValueWritten); p.click(cmdRead); EXPECT_EQ(p.text(txt1), "000F"); }, txt2, "4629"},
        {"", [](P p) { p.connect(); p.click(cmdRegularizeCardNo); EXPECT_EQ(p.text(opList), kRegularized); p.click(cmdRead); EXPECT_EQ(p.text(txt1), "EC88"); }, txt2, "851A"},
        // Before Connect the reader is called with the handle -1, and refuses.
        {"", [](P p) { p.enter(L"1001"); p.click(cmdWriteCard); EXPECT_EQ(p.calls("WriteTagSingleWord -1 1 6"), 1); }, opList, "0010001001" + std::string(kCardWriteError), kRed},
        {"", [](P p) { p.click(cmdRead); EXPECT_EQ(p.calls("ReadTag -1 1 6 1"), 1); EXPECT_EQ(p.calls("ReadTag -1 1 7 1"), 1); EXPECT_EQ(p.text(txt1), "0000"); }, txt2, "0000"},
    };
    // clang-format on
    for (const Case &step : cases)
        check(step);
}

TEST(Win32Window, ConnectWithoutAPortAsksAndGivesThePortListTheFocus)
{
    Program program;
    PostMessageW(program.item(Open), BM_CLICK, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(
        eventually([&] { return IsWindowVisible(box = FindWindowW(L"#32770", L"Connect...")); }));
    EXPECT_EQ(GetWindow(box, GW_OWNER), program.main);
    std::string shown; // the box's visible parts: an icon, texts and buttons
    for (HWND part = GetWindow(box, GW_CHILD); part; part = GetWindow(part, GW_HWNDNEXT)) {
        wchar_t text[128];
        GetWindowTextW(part, text, 128);
        const bool icon = SendMessageW(part, STM_GETICON, 0, 0) != 0;
        if (IsWindowVisible(part) && (icon || text[0] != L'\0'))
            shown.append(icon ? "(icon)" : utf8(text)).append("|");
    }
    EXPECT_EQ(shown, std::string("OK|").append(kPortQuestion).append("|"));
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(eventually([&] { return !IsWindow(box) && program.focused(cboComPort); }));
}

TEST(Win32Window, TabCyclesThroughTheTabStopsAndReturnOrSpacePressesTheButton)
{
    Program program;
    ASSERT_TRUE(eventually([&] { return program.focused(cboComPort); }));
    for (auto next : {Open, txtCurrentNo, cmdWritePrev, cmdWriteCard, cmdWriteNext, cboComPort}) {
        press(VK_TAB);
        EXPECT_TRUE(eventually([&] { return program.focused(next); })) << int(next);
    }
    press(VK_TAB, true);
    ASSERT_TRUE(eventually([&] { return program.focused(cmdWriteNext); }));
    press(VK_RETURN);
    EXPECT_TRUE(eventually([&] { return program.text(txtCurrentNo) == "1"; }));
    press(VK_TAB, true);
    ASSERT_TRUE(eventually([&] { return program.focused(cmdWriteCard); }));
    // As if typed into the status line, which the next report replaces.
    SendMessageW(program.item(opList), WM_SETTEXT, 0, LPARAM(L"typed"));
    press(VK_SPACE);
    EXPECT_TRUE(eventually([&] { return program.text(opList).starts_with("0010000001"); }));
}

// Run while nothing lies at C:\EPCSDK.DLL; a library that lacks a function is put there for
// a while. The program starts in a working folder that holds a stranger's EPCSDK.DLL, which
// the library search would reach there without the program's hardening: it is never loaded.
// A copy of the program with that library as EPCSDK.DLL beside it finds it there by name.
TEST(WithoutReaderLibrary, TheStatusLineNamesTheMissingLibraryOrFunction)
{
    namespace fs = std::filesystem;
    const fs::path programs = fs::current_path(), planted = fs::temp_directory_path() / "planted",
                   beside = fs::temp_directory_path() / "beside";
    fs::create_directories(planted);
    fs::create_directories(beside);
    for (const auto &[from, to] : {std::pair{"libepcsdk_planted.dll", planted / "EPCSDK.DLL"},
                                   std::pair{"libepcsdk_partial.dll", planted / "partial.dll"},
                                   std::pair{"libepcsdk_partial.dll", beside / "EPCSDK.DLL"},
                                   std::pair{"tagwright.exe", beside / "tagwright.exe"}})
        fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    fs::current_path(planted);
    const std::string error =
        "0010000007" + std::string(kCardWriteError) + std::string(kCardWriteErrorDetail);
    const reader::platform::LoadError kNotFound{reader::platform::LoadFailure::NotFound, {}};
    // clang-format off
    const Case cases[] = {
        {"", [](P p) { p.connect(); }, opList, reader::BindError{"C:\\EPCSDK.DLL", "OpenComm", kNotFound}.message()},
        {"", [](P p) { p.enter(L"7"); p.click(cmdWriteCard); }, opList, error + reader::BindError{"EPCSDK.DLL", "WriteTagSingleWord", kNotFound}.message()},
        {"", [](P p) { p.enter(L"7"); CopyFileW(L"partial.dll", L"C:\\EPCSDK.DLL", TRUE);
                       p.connect(); p.click(cmdWriteCard); }, opList, error + reader::BindError{"C:\\EPCSDK.DLL", "WriteTagSingleWord", std::nullopt}.message()},
    };
    // clang-format on
    for (const Case &step : cases) {
        check(step);
        DeleteFileW(L"C:\\EPCSDK.DLL");
    }
    _wputenv((L"TAGWRIGHT_EXE=" + (beside / "tagwright.exe").wstring()).c_str());
    check({"",
           [](P p) {
               p.enter(L"7");
               p.click(cmdWriteCard);
           },
           opList,
           error + reader::BindError{"EPCSDK.DLL", "WriteTagSingleWord", std::nullopt}.message()});
    _wputenv(L"TAGWRIGHT_EXE=");
    fs::current_path(programs);
}

// Run with TAGWRIGHT_EXE naming tagwright.exe as unpacked from the operator's zip, with a
// stranger's EPCSDK.DLL beside it, which the library search would find first: every call,
// before Connect and after, reaches the reader at C:\EPCSDK.DLL, which logs it.
TEST(FromTheZip, ConnectsAndCallsOnlyTheLibraryAtTheFixedPath)
{
    ASSERT_NE(_wgetenv(L"TAGWRIGHT_EXE"), nullptr);
    // clang-format off
    check({"", [](P p) { p.click(cmdWriteCard); p.connect(); EXPECT_EQ(p.text(opList), kConnected); p.click(cmdWriteNext);
                         EXPECT_EQ(p.calls("WriteTagSingleWord -1 1 6"), 1); EXPECT_EQ(p.calls("WriteTagSingleWord"), 3); },
           opList, "0010000001" + std::string(kCardWritten), kGreen});
    // clang-format on
}

} // namespace

// A randomized operator of tagwright.exe: seeded random steps through real keyboard and
// mouse input on the program in its own process, with the simulated reader's faults set
// along the way. After every step the window's promises are checked against the reader's
// call log, and the program's GDI and USER objects against what it held at its start.
//
//   TAGWRIGHT_SEED      the seed (a fixed one by default, so that the test is repeatable)
//   TAGWRIGHT_STEPS     the step budget (default 100000)
//   TAGWRIGHT_SECONDS   the wall-clock cap (default 60)
//
// A failure names the seed, the step and what the step did; the same seed replays it.
#include "simreader/sim_log_files.h"
#include "window/form1.h"
#include "window/tests/operator_promises.h"

#include "program_driver.h"

#include <winternl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <random>
#include <sstream>

namespace {

using namespace driver;
using Clock = std::chrono::steady_clock;

const std::wstring kTyped = L"0123456789abcXYZ -+.,!１２~<";

template <typename... Parts> std::string cat(const Parts &...parts)
{
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

// The program's GDI objects. Wine answers 0 to GetGuiResources; there the live entries of
// the program's own GDI handle table are counted, which Wine keeps where Windows keeps its
// shared one, at PEB.GdiSharedHandleTable: 65,536 entries of 24 bytes (65,480 of them for
// the program's objects), an entry's type at byte 14, 0 while the entry is free.
int gdiObjects(HANDLE process)
{
    if (const DWORD count = GetGuiResources(process, GR_GDIOBJECTS))
        return int(count);
    PROCESS_BASIC_INFORMATION basic{};
    NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr);
    UINT32 table = 0; // PEB.GdiSharedHandleTable of a 32-bit process
    ReadProcessMemory(process, reinterpret_cast<char *>(basic.PebBaseAddress) + 0x94, &table,
                      sizeof table, nullptr);
    static std::vector<std::array<unsigned char, 24>> entries(65536);
    ReadProcessMemory(process, ULongToPtr(table), entries.data(), entries.size() * 24, nullptr);
    return int(
        std::count_if(entries.begin(), entries.end(), [](auto &entry) { return entry[14]; }));
}

BOOL CALLBACK countWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int *>(count);
    return TRUE;
}

// The program's USER objects; under Wine the windows of its thread, the only ones it makes.
int userObjects(const Program &program)
{
    auto count = int(GetGuiResources(program.process.hProcess, GR_USEROBJECTS));
    if (count == 0) {
        EnumThreadWindows(program.process.dwThreadId, countWindow, LPARAM(&count));
        EnumChildWindows(program.main, countWindow, LPARAM(&count));
    }
    return count;
}

void typeText(std::wstring_view text)
{
    for (const wchar_t c : text) {
        for (const DWORD up : {0ul, DWORD(KEYEVENTF_KEYUP)}) {
            INPUT key{.type = INPUT_KEYBOARD, .ki = {0, c, KEYEVENTF_UNICODE | up, 0, 0}};
            SendInput(1, &key, sizeof key);
        }
    }
}

long long setting(const wchar_t *name, long long otherwise)
{
    return _wgetenv(name) ? _wtoi64(_wgetenv(name)) : otherwise;
}

class Operator
{
public:
    explicit Operator(uint64_t seed) : m_random(seed) { start(); }

    int pick(std::size_t n) { return int(m_random() % n); }

    // Each step with its weight; each returns what it did. A program lives about 200 steps,
    // long enough for a leak of objects to show against the bound on them.
    std::vector<std::pair<int, std::function<std::string()>>> steps()
    {
        // clang-format off
        return {
            {60, [this] { // the mouse anywhere on a control but the Close button
                const auto &control = window::kControls[pick(window::kControlCount)];
                if (control.id == cmdClose)
                    return std::string();
                const POINT at = clickInside(m_program->item(control.id));
                return cat("click ", control.name, " at ", at.x, ",", at.y); }},
            {60, [this] { // a click into a box, Backspace or Delete now and then, text typed or pasted
                const auto id = std::array{txtCurrentNo, txtCurrentNo, txtNoStartAt, txt1, opList, Combo1, cboComPort}[pick(7)];
                std::wstring text = pick(4) ? L"" : std::to_wstring(m_random() % 10'000'000'000ULL);
                for (int length = text.empty() ? pick(9) : 0; length > 0; --length)
                    text += kTyped[pick(kTyped.size())];
                clickInside(m_program->item(id), 6);
                const int how = pick(5);
                if (how < 2)
                    press(how ? VK_DELETE : VK_BACK);
                how == 2 ? (toClipboard(text), pressWith(VK_CONTROL, 'V')) : typeText(text);
                return cat(std::array{"Backspace, type", "Delete, type", "paste", "type", "type"}[how], " \"", utf8(text.c_str()), "\" in ", window::control(id).name); }},
            {28, [this] { // the arrow keys, Return, Escape or the mouse in a list, open or closed
                const auto id = pick(3) ? Combo1 : cboComPort;
                const int how = pick(7), open = pick(3);
                clickInside(m_program->item(id), 6);
                if (open)
                    open == 1 ? press(VK_F4) : (void)clickInside(m_program->item(id), -6);
                m_program->settle();
                if (const HWND list = FindWindowW(L"ComboLBox", nullptr); how == 6 && IsWindowVisible(list))
                    clickInside(list);
                else
                    press(std::array<BYTE, 6>{VK_UP, VK_DOWN, VK_DOWN, VK_RETURN, VK_ESCAPE, VK_ESCAPE}[how % 6]);
                return cat(open ? "open " : "", window::control(id).name, ", key ", how); }},
            {20, [this] { // one key on whatever has the focus
                const int key = pick(4);
                press(std::array<BYTE, 4>{VK_TAB, VK_TAB, VK_RETURN, VK_SPACE}[key], key == 1);
                return cat("key ", std::array{"Tab", "Shift+Tab", "Return", "Space"}[key]); }},
            {16, [this] { // reader faults, which the program reads before each reader call
                const std::string faults = std::array{"", "", "notag", "fail 6", "fail 7", "absent", "leave", "pump 30"}[pick(8)];
                std::ofstream(kFaults) << faults << (m_life.threaded ? " thread" : "");
                return cat("faults \"", faults, "\""); }},
            {4, [this] { // the window moved between monitors of other resolutions, four times
                std::string what = "dpi";
                for (int change = 0; change < 4; ++change) {
                    const int dpi = 96 + 24 * pick(3), was = std::exchange(m_life.dpi, dpi);
                    RECT r;
                    GetWindowRect(m_program->main, &r);
                    r = {r.left, r.top, r.left + MulDiv(r.right - r.left, dpi, was), r.top + MulDiv(r.bottom - r.top, dpi, was)};
                    // lParam points to the suggested rectangle, in the program's own memory.
                    WriteProcessMemory(m_program->process.hProcess, m_remoteRect, &r, sizeof r, nullptr);
                    SendMessageW(m_program->main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(m_remoteRect));
                    what += cat(" ", dpi);
                }
                return what; }},
            {1, [this] { // the close box, or the Close button, and a fresh start
                // Wine's close box takes no click of injected input: Alt+F4 is the same command.
                const bool box = pick(3) != 0;
                box ? pressWith(VK_MENU, VK_F4) : (void)clickInside(m_program->item(cmdClose));
                // That it ends is win32_window_test's; a program that ended did so cleanly.
                const DWORD code = m_program->exitCode();
                m_crashed = code != 0 && code != STILL_ACTIVE ? code : 0;
                start();
                return cat(box ? "Alt+F4" : "click cmdClose", ", start again", m_life.threaded ? ", threaded reader" : ""); }},
        };
        // clang-format on
    }

    // Whether the window kept its promises; what it broke otherwise.
    std::string check()
    {
        if (m_crashed != 0)
            return cat("the program ended with exit code ", m_crashed);
        m_program->settle();
        if (IsWindowVisible(FindWindowW(L"#32770", L"Connect..."))) // the port question: OK
            press(VK_RETURN), m_program->settle();
        const std::string field = m_program->text(txtCurrentNo);
        if (WaitForSingleObject(m_program->process.hProcess, 0) == WAIT_OBJECT_0 ||
            field.size() > 5 || !window::isNumberText(field))
            return "the program ended, or the field holds " + field;
        const std::pair objects{gdiObjects(m_program->process.hProcess), userObjects(*m_program)};
        const auto first = m_life.first = m_life.first.first ? m_life.first : objects;
        m_most = {std::max(m_most.first, objects.first - first.first),
                  std::max(m_most.second, objects.second - first.second)};
        // Under Wine the program holds about 240 GDI objects once shown, and about 30 more
        // once it has shown every part at 96, 120 and 144 dpi; its windows stay as many.
        if (m_most.first > 40 || m_most.second > 4)
            return cat(objects.first, " GDI and ", objects.second, " USER objects, after ",
                       first.first, " and ", first.second, " at the start");
        return checkCalls(field);
    }

    std::pair<int, int> m_most{}; // the most GDI and USER objects above the start's
    int m_starts = 0;

private:
    void start()
    {
        m_program.reset(); // its log and faults files are made anew
        // Half the programs over a reader library that runs a thread of its own.
        const bool threaded = pick(2);
        m_program = std::make_unique<Program>(threaded ? "thread" : "");
        m_remoteRect = VirtualAllocEx(m_program->process.hProcess, nullptr, sizeof(RECT),
                                      MEM_COMMIT, PAGE_READWRITE);
        m_life = {.threaded = threaded};
        ++m_starts;
    }

    // The mouse clicked in a window: anywhere, or halfway down this many pixels in from its
    // left edge (its right edge when negative).
    POINT clickInside(HWND window, int in = 0)
    {
        RECT r;
        GetWindowRect(window, &r);
        const POINT at{in ? (in > 0 ? r.left : r.right) + in
                          : r.left + 1 + pick(r.right - r.left - 1),
                       in ? (r.top + r.bottom) / 2 : r.top + 1 + pick(r.bottom - r.top - 1)};
        clickAt(at.x, at.y);
        return at;
    }

    // The reader calls since the last check, and the status line's colour as the screen
    // shows it after a write.
    std::string checkCalls(const std::string &field)
    {
        std::ifstream log(kLog, std::ios::binary);
        log.seekg(m_life.logAt);
        std::vector<SimCall> calls;
        for (std::string line; std::getline(log, line) && !log.eof();) {
            m_life.logAt += std::streamoff(line.size() + 1);
            calls.push_back(simLoggedCall(line));
            if (calls.back().function == SimNestedCall)
                return "a call entered the reader library while another was inside it: " + line;
        }
        StatusColour colour{};
        const std::string status = m_program->text(opList);
        if (std::string broken = brokenPromise(calls, field, status, colour); !broken.empty())
            return broken;
        if (colour == StatusColour::Green || colour == StatusColour::Red)
            m_life.colour = colour == StatusColour::Green ? kGreen : kRed;
        if (colour == StatusColour::NoWrite || m_program->statusShows(m_life.colour))
            return "";
        return "\"" + status + "\" not in its colour";
    }

    // What the checks follow of one program, from its start.
    struct Life
    {
        std::streamoff logAt = 0;
        int dpi = USER_DEFAULT_SCREEN_DPI;
        COLORREF colour = GetSysColor(COLOR_WINDOWTEXT);
        std::pair<int, int> first{}; // GDI and USER objects after the first step
        bool threaded = false;
    } m_life;
    std::mt19937_64 m_random;
    std::unique_ptr<Program> m_program;
    void *m_remoteRect = nullptr;
    DWORD m_crashed = 0; // the exit code of a program that ended badly
};

TEST(RandomOperator, KeepsTheWindowsPromisesAndItsObjectsBounded)
{
    const auto seed = uint64_t(setting(L"TAGWRIGHT_SEED", 20240611));
    const long long budget = setting(L"TAGWRIGHT_STEPS", 100000);
    const auto began = Clock::now(),
               end = began + std::chrono::seconds(setting(L"TAGWRIGHT_SECONDS", 60));
    std::printf("seed %llu\n", static_cast<unsigned long long>(seed));
    Operator player(seed);
    const auto table = player.steps();
    std::discrete_distribution<std::size_t> choose(
        table.size(), 0, double(table.size()),
        [&table](double at) { return table[std::size_t(at)].first; });
    std::mt19937_64 chooser(seed);
    int step = 0;
    for (; step < budget && Clock::now() < end; ++step) {
        const std::string what = table[choose(chooser)].second();
        if (const std::string error = player.check(); !error.empty())
            FAIL() << "seed " << seed << ", step " << step << " (" << what << "): " << error;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
    std::printf("%d steps in %.1f s, %.1f steps/s, %d starts; at most %d GDI and %d USER "
                "objects above the start's\n",
                step, seconds, step / seconds, player.m_starts, player.m_most.first,
                player.m_most.second);
}

} // namespace

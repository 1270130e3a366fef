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
#include "numbering/encoding.h"
#include "reader/operator_texts.h"
#include "reader/reader_link.h"
#include "window/form1.h"

#include "program_driver.h"

#include <winternl.h>

#include <array>
#include <chrono>
#include <memory>
#include <random>
#include <sstream>

namespace {

using namespace driver;
using Clock = std::chrono::steady_clock;

const std::wstring kTyped = L"0123456789abcXYZ -+.,!１２~<";

// The program's GDI objects. Wine answers 0 to GetGuiResources; there the live entries of
// the program's GDI handle table are counted, which its PEB points to as on Windows (24
// bytes an entry, its type 0 when free; entries are handed out from the start, so the
// first never-used one ends the count).
int gdiObjects(HANDLE process)
{
    if (const DWORD count = GetGuiResources(process, GR_GDIOBJECTS))
        return int(count);
    PROCESS_BASIC_INFORMATION basic{};
    NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr);
    UINT32 table = 0; // PEB.GdiSharedHandleTable of a 32-bit process
    ReadProcessMemory(process, reinterpret_cast<char *>(basic.PebBaseAddress) + 0x94, &table,
                      sizeof table, nullptr);
    struct Entry
    {
        UINT64 object;
        ULONG owner;
        USHORT unique;
        UCHAR type, flags;
        UINT64 user;
    } entries[1024];
    int live = 0;
    for (UINT32 at = table; table != 0; at += sizeof entries) {
        if (!ReadProcessMemory(process, ULongToPtr(at), entries, sizeof entries, nullptr))
            return live;
        for (const Entry &entry : entries) {
            if (entry.type == 0 && entry.unique == 0 && &entry > entries + 64)
                return live;
            live += entry.type != 0;
        }
    }
    return live;
}

BOOL CALLBACK countOwned(HWND window, LPARAM found)
{
    auto &[process, windows] = *reinterpret_cast<std::pair<DWORD, int> *>(found);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    windows += owner == process;
    return TRUE;
}

// The program's USER objects; under Wine the windows it owns, the only ones it makes.
int userObjects(const Program &program)
{
    if (const DWORD count = GetGuiResources(program.process.hProcess, GR_USEROBJECTS))
        return int(count);
    std::pair<DWORD, int> owned{program.process.dwProcessId, 0};
    EnumWindows(countOwned, LPARAM(&owned));
    EnumChildWindows(program.main, countOwned, LPARAM(&owned));
    return owned.second;
}

void typeText(std::wstring_view text)
{
    for (const wchar_t c : text) {
        INPUT key[2]{};
        key[0].type = key[1].type = INPUT_KEYBOARD;
        key[0].ki.wScan = key[1].ki.wScan = c;
        key[0].ki.dwFlags = KEYEVENTF_UNICODE;
        key[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, key, sizeof *key);
    }
}

void pressWithControl(BYTE key)
{
    keybd_event(VK_CONTROL, 0, 0, 0);
    press(key);
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

class Operator
{
public:
    explicit Operator(uint64_t seed) : m_random(seed) { start(); }

    // Each step with its weight; each returns what it did. A program lives about 200 steps,
    // long enough for a leak of objects to show against the bound on them.
    std::vector<std::pair<int, std::function<std::string()>>> steps()
    {
        return {
            {60,
             [this] { // the mouse anywhere on a control but the Close button
                 const auto &control = window::kControls[pick(window::kControlCount)];
                 if (control.id == cmdClose)
                     return std::string();
                 const POINT at = clickInside(control.id);
                 return "click " + std::string(control.name) + " at " + std::to_string(at.x) + "," +
                        std::to_string(at.y);
             }},
            {60,
             [this] { // typed or pasted into a text area, a click in it first
                 const window::ControlId into[] = {txtCurrentNo, txtCurrentNo, txtNoStartAt, txt1,
                                                   opList,       Combo1,       cboComPort};
                 const auto id = into[pick(std::size(into))];
                 const int key = pick(8);
                 std::wstring text;
                 for (int length = pick(9); length > 0; --length)
                     text += kTyped[pick(kTyped.size())];
                 text = pick(4) ? text : std::to_wstring(m_random() % 10'000'000'000ULL);
                 clickInside(id, 6);
                 if (key == 0 || key == 1)
                     press(key ? VK_DELETE : VK_BACK);
                 if (key == 2)
                     pasteWithKeys(text);
                 else if (key > 2)
                     typeText(text);
                 return std::string(key == 2 ? "paste"
                                    : key    ? "Delete, type"
                                             : "Backspace, type") +
                        " \"" + utf8(text.c_str()) + "\" in " + window::control(id).name.data();
             }},
            {28,
             [this] { // the arrow keys, Return, Escape and the mouse in a list, open or closed
                 const auto id = pick(3) ? Combo1 : cboComPort;
                 const int how = pick(7), open = pick(3);
                 clickInside(id, 6);
                 if (open)
                     open == 1 ? press(VK_F4) : (void)clickInside(id, -6);
                 settle();
                 RECT list;
                 HWND shown = FindWindowW(L"ComboLBox", nullptr);
                 if (how == 6 && IsWindowVisible(shown) && GetWindowRect(shown, &list))
                     clickAt(list.left + 8, list.top + 2 + pick(list.bottom - list.top - 4));
                 else
                     press(std::array<BYTE, 6>{VK_UP, VK_DOWN, VK_DOWN, VK_RETURN, VK_ESCAPE,
                                               VK_ESCAPE}[how % 6]);
                 return std::string(open ? "open " : "") + window::control(id).name.data() +
                        ", key " + std::to_string(how);
             }},
            {20,
             [this] { // one key on whatever has the focus
                 const int key = pick(4);
                 press(std::array<BYTE, 4>{VK_TAB, VK_TAB, VK_RETURN, VK_SPACE}[key], key == 1);
                 return std::string("key ") + "T\tRS"[key];
             }},
            {12,
             [this] { // Connect or Disconnect, after choosing a port now and then
                 if (pick(2))
                     SendMessageW(m_program->item(cboComPort), CB_SETCURSEL, pick(10), 0);
                 const auto id = pick(3) ? Open : Close;
                 clickInside(id);
                 return std::string("click ") + window::control(id).name.data();
             }},
            {16,
             [this] { // reader faults, which the program reads before each reader call
                 const char *faults[] = {"", "", "notag", "fail 6", "fail 7", "absent", "leave"};
                 const std::string chosen = faults[pick(std::size(faults))];
                 std::ofstream(kFaults) << chosen;
                 return "faults \"" + chosen + "\"";
             }},
            {4,
             [this] { // the window moved between monitors of other resolutions, four times
                 std::string what = "dpi";
                 for (int change = 0; change < 4; ++change) {
                     const UINT dpi = 96 + 24 * pick(3);
                     RECT suggested;
                     GetWindowRect(m_program->main, &suggested);
                     suggested.right = suggested.left + MulDiv(suggested.right - suggested.left,
                                                               int(dpi), int(m_dpi));
                     suggested.bottom = suggested.top + MulDiv(suggested.bottom - suggested.top,
                                                               int(dpi), int(m_dpi));
                     // lParam points to the rectangle, in the program's own memory.
                     WriteProcessMemory(m_program->process.hProcess, m_remoteRect, &suggested,
                                        sizeof suggested, nullptr);
                     SendMessageW(m_program->main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                                  LPARAM(m_remoteRect));
                     m_dpi = dpi;
                     what.append(" ").append(std::to_string(dpi));
                 }
                 return what;
             }},
            {1,
             [this] { // the close box, or the Close button, and a fresh start
                 // Wine's close box takes no click from injected input: Alt+F4 asks for the
                 // same system command.
                 const bool box = pick(3) != 0;
                 if (box) {
                     keybd_event(VK_MENU, 0, 0, 0);
                     press(VK_F4);
                     keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
                 } else {
                     clickInside(cmdClose);
                 }
                 const bool ended = WaitForSingleObject(m_program->process.hProcess, 20000) == 0;
                 m_problem = ended ? "" : "the program did not end";
                 start();
                 return box ? "Alt+F4, start again" : "click cmdClose, start again";
             }},
        };
    }

    // Whether the window kept its promises; what it broke otherwise.
    std::string check()
    {
        settle();
        if (HWND question = FindWindowW(L"#32770", L"Connect..."); IsWindowVisible(question)) {
            RECT ok;
            GetWindowRect(GetDlgItem(question, IDOK), &ok);
            clickAt((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
            settle();
        }
        if (!m_problem.empty())
            return std::exchange(m_problem, "");
        const std::string field = m_program->text(txtCurrentNo);
        if (WaitForSingleObject(m_program->process.hProcess, 0) == 0 || field.size() > 5 ||
            !window::isNumberText(field))
            return "the program ended, or the field holds " + field;
        if (const std::string fonts = checkFonts(); !fonts.empty())
            return fonts;
        const int gdi = gdiObjects(m_program->process.hProcess), user = userObjects(*m_program);
        if (m_first.first == 0)
            m_first = {gdi, user};
        m_most = {std::max(m_most.first, gdi - m_first.first),
                  std::max(m_most.second, user - m_first.second)};
        // Under Wine the program holds about 240 GDI objects once shown, and about 30 more
        // once it has shown every part at 96, 120 and 144 dpi; its windows stay as many.
        if (m_most.first > 40 || m_most.second > 4)
            return "GDI objects " + std::to_string(gdi) + ", USER objects " + std::to_string(user) +
                   " after " + std::to_string(m_first.first) + ", " +
                   std::to_string(m_first.second) + " at the start";
        return checkCalls(field);
    }

    int pick(std::size_t n) { return int(m_random() % n); }
    std::pair<int, int> m_most{}; // the most GDI and USER objects above the start's
    int m_starts = 0;

private:
    void start()
    {
        m_program.reset(); // its log and faults files are made anew
        m_program = std::make_unique<Program>();
        m_remoteRect = VirtualAllocEx(m_program->process.hProcess, nullptr, sizeof(RECT),
                                      MEM_COMMIT, PAGE_READWRITE);
        m_logAt = 0;
        m_tag[0] = m_tag[1] = 0;
        m_colour = GetSysColor(COLOR_WINDOWTEXT);
        m_dpi = USER_DEFAULT_SCREEN_DPI;
        ++m_starts;
        m_first = {};
    }

    // Input is handled before a paint: once a corner invalidated after the input has been
    // painted, the program has handled the input, and whatever that posted.
    void settle() const
    {
        const RECT corner{0, 0, 1, 1};
        InvalidateRect(m_program->main, &corner, FALSE);
        eventually([this] { return !GetUpdateRect(m_program->main, nullptr, FALSE); });
    }

    // A point inside the control, at this many pixels from its left (right when negative)
    // edge, or anywhere, and the mouse clicked there.
    POINT clickInside(window::ControlId id, int fromEdge = 0)
    {
        RECT r;
        GetWindowRect(m_program->item(id), &r);
        const POINT at{fromEdge > 0   ? r.left + fromEdge
                       : fromEdge < 0 ? r.right + fromEdge
                                      : r.left + 1 + pick(r.right - r.left - 1),
                       fromEdge ? (r.top + r.bottom) / 2 : r.top + 1 + pick(r.bottom - r.top - 1)};
        clickAt(at.x, at.y);
        return at;
    }

    void pasteWithKeys(const std::wstring &text)
    {
        auto *chars = static_cast<wchar_t *>(GlobalAlloc(GMEM_FIXED, (text.size() + 1) * 2));
        chars[text.copy(chars, text.size())] = L'\0';
        if (eventually([] { return OpenClipboard(nullptr) != FALSE; })) {
            EmptyClipboard();
            SetClipboardData(CF_UNICODETEXT, chars);
            CloseClipboard();
        }
        pressWithControl('V');
    }

    // The controls keep the window's fonts at the resolution: the site box's height and a
    // digit's width in the number field are what they were the first time at it, and
    // scale with it. (Wine sends no WM_GETFONT to another process.) A font that the program
    // could not make, the system's in its place, would differ.
    std::string checkFonts()
    {
        const HWND field = m_program->item(txtCurrentNo);
        const auto at = [field](WPARAM i) {
            return short(SendMessageW(field, EM_POSFROMCHAR, i, 0));
        };
        const int digit = GetWindowTextLengthW(field) > 1 ? at(1) - at(0) : 0;
        const auto height = int(SendMessageW(m_program->item(Combo1), CB_GETITEMHEIGHT, 0, 0));
        auto &[firstHeight, firstDigit] = m_fonts[m_dpi];
        firstHeight = firstHeight ? firstHeight : height;
        firstDigit = firstDigit ? firstDigit : digit;
        const auto &[height96, digit96] = m_fonts[USER_DEFAULT_SCREEN_DPI];
        const auto scaled = [this](int at96, int now) {
            return at96 == 0 || now == 0 || std::abs(now * 96 - at96 * int(m_dpi)) <= 2 * 96;
        };
        if (height != firstHeight || (digit != 0 && digit != firstDigit) ||
            !scaled(height96, height) || !scaled(digit96, digit))
            return "at " + std::to_string(m_dpi) + " dpi the site box is " +
                   std::to_string(height) + " high, a digit " + std::to_string(digit) + " wide";
        return "";
    }

    // The reader calls since the last check: none outside bank 1, words 6 and 7 and port 9,
    // and card writes reported as the tag took them.
    std::string checkCalls(const std::string &field)
    {
        std::ifstream log(kLog, std::ios::binary);
        log.seekg(m_logAt);
        std::vector<std::array<int, 7>> writes;
        for (std::string line; std::getline(log, line) && !log.eof();) {
            m_logAt += std::streamoff(line.size() + 1);
            std::istringstream read(line);
            std::string name;
            std::array<int, 7> call{}; // handle or port, bank, word, count, high, low, result
            read >> name;
            for (int &value : call)
                read >> value;
            const bool tag = name == "ReadTag" || name == "WriteTagSingleWord";
            if ((name == "OpenComm" && call[0] != reader::kReaderPort) ||
                (tag && (call[1] != 1 || (call[2] != 6 && call[2] != 7))))
                return "call " + line;
            if (name == "WriteTagSingleWord") {
                writes.push_back(call);
                if (call[6] == 1)
                    m_tag[call[2] - 6] = call[4] << 8 | call[5];
            }
        }
        if (writes.empty())
            return "";
        const auto word = [&writes](std::size_t i) {
            return i < writes.size() ? writes[i][4] << 8 | writes[i][5] : -1;
        };
        if (word(0) < 0x0098 || word(0) > 0x009A) // the panel's patterns keep the colour
            return m_program->statusShows(m_colour) ? "" : "recoloured";
        const bool written = writes.size() == 2 && writes[0][6] == 1 && writes[1][6] == 1;
        const uint32_t value = numbering::cardValue(field.empty() ? -1 : std::stoi(field));
        char number[16];
        std::snprintf(number, sizeof number, "%010u", value);
        const std::string report =
            number + std::string(written ? texts::kCardWritten : texts::kCardWriteError);
        m_colour = written ? kGreen : kRed;
        if (field.empty() || m_program->text(opList) != report || word(0) != int(value >> 16) ||
            (writes.size() == 2 && word(1) != int(value & 0xFFFF)) ||
            (written && uint32_t(m_tag[0] << 16 | m_tag[1]) != value) ||
            !m_program->statusShows(m_colour))
            return std::string("card ") + number + ", " + std::to_string(writes.size()) +
                   " writes, reported \"" + m_program->text(opList) + "\"";
        return "";
    }

    std::mt19937_64 m_random;
    std::unique_ptr<Program> m_program;
    void *m_remoteRect = nullptr;
    std::streamoff m_logAt = 0;
    int m_tag[2]{};
    COLORREF m_colour = 0;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    std::map<UINT, std::pair<int, int>> m_fonts; // the site box's height, a digit's width
    std::pair<int, int> m_first{};               // the GDI and USER objects at the start
    std::string m_problem;
};

int setting(const wchar_t *name, int otherwise)
{
    return _wgetenv(name) ? _wtoi(_wgetenv(name)) : otherwise;
}

TEST(RandomOperator, KeepsTheWindowsPromisesAndItsObjectsBounded)
{
    const uint64_t seed = setting(L"TAGWRIGHT_SEED", 20240611);
    const int budget = setting(L"TAGWRIGHT_STEPS", 100000);
    const auto end = Clock::now() + std::chrono::seconds(setting(L"TAGWRIGHT_SECONDS", 60));
    std::printf("seed %llu\n", static_cast<unsigned long long>(seed));
    Operator player(seed);
    const auto table = player.steps();
    std::vector<int> weights;
    for (const auto &step : table)
        weights.push_back(step.first);
    std::discrete_distribution<std::size_t> choose(weights.begin(), weights.end());
    std::mt19937_64 chooser(seed);
    const auto began = Clock::now();
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

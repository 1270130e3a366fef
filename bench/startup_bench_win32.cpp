// Starts two Windows programs in alternation and measures, for each, the time from just
// before its process is made to its report that its window has first painted
// (shown_report_win32.h). Prints the medians and their ratio as "name value unit".
//
//   startup_bench_win32 RUNS PROGRAM YARDSTICK
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const std::wstring &what)
{
    std::fwprintf(stderr, L"startup_bench_win32: %ls\n", what.c_str());
    std::exit(1);
}

double startupMs(const std::wstring &program)
{
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE reportRead = nullptr, reportWrite = nullptr;
    if (!CreatePipe(&reportRead, &reportWrite, &inheritable, 0))
        fail(L"no pipe");
    SetHandleInformation(reportRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = reportWrite;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring command = L"\"" + program + L"\"";
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process))
        fail(L"cannot start " + program);
    CloseHandle(reportWrite);
    // The program reports, closes its window and ends, which closes the pipe.
    std::string report;
    char buffer[256];
    DWORD read = 0;
    while (ReadFile(reportRead, buffer, sizeof buffer, &read, nullptr) && read > 0)
        report.append(buffer, read);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(reportRead);
    long long shown = 0;
    if (std::sscanf(report.c_str(), "shown %lld", &shown) != 1)
        fail(program + L" reported no first paint");
    return static_cast<double>(shown - start.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 4)
        fail(L"usage: startup_bench_win32 RUNS PROGRAM YARDSTICK");
    const int runs = std::max(1, _wtoi(argv[1]));
    // Once each first, so that both start with the same files in the system's cache.
    startupMs(argv[2]);
    startupMs(argv[3]);
    std::vector<double> program, yardstick;
    for (int run = 0; run < runs; ++run) {
        program.push_back(startupMs(argv[2]));
        yardstick.push_back(startupMs(argv[3]));
    }
    std::printf("win32_startup_program_ms %.2f ms\n", median(program));
    std::printf("win32_startup_minimal_ms %.2f ms\n", median(yardstick));
    std::printf("win32_startup_ratio %.3f ratio\n", median(program) / median(yardstick));
    return 0;
}

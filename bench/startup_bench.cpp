// Starts two programs that report their first painted window (bench/shown_report.h) in
// alternation and measures, for each, the time from just before the process is spawned to
// that report, and the peak resident memory it reports at that moment.
//
//   startup_bench RUNS PROGRAM YARDSTICK
//
// Prints the medians, the ratio of the startup medians (and of the CPU time each spent up
// to its report) and the extra peak memory of PROGRAM over YARDSTICK, each as
// "name value unit".
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

struct Run
{
    double startupMs;
    double peakMiB;
    double cpuMs; // the process's own CPU time up to its report
};

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

[[noreturn]] void fail(const std::string &what)
{
    std::fprintf(stderr, "startup_bench: %s\n", what.c_str());
    std::exit(1);
}

Run runOnce(const char *program)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        fail("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    char *argv[] = {const_cast<char *>(program), nullptr};

    const long long started = monotonicNs();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0)
        fail(std::string("cannot start ") + program + ": " + std::strerror(spawned));

    std::string output;
    char buffer[512];
    pollfd readable{pipeFds[0], POLLIN, 0};
    while (output.find('\n') == std::string::npos) {
        const int ready = poll(&readable, 1, 30'000);
        if (ready <= 0) {
            kill(pid, SIGKILL);
            fail(std::string(program) + " did not report its window within 30 s");
        }
        const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        output.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);

    long long shownNs = 0, cpuNs = 0;
    long peakKiB = 0;
    if (std::sscanf(output.c_str(), "shown %lld %ld %lld", &shownNs, &peakKiB, &cpuNs) != 3)
        fail(std::string(program) + " printed no report: \"" + output + "\"");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(std::string(program) + " did not end cleanly");
    return {static_cast<double>(shownNs - started) / 1e6, static_cast<double>(peakKiB) / 1024.0,
            static_cast<double>(cpuNs) / 1e6};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4)
        fail("usage: startup_bench RUNS PROGRAM YARDSTICK");
    const int runs = std::atoi(argv[1]);
    if (runs < 1)
        fail("RUNS must be at least 1");

    // One start of each first, unmeasured, so that both find their files in the page cache.
    runOnce(argv[2]);
    runOnce(argv[3]);
    std::vector<double> programMs, yardstickMs, programMiB, yardstickMiB, programCpu, yardstickCpu;
    for (int i = 0; i < runs; ++i) {
        const Run program = runOnce(argv[2]);
        const Run yardstick = runOnce(argv[3]);
        programMs.push_back(program.startupMs);
        yardstickMs.push_back(yardstick.startupMs);
        programMiB.push_back(program.peakMiB);
        yardstickMiB.push_back(yardstick.peakMiB);
        programCpu.push_back(program.cpuMs);
        yardstickCpu.push_back(yardstick.cpuMs);
    }
    const double program = median(programMs), yardstick = median(yardstickMs);
    std::printf("startup_program_ms %.2f ms\n", program);
    std::printf("startup_minimal_ms %.2f ms\n", yardstick);
    std::printf("startup_ratio %.3f ratio\n", program / yardstick);
    // The same comparison in CPU time, which other load on the machine disturbs less.
    std::printf("startup_cpu_ratio %.3f ratio\n", median(programCpu) / median(yardstickCpu));
    std::printf("rss_program_mib %.2f MiB\n", median(programMiB));
    std::printf("rss_minimal_mib %.2f MiB\n", median(yardstickMiB));
    std::printf("rss_extra_mib %.2f MiB\n", median(programMiB) - median(yardstickMiB));
    return 0;
}

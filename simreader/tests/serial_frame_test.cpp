// The serial form's exchange of a request for its reply (serial_frame.h), against the Linux
// reader at the far end of a pseudo-terminal: the library's own loop over the port, with a
// plain file descriptor in place of the Windows calls that it makes under Wine.
#include "simreader/serial_frame.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

namespace {

using namespace serial_frame;
using Clock = std::chrono::steady_clock;

// The terminal as the library's line, within the library's bound; gaveUp says whether the
// exchange ended because the line did (at the bound), not because of what came.
struct TerminalLine
{
    int fd;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kReplyBoundMs);
    bool gaveUp = false;

    bool send(const std::string &bytes)
    {
        return write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    }
    bool receive(std::string &received)
    {
        pollfd ready{fd, POLLIN, 0};
        char chunk[64];
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        const ssize_t got =
            poll(&ready, 1, std::max(0, int(left.count()))) > 0 ? read(fd, chunk, sizeof chunk) : 0;
        received.append(chunk, std::max<ssize_t>(got, 0));
        gaveUp = got <= 0 || Clock::now() >= deadline;
        return !gaveUp;
    }
};

struct Step
{
    const char *control; // the reader's control file
    Request request;
    bool answered, gaveUp;
    uint8_t status = kFailed;
    std::string data = "";
};

TEST(SerialExchange, EachRequestTakesOnlyItsOwnReplyAndAGarbledOneEndsItAtOnce)
{
    const auto files =
        std::filesystem::temp_directory_path() / ("serial_frame_test." + std::to_string(getpid()));
    const auto file = [&](const char *name) {
        return (files / name).string();
    };
    std::filesystem::create_directories(files);
    std::string reader = SERIAL_TAG_READER " --reply-ms 0";
    for (const char *name : {"link", "log", "tag", "control", "pid-file"})
        reader += std::string(" --") + name + ' ' + file(name);
    ASSERT_EQ(std::system((reader + " >/dev/null").c_str()), 0);
    const int fd = open(file("link").c_str(), O_RDWR | O_NOCTTY);
    EXPECT_GE(fd, 0);

    const Request write6{0, kWrite, 1, 6, 0x12, 0x34};
    const Step steps[] = {
        {"", write6, true, false, kOk},
        {"", {0, kRead, 1, 6, 1, 0}, true, false, kOk, "\x12\x34"},
        {"error", write6, true, false, kFailed},
        {"lost", write6, true, false, kNoTag},
        // A silent reader is waited for up to the bound, a garbled reply not at all.
        {"silent", write6, false, true},
        {"garbled", write6, false, false},
        // This reply comes after the bound, while the read waits for its own: it is dropped,
        // though the reader did write the word.
        {"delay 2500", {0, kWrite, 1, 7, 0x56, 0x78}, false, true},
        {"", {0, kRead, 1, 6, 2, 0}, true, false, kOk, "\x12\x34\x56\x78"},
    };
    uint8_t sequence = 0;
    for (const Step &step : steps) {
        std::ofstream(file("control")) << step.control;
        Request request = step.request;
        request.sequence = ++sequence;
        TerminalLine line{fd};
        Reply reply;
        const bool answered = exchange(line, request, reply);
        EXPECT_EQ(std::tuple(answered, line.gaveUp, int(reply.status), reply.data),
                  std::tuple(step.answered, step.gaveUp, int(step.status), step.data))
            << step.control;
    }
    pid_t started = 0;
    std::ifstream(file("pid-file")) >> started;
    if (started > 0)
        kill(started, SIGTERM);
    close(fd);
    std::filesystem::remove_all(files);
}

} // namespace

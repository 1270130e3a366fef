// The serial form's exchange of a request for its reply (serial_frame.h), against the Linux
// reader at the far end of a pseudo-terminal: the library's own loop over the port, with a
// plain file descriptor in place of the Windows calls that it makes under Wine.
#include "simreader/serial_frame.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

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
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd ready{fd, POLLIN, 0};
        char chunk[64];
        const ssize_t got = left.count() > 0 && poll(&ready, 1, int(left.count())) > 0
                                ? read(fd, chunk, sizeof chunk)
                                : 0;
        received.append(chunk, got > 0 ? std::size_t(got) : 0);
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

// The Linux reader on a terminal of its own, answering at once unless told otherwise.
class SerialExchange : public testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(files_);
        ASSERT_EQ(std::system((SERIAL_TAG_READER " --reply-ms 0 --link " + file("tty") + " --log " +
                               file("frames.log") + " --tag " + file("tag") + " --control " +
                               file("control") + " --pid-file " + file("pid") + " >/dev/null")
                                  .c_str()),
                  0);
        fd_ = open(file("tty").c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd_, 0);
    }
    void TearDown() override
    {
        pid_t reader = 0;
        std::ifstream(file("pid")) >> reader;
        if (reader > 0)
            kill(reader, SIGTERM);
        close(fd_);
        std::filesystem::remove_all(files_);
    }
    std::string file(const char *name) const { return (files_ / name).string(); }

    const std::filesystem::path files_ =
        std::filesystem::temp_directory_path() / ("serial_frame_test." + std::to_string(getpid()));
    int fd_ = -1;
};

TEST_F(SerialExchange, EachRequestTakesOnlyItsOwnReplyAndAGarbledOneEndsItAtOnce)
{
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
        TerminalLine line{fd_};
        Reply reply;
        EXPECT_EQ(exchange(line, request, reply), step.answered) << step.control;
        EXPECT_EQ(line.gaveUp, step.gaveUp) << step.control;
        if (step.answered) {
            EXPECT_EQ(reply.status, step.status) << step.control;
            EXPECT_EQ(reply.data, step.data) << step.control;
        }
    }
}

} // namespace

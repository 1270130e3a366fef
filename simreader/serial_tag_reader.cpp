// A tag reader at the far end of a serial line, for the serial form of the simulated reader
// (serial_reader.cpp) under Wine: it makes a pseudo-terminal pair, links the terminal's path
// where Wine looks for COM9 (a prefix's dosdevices/com9), and answers the frames of
// serial_frame.h for one tag.
//
//   serial_tag_reader --link PATH --log FILE --tag FILE [--control FILE] [--pid-file FILE]
//                     [--reply-ms MS]
//
// Each frame received and each reply is logged to --log with the time in milliseconds.
// After each frame, --tag holds the tag's EPC bank: its 32 words in hexadecimal, word 0
// first. --control is read before each frame: "silent" (no reply), "error" (the reader
// fails), "lost" (no tag in the field), "garbled" (the reply's checksum is wrong), or anything
// else for a reader that works. With --pid-file, it goes to the background once the link is
// in place and writes its process id. Each reply leaves --reply-ms after its frame came (20
// by default): a reader takes a while to reach the tag, long enough that the library waits
// for each reply, as it must for a real one. "delay MS" in --control delays the reply by MS
// instead: beyond the library's bound, the reply comes late, while the library already waits
// for the reply to its next request. Frames are answered in turn, so that one comes late too.
#include "simreader/serial_frame.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

namespace {

using namespace serial_frame;

std::array<std::array<uint16_t, 32>, 4> memory{};

std::string hex(const std::string &bytes)
{
    std::string out;
    char two[4];
    for (char c : bytes) {
        std::snprintf(two, sizeof two, "%02X ", static_cast<uint8_t>(c));
        out += two;
    }
    return out;
}

Reply answer(const std::string &body, const std::string &control)
{
    Reply reply;
    const auto at = [&](std::size_t i) {
        return static_cast<uint8_t>(body[i]);
    };
    reply.sequence = at(0);
    const bool fits = body.size() == 6 && at(2) < memory.size() && at(3) < memory[0].size();
    if (control.find("error") != std::string::npos || !fits)
        return reply;
    if (control.find("lost") != std::string::npos) {
        reply.status = kNoTag;
        return reply;
    }
    auto &bank = memory[at(2)];
    if (at(1) == kWrite) {
        bank[at(3)] = static_cast<uint16_t>(at(4) << 8 | at(5));
        reply.status = kOk;
    } else if (at(1) == kRead && at(4) > 0 && at(3) + at(4) <= int(bank.size())) {
        for (int i = 0; i < at(4); ++i)
            reply.data += {char(bank[at(3) + i] >> 8), char(bank[at(3) + i] & 0xFF)};
        reply.status = kOk;
    }
    return reply;
}

// The reply's delay: "delay MS" in the control file, or else --reply-ms.
std::chrono::milliseconds replyDelay(const std::string &control, const std::string &replyMs)
{
    const auto delay = control.find("delay ");
    const std::string ms = delay != std::string::npos ? control.substr(delay + 6) : replyMs;
    return std::chrono::milliseconds(ms.empty() ? 20 : std::strtoul(ms.c_str(), nullptr, 10));
}

} // namespace

int main(int argc, char **argv)
{
    std::map<std::string, std::string> options;
    for (int i = 1; i + 1 < argc; i += 2)
        options[argv[i]] = argv[i + 1];
    if (options["--link"].empty() || options["--log"].empty() || options["--tag"].empty()) {
        std::fprintf(stderr,
                     "usage: %s --link PATH --log FILE --tag FILE [--control FILE] "
                     "[--pid-file FILE] [--reply-ms MS]\n",
                     argv[0]);
        return 2;
    }
    // The slave stays open here too: a master whose slave nobody holds reads only errors,
    // and the program opens and closes the port many times.
    int master = -1, slave = -1;
    char name[256];
    termios raw{};
    cfmakeraw(&raw);
    cfsetspeed(&raw, B57600);
    if (openpty(&master, &slave, name, &raw, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    // Made beside the link and renamed over it, so that Wine never sees a half-made link.
    const std::filesystem::path link = options["--link"], made = link.string() + ".new";
    std::filesystem::remove(made);
    std::filesystem::create_symlink(name, made);
    std::filesystem::rename(made, link);
    std::printf("%s\n", name);
    std::fflush(stdout);
    if (!options["--pid-file"].empty()) {
        // The pid file is whole before the command returns, for a script that stops it.
        const pid_t child = fork();
        if (child != 0) {
            std::ofstream(options["--pid-file"]) << child << '\n';
            return child > 0 ? 0 : 1;
        }
        setsid();
        const int null = open("/dev/null", O_RDWR);
        for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
            dup2(null, stream);
        close(null);
    }
    std::ofstream log(options["--log"], std::ios::app);
    const auto start = std::chrono::steady_clock::now();
    const auto stamp = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start)
            .count();
    };
    std::string received;
    char chunk[256];
    for (ssize_t got; (got = read(master, chunk, sizeof chunk)) > 0;) {
        received.append(chunk, static_cast<std::size_t>(got));
        std::string body;
        std::size_t consumed = 0;
        for (bool ok; (ok = unframed(received, body, consumed)) || consumed > 0;) {
            std::ostringstream control;
            if (std::ifstream file(options["--control"]); file)
                control << file.rdbuf();
            log << stamp() << " in  " << hex(received.substr(0, consumed))
                << (ok ? "" : "(bad checksum)") << '\n';
            received.erase(0, consumed);
            // A silent reader does nothing at all, the write of a tag included.
            const bool answers = ok && control.str().find("silent") == std::string::npos;
            std::string reply = answers ? answer(body, control.str()).bytes() : "";
            const bool garbled = control.str().find("garbled") != std::string::npos;
            if (answers && garbled)
                reply.back() = static_cast<char>(reply.back() + 1);
            // The tag's file is whole before the reply leaves, for a test that reads it then.
            if (std::ofstream tag(options["--tag"]); tag) {
                for (uint16_t word : memory[1])
                    tag << std::hex << std::uppercase << word << ' ';
            }
            if (answers) {
                std::this_thread::sleep_for(replyDelay(control.str(), options["--reply-ms"]));
                if (write(master, reply.data(), reply.size()) < 0)
                    return 1;
                log << stamp() << " out " << hex(reply) << (garbled ? "(bad checksum)" : "")
                    << '\n';
            }
            log.flush();
        }
    }
    close(slave);
    return 0;
}

// The frames that the serial form of the simulated reader (serial_reader.cpp) and the reader
// at the other end of the line (serial_tag_reader.cpp) exchange:
//   request  [length, sequence, command, bank, word, byte 1, byte 2, checksum]
//   reply    [length, sequence, status, data..., checksum]
// length counts the bytes after itself; the checksum makes the frame's bytes sum to zero
// (mod 256). A write's bytes are the word's high and low byte, a read's the word count and 0;
// a read's reply carries two bytes per word, high byte first.
//
// The library numbers its requests (mod 256) and the reader gives each reply the sequence of
// the request it answers. A reader that answers after the library's bound has given up on a
// request still answers it, and that late reply would otherwise be taken for the answer to the
// next request: the library drops every whole reply with another sequence. A frame that does
// not check ends the call at once: its sequence cannot be trusted, and waiting out the bound
// would only delay the failure.
#pragma once

#include <cstdint>
#include <string>

namespace serial_frame {

inline constexpr uint8_t kWrite = 'W', kRead = 'R';
inline constexpr uint8_t kOk = 0, kNoTag = 1, kFailed = 2;

// A reader that has not answered within this long is taken as gone: a call fails, it never
// hangs the operator's window.
inline constexpr unsigned kReplyBoundMs = 2000;

// The sum of the first count bytes, mod 256.
inline uint8_t byteSum(const std::string &bytes, std::size_t count)
{
    uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(bytes[i]));
    return sum;
}

// The frame of a body: its length first, its checksum last.
inline std::string framed(const std::string &body)
{
    const std::string frame = static_cast<char>(body.size() + 1) + body;
    return frame + static_cast<char>(-byteSum(frame, frame.size()));
}

// The body of the first frame in bytes, once all of it has arrived and it checks; consumed
// says how many bytes it took (0 while incomplete, the whole frame when it does not check).
inline bool unframed(const std::string &bytes, std::string &body, std::size_t &consumed)
{
    consumed = 0;
    if (bytes.empty() || bytes.size() < 1u + static_cast<uint8_t>(bytes[0]))
        return false;
    consumed = 1u + static_cast<uint8_t>(bytes[0]);
    body = bytes.substr(1, consumed > 2 ? consumed - 2 : 0);
    return byteSum(bytes, consumed) == 0 && consumed >= 2;
}

struct Request
{
    uint8_t sequence = 0, command = 0, bank = 0, word = 0, first = 0, second = 0;

    std::string bytes() const
    {
        return framed(
            {char(sequence), char(command), char(bank), char(word), char(first), char(second)});
    }
};

struct Reply
{
    uint8_t sequence = 0, status = kFailed;
    std::string data;

    std::string bytes() const { return framed(std::string{char(sequence), char(status)} + data); }
};

enum class Taken { Incomplete, Answer, Garbled };

// Takes the reply to the request numbered sequence from the front of received, dropping the
// late replies to earlier requests before it.
inline Taken takeReply(std::string &received, uint8_t sequence, Reply &reply)
{
    for (;;) {
        std::string body;
        std::size_t consumed = 0;
        const bool checks = unframed(received, body, consumed);
        if (consumed == 0)
            return Taken::Incomplete;
        received.erase(0, consumed);
        if (!checks || body.size() < 2)
            return Taken::Garbled;
        if (static_cast<uint8_t>(body[0]) == sequence) {
            reply = {sequence, static_cast<uint8_t>(body[1]), body.substr(2)};
            return Taken::Answer;
        }
    }
}

// Sends a request over a line and takes its reply; false when the line fails, when no reply to
// it came within the line's deadline, or at once when a garbled frame came. The line has
// bool send(const std::string &) and bool receive(std::string &), which appends what has come
// and is false once the deadline has passed.
template <class Line> bool exchange(Line &line, const Request &request, Reply &reply)
{
    std::string received;
    Taken taken = Taken::Incomplete;
    if (!line.send(request.bytes()))
        return false;
    while ((taken = takeReply(received, request.sequence, reply)) == Taken::Incomplete)
        if (!line.receive(received))
            return false;
    return taken == Taken::Answer;
}

} // namespace serial_frame

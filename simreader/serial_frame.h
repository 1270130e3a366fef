// The frames that the serial form of the simulated reader (serial_reader.cpp) and the reader
// at the other end of the line (serial_tag_reader.cpp) exchange:
//   request  [length, command, bank, word, byte 1, byte 2, checksum]
//   reply    [length, status, data..., checksum]
// length counts the bytes after itself; the checksum makes the frame's bytes sum to zero
// (mod 256). A write's bytes are the word's high and low byte, a read's the word count and 0;
// a read's reply carries two bytes per word, high byte first.
#pragma once

#include <cstdint>
#include <string>

namespace serial_frame {

inline constexpr uint8_t kWrite = 'W', kRead = 'R';
inline constexpr uint8_t kOk = 0, kNoTag = 1, kFailed = 2;

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
    uint8_t command = 0, bank = 0, word = 0, first = 0, second = 0;

    std::string bytes() const
    {
        return framed({char(command), char(bank), char(word), char(first), char(second)});
    }
};

struct Reply
{
    uint8_t status = kFailed;
    std::string data;

    std::string bytes() const { return framed(std::string(1, char(status)) + data); }
    bool parse(const std::string &bytes)
    {
        std::string body;
        std::size_t consumed = 0;
        if (!unframed(bytes, body, consumed) || body.empty())
            return false;
        status = static_cast<uint8_t>(body[0]);
        data = body.substr(1);
        return true;
    }
};

} // namespace serial_frame

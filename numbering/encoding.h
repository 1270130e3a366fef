// Where a card number lies on the tag and how it is encoded there.
//
// The card value V is stored in the EPC bank (bank 1) as two 16-bit words: word 6 holds
// V's high 16 bits and word 7 its low 16 bits. The reader library takes a word as two
// bytes, most significant first.
#pragma once

#include <cstdint>

namespace numbering {

inline constexpr uint8_t kEpcBank = 1;
inline constexpr uint8_t kHighWordAddress = 6;
inline constexpr uint8_t kLowWordAddress = 7;

// V = kCardNumberBase + current number, so that V written as ten decimal digits with
// leading zeros is the card number the operator sees ("00100" followed by five digits).
inline constexpr uint32_t kCardNumberBase = 10'000'000;

struct Word
{
    uint8_t high = 0;
    uint8_t low = 0;

    constexpr uint16_t value() const { return static_cast<uint16_t>(high << 8 | low); }
    static constexpr Word fromValue(uint16_t value)
    {
        return {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value & 0xFF)};
    }
    friend constexpr bool operator==(Word, Word) = default;
};

// The two words of a card value, in the order in which they are written.
struct CardWords
{
    Word word6;
    Word word7;

    constexpr uint32_t value() const { return uint32_t{word6.value()} << 16 | word7.value(); }
    static constexpr CardWords fromValue(uint32_t value)
    {
        return {Word::fromValue(static_cast<uint16_t>(value >> 16)),
                Word::fromValue(static_cast<uint16_t>(value & 0xFFFF))};
    }
    friend constexpr bool operator==(CardWords, CardWords) = default;
};

// The card value of a current number in 0..99999 (the whole number: 12345 gives
// 10,012,345, never the value of its last four digits).
constexpr uint32_t cardValue(int32_t current)
{
    return kCardNumberBase + static_cast<uint32_t>(current);
}

constexpr CardWords cardWords(int32_t current)
{
    return CardWords::fromValue(cardValue(current));
}

} // namespace numbering

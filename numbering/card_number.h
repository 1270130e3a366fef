// The rules that turn the operator's site choice and typed number into a card number.
// Plain functions over strings and integers: the window holds the inputs in its fields
// and applies these rules; nothing here keeps state.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace numbering {

struct Site
{
    std::string_view name;
    std::string_view startNumber;
};

// Compared in this order; the site box lists the same names in the same order.
inline constexpr std::array<Site, 4> kSites{{
    {"CEDAR LAGOONS", "0010001001"},
    {"OSPREY GARDEN", "0010002001"},
    {"QUARRY VALE", "0010003001"},
    {"DUNE PARK", "0010004001"},
}};

// The first five characters of every card number; the prefix field always shows it.
inline constexpr std::string_view kPrefix = "00100";

// The current number has at most this many digits; shorter ones are padded with zeros to it.
inline constexpr std::size_t kCurrentDigits = 5;

inline constexpr int32_t kLowestCurrent = 0;
inline constexpr int32_t kHighestCurrent = 99999;

// The start number of the first site whose name equals siteText exactly (case-sensitive);
// startText unchanged when no site matches.
std::string siteStartNumber(std::string_view siteText, std::string_view startText);

// The last five characters of a start number (the whole text when it is shorter).
std::string currentFromStart(std::string_view startText);

// The value of the current-number text. A text that is empty or holds anything but the
// digits 0-9, or that does not fit a 32-bit signed integer, has no value: it never gives
// a card number and never steps.
std::optional<int32_t> currentValue(std::string_view text);

// The five-digit form of a current number: 7 gives "00007", 12345 stays "12345".
std::string paddedCurrentNumber(int32_t current);

// The prefix followed by the padded current number, e.g. "0010001001".
std::string cardNumber(std::string_view prefix, std::string_view paddedCurrent);

// The Write button's three-line caption: "Write ", the card number, " To Card",
// separated by CR LF.
std::string writeCaption(std::string_view prefix, std::string_view paddedCurrent);

// Stepping keeps the current number within 0..99999.
bool mayStepUp(int32_t current);
bool mayStepDown(int32_t current);

} // namespace numbering

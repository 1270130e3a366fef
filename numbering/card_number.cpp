#include "numbering/card_number.h"

#include <charconv>

namespace numbering {

std::string siteStartNumber(std::string_view siteText, std::string_view startText)
{
    for (const Site &site : kSites) {
        if (site.name == siteText)
            return std::string(site.startNumber);
    }
    return std::string(startText);
}

std::string currentFromStart(std::string_view startText)
{
    if (startText.size() <= kCurrentDigits)
        return std::string(startText);
    return std::string(startText.substr(startText.size() - kCurrentDigits));
}

std::optional<int32_t> currentValue(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    int32_t value = 0;
    const char *end = text.data() + text.size();
    // from_chars alone would accept a leading '-' and stop at the first non-digit;
    // the whole text must be digits.
    if (text.front() < '0' || text.front() > '9')
        return std::nullopt;
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::string paddedCurrentNumber(int32_t current)
{
    const std::string digits = std::to_string(current);
    if (digits.size() >= kCurrentDigits)
        return digits;
    return std::string(kCurrentDigits - digits.size(), '0') + digits;
}

std::string cardNumber(std::string_view prefix, std::string_view paddedCurrent)
{
    std::string number(prefix);
    number += paddedCurrent;
    return number;
}

std::string writeCaption(std::string_view prefix, std::string_view paddedCurrent)
{
    return "Write \r\n" + cardNumber(prefix, paddedCurrent) + "\r\n To Card";
}

bool mayStepUp(int32_t current)
{
    return current <= kHighestCurrent - 1;
}

bool mayStepDown(int32_t current)
{
    return current >= kLowestCurrent + 1;
}

} // namespace numbering

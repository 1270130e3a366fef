#include "numbering/card_number.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace numbering;

// Padding, the card number, the Write caption and the stepping limits are checked for every
// current number beside the card value (encoding_test.cpp).

class SiteMatch
    : public testing::TestWithParam<std::tuple<const char *, const char *, const char *>>
{};

TEST_P(SiteMatch, GivesTheFirstExactMatchOrKeepsTheStartText)
{
    const auto [site, startBefore, startAfter] = GetParam();
    EXPECT_EQ(siteStartNumber(site, startBefore), startAfter);
}

INSTANTIATE_TEST_SUITE_P(Table, SiteMatch,
                         testing::Values(std::tuple{"CEDAR LAGOONS", "", "0010001001"},
                                         std::tuple{"OSPREY GARDEN", "0010001001", "0010002001"},
                                         std::tuple{"QUARRY VALE", "x", "0010003001"},
                                         std::tuple{"DUNE PARK", "", "0010004001"},
                                         // Case-sensitive, whole string: these keep the start text.
                                         std::tuple{"dune park", "0010002001", "0010002001"},
                                         std::tuple{"DUNE PARK ", "", ""},
                                         std::tuple{"DUNE", "0010003001", "0010003001"},
                                         std::tuple{"-Site Reference-", "", ""},
                                         std::tuple{"", "123", "123"}));

TEST(CurrentFromStart, TakesTheLastFiveCharactersOrTheWholeShortText)
{
    EXPECT_EQ(currentFromStart("0010003001"), "03001");
    EXPECT_EQ(currentFromStart("12345"), "12345");
    EXPECT_EQ(currentFromStart("123"), "123");
    EXPECT_EQ(currentFromStart(""), "");
}

class CurrentValue : public testing::TestWithParam<std::tuple<const char *, std::optional<int32_t>>>
{};

TEST_P(CurrentValue, ConvertsOnlyTextsOfDigits)
{
    const auto [text, value] = GetParam();
    EXPECT_EQ(currentValue(text), value) << '"' << text << '"';
}

INSTANTIATE_TEST_SUITE_P(Texts, CurrentValue,
                         testing::Values(std::tuple{"00000", std::optional<int32_t>{0}},
                                         std::tuple{"7", std::optional<int32_t>{7}},
                                         std::tuple{"01001", std::optional<int32_t>{1001}},
                                         std::tuple{"99999", std::optional<int32_t>{99999}},
                                         std::tuple{"", std::optional<int32_t>{}},
                                         std::tuple{"12a", std::optional<int32_t>{}},
                                         std::tuple{"a12", std::optional<int32_t>{}},
                                         std::tuple{"-1", std::optional<int32_t>{}},
                                         std::tuple{"+1", std::optional<int32_t>{}},
                                         std::tuple{" 1", std::optional<int32_t>{}},
                                         std::tuple{"1 ", std::optional<int32_t>{}},
                                         std::tuple{"1.5", std::optional<int32_t>{}},
                                         std::tuple{"99999999999", std::optional<int32_t>{}}));

} // namespace

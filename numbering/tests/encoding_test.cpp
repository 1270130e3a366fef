#include "numbering/encoding.h"

#include "numbering/card_number.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using namespace numbering;

struct Expected
{
    int32_t current;
    uint16_t word6;
    uint16_t word7;
};

class CardEncoding : public testing::TestWithParam<Expected>
{};

TEST_P(CardEncoding, SplitsTheWholeCardValueIntoHighAndLowWord)
{
    const Expected e = GetParam();
    const CardWords words = cardWords(e.current);
    EXPECT_EQ(words.word6.value(), e.word6);
    EXPECT_EQ(words.word7.value(), e.word7);
    // Bytes go to the library most significant first.
    EXPECT_EQ(words.word6.high, e.word6 >> 8);
    EXPECT_EQ(words.word6.low, e.word6 & 0xFF);
    EXPECT_EQ(words.word7.high, e.word7 >> 8);
    EXPECT_EQ(words.word7.low, e.word7 & 0xFF);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, CardEncoding,
    testing::Values(Expected{0, 0x0098, 0x9680}, Expected{7, 0x0098, 0x9687},
                    Expected{1001, 0x0098, 0x9A69}, Expected{9999, 0x0098, 0xBD8F},
                    Expected{10000, 0x0098, 0xBD90}, Expected{12345, 0x0098, 0xC6B9},
                    Expected{27007, 0x0098, 0xFFFF}, Expected{27008, 0x0099, 0x0000},
                    Expected{99999, 0x009A, 0x1D1F}));

// The ten-digit decimal of the card value must be the card number the operator sees, and
// the Write caption must show it, for every current number: a mismatch would put one card's
// number on another card.
TEST(CardNumbers, EveryCurrentNumberShowsTheCardItsValueMakesAndStepsWithinTheLimits)
{
    for (int32_t current = 0; current <= 99999; ++current) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%010u",
                      static_cast<unsigned>(cardWords(current).value()));
        const std::string padded = paddedCurrentNumber(current);
        ASSERT_EQ(cardNumber(kPrefix, padded), digits);
        ASSERT_EQ(writeCaption(kPrefix, padded),
                  "Write \r\n" + std::string(digits) + "\r\n To Card");
        ASSERT_EQ(mayStepUp(current), current != 99999) << current;
        ASSERT_EQ(mayStepDown(current), current != 0) << current;
    }
}

} // namespace

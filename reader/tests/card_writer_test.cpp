#include "reader/card_writer.h"

#include "test_support.h"

#include <functional>
#include <ostream>

namespace {

using numbering::cardWords;
using reader::ReaderLibrary;
using reader::writeCardWords;

struct FaultCase
{
    const char *name;
    std::function<void()> inject;
    bool linked;
    bool written;
    int wordWrites;     // calls of WriteTagSingleWord made
    int32_t word6After; // what the tag holds afterwards
    int32_t word7After;
};

void PrintTo(const FaultCase &c, std::ostream *out)
{
    *out << c.name;
}

class CardWrite : public SimulatedReaderTest, public testing::WithParamInterface<FaultCase>
{};

constexpr int32_t kOld6 = 0x1111;
constexpr int32_t kOld7 = 0x2222;

TEST_P(CardWrite, SucceedsOnlyWhenBothWordsAreWritten)
{
    const FaultCase &c = GetParam();
    ReaderLibrary library;
    const int32_t handle = c.linked ? library.openComm(9).value() : -1;
    sim().pokeWord(1, 6, kOld6);
    sim().pokeWord(1, 7, kOld7);
    c.inject();

    const auto outcome = writeCardWords(library, handle, cardWords(12345));

    EXPECT_EQ(outcome.written, c.written);
    EXPECT_FALSE(outcome.bindError);
    EXPECT_EQ(callsOf(SimWriteTagSingleWord), c.wordWrites);
    EXPECT_EQ(sim().peekWord(1, 6), c.word6After);
    EXPECT_EQ(sim().peekWord(1, 7), c.word7After);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CardWrite,
    testing::Values(
        FaultCase{"Clean", [] {}, true, true, 2, 0x0098, 0xC6B9},
        FaultCase{"NoLink", [] {}, false, false, 1, kOld6, kOld7},
        FaultCase{"NoTag", [] { sim().setTagPresent(0); }, true, false, 1, kOld6, kOld7},
        // Word 6 failing stops before word 7: no new low word beside an old high word.
        FaultCase{"Word6Fails", [] { sim().failWordAddress(6); }, true, false, 1, kOld6, kOld7},
        FaultCase{"Word7Fails", [] { sim().failWordAddress(7); }, true, false, 2, 0x0098, kOld7},
        FaultCase{"HalfWritten", [] { sim().leaveAfterNextWrite(); }, true, false, 2, 0x0098,
                  kOld7}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SimulatedReaderTest, WordsGoHighWordFirstOnTheEpcBank)
{
    ReaderLibrary library;
    const int32_t handle = library.openComm(9).value();
    ASSERT_TRUE(writeCardWords(library, handle, cardWords(1001)).written);
    const auto all = calls();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1].bank, 1);
    EXPECT_EQ(all[1].word, 6);
    EXPECT_EQ((all[1].high << 8) | all[1].low, 0x0098);
    EXPECT_EQ(all[2].bank, 1);
    EXPECT_EQ(all[2].word, 7);
    EXPECT_EQ((all[2].high << 8) | all[2].low, 0x9680 + 1001);
}

TEST(CardWriteUnbound, ReportsTheMissingFunctionAndWritesNothing)
{
    ReaderLibrary library({partialLibrary(), partialLibrary()});
    const auto outcome = writeCardWords(library, 77, cardWords(5));
    EXPECT_FALSE(outcome.written);
    ASSERT_TRUE(outcome.bindError);
    EXPECT_EQ(outcome.bindError->function, "WriteTagSingleWord");
}

} // namespace

// The developer panel's handlers against the real binding and the simulated reader.
#include "developer/developer_panel.h"
#include "reader/reader_link.h"
#include "test_support.h"

#include <tuple>

namespace {

using developer::DeveloperPanel;
using Strings = std::vector<std::string>;

// The test is the panel's controls: it records what the panel shows, "6 0A50" for the field
// of word 6, a status text as it is.
struct PanelTest : SimulatedReaderTest, developer::PanelControls
{
    void setWordText(uint8_t word, std::string_view text) override
    {
        m_shown.push_back(std::to_string(word) + " " + std::string(text));
    }
    void setStatus(std::string_view text) override { m_shown.emplace_back(text); }

    Strings m_shown;
};

TEST_F(PanelTest, AnUnboundReaderLibraryEmptiesTheWordsAndSaysWhy)
{
    reader::ReaderLibrary library({"absent-reader-library", "absent-reader-library"});
    reader::ReaderLink link(library);
    DeveloperPanel(*this, library, link).read();
    uint8_t buffer[2] = {};
    EXPECT_EQ(m_shown,
              (Strings{"6 ", "7 ", library.readTag(-1, 1, 6, 1, buffer).error().message()}));
}

using Between = void (*)(reader::ReaderLink &);
using Press = std::tuple<void (DeveloperPanel::*)(), Between, Strings, uint32_t>;
class Panel : public PanelTest, public testing::WithParamInterface<Press>
{};

// The button; what happens between a first Read and the button, which is then pressed
// twice; what each press shows; the tag's words 6 and 7 afterwards.
TEST_P(Panel, ShowsTheWordsFromFreshBuffersAndWritesBothWordsTheSameWayEachTime)
{
    const auto [press, between, shown, tagAfter] = GetParam();
    setTag(0x0098'000F);
    reader::ReaderLibrary library;
    reader::ReaderLink link(library);
    link.connect();
    DeveloperPanel panel(*this, library, link);
    panel.read();
    between(link);
    m_shown.clear();
    const size_t first = calls().size();
    (panel.*press)();
    const auto once = callsSince(first);
    EXPECT_EQ(m_shown, shown);
    m_shown.clear();
    (panel.*press)();
    EXPECT_EQ(m_shown, shown);
    EXPECT_EQ(callsSince(first + once.size()), once) << "the same calls on every press";
    EXPECT_EQ(tag(), tagAfter);
}

// clang-format off
const auto kRead = &DeveloperPanel::read, kWrite = &DeveloperPanel::writeTestValue,
    kRegularize = &DeveloperPanel::regularize;
const Between kNone = [](reader::ReaderLink &) {}, kNoLink = [](reader::ReaderLink &link) { link.disconnect(); },
    kNoTag = [](reader::ReaderLink &) { sim().setTagPresent(0); }, kWord6Fails = [](reader::ReaderLink &) { sim().failWordAddress(6); },
    kWord7Fails = [](reader::ReaderLink &) { sim().failWordAddress(7); };
INSTANTIATE_TEST_SUITE_P(Rows, Panel, testing::Values(
    Press{kRead, kNone, {"6 0098", "7 000F"}, 0x0098'000F},
    Press{kRead, kNoTag, {"6 0000", "7 0000"}, 0x0098'000F},
    Press{kWrite, kNone, {"Write Successfull!"}, 0x000F'4629},
    Press{kRegularize, kNone, {"Regularize Successfull!"}, 0xEC88'851A},
    Press{kWrite, kWord6Fails, {"Write Error"}, 0x0098'000F},
    Press{kWrite, kWord7Fails, {"Write Error"}, 0x000F'000F},
    Press{kRegularize, kWord7Fails, {"Regularize Failed！"}, 0xEC88'000F},
    Press{kWrite, kNoLink, {"Write Error"}, 0x0098'000F}));
// clang-format on

} // namespace

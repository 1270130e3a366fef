// The window's handlers against the real binding and the simulated reader.
#include "fake_controls.h"
#include "test_support.h"

#include <tuple>

namespace {

using Id = window::ControlId;
using window::Form1;
using Strings = std::vector<std::string>;
using Fault = void (*)(Form1 &);

constexpr window::Rgb kGreen{0, 255, 0};
constexpr window::Rgb kRed{255, 0, 0};
constexpr const char *kWritten = " >>>> Write Successfull!";
constexpr const char *kNotWritten = " >>>> Write Error";
constexpr uint32_t kOld = 0x1111'2222; // a card the tag held before

std::string caption(const char *card)
{
    return card ? "Write \r\n" + std::string(card) + "\r\n To Card" : "Write";
}

struct Form1Test : SimulatedReaderTest
{
    void connect()
    {
        m_window.m_port = 2;
        m_form.connectReader();
    }
    void type(const char *text) { m_window.setText(Id::txtCurrentNo, text); }
    std::string text(Id id) const { return m_window.text(id); }

    FakeWindow m_window;
    Form1 &m_form = m_window.m_form;
};

template <typename Row> class Table : public Form1Test, public testing::WithParamInterface<Row>
{};

// The steps (c Connect with a port chosen, ? Connect with none chosen, d Disconnect, u the
// window's unload, x the Close button, p and P the reader unplugged and plugged in again),
// the whole log of the controls, the OpenComm and CloseComm calls.
using Link = std::tuple<std::string, Strings, int, int>;
using LinkStates = Table<Link>;
// clang-format off
const std::map<char, void (*)(Form1 &)> kLinkSteps{{'c', [](Form1 &f) { f.connectReader(); }},
    {'?', [](Form1 &f) { f.connectReader(); }}, {'d', [](Form1 &f) { f.disconnectReader(); }},
    {'u', [](Form1 &f) { f.unload(); }}, {'x', [](Form1 &f) { f.closeProgram(); }}};
// clang-format on

TEST_P(LinkStates, FollowTheConnectionTable)
{
    const auto &[steps, log, opens, closes] = GetParam();
    for (const char step : steps) {
        m_window.m_port = step == '?' ? -1 : 0;
        if (step == 'p' || step == 'P')
            sim().setReaderPresent(step == 'P');
        else
            kLinkSteps.at(step)(m_form);
    }
    EXPECT_EQ(m_window.m_log, log);
    EXPECT_EQ(std::pair(callsOf(SimOpenComm), callsOf(SimCloseComm)), std::pair(opens, closes));
    for (const SimCall &call : calls())
        EXPECT_TRUE(call.function != SimOpenComm || call.handle == 9) << "port " << call.handle;
    EXPECT_FALSE(m_window.m_colour) << "only a card write colours the status line";
}

// clang-format off
const std::string kOn = "Connect Successfull！", kOff = "Disconnect Successfull！", kNotOn = "Disconnect Failed！",
    kAsk = "Connect...: Please Select Port Number Before Continue!", kFocus = "focus cboComPort";
INSTANTIATE_TEST_SUITE_P(Steps, LinkStates, testing::Values(
    Link{"cd", {kOn, kOff}, 1, 1},
    Link{"cc", {kOn, "Hardware Is Connected！"}, 1, 0},
    Link{"d", {kNotOn}, 0, 0},
    Link{"pcPc", {"Connection Failed！", kOn}, 2, 0},
    Link{"?", {kAsk, kFocus}, 0, 0},
    Link{"c?", {kOn, kAsk, kFocus}, 1, 0},
    Link{"cuu", {kOn}, 1, 1},
    Link{"u", {}, 0, 0},
    Link{"cx", {kOn, "end"}, 1, 0}));
// clang-format on

// The handler; the field's text before (nullptr: the initial "00000" untouched) and after;
// the card number in the Write caption (nullptr: it still reads "Write"); the card number
// reported (nullptr: nothing written); a fault put in before the handler runs; the tag's
// value afterwards. A reported card is then written again, as the
// operator's Write does once the fault is cleared.
using Command =
    std::tuple<Fault, const char *, const char *, const char *, const char *, Fault, uint32_t>;
using Commands = Table<Command>;

TEST_P(Commands, StepWithinTheLimitsAndReportTheCardOnlyWhenBothWordsAreWritten)
{
    const auto [handler, before, after, captionCard, card, fault, tagAfter] = GetParam();
    setTag(kOld);
    connect();
    if (before)
        type(before);
    fault(m_form);
    handler(m_form);
    EXPECT_EQ(text(Id::txtCurrentNo), after);
    EXPECT_EQ(text(Id::cmdWriteCard), caption(captionCard));
    EXPECT_EQ(tag(), tagAfter);
    // Reported as written exactly when the tag holds the card: its value as ten decimal
    // digits is the card number.
    const bool written = card && tagAfter == std::stoul(card);
    EXPECT_EQ(text(Id::opList), !card ? kOn : card + std::string(written ? kWritten : kNotWritten));
    EXPECT_EQ(m_window.m_colour, !card ? std::nullopt : std::optional(written ? kGreen : kRed));
    if (!card)
        return;
    sim().failWordAddress(-1);
    sim().setTagPresent(1);
    connect();
    m_form.writeCard();
    EXPECT_EQ(text(Id::opList), card + std::string(kWritten));
    EXPECT_EQ(m_window.m_colour, kGreen);
    EXPECT_EQ(tag(), std::stoul(card));
}

// clang-format off
const Fault kWrite = [](Form1 &form) { form.writeCard(); }, kNext = [](Form1 &form) { form.writeNext(); },
    kPrev = [](Form1 &form) { form.writePrev(); }, kUp = [](Form1 &form) { form.stepUp(); },
    kDown = [](Form1 &form) { form.stepDown(); };
const Fault kNone = [](Form1 &) {}, kNoLink = [](Form1 &form) { form.disconnectReader(); },
    kNoTag = [](Form1 &) { sim().setTagPresent(0); }, kHalfWritten = [](Form1 &) { sim().leaveAfterNextWrite(); },
    kWord6Fails = [](Form1 &) { sim().failWordAddress(6); }, kWord7Fails = [](Form1 &) { sim().failWordAddress(7); };
INSTANTIATE_TEST_SUITE_P(Rows, Commands, testing::Values(
    Command{kWrite, nullptr, "00000", nullptr, "0010000000", kNone, 10'000'000},
    Command{kNext, "00009", "10", "0010000010", "0010000010", kNone, 10'000'010},
    Command{kNext, "99998", "99999", "0010099999", "0010099999", kNone, 10'099'999},
    Command{kNext, "99999", "99999", "0010099999", nullptr, kNone, kOld},
    Command{kPrev, "1", "0", "0010000000", "0010000000", kNone, 10'000'000},
    Command{kPrev, "0", "0", "0010000000", nullptr, kNone, kOld},
    Command{kUp, "00009", "10", "0010000010", nullptr, kNone, kOld},
    Command{kUp, "99999", "99999", "0010099999", nullptr, kNone, kOld},
    Command{kDown, "1", "0", "0010000000", nullptr, kNone, kOld},
    Command{kDown, "0", "0", "0010000000", nullptr, kNone, kOld},
    // An empty field (every digit deleted) keeps the caption, steps nothing, writes nothing.
    Command{kWrite, "", "", nullptr, nullptr, kNone, kOld},
    Command{kNext, "", "", nullptr, nullptr, kNone, kOld},
    Command{kPrev, "", "", nullptr, nullptr, kNone, kOld},
    Command{kUp, "", "", nullptr, nullptr, kNone, kOld},
    Command{kDown, "", "", nullptr, nullptr, kNone, kOld},
    // Word 7 is not written once word 6 has failed. A step stays made whatever the outcome.
    Command{kNext, "01001", "1002", "0010001002", "0010001002", kWord6Fails, kOld},
    Command{kWrite, "12345", "12345", "0010012345", "0010012345", kWord7Fails, 0x0098'2222},
    Command{kWrite, "12345", "12345", "0010012345", "0010012345", kHalfWritten, 0x0098'2222},
    Command{kPrev, "12345", "12344", "0010012344", "0010012344", kNoTag, kOld},
    Command{kWrite, "12345", "12345", "0010012345", "0010012345", kNoLink, kOld}));
// clang-format on

// What the operator does while a Write Next No is inside the library, as a library lets the
// window's events run inside its calls while it waits for the reader, and what the window
// shows after the card's report. No command starts, and the end waits for the card.
// The current number after it is the one that the write stepped to, unless a row says.
using Inside = std::tuple<void (*)(FakeWindow &), Strings, const char *>;
using DuringACall = Table<Inside>;

TEST_P(DuringACall, NoCommandStartsAndTheEndWaitsForTheCardWrittenWhole)
{
    const auto &[during, after, current] = GetParam();
    connect();
    type("1000");
    m_window.m_log.clear();
    struct Hook
    {
        FakeWindow *window;
        void (*during)(FakeWindow &);
    } hook{&m_window, during};
    sim().setCallHook(
        [](void *h) { static_cast<Hook *>(h)->during(*static_cast<Hook *>(h)->window); }, &hook);
    m_form.writeNext();
    sim().setCallHook(nullptr, nullptr);
    EXPECT_EQ(sim().nestedCalls(), 0);
    EXPECT_EQ(tag(), 10'001'001u);
    EXPECT_EQ(text(Id::txtCurrentNo), current);
    Strings log{"0010001001" + std::string(kWritten)};
    log.insert(log.end(), after.begin(), after.end());
    EXPECT_EQ(m_window.m_log, log);
    EXPECT_FALSE(m_window.m_busy);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, DuringACall, testing::Values(
    Inside{[](FakeWindow &w) { w.m_form.writeNext(); w.m_form.writeCard(); w.m_form.writePrev(); }, {}, "1001"},
    Inside{[](FakeWindow &w) { w.m_form.stepUp(); w.m_form.stepDown(); }, {}, "1001"},
    Inside{[](FakeWindow &w) { w.m_form.connectReader(); w.m_form.disconnectReader(); }, {}, "1001"},
    Inside{[](FakeWindow &w) { EXPECT_EQ(w.m_form.currentNumberKey(U'7'), 0u); EXPECT_TRUE(w.m_busy);
        EXPECT_FALSE(w.m_form.currentNumberEditable()); }, {}, "1001"},
    // A site chosen, which the box shows at once, sets the numbers once the card is written.
    Inside{[](FakeWindow &w) { w.setText(Id::Combo1, "QUARRY VALE"); w.m_form.siteChosen();
        EXPECT_EQ(w.text(Id::txtCurrentNo), "1001"); }, {}, "03001"},
    // The close box and the Close button, pressed once in each of the card's two calls.
    Inside{[](FakeWindow &w) { EXPECT_FALSE(w.m_form.unload()); }, {"close"}, "1001"},
    Inside{[](FakeWindow &w) { w.m_form.closeProgram(); }, {"end"}, "1001"},
    // A call that comes all the same is refused by the binding, and says why.
    Inside{[](FakeWindow &w) { EXPECT_EQ(w.m_library.readTag(-1, 1, 6, 1, nullptr).error().message(), "Reader library " +
        reader::defaultLibraryFiles().fixedPath + " is busy with another call: cannot call ReadTag"); }, {}, "1001"}));
// clang-format on

TEST(Form1Unbound, ReportsTheBindingFailureOnTheStatusLine)
{
    reader::ReaderLibrary probe({"absent-reader-library", "absent-reader-library"});
    FakeWindow window({"absent-reader-library", "absent-reader-library"});
    window.m_form.writeCard();
    EXPECT_EQ(window.m_log, Strings{"0010000000" + std::string(kNotWritten) + ". " +
                                    probe.writeTagSingleWord(-1, 1, 6, 0, 0).error().message()});
    EXPECT_EQ(window.m_colour, kRed);
}

TEST_F(Form1Test, NumberEntryAndSiteSelection)
{
    std::u32string typed;
    for (const char32_t key : std::u32string_view(U"0a\b5- 9\uFF15"))
        typed += m_form.currentNumberKey(key) ? key : U'_';
    EXPECT_EQ(typed, U"0__5__9_");
    type("01001");
    m_form.currentNumberClicked();
    EXPECT_EQ(m_window.m_log, Strings{"txtCurrentNo 0+5"}) << "the next digit replaces the number";

    // A paste over the characters [from, to) of the field's text goes in whole or not at all.
    using Paste = std::tuple<const char *, std::size_t, std::size_t, const char *, bool>;
    for (const auto &[before, from, to, pasted, accepted] : {
             Paste{"", 0, 0, "01234", true},            // fits whole
             Paste{"00000", 0, 5, "12345", true},       // fits over the selection
             Paste{"00000", 0, 5, "0010012345", false}, // too long
             Paste{"123", 1, 3, "456", true},           // too long only without the selection
             Paste{"123", 3, 3, "456", false},          // the same without the selection
             Paste{"00000", 0, 5, "4 2", false},        // not digits alone: a blank
             Paste{"", 0, 0, "\uFF15", false},          // a full-width digit
             Paste{"00000", 0, 5, "", true},            // empty
         })
        EXPECT_EQ(window::mayPasteNumber(before, from, to, pasted), accepted)
            << before << " [" << from << ", " << to << ") " << pasted;

    const auto choose = [this](const char *site, const char *start) {
        m_window.setText(Id::Combo1, site);
        m_window.setText(Id::txtNoStartAt, start);
        m_form.siteChosen();
        return Strings{text(Id::txtNoStartAt), text(Id::txtCurrentNo), text(Id::cmdWriteCard)};
    };
    EXPECT_EQ(choose("QUARRY VALE", ""), (Strings{"0010003001", "03001", caption("0010003001")}));
    EXPECT_EQ(choose("CEDAR LAGOONS", ""), (Strings{"0010001001", "01001", caption("0010001001")}));
    // A text that names no site keeps the start number; the current number is set from it.
    EXPECT_EQ(choose("dune park", "0010002001"),
              (Strings{"0010002001", "02001", caption("0010002001")}));
}

} // namespace

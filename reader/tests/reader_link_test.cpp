#include "reader/reader_link.h"

#include "test_support.h"

#include <ostream>
#include <string>
#include <vector>

namespace {

using reader::ReaderLibrary;
using reader::ReaderLink;

enum class Act { Connect, Disconnect, Release, UnplugReader, PlugReaderIn };

struct Step
{
    Act act;
    std::string status; // expected status text; empty for steps that report nothing
    bool openAfter;
};

struct LinkCase
{
    const char *name;
    std::vector<Step> steps;
    int openCalls;
    int closeCalls;
};

void PrintTo(const LinkCase &c, std::ostream *out)
{
    *out << c.name;
}

class LinkStates : public SimulatedReaderTest, public testing::WithParamInterface<LinkCase>
{};

TEST_P(LinkStates, FollowTheConnectionTable)
{
    ReaderLibrary library;
    ReaderLink link(library);
    ASSERT_EQ(link.handle(), -1);
    int step = 0;
    for (const Step &s : GetParam().steps) {
        SCOPED_TRACE("step " + std::to_string(step++));
        switch (s.act) {
        case Act::Connect:
            EXPECT_EQ(link.connect(), s.status);
            break;
        case Act::Disconnect:
            EXPECT_EQ(link.disconnect(), s.status);
            break;
        case Act::Release:
            link.release();
            break;
        case Act::UnplugReader:
            sim().setReaderPresent(0);
            break;
        case Act::PlugReaderIn:
            sim().setReaderPresent(1);
            break;
        }
        EXPECT_EQ(link.isOpen(), s.openAfter);
        EXPECT_EQ(link.handle() == -1, !s.openAfter);
    }
    EXPECT_EQ(callsOf(SimOpenComm), GetParam().openCalls);
    EXPECT_EQ(callsOf(SimCloseComm), GetParam().closeCalls);
    for (const SimCall &call : calls()) {
        if (call.function == SimOpenComm) {
            EXPECT_EQ(call.handle, 9) << "OpenComm is always given port 9";
        }
    }
}

const std::string kConnected = "Connect Successfull！";
const std::string kFailed = "Connection Failed！";
const std::string kAlready = "Hardware Is Connected！";
const std::string kDisconnected = "Disconnect Successfull！";
const std::string kNotConnected = "Disconnect Failed！";

INSTANTIATE_TEST_SUITE_P(
    Table, LinkStates,
    testing::Values(
        LinkCase{"ConnectThenDisconnect",
                 {{Act::Connect, kConnected, true}, {Act::Disconnect, kDisconnected, false}},
                 1,
                 1},
        LinkCase{"SecondConnectMakesNoCall",
                 {{Act::Connect, kConnected, true}, {Act::Connect, kAlready, true}},
                 1,
                 0},
        LinkCase{"DisconnectWithoutLink", {{Act::Disconnect, kNotConnected, false}}, 0, 0},
        LinkCase{"OnlyTheFirstDisconnectSucceeds",
                 {{Act::Connect, kConnected, true},
                  {Act::Disconnect, kDisconnected, false},
                  {Act::Disconnect, kNotConnected, false}},
                 1,
                 1},
        LinkCase{"FailedOpenCanBeRetried",
                 {{Act::UnplugReader, "", false},
                  {Act::Connect, kFailed, false},
                  {Act::PlugReaderIn, "", false},
                  {Act::Connect, kConnected, true}},
                 2,
                 0},
        LinkCase{"ReleaseClosesAnOpenLinkOnce",
                 {{Act::Connect, kConnected, true},
                  {Act::Release, "", false},
                  {Act::Release, "", false}},
                 1,
                 1},
        LinkCase{"ReleaseWithoutLinkCallsNothing", {{Act::Release, "", false}}, 0, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LinkUnbound, KeepsTheHandleAndNamesWhatIsMissing)
{
    ReaderLibrary missing({"libepcsdk-absent.so", "libepcsdk-absent.so"});
    ReaderLink link(missing);
    EXPECT_EQ(link.connect(), "Reader library libepcsdk-absent.so not found: cannot call OpenComm");
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.disconnect(), "Disconnect Failed！");
}

TEST(PortChoice, ListPositionMinusOneMeansNoneChosen)
{
    EXPECT_FALSE(reader::portChosen(-1));
    EXPECT_TRUE(reader::portChosen(0));
    EXPECT_TRUE(reader::portChosen(99));
}

} // namespace

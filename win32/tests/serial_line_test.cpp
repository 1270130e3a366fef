// tagwright.exe on a serial line, as scripts/run-windows.sh started it: the serial form of
// the simulated reader at C:\EPCSDK.DLL, COM9 a pseudo-terminal, and at its other end the
// Linux reader (serial_tag_reader), whose tag file and control file the environment names.
#include "numbering/encoding.h"
#include "reader/operator_texts.h"

#include "program_driver.h"

namespace {

using namespace driver;
using namespace texts;

int tagWord(int word)
{
    std::ifstream tag(_wgetenv(L"TAGWRIGHT_SERIAL_TAG"));
    int value = -1;
    for (int i = 0; i <= word; ++i)
        tag >> std::hex >> value;
    return value;
}

void control(const char *text)
{
    std::ofstream(_wgetenv(L"TAGWRIGHT_SERIAL_CONTROL")) << text;
}

TEST(SerialLine, WritesReadsReconnectsAndOutlivesAFailingReader)
{
    control("");
    Program p{Program::Started{}};
    p.connect();
    EXPECT_EQ(p.text(opList), kConnected);
    p.enter(L"1000");
    p.click(cmdWriteCard);
    p.click(cmdWriteNext);
    EXPECT_EQ(p.text(opList), "0010001001" + std::string(kCardWritten));
    EXPECT_EQ(tagWord(6), numbering::cardWords(1001).word6.value());
    EXPECT_EQ(tagWord(7), numbering::cardWords(1001).word7.value());
    p.click(cmdRead);
    EXPECT_EQ(std::stoi(p.text(txt1), nullptr, 16), tagWord(6));
    EXPECT_EQ(std::stoi(p.text(txt2), nullptr, 16), tagWord(7));
    // COM9 opens for one handle at a time: a second Connect opens only a closed port.
    p.click(Close);
    EXPECT_EQ(p.text(opList), kDisconnected);
    p.connect();
    EXPECT_EQ(p.text(opList), kConnected);
    // A silent reader fails the write within its two seconds, as a failing one, one without a
    // tag and one whose reply is garbled fail it at once; the window writes on.
    for (const char *fault : {"silent", "error", "lost", "garbled"}) {
        control(fault);
        p.click(cmdWriteCard);
        EXPECT_TRUE(p.text(opList).starts_with("0010001001" + std::string(kCardWriteError)))
            << fault;
        EXPECT_TRUE(p.statusShows(kRed)) << fault;
    }
    control("");
    p.click(cmdWriteNext);
    EXPECT_EQ(p.text(opList), "0010001002" + std::string(kCardWritten));
}

} // namespace

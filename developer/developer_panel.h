// The developer panel's handlers: they read the card-number words (EPC words 6 and 7) of
// whatever tag the reader reaches and write two fixed patterns into them, with no questions
// asked and whatever the state of the link.
#pragma once

#include "numbering/encoding.h"

#include <string>
#include <string_view>

namespace reader {
class ReaderLibrary;
class ReaderLink;
} // namespace reader

namespace developer {

// Word 6 0x000F, word 7 0x4629: the value 1,001,001.
inline constexpr numbering::CardWords kTestValue{{0x00, 0x0F}, {0x46, 0x29}};
// Word 6 0xEC88, word 7 0x851A.
inline constexpr numbering::CardWords kRegularizeValue{{0xEC, 0x88}, {0x85, 0x1A}};

// What the panel does with the window's controls; the window's front end implements it.
class PanelControls
{
public:
    virtual ~PanelControls() = default;
    // The word fields: txt1 shows word 6, txt2 word 7.
    virtual void setWordText(uint8_t wordAddress, std::string_view text) = 0;
    // The status line's text; the panel never changes its colour.
    virtual void setStatus(std::string_view text) = 0;
};

class DeveloperPanel
{
public:
    DeveloperPanel(PanelControls &controls, reader::ReaderLibrary &library,
                   const reader::ReaderLink &link);

    // cmdRead, cmdWrite and cmdRegularizeCardNo clicked.
    void read();
    void writeTestValue();
    void regularize();

private:
    void readWords();
    void write(numbering::CardWords words, std::string_view success, std::string_view failure);

    PanelControls &m_controls;
    reader::ReaderLibrary &m_library;
    const reader::ReaderLink &m_link;
};

} // namespace developer

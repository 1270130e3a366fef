// The handlers of the main window, written once for every front end. A front end routes
// each event of the wiring below to its handler and does nothing else of its own:
//
//   Form1 load, unload (the close box)      load, unload
//   Open, Close, cmdClose click             connectReader, disconnectReader, closeProgram
//   txtCurrentNo change, click, key press   currentNumberChanged, currentNumberClicked,
//                                           currentNumberKey
//   cmdPlus, cmdMinus click                 stepUp, stepDown
//   Combo1 click (an entry chosen)          siteChosen
//   cmdWriteCard, cmdWriteNext, cmdWritePrev writeCard, writeNext, writePrev
//
// The developer panel's three buttons go to developer::DeveloperPanel.
#pragma once

#include "reader/reader_library.h"
#include "reader/reader_link.h"
#include "window/controls.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace window {

inline constexpr Rgb kWrittenColour{0, 255, 0};
inline constexpr Rgb kWriteErrorColour{255, 0, 0};

// A text that the current-number field may hold: digits only, and no more of them than the
// field takes. A paste or a drop goes in whole or not at all, so a front end asks this of
// the text the field would hold after it, before the field's length limit cuts anything.
bool isNumberText(std::string_view text);
// Whether pasted may go in whole over the characters [from, to) of the field's text.
bool mayPasteNumber(std::string_view text, std::size_t from, std::size_t to,
                    std::string_view pasted);

class Form1
{
public:
    Form1(Controls &controls, reader::ReaderLibrary &library);
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    // The reader link, for the developer panel, which only reads its handle.
    const reader::ReaderLink &link() const { return m_link; }

    void load();
    // The close box: whether the window may close now. During a command it closes once the
    // command has ended (Controls::closeWindow), and the unload step runs then.
    bool unload();

    void connectReader();
    void disconnectReader();
    void closeProgram();

    void currentNumberChanged();
    void currentNumberClicked();
    // A character typed into the current-number field, before it reaches the field: the
    // character to let in, or 0 to discard it.
    char32_t currentNumberKey(char32_t typed) const;
    // Whether the current-number field may be edited at all (typed into, pasted into, a
    // character deleted, an edit undone): not while a command runs, so that the number that
    // a write stepped to stays as it reported it.
    bool currentNumberEditable() const { return commands().open(); }
    void stepUp();
    void stepDown();
    void siteChosen();

    void writeCard();
    void writeNext();
    void writePrev();

private:
    reader::CommandGate &commands() const { return m_library.commands(); }
    std::optional<int32_t> currentNumber() const;
    std::string prefix() const;
    void setCurrentNumber(int32_t current);
    void startAtChosenSite();
    void writeAndReport(int32_t current);
    // Ends the program now, or once the command that runs has ended.
    void endAfterCommand(std::function<void()> end);

    Controls &m_controls;
    reader::ReaderLibrary &m_library;
    reader::ReaderLink m_link;
    // Empty until the current number first changes.
    std::string m_cardNumber;
    // An end of the program waits for the command that runs.
    bool m_endWaits = false;
};

} // namespace window

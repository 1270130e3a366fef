#include "window/form1.h"

#include "numbering/card_number.h"
#include "numbering/encoding.h"
#include "reader/card_writer.h"
#include "reader/operator_texts.h"

#include <algorithm>
#include <utility>

namespace window {

bool isNumberText(std::string_view text)
{
    return text.size() <= control(ControlId::txtCurrentNo).maxLength &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool mayPasteNumber(std::string_view text, std::size_t from, std::size_t to,
                    std::string_view pasted)
{
    to = std::min(to, text.size());
    from = std::min(from, to);
    std::string after(text.substr(0, from));
    after.append(pasted).append(text.substr(to));
    return isNumberText(after);
}

Form1::Form1(Controls &controls, reader::ReaderLibrary &library)
    : m_controls(controls), m_library(library), m_link(library)
{
    commands().onBusy([this](bool busy) { m_controls.showBusy(busy); });
}

void Form1::load()
{
    // The link starts closed (the reader handle is -1). The card number already names the
    // card that Write would make of the initial "00000", so that a write before the first
    // change reports the card it wrote; the caption still reads "Write" until a change.
    if (const auto current = currentNumber())
        m_cardNumber = numbering::cardNumber(prefix(), numbering::paddedCurrentNumber(*current));
}

bool Form1::unload()
{
    if (!commands().open()) {
        endAfterCommand([this] { m_controls.closeWindow(); });
        return false;
    }
    commands().run([this] { m_link.release(); });
    return true;
}

void Form1::endAfterCommand(std::function<void()> end)
{
    // The first end asked for during a command is the one: the program ends with it.
    if (std::exchange(m_endWaits, true))
        return;
    commands().afterCommand([this, end = std::move(end)] {
        m_endWaits = false;
        end();
    });
}

void Form1::connectReader()
{
    if (!commands().open())
        return;
    if (!reader::portChosen(m_controls.selectedPosition(ControlId::cboComPort))) {
        m_controls.showMessage(texts::kPortQuestionTitle, texts::kPortQuestion);
        m_controls.giveFocus(ControlId::cboComPort);
        return;
    }
    commands().run([this] { m_controls.setStatus(m_link.connect()); });
}

void Form1::disconnectReader()
{
    commands().run([this] { m_controls.setStatus(m_link.disconnect()); });
}

void Form1::closeProgram()
{
    // Ends the program without closing the window: an open link is left as it is.
    endAfterCommand([this] { m_controls.endProgram(); });
}

std::optional<int32_t> Form1::currentNumber() const
{
    return numbering::currentValue(m_controls.text(ControlId::txtCurrentNo));
}

std::string Form1::prefix() const
{
    return m_controls.text(ControlId::txtCurrentNoFront);
}

void Form1::currentNumberChanged()
{
    // An empty field (every digit deleted) keeps the previous card number and caption.
    const auto current = currentNumber();
    if (!current)
        return;
    const std::string padded = numbering::paddedCurrentNumber(*current);
    m_cardNumber = numbering::cardNumber(prefix(), padded);
    m_controls.setCaption(ControlId::cmdWriteCard, numbering::writeCaption(prefix(), padded));
}

void Form1::currentNumberClicked()
{
    // The next digit typed replaces the whole number.
    const auto length = m_controls.text(ControlId::txtCurrentNo).size();
    m_controls.setSelection(ControlId::txtCurrentNo, 0, static_cast<int>(length));
}

char32_t Form1::currentNumberKey(char32_t typed) const
{
    // Digits only: Backspace is discarded like any other character, so digits go with
    // Delete or by typing over a selection. Nothing while a command runs.
    return typed >= U'0' && typed <= U'9' && currentNumberEditable() ? typed : 0;
}

void Form1::setCurrentNumber(int32_t current)
{
    // The change step runs at once, before the caller goes on.
    m_controls.setText(ControlId::txtCurrentNo, std::to_string(current));
}

void Form1::stepUp()
{
    if (!commands().open())
        return;
    const auto current = currentNumber();
    if (current && numbering::mayStepUp(*current))
        setCurrentNumber(*current + 1);
}

void Form1::stepDown()
{
    if (!commands().open())
        return;
    const auto current = currentNumber();
    if (current && numbering::mayStepDown(*current))
        setCurrentNumber(*current - 1);
}

void Form1::siteChosen()
{
    // A site chosen while a command runs takes effect once it has ended: the site box shows
    // the choice already, and the numbers must follow what it shows.
    commands().afterCommand([this] { startAtChosenSite(); });
}

void Form1::startAtChosenSite()
{
    const std::string start = numbering::siteStartNumber(m_controls.text(ControlId::Combo1),
                                                         m_controls.text(ControlId::txtNoStartAt));
    m_controls.setText(ControlId::txtNoStartAt, start);
    m_controls.setText(ControlId::txtCurrentNo, numbering::currentFromStart(start));
}

void Form1::writeCard()
{
    commands().run([this] {
        if (const auto current = currentNumber())
            writeAndReport(*current);
    });
}

void Form1::writeNext()
{
    commands().run([this] {
        const auto current = currentNumber();
        if (!current || !numbering::mayStepUp(*current))
            return;
        setCurrentNumber(*current + 1);
        writeAndReport(*current + 1);
    });
}

void Form1::writePrev()
{
    commands().run([this] {
        const auto current = currentNumber();
        if (!current || !numbering::mayStepDown(*current))
            return;
        setCurrentNumber(*current - 1);
        writeAndReport(*current - 1);
    });
}

void Form1::writeAndReport(int32_t current)
{
    // The card that this write makes, named before the library runs: the number may be
    // typed anew while the library runs the window's events inside its call.
    std::string report = m_cardNumber;
    const auto outcome =
        reader::writeCardWords(m_library, m_link.handle(), numbering::cardWords(current));
    if (outcome.written) {
        report += texts::kCardWritten;
    } else {
        report += texts::kCardWriteError;
        if (outcome.bindError) {
            report += texts::kCardWriteErrorDetail;
            report += outcome.bindError->message();
        }
    }
    m_controls.setStatusColour(outcome.written ? kWrittenColour : kWriteErrorColour);
    m_controls.setStatus(report);
}

} // namespace window

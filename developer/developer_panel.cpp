#include "developer/developer_panel.h"

#include "reader/card_writer.h"
#include "reader/operator_texts.h"
#include "reader/reader_link.h"

#include <cstdio>

namespace developer {

namespace {

// A word as exactly four upper-case hexadecimal digits, high byte first ("0098", "EC88"),
// so that no two words look alike.
std::string wordHex(numbering::Word word)
{
    char digits[5];
    std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(word.value()));
    return digits;
}

} // namespace

DeveloperPanel::DeveloperPanel(PanelControls &controls, reader::ReaderLibrary &library,
                               const reader::ReaderLink &link)
    : m_controls(controls), m_library(library), m_link(link)
{}

void DeveloperPanel::read()
{
    m_library.commands().run([this] { readWords(); });
}

void DeveloperPanel::readWords()
{
    // Fresh zero-filled buffers for every Read: a failed read shows zeros, never what an
    // earlier read fetched. When the library cannot be bound, both fields are emptied and
    // the status line says why.
    for (const uint8_t address : {numbering::kHighWordAddress, numbering::kLowWordAddress}) {
        uint8_t buffer[2] = {0, 0};
        const auto result =
            m_library.readTag(m_link.handle(), numbering::kEpcBank, address, 1, buffer);
        if (!result.called()) {
            m_controls.setWordText(numbering::kHighWordAddress, {});
            m_controls.setWordText(numbering::kLowWordAddress, {});
            m_controls.setStatus(result.error().message());
            return;
        }
        m_controls.setWordText(address, wordHex({buffer[0], buffer[1]}));
    }
}

void DeveloperPanel::writeTestValue()
{
    write(kTestValue, texts::kTestValueWritten, texts::kTestValueWriteError);
}

void DeveloperPanel::regularize()
{
    write(kRegularizeValue, texts::kRegularized, texts::kRegularizeFailed);
}

void DeveloperPanel::write(numbering::CardWords words, std::string_view success,
                           std::string_view failure)
{
    m_library.commands().run([=, this] {
        const auto outcome = reader::writeCardWords(m_library, m_link.handle(), words);
        if (outcome.bindError)
            m_controls.setStatus(outcome.bindError->message());
        else
            m_controls.setStatus(outcome.written ? success : failure);
    });
}

} // namespace developer

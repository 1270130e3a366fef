// What the window promises of the reader calls that one operator step made: checked after
// every step by the randomized operators of both front ends, against the simulated reader's
// call log.
#pragma once

#include "numbering/encoding.h"
#include "reader/operator_texts.h"
#include "reader/reader_link.h"
#include "simreader/sim_control.h"

#include <cstdio>
#include <string>
#include <vector>

// The colour that the status line must show after the step: as it was when the step made
// no write, or only the developer panel's; green or red after a card write.
enum class StatusColour { NoWrite, Kept, Green, Red };

// No call outside port 9, bank 1 and words 6 and 7; and each card write reported in one line
// that names the card in the field, written exactly when both of its words were. Says what
// was broken, or nothing.
inline std::string brokenPromise(const std::vector<SimCall> &calls, const std::string &field,
                                 const std::string &status, StatusColour &colour)
{
    std::vector<SimCall> writes;
    for (const SimCall &call : calls) {
        const bool tag = call.function == SimReadTag || call.function == SimWriteTagSingleWord;
        if ((call.function == SimOpenComm && call.handle != reader::kReaderPort) ||
            (tag && (call.bank != 1 || (call.word != 6 && call.word != 7))))
            return "call " + std::to_string(call.function) + " on port or handle " +
                   std::to_string(call.handle) + ", bank " + std::to_string(call.bank) + ", word " +
                   std::to_string(call.word);
        if (call.function == SimWriteTagSingleWord)
            writes.push_back(call);
    }
    const auto word = [&writes](std::size_t i) {
        return i < writes.size() ? uint32_t(writes[i].high << 8 | writes[i].low) : 0u;
    };
    colour = writes.empty() ? StatusColour::NoWrite : StatusColour::Kept;
    if (word(0) < 0x0098 || word(0) > 0x009A) // none, or the panel's fixed patterns
        return {};
    const bool written = writes.size() == 2 && writes[0].result == 1 && writes[1].result == 1;
    colour = written ? StatusColour::Green : StatusColour::Red;
    const uint32_t value = numbering::cardValue(field.empty() ? 0 : std::stoi(field));
    char card[11];
    std::snprintf(card, sizeof card, "%010u", static_cast<unsigned>(value));
    const std::string report =
        card + std::string(written ? texts::kCardWritten : texts::kCardWriteError);
    if (!field.empty() && status == report && word(0) == value >> 16 &&
        (writes.size() < 2 || word(1) == (value & 0xFFFF)))
        return {};
    return "card " + std::string(card) + ", " + std::to_string(writes.size()) +
           " writes, reported \"" + status + "\"";
}

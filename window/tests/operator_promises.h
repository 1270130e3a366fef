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

// The colour that the status line must show after the step: as before when the step wrote
// nothing, or only the developer panel's patterns; green or red after a card write.
enum class StatusColour { NoWrite, Kept, Green, Red };

// No call outside port 9, bank 1 and words 6 and 7; and a card write reported in one line
// that names the card in the field, written exactly when both of its words were. Says what
// was broken, or nothing.
inline std::string brokenPromise(const std::vector<SimCall> &calls, const std::string &field,
                                 const std::string &status, StatusColour &colour)
{
    std::vector<uint32_t> words; // of the writes, with the results
    bool written = true;
    for (const SimCall &call : calls) {
        const bool tag = call.function == SimReadTag || call.function == SimWriteTagSingleWord;
        if ((call.function == SimOpenComm && call.handle != reader::kReaderPort) ||
            (tag && (call.bank != 1 || (call.word != 6 && call.word != 7))))
            return "a call of function " + std::to_string(call.function) + " on bank " +
                   std::to_string(call.bank) + ", word " + std::to_string(call.word);
        if (call.function == SimWriteTagSingleWord) {
            words.push_back(uint32_t(call.high << 8 | call.low));
            written = written && call.result == 1;
        }
    }
    colour = words.empty() ? StatusColour::NoWrite : StatusColour::Kept;
    if (words.empty() || words[0] < 0x0098 || words[0] > 0x009A) // the panel's patterns
        return {};
    written = written && words.size() == 2;
    colour = written ? StatusColour::Green : StatusColour::Red;
    const uint32_t value = numbering::cardValue(field.empty() ? 0 : std::stoi(field));
    char card[11];
    std::snprintf(card, sizeof card, "%010u", static_cast<unsigned>(value));
    const std::string report =
        card + std::string(written ? texts::kCardWritten : texts::kCardWriteError);
    if (field.empty() || status != report || words[0] != value >> 16 ||
        (words.size() == 2 && words[1] != (value & 0xFFFF)))
        return "card " + report + " expected, \"" + status + "\" reported";
    return {};
}

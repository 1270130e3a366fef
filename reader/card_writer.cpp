#include "reader/card_writer.h"

namespace reader {

namespace {

// nullopt when the word was written; otherwise the outcome that ends the card write.
std::optional<WriteOutcome> writeWord(ReaderLibrary &library, int32_t handle, uint8_t address,
                                      numbering::Word word)
{
    const CallResult result =
        library.writeTagSingleWord(handle, numbering::kEpcBank, address, word.high, word.low);
    if (!result.called())
        return WriteOutcome{false, result.error()};
    if (result.value() != epcsdk::kWriteOk)
        return WriteOutcome{};
    return std::nullopt;
}

} // namespace

WriteOutcome writeCardWords(ReaderLibrary &library, int32_t handle, numbering::CardWords words)
{
    if (auto failed = writeWord(library, handle, numbering::kHighWordAddress, words.word6))
        return *failed;
    if (auto failed = writeWord(library, handle, numbering::kLowWordAddress, words.word7))
        return *failed;
    return WriteOutcome{true, std::nullopt};
}

} // namespace reader

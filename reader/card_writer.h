// Writing a card value: word 6, then word 7, on the EPC bank of whatever tag the reader
// reaches. Both writes must succeed; when word 6 fails, word 7 is not written, so a
// failure never leaves a new low word beside an old high word.
#pragma once

#include "numbering/encoding.h"
#include "reader/reader_library.h"

#include <optional>

namespace reader {

struct WriteOutcome
{
    bool written = false;
    // Set when the library or its write function could not be bound: nothing was written.
    std::optional<BindError> bindError;
};

WriteOutcome writeCardWords(ReaderLibrary &library, int32_t handle, numbering::CardWords words);

} // namespace reader

#include "numbering/encoding.h"

namespace numbering {

// The encoding is constexpr; these checks keep it honest at compile time too.
static_assert(cardWords(0) == CardWords{{0x00, 0x98}, {0x96, 0x80}});
static_assert(cardWords(9999).word7 == Word{0xBD, 0x8F});
static_assert(cardWords(12345) == CardWords{{0x00, 0x98}, {0xC6, 0xB9}});
static_assert(cardWords(99999) == CardWords{{0x00, 0x9A}, {0x1D, 0x1F}});

} // namespace numbering

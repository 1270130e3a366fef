// The reader library's functions as the program calls them: the one place where their
// signatures and calling convention are written down. The simulated reader library
// exports its functions with these same types.
//
// The maker's library is a 32-bit Windows DLL with the __stdcall convention; a call made
// with another convention corrupts the stack on its first return.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define EPCSDK_CALL __stdcall
#else
#define EPCSDK_CALL
#endif

namespace epcsdk {

// Returns the reader handle, or -1 when no link opens.
using OpenCommFn = int32_t EPCSDK_CALL(int32_t port);
// Ends the link; the result is not examined.
using CloseCommFn = int32_t EPCSDK_CALL(int32_t handle);
// Stores two bytes per word into buffer, high byte first; the result is not examined.
using ReadTagFn = int32_t EPCSDK_CALL(int32_t handle, uint8_t bank, uint8_t firstWord,
                                      uint8_t wordCount, uint8_t *buffer);
// Writes one 16-bit word to the tag the reader reaches; 1 on success, anything else fails.
using WriteTagSingleWordFn = int32_t EPCSDK_CALL(int32_t handle, uint8_t bank, uint8_t word,
                                                 uint8_t high, uint8_t low);

inline constexpr int32_t kNoLink = -1;
inline constexpr int32_t kWriteOk = 1;

} // namespace epcsdk

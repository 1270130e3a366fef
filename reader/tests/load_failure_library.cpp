// Libraries that are there but do not load as they should, built in several forms from this
// one file, for the binding's messages on why a reader library cannot be used:
//   COMPANION        a library that a reader library needs, kept away from it by the build
//   NEEDS_COMPANION  a reader library that imports the companion
//   INIT_FAILS       a reader library whose start-up code refuses (DllMain returns FALSE)
#include "reader/epcsdk_abi.h"

#if defined(_WIN32)
#include <windows.h>
#define EXPORT extern "C" __declspec(dllexport)
#define IMPORT extern "C" __declspec(dllimport)
#else
#define EXPORT extern "C" __attribute__((visibility("default")))
#define IMPORT extern "C"
#endif

#if defined(COMPANION)
EXPORT int32_t CompanionMark()
{
    return 0xC0;
}
#else
#if defined(NEEDS_COMPANION)
IMPORT int32_t CompanionMark();
#elif defined(INIT_FAILS)
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
}
static int32_t CompanionMark()
{
    return 0;
}
#endif

// OpenComm gives the companion's mark, so that a test sees the companion was reached.
EXPORT int32_t EPCSDK_CALL OpenComm(int32_t)
{
    return CompanionMark();
}

EXPORT int32_t EPCSDK_CALL WriteTagSingleWord(int32_t, uint8_t, uint8_t, uint8_t, uint8_t)
{
    return 0;
}
#endif

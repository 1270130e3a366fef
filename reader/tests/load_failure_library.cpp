// Libraries that are there but do not load as they should, built in several forms from this
// one file, for the binding's messages on why a reader library cannot be used:
//   COMPANION        a library that a reader library needs, kept away from it by the build
//   NEEDS_COMPANION  a reader library that imports the companion
//   INIT_FAILS       a reader library whose start-up code refuses (DllMain returns FALSE)
//   NEEDS_API_SET    a reader library that imports from an API set that no Windows has
//   LOADS_PART       a reader library that loads tagwright_part.dll (a test puts a copy of
//                    the companion there) by name when OpenComm runs, as a maker's library
//                    loads a part of its own, and lets it go after
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
#if defined(NEEDS_COMPANION) || defined(NEEDS_API_SET)
IMPORT int32_t CompanionMark();
#elif defined(LOADS_PART)
// -1 when the part is not found.
static int32_t CompanionMark()
{
    const HMODULE part = LoadLibraryW(L"tagwright_part.dll");
    if (part == nullptr)
        return -1;
    const auto mark = reinterpret_cast<int32_t (*)()>(
        reinterpret_cast<void *>(GetProcAddress(part, "CompanionMark")));
    const int32_t value = mark != nullptr ? mark() : -1;
    FreeLibrary(part);
    return value;
}
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

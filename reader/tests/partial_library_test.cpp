// A reader library that exports everything but WriteTagSingleWord, as an older or foreign
// library might: the binding must name the missing function instead of crashing.
#include "reader/epcsdk_abi.h"

#if defined(_WIN32)
#define EXPORT extern "C" __declspec(dllexport)
#else
#define EXPORT extern "C" __attribute__((visibility("default")))
#endif

EXPORT int32_t EPCSDK_CALL OpenComm(int32_t)
{
    return 77;
}

EXPORT int32_t EPCSDK_CALL CloseComm(int32_t)
{
    return 1;
}

EXPORT int32_t EPCSDK_CALL ReadTag(int32_t, uint8_t, uint8_t, uint8_t, uint8_t *)
{
    return 0;
}

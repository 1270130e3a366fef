// A stranger's library that calls itself EPCSDK.DLL, left in the working folder: the
// program must never load it in place of the reader library. Every function answers with
// PLANTED_LIBRARY_MARK, so that a call that reached it shows.
#include "reader/epcsdk_abi.h"

#define EXPORT extern "C" __declspec(dllexport)

EXPORT int32_t EPCSDK_CALL OpenComm(int32_t)
{
    return PLANTED_LIBRARY_MARK;
}

EXPORT int32_t EPCSDK_CALL CloseComm(int32_t)
{
    return PLANTED_LIBRARY_MARK;
}

EXPORT int32_t EPCSDK_CALL ReadTag(int32_t, uint8_t, uint8_t, uint8_t, uint8_t *)
{
    return PLANTED_LIBRARY_MARK;
}

EXPORT int32_t EPCSDK_CALL WriteTagSingleWord(int32_t, uint8_t, uint8_t, uint8_t, uint8_t)
{
    return PLANTED_LIBRARY_MARK;
}

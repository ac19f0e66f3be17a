#pragma once
// The bytes that a hex-encoded field's text stands for.

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// The bytes of the hex text `hex` (two digits per byte, in frame order), at
// most `capacity` of them from its start, into `bytes`. False for an odd
// length or a character that is no hex digit anywhere in the text.
bool DecodeHexField(const char* hex, size_t length, uint8_t* bytes, size_t capacity, size_t* count);

#ifdef __cplusplus
}
#endif

#pragma once
// Decimal numbers of any magnitude a double can reach, times a scale and
// plus an offset of up to 19 digits: a sign, a row of decimal digits and a
// power of ten. The value text of a scaled float is computed in it exactly
// from the float's shortest round-trip text, so that 3.0 x 0.5 is 1.5 and
// no digit is lost to binary rounding.

#include "Decimal.h"

#include <stdbool.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// The digits the widest sum needs: from the smallest double times the
// smallest scale (10^-358) up to the largest double times the largest scale
// (10^328), or an offset of 10^19 beside a product of 10^-358.
enum { LongDecimalMaxDigits = 720 };

typedef struct {
    unsigned char digits[LongDecimalMaxDigits];  // most significant first, each 0 to 9
    int count;                                   // 0 for zero
    int exponent;                                // the value is digits x 10^exponent
    bool negative;                               // never set for zero
} LongDecimal;

// A finite double (a float when `single`) as the number its shortest
// round-trip text writes: the float 0.1f is exactly 0.1.
void LongDecimalOfShortest(double value, bool single, LongDecimal* number);

void LongDecimalOfDecimal(const Decimal* value, LongDecimal* number);

// a x b + c, exactly; false when it does not fit (it always does for a
// double times a scale plus an offset as the rules read them).
bool LongDecimalMultiplyAdd(const LongDecimal* a, const LongDecimal* b, const LongDecimal* c, LongDecimal* result);

// Rounds to `significant` digits, half away from zero.
void LongDecimalRoundSignificant(LongDecimal* number, int significant);

// -1, 0 or 1 as a is below, equal to or above b.
int LongDecimalCompare(const LongDecimal* a, const LongDecimal* b);

// The number without an exponent and without trailing zeros after the point
// ("1.5", "-0.25", "3000"); false when `size` is too small.
bool FormatLongDecimal(const LongDecimal* number, char* out, size_t size);

#ifdef __cplusplus
}
#endif

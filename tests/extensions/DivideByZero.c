// Hostile test extension: divides an integer by zero.
#include "Hostile.h"

void Misbehave(void) {
    volatile int dividend = 1, divisor = 0;
    volatile int quotient = dividend / divisor;
    (void)quotient;
}

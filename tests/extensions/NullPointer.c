// Hostile test extension: writes through a null pointer (access violation).
#include "Hostile.h"

#include <stddef.h>

void Misbehave(void) {
    volatile int* volatile nowhere = NULL;
    *nowhere = 1;
}

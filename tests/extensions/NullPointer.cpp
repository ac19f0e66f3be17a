// Hostile test extension: writes through a null pointer (access violation).
#include "Hostile.h"

void Misbehave() {
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

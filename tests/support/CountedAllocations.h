#pragma once
// The number of C++ allocations live right now in a test program linked with
// support/CountedAllocations.cpp, which counts every global operator new and
// delete. It sees what the heap walk cannot: the C runtime's heap keeps small
// blocks in larger groups, so a leaked string or vector need not show there.
long LiveAllocations();

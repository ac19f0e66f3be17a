// A C++ exception that escapes an extension's entry point, as from a C++
// library that forgot to catch everything.
#include <stdexcept>

extern "C" void ThrowOutOfTheEntryPoint(void) { throw std::runtime_error("escaping the entry point"); }

#pragma once
// The child's line to the checker. It arrives as the child's standard
// output, which the library under check may write to as well: by printing,
// by accident, or to forge records. So before the library is loaded the
// child keeps the pipe to itself, as a handle no process it starts inherits,
// and points its standard output (the handle and the C runtime's, which
// libraries built with MinGW share) at NUL: what the library prints goes
// nowhere, and only the child's records reach the checker.

#include <cstddef>

// Takes the pipe over from the standard output; once, at the child's start.
void TakeRecordsPipe();

// Writes bytes straight to the checker, unbuffered and without a heap.
void WriteToChecker(const char* bytes, size_t size) noexcept;

#pragma once
// Whether the heaps of this process are sound: after an extension's call, or
// while the process that hosts it waits for the next one. Each heap is
// validated under the fault guard, since a heap damaged badly enough faults
// its own validation; no heap is used meanwhile (the list is on the stack).
// A validation holds its heap's lock while it runs.

// False when a heap failed its validation or faulted in it.
bool HeapsAreSound() noexcept;

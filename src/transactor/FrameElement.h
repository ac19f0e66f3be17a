#pragma once
// The integer value of a frame element held in a VARIANT.

#include <windows.h>
#include <oleauto.h>

#include <cstdint>

// Converts `element` to a 64-bit integer as the platform's VariantChangeType
// does, and answers its result. An object element (IDispatch, directly, by
// reference or inside a variant held by reference) is not handed to the
// platform: its value is asked here, as the platform would ask it (its
// default property, read; a failure is a type mismatch), and converted in
// turn. So everything taken on the way is owned here and released also when
// the object faults, and an object whose value is again an object, without
// end, stops while the stack still has room, as a stack overflow
// (EProcessorFault). Every access to the host's memory and objects runs
// under the host-call guard.
HRESULT IntegerOfElement(const VARIANT& element, int64_t& value);

#pragma once
// Where each entry point of an extension takes its inputs, parameter id,
// out-buffers and IParam among its 32-bit arguments, so that calls can be
// made and described the same way for all three.

#include <windows.h>

#include <array>
#include <cstdint>

enum class EntryPoint { Explain, Obscure, Edit };

enum class InputKind { ValueText, Reserved, FieldBytes };

struct InputArgument {
    int pointer, length;  // argument indexes
    const wchar_t* name;
    InputKind kind;
};

struct OutputArgument {
    int pointer;  // argument index
    const wchar_t* name;
    bool zeroedByContract;  // the contract promises the buffer all zeros on entry
};

struct EntryPointShape {
    EntryPoint entryPoint;
    const char* name;          // "ExplainParam"
    const wchar_t* operation;  // the component's operation: L"Explain"
    int argumentCount;         // a stdcall entry point removes 4 bytes for each
    std::array<InputArgument, 3> inputs;
    int inputCount;
    int paramIdIndex;  // -1: none
    std::array<OutputArgument, 2> outputs;
    int outputCount;
    int codeIndex;                 // the 16-bit explain code pointer, -1: none
    int paramIndex;                // the IParam pointer
    bool writesDigits;             // the output is a digit text, one digit per byte to send
    const wchar_t* withoutResult;  // what the component does without a result
};

const std::array<EntryPointShape, 3>& EntryPointShapes();
const EntryPointShape& ShapeOf(EntryPoint entryPoint);

// The 32-bit argument slot of a pointer.
template <typename T>
uint32_t PointerSlot(T* pointer) noexcept {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

// The pointer in an argument slot.
template <typename T>
T* SlotPointer(uint32_t slot) noexcept {
    return reinterpret_cast<T*>(static_cast<uintptr_t>(slot));
}

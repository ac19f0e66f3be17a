#pragma once
// The interface tables of the object classes: each class lists the interfaces
// it adds and links to its base class's table. A lookup searches the most
// derived class first, then each base in turn, and gives where in an object
// that interface's pointer lies.

#include <windows.h>
#include <unknwn.h>

#include <span>

class TComObject;

struct TInterfaceEntry {
    const IID* Iid;
    // The interface's pointer inside `object`, no reference added.
    IUnknown* (*Locate)(TComObject& object);
};

struct TInterfaceTable {
    const TInterfaceTable* Base;  // the base class's table, searched after this one
    std::span<const TInterfaceEntry> Entries;
};

// The entry for `iid`, or null when no class of the chain has it.
const TInterfaceEntry* FindInterfaceEntry(const TInterfaceTable& table, REFIID iid) noexcept;

// What a class factory knows of the class it instantiates.
struct TComObjectClass {
    const char* Name;  // e.g. "TParamTransactor", used in start-up errors
    const TInterfaceTable* Interfaces;
    TComObject* (*Allocate)();  // a new object, not yet tied to a factory
};

template <typename ObjectClass>
TComObjectClass ComObjectClassOf(const char* name) {
    return {name, &ObjectClass::InterfaceTable, []() -> TComObject* { return new ObjectClass(); }};
}

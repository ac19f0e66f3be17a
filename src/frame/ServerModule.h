#pragma once
// Start-up and shut-down of the in-process server module, run from DllMain.

#include <windows.h>

class TComServer;

// Installs the host-result hook, takes a reference on OLEAUT32, creates the
// server object and then the module's class factories through
// `createFactories`, and keeps the module loaded until the process ends (its
// statically linked runtime cannot be unloaded without leaking). False (the
// load fails) when a factory raises, for one when the type information cannot
// be resolved; what was set up is then undone.
bool StartModule(HMODULE module, void (&createFactories)(TComServer& server)) noexcept;

// Destroys the factories and the server object, lets OLEAUT32 go, frees the
// class manager and removes the host-result hook. Runs when the process ends,
// or when start-up failed.
void StopModule() noexcept;

// True once shut-down has begun to free the class manager: objects destroyed
// from then on leave the counts alone.
bool ModuleTerminated() noexcept;

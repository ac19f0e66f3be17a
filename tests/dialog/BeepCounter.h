#pragma once
// Counts the system beeps (MessageBeep) of this program while it lives, by
// redirecting the program's import of MessageBeep; the beep itself is not
// sounded. One counter at a time, on any thread.

#include <windows.h>

#include <atomic>
#include <cstring>

class BeepCounter {
public:
    BeepCounter() : FSlot(ImportSlot("MessageBeep")) { Redirect(reinterpret_cast<void*>(&CountBeep)); }
    ~BeepCounter() { Redirect(FOriginal); }
    BeepCounter(const BeepCounter&) = delete;
    BeepCounter& operator=(const BeepCounter&) = delete;

    // The beeps since the last call; clears them.
    int Take() { return Beeps().exchange(0); }
    bool Installed() const { return FSlot != nullptr; }

private:
    static std::atomic<int>& Beeps() {
        static std::atomic<int> beeps{0};
        return beeps;
    }
    static BOOL WINAPI CountBeep(UINT) {
        ++Beeps();
        return TRUE;
    }

    // The program's import address slot of a user32 function.
    static void** ImportSlot(const char* function) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name;
             ++library) {
            if (lstrcmpiA(reinterpret_cast<char*>(base + library->Name), "user32.dll") != 0) continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
            auto* slots = reinterpret_cast<void**>(base + library->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<char*>(byName->Name), function) == 0) return slots;
            }
        }
        return nullptr;
    }

    void Redirect(void* target) {
        if (!FSlot) return;
        DWORD oldProtection = 0;
        VirtualProtect(FSlot, sizeof *FSlot, PAGE_READWRITE, &oldProtection);
        if (!FOriginal) FOriginal = *FSlot;
        *FSlot = target;
        VirtualProtect(FSlot, sizeof *FSlot, oldProtection, &oldProtection);
    }

    void** FSlot;
    void* FOriginal = nullptr;
};

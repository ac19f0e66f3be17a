#include "frame/InterfaceTable.h"

const TInterfaceEntry* FindInterfaceEntry(const TInterfaceTable& table, REFIID iid) noexcept {
    for (const TInterfaceTable* classTable = &table; classTable; classTable = classTable->Base) {
        for (const TInterfaceEntry& entry : classTable->Entries)
            if (IsEqualGUID(*entry.Iid, iid)) return &entry;
    }
    return nullptr;
}

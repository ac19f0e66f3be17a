#pragma once
/* The kernel objects of one channel: its shared memory, the two events and
 * a handle of the host's process for the helper to watch. They have no
 * names, so that no other process can open them or create them first, and a
 * security descriptor that admits the host's user alone; the helper gets
 * them by inheritance, their values on its command line. */
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ChannelObjects {
    HANDLE mapping, helperEvent, hostEvent, host;
} ChannelObjects;

/* Creates the objects, the mapping of `mappingBytes` (none inheritable); 0
 * when one could not be made. */
int CreateChannelObjects(ChannelObjects* objects, size_t mappingBytes);
void CloseChannelObjects(ChannelObjects* objects);

/* Starts `program` with the four handle values as its arguments, handing
 * down these four handles (and no other, where the system can tell it so). */
int StartWithChannelObjects(const ChannelObjects* objects, const wchar_t* program, PROCESS_INFORMATION* started);

#ifdef __cplusplus
}
#endif

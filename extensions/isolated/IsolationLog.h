#pragma once
/* The event log of an isolated extension: one line per event, in UTF-8:
 *   TIME  LIBRARY  ENTRY POINT  param ID  input HEX  what happened -> what was done
 * in a bounded log (logfile/BoundedLog.h): an event of the same kind (the
 * same entry point and the same words, whatever its numbers) for the same
 * parameter is written once a minute and counted otherwise. */
#include "ParamExtension.h"

#include <stdint.h>

typedef struct LoggedCall {
    const char* entry;  /* "ExplainParam", "ObscureParam", "EditParam" */
    int32_t paramId;
    const char* input;  /* the value text the call got; NULL for EditParam */
    int32_t inputLength;
    IParam* editParam;  /* EditParam's object: its id is asked only when a line is written */
} LoggedCall;

struct Isolation;

void LogEvent(struct Isolation* isolation, const LoggedCall* call, const char* happened, const char* done);

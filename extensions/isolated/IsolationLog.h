#pragma once
/* The event log of an isolated extension: one line per event, in UTF-8:
 *   TIME  LIBRARY  ENTRY POINT  param ID  input HEX  what happened -> what was done */
#include "IsolationConfig.h"
#include "ParamExtension.h"

#include <stdint.h>

typedef struct LoggedCall {
    const char* entry;  /* "ExplainParam", "ObscureParam", "EditParam" */
    int32_t paramId;
    const char* input;  /* the value text the call got; NULL for EditParam */
    int32_t inputLength;
    IParam* editParam;  /* EditParam's object: its id is asked only when a line is written */
} LoggedCall;

void LogEvent(const IsolationConfig* config, const LoggedCall* call, const char* happened, const char* done);

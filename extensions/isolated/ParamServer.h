#pragma once
/* Serves on the host's thread the IParam call the helper's proxy forwarded:
 * calls the host's object with the same arguments and writes the results
 * back into the channel. */
#include "IsolationChannel.h"

void ServeParamCall(IsolationChannel* channel, IParam* param);

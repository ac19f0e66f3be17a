#pragma once
// The classes this module serves: the one place that names TParamTransactor.

class TComServer;

// Creates the class factory of ParamTransactor (multiple instances,
// apartment threading) for `server`. The factory belongs to the class
// manager's list from then on; the server destroys it at shut-down.
void CreateClassFactories(TComServer& server);

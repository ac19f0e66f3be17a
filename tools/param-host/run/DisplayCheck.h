#pragma once
// Whether a dialog this process opens can be seen and answered. Without a
// display the edit dialog would wait for an operator who can never reach it.

#include <string>

// An empty text when a display is usable, else the reason it is not.
std::wstring DisplayProblem();

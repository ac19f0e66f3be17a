#pragma once
// Switching the thread's input method while a control has the focus.

// Activates the installed input method whose description is `name`; when no
// such input method is installed, the default keyboard layout instead.
void ActivateInputMethod(const wchar_t* name) noexcept;

// Activates the default keyboard layout.
void ActivateDefaultInputMethod() noexcept;

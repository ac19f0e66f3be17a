#include "frame/CreationErrorBox.h"

#include "util/DoubleByteText.h"

#include <windows.h>

std::string WithClosingPeriod(std::string message) {
    if (!message.empty() && message.substr(LastCharacterStart(message)) > ".") message += '.';
    return message;
}

void ShowCreationErrorBox(std::string message) noexcept {
    try {
        message = WithClosingPeriod(std::move(message));
    } catch (...) {
    }
    MessageBoxA(nullptr, message.c_str(), "DAX Error", MB_OK | MB_ICONHAND | MB_SETFOREGROUND);
}

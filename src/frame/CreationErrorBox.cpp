#include "server/CreationErrorBox.h"

#include "util/Exception.h"

#include <windows.h>

#include <exception>
#include <new>

namespace {

// The last character of `text`, walking the system code page's lead bytes.
std::string LastCharacter(const std::string& text) {
    size_t start = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        start = at;
        if (IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size()) ++at;
    }
    return text.substr(start);
}

}  // namespace

std::string CurrentExceptionMessage() noexcept {
    try {
        throw;
    } catch (const Exception& error) {
        return error.Message();
    } catch (const std::bad_alloc&) {
        return "Out of memory";
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return {};
    }
}

std::string WithClosingPeriod(std::string message) {
    if (!message.empty() && LastCharacter(message) > ".") message += '.';
    return message;
}

void ShowCreationErrorBox(std::string message) noexcept {
    try {
        message = WithClosingPeriod(std::move(message));
    } catch (...) {
    }
    MessageBoxA(nullptr, message.c_str(), "DAX Error", MB_OK | MB_ICONHAND | MB_SETFOREGROUND);
}

#pragma once
// The component's general exception: every failure inside the component is
// raised as an Exception (or a class derived from it) carrying an 8-bit
// message in the system code page; the interface boundary turns it into an
// HRESULT and the thread's error information.

#include <cstdint>
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message, int32_t helpContext = 0)
        : FMessage(std::move(message)), FHelpContext(helpContext) {}

    const std::string& Message() const noexcept { return FMessage; }
    int32_t HelpContext() const noexcept { return FHelpContext; }
    const char* what() const noexcept override { return FMessage.c_str(); }

protected:
    void SetMessage(std::string message) { FMessage = std::move(message); }

private:
    std::string FMessage;
    int32_t FHelpContext;
};

#pragma once
// The host's side of one call: a parameter object whose answers are chosen at
// random (field position and coding, texts, obscure numbers), and which may
// fail some of its methods, with or without error information (its own
// error objects too, which may fault when read), or fault inside one.

#include "Random.h"
#include "fakes/FakeErrorInfo.h"
#include "fakes/FakeParam.h"

#include <memory>
#include <string>
#include <vector>

class RandomHost {
public:
    RandomHost(Random& random, LONG frameLength, std::string& description);

    FakeParam& Param() { return FParam; }
    // Whether a fault happened that ends the operation: one in a method, or in
    // the error object of a method, whose failure the operation does not swallow.
    bool FaultedFatally() const;
    // Whether that fault was in an error object, which the operation had
    // already taken from the thread.
    bool ErrorObjectFaulted() const;
    // Whether the operation took the thread's error information while going on:
    // a failure it swallows was met.
    bool SwallowedAFailure() const;
    // What the call left behind: references on the parameter or the error objects.
    std::string LeftBehind() const;

private:
    void FailOrFault(Random& random, std::string& description);

    // An error object of the host and the method whose failure sets it.
    struct ErrorObject {
        std::wstring method;
        std::unique_ptr<FakeErrorInfo> object;
    };

    FakeParam FParam;
    std::vector<ErrorObject> FErrorObjects;
    std::wstring FFaultingMethod;
    std::vector<std::wstring> FSwallowedFailures;
};

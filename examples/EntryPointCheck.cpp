// Compiles only if the sample extension's entry points, declared in its C
// header (included here from C++), have exactly the types through which the
// component calls them.
#include "contracts/ExtensionEntryPoints.h"
#include "engineering-units/ParamExtension.h"

#include <type_traits>

static_assert(std::is_same_v<decltype(&ExplainParam), ExplainParamProc>);
static_assert(std::is_same_v<decltype(&ObscureParam), ObscureParamProc>);
static_assert(ExtensionOutBufferSize == ExtensionBufferSize);

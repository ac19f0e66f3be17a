// Compiles only if the public header's entry-point declarations (which
// extension authors, the sample included, define their functions against)
// have exactly the pointer types through which the component calls them.
#include "ParamExtension.h"

#include <type_traits>

static_assert(std::is_same_v<decltype(&ExplainParam), ExplainParamProc>);
static_assert(std::is_same_v<decltype(&ObscureParam), ObscureParamProc>);
static_assert(std::is_same_v<decltype(&EditParam), EditParamProc>);

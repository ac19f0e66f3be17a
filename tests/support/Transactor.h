#pragma once
// Creates a transactor object for a test, held through its IParamTransactor view.

#include "transactor/ParamTransactorUnt.h"

#include <wrl/client.h>

inline Microsoft::WRL::ComPtr<IParamTransactor> NewTransactor() {
    // A new object has no reference until the first one is taken here.
    return Microsoft::WRL::ComPtr<IParamTransactor>(new TParamTransactor());
}
